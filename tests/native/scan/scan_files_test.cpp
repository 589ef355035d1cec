// The walk, row builder and probes together over real files: the sample
// movies and a temporary tree with a link loop, a pipe and a dangling link.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

#include "catalogue/categories.h"
#include "catalogue/row_model.h"
#include "fake_fs.h"
#include "scan_rows.h"
#include "scan/fs_posix.h"
#include "scan/scan.h"

namespace clip::test {
namespace {

namespace fs = std::filesystem;

struct RealScan {
  PosixFileSystem files;
  NoCodecs codecs;
  RowModel rows;
  RecordingStatus status;
  CategoryTable table = CategoryTable::AllOn();
  TestScan ctx{rows, table, files, codecs};

  std::string Cell(int row, int category) const { return rows.Cell(row, table.position[category]); }
  // Row index by file name; -1 when missing.
  int Find(const std::string& name) const {
    for (int r = 0; r < rows.Count(); ++r)
      if (rows.Cell(r, 0) == name) return r;
    return -1;
  }
};

class TempTree : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/clip-scan-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root = pattern;
  }
  void TearDown() override { fs::remove_all(root); }
  void Copy(const std::string& sample, const fs::path& to) {
    fs::create_directories(to.parent_path());
    fs::copy_file(fs::path(CLIP_SAMPLES_DIR) / sample, to, fs::copy_options::overwrite_existing);
  }
  std::string root;
};

TEST(ScanFiles, TheSampleMoviesGiveOneFullRowEach) {
  RealScan s;
  ScanInto(s.ctx, CLIP_SAMPLES_DIR);
  ASSERT_EQ(s.rows.Count(), 5);
  // The subfolder's file comes after every file of the folder itself.
  EXPECT_EQ(s.rows.Cell(4, 0), "video_only.avi");
  EXPECT_EQ(s.Cell(4, DirPath), std::string(CLIP_SAMPLES_DIR) + "\\sub");

  int titled = s.Find("titled.avi");
  ASSERT_GE(titled, 0);
  EXPECT_EQ(s.Cell(titled, FileSizeBT), "15,054");
  EXPECT_EQ(s.Cell(titled, FileSizeKB), "14");
  EXPECT_EQ(s.Cell(titled, MovieTitle), "サンプル動画");
  EXPECT_EQ(s.Cell(titled, Creater), "Clipledger");
  EXPECT_EQ(s.Cell(titled, Comment), "ソフトの見本です");
  EXPECT_EQ(s.Cell(titled, Resolusion), "64x48");
  EXPECT_EQ(s.Cell(titled, FlameRate), "10.00");

  int xvid = s.Find("xvid_mp3.avi");
  ASSERT_GE(xvid, 0);
  EXPECT_EQ(s.Cell(xvid, MovieTitle), "");
  EXPECT_EQ(s.Cell(xvid, Resolusion), "64x48");
  EXPECT_EQ(s.Cell(xvid, FlameRate), "15.00");
  EXPECT_EQ(s.Cell(xvid, AudioInfo), "MP3");

  int mpeg = s.Find("mpeg1.mpg");
  ASSERT_GE(mpeg, 0);
  EXPECT_EQ(s.Cell(mpeg, MoveInfo), "MPEG1");
  EXPECT_EQ(s.Cell(mpeg, AudioInfo), "MP2");
  EXPECT_EQ(s.Cell(mpeg, Resolusion), "64x48");

  int rm = s.Find("real.rm");
  ASSERT_GE(rm, 0);
  EXPECT_EQ(s.Cell(rm, MoveInfo), "RealVideo 1.0");
  EXPECT_EQ(s.Cell(rm, AudioInfo), "RealAudio 14.4");
  EXPECT_EQ(s.Cell(rm, Resolusion), "64x48");

  // The video-only file shows no audio of the file before it.
  EXPECT_EQ(s.Cell(4, AudioInfo), "");
  EXPECT_EQ(s.Cell(4, AudioRate), "");
}

// Counts the lookups that reach the installed codecs.
class CountingCodecs : public CodecNames {
 public:
  std::string VideoDescription(std::uint32_t handler) override {
    ++video[handler];
    return handler == 0x44495658 ? "Test Video V9" : "";  // XVID
  }
  std::string AudioFormatName(std::uint16_t tag) override {
    ++audio[tag];
    return {};
  }
  std::map<std::uint32_t, int> video;
  std::map<std::uint16_t, int> audio;
};

TEST_F(TempTree, AWalkAsksTheCodecsOncePerCodeAndASingleFileAsksEachTime) {
  for (const char* name : {"a.avi", "b.avi", "c.avi"}) Copy("xvid_mp3.avi", fs::path(root) / name);
  Copy("xvid_mp3.avi", fs::path(root) / "S" / "d.avi");
  RealScan s;
  CountingCodecs codecs;
  TestScan ctx{s.rows, s.table, s.files, codecs};
  ScanInto(ctx, root);
  ASSERT_EQ(s.rows.Count(), 4);
  EXPECT_EQ(codecs.video, (std::map<std::uint32_t, int>{{0x44495658, 1}}));
  EXPECT_EQ(codecs.audio.size(), 1u);
  EXPECT_EQ(codecs.audio.begin()->second, 1);
  for (int r = 0; r < 4; ++r) EXPECT_EQ(s.Cell(r, MoveInfo), "MPEG4 V9");

  AddFileRow(ctx, root + "\\a.avi", 0);
  AddFileRow(ctx, root + "\\b.avi", 0);
  EXPECT_EQ(codecs.video[0x44495658], 3);
}

TEST_F(TempTree, LoopsPipesAndDanglingLinksEndWithARowEachAndNothingCreated) {
  Copy("xvid_mp3.avi", fs::path(root) / "a.avi");
  Copy("mpeg1.mpg", fs::path(root) / "S" / "s.mpg");
  fs::create_directory_symlink("..", fs::path(root) / "S" / "up");
  fs::create_directory_symlink(root, fs::path(root) / "S" / "again");
  ASSERT_EQ(mkfifo((root + "/pipe.avi").c_str(), 0600), 0);
  fs::create_symlink(root + "/missing.avi", fs::path(root) / "dangling.avi");
  // Folders named in other scripts than code page 932 holds.
  Copy("real.rm", fs::path(root) / "Café" / "한국" / "so.rm");

  RealScan s;
  ScanInto(s.ctx, root);
  std::map<std::string, std::string> sizes;
  for (int r = 0; r < s.rows.Count(); ++r) sizes[s.rows.Cell(r, 0)] = s.Cell(r, FileSizeBT);
  EXPECT_EQ(sizes, (std::map<std::string, std::string>{{"a.avi", "16,842"},
                                                       {"s.mpg", "8,192"},
                                                       {"pipe.avi", ""},
                                                       {"dangling.avi", ""},
                                                       {"so.rm", "2,784"}}));
  EXPECT_FALSE(fs::exists(root + "/missing.avi"));
  int so = s.Find("so.rm");
  ASSERT_GE(so, 0);
  EXPECT_EQ(s.Cell(so, DirPath), root + "\\Café\\한국");
}

}  // namespace
}  // namespace clip::test
