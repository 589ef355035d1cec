// A movie file held in memory, for tests and fuzzing of the probes.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "scan/scan.h"

namespace clip {

class MemoryMovieFile : public MovieFile {
 public:
  MemoryMovieFile() = default;
  explicit MemoryMovieFile(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}
  MemoryMovieFile(const void* data, std::size_t size)
      : bytes_(static_cast<const std::uint8_t*>(data),
               static_cast<const std::uint8_t*>(data) + size) {}

  std::uint64_t Size() override { return bytes_.size(); }
  std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t n) override {
    ++reads;
    if (offset >= bytes_.size()) return 0;
    std::size_t left = bytes_.size() - static_cast<std::size_t>(offset);
    std::size_t k = n < left ? n : left;
    if (k) std::memcpy(buffer, bytes_.data() + offset, k);
    bytesRead += k;
    return k;
  }

  std::vector<std::uint8_t>& bytes() { return bytes_; }
  int reads = 0;                // ReadAt calls so far
  std::uint64_t bytesRead = 0;  // bytes handed out so far

 private:
  std::vector<std::uint8_t> bytes_;
};

}  // namespace clip
