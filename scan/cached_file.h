// A movie file that keeps the bytes of its last read, so that the tail scan
// and the probes of one small file share a single system read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "scan/movie_file.h"

namespace clip {

class CachedMovieFile : public MovieFile {
 public:
  // A file of at most this many bytes is read whole on its first read.
  static constexpr std::size_t kWholeFileMax = 64 * 1024;
  // Reads of up to this many bytes from a larger file fetch a block this size.
  static constexpr std::size_t kBlock = 16 * 1024;

  explicit CachedMovieFile(std::uint64_t size) : size_(size) {}

  std::uint64_t Size() override { return size_; }
  std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t n) override;

  int rawReads = 0;  // system reads so far

 protected:
  // One read of up to n bytes at offset from the file itself; returns the
  // bytes read, 0 at the end or on failure.
  virtual std::size_t RawRead(std::uint64_t offset, void* buffer, std::size_t n) = 0;

 private:
  std::size_t RawReadFully(std::uint64_t offset, void* buffer, std::size_t n);
  bool Fill(std::uint64_t start, std::size_t n);
  unsigned char* Reserve(std::size_t n);

  std::uint64_t size_;
  // Left uninitialised: every byte served has been read first.
  std::unique_ptr<unsigned char[]> cache_;
  std::size_t cacheCapacity_ = 0, cacheSize_ = 0;
  std::uint64_t cacheStart_ = 0;
};

}  // namespace clip
