#include <cstring>

#include "base/cp932.h"
#include "base/text.h"
#include "scan/byte_reader.h"
#include "scan/codec_table.h"
#include "scan/probe.h"

namespace clip {

namespace {

// Runs the byte scan over the tail: an 'I' followed by SBJ, CMT or COP, a
// four-byte size that is skipped, then the value up to the first zero byte
// or the end. A later entry replaces an earlier one.
void ScanTailBytes(ByteView tail, InfoTail& info) {
  const std::size_t n = tail.size();
  std::size_t p = 0;
  while (p < n) {
    // Straight to the next 'I': most of a tail is media data.
    const void* at = std::memchr(tail.data() + p, 'I', n - p);
    if (!at) break;
    p = static_cast<std::size_t>(static_cast<const std::uint8_t*>(at) - tail.data()) + 1;
    if (!tail.Has(p, 3)) break;  // fewer than three bytes left: no identifier
    std::string* target = nullptr;
    if (tail.U8(p) == 'S' && tail.U8(p + 1) == 'B' && tail.U8(p + 2) == 'J')
      target = &info.title;
    else if (tail.U8(p) == 'C' && tail.U8(p + 1) == 'M' && tail.U8(p + 2) == 'T')
      target = &info.comment;
    else if (tail.U8(p) == 'C' && tail.U8(p + 1) == 'O' && tail.U8(p + 2) == 'P')
      target = &info.creator;
    p += 3;  // the identifier's bytes are not looked at again
    if (!target) continue;
    p = tail.Has(p, 4) ? p + 4 : n;
    const std::uint8_t* start = tail.data() + p;
    const void* zero = std::memchr(start, 0, n - p);
    std::size_t len =
        zero ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(zero) - start) : n - p;
    // The values are code page 932, as writers of the list store them.
    // (A byte that decodes to no character becomes one of two bytes, so
    // the decoded text is held to the limit once more.)
    *target =
        CutCp932(Cp932ToUtf8(CutCp932Bytes(
                     std::string_view(reinterpret_cast<const char*>(start), len), kInfoValueMax)),
                 kInfoValueMax);
    p += len;
    if (p < n) ++p;  // past the zero byte
  }
}

}  // namespace

InfoTail ScanInfoTail(MovieFile& file) {
  InfoTail info;
  const std::uint64_t size = file.Size();
  const std::uint64_t start = size > kInfoTailBytes ? size - kInfoTailBytes : 0;
  // The window ends at the end of the file, so a value that starts in it
  // runs at most to there: one read holds everything the scan looks at.
  std::vector<std::uint8_t> tail = ReadBytes(file, start, kInfoTailBytes);
  ScanTailBytes(ByteView(tail), info);
  return info;
}

}  // namespace clip
