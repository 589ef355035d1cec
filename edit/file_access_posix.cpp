#include <sys/types.h>
#include <unistd.h>

#include "edit/file_access.h"

namespace clip {

bool SeekTo(std::FILE* f, std::uint64_t offset) {
  return fseeko(f, static_cast<off_t>(offset), SEEK_SET) == 0;
}

std::uint64_t OpenFileSize(std::FILE* f) {
  if (fseeko(f, 0, SEEK_END) != 0) return 0;
  const off_t n = ftello(f);
  return n < 0 ? 0 : static_cast<std::uint64_t>(n);
}

bool CutFile(std::FILE* f, std::uint64_t length) {
  if (std::fflush(f) != 0) return false;
  return ftruncate(fileno(f), static_cast<off_t>(length)) == 0;
}

}  // namespace clip
