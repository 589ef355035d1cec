// MPEG transport streams over hand-built packets: layouts, tables, time
// stamps and damage (real files: stream_files_test.cpp).
#include "scan/ts_probe.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "memory_file.h"
#include "outcome_cases.h"
#include "scan/container_kind.h"
#include "scan/probe.h"
#include "stream_builders.h"

namespace clip {
namespace {

using streamtest::Append;
using Bytes = std::vector<std::uint8_t>;

constexpr std::uint64_t kWrap = 1ull << 33;

// Transport packets built field by field.
class TsWriter {
 public:
  explicit TsWriter(std::size_t packetSize = 188) : packetSize_(packetSize) {}
  Bytes out;

  // One packet; a payload shorter than 184 bytes is preceded by an
  // adaptation field of stuffing that fills the packet.
  void Packet(int pid, bool unitStart, const Bytes& payload, std::uint8_t flags = 0) {
    if (packetSize_ == 192) Append(out, {0, 0, 0, 0});  // time code
    const std::size_t n = std::min<std::size_t>(payload.size(), 184);
    out.push_back(0x47);
    out.push_back(static_cast<std::uint8_t>(flags | (unitStart ? 0x40 : 0) | pid >> 8));
    out.push_back(static_cast<std::uint8_t>(pid));
    if (n < 184) {
      out.push_back(0x30);  // adaptation field and payload
      out.push_back(static_cast<std::uint8_t>(183 - n));
      if (n < 183) out.push_back(0x00), out.insert(out.end(), 182 - n, 0xFF);
    } else {
      out.push_back(0x10);  // payload only
    }
    out.insert(out.end(), payload.begin(), payload.begin() + static_cast<long>(n));
    if (packetSize_ == 204) out.insert(out.end(), 16, 0);  // check bytes
  }
  // Bytes split over packets, the first one starting a unit.
  void Unit(int pid, Bytes bytes) {
    for (std::size_t at = 0; at == 0 || at < bytes.size(); at += 184)
      Packet(pid, at == 0,
             Bytes(bytes.begin() + static_cast<long>(at),
                   bytes.begin() + static_cast<long>(std::min(bytes.size(), at + 184))));
  }
  // A PSI section after a zero pointer field, with a (zero) CRC.
  void Section(int pid, std::uint8_t table, const Bytes& body) {
    const std::size_t length = 5 + body.size() + 4;
    Bytes s = {0,
               table,
               static_cast<std::uint8_t>(0xB0 | length >> 8),
               static_cast<std::uint8_t>(length),
               0,
               1,
               0xC1,
               0,
               0};
    Append(s, body);
    Append(s, {0, 0, 0, 0});
    Unit(pid, s);
  }
  void Pat(int pmtPid) {  // program 1 at pmtPid
    Section(
        0, 0x00,
        {0, 1, static_cast<std::uint8_t>(0xE0 | pmtPid >> 8), static_cast<std::uint8_t>(pmtPid)});
  }
  struct Es {
    std::uint8_t type;
    int pid;
    Bytes descriptors;
  };
  void Pmt(int pid, const std::vector<Es>& streams, const Bytes& programDescriptors = {}) {
    Bytes body = {0xE1, 0x00,  // PCR PID 0x100
                  static_cast<std::uint8_t>(0xF0 | programDescriptors.size() >> 8),
                  static_cast<std::uint8_t>(programDescriptors.size())};
    Append(body, programDescriptors);
    for (const Es& e : streams) {
      Append(body, {e.type, static_cast<std::uint8_t>(0xE0 | e.pid >> 8),
                    static_cast<std::uint8_t>(e.pid),
                    static_cast<std::uint8_t>(0xF0 | e.descriptors.size() >> 8),
                    static_cast<std::uint8_t>(e.descriptors.size())});
      Append(body, e.descriptors);
    }
    Section(pid, 0x02, body);
  }
  // A PES packet with a time stamp (none when pts < 0) and a decode time
  // stamp (none when dts < 0) around es.
  void Pes(int pid, std::uint8_t streamId, long long pts, const Bytes& es, long long dts = -1) {
    Bytes p = {0, 0, 1, streamId, 0, 0, 0x80, 0, 0};
    auto stamp = [&](std::uint8_t prefix, long long value) {
      const std::uint64_t t = static_cast<std::uint64_t>(value) % kWrap;
      Append(p, {static_cast<std::uint8_t>(prefix | (t >> 29 & 0x0E)),
                 static_cast<std::uint8_t>(t >> 22), static_cast<std::uint8_t>(t >> 14 | 1),
                 static_cast<std::uint8_t>(t >> 7), static_cast<std::uint8_t>(t << 1 | 1)});
    };
    if (pts >= 0) {
      p[7] = dts >= 0 ? 0xC0 : 0x80, p[8] = dts >= 0 ? 10 : 5;  // PTS, and DTS
      stamp(dts >= 0 ? 0x31 : 0x21, pts);
      if (dts >= 0) stamp(0x11, dts);
    }
    Append(p, es);
    Unit(pid, p);
  }
  void Null(int count) {
    for (int i = 0; i < count; ++i) Packet(0x1FFF, false, Bytes(184, 0xFF));
  }

