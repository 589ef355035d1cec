// Bytes of a movie file held in memory and read only through bound checks.
//
// Every offset and size the probes take from a file goes through ByteView:
// a range is inside the view when off <= size and n <= size - off (checked
// by subtraction, so no size field can wrap an addition), and a read outside
// the view yields 0 rather than touching memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "scan/movie_file.h"

namespace clip {

class ByteView {
 public:
  ByteView() = default;
  ByteView(const std::uint8_t* data, std::size_t size) : data_(data), size_(data ? size : 0) {}
  explicit ByteView(const std::vector<std::uint8_t>& bytes)
      : ByteView(bytes.data(), bytes.size()) {}

  std::size_t size() const { return size_; }
  const std::uint8_t* data() const { return data_; }

  // True when the n bytes at off lie inside the view.
  bool Has(std::size_t off, std::size_t n) const { return off <= size_ && n <= size_ - off; }

  std::uint8_t U8(std::size_t off) const { return off < size_ ? data_[off] : 0; }
  std::uint16_t U16(std::size_t off) const {
    if (!Has(off, 2)) return 0;
    return static_cast<std::uint16_t>(data_[off] | (data_[off + 1] << 8));
  }
  std::uint32_t U32(std::size_t off) const {
    if (!Has(off, 4)) return 0;
    return static_cast<std::uint32_t>(data_[off]) |
           (static_cast<std::uint32_t>(data_[off + 1]) << 8) |
           (static_cast<std::uint32_t>(data_[off + 2]) << 16) |
           (static_cast<std::uint32_t>(data_[off + 3]) << 24);
  }
  // True when the four bytes at off spell tag.
  bool Is(std::size_t off, const char (&tag)[5]) const {
    if (!Has(off, 4)) return false;
    for (int i = 0; i < 4; ++i)
      if (data_[off + i] != static_cast<std::uint8_t>(tag[i])) return false;
    return true;
  }
  // The bytes [off, off + n), cut to what the view holds.
  ByteView Sub(std::size_t off, std::size_t n) const {
    if (off >= size_) return ByteView();
    std::size_t left = size_ - off;
    return ByteView(data_ + off, n < left ? n : left);
  }

  // ---- Big-endian and 64-bit fields (ISO base media, Matroska, ASF) ----
  std::uint16_t U16BE(std::size_t off) const {
    if (!Has(off, 2)) return 0;
    return static_cast<std::uint16_t>((data_[off] << 8) | data_[off + 1]);
  }
  std::uint32_t U32BE(std::size_t off) const {
    if (!Has(off, 4)) return 0;
    return (static_cast<std::uint32_t>(U16BE(off)) << 16) | U16BE(off + 2);
  }
  std::uint64_t U64BE(std::size_t off) const {
    if (!Has(off, 8)) return 0;
    return (static_cast<std::uint64_t>(U32BE(off)) << 32) | U32BE(off + 4);
  }
  std::uint64_t U64(std::size_t off) const {
    if (!Has(off, 8)) return 0;
    return U32(off) | (static_cast<std::uint64_t>(U32(off + 4)) << 32);
  }
  // True when the n bytes at off equal bytes (a GUID, a signature).
  bool Equals(std::size_t off, const std::uint8_t* bytes, std::size_t n) const {
    if (!Has(off, n)) return false;
    for (std::size_t i = 0; i < n; ++i)
      if (data_[off + i] != bytes[i]) return false;
    return true;
  }

 private:
  const std::uint8_t* data_ = nullptr;
  std::size_t size_ = 0;
};

// A four-character code as stored little-endian in a RIFF file.
constexpr std::uint32_t FourCC(const char (&tag)[5]) {
  return static_cast<std::uint32_t>(static_cast<std::uint8_t>(tag[0])) |
         (static_cast<std::uint32_t>(static_cast<std::uint8_t>(tag[1])) << 8) |
         (static_cast<std::uint32_t>(static_cast<std::uint8_t>(tag[2])) << 16) |
         (static_cast<std::uint32_t>(static_cast<std::uint8_t>(tag[3])) << 24);
}

// A four-character code as stored big-endian (ISO box types, the codes of
// FLV tags and transport stream descriptors).
constexpr std::uint32_t BigFourCC(const char (&tag)[5]) {
  return (static_cast<std::uint32_t>(static_cast<std::uint8_t>(tag[0])) << 24) |
         (static_cast<std::uint32_t>(static_cast<std::uint8_t>(tag[1])) << 16) |
         (static_cast<std::uint32_t>(static_cast<std::uint8_t>(tag[2])) << 8) |
         static_cast<std::uint32_t>(static_cast<std::uint8_t>(tag[3]));
}

// Up to n bytes of file from offset: fewer at the end of the file, none when
// the offset lies past it or a read fails.
std::vector<std::uint8_t> ReadBytes(MovieFile& file, std::uint64_t offset, std::size_t n);

// One chunk of a RIFF list: its identifier and the part of its data that the
// enclosing view holds (a chunk whose size runs past its parent is cut there).
struct RiffChunk {
  std::uint32_t id = 0;
  std::uint32_t declaredSize = 0;
  ByteView data;
};

// Walks the chunks of one RIFF list body in order. Each step moves forward by
// at least eight bytes, so the walk ends after at most size / 8 chunks.
class RiffWalker {
 public:
  explicit RiffWalker(ByteView body) : body_(body) {}
  bool Next(RiffChunk& chunk);

 private:
  ByteView body_;
  std::size_t off_ = 0;
};

// ---- A file read through windows (ISO base media, Matroska, ASF) ----

// The file seen through two buffers: its first bytes, kept for the whole
// probe, and the last window read elsewhere. A read that lands outside both
// fetches a new window there (one that ends at the end of the file when the
// read lies near it, so a tail structure and what it points back to come
// together). After maxReads reads nothing more is read.
class FileWindow {
 public:
  FileWindow(MovieFile& file, std::size_t window, int maxReads);
  std::uint64_t size() const { return size_; }
  int reads() const { return reads_; }
  // True once a read was refused for the budget.
  bool spent() const { return spent_; }
  // Up to n bytes at off: fewer at the end of the file, none once the read
  // budget is spent. The view is valid until the next call.
  ByteView At(std::uint64_t off, std::size_t n);
  // What the two buffers already hold of the n bytes at off, from off on:
  // nothing is read. Valid until the next call of At.
  ByteView Held(std::uint64_t off, std::size_t n) const;

 private:
  MovieFile& file_;
  std::uint64_t size_;
  std::size_t window_;
  int maxReads_, reads_ = 1;
  bool spent_ = false;
  std::vector<std::uint8_t> head_, far_;
  std::uint64_t farStart_ = 0;
};

}  // namespace clip
