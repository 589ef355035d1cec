// MPEG transport streams (.ts, and .m2ts/.mts with 192-byte packets): the
// first program's streams, the headers at the start of its first video and
// audio stream, and the play time between the first and the last time stamp.
// Video whose headers state no fixed frame rate has it from the steps of
// its packets' decode time stamps.
// The program map lists the tracks: every audio stream with its language
// descriptor's language, and the DVB subtitle, teletext subtitle and
// Blu-ray graphics streams; the first audio stream's channels are those of
// its first frame header.
#pragma once

#include <cstddef>

#include "scan/byte_reader.h"
#include "scan/movie_facts.h"
#include "scan/movie_file.h"

namespace clip {

// Where the packets lie: the offset of the first sync byte (0x47) and the
// distance from one to the next: 188, 192 (a 4-byte time code before each
// packet) or 204 (16 check bytes after each).
struct TsLayout {
  std::size_t firstSync = 0;
  std::size_t packetSize = 0;
};

// Finds the layout from the sync bytes of the first packets in bytes, which
// must hold at least three whole packets (2 KB hold six of any size wherever
// in the first packet the first sync byte lies): every one of up to six
// packets has to start with its sync byte.
bool FindTsLayout(ByteView bytes, TsLayout& layout);

// The file's head is read in one piece of this size, and when the file is
// larger its tail in one more.
constexpr std::size_t kTsHeadBytes = 256 * 1024;
constexpr std::size_t kTsTailBytes = 256 * 1024;

// NotThis without packets in the layout above; Truncated when the file
// ends inside a packet, or before a stream's first header; Malformed when
// packets lose their sync or layout, or a file the head holds whole has no
// program map; BudgetSpent when the map or a stream's header is not in the
// head of a larger file; Unsupported when the program lists no stream of a
// kind the program reads.
MovieFacts ProbeMpegTransport(MovieFile& file);

}  // namespace clip
