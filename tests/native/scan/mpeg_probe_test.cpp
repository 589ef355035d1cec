// The MPEG side of ProbeMovie: the sequence header search.
#include <gtest/gtest.h>

#include "outcome_cases.h"
#include "probe_builders.h"
#include "scan/mpeg_probe.h"
#include "scan/probe.h"

namespace clip {
namespace {

using probetest::FakeCodecs;

// size bytes of filler (never 0x00 or 0xB3) with the given bytes placed at at.
std::vector<std::uint8_t> Filler(std::size_t size) { return std::vector<std::uint8_t>(size, 0x55); }
void Put(std::vector<std::uint8_t>& b, std::size_t at, std::initializer_list<std::uint8_t> bytes) {
  for (std::uint8_t x : bytes) b.at(at++) = x;
}

struct Result {
  ProbeFields f;
};

Result Probe(std::vector<std::uint8_t> bytes, const char* path = "D:\\v\\b.MPG") {
  MemoryMovieFile file(std::move(bytes));
  FakeCodecs none;
  Result r;
  r.f.playTime = "99:99";  // a previous file's values
  r.f.videoRate = "1000kbit";
  r.f.frameRate = "12.34";
  r.f = ProbeMovie(path, &file, none);
  return r;
}

TEST(MpegProbe, StartCodeNearTheStartOfAProgramStream) {
  std::vector<std::uint8_t> b = Filler(4000);
  Put(b, 46, {0x00, 0x00, 0x01, 0xB3, 0x16, 0x00, 0xF0, 0x14});
  Result r = Probe(b);
  EXPECT_EQ(r.f.videoFormat, "MPEG1");
  EXPECT_EQ(r.f.audioFormat, "MP2");
  EXPECT_EQ(r.f.resolution, "352x240");
  EXPECT_EQ(r.f.frameRate, "29.97");
  EXPECT_EQ(r.f.playTime, "");
  EXPECT_EQ(r.f.videoRate, "");
  EXPECT_EQ(r.f.audioRate, "");  // only AVI files measure a play time
}

TEST(MpegProbe, VideoCdSectorLayoutGivesTheOldValues) {
  // A raw CD sector file: the sequence header at 2352, and so also the first
  // B3 byte at or after 2079.
  std::vector<std::uint8_t> b = Filler(6000);
  Put(b, 0, {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'C', 'D', 'X', 'A'});
  Put(b, 2352, {0x00, 0x00, 0x01, 0xB3, 0x16, 0x00, 0xF0, 0xC4});
  Result r = Probe(b);
  EXPECT_EQ(r.f.resolution, "352x240");
  EXPECT_EQ(r.f.frameRate, "29.97");

  // The case as first described: the first B3 at or after 2079 followed by
  // 16 00 F0 14.
  b = Filler(6000);
  Put(b, 2297, {0x00, 0x00, 0x01, 0xB3, 0x16, 0x00, 0xF0, 0x14});
  r = Probe(b);
  EXPECT_EQ(r.f.resolution, "352x240");
  EXPECT_EQ(r.f.frameRate, "29.97");
}

TEST(MpegProbe, WholeStartCodeWinsOverALoneB3Byte) {
  std::vector<std::uint8_t> b = Filler(8000);
  Put(b, 2100, {0xB3, 0x01, 0x02, 0x03, 0x04});  // a B3 that is no start code
  Put(b, 5000, {0x00, 0x00, 0x01, 0xB3, 0x0A, 0x00, 0x78, 0x11});
  Result r = Probe(b);
  EXPECT_EQ(r.f.resolution, "160x120");
  EXPECT_EQ(r.f.frameRate, "23.97");
}

TEST(MpegProbe, WithoutAStartCodeTheFirstB3InTheOldWindowIsTaken) {
  std::vector<std::uint8_t> b = Filler(8000);
  Put(b, 100, {0xB3, 0x99, 0x99, 0x99, 0x99});  // before the window: not looked at
  Put(b, 2500, {0xB3, 0x2D, 0x02, 0x40, 0x13});
  Result r = Probe(b);
  EXPECT_EQ(r.f.resolution, "720x576");
  EXPECT_EQ(r.f.frameRate, "25.0");

  // Beyond the window (2079 + 2101): nothing found.
  b = Filler(8000);
  Put(b, 4180, {0xB3, 0x2D, 0x02, 0x40, 0x13});
  r = Probe(b);
  EXPECT_EQ(r.f.resolution, "");
  EXPECT_EQ(r.f.frameRate, "");
  EXPECT_EQ(r.f.videoFormat, "MPEG1");

  // The last byte of the window still counts.
  b = Filler(8000);
  Put(b, 4179, {0xB3, 0x2D, 0x02, 0x40, 0x13});
  EXPECT_EQ(Probe(b).f.resolution, "720x576");
}

TEST(MpegProbe, StartCodeBeyondTheFirst64KBIsNotSearched) {
  std::vector<std::uint8_t> b = Filler(70000);
  Put(b, 65533, {0x00, 0x00, 0x01, 0xB3, 0x16, 0x00, 0xF0, 0x14});  // ends past 64 KB
  EXPECT_EQ(Probe(b).f.resolution, "");
  b = Filler(70000);
  Put(b, 65532, {0x00, 0x00, 0x01, 0xB3, 0x16, 0x00, 0xF0, 0x14});  // ends at 64 KB
  EXPECT_EQ(Probe(b).f.resolution, "352x240");
}

TEST(MpegProbe, EveryFrameRateCode) {
  const char* expected[16] = {"",     "23.97", "24.0", "25.0", "29.97", "30.0", "50.0", "59.94",
                              "60.0", "",      "",     "",     "",      "",     "",     ""};
  for (int code = 0; code < 16; ++code) {
    std::vector<std::uint8_t> b = Filler(100);
    Put(b, 10, {0x00, 0x00, 0x01, 0xB3, 0x16, 0x00, 0xF0, static_cast<std::uint8_t>(0x10 | code)});
    Result r = Probe(b);
    EXPECT_EQ(r.f.frameRate, expected[code]) << code;
    EXPECT_EQ(r.f.resolution, "352x240") << code;
  }
}

TEST(MpegProbe, TwelveBitSizes) {
  std::vector<std::uint8_t> b = Filler(100);
  Put(b, 0, {0x00, 0x00, 0x01, 0xB3, 0xFF, 0xFF, 0xFF, 0x03});
  EXPECT_EQ(Probe(b).f.resolution, "4095x4095");
  b = Filler(100);
  Put(b, 0, {0x00, 0x00, 0x01, 0xB3, 0x00, 0x00, 0x00, 0x03});
  EXPECT_EQ(Probe(b).f.resolution, "0x0");
}

TEST(MpegProbe, TruncatedAndUnreadableFiles) {
  // A start code whose header is cut off by the end of the file.
  std::vector<std::uint8_t> b = Filler(50);
  Put(b, 44, {0x00, 0x00, 0x01, 0xB3, 0x16, 0x00});
  Result r = Probe(b);
  EXPECT_EQ(r.f.resolution, "");
  EXPECT_EQ(r.f.frameRate, "");
  EXPECT_EQ(Probe({}).f.resolution, "");
  EXPECT_EQ(Probe(Filler(2079)).f.resolution, "");

  ProbeFields f;
  f.frameRate = "25.0";
  f.resolution = "1x1";
  std::int32_t seconds = 5;
  FakeCodecs none;
  f = ProbeMovie("x.mpg", nullptr, none);
  EXPECT_EQ(f.videoFormat, "MPEG1");
  EXPECT_EQ(f.audioFormat, "MP2");
  EXPECT_EQ(f.frameRate, "");
  EXPECT_EQ(f.resolution, "");
  EXPECT_EQ(seconds, 5);
}

TEST(MpegProbe, ReadsOnlyTheStartOfALargeFile) {
  std::vector<std::uint8_t> head = Filler(100);
  Put(head, 0, {0x00, 0x00, 0x01, 0xB3, 0x16, 0x00, 0xF0, 0x14});
  probetest::SizedFile file(head, 1ull << 32);
  MpegSequence seq = ReadMpegSequence(file);
  EXPECT_TRUE(seq.found);
  EXPECT_LE(file.bytesRead, kMpegHeadBytes + 4);
}

// How the reading of the sequence header went.
TEST(MpegProbe, OutcomeOfWholeCutAndBrokenHeaders) {
  auto header = [](std::initializer_list<std::uint8_t> bytes, std::size_t size = 100) {
    std::vector<std::uint8_t> b = Filler(size);
    Put(b, size - bytes.size(), bytes);
    return b;
  };
  outcometest::ExpectOutcomes(
      {
          {"whole", header({0x00, 0x00, 0x01, 0xB3, 0x16, 0x00, 0xF0, 0x14}), ProbeOutcome::Whole},
          {"cut in the header", header({0x00, 0x00, 0x01, 0xB3, 0x16, 0x00}),
           ProbeOutcome::Truncated},
          {"no frame rate code", header({0x00, 0x00, 0x01, 0xB3, 0x16, 0x00, 0xF0, 0x10}),
           ProbeOutcome::Malformed},
          {"no size", header({0x00, 0x00, 0x01, 0xB3, 0x00, 0x00, 0x00, 0x14}),
           ProbeOutcome::Malformed},
          {"no sequence header", Filler(5000), ProbeOutcome::NotThis},
      },
      [](const std::vector<std::uint8_t>& b) { return Probe(b).f; });
}

}  // namespace
}  // namespace clip
