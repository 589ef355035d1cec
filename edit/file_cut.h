// Cutting an open file to a length: the one place where the INFO writer
// needs more than the standard library.
#pragma once

#include <cstdint>
#include <cstdio>

namespace clip {

// Flushes f and sets its file's length; false when the platform refuses.
bool CutFile(std::FILE* f, std::uint64_t length);

}  // namespace clip
