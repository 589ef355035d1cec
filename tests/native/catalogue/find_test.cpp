// Find: the folding that makes two spellings of one text equal, the
// substring matcher and the search over rows with its wrapping and column
// choice.
#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

#include "catalogue/find.h"

namespace clip {
namespace {

bool Same(const std::string& a, const std::string& b, bool kana = false) {
  return FoldForFind(a, kana) == FoldForFind(b, kana);
}

TEST(FoldForFind, EqualWhenOnlyCaseWidthOrCompositionDiffers) {
  EXPECT_EQ(FoldForFind(u8"ＡＢＣ１２３ Movie", false), "abc123 movie");
  const struct {
    const char* a;
    const char* b;
  } same[] = {
      {u8"ｶﾀｶﾅ", u8"カタカナ"},
      {u8"ｶﾞｲﾄﾞ", u8"ガイド"},            // half-width voiced mark joins its kana
      {u8"ﾊﾟﾝﾌﾟｷﾝ", u8"パンプキン"},      // semi-voiced
      {u8"ｳﾞｧｲｵﾘﾝ", u8"ヴァイオリン"},    // ｳﾞ is ヴ
      {u8"ｰ｢ｱ｣､｡･", u8"ー「ア」、。・"},  // half-width punctuation
      {u8"！＂＃＄％＆　（）", "!\"#$%& ()"},
      {u8"ＴＨＥ　ＭＯＶＩＥ", "the movie"},
      {u8"ÉCOLE Ÿ", u8"école ÿ"},
      {u8"ĀŁŇŽ", u8"āłňž"},
      {u8"ΟΔΟΣ Ά", u8"οδοσ ά"},  // Greek, final sigma folded too
      {u8"МОСКВА ЁЖИК", u8"москва ёжик"},
      {"cafe\u0301", u8"café"},              // decomposed accent
      {"CAFE\u0301", u8"café"},              // accent after an upper-case base
      {"\xEF\xBC\xA5\xCC\x81", u8"é"},       // full-width E + U+0301
      {"\xE3\x81\x8B\xE3\x82\x99", u8"が"},  // か + combining voiced mark
      {"\xE3\x83\x8F\xE3\x82\x9A", u8"パ"},  // ハ + combining semi-voiced mark
      {"e\xCD\x81", u8"é"},                  // U+0341, the acute tone mark
  };
  for (const auto& c : same) {
    SCOPED_TRACE(c.a);
    EXPECT_TRUE(Same(c.a, c.b));
  }
  const struct {
    const char* a;
    const char* b;
  } different[] = {
      {u8"～", "~"},                 // the wave dash is not a tilde
      {u8"ひらがな", u8"ヒラガナ"},  // kana differ without the option
      {u8"カ", u8"ガ"},              // a voiced kana is another kana
      {u8"ï", u8"i"},                // no accent is dropped
      {"a\xCC\x81\xCC\x81", u8"á"},  // a second accent stays
      {"\xFF", "\xFE"},              // bad bytes stay what they are
      {u8"ｶ ﾞ", u8"ガ"},             // a mark after a space joins nothing
  };
  for (const auto& c : different) {
    SCOPED_TRACE(c.a);
    EXPECT_FALSE(Same(c.a, c.b));
  }
  // The kana option: hiragana become katakana, voiced ones too.
  EXPECT_TRUE(Same(u8"ひらがな", u8"ヒラガナ", true));
  EXPECT_TRUE(Same(u8"ゔぁ ゞ", u8"ヴァ ヾ", true));
  EXPECT_TRUE(Same(u8"ｳﾞ", u8"ゔ", true));
  EXPECT_TRUE(Same("\xE3\x81\xB2\xE3\x82\x9A", u8"ピ", true));  // ひ + U+309A
  // Broken text never makes a longer key and leaves what follows intact.
  EXPECT_EQ(FoldForFind("\xE3\x81"
                        "AB",
                        false),
            "\xE3\x81"
            "ab");
}

TEST(TextMatcher, FindsTheTypedTextInsideCellsOfAnyForm) {
  const TextMatcher movie("Movie", false);
  EXPECT_TRUE(movie.Matches("my MOVIE.avi"));         // ASCII cell
  EXPECT_TRUE(movie.Matches(u8"ＭｏＶＩＥ_夏.avi"));  // full-width, mixed
  EXPECT_FALSE(movie.Matches("movi"));
  EXPECT_FALSE(movie.Matches(u8"ｍｏｖｉ"));
  const TextMatcher guide(u8"ガイド", false);
  EXPECT_TRUE(guide.Matches(u8"旅行ｶﾞｲﾄﾞ 01"));
  EXPECT_FALSE(guide.Matches(u8"かいど"));
  EXPECT_TRUE(TextMatcher(u8"かいど", true).Matches(u8"ｶｲﾄﾞ"));
  EXPECT_TRUE(TextMatcher(u8"Café", false).Matches("le cafe\u0301 noir"));
  EXPECT_TRUE(TextMatcher(u8"ｶﾞｲﾄﾞ", false).Matches(u8"ガイドブック"));
  // An empty text, or one that folds to nothing, matches nothing.
  EXPECT_TRUE(TextMatcher("", false).Empty());
  EXPECT_FALSE(TextMatcher("", false).Matches("anything"));
}

TEST(TextMatcher, AgreesWithSearchingTheFoldedCell) {
  // The matcher turns most cells down without folding them; it must never
  // turn down one whose folded text holds the folded key. Cells and keys
  // are drawn from characters that fold in every way.
  const char* pieces[] = {"a",    "A",   u8"ａ", u8"Ａ", "e",    "E",    "\xCC\x81", u8"é",
                          u8"É",  u8"ｶ", u8"ﾞ",  u8"カ", u8"ガ", u8"か", u8"が",     "\xE3\x82\x99",
                          u8"夏", " ",   u8"　", "1",    u8"１", u8"ι",  u8"Ϊ",      "\xCC\x88",
                          "\xFF"};
  std::uint32_t seed = 12345;
  auto next = [&seed](std::uint32_t n) {
    seed = seed * 1664525u + 1013904223u;
    return (seed >> 8) % n;
  };
  auto text = [&](std::uint32_t length) {
    std::string t;
    for (std::uint32_t i = 0; i < length; ++i) t += pieces[next(std::size(pieces))];
    return t;
  };
  for (int i = 0; i < 3000; ++i) {
    const bool kana = i % 2;
    const std::string key = text(1 + next(3)), cell = text(next(12));
    SCOPED_TRACE(key + " in " + cell);
    const bool expected = !FoldForFind(key, kana).empty() &&
                          FoldForFind(cell, kana).find(FoldForFind(key, kana)) != std::string::npos;
    ASSERT_EQ(TextMatcher(key, kana).Matches(cell), expected);
  }
}

class FindRows : public ::testing::Test {
 protected:
  // Only the title and folder columns shown: columns 0, 1 and 2.
  CategoryTable table = [] {
    std::array<int, kCategoryCount> values{};
    values[MovieTitle] = 1;
    values[DirPath] = 1;
    return CategoryTable::FromValues(values);
  }();
  RowModel rows;

