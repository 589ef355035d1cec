// Real files in today's containers, made by tools/make_modern_fixtures.sh,
// and what ffprobe reads from them, for checking the container parsers'
// MovieFacts against an independent reader.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "scan/cached_file.h"
#include "scan/movie_facts.h"

namespace clip::ffprobefacts {

inline const std::string& ModernDir() {
  static const std::string dir = CLIP_MODERN_DIR;
  return dir;
}

// Runs the fixture script once per test run; it keeps the files it made.
inline bool MakeModernFixtures() {
  static const bool made = [] {
    std::string cmd = std::string("bash '") + CLIP_TOOLS_DIR + "/make_modern_fixtures.sh' '" +
                      ModernDir() + "' 2>/dev/null";
    return std::system(cmd.c_str()) == 0 || std::ifstream(ModernDir() + "/.made").good();
  }();
  return made;
}

inline std::vector<std::uint8_t> ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

inline double Ratio(const std::string& r) {
  auto slash = r.find('/');
  if (slash == std::string::npos) return std::atof(r.c_str());
  double den = std::atof(r.c_str() + slash + 1);
  return den == 0 ? 0 : std::atof(r.substr(0, slash).c_str()) / den;
}

using Fields = std::map<std::string, std::string>;

// ffprobe's view of a file: the first stream of each type and the format
// (duration and tags, tag names in lower case).
struct Probe {
  Fields video, audio, format;
  bool hasVideo = false, hasAudio = false;
  std::string Get(const Fields& f, const std::string& key) const {
    auto it = f.find(key);
    return it == f.end() ? "" : it->second;
  }
};

inline Probe RunFfprobe(const std::string& path) {
  Probe probe;
  std::string cmd =
      "ffprobe -v error -show_entries "
      "format=duration:format_tags=title,artist,genre,comment:"
      "stream=codec_type,codec_name,r_frame_rate,avg_frame_rate,width,height,sample_rate,bit_rate "
      "-of compact=p=0 '" +
      path + "'";
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return probe;
  std::string out;
  char buf[4096];
  while (std::size_t n = std::fread(buf, 1, sizeof buf, p)) out.append(buf, n);
  pclose(p);
  std::stringstream lines(out);
  std::string line;
  while (std::getline(lines, line)) {
    Fields f;
    std::stringstream ss(line);
    std::string part;
    while (std::getline(ss, part, '|')) {
      auto eq = part.find('=');
      if (eq == std::string::npos) continue;
      std::string key = part.substr(0, eq);
      std::transform(key.begin(), key.end(), key.begin(),
                     [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
      f[key] = part.substr(eq + 1);
    }
    std::string type = f.count("codec_type") ? f["codec_type"] : "";
    if (type == "video" && !probe.hasVideo) {
      probe.video = f, probe.hasVideo = true;
    } else if (type == "audio" && !probe.hasAudio) {
      probe.audio = f, probe.hasAudio = true;
    } else if (type.empty() && f.count("duration")) {
      probe.format = f;
    }
  }
  return probe;
}

// The facts every fixture shares with ffprobe: resolution, sample rate,
// play time as the mm:ss cell shows it (whole seconds) and the tags.
inline void ExpectCommonFacts(const MovieFacts& m, const Probe& p) {
  EXPECT_TRUE(m.Recognised());
  if (p.hasVideo) {
    EXPECT_EQ(m.width, std::atoi(p.Get(p.video, "width").c_str()));
    EXPECT_EQ(m.height, std::atoi(p.Get(p.video, "height").c_str()));
  } else {
    EXPECT_EQ(m.videoFormat, "");
  }
  if (p.hasAudio)
    EXPECT_EQ(m.audioSamplesPerSecond,
              static_cast<std::uint32_t>(std::atol(p.Get(p.audio, "sample_rate").c_str())));
  else
    EXPECT_EQ(m.audioFormat, "");
  double duration = std::atof(p.Get(p.format, "duration").c_str());
  EXPECT_EQ(static_cast<long>(m.seconds), static_cast<long>(duration)) << m.seconds;
  EXPECT_EQ(m.title, p.Get(p.format, "tag:title"));
  EXPECT_EQ(m.creator, p.Get(p.format, "tag:artist"));
  EXPECT_EQ(m.genre, p.Get(p.format, "tag:genre"));
  EXPECT_EQ(m.comment, p.Get(p.format, "tag:comment"));
}

// A file as the program opens it (the read cache over it), counting the
// reads that reach the file.
class CountedFile : public CachedMovieFile {
 public:
  explicit CountedFile(std::vector<std::uint8_t> bytes)
      : CachedMovieFile(bytes.size()), bytes_(std::move(bytes)) {}

 protected:
  std::size_t RawRead(std::uint64_t offset, void* buffer, std::size_t n) override {
    if (offset >= bytes_.size()) return 0;
    n = static_cast<std::size_t>(std::min<std::uint64_t>(n, bytes_.size() - offset));
    std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(offset), n,
                static_cast<std::uint8_t*>(buffer));
    return n;
  }

 private:
  std::vector<std::uint8_t> bytes_;
};

// A fixture's bytes and ffprobe's view of it; no bytes when ffmpeg could
// not make it (an encoder missing).
struct Fixture {
  std::vector<std::uint8_t> bytes;
  Probe probe;
};

inline Fixture LoadFixture(const std::string& name) {
  Fixture f;
  if (!MakeModernFixtures()) return f;
  f.bytes = ReadWhole(ModernDir() + "/" + name);
  if (!f.bytes.empty()) f.probe = RunFfprobe(ModernDir() + "/" + name);
  return f;
}

// Test names from the file names of a table of fixtures.
template <typename Row>
std::string FixtureName(const ::testing::TestParamInfo<Row>& info) {
  std::string n;
  for (const char* c = info.param.name; *c; ++c)
    n += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
  return n;
}

}  // namespace clip::ffprobefacts
