// Today's containers through the real window: with their switch on (the
// default) a scan gives them rows with the parsers' cells and their own
// tags; with it off only the AVI, MPG and RM names are added.
#include "main_window_test.h"

#include <algorithm>

namespace wintest {
namespace {

class ModernWindow : public MainWindowTest {
 protected:
  // Made by the native suite, which runs first.
  const std::string dir = CLIP_MODERN_DIR_WIN "\\iso";
  int RowNamed(const std::string& name) const {
    const auto names = Column(0);
    const auto it = std::find(names.begin(), names.end(), name);
    return it == names.end() ? -1 : static_cast<int>(it - names.begin());
  }
  std::string CellOf(int row, clip::Category category) const {
    return Cell(row, clip::App().table.position[category]);
  }
};

TEST_F(ModernWindow, TodaysFilesGetRowsWithTheirTagsUnlessSwitchedOff) {
  if (GetFileAttributesA((dir + "\\h264_aac.mp4").c_str()) == INVALID_FILE_ATTRIBUTES)
    GTEST_SKIP() << "no files of today's formats in " << dir;
  commandLine = "\"" + dir + "\"";
  Open();
  EXPECT_GE(Rows(), 14);
  const int mp4 = RowNamed("h264_aac.mp4");
  ASSERT_GE(mp4, 0);
  EXPECT_EQ(CellOf(mp4, clip::MoveInfo), "H.264");
  EXPECT_EQ(CellOf(mp4, clip::AudioInfo), "AAC");
  EXPECT_EQ(CellOf(mp4, clip::Resolusion), "160x120");
  EXPECT_EQ(CellOf(mp4, clip::MovieTitle), "日本語のタイトル");
  EXPECT_EQ(CellOf(mp4, clip::Creater), "山田太郎");
  EXPECT_EQ(CellOf(mp4, clip::Janle), "アニメ");
  const int mov = RowNamed("prores_pcm.mov");
  ASSERT_GE(mov, 0);
  EXPECT_EQ(CellOf(mov, clip::MoveInfo), "ProRes");
  Close();

  ini = "[Customize]\r\nModernFormats=0\r\n";
  Open();
  EXPECT_EQ(Rows(), 0);
}

}  // namespace
}  // namespace wintest
