// Today's containers through the real window: with their switch on (the
// default) a scan gives them rows with the parsers' cells and their own
// tags; with it off only the AVI, MPG and RM names are added.
#include "main_window_test.h"

#include <algorithm>

#include "res/dialogs_res.h"
#include "res/resource.h"

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

// The track columns turned on in the Customize dialog show after the next
// start, sort by their numbers and are searched by find.
TEST_F(ModernWindow, TrackColumnsTurnedOnSortAndFindALanguage) {
  const std::string tracks = CLIP_TRACKS_DIR_WIN;
  if (GetFileAttributesA((tracks + "\\tracks_pq.mkv").c_str()) == INVALID_FILE_ATTRIBUTES)
    GTEST_SKIP() << "no files with several tracks in " << tracks;
  Open();
  WithDialog(
      "動作設定", [this] { Command(IDM_CUSTOMIZE); },
      [](HWND dlg, DWORD) {
        for (int id = IDC_CUST_AUDIOTRACKS; id <= IDC_CUST_STATUS; ++id)
          SendMessageW(GetDlgItem(dlg, id), BM_SETCHECK, BST_CHECKED, 0);
        Click(dlg, IDOK);
      });
  Close();
  ini.clear();  // the file as the dialog wrote it
  commandLine = "\"" + tracks + "\"";
  Open(true);
  const int mkv = RowNamed("tracks_pq.mkv"), webm = RowNamed("tracks_opus.webm");
  ASSERT_GE(mkv, 0);
  ASSERT_GE(webm, 0);
  EXPECT_EQ(CellOf(mkv, clip::AudioTracks), "3: jpn, eng, und");
  EXPECT_EQ(CellOf(mkv, clip::Subtitles), "3: jpn, eng, eng(強制)");
  EXPECT_EQ(CellOf(mkv, clip::Channels), "5.1");
  EXPECT_EQ(CellOf(mkv, clip::VideoBits), "10bit HDR10");
  EXPECT_EQ(CellOf(mkv, clip::Chapters), "3");
  EXPECT_EQ(CellOf(mkv, clip::Status), "");
  EXPECT_EQ(CellOf(webm, clip::AudioTracks), "2: fre, und");

  // Sorted by the audio track count, then back the other way.
  const int column = clip::App().table.position[clip::AudioTracks];
  HeaderClick(column);
  std::vector<int> counts;
  for (const std::string& cell : Column(column)) counts.push_back(std::atoi(cell.c_str()));
  EXPECT_TRUE(std::is_sorted(counts.begin(), counts.end()));
  EXPECT_EQ(counts.back(), 3);

  // Find every row with a Japanese track, in the audio track column alone.
  Command(IDM_FIND);
  HWND bar = clip::App().findBar;
  ASSERT_NE(bar, nullptr);
  SetText(bar, IDC_FIND_TEXT, "jpn");
  SendDlgItemMessageW(bar, IDC_FIND_COLUMN, CB_SETCURSEL, 1 + column, 0);
  Click(bar, IDC_FIND_ALL);
  std::vector<int> expected;
  const auto cells = Column(column);
  for (int i = 0; i < static_cast<int>(cells.size()); ++i)
    if (cells[static_cast<std::size_t>(i)].find("jpn") != std::string::npos) expected.push_back(i);
  EXPECT_GE(expected.size(), 1u);
  EXPECT_EQ(Selected(), expected);
  HoldForScreenshot(main());
}

}  // namespace
}  // namespace wintest
