#include "settings/settings.h"

#include <gtest/gtest.h>

#include "recording_profile.h"

namespace clip {
namespace {

TEST(Settings, DefaultsWithoutAFile) {
  MemoryProfile p;
  Settings s;
  s.programFolder = "C:\\Tools";
  LoadSettings(p, s);
  EXPECT_EQ(s.iniPath, "C:\\Tools\\dodedaru.ini");
  EXPECT_EQ(s.autoScanFolder, "C:\\");
  EXPECT_EQ(s.mainFontFace, "ＭＳ Ｐゴシック");
  EXPECT_EQ(s.listFontSize, "12");
  EXPECT_EQ(s.loadDir, "");
  EXPECT_EQ(s.listClear, 0);
  EXPECT_EQ(s.title, "Clipledger");
  EXPECT_EQ(p.writes, 0);
}

TEST(Settings, CategoriesColoursAndWindowStateAreReadAtStart) {
  MemoryProfile p;
  Settings s;
  LoadSettings(p, s);
  for (int k = 1; k < kCategoryCount; ++k)
    EXPECT_EQ(s.categoryValues[k], k < kClassicCategoryCount ? 1 : 0) << k;
  EXPECT_EQ(s.listBack, 0xffffffu);
  EXPECT_TRUE(s.window.view.toolbar && s.window.view.gridLines && s.window.view.saveAtExit);
  EXPECT_EQ(s.window.width, 320);
  EXPECT_FALSE(s.window.saved);

  // Keys compare without regard to case; only exactly 1 switches a view on.
  p.WriteString("customize", "filesizemb", "0");
  p.WriteString("Customize", "Comment", "2");
  p.WriteString("Customize", "ListBkColor", "0xc0c0c0");
  p.WriteString("MainSeting", "StatusBar", "2");
  p.WriteString("MainSeting", "EndSet", "3");
  p.WriteString("MainSeting", "Left", "-40");
  LoadSettings(p, s);
  EXPECT_EQ(s.categoryValues[FileSizeMB], 0);
  EXPECT_EQ(s.categoryValues[Comment], 2);
  EXPECT_EQ(s.listBack, 0xc0c0c0u);
  EXPECT_FALSE(s.window.view.statusBar);
  EXPECT_FALSE(s.window.view.saveAtExit);
  EXPECT_EQ(s.window.left, -40);
  EXPECT_EQ(s.window.width, 320);  // a rectangle in part keeps the rest
  EXPECT_TRUE(s.window.saved);
  for (const char* key : {"Top", "Width", "Height"}) {
    MemoryProfile one;
    one.WriteString("MainSeting", key, "0");
    LoadSettings(one, s);
    EXPECT_TRUE(s.window.saved) << key;
  }
}

TEST(Settings, WindowStateIsWrittenInItsOrder) {
  test::RecordingProfile p;
  WindowState w;
  w.left = 10;
  w.view.toolbar = false;
  SaveWindowState(p, w, "D:\\lists", "");
  std::vector<std::string> keys;
  for (const auto& [key, value] : p.log) keys.push_back(key + "=" + value);
  EXPECT_EQ(keys,
            (std::vector<std::string>{
                "MainSeting/Left=10", "MainSeting/Top=64", "MainSeting/Width=320",
                "MainSeting/Height=240", "MainSeting/ToolBar=2", "MainSeting/StatusBar=1",
                "MainSeting/GridLine=1", "MainSeting/LoadPath=D:\\lists", "MainSeting/SavePath="}));
  EXPECT_STREQ(SaveAtExitValue(false), "2");
}

TEST(Settings, ValuesAreCutAtTheirBuffers) {
  MemoryProfile p;
  p.WriteString("WindowFonts", "MainFontSize", "1234");
  p.WriteString("MainSeting", "mvTitle", std::string(300, 'T'));
  Settings s;
  LoadSettings(p, s);
  EXPECT_EQ(s.mainFontSize, "123");
  EXPECT_EQ(s.title.size(), 127u);
  // A title of any length makes a whole caption.
  EXPECT_EQ(NewFileCaption(s.title), s.title + " - <NewFile.csv>");
}

TEST(Settings, ProgramFolderFromCommandLine) {
  EXPECT_EQ(ProgramFolderFromCommandLine("\"C:\\Tools\\x.exe\" a b"), "C:\\Tools");
  EXPECT_EQ(ProgramFolderFromCommandLine("\"C:\\My Tools\\x.exe\""), "C:\\My Tools");
  EXPECT_EQ(ProgramFolderFromCommandLine("C:\\Tools\\x.exe arg"), "C:\\Tools");
  EXPECT_EQ(ProgramFolderFromCommandLine("x.exe"), ".");
}

TEST(Settings, ColourText) {
  EXPECT_EQ(ColorText(0), "0x0");
  EXPECT_EQ(ColorText(0xff), "0xff");
  EXPECT_EQ(ColorText(0xff0000), "0xff0000");
  EXPECT_EQ(ColorText(0xffffff), "0xffffff");
  EXPECT_EQ(ParseColorText("0xff0000"), 0xff0000u);
  EXPECT_EQ(ParseColorText("255"), 0xffu);
  EXPECT_EQ(ParseColorText("junk"), 0u);
  EXPECT_EQ(ListFileCaption("Clipledger", "a.TxT", true), "Clipledger - <a.TxT> Append Only!");
}

}  // namespace
}  // namespace clip
