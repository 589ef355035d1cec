// Facts of a Matroska or WebM file from its EBML elements: the segment's
// Info, Tracks and Tags, found in order at its start or through its
// SeekHead when they lie further on (Tags often sit at the end), and the
// first blocks of the first Cluster where the video track states no frame
// duration.
#pragma once

#include <cstddef>
#include <cstdint>

#include "scan/movie_facts.h"
#include "scan/movie_file.h"

namespace clip {

// Bytes of the first read and of each later read elsewhere.
constexpr std::size_t kMatroskaHeadBytes = 64 * 1024;
// Reads of one file after which nothing more is read.
constexpr int kMatroskaMaxReads = 12;
// Info, Tracks, Tags and SeekHead are each read up to this many bytes.
constexpr std::size_t kMatroskaMaxElementBytes = 1024 * 1024;
// A video track that states no frame duration has its frame rate measured
// on the times of up to this many of its first blocks, read from the first
// Cluster on: from what the first read holds, else from one read of
// kMatroskaClusterBytes there.
constexpr std::size_t kMatroskaRateFrames = 128;
constexpr std::size_t kMatroskaClusterBytes = 256 * 1024;

// NotThis unless the file starts with an EBML header whose DocType is
// "matroska" or "webm". Truncated when the segment or an element runs past
// the end of the file, or the file ends inside a header; Malformed when a
// header starts no element, an element runs past its parent or the segment,
// or a SeekHead position holds no element of the kind it names;
// BudgetSpent when the reads or the element cap run out first.
MovieFacts ProbeMatroska(MovieFile& file);

}  // namespace clip
