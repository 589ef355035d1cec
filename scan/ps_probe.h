// MPEG program streams (.mpg, .mpeg, .vob: MPEG-1 system streams and MPEG-2
// program streams): the first video and audio stream's headers, and the
// play time between the first and the last time stamp. Video whose headers
// state no frame rate has it from the steps of its packets' time stamps.
#pragma once

#include <cstddef>

#include "scan/byte_reader.h"
#include "scan/movie_facts.h"
#include "scan/movie_file.h"

namespace clip {

// The file's head is read in one piece of this size, and when the file is
// larger its tail in one more.
constexpr std::size_t kPsHeadBytes = 256 * 1024;
constexpr std::size_t kPsTailBytes = 256 * 1024;

// Needs a pack header (00 00 01 BA) at the start of the file. The first
// video stream (ids E0..EF) and the first audio stream (C0..DF, or in
// private stream 1 the AC-3, DTS and LPCM sub-streams) are those whose first
// packet comes first. A file the head holds whole lists its audio streams
// and sub-picture streams (private stream 1, 20..3F), without languages;
// the first audio stream's channels are those of its first frame header.
//
// NotThis without the pack header; Truncated when the file ends inside a
// packet or header, or before a stream's first header; Malformed when bytes
// between the packs are none, or a file the head holds whole has no
// packets; BudgetSpent when a stream's header, or any packet, is not in the
// head of a larger file; Unsupported when the packets hold no stream of a
// kind the program reads.
MovieFacts ProbeMpegProgram(MovieFile& file);

}  // namespace clip
