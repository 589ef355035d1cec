// The elementary stream headers the TS, PS and FLV parsers read, over
// hand-built bytes.
#include "scan/stream_headers.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "stream_builders.h"

namespace clip {
namespace {

using streamtest::Append;
using streamtest::BitWriter;

TEST(ByteViewBigEndian, FieldsAndBounds) {
  const std::uint8_t b[] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09};
  ByteView v(b, sizeof b);
  EXPECT_EQ(v.U16BE(0), 0x0102);
  EXPECT_EQ(v.U32BE(1), 0x02030405u);
  EXPECT_EQ(v.U64BE(1), 0x0203040506070809ull);
  EXPECT_EQ(v.U16BE(8), 0);  // one byte short
  EXPECT_EQ(v.U32BE(6), 0u);
  EXPECT_EQ(v.U64BE(2), 0u);
  EXPECT_EQ(v.U64BE(SIZE_MAX - 2), 0u);  // an offset that would wrap an addition
}

TEST(StreamHeaders, ExpGolombCodesAndReadsPastTheEnd) {
  BitWriter w;
  w.Ue(0).Ue(255).Ue(65535).Se(-3).Se(3);
  BitReader r(ByteView(w.bytes()));
  EXPECT_EQ(r.Ue(), 0u);
  EXPECT_EQ(r.Ue(), 255u);
  EXPECT_EQ(r.Ue(), 65535u);
  EXPECT_EQ(r.Se(), -3);
  EXPECT_EQ(r.Se(), 3);
  EXPECT_TRUE(r.ok());
  EXPECT_EQ(r.Bits(16), 0u);  // past the end
  EXPECT_FALSE(r.ok());

  const std::uint8_t zeros[5] = {};  // more leading zeros than any value has
  BitReader z(ByteView(zeros, sizeof zeros));
  EXPECT_EQ(z.Ue(), 0u);
  EXPECT_FALSE(z.ok());
}

TEST(StreamHeaders, MpegVideoSequenceAndItsExtension) {
  VideoStreamInfo v;
  ASSERT_TRUE(ReadMpegVideoSequence(ByteView(streamtest::MpegSequence(352, 288, 3, false)), v));
  EXPECT_EQ(v.format, "MPEG1");
  EXPECT_EQ(v.width, 352);
  EXPECT_EQ(v.height, 288);
  EXPECT_EQ(v.framesPerSecond, 25);

  // Size extension bits over 4095, frame rate 30000/1001 * 2 / 1; the
  // extension found past an intra quantiser matrix.
  std::vector<std::uint8_t> es = {0x47, 0, 0};  // bytes before the start code
  Append(es, streamtest::MpegSequence(4096 + 64, 2160, 4, true, 1, 0, true));
  ASSERT_TRUE(ReadMpegVideoSequence(ByteView(es), v));
  EXPECT_EQ(v.format, "MPEG2");
  EXPECT_EQ(v.width, 4160);
  EXPECT_EQ(v.height, 2160);
  EXPECT_NEAR(v.framesPerSecond, 59.94, 0.01);

  // A sequence header cut before its last field, and no header at all.
  es = streamtest::MpegSequence(352, 288, 3, true);
  VideoStreamInfo none;
  EXPECT_FALSE(ReadMpegVideoSequence(ByteView(es.data(), 10), none));
  EXPECT_FALSE(ReadMpegVideoSequence(ByteView(es.data() + 1, es.size() - 1), none));
  EXPECT_EQ(none.format, "");
}

TEST(StreamHeaders, AvcSizeAfterCroppingAndTiming) {
  VideoStreamInfo v;
  ASSERT_TRUE(ReadAvcSequence(ByteView(streamtest::AvcSps(100, 120, 68, true, 4, 1001, 60000)), v));
  EXPECT_EQ(v.format, "H.264");
  EXPECT_EQ(v.width, 1920);
  EXPECT_EQ(v.height, 1080);
  EXPECT_NEAR(v.framesPerSecond, 29.97, 0.001);

  // Field pictures: map units of two macroblock rows, crop units of 4 lines.
  std::vector<std::uint8_t> es = {0, 0, 1, 0x09, 0x10};  // an access unit delimiter first
  Append(es, streamtest::AvcSps(77, 45, 18, false, 2, 1, 50));
  ASSERT_TRUE(ReadAvcSequence(ByteView(es), v));
  EXPECT_EQ(v.width, 720);
  EXPECT_EQ(v.height, 568);
  EXPECT_EQ(v.framesPerSecond, 25);

  // Timing not marked fixed (a microsecond clock, as an HLS writer puts
  // there) is no frame rate.
  VideoStreamInfo unfixed;
  ASSERT_TRUE(ReadAvcSequence(
      ByteView(streamtest::AvcSps(100, 40, 23, true, 4, 1, 2000000, /*fixedRate=*/false)),
      unfixed));
  EXPECT_EQ(unfixed.width, 640);
  EXPECT_EQ(unfixed.framesPerSecond, 0);

  // Cropping larger than the picture, and a set cut short: nothing taken.
  VideoStreamInfo none;
  EXPECT_FALSE(ReadAvcSequence(ByteView(streamtest::AvcSps(77, 1, 1, true, 9, 1, 50)), none));
  es = streamtest::AvcSps(100, 120, 68, true, 4, 1001, 60000);
  EXPECT_FALSE(ReadAvcSequence(ByteView(es.data(), 12), none));
  EXPECT_EQ(none.format, "");
}

// An H.265 video parameter set with timing (one sub-layer) and, when
// elemental is not below -1, decoder parameters: a fixed rate where
// elemental is 0 or more (pictures of elemental + 1 ticks), else not fixed.
std::vector<std::uint8_t> HevcVps(std::uint32_t units, std::uint32_t scale, int elemental) {
  BitWriter w;
  w.Put(0x40, 8).Put(0x01, 8);                // NAL header: video parameter set
  w.Put(0, 4).Put(3, 2).Put(0, 6).Put(0, 3);  // id, base layer, one layer, one sub-layer
  w.Put(1, 1).Put(0xFFFF, 16);
  for (int i = 0; i < 12; ++i) w.Put(i == 0 ? 1 : 0, 8);  // profile, tier and level
  w.Put(1, 1).Ue(4).Ue(2).Ue(0);                          // buffering and reordering
  w.Put(0, 6).Ue(0);                                      // layer id, layer sets
  w.Put(1, 1).Put(units, 32).Put(scale, 32).Put(0, 1);    // timing
  if (elemental < -1) {
    w.Ue(0);
  } else {
    w.Ue(1).Ue(0);                                 // one set of parameters, for layer set 0
    w.Put(1, 1).Put(0, 1).Put(0, 1);               // NAL parameters, no sub-picture ones
    w.Put(0, 8).Put(23, 5).Put(23, 5).Put(23, 5);  // scales, delay lengths
    if (elemental >= 0)
      w.Put(1, 1).Ue(static_cast<std::uint32_t>(elemental));  // fixed throughout
    else
      w.Put(0, 1).Put(0, 1).Put(0, 1);    // not fixed, not low delay
    w.Ue(0).Ue(1000).Ue(2000).Put(0, 1);  // one buffer
  }
  w.Put(1, 1);  // stop bit
  return w.bytes();
}

TEST(StreamHeaders, HevcTimingFixedOrNot) {
  struct Case {
    const char* what;
    std::uint32_t units, scale;
    int elemental;
    double want;
  } cases[] = {
      {"timing alone: a tick a picture", 1001, 30000, -2, 30000.0 / 1001},
      {"fixed, two ticks a picture", 1, 50, 1, 25},
      {"not fixed", 1, 90000, -1, 0},
  };
  for (const Case& c : cases) {
    VideoStreamInfo v;
    EXPECT_EQ(ReadHevcVpsNal(ByteView(HevcVps(c.units, c.scale, c.elemental)), v), c.want > 0)
        << c.what;
    EXPECT_DOUBLE_EQ(v.framesPerSecond, c.want) << c.what;
  }
  // Decoder parameters cut short tell no rate.
  const std::vector<std::uint8_t> cut = HevcVps(1, 50, 1);
  VideoStreamInfo v;
  EXPECT_FALSE(ReadHevcVpsNal(ByteView(cut.data(), cut.size() - 3), v));
}

// Bytes the fuzz target once broke, kept as fixtures (a fault here stops
// the sanitized test).
TEST(StreamHeaders, FuzzFoundBytes) {
  // A sequence parameter set whose scaling list delta is near 2^31.
  std::ifstream in(std::string(CLIP_FIXTURES_DIR) + "/probe/ts/avc_scaling_delta_overflow.bin",
                   std::ios::binary);
  const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
  ASSERT_EQ(bytes.size(), 15u);
  VideoStreamInfo v;
  EXPECT_FALSE(ReadAvcSpsNal(ByteView(bytes), v));
  EXPECT_EQ(v.format, "");
}

TEST(StreamHeaders, AudioFrameHeaders) {
  struct Case {
    const char* what;
    std::vector<std::uint8_t> es;
    bool (*read)(ByteView, AudioStreamInfo&);
    const char* format;
    std::uint32_t rate;
    std::uint64_t bits;
    std::uint32_t samples;
  };
  std::vector<std::uint8_t> lsf(2 * 208, 0);  // MPEG-2 layer III, 64 kbit/s, 22.05 kHz
  for (int f = 0; f < 2; ++f) lsf[f * 208] = 0xFF, lsf[f * 208 + 1] = 0xF3, lsf[f * 208 + 2] = 0x80;
  // A false sync (layer III, 128 kbit/s, 44.1 kHz) whose next frame is not there.
  std::vector<std::uint8_t> falseSync = {0xFF, 0xFB, 0x90, 0x00, 1, 2, 3, 4, 5, 6};
  Append(falseSync, streamtest::Mp2Frames(2));
  std::vector<std::uint8_t> ac3At44(2 * 1394, 0);  // 44.1 kHz, code 37: 640 kbit/s and one word
  for (int f = 0; f < 2; ++f) {
    std::uint8_t h[6] = {0x0B, 0x77, 0, 0, 0x40 | 37, 0x40};
    std::copy(h, h + 6, ac3At44.begin() + f * 1394);
  }
  std::vector<std::uint8_t> eac3(2 * 768, 0);
  for (int f = 0; f < 2; ++f) {
    // sync, stream type 0, frame size 383 words - 1, 48 kHz, six blocks, bitstream id 16
    std::uint8_t h[6] = {0x0B, 0x77, 0x01, 0x7F, 0x30, 0x80};
    std::copy(h, h + 6, eac3.begin() + f * 768);
  }
  std::vector<std::uint8_t> halfRate = eac3;
  halfRate[4] = halfRate[768 + 4] = 0xD0;  // reduced rate code, second code 1: 22.05 kHz
  std::vector<std::uint8_t> dts(2 * 1006, 0);
  for (int f = 0; f < 2; ++f) {
    BitWriter w;
    w.Put(0x7FFE8001, 32).Put(1, 1).Put(31, 5).Put(0, 1);  // sync, normal frame, no CRC
    w.Put(15, 7).Put(1005, 14).Put(2, 6);  // 16 blocks of 32 samples, 1006 bytes, stereo
    w.Put(13, 4).Put(22, 5);               // 48 kHz, 1411.2 kbit/s
    std::copy(w.bytes().begin(), w.bytes().end(), dts.begin() + f * 1006);
  }
  std::vector<std::uint8_t> adts;
  for (int length : {300, 400, 500, 600}) {  // the last frame is cut off
    std::vector<std::uint8_t> f(length, 0);
    f[0] = 0xFF, f[1] = 0xF1, f[2] = 0x4C;  // sync, MPEG-4, no CRC; AAC LC, 48 kHz
    f[3] = 0x80 | static_cast<std::uint8_t>(length >> 11);
    f[4] = static_cast<std::uint8_t>(length >> 3), f[5] = static_cast<std::uint8_t>(length << 5);
    Append(adts, f);
  }
  adts.resize(adts.size() - 10);
  BitWriter config;
  config.Put(2, 5).Put(15, 4).Put(64000, 24).Put(1 << 3, 8);  // AAC LC, rate given, mono
  const std::vector<std::uint8_t> explicitRate = config.bytes();
  const std::vector<std::uint8_t> truehd = {9, 9, 9, 9, 0xF8, 0x72, 0x6F, 0xBA, 0x80, 0};

  const Case cases[] = {
      {"MP2", streamtest::Mp2Frames(3), ReadMpegAudioFrame, "MP2", 48000, 128000, 1152},
      {"MP3 LSF", lsf, ReadMpegAudioFrame, "MP3", 22050, 64000, 576},
      {"false sync", falseSync, ReadMpegAudioFrame, "MP2", 48000, 128000, 1152},
      {"AC-3", streamtest::Ac3Frames(2), ReadAc3Frame, "AC-3", 48000, 192000, 1536},
      {"AC-3 44.1", ac3At44, ReadAc3Frame, "AC-3", 44100, 640000, 1536},
      {"E-AC-3", eac3, ReadAc3Frame, "E-AC-3", 48000, 192000, 1536},
      {"E-AC-3 half", halfRate, ReadAc3Frame, "E-AC-3", 22050, 88200, 1536},
      {"DTS", dts, ReadDtsFrame, "DTS", 48000, 1411200, 512},
      {"ADTS", adts, ReadAdtsFrames, "AAC", 48000, 1200 * 8 * 48000 / 3072, 1024},
      {"AAC config", {0x11, 0x90}, ReadAacConfig, "AAC", 48000, 0, 1024},
      {"AAC explicit rate", explicitRate, ReadAacConfig, "AAC", 64000, 0, 1024},
      {"TrueHD", truehd, ReadTrueHdSync, "TrueHD", 44100, 0, 0},
  };
  for (const Case& c : cases) {
    AudioStreamInfo a;
    ASSERT_TRUE(c.read(ByteView(c.es), a)) << c.what;
    EXPECT_EQ(a.format, c.format) << c.what;
    EXPECT_EQ(a.sampleRate, c.rate) << c.what;
    EXPECT_EQ(a.bitRate, c.bits) << c.what;
    EXPECT_EQ(a.samplesPerFrame, c.samples) << c.what;
    // Without its first bytes (and so without a pair of frames) or in
    // silence, nothing is invented.
    AudioStreamInfo none;
    std::vector<std::uint8_t> silence(4096, 0);
    EXPECT_FALSE(c.read(ByteView(silence), none)) << c.what;
    EXPECT_FALSE(c.read(ByteView(c.es.data(), std::min<std::size_t>(3, c.es.size() - 1)), none))
        << c.what;
    EXPECT_EQ(none.format, "") << c.what;
  }
}

}  // namespace
}  // namespace clip
