#include "edit/file_cut.h"

#include <io.h>

namespace clip {

bool CutFile(std::FILE* f, std::uint64_t length) {
  if (std::fflush(f) != 0) return false;
  return _chsize_s(_fileno(f), static_cast<long long>(length)) == 0;
}

}  // namespace clip
