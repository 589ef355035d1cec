// Opening and removing files by UTF-8 paths, the form every path takes
// inside the program. (The C library takes paths in the platform's own
// form: bytes on POSIX systems, UTF-16 on Windows, where the ANSI form could
// not name every file.)
#pragma once

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

}  // namespace clip
