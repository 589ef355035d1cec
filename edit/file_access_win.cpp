#include <io.h>

#include "edit/file_access.h"

namespace clip {

bool SeekTo(std::FILE* f, std::uint64_t offset) {
  return _fseeki64(f, static_cast<long long>(offset), SEEK_SET) == 0;
}

std::uint64_t OpenFileSize(std::FILE* f) {
  if (_fseeki64(f, 0, SEEK_END) != 0) return 0;
  const long long n = _ftelli64(f);
  return n < 0 ? 0 : static_cast<std::uint64_t>(n);
}

bool CutFile(std::FILE* f, std::uint64_t length) {
  if (std::fflush(f) != 0) return false;
  return _chsize_s(_fileno(f), static_cast<long long>(length)) == 0;
}

}  // namespace clip
