// Shared between the walk and the row builder.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "scan/scan.h"

namespace clip {

// Volume labels asked for during one walk, so that a walk asks once per
// drive. Not kept between walks: the disc in a drive may change.
struct LabelCache {
  std::string root, label;
  bool valid = false;
};

// The three size cells of a file of size bytes.
std::string SizeBytesText(std::uint64_t size);
std::string SizeMBText(std::uint64_t size, int sizeInfo);
std::string SizeKBText(std::uint64_t size, int sizeInfo);

// What one walk remembers from file to file.
struct WalkCaches {
  explicit WalkCaches(CodecNames& names) : codecs(names) {}
  LabelCache labels;
  CodecCache codecs;
};

// caches is null for a single file.
void AddMovieRowCached(ScanContext& ctx, const std::string& path, int index, WalkCaches* caches);

}  // namespace clip
