#include "catalogue/file_io.h"

#include <sys/stat.h>
#include <unistd.h>

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

}  // namespace clip
