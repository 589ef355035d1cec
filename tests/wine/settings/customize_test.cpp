// The Customize dialog driven through its controls: what it shows, what OK
// writes and applies at once, the colour choosers and the folder browser.
#include "main_window_test.h"

#include "res/resource.h"
#include "res/dialogs_res.h"

namespace wintest {
namespace {

const char* const kCaption = "動作設定";
const int kBoxes[] = {1019, 1020, 1021, 1022, 1023, 1024, 1025, 1026, 1027, 1028, 1029, 1030,
                      1031, 1032, 1033, 1034, 1037, 1046, 1049, 1050, 1051, 1052, 1053, 1054};

std::string SelectedFace(HWND dlg, int box) {
  HWND combo = GetDlgItem(dlg, box);
  LRESULT i = SendMessageA(combo, CB_GETCURSEL, 0, 0);
  if (i < 0) return "<none>";
  char buf[64] = {};
  SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buf));
  return buf;
}

std::vector<std::string> Faces(HWND dlg, int box) {
  std::vector<std::string> out;
  HWND combo = GetDlgItem(dlg, box);
  LRESULT n = SendMessageA(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < n; ++i) {
    char buf[64] = {};
    SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buf));
    out.push_back(buf);
  }
  return out;
}

class Customize : public MainWindowTest {
 protected:
  void Show(const std::function<void(HWND, DWORD)>& drive) {
    WithDialog(
        kCaption, [this] { Command(IDM_CUSTOMIZE); }, drive);
  }
  bool HasPGothic() {
    bool found = false;
    Show([&](HWND dlg, DWORD) {
      for (const std::string& f : Faces(dlg, IDC_CUST_MAIN_FACE)) found |= f == "ＭＳ Ｐゴシック";
      Click(dlg, IDCANCEL);
    });
    return found;
  }
};

TEST_F(Customize, WithoutSettingsEveryBoxIsClearAndCancelWritesNothing) {
  Open();
  const std::string before = ReadFileBytes(folder / "dodedaru.ini");
  Show([&](HWND dlg, DWORD) {
    for (int id : kBoxes) EXPECT_FALSE(Checked(dlg, id)) << id;
    EXPECT_TRUE(Checked(dlg, IDC_CUST_MODERN));  // today's formats are scanned by default
    EXPECT_FALSE(Checked(dlg, IDC_CUST_LISTUTF8));
    EXPECT_EQ(ItemText(dlg, IDC_CUST_AUTOSCAN), "C:\\");
    EXPECT_EQ(ItemText(dlg, IDC_CUST_MAIN_SIZE), "12");
    EXPECT_EQ(ItemText(dlg, IDC_CUST_LIST_SIZE), "12");
    // Japanese faces only, no vertical ones, the same in both boxes.
    const std::vector<std::string> faces = Faces(dlg, IDC_CUST_MAIN_FACE);
    EXPECT_FALSE(faces.empty());
    EXPECT_EQ(Faces(dlg, IDC_CUST_LIST_FACE), faces);
    for (const std::string& f : faces) EXPECT_NE(f[0], '@') << f;
    for (const std::string& f : faces)
      if (f == "ＭＳ Ｐゴシック") EXPECT_EQ(SelectedFace(dlg, IDC_CUST_MAIN_FACE), f);
    EXPECT_EQ(ShownColour(dlg, IDC_CUST_MAIN_SWATCH), RGB(0, 0, 0));
    EXPECT_EQ(ShownColour(dlg, IDC_CUST_LISTFO_SWATCH), RGB(0, 0, 0));
    EXPECT_EQ(ShownColour(dlg, IDC_CUST_LISTBK_SWATCH), RGB(255, 255, 255));
    // The dialog sits in the middle of the main window.
    RECT m, d;
    GetWindowRect(clip::App().main, &m);
    GetWindowRect(dlg, &d);
    EXPECT_EQ(d.left, m.left + ((m.right - m.left) - (d.right - d.left)) / 2);
    EXPECT_EQ(d.top, m.top + ((m.bottom - m.top) - (d.bottom - d.top)) / 2);
    Click(dlg, IDCANCEL);
  });
  EXPECT_EQ(ReadFileBytes(folder / "dodedaru.ini"), before);
}

