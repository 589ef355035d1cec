#include "base/text.h"

#include <gtest/gtest.h>

namespace clip {
namespace {

TEST(Cutters, ClampCountsAndPositions) {
  EXPECT_EQ(RightText("abc", 5), "abc");
  EXPECT_EQ(RightText("abc", 2), "bc");
  EXPECT_EQ(RightText("abc", 0), "");
  EXPECT_EQ(RightText("abc", -3), "");
  EXPECT_EQ(LeftText("abc", 0), "");
  EXPECT_EQ(LeftText("abc", 9), "abc");
  EXPECT_EQ(MidText("abcdef", 3, 2), "cd");
  EXPECT_EQ(MidText("abcdef", 2, -1), "bcdef");
  EXPECT_EQ(MidText("abc", 0, 3), "ab");  // position 0 lies before the text
  EXPECT_EQ(MidText("abc", 3, 10), "c");
  EXPECT_EQ(MidText("abc", 5, 1), "");
}

TEST(Cutters, CountBytes) {
  EXPECT_EQ(LeftText("ソa", 1), "\xE3");
  EXPECT_EQ(RightText("aソ", 1), "\xBD");
  // A cutter may take its own previous result as input.
  std::string r = LeftText("abcdef", 4);
  EXPECT_EQ(LeftText(r, 2), "ab");
}

TEST(Cutters, CutCp932BytesKeepsDoubleByteCharactersWhole) {
  EXPECT_EQ(CutCp932Bytes("abc", 5), "abc");
  EXPECT_EQ(CutCp932Bytes("abcdef", 3), "abc");
  EXPECT_EQ(CutCp932Bytes("ab\x82\xA0", 3), "ab");
  EXPECT_EQ(CutCp932Bytes("ab\x82\xA0z", 4), "ab\x82\xA0");
  EXPECT_EQ(CutCp932Bytes("\xB1\xB2\xB3", 2),
            "\xB1\xB2");  // half-width katakana are single bytes
  EXPECT_EQ(CutCp932Bytes("x", 0), "");
  EXPECT_EQ(CutCp932Bytes("ab\x82", 3), "ab\x82");  // a lone lead byte at the end is one byte
}

TEST(PathSplit, DirectoryAndFileName) {
  EXPECT_EQ(PathDirectory("D:\\Movies\\a.avi"), "D:\\Movies");
  EXPECT_EQ(PathFileName("D:\\Movies\\a.avi"), "a.avi");
  EXPECT_EQ(PathDirectory("D:\\a.avi"), "D:");
  EXPECT_EQ(PathDirectory("a.avi"), "");
  EXPECT_EQ(PathFileName("a.avi"), "a.avi");
  EXPECT_EQ(PathDirectory("D:\\Movies\\x.y.avi"), "D:\\Movies");
  EXPECT_EQ(PathFileName("D:\\Movies\\x.y.avi"), "x.y.avi");
  EXPECT_EQ(PathDirectory("C:\\"), "C:");
  EXPECT_EQ(PathFileName("C:\\dir\\"), "");
  EXPECT_EQ(PathFileName("C:/dir/b.mpg"), "b.mpg");
  EXPECT_EQ(PathFileName("C:\\dir.x\\noext"), "noext");
}

TEST(PathSplit, NamesInAnyScript) {
  // ソ was 83 5C in code page 932, whose second byte is a backslash; the
  // program's UTF-8 paths have no such byte.
  const std::string path = "D:\\ソ\\한국영화.avi";
  EXPECT_EQ(PathFileName(path), "한국영화.avi");
  EXPECT_EQ(PathDirectory(path), "D:\\ソ");
  EXPECT_EQ(PathFileName("D:\\Café\\emoji😀.avi"), "emoji😀.avi");
  EXPECT_FALSE(EndsWithSeparator("D:\\ソ"));
  EXPECT_TRUE(EndsWithSeparator("D:\\ソ\\"));
}

TEST(Numbers, GroupThousands) {
  EXPECT_EQ(GroupThousands("1234567"), "1,234,567");
  EXPECT_EQ(GroupThousands("123456"), "123,456");
  EXPECT_EQ(GroupThousands("12345"), "12,345");
  EXPECT_EQ(GroupThousands("123"), "123");
  EXPECT_EQ(GroupThousands("1"), "1");
  EXPECT_EQ(GroupThousands("-123"), "-,123");
  EXPECT_EQ(GroupThousands(""), "");
  EXPECT_EQ(GroupThousands("4294967295"), "4,294,967,295");
  EXPECT_EQ(GroupThousands("18446744073709551615"), "18,446,744,073,709,551,615");
}

TEST(Numbers, ParseGroupedNumberReadsLikeStrtolBase0In64Bits) {
  EXPECT_EQ(ParseGroupedNumber("1,234,567"), 1234567);
  EXPECT_EQ(ParseGroupedNumber("1,234KB"), 1234);
  EXPECT_EQ(ParseGroupedNumber("012"), 10);
  EXPECT_EQ(ParseGroupedNumber(""), 0);
  EXPECT_EQ(ParseGroupedNumber("  -5"), -5);
  EXPECT_EQ(ParseGroupedNumber("0x10"), 16);
  EXPECT_EQ(ParseGroupedNumber("0x"), 0);
  EXPECT_EQ(ParseGroupedNumber("abc"), 0);
  // A 5 GB file's byte cell reads back whole.
  EXPECT_EQ(ParseGroupedNumber("5,000,000,000"), 5000000000LL);
  EXPECT_EQ(ParseLongBase0("99999999999"), 2147483647);
  EXPECT_EQ(ParseLongBase0("-99999999999"), -2147483647 - 1);
  EXPECT_EQ(ParseLongBase0("0xffffff"), 0xffffff);
  EXPECT_EQ(ParseLongBase0("020"), 16);
}

TEST(Numbers, ParseTenthsReadsTheLastCharacterAsTenths) {
  EXPECT_FLOAT_EQ(ParseTenths("12.3"), 12.3f);
  EXPECT_FLOAT_EQ(ParseTenths("0.5"), 0.5f);
  EXPECT_FLOAT_EQ(ParseTenths("5.23"), 5.3f);
  EXPECT_FLOAT_EQ(ParseTenths("12"), 12.2f);
}

TEST(Numbers, ColorToHtmlSwapsRedAndBlue) {
  EXPECT_EQ(ColorToHtml("FF"), "FF0000");
  EXPECT_EQ(ColorToHtml("FF0000"), "0000FF");
  EXPECT_EQ(ColorToHtml("C08040"), "4080C0");
  EXPECT_EQ(ColorToHtml("0"), "000000");
  EXPECT_EQ(ColorToHtml("FFFFFF"), "FFFFFF");
}

TEST(Endings, LastThreeCharactersWithoutCase) {
  EXPECT_TRUE(EndsWithNoCase("a.AvI", "AVI"));
  EXPECT_TRUE(EndsWithNoCase("clipavi", "AVI"));
  EXPECT_TRUE(EndsWithNoCase("x.rm", ".RM"));
  EXPECT_FALSE(EndsWithNoCase("xrm", ".RM"));
  EXPECT_FALSE(EndsWithNoCase("av", "AVI"));
}

}  // namespace
}  // namespace clip
