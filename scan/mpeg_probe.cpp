#include "scan/mpeg_probe.h"

namespace clip {

namespace {

bool TakeFour(ByteView head, std::size_t off, MpegSequence& seq) {
  if (!head.Has(off, 4)) return false;
  for (int i = 0; i < 4; ++i) seq.bytes[i] = head.U8(off + i);
  seq.found = true;
  return true;
}

}  // namespace

MpegSequence FindMpegSequence(ByteView head) {
  MpegSequence seq;
  // A rolling register over the bytes: the whole start code, wherever it
  // stands in the first 64 KB.
  std::size_t end = head.size() < kMpegSearchBytes ? head.size() : kMpegSearchBytes;
  std::uint32_t reg = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < end; ++i) {
    reg = (reg << 8) | head.U8(i);
    if (reg == 0x000001B3u && TakeFour(head, i + 1, seq)) return seq;
  }
  // No start code: the first B3 byte in the old window, whatever precedes it.
  for (std::size_t i = 0; i < kMpegFallbackBytes; ++i) {
    std::size_t at = kMpegFallbackStart + i;
    if (at >= head.size()) break;
    if (head.U8(at) == 0xB3) {
      TakeFour(head, at + 1, seq);
      break;
    }
  }
  return seq;
}

MpegSequence ReadMpegSequence(MovieFile& file) {
  std::vector<std::uint8_t> head = ReadBytes(file, 0, kMpegSearchBytes + 4);
  return FindMpegSequence(ByteView(head));
}

const char* MpegFrameRateText(int code) {
  static const char* const kRates[] = {"",     "23.97", "24.0",  "25.0", "29.97",
                                       "30.0", "50.0",  "59.94", "60.0"};
  if (code < 1 || code > 8) return "";
  return kRates[code];
}

}  // namespace clip
