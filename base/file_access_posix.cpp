// Files on POSIX systems (the native build).
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "base/file_access.h"

namespace clip {

std::FILE* OpenFile(const std::string& path, const char* mode) {
  return std::fopen(path.c_str(), mode);
}

bool RemoveFile(const std::string& path) { return std::remove(path.c_str()) == 0; }

bool PathExists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

bool IsReadOnlyFile(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && !(st.st_mode & S_IWUSR);
}

bool SeekTo(std::FILE* f, std::uint64_t offset) {
  return fseeko(f, static_cast<off_t>(offset), SEEK_SET) == 0;
}

bool CutFile(std::FILE* f, std::uint64_t length) {
  if (std::fflush(f) != 0) return false;
  return ftruncate(fileno(f), static_cast<off_t>(length)) == 0;
}

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
