// Renaming a finished file over the file it replaces, per platform.
#pragma once

#include <cstdio>
#include <string>

namespace clip {

// Moves the file `from` to `to`, replacing `to` when it exists. A read-only
// `to` is not replaced. On failure returns false and a cause text; `from`
// is then left for the caller to remove.
bool ReplaceFileWith(const std::string& from, const std::string& to, std::string& cause);

// True when path names an existing file marked read-only (such a file is
// neither replaced nor appended to).
bool IsReadOnlyFile(const std::string& path);

// True when something (file or folder) exists at path.
bool PathExists(const std::string& path);

// Cuts the file at path back to size bytes (after a failed append).
bool TruncateFileTo(const std::string& path, long long size);

// The offset of the end of an open file (64-bit: a text list may pass
// 2 GB), or -1.
long long FileEndOffset(std::FILE* file);

// The cause text for a C library error number (errno).
std::string ErrnoCauseText(int error);

}  // namespace clip
