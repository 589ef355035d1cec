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

unsigned char* CachedMovieFile::Reserve(std::size_t n) {
  if (n > cacheCapacity_) {
    cache_.reset(new unsigned char[n]);
    cacheCapacity_ = n;
  }
  cacheSize_ = 0;
  return cache_.get();
}

bool CachedMovieFile::Fill(std::uint64_t start, std::size_t n) {
  cacheSize_ = RawReadFully(start, Reserve(n), n);
  cacheStart_ = start;
  return cacheSize_ != 0;
}

std::size_t CachedMovieFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t n) {
  if (n == 0 || offset >= size_) return 0;
  n = static_cast<std::size_t>(std::min<std::uint64_t>(n, size_ - offset));

  bool cached = offset >= cacheStart_ && offset - cacheStart_ < cacheSize_ &&
                n <= cacheSize_ - (offset - cacheStart_);
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
      if (got != 0 && n <= kWholeFileMax) {
        std::memcpy(Reserve(got), buffer, got);
        cacheSize_ = got;
        cacheStart_ = offset;
      }
      return got;
    }
  }
  // A short fill (a file that shrank, a failed read) serves what it holds.
  if (offset < cacheStart_ || offset - cacheStart_ >= cacheSize_) return 0;
  std::size_t at = static_cast<std::size_t>(offset - cacheStart_);
  n = std::min(n, cacheSize_ - at);
  std::memcpy(buffer, cache_.get() + at, n);
  return n;
}

}  // namespace clip
