// Find, duplicates and rescan through the real main window: the keys as the
// message loop routes them, the find bar's controls, the selection and the
// status bar they leave, and rescans of real files changed on disk.
#include "main_window_test.h"

#include "app/main_rules.h"
#include "app/rescan_run.h"
#include "app/window_tools.h"
#include "res/dialogs_res.h"
#include "res/resource.h"

namespace wintest {
namespace {

class Tools : public MainWindowTest {
 protected:
  // A key as the message loop gets it, with Ctrl or Shift held.
  bool Key(HWND to, WPARAM key, int modifier = 0) {
    BYTE keys[256] = {};
    if (modifier) keys[modifier] = 0x80;
    SetKeyboardState(keys);
    MSG msg{to, WM_KEYDOWN, key, 0, 0, {}};
    bool routed = clip::RouteMessage(msg);
    if (!routed) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    keys[modifier] = 0;
    SetKeyboardState(keys);
    Pump();
    return routed;
  }
  HWND Bar() const { return clip::App().findBar; }
  HWND BarText() const { return GetDlgItem(Bar(), IDC_FIND_TEXT); }
  std::string Said() const { return ItemText(Bar(), IDC_FIND_RESULT); }
  void Type(const std::string& text) {
    SendMessageW(BarText(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    for (wchar_t c : clip::Wide(text)) SendMessageW(BarText(), WM_CHAR, c, 0);
  }
  int Focused() const {
    return static_cast<int>(
        SendMessageA(list(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
  }
  std::string Totals(const std::vector<int>& selected) const {
    return clip::SelectionTotalsText(static_cast<int>(selected.size()),
                                     clip::SelectedKB(rows(), clip::App().table, selected));
  }
};

TEST_F(Tools, FindBarFindsAsYouTypeWithF3AndSelectsEveryMatch) {
  Open();
  EXPECT_TRUE(MenuGrayed(IDM_FIND) && MenuGrayed(IDM_DUP_ALL) && MenuGrayed(IDM_RESCAN));
  Key(list(), 'F', VK_CONTROL);
  EXPECT_EQ(Bar(), nullptr);  // nothing to find in an empty list
  const int title = clip::App().table.position[clip::MovieTitle];
  AddRow("intro.avi", {{clip::FileSizeBT, "10,240"}});
  AddRow("ＡＢＣ first.avi", {{clip::FileSizeBT, "1,024,000"}});  // full-width letters
  AddRow("other.mpg", {{clip::FileSizeBT, "20,480"}, {clip::MovieTitle, "かたかな"}});
  AddRow("abc second.mpg", {{clip::FileSizeBT, "2,048,000"}});
  AddRow("ｶﾀｶﾅ.avi", {{clip::FileSizeBT, "30,720"}});  // half-width katakana
  EXPECT_FALSE(MenuGrayed(IDM_FIND) || MenuGrayed(IDM_FIND_NEXT) || MenuGrayed(IDM_DUP_ALL));

  // Ctrl+F through the accelerators opens the bar with the focus in its text.
  ASSERT_TRUE(Key(list(), 'F', VK_CONTROL));
  ASSERT_NE(Bar(), nullptr);
  EXPECT_TRUE(IsWindowVisible(Bar()));
  EXPECT_EQ(GetFocus(), BarText());
  Pump();
  HoldForScreenshot(Bar());

  Type("abc");  // every keystroke finds, from the top: no row is focused
  EXPECT_EQ(Selected(), std::vector<int>{1});
  EXPECT_EQ(Focused(), 1);
  EXPECT_EQ(Said(), "");
  Type("abc ");  // the focused row itself still matches
  EXPECT_EQ(Selected(), std::vector<int>{1});
  ASSERT_TRUE(Key(BarText(), VK_F3));
  EXPECT_EQ(Selected(), std::vector<int>{3});
  ASSERT_TRUE(Key(BarText(), VK_F3));  // past the end: from the top again
  EXPECT_EQ(Selected(), std::vector<int>{1});
  EXPECT_EQ(Said(), "末尾まで検索したので先頭から見つけました");
  ASSERT_TRUE(Key(list(), VK_F3, VK_SHIFT));  // from the list too, backwards
  EXPECT_EQ(Selected(), std::vector<int>{3});

  // Del in the text box edits the text; it deletes no row.
  Key(BarText(), VK_DELETE);
  EXPECT_EQ(Rows(), 5);

  Click(Bar(), IDC_FIND_ALL);
  EXPECT_EQ(Selected(), (std::vector<int>{1, 3}));
  EXPECT_EQ(Status(0), Totals({1, 3}));
  EXPECT_EQ(Status(0).rfind("2ﾌｧｲﾙ選択 3,000KB", 0), 0u) << Status(0);
  EXPECT_EQ(Said(), "2行を選択しました");

  Type("zzz");
  EXPECT_EQ(Said(), "見つかりません");
  EXPECT_EQ(Selected(), (std::vector<int>{1, 3}));  // what was found stays

  // Hiragana find katakana only when asked; one column only when chosen.
  Type("かたかな");
  EXPECT_EQ(Selected(), std::vector<int>{2});
  CheckDlgButton(Bar(), IDC_FIND_KANA, BST_CHECKED);
  Click(Bar(), IDC_FIND_NEXT);
  EXPECT_EQ(Selected(), std::vector<int>{4});
  SendDlgItemMessageW(Bar(), IDC_FIND_COLUMN, CB_SETCURSEL, 1 + title, 0);
  Click(Bar(), IDC_FIND_ALL);
  EXPECT_EQ(Selected(), std::vector<int>{2});

  // Esc closes the bar; F3 then looks again for what it last found.
  EXPECT_TRUE(Key(BarText(), VK_ESCAPE));
  EXPECT_EQ(Bar(), nullptr);
  Select({});
  Command(IDM_FIND_NEXT);
  EXPECT_EQ(Selected(), std::vector<int>{2});
  Command(IDM_FIND);  // and it opens again on the same query
  EXPECT_EQ(ItemText(Bar(), IDC_FIND_TEXT), "かたかな");
  EXPECT_TRUE(Checked(Bar(), IDC_FIND_KANA));
}

TEST_F(Tools, DuplicatesSelectEveryTwinOrAllButOne) {
  Open();
  const auto add = [&](const std::string& name, const char* bytes, const char* folder) {
    AddRow(name, {{clip::FileSizeBT, bytes}, {clip::DirPath, folder}});
  };
  add("movie.avi", "1,000", "C:\\a");
  add("other.avi", "5,000", "C:\\a");
  add("MOVIE.avi", "1,000", "C:\\b");  // a copy under another case
  add("movie.avi", "1,001", "C:\\c");  // another file of the same name
  add("ｅｐ.mpg", "700", "C:\\a");
  add("ep.mpg", "700", "D:\\");
  add("ep.mpg", "700", "E:\\");
  Command(IDM_DUP_ALL);
  EXPECT_EQ(Selected(), (std::vector<int>{0, 2, 4, 5, 6}));
  EXPECT_EQ(Status(0), Totals({0, 2, 4, 5, 6}));
  EXPECT_EQ(Focused(), 0);
  // One of each set stays out: deleting the rest keeps one copy.
  Command(IDM_DUP_BUT_ONE);
  EXPECT_EQ(Selected(), (std::vector<int>{2, 5, 6}));
  EXPECT_EQ(Status(0), Totals({2, 5, 6}));
  Command(IDM_DELETE);
  Command(IDM_DUP_ALL);
  EXPECT_TRUE(Selected().empty());
  EXPECT_EQ(Status(0), clip::kNoDuplicatesText);
}

class Rescan : public Tools {
 protected:
  // movies\a.avi, movies\b.mpg, movies\sub\c.avi, movies\sub\d.rm
  std::string movies;
  void OpenOnMovies(const std::string& settings = "") {
    movies = files / "movies";
    MakeFolder(movies);
    MakeFolder(movies + "\\sub");
    ASSERT_TRUE(CopySample("xvid_mp3.avi", movies + "\\a.avi"));
    ASSERT_TRUE(CopySample("mpeg1.mpg", movies + "\\b.mpg"));
    ASSERT_TRUE(CopySample("titled.avi", movies + "\\sub\\c.avi"));
    ASSERT_TRUE(CopySample("real.rm", movies + "\\sub\\d.rm"));
    ini = settings;
    commandLine = movies;
    Open();
    ASSERT_EQ(Rows(), 4);
  }
  // Runs the command and returns the one message it ends with.
  std::string RescanMessage(int command = IDM_RESCAN) {
    BoxAnswerer answer(IDOK);
    Command(command);
    const auto seen = answer.Seen();
    if (seen.size() != 1) return "boxes: " + std::to_string(seen.size());
    EXPECT_EQ(seen[0].caption, clip::kRescanCaption);
    return seen[0].text;
  }
  static std::string Summary(int kept, int updated, int added, int gone) {
    clip::RescanOutcome o;
    o.kept = kept, o.updated = updated, o.added = added, o.gone = gone;
    return clip::RescanSummaryText(o);
  }
};

TEST_F(Rescan, KeepsTypedCellsUpdatesChangedFilesAddsNewOnesAndSelectsTheGone) {
  OpenOnMovies();
  const clip::CategoryTable& table = clip::App().table;
  const int title = table.position[clip::MovieTitle], bytes = table.position[clip::FileSizeBT];
  const int genre = table.position[clip::Janle], video = table.position[clip::MoveInfo];
  ASSERT_EQ(Column(0), (std::vector<std::string>{"a.avi", "b.mpg", "c.avi", "d.rm"}));
  rows().SetCell(0, title, "typed a");
  rows().SetCell(1, title, "typed b");
  rows().SetCell(1, genre, "ｱﾆﾒ");
  const std::string oldBytes = Cell(1, bytes), oldVideo = Cell(1, video);
  // b.mpg becomes another movie, sub\e.avi is new, sub\d.rm is gone.
  ASSERT_TRUE(CopySample("xvid_mp3.avi", movies + "\\b.mpg"));
  ASSERT_TRUE(CopySample("xvid_mp3.avi", movies + "\\sub\\e.avi"));
  ASSERT_TRUE(DeleteFileA((movies + "\\sub\\d.rm").c_str()));
  EXPECT_EQ(RescanMessage(), Summary(2, 1, 1, 1));
  ASSERT_EQ(Column(0), (std::vector<std::string>{"a.avi", "b.mpg", "c.avi", "d.rm", "e.avi"}));
  EXPECT_EQ(Cell(0, title), "typed a");
  EXPECT_EQ(Cell(1, title), "typed b");
  EXPECT_EQ(Cell(1, genre), "ｱﾆﾒ");
  EXPECT_EQ(Cell(1, bytes), Cell(0, bytes));  // now the same file as a.avi
  EXPECT_NE(Cell(1, bytes), oldBytes);
  EXPECT_NE(Cell(1, video), oldVideo);
  EXPECT_EQ(Cell(4, bytes), Cell(0, bytes));
  EXPECT_EQ(Cell(4, table.position[clip::DirPath]), movies + "\\sub");
  EXPECT_EQ(Selected(), std::vector<int>{3});  // the gone row, not deleted
  EXPECT_EQ(Status(0), Totals({3}));

  // Nothing changed since: everything is kept, and the gone row is still gone.
  EXPECT_EQ(RescanMessage(), Summary(4, 0, 0, 1));
  // A folder picked by the user: only its rows are looked at.
  ASSERT_TRUE(CopySample("mpeg1.mpg", movies + "\\sub\\f.mpg"));
  ASSERT_TRUE(CopySample("mpeg1.mpg", movies + "\\g.mpg"));
  clip::App().chooseRescanFolder = [&](HWND) {
    return std::optional<std::string>(movies + "\\sub");
  };
  EXPECT_EQ(RescanMessage(IDM_RESCAN_FOLDER), Summary(2, 0, 1, 1));
  EXPECT_EQ(Rows(), 6);
  EXPECT_EQ(Cell(5, 0), "f.mpg");
}

TEST_F(Rescan, AVolumeWithAnotherLabelIsSkippedAndSaidSo) {
  OpenOnMovies();
  const int label = clip::App().table.position[clip::VolLabel];
  // Rows of another disc that was read in the same drive.
  for (int r = 0; r < Rows(); ++r) rows().SetCell(r, label, "OTHER DISC");
  ASSERT_TRUE(DeleteFileA((movies + "\\a.avi").c_str()));
  EXPECT_EQ(RescanMessage(), Summary(0, 0, 0, 0));
  EXPECT_TRUE(Selected().empty());
  const std::string root = clip::RescanRoot(movies);
  EXPECT_NE(Status(0).find(clip::SkippedVolumesText({root + " (OTHER DISC)"})), std::string::npos)
      << Status(0);
  EXPECT_EQ(Rows(), 4);
}

TEST_F(Rescan, WithoutTheFolderColumnItSaysWhy) {
  OpenOnMovies("[Customize]\r\nDirPath=0\r\n");
  EXPECT_EQ(RescanMessage(), clip::kRescanNeedsFolderText);
  EXPECT_EQ(Rows(), 4);
}

}  // namespace
}  // namespace wintest
