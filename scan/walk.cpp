// The folder walk: every movie file below a folder becomes a row, each
// folder's own files ahead of the rows of its subfolders. The files are
// listed first and read after, so that a reader may read several at once.
#include <set>
#include <string>
#include <vector>

#include "base/text.h"
#include "scan/movie_name.h"
#include "scan/scan.h"

namespace clip {

namespace {

struct Lister {
  FileSystem& fs;
  bool modernFormats;
  std::vector<std::string>* unreadable;
  const std::function<bool(std::string)>& found;
  std::set<std::string> entered;  // identities of the folders entered so far
  bool stopped = false;
};

void ListFolder(Lister& walk, const std::string& folder, int depth) {
  if (depth > kMaxFolderDepth || walk.stopped) return;
  // A folder reached a second time (a link or junction back to an ancestor,
  // or two links to one folder) is not listed again, so loops end.
  std::string identity = walk.fs.FolderIdentity(folder);
  if (!identity.empty() && !walk.entered.insert(identity).second) return;

  std::vector<FileSystem::Entry> entries;
  if (!walk.fs.List(folder, entries)) {
    if (walk.unreadable) walk.unreadable->push_back(folder);
    return;
  }
  // The folder's own files first; its subfolders' files come after them.
  std::vector<std::string> subfolders;
  for (const FileSystem::Entry& entry : entries) {
    if (entry.name.empty() || entry.name == "." || entry.name == "..") continue;
    std::string path = JoinPath(folder, entry.name);
    // A folder is a folder by its directory bit, whatever else it carries:
    // read-only (customised with a desktop.ini), hidden, system, archive,
    // compressed, encrypted, not indexed, a cloud placeholder, or a link,
    // junction or mounted volume (followed; a folder reached again is not
    // listed twice).
    if (IsFolderAttributes(entry.attributes)) {
      subfolders.push_back(std::move(path));
    } else if (IsMovieName(path, walk.modernFormats) && !walk.found(std::move(path))) {
      walk.stopped = true;
      return;
    }
  }
  for (const std::string& sub : subfolders) ListFolder(walk, sub, depth + 1);
}

}  // namespace

bool IsMovieName(std::string_view path, bool modernFormats) {
  return HasClassicMovieEnding(path) || (modernFormats && HasModernMovieEnding(path));
}

void WalkMovieFiles(FileSystem& fs, const std::string& folder, bool modernFormats,
                    std::vector<std::string>* unreadable,
                    const std::function<bool(std::string path)>& found) {
  Lister walk{fs, modernFormats, unreadable, found, {}};
  ListFolder(walk, folder, 0);
}

std::vector<std::string> ListMovieFiles(FileSystem& fs, const std::string& folder,
                                        bool modernFormats, std::vector<std::string>* unreadable) {
  std::vector<std::string> files;
  WalkMovieFiles(fs, folder, modernFormats, unreadable, [&](std::string path) {
    files.push_back(std::move(path));
    return true;
  });
  return files;
}

std::string FileSystem::VolumeRootOf(const std::string& folder) { return VolumeRoot(folder); }

std::string JoinPath(const std::string& folder, const std::string& name) {
  // A trailing 0x5C that is the second byte of a double-byte character
  // (ソ is 83 5C) belongs to that character: the separator is still added.
  if (folder.empty() || EndsWithSeparator(folder)) return folder + name;
  return folder + "\\" + name;
}

namespace {

PathKind ClassifyFile(std::uint32_t attributes, std::string_view path, bool modernFormats) {
  if (path.empty()) return PathKind::Ignored;
  (void)attributes;  // a movie path is built into a row even when it cannot be read
  return IsMovieName(path, modernFormats) ? PathKind::Movie : PathKind::Ignored;
}
}  // namespace

bool IsFolderAttributes(std::uint32_t attributes) {
  return attributes != kAttrInvalid && (attributes & kAttrDirectory) != 0;
}

PathKind ClassifyCommandLinePath(std::uint32_t attributes, std::string_view path,
                                 bool modernFormats) {
  if (!path.empty() && IsFolderAttributes(attributes)) return PathKind::Folder;
  return ClassifyFile(attributes, path, modernFormats);
}

PathKind ClassifyDroppedPath(std::uint32_t attributes, std::string_view path, bool modernFormats) {
  if (!path.empty() && IsFolderAttributes(attributes)) return PathKind::Folder;
  return ClassifyFile(attributes, path, modernFormats);
}

}  // namespace clip
