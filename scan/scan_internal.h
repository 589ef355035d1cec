// Shared between the walk and the row builder.
#pragma once

#include <cstdint>
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

void AddMovieRowCached(ScanContext& ctx, const std::string& path, int index, LabelCache* labels);

}  // namespace clip
