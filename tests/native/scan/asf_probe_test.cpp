// ProbeAsf over real WMV, ASF and WMA files checked against ffprobe, and
// over hand-built header objects.
#include "scan/asf_probe.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>

#include "ffprobe_facts.h"
#include "memory_file.h"
#include "probe_builders.h"
#include "scan/codec_table.h"
#include "scan/track_cells.h"

namespace clip {
namespace {

using namespace ffprobefacts;
using probetest::Bytes;

struct AsfMovie {
  const char* name;
  const char* video;
  const char* audio;
};

const AsfMovie kAsfMovies[] = {
    {"asf/wmv2_wmav2.wmv", "WMV2", "WMA"},
    {"asf/mpeg4_mp3.asf", "MPEG-4 Visual", "MP3"},
    {"asf/audio_only.wma", "", "WMA"},
};

void PrintTo(const AsfMovie& m, std::ostream* os) { *os << m.name; }

class AsfFixture : public ::testing::TestWithParam<AsfMovie> {};

TEST_P(AsfFixture, AgreesWithFfprobe) {
  const AsfMovie& m = GetParam();
  Fixture fx = LoadFixture(m.name);
  if (fx.bytes.empty()) GTEST_SKIP() << m.name << " was not made";
  Probe& p = fx.probe;
  CountedFile file(fx.bytes);
  MovieFacts facts = ProbeAsf(file);
  EXPECT_EQ(facts.videoFormat, m.video);
  EXPECT_EQ(facts.audioFormat, m.audio);
  ExpectCommonFacts(facts, p);
  // ffmpeg writes no extended stream properties: the rate is the packets'
  // presentation times'.
  if (p.hasVideo)
    EXPECT_EQ(FormatFixed2(facts.framesPerSecond),
              FormatFixed2(Ratio(p.Get(p.video, "r_frame_rate"))));
  if (p.hasAudio)  // the format's byte rate, as ffprobe reads it: exact
    EXPECT_EQ(facts.audioBitsPerSecond,
              static_cast<std::uint64_t>(std::atoll(p.Get(p.audio, "bit_rate").c_str())));
  EXPECT_EQ(file.rawReads, 1);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, AsfFixture, ::testing::ValuesIn(kAsfMovies),
                         FixtureName<AsfMovie>);

// GUIDs as stored.
const std::uint8_t kHeaderGuid[] = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                    0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
const std::uint8_t kFileGuid[] = {0xA1, 0xDC, 0xAB, 0x8C, 0x47, 0xA9, 0xCF, 0x11,
                                  0x8E, 0xE4, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
const std::uint8_t kStreamGuid[] = {0x91, 0x07, 0xDC, 0xB7, 0xB7, 0xA9, 0xCF, 0x11,
                                    0x8E, 0xE6, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
const std::uint8_t kContentGuid[] = {0x33, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                     0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
const std::uint8_t kExtContentGuid[] = {0x40, 0xA4, 0xD0, 0xD2, 0x07, 0xE3, 0xD2, 0x11,
                                        0x97, 0xF0, 0x00, 0xA0, 0xC9, 0x5E, 0xA8, 0x50};
const std::uint8_t kExtensionGuid[] = {0xB5, 0x03, 0xBF, 0x5F, 0x2E, 0xA9, 0xCF, 0x11,
                                       0x8E, 0xE3, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
const std::uint8_t kExtStreamGuid[] = {0xCB, 0xA5, 0xE6, 0x14, 0x72, 0xC6, 0x32, 0x43,
                                       0x83, 0x99, 0xA9, 0x69, 0x52, 0x06, 0x5B, 0x5A};
const std::uint8_t kVideoGuid[] = {0xC0, 0xEF, 0x19, 0xBC, 0x4D, 0x5B, 0xCF, 0x11,
                                   0xA8, 0xFD, 0x00, 0x80, 0x5F, 0x5C, 0x44, 0x2B};
const std::uint8_t kAudioGuid[] = {0x40, 0x9E, 0x69, 0xF8, 0x4D, 0x5B, 0xCF, 0x11,
                                   0xA8, 0xFD, 0x00, 0x80, 0x5F, 0x5C, 0x44, 0x2B};

void Guid(Bytes& b, const std::uint8_t (&g)[16]) { b.b.insert(b.b.end(), g, g + 16); }
void Object(Bytes& b, const std::uint8_t (&g)[16], const Bytes& body) {
  Guid(b, g);
  b.U32(static_cast<std::uint32_t>(body.b.size() + 24)).U32(0);
  b.b.insert(b.b.end(), body.b.begin(), body.b.end());
}
Bytes Utf16(const std::u16string& s) {
  Bytes b;
  for (char16_t c : s) b.U16(c);
  return b.U16(0);
}

// A header with file properties (12.5 s with 2 s of preroll), the
// extension's extended stream properties (stream 2 at 40 ms a frame), a
// WMV3 video stream 2 of 640x360, a WMA stream 1 (44.1 kHz, 16000 bytes a
// second) and both content descriptions.
std::vector<std::uint8_t> MakeAsf(std::uint32_t audioBytes = 16000, std::uint16_t audioStream = 1) {
  Bytes objects;
  Bytes file;
  file.Fill(40).U32(145000000).U32(0).U32(0).U32(0).U32(2000).U32(0).U32(
      2);  // durations, preroll, flags
  Object(objects, kFileGuid, file);
  Bytes esp;
  esp.Fill(16).U32(700000).Fill(28);                   // times, data bit rate, ...
  esp.U16(2).U16(0).U32(400000).U32(0).U16(0).U16(0);  // stream 2, 40 ms a frame
  Bytes extObjects;
  Object(extObjects, kExtStreamGuid, esp);
  Bytes ext;
  ext.Fill(16).U16(6).U32(static_cast<std::uint32_t>(extObjects.b.size()));
  ext.b.insert(ext.b.end(), extObjects.b.begin(), extObjects.b.end());
  Object(objects, kExtensionGuid, ext);
  Bytes audio;
  Guid(audio, kAudioGuid);
  audio.Fill(16 + 8).U32(18).U32(0).U16(audioStream).U32(0);  // ECC GUID, offset, lengths, stream
  audio.U16(0x161).U16(2).U32(44100).U32(audioBytes).U16(4).U16(16).U16(0);
  Object(objects, kStreamGuid, audio);
  Bytes video;
  Guid(video, kVideoGuid);
  video.Fill(16 + 8).U32(11 + 40).U32(0).U16(2).U32(0);
  video.U32(640).U32(360).U8(2).U16(40);
  video.U32(40).U32(640).U32(360).U16(1).U16(24).Tag("wmv3").Fill(20);
  Object(objects, kStreamGuid, video);
  Bytes title = Utf16(u"T\U0001F600"), author = Utf16(u"\u4F5C\u8005"), desc = Utf16(u"d");
  Bytes content;
  content.U16(static_cast<std::uint16_t>(title.b.size()))
      .U16(static_cast<std::uint16_t>(author.b.size()))
      .U16(0)
      .U16(static_cast<std::uint16_t>(desc.b.size()))
      .U16(0);
  for (Bytes* t : {&title, &author, &desc})
    content.b.insert(content.b.end(), t->b.begin(), t->b.end());
  Object(objects, kContentGuid, content);
  Bytes extContent;
  Bytes album = Utf16(u"WM/AlbumTitle"), genreName = Utf16(u"WM/Genre"), genre = Utf16(u"Jazz");
  extContent.U16(2);
  for (auto [name, value] : {std::pair<Bytes*, Bytes*>{&album, &desc}, {&genreName, &genre}}) {
    extContent.U16(static_cast<std::uint16_t>(name->b.size()));
    extContent.b.insert(extContent.b.end(), name->b.begin(), name->b.end());
    extContent.U16(0).U16(static_cast<std::uint16_t>(value->b.size()));
    extContent.b.insert(extContent.b.end(), value->b.begin(), value->b.end());
  }
  Object(objects, kExtContentGuid, extContent);

  Bytes out;
  Guid(out, kHeaderGuid);
  out.U32(static_cast<std::uint32_t>(objects.b.size() + 30)).U32(0).U32(6).U16(0x0201);
  out.b.insert(out.b.end(), objects.b.begin(), objects.b.end());
  out.Fill(64, 0x82);  // the start of the data object
  return out.b;
}

MovieFacts ProbeBytes(const std::vector<std::uint8_t>& bytes) {
  MemoryMovieFile file(bytes);
  return ProbeAsf(file);
}

TEST(AsfProbe, EveryHeaderObjectTheFactsComeFrom) {
  MovieFacts f = ProbeBytes(MakeAsf());
  EXPECT_TRUE(f.Recognised());
  EXPECT_EQ(f.videoFormat, "WMV3");
  EXPECT_EQ(f.width, 640);
  EXPECT_EQ(f.height, 360);
  EXPECT_DOUBLE_EQ(f.framesPerSecond, 25);
  EXPECT_DOUBLE_EQ(f.seconds, 12.5);
  EXPECT_EQ(f.audioFormat, "WMA");
  EXPECT_EQ(f.audioSamplesPerSecond, 44100u);
  EXPECT_EQ(f.audioBitsPerSecond, 128000u);
  EXPECT_EQ(f.title, "T\xF0\x9F\x98\x80");
  EXPECT_EQ(f.creator, "\xE4\xBD\x9C\xE8\x80\x85");
  EXPECT_EQ(f.comment, "d");
  EXPECT_EQ(f.genre, "Jazz");

  // Audio of no stated byte rate takes its stream's extended properties.
  std::vector<std::uint8_t> vbr = MakeAsf(/*audioBytes=*/0, /*audioStream=*/2);
  EXPECT_EQ(ProbeBytes(vbr).audioBitsPerSecond, 700000u);
}

// Audio streams 1 and 3 in a header whose language list the extended
// properties pick from; the first is extensible, of a 5.1 speaker mask.
TEST(AsfProbe, AudioTracksLanguagesAndChannels) {
  const std::uint8_t kLanguageGuid[] = {0xA9, 0x46, 0x43, 0x7C, 0xE0, 0xEF, 0xFC, 0x4B,
                                        0xB2, 0x29, 0x39, 0x3E, 0xDE, 0x41, 0x5C, 0x85};
  Bytes extObjects, list;
  list.U16(2);
  for (const Bytes& id : {Utf16(u"ja"), Utf16(u"en-US")}) {
    list.U8(static_cast<std::uint8_t>(id.b.size()));
    list.b.insert(list.b.end(), id.b.begin(), id.b.end());
  }
  Object(extObjects, kLanguageGuid, list);
  for (auto [stream, language] : {std::pair<int, int>{1, 1}, {3, 0}}) {
    Bytes esp;
    esp.Fill(48).U16(static_cast<std::uint16_t>(stream)).U16(static_cast<std::uint16_t>(language));
    esp.Fill(12);
    Object(extObjects, kExtStreamGuid, esp);
  }
  Bytes ext, objects;
  ext.Fill(16).U16(6).U32(static_cast<std::uint32_t>(extObjects.b.size()));
  ext.b.insert(ext.b.end(), extObjects.b.begin(), extObjects.b.end());
  Object(objects, kExtensionGuid, ext);
  for (int stream : {1, 3}) {
    Bytes audio;
    Guid(audio, kAudioGuid);
    audio.Fill(16 + 8).U32(40).U32(0).U16(static_cast<std::uint16_t>(stream)).U32(0);
    audio.U16(stream == 1 ? 0xFFFE : 0x161).U16(6).U32(48000).U32(16000).U16(4).U16(16);
    audio.U16(22).U16(16).U32(0x3F).Fill(16);
    Object(objects, kStreamGuid, audio);
  }
  Bytes out;
  Guid(out, kHeaderGuid);
  out.U32(static_cast<std::uint32_t>(objects.b.size() + 30)).U32(0).U32(3).U16(0x0201);
  out.b.insert(out.b.end(), objects.b.begin(), objects.b.end());
  MovieFacts f = ProbeBytes(out.b);
  EXPECT_EQ(AudioTracksCell(f.audioTracks), "2: en-US, ja");
  EXPECT_TRUE(f.tracksListed);
  EXPECT_EQ(ChannelsCell(f.channels), "5.1");

  // Cut in the second stream: its track is not known, the first's channels are.
  f = ProbeBytes(std::vector<std::uint8_t>(out.b.begin(), out.b.end() - 20));
  EXPECT_FALSE(f.tracksListed);
  EXPECT_EQ(ChannelsCell(f.channels), "5.1");
}

TEST(AsfProbe, CodecNames) {
  EXPECT_EQ(WindowsVideoName(probetest::Code("WVC1")), "VC-1");
  EXPECT_EQ(WindowsVideoName(probetest::Code("xvid")), "MPEG-4 Visual");
  EXPECT_EQ(WindowsVideoName(probetest::Code("MP43")), "MPEG4 V3");  // as in AVI rows
  EXPECT_EQ(WindowsVideoName(probetest::Code("WVP2")), "WMV9 Image v2");
  EXPECT_EQ(WindowsVideoName(probetest::Code("dvsd")), "DV");
  EXPECT_EQ(WindowsVideoName(probetest::Code("ab\1c")), "ab[01]c (unknown)");
  EXPECT_EQ(WindowsVideoName(0), "");
  EXPECT_EQ(WindowsAudioName(0x163), "WMA");
  EXPECT_EQ(WindowsAudioName(0x000A), "WMA Voice");
  EXPECT_EQ(WindowsAudioName(0x0092), "AC-3");
  EXPECT_EQ(WindowsAudioName(0x1234), "0x1234 (unknown)");
}

TEST(AsfProbe, HostileHeadersGiveNoInventedFacts) {
  std::vector<std::uint8_t> good = MakeAsf();
  MovieFacts whole = ProbeBytes(good);
  for (std::size_t n = 0; n < good.size(); ++n) {
    MovieFacts f = ProbeBytes(std::vector<std::uint8_t>(good.begin(), good.begin() + n));
    EXPECT_EQ(f.Recognised(), n >= 30) << n;
    if (!f.videoFormat.empty()) EXPECT_EQ(f.videoFormat, whole.videoFormat) << n;
    if (f.width) EXPECT_EQ(f.width, whole.width) << n;
    if (f.seconds >= 0) EXPECT_EQ(f.seconds, whole.seconds) << n;
    if (!f.title.empty()) EXPECT_EQ(f.title, whole.title) << n;
  }
  // An object size past the header, a zero object size, a header size of
  // 2^64 - 1 and an object count of four billion.
  std::vector<std::uint8_t> bad = good;
  bad[30 + 16] = 0xFF, bad[30 + 20] = 0xFF;
  EXPECT_EQ(ProbeBytes(bad).seconds, -1);
  bad = good;
  std::memset(&bad[30 + 16], 0, 8);
  EXPECT_EQ(ProbeBytes(bad).videoFormat, "");
  bad = good;
  std::memset(&bad[16], 0xFF, 8);
  std::memset(&bad[24], 0xFF, 4);
  EXPECT_EQ(ProbeBytes(bad).videoFormat, "WMV3");
}

// Data packets of 256 bytes: two bytes of error correction data, payloads
// of {stream, media object, offset in it, presentation time (ms)}, each
// with 8 bytes of replicated data and 10 bytes of its object; or, where the
// time is negative, a compressed payload of three objects 40 ms apart from
// the time's magnitude on. Padding fills the packet.
constexpr std::uint32_t kAsfPacket = 256;
Bytes AsfPacket(const std::vector<std::array<int, 4>>& payloads) {
  Bytes p;
  p.U8(0x82).U16(0);       // error correction data
  p.U8(0x11).U8(0x5D);     // several payloads, word padding; field lengths
  p.U16(0).U32(0).U16(0);  // padding (set below), send time, duration
  p.U8(static_cast<std::uint8_t>(0x80 | payloads.size()));  // word payload lengths
  for (const auto& [stream, object, offset, time] : payloads) {
    p.U8(static_cast<std::uint8_t>(stream)).U8(static_cast<std::uint8_t>(object));
    if (time >= 0) {
      p.U32(static_cast<std::uint32_t>(offset)).U8(8).U32(30).U32(static_cast<std::uint32_t>(time));
      p.U16(10).Fill(10, 0x77);
    } else {
      p.U32(static_cast<std::uint32_t>(-time)).U8(1).U8(40).U16(3 * 4);  // time, delta
      for (int i = 0; i < 3; ++i) p.U8(3).Fill(3, 0x77);
    }
  }
  const std::size_t padding = kAsfPacket - p.b.size();
  p.b[5] = static_cast<std::uint8_t>(padding), p.b[6] = static_cast<std::uint8_t>(padding >> 8);
  return p.Fill(padding);
}

// A header with file properties (packets of kAsfPacket bytes), video
// streams 2 and 3 of no time per frame, an object of headerPad bytes, then
// the data object with the packets.
std::vector<std::uint8_t> AsfWithPackets(const std::vector<Bytes>& packets,
                                         std::size_t headerPad = 0) {
  const std::uint8_t kDataGuid[] = {0x36, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                    0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
  const std::uint8_t kOtherGuid[16] = {0x11};
  Bytes objects, file;
  file.Fill(40).U32(50000000).U32(0).U32(0).U32(0).U32(0).U32(0).U32(2);
  file.U32(kAsfPacket).U32(kAsfPacket).U32(0);
  Object(objects, kFileGuid, file);
  for (std::uint16_t number : {2, 3}) {
    Bytes video;
    Guid(video, kVideoGuid);
    video.Fill(16 + 8).U32(11 + 40).U32(0).U16(number).U32(0);
    video.U32(320).U32(240).U8(2).U16(40);
    video.U32(40).U32(320).U32(240).U16(1).U16(24).Tag("wmv3").Fill(20);
    Object(objects, kStreamGuid, video);
  }
  Object(objects, kOtherGuid, Bytes().Fill(headerPad));
  Bytes out;
  Guid(out, kHeaderGuid);
  out.U32(static_cast<std::uint32_t>(objects.b.size() + 30)).U32(0).U32(4).U16(0x0201);
  out.b.insert(out.b.end(), objects.b.begin(), objects.b.end());
  out.b.insert(out.b.end(), kDataGuid, kDataGuid + 16);
  out.U32(static_cast<std::uint32_t>(50 + packets.size() * kAsfPacket)).U32(0).Fill(16);
  out.U32(static_cast<std::uint32_t>(packets.size())).U32(0).U16(0x0101);
  for (const Bytes& p : packets) out.b.insert(out.b.end(), p.b.begin(), p.b.end());
  return out.b;
}

// Without a time per frame, the rate from the presentation times of the
// video's media objects (an object in two parts counts once).
TEST(AsfProbe, FrameRateFromPresentationTimes) {
  std::vector<Bytes> ntsc, other, compressed;
  for (int i = 0; i < 30; ++i) {
    const int time = 3000 + static_cast<int>(std::lround(i * 1001 / 30.0));
    ntsc.push_back(AsfPacket({{2, i, 0, time}, {2, i, 10, time}, {1, i, 0, time}}));
    other.push_back(AsfPacket({{3, i, 0, 3000 + i * 40}}));
    compressed.push_back(AsfPacket({{2, i, 0, -(3000 + i * 120)}}));
  }
  EXPECT_EQ(FormatFixed2(ProbeBytes(AsfWithPackets(ntsc)).framesPerSecond), "29.97");
  // A file of several bit rates that holds the packets of one stream only.
  EXPECT_EQ(ProbeBytes(AsfWithPackets(other)).framesPerSecond, 25);
  EXPECT_EQ(ProbeBytes(AsfWithPackets(compressed)).framesPerSecond, 25);

  // A header past the first read: its packets come with the header's own
  // second read, or in one more.
  for (std::size_t pad : {std::size_t{70000}, std::size_t{64600}}) {
    CountedFile file(AsfWithPackets(other, pad));
    EXPECT_EQ(ProbeAsf(file).framesPerSecond, 25) << pad;
    EXPECT_LE(file.rawReads, 2) << pad;
  }
  // Packets that cannot be read give no rate.
  std::vector<std::uint8_t> broken = AsfWithPackets(other);
  broken[broken.size() - 30 * kAsfPacket + 4] = 0xFF;  // the stream number's field length
  EXPECT_EQ(ProbeBytes(broken).framesPerSecond, 0);
}

// How the reading went, for files whole, cut and broken in each way.
TEST(AsfProbe, OutcomeOfWholeCutAndBrokenFiles) {
  const std::vector<std::uint8_t> good = MakeAsf();
  auto patched = [&](std::size_t at, std::initializer_list<std::uint8_t> bytes) {
    std::vector<std::uint8_t> b = good;
    std::copy(bytes.begin(), bytes.end(), b.begin() + static_cast<std::ptrdiff_t>(at));
    return b;
  };
  // A header of 1.5 MB in a file of 2 MB: longer than the cap.
  std::vector<std::uint8_t> big = patched(16, {0x00, 0xE0, 0x16});
  struct Case {
    const char* what;
    std::vector<std::uint8_t> bytes;
    std::uint64_t size;  // as the file reports it
    ProbeOutcome want;
  } cases[] = {
      {"whole", good, good.size(), ProbeOutcome::Whole},
      {"cut in the header", std::vector<std::uint8_t>(good.begin(), good.begin() + 100), 100,
       ProbeOutcome::Truncated},
      {"an object of size zero", patched(30 + 16, {0, 0, 0, 0}), good.size(),
       ProbeOutcome::Malformed},
      {"a header shorter than its own fields", patched(16, {29, 0, 0, 0}), good.size(),
       ProbeOutcome::Malformed},
      {"a header past the cap", big, 2 << 20, ProbeOutcome::BudgetSpent},
  };
  for (const Case& c : cases) {
    probetest::SizedFile file(c.bytes, c.size);
    EXPECT_STREQ(OutcomeName(ProbeAsf(file).outcome), OutcomeName(c.want)) << c.what;
  }
}

}  // namespace
}  // namespace clip
