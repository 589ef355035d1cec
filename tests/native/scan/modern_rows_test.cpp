// A scan of a folder of today's movie files, as the program makes its rows
// (listing over the POSIX file system, then each row read with every
// category shown), checked cell by cell against ffprobe.
#include <gtest/gtest.h>

#include <cmath>

#include "base/cp932.h"
#include "base/text.h"
#include "fake_fs.h"
#include "ffprobe_facts.h"
#include "scan/codec_table.h"
#include "scan/fs_posix.h"
#include "scan/pipeline.h"
#include "scan/probe.h"
#include "scan/scan.h"

namespace clip {
namespace {

using ffprobefacts::MakeModernFixtures;
using ffprobefacts::Ratio;

// The row's short name for each of ffprobe's codec names.
const std::map<std::string, std::string> kNames = {
    {"h264", "H.264"},       {"hevc", "H.265"},
    {"av1", "AV1"},          {"vp8", "VP8"},
    {"vp9", "VP9"},          {"mpeg4", "MPEG-4 Visual"},
    {"mpeg1video", "MPEG1"}, {"mpeg2video", "MPEG2"},
    {"wmv2", "WMV2"},        {"flv1", "Sorenson H.263"},
    {"h263", "H.263"},       {"mjpeg", "MJPEG"},
    {"prores", "ProRes"},    {"aac", "AAC"},
    {"mp3", "MP3"},          {"mp2", "MP2"},
    {"ac3", "AC-3"},         {"eac3", "E-AC-3"},
    {"dts", "DTS"},          {"flac", "FLAC"},
    {"opus", "Opus"},        {"vorbis", "Vorbis"},
    {"alac", "ALAC"},        {"wmav2", "WMA"},
    {"pcm_s16le", "PCM"},    {"pcm_s16be", "PCM"},
    {"pcm_dvd", "PCM"},
};

int Seconds(const std::string& playTime) {
  const auto colon = playTime.find(':');
  return std::atoi(playTime.c_str()) * 60 + std::atoi(playTime.c_str() + colon + 1);
}

TEST(ModernRows, EveryFileOfTodaysFormatsGetsCellsAsFfprobeReadsThem) {
  if (!MakeModernFixtures()) GTEST_SKIP() << "ffmpeg could not make the files";
  PosixFileSystem fs;
  std::vector<std::string> unreadable;
  const std::vector<std::string> files =
      ListMovieFiles(fs, ffprobefacts::ModernDir(), true, &unreadable);
  EXPECT_TRUE(unreadable.empty());
  // Only today's endings are listed with the switch on (the .wma is not a movie name);
  // with it off, the AVI and MPG files alone.
  EXPECT_GE(files.size(), 30u);
  for (const std::string& path : files) EXPECT_EQ(path.find(".wma"), std::string::npos) << path;
  EXPECT_EQ(ListMovieFiles(fs, ffprobefacts::ModernDir(), false, nullptr).size(), 3u);

  const CategoryTable table = CategoryTable::AllOn();
  test::NoCodecs none;
  RowReader reader(fs, none, table, 0);
  for (const std::string& path : files) {
    SCOPED_TRACE(path);
    const MovieRowTexts row = reader.Read(path);
    const ffprobefacts::Probe want = ffprobefacts::RunFfprobe(PosixFileSystem::NativePath(path));
    ASSERT_FALSE(want.format.empty());
    const auto& c = row.cells;

    const std::string vcodec = want.Get(want.video, "codec_name"),
                      acodec = want.Get(want.audio, "codec_name");
    const std::string name = PathFileName(path);
    if (name != "tagged.avi") {  // AVI rows name codecs as the codec managers do
      EXPECT_EQ(c[MoveInfo], vcodec.empty() ? "" : kNames.at(vcodec));
      // ffprobe calls any MPEG audio in an MP4 "mp3"; the frames say layer II.
      EXPECT_EQ(c[AudioInfo], name == "mpeg2_mp2.mp4" ? "MP2"
                              : acodec.empty()        ? ""
                                                      : kNames.at(acodec));
    }
    if (!vcodec.empty()) {
      EXPECT_EQ(c[Resolusion],
                want.Get(want.video, "width") + "x" + want.Get(want.video, "height"));
      // ffprobe's average runs low for fragmented files, whose rate is constant.
      const double fps = std::atof(c[FlameRate].c_str());
      if (c[FlameRate].empty() && path.find("\\asf\\") != std::string::npos) {
        // ffmpeg's ASF headers carry no frame time (ffprobe guesses from packets).
      } else if (std::fabs(fps - Ratio(want.Get(want.video, "avg_frame_rate"))) > 0.011)
        EXPECT_NEAR(fps, Ratio(want.Get(want.video, "r_frame_rate")), 0.011) << c[FlameRate];
    }
    // Play time within 0.1 s of ffprobe's, as whole minutes and seconds.
    const double duration = std::atof(want.Get(want.format, "duration").c_str());
    const int seconds = Seconds(c[PlayTime]);
    EXPECT_LE(std::fabs(seconds + 0.5 - duration), 0.61) << c[PlayTime] << " for " << duration;
    if (!acodec.empty()) {
      char khz[32];
      std::snprintf(khz, sizeof khz, "%.2fkHz/",
                    std::atof(want.Get(want.audio, "sample_rate").c_str()) / 1000);
      EXPECT_EQ(c[AudioRate].rfind(khz, 0), 0u) << c[AudioRate];
    }
    EXPECT_TRUE(c[VideoRate] == "None" || c[VideoRate].find("kbit") != std::string::npos);
    // Tags as the file holds them, within the cell limit (ffprobe does not
    // read the 3GPP ones: there the texts only have to be there).
    if (name == "h263_aac.3gp") {
      EXPECT_TRUE(!c[MovieTitle].empty() && !c[Creater].empty() && !c[Comment].empty());
      continue;
    }
    EXPECT_EQ(c[MovieTitle], CutCp932(want.Get(want.format, "tag:title"), kInfoValueMax));
    EXPECT_EQ(c[Creater], CutCp932(want.Get(want.format, "tag:artist"), kInfoValueMax));
    EXPECT_EQ(c[Janle], CutCp932(want.Get(want.format, "tag:genre"), kInfoValueMax));
    EXPECT_EQ(c[Comment], CutCp932(want.Get(want.format, "tag:comment"), kInfoValueMax));
  }
}

// Every file ffmpeg makes reads whole, whatever its container.
TEST(ModernRows, EveryFileFfmpegMadeReadsWhole) {
  if (!MakeModernFixtures()) GTEST_SKIP() << "ffmpeg could not make the files";
  PosixFileSystem fs;
  test::NoCodecs none;
  for (const std::string& path : ListMovieFiles(fs, ffprobefacts::ModernDir(), true, nullptr)) {
    const std::unique_ptr<MovieFile> file = fs.Open(path);
    ASSERT_TRUE(file) << path;
    EXPECT_STREQ(OutcomeName(ProbeMovie(path, file.get(), none).outcome),
                 OutcomeName(ProbeOutcome::Whole))
        << path;
  }
}

}  // namespace
}  // namespace clip