  void SetUp() override {
    const char* cells[][3] = {
        {"a.avi", "Alien", "D:\\SF"},     // 0
        {"b.avi", "Heat", "D:\\Crime"},   // 1
        {"c.avi", "Aliens", "D:\\SF"},    // 2
        {"d.avi", "Up", "D:\\Anime"},     // 3
        {"alien3.avi", "", "D:\\Anime"},  // 4
    };
    for (const auto& r : cells) {
      const int row = rows.Insert(rows.Count(), r[0], 0);
      rows.SetCell(row, 1, r[1]);
      rows.SetCell(row, 2, r[2]);
    }
    // A cell beyond the shown columns is never searched.
    rows.SetCell(1, 5, "alien");
  }
  int Next(const std::string& text, int from, bool forward, int column = -1) {
    return FindNext(rows, table, FindQuery{text, column, false}, from, forward);
  }
};

TEST_F(FindRows, NextAndPreviousWrapAndKeepToTheChosenColumn) {
  EXPECT_EQ(Next("alien", 0, true), 2);
  EXPECT_EQ(Next("alien", 2, true), 4);
  EXPECT_EQ(Next("ALIEN", 4, true), 0);   // wraps past the end
  EXPECT_EQ(Next("alien", 0, false), 4);  // wraps past the start
  EXPECT_EQ(Next("alien", 4, false), 2);
  EXPECT_EQ(Next("alien", -1, true), 0);  // nothing selected
  EXPECT_EQ(Next("alien", -1, false), 4);
  EXPECT_EQ(Next("heat", 1, true), 1);  // the only match is the current row
  EXPECT_EQ(Next("heat", 1, false), 1);
  EXPECT_EQ(Next("crime", 3, true), 1);  // the folder column counts
  // One column: the file-name column holds "alien" only in row 4.
  EXPECT_EQ(Next("alien", 0, true, 0), 4);
  EXPECT_EQ(Next("alien", 4, true, 1), 0);
  EXPECT_EQ(Next("anime", 0, true, 1), -1);
  EXPECT_EQ(Next("alien", 0, true, 3), -1);  // a column that is not shown
  EXPECT_EQ(Next("", 0, true), -1);
  EXPECT_EQ(Next("terminator", 0, true), -1);
  EXPECT_EQ(FindAll(rows, table, FindQuery{u8"ＡＬＩＥＮ", -1, false}),
            (std::vector<int>{0, 2, 4}));
  EXPECT_EQ(FindAll(rows, table, FindQuery{"sf", 2, false}), (std::vector<int>{0, 2}));
  EXPECT_TRUE(FindAll(RowModel(), table, FindQuery{"a", -1, false}).empty());
}

}  // namespace
}  // namespace clip
