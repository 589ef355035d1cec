// The header of an ISO base media box (MP4, MOV, 3GP), read the one way the
// container check, the walk over a file's boxes and the walk over boxes
// already in memory all take it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "scan/byte_reader.h"

namespace clip {

struct IsoBoxHeader {
  std::uint32_t type = 0;      // read big-endian: compare with BigFourCC("moov")
  std::uint64_t size = 0;      // of the whole box, its header included
  std::size_t headerSize = 0;  // 8, or 16 with a 64-bit size
};

enum class IsoBoxRead {
  Ok,
  Short,  // the bytes end inside the header
  Small,  // the size is smaller than the header itself
  Long,   // the box runs past the room it has (size is as the header says)
};

// Reads the header at the start of bytes (16 of them hold any header) of a
// box that has room bytes from its start to the end of the space it lies
// in. Size 1 takes the 64-bit size after the type; size 0 runs to the end
// of the room.
IsoBoxRead ReadIsoBoxHeader(ByteView bytes, std::uint64_t room, IsoBoxHeader& box);

}  // namespace clip
