#include "settings/settings.h"

#include <gtest/gtest.h>

#include "settings/profile.h"

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
