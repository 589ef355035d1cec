#include "base/cp932.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/unicode.h"

namespace clip {
namespace {

std::u32string Decode(std::string_view utf8) {
  std::u32string out;
  for (std::size_t pos = 0; pos < utf8.size();) out.push_back(NextCodePoint(utf8, pos));
  return out;
}

TEST(Cp932, EverySingleByteAndEveryPairWithACharacterComesBack) {
  for (unsigned b = 0; b < 256; ++b) {
    if (IsCp932LeadByte(static_cast<unsigned char>(b))) continue;
    const std::string byte(1, static_cast<char>(b));
    const std::string utf8 = Cp932ToUtf8(byte);
    EXPECT_EQ(Decode(utf8).size(), 1u) << b;
    EXPECT_EQ(Utf8ToCp932(utf8), byte) << b;
  }
  int characters = 0, rewritten = 0;
  for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
    if (!IsCp932LeadByte(static_cast<unsigned char>(lead))) continue;
    for (unsigned trail = 1; trail < 256; ++trail) {
      const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
      const std::string utf8 = Cp932ToUtf8(pair);
      const std::u32string chars = Decode(utf8);
      ASSERT_EQ(chars.size(), 1u) << lead << ' ' << trail;     // a pair is one character
      if (chars[0] == 0x30FB && pair != "\x81\x45") continue;  // the pair holds none
      ++characters;
      std::size_t changed = 9;
      const std::string back = Utf8ToCp932(utf8, &changed);
      EXPECT_EQ(changed, 0u);
      EXPECT_TRUE(FitsCp932(utf8));
      EXPECT_EQ(Cp932ToUtf8(back), utf8);
      if (back != pair) {
        // Twins of one character: the NEC-selected IBM rows ED and EE, and a
        // few of rows 87 and FA, are written as their other code.
        EXPECT_TRUE(lead == 0xED || lead == 0xEE || lead == 0x87 || lead == 0xFA) << lead;
        ++rewritten;
      }
    }
  }
  EXPECT_EQ(characters, 9604);
  EXPECT_EQ(rewritten, 398);
}

TEST(Cp932, BrokenPairsAndTheBytesOutsideJisDecodeAsWindowsDoes) {
  using namespace std::string_view_literals;
  EXPECT_EQ(Cp932ToUtf8("\x82"), u8"\u30FB");            // lead byte at the end
  EXPECT_EQ(Cp932ToUtf8("\x82\0a"sv), u8"\u30FB\0a"sv);  // a 0 is no trail byte
  EXPECT_EQ(Cp932ToUtf8("\x81\x20x"), u8"\u30FBx");      // both bytes of an empty pair go
  EXPECT_EQ(Cp932ToUtf8("\xEB\x40"), u8"\u30FB");        // a lead byte of an empty row
  EXPECT_EQ(Cp932ToUtf8("\x80\xA0\xFD\xFE\xFF"), u8"\u0080\uF8F0\uF8F1\uF8F2\uF8F3");
  EXPECT_EQ(Cp932ToUtf8("\\~\xB1\x82\xA0\x83\x5C"), u8"\\~\uFF71\u3042\u30BD");
  EXPECT_EQ(Cp932ToUtf8(""), "");
}

TEST(Cp932, EncodesWithBestFitAndDefaultCharAndCountsChanges) {
  const struct {
    const char* utf8;
    const char* cp932;
    std::size_t changed;
  } cases[] = {
      {u8"\u6620\u753B.avi", "\x89\x66\x89\xE6.avi", 0},  // 映画
      {u8"\u03A9", "\x83\xB6", 0},                        // Greek capital omega
      {u8"\uFF5E", "\x81\x60", 0},                        // full-width tilde
      {u8"\u2170", "\xFA\x40", 0},                        // small roman one: IBM row
      {u8"\u00E9", "e", 1},                               // best fit
      {u8"\u00A5", "\\", 1},                              // yen sign: best fit to 5C
      {u8"\u301C", "?", 1},                               // wave dash: no best fit here
      {u8"\uD55C", "?", 1},                               // hangul
      {u8"\U0001F600", "??", 1},                          // emoji: one '?' per UTF-16 half
      {"a\xFF\xE3\x81z", "a???z", 3},                     // each bad byte
      {u8"\uFFFD", "?", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.utf8);
    std::size_t changed = 99;
    EXPECT_EQ(Utf8ToCp932(c.utf8, &changed), c.cp932);
    EXPECT_EQ(changed, c.changed);
    EXPECT_EQ(FitsCp932(c.utf8), c.changed == 0);
    EXPECT_EQ(Cp932Length(c.utf8), std::string(c.cp932).size());
  }
  std::size_t changed = 0;
  EXPECT_EQ(Utf8ToCp932(u8"\u00E9t\u00E9 \uD55C\U0001F600 \u6620", &changed), "ete ??? \x89\x66");
  EXPECT_EQ(changed, 4u);
}

TEST(Cp932, CutsCountCodePage932BytesAndNeverSplitACharacter) {
  std::string kanji = "a";
  for (int i = 0; i < 200; ++i) kanji += u8"\u6F22";  // 3 bytes in UTF-8, 2 in code page 932
  const std::string cut = CutCp932(kanji, 255);
  EXPECT_EQ(cut.size(), 1 + 127 * 3u);
  EXPECT_EQ(Cp932Length(cut), 255u);
  EXPECT_EQ(Cp932Length(CutCp932(kanji, 254)), 253u);  // the next kanji would make 255
  EXPECT_EQ(CutCp932(kanji, 0), "");
  EXPECT_EQ(CutCp932("abc", 127), "abc");

  // Every limit over a text of every width: a prefix on a character
  // boundary, within the limit, and one more character would not fit.
  const std::string mixed =
      u8"ab\uFF71\u3042\U0001F600c\u00E9\uD55C"
      "\xE3\x81"
      u8"\u6F22d\uFF9E\U0001F601e";
  const std::size_t total = Cp932Length(mixed);
  EXPECT_EQ(total, 19u);
  for (std::size_t max = 0; max <= total + 1; ++max) {
    const std::string c = CutCp932(mixed, max);
    ASSERT_EQ(mixed.compare(0, c.size(), c), 0);
    EXPECT_LE(Cp932Length(c), max);
    if (c.size() < mixed.size()) {
      std::size_t next = c.size();
      NextCodePoint(mixed, next);
      EXPECT_GT(Cp932Length(mixed.substr(0, next)), max) << max;
    }
  }
}

TEST(Cp932, SortKeysOrderLikeTheCodePage932Bytes) {
  // Expected order: by code page 932 bytes, a prefix first; half-width
  // katakana (A1-DF) sits between the kanji of lead bytes 88-9F and E0-FC;
  // characters code page 932 lacks come last, by code point.
  const std::vector<std::string> ordered = {
      "",
      "A",
      "a",
      "ab",
      u8"ab\u3042",  // 82 A0
      u8"\u4E9C",    // 88 9F
      u8"\u6F22",    // 8A BF
      u8"\uFF71",    // B1
      u8"\uFF71a",
      u8"\u6F3E",  // E0 40
      u8"\uF8F3",  // FF, the highest single byte
      u8"\uF8F3\uF8F3",
      u8"\u00E9",      // lacking: U+00E9
      u8"\uD55C",      // U+D55C
      u8"\U0001F600",  // U+1F600
      u8"\U0001F600a",
  };
  for (std::size_t i = 0; i + 1 < ordered.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_LT(Cp932SortKey(ordered[i]), Cp932SortKey(ordered[i + 1]));
    if (FitsCp932(ordered[i + 1])) EXPECT_LT(Utf8ToCp932(ordered[i]), Utf8ToCp932(ordered[i + 1]));
  }
  EXPECT_EQ(Cp932SortKey(u8"a\u3042"), "a\x82\xA0");  // its code page 932 bytes
}

}  // namespace
}  // namespace clip
