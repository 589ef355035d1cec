// PES packet headers and the play time their time stamps span: what the
// transport stream and program stream parsers share.
#pragma once

#include <cstddef>
#include <cstdint>

#include "scan/byte_reader.h"
#include "scan/frame_rate.h"

namespace clip {

// Time stamps count a 90 kHz clock in 33 bits, then wrap.
constexpr std::uint64_t kPtsWrap = 1ull << 33;
constexpr double kPtsHz = 90000;

struct PesHeader {
  bool valid = false;  // starts 00 00 01 with a stream id of C0..EF or BD
  std::uint8_t streamId = 0;
  std::uint16_t length = 0;  // PES_packet_length: bytes after this field, 0 when unbounded
  bool hasPts = false, hasDts = false;
  std::uint64_t pts = 0, dts = 0;
  std::size_t payload = 0;  // offset of the stream's bytes within the packet
  // When the packet's first picture is decoded: its DTS, which a stream
  // with B-frames sends in order where the PTS is not; else its PTS.
  std::uint64_t DecodeStamp() const { return hasDts ? dts : pts; }
};

// Reads a PES header in the MPEG-2 form or, in a program stream, the MPEG-1
// form (stuffing, buffer size, then the time stamps). A header whose fields
// run past the bytes given is not valid.
PesHeader ReadPesHeader(ByteView pes, bool allowMpeg1);

// A 33-bit time stamp in its five-byte form (with its marker bits).
std::uint64_t ReadTimeStamp(ByteView bytes, std::size_t off);

// The decode time stamps of a video stream's first frames, each taken as a
// distance from the first one so that a wrap of the clock among them does
// not break their order: the frame rate where the stream's headers give
// none.
class PesFrameStamps {
 public:
  void Add(std::uint64_t stamp);
  double Rate() const { return stamps_.Rate(kPtsHz); }

 private:
  bool haveRef_ = false;
  std::uint64_t ref_ = 0;
  FrameStamps stamps_;
};

// The earliest and latest time stamps of up to two streams, each taken as a
// distance from the first stamp seen, so that a clock that wraps between
// head and tail still gives the right span.
class PlayClock {
 public:
  enum Stream { kVideo = 0, kAudio = 1 };
  void Add(Stream stream, std::uint64_t pts);
  bool Any() const { return seen_[0] || seen_[1]; }
  // From the earliest start to the latest end, where each stream ends one
  // frame (frameTicks of the 90 kHz clock, 0 when unknown) after its last
  // stamp; negative when no stamp was seen.
  double Seconds(double videoFrameTicks, double audioFrameTicks) const;

 private:
  bool haveRef_ = false;
  std::uint64_t ref_ = 0;
  bool seen_[2] = {};
  std::int64_t min_[2] = {}, max_[2] = {};
};

}  // namespace clip
