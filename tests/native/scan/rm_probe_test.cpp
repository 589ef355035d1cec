// RealMedia files: hand-built header chunks for the codecs, texts and
// damage, and files written by ffmpeg checked against ffprobe.
#include "scan/rm_probe.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "ffprobe_facts.h"
#include "memory_file.h"
#include "probe_builders.h"
#include "scan/probe.h"

namespace clip {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Big-endian fields, as every RealMedia number is stored.
struct Be {
  Bytes b;
  Be& U8(std::uint32_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    return *this;
  }
  Be& U16(std::uint32_t v) { return U8(v >> 8).U8(v); }
  Be& U32(std::uint32_t v) { return U16(v >> 16).U16(v); }
  Be& Text(const std::string& s) {
    b.insert(b.end(), s.begin(), s.end());
    return *this;
  }
  Be& Add(const Bytes& more) {
    b.insert(b.end(), more.begin(), more.end());
    return *this;
  }
};

Bytes Chunk(const char* id, const Bytes& body, std::uint16_t version = 0) {
  return Be().Text(id).U32(static_cast<std::uint32_t>(10 + body.size())).U16(version).Add(body).b;
}

Bytes Prop(std::uint32_t durationMs, std::uint16_t version = 0) {
  Be p;
  p.U32(300000).U32(250000).U32(1000).U32(600).U32(99).U32(durationMs).U32(2000).U32(0).U32(0);
  return Chunk("PROP", p.U16(2).U16(9).b, version);
}

Bytes Mdpr(const std::string& mime, const Bytes& data, std::uint32_t avgBitRate = 0,
           std::uint32_t durationMs = 0) {
  Be m;
  m.U16(0).U32(avgBitRate).U32(avgBitRate).U32(1000).U32(600).U32(0).U32(0).U32(durationMs);
  const std::string name = "Stream";
  m.U8(name.size()).Text(name).U8(mime.size()).Text(mime);
  return Chunk("MDPR", m.U32(static_cast<std::uint32_t>(data.size())).Add(data).b);
}

Bytes Vido(const char* codec, int width, int height, std::uint32_t fps1616) {
  return Be()
      .U32(34)
      .Text("VIDO")
      .Text(codec)
      .U16(width)
      .U16(height)
      .U16(12)
      .U32(0)
      .U32(fps1616)
      .U32(8)
      .U32(0x10000000)
      .b;
}

Bytes Ra3() {
  Be a;
  a.Text(".ra\xFD").U16(3).U16(30).U32(0).U32(0).U16(0).U32(1000);
  return a.U8(0).U8(0).U8(0).U8(0).U8(0).U8(4).Text("lpcJ").b;
}
Bytes Ra4(const char* codec, int rate) {
  Be a;
  a.Text(".ra\xFD").U16(4).U16(0).Text(".ra4").U32(0).U16(4).U32(0x39).U16(1).U32(240);
  a.U32(0).U32(60000).U32(0).U16(1).U16(240).U16(240).U16(0);
  return a.U16(rate).U16(0).U16(16).U16(1).U8(4).Text("Int4").U8(4).Text(codec).U8(0).U16(0).b;
}
Bytes Ra5(const char* codec, int rate) {
  Be a;
  a.Text(".ra\xFD").U16(5).U16(0).Text(".ra5").U32(0).U16(5).U32(0x46).U16(4).U32(651);
  a.U32(0).U32(0).U32(0).U16(14).U16(651).U16(93).U16(0).U16(0).U16(rate).U16(0);
  return a.U16(rate).U32(16).U16(2).Text("genr").Text(codec).U8(1).U32(0).b;
}

Bytes Cont(const std::string& title, const std::string& author, const std::string& copyright,
           const std::string& comment) {
  Be c;
  for (const std::string* s : {&title, &author, &copyright, &comment}) c.U16(s->size()).Text(*s);
  return Chunk("CONT", c.b);
}

Bytes Data() { return Be().Add(Chunk("DATA", Be().U32(1).U32(0).b)).U32(0x5A5A5A5A).b; }

Bytes File(const std::vector<Bytes>& chunks) {
  Be f;
  f.Add(Chunk(".RMF", Be().U32(0).U32(static_cast<std::uint32_t>(chunks.size())).b));
  for (const Bytes& c : chunks) f.Add(c);
  return f.b;
}

MovieFacts Facts(const Bytes& bytes) {
  MemoryMovieFile file(bytes);
  return ProbeRealMedia(file);
}

ProbeFields Cells(const Bytes& bytes) {
  MemoryMovieFile file(bytes);
  probetest::FakeCodecs none;
  return ProbeMovie("D:\\movies\\clip.rm", &file, none);
}

const std::string kVideoType = "video/x-pn-realvideo", kAudioType = "audio/x-pn-realaudio";

TEST(RealMediaProbe, VideoAndAudioHeadersFillTheRow) {
  // The title in code page 932 (日本), the author in UTF-8, the copyright
  // standing in for the missing comment; the audio stream ends last.
  const Bytes bytes =
      File({Prop(95000), Cont("\x93\xFA\x96\x7B", "作者", "(C) 2001", ""),
            Mdpr(kAudioType, Ra5("cook", 44100), 32000, 95400),
            Mdpr(kVideoType, Vido("RV40", 320, 240, 0x0017F9DB), 225000, 95000), Data()});
  const MovieFacts f = Facts(bytes);
  EXPECT_TRUE(f.recognised);
  EXPECT_EQ(f.outcome, ProbeOutcome::Whole);
  EXPECT_EQ(f.videoFormat, "RealVideo 4.0");
  EXPECT_EQ(f.audioFormat, "RealAudio Cook");
  EXPECT_NEAR(f.framesPerSecond, 23.976, 0.001);
  EXPECT_DOUBLE_EQ(f.seconds, 95.4);
  EXPECT_EQ(f.title, "日本");
  EXPECT_EQ(f.creator, "作者");
  EXPECT_EQ(f.comment, "(C) 2001");

  const ProbeFields c = Cells(bytes);
  EXPECT_EQ(c.videoFormat, "RealVideo 4.0");
  EXPECT_EQ(c.audioFormat, "RealAudio Cook");
  EXPECT_EQ(c.frameRate, "23.98");
  EXPECT_EQ(c.resolution, "320x240");
  EXPECT_EQ(c.playTime, "01:35");
  EXPECT_EQ(c.audioRate, "44.10kHz/32kbit");
  EXPECT_EQ(c.videoRate, "-32kbit");  // a file under 1 KB
  EXPECT_EQ(c.comment, "(C) 2001");

  // A comment of its own keeps the comment cell.
  EXPECT_EQ(Facts(File({Cont("", "", "(C)", "memo"), Data()})).comment, "memo");
}

TEST(RealMediaProbe, CodecsNamedFromTheStreamHeaders) {
  struct Case {
    std::string type;
    Bytes data;
    const char *video, *audio;
    std::uint32_t rate;
  };
  const Bytes mlti =
      Be().Text("MLTI").U16(2).U16(0).U16(0).U16(1).U32(90).Add(Ra5("sipr", 16000)).b;
  const Case cases[] = {
      {kVideoType, Vido("RV10", 176, 144, 15 << 16), "RealVideo 1.0", "", 0},
      {kVideoType, Vido("RV20", 176, 144, 15 << 16), "RealVideo 2.0", "", 0},
      {kVideoType, Vido("RV30", 176, 144, 15 << 16), "RealVideo 3.0", "", 0},
      {kVideoType, Vido("RVX9", 176, 144, 15 << 16), "RealVideo RVX9", "", 0},
      {kVideoType, {}, "RealVideo", "", 0},  // no type-specific data
      {kAudioType, Ra3(), "", "RealAudio 14.4", 8000},
      {kAudioType, Ra4("28_8", 8000), "", "RealAudio 28.8", 8000},
      {kAudioType, Ra4("dnet", 48000), "", "RealAudio AC-3", 48000},
      {kAudioType, Ra5("atrc", 44100), "", "RealAudio ATRAC3", 44100},
      {kAudioType, Ra5("raac", 48000), "", "RealAudio AAC", 48000},
      {kAudioType, Ra5("racp", 22050), "", "RealAudio HE-AAC", 22050},
      {kAudioType, Ra5("zz\x01z", 22050), "", "RealAudio zz?z", 22050},
      {"audio/x-pn-multirate-realaudio", mlti, "", "RealAudio Sipro", 16000},
      {"logical-fileinfo", Be().U32(0).b, "", "", 0},
      {"application/x-pn-realevent", {}, "", "", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.video + std::string(c.audio));
    const MovieFacts f = Facts(File({Mdpr(c.type, c.data, 64000), Data()}));
    EXPECT_EQ(f.outcome, ProbeOutcome::Whole);
    EXPECT_EQ(f.videoFormat, c.video);
    EXPECT_EQ(f.audioFormat, c.audio);
    EXPECT_EQ(f.audioSamplesPerSecond, c.rate);
    EXPECT_EQ(f.audioBitsPerSecond, *c.audio ? 64000u : 0u);
  }
}

TEST(RealMediaProbe, AudioOnlyFileHasNoVideoCell) {
  const Bytes bytes = File({Prop(0), Mdpr(kAudioType, Ra4("sipr", 8000), 6500, 61000),
                            Mdpr("logical-fileinfo", Be().U32(0).b), Data()});
  const ProbeFields c = Cells(bytes);
  EXPECT_EQ(c.videoFormat, "");
  EXPECT_EQ(c.audioFormat, "RealAudio Sipro");
  EXPECT_EQ(c.audioRate, "8.00kHz/6kbit");
  EXPECT_EQ(c.playTime, "01:01");  // PROP gives none: the stream's own
  EXPECT_EQ(c.frameRate, "");
  EXPECT_EQ(c.resolution, "");
}

TEST(RealMediaProbe, DamagedHeadersKeepWhatWasRead) {
  const Bytes audio = Mdpr(kAudioType, Ra5("cook", 44100), 32000);
  const Bytes video = Mdpr(kVideoType, Vido("RV40", 640, 480, 30 << 16));
  const Bytes whole = File({Prop(5000), audio, video, Data()});
  const std::size_t videoAt = whole.size() - video.size() - Data().size();

  // Cut inside the video header, and just before DATA.
  MovieFacts f = Facts(Bytes(whole.begin(), whole.begin() + videoAt + 60));
  EXPECT_EQ(f.outcome, ProbeOutcome::Truncated);
  EXPECT_EQ(f.audioFormat, "RealAudio Cook");
  EXPECT_DOUBLE_EQ(f.seconds, 5);
  f = Facts(Bytes(whole.begin(), whole.begin() + videoAt + video.size()));
  EXPECT_EQ(f.outcome, ProbeOutcome::Truncated);
  EXPECT_EQ(f.videoFormat, "RealVideo 4.0");
  EXPECT_EQ(Facts({'.', 'R', 'M', 'F', 0, 0}).outcome, ProbeOutcome::Truncated);

  // A size past the end of the file: the texts as far as they go.
  Bytes cont = Cont("Title", "Author", "", "");
  cont[4] = cont[5] = cont[6] = cont[7] = 0xFF;
  f = Facts(File({cont}));
  EXPECT_EQ(f.outcome, ProbeOutcome::Truncated);
  EXPECT_EQ(f.title, "Title");
  EXPECT_EQ(f.creator, "Author");

  // Sizes and lengths that cannot be, and an id of no chunk.
  Bytes tiny = Prop(5000);
  tiny[7] = 9;
  EXPECT_EQ(Facts(File({tiny, audio, Data()})).outcome, ProbeOutcome::Malformed);
  Bytes longType = audio;
  longType[10 + 31 + 6] = 0xF0;  // the type's length byte, after the stream's name
  f = Facts(File({longType, video, Data()}));
  EXPECT_EQ(f.outcome, ProbeOutcome::Malformed);
  EXPECT_EQ(f.videoFormat, "RealVideo 4.0");
  Bytes longText = Cont("Title", "", "", "");
  longText[11] = 0x40;
  EXPECT_EQ(Facts(File({longText, Data()})).outcome, ProbeOutcome::Malformed);
  f = Facts(File({Prop(5000), Be().Text("PR\x01P").U32(20).U16(0).U32(0).U32(0).b, Data()}));
  EXPECT_EQ(f.outcome, ProbeOutcome::Malformed);
  EXPECT_DOUBLE_EQ(f.seconds, 5);

  // Layouts of other versions are skipped.
  f = Facts(File({Prop(5000, 1), audio, Data()}));
  EXPECT_EQ(f.outcome, ProbeOutcome::Unsupported);
  EXPECT_EQ(f.seconds, -1);
  Bytes ra6 = Ra5("cook", 44100);
  ra6[5] = 6;
  f = Facts(File({Mdpr(kAudioType, ra6), Data()}));
  EXPECT_EQ(f.outcome, ProbeOutcome::Unsupported);
  EXPECT_EQ(f.audioFormat, "RealAudio");
}

TEST(RealMediaProbe, ChunksFarApartSpendTheReads) {
  // Every chunk lies beyond the window of the one before: each costs a read.
  Be far;
  for (int i = 0; i < 8; ++i) far.Add(Chunk("JUNK", Bytes(kRmWindow + 100, 0)));
  MemoryMovieFile file(File({far.b, Data()}));
  const MovieFacts f = ProbeRealMedia(file);
  EXPECT_EQ(f.outcome, ProbeOutcome::BudgetSpent);
  EXPECT_LE(file.reads, kRmMaxReads);
  EXPECT_LE(file.bytesRead, kRmMaxReads * kRmWindow);
}

TEST(RealMediaProbe, UnreadableHeaderKeepsTheFixedNames) {
  for (const Bytes& bytes : {Bytes{'.', 'R', 'M', 'F'}, File({Be().U32(0xFFFF).U32(3).U16(0).b})}) {
    const ProbeFields c = Cells(bytes);
    EXPECT_EQ(c.videoFormat, "RealVideo");
    EXPECT_EQ(c.audioFormat, "RealAudio");
    for (const std::string* s : {&c.videoRate, &c.audioRate, &c.frameRate, &c.resolution,
                                 &c.playTime, &c.title, &c.comment})
      EXPECT_EQ(*s, "");
    EXPECT_NE(c.outcome, ProbeOutcome::Whole);
  }
  // No file: the name alone.
  probetest::FakeCodecs none;
  EXPECT_EQ(ProbeMovie("a.rm", nullptr, none).videoFormat, "RealVideo");
}

// The fuzz target's seeds: each a whole header of one layout.
TEST(RealMediaProbe, FuzzSeedsAreWholeHeaders) {
  const struct {
    const char *name, *video, *audio;
  } seeds[] = {
      {"rv10_lpcj_head.rm", "RealVideo 1.0", "RealAudio 14.4"},
      {"rv20_dnet_tags_head.rm", "RealVideo 2.0", "RealAudio AC-3"},
      {"rv40_cook_multirate.rm", "RealVideo 4.0", "RealAudio Cook"},
      {"audio_ra3.rm", "", "RealAudio 14.4"},
  };
  for (const auto& seed : seeds) {
    SCOPED_TRACE(seed.name);
    const Bytes bytes =
        ffprobefacts::ReadWhole(std::string(CLIP_FIXTURES_DIR) + "/probe/rm/" + seed.name);
    ASSERT_FALSE(bytes.empty());
    const MovieFacts f = Facts(bytes);
    EXPECT_EQ(f.outcome, ProbeOutcome::Whole);
    EXPECT_EQ(f.videoFormat, seed.video);
    EXPECT_EQ(f.audioFormat, seed.audio);
  }
}

// Files written by ffmpeg (tools/make_rm_fixtures.sh) against ffprobe.
TEST(RealMediaFiles, FfmpegFilesAgreeWithFfprobe) {
  const std::string dir = std::string(CLIP_MOVIE_DIR) + "/../realmedia";
  const std::string cmd =
      std::string("bash '") + CLIP_TOOLS_DIR + "/make_rm_fixtures.sh' '" + dir + "' 2>/dev/null";
  if (std::system(cmd.c_str()) != 0) GTEST_SKIP() << "ffmpeg could not make the files";
  const char* const names[] = {"rv10_144.rm", "rv20_ac3.rm", "rv20_only.rm", "audio_144.rm"};
  for (const char* name : names) {
    SCOPED_TRACE(name);
    const std::string path = dir + "/" + name;
    const ffprobefacts::Probe p = ffprobefacts::RunFfprobe(path);
    ASSERT_FALSE(p.format.empty());
    const MovieFacts f = Facts(ffprobefacts::ReadWhole(path));
    EXPECT_EQ(f.outcome, ProbeOutcome::Whole);
    if (p.hasVideo) {
      EXPECT_EQ(f.width, std::atoi(p.Get(p.video, "width").c_str()));
      EXPECT_EQ(f.height, std::atoi(p.Get(p.video, "height").c_str()));
      EXPECT_NEAR(f.framesPerSecond, ffprobefacts::Ratio(p.Get(p.video, "r_frame_rate")), 0.001);
      EXPECT_EQ(f.videoFormat,
                p.Get(p.video, "codec_name") == "rv10" ? "RealVideo 1.0" : "RealVideo 2.0");
    } else {
      EXPECT_EQ(f.videoFormat, "");
    }
    if (p.hasAudio) {
      EXPECT_EQ(std::to_string(f.audioSamplesPerSecond), p.Get(p.audio, "sample_rate"));
      EXPECT_EQ(std::to_string(f.audioBitsPerSecond), p.Get(p.audio, "bit_rate"));
      EXPECT_EQ(f.audioFormat,
                p.Get(p.audio, "codec_name") == "ac3" ? "RealAudio AC-3" : "RealAudio 14.4");
    }
    // ffmpeg writes no duration for a file without video; ffprobe shows 0.
    const double duration = std::atof(p.Get(p.format, "duration").c_str());
    if (duration > 0)
      EXPECT_NEAR(f.seconds, duration, 0.0005);
    else
      EXPECT_EQ(f.seconds, -1);
    EXPECT_EQ(f.title, p.Get(p.format, "tag:title"));
  }
  const MovieFacts tagged = Facts(ffprobefacts::ReadWhole(dir + "/rv20_ac3.rm"));
  EXPECT_EQ(tagged.creator, "山田太郎");
  EXPECT_EQ(tagged.comment, "コメント");
  EXPECT_EQ(Facts(ffprobefacts::ReadWhole(dir + "/audio_144.rm")).comment, "(C) Clipledger");
}

// A RealProducer file from another project's tests (read where it lies,
// beside the project; skipped without it): RealAudio 5 headers, a file
// information stream, an event stream, and PROP's duration short of the
// audio stream's, which ffprobe and the packets bear out.
TEST(RealMediaFiles, ProducerFileFromElsewhere) {
  const std::string path =
      std::string(CLIP_TOOLS_DIR) + "/../../shared/real-movies/hachoir/firstrun.rm";
  const Bytes bytes = ffprobefacts::ReadWhole(path);
  if (bytes.empty()) GTEST_SKIP() << path << " is not there";
  const MovieFacts f = Facts(bytes);
  EXPECT_EQ(f.outcome, ProbeOutcome::Whole);
  EXPECT_EQ(f.videoFormat, "");
  EXPECT_EQ(f.audioFormat, "RealAudio Cook");
  EXPECT_EQ(f.audioSamplesPerSecond, 44100u);
  EXPECT_EQ(f.audioBitsPerSecond, 32148u);
  EXPECT_DOUBLE_EQ(f.seconds, 18.197);
  EXPECT_EQ(f.comment,
            "\xEF\xBD\xA9"
            "2000 RealNetworks");  // its copyright; 0xA9 is ｩ in code page 932
}

}  // namespace
}  // namespace clip
