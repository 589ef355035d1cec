#include "base/unicode.h"

#include <gtest/gtest.h>

#include <string>

namespace clip {
namespace {

std::u32string Decode(std::string_view text) {
  std::u32string out;
  for (std::size_t pos = 0; pos < text.size();) out.push_back(NextCodePoint(text, pos));
  return out;
}

TEST(Utf8, DecodesWellFormedTextAndGivesOneReplacementPerBadByte) {
  EXPECT_EQ(Decode("a\xC3\xA9\xE3\x81\x82\xF0\x9F\x98\x80"), U"a\u00E9\u3042\U0001F600");
  EXPECT_EQ(Decode("\xEF\xBF\xBD"), U"\uFFFD");  // U+FFFD written out is valid
  EXPECT_TRUE(IsValidUtf8("a\xC3\xA9\xE3\x81\x82\xF0\x9F\x98\x80\xEF\xBF\xBD"));
  const struct {
    const char* bytes;
    const char32_t* decoded;
  } bad[] = {
      {"\xC0\x80", U"\uFFFD\uFFFD"},                      // overlong U+0000
      {"\xE0\x80\xAF", U"\uFFFD\uFFFD\uFFFD"},            // overlong '/'
      {"\xF0\x82\x82\xAC", U"\uFFFD\uFFFD\uFFFD\uFFFD"},  // overlong U+20AC
      {"\xED\xA0\x80", U"\uFFFD\uFFFD\uFFFD"},            // encoded surrogate U+D800
      {"\xF4\x90\x80\x80", U"\uFFFD\uFFFD\uFFFD\uFFFD"},  // U+110000
      {"\xE3\x81", U"\uFFFD\uFFFD"},                      // cut short at the end
      {"\xE3\x81"
       "a\xC3",
       U"\uFFFD\uFFFDa\uFFFD"},       // the 'a' after a broken lead survives
      {"\x80\xBF", U"\uFFFD\uFFFD"},  // stray continuation bytes
      {"\xF8\x88\x80\x80\x80", U"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},  // five-byte form
      {"\xFF", U"\uFFFD"},
  };
  for (const auto& c : bad) {
    SCOPED_TRACE(c.bytes);
    EXPECT_EQ(Decode(c.bytes), c.decoded);
    EXPECT_FALSE(IsValidUtf8(c.bytes));
  }
}

TEST(Utf8, AsciiRunsAreSkippedUpToTheFirstOtherByteWhereverItIs) {
  for (std::size_t at = 0; at < 24; ++at) {
    std::string text(24, 'a');
    text[at] = '\x80';
    EXPECT_EQ(AsciiPrefixLength(text), at);
    EXPECT_FALSE(IsValidUtf8(text)) << at;
    text.replace(at, 1, "\xC3\xA9");
    EXPECT_TRUE(IsValidUtf8(text)) << at;
  }
  EXPECT_EQ(AsciiPrefixLength(std::string(19, 'z')), 19u);
}

TEST(Utf16, EveryScalarValueRoundTripsThroughUtf16AndUtf16Le) {
  std::string utf8;
  for (char32_t cp = 1; cp <= 0x10FFFF; ++cp)
    if (cp < 0xD800 || cp > 0xDFFF) AppendUtf8(utf8, cp);
  ASSERT_TRUE(IsValidUtf8(utf8));
  const std::u16string utf16 = Utf8ToUtf16(utf8);
  EXPECT_EQ(utf16.size(), 0xFFFFu - 0x800 + 2 * 0x100000);
  EXPECT_EQ(Utf16ToUtf8(utf16), utf8);
  std::string le;
  for (char16_t u : utf16) {
    le.push_back(static_cast<char>(u & 0xFF));
    le.push_back(static_cast<char>(u >> 8));
  }
  EXPECT_EQ(Utf16LeToUtf8(le), utf8);
}

TEST(Utf16, LoneSurrogatesHalfUnitsAndTerminatorsOfTags) {
  EXPECT_EQ(Utf16ToUtf8(u"\xD83D\xDE00"), u8"\U0001F600");
  EXPECT_EQ(Utf16ToUtf8(std::u16string{0xD800}), "\xEF\xBF\xBD");
  EXPECT_EQ(Utf16ToUtf8(std::u16string{0xDE00, 0xD83D}), "\xEF\xBF\xBD\xEF\xBF\xBD");  // reversed
  EXPECT_EQ(Utf16ToUtf8(std::u16string{0xD83D, 'a'}),
            "\xEF\xBF\xBD"
            "a");
  EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80z"), u"\uFFFD\uFFFD\uFFFDz");
  std::string s;
  AppendUtf8(s, 0xDC00);
  AppendUtf8(s, 0x110000);
  EXPECT_EQ(s, "\xEF\xBF\xBD\xEF\xBF\xBD");
  using namespace std::string_view_literals;
  EXPECT_EQ(Utf16LeToUtf8("a\0\x42\x30\0\0junk"sv), u8"a\u3042");  // stops at the terminator
  EXPECT_EQ(Utf16LeToUtf8("a\0b"sv), "a\xEF\xBF\xBD");             // half a unit at the end
  EXPECT_EQ(Utf16LeToUtf8(""), "");
}

}  // namespace
}  // namespace clip
