// The row builder: one catalogue row per movie file, its cells filled for
// every category this run shows.
#include <algorithm>
#include <cstdio>
#include <future>
#include <memory>
#include <string>

#include "base/text.h"
#include "scan/probe.h"
#include "scan/scan.h"
#include "scan/movie_name.h"
#include "scan/pipeline.h"
#include "scan/track_cells.h"

namespace clip {

namespace {

// Up to this size the megabyte cell has two decimals (9.99 MB rounded down).
constexpr std::uint64_t kTwoDecimalsMax = 10475274;

bool AnyOn(const CategoryTable& table, std::initializer_list<int> categories) {
  for (int k : categories) {
    if (table.IsOn(k)) return true;
  }
  return false;
}

std::string SizeBytesText(std::uint64_t size) { return GroupThousands(std::to_string(size)); }

std::string SizeMBText(std::uint64_t size, int sizeInfo) {
  double mb = static_cast<double>(size) / 1048576.0;
  char buffer[64];
  if (size <= kTwoDecimalsMax)
    std::snprintf(buffer, sizeof buffer, "%.2f", mb);
  else
    std::snprintf(buffer, sizeof buffer, "%.1f", mb);
  std::string text = buffer;
  if (sizeInfo == 1) text += "MB";
  return text;
}

std::string SizeKBText(std::uint64_t size, int sizeInfo) {
  std::string text = GroupThousands(std::to_string(size / 1024));
  if (sizeInfo == 1) text += "KB";
  return text;
}

}  // namespace

std::string VolumeRoot(const std::string& dir) {
  // "\\server\share\folder" is on the share "\\server\share\".
  if (dir.size() > 2 && (dir[0] == '\\' || dir[0] == '/') && (dir[1] == '\\' || dir[1] == '/')) {
    const std::size_t server = dir.find_first_of("\\/", 2);
    if (server == std::string::npos || server == 2) return {};
    const std::size_t share = dir.find_first_of("\\/", server + 1);
    const std::string root = dir.substr(0, share);
    if (root.size() <= server + 1) return {};
    return root + "\\";
  }
  // "D:" names the current folder of drive D: its root is asked for.
  std::string root = LeftText(dir, 3);
  if (root.size() == 2 && root[1] == ':' && static_cast<unsigned char>(root[0]) < 0x80)
    root += '\\';
  return root;
}

MovieRowTexts RowReader::Read(const std::string& path) {
  FileSystem& fs = fs_;
  CodecNames& codecs = codecs_;
  const CategoryTable& table = table_;
  const int sizeInfo = sizeInfo_;
  MovieRowTexts row;
  auto set = [&](int category, std::string text) {
    if (table.IsOn(category)) row.cells[static_cast<std::size_t>(category)] = std::move(text);
  };
  set(FileName, PathFileName(path));

  const bool sizes = table.AnySizeOn();
  const bool userInfo = AnyOn(table, {MovieTitle, Janle, Creater, Comment});
  const bool probes =
      AnyOn(table, {MoveInfo, AudioInfo, VideoRate, AudioRate, FlameRate, Resolusion, PlayTime,
                    AudioTracks, Subtitles, Channels, VideoBits, Chapters, Status});

  // The file is opened once, and only when some shown category needs its
  // bytes; the probes and the tail scan share the open file. A file that
  // cannot be opened (held by another program) still gets its row, with
  // empty size cells; it is never created.
  std::unique_ptr<MovieFile> file;
  if (sizes || userInfo || probes) file = fs.Open(path);
  row.opened = file != nullptr;

  std::uint64_t size = 0;
  if (file) {
    size = file->Size();
    set(FileSizeBT, SizeBytesText(size));
    set(FileSizeMB, SizeMBText(size, sizeInfo));
    set(FileSizeKB, SizeKBText(size, sizeInfo));
  }

  if (userInfo || probes) {
    ProbeFields f = ProbeMovie(path, file.get(), codecs);
    // The INFO list the writer leaves at the end of AVI, MPG and RM files
    // wins, entry by entry, over the file's own tags.
    if (userInfo && file && HasClassicMovieEnding(path)) {
      InfoTail info = ScanInfoTail(*file);
      if (!info.title.empty()) f.title = std::move(info.title);
      if (!info.creator.empty()) f.creator = std::move(info.creator);
      if (!info.comment.empty()) f.comment = std::move(info.comment);
    }
    set(MovieTitle, f.title);
    set(MoveInfo, f.videoFormat);
    set(AudioInfo, f.audioFormat);
    set(VideoRate, f.videoRate);
    set(AudioRate, f.audioRate);
    set(FlameRate, f.frameRate);
    set(Resolusion, f.resolution);
    set(PlayTime, f.playTime);
    set(Janle, f.genre);
    set(Creater, f.creator);
    set(Comment, f.comment);
    set(AudioTracks, std::move(f.audioTracks));
    set(Subtitles, std::move(f.subtitles));
    set(Channels, std::move(f.channels));
    set(VideoBits, std::move(f.videoBits));
    set(Chapters, std::move(f.chapters));
    set(Status, StatusCell(f.outcome, file != nullptr, size == 0));
    row.outcome = f.outcome;
  }
  set(DirPath, PathDirectory(path));
  if (table.IsOn(VolLabel)) row.cells[VolLabel] = LabelOf(PathDirectory(path));
  return row;
}

std::string RowReader::LabelOf(const std::string& folder) {
  const std::string root = fs_.VolumeRootOf(folder);
  std::promise<std::string> asked;
  std::shared_future<std::string> label;
  bool ask = false;
  {
    std::lock_guard<std::mutex> lock(labelsMutex_);
    auto known = labels_.find(root);
    if (known == labels_.end()) {
      known = labels_.emplace(root, asked.get_future().share()).first;
      ask = true;
    }
    label = known->second;
  }
  // Asked once per root, outside the lock: a share that is slow to answer
  // holds up only the rows of its own volume, which wait for the answer.
  if (ask) asked.set_value(fs_.VolumeLabel(root));
  return label.get();
}

void InsertMovieRow(RowModel& rows, const CategoryTable& table, int index, MovieRowTexts texts) {
  const int tag = rows.Count();
  index = std::clamp(index, 0, tag);
  const int row = rows.Insert(index, texts.cells[FileName], tag);
  for (int k = kCategoryCount - 1; k >= 1; --k)
    if (table.IsOn(k) && !texts.cells[static_cast<std::size_t>(k)].empty())
      rows.SetCell(row, table.position[k], texts.cells[static_cast<std::size_t>(k)]);
}

}  // namespace clip
