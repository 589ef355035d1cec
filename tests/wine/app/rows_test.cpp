// Rows in the list: selection totals, cut, copy, paste and delete, check
// boxes, the context menu, header clicks and column widths.
#include "catalogue/size_cells.h"
#include "main_window_test.h"

#include <algorithm>

#include "base/text.h"
#include "res/resource.h"

namespace wintest {
namespace {

class Rows : public MainWindowTest {
 protected:
  // Five movies named r0.mpg .. r4.mpg of growing size, sorted by name.
  void OpenWithFiveRows() {
    std::string dir = files / "five";
    CreateDirectoryA(dir.c_str(), nullptr);
    const char* samples[] = {"real.rm", "mpeg1.mpg", "titled.avi", "xvid_mp3.avi",
                             "sub\\video_only.avi"};
    for (int i = 0; i < 5; ++i) CopySample(samples[i], dir + "\\r" + std::to_string(i) + ".mpg");
    commandLine = dir;
    Open();
    ASSERT_EQ(MainWindowTest::Rows(), 5);
    HeaderClick(0);
    ASSERT_EQ(Cell(0, 0), "r0.mpg");
  }
  std::string Names() const {
    std::string s;
    for (const auto& n : Column(0)) s += n.substr(1, 1);
    return s;
  }
  void RightClickList() {
    NMITEMACTIVATE nm{};
    nm.hdr.hwndFrom = list();
    nm.hdr.idFrom = IDC_CATALOGUE_LIST;
    nm.hdr.code = NM_RCLICK;
    nm.iItem = -1;
    // The context menu is modal: close it from another thread.
    std::atomic<bool> done{false};
    std::thread closer([&] {
      for (int i = 0; i < 500 && !done; ++i) {
        HWND menu = FindWindowA("#32768", nullptr);
        if (menu && IsWindowVisible(menu)) {
          PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
          PostMessageA(main(), WM_CANCELMODE, 0, 0);
        }
        Sleep(20);
      }
    });
    SendMessageA(main(), WM_NOTIFY, IDC_CATALOGUE_LIST, reinterpret_cast<LPARAM>(&nm));
    done = true;
    closer.join();
  }
  void KeyDown(WORD key) {
    NMLVKEYDOWN nm{};
    nm.hdr.hwndFrom = list();
    nm.hdr.idFrom = IDC_CATALOGUE_LIST;
    nm.hdr.code = LVN_KEYDOWN;
    nm.wVKey = key;
    SendMessageA(main(), WM_NOTIFY, IDC_CATALOGUE_LIST, reinterpret_cast<LPARAM>(&nm));
  }
  void Focus(int row) {
    LVITEMA item{};
    item.stateMask = item.state = LVIS_FOCUSED;
    SendMessageA(list(), LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&item));
  }
  bool Checked(int row) const {
    return (SendMessageA(list(), LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK) &
            LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);
  }
  int ColumnWidth(int column) const {
    return static_cast<int>(
        SendMessageA(list(), LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
  }
  void ExpectRowActions(bool enabled) {
    for (int id : {IDM_LISTEDIT, IDM_CUT, IDM_COPY, IDM_DELETE, IDM_PLAY})
      EXPECT_EQ(MenuGrayed(id), !enabled) << id;
  }
};

TEST_F(Rows, ClickShowsTheSelectionTotalsOrTheSavedTotals) {
  OpenWithFiveRows();
  std::string saved = clip::App().savedTotalsText;
  ASSERT_EQ(Status(0), saved);
  Select({1, 3, 4});
  ClickList();
  std::int64_t kb = 0;
  for (int r : {1, 3, 4}) kb += clip::RowSizeKB(rows(), clip::App().table, r);
  char expected[128];
  std::snprintf(expected, sizeof expected, "3ﾌｧｲﾙ選択 %sKB(%.1fMB)",
                clip::GroupThousands(std::to_string(kb)).c_str(), kb / 1024.0);
  EXPECT_EQ(Status(0), expected);
  ExpectRowActions(true);
  // No row is checked: the check actions are grayed.
  EXPECT_TRUE(MenuGrayed(IDM_WRITEINFO));
  EXPECT_TRUE(MenuGrayed(IDM_CLEARCHECKS));
  Select({2});
  ClickList();
  EXPECT_EQ(Status(0), saved);
  ExpectRowActions(true);
  Select({});
  ClickList();
  EXPECT_EQ(Status(0), saved);
  ExpectRowActions(false);
}

TEST_F(Rows, CopyAndPasteInsertBelowTheFirstSelectedRow) {
  OpenWithFiveRows();
  Command(IDM_PASTE);  // nothing selected: nothing happens
  EXPECT_EQ(MainWindowTest::Rows(), 5);
  Select({3});
  Command(IDM_COPY);
  std::vector<std::string> copied;
  for (int c = 0; c <= 16; ++c) copied.push_back(Cell(3, c));
  Select({1, 2});
  Focus(2);
  Command(IDM_PASTE);
  ASSERT_EQ(MainWindowTest::Rows(), 6);
  EXPECT_EQ(Names(), "013234");
  for (int c = 0; c <= 16; ++c) EXPECT_EQ(Cell(2, c), copied[c]) << c;
  EXPECT_EQ(rows().Tag(2), 2);
  // The selected rows stay selected: old row 2 is now row 3.
  EXPECT_EQ(Selected(), (std::vector<int>{1, 3}));
  EXPECT_EQ(SendMessageA(list(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED), 3);
  EXPECT_EQ(Status(0), clip::App().savedTotalsText);
  EXPECT_NE(Status(0).find("6"), std::string::npos);
}

TEST_F(Rows, CutTakesEverySelectedRowAndKeepsTheLast) {
  OpenWithFiveRows();
  Select({0, 2, 4});
  Command(IDM_CUT);
  EXPECT_EQ(Names(), "13");
  EXPECT_TRUE(Selected().empty());
  EXPECT_EQ(clip::App().clipboard.slots[0], "r4.mpg");
  Select({0});
  Command(IDM_PASTE);
  EXPECT_EQ(Names(), "143");
  Command(IDM_CUT);  // row 0 selected: cut it
  Command(IDM_CUT);  // nothing selected: nothing happens
  EXPECT_EQ(Names(), "43");
  EXPECT_EQ(clip::App().clipboard.slots[0], "r1.mpg");
}

TEST_F(Rows, DeleteRemovesTheSelectedRowsAndRewritesTheTotals) {
  OpenWithFiveRows();
  std::string before = clip::App().savedTotalsText;
  Select({1, 3});
  Command(IDM_DELETE);
  EXPECT_EQ(Names(), "024");
  EXPECT_TRUE(Selected().empty());
  EXPECT_NE(clip::App().savedTotalsText, before);
  EXPECT_EQ(Status(0), clip::App().savedTotalsText);
  EXPECT_EQ(clip::App().clipboard.slots[0], "");
}

TEST_F(Rows, CheckBoxesLiveInTheModelAndDriveTheCheckActions) {
  OpenWithFiveRows();
  EXPECT_FALSE(Checked(1));
  Focus(1);
  KeyDown(VK_SPACE);
  EXPECT_TRUE(rows().Checked(1));
  EXPECT_TRUE(Checked(1));
  ClickList();
  EXPECT_FALSE(MenuGrayed(IDM_WRITEINFO));
  EXPECT_FALSE(MenuGrayed(IDM_CLEARCHECKS));
  // The check box goes with its row when sorting.
  HeaderClick(0);  // descending: r4 r3 r2 r1 r0
  EXPECT_TRUE(rows().Checked(3));
  EXPECT_TRUE(Checked(3));
  Command(IDM_CLEARCHECKS);
  EXPECT_FALSE(rows().AnyChecked());
  EXPECT_FALSE(Checked(3));
  ClickList();
  EXPECT_TRUE(MenuGrayed(IDM_WRITEINFO));
  EXPECT_TRUE(MenuGrayed(IDM_CLEARCHECKS));
}

TEST_F(Rows, ClickOnTheCheckBoxTogglesIt) {
  OpenWithFiveRows();
  MoveWindow(main(), 0, 0, 800, 400, TRUE);
  Pump();
  RECT item{};
  item.left = LVIR_BOUNDS;
  ASSERT_TRUE(SendMessageA(list(), LVM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&item)));
  // The state image sits at the very left of the row.
  LVHITTESTINFO hit{};
  for (int x = item.left; x < item.left + 20 && !(hit.flags & LVHT_ONITEMSTATEICON); ++x) {
    hit = LVHITTESTINFO{};
    hit.pt = POINT{x, (item.top + item.bottom) / 2};
    SendMessageA(list(), LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  }
  ASSERT_TRUE(hit.flags & LVHT_ONITEMSTATEICON);
  LPARAM at = MAKELPARAM(hit.pt.x, hit.pt.y);
  SendMessageA(list(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageA(list(), WM_LBUTTONUP, 0, at);
  Pump();
  EXPECT_TRUE(rows().Checked(2));
  int checkedRows = 0;
  for (int r = 0; r < rows().Count(); ++r) checkedRows += rows().Checked(r);
  EXPECT_EQ(checkedRows, 1);
  EXPECT_FALSE(MenuGrayed(IDM_WRITEINFO));
  SendMessageA(list(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageA(list(), WM_LBUTTONUP, 0, at);
  Pump();
  EXPECT_FALSE(rows().Checked(2));
  // The space key toggles the focused row once.
  Focus(4);
  SendMessageA(list(), WM_KEYDOWN, VK_SPACE, 0);
  SendMessageA(list(), WM_KEYUP, VK_SPACE, 0);
  Pump();
  EXPECT_TRUE(rows().Checked(4));
  EXPECT_FALSE(rows().Checked(2));
}

TEST_F(Rows, ContextMenuSetsTheMainMenuStates) {
  Open();
  RightClickList();
  ExpectRowActions(false);
  // An empty list leaves the check actions alone.
  EXPECT_TRUE(MenuGrayed(IDM_WRITEINFO));
  Close();
  OpenWithFiveRows();
  rows().SetChecked(4, true);
  Select({2});
  RightClickList();
  ExpectRowActions(true);
  EXPECT_FALSE(MenuGrayed(IDM_WRITEINFO));
  EXPECT_FALSE(MenuGrayed(IDM_CLEARCHECKS));
  Select({});
  rows().SetChecked(4, false);
  RightClickList();
  ExpectRowActions(false);
  EXPECT_TRUE(MenuGrayed(IDM_WRITEINFO));
}

TEST_F(Rows, HeaderClicksSortBothWaysAndTheSelectionFollows) {
  OpenWithFiveRows();
  Select({1});
  Focus(1);
  HeaderClick(0);  // second click on the name column: descending
  EXPECT_EQ(Names(), "43210");
  EXPECT_EQ(Selected(), std::vector<int>{3});
  EXPECT_EQ(SendMessageA(list(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED), 3);
  // The byte-size column: smallest first on the first click.
  HeaderClick(1);
  std::vector<std::int64_t> sizes;
  for (const auto& s : Column(1)) sizes.push_back(clip::ParseGroupedNumber(s));
  EXPECT_TRUE(std::is_sorted(sizes.begin(), sizes.end()));
  EXPECT_EQ(Names(), "04123");  // by size: 2784, 7288, 8192, 15054, 16842 bytes
  HeaderClick(1);
  EXPECT_EQ(Names(), "32140");
  EXPECT_EQ(Cell(Selected().at(0), 0), "r1.mpg");
}

TEST_F(Rows, ExtensionModeSortsTheNameColumnByItsEnding) {
  std::string dir = files / "mixed";
  CreateDirectoryA(dir.c_str(), nullptr);
  CopySample("mpeg1.mpg", dir + "\\a.mpg");
  CopySample("real.rm", dir + "\\b.rm");
  CopySample("titled.avi", dir + "\\c.AVI");
  commandLine = dir;
  Open();
  Command(IDM_SORT_EXT);
  HeaderClick(0);
  EXPECT_EQ(Column(0), (std::vector<std::string>{"b.rm", "c.AVI", "a.mpg"}));
  Command(IDM_SORT_NAME);
  HeaderClick(0);  // second click: descending, by whole name again
  EXPECT_EQ(Column(0), (std::vector<std::string>{"c.AVI", "b.rm", "a.mpg"}));
}

TEST_F(Rows, TheLastColumnAndALoneColumnCanBeFitted) {
  OpenWithFiveRows();  // every category on: the volume label is the last column
  const int last = clip::App().table.columnCount;
  ASSERT_EQ(clip::App().table.position[clip::VolLabel], last);
  for (int r = 0; r < 5; ++r) rows().SetCell(r, last, "");
  Command(IDM_FIT_VOLLABEL);
  EXPECT_LT(ColumnWidth(last), 30);
  rows().SetCell(0, last, std::string(60, 'W'));
  Command(IDM_FIT_ALL);
  EXPECT_GT(ColumnWidth(last), 200);
  Close();

  // With every category off the file name is the only column.
  ini = "[Customize]\r\n";
  for (int k = 1; k < clip::kCategoryCount; ++k)
    ini += std::string(clip::kCategories[k].key) + "=0\r\n";
  Open();
  ASSERT_EQ(clip::App().table.columnCount, 0);
  clip::App().rows.Insert(0, std::string(80, 'W'), 0);
  clip::SyncRowCount();
  Command(IDM_FIT_FILENAME);
  EXPECT_GT(ColumnWidth(0), 300);
}

TEST_F(Rows, FittingWidthsMeasuresTheTexts) {
  OpenWithFiveRows();
  const clip::CategoryTable& table = clip::App().table;
  int comment = table.position[clip::Comment];
  int dir = table.position[clip::DirPath];
  ASSERT_EQ(ColumnWidth(comment), 400);
  for (int r = 0; r < 5; ++r) rows().SetCell(r, comment, "");
  Command(IDM_FIT_COMMENT);
  int fitted = ColumnWidth(comment);
  EXPECT_LT(fitted, 30);  // empty cells: the margin alone, as LVSCW_AUTOSIZE
  EXPECT_GT(fitted, 0);
  rows().SetCell(1, comment, "a fairly long comment of forty-odd chars");
  Command(IDM_FIT_COMMENT);
  EXPECT_GT(ColumnWidth(comment), 150);
  rows().SetCell(0, dir, std::string(120, 'W'));
  Command(IDM_FIT_ALL);
  EXPECT_GT(ColumnWidth(dir), 300);
  EXPECT_GT(ColumnWidth(0), 20);
  rows().SetCell(0, dir, "C:");
  Command(IDM_FIT_DIRPATH);
  EXPECT_LT(ColumnWidth(dir), 300);

  // The fitted width is the widest text as the list's font draws it, for
  // full-width, half-width and ASCII characters alike.
  const std::string mixed = "タイトル ﾀｲﾄﾙ Title ソ表示";
  rows().SetCell(2, comment, mixed);
  rows().SetCell(1, comment, "");
  rows().SetCell(3, comment, "short");
  Command(IDM_FIT_COMMENT);
  HDC dc = GetDC(list());
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(list(), WM_GETFONT, 0, 0)));
  SIZE size{};
  const std::wstring wide = clip::Wide(mixed);
  GetTextExtentPoint32W(dc, wide.data(), static_cast<int>(wide.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(list(), dc);
  EXPECT_EQ(ColumnWidth(comment), size.cx + 12);
}

TEST_F(Rows, DoubleClickOpensTheEditDialogOnlyWithASelection) {
  OpenWithFiveRows();
  NMITEMACTIVATE nm{};
  nm.hdr.hwndFrom = list();
  nm.hdr.idFrom = IDC_CATALOGUE_LIST;
  nm.hdr.code = NM_DBLCLK;
  nm.iItem = -1;
  {
    BoxAnswerer answer(IDCANCEL);
    SendMessageA(main(), WM_NOTIFY, IDC_CATALOGUE_LIST, reinterpret_cast<LPARAM>(&nm));
    EXPECT_TRUE(answer.Seen().empty());
  }
  Select({2});
  {
    BoxAnswerer answer(IDCANCEL);
    SendMessageA(main(), WM_NOTIFY, IDC_CATALOGUE_LIST, reinterpret_cast<LPARAM>(&nm));
  }
  EXPECT_EQ(MainWindowTest::Rows(), 5);
}

TEST_F(Rows, TypingJumpsToTheNextMatchingName) {
  OpenWithFiveRows();
  NMLVFINDITEMW find{};
  find.hdr.hwndFrom = list();
  find.hdr.idFrom = IDC_CATALOGUE_LIST;
  find.hdr.code = LVN_ODFINDITEMW;
  find.iStart = 1;
  find.lvfi.flags = LVFI_STRING | LVFI_PARTIAL | LVFI_WRAP;
  find.lvfi.psz = L"R3";
  EXPECT_EQ(SendMessageW(main(), WM_NOTIFY, IDC_CATALOGUE_LIST, reinterpret_cast<LPARAM>(&find)),
            3);
  find.lvfi.psz = L"zz";
  EXPECT_EQ(SendMessageW(main(), WM_NOTIFY, IDC_CATALOGUE_LIST, reinterpret_cast<LPARAM>(&find)),
            -1);
}

}  // namespace
}  // namespace wintest
