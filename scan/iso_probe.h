// Facts of an ISO base media file (MP4, MOV, 3GP, M4V) from its boxes:
// the movie header, the first video and audio track, the sample tables'
// counts and sizes, fragments where the file has them, and its tags.
#pragma once

#include <cstddef>
#include <cstdint>

#include "scan/movie_facts.h"
#include "scan/movie_file.h"

namespace clip {

// Bytes of the first read, and of every later read that lands outside what
// is held already: a moov of this size or less costs one read wherever it is.
constexpr std::size_t kIsoHeadBytes = 64 * 1024;
// Reads of one file after which the parser gives up on what is still
// missing; a well-formed file needs a handful.
constexpr int kIsoMaxReads = 32;
// An audio sample-size table of more entries than this (2 MB of sizes, over
// three hours of AAC at 48 kHz) is not summed; the rate the sample
// description declares is taken instead.
constexpr std::uint32_t kIsoMaxSummedSizes = 1u << 19;

// Reads the boxes of file: the top-level walk jumps over media data by its
// size to find moov wherever it lies. NotThis when the first box is not one
// an ISO base media file starts with; Truncated when a box runs past the end
// of the file (the file stops inside a header, or the box after moov does);
// Malformed when a box is smaller than its header, runs past its parent, or
// no moov is found; BudgetSpent when the reads run out first.
MovieFacts ProbeIsoMedia(MovieFile& file);

}  // namespace clip
