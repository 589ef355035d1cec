// Facts of an ASF file (WMV, WMA, ASF) from its header object.
#pragma once

#include <cstddef>
#include <cstdint>

#include "scan/movie_facts.h"
#include "scan/movie_file.h"

namespace clip {

// The first read; the header object of a typical file fits in it.
constexpr std::size_t kAsfHeadBytes = 64 * 1024;
// The header object is read whole up to this size (it sits at the start of
// the file, before the data packets); a larger one is read this far.
constexpr std::size_t kAsfMaxHeaderBytes = 1024 * 1024;
// A video stream that states no time per frame has its frame rate from the
// presentation times of the data packets: those in the bytes already read,
// else those in one more read of this size from the data object's start.
constexpr std::size_t kAsfPacketBytes = 128 * 1024;

// Reads the header object's children: file and stream properties, the
// content descriptions and the header extension's extended stream
// properties, and for a video stream without a time per frame the
// presentation times of the first data packets. Every audio stream is a
// track, its language the one of the language list that its extended
// properties pick; the first one's format gives the channels. NotThis when the file does
// not start with the header object's GUID; Truncated when the header
// object, or the whole file as its properties give it, is longer than the
// file; Malformed when the header is too short, its objects do not fit it
// or are fewer than it says, or a stream's format is too short; BudgetSpent
// when the header object is longer than the cap.
MovieFacts ProbeAsf(MovieFile& file);

}  // namespace clip
