#include "scan/mpeg_pes.h"

#include <algorithm>

namespace clip {

std::uint64_t ReadTimeStamp(ByteView bytes, std::size_t off) {
  if (!bytes.Has(off, 5)) return 0;
  return (static_cast<std::uint64_t>(bytes.U8(off) >> 1 & 7) << 30) |
         (static_cast<std::uint64_t>(bytes.U16BE(off + 1) >> 1) << 15) |
         (bytes.U16BE(off + 3) >> 1);
}

PesHeader ReadPesHeader(ByteView pes, bool allowMpeg1) {
  PesHeader h;
  if (!pes.Has(0, 9) || pes.U8(0) != 0 || pes.U8(1) != 0 || pes.U8(2) != 1) return h;
  const std::uint8_t id = pes.U8(3);
  // Stream ids below BD are not PES packets; these carry no header fields.
  switch (id) {
    case 0xBE:
    case 0xBF:
    case 0xF0:
    case 0xF1:
    case 0xF2:
    case 0xF8:
    case 0xFF: return h;
    default:
      if (id < 0xBD) return h;
  }
  h.streamId = id;
  h.length = pes.U16BE(4);
  if ((pes.U8(6) & 0xC0) == 0x80) {
    const std::uint8_t flags = pes.U8(7);
    const std::size_t headerLength = pes.U8(8);
    if (!pes.Has(9, headerLength)) return h;
    h.payload = 9 + headerLength;
    if ((flags & 0x80) && headerLength >= 5) {
      h.hasPts = true;
      h.pts = ReadTimeStamp(pes, 9);
      if ((flags & 0x40) && headerLength >= 10) {
        h.hasDts = true;
        h.dts = ReadTimeStamp(pes, 14);
      }
    }
    h.valid = true;
    return h;
  }
  if (!allowMpeg1) return h;
  std::size_t off = 6;
  for (int i = 0; i < 16 && pes.U8(off) == 0xFF; ++i) ++off;  // stuffing
  if ((pes.U8(off) & 0xC0) == 0x40) off += 2;                 // buffer scale and size
  const std::uint8_t marker = pes.U8(off) & 0xF0;
  std::size_t stamps = marker == 0x20 ? 5 : marker == 0x30 ? 10 : pes.U8(off) == 0x0F ? 1 : 0;
  if (stamps == 0 || !pes.Has(off, stamps)) return h;
  if (stamps >= 5) {
    h.hasPts = true;
    h.pts = ReadTimeStamp(pes, off);
  }
  if (stamps == 10) {
    h.hasDts = true;
    h.dts = ReadTimeStamp(pes, off + 5);
  }
  h.payload = off + stamps;
  h.valid = true;
  return h;
}

namespace {

// The distance of pts from ref, taken as the nearer of forward and
// backward round the 33-bit circle.
std::int64_t Distance(std::uint64_t ref, std::uint64_t pts) {
  std::int64_t rel = static_cast<std::int64_t>((pts - ref) & (kPtsWrap - 1));
  if (rel >= static_cast<std::int64_t>(kPtsWrap / 2)) rel -= static_cast<std::int64_t>(kPtsWrap);
  return rel;
}

}  // namespace

void PesFrameStamps::Add(std::uint64_t stamp) {
  stamp &= kPtsWrap - 1;
  if (!haveRef_) {
    haveRef_ = true;
    ref_ = stamp;
  }
  stamps_.Add(Distance(ref_, stamp));
}

void PlayClock::Add(Stream stream, std::uint64_t pts) {
  pts &= kPtsWrap - 1;
  if (!haveRef_) {
    haveRef_ = true;
    ref_ = pts;
  }
  const std::int64_t rel = Distance(ref_, pts);
  if (!seen_[stream]) {
    seen_[stream] = true;
    min_[stream] = max_[stream] = rel;
  } else {
    min_[stream] = std::min(min_[stream], rel);
    max_[stream] = std::max(max_[stream], rel);
  }
}

double PlayClock::Seconds(double videoFrameTicks, double audioFrameTicks) const {
  if (!Any()) return -1;
  const double frame[2] = {videoFrameTicks, audioFrameTicks};
  bool first = true;
  double start = 0, end = 0;
  for (int s = 0; s < 2; ++s) {
    if (!seen_[s]) continue;
    double from = static_cast<double>(min_[s]), to = static_cast<double>(max_[s]) + frame[s];
    start = first ? from : std::min(start, from);
    end = first ? to : std::max(end, to);
    first = false;
  }
  return (end - start) / kPtsHz;
}

}  // namespace clip
