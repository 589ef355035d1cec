// The settings file's own reader and writer: code page 932 on disk, UTF-8
// inside, UTF-8 behind a byte-order mark for text code page 932 lacks.
// (The Wine suite compares every other behaviour with the platform's.)
#include "settings/ini_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace clip {
namespace {

const std::string kGothic = u8"\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF";  // ＭＳ Ｐゴシック
const std::string kGothicCp932 = "\x82\x6C\x82\x72 \x82\x6F\x83\x53\x83\x56\x83\x62\x83\x4E";
const std::string kKorean = u8"D:\\\uD55C\uAD6D\uC601\uD654";  // 한국영화: 9C ends 화's UTF-8

std::string With(const std::string& bytes, const std::string& section, const std::string& key,
                 const std::string& value) {
  std::string out = bytes;
  IniWithValue(bytes, !bytes.empty(), section, key, value, out);
  return out;
}
std::string Get(const std::string& bytes, const std::string& key, std::size_t buffer = 256) {
  return IniGetString(bytes, true, "S", key, "-", buffer);
}

TEST(IniFileText, Cp932TextKeepsItsBytesAndOtherTextTravelsAsUtf8BehindAMark) {
  std::string file = With("", "S", "Face", kGothic);
  EXPECT_EQ(file, "[S]\r\nFace=" + kGothicCp932 + "\r\n");
  EXPECT_EQ(Get(file, "Face"), kGothic);

  file = With(file, "S", "Dir", kKorean);
  const std::string korean = "Dir=\xEF\xBB\xBF" + kKorean + "\r\n";
  EXPECT_NE(file.find(korean), std::string::npos);
  EXPECT_EQ(Get(file, "Dir"), kKorean);
  // Another write keeps both forms, and the last UTF-8 byte (0x9C, a lead
  // byte of code page 932) takes neither the CR nor a bare LF with it.
  file = With(file, "S", "Next", u8"caf\u00E9");
  EXPECT_EQ(file, "[S]\r\nFace=" + kGothicCp932 + "\r\n" + korean + "Next=\xEF\xBB\xBF" +
                      u8"caf\u00E9\r\n");
  EXPECT_EQ(Get("[S]\nDir=\xEF\xBB\xBF" + kKorean + "\nNext=1\n", "Next"), "1");
  EXPECT_EQ(Get(file, "Next"), u8"caf\u00E9");
  // Writing the same text again changes nothing; a BOM value in quotes
  // loses them like any other.
  std::string same;
  EXPECT_FALSE(IniWithValue(file, true, "s", "dir", kKorean, same));
  EXPECT_EQ(Get("[S]\r\nQ=\xEF\xBB\xBF'" + kKorean + "'\r\n", "Q"), kKorean);
}

TEST(IniFileText, ReadsKeepAtMostBufferSizeLessOneBytesOfTheCp932Form) {
  const std::string file = "[S]\r\nJ=\x82\xA0\x82\xA2\x82\xA4\r\nK=\xEF\xBB\xBF" + kKorean + "\r\n";
  const std::string aiu = u8"\u3042\u3044\u3046";
  const char* expected[] = {
      "", "", "", u8"\u3042", u8"\u3042", u8"\u3042\u3044", u8"\u3042\u3044", aiu.c_str()};
  for (std::size_t size = 0; size < 8; ++size) EXPECT_EQ(Get(file, "J", size), expected[size]);
  // A character code page 932 lacks counts as its one-byte stand-in.
  EXPECT_EQ(Get(file, "K", 6), u8"D:\\\uD55C\uAD6D");
  EXPECT_EQ(IniGetString("", false, "S", "K", kGothic, 6), u8"\uFF2D\uFF33 ");
}

TEST(IniFileText, TheFileIsReadAnewForEveryCallAndCreatedByTheFirstWrite) {
  const std::string path = testing::TempDir() + "ini_file_test.ini";
  std::remove(path.c_str());
  IniFile ini(path);
  EXPECT_EQ(ini.GetString("S", "A", "x", 8), "x");
  EXPECT_EQ(ini.GetInt("S", "A", -3), -3);
  ASSERT_TRUE(ini.WriteString("S", "A", "1"));
  EXPECT_EQ(ini.GetInt("S", "A", 0), 1);
  // A change of the same size at once, from outside.
  std::FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fputs("[S]\r\nA=2\r\n", f);
  std::fclose(f);
  EXPECT_EQ(ini.GetInt("S", "A", 0), 2);
  std::remove(path.c_str());
  EXPECT_FALSE(IniFile(testing::TempDir()).WriteString("S", "A", "1"));
}

}  // namespace
}  // namespace clip
