// The settings file through the platform's private-profile functions: the
// semantics the program relies on, and files of any content. The program's
// own reader and writer (settings/ini_file.h) must give the same results as
// those functions (the A ones, under code page 932) for every file.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "base/cp932.h"
#include "settings/ini_file.h"
#include "platform_profile.h"
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

// Texts are built from code page 932 bytes; the program's reader takes
// and gives their UTF-8.
class SameAsPlatform : public IniFile {
 protected:
  void SetUp() override {
    IniFile::SetUp();
    own_ = std::make_unique<::clip::IniFile>(Cp932ToUtf8(path_));
  }
  // The file holds bytes (none: no file), and the platform forgets what it
  // read before.
  void Reset(const std::string* bytes) {
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path_.c_str());
    DeleteFileA(path_.c_str());
    if (bytes) Write(*bytes);
  }
  std::string PlatformString(const std::string& s, const std::string& k, const std::string& d,
                             std::size_t size) {
    // The text in the buffer: on a cut the count says size - 1 even when a
    // double-byte character did not fit.
    std::vector<char> buf(size + 1, '\0');
    GetPrivateProfileStringA(s.c_str(), k.c_str(), d.c_str(), buf.data(), static_cast<DWORD>(size),
                             path_.c_str());
    return buf.data();
  }
  std::string OwnString(const std::string& s, const std::string& k, const std::string& d,
                        std::size_t size) {
    return Utf8ToCp932(own_->GetString(Cp932ToUtf8(s), Cp932ToUtf8(k), Cp932ToUtf8(d), size));
  }
  void CompareReads(const std::string& label, const std::vector<const char*>& sections,
                    const std::vector<const char*>& keys, const std::vector<std::size_t>& sizes) {
    const char* defaults[] = {"def", "'quoted'  ", " ", "\x82\xa0\x82\xa2"};
    for (const char* s : sections)
      for (const char* k : keys) {
        const std::string where = label + " [" + s + "] " + k;
        for (std::size_t i = 0; i < sizes.size(); ++i) {
          const char* d = defaults[i % 4];
          ASSERT_EQ(OwnString(s, k, d, sizes[i]), PlatformString(s, k, d, sizes[i]))
              << where << " size " << sizes[i] << " default " << d;
        }
        for (int d : {7, -1})
          ASSERT_EQ(own_->GetInt(Cp932ToUtf8(s), Cp932ToUtf8(k), d),
                    static_cast<int>(GetPrivateProfileIntA(s, k, d, path_.c_str())))
              << where;
      }
  }
  // The same writes from the same start: the same answers and bytes after
  // each one.
  void CompareWrites(const std::string& label, const std::string* start,
                     const std::vector<std::vector<std::string>>& writes) {
    std::vector<std::string> own, platform;
    Reset(start);
    for (const auto& w : writes) {
      own.push_back(std::to_string(
          own_->WriteString(Cp932ToUtf8(w[0]), Cp932ToUtf8(w[1]), Cp932ToUtf8(w[2]))));
      own.push_back(Read());
    }
    Reset(start);
    for (const auto& w : writes) {
      platform.push_back(std::to_string(
          WritePrivateProfileStringA(w[0].c_str(), w[1].c_str(), w[2].c_str(), path_.c_str())));
      platform.push_back(Read());
    }
    for (std::size_t i = 0; i < own.size(); ++i)
      ASSERT_EQ(own[i], platform[i])
          << label << " after write " << i / 2 << " of " << writes.size();
  }
  std::unique_ptr<::clip::IniFile> own_;
};