 private:
  std::size_t packetSize_;
};

// Where the payload of the index-th 188-byte packet starts.
std::size_t PayloadOf(const Bytes& ts, std::size_t index) {
  const std::size_t at = index * 188;
  return (ts[at + 3] & 0x20) ? at + 5 + ts[at + 4] : at + 4;
}

MovieFacts Probe(const Bytes& bytes) {
  MemoryMovieFile file(bytes);
  return ProbeMpegTransport(file);
}

// MPEG-2 video 720x576 at 25 fps and MP2 audio on PIDs 0x100 and 0x101.
void WriteProgram(TsWriter& ts) {
  ts.Pat(0x1000);
  ts.Pmt(0x1000, {{0x02, 0x100, {}}, {0x03, 0x101, {}}});
}

TEST(TsProbe, PacketLayoutsAndAPlayTimeAcrossTheClockWrap) {
  struct Layout {
    std::size_t packetSize, junk;
  } layouts[] = {{188, 0}, {192, 0}, {204, 0}, {188, 37}};
  for (const Layout& l : layouts) {
    TsWriter ts(l.packetSize);
    ts.out.assign(l.junk, 0x47);  // a capture that starts inside a packet
    WriteProgram(ts);
    // Half a second before the 33-bit clock wraps; the audio starts first.
    const long long start = static_cast<long long>(kWrap) - 45000;
    ts.Pes(0x101, 0xC0, start - 900, streamtest::Mp2Frames(4));
    ts.Pes(0x100, 0xE0, start, streamtest::MpegSequence(720, 576, 3, true));
    ts.Null(3000);  // past the head: the last stamps come from the tail read
    ts.Pes(0x100, 0xE0, start + 60 * 90000, {0, 0, 1, 0});
    ts.Pes(0x101, 0xC0, start + 59 * 90000, {0xFF});
    ts.Null(10);
    ASSERT_GT(ts.out.size(), kTsHeadBytes + kTsTailBytes);

    EXPECT_EQ(SniffContainer(ByteView(ts.out.data(), kSniffHeadBytes)),
              ContainerKind::MpegTransport);
    MemoryMovieFile file(ts.out);
    // From the audio's first stamp to one frame after the video's last.
    EXPECT_EQ(streamtest::Summary(ProbeMpegTransport(file)),
              "MPEG2 720x576 25.00 | MP2 48000 128000 | 60.050")
        << l.packetSize << "+" << l.junk;
    EXPECT_EQ(file.reads, 2);  // head and tail
  }
}

TEST(TsProbe, StreamTypesFromTheProgramMap) {
  const Bytes hdmv = {0x05, 4, 'H', 'D', 'M', 'V'};
  struct Case {
    std::uint8_t type;
    Bytes descriptors;
    bool bluRay;
    const char* video;
    const char* audio;
  } cases[] = {
      {0x01, {}, false, "MPEG1", ""},  // no sequence header: the type's name
      {0x06, {0x6A, 1, 0}, false, "", "AC-3"},
      {0x06, {0x52, 1, 1, 0x7A, 0}, false, "", "E-AC-3"},  // after a stream identifier
      {0x06, {0x05, 4, 'O', 'p', 'u', 's'}, false, "", "Opus"},
      {0x06, {0x05, 4, 'H', 'E', 'V', 'C'}, false, "H.265", ""},
      {0x06, {0x59, 0}, false, "", ""},    // subtitles
      {0x06, {0x6A, 200}, false, "", ""},  // a descriptor running past its list
      {0x80, {}, false, "", ""},           // outside Blu-ray streams 80..86 mean other things
      {0x86, {}, false, "", ""},
      {0x80, {}, true, "", "PCM"},
      {0x86, {}, true, "", "DTS"},
      {0x42, {}, false, "", ""},
  };
  for (const Case& c : cases) {
    TsWriter ts;
    ts.Pat(0x20);
    ts.Pmt(0x20, {{c.type, 0x30, c.descriptors}}, c.bluRay ? hdmv : Bytes{});
    ts.Pes(0x30, 0xE0, 0, {1, 2, 3});
    MovieFacts f = Probe(ts.out);
    EXPECT_EQ(f.videoFormat, c.video) << std::hex << int{c.type};
    EXPECT_EQ(f.audioFormat, c.audio) << std::hex << int{c.type};
  }

  // The first video and the first audio stream, by their order in the map;
  // the Blu-ray LPCM header gives rate and channels (three, stored as four).
  TsWriter ts(192);
  ts.Pat(0x20);
  ts.Pmt(0x20, {{0x80, 0x31, {}}, {0x1B, 0x32, {}}, {0x81, 0x33, {}}, {0x02, 0x34, {}}});
  ts.Pes(0x31, 0xBD, 0, {0x01, 0xE0, 0x41, 0x40});  // size, 3/0 channels at 48 kHz, 16 bits
  EXPECT_EQ(streamtest::Summary(Probe(ts.out)), "H.264 0x0 0.00 | PCM 48000 3072000 | 0.000");
}

// count AAC frames in ADTS at 48 kHz with channel configuration 6 (5.1).
Bytes AdtsFrames(int count) {
  Bytes out;
  for (int i = 0; i < count; ++i) {
    Bytes frame(100, 0x21);
    const Bytes header = {0xFF, 0xF1, 0x4D, 0x80, 100 >> 3, (100 & 7) << 5 | 0x1F, 0xFC};
    std::copy(header.begin(), header.end(), frame.begin());
    Append(out, frame);
  }
  return out;
}

// The map's audio streams with their languages, DVB and teletext subtitle
// streams (not a teletext stream of other pages), the first audio's layout.
TEST(TsProbe, TracksFromTheProgramMap) {
  const Bytes teletext = {0x56, 10, 'f', 'r', 'a', 0x09, 0x00, 'd', 'e', 'u', 0x11, 0x50};
  TsWriter ts;
  ts.Pat(0x1000);
  ts.Pmt(0x1000, {{0x02, 0x100, {}},
                  {0x0F, 0x101, {0x0A, 4, 'j', 'p', 'n', 0}},
                  {0x81, 0x102, {0x0A, 4, 'e', 'n', 'g', 0}},
                  {0x06, 0x103, {0x59, 8, 'e', 'n', 'g', 0x10, 0, 1, 0, 1}},
                  {0x06, 0x104, teletext},
                  {0x06, 0x105, {0x56, 5, 'f', 'r', 'a', 0x08, 0x00}},  // an initial page
                  {0x03, 0x106, {}}});
  ts.Pes(0x101, 0xC0, 0, AdtsFrames(3));
  const Bytes whole = ts.out;
  MovieFacts f = Probe(whole);
  ProbeFields cells = FieldsFromFacts(f, whole.size());
  EXPECT_EQ(cells.audioTracks, "3: jpn, eng, und");
  EXPECT_EQ(cells.subtitles, "2: eng, deu");
  EXPECT_EQ(cells.channels, "5.1");

  // Cut inside the map: no track is known.
  f = Probe(Bytes(whole.begin(), whole.begin() + 188 + 100));
  cells = FieldsFromFacts(f, 288);
  EXPECT_EQ(cells.audioTracks + cells.subtitles + cells.channels, "");
}

// H.264 whose timing is not marked fixed has its rate from the decode
// stamps (B-frames send their presentation stamps out of order); audio the
// map declares but no frame of which is read leaves its rate cell empty.
TEST(TsProbe, FrameRateFromDecodeStampsAndAudioWithoutFrames) {
  TsWriter ts;
  ts.Pat(0x1000);
  ts.Pmt(0x1000, {{0x1B, 0x100, {}}, {0x0F, 0x101, {}}});
  ts.Pes(0x101, 0xC0, 0, {1, 2, 3, 4});
  const double frame = 90000 * 1001 / 24000.0;
  for (int i = 0; i < 12; ++i) {
    const int shown = i == 0 ? 0 : i % 3 == 1 ? i + 2 : i - 1;  // I P B B P B B ...
    Bytes es = {0, 0, 1, 0x09, 0x10};
    if (i == 0) Append(es, streamtest::AvcSps(100, 40, 23, true, 4, 1, 2000000, false));
    ts.Pes(0x100, 0xE0, std::llround((shown + 2) * frame), es, std::llround(i * frame));
  }
  const MovieFacts f = Probe(ts.out);
  EXPECT_EQ(streamtest::Summary(f), "H.264 640x360 23.98 | AAC 0 0 | 0.626");
  EXPECT_EQ(FieldsFromFacts(f, ts.out.size()).audioRate, "");
  EXPECT_EQ(FieldsFromFacts(f, ts.out.size()).frameRate, "23.98");

  // Pictures too large for the head to hold enough of: the tail's stamps.
  TsWriter big;
  big.Pat(0x1000);
  big.Pmt(0x1000, {{0x1B, 0x100, {}}});
  big.Pes(0x100, 0xE0, 0, streamtest::AvcSps(100, 40, 23, true, 4, 1, 50, false));
  big.Null(3000);
  for (int i = 0; i < 6; ++i) big.Pes(0x100, 0xE0, 90000 + i * 3600, {0, 0, 1, 0x09, 0x10});
  EXPECT_EQ(streamtest::Summary(Probe(big.out)), "H.264 640x360 25.00 | - 0 0 | 1.240");
}

TEST(TsProbe, DamagedTablesAndPackets) {
  auto withAudio = [](TsWriter& ts) { ts.Pes(0x101, 0xC0, 90000, streamtest::Mp2Frames(2)); };
  {  // A map section whose length runs past what follows: never whole.
    TsWriter ts;
    ts.Pat(0x1000);
    ts.Pmt(0x1000, {{0x03, 0x101, {}}});
    const std::size_t section = PayloadOf(ts.out, 1) + 1;    // after the pointer field
    ts.out[section + 1] = 0xB3, ts.out[section + 2] = 0xFF;  // section length 1023
    withAudio(ts);
    MovieFacts f = Probe(ts.out);
    EXPECT_TRUE(f.Recognised());
    EXPECT_EQ(f.audioFormat, "");
    EXPECT_EQ(f.seconds, -1);
  }
  {  // A map over two packets (long descriptors) still gives its streams.
    TsWriter ts;
    ts.Pat(0x1000);
    Bytes longList(250, 0);
    longList[0] = 0x80, longList[1] = 248;  // one user descriptor of 248 bytes
    ts.Pmt(0x1000, {{0x02, 0x100, longList}, {0x03, 0x101, {}}});
    withAudio(ts);
    EXPECT_EQ(Probe(ts.out).audioFormat, "MP2");
  }
  {  // Only the network entry in the PAT; a stream entry whose descriptors
     // run past the map.
    TsWriter ts;
    ts.Section(0, 0x00, {0, 0, 0xE0, 0x10});
    ts.Pmt(0x10, {{0x03, 0x101, {}}});
    withAudio(ts);
    EXPECT_EQ(Probe(ts.out).audioFormat, "");
    TsWriter cut;
    cut.Pat(0x1000);
    cut.Pmt(0x1000, {{0x03, 0x101, {}}, {0x02, 0x100, {}}});
    const std::size_t second = PayloadOf(cut.out, 1) + 1 + 12 + 5;  // the second entry
    cut.out[second + 3] = 0xFF, cut.out[second + 4] = 0xFF;         // its descriptor length
    withAudio(cut);
    MovieFacts f = Probe(cut.out);
    EXPECT_EQ(f.audioFormat, "MP2");
    EXPECT_EQ(f.videoFormat, "");
  }
  {  // Damaged packets, an adaptation field longer than the packet, a PES
     // header longer than its packet, lost sync: skipped, the walk goes on.
    TsWriter ts;
    WriteProgram(ts);
    ts.Null(2);  // the sniffer's six packets in a row
    ts.Packet(0x101, true, {0, 0, 1, 0xC0, 0, 0, 0x80, 0x80, 5, 0x21, 0, 1, 0, 1}, 0x80);
    ts.Packet(0x101, true, {}), ts.out[ts.out.size() - 184] = 255;
    ts.Packet(0x101, true, {0, 0, 1, 0xC0, 0, 0, 0x80, 0x80, 250, 0x21, 0, 1, 0, 1});
    Append(ts.out, {1, 2, 3, 4, 5});
    withAudio(ts);
    ts.Null(5);
    MovieFacts f = Probe(ts.out);
    EXPECT_EQ(f.audioFormat, "MP2");
    EXPECT_EQ(f.audioBitsPerSecond, 128000u);
    EXPECT_NEAR(f.seconds, 0.048, 1e-9);  // the one good stamp and its two frames
  }
}

TEST(TsProbe, NoiseIsNoStream) {
  std::mt19937 rng(7);
  Bytes noise(64 * 1024);
  for (auto& b : noise) b = static_cast<std::uint8_t>(rng() >> 24) & 0xBF;  // never 0x47
  EXPECT_FALSE(Probe(noise).Recognised());
  noise[0] = noise[188] = 0x47;  // two sync bytes are not yet a stream
  EXPECT_FALSE(Probe(noise).Recognised());
  for (std::size_t at = 0; at < noise.size(); at += 188) noise[at] = 0x47;
  MovieFacts f = Probe(noise);  // packets of noise: a stream with nothing readable
  EXPECT_TRUE(f.Recognised());
  EXPECT_EQ(f.videoFormat, "");
  EXPECT_EQ(f.audioFormat, "");
  EXPECT_EQ(f.seconds, -1);
}

// How the reading went, for files whole, cut and broken in each way.
TEST(TsProbe, OutcomeOfWholeCutAndBrokenFiles) {
  auto file = [](int nullsFirst, std::uint8_t videoType = 0x02) {
    TsWriter ts;
    ts.Null(nullsFirst);
    ts.Pat(0x1000);
    ts.Pmt(0x1000, {{videoType, 0x100, {}}});
    ts.Pes(0x100, 0xE0, 0, streamtest::MpegSequence(720, 576, 3, true));
    ts.Null(10);
    return ts.out;
  };
  const Bytes good = file(0);
  Bytes lost = good;
  lost[8 * 188] = 0x00;  // a packet without its sync byte
  outcometest::ExpectOutcomes(
      {
          {"whole", good, ProbeOutcome::Whole},
          {"cut in the last packet", Bytes(good.begin(), good.end() - 50), ProbeOutcome::Truncated},
          {"a packet out of sync", lost, ProbeOutcome::Malformed},
          {"the program map past the head", file(1500), ProbeOutcome::BudgetSpent},
          {"no stream of a known type", file(0, 0x05), ProbeOutcome::Unsupported},
      },
      Probe);
}

}  // namespace
}  // namespace clip
