// The small hand-made files the fuzz targets start from, read as movies:
// each stands for one layout the probes must get right.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "probe_builders.h"
#include "scan/probe.h"

namespace clip {
namespace {

struct Seed {
  ProbeFields f;
  InfoTail tail;
};

Seed Probe(const std::string& rel) {
  std::string path = std::string(CLIP_FIXTURES_DIR) + "/probe/" + rel;
  std::ifstream in(path, std::ios::binary);
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
  EXPECT_FALSE(bytes.empty()) << path;
  MemoryMovieFile file(bytes);
  probetest::FakeCodecs none;
  Seed s;
  s.f = ProbeMovie(path, &file, none);
  s.tail = ScanInfoTail(file);
  return s;
}

TEST(SeedFiles, AviLayouts) {
  Seed s = Probe("avi/xvid_mp3.avi");
  EXPECT_EQ(s.f.videoFormat, "MPEG-4 Xvid");
  EXPECT_EQ(s.f.audioFormat, "MP3");
  EXPECT_EQ(s.f.frameRate, "25.00");
  EXPECT_EQ(s.f.resolution, "160x120");
  EXPECT_EQ(s.f.playTime, "00:10");
  EXPECT_EQ(s.f.audioRate, "44.10kHz/128kbit");
  EXPECT_EQ(s.f.videoRate, "-128kbit");  // a 930-byte file is 0 KB

  s = Probe("avi/audio_first.avi");
  EXPECT_EQ(s.f.videoFormat, "DivX Low");
  EXPECT_EQ(s.f.audioFormat, "ADPCM");
  EXPECT_EQ(s.f.frameRate, "29.97");
  EXPECT_EQ(s.f.playTime, "00:30");
  EXPECT_EQ(s.f.audioRate, "22.05kHz/89kbit");

  s = Probe("avi/raw_top_down.avi");
  EXPECT_EQ(s.f.videoFormat, "Full Frames (Uncompressed)");
  EXPECT_EQ(s.f.resolution, "32x24");
  EXPECT_EQ(s.f.audioFormat, "PCM");
  EXPECT_EQ(s.f.audioRate, "8.00kHz/128kbit");

  s = Probe("avi/short_strh.avi");
  EXPECT_EQ(s.f.videoFormat, "MPEG-4 Xvid");
  EXPECT_EQ(s.f.resolution, "320x240");  // no rcFrame: from the bitmap
  EXPECT_EQ(s.f.audioFormat, "ADPCM");

  s = Probe("avi/video_only.avi");
  EXPECT_EQ(s.f.videoFormat, "MPEG4 V2");
  EXPECT_EQ(s.f.frameRate, "");  // rate and scale 0
  EXPECT_EQ(s.f.playTime, "");
  EXPECT_EQ(s.f.videoRate, "None");
  EXPECT_EQ(s.f.audioFormat, "");

  s = Probe("avi/info_tail.avi");
  EXPECT_EQ(s.tail.title, "Title");
  EXPECT_EQ(s.tail.comment, "Comment");
}

TEST(SeedFiles, MpegLayouts) {
  Seed s = Probe("mpeg/program_stream.mpg");
  EXPECT_EQ(s.f.resolution, "352x240");
  EXPECT_EQ(s.f.frameRate, "29.97");
  s = Probe("mpeg/videocd.mpg");
  EXPECT_EQ(s.f.resolution, "352x240");
  EXPECT_EQ(s.f.frameRate, "29.97");
  s = Probe("mpeg/lone_b3.mpg");
  EXPECT_EQ(s.f.resolution, "720x576");
  EXPECT_EQ(s.f.frameRate, "25.0");
  s = Probe("mpeg/bad_rate_code.mpg");
  EXPECT_EQ(s.f.resolution, "160x120");
  EXPECT_EQ(s.f.frameRate, "");
}

// Frame rates the headers do not state, from the packets' and tags' stamps.
TEST(SeedFiles, RatesFromTimeStamps) {
  EXPECT_EQ(Probe("asf/wmv2_packets_head.wmv").f.frameRate, "25.00");
  EXPECT_EQ(Probe("flv/h263_no_metadata.flv").f.frameRate, "24.00");
}

TEST(SeedFiles, TailLayouts) {
  Seed s = Probe("tail/short_isbj.bin");
  EXPECT_EQ(s.tail.title, "Hello");
  s = Probe("tail/info_list.bin");
  EXPECT_EQ(s.tail.title, "Summer");
  EXPECT_EQ(s.tail.creator, "テス");  // code page 932 in the file
  EXPECT_EQ(s.tail.comment, "two");
  s = Probe("tail/run_to_end.bin");
  EXPECT_EQ(s.tail.title, "");
  EXPECT_EQ(s.tail.comment, std::string(300, 'x').substr(0, 255));
}

}  // namespace
}  // namespace clip
