#include "scan/byte_reader.h"

namespace clip {

std::vector<std::uint8_t> ReadBytes(MovieFile& file, std::uint64_t offset, std::size_t n) {
  // Never more than the file holds: a small file costs a small buffer.
  const std::uint64_t size = file.Size();
  if (offset >= size) return {};
  if (n > size - offset) n = static_cast<std::size_t>(size - offset);
  std::vector<std::uint8_t> bytes(n);
  std::size_t got = 0;
  // Every pass either adds at least one byte or ends the loop.
  while (got < n) {
    std::size_t r = file.ReadAt(offset + got, bytes.data() + got, n - got);
    if (r == 0) break;
    if (r > n - got) r = n - got;  // a reader never gives more than asked
    got += r;
  }
  bytes.resize(got);
  return bytes;
}

bool RiffWalker::Next(RiffChunk& chunk) {
  if (!body_.Has(off_, 8)) return false;
  chunk.id = body_.U32(off_);
  chunk.declaredSize = body_.U32(off_ + 4);
  std::size_t dataOff = off_ + 8;
  std::size_t left = body_.size() - dataOff;
  chunk.data = body_.Sub(dataOff, chunk.declaredSize);
  if (chunk.declaredSize >= left) {
    off_ = body_.size();  // this chunk reaches the end of the list
  } else {
    // Chunks start on even offsets: an odd-sized chunk is followed by a pad byte.
    std::size_t step = static_cast<std::size_t>(chunk.declaredSize) + (chunk.declaredSize & 1u);
    off_ = step >= left ? body_.size() : dataOff + step;
  }
  return true;
}

FileWindow::FileWindow(MovieFile& file, std::size_t window, int maxReads)
    : file_(file), size_(file.Size()), window_(window), maxReads_(maxReads) {
  head_ = ReadBytes(file, 0, window);
}

ByteView FileWindow::At(std::uint64_t off, std::size_t n) {
  if (off >= size_) return ByteView();
  if (n > size_ - off) n = static_cast<std::size_t>(size_ - off);
  if (off < head_.size() && n <= head_.size() - off)
    return ByteView(head_).Sub(static_cast<std::size_t>(off), n);
  if (off >= farStart_ && off - farStart_ < far_.size() && n <= far_.size() - (off - farStart_))
    return ByteView(far_).Sub(static_cast<std::size_t>(off - farStart_), n);
  if (reads_ >= maxReads_) {
    spent_ = true;
    return ByteView();
  }
  ++reads_;
  std::size_t want = n > window_ ? n : window_;
  std::uint64_t start = off;
  if (size_ - off < want) start = size_ > want ? size_ - want : 0;
  far_ = ReadBytes(file_, start, want);
  farStart_ = start;
  if (off - start >= far_.size()) return ByteView();
  return ByteView(far_).Sub(static_cast<std::size_t>(off - start), n);
}

ByteView FileWindow::Held(std::uint64_t off, std::size_t n) const {
  if (off < head_.size()) return ByteView(head_).Sub(static_cast<std::size_t>(off), n);
  if (off >= farStart_ && off - farStart_ < far_.size())
    return ByteView(far_).Sub(static_cast<std::size_t>(off - farStart_), n);
  return ByteView();
}

}  // namespace clip
