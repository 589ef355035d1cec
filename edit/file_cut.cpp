#include "edit/file_cut.h"

#ifndef _WIN32
#include <sys/types.h>
#include <unistd.h>

namespace clip {

bool CutFile(std::FILE* f, std::uint64_t length) {
  if (std::fflush(f) != 0) return false;
  return ftruncate(fileno(f), static_cast<off_t>(length)) == 0;
}

}  // namespace clip
#endif
