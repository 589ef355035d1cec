// The folder walk: every movie file below a folder becomes a row,
// each folder's own files ahead of the rows of its subfolders.
#include <set>
#include <string>
#include <vector>

#include "catalogue/text.h"
#include "scan/scan.h"
#include "scan/scan_internal.h"

namespace clip {

namespace {

struct Walk {
  ScanContext& ctx;
  std::set<std::string> entered;  // identities of the folders entered so far
  WalkCaches caches;
};

void WalkFolder(Walk& walk, const std::string& folder, int depth) {
  if (depth > kMaxFolderDepth) return;
  // A folder reached a second time (a link or junction back to an ancestor,
  // or two links to one folder) is not listed again, so loops end.
  std::string identity = walk.ctx.fs.FolderIdentity(folder);
  if (!identity.empty() && !walk.entered.insert(identity).second) return;

  std::vector<FileSystem::Entry> entries;
  if (!walk.ctx.fs.List(folder, entries)) {
    if (walk.ctx.unreadable) walk.ctx.unreadable->push_back(folder);
    return;
  }

  // Read once: rows added by subfolders end up behind this folder's files.
  int index = walk.ctx.rows.Count();
  for (const FileSystem::Entry& entry : entries) {
    if (entry.name.empty() || entry.name == "." || entry.name == "..") continue;
    std::string path = JoinPath(folder, entry.name);
    // A folder whose attributes are not exactly FILE_ATTRIBUTE_DIRECTORY is
    // not entered; it is looked at like a file name.
    if (entry.attributes == kAttrDirectory) {
      WalkFolder(walk, path, depth + 1);
    } else if (IsMovieName(path)) {
      AddMovieRowCached(walk.ctx, path, index, &walk.caches);
      ++index;
    }
  }
}

}  // namespace

bool IsMovieName(std::string_view path) {
  return EndsWithNoCase(path, "AVI") || EndsWithNoCase(path, "MPG") || EndsWithNoCase(path, ".RM");
}

std::string CodecCache::VideoDescription(std::uint32_t handler) {
  auto it = video_.find(handler);
  if (it == video_.end()) it = video_.emplace(handler, names_.VideoDescription(handler)).first;
  return it->second;
}

std::string CodecCache::AudioFormatName(std::uint16_t formatTag) {
  auto it = audio_.find(formatTag);
  if (it == audio_.end()) it = audio_.emplace(formatTag, names_.AudioFormatName(formatTag)).first;
  return it->second;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  // A trailing 0x5C that is the second byte of a double-byte character
  // (ソ is 83 5C) belongs to that character: the separator is still added.
  if (folder.empty() || EndsWithSeparator(folder)) return folder + name;
  return folder + "\\" + name;
}

void ScanFolder(ScanContext& ctx, const std::string& folder) {
  Walk walk{ctx, {}, WalkCaches(ctx.codecs)};
  WalkFolder(walk, folder, 0);
}

}  // namespace clip
