// Files that cameras, phones, streaming tools and old encoders wrote, from
// other projects' test suites: their rows as the program makes them, each
// cell checked by hand against the bytes (and ffprobe where it reads them
// right). The files are not part of the project; the test is skipped where
// the folder is absent.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "catalogue/categories.h"
#include "fake_fs.h"
#include "scan/fs_posix.h"
#include "scan/pipeline.h"
#include "scan/scan.h"

namespace clip {
namespace {

struct Expected {
  const char* file;
  const char* video;
  const char* audio;
  const char* frameRate;
  const char* size;
  const char* playTime;
  const char* audioRate;
};

// clang-format off
const Expected kRows[] = {
    {"androidx-media/bbb_176x144_128kbps_15fps_h263.3gp", "H.263", "", "15.00", "176x144", "00:01", ""},
    {"androidx-media/bbb_2500ms.ts", "MPEG2", "MP2", "24.00", "1920x1080", "00:02", "44.10kHz/384kbit"},
    {"androidx-media/bbb_960x540_60fps_vp8.webm", "VP9", "Vorbis", "60.00", "960x540", "00:01", "48.00kHz/0kbit"},
    {"androidx-media/bear-vp9-odd-dimensions.webm", "VP9", "", "29.97", "161x121", "00:01", ""},
    {"androidx-media/dolbyVision-hdr.MOV", "H.265", "AAC", "30.00", "1280x720", "00:00", "44.10kHz/131kbit"},
    {"androidx-media/h265_bframes.mp4", "H.265", "", "30.00", "854x480", "00:01", ""},
    {"androidx-media/pixel7_videoOnly_cleaned.mp4", "H.264", "", "29.87", "1920x1080", "00:01", ""},
    {"androidx-media/sample-with-large-length.avi", "H.264 AVC Video", "MP3", "30.00", "256x144", "00:01", "44.10kHz/128kbit"},
    // The file's own header gives no byte rate for its MP3 track.
    {"androidx-media/sample.avi", "MPEG-4 FFmpeg", "MP3", "23.98", "960x400", "00:04", "48.00kHz/0kbit"},
    {"androidx-media/sample.flv", "H.264", "AAC", "30.00", "1080x720", "00:01", "44.10kHz/200kbit"},
    {"androidx-media/sample.mkv", "H.264", "AC-3", "30.00", "1080x720", "00:01", "44.10kHz/96kbit"},
    {"androidx-media/sample_12_5fps_720p_1s.mp4", "H.264", "AAC", "12.50", "1280x720", "00:01", "44.10kHz/131kbit"},
    {"androidx-media/sample_ac3.mpg", "", "AC-3", "", "", "00:00", "44.10kHz/96kbit"},
    {"androidx-media/sample_android_slow_motion.mp4", "H.264", "", "13.32", "1280x720", "00:00", ""},
    {"androidx-media/sample_av1.mkv", "AV1", "", "30.00", "720x1280", "00:01", ""},
    {"androidx-media/sample_av1.mp4", "AV1", "AAC", "29.97", "1080x720", "00:01", "44.10kHz/71kbit"},
    {"androidx-media/sample_fragmented.mp4", "H.264", "AAC", "29.97", "1080x720", "00:01", "44.10kHz/136kbit"},
    {"androidx-media/sample_h262_mpeg_audio.ts", "MPEG2", "MP2", "29.97", "640x426", "00:00", "44.10kHz/384kbit"},
    {"androidx-media/sample_h262_mpeg_audio.vob", "MPEG2", "MP2", "25.00", "640x426", "00:00", "44.10kHz/128kbit"},
    {"androidx-media/sample_h265.ts", "H.265", "", "30.00", "854x480", "00:01", ""},
    {"androidx-media/sample_portrait.mp4", "H.264", "AAC", "29.97", "720x1080", "00:01", "44.10kHz/71kbit"},
    {"androidx-media/sample_twos_pcm.mp4", "H.264", "PCM", "29.97", "1080x720", "00:01", "44.10kHz/705kbit"},
    {"androidx-media/sample_with_chapters.mkv", "H.264", "AAC", "30.00", "320x240", "00:05", "44.10kHz/0kbit"},
    {"androidx-media/sample_with_metadata.mp4", "H.264", "AAC", "29.97", "1080x720", "00:01", "44.10kHz/74kbit"},
    {"androidx-media/sample_with_numeric_genre.mp4", "H.264", "AAC", "29.97", "1080x720", "00:01", "44.10kHz/74kbit"},
    // Its H.264 timing is not fixed; the timestamps step 41.7 ms.
    {"androidx-media/sd-hls0000000000.ts", "H.264", "AAC", "24.00", "640x360", "00:02", "48.00kHz/69kbit"},
    {"androidx-media/sowt-with-video.mov", "H.264", "PCM", "50.00", "1920x1080", "00:02", "48.00kHz/1536kbit"},
    // A display size of 4/3 is an aspect ratio, not the picture's size.
    {"hachoir/10min.mkv", "H.264", "", "1.00", "384x288", "10:00", ""},
    // A cut-short camera file: an AC-3 stream with no frame has no rate.
    {"hachoir/Panasonic_AG_HMC_151.MTS", "H.264", "AC-3", "25.00", "1920x1080", "00:00", ""},
    {"hachoir/breakdance.flv", "Sorenson H.263", "MP3", "24.00", "320x240", "00:46", "22.05kHz/64kbit"},
    {"hachoir/firstrun.rm", "", "RealAudio Cook", "", "", "00:18", "44.10kHz/32kbit"},
    {"hachoir/flashmob.mkv", "H.264", "Vorbis", "25.00", "384x288", "00:17", "44.10kHz/0kbit"},
    {"hachoir/matrix_ping_pong.wmv", "WMV1", "WMA", "15.00", "200x150", "01:43", "8.00kHz/12kbit"},
    {"hachoir/pentax_320x240.mov", "MJPEG", "PCM", "30.00", "320x240", "00:04", "7.88kHz/63kbit"},
    {"hachoir/sample.ts", "MPEG2", "MP2", "25.00", "720x576", "00:00", ""},
    {"hachoir/smallville.s03e02.avi", "MPEG-4 Xvid", "MP3", "23.98", "640x352", "44:01", "48.00kHz/116kbit"},
    {"kfilemetadata/test.avi", "MPEG-4 FFmpeg", "MP3", "23.98", "1280x720", "00:00", "48.00kHz/1kbit"},
    {"kfilemetadata/test_cover.mkv", "VP8", "Vorbis", "23.98", "1280x720", "00:01", "48.00kHz/0kbit"},
    {"mp4parse-rust/metadata.mp4", "H.264", "AAC", "25.00", "320x240", "00:00", "48.00kHz/67kbit"},
    {"mp4parse-rust/tiny_av1.mp4", "AV1", "", "24.00", "64x64", "00:00", ""},
    {"mp4parse-rust/video_rotation_90.mp4", "H.264", "", "24.00", "100x60", "00:00", ""},
    {"pymediainfo/issue55.flv", "", "AAC", "", "", "00:01", "48.00kHz/1kbit"},
    {"pymediainfo/sample.mkv", "", "", "", "", "", ""},
    {"taglib/no-tags.webm", "VP8", "", "", "64x64", "00:00", ""},
    {"taglib/real_example.asf", "", "WMA", "", "", "01:36", "44.10kHz/128kbit"},
    {"taglib/tags-before-cues.mkv", "H.265", "", "25.00", "176x144", "00:00", ""},
};
// clang-format on

TEST(RealMovies, EveryFileGivesTheCellsItsBytesHold) {
  const std::string dir = CLIP_REAL_MOVIES_DIR;
  struct stat st;
  if (stat(dir.c_str(), &st) != 0) GTEST_SKIP() << dir << " is not here";
  PosixFileSystem fs;
  const CategoryTable table = CategoryTable::AllOn();
  test::NoCodecs none;
  RowReader reader(fs, none, table, 0);
  for (const Expected& want : kRows) {
    const std::string path = PosixFileSystem::ProgramPath(dir + "/" + want.file);
    SCOPED_TRACE(want.file);
    const MovieRowTexts row = reader.Read(path);
    if (!row.opened) {
      ADD_FAILURE() << "missing";
      continue;
    }
    const auto& c = row.cells;
    EXPECT_EQ(c[MoveInfo], want.video);
    EXPECT_EQ(c[AudioInfo], want.audio);
    EXPECT_EQ(c[FlameRate], want.frameRate);
    EXPECT_EQ(c[Resolusion], want.size);
    EXPECT_EQ(c[PlayTime], want.playTime);
    EXPECT_EQ(c[AudioRate], want.audioRate);
  }
  // Every movie file of the folder is in the table.
  EXPECT_EQ(ListMovieFiles(fs, PosixFileSystem::ProgramPath(dir), true).size(),
            std::size(kRows));
}

}  // namespace
}  // namespace clip
