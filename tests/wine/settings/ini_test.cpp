// The settings file through the platform's private-profile functions: the
// semantics the program relies on, and files of any content.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "settings/profile_win.h"
#include "settings/settings.h"

namespace clip {
namespace {

class IniFile : public ::testing::Test {
 protected:
  void SetUp() override {
    char dir[MAX_PATH];
    GetTempPathA(sizeof dir, dir);
    path_ = std::string(dir) + "clip_ini_test.ini";
    DeleteFileA(path_.c_str());
  }
  void TearDown() override { DeleteFileA(path_.c_str()); }
  void Write(const std::string& bytes) {
    FILE* f = std::fopen(path_.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  std::string Read() {
    std::string out;
    FILE* f = std::fopen(path_.c_str(), "rb");
    if (!f) return out;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
    std::fclose(f);
    return out;
  }
  std::string path_;
};

TEST_F(IniFile, MissingFileSectionOrKeyGivesTheDefaultAndCreatesNothing) {
  IniProfile p(path_);
  EXPECT_EQ(p.GetString("MainSeting", "mvTitle", "Clipledger", 128), "Clipledger");
  EXPECT_EQ(p.GetInt("Customize", "FileSizeBT", 1), 1);
  EXPECT_EQ(GetFileAttributesA(path_.c_str()), INVALID_FILE_ATTRIBUTES);
  Write("[Customize]\r\nListClear=1\r\n");
  EXPECT_EQ(p.GetInt("Customize", "SizeInfo", 0), 0);
  EXPECT_EQ(p.GetInt("Other", "ListClear", 7), 7);
}

TEST_F(IniFile, NamesCompareWithoutCaseAndValuesAreCutAtTheBuffer) {
  Write("[customize]\nautoscan=D:\\Movies\n[WINDOWFONTS]\r\nMainFontSize=1234\r\n");
  IniProfile p(path_);
  EXPECT_EQ(p.GetString("Customize", "AutoScan", "C:\\", 256), "D:\\Movies");
  EXPECT_EQ(p.GetString("WindowFonts", "MainFontSize", "12", 4), "123");
}

TEST_F(IniFile, IntegerKeysReadTheLeadingDecimalNumber) {
  Write("[S]\r\na=012\r\nb=-5\r\nc=abc\r\nd= 7x\r\ne=2\r\n");
  IniProfile p(path_);
  EXPECT_EQ(p.GetInt("S", "a", 9), 12);
  EXPECT_EQ(p.GetInt("S", "b", 9), -5);
  EXPECT_EQ(p.GetInt("S", "c", 9), 0);
  EXPECT_EQ(p.GetInt("S", "d", 9), 7);
  EXPECT_EQ(p.GetInt("S", "e", 1), 2);
}

TEST_F(IniFile, WritesReplaceOrAddOneKeyAndKeepEveryOtherLine) {
  Write("; comment\r\n[MainSeting]\r\nLeft=10\r\nTop=20\r\n");
  IniProfile p(path_);
  ASSERT_TRUE(p.WriteString("MainSeting", "Left", "64"));
  ASSERT_TRUE(p.WriteString("MainSeting", "EndSet", "2"));
  ASSERT_TRUE(p.WriteString("Customize", "ListBkColor", "0xff0000"));
  std::string text = Read();
  EXPECT_NE(text.find("; comment"), std::string::npos);
  EXPECT_NE(text.find("Left=64"), std::string::npos);
  EXPECT_NE(text.find("Top=20"), std::string::npos);
  EXPECT_EQ(p.GetInt("MainSeting", "EndSet", 1), 2);
  EXPECT_EQ(p.GetString("Customize", "ListBkColor", "", 32), "0xff0000");
}

TEST_F(IniFile, FilesOfAnyContentGiveValuesOrDefaults) {
  std::string junk;
  for (int i = 0; i < 70000; ++i) junk += static_cast<char>((i * 7919) & 0xFF);
  const std::string longLine(100 * 1024, 'x');
  const std::string cases[] = {
      junk,
      "[MainSeting]\r\nmvTitle=" + longLine + "\r\nLeft=5",  // no final newline
      std::string("[MainSeting]\0\r\nLeft=5\r\n", 22),
      "[MainSeting\r\nLeft=5\r\n=\r\n[]\r\n",
  };
  for (const std::string& bytes : cases) {
    Write(bytes);
    IniProfile p(path_);
    Settings s;
    s.programFolder = "C:\\x";
    LoadSettings(p, s);
    EXPECT_LE(s.title.size(), 127u);
    EXPECT_LE(s.mainFontFace.size(), 31u);
    (void)p.GetInt("MainSeting", "Left", 64);
  }
  Write("[MainSeting]\r\nmvTitle=" + longLine + "\r\nLeft=5");
  IniProfile p(path_);
  EXPECT_EQ(p.GetString("MainSeting", "mvTitle", "", 128), std::string(127, 'x'));
  EXPECT_EQ(p.GetInt("MainSeting", "Left", 64), 5);
}

}  // namespace
}  // namespace clip
