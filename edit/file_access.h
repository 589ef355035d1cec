// What the INFO writer needs of an open file beyond the standard library:
// 64-bit positions and cutting the file to a length.
#pragma once

#include <cstdint>
#include <cstdio>

namespace clip {

// Moves to a 64-bit offset; false when the platform refuses.
bool SeekTo(std::FILE* f, std::uint64_t offset);
// The size of the open file (0 when it cannot be told).
std::uint64_t OpenFileSize(std::FILE* f);
// Flushes f and sets its file's length; false when the platform refuses.
bool CutFile(std::FILE* f, std::uint64_t length);

}  // namespace clip
