// The track cells and the codec configurations they are read from.
#include <gtest/gtest.h>

#include <vector>

#include "scan/track_cells.h"
#include "scan/track_config.h"

namespace clip {
namespace {

std::string Channels(bool (*read)(ByteView, ChannelLayout&), std::vector<std::uint8_t> bytes) {
  ChannelLayout layout;
  if (!read(ByteView(bytes.data(), bytes.size()), layout)) return "refused";
  return ChannelsCell(layout);
}

TEST(TrackCells, TracksInFileOrderWithLanguagesAndForcedMarks) {
  EXPECT_EQ(AudioTracksCell({}), "");
  EXPECT_EQ(AudioTracksCell({{"jpn"}, {"eng"}}), "2: jpn, eng");
  EXPECT_EQ(AudioTracksCell({{""}, {"ja-JP"}}), "2: und, ja-JP");
  // A language ends at the first character no tag holds (a NUL pad, a
  // comma a list would split at); the forced mark is for subtitles alone.
  EXPECT_EQ(AudioTracksCell({{std::string("en\0\0", 4), true}, {"e,n"}}), "2: en, e");
  EXPECT_EQ(SubtitlesCell({{"jpn"}, {"eng"}, {"eng", true}}), "3: jpn, eng, eng(強制)");
}

TEST(TrackCells, ChannelsDepthChaptersAndStatus) {
  EXPECT_EQ(ChannelsCell({6, 1}), "5.1");
  EXPECT_EQ(ChannelsCell({1, 0}), "1.0");
  EXPECT_EQ(ChannelsCell({6, -1}), "6");
  EXPECT_EQ(ChannelsCell({}), "");
  EXPECT_EQ(VideoBitsCell({8}), "8bit");
  EXPECT_EQ(VideoBitsCell({10, kTransferPq}), "10bit HDR10");
  EXPECT_EQ(VideoBitsCell({10, kTransferHlg}), "10bit HLG");
  EXPECT_EQ(VideoBitsCell({10, kTransferPq, 8, 1}), "10bit DolbyVision 8.1");
  EXPECT_EQ(VideoBitsCell({10, 0, 5, 0}), "10bit DolbyVision 5");
  EXPECT_EQ(VideoBitsCell({}), "");
  EXPECT_EQ(ChaptersCell(-1) + ChaptersCell(0), "");
  EXPECT_EQ(ChaptersCell(12), "12");
  EXPECT_EQ(StatusCell(ProbeOutcome::Whole, true, false), "");
  EXPECT_EQ(StatusCell(ProbeOutcome::BudgetSpent, true, false), "");
  EXPECT_EQ(StatusCell(ProbeOutcome::Truncated, true, false), "途中まで");
  EXPECT_EQ(StatusCell(ProbeOutcome::Whole, true, true), "途中まで");
  EXPECT_EQ(StatusCell(ProbeOutcome::Malformed, true, false), "破損");
  EXPECT_EQ(StatusCell(ProbeOutcome::Unsupported, true, false), "未対応");
  EXPECT_EQ(StatusCell(ProbeOutcome::Malformed, false, false), "");
}

TEST(TrackConfig, ChannelLayoutsOfAudioConfigurations) {
  EXPECT_EQ(Channels(ChannelsFromAacConfig, {0x11, 0x90}), "2.0");  // LC, 48 kHz, config 2
  EXPECT_EQ(Channels(ChannelsFromAacConfig, {0x11, 0xB0}), "5.1");
  EXPECT_EQ(Channels(ChannelsFromAacConfig, {0x11, 0x80}), "refused");  // layout in a PCE
  EXPECT_EQ(Channels(ChannelsFromAacConfig, {0x11}), "refused");
  // AC-3 at 48 kHz, acmod 7 with LFE; acmod 2 carries a surround mode first.
  EXPECT_EQ(Channels(ChannelsFromAc3Frame, {0x0B, 0x77, 0, 0, 0x10, 0x40, 0xE1, 0x00}), "5.1");
  EXPECT_EQ(Channels(ChannelsFromAc3Frame, {0x0B, 0x77, 0, 0, 0x10, 0x40, 0x40, 0x00}), "2.0");
  // E-AC-3 (bsid 16): acmod 7 and LFE right after the frame size codes.
  EXPECT_EQ(Channels(ChannelsFromAc3Frame, {0x0B, 0x77, 0x00, 0x7F, 0x3F, 0x80, 0, 0}), "5.1");
  EXPECT_EQ(Channels(ChannelsFromAc3Frame, {0x0B, 0x78, 0, 0, 0, 0, 0, 0}), "refused");
  // A 16-byte independent E-AC-3 substream (3/2 + LFE), then a dependent one
  // whose channel map adds the Lrs/Rrs pair: 7.1; without a map it adds none.
  std::vector<std::uint8_t> eac3 = {0x0B, 0x77, 0x00, 0x07, 0x3F, 0x80, 0, 0,
                                    0,    0,    0,    0,    0,    0,    0, 0};
  const std::vector<std::uint8_t> mapped = {0x0B, 0x77, 0x40, 0x07, 0x34, 0x80, 0x10, 0x20,
                                            0,    0,    0,    0,    0,    0,    0,    0};
  std::vector<std::uint8_t> frames = eac3;
  frames.insert(frames.end(), mapped.begin(), mapped.end());
  EXPECT_EQ(Channels(ChannelsFromAc3Frame, frames), "7.1");
  frames[16 + 6] = frames[16 + 7] = 0;
  EXPECT_EQ(Channels(ChannelsFromAc3Frame, frames), "5.1");
  frames = eac3;
  frames.insert(frames.end(), eac3.begin(), eac3.end());  // the next frame, not a dependent one
  EXPECT_EQ(Channels(ChannelsFromAc3Frame, frames), "5.1");
  // DTS core: arrangement 9 (C L R SL SR) with LFE; 2 (L R) without; LFE
  // flag 3 is invalid; an XCh extension's centre surround; an XXCH one's
  // channels are its own.
  const std::vector<std::uint8_t> dts = {0x7F, 0xFE, 0x80, 0x01, 0xFC, 0x3C,
                                         0x3E, 0x82, 0x75, 0xE0, 0x02};
  auto core = [&](std::uint8_t b7, std::uint8_t b8, std::uint8_t b10) {
    std::vector<std::uint8_t> d = dts;
    d[7] = b7, d[8] = b8, d[10] = b10;
    return Channels(ChannelsFromDtsFrame, d);
  };
  EXPECT_EQ(Channels(ChannelsFromDtsFrame, dts), "5.1");
  EXPECT_EQ(core(0x80, 0xB5, 0x00), "2.0");
  EXPECT_EQ(core(0x82, 0x75, 0x06), "refused");
  EXPECT_EQ(Channels(ChannelsFromDtsFrame, {dts.begin(), dts.begin() + 9}), "refused");
  EXPECT_EQ(core(0x82, 0x75, 0x12), "6.1");
  EXPECT_EQ(core(0x82, 0x75, 0xD2), "refused");
  EXPECT_EQ(Channels(ChannelsFromDac3, {0x10, 0x3D, 0xC0}), "5.1");
  // dec3: one substream 3/2 + LFE with dependent Lrs/Rrs pair: 7.1.
  EXPECT_EQ(Channels(ChannelsFromDec3, {0x06, 0x00, 0x20, 0x0F, 0x02, 0x80, 0x00}), "7.1");
  EXPECT_EQ(ChannelsCell(ChannelsFromSpeakerMask(0x3F)), "5.1");
  EXPECT_EQ(ChannelsCell(ChannelsFromSpeakerMask(0x4)), "1.0");
  EXPECT_EQ(ChannelsCell(ChannelsInVorbisOrder(8)), "7.1");
  EXPECT_EQ(ChannelsCell(ChannelsInVorbisOrder(12)), "12");
}

TEST(TrackConfig, BitDepthAndDolbyVisionRecords) {
  VideoDepth d;
  std::vector<std::uint8_t> hvcc(23, 0);
  hvcc[0] = 1;
  hvcc[17] = 0xFA;  // bitDepthLumaMinus8 = 2
  EXPECT_TRUE(DepthFromHevcConfig(ByteView(hvcc.data(), hvcc.size()), d));
  EXPECT_EQ(d.bits, 10);
  const std::uint8_t av1[] = {0x81, 0x40, 0x60, 0x00};  // profile 2, high and twelve bit
  EXPECT_TRUE(DepthFromAv1Config(ByteView(av1, sizeof av1), d));
  EXPECT_EQ(d.bits, 12);
  const std::uint8_t avcMain[] = {1, 77, 0, 30, 0xFF, 0xE0, 0};
  EXPECT_TRUE(DepthFromAvcConfig(ByteView(avcMain, sizeof avcMain), d));
  EXPECT_EQ(d.bits, 8);
  // High 10 with one parameter set of each kind: the extension's depth, and
  // without one the sequence parameter set's (luma depth 10).
  std::vector<std::uint8_t> avcHigh = {1,    110,  0,    30,   0xFF, 0xE1, 0, 9, 0x67, 0x6E, 0x00,
                                       0x1E, 0xA6, 0xCE, 0x84, 0x26, 0x40, 1, 0, 1,    0x68};
  EXPECT_TRUE(DepthFromAvcConfig(ByteView(avcHigh), d));
  EXPECT_EQ(d.bits, 10);
  avcHigh.insert(avcHigh.end(), {0xFD, 0xF8, 0xF8, 0});
  EXPECT_TRUE(DepthFromAvcConfig(ByteView(avcHigh), d));
  EXPECT_EQ(d.bits, 8);
  // Profile 8, compatibility 1: version 1.0, then profile << 1, then compat << 4.
  const std::uint8_t dvcc[] = {1, 0, 0x10, 0x3F, 0x10, 0, 0, 0};
  EXPECT_TRUE(DolbyVisionFromConfig(ByteView(dvcc, sizeof dvcc), d));
  EXPECT_EQ(d.dolbyVisionProfile, 8);
  EXPECT_EQ(d.dolbyVisionCompatibility, 1);
  EXPECT_FALSE(DepthFromHevcConfig(ByteView(hvcc.data(), 10), d));
}

}  // namespace
}  // namespace clip
