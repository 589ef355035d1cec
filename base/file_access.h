// Files by UTF-8 paths, the form every path takes inside the program (the
// C library takes paths in the platform's own form: bytes on POSIX systems,
// UTF-16 on Windows, where the ANSI form could not name every file), and
// what the list files and the INFO writer need beyond the standard library:
// 64-bit positions, cutting a file to a length, replacing a file whole.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace clip {

// std::fopen for a UTF-8 path; null with errno set on failure.
std::FILE* OpenFile(const std::string& path, const char* mode);
// std::remove for a UTF-8 path; true when the file is gone.
bool RemoveFile(const std::string& path);
// True when something (file or folder) exists at path.
bool PathExists(const std::string& path);
// True when path names an existing file marked read-only: such a file is
// neither replaced, appended to nor written into, even for a user whom the
// system would let write it.
bool IsReadOnlyFile(const std::string& path);

// Moves to a 64-bit offset; false when the platform refuses.
bool SeekTo(std::FILE* f, std::uint64_t offset);
// The offset of the end of an open file (64-bit: a text list may pass
// 2 GB), or -1; the file is left positioned there.
long long FileEndOffset(std::FILE* file);
// The size of the open file (0 when it cannot be told).
std::uint64_t OpenFileSize(std::FILE* f);
// Flushes f and sets its file's length; false when the platform refuses.
bool CutFile(std::FILE* f, std::uint64_t length);
// Cuts the file at path back to size bytes (after a failed append).
bool TruncateFileTo(const std::string& path, long long size);

// Moves the file `from` to `to`, replacing `to` when it exists. A read-only
// `to` is not replaced. On failure returns false and a cause text; `from`
// is then left for the caller to remove.
bool ReplaceFileWith(const std::string& from, const std::string& to, std::string& cause);
// The cause text for a C library error number (errno).
std::string ErrnoCauseText(int error);

}  // namespace clip
