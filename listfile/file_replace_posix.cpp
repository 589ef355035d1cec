// The list files' file operations on POSIX systems (the native build).
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "listfile/file_replace.h"

namespace clip {

bool TruncateFileTo(const std::string& path, long long size) {
  return truncate(path.c_str(), static_cast<off_t>(size)) == 0;
}

long long FileEndOffset(std::FILE* file) {
  if (fseeko(file, 0, SEEK_END) != 0) return -1;
  return static_cast<long long>(ftello(file));
}

bool ReplaceFileWith(const std::string& from, const std::string& to, std::string& cause) {
  // rename() would replace a read-only file as long as its folder is
  // writable; a read-only list is kept, as on Windows.
  if (IsReadOnlyFile(to)) {
    cause = ErrnoCauseText(EACCES);
    return false;
  }
  if (std::rename(from.c_str(), to.c_str()) != 0) {
    cause = ErrnoCauseText(errno);
    return false;
  }
  return true;
}
}  // namespace clip
