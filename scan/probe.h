// The tail scan and the video and audio probes of one open movie file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "scan/scan.h"

namespace clip {

// Title (ISBJ), creator (ICOP) and comment (ICMT) found in the last 1024
// bytes of a file (the whole file when it is shorter); a later entry
// replaces an earlier one.
struct InfoTail {
  std::string title, creator, comment;
};
InfoTail ScanInfoTail(MovieFile& file);

// The tail scan looks at this many bytes at the end of a file.
constexpr std::size_t kInfoTailWindow = 1024;

// Runs the video probe and then the audio probe for path, whose kind is
// told by its ending. file is the already open file (null when it could not
// be opened: then the fields that need its bytes are empty).
ProbeFields ProbeMovie(std::string_view path, MovieFile* file, CodecNames& codecs);

// A path ending in "i" or "I" is an AVI file; else one whose last three
// characters are "MPG" in any case is an MPEG file; anything else is taken
// for RealMedia.
enum class MovieKind { Avi, Mpeg, RealMedia };
MovieKind KindOfMoviePath(std::string_view path);

}  // namespace clip
