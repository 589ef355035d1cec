// Renaming rules and the built-in codec tables.
#include <gtest/gtest.h>

#include "probe_builders.h"
#include "scan/codec_table.h"
#include "scan/probe.h"

namespace clip {
namespace {

using probetest::Code;

TEST(RenameVideoCodec, EachRule) {
  EXPECT_EQ(RenameVideoCodec("Microsoft MPEG-4 Video Codec V3"), "MPEG4 V3");
  EXPECT_EQ(RenameVideoCodec("Something V2"), "MPEG4 V2");
  EXPECT_EQ(RenameVideoCodec("DivX ;-) MPEG-4 Low-Motion"), "DivX Low");
  EXPECT_EQ(RenameVideoCodec("DivX ;-) MPEG-4 Fast-Motion"), "DivX Fast");
  EXPECT_EQ(RenameVideoCodec("DivX"), "DivX Fast");  // no 17th byte
  EXPECT_EQ(RenameVideoCodec("Intel Indeo(R) Video R3.2"), "Indeo 3.2");
  EXPECT_EQ(RenameVideoCodec("Indeo video 5.10"), "Indeo 5.1");
  EXPECT_EQ(RenameVideoCodec("Cinepak Codec by Radius"), "Cinepak");
  EXPECT_EQ(RenameVideoCodec("C"), "Cinepak");
  EXPECT_EQ(RenameVideoCodec("Unknon"), "Unknon");
  EXPECT_EQ(RenameVideoCodec("Motion JPEG"), "Motion JPEG");
  EXPECT_EQ(RenameVideoCodec(""), "");
}

TEST(RenameVideoCodec, FirstMatchingRuleWins) {
  EXPECT_EQ(RenameVideoCodec("CinXpak V9"), "MPEG4 V9");  // V before X
  EXPECT_EQ(RenameVideoCodec("IndXo 3.2"), "DivX Fast");  // X before I
  EXPECT_EQ(RenameVideoCodec("I"), "Indeo");              // I before C, no point
  EXPECT_EQ(RenameVideoCodec("V"), "V");                  // no second-to-last byte
  EXPECT_EQ(RenameVideoCodec("VV"), "MPEG4 VV");
}

TEST(RenameVideoCodec, IndeoWithoutBytesAroundThePoint) {
  EXPECT_EQ(RenameVideoCodec("Indeo"), "Indeo");
  EXPECT_EQ(RenameVideoCodec("Indeo 4."), "Indeo 4.");
  EXPECT_EQ(RenameVideoCodec("I.5"), "Indeo I.5");
  EXPECT_EQ(RenameVideoCodec("Intel 4.1 and 5.2"), "Indeo 4.1");
}

TEST(RenameAudioFormat, EachRule) {
  EXPECT_EQ(RenameAudioFormat("MPEG Layer-3"), "MP3");
  EXPECT_EQ(RenameAudioFormat("DivX ;-) Audio"), "DivX Audio");
  EXPECT_EQ(RenameAudioFormat("Microsoft ADPCM"), "ADPCM");
  EXPECT_EQ(RenameAudioFormat("IMA ADPCM"), "ADPCM");
  EXPECT_EQ(RenameAudioFormat("Something(TM)"), "PCM");
  EXPECT_EQ(RenameAudioFormat("GSM 6.10"), "GSM 6.10");
  EXPECT_EQ(RenameAudioFormat("PCM"), "PCM");
  EXPECT_EQ(RenameAudioFormat("Unknon"), "Unknon");
  EXPECT_EQ(RenameAudioFormat("AC3"), "ADPCM");  // short names are tested as a whole
  EXPECT_EQ(RenameAudioFormat(""), "");
  EXPECT_EQ(RenameAudioFormat("A"), "ADPCM");
}

TEST(BuiltInTables, VideoHandlersGiveTheUsualNames) {
  struct Case {
    const char code[5];
    const char* shown;
  } cases[] = {
      {"DIV3", "DivX Low"},
      {"div3", "DivX Low"},
      {"DIV4", "DivX Fast"},
      {"MP42", "MPEG4 V2"},
      {"MP43", "MPEG4 V3"},
      {"mp43", "MPEG4 V3"},
      {"MP41", "MPEG4 V1"},
      {"XVID", "MPEG-4 Xvid"},
      {"xvid", "MPEG-4 Xvid"},
      {"DIVX", "MPEG-4 DivX 4"},
      {"divx", "MPEG-4 DivX 4"},
      {"DX50", "MPEG-4 DivX 5"},
      {"FMP4", "MPEG-4 FFmpeg"},
      {"MJPG", "Motion JPEG"},
      {"H264", "H.264 AVC Video"},
      {"avc1", "H.264 AVC Video"},
      {"cvid", "Cinepak"},
      {"CVID", "Cinepak"},
      {"IV32", "Indeo 3.2"},
      {"IV31", "Indeo 3.1"},
      {"IV41", "Indeo 4.5"},
      {"IV50", "Indeo 5.1"},
      {"CRAM", "Microsoft Video 1"},
      {"MSVC", "Microsoft Video 1"},
      {"msvc", "Microsoft Video 1"},
      {"I420", "Planar I420 Uncompressed"},
      {"DIB ", "Full Frames (Uncompressed)"},
  };
  probetest::FakeCodecs none;
  for (const Case& c : cases) {
    std::string d = BuiltInVideoDescription(Code(c.code));
    ASSERT_FALSE(d.empty()) << c.code;
    EXPECT_EQ(RenameVideoCodec(d), c.shown) << c.code;
  }
  EXPECT_EQ(RenameVideoCodec(BuiltInVideoDescription(0)), "Full Frames (Uncompressed)");
  EXPECT_EQ(BuiltInVideoDescription(Code("ZZZZ")), "");
  EXPECT_EQ(BuiltInVideoDescription(Code("XVI\xC4")), "");
}

TEST(BuiltInTables, AudioTagsGiveTheUsualNames) {
  struct Case {
    std::uint16_t tag;
    const char* shown;
  } cases[] = {
      {0x0001, "PCM"},
      {0x0002, "ADPCM"},
      {0x0011, "ADPCM"},
      {0x0031, "GSM 6.10"},
      {0x0050, "MP2"},
      {0x0055, "MP3"},
      {0x0161, "DivX Audio"},
      {0x0160, "Windows Media Audio V1"},
      {0x2000, "AC-3 Dolby Digital"},
      {0x00FF, "MPEG-4 AAC"},
      {0x0006, "A-Law (G.711)"},
      {0x0003, "IEEE Float"},
  };
  for (const Case& c : cases) {
    std::string n = BuiltInAudioFormatName(c.tag);
    ASSERT_FALSE(n.empty()) << c.tag;
    EXPECT_EQ(RenameAudioFormat(n), c.shown) << c.tag;
  }
  EXPECT_EQ(BuiltInAudioFormatName(0x7777), "");
  EXPECT_EQ(BuiltInAudioFormatName(0), "");
}

}  // namespace
}  // namespace clip
