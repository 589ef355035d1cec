// Real FLV, MPEG transport and program stream files made by ffmpeg at test
// time (tools/make_modern_fixtures.sh, once per build tree), what ffprobe
// reads from them, and a cached file that counts its system reads.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "scan/cached_file.h"
#include "scan/codec_table.h"
#include "scan/movie_facts.h"

namespace clip::streamtest {

inline const std::string& ModernDir() {
  static const std::string dir = CLIP_MODERN_DIR;
  return dir;
}

inline bool MakeModernFiles() {
  static const bool made = [] {
    std::string cmd = std::string("bash '") + CLIP_TOOLS_DIR + "/make_modern_fixtures.sh' '" +
                      ModernDir() + "' 2>/dev/null";
    return std::system(cmd.c_str()) == 0 || std::ifstream(ModernDir() + "/mpeg1_mp2.mpg").good();
  }();
  return made;
}

inline std::vector<std::uint8_t> ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// ffprobe's "key=value" pairs of the first video stream, the first audio
// stream and the format (with its tags as "tag:name").
struct ProbeView {
  std::map<std::string, std::string> video, audio, format;
  static std::string Get(const std::map<std::string, std::string>& m, const std::string& key) {
    auto it = m.find(key);
    return it == m.end() ? "" : it->second;
  }
};

inline ProbeView RunFfprobe(const std::string& path) {
  ProbeView view;
  std::string cmd =
      "ffprobe -v error -show_entries "
      "stream=codec_type,codec_name,width,height,avg_frame_rate,sample_rate,bit_rate:"
      "format=duration:format_tags=title,artist,genre,comment -of compact=p=0 '" +
      path + "'";
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return view;
  char line[4096];
  while (std::fgets(line, sizeof line, p)) {
    std::map<std::string, std::string> values;
    std::stringstream ss(line);
    std::string part;
    while (std::getline(ss, part, '|')) {
      while (!part.empty() && (part.back() == '\n' || part.back() == '\r')) part.pop_back();
      auto eq = part.find('=');
      if (eq != std::string::npos) values[part.substr(0, eq)] = part.substr(eq + 1);
    }
    if (values.empty()) continue;
    std::string type = ProbeView::Get(values, "codec_type");
    if (type == "video" && view.video.empty()) view.video = values;
    if (type == "audio" && view.audio.empty()) view.audio = values;
    if (values.count("duration") && !values.count("codec_type")) view.format = values;
  }
  pclose(p);
  return view;
}

inline double RatioOf(const std::string& r) {
  auto slash = r.find('/');
  if (slash == std::string::npos) return std::atof(r.c_str());
  double den = std::atof(r.c_str() + slash + 1);
  return den == 0 ? 0 : std::atof(r.substr(0, slash).c_str()) / den;
}

// What a real file should give beyond what ffprobe says.
struct StreamMovie {
  const char* name;
  const char* videoFormat;
  const char* audioFormat;
  // Largest relative difference of the audio bit rate from ffprobe's: 0 for
  // rates the file declares, more where it is averaged over frames.
  double bitRateTolerance;
};

// Checks facts against ffprobe: codec names as given, size, average frame
// rate to 0.01, play time in whole seconds as the mm:ss cell shows it,
// sample rate, bit rate within the movie's tolerance, tags.
inline void ExpectAgreesWithFfprobe(const StreamMovie& m, const MovieFacts& facts,
                                    const ProbeView& view) {
  using G = ProbeView;
  EXPECT_TRUE(facts.recognised);
  EXPECT_EQ(facts.videoFormat, m.videoFormat);
  EXPECT_EQ(facts.audioFormat, m.audioFormat);
  if (!view.video.empty()) {
    EXPECT_EQ(std::to_string(facts.width), G::Get(view.video, "width"));
    EXPECT_EQ(std::to_string(facts.height), G::Get(view.video, "height"));
    EXPECT_EQ(FormatFixed2(facts.framesPerSecond),
              FormatFixed2(RatioOf(G::Get(view.video, "avg_frame_rate"))));
  }
  const double duration = std::atof(G::Get(view.format, "duration").c_str());
  EXPECT_EQ(FormatPlayTime(static_cast<std::int32_t>(facts.seconds)),
            FormatPlayTime(static_cast<std::int32_t>(duration)))
      << facts.seconds << " s against " << duration;
  if (!view.audio.empty()) {
    EXPECT_EQ(std::to_string(facts.audioSamplesPerSecond), G::Get(view.audio, "sample_rate"));
    const double expected = std::atof(G::Get(view.audio, "bit_rate").c_str());
    EXPECT_NEAR(static_cast<double>(facts.audioBitsPerSecond), expected,
                expected * m.bitRateTolerance + 0.5);
  }
  EXPECT_EQ(facts.title, G::Get(view.format, "tag:title"));
  EXPECT_EQ(facts.creator, G::Get(view.format, "tag:artist"));
  EXPECT_EQ(facts.genre, G::Get(view.format, "tag:genre"));
  EXPECT_EQ(facts.comment, G::Get(view.format, "tag:comment"));
}

// The program's file cache over bytes in memory; rawReads counts the reads
// that would reach the disk.
class CountedFile : public CachedMovieFile {
 public:
  explicit CountedFile(std::vector<std::uint8_t> bytes)
      : CachedMovieFile(bytes.size()), bytes_(std::move(bytes)) {}

 protected:
  std::size_t RawRead(std::uint64_t offset, void* buffer, std::size_t n) override {
    if (offset >= bytes_.size()) return 0;
    std::size_t k = std::min<std::size_t>(n, bytes_.size() - static_cast<std::size_t>(offset));
    std::memcpy(buffer, bytes_.data() + offset, k);
    return k;
  }

 private:
  std::vector<std::uint8_t> bytes_;
};

}  // namespace clip::streamtest
