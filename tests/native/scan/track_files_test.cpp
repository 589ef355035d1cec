// The track cells of real files with several tracks, made by
// tools/make_track_fixtures.sh, against what ffprobe reads of their streams
// and chapters.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

#include "ffprobe_facts.h"
#include "probe_builders.h"
#include "scan/probe.h"

namespace clip {
namespace {

using ffprobefacts::CountedFile;
using ffprobefacts::FixtureName;
using ffprobefacts::ReadWhole;
using probetest::FakeCodecs;

const std::string kDir = CLIP_TRACKS_DIR;

bool MakeTrackFixtures() {
  static const bool made = [] {
    const std::string cmd = std::string("bash '") + CLIP_TOOLS_DIR + "/make_track_fixtures.sh' '" +
                            kDir + "' 2>/dev/null";
    return std::system(cmd.c_str()) == 0 || std::ifstream(kDir + "/.made").good();
  }();
  return made;
}

std::string Run(const std::string& cmd) {
  std::string out;
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return out;
  char buf[4096];
  while (std::size_t n = std::fread(buf, 1, sizeof buf, p)) out.append(buf, n);
  pclose(p);
  return out;
}

std::string Field(const std::string& line, const std::string& key) {
  const std::string probe = "|" + line + "|";
  const auto at = probe.find("|" + key + "=");
  if (at == std::string::npos) return "";
  const auto start = at + key.size() + 2;
  return probe.substr(start, probe.find('|', start) - start);
}

// The cells as ffprobe's view of the file would make them.
struct Expected {
  std::string audioTracks, subtitles, layout, count, videoBits, chapters;
};

std::string Listed(const std::vector<std::string>& langs) {
  if (langs.empty()) return "";
  std::string text = std::to_string(langs.size()) + ":";
  for (std::size_t i = 0; i < langs.size(); ++i) text += (i ? ", " : " ") + langs[i];
  return text;
}

Expected FromFfprobe(const std::string& path) {
  Expected e;
  std::stringstream lines(
      Run("ffprobe -v error -show_entries stream=index,codec_type,channels,channel_layout,pix_fmt,"
          "color_transfer:stream_tags=language:stream_disposition=forced -show_chapters "
          "-of compact=p=0 '" +
          path + "'"));
  // A transport stream's streams come twice, under its program first: the
  // last line of each index holds all its tags.
  std::map<int, std::string> streams;
  int chapters = 0;
  std::string line;
  while (std::getline(lines, line)) {
    if (line.rfind("id=", 0) == 0) ++chapters;
    if (line.rfind("index=", 0) == 0) streams[std::atoi(line.c_str() + 6)] = line;
  }
  std::vector<std::string> audio, subs;
  bool video = false;
  for (const auto& [index, line] : streams) {
    const std::string type = Field(line, "codec_type");
    std::string lang = Field(line, "tag:language");
    if (lang.empty()) lang = "und";
    if (type == "audio") {
      if (audio.empty()) {
        std::string layout = Field(line, "channel_layout");
        layout = layout.substr(0, layout.find('('));
        e.layout = layout == "mono" ? "1.0" : layout == "stereo" ? "2.0" : layout;
        e.count = Field(line, "channels");
      }
      audio.push_back(lang);
    }
    if (type == "subtitle")
      subs.push_back(lang + (Field(line, "disposition:forced") == "1" ? "(強制)" : ""));
    if (type == "video" && !video) {
      video = true;
      const std::string pix = Field(line, "pix_fmt"), trc = Field(line, "color_transfer");
      e.videoBits = pix.find("12") != std::string::npos   ? "12bit"
                    : pix.find("10") != std::string::npos ? "10bit"
                                                          : "8bit";
      if (trc == "smpte2084") e.videoBits += " HDR10";
      if (trc == "arib-std-b67") e.videoBits += " HLG";
    }
  }
  e.audioTracks = Listed(audio);
  e.subtitles = Listed(subs);
  if (chapters) e.chapters = std::to_string(chapters);
  return e;
}

// What each container is bound to say; a cell it need not give may be
// empty, never other than ffprobe's.
struct TrackMovie {
  const char* name;
  bool listsTracks, hasDepth, hasLayout;
};
const TrackMovie kTrackMovies[] = {
    {"tracks_pq.mkv", true, true, true},   {"tracks_opus.webm", true, false, true},
    {"tracks_hlg.mp4", true, true, true},  {"tracks_8bit.mp4", true, false, true},
    {"tracks_ac3.ts", true, false, true},  {"tracks_two_audio.avi", true, false, false},
    {"tracks_ac3.mkv", true, false, true}, {"tracks_dts.mkv", true, false, true},
    {"tracks_mp2.mkv", true, false, true}, {"tracks_dts.ts", true, false, true},
    {"tracks_pq.ts", true, true, true},
};

class TrackFixture : public ::testing::TestWithParam<TrackMovie> {};

TEST_P(TrackFixture, TrackCellsAgreeWithFfprobe) {
  const TrackMovie& m = GetParam();
  ASSERT_TRUE(MakeTrackFixtures());
  const std::string path = kDir + "/" + m.name;
  std::vector<std::uint8_t> bytes = ReadWhole(path);
  if (bytes.empty()) GTEST_SKIP() << m.name << " was not made (an encoder missing)";
  const Expected e = FromFfprobe(path);
  CountedFile file(std::move(bytes));
  FakeCodecs codecs;
  const ProbeFields f = ProbeMovie(path, &file, codecs);
  EXPECT_EQ(f.outcome, ProbeOutcome::Whole);
  if (m.listsTracks || !f.audioTracks.empty()) EXPECT_EQ(f.audioTracks, e.audioTracks);
  if (m.listsTracks || !f.subtitles.empty()) EXPECT_EQ(f.subtitles, e.subtitles);
  if (m.hasLayout) EXPECT_EQ(f.channels, e.layout);
  if (!m.hasLayout && !f.channels.empty())
    EXPECT_TRUE(f.channels == e.layout || f.channels == e.count) << f.channels;
  if (m.hasDepth || !f.videoBits.empty()) EXPECT_EQ(f.videoBits, e.videoBits);
  EXPECT_EQ(f.chapters, e.chapters);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, TrackFixture, ::testing::ValuesIn(kTrackMovies),
                         FixtureName<TrackMovie>);

}  // namespace
}  // namespace clip
