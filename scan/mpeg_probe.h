// The MPEG sequence header at the start of an MPEG file, as .mpg files of
// no other container are read.
#pragma once

#include <cstddef>
#include <cstdint>

#include "scan/byte_reader.h"
#include "scan/movie_facts.h"
#include "scan/movie_file.h"

namespace clip {

// The four bytes after the sequence header start code: 12-bit width and
// height, aspect ratio and frame-rate code.
struct MpegSequence {
  bool found = false;
  bool cut = false;  // a start code the bytes end in before its header
  std::uint8_t bytes[4] = {};

  int Width() const { return bytes[0] * 16 + (bytes[1] >> 4); }
  int Height() const { return (bytes[1] & 0x0F) * 256 + bytes[2]; }
  int FrameRateCode() const { return bytes[3] & 0x0F; }
};

// The start code 00 00 01 B3 is looked for within this many bytes from the
// start of the file (read with the four bytes after them).
constexpr std::size_t kMpegHeadBytes = 64 * 1024;
// Without a whole start code there, the first byte B3 within this window is
// taken, as VideoCD-style files were always read.
constexpr std::size_t kMpegFallbackStart = 2079;
constexpr std::size_t kMpegFallbackBytes = 2101;

// Finds the sequence header in the first bytes of a file (see above).
MpegSequence FindMpegSequence(ByteView head);
// Reads the file's first 64 KB (and four bytes more) and searches them.
MpegSequence ReadMpegSequence(MovieFile& file);

// The facts of an .mpg row: the names MPEG1 and MP2 whatever the bytes hold,
// and the sequence header's size and frame rate when it is found. The
// outcome is NotThis without a sequence header, Truncated when the file
// ends in it, Malformed when it holds no size or no frame rate code.
MovieFacts MpegSequenceFacts(const MpegSequence& sequence);
MovieFacts ProbeMpegSequence(MovieFile& file);

}  // namespace clip
