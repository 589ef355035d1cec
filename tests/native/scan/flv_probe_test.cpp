// FLV files: real files made by ffmpeg checked against ffprobe, and
// hand-built tags for script data, codec headers and damage.
#include "scan/flv_probe.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <utility>

#include "memory_file.h"
#include "outcome_cases.h"
#include "scan/container_kind.h"
#include "scan/track_cells.h"
#include "stream_builders.h"

namespace clip {
namespace {

using streamtest::Append;
using Bytes = std::vector<std::uint8_t>;

Bytes Be(std::uint64_t v, int bytes) {
  Bytes out;
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  return out;
}

// AMF0 values and object pairs.
Bytes Key(const std::string& name) {
  Bytes out = Be(name.size(), 2);
  out.insert(out.end(), name.begin(), name.end());
  return out;
}
Bytes Str(const std::string& text) {
  Bytes out = {0x02};
  Append(out, Key(text));
  return out;
}
Bytes Num(double v) {
  std::uint64_t bits;
  std::memcpy(&bits, &v, 8);
  Bytes out = {0x00};
  Append(out, Be(bits, 8));
  return out;
}
using Pairs = std::vector<std::pair<std::string, Bytes>>;
Bytes PairsOf(const Pairs& pairs) {
  Bytes out;
  for (const auto& [name, value] : pairs) {
    Append(out, Key(name));
    Append(out, value);
  }
  Append(out, {0, 0, 9});  // end marker
  return out;
}
// onMetaData as an ECMA array (type 8, with a count) or an object (type 3).
Bytes Metadata(const Pairs& pairs, bool ecma = true) {
  Bytes out = Str("onMetaData");
  out.push_back(ecma ? 8 : 3);
  if (ecma) Append(out, Be(pairs.size(), 4));
  Append(out, PairsOf(pairs));
  return out;
}

class FlvWriter {
 public:
  explicit FlvWriter(std::uint8_t flags = 5) {
    out = {'F', 'L', 'V', 1, flags, 0, 0, 0, 9};  // signature, version, flags, data offset
    Append(out, Be(0, 4));                        // size of the tag before the first
  }
  Bytes out;
  void Tag(std::uint8_t type, std::uint32_t ms, const Bytes& body) {
    out.push_back(type);
    Append(out, Be(body.size(), 3));
    Append(out, Be(ms & 0xFFFFFF, 3));
    out.push_back(static_cast<std::uint8_t>(ms >> 24));  // time stamp's high byte
    Append(out, Be(0, 3));                               // stream id
    Append(out, body);
    Append(out, Be(11 + body.size(), 4));
  }
};

// A Sorenson H.263 key frame tag at 160x120.
Bytes H263Frame() {
  streamtest::BitWriter w;
  w.Put(0x12, 8);                    // key frame, codec 2
  w.Put(1, 17).Put(0, 5).Put(0, 8);  // picture start code, version 0, temporal reference
  w.Put(6, 3).Put(0, 8);             // size code 6: 160x120
  return w.bytes();
}

MovieFacts Probe(const Bytes& bytes) {
  MemoryMovieFile file(bytes);
  return ProbeFlv(file);
}

TEST(FlvProbe, MetadataAsArrayOrObjectAmongOtherValues) {
  const Bytes keyframes = {0x03, 0, 5, 't', 'i', 'm', 'e', 's', 0x0A, 0,
                           0,    0, 2,                                       // object, array
                           0x00, 0, 0, 0,   0,   0,   0,   0,   0,    0x05,  // 0, null
                           0,    0, 9};
  const Pairs pairs = {
      {"keyframes", keyframes},
      {"created", {0x0B, 0x42, 0x77, 0, 0, 0, 0, 0, 0, 0, 0}},  // a date and its zone
      {"notes", {0x0C, 0, 0, 0, 3, 'a', 'b', 'c'}},             // a long string
      {"stereo", {0x01, 1}},
      {"duration", Num(125.5)},
      {"width", Num(640)},
      {"height", Num(360)},
      {"framerate", Num(30000.0 / 1001)},
      {"videocodecid", Num(7)},
      {"audiocodecid", Num(10)},
      {"audiosamplerate", Num(44100)},
      {"audiodatarate", Num(125)},
      {"title", Str("Caf\xC3\xA9 \xF0\x9F\x8E\xAC")},
      {"artist", Str("Ada")},
      {"genre", Str("Drama")},
      {"comment", Str("bad \xC3(")},
  };
  for (bool ecma : {true, false}) {
    FlvWriter flv;
    flv.Tag(18, 0, Metadata(pairs, ecma));
    MovieFacts f = Probe(flv.out);
    // The data rate counts kilobits of 1024 bits.
    EXPECT_EQ(streamtest::Summary(f), "H.264 640x360 29.97 | AAC 44100 128000 | 125.500");
    EXPECT_EQ(f.title, "Caf\xC3\xA9 \xF0\x9F\x8E\xAC");
    EXPECT_EQ(f.creator + "/" + f.genre + "/" + f.comment, "Ada/Drama/bad \xEF\xBF\xBD(");
  }
}

TEST(FlvProbe, CodecsFromTheTagsWhenTheMetadataLacksThem) {
  const Bytes h263 = H263Frame();
  Bytes mp3 = {0x2E};                     // MP3, 44 kHz, 16 bits, mono
  Append(mp3, {0xFF, 0xFB, 0x90, 0xC4});  // MPEG-1 layer III, 128 kbit/s, 44.1 kHz
  mp3.resize(1 + 417 * 2, 0);
  mp3[1 + 417] = 0xFF, mp3[2 + 417] = 0xFB, mp3[3 + 417] = 0x90;

  Bytes sps = streamtest::AvcSps(100, 120, 68, true, 4, 1001, 60000);
  sps.erase(sps.begin(), sps.begin() + 4);  // no start code in a configuration record
  Bytes avc = {0x17, 0, 0, 0, 0, 1, 100, 0, 40, 0xFF, 0xE1};  // key frame, config; record
  Append(avc, Be(sps.size(), 2));
  Append(avc, sps);
  avc.push_back(0);                                  // no picture parameter sets here
  const Bytes aacRaw = {0xAF, 0x01, 0x21};           // AAC data before its config
  const Bytes aacConfig = {0xAF, 0x00, 0x11, 0x90};  // LC, 48 kHz, stereo

  struct Case {
    std::vector<std::pair<std::uint8_t, Bytes>> tags;
    const char* facts;
    const char* channels;  // the channels cell
    int bits;              // the video's depth, from its decoder configuration
  } cases[] = {
      {{{9, h263}, {8, mp3}}, "Sorenson H.263 160x120 0.00 | MP3 44100 128000 | 1.000", "1.0", 0},
      {{{8, aacRaw}, {9, {0x27, 1, 0, 0, 0}}, {9, avc}, {8, aacConfig}},
       "H.264 1920x1080 29.97 | AAC 48000 0 | 1.000",
       "2.0",
       8},
      {{{9, {0x90, 'h', 'v', 'c', '1'}}, {8, {0x90, 'O', 'p', 'u', 's'}}},
       "H.265 0x0 0.00 | Opus 0 0 | 1.000",
       "",
       0},                                                                      // extended headers
      {{{8, {0x3F, 0, 0}}}, "- 0x0 0.00 | PCM 44100 1411200 | 1.000", "2", 0},  // 16-bit stereo
      {{{9, {0x19}}, {8, {0xF0}}}, "9 0x0 0.00 | 15 5512 0 | 1.000", "", 0},    // unknown ids
  };
  for (const Case& c : cases) {
    FlvWriter flv;
    flv.Tag(18, 0, Metadata({{"duration", Num(1)}}));
    for (const auto& [type, body] : c.tags) flv.Tag(type, 0, body);
    const MovieFacts f = Probe(flv.out);
    EXPECT_EQ(streamtest::Summary(f), c.facts);
    EXPECT_EQ(ChannelsCell(f.channels), c.channels) << c.facts;
    EXPECT_EQ(f.depth.bits, c.bits) << c.facts;
  }

  // A codec id given as a four-character code's number.
  FlvWriter flv;
  flv.Tag(18, 0, Metadata({{"videocodecid", Num(0x68766331)}, {"audiocodecid", Str("ec-3")}}));
  MovieFacts f = Probe(flv.out);
  EXPECT_EQ(f.videoFormat, "H.265");
  EXPECT_EQ(f.audioFormat, "E-AC-3");
}

TEST(FlvProbe, PlayTimeFromTheLastTagWithoutADuration) {
  FlvWriter flv;
  flv.Tag(18, 0, Metadata({{"duration", Num(std::numeric_limits<double>::quiet_NaN())}}));
  flv.Tag(9, 0, {0x22});
  flv.Tag(9, 0x01ABCDEF, {0x22});  // with the time stamp's high byte: 28036591 ms
  EXPECT_NEAR(Probe(flv.out).seconds, 28036.591, 1e-9);

  flv.out[flv.out.size() - 1] ^= 1;  // the last tag's size no longer matches
  EXPECT_EQ(Probe(flv.out).seconds, -1);
  flv.out.resize(flv.out.size() - 1);
  EXPECT_EQ(Probe(flv.out).seconds, -1);
}

TEST(FlvProbe, HostileScriptDataKeepsWhatCameBefore) {
  Bytes deep;  // objects nested far deeper than any writer goes
  for (int i = 0; i < 5000; ++i) Append(deep, {0x03, 0, 1, 'x'});
  const Bytes cases[] = {
      deep,
      {0x0A, 0xFF, 0xFF, 0xFF, 0xFF, 0x05},  // a strict array counting far more than it holds
      {0x02, 0xFF, 0xFF, 'a'},               // a string past the end
      {0x0C, 0xFF, 0xFF, 0xFF, 0xF0},        // a long string past the end
      {0x11},                                // an unknown type
  };
  for (const Bytes& bad : cases) {
    FlvWriter flv;
    flv.Tag(18, 0, Metadata({{"duration", Num(3)}, {"bad", bad}, {"audiocodecid", Num(2)}}));
    MovieFacts f = Probe(flv.out);
    EXPECT_TRUE(f.Recognised());
    EXPECT_EQ(f.seconds, 3);       // read before the damage
    EXPECT_EQ(f.audioFormat, "");  // after it: not read
  }
  // Values out of range are not taken.
  FlvWriter flv;
  flv.Tag(18, 0,
          Metadata({{"duration", Num(-5)},
                    {"width", Num(-320)},
                    {"height", Num(1e300)},
                    {"framerate", Num(std::numeric_limits<double>::infinity())},
                    {"videocodecid", Num(-1)},
                    {"audiocodecid", Num(2)},
                    {"audiosamplerate", Num(44)},
                    {"audiodatarate", Num(-1)}}));
  flv.Tag(8, 0, {0x26, 0, 0});  // MP3 at 11 kHz by its flags, no frame
  // The tag's rate for an old writer's "44"; the last tag's time stamp.
  EXPECT_EQ(streamtest::Summary(Probe(flv.out)), "- 0x0 0.00 | MP3 11025 0 | 0.000");

  EXPECT_FALSE(Probe({'F', 'L', 'V', 2, 5, 0, 0, 0, 9}).Recognised());
  // A data offset past the file: the header alone.
  EXPECT_TRUE(Probe({'F', 'L', 'V', 1, 5, 0xFF, 0xFF, 0xFF, 0xF0, 0, 0, 0, 0}).Recognised());
}

// Files the fuzz target once broke, kept as fixtures.
TEST(FlvProbe, FuzzFoundFiles) {
  // An H.263 picture header in its 16-bit size form, giving 16921x33667.
  std::ifstream in(std::string(CLIP_FIXTURES_DIR) + "/probe/flv/h263_huge_size.flv",
                   std::ios::binary);
  Bytes bytes((std::istreambuf_iterator<char>(in)), {});
  ASSERT_EQ(bytes.size(), 37u);
  MovieFacts f = Probe(bytes);
  EXPECT_EQ(f.videoFormat, "Sorenson H.263");
  EXPECT_EQ(f.width, 0);
  EXPECT_EQ(f.height, 0);
}

// How the reading went, for files whole, cut and broken in each way.
TEST(FlvProbe, OutcomeOfWholeCutAndBrokenFiles) {
  auto file = [](std::uint8_t videoType, std::size_t scriptBytes = 0) {
    FlvWriter flv(1);
    flv.Tag(18, 0, Metadata({{"duration", Num(1)}}));
    if (scriptBytes) flv.Tag(18, 0, Bytes(scriptBytes, 0));
    flv.Tag(videoType, 0, H263Frame());
    return flv.out;
  };
  const Bytes good = file(9);
  outcometest::ExpectOutcomes(
      {
          {"whole", good, ProbeOutcome::Whole},
          {"cut in the last tag", Bytes(good.begin(), good.end() - 5), ProbeOutcome::Truncated},
          {"a tag of no known type", file(5), ProbeOutcome::Malformed},
          {"the video tag past the head", file(9, kFlvHeadBytes), ProbeOutcome::BudgetSpent},
          {"encrypted video", file(9 | 0x20), ProbeOutcome::Unsupported},
      },
      Probe);
}

}  // namespace
}  // namespace clip
