// The HTML options dialog: what it shows from [HtmlSetting], the page it
// writes (compared byte for byte with the writer's own output), the saved
// settings, the choosers and a page that cannot be written.
#include "main_window_test.h"

#include "res/resource.h"
#include "listfile/html_options.h"
#include "listfile/list_format.h"
#include "res/dialogs_res.h"

namespace wintest {
namespace {

const char* const kCaption = "HTML形式保存ｵﾌﾟｼｮﾝ";

class HtmlDialog : public MainWindowTest {
 protected:
  void SetUp() override {
    Open();
    AddRow("a.avi", {{clip::MovieTitle, "タイトル<1>"}, {clip::DirPath, "D:\\m"}});
    AddRow("b.avi", {{clip::MovieTitle, "second"}, {clip::Comment, "note & more"}});
    page = files / "page.htm";
    clip::App().currentListFile = page;
  }
  // The dialog as 上書き保存 of an HTML list opens it.
  void Show(const std::function<void(HWND, DWORD)>& drive) {
    WithDialog(
        kCaption, [this] { Command(IDM_SAVE); }, drive);
  }
  std::string Expected(const clip::HtmlOptions& o) {
    return clip::FormatHtmlList(clip::App().rows, clip::App().table, o);
  }
  std::string page;
};

TEST_F(HtmlDialog, DefaultsAreShownAndWrittenAsTheWriterFormatsThem) {
  Show([&](HWND dlg, DWORD) {
    EXPECT_EQ(GetWindowLongA(dlg, GWL_STYLE) & WS_SYSMENU, 0);  // no close box
    EXPECT_EQ(ItemText(dlg, IDC_HTML_CAPTION), "Untitled");
    EXPECT_EQ(ItemText(dlg, IDC_HTML_TOPTITLE), "Untitled");
    EXPECT_EQ(ItemText(dlg, IDC_HTML_IMAGE), "C:\\");
    EXPECT_EQ(ItemText(dlg, IDC_HTML_TOP_SIZE), "7");
    EXPECT_EQ(ItemText(dlg, IDC_HTML_CELL_SIZE), "3");
    EXPECT_TRUE(Checked(dlg, IDC_HTML_TOP_CENTER));
    EXPECT_TRUE(Checked(dlg, IDC_HTML_BACK_COLOUR));
    EXPECT_TRUE(Checked(dlg, IDC_HTML_FIT_CENTER));
    EXPECT_TRUE(Checked(dlg, IDC_HTML_ROWS_ALIKE));
    EXPECT_TRUE(Checked(dlg, IDC_HTML_FII_CENTER));
    EXPECT_FALSE(Checked(dlg, IDC_HTML_TOP_LEFT));
    const std::pair<int, COLORREF> swatches[] = {{IDC_HTML_FOBACK_SWATCH, RGB(255, 255, 255)},
                                                 {IDC_HTML_FITBACK_SWATCH, RGB(255, 255, 255)},
                                                 {IDC_HTML_FITFONT_SWATCH, 0},
                                                 {IDC_HTML_FIIBACK1_SWATCH, RGB(255, 255, 255)},
                                                 {IDC_HTML_FIIBACK2_SWATCH, RGB(0xcc, 0xcc, 0xcc)},
                                                 {IDC_HTML_FIIFONT1_SWATCH, 0},
                                                 {IDC_HTML_FIIFONT2_SWATCH, 0},
                                                 {IDC_HTML_FOFONT_SWATCH, 0}};
    for (const auto& [id, colour] : swatches) EXPECT_EQ(ShownColour(dlg, id), colour) << id;
    Click(dlg, IDOK);
  });
  EXPECT_EQ(ReadFileBytes(page), Expected(clip::HtmlOptions{}));
  EXPECT_FALSE(IniHas("HtmlSetting", "Caption"));  // writing a page saves no settings
}

TEST_F(HtmlDialog, ChangedOptionsGoIntoThePageButNotIntoTheSettings) {
  clip::HtmlOptions expected;
  Show([&](HWND dlg, DWORD ui) {
    SetText(dlg, IDC_HTML_CAPTION, "一覧");
    SetText(dlg, IDC_HTML_TOPTITLE, "My movies");
    SetText(dlg, IDC_HTML_TOP_SIZE, "5");
    SetText(dlg, IDC_HTML_CELL_SIZE, "");
    Click(dlg, IDC_HTML_TOP_RIGHT);
    Click(dlg, IDC_HTML_BACK_IMAGE);
    Click(dlg, IDC_HTML_FIT_LEFT);
    Click(dlg, IDC_HTML_ROWS_ALTERNATE);
    Click(dlg, IDC_HTML_FII_RIGHT);
    // Plain radio buttons: the dialog checks one and clears the others.
    EXPECT_TRUE(Checked(dlg, IDC_HTML_TOP_RIGHT));
    EXPECT_FALSE(Checked(dlg, IDC_HTML_TOP_CENTER));
    EXPECT_FALSE(Checked(dlg, IDC_HTML_ROWS_ALIKE));
    ClickLater(dlg, IDC_HTML_FIIBACK2_COLOR);
    AnswerColourChooser(ui, dlg, true, RGB(0x12, 0x34, 0x56));
    Sleep(200);
    EXPECT_EQ(ShownColour(dlg, IDC_HTML_FIIBACK2_SWATCH), RGB(0x12, 0x34, 0x56));
    // Cancelled: the option takes the colour accepted last.
    ClickLater(dlg, IDC_HTML_FOFONT_COLOR);
    AnswerColourChooser(ui, dlg, false);
    Click(dlg, IDOK);
  });
  expected.caption = "一覧";
  expected.topTitle = "My movies";
  expected.topTitleSize = "5";
  expected.cellFontSize = "";
  expected.topTitleAlign = 2;
  expected.backgroundKind = 1;
  expected.headerAlign = 0;
  expected.rowColouring = 1;
  expected.dataAlign = 2;
  expected.fiiBackColor2 = RGB(0x12, 0x34, 0x56);
  expected.foFontColor = RGB(0x12, 0x34, 0x56);
  EXPECT_EQ(ReadFileBytes(page), Expected(expected));
  EXPECT_EQ(clip::App().lastPickedColour, RGB(0x12, 0x34, 0x56));
  // The next opening shows the saved settings (here: none), not the changes.
  Show([&](HWND dlg, DWORD) {
    EXPECT_EQ(ItemText(dlg, IDC_HTML_CAPTION), "Untitled");
    EXPECT_TRUE(Checked(dlg, IDC_HTML_TOP_CENTER));
    EXPECT_EQ(ShownColour(dlg, IDC_HTML_FIIBACK2_SWATCH), RGB(0xcc, 0xcc, 0xcc));
    Click(dlg, IDCANCEL);
  });
}

TEST_F(HtmlDialog, SaveSettingsWritesEighteenKeysAndStaysOpen) {
  Show([&](HWND dlg, DWORD ui) {
    SetText(dlg, IDC_HTML_TOPTITLE, "Saved");
    Click(dlg, IDC_HTML_TOP_LEFT);
    ClickLater(dlg, IDC_HTML_FOBACK_COLOR);
    AnswerColourChooser(ui, dlg, true, RGB(0, 0, 255));
    Click(dlg, IDC_HTML_SAVE_SETTINGS);
    EXPECT_TRUE(IsWindow(dlg));
    Click(dlg, IDCANCEL);
  });
  EXPECT_FALSE(GetFileAttributesA(page.c_str()) != INVALID_FILE_ATTRIBUTES);  // cancelled: no page
  const std::pair<const char*, const char*> keys[] = {
      {"Caption", "Untitled"},  {"TopTitle", "Saved"},         {"FoBackImage", "C:\\"},
      {"FoFontSize", "7"},      {"FiiFontSize", "3"},          {"FoStrDrawType", "0"},
      {"FoBackDrawType", "0"},  {"FitStrDrawType", "1"},       {"FiiListDraw", "0"},
      {"FiiStrDrawType", "1"},  {"FoBackColor", "0xff0000"},   {"FitBackColor", "0xffffff"},
      {"FitFontColor", "0x0"},  {"FiiBackColor1", "0xffffff"}, {"FiiBackColor2", "0xcccccc"},
      {"FiiFontColor1", "0x0"}, {"FiiFontColor2", "0x0"},      {"FoFontColor", "0x0"}};
  for (const auto& [k, v] : keys) EXPECT_EQ(IniValue("HtmlSetting", k), v) << k;
  // The keys stand in the file in this order.
  const std::string text = ReadFileBytes(folder / "dodedaru.ini");
  std::size_t at = 0;
  for (const auto& [k, v] : keys) {
    std::size_t next = text.find(std::string(k) + "=", at);
    EXPECT_NE(next, std::string::npos) << k;
    at = next == std::string::npos ? at : next;
  }
  Show([&](HWND dlg, DWORD) {
    EXPECT_EQ(ItemText(dlg, IDC_HTML_TOPTITLE), "Saved");
    EXPECT_TRUE(Checked(dlg, IDC_HTML_TOP_LEFT));
    EXPECT_EQ(ShownColour(dlg, IDC_HTML_FOBACK_SWATCH), RGB(0, 0, 255));
    Click(dlg, IDCANCEL);
  });
}

TEST_F(HtmlDialog, AnOutOfRangeChoiceChecksNothingAndTheDefaultIsUsed) {
  WritePrivateProfileStringA("HtmlSetting", "FitStrDrawType", "5",
                             (folder / "dodedaru.ini").c_str());
  Show([&](HWND dlg, DWORD) {
    EXPECT_FALSE(Checked(dlg, IDC_HTML_FIT_LEFT));
    EXPECT_FALSE(Checked(dlg, IDC_HTML_FIT_CENTER));
    EXPECT_FALSE(Checked(dlg, IDC_HTML_FIT_RIGHT));
    Click(dlg, IDC_HTML_SAVE_SETTINGS);
    Click(dlg, IDOK);
  });
  EXPECT_EQ(IniValue("HtmlSetting", "FitStrDrawType"), "1");
  EXPECT_EQ(ReadFileBytes(page), Expected(clip::HtmlOptions{}));
}

TEST_F(HtmlDialog, APageThatCannotBeWrittenIsReportedAndTheDialogStays) {
  const std::string bad = files / "no such folder\\page.htm";
  const std::string caption = Caption();
  // Given up after the failure, save-as keeps the previous list name.
  ChooseFiles({bad});
  WithDialog(
      kCaption, [this] { Command(IDM_SAVEAS); },
      [&](HWND dlg, DWORD ui) {
        ClickLater(dlg, IDOK);
        HWND box = WaitForOwned(ui, dlg);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(WindowText(box), "ﾌｧｲﾙ保存失敗");
        std::string texts;
        for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
          texts += WindowText(c) + "\n";
        EXPECT_NE(texts.find(bad), std::string::npos) << texts;
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        EXPECT_TRUE(WaitGone(box));
        Sleep(100);
        EXPECT_TRUE(IsWindow(dlg));
        Click(dlg, IDCANCEL);
      });
  EXPECT_EQ(clip::App().currentListFile, page);
  EXPECT_EQ(Caption(), caption);
}

TEST_F(HtmlDialog, TheImageChooserFillsInTheFileNameOnly) {
  const std::string image = files / "back.jpg";
  ASSERT_TRUE(WriteFileBytes(image, "not really a jpeg"));
  Show([&](HWND dlg, DWORD ui) {
    ClickLater(dlg, IDC_HTML_IMAGE_BROWSE);
    HWND chooser = WaitForDialog(ui, "画像ﾌｧｲﾙを開く", {dlg});
    ASSERT_NE(chooser, nullptr);
    // The file name field of the open dialog.
    SetText(chooser, 1148, image);
    PostMessageA(chooser, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_TRUE(WaitGone(chooser));
    Sleep(100);
    EXPECT_EQ(ItemText(dlg, IDC_HTML_IMAGE), "back.jpg");
    EXPECT_FALSE(Checked(dlg, IDC_HTML_BACK_IMAGE));  // choosing does not switch the kind
    Click(dlg, IDOK);
  });
  clip::HtmlOptions expected;
  expected.backgroundImage = "back.jpg";
  EXPECT_EQ(ReadFileBytes(page), Expected(expected));
}

}  // namespace
}  // namespace wintest
