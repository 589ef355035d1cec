// The read cache shared by the Win32 file and the benchmark's POSIX file.
#include "scan/cached_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

namespace clip {
namespace {

// A file in memory whose raw reads are counted and may come in small pieces.
class CountingFile : public CachedMovieFile {
 public:
  explicit CountingFile(std::size_t size, std::size_t piece = 0, std::size_t readable = SIZE_MAX)
      : CachedMovieFile(size), bytes_(size), piece_(piece), readable_(std::min(readable, size)) {
    for (std::size_t i = 0; i < size; ++i)
      bytes_[i] = static_cast<unsigned char>(i * 131 + (i >> 8));
  }
  std::vector<unsigned char> Expected(std::uint64_t offset, std::size_t n) const {
    if (offset >= bytes_.size()) return {};
    auto first = bytes_.begin() + static_cast<long>(offset);
    return std::vector<unsigned char>(
        first, first + static_cast<long>(std::min<std::size_t>(n, bytes_.size() - offset)));
  }
  std::vector<unsigned char> Read(std::uint64_t offset, std::size_t n) {
    std::vector<unsigned char> out(n);
    out.resize(ReadAt(offset, out.data(), n));
    return out;
  }

 protected:
  std::size_t RawRead(std::uint64_t offset, void* buffer, std::size_t n) override {
    if (offset >= readable_) return 0;
    n = std::min<std::size_t>(n, readable_ - offset);
    if (piece_) n = std::min(n, piece_);
    std::memcpy(buffer, bytes_.data() + offset, n);
    return n;
  }

 private:
  std::vector<unsigned char> bytes_;
  std::size_t piece_;
  std::size_t readable_;
};

TEST(CachedFile, ASmallFileIsReadOnceForTailAndHeader) {
  CountingFile f(15000);
  EXPECT_EQ(f.Read(15000 - 1024, 1024), f.Expected(15000 - 1024, 1024));
  EXPECT_EQ(f.Read(0, 65536), f.Expected(0, 65536));
  EXPECT_EQ(f.Read(200, 12), f.Expected(200, 12));
  EXPECT_EQ(f.rawReads, 1);
}

TEST(CachedFile, ALargeFileCostsOneReadForTheHeadAndOneForTheTail) {
  CountingFile f(1 << 20);
  EXPECT_EQ(f.Read(0, 65536), f.Expected(0, 65536));
  EXPECT_EQ(f.Read(4000, 100), f.Expected(4000, 100));
  EXPECT_EQ(f.rawReads, 1);
  EXPECT_EQ(f.Read((1 << 20) - 1024, 1024), f.Expected((1 << 20) - 1024, 1024));
  EXPECT_EQ(f.Read((1 << 20) - 10, 100), f.Expected((1 << 20) - 10, 10));
  EXPECT_EQ(f.rawReads, 2);
  EXPECT_TRUE(f.Read(1 << 20, 10).empty());
  EXPECT_TRUE(f.Read(~0ull, 10).empty());
  EXPECT_EQ(f.rawReads, 2);
}

TEST(CachedFile, AnyReadGivesTheFilesBytesWhateverTheRawPieces) {
  std::mt19937 rng(7);
  for (std::size_t size : {0u, 1u, 1023u, 16384u, 65536u, 65537u, 300000u}) {
    for (std::size_t piece : {0u, 1u, 7u, 5000u}) {
      CountingFile f(size, piece);
      for (int i = 0; i < 200; ++i) {
        std::uint64_t offset = size ? rng() % (size + 100) : rng() % 10;
        std::size_t n = rng() % (i % 3 == 0 ? 100000 : 2000);
        ASSERT_EQ(f.Read(offset, n), f.Expected(offset, n))
            << size << " " << piece << " " << offset;
      }
    }
  }
}

TEST(CachedFile, AFileShorterThanItsSizeServesWhatItHas) {
  CountingFile f(40000, 0, 1000);  // shrank to 1000 bytes after the size was taken
  EXPECT_EQ(f.Read(0, 500), f.Expected(0, 500));
  EXPECT_EQ(f.Read(900, 500), f.Expected(900, 100));
  EXPECT_TRUE(f.Read(39000, 1024).empty());
  CountingFile big(200000, 0, 0);  // nothing readable at all
  EXPECT_TRUE(big.Read(0, 65536).empty());
  EXPECT_TRUE(big.Read(199000, 1000).empty());
}

}  // namespace
}  // namespace clip
