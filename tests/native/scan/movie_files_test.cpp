// ProbeMovie over real files made by ffmpeg, checked against what ffprobe
// reads from the same files. The files are made once into the build tree by
// tools/make_movie_fixtures.sh (which keeps files it already made).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "probe_builders.h"
#include "scan/codec_table.h"
#include "scan/probe.h"

namespace clip {
namespace {

const std::string kMovieDir = CLIP_MOVIE_DIR;

bool MakeMovies() {
  static const bool made = [] {
    std::string cmd = std::string("bash '") + CLIP_TOOLS_DIR + "/make_movie_fixtures.sh' '" +
                      kMovieDir + "' 2>/dev/null";
    return std::system(cmd.c_str()) == 0 || std::ifstream(kMovieDir + "/mpeg1.mpg").good();
  }();
  return made;
}

std::vector<std::uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// ffprobe's view of each stream: "key=value|key=value" per line.
struct StreamInfo {
  std::map<std::string, std::string> values;
  std::string operator[](const std::string& key) const {
    auto it = values.find(key);
    return it == values.end() ? "" : it->second;
  }
};

std::map<std::string, StreamInfo> Ffprobe(const std::string& path) {
  std::map<std::string, StreamInfo> streams;
  std::string cmd =
      "ffprobe -v error -show_entries "
      "stream=codec_type,r_frame_rate,width,height,nb_frames,sample_rate,bit_rate:format=duration "
      "-of compact=p=0 '" +
      path + "'";
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return streams;
  char line[1024];
  while (std::fgets(line, sizeof line, p)) {
    StreamInfo s;
    std::stringstream ss(line);
    std::string part;
    while (std::getline(ss, part, '|')) {
      while (!part.empty() && (part.back() == '\n' || part.back() == '\r')) part.pop_back();
      auto eq = part.find('=');
      if (eq != std::string::npos) s.values[part.substr(0, eq)] = part.substr(eq + 1);
    }
    std::string type = s["codec_type"];  // the format's line has none
    if (!s.values.empty() && !streams.count(type))
      streams[type] = s;  // the first stream of each type
  }
  pclose(p);
  return streams;
}

double Ratio(const std::string& r) {
  auto slash = r.find('/');
  if (slash == std::string::npos) return std::atof(r.c_str());
  double den = std::atof(r.c_str() + slash + 1);
  return den == 0 ? 0 : std::atof(r.substr(0, slash).c_str()) / den;
}

struct Movie {
  const char* name;
  const char* videoFormat;  // with the built-in tables only
  const char* audioFormat;
};

const Movie kMovies[] = {
    {"xvid_mp3.avi", "MPEG-4 Xvid", "MP3"},
    {"divx_mp3.avi", "MPEG-4 DivX 4", "MP3"},
    {"CLIP.AVI", "MPEG-4 DivX 4", "MP3"},
    {"audio_only.avi", "", "MP3"},
    {"mp43_mp3.avi", "MPEG4 V3", "MP3"},
    {"dx50_ac3.avi", "MPEG-4 DivX 5", "AC-3 Dolby Digital"},
    {"fmp4_pcm.avi", "MPEG-4 FFmpeg", "PCM"},
    {"video_only.avi", "MPEG-4 Xvid", ""},
    {"divx_wma.avi", "MPEG-4 DivX 4", "DivX Audio"},
    {"mp42_adpcm.avi", "MPEG4 V2", "ADPCM"},
    {"div3_mp2.avi", "DivX Low", "MP2"},
    {"cvid_ima.avi", "Cinepak", "ADPCM"},
    {"msvc_pcm.avi", "Microsoft Video 1", "PCM"},
    {"mjpg_pcm.avi", "Motion JPEG", "PCM"},
    {"raw_pcm.avi", "Full Frames (Uncompressed)", "PCM"},
    {"h264_mp2.avi", "H.264 AVC Video", "MP2"},
    {"mpeg1.mpg", "MPEG1", "MP2"},
    {"MPEG2.MPG", "MPEG2", "MP2"},
    {"vcd.mpg", "MPEG1", "MP2"},
    {"clip.rm", "RealVideo 1.0", "RealAudio 14.4"},
    {"sub/nested.avi", "MPEG-4 Xvid", ""},
    {"sub/deeper/deep.mpg", "MPEG1", ""},  // no audio stream
};

// Checks the audio rate cell ("<kHz>kHz/<kbit>kbit") against ffprobe's
// audio stream and returns its kbit, 0 without audio.
long long ExpectAudioRate(std::map<std::string, StreamInfo>& info, bool hasAudio,
                          const std::string& cell) {
  if (!hasAudio) return 0;
  StreamInfo& a = info["audio"];
  const long long kbit = std::atoll(a["bit_rate"].c_str()) / 1000;
  char rate[64];
  std::snprintf(rate, sizeof rate, "%.2fkHz/%lldkbit", std::atof(a["sample_rate"].c_str()) / 1000,
                kbit);
  EXPECT_EQ(cell, rate);
  return kbit;
}

void PrintTo(const Movie& m, std::ostream* os) { *os << m.name; }

class MovieFileProbe : public ::testing::TestWithParam<Movie> {};

TEST_P(MovieFileProbe, AgreesWithFfprobe) {
  const Movie& m = GetParam();
  if (!MakeMovies()) GTEST_SKIP() << "ffmpeg could not make the movie files";
  const std::string path = kMovieDir + "/" + m.name;
  std::vector<std::uint8_t> bytes = ReadFile(path);
  if (bytes.empty()) GTEST_SKIP() << m.name << " was not made (encoder missing)";
  std::map<std::string, StreamInfo> info = Ffprobe(path);
  ASSERT_FALSE(info.empty()) << "ffprobe gave nothing for " << m.name;

  MemoryMovieFile file(bytes);
  probetest::FakeCodecs none;
  const ProbeFields f = ProbeMovie(path, &file, none);
  EXPECT_EQ(f.videoFormat, m.videoFormat);
  EXPECT_EQ(f.audioFormat, m.audioFormat);

  const bool hasVideo = info.count("video") != 0, hasAudio = info.count("audio") != 0;
  switch (KindOfMoviePath(path)) {
    case MovieKind::Avi: {
      std::int32_t expectSeconds = 0;
      if (hasVideo) {
        const StreamInfo& v = info["video"];
        double fps = Ratio(v["r_frame_rate"]);
        EXPECT_EQ(f.frameRate, FormatFixed2(fps));
        EXPECT_EQ(f.resolution, v["width"] + "x" + v["height"]);
        expectSeconds = static_cast<std::int32_t>(std::atof(v["nb_frames"].c_str()) / fps);
        EXPECT_EQ(f.playTime, FormatPlayTime(expectSeconds));
      } else {
        EXPECT_EQ(f.frameRate, "");
        EXPECT_EQ(f.resolution, "");
        EXPECT_EQ(f.playTime, "");
      }
      const long long audioKbit = ExpectAudioRate(info, hasAudio, f.audioRate);
      if (!hasAudio) EXPECT_EQ(f.audioRate, "");
      if (expectSeconds == 0)
        EXPECT_EQ(f.videoRate, "None");
      else
        EXPECT_EQ(f.videoRate,
                  std::to_string(static_cast<long long>((bytes.size() >> 10) * 8 / expectSeconds) -
                                 audioKbit) +
                      "kbit");
      break;
    }
    case MovieKind::Mpeg: {
      ASSERT_TRUE(hasVideo);
      const StreamInfo& v = info["video"];
      static const std::map<std::string, std::string> kRates = {
          {"24000/1001", "23.97"}, {"24/1", "24.0"}, {"25/1", "25.0"},
          {"30000/1001", "29.97"}, {"30/1", "30.0"}, {"50/1", "50.0"},
          {"60000/1001", "59.94"}, {"60/1", "60.0"}};
      EXPECT_EQ(f.frameRate, kRates.at(v["r_frame_rate"]));
      EXPECT_EQ(f.resolution, v["width"] + "x" + v["height"]);
      // Play time from the time stamps, within 0.1 s of ffprobe's (which
      // counts one frame for a last packet that holds several).
      const double duration = std::atof(info[""]["duration"].c_str());
      std::int32_t seconds = static_cast<std::int32_t>(duration - 0.1);
      if (f.playTime != FormatPlayTime(seconds))
        seconds = static_cast<std::int32_t>(duration + 0.1);
      EXPECT_EQ(f.playTime, FormatPlayTime(seconds)) << duration;
      const long long audioKbit = ExpectAudioRate(info, hasAudio, f.audioRate);
      if (seconds > 0)
        EXPECT_EQ(
            f.videoRate,
            std::to_string(static_cast<long long>((bytes.size() >> 10) * 8 / seconds) - audioKbit) +
                "kbit");
      break;
    }
    case MovieKind::RealMedia: {
      ASSERT_TRUE(hasVideo);
      const StreamInfo& v = info["video"];
      EXPECT_EQ(f.frameRate, FormatFixed2(Ratio(v["r_frame_rate"])));
      EXPECT_EQ(f.resolution, v["width"] + "x" + v["height"]);
      EXPECT_EQ(f.playTime,
                FormatPlayTime(static_cast<std::int32_t>(std::atof(info[""]["duration"].c_str()))));
      ExpectAudioRate(info, hasAudio, f.audioRate);
      break;
    }
  }

  // ffmpeg writes no INFO entries near the end of a file.
  MemoryMovieFile again(bytes);
  InfoTail tail = ScanInfoTail(again);
  EXPECT_EQ(tail.title, "");
  EXPECT_EQ(tail.comment, "");
}

// Files as ffmpeg writes them read whole; RealMedia is not read at all.
TEST_P(MovieFileProbe, ReadsWhole) {
  const Movie& m = GetParam();
  if (!MakeMovies()) GTEST_SKIP() << "ffmpeg could not make the movie files";
  const std::string path = kMovieDir + "/" + m.name;
  std::vector<std::uint8_t> bytes = ReadFile(path);
  if (bytes.empty()) GTEST_SKIP() << m.name << " was not made (encoder missing)";
  MemoryMovieFile file(bytes);
  probetest::FakeCodecs none;
  EXPECT_STREQ(OutcomeName(ProbeMovie(path, &file, none).outcome),
               OutcomeName(ProbeOutcome::Whole));
}

std::string MovieName(const ::testing::TestParamInfo<Movie>& info) {
  std::string n;
  for (const char* c = info.param.name; *c; ++c)
    n += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
  return n;
}

INSTANTIATE_TEST_SUITE_P(Fixtures, MovieFileProbe, ::testing::ValuesIn(kMovies), MovieName);

}  // namespace
}  // namespace clip
