#include "scan/cached_file.h"

#include <algorithm>
#include <cstring>

namespace clip {

std::size_t CachedMovieFile::RawReadFully(std::uint64_t offset, void* buffer, std::size_t n) {
  std::size_t total = 0;
  auto* out = static_cast<unsigned char*>(buffer);
  while (total < n) {
    ++rawReads;
    std::size_t got = RawRead(offset + total, out + total, n - total);
    if (got == 0 || got > n - total) break;
    total += got;
  }
  return total;
}

bool CachedMovieFile::Fill(std::uint64_t start, std::size_t n) {
  cache_.resize(n);
  cache_.resize(RawReadFully(start, cache_.data(), n));
  cacheStart_ = start;
  return !cache_.empty();
}

std::size_t CachedMovieFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t n) {
  if (n == 0 || offset >= size_) return 0;
  n = static_cast<std::size_t>(std::min<std::uint64_t>(n, size_ - offset));

  bool cached = offset >= cacheStart_ && offset - cacheStart_ < cache_.size() &&
                n <= cache_.size() - (offset - cacheStart_);
  if (!cached) {
    if (size_ <= kWholeFileMax) {
      if (!Fill(0, static_cast<std::size_t>(size_))) return 0;
    } else if (n <= kBlock) {
      // The block starts at the read, or ends at the end of the file when
      // the read lies near it (the tail scan).
      std::uint64_t start = size_ - offset < kBlock ? size_ - kBlock : offset;
      if (!Fill(start, kBlock)) return 0;
    } else {
      std::size_t got = RawReadFully(offset, buffer, n);
      if (n <= kWholeFileMax) {
        cache_.assign(static_cast<unsigned char*>(buffer),
                      static_cast<unsigned char*>(buffer) + got);
        cacheStart_ = offset;
      }
      return got;
    }
  }
  // A short fill (a file that shrank, a failed read) serves what it holds.
  if (offset < cacheStart_ || offset - cacheStart_ >= cache_.size()) return 0;
  std::size_t at = static_cast<std::size_t>(offset - cacheStart_);
  n = std::min(n, cache_.size() - at);
  std::memcpy(buffer, cache_.data() + at, n);
  return n;
}

}  // namespace clip
