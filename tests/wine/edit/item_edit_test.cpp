// The item edit dialog on the first selected row of the real list.
#include "main_window_test.h"

#include "res/resource.h"
#include "res/dialogs_res.h"

namespace wintest {
namespace {

using clip::App;

class ItemEdit : public MainWindowTest {
 protected:
  void Show(const std::string& caption, const std::function<void(HWND, DWORD)>& drive) {
    WithDialog(
        caption, [this] { Command(IDM_LISTEDIT); }, drive);
  }
  std::string Cell(int row, int k) { return App().rows.Cell(row, App().table.position[k]); }
  void Rows() {
    AddRow("first.avi", {{clip::MovieTitle, "one"}});
    AddRow("sample01.avi", {{clip::DirPath, "D:\\Movies"},
                            {clip::FileSizeKB, "1,234KB"},
                            {clip::FileSizeMB, "1.21MB"},
                            {clip::MoveInfo, "DivX"},
                            {clip::VideoRate, "280"},
                            {clip::AudioInfo, "MP3"},
                            {clip::AudioRate, "56kbit/22khz"},
                            {clip::Resolusion, "320x240"},
                            {clip::FlameRate, "15"},
                            {clip::PlayTime, "23:36"},
                            {clip::MovieTitle, "Title"},
                            {clip::Creater, "Maker"},
                            {clip::Comment, "Note"}});
    AddRow("third.avi", {{clip::MovieTitle, "three"}});
  }
};

TEST_F(ItemEdit, ANameInAnyScriptShowsAndATitleInAnyScriptIsKept) {
  Open();
  AddRow("한국영화.avi", {{clip::DirPath, "D:\\Café"}});
  Select({0});
  Show("한국영화のｴﾃﾞｨｯﾄ", [&](HWND dlg, DWORD) {
    EXPECT_EQ(ItemText(dlg, IDC_EDIT_FILENAME), "한국영화.avi");
    EXPECT_EQ(ItemText(dlg, IDC_EDIT_FOLDER), "D:\\Café");
    SetText(dlg, IDC_EDIT_TITLE, "제목 😀");
    Click(dlg, IDOK);
  });
  EXPECT_EQ(Cell(0, clip::MovieTitle), "제목 😀");
}

TEST_F(ItemEdit, ShowsTheFirstSelectedRowAndWritesItBack) {
  Open();
  Rows();
  Select({1, 2});
  Show("sample01のｴﾃﾞｨｯﾄ", [&](HWND dlg, DWORD) {
    EXPECT_EQ(ItemText(dlg, IDC_EDIT_FILENAME), "sample01.avi");
    EXPECT_EQ(ItemText(dlg, IDC_EDIT_FOLDER), "D:\\Movies");
    EXPECT_EQ(ItemText(dlg, IDC_EDIT_SIZE), "1,234KBKB/1.21MBMB");
    EXPECT_EQ(ItemText(dlg, IDC_EDIT_INFO1), "DivX(280kbit)/MP3(56kbit/22khz)");
    EXPECT_EQ(ItemText(dlg, IDC_EDIT_INFO2), "Rezolution 320x240/Frame 15fps/Time 23:36");
    EXPECT_EQ(ItemText(dlg, IDC_EDIT_TITLE), "Title");
    EXPECT_EQ(ItemText(dlg, IDC_EDIT_CREATOR), "Maker");
    EXPECT_EQ(ItemText(dlg, IDC_EDIT_COMMENT), "Note");
    // An empty genre shows the first entry of the eleven.
    EXPECT_EQ(ItemText(dlg, IDC_EDIT_GENRE), "アニメ");
    EXPECT_EQ(SendDlgItemMessageA(dlg, IDC_EDIT_GENRE, CB_GETCOUNT, 0, 0), 11);
    SetText(dlg, IDC_EDIT_TITLE, "新しいタイトル");
    Click(dlg, IDOK);
  });
  EXPECT_EQ(Cell(1, clip::MovieTitle), "新しいタイトル");
  EXPECT_EQ(Cell(1, clip::Janle), "アニメ");
  EXPECT_EQ(Cell(1, clip::Creater), "Maker");
  EXPECT_TRUE(App().rows.Checked(1));
  EXPECT_FALSE(App().rows.Checked(2));  // only the first selected row
  EXPECT_EQ(Cell(2, clip::MovieTitle), "three");
}

TEST_F(ItemEdit, ClearingEverythingLeavesAnEmptyRowUnchecked) {
  Open();
  AddRow("clip.rm", {});
  Select({0});
  Show("cliのｴﾃﾞｨｯﾄ", [&](HWND dlg, DWORD) {
    Click(dlg, IDC_EDIT_CLEAR);
    EXPECT_EQ(ItemText(dlg, IDC_EDIT_GENRE), "");
    EXPECT_TRUE(IsWindow(dlg));
    Click(dlg, IDOK);
  });
  EXPECT_EQ(Cell(0, clip::Janle), "");
  EXPECT_FALSE(App().rows.Checked(0));
}

TEST_F(ItemEdit, CancelChangesNothingAndACheckIsNeverTakenAway) {
  Open();
  Rows();
  App().rows.SetChecked(1, true);
  Select({1});
  Show("sample01のｴﾃﾞｨｯﾄ", [&](HWND dlg, DWORD) {
    SetText(dlg, IDC_EDIT_COMMENT, "changed");
    Click(dlg, IDCANCEL);
  });
  EXPECT_EQ(Cell(1, clip::Comment), "Note");
  App().rows.SetCell(1, App().table.position[clip::Janle], "自作");
  Show("sample01のｴﾃﾞｨｯﾄ", [&](HWND dlg, DWORD) {
    EXPECT_EQ(ItemText(dlg, IDC_EDIT_GENRE), "自作");  // any genre text, not only the list's
    Click(dlg, IDOK);
  });
  EXPECT_TRUE(App().rows.Checked(1));
  EXPECT_EQ(Cell(1, clip::Janle), "自作");
}

TEST_F(ItemEdit, HiddenCategoriesDisableTheirFields) {
  ini = "[Customize]\r\nMovieTitle=0\r\nJanle=0\r\nFileSizeKB=0\r\n";
  Open();
  AddRow("a.avi", {{clip::Creater, "c"}});
  Select({0});
  Show("aのｴﾃﾞｨｯﾄ", [&](HWND dlg, DWORD) {
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dlg, IDC_EDIT_TITLE)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dlg, IDC_EDIT_GENRE)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dlg, IDC_EDIT_CREATOR)));
    EXPECT_EQ(ItemText(dlg, IDC_EDIT_SIZE).substr(0, 8), "None KB/");
    SetText(dlg, IDC_EDIT_CREATOR, "c2");
    Click(dlg, IDOK);
  });
  EXPECT_EQ(Cell(0, clip::Creater), "c2");
  EXPECT_EQ(App().rows.Cell(0, 0), "a.avi");
  EXPECT_TRUE(App().rows.Checked(0));
}

TEST_F(ItemEdit, LongTextsAreCutToTheLines) {
  Open();
  AddRow("long.avi", {{clip::MoveInfo, std::string(60, 'V')}, {clip::AudioInfo, "音声形式名前"}});
  Select({0});
  Show("longのｴﾃﾞｨｯﾄ", [&](HWND dlg, DWORD) {
    const std::string line = ItemText(dlg, IDC_EDIT_INFO1);
    EXPECT_LE(line.size(), 63u);
    EXPECT_EQ(line.substr(0, 60), std::string(60, 'V'));
    Click(dlg, IDCANCEL);
  });
}

}  // namespace
}  // namespace wintest
