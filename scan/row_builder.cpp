// The row builder: one catalogue row per movie file, its cells filled for
// every category this run shows.
#include <cstdio>
#include <memory>
#include <string>

#include "catalogue/text.h"
#include "scan/probe.h"
#include "scan/scan.h"
#include "scan/scan_internal.h"

namespace clip {

namespace {

// Up to this size the megabyte cell has two decimals (9.99 MB rounded down).
constexpr std::uint64_t kTwoDecimalsMax = 10475274;

void SetIfOn(ScanContext& ctx, int row, int category, const std::string& text) {
  if (ctx.table.IsOn(category)) ctx.rows.SetCell(row, ctx.table.position[category], text);
}

bool AnyOn(const CategoryTable& table, std::initializer_list<int> categories) {
  for (int k : categories) {
    if (table.IsOn(k)) return true;
  }
  return false;
}

// Root of the volume that holds dir, such as "D:\". A file in a drive's root
// folder has the directory text "D:"; its drive's root is asked for, not
// "D:" (which names the current folder of that drive).
std::string VolumeRoot(const std::string& dir) {
  std::string root = LeftText(dir, 3);
  if (root.size() == 2 && root[1] == ':' && static_cast<unsigned char>(root[0]) < 0x80)
    root += '\\';
  return root;
}

}  // namespace

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

void AddMovieRowCached(ScanContext& ctx, const std::string& path, int index, WalkCaches* caches) {
  const CategoryTable& table = ctx.table;
  if (index < 0) index = 0;
  if (index > ctx.rows.Count()) index = ctx.rows.Count();

  if (ctx.status) {
    char text[48];
    std::snprintf(text, sizeof text, "File %d Reading...", index);
    ctx.status->SetStatusText(0, text);
  }
  int tag = ctx.rows.Count();
  int row = ctx.rows.Insert(index, PathFileName(path), tag);

  const bool sizes = table.AnySizeOn();
  const bool userInfo = AnyOn(table, {MovieTitle, Creater, Comment});
  const bool probes =
      AnyOn(table, {MoveInfo, AudioInfo, VideoRate, AudioRate, FlameRate, Resolusion, PlayTime});

  // The file is opened once, and only when some shown category needs its
  // bytes; the tail scan and the probes share the open file. A file that
  // cannot be opened (held by another program) still gets its row, with
  // empty size cells; it is never created.
  std::unique_ptr<MovieFile> file;
  if (sizes || userInfo || probes) file = ctx.fs.Open(path);

  if (file) {
    std::uint64_t size = file->Size();
    SetIfOn(ctx, row, FileSizeBT, SizeBytesText(size));
    SetIfOn(ctx, row, FileSizeMB, SizeMBText(size, ctx.sizeInfo));
    SetIfOn(ctx, row, FileSizeKB, SizeKBText(size, ctx.sizeInfo));
  }

  if (userInfo || probes) {
    InfoTail info;
    ProbeFields f;
    if (userInfo && file) info = ScanInfoTail(*file);
    if (probes) {
      CodecNames& codecs = caches ? static_cast<CodecNames&>(caches->codecs) : ctx.codecs;
      f = ProbeMovie(path, file.get(), codecs);
    }
    SetIfOn(ctx, row, MovieTitle, info.title);
    SetIfOn(ctx, row, MoveInfo, f.videoFormat);
    SetIfOn(ctx, row, AudioInfo, f.audioFormat);
    SetIfOn(ctx, row, VideoRate, f.videoRate);
    SetIfOn(ctx, row, AudioRate, f.audioRate);
    SetIfOn(ctx, row, FlameRate, f.frameRate);
    SetIfOn(ctx, row, Resolusion, f.resolution);
    SetIfOn(ctx, row, PlayTime, f.playTime);
    SetIfOn(ctx, row, Creater, info.creator);
    SetIfOn(ctx, row, Comment, info.comment);
  }
  file.reset();

  std::string dir = PathDirectory(path);
  SetIfOn(ctx, row, DirPath, dir);
  if (table.IsOn(VolLabel)) {
    std::string root = VolumeRoot(dir);
    if (!caches) {
      SetIfOn(ctx, row, VolLabel, ctx.fs.VolumeLabel(root));
    } else {
      LabelCache* labels = &caches->labels;
      if (!labels->valid || labels->root != root) {
        labels->root = root;
        labels->label = ctx.fs.VolumeLabel(root);
        labels->valid = true;
      }
      SetIfOn(ctx, row, VolLabel, labels->label);
    }
  }
}

void AddMovieRow(ScanContext& ctx, const std::string& path, int index) {
  AddMovieRowCached(ctx, path, index, nullptr);
}

}  // namespace clip
