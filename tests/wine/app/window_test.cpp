// The main window as it comes up: resources, bars, list, layout, and the
// window state kept in dodedaru.ini.
#include "main_window_test.h"

#include "app/bars_win.h"
#include "app/scan_session_win.h"
#include "res/resource.h"

namespace wintest {
namespace {

using Window = MainWindowTest;

TEST_F(Window, StartsWithTheResourceMenuStatesAndDisabledFileButtons) {
  Open();
  EXPECT_EQ(Caption(), "Clipledger - <NewFile.csv>");
  for (int id : {IDM_SAVEAS, IDM_SAVE, IDM_LISTEDIT, IDM_CUT, IDM_COPY, IDM_DELETE, IDM_WRITEINFO,
                 IDM_CLEARCHECKS, IDM_PLAY, IDM_FIND, IDM_FIND_NEXT, IDM_DUP_ALL, IDM_RESCAN})
    EXPECT_TRUE(MenuGrayed(id)) << id;
  for (int id : {IDM_NEW, IDM_OPEN, IDM_EXIT, IDM_SCAN, IDM_AUTOSCAN, IDM_PASTE, IDM_VERSION})
    EXPECT_FALSE(MenuGrayed(id)) << id;
  for (int id : {IDM_SORT_NAME, IDM_TOOLBAR, IDM_STATUSBAR, IDM_GRIDLINE, IDM_ENDSET})
    EXPECT_TRUE(MenuChecked(id)) << id;
  EXPECT_FALSE(MenuChecked(IDM_SORT_EXT));
  for (int id : {IDM_SAVEAS, IDM_CUT, IDM_COPY})
    EXPECT_EQ(ToolbarState(id), TBSTATE_INDETERMINATE) << id;
  for (int id : {IDM_NEW, IDM_OPEN, IDM_SCAN, IDM_PASTE})
    EXPECT_EQ(ToolbarState(id), TBSTATE_ENABLED) << id;
  EXPECT_EQ(Status(0), "Non Scanning...");
  EXPECT_EQ(Status(1), "DiskMax: Non Scan");
  EXPECT_EQ(Status(2), "DiskFree: Non Scan");
  EXPECT_EQ(Status(3), "Per:Non");
}

std::string MenuText(HMENU menu, UINT item, UINT flags) {
  wchar_t text[128] = {};
  GetMenuStringW(menu, item, text, 128, flags);
  return clip::Narrow(text);
}

TEST_F(Window, MenuTextsCarryTheirShortcutsAfterATab) {
  Open();
  EXPECT_EQ(MenuText(GetMenu(main()), IDM_NEW, MF_BYCOMMAND), "新規作成(&N),\tCtrl+N");
  EXPECT_EQ(MenuText(GetMenu(main()), IDM_DELETE, MF_BYCOMMAND), "削除(&D)\tDel");
  EXPECT_EQ(MenuText(GetMenu(main()), IDM_FIT_VOLLABEL, MF_BYCOMMAND), "ﾎﾞﾘｭｰﾑﾗﾍﾞﾙ");
  HMENU popup = LoadMenuW(GetModuleHandleW(nullptr), L"POPUPMENU");
  ASSERT_NE(popup, nullptr);
  HMENU items = GetSubMenu(popup, 0);
  EXPECT_EQ(MenuText(items, 0, MF_BYPOSITION), "ｽｷｬﾆﾝｸﾞ(&S)\tCtrl+M");
  EXPECT_NE(::GetMenuState(items, IDM_PLAY, MF_BYCOMMAND) & MF_GRAYED, 0u);
  EXPECT_NE(::GetMenuState(items, IDM_LISTEDIT, MF_BYCOMMAND) & MF_GRAYED, 0u);
  EXPECT_EQ(::GetMenuState(items, IDM_PASTE, MF_BYCOMMAND) & MF_GRAYED, 0u);
  DestroyMenu(popup);
}

TEST_F(Window, ToolbarTooltipsComeFromTheStringTable) {
  Open();
  const std::pair<int, const char*> tips[] = {
      {IDM_NEW, "新規作成"},   {IDM_OPEN, "ﾌｧｲﾙを開く"}, {IDM_SAVEAS, "名前をつけて保存"},
      {IDM_SCAN, "ﾏﾆｭｱﾙｽｷｬﾝ"}, {IDM_CUT, "切り取り"},    {IDM_COPY, "ｺﾋﾟｰ"},
      {IDM_PASTE, "張り付け"}};
  for (const auto& [id, expected] : tips) {
    NMTTDISPINFOW info{};
    info.hdr.hwndFrom = toolbar();
    info.hdr.idFrom = id;
    info.hdr.code = TTN_GETDISPINFOW;
    SendMessageW(main(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
    ASSERT_TRUE(IS_INTRESOURCE(info.lpszText)) << id;
    wchar_t text[64] = {};
    LoadStringW(info.hinst, static_cast<UINT>(reinterpret_cast<UINT_PTR>(info.lpszText)), text, 64);
    EXPECT_EQ(clip::Narrow(text), expected);
  }
  NMTTDISPINFOW other{};
  other.hdr.idFrom = IDM_SCAN + 1;
  other.hdr.code = TTN_GETDISPINFOW;
  SendMessageA(main(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&other));
  EXPECT_EQ(other.lpszText, nullptr);
}

TEST_F(Window, ClassIconAndListStyles) {
  Open();
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  ASSERT_TRUE(GetClassInfoExW(GetModuleHandleW(nullptr), clip::kMainClassName, &wc));
  EXPECT_NE(wc.hIcon, nullptr);
  EXPECT_EQ(wc.style, static_cast<UINT>(CS_HREDRAW | CS_VREDRAW));
  EXPECT_EQ(GetDlgCtrlID(list()), IDC_CATALOGUE_LIST);
  EXPECT_EQ(GetDlgCtrlID(toolbar()), IDC_TOOLBAR);
  LONG style = GetWindowLongA(list(), GWL_STYLE);
  EXPECT_TRUE(style & LVS_OWNERDATA);
  EXPECT_EQ(style & LVS_TYPEMASK, LVS_REPORT);
  EXPECT_TRUE(style & LVS_SHOWSELALWAYS);
  EXPECT_FALSE(style & LVS_SINGLESEL);
  EXPECT_TRUE(GetWindowLongA(list(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  EXPECT_EQ(SendMessageA(list(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0), 0x25);
  EXPECT_TRUE(GetWindowLongA(toolbar(), GWL_STYLE) & TBSTYLE_FLAT);
  EXPECT_EQ(SendMessageA(list(), LVM_GETTEXTBKCOLOR, 0, 0), 0xffffff);
  EXPECT_EQ(SendMessageA(list(), LVM_GETTEXTCOLOR, 0, 0), 0);
}

TEST_F(Window, AllSeventeenColumnsWithoutSettings) {
  Open();
  HWND header = reinterpret_cast<HWND>(SendMessageA(list(), LVM_GETHEADER, 0, 0));
  EXPECT_EQ(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0), 17);
  EXPECT_EQ(clip::App().table.columnCount, 16);
  wchar_t text[64] = {};
  LVCOLUMNW col{};
  col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
  col.pszText = text;
  col.cchTextMax = 64;
  SendMessageW(list(), LVM_GETCOLUMNW, 1, reinterpret_cast<LPARAM>(&col));
  EXPECT_EQ(clip::Narrow(text), "ｻｲｽﾞ(Byte)");
  EXPECT_EQ(col.cx, 85);
  EXPECT_EQ(col.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_RIGHT);
  SendMessageW(list(), LVM_GETCOLUMNW, 16, reinterpret_cast<LPARAM>(&col));
  EXPECT_EQ(clip::Narrow(text), "ﾎﾞﾘｭｰﾑ");
  for (int k = 1; k < clip::kCategoryCount; ++k)
    EXPECT_EQ(MenuHas(clip::kCategories[k].fitCommand), k < clip::kClassicCategoryCount) << k;
}

TEST_F(Window, CategorySettingsChooseColumnsAndFitItems) {
  ini =
      "[Customize]\r\nFileSizeBT=0\r\nFileSizeKB=0\r\nMovieTitle=2\r\nMoveInfo=0\r\nAudioInfo=0\r\n"
      "VideoRate=0\r\nAudioRate=0\r\nFlameRate=0\r\nResolusion=0\r\nPlayTime=0\r\nJanle=0\r\n"
      "Creater=0\r\nComment=0\r\nDirPath=0\r\nVolLabel=0\r\n"
      "ListBkColor=0x00ff00\r\nListFoColor=255\r\n";
  Open();
  EXPECT_EQ(clip::App().table.columnCount, 1);
  EXPECT_EQ(clip::App().table.position[clip::FileSizeMB], 1);
  EXPECT_TRUE(MenuHas(IDM_FIT_ALL));
  EXPECT_TRUE(MenuHas(IDM_FIT_FILENAME));
  EXPECT_TRUE(MenuHas(IDM_FIT_SIZEMB));
  EXPECT_TRUE(MenuHas(IDM_FIT_TITLE));  // value 2: hidden, item kept
  EXPECT_FALSE(MenuHas(IDM_FIT_SIZEBT));
  EXPECT_FALSE(MenuHas(IDM_FIT_DIRPATH));
  EXPECT_FALSE(MenuHas(IDM_FIT_VOLLABEL));
  // No check boxes without the folder column.
  EXPECT_EQ(SendMessageA(list(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0), 0x21);
  EXPECT_EQ(SendMessageA(list(), LVM_GETBKCOLOR, 0, 0), 0x00ff00);
  EXPECT_EQ(SendMessageA(list(), LVM_GETTEXTCOLOR, 0, 0), 255);
}

int HeightOf(HWND w) {
  RECT r{};
  GetWindowRect(w, &r);
  return static_cast<int>(r.bottom - r.top);
}

// Without a usable saved rectangle: two thirds of the work area each way,
// centred on it.
void ExpectDefaultPlacement(HWND main, const char* why = "") {
  RECT work{}, r{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  GetWindowRect(main, &r);
  EXPECT_NEAR(r.right - r.left, (work.right - work.left) * 2 / 3, 1) << why;
  EXPECT_NEAR(r.bottom - r.top, (work.bottom - work.top) * 2 / 3, 1) << why;
  EXPECT_NEAR(r.left - work.left, work.right - r.right, 1) << why;
  EXPECT_NEAR(r.top - work.top, work.bottom - r.bottom, 1) << why;
}

TEST_F(Window, DefaultPlacementAndLayout) {
  Open();
  ExpectDefaultPlacement(main());
  // The list fills the room between the bars, whatever their heights.
  RECT client{}, lr{};
  GetClientRect(main(), &client);
  GetWindowRect(list(), &lr);
  MapWindowPoints(nullptr, main(), reinterpret_cast<POINT*>(&lr), 2);
  EXPECT_EQ(lr.top, HeightOf(toolbar()));
  EXPECT_EQ(lr.left, 0);
  EXPECT_EQ(lr.right, client.right);
  EXPECT_EQ(lr.bottom, client.bottom - HeightOf(status()));
  // 16-pixel images at 96 DPI.
  int cx = 0, cy = 0;
  ImageList_GetIconSize(
      reinterpret_cast<HIMAGELIST>(SendMessageA(toolbar(), TB_GETIMAGELIST, 0, 0)), &cx, &cy);
  EXPECT_EQ(cx, 16);
  EXPECT_EQ(cy, 16);
  EXPECT_EQ(SendMessageA(toolbar(), TB_GETBUTTONSIZE, 0, 0), MAKELONG(23, 22));
}

// What the system sends when the window goes to a monitor of another scale.
void MoveToScale(HWND main, int dpi, RECT suggested) {
  SendMessageA(main, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
}

TEST_F(Window, AMonitorOfAnotherScaleResizesEverythingAndTheFileKeeps96Dpi) {
  Open();
  auto column = [&](int c) {
    return static_cast<int>(SendMessageA(list(), LVM_GETCOLUMNWIDTH, c, 0));
  };
  auto imageSize = [&] {
    int cx = 0, cy = 0;
    ImageList_GetIconSize(
        reinterpret_cast<HIMAGELIST>(SendMessageA(toolbar(), TB_GETIMAGELIST, 0, 0)), &cx, &cy);
    return cx;
  };
  const int statusHeight = HeightOf(status()), toolbarHeight = HeightOf(toolbar());
  MoveToScale(main(), 144, RECT{50, 40, 950, 640});
  RECT r{};
  GetWindowRect(main(), &r);
  EXPECT_EQ(r.left, 50);
  EXPECT_EQ(r.top, 40);
  EXPECT_EQ(r.right - r.left, 900);
  EXPECT_EQ(r.bottom - r.top, 600);
  EXPECT_EQ(imageSize(), 24);
  EXPECT_EQ(SendMessageA(toolbar(), TB_GETBUTTONSIZE, 0, 0), MAKELONG(35, 33));
  EXPECT_EQ(column(0), 300);
  EXPECT_EQ(column(1), 128);
  LOGFONTA lf{};
  GetObjectA(clip::App().listFont, sizeof lf, &lf);
  EXPECT_EQ(lf.lfHeight, 18);
  EXPECT_GT(HeightOf(status()), statusHeight);
  EXPECT_GT(HeightOf(toolbar()), toolbarHeight);
  RECT client{}, lr{};
  GetClientRect(main(), &client);
  GetWindowRect(list(), &lr);
  MapWindowPoints(nullptr, main(), reinterpret_cast<POINT*>(&lr), 2);
  EXPECT_EQ(lr.top, HeightOf(toolbar()));
  EXPECT_EQ(lr.bottom, client.bottom - HeightOf(status()));
  int edges[4] = {};
  SendMessageA(status(), SB_GETPARTS, 4, reinterpret_cast<LPARAM>(edges));
  EXPECT_GE(edges[0], 285);

  // Back at 96 DPI the widths are as they were.
  MoveToScale(main(), 96, RECT{50, 40, 650, 440});
  EXPECT_EQ(imageSize(), 16);
  EXPECT_EQ(column(0), 200);
  EXPECT_EQ(column(1), 85);
  EXPECT_EQ(HeightOf(status()), statusHeight);
  MoveToScale(main(), 192, RECT{50, 40, 1250, 840});
  EXPECT_EQ(imageSize(), 32);
  Close();
  EXPECT_EQ(IniValue("MainSeting", "Left"), "50");
  EXPECT_EQ(IniValue("MainSeting", "Width"), "600");
  EXPECT_EQ(IniValue("MainSeting", "Height"), "400");
}

TEST_F(Window, BarTogglesResizeTheListAndKeepTheirChecks) {
  Open();
  MoveWindow(main(), 10, 10, 640, 480, TRUE);
  auto listHeight = [&] {
    RECT lr{};
    GetWindowRect(list(), &lr);
    return static_cast<int>(lr.bottom - lr.top);
  };
  auto listTop = [&] {
    RECT lr{};
    GetWindowRect(list(), &lr);
    MapWindowPoints(nullptr, main(), reinterpret_cast<POINT*>(&lr), 2);
    return static_cast<int>(lr.top);
  };
  int full = listHeight();
  const int statusHeight = HeightOf(status()), toolbarHeight = HeightOf(toolbar());
  Command(IDM_STATUSBAR);
  EXPECT_FALSE(MenuChecked(IDM_STATUSBAR));
  EXPECT_FALSE(IsWindowVisible(status()));
  EXPECT_EQ(listHeight(), full + statusHeight);
  Command(IDM_STATUSBAR);
  EXPECT_TRUE(MenuChecked(IDM_STATUSBAR));
  EXPECT_TRUE(IsWindowVisible(status()));
  EXPECT_EQ(listHeight(), full);
  Command(IDM_TOOLBAR);
  EXPECT_FALSE(MenuChecked(IDM_TOOLBAR));
  EXPECT_FALSE(IsWindowVisible(toolbar()));
  EXPECT_EQ(listTop(), 0);
  EXPECT_EQ(listHeight(), full + toolbarHeight);
  Command(IDM_TOOLBAR);
  EXPECT_EQ(listTop(), toolbarHeight);
  Command(IDM_GRIDLINE);
  EXPECT_FALSE(MenuChecked(IDM_GRIDLINE));
  EXPECT_EQ(SendMessageA(list(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0), 0x24);
  Command(IDM_GRIDLINE);
  EXPECT_TRUE(MenuChecked(IDM_GRIDLINE));
  EXPECT_EQ(SendMessageA(list(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0), 0x25);
}

TEST_F(Window, SavedStateIsAppliedBeforeShowing) {
  ini =
      "[MainSeting]\r\nLeft=100\r\nTop=120\r\nWidth=500\r\nHeight=400\r\nToolBar=2\r\nStatusBar="
      "1\r\n"
      "GridLine=0\r\nEndSet=2\r\n";
  Open();
  RECT r{};
  GetWindowRect(main(), &r);
  EXPECT_EQ(r.left, 100);
  EXPECT_EQ(r.top, 120);
  EXPECT_EQ(r.right - r.left, 500);
  EXPECT_EQ(r.bottom - r.top, 400);
  EXPECT_FALSE(MenuChecked(IDM_TOOLBAR));
  EXPECT_FALSE(IsWindowVisible(toolbar()));
  EXPECT_TRUE(MenuChecked(IDM_STATUSBAR));
  EXPECT_FALSE(MenuChecked(IDM_GRIDLINE));
  EXPECT_EQ(SendMessageA(list(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0), 0x24);
  EXPECT_FALSE(MenuChecked(IDM_ENDSET));
  std::string before = ReadFileBytes(folder / "dodedaru.ini");
  Close();
  // Saving at exit is off: the file is as it was.
  EXPECT_EQ(ReadFileBytes(folder / "dodedaru.ini"), before);
}

TEST_F(Window, WindowStateIsSavedAtExitAndComesBack) {
  Open();
  MoveWindow(main(), 90, 80, 600, 450, TRUE);
  Command(IDM_STATUSBAR);
  Command(IDM_GRIDLINE);
  clip::App().settings.loadDir = "C:\\lists";
  clip::App().settings.saveDir = "C:\\out";
  Close();
  EXPECT_EQ(IniValue("MainSeting", "Left"), "90");
  EXPECT_EQ(IniValue("MainSeting", "Top"), "80");
  EXPECT_EQ(IniValue("MainSeting", "Width"), "600");
  EXPECT_EQ(IniValue("MainSeting", "Height"), "450");
  EXPECT_EQ(IniValue("MainSeting", "ToolBar"), "1");
  EXPECT_EQ(IniValue("MainSeting", "StatusBar"), "2");
  EXPECT_EQ(IniValue("MainSeting", "GridLine"), "2");
  EXPECT_EQ(IniValue("MainSeting", "LoadPath"), "C:\\lists");
  EXPECT_EQ(IniValue("MainSeting", "SavePath"), "C:\\out");
  ini.clear();
  Open();
  RECT r{};
  GetWindowRect(main(), &r);
  EXPECT_EQ(r.left, 90);
  EXPECT_EQ(r.right - r.left, 600);
  EXPECT_FALSE(MenuChecked(IDM_STATUSBAR));
  EXPECT_FALSE(IsWindowVisible(status()));
  EXPECT_FALSE(MenuChecked(IDM_GRIDLINE));
  EXPECT_EQ(clip::App().settings.loadDir, "C:\\lists");
}

TEST_F(Window, EndSetIsWrittenWhenToggledAndStopsTheSaving) {
  Open();
  Command(IDM_ENDSET);
  EXPECT_FALSE(MenuChecked(IDM_ENDSET));
  EXPECT_EQ(IniValue("MainSeting", "EndSet"), "2");
  MoveWindow(main(), 30, 30, 500, 300, TRUE);
  Close();
  EXPECT_EQ(IniValue("MainSeting", "Left"), "<none>");
  Open();
  EXPECT_FALSE(MenuChecked(IDM_ENDSET));
  Command(IDM_ENDSET);
  EXPECT_TRUE(MenuChecked(IDM_ENDSET));
  EXPECT_EQ(IniValue("MainSeting", "EndSet"), "1");
}

TEST_F(Window, UnusableRectanglesGiveTheDefaultPlacement) {
  // Closed while minimised; an empty size; edges beyond the int range.
  for (const char* rect : {"Left=-32000\r\nTop=-32000\r\nWidth=160\r\nHeight=28",
                           "Left=10\r\nTop=10\r\nWidth=0\r\nHeight=300",
                           "Left=100\r\nTop=100\r\nWidth=2147483647\r\nHeight=400"}) {
    ini = std::string("[MainSeting]\r\n") + rect + "\r\n";
    Open();
    ExpectDefaultPlacement(main(), rect);
    Close();
  }
}

TEST_F(Window, LongTitleIsShownWhole) {
  std::string title(120, 'T');
  ini = "[MainSeting]\r\nmvTitle=" + title + "\r\n";
  Open();
  EXPECT_EQ(Caption(), title + " - <NewFile.csv>");
}

TEST_F(Window, FontsFollowTheSizeSettingsWithBaseDetection) {
  ini = "[WindowFonts]\r\nMainFontSize=020\r\nListFontSize=0x1\r\n";
  Open();
  LOGFONTA lf{};
  GetObjectA(clip::App().mainFont, sizeof lf, &lf);
  EXPECT_EQ(lf.lfHeight, 16);
  EXPECT_EQ(lf.lfCharSet, SHIFTJIS_CHARSET);
  EXPECT_EQ(lf.lfWeight, 400);
  GetObjectA(clip::App().listFont, sizeof lf, &lf);
  EXPECT_EQ(lf.lfHeight, 1);
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(list(), WM_GETFONT, 0, 0)), clip::App().listFont);
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(status(), WM_GETFONT, 0, 0)),
            clip::App().mainFont);
  HFONT oldList = clip::App().listFont;
  clip::App().settings.listFontSize = "14";
  clip::CreateFonts();
  EXPECT_NE(clip::App().listFont, oldList);
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(list(), WM_GETFONT, 0, 0)), clip::App().listFont);
}

TEST_F(Window, VersionBoxNamesTheTitle) {
  ini = "[MainSeting]\r\nmvTitle=MyList\r\n";
  Open();
  BoxAnswerer answer(IDOK);
  Command(IDM_VERSION);
  auto seen = answer.Seen();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].caption, "ば～じょん情報");
  EXPECT_EQ(seen[0].text.rfind("MyList Version 0.98t\n\n", 0), 0u) << seen[0].text;
}

TEST_F(Window, AcceleratorsAreVirtualKeysThatDoNotFlashTheMenu) {
  HACCEL table = LoadAcceleratorsA(GetModuleHandleA(nullptr), "ACCEL");
  ASSERT_NE(table, nullptr);
  ACCEL entries[32];
  int n = CopyAcceleratorTableA(table, entries, 32);
  const std::pair<WORD, int> expected[] = {
      {'N', IDM_NEW},          {'O', IDM_OPEN},      {'S', IDM_SAVE},        {'M', IDM_SCAN},
      {'A', IDM_AUTOSCAN},     {'X', IDM_CUT},       {'C', IDM_COPY},        {'V', IDM_PASTE},
      {VK_DELETE, IDM_DELETE}, {'E', IDM_LISTEDIT},  {'F', IDM_FIND},        {VK_F3, IDM_FIND_NEXT},
      {VK_F3, IDM_FIND_PREV},  {'W', IDM_WRITEINFO}, {'U', IDM_CLEARCHECKS}, {'P', IDM_PLAY}};
  ASSERT_EQ(n, 16);
  for (int i = 0; i < n; ++i) {
    EXPECT_EQ(entries[i].key, expected[i].first) << i;
    EXPECT_EQ(entries[i].cmd, expected[i].second) << i;
    const WORD key = expected[i].first;
    BYTE flags = FVIRTKEY | FNOINVERT | (key == VK_DELETE || key == VK_F3 ? 0 : FCONTROL) |
                 (expected[i].second == IDM_FIND_PREV ? FSHIFT : 0);
    EXPECT_EQ(entries[i].fVirt & ~0x80, flags) << i;
  }
  DestroyAcceleratorTable(table);
}

TEST_F(Window, ScanProgressIsPaintedIntoTheFirstPart) {
  Open();
  clip::StatusBarSink sink;
  sink.SetStatusText(0, "File 3 Reading...");
  EXPECT_EQ(Status(0), "File 3 Reading...");
  sink.SetStatusText(3, "Per:12%");
  EXPECT_EQ(Status(3), "Per:12%");
}

TEST_F(Window, StatusPartsHoldTodaysDiskFigures) {
  Open();
  MoveWindow(main(), 0, 0, 900, 400, TRUE);
  clip::SetStatusText(1, "DiskMax: 258019.6MB");
  clip::SetStatusText(2, "DiskFree: 76799.7MB");
  int edges[4] = {};
  ASSERT_EQ(SendMessageA(status(), SB_GETPARTS, 4, reinterpret_cast<LPARAM>(edges)), 4);
  HDC dc = GetDC(status());
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(status(), WM_GETFONT, 0, 0)));
  for (int part : {1, 2}) {
    const std::string text = Status(part);
    SIZE size{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    EXPECT_GT(edges[part] - edges[part - 1], size.cx) << text;
  }
  SelectObject(dc, old);
  ReleaseDC(status(), dc);
  EXPECT_GE(edges[0], 190);  // the totals keep their usual room
  EXPECT_EQ(edges[3], -1);   // the last part reaches the window's edge
}

TEST_F(Window, FindDoesNothing) {
  Open();
  Command(IDM_FIND);
  EXPECT_EQ(Caption(), "Clipledger - <NewFile.csv>");
  EXPECT_EQ(Rows(), 0);
}

}  // namespace
}  // namespace wintest
