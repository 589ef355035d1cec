// Hand-built pieces of MPEG elementary streams for the transport stream,
// program stream and FLV tests: a bit writer and a few headers made with it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "scan/movie_facts.h"

namespace clip::streamtest {

// Writes fields most significant bit first, as the stream headers hold them.
class BitWriter {
 public:
  BitWriter& Put(std::uint32_t value, int bits) {
    for (int i = bits - 1; i >= 0; --i) {
      if (used_ % 8 == 0) bytes_.push_back(0);
      if (value >> i & 1) bytes_.back() |= static_cast<std::uint8_t>(0x80 >> used_ % 8);
      ++used_;
    }
    return *this;
  }
  BitWriter& Ue(std::uint32_t value) {
    int bits = 0;
    while ((value + 1) >> (bits + 1)) ++bits;
    return Put(0, bits).Put(value + 1, bits + 1);
  }
  BitWriter& Se(std::int32_t value) {
    return Ue(value > 0 ? 2u * static_cast<std::uint32_t>(value) - 1
                        : 2u * static_cast<std::uint32_t>(-value));
  }
  // The bytes so far, the last one padded with zero bits.
  const std::vector<std::uint8_t>& bytes() const { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
  int used_ = 0;
};

// The facts in one line, for compact expectations:
// "video WxH fps | audio rate bits | seconds", "-" for a missing name.
inline std::string Summary(const MovieFacts& f) {
  char line[256];
  std::snprintf(line, sizeof line, "%s %lldx%lld %.2f | %s %u %llu | %.3f",
                f.videoFormat.empty() ? "-" : f.videoFormat.c_str(),
                static_cast<long long>(f.width), static_cast<long long>(f.height),
                f.framesPerSecond, f.audioFormat.empty() ? "-" : f.audioFormat.c_str(),
                static_cast<unsigned>(f.audioSamplesPerSecond),
                static_cast<unsigned long long>(f.audioBitsPerSecond), f.seconds);
  return line;
}

inline void Append(std::vector<std::uint8_t>& to, const std::vector<std::uint8_t>& more) {
  to.insert(to.end(), more.begin(), more.end());
}

// An MPEG video sequence header, with the MPEG-2 sequence extension after it
// when mpeg2 (its frame rate extension n/d giving rate * (n+1)/(d+1)).
// An intra quantiser matrix (64 bytes, not byte-aligned) may come between
// the two.
inline std::vector<std::uint8_t> MpegSequence(int width, int height, int rateCode, bool mpeg2,
                                              int rateN = 0, int rateD = 0,
                                              bool intraMatrix = false) {
  std::vector<std::uint8_t> out = {0, 0, 1, 0xB3};
  BitWriter w;
  w.Put(width & 0xFFF, 12).Put(height & 0xFFF, 12);
  w.Put(1, 4).Put(rateCode, 4);               // aspect ratio 1:1, frame rate code
  w.Put(0x3FFFF, 18).Put(1, 1).Put(112, 10);  // bit rate, marker, buffer size
  w.Put(0, 1).Put(intraMatrix, 1);            // not constrained, intra matrix
  for (int i = 0; intraMatrix && i < 64; ++i) w.Put(16, 8);
  w.Put(0, 1);  // no non-intra matrix
  Append(out, w.bytes());
  if (mpeg2) {
    Append(out, {0, 0, 1, 0xB5});
    BitWriter x;
    x.Put(1, 4).Put(0x48, 8).Put(1, 1).Put(1, 2);  // extension id, main@main, progressive, 4:2:0
    x.Put(width >> 12, 2).Put(height >> 12, 2);    // size extensions
    x.Put(0, 12).Put(1, 1).Put(0, 8).Put(0, 1);    // bit rate ext, marker, buffer ext, low delay
    x.Put(rateN, 2).Put(rateD, 5);                 // frame rate extension
    Append(out, x.bytes());
  }
  Append(out, {0, 0, 1, 0xB8, 0, 0, 0, 0});  // a group of pictures follows
  return out;
}

// count MPEG-1 layer II frames at 48 kHz and 128 kbit/s (384 bytes each).
inline std::vector<std::uint8_t> Mp2Frames(int count) {
  std::vector<std::uint8_t> out;
  for (int i = 0; i < count; ++i) {
    std::vector<std::uint8_t> frame(384, 0x55);
    frame[0] = 0xFF, frame[1] = 0xFD;  // sync, MPEG-1, layer II, no CRC
    frame[2] = 0x84;                   // 128 kbit/s, 48 kHz, no padding
    frame[3] = 0xC4;                   // mono
    Append(out, frame);
  }
  return out;
}

// count AC-3 frames at 48 kHz and 192 kbit/s (768 bytes each).
inline std::vector<std::uint8_t> Ac3Frames(int count) {
  std::vector<std::uint8_t> out;
  for (int i = 0; i < count; ++i) {
    std::vector<std::uint8_t> frame(768, 0x11);
    frame[0] = 0x0B, frame[1] = 0x77;  // sync
    frame[2] = frame[3] = 0;           // CRC
    frame[4] = 0x14;                   // 48 kHz, frame size code 20 (192 kbit/s)
    frame[5] = 0x40;                   // bitstream id 8, main service
    Append(out, frame);
  }
  return out;
}

// An H.264 sequence parameter set in Annex B form, escaped as in a stream.
inline std::vector<std::uint8_t> AvcSps(int profile, int widthMbs, int heightUnits,
                                        bool progressive, int cropBottom, std::uint32_t units,
                                        std::uint32_t scale, bool fixedRate = true) {
  BitWriter w;
  w.Put(0x67, 8);                          // NAL header: sequence parameter set
  w.Put(profile, 8).Put(0, 8).Put(40, 8);  // profile, constraints, level
  w.Ue(0);                                 // parameter set id
  if (profile == 100) {
    w.Ue(1).Ue(0).Ue(0).Put(0, 1);  // 4:2:0, 8-bit, no lossless bypass
    w.Put(1, 1).Put(1, 1);          // scaling matrices: the first list present
    for (int i = 0; i < 16; ++i) w.Se(0);
    for (int i = 1; i < 8; ++i) w.Put(0, 1);
  }
  w.Ue(0).Ue(0).Ue(2);  // frame number bits, picture order type 0 and its bits
  w.Ue(3).Put(0, 1);    // reference frames, no gaps
  w.Ue(widthMbs - 1).Ue(heightUnits - 1);
  w.Put(progressive, 1);
  if (!progressive) w.Put(0, 1);                  // no adaptive frame/field
  w.Put(1, 1);                                    // direct 8x8 inference
  w.Put(1, 1).Ue(0).Ue(0).Ue(0).Ue(cropBottom);   // cropping
  w.Put(1, 1);                                    // VUI
  w.Put(1, 1).Put(255, 8).Put(4, 16).Put(3, 16);  // aspect ratio 4:3 given as numbers
  w.Put(0, 1).Put(0, 1).Put(0, 1);                // no overscan, signal type, chroma location
  w.Put(1, 1).Put(units, 32).Put(scale, 32).Put(fixedRate, 1);
  w.Put(1, 1);  // stop bit
  std::vector<std::uint8_t> out = {0, 0, 0, 1};
  int zeros = 0;
  for (std::uint8_t b : w.bytes()) {
    if (zeros == 2 && b <= 3) out.push_back(3), zeros = 0;  // emulation prevention
    out.push_back(b);
    zeros = b == 0 ? zeros + 1 : 0;
  }
  return out;
}

}  // namespace clip::streamtest