TEST_F(Customize, ResetThenOkWritesTheResetValuesAndAppliesAtOnce) {
  ini =
      "[Customize]\r\nFileSizeBT=1\r\nVolLabel=1\r\nListClear=1\r\nListBkColor=0xff00\r\n"
      "ListFoColor=0x80\r\n";
  Open();
  HFONT oldList = clip::App().listFont;
  Show([&](HWND dlg, DWORD) {
    EXPECT_TRUE(Checked(dlg, IDC_CUST_SIZEBT));
    EXPECT_TRUE(Checked(dlg, IDC_CUST_VOLLABEL));
    EXPECT_TRUE(Checked(dlg, IDC_CUST_LISTCLEAR));
    EXPECT_EQ(ShownColour(dlg, IDC_CUST_LISTBK_SWATCH), RGB(0, 255, 0));
    EXPECT_EQ(ShownColour(dlg, IDC_CUST_LISTFO_SWATCH), RGB(0x80, 0, 0));
    SetText(dlg, IDC_CUST_MAIN_SIZE, "9");
    Click(dlg, IDC_CUST_RESET);
    EXPECT_EQ(ItemText(dlg, IDC_CUST_MAIN_SIZE), "12");
    SendMessageW(GetDlgItem(dlg, IDC_CUST_LISTUTF8), BM_SETCHECK, BST_CHECKED, 0);
    Click(dlg, IDOK);
  });
  const char* on[] = {"FileSizeKB", "MovieTitle", "Resolusion",    "PlayTime",
                      "DirPath",    "SizeInfo",   "ModernFormats", "ListUtf8"};
  const char* off[] = {"FileSizeBT", "FileSizeMB", "MoveInfo",  "AudioInfo",
                       "VideoRate",  "AudioRate",  "FlameRate", "Creater",
                       "Janle",      "Comment",    "VolLabel",  "ListClear"};
  for (const char* k : on) EXPECT_EQ(IniValue("Customize", k), "1") << k;
  for (const char* k : off) EXPECT_EQ(IniValue("Customize", k), "0") << k;
  // The track columns stay off and out of the file.
  for (const char* k : {"AudioTracks", "Subtitles", "Channels", "VideoBits", "Chapters", "Status"})
    EXPECT_FALSE(IniHas("Customize", k)) << k;
  EXPECT_EQ(IniValue("Customize", "AutoScan"), "C:\\");
  EXPECT_EQ(IniValue("Customize", "ListBkColor"), "0xff00");
  EXPECT_EQ(IniValue("Customize", "ListFoColor"), "0x80");
  EXPECT_EQ(IniValue("Customize", "MainColor"), "0x0");
  EXPECT_EQ(IniValue("WindowFonts", "MainFontSize"), "12");
  EXPECT_EQ(IniValue("WindowFonts", "EditFontType"), "");
  EXPECT_NE(ReadFileBytes(folder / "dodedaru.ini").find("EditFontType=\r\n"), std::string::npos);
  // In memory at once: the scan options, the fonts, the list colours.
  EXPECT_EQ(clip::App().settings.listClear, 0);
  EXPECT_EQ(clip::App().settings.sizeInfo, 1);
  EXPECT_EQ(clip::App().settings.listUtf8, 1);
  EXPECT_NE(clip::App().listFont, oldList);
  EXPECT_EQ(SendMessageA(clip::App().list, LVM_GETBKCOLOR, 0, 0), 0xff00);
  EXPECT_EQ(SendMessageA(clip::App().list, LVM_GETTEXTBKCOLOR, 0, 0), 0xff00);
  EXPECT_EQ(SendMessageA(clip::App().list, LVM_GETTEXTCOLOR, 0, 0), 0x80);
}

