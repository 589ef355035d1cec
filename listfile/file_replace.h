// Renaming a finished file over the file it replaces, per platform.
#pragma once

#include <cstdio>
#include <string>

#include "catalogue/file_io.h"

namespace clip {

// Moves the file `from` to `to`, replacing `to` when it exists. A read-only
// `to` is not replaced. On failure returns false and a cause text; `from`
// is then left for the caller to remove.
bool ReplaceFileWith(const std::string& from, const std::string& to, std::string& cause);

// Cuts the file at path back to size bytes (after a failed append).
bool TruncateFileTo(const std::string& path, long long size);

// The offset of the end of an open file (64-bit: a text list may pass
// 2 GB), or -1.
long long FileEndOffset(std::FILE* file);

// The cause text for a C library error number (errno).
std::string ErrnoCauseText(int error);

}  // namespace clip
