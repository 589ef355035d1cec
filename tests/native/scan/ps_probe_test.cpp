// MPEG program streams: real files made by ffmpeg checked against ffprobe,
// and hand-built packs for both system layers, private stream audio and
// damage.
#include "scan/ps_probe.h"

#include <gtest/gtest.h>

#include "memory_file.h"
#include "outcome_cases.h"
#include "scan/container_kind.h"
#include "scan/probe.h"
#include "stream_builders.h"

namespace clip {
namespace {

using streamtest::Append;
using Bytes = std::vector<std::uint8_t>;

Bytes TimeStamp(std::uint8_t prefix, std::uint64_t t) {  // 33 bits with marker bits
  return {static_cast<std::uint8_t>(prefix | (t >> 29 & 0x0E) | 1),
          static_cast<std::uint8_t>(t >> 22), static_cast<std::uint8_t>(t >> 14 | 1),
          static_cast<std::uint8_t>(t >> 7), static_cast<std::uint8_t>(t << 1 | 1)};
}

// Packs and packets in the MPEG-1 system layer or the MPEG-2 program stream.
class PsWriter {
 public:
  explicit PsWriter(bool mpeg1) : mpeg1_(mpeg1) {}
  Bytes out;

  void Pack(std::uint64_t scr) {
    Append(out, {0, 0, 1, 0xBA});
    if (mpeg1_) {
      Append(out, TimeStamp(0x20, scr));
      Append(out, {0x80, 0x1B, 0x83});  // mux rate and markers
      return;
    }
    Append(out, {static_cast<std::uint8_t>(0x44 | (scr >> 27 & 0x38) | (scr >> 28 & 3)),
                 static_cast<std::uint8_t>(scr >> 20),
                 static_cast<std::uint8_t>((scr >> 12 & 0xF8) | 4 | (scr >> 13 & 3)),
                 static_cast<std::uint8_t>(scr >> 5), static_cast<std::uint8_t>(scr << 3 | 4),
                 0x01,                // clock extension, marker
                 0x01, 0x89, 0xC3,    // mux rate and markers
                 0xFA, 0xFF, 0xFF});  // two stuffing bytes
  }
  // A PES packet with a time stamp (none when pts < 0).
  void Pes(std::uint8_t id, long long pts, const Bytes& payload) {
    Bytes p;
    if (mpeg1_) {
      p = {0xFF, 0xFF, 0x40, 0x20};  // stuffing, buffer size
      if (pts >= 0)
        Append(p, TimeStamp(0x20, static_cast<std::uint64_t>(pts)));
      else
        p.push_back(0x0F);
    } else {
      p = {0x81, static_cast<std::uint8_t>(pts >= 0 ? 0x80 : 0),
           static_cast<std::uint8_t>(pts >= 0 ? 5 : 0)};
      if (pts >= 0) Append(p, TimeStamp(0x20, static_cast<std::uint64_t>(pts)));
    }
    Append(p, payload);
    Packet(id, p);
  }
  void Packet(std::uint8_t id, const Bytes& body) {
    Append(out, {0, 0, 1, id, static_cast<std::uint8_t>(body.size() >> 8),
                 static_cast<std::uint8_t>(body.size())});
    Append(out, body);
  }
  void Padding(std::size_t n) { Packet(0xBE, Bytes(n, 0xFF)); }

