// ProbeMatroska over real Matroska and WebM files checked against ffprobe,
// and over hand-built EBML for the layouts ffmpeg does not write.
#include "scan/matroska_probe.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "ffprobe_facts.h"
#include "memory_file.h"
#include "outcome_cases.h"
#include "scan/track_cells.h"

namespace clip {
namespace {

using namespace ffprobefacts;

struct MkvMovie {
  const char* name;
  const char* video;
  const char* audio;
  bool declaresRate;  // a BPS tag or PCM; otherwise the file states no audio rate
};

const MkvMovie kMkvMovies[] = {
    {"matroska/hevc_eac3.mkv", "H.265", "E-AC-3", false},
    {"matroska/h264_ac3.mkv", "H.264", "AC-3", false},
    {"matroska/h264_flac.mkv", "H.264", "FLAC", false},
    {"matroska/mpeg4_mp3.mkv", "MPEG-4 Visual", "MP3", true},
    {"matroska/av1_opus.mkv", "AV1", "Opus", false},
    {"matroska/vp9_opus.webm", "VP9", "Opus", false},
    {"matroska/vp8_vorbis.webm", "VP8", "Vorbis", false},
    {"matroska/prores_pcm.mkv", "ProRes", "PCM", true},
};

void PrintTo(const MkvMovie& m, std::ostream* os) { *os << m.name; }

class MatroskaFixture : public ::testing::TestWithParam<MkvMovie> {};

TEST_P(MatroskaFixture, AgreesWithFfprobe) {
  const MkvMovie& m = GetParam();
  Fixture fx = LoadFixture(m.name);
  if (fx.bytes.empty()) GTEST_SKIP() << m.name << " was not made";
  Probe& p = fx.probe;
  CountedFile file(fx.bytes);
  MovieFacts facts = ProbeMatroska(file);
  EXPECT_EQ(facts.videoFormat, m.video);
  EXPECT_EQ(facts.audioFormat, m.audio);
  ExpectCommonFacts(facts, p);
  EXPECT_NEAR(facts.framesPerSecond, Ratio(p.Get(p.video, "avg_frame_rate")), 0.005);
  // A declared rate is ffprobe's exactly (it reads the same tag or format).
  if (m.declaresRate)
    EXPECT_EQ(facts.audioBitsPerSecond,
              static_cast<std::uint64_t>(std::atoll(p.Get(p.audio, "bit_rate").c_str())));
  else
    EXPECT_EQ(facts.audioBitsPerSecond, 0u);
  EXPECT_EQ(file.rawReads, 1);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, MatroskaFixture, ::testing::ValuesIn(kMkvMovies),
                         FixtureName<MkvMovie>);

// EBML writer: elements with one-byte-marker sizes of eight bytes, so that
// the long size form is what every element here uses.
class Ebml {
 public:
  std::vector<std::uint8_t> b;
  Ebml& Id(std::uint32_t id) {
    for (int shift = 24; shift >= 0; shift -= 8)
      if (id >> shift || shift == 0) b.push_back(static_cast<std::uint8_t>(id >> shift));
    return *this;
  }
  Ebml& Size(std::uint64_t n) {  // 0x01 then seven bytes
    b.push_back(0x01);
    for (int shift = 48; shift >= 0; shift -= 8) b.push_back(static_cast<std::uint8_t>(n >> shift));
    return *this;
  }
  Ebml& Bytes(std::uint32_t id, const std::vector<std::uint8_t>& v) {
    Id(id).Size(v.size());
    b.insert(b.end(), v.begin(), v.end());
    return *this;
  }
  Ebml& Str(std::uint32_t id, const std::string& s) {
    return Bytes(id, std::vector<std::uint8_t>(s.begin(), s.end()));
  }
  Ebml& UInt(std::uint32_t id, std::uint64_t v) {
    std::vector<std::uint8_t> bytes;
    for (int shift = 56; shift >= 0; shift -= 8)
      if (v >> shift || shift == 0 || !bytes.empty())
        bytes.push_back(static_cast<std::uint8_t>(v >> shift));
    return Bytes(id, bytes);
  }
  Ebml& Float4(std::uint32_t id, float f) {
    std::uint32_t bits;
    std::memcpy(&bits, &f, 4);
    return Bytes(id, {static_cast<std::uint8_t>(bits >> 24), static_cast<std::uint8_t>(bits >> 16),
                      static_cast<std::uint8_t>(bits >> 8), static_cast<std::uint8_t>(bits)});
  }
  Ebml& Master(std::uint32_t id, const Ebml& body) { return Bytes(id, body.b); }
};

// EBML header (webm), then a Segment of unknown size: SeekHead, Info (4-byte
// Duration 5000 at a 2 ms scale: 10 s), Tracks (a VP9 640x360 track shown
// at 854x480, 40 ms a frame; a Vorbis track of 48 kHz), a cluster of
// clusterBytes, then Tags: two whole-file tags of different levels, a
// chapter's tag and the audio track's BPS.
std::vector<std::uint8_t> MakeWebm(std::size_t clusterBytes = 1000) {
  Ebml header;
  header.Str(0x4282, "webm");
  Ebml info;
  info.UInt(0x2AD7B1, 2000000).Float4(0x4489, 5000).Str(0x7BA9, "Info title");
  Ebml video, audio, v, a;
  v.UInt(0xB0, 640).UInt(0xBA, 360).UInt(0x54B0, 854).UInt(0x54BA, 480);
  video.UInt(0xD7, 1).UInt(0x73C5, 11).UInt(0x83, 1).Str(0x86, "V_VP9").UInt(0x23E383, 40000000);
  video.Master(0xE0, v);
  a.Float4(0xB5, 48000).UInt(0x9F, 2);
  audio.UInt(0xD7, 2).UInt(0x73C5, 22).UInt(0x83, 2).Str(0x86, "A_VORBIS").Master(0xE1, a);
  Ebml tracks;
  tracks.Master(0xAE, video).Master(0xAE, audio);
  auto simple = [](const char* name, const std::string& value) {
    Ebml s;
    s.Str(0x45A3, name).Str(0x4487, value);
    return s;
  };
  Ebml album, movie, chapter, track, targets70, targets50, targetsChapter, targetsTrack;
  targets70.UInt(0x68CA, 70);
  album.Master(0x63C0, targets70)
      .Master(0x67C8, simple("ARTIST", "Band"))
      .Master(0x67C8, simple("GENRE", "Rock"));
  targets50.UInt(0x68CA, 50);
  movie.Master(0x63C0, targets50).Master(0x67C8, simple("ARTIST", "Director"));
  movie.Master(0x67C8, simple("comment", "c\xC3\xA9"));
  targetsChapter.UInt(0x63C4, 5);
  chapter.Master(0x63C0, targetsChapter).Master(0x67C8, simple("TITLE", "Chapter"));
  targetsTrack.UInt(0x63C5, 22);
  track.Master(0x63C0, targetsTrack).Master(0x67C8, simple("BPS", "112000"));
  Ebml tags;
  tags.Master(0x7373, album).Master(0x7373, movie).Master(0x7373, chapter).Master(0x7373, track);

  Ebml body;
  // The SeekHead's positions are fixed up below, once the layout is known.
  Ebml seekInfo, seekTracks, seekTags, seekHead;
  seekInfo.Bytes(0x53AB, {0x15, 0x49, 0xA9, 0x66}).UInt(0x53AC, 0x0100000000000000);
  seekTracks.Bytes(0x53AB, {0x16, 0x54, 0xAE, 0x6B}).UInt(0x53AC, 0x0100000000000000);
  seekTags.Bytes(0x53AB, {0x12, 0x54, 0xC3, 0x67}).UInt(0x53AC, 0x0100000000000000);
  seekHead.Master(0x4DBB, seekInfo).Master(0x4DBB, seekTracks).Master(0x4DBB, seekTags);
  body.Master(0x114D9B74, seekHead);
  std::uint64_t infoAt = body.b.size();
  body.Master(0x1549A966, info);
  std::uint64_t tracksAt = body.b.size();
  body.Master(0x1654AE6B, tracks);
  body.Bytes(0x1F43B675, std::vector<std::uint8_t>(clusterBytes, 0xA3));
  std::uint64_t tagsAt = body.b.size();
  body.Master(0x1254C367, tags);
  // Each placeholder position (01 then seven zero bytes) in turn.
  std::uint64_t positions[] = {infoAt, tracksAt, tagsAt};
  std::size_t at = 0;
  for (std::uint64_t pos : positions) {
    while (!(body.b[at] == 0x01 && std::count(&body.b[at + 1], &body.b[at + 8], 0) == 7 &&
             body.b[at - 1] == 0x08))
      ++at;
    for (int i = 0; i < 8; ++i) body.b[at + i] = static_cast<std::uint8_t>(pos >> (56 - 8 * i));
  }

  Ebml file;
  file.Master(0x1A45DFA3, header);
  file.Id(0x18538067).b.insert(file.b.end(), {0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
  file.b.insert(file.b.end(), body.b.begin(), body.b.end());
  return file.b;
}

MovieFacts ProbeBytes(const std::vector<std::uint8_t>& bytes) {
  MemoryMovieFile file(bytes);
  return ProbeMatroska(file);
}

TEST(MatroskaProbe, TagsAtTheEndThroughTheSeekHeadInTwoReads) {
  std::vector<std::uint8_t> bytes = MakeWebm(8 << 20);
  CountedFile file(bytes);
  MovieFacts f = ProbeMatroska(file);
  EXPECT_TRUE(f.Recognised());
  EXPECT_EQ(f.videoFormat, "VP9");
  EXPECT_EQ(f.width, 854);
  EXPECT_EQ(f.height, 480);
  EXPECT_DOUBLE_EQ(f.framesPerSecond, 25);
  EXPECT_DOUBLE_EQ(f.seconds, 10);
  EXPECT_EQ(f.audioFormat, "Vorbis");
  EXPECT_EQ(f.audioSamplesPerSecond, 48000u);
  EXPECT_EQ(f.audioBitsPerSecond, 112000u);
  EXPECT_EQ(f.title, "Info title");  // not the chapter's
  EXPECT_EQ(f.creator, "Director");  // level 50 over 70
  EXPECT_EQ(f.genre, "Rock");        // only level 70 has one
  EXPECT_EQ(f.comment, "c\xC3\xA9");
  EXPECT_EQ(file.rawReads, 2);
}

TEST(MatroskaProbe, HostileElementsGiveNoInventedFacts) {
  std::vector<std::uint8_t> good = MakeWebm();
  MovieFacts whole = ProbeBytes(good);
  for (std::size_t n = 0; n < good.size(); ++n) {
    MovieFacts f = ProbeBytes(std::vector<std::uint8_t>(good.begin(), good.begin() + n));
    if (!f.videoFormat.empty()) EXPECT_EQ(f.videoFormat, whole.videoFormat) << n;
    if (f.width) EXPECT_EQ(f.width, whole.width) << n;
    if (f.seconds >= 0) EXPECT_EQ(f.seconds, whole.seconds) << n;
    if (!f.creator.empty()) EXPECT_EQ(f.creator, whole.creator) << n;
  }
  // The Tracks element's size past the segment's end, and past 2^56.
  std::size_t tracks = 0;
  for (std::size_t i = 0; i + 4 < good.size(); ++i)
    if (good[i] == 0x16 && good[i + 1] == 0x54 && good[i + 2] == 0xAE && good[i + 3] == 0x6B)
      tracks = i;
  ASSERT_NE(tracks, 0u);
  for (std::uint8_t top : {0x00, 0x7F}) {
    std::vector<std::uint8_t> bad = good;
    bad[tracks + 5] = top, bad[tracks + 6] = 0xFF;
    MovieFacts f = ProbeBytes(bad);
    EXPECT_EQ(f.videoFormat, "");
    EXPECT_DOUBLE_EQ(f.seconds, 10);  // Info came first
  }
  // Another DocType, a zero first byte, an EBML header of unknown size, noise.
  std::vector<std::uint8_t> other = good;
  std::memcpy(&other[12 + 12], "wabm", 4);
  EXPECT_FALSE(ProbeBytes(other).Recognised());
  other = good;
  other[0] = 0;
  EXPECT_FALSE(ProbeBytes(other).Recognised());
  other = good;
  std::memset(&other[4], 0xFF, 8);
  other[4] = 0x01;
  EXPECT_FALSE(ProbeBytes(other).Recognised());
  std::mt19937 rng(3);
  std::vector<std::uint8_t> noise(100000);
  for (auto& b : noise) b = static_cast<std::uint8_t>(rng());
  noise[0] = 0x1A, noise[1] = 0x45, noise[2] = 0xDF, noise[3] = 0xA3;
  EXPECT_EQ(ProbeBytes(noise).videoFormat, "");
}

// A Matroska file with a 384x288 video track (display size and unit as
// given, no frame duration) and an audio track, padding of voidBytes, then
// clusters of 2 s each holding frames blocks of frameBytes: the video's presentation
// times of 1001/24 ms a frame rounded to whole ms, in the order I P B B as
// B-frames store them, every other one in a BlockGroup, with audio blocks
// between.
std::vector<std::uint8_t> MakeMkv(std::uint64_t displayWidth, std::uint64_t displayHeight,
                                  std::uint64_t unit, int frames, std::size_t voidBytes = 0,
                                  std::size_t frameBytes = 2) {
  Ebml header, info, v, video, audio, tracks, segment;
  header.Str(0x4282, "matroska");
  info.UInt(0x2AD7B1, 1000000).Float4(0x4489, 10000);
  v.UInt(0xB0, 384).UInt(0xBA, 288).UInt(0x54B0, displayWidth).UInt(0x54BA, displayHeight);
  v.UInt(0x54B2, unit);
  video.UInt(0xD7, 1).UInt(0x83, 1).Str(0x86, "V_MPEG4/ISO/AVC").Master(0xE0, v);
  audio.UInt(0xD7, 2).UInt(0x83, 2).Str(0x86, "A_AAC");
  tracks.Master(0xAE, video).Master(0xAE, audio);
  segment.Master(0x1549A966, info).Master(0x1654AE6B, tracks);
  if (voidBytes) segment.Bytes(0xEC, std::vector<std::uint8_t>(voidBytes));
  const int order[] = {0, 3, 1, 2};
  Ebml cluster;
  std::int64_t base = 0;
  for (int i = 0; i < frames; ++i) {
    const int frame = i / 4 * 4 + order[i % 4];
    const std::int64_t ms = (frame * 1001 * 1000 + 12000) / 24000;
    if (i % 48 == 0) {
      if (i) segment.Master(0x1F43B675, cluster);
      base = ms / 2000 * 2000;
      cluster = Ebml();
      cluster.UInt(0xE7, static_cast<std::uint64_t>(base));
    }
    const auto rel = static_cast<std::uint16_t>(ms - base);
    std::vector<std::uint8_t> block = {0x81, static_cast<std::uint8_t>(rel >> 8),
                                       static_cast<std::uint8_t>(rel), 0x80};
    block.resize(4 + frameBytes);
    if (i % 2) {
      Ebml group;
      group.Bytes(0xA1, block);
      cluster.Master(0xA0, group);
    } else {
      cluster.Bytes(0xA3, block);
    }
    block[0] = 0x82, block[1] = 0x7F;  // audio at a time no frame has
    cluster.Bytes(0xA3, block);
  }
  segment.Master(0x1F43B675, cluster);
  Ebml file;
  file.Master(0x1A45DFA3, header).Master(0x18538067, segment);
  return file.b;
}

// Display sizes: in pixels they stand, in other units and as an aspect
// ratio (stated, or written as tiny pixels) the picture's size does.
TEST(MatroskaProbe, DisplaySizeOnlyInPixels) {
  struct Case {
    std::uint64_t width, height, unit;
    std::int64_t shownWidth, shownHeight;
  } cases[] = {
      {512, 288, 0, 512, 288}, {4, 3, 0, 384, 288},   {16, 9, 3, 384, 288},
      {20, 15, 1, 384, 288},   {96, 72, 0, 384, 288}, {97, 73, 0, 97, 73},
  };
  for (const Case& c : cases) {
    MovieFacts f = ProbeBytes(MakeMkv(c.width, c.height, c.unit, 8));
    EXPECT_EQ(f.width, c.shownWidth) << c.width << "x" << c.height << " unit " << c.unit;
    EXPECT_EQ(f.height, c.shownHeight) << c.width << "x" << c.height << " unit " << c.unit;
  }
}

// Without a frame duration the first blocks' times give the rate: 240
// frames over 9.968 s is 23.976. They are read from what the reads so far
// hold (the first, or the one that found a Cluster further on), else from
// one more read.
TEST(MatroskaProbe, FrameRateFromTheFirstBlocks) {
  struct Case {
    std::size_t voidBytes, frameBytes;
    int reads;
  } cases[] = {{0, 2, 1}, {0, 400, 2}, {100000, 2, 2}};
  for (const Case& c : cases) {
    MemoryMovieFile file(MakeMkv(4, 3, 0, 240, c.voidBytes, c.frameBytes));
    MovieFacts f = ProbeMatroska(file);
    EXPECT_NEAR(f.framesPerSecond, 24000.0 / 1001, 1e-9) << c.voidBytes << " " << c.frameBytes;
    EXPECT_EQ(file.reads, c.reads) << c.voidBytes << " " << c.frameBytes;
    EXPECT_EQ(f.outcome, ProbeOutcome::Whole);
  }
  // Too few frames to tell a rate give none.
  EXPECT_EQ(ProbeBytes(MakeMkv(4, 3, 0, 3)).framesPerSecond, 0);
}

// AC-3, E-AC-3 and DTS tracks take their layout from the first frame the
// first read holds: past a lacing header, with a stripped header put back,
// and only where it has the track's channel count. A frame that cannot be
// read leaves the count; MPEG audio holds one channel or two, never an LFE.
TEST(MatroskaProbe, AudioFrameLayoutFromTheFirstBlock) {
  const std::vector<std::uint8_t> ac3 = {0x0B, 0x77, 0, 0, 0x10, 0x40, 0xE1, 0x00, 0, 0};
  const std::vector<std::uint8_t> dts = {0x7F, 0xFE, 0x80, 0x01, 0xFC, 0x3C,
                                         0x3E, 0x82, 0x75, 0xE0, 0x02};
  struct Case {
    const char* codec;
    int channels;
    std::vector<std::uint8_t> frame;
    std::uint8_t lacing;  // the block's lacing bits
    int compression;      // -1 none, else the algorithm (3: header stripping of 0B 77)
    std::uint8_t blockTrack;
    const char* cell;
  } cases[] = {
      {"A_AC3", 6, ac3, 0, -1, 1, "5.1"},
      {"A_AC3", 6, {ac3.begin() + 2, ac3.end()}, 0x02, 3, 1, "5.1"},  // Xiph lacing
      {"A_EAC3", 8, ac3, 0x06, -1, 1, "8"},   // a dependent substream's channels unseen
      {"A_DTS", 6, dts, 0x06, -1, 1, "5.1"},  // EBML lacing
      {"A_DTS", 0, dts, 0x04, -1, 1, "5.1"},  // fixed lacing, no count given
      {"A_AC3", 6, ac3, 0, 0, 1, "6"},        // zlib: the frame is not readable
      {"A_AC3", 6, ac3, 0, -1, 2, "6"},       // no block of the track
      {"A_MPEG/L3", 2, {}, 0, -1, 1, "2.0"},  // one channel or two, never an LFE
  };
  for (const Case& c : cases) {
    Ebml doc, segment, tracks, track, audio, cluster;
    doc.Str(0x4282, "matroska");
    audio.Float4(0xB5, 48000);
    if (c.channels) audio.UInt(0x9F, static_cast<std::uint64_t>(c.channels));
    track.UInt(0xD7, 1).UInt(0x83, 2).Str(0x86, c.codec).Master(0xE1, audio);
    if (c.compression >= 0) {
      Ebml compression, encoding, encodings;
      if (c.compression) compression.UInt(0x4254, static_cast<std::uint64_t>(c.compression));
      if (c.compression == 3) compression.Bytes(0x4255, {0x0B, 0x77});
      encoding.Master(0x5034, compression);
      encodings.Master(0x6240, encoding);
      track.Master(0x6D80, encodings);
    }
    tracks.Master(0xAE, track);
    std::vector<std::uint8_t> block = {static_cast<std::uint8_t>(0x80 | c.blockTrack), 0, 0,
                                       static_cast<std::uint8_t>(0x80 | c.lacing)};
    // Two frames in a lace: the first of 300 bytes.
    if (c.lacing == 0x02) block.insert(block.end(), {1, 0xFF, 300 - 255});
    if (c.lacing == 0x06) block.insert(block.end(), {1, 0x41, 0x2C});
    if (c.lacing == 0x04) block.push_back(1);
    std::vector<std::uint8_t> frame = c.frame;
    frame.resize(300);
    block.insert(block.end(), frame.begin(), frame.end());
    block.insert(block.end(), frame.begin(), frame.end());
    cluster.UInt(0xE7, 0).Bytes(0xA3, block);
    segment.Master(0x1654AE6B, tracks).Master(0x1F43B675, cluster);
    Ebml file;
    file.Master(0x1A45DFA3, doc).Master(0x18538067, segment);
    MemoryMovieFile movie(file.b);
    const MovieFacts f = ProbeMatroska(movie);
    EXPECT_EQ(ChannelsCell(f.channels), c.cell) << c.codec << " lacing " << int(c.lacing);
    EXPECT_EQ(movie.reads, 1);
  }
}

// How the reading went, for files whole, cut and broken in each way.
// Tracks of every kind, Chapters before the clusters, and the facts the
// track cells show.
TEST(MatroskaProbe, EveryAudioAndSubtitleTrackWithLayoutDepthAndChapters) {
  Ebml doc, segment, tracks, video, colour, vid, dv, mapping;
  doc.Str(0x4282, "matroska");
  colour.UInt(0x55B2, 10).UInt(0x55BA, 16);
  vid.UInt(0xB0, 64).UInt(0xBA, 64).Master(0x55B0, colour);
  // A Dolby Vision configuration: version 1.0, profile 8, level 6, BL compatibility 1.
  dv.UInt(0x41E7, 0x64766343).Bytes(0x41ED, {1, 0, 8 << 1, 6 << 3, 1 << 4});
  mapping = dv;
  video.UInt(0xD7, 1).UInt(0x83, 1).Str(0x86, "V_VP9").Master(0xE0, vid).Master(0x41E4, mapping);
  auto audio = [](int n, const char* codec, std::vector<std::uint8_t> priv, int channels) {
    Ebml a, t;
    a.Float4(0xB5, 48000).UInt(0x9F, static_cast<std::uint64_t>(channels));
    t.UInt(0xD7, static_cast<std::uint64_t>(n)).UInt(0x83, 2).Str(0x86, codec);
    if (!priv.empty()) t.Bytes(0x63A2, priv);
    return t.Master(0xE1, a);
  };
  // AAC LC, 48 kHz, channel configuration 7 (7.1); the second track says no language.
  Ebml first = audio(2, "A_AAC", {0x11, 0xB8}, 8), second = audio(3, "A_AC3", {}, 6);
  first.Str(0x22B59C, "jpn");
  Ebml subs[3];
  subs[0].UInt(0xD7, 4).UInt(0x83, 17).Str(0x86, "S_TEXT/UTF8").Str(0x22B59C, "und");
  subs[1]
      .UInt(0xD7, 5)
      .UInt(0x83, 17)
      .Str(0x86, "S_TEXT/UTF8")
      .Str(0x22B59C, "eng")
      .Str(0x22B59D, "en-GB");
  subs[2]
      .UInt(0xD7, 6)
      .UInt(0x83, 17)
      .Str(0x86, "S_TEXT/UTF8")
      .Str(0x22B59C, "eng")
      .UInt(0x55AA, 1);
  tracks.Master(0xAE, video).Master(0xAE, first).Master(0xAE, second);
  for (const Ebml& t : subs) tracks.Master(0xAE, t);
  Ebml chapters, edition, second_edition, atom;
  atom.UInt(0x73C4, 1);
  edition.Master(0xB6, atom).Master(0xB6, atom).Master(0xB6, atom);
  second_edition.Master(0xB6, atom);
  chapters.Master(0x45B9, edition).Master(0x45B9, second_edition);
  segment.Master(0x1654AE6B, tracks).Master(0x1043A770, chapters);
  Ebml file;
  file.Master(0x1A45DFA3, doc).Master(0x18538067, segment);

  MovieFacts f = ProbeBytes(file.b);
  EXPECT_EQ(f.outcome, ProbeOutcome::Whole);
  ASSERT_TRUE(f.tracksListed);
  std::string audioLangs, subLangs;
  for (const TrackFact& t : f.audioTracks) audioLangs += t.language + ";";
  for (const TrackFact& t : f.subtitleTracks) subLangs += t.language + (t.forced ? "!;" : ";");
  EXPECT_EQ(audioLangs, "jpn;eng;");  // the format's default language is English
  EXPECT_EQ(subLangs, ";en-GB;eng!;");
  EXPECT_EQ(f.channels.channels, 8);
  EXPECT_EQ(f.channels.lfe, 1);
  EXPECT_EQ(f.depth.bits, 10);
  EXPECT_EQ(f.depth.transfer, kTransferPq);
  EXPECT_EQ(f.depth.dolbyVisionProfile, 8);
  EXPECT_EQ(f.depth.dolbyVisionCompatibility, 1);
  EXPECT_EQ(f.chapters, 3);  // the first edition's

  // AC-3 states no layout in the container: the count alone.
  Ebml onlyAc3Tracks, onlyAc3Segment, onlyAc3;
  onlyAc3Tracks.Master(0xAE, second);
  onlyAc3Segment.Master(0x1654AE6B, onlyAc3Tracks);
  onlyAc3.Master(0x1A45DFA3, doc).Master(0x18538067, onlyAc3Segment);
  f = ProbeBytes(onlyAc3.b);
  EXPECT_EQ(f.channels.channels, 6);
  EXPECT_EQ(f.channels.lfe, -1);
  EXPECT_EQ(f.chapters, -1);
  EXPECT_TRUE(f.subtitleTracks.empty());
}

TEST(MatroskaProbe, OutcomeOfWholeCutAndBrokenFiles) {
  const std::vector<std::uint8_t> good = MakeWebm();
  // Where an ID is written, from the SeekHead's entries on (the element itself comes second).
  auto find = [&](std::initializer_list<std::uint8_t> id, int nth = 1) {
    auto at = good.begin();
    for (int i = 0; i < nth; ++i)
      at = std::search(at + (i ? 1 : 0), good.end(), id.begin(), id.end());
    return static_cast<std::size_t>(at - good.begin());
  };
  const std::size_t info = find({0x15, 0x49, 0xA9, 0x66}, 2),
                    cluster = find({0x1F, 0x43, 0xB6, 0x75});
  std::vector<std::uint8_t> zero = good, elsewhere = good;
  zero[info] = 0;
  // The Tags position (the last of the SeekHead's) names the Cluster.
  const std::size_t tagsPos = find({0x12, 0x54, 0xC3, 0x67}) + 4 + 2 + 8;
  const std::uint64_t clusterPos = cluster - (find({0x11, 0x4D, 0x9B, 0x74}));
  for (int i = 0; i < 8; ++i)
    elsewhere[tagsPos + i] = static_cast<std::uint8_t>(clusterPos >> (56 - 8 * i));
  // Tracks behind more elements than the walk looks at, and in no SeekHead.
  Ebml doc, segment, late, tracks, entry;
  doc.Str(0x4282, "webm");
  entry.UInt(0x83, 1).Str(0x86, "V_VP8");
  tracks.Master(0xAE, entry);
  for (int i = 0; i < 70; ++i) segment.Bytes(0xEC, {});
  segment.Master(0x1654AE6B, tracks);
  late.Master(0x1A45DFA3, doc).Master(0x18538067, segment);
  outcometest::ExpectOutcomes(
      {
          {"whole", good, ProbeOutcome::Whole},
          {"cut in the Tags", std::vector<std::uint8_t>(good.begin(), good.end() - 10),
           ProbeOutcome::Truncated},
          {"a zero byte where Info starts", zero, ProbeOutcome::Malformed},
          {"a SeekHead position naming another element", elsewhere, ProbeOutcome::Malformed},
          {"Tracks past the elements looked at", late.b, ProbeOutcome::BudgetSpent},
      },
      ProbeBytes);
}

}  // namespace
}  // namespace clip
