// The AVI side of ProbeMovie over hand-built files.
#include <gtest/gtest.h>

#include "fake_fs.h"
#include "probe_builders.h"
#include "scan/avi_probe.h"
#include "scan/codec_table.h"
#include "scan/pipeline.h"
#include "scan/probe.h"

namespace clip {
namespace {

using probetest::AviSpec;
using probetest::Bytes;
using probetest::Code;
using probetest::FakeCodecs;
using probetest::MakeAvi;
using probetest::SizedFile;

struct Probed {
  ProbeFields f;
};

Probed ProbeBytes(std::vector<std::uint8_t> bytes, CodecNames& codecs,
                  const char* path = "C:\\m\\a.avi") {
  MemoryMovieFile file(std::move(bytes));
  Probed p;
  p.f = ProbeMovie(path, &file, codecs);
  return p;
}

Probed ProbeSpec(const AviSpec& s) {
  FakeCodecs none;
  return ProbeBytes(MakeAvi(s), none);
}

TEST(AviProbe, ClassicLayoutWithJunkAfterEachFormat) {
  AviSpec s;  // XVID 25 fps, 250 frames, 160x120, MP3 44.1 kHz at 16000 bytes/s
  std::vector<std::uint8_t> bytes = MakeAvi(s);
  // The audio stream header lies past the first 4 KB, as writers leave it.
  std::string text(bytes.begin(), bytes.end());
  ASSERT_GT(text.find("auds"), 4096u);
  FakeCodecs none;
  Probed p = ProbeBytes(bytes, none);
  EXPECT_EQ(p.f.videoFormat, "MPEG-4 Xvid");
  EXPECT_EQ(p.f.frameRate, "25.00");
  EXPECT_EQ(p.f.resolution, "160x120");
  EXPECT_EQ(p.f.playTime, "00:10");
  EXPECT_EQ(p.f.audioFormat, "MP3");
  EXPECT_EQ(p.f.audioRate, "44.10kHz/128kbit");
  // (size KB * 8) / seconds - audio kbit, in integers.
  long long expected = static_cast<long long>((bytes.size() >> 10) * 8 / 10) - 128;
  EXPECT_EQ(p.f.videoRate, std::to_string(expected) + "kbit");
}

TEST(AviProbe, FrameRateAndPlayTimeFormats) {
  AviSpec s;
  s.rate = 30000, s.scale = 1001, s.length = 900;
  Probed p = ProbeSpec(s);
  EXPECT_EQ(p.f.frameRate, "29.97");
  EXPECT_EQ(p.f.playTime, "00:30");

  s.rate = 24000, s.scale = 1001, s.length = 24;
  EXPECT_EQ(ProbeSpec(s).f.frameRate, "23.98");

  struct Case {
    std::uint32_t seconds;
    const char* text;
  } cases[] = {{3725, "62:05"},  {307, "05:07"}, {337, "05:37"}, {5707, "95:07"},
               {7537, "125:37"}, {0, "00:00"},   {59, "00:59"},  {600, "10:00"}};
  for (const Case& c : cases) {
    s.rate = 1, s.scale = 1, s.length = c.seconds;
    Probed q = ProbeSpec(s);
    EXPECT_EQ(q.f.playTime, c.text) << c.seconds;
    EXPECT_EQ(q.f.frameRate, "1.00");
  }
}

TEST(AviProbe, VideoRateUsesSixtyFourBitSizeAndAudioRate) {
  AviSpec s;
  s.rate = 1, s.scale = 1, s.length = 100;
  FakeCodecs none;
  ProbeFields f;
  SizedFile tenMillion(MakeAvi(s), 10240000);  // 10000 KB over 100 s, 128 kbit audio
  f = ProbeMovie("a.avi", &tenMillion, none);
  EXPECT_EQ(f.videoRate, "672kbit");

  // 5 GiB: the low 32 bits alone would give a far smaller figure.
  SizedFile huge(MakeAvi(s), 5ull << 30);
  f = ProbeMovie("a.avi", &huge, none);
  EXPECT_EQ(f.videoRate, std::to_string((5ll << 20) * 8 / 100 - 128) + "kbit");
  EXPECT_LE(huge.bytesRead, kAviHeadBytes + 64);
}

TEST(AviProbe, AudioRateFromTheStreamFormat) {
  AviSpec s;
  s.formatTag = 1, s.samples = 44100, s.avgBytes = 176400, s.audioFormatSize = 16;
  Probed p = ProbeSpec(s);
  EXPECT_EQ(p.f.audioFormat, "PCM");
  EXPECT_EQ(p.f.audioRate, "44.10kHz/1411kbit");

  s.samples = 22050, s.avgBytes = 0;  // a zero byte rate is shown, not searched for
  EXPECT_EQ(ProbeSpec(s).f.audioRate, "22.05kHz/0kbit");

  // A format where the old byte search would land elsewhere: no JUNK, audio
  // stream first, extra bytes in the format.
  s = AviSpec{};
  s.audioFirst = true, s.junkAfterFormat = 0, s.audioFormatSize = 50;
  s.formatTag = 2, s.samples = 48000, s.avgBytes = 24000;
  p = ProbeSpec(s);
  EXPECT_EQ(p.f.audioFormat, "ADPCM");
  EXPECT_EQ(p.f.audioRate, "48.00kHz/192kbit");
  EXPECT_EQ(p.f.videoFormat, "MPEG-4 Xvid");
}

// Every stream header counts, languages are unknown; the channels are
// those of the first audio stream's format.
TEST(AviProbe, TracksAndChannelsFromTheHeaderList) {
  AviSpec s;
  s.moreAudio = 1, s.textStreams = 1;
  s.formatTag = 0xFFFE, s.speakerMask = 0x3F, s.audioFormatSize = 40;
  Probed p = ProbeSpec(s);
  EXPECT_EQ(p.f.audioTracks, "2: und, und");
  EXPECT_EQ(p.f.subtitles, "1: und");
  EXPECT_EQ(p.f.channels, "5.1");

  // A plain format gives a count only; a cut in the data keeps the list.
  s.formatTag = 0x55, s.speakerMask = 0, s.channels = 6, s.textStreams = 0;
  const std::vector<std::uint8_t> bytes = MakeAvi(s);
  FakeCodecs none;
  p = ProbeBytes(std::vector<std::uint8_t>(bytes.begin(), bytes.end() - 100), none);
  EXPECT_EQ(p.f.audioTracks, "2: und, und");
  EXPECT_EQ(p.f.channels, "6");

  // A file cut before the second audio stream: the first one's channels
  // still show, the tracks are not all known.
  std::string text(bytes.begin(), bytes.end());
  const std::size_t second = text.find("auds", text.find("auds") + 4);
  ASSERT_NE(second, std::string::npos);
  p = ProbeBytes(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + second), none);
  EXPECT_EQ(p.f.audioTracks + p.f.subtitles, "");
  EXPECT_EQ(p.f.channels, "6");
  EXPECT_EQ(p.f.outcome, ProbeOutcome::Truncated);
}

TEST(AviProbe, ZeroRateOrScaleLeavesRateAndTimeEmpty) {
  for (auto [rate, scale] :
       {std::pair<std::uint32_t, std::uint32_t>{0, 1}, {25, 0}, {0, 0}, {25, 0x80000000u}}) {
    AviSpec s;
    s.rate = rate, s.scale = scale;
    Probed p = ProbeSpec(s);
    EXPECT_EQ(p.f.frameRate, "") << rate << "/" << scale;
    EXPECT_EQ(p.f.playTime, "");
    EXPECT_EQ(p.f.videoRate, "None");
    EXPECT_EQ(p.f.videoFormat, "MPEG-4 Xvid");
    EXPECT_EQ(p.f.resolution, "160x120");
    EXPECT_EQ(p.f.audioFormat, "MP3");
  }
}

TEST(AviProbe, PlayTimeOfAnAbsurdRateIsBounded) {
  AviSpec s;
  s.rate = 1, s.scale = 0x7FFFFFFF, s.length = 0xFFFFFFFF;
  Probed p = ProbeSpec(s);
  EXPECT_EQ(p.f.frameRate, "0.00");
  EXPECT_EQ(p.f.playTime, "35791394:07");
}

TEST(AviProbe, MissingStreamsLeaveTheirFieldsEmpty) {
  // Start from a file with every field set, so kept values would show.
  FakeCodecs none;
  Probed p = ProbeBytes(MakeAvi(AviSpec{}), none);

  AviSpec audioOnly;
  audioOnly.video = false;
  MemoryMovieFile a(MakeAvi(audioOnly));
  p.f = ProbeMovie("b.AVI", &a, none);
  EXPECT_EQ(p.f.videoFormat, "");
  EXPECT_EQ(p.f.frameRate, "");
  EXPECT_EQ(p.f.resolution, "");
  EXPECT_EQ(p.f.playTime, "");
  EXPECT_EQ(p.f.videoRate, "None");
  EXPECT_EQ(p.f.audioFormat, "MP3");
  EXPECT_EQ(p.f.audioRate, "44.10kHz/128kbit");

  AviSpec videoOnly;
  videoOnly.audio = false;
  std::vector<std::uint8_t> bytes = MakeAvi(videoOnly);
  MemoryMovieFile v(bytes);
  p.f = ProbeMovie("c.avi", &v, none);
  EXPECT_EQ(p.f.videoFormat, "MPEG-4 Xvid");
  EXPECT_EQ(p.f.audioFormat, "");
  EXPECT_EQ(p.f.audioRate, "");
  // No audio: the whole file's rate is the video's.
  EXPECT_EQ(p.f.videoRate, std::to_string((bytes.size() >> 10) * 8 / 10) + "kbit");
}

TEST(AviProbe, UnreadableFilesLeaveEveryMeasuredFieldEmpty) {
  FakeCodecs none;
  std::vector<std::vector<std::uint8_t>> broken = {
      {},
      {'R', 'I', 'F', 'F'},
      std::vector<std::uint8_t>(5000, 0x49),
      {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'},
  };
  for (const auto& bytes : broken) {
    Probed p = ProbeBytes(MakeAvi(AviSpec{}), none);
    MemoryMovieFile file(bytes);
    p.f = ProbeMovie("x.avi", &file, none);
    EXPECT_EQ(p.f.videoFormat, "");
    EXPECT_EQ(p.f.audioFormat, "");
    EXPECT_EQ(p.f.audioRate, "");
    EXPECT_EQ(p.f.frameRate, "");
    EXPECT_EQ(p.f.resolution, "");
    EXPECT_EQ(p.f.playTime, "");
    EXPECT_EQ(p.f.videoRate, "");  // no stream found: no rate either
  }
  Probed p = ProbeBytes(MakeAvi(AviSpec{}), none);
  p.f = ProbeMovie("x.avi", nullptr, none);  // the file could not be opened
  EXPECT_EQ(p.f.videoFormat, "");
  EXPECT_EQ(p.f.audioFormat, "");
  EXPECT_EQ(p.f.videoRate, "");  // no stream found: no rate either
}

TEST(AviProbe, ShortStreamHeadersAndFormats) {
  AviSpec s;
  s.strhSize = 20;  // ends before scale, rate and length
  Probed p = ProbeSpec(s);
  EXPECT_EQ(p.f.videoFormat, "");
  EXPECT_EQ(p.f.frameRate, "");
  EXPECT_EQ(p.f.audioFormat, "MP3");  // the audio stream is still read

  s.strhSize = 48;  // the old header without rcFrame: size from the bitmap
  s.bmWidth = 320, s.bmHeight = -240;
  p = ProbeSpec(s);
  EXPECT_EQ(p.f.frameRate, "25.00");
  EXPECT_EQ(p.f.resolution, "320x240");

  s = AviSpec{};
  s.audioFormatSize = 14;  // shorter than the 16 bytes of a wave format
  p = ProbeSpec(s);
  EXPECT_EQ(p.f.audioFormat, "");
  EXPECT_EQ(p.f.audioRate, "");
  EXPECT_EQ(p.f.videoRate, std::to_string((MakeAvi(s).size() >> 10) * 8 / 10) + "kbit");
}

TEST(AviProbe, RawVideoHasNoHandlerAndATopDownBitmap) {
  AviSpec s;
  s.handler[0] = 0, s.handlerCode = 0;
  s.bmWidth = 32, s.bmHeight = -24, s.right = 32, s.bottom = 24;
  Probed p = ProbeSpec(s);
  EXPECT_EQ(p.f.videoFormat, "Full Frames (Uncompressed)");
  EXPECT_EQ(p.f.resolution, "32x24");

  s.right = 0, s.bottom = 0;  // a writer that left the frame rectangle empty
  EXPECT_EQ(ProbeSpec(s).f.resolution, "32x24");

  s.compression = Code("XVID");  // no handler in the header, but one in the format
  EXPECT_EQ(ProbeSpec(s).f.videoFormat, "MPEG-4 Xvid");
}

TEST(AviProbe, HeaderListTakenByItsOwnSize) {
  AviSpec s;
  std::vector<std::uint8_t> bytes = MakeAvi(s);
  // Claims to run far past the end of the file.
  std::uint32_t huge = 0x7FFFFFF0;
  std::memcpy(&bytes[16], &huge, 4);
  Probed p = [&] {
    FakeCodecs none;
    return ProbeBytes(bytes, none);
  }();
  EXPECT_EQ(p.f.videoFormat, "MPEG-4 Xvid");
  EXPECT_EQ(p.f.audioFormat, "MP3");

  // Claims to end after the video stream: the audio stream is not in it.
  bytes = MakeAvi(s);
  std::string text(bytes.begin(), bytes.end());
  std::size_t audioList = text.find("strl", text.find("strl") + 4) - 8;
  std::uint32_t shortSize = static_cast<std::uint32_t>(audioList - 20);
  std::memcpy(&bytes[16], &shortSize, 4);
  FakeCodecs none;
  p = ProbeBytes(bytes, none);
  EXPECT_EQ(p.f.videoFormat, "MPEG-4 Xvid");
  EXPECT_EQ(p.f.audioFormat, "");

  // Sizes of zero and three: nothing in the list.
  for (std::uint32_t size : {0u, 3u}) {
    bytes = MakeAvi(s);
    std::memcpy(&bytes[16], &size, 4);
    p = ProbeBytes(bytes, none);
    EXPECT_EQ(p.f.videoFormat, "");
    EXPECT_EQ(p.f.audioFormat, "");
  }
}

TEST(AviProbe, HeaderListLargerThanTheFirstRead) {
  AviSpec s;
  s.junkAfterFormat = 100 * 1024;  // the audio stream starts past 100 KB
  MemoryMovieFile file(MakeAvi(s));
  AviHeader h = ReadAviHeader(file);
  EXPECT_TRUE(h.video.present);
  ASSERT_TRUE(h.audio.present);
  EXPECT_EQ(h.audio.samplesPerSec, 44100u);
  EXPECT_LE(file.reads, 4);
}

TEST(AviProbe, HeaderListAfterALargeLeadingChunk) {
  AviSpec s;
  std::vector<std::uint8_t> avi = MakeAvi(s);
  Bytes out;
  out.Tag("RIFF").U32(0).Tag("AVI ");
  std::size_t junk = out.Open("JUNK");
  out.Fill(70000);
  out.Close(junk);
  out.b.insert(out.b.end(), avi.begin() + 12, avi.end());
  MemoryMovieFile file(out.b);
  AviHeader h = ReadAviHeader(file);
  EXPECT_TRUE(h.video.present);
  EXPECT_TRUE(h.audio.present);
}

TEST(AviProbe, FirstVideoAndFirstAudioStreamsAreTaken) {
  AviSpec first, second;
  second.rate = 30, second.formatTag = 1, second.samples = 8000;
  // One header list holding both files' streams, the first file's first.
  Bytes out;
  std::size_t riff = out.Open("RIFF");
  out.Tag("AVI ");
  std::size_t hdrl = out.OpenList("hdrl");
  probetest::WriteVideoStrl(out, first);
  probetest::WriteAudioStrl(out, first);
  probetest::WriteVideoStrl(out, second);
  probetest::WriteAudioStrl(out, second);
  out.Close(hdrl);
  out.Close(riff);
  MemoryMovieFile file(out.b);
  AviHeader h = ReadAviHeader(file);
  EXPECT_EQ(h.video.rate, 25u);
  EXPECT_EQ(h.audio.formatTag, 0x55);
}

TEST(AviProbe, InstalledCodecsComeBeforeTheTable) {
  FakeCodecs codecs;
  codecs.video[Code("XVID")] = "Cinepak-like codec";
  codecs.audio[0x55] = "Windows Media Audio V2";
  Probed p = ProbeBytes(MakeAvi(AviSpec{}), codecs);
  EXPECT_EQ(p.f.videoFormat, "Cinepak");
  EXPECT_EQ(p.f.audioFormat, "Windows Media Audio V2");

  AviSpec s;
  std::strcpy(s.handler, "ZZZZ");
  s.formatTag = 0x7777;
  p = ProbeSpec(s);
  EXPECT_EQ(p.f.videoFormat, "Unknon");
  EXPECT_EQ(p.f.audioFormat, "Unknon");
  EXPECT_EQ(p.f.audioRate, "44.10kHz/128kbit");

  // An unknown handler falls back on the bitmap format's compression.
  std::strcpy(s.handler, "MJPG");
  const std::string mjpeg = ProbeSpec(s).f.videoFormat;
  std::strcpy(s.handler, "SPMP");
  s.compression = Code("MJPG");
  EXPECT_EQ(ProbeSpec(s).f.videoFormat, mjpeg);
  EXPECT_NE(mjpeg, "Unknon");
}

TEST(AviProbe, LongDescriptionsFitTheField) {
  FakeCodecs codecs;
  codecs.video[Code("XVID")] = std::string(100, 'a') + " Video";
  // 62 ASCII bytes then a character of two bytes in code page 932: it
  // does not fit whole.
  codecs.audio[0x55] = std::string(62, 'b') + "ア" + "xyz";
  Probed p = ProbeBytes(MakeAvi(AviSpec{}), codecs);
  EXPECT_EQ(p.f.videoFormat, std::string(63, 'a'));
  EXPECT_EQ(p.f.audioFormat, std::string(62, 'b'));
  // The renaming rules read the whole description, whose ending lies past
  // what the field holds.
  codecs.video[Code("XVID")] = std::string(70, 'a') + " Codec V3";
  EXPECT_EQ(ProbeBytes(MakeAvi(AviSpec{}), codecs).f.videoFormat, "MPEG4 V3");
}

// A LIST INFO chunk as tagging tools write it.
std::vector<std::uint8_t> InfoList(
    const std::vector<std::pair<const char*, std::string>>& entries) {
  Bytes out;
  std::size_t list = out.OpenList("INFO");
  for (const auto& [id, text] : entries) {
    std::size_t entry = out.Open(id);
    out.Text(text);
    out.Close(entry);
  }
  out.Close(list);
  return out.b;
}

// The bytes of an AVI file with extra inserted before the chunk named at.
std::vector<std::uint8_t> InsertBefore(std::vector<std::uint8_t> avi, const char* at,
                                       const std::vector<std::uint8_t>& extra) {
  std::string text(avi.begin(), avi.end());
  std::size_t where = text.find(at) - 8;
  avi.insert(avi.begin() + static_cast<long>(where), extra.begin(), extra.end());
  return avi;
}

TEST(AviProbe, HeaderInfoListBeforeTheData) {
  const auto info = InfoList({{"ISFT", "Lavf"},
                              {"INAM", std::string("Title\0junk", 10)},  // up to the NUL
                              {"IART", "Artist"},
                              {"ICMT", std::string(300, 'c')},  // cut to 255 bytes
                              {"ISBJ", "Subject"},
                              {"ICOP", "Maker"},
                              {"IGNR", "Genre"},
                              {"INAM", "Second"}});  // the first of a kind counts
  MemoryMovieFile after(InsertBefore(MakeAvi(AviSpec{}), "movi", info));
  AviHeader h = ReadAviHeader(after);
  EXPECT_TRUE(h.video.present);
  EXPECT_TRUE(h.audio.present);
  ASSERT_TRUE(h.info.present);
  EXPECT_EQ(h.info.name, "Title");
  EXPECT_EQ(h.info.artist, "Artist");
  EXPECT_EQ(h.info.comment, std::string(255, 'c'));
  EXPECT_EQ(h.info.subject, "Subject");
  EXPECT_EQ(h.info.copyright, "Maker");
  EXPECT_EQ(h.info.genre, "Genre");
  EXPECT_EQ(after.reads, 1);  // all within the first read

  // Before the header list too; after the data it is not looked for.
  MemoryMovieFile before(InsertBefore(MakeAvi(AviSpec{}), "hdrl", info));
  h = ReadAviHeader(before);
  EXPECT_EQ(h.info.name, "Title");
  EXPECT_TRUE(h.video.present);
  std::vector<std::uint8_t> late = MakeAvi(AviSpec{});
  late.insert(late.end(), info.begin(), info.end());
  MemoryMovieFile last(late);
  h = ReadAviHeader(last);
  EXPECT_FALSE(h.info.present);
  EXPECT_TRUE(h.audio.present);

  // Past the first read (after a large header list): one read more.
  AviSpec big;
  big.junkAfterFormat = 70000;
  MemoryMovieFile far(InsertBefore(MakeAvi(big), "movi", info));
  h = ReadAviHeader(far);
  EXPECT_EQ(h.info.genre, "Genre");
  EXPECT_TRUE(h.audio.present);
  EXPECT_LE(far.reads, 4);

  // An entry running past its list is cut there.
  auto cut = InfoList({{"INAM", "Name"}});
  cut[4] = 14;  // the list now ends two bytes into the entry's text
  MemoryMovieFile damaged(InsertBefore(MakeAvi(AviSpec{}), "movi", cut));
  EXPECT_EQ(ReadAviHeader(damaged).info.name, "Na");
}

// The header's INFO texts fill the user's cells: subject before name,
// copyright before artist; UTF-8 where the bytes are, else code page 932.
// The writer's own list at the end wins, entry by entry, for AVI names.
TEST(AviProbe, HeaderInfoFillsTheUsersCellsAndTheTailListWins) {
  const auto info = InfoList({{"INAM", "Name"},
                              {"ISBJ", "Subject"},
                              {"IART", "\x8E\x52\x93\x63"},          // 山田 in code page 932
                              {"ICMT", "\xE6\x97\xA5\xE6\x9C\xAC"},  // 日本 in UTF-8
                              {"IGNR", "Drama"}});
  const auto avi = InsertBefore(MakeAvi(AviSpec{}), "movi", info);
  FakeCodecs none;
  const ProbeFields f = ProbeBytes(avi, none).f;
  EXPECT_EQ(f.title, "Subject");
  EXPECT_EQ(f.creator, "山田");
  EXPECT_EQ(f.comment, "日本");
  EXPECT_EQ(f.genre, "Drama");

  std::string bytes(avi.begin(), avi.end());
  bytes += std::string("ISBJ\x05\0\0\0Tail", 12) + '\0';
  test::FakeFs fs;
  fs.AddFile("C:\\m", "a.avi", bytes).AddFile("C:\\m", "a.mp4", bytes);
  const CategoryTable table = CategoryTable::AllOn();
  RowReader reader(fs, none, table, 0);
  MovieRowTexts row = reader.Read("C:\\m\\a.avi");
  EXPECT_EQ(row.cells[MovieTitle], "Tail");
  EXPECT_EQ(row.cells[Creater], "山田");
  EXPECT_EQ(row.cells[Janle], "Drama");
  // The end of other files is never searched for INFO entries.
  row = reader.Read("C:\\m\\a.mp4");
  EXPECT_EQ(row.cells[MovieTitle], "Subject");
  EXPECT_EQ(row.cells[MoveInfo], ProbeBytes(avi, none).f.videoFormat);  // its bytes are AVI
}

// The first bytes choose the parser; bytes of no container are read by the
// name only for the AVI, MPG and RM names.
TEST(ProbeMovie, TheBytesChooseTheParserAndTheNameTheFallback) {
  FakeCodecs none;
  const auto avi = MakeAvi(AviSpec{});
  EXPECT_EQ(ProbeBytes(avi, none, "C:\\m\\a.mpg").f.videoFormat,
            ProbeBytes(avi, none).f.videoFormat);
  const std::vector<std::uint8_t> noise(5000, 0x5A);
  EXPECT_EQ(ProbeBytes(noise, none, "a.mpg").f.videoFormat, "MPEG1");  // as .mpg files always were
  EXPECT_EQ(ProbeBytes(noise, none, "a.mpg").f.audioFormat, "MP2");
  for (const char* name : {"a.avi", "a.mkv", "a.mp4", "a.ts"}) {
    const ProbeFields f = ProbeBytes(noise, none, name).f;
    EXPECT_EQ(f.videoFormat + f.audioFormat + f.videoRate + f.playTime + f.resolution, "") << name;
  }
}

TEST(ProbeMovie, FactsBecomeCellsInTheAviRowsForms) {
  MovieFacts facts;
  facts.title = "T";
  EXPECT_EQ(FieldsFromFacts(facts, 1000).videoRate, "");  // no streams: only the tags
  EXPECT_EQ(FieldsFromFacts(facts, 1000).title, "T");

  facts.videoFormat = "H.264", facts.audioFormat = "AAC";
  facts.framesPerSecond = 30000.0 / 1001, facts.width = 1920, facts.height = 1080;
  facts.seconds = 3725.9, facts.audioSamplesPerSecond = 48000, facts.audioBitsPerSecond = 192500;
  ProbeFields f = FieldsFromFacts(facts, 1000000000);
  EXPECT_EQ(f.frameRate, "29.97");
  EXPECT_EQ(f.resolution, "1920x1080");
  EXPECT_EQ(f.playTime, FormatPlayTime(3725));  // whole seconds, cut
  EXPECT_EQ(f.audioRate, "48.00kHz/192kbit");
  EXPECT_EQ(f.videoRate, std::to_string((1000000000 >> 10) * 8 / 3725 - 192) + "kbit");

  facts.seconds = -1, facts.audioFormat.clear(), facts.width = 0;
  f = FieldsFromFacts(facts, 1000);
  EXPECT_EQ(f.playTime + f.audioRate + f.resolution, "");
  EXPECT_EQ(f.videoRate, "None");
}

TEST(MovieKind, ToldByThePathEnding) {
  EXPECT_EQ(KindOfMoviePath("C:\\a.avi"), MovieKind::Avi);
  EXPECT_EQ(KindOfMoviePath("C:\\A.AVI"), MovieKind::Avi);
  EXPECT_EQ(KindOfMoviePath("clipavi"), MovieKind::Avi);
  EXPECT_EQ(KindOfMoviePath("setup.ini"), MovieKind::Avi);  // only the last character counts
  EXPECT_EQ(KindOfMoviePath("b.MPG"), MovieKind::Mpeg);
  EXPECT_EQ(KindOfMoviePath("b.mpg"), MovieKind::Mpeg);
  EXPECT_EQ(KindOfMoviePath("bmPg"), MovieKind::Mpeg);
  EXPECT_EQ(KindOfMoviePath("c.rm"), MovieKind::RealMedia);
  EXPECT_EQ(KindOfMoviePath("c.mpeg"), MovieKind::RealMedia);
  EXPECT_EQ(KindOfMoviePath(""), MovieKind::RealMedia);
}

// An .rm name is read by its bytes like the other names: AVI bytes give
// the AVI cells; bytes of no container keep the fixed RealMedia names.
TEST(RealMediaProbe, AnRmNameIsReadByItsBytes) {
  FakeCodecs none;
  const Probed avi = ProbeBytes(MakeAvi(AviSpec{}), none);
  const Probed named = ProbeBytes(MakeAvi(AviSpec{}), none, "D:\\v\\clip.rm");
  EXPECT_EQ(named.f.videoFormat, avi.f.videoFormat);
  EXPECT_EQ(named.f.audioRate, avi.f.audioRate);
  EXPECT_EQ(named.f.playTime, avi.f.playTime);
  const Probed text = ProbeBytes(std::vector<std::uint8_t>(300, 'x'), none, "D:\\v\\clip.rm");
  EXPECT_EQ(text.f.videoFormat, "RealVideo");
  EXPECT_EQ(text.f.audioFormat, "RealAudio");
  EXPECT_EQ(text.f.videoRate, "");
  EXPECT_EQ(text.f.audioRate, "");
  EXPECT_EQ(text.f.frameRate, "");
  EXPECT_EQ(text.f.resolution, "");
  EXPECT_EQ(text.f.playTime, "");
}

// How the reading went, as ProbeMovie hands it on: for AVI files whole,
// cut and broken in each way, and for files no parser reads.
TEST(ProbeMovie, OutcomeOfWholeCutAndBrokenFiles) {
  const std::vector<std::uint8_t> good = MakeAvi(AviSpec{});
  std::vector<std::uint8_t> shortList = good;
  shortList[16] = 3, shortList[17] = shortList[18] = shortList[19] = 0;  // hdrl of three bytes
  AviSpec shortHeader;
  shortHeader.strhSize = 20;
  Bytes junk;
  junk.Tag("RIFF").U32(0).Tag("AVI ");
  for (int i = 0; i < 70; ++i) junk.Tag("JUNK").U32(0);
  junk.b.insert(junk.b.end(), good.begin() + 12, good.end());
  struct Case {
    const char* what;
    std::vector<std::uint8_t> bytes;
    const char* path;
    ProbeOutcome want;
  } cases[] = {
      {"whole", good, "a.avi", ProbeOutcome::Whole},
      {"cut in the data", std::vector<std::uint8_t>(good.begin(), good.end() - 100), "a.avi",
       ProbeOutcome::Truncated},
      {"a header list too short for its type", shortList, "a.avi", ProbeOutcome::Malformed},
      {"a stream header too short", MakeAvi(shortHeader), "a.avi", ProbeOutcome::Malformed},
      {"the header list behind 70 chunks", junk.b, "a.avi", ProbeOutcome::BudgetSpent},
      {"noise named .avi", std::vector<std::uint8_t>(5000, 0x5A), "a.avi", ProbeOutcome::NotThis},
      {"noise of a modern name", std::vector<std::uint8_t>(5000, 0x5A), "a.mkv",
       ProbeOutcome::NotThis},
      {"AVI bytes named .rm", good, "a.rm", ProbeOutcome::Whole},
      {"noise named .rm: the fixed names", std::vector<std::uint8_t>(5000, 0x5A), "a.rm",
       ProbeOutcome::Unsupported},
      // The reading by name keeps how the stream's reading went.
      {"a program stream cut in its first pack",
       {0, 0, 1, 0xBA, 0x44, 0, 4, 0},
       "a.mpg",
       ProbeOutcome::Truncated},
  };
  FakeCodecs none;
  for (const Case& c : cases)
    EXPECT_STREQ(OutcomeName(ProbeBytes(c.bytes, none, c.path).f.outcome), OutcomeName(c.want))
        << c.what;
  EXPECT_EQ(ProbeMovie("a.avi", nullptr, none).outcome, ProbeOutcome::NotThis);  // not opened
}

}  // namespace
}  // namespace clip