TEST_F(SameAsPlatform, ReadsAndWritesOfEveryKindOfFile) {
  using namespace std::string_literals;
  const std::string files[][2] = {
      {"settings",
       "; comment\r\n[S]\r\na=1\r\n b  =  two words  \r\nj=\x82\xa0\x82\xa2\x83\x5c\x95\x5c\r\n"
       "q=\"quoted\"\r\nr='x\r\ns=''\r\ne=\r\n;k=commented\r\nK2=upper\r\n"
       "n1=0x1F\r\nn2=-5\r\nn3= +7x\r\nn4=0b101\r\nn5=0o17\r\nn6=4294967297\r\nn7=0X10\r\n"
       "n8=\"12\"\r\nn9=\x82\x50\r\nn10=0000000000000000000000000000009\r\n[T]\r\nA=t\r\n"},
      {"duplicates", "[S]\r\na=1\r\na=2\r\nA=3\r\n[T]\r\nb=3\r\n[s]\r\na=4\r\nc=5\r\n"},
      {"odd lines",
       "[U\r\na=0\r\n=top\r\n[S\r\na=1\r\n=v1\r\n=v2\r\n[]\r\nb=2\r\n[ T ]junk]x\r\na=3\r\n"
       "[T\r\nc\r\n= \r\n"},
      {"nul bytes", "[S]\0x\r\na\0b=1\r\nb=2\0tail\r\n\0=3\r\nj=\x82\0\r\n[T\0]\r\na=4\r\n"s},
      {"line ends", "[S]\ra=1\rb=2\n[T]\n\na=3\r\r\n\n\rc=4"},
      {"blanks",
       "\t[S]\t\r\n\ta\t=\t1\t\x1a\r\n\x0b\x0c"
       "b=2 \x81 \r\n\x1a"},
      {"lead bytes",
       "[S]\r\na=\x81\nb=2\r\nc=\x82\r\nq=\x81\x5d\r\n[\x81]\r\na=5\r\n[T]\r\na=6\x81"},
      {"duplicate codes", "[S]\r\nj=\xed\x40\x87\x90\x81\xe0\xfa\x5c\xa0\xfd\x80\r\na=1\r\n"},
      {"utf-8 file", "\xEF\xBB\xBF[S]\r\na=\xE3\x81\x82\r\nb=caf\xC3\xA9\r\nj=\xE2\x82\xAC\r\n"},
      {"utf-16 file", "\xFF\xFE[\0S\0]\0\r\0\n\0a\0=\0B0\r\0\n\0"s},
      {"empty file", ""},
  };
  const std::vector<const char*> sections = {"S", "s", " S ", "T", "", "U", "Missing"};
  const std::vector<const char*> keys = {"a",  "A",  "b",  "c",   "j",  "q",  "r",  "s",
                                         "e",  "K2", "n1", "n2",  "n3", "n4", "n5", "n6",
                                         "n7", "n8", "n9", "n10", "",   ";k", "[S", " a "};
  const std::vector<std::vector<std::string>> writes = {
      {"S", "a", "1"},             // the value it has
      {"s", "A", "\x82\xa0 new"},  // replaced, name as in the file
      {"S", "added", "  lead"},    // to an earlier section
      {"New", "k", "'v'"},         // a new section
      {"", "top", "x"},            // above the first section
      {" T ", " b ", "=q= "},      // names without blanks
  };
  for (const auto& f : files) {
    Reset(&f[1]);
    CompareReads(f[0], sections, keys, {1, 2, 3, 4, 5, 64});
    CompareWrites(f[0], &f[1], writes);
  }
  Reset(nullptr);
  CompareReads("no file", {"S"}, {"a"}, {1, 4});
  CompareWrites("no file", nullptr, writes);

  // Large files: a line of 100 KB, junk bytes, 10 MB of sections.
  std::string junk;
  for (int i = 0; i < 70000; ++i) junk += static_cast<char>((i * 7919) & 0xFF);
  std::string big;
  for (int i = 0; big.size() < 10 * 1000 * 1000; ++i)
    big += "[Sec" + std::to_string(i) + "]\r\nkey=" + std::string(200, 'v') + "\r\n";
  big += "[S]\r\na=last";
  const std::string large[][2] = {
      {"long line", "[S]\r\na=" + std::string(100 * 1024, 'x') + "\r\nb=2"},
      {"junk", junk},
      {"10 MB", big},
  };
  for (const auto& f : large) {
    Reset(&f[1]);
    CompareReads(f[0], {"S", "Sec7"}, {"a", "b", "key"}, {64, 200000});
    CompareWrites(f[0], &f[1], {{"S", "b", "3"}, {"Sec2", "new", "1"}});
  }
}

}  // namespace
}  // namespace clip