 private:
  bool mpeg1_;
};

MovieFacts Probe(const Bytes& bytes) {
  MemoryMovieFile file(bytes);
  return ProbeMpegProgram(file);
}

TEST(PsProbe, BothSystemLayersWithTheLastStampsInTheTail) {
  for (bool mpeg1 : {true, false}) {
    PsWriter ps(mpeg1);
    ps.Pack(1000);
    ps.Packet(0xBB, {0x80, 0x1B, 0x83, 0x04, 0xE1, 0xFF});  // system header
    ps.Pes(0xE0, 9000, streamtest::MpegSequence(352, 240, 4, !mpeg1));
    ps.Pes(0xC0, 8100, streamtest::Mp2Frames(3));
    for (int i = 0; i < 90; ++i) {  // over half a megabyte of padding
      ps.Pack(2000 + i);
      ps.Padding(6500);
    }
    ps.Pack(90 * 90000);
    ps.Pes(0xE0, 9000 + 90 * 90000, {0, 0, 1, 0});
    Append(ps.out, {0, 0, 1, 0xB9});
    ASSERT_GT(ps.out.size(), kPsHeadBytes + kPsTailBytes);

    EXPECT_EQ(SniffContainer(ByteView(ps.out.data(), kSniffHeadBytes)), ContainerKind::MpegProgram);
    MemoryMovieFile file(ps.out);
    // From the audio's first stamp to one frame after the video's last.
    EXPECT_EQ(
        streamtest::Summary(ProbeMpegProgram(file)),
        std::string(mpeg1 ? "MPEG1" : "MPEG2") + " 352x240 29.97 | MP2 48000 128000 | 90.043");
    EXPECT_EQ(file.reads, 2);  // head and tail
  }
}

// Every audio and sub-picture stream of a file read whole, each once; a
// larger file, whose later part goes unread, lists none.
TEST(PsProbe, TracksOfTheStreamsItsPacketsHold) {
  PsWriter ps(false);
  ps.Pack(0);
  ps.Pes(0xC0, 0, streamtest::Mp2Frames(2));
  Bytes ac3 = {0x80, 1, 0, 1};
  Append(ac3, streamtest::Ac3Frames(1));
  for (int i = 0; i < 2; ++i) {
    ps.Pes(0xBD, 0, ac3);
    ps.Pes(0xBD, 0, {0x21, 1, 2, 3});
    ps.Pes(0xC0, 3000, streamtest::Mp2Frames(1));
  }
  ProbeFields cells = FieldsFromFacts(Probe(ps.out), ps.out.size());
  EXPECT_EQ(cells.audioTracks, "2: und, und");
  EXPECT_EQ(cells.subtitles, "1: und");
  EXPECT_EQ(cells.channels, "1.0");  // the first stream's: mono

  for (int i = 0; i < 6; ++i) ps.Padding(60000);
  ASSERT_GT(ps.out.size(), kPsHeadBytes);
  cells = FieldsFromFacts(Probe(ps.out), ps.out.size());
  EXPECT_EQ(cells.audioTracks + cells.subtitles, "");
  EXPECT_EQ(cells.channels, "1.0");
}

TEST(PsProbe, AudioInPrivateStreamOne) {
  struct Case {
    Bytes payload;  // sub-stream id and what follows it
    const char* facts;
    const char* cell;  // the audio rate cell
  };
  Bytes ac3 = {0x80, 1, 0, 1};  // AC-3 sub-stream 0, one frame, first one at 1
  Append(ac3, streamtest::Ac3Frames(2));
  const Case cases[] = {
      {ac3, "- 0x0 0.00 | AC-3 48000 192000 | 0.064", "48.00kHz/192kbit"},
      // No frame: the name only, and no rates.
      {{0x89, 1, 0, 1, 9, 9, 9}, "- 0x0 0.00 | DTS 0 0 | 0.000", ""},
      // LPCM: frame number byte, then 20 bits, 96 kHz, six channels; dynamic range
      {{0xA0, 1, 0, 1, 0, 0x55, 0x80},
       "- 0x0 0.00 | PCM 96000 11520000 | 0.000",
       "96.00kHz/11520kbit"},
      {{0xA1, 1, 0, 1, 0, 0xF5}, "- 0x0 0.00 | PCM 0 0 | 0.000", ""},  // a header cut short
  };
  for (const Case& c : cases) {
    PsWriter ps(false);
    ps.Pack(0);
    ps.Pes(0xBD, 0, {0x20, 1, 2, 3});  // a subpicture stream first: not audio
    ps.Pes(0xBD, 0, c.payload);
    ps.Pes(0xC0, 0, streamtest::Mp2Frames(2));  // a later stream does not count
    const MovieFacts f = Probe(ps.out);
    EXPECT_EQ(streamtest::Summary(f), c.facts);
    EXPECT_EQ(FieldsFromFacts(f, ps.out.size()).audioRate, c.cell);
  }
}

// Video whose sequence header is not in the head has its rate from the
// steps of its packets' stamps; a packet in which two pictures start
// stamps the first only.
TEST(PsProbe, FrameRateFromStampsWithoutASequenceHeader) {
  PsWriter ps(false);
  for (int i : {0, 1, 2, 4, 5, 6, 7, 8}) {
    ps.Pack(static_cast<std::uint64_t>(i) * 3600);
    ps.Pes(0xE0, 9000 + i * 3600, {0, 0, 1, 0, 9, 9});
  }
  EXPECT_EQ(streamtest::Summary(Probe(ps.out)), "MPEG2 0x0 25.00 | - 0 0 | 0.360");
}

TEST(PsProbe, DamageResyncAndClockWithoutStamps) {
  PsWriter ps(false);
  ps.Pack(90000);
  ps.Pes(0xE0, -1, {0x12, 0x34});                  // video without a sequence header in the head
  Append(ps.out, {0, 0, 1, 0xE0, 0, 0, 7, 7, 7});  // a packet of length 0
  Append(ps.out, Bytes(300, 0x01));                // noise
  ps.Pack(90000 + 45000);
  ps.Pes(0xC0, -1, streamtest::Mp2Frames(2));
  ps.Pack(90000 + 2 * 45000);
  MovieFacts f = Probe(ps.out);
  EXPECT_EQ(f.videoFormat, "MPEG2");  // named by the kind of packs
  EXPECT_EQ(f.width, 0);
  EXPECT_EQ(f.audioFormat, "MP2");
  EXPECT_EQ(f.seconds, 1);  // from the packs' clock

  // Not a program stream: no pack header at the start.
  EXPECT_FALSE(Probe({0, 0, 1, 0xBA, 0x00, 1, 2, 3, 4, 5, 6, 7, 8, 9}).Recognised());
  EXPECT_FALSE(Probe({0, 0, 1, 0xB3, 0x16, 0x00, 0xF0, 0x15}).Recognised());
}

// How the reading went, for files whole, cut and broken in each way.
TEST(PsProbe, OutcomeOfWholeCutAndBrokenFiles) {
  // A pack with the given video payload and two MP2 frames, padding packs
  // after it, and an end code.
  auto file = [](const Bytes& video, int paddingPacks = 0) {
    PsWriter ps(false);
    ps.Pack(0);
    ps.Pes(0xE0, 0, video);
    ps.Pes(0xC0, 0, streamtest::Mp2Frames(2));
    for (int i = 0; i < paddingPacks; ++i) {
      ps.Pack(i);
      ps.Padding(6500);
    }
    Append(ps.out, {0, 0, 1, 0xB9});
    return ps.out;
  };
  const Bytes sequence = streamtest::MpegSequence(352, 240, 4, true);
  const Bytes good = file(sequence);
  Bytes noise = good;
  noise.insert(noise.end() - 4, 40, 0x01);
  PsWriter sub(false);
  sub.Pack(0);
  sub.Pes(0xBD, 0, {0x20, 1, 2, 3});
  outcometest::ExpectOutcomes(
      {
          {"whole", good, ProbeOutcome::Whole},
          {"cut in the audio packet", Bytes(good.begin(), good.end() - 10),
           ProbeOutcome::Truncated},
          {"noise between the packs", noise, ProbeOutcome::Malformed},
          {"no sequence header in the head", file({0x12, 0x34}, 50), ProbeOutcome::BudgetSpent},
          {"a subpicture stream alone", sub.out, ProbeOutcome::Unsupported},
      },
      Probe);
}

}  // namespace
}  // namespace clip