TEST_F(Customize, ColourChoosersStartAtTheLastAcceptedColour) {
  Open();
  const COLORREF blue = RGB(0, 0, 255);
  Show([&](HWND dlg, DWORD ui) {
    // Cancel right after start: the working colour becomes black.
    ClickLater(dlg, IDC_CUST_LISTBK_COLOR);
    AnswerColourChooser(ui, dlg, false);
    Sleep(200);
    EXPECT_EQ(ShownColour(dlg, IDC_CUST_LISTBK_SWATCH), RGB(0, 0, 0));
    ClickLater(dlg, IDC_CUST_LISTBK_COLOR);
    AnswerColourChooser(ui, dlg, true, blue);
    Sleep(200);
    EXPECT_EQ(ShownColour(dlg, IDC_CUST_LISTBK_SWATCH), blue);
    // A later chooser cancelled takes the colour accepted last.
    ClickLater(dlg, IDC_CUST_MAIN_COLOR);
    AnswerColourChooser(ui, dlg, false);
    Sleep(200);
    EXPECT_EQ(ShownColour(dlg, IDC_CUST_MAIN_SWATCH), blue);
    Click(dlg, IDOK);
  });
  EXPECT_EQ(clip::App().lastPickedColour, blue);
  EXPECT_EQ(IniValue("Customize", "ListBkColor"), "0xff0000");
  EXPECT_EQ(IniValue("Customize", "MainColor"), "0xff0000");
  EXPECT_EQ(IniValue("Customize", "ListFoColor"), "0x0");
  EXPECT_EQ(SendMessageA(clip::App().list, LVM_GETBKCOLOR, 0, 0), static_cast<LRESULT>(blue));
  EXPECT_EQ(clip::App().settings.listBack, blue);
}

TEST_F(Customize, CancelledBrowseKeepsTheFolderAndOkStoresTheEditedOne) {
  Open();
  Show([&](HWND dlg, DWORD ui) {
    SetText(dlg, IDC_CUST_AUTOSCAN, "D:\\Movies");
    ClickLater(dlg, IDC_CUST_BROWSE);
    HWND browser = WaitForOwned(ui, dlg);
    ASSERT_NE(browser, nullptr);
    PostMessageA(browser, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_TRUE(WaitGone(browser));
    Sleep(100);
    EXPECT_EQ(ItemText(dlg, IDC_CUST_AUTOSCAN), "D:\\Movies");
    SetText(dlg, IDC_CUST_LIST_SIZE, "1234");
    Click(dlg, IDOK);
  });
  EXPECT_EQ(IniValue("Customize", "AutoScan"), "D:\\Movies");
  EXPECT_EQ(clip::App().settings.autoScanFolder, "D:\\Movies");
  EXPECT_EQ(IniValue("WindowFonts", "ListFontSize"), "123");
  EXPECT_EQ(clip::App().settings.listFontSize, "123");
}

TEST_F(Customize, AFaceThatIsNotListedIsKeptAtOk) {
  ini = "[WindowFonts]\r\nMainFontType=No Such Face\r\n";
  Open();
  std::vector<std::string> first;
  Show([&](HWND dlg, DWORD) {
    EXPECT_EQ(SelectedFace(dlg, IDC_CUST_MAIN_FACE), "<none>");
    first = Faces(dlg, IDC_CUST_LIST_FACE);
    Click(dlg, IDOK);
  });
  EXPECT_EQ(IniValue("WindowFonts", "MainFontType"), "No Such Face");
  // A second opening lists the same faces.
  Show([&](HWND dlg, DWORD) {
    EXPECT_EQ(Faces(dlg, IDC_CUST_LIST_FACE), first);
    Click(dlg, IDCANCEL);
  });
}

}  // namespace
}  // namespace wintest
