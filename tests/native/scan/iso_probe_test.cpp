// ProbeIsoMedia over real MP4, MOV, 3GP and M4V files checked against
// ffprobe, and over hand-built boxes for what real files rarely show.
#include "scan/iso_probe.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "ffprobe_facts.h"
#include "memory_file.h"
#include "outcome_cases.h"

namespace clip {
namespace {

using namespace ffprobefacts;

struct IsoMovie {
  const char* name;
  const char* video;
  const char* audio;
  bool fragmented;
};

const IsoMovie kIsoMovies[] = {
    {"iso/h264_aac.mp4", "H.264", "AAC", false},
    {"iso/h264_aac_faststart.mp4", "H.264", "AAC", false},
    {"iso/h264_aac_frag.mp4", "H.264", "AAC", true},
    {"iso/h264_aac_frag_faststart.mp4", "H.264", "AAC", true},
    {"iso/h264_aac_frag_first.mp4", "H.264", "AAC", true},
    {"iso/hevc_mp3.mp4", "H.265", "MP3", false},
    {"iso/av1_opus.mp4", "AV1", "Opus", false},
    {"iso/vp9_flac.mp4", "VP9", "FLAC", false},
    {"iso/h264_eac3.mp4", "H.264", "E-AC-3", false},
    // ffprobe calls layer 2 audio under object type 0x6B "mp3"; the frame
    // header says layer 2.
    {"iso/mpeg2_mp2.mp4", "MPEG2", "MP2", false},
    {"iso/prores_pcm.mov", "ProRes", "PCM", false},
    {"iso/mjpeg_alac.mov", "MJPEG", "ALAC", false},
    {"iso/h263_aac.3gp", "H.263", "AAC", false},
    {"iso/mpeg4_aac.m4v", "MPEG-4 Visual", "AAC", false},
    {"iso/long.mp4", "H.264", "", false},  // 3665 s: the play time 61:05
};

void PrintTo(const IsoMovie& m, std::ostream* os) { *os << m.name; }

class IsoFixture : public ::testing::TestWithParam<IsoMovie> {};

TEST_P(IsoFixture, AgreesWithFfprobe) {
  const IsoMovie& m = GetParam();
  Fixture fx = LoadFixture(m.name);
  if (fx.bytes.empty()) GTEST_SKIP() << m.name << " was not made";
  Probe& p = fx.probe;
  MemoryMovieFile file(fx.bytes);
  MovieFacts facts = ProbeIsoMedia(file);

  EXPECT_EQ(facts.videoFormat, m.video);
  EXPECT_EQ(facts.audioFormat, m.audio);
  if (std::strstr(m.name, ".3gp")) {
    // ffprobe does not read 3GPP user data; these are the script's texts.
    p.format["tag:title"] = u8"한국어 제목", p.format["tag:artist"] = u8"김철수";
    p.format["tag:genre"] = u8"드라마", p.format["tag:comment"] = u8"설명";
  }
  ExpectCommonFacts(facts, p);
  if (p.hasVideo) {
    // ffprobe averages a fragmented file's rate over its whole packets'
    // span, audio priming included; the file's own rate is its nominal one.
    double fps = Ratio(p.Get(p.video, m.fragmented ? "r_frame_rate" : "avg_frame_rate"));
    EXPECT_NEAR(facts.framesPerSecond, fps, 0.005);
  }
  // The fixtures' audio is one channel throughout; several codecs' sample
  // entries in MP4 say 2 whatever the stream holds.
  EXPECT_TRUE(facts.tracksListed);
  EXPECT_EQ(facts.audioTracks.size(), p.hasAudio ? 1u : 0u);
  EXPECT_EQ(facts.channels.channels, p.hasAudio ? 1 : 0);
  if (p.hasAudio) {
    // Sizes summed over the media duration, against ffprobe's own sum (or
    // its codec's nominal rate): within 2 %; 5 % where the sizes of a first
    // fragment stand for the whole file.
    double rate = std::atof(p.Get(p.audio, "bit_rate").c_str());
    EXPECT_NEAR(static_cast<double>(facts.audioBitsPerSecond), rate,
                rate * (m.fragmented ? 0.05 : 0.02));
  }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, IsoFixture, ::testing::ValuesIn(kIsoMovies),
                         FixtureName<IsoMovie>);

// Big-endian box writer.
class Boxes {
 public:
  std::vector<std::uint8_t> b;
  Boxes& U8(std::uint8_t v) { return b.push_back(v), *this; }
  Boxes& U16(std::uint16_t v) { return U8(v >> 8).U8(v & 0xFF); }
  Boxes& U32(std::uint32_t v) { return U16(v >> 16).U16(v & 0xFFFF); }
  Boxes& U64(std::uint64_t v) { return U32(v >> 32).U32(v & 0xFFFFFFFF); }
  Boxes& Tag(const char* four) { return b.insert(b.end(), four, four + 4), *this; }
  Boxes& Fill(std::size_t n, std::uint8_t v = 0) { return b.insert(b.end(), n, v), *this; }
  Boxes& Text(const std::string& s) { return b.insert(b.end(), s.begin(), s.end()), *this; }
  std::size_t Open(const char* type) {
    std::size_t at = b.size();
    U32(0).Tag(type);
    return at;
  }
  void Close(std::size_t at) {
    std::uint32_t size = static_cast<std::uint32_t>(b.size() - at);
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(size >> (24 - 8 * i));
  }
};

// A minimal moov: one 25 fps video track of 250 samples, 320x240, and one
// 48 kHz AAC track of 10 s whose sample sizes (count of them given) are 400
// bytes each.
std::vector<std::uint8_t> MakeMoov(std::uint32_t audioSamples = 4688, bool withSizes = true) {
  Boxes o;
  std::size_t moov = o.Open("moov");
  std::size_t mvhd = o.Open("mvhd");
  o.U32(0).U32(0).U32(0).U32(1000).U32(10000);  // version 0, times, timescale, 10 s
  o.Fill(80);
  o.Close(mvhd);
  for (int track = 0; track < 2; ++track) {
    const bool video = track == 0;
    std::size_t trak = o.Open("trak");
    std::size_t tkhd = o.Open("tkhd");
    o.U32(0).U32(0).U32(0).U32(track + 1).U32(0).U32(10000);  // ..., track ID, reserved, duration
    o.Fill(8 + 2 + 2 + 2 + 2 + 36);  // reserved, layer, group, volume, matrix
    o.U32(video ? 320u << 16 : 0).U32(video ? 240u << 16 : 0);  // 16.16 width, height
    o.Close(tkhd);
    std::size_t mdia = o.Open("mdia");
    std::size_t mdhd = o.Open("mdhd");
    o.U32(0).U32(0).U32(0).U32(video ? 25 : 48000).U32(video ? 250 : 480000).U32(0);
    o.Close(mdhd);
    std::size_t hdlr = o.Open("hdlr");
    o.U32(0).U32(0).Tag(video ? "vide" : "soun").Fill(13);
    o.Close(hdlr);
    std::size_t minf = o.Open("minf");
    std::size_t stbl = o.Open("stbl");
    std::size_t stsd = o.Open("stsd");
    o.U32(0).U32(1);
    std::size_t entry = o.Open(video ? "avc1" : "mp4a");
    if (video) {
      o.Fill(24).U16(320).U16(240).Fill(50);  // visual sample entry, 78 bytes
    } else {
      o.Fill(16).U16(2).U16(16).U32(0).U32(48000u
                                           << 16);  // audio entry: channels, bits, 16.16 rate
      std::size_t esds = o.Open("esds");
      o.U32(0).U8(0x03).U8(23).U16(1).U8(0);                           // ES descriptor
      o.U8(0x04).U8(15).U8(0x40).U8(0x15).Fill(3).U32(0).U32(128000);  // AAC, avg 128 kbit
      o.Close(esds);
    }
    o.Close(entry);
    o.Close(stsd);
    std::size_t stsz = o.Open("stsz");
    o.U32(0).U32(video ? 1000 : 0).U32(video ? 250 : audioSamples);
    if (!video && withSizes)
      for (std::uint32_t i = 0; i < audioSamples; ++i) o.U32(400);
    o.Close(stsz);
    o.Close(stbl);
    o.Close(minf);
    o.Close(mdia);
    o.Close(trak);
  }
  o.Close(moov);
  return o.b;
}

std::vector<std::uint8_t> Ftyp() {
  Boxes o;
  std::size_t ftyp = o.Open("ftyp");
  o.Tag("isom").U32(512).Tag("isom");
  o.Close(ftyp);
  return o.b;
}

std::vector<std::uint8_t> Join(std::initializer_list<std::vector<std::uint8_t>> parts) {
  std::vector<std::uint8_t> out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

MovieFacts Probe(std::vector<std::uint8_t> bytes) {
  MemoryMovieFile file(std::move(bytes));
  return ProbeIsoMedia(file);
}

TEST(IsoProbe, HandBuiltMoovAndTheAudioSizeTableCap) {
  MovieFacts f = Probe(Join({Ftyp(), MakeMoov()}));
  EXPECT_EQ(f.videoFormat, "H.264");
  EXPECT_EQ(f.width, 320);
  EXPECT_EQ(f.height, 240);
  EXPECT_DOUBLE_EQ(f.framesPerSecond, 25);
  EXPECT_DOUBLE_EQ(f.seconds, 10);
  EXPECT_EQ(f.audioFormat, "AAC");
  EXPECT_EQ(f.audioSamplesPerSecond, 48000u);
  EXPECT_EQ(f.audioBitsPerSecond, 4688u * 400 * 8 / 10);  // the sizes, not the declared 128000

  // A table past the cap is not read; the declared rate stands in.
  MovieFacts big = Probe(Join({Ftyp(), MakeMoov(kIsoMaxSummedSizes + 1, false)}));
  EXPECT_EQ(big.audioBitsPerSecond, 128000u);
  EXPECT_DOUBLE_EQ(big.seconds, 10);
}

TEST(IsoProbe, MoovAfterHugeMdatIsFoundInAFewReads) {
  // mdat with a 64-bit size of 5 GiB, moov after it; the file is held as
  // its first and last bytes only.
  Boxes head;
  head.U32(1).Tag("mdat").U64((5ull << 30) + 16);
  std::vector<std::uint8_t> start = Join({Ftyp(), head.b});
  std::vector<std::uint8_t> moov = MakeMoov();
  const std::uint64_t moovAt = start.size() + (5ull << 30);

  class Sparse : public MovieFile {
   public:
    std::vector<std::uint8_t> head, tail;
    std::uint64_t tailAt = 0;
    int reads = 0;
    std::uint64_t Size() override { return tailAt + tail.size(); }
    std::size_t ReadAt(std::uint64_t off, void* buf, std::size_t n) override {
      ++reads;
      auto* out = static_cast<std::uint8_t*>(buf);
      std::size_t k = 0;
      for (; k < n && off + k < Size(); ++k) {
        std::uint64_t at = off + k;
        out[k] = at < head.size() ? head[at] : at >= tailAt ? tail[at - tailAt] : 0;
      }
      return k;
    }
  } file;
  file.head = start, file.tail = moov, file.tailAt = moovAt;
  MovieFacts f = ProbeIsoMedia(file);
  EXPECT_EQ(f.videoFormat, "H.264");
  EXPECT_DOUBLE_EQ(f.seconds, 10);
  EXPECT_LE(file.reads, 2);

  // The same with a 32-bit mdat size running past the end: nothing after it.
  Boxes cut;
  cut.U32(0xFFFFFFF0u).Tag("mdat").Fill(64);
  MovieFacts g = Probe(Join({Ftyp(), cut.b, MakeMoov()}));
  EXPECT_TRUE(g.Recognised());
  EXPECT_EQ(g.videoFormat, "");
  EXPECT_LT(g.seconds, 0);
}

TEST(IsoProbe, RealFilesCostAHandfulOfReads) {
  if (!MakeModernFixtures()) GTEST_SKIP();
  // Each file grown past the read cache's whole-file size by 8 MB of
  // padding: after ftyp (moov last), after moov (moov first), before the
  // fragments' random access tables (fragmented).
  struct Case {
    const char* name;
    int maxReads;
  } cases[] = {
      {"iso/h264_aac.mp4", 2}, {"iso/h264_aac_faststart.mp4", 1}, {"iso/h264_aac_frag.mp4", 3}};
  for (const Case& c : cases) {
    std::vector<std::uint8_t> bytes = ReadWhole(ModernDir() + "/" + c.name);
    if (bytes.empty()) continue;
    MemoryMovieFile plain(bytes);
    MovieFacts want = ProbeIsoMedia(plain);
    // The padding goes after the first box that ends past 1 KB.
    std::size_t at = 0;
    while (at < 1024)
      at += (bytes[at] << 24) | (bytes[at + 1] << 16) | (bytes[at + 2] << 8) | bytes[at + 3];
    if (std::string(c.name).find("frag") != std::string::npos)
      at = bytes.size() - 186;  // the mfra that ffmpeg writes last, 186 bytes here
    Boxes pad;
    std::size_t free = pad.Open("free");
    pad.Fill(8 << 20);
    pad.Close(free);
    bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at), pad.b.begin(), pad.b.end());
    CountedFile counted(bytes);
    MovieFacts got = ProbeIsoMedia(counted);
    EXPECT_EQ(got.videoFormat, want.videoFormat) << c.name;
    EXPECT_EQ(got.audioBitsPerSecond, want.audioBitsPerSecond) << c.name;
    EXPECT_EQ(got.title, want.title) << c.name;
    EXPECT_LE(counted.rawReads, c.maxReads) << c.name;
  }
}

TEST(IsoProbe, HostileBoxesEndTheWalkQuietly) {
  std::vector<std::uint8_t> good = Join({Ftyp(), MakeMoov()});
  // Every cut of the file: no crash, and whatever is found is what the whole
  // file says.
  MovieFacts whole = Probe(good);
  for (std::size_t n = 0; n < good.size(); ++n) {
    MovieFacts f = Probe(std::vector<std::uint8_t>(good.begin(), good.begin() + n));
    if (!f.videoFormat.empty()) EXPECT_EQ(f.videoFormat, whole.videoFormat) << n;
    if (f.width) EXPECT_EQ(f.width, whole.width) << n;
    if (f.seconds >= 0) EXPECT_EQ(f.seconds, whole.seconds) << n;
    if (f.audioBitsPerSecond) EXPECT_EQ(f.audioBitsPerSecond, whole.audioBitsPerSecond) << n;
  }

  // A trak whose size runs past its moov, a zero-size child (to the end of
  // its parent) and a 64-bit size smaller than its own header.
  std::vector<std::uint8_t> bad = good;
  std::size_t trak = Ftyp().size() + 8 + 108;
  bad[trak] = 0x7F;
  MovieFacts f = Probe(bad);
  EXPECT_TRUE(f.Recognised());
  EXPECT_EQ(f.videoFormat, "");
  EXPECT_DOUBLE_EQ(f.seconds, 10);  // mvhd came before it
  bad = good;
  std::memset(&bad[trak], 0, 4);  // the trak now reaches the end of moov
  EXPECT_EQ(Probe(bad).videoFormat, "H.264");
  bad = good;
  const std::uint8_t small64[] = {0, 0, 0, 1, 't', 'r', 'a', 'k', 0, 0, 0, 0, 0, 0, 0, 8};
  std::memcpy(&bad[trak], small64, sizeof small64);
  EXPECT_EQ(Probe(bad).videoFormat, "");

  // A moov of a hundred thousand empty boxes, and noise.
  Boxes many;
  std::size_t moov = many.Open("moov");
  for (int i = 0; i < 100000; ++i) many.U32(8).Tag("free");
  many.Close(moov);
  EXPECT_EQ(Probe(Join({Ftyp(), many.b})).videoFormat, "");
  std::mt19937 rng(7);
  std::vector<std::uint8_t> noise(100000);
  for (auto& b : noise) b = static_cast<std::uint8_t>(rng());
  EXPECT_FALSE(Probe(noise).Recognised());
}

TEST(IsoProbe, TextsOfEveryTagForm) {
  // ilst items with UTF-8 and UTF-16 data, a numeric genre, QuickTime and
  // 3GPP user data.
  Boxes o;
  std::size_t moov = o.Open("moov");
  std::size_t udta = o.Open("udta");
  std::size_t meta = o.Open("meta");
  o.U32(0);  // version and flags
  std::size_t ilst = o.Open("ilst");
  auto item = [&](const char* type, std::uint32_t kind, const std::vector<std::uint8_t>& v) {
    std::size_t i = o.Open(type);
    std::size_t d = o.Open("data");
    o.U32(kind).U32(0);
    o.b.insert(o.b.end(), v.begin(), v.end());
    o.Close(d);
    o.Close(i);
  };
  item("\xA9nam", 1, {'T', 0xC3, 0xA9, 0xFF});  // "Té" and a bad byte
  item(
      "\xA9"
      "ART",
      2, {0xD8, 0x3D, 0xDE, 0x00, 0, 'A'});  // U+1F600 'A', UTF-16BE
  item("gnre", 0, {0, 8});                   // ID3 genre 7: Hip-Hop
  o.Close(ilst);
  o.Close(meta);
  std::size_t cmt = o.Open(
      "\xA9"
      "cmt");  // QuickTime text
  o.U16(3).U16(0x55C4).Text("abc");
  o.Close(cmt);
  std::size_t dscp = o.Open("dscp");  // 3GPP, ignored: cmt came first
  o.U32(0).U16(0x55C4).Text("zzz");
  o.Close(dscp);
  o.Close(udta);
  o.Close(moov);
  MovieFacts f = Probe(Join({Ftyp(), o.b}));
  EXPECT_EQ(f.title, "T\xC3\xA9\xEF\xBF\xBD");
  EXPECT_EQ(f.creator,
            "\xF0\x9F\x98\x80"
            "A");
  EXPECT_EQ(f.genre, "Hip-Hop");
  EXPECT_EQ(f.comment, "abc");
}

// Classic user data carries a Mac language code: Mac Roman for code 0, Mac
// Japanese for 11, UTF-8 for packed ISO codes and for bytes that are UTF-8;
// "\xA9inf" is a comment.
TEST(IsoProbe, ClassicUserDataTextsByTheirLanguage) {
  auto probe = [](const char* type, std::uint16_t language, const std::vector<std::uint8_t>& text) {
    Boxes o;
    std::size_t moov = o.Open("moov");
    std::size_t udta = o.Open("udta");
    std::size_t entry = o.Open(type);
    o.U16(static_cast<std::uint16_t>(text.size())).U16(language);
    o.b.insert(o.b.end(), text.begin(), text.end());
    o.Close(entry);
    o.Close(udta);
    o.Close(moov);
    return Probe(Join({Ftyp(), o.b}));
  };
  EXPECT_EQ(probe("\xA9nam", 0, {'B', 0x8C, 'r', 0x8E}).title, "B\xC3\xA5r\xC3\xA9");  // Bår é
  EXPECT_EQ(probe("\xA9nam", 11, {0x93, 0xFA, 0x96, 0x7B}).title, "\xE6\x97\xA5\xE6\x9C\xAC");
  EXPECT_EQ(probe("\xA9nam", 0, {0xC3, 0xA9}).title, "\xC3\xA9");  // UTF-8 with code 0
  EXPECT_EQ(probe("\xA9nam", 0x55C4, {0x8E}).title, "\xEF\xBF\xBD");
  EXPECT_EQ(probe("\xA9inf", 0, {'i', 'n', 'f'}).comment, "inf");
}

// Sample entries named by their codes, an unknown one said to be so.
TEST(IsoProbe, SampleEntryNames) {
  struct Case {
    const char video[5], audio[5];
    const char *videoName, *audioName;
  } cases[] = {
      {"dvh1", "ac-4", "H.265", "AC-4"},
      {"apco", "ms\0U", "ProRes", "MP3"},
      {"mjp2", "ulaw", "JPEG 2000", "u-Law"},
      {"abcd", "x\1yz", "abcd (unknown)", "x[01]yz (unknown)"},
  };
  const std::vector<std::uint8_t> good = Join({Ftyp(), MakeMoov()});
  for (const Case& c : cases) {
    std::vector<std::uint8_t> b = good;
    for (std::size_t i = 0; i + 4 <= b.size(); ++i) {
      if (std::memcmp(&b[i], "avc1", 4) == 0) std::memcpy(&b[i], c.video, 4);
      if (std::memcmp(&b[i], "mp4a", 4) == 0) std::memcpy(&b[i], c.audio, 4);
    }
    MovieFacts f = Probe(b);
    EXPECT_EQ(f.videoFormat, c.videoName);
    EXPECT_EQ(f.audioFormat, c.audioName);
  }
}

// A fragmented file whose movie header and mvex state no play time: one 30
// fps video track of empty tables, a segment index of 3 s when sidx is set,
// then one fragment of 30 frames without a decode time, its media data, and
// after it random access tables naming it, a free box or nothing.
std::vector<std::uint8_t> MakeFragmented(bool sidx, const char* after) {
  Boxes o;
  o.b = Ftyp();
  std::size_t moov = o.Open("moov");
  std::size_t mvhd = o.Open("mvhd");
  o.U32(0).U32(0).U32(0).U32(1000).U32(0).Fill(80);
  o.Close(mvhd);
  std::size_t trak = o.Open("trak");
  std::size_t tkhd = o.Open("tkhd");
  o.U32(0).U32(0).U32(0).U32(1).U32(0).U32(0).Fill(52).U32(320u << 16).U32(240u << 16);
  o.Close(tkhd);
  std::size_t mdia = o.Open("mdia");
  std::size_t mdhd = o.Open("mdhd");
  o.U32(0).U32(0).U32(0).U32(30000).U32(0).U32(0);
  o.Close(mdhd);
  std::size_t hdlr = o.Open("hdlr");
  o.U32(0).U32(0).Tag("vide").Fill(13);
  o.Close(hdlr);
  std::size_t minf = o.Open("minf"), stbl = o.Open("stbl"), stsd = o.Open("stsd");
  o.U32(0).U32(1);
  std::size_t entry = o.Open("avc1");
  o.Fill(24).U16(320).U16(240).Fill(50);
  for (std::size_t at : {entry, stsd, stbl, minf, mdia, trak}) o.Close(at);
  std::size_t mvex = o.Open("mvex"), trex = o.Open("trex");
  o.U32(0).U32(1).U32(1).U32(0).U32(0).U32(0);
  o.Close(trex);
  o.Close(mvex);
  o.Close(moov);
  if (sidx) {
    std::size_t at = o.Open("sidx");
    o.U32(0).U32(1).U32(1000).U32(0).U32(0).U16(0).U16(2);
    for (int i = 0; i < 2; ++i) o.U32(100).U32(1500).U32(0x90000000u);
    o.Close(at);
  }
  const std::size_t moofAt = o.b.size();
  std::size_t moof = o.Open("moof"), traf = o.Open("traf"), tfhd = o.Open("tfhd");
  o.U32(0x18).U32(1).U32(1001).U32(100);  // default duration and size
  o.Close(tfhd);
  std::size_t trun = o.Open("trun");
  o.U32(0).U32(30);
  o.Close(trun);
  o.Close(traf);
  o.Close(moof);
  std::size_t mdat = o.Open("mdat");
  o.Fill(3000);
  o.Close(mdat);
  if (std::strcmp(after, "mfra") == 0) {
    std::size_t mfra = o.Open("mfra"), tfra = o.Open("tfra");
    o.U32(0).U32(1).U32(0).U32(1).U32(0).U32(static_cast<std::uint32_t>(moofAt)).U8(1).U8(1).U8(1);
    o.Close(tfra);
    std::size_t mfro = o.Open("mfro");
    o.U32(0).U32(static_cast<std::uint32_t>(o.b.size() - mfra + 4));
    o.Close(mfro);
    o.Close(mfra);
  } else if (std::strcmp(after, "free") == 0) {
    o.U32(8).Tag("free");
  }
  return o.b;
}

// The fragments' play time: the last fragment's end (a first fragment
// without a decode time starts at 0), else the segment index's span.
TEST(IsoProbe, FragmentedPlayTimeWithoutMehd) {
  EXPECT_DOUBLE_EQ(Probe(MakeFragmented(false, "mfra")).seconds, 1.001);
  EXPECT_DOUBLE_EQ(Probe(MakeFragmented(false, "")).seconds, 1.001);
  EXPECT_DOUBLE_EQ(Probe(MakeFragmented(true, "free")).seconds, 3);
  EXPECT_LT(Probe(MakeFragmented(false, "free")).seconds, 0);  // more fragments may follow
  EXPECT_NEAR(Probe(MakeFragmented(false, "free")).framesPerSecond, 30000.0 / 1001, 1e-9);
}

// A moov of every kind of track: video 1 (hvcC 10-bit, colr PQ, Dolby
// Vision 8.1) naming track 5 as its chapters, audio 2 (jpn, AAC 5.1),
// audio 3 (fre in mdhd, en-GB in elng), a forced subtitle track 4 with a
// Macintosh language code, the text track 5 of four chapters, and a chpl
// that counts the same four.
std::vector<std::uint8_t> MakeTrackMoov() {
  Boxes o;
  auto box = [&](const char* type, const Boxes& body) {
    std::size_t at = o.Open(type);
    o.b.insert(o.b.end(), body.b.begin(), body.b.end());
    o.Close(at);
  };
  auto lang = [](const char* l) {
    return static_cast<std::uint16_t>(((l[0] - 0x60) << 10) | ((l[1] - 0x60) << 5) | (l[2] - 0x60));
  };
  auto trak = [&](std::uint32_t id, const char* handler, std::uint16_t language, const char* elng,
                  const char* entryType, const Boxes& entry) {
    std::size_t t = o.Open("trak");
    box("tkhd", Boxes().U32(0).U32(0).U32(0).U32(id).Fill(68));
    if (id == 1) box("tref", Boxes().U32(12).Tag("chap").U32(5));
    std::size_t mdia = o.Open("mdia");
    box("mdhd", Boxes().U32(0).U32(0).U32(0).U32(1000).U32(1000).U16(language).U16(0));
    box("hdlr", Boxes().U32(0).U32(0).Tag(handler).Fill(13));
    if (*elng) box("elng", Boxes().U32(0).Text(elng).U8(0));
    std::size_t minf = o.Open("minf"), stbl = o.Open("stbl"), stsd = o.Open("stsd");
    o.U32(0).U32(1);
    box(entryType, entry);
    o.Close(stsd);
    box("stsz", Boxes().U32(0).U32(100).U32(id == 5 ? 4 : 25));
    for (std::size_t at : {stbl, minf, mdia, t}) o.Close(at);
  };
  auto aac = [](int configuration) {  // AAC LC at 48 kHz
    Boxes a;
    a.Fill(16).U16(2).U16(16).U32(0).U32(48000u << 16).U32(36).Tag("esds").U32(0);
    a.U8(0x03).U8(22).U16(1).U8(0).U8(0x04).U8(17).U8(0x40).U8(0x15).Fill(11);
    a.U8(0x05).U8(2).U8(0x11).U8(static_cast<std::uint8_t>(0x80 | configuration << 3));
    return a;
  };
  Boxes video;
  video.Fill(24).U16(320).U16(240).Fill(50);
  video.U32(31).Tag("hvcC").U8(1).Fill(16).U8(0xF8 | 2).Fill(5);  // bit depth less 8 in byte 17
  video.U32(19).Tag("colr").Tag("nclx").U16(9).U16(kTransferPq).U16(9).U8(0);
  video.U32(32).Tag("dvcC").U8(1).U8(0).U8(8 << 1).U8(0).U8(1 << 4).Fill(19);
  std::size_t moov = o.Open("moov");
  trak(1, "vide", 0, "", "hvc1", video);
  trak(2, "soun", lang("jpn"), "", "mp4a", aac(6));
  trak(3, "soun", lang("fre"), "en-GB", "mp4a", aac(2));
  trak(4, "sbtl", 0, "", "tx3g", Boxes().Fill(6).U16(1).U32(0x40000000).Fill(30));  // all forced
  trak(5, "text", lang("eng"), "", "text", Boxes().Fill(40));
  std::size_t udta = o.Open("udta"), chpl = o.Open("chpl");
  o.U32(0x01000000).U32(0).U8(4);
  for (int i = 0; i < 4; ++i) o.U64(i * 10000000ull).U8(1).Text("c");
  for (std::size_t at : {chpl, udta, moov}) o.Close(at);
  return o.b;
}

TEST(IsoProbe, TracksLanguagesChannelsDepthAndChapters) {
  const std::vector<std::uint8_t> file = Join({Ftyp(), MakeTrackMoov()});
  MovieFacts f = Probe(file);
  EXPECT_EQ(f.outcome, ProbeOutcome::Whole);
  EXPECT_TRUE(f.tracksListed);
  ASSERT_EQ(f.audioTracks.size(), 2u);
  EXPECT_EQ(f.audioTracks[0].language, "jpn");
  EXPECT_EQ(f.audioTracks[1].language, "en-GB");
  ASSERT_EQ(f.subtitleTracks.size(), 1u);          // the chapter track is none
  EXPECT_EQ(f.subtitleTracks[0].language, "eng");  // code 0: Macintosh English
  EXPECT_TRUE(f.subtitleTracks[0].forced);
  EXPECT_EQ(f.chapters, 4);  // counted once, from the track and chpl alike
  EXPECT_EQ(f.channels.channels, 6);
  EXPECT_EQ(f.channels.lfe, 1);
  EXPECT_EQ(f.depth.bits, 10);
  EXPECT_EQ(f.depth.transfer, kTransferPq);
  EXPECT_EQ(f.depth.dolbyVisionProfile, 8);
  EXPECT_EQ(f.depth.dolbyVisionCompatibility, 1);

  // Without the chapter reference the text track is a subtitle, and chpl
  // alone counts the chapters.
  std::vector<std::uint8_t> b = file;
  for (std::size_t i = 0; i + 4 <= b.size(); ++i)
    if (std::memcmp(&b[i], "chap", 4) == 0) std::memcpy(&b[i], "hint", 4);
  MovieFacts g = Probe(b);
  ASSERT_EQ(g.subtitleTracks.size(), 2u);
  EXPECT_EQ(g.subtitleTracks[1].language, "eng");
  EXPECT_EQ(g.chapters, 4);

  // A file cut inside the second audio track lists what came before it.
  std::size_t at = 0;
  for (int seen = 0; seen < 3; ++at) seen += std::memcmp(&file[at], "trak", 4) == 0;
  MovieFacts c = Probe(std::vector<std::uint8_t>(file.begin(), file.begin() + at + 40));
  EXPECT_EQ(c.outcome, ProbeOutcome::Truncated);
  EXPECT_TRUE(c.tracksListed);
  ASSERT_EQ(c.audioTracks.size(), 1u);
  EXPECT_EQ(c.audioTracks[0].language, "jpn");
  EXPECT_TRUE(c.subtitleTracks.empty());
  EXPECT_EQ(c.channels.lfe, 1);
  EXPECT_EQ(c.depth.bits, 10);
}

// How the reading went, for files whole, cut and broken in each way.
TEST(IsoProbe, OutcomeOfWholeCutAndBrokenFiles) {
  const std::vector<std::uint8_t> good = Join({Ftyp(), MakeMoov()});
  const std::size_t moov = Ftyp().size(), trak = moov + 8 + 108;
  const std::uint32_t moovSize = static_cast<std::uint32_t>(good.size() - moov) - 8;
  auto patched = [&](std::size_t at, std::vector<std::uint8_t> bytes) {
    std::vector<std::uint8_t> b = good;
    std::copy(bytes.begin(), bytes.end(), b.begin() + static_cast<std::ptrdiff_t>(at));
    return b;
  };
  Boxes mdat, free, frees;
  mdat.U32(1000).Tag("mdat").Fill(10);
  free.U32(16).Tag("free").Fill(8);
  for (int i = 0; i < 300; ++i) frees.U32(8).Tag("free");
  outcometest::ExpectOutcomes(
      {
          {"whole", good, ProbeOutcome::Whole},
          {"cut in moov", std::vector<std::uint8_t>(good.begin(), good.end() - 10),
           ProbeOutcome::Truncated},
          {"cut in the media data after moov", Join({good, mdat.b}), ProbeOutcome::Truncated},
          {"trak past its moov",
           patched(moov,
                   {0, static_cast<std::uint8_t>(moovSize >> 16),
                    static_cast<std::uint8_t>(moovSize >> 8), static_cast<std::uint8_t>(moovSize)}),
           ProbeOutcome::Malformed},
          {"size below its header",
           patched(trak, {0, 0, 0, 1, 't', 'r', 'a', 'k', 0, 0, 0, 0, 0, 0, 0, 8}),
           ProbeOutcome::Malformed},
          {"no moov", Join({Ftyp(), free.b}), ProbeOutcome::Malformed},
          {"moov behind too many boxes", Join({Ftyp(), frees.b, MakeMoov()}),
           ProbeOutcome::BudgetSpent},
          {"no ISO box", std::vector<std::uint8_t>(64, 0x5A), ProbeOutcome::NotThis},
      },
      Probe);
}

}  // namespace
}  // namespace clip
