// Column sorting: the comparison with its padding and folding rules, the
// per-column directions and the sort of the row model.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "catalogue/sort.h"

namespace clip {
namespace {

int Sign(int v) { return (v > 0) - (v < 0); }

TEST(CompareFolded, FoldsAsciiLettersOnlyAndComparesBytesUnsigned) {
  EXPECT_EQ(CompareFolded("ABC", "abc"), 0);
  EXPECT_LT(CompareFolded("abc", "ABD"), 0);
  EXPECT_GT(CompareFolded("b", "A"), 0);
  // "_" (0x5F) lies between the upper- and lower-case letters: folding
  // puts it before the letters.
  EXPECT_LT(CompareFolded("_", "a"), 0);
  EXPECT_LT(CompareFolded("_", "A"), 0);
  // Bytes above 0x7F are larger than any ASCII byte.
  EXPECT_GT(CompareFolded("\x81\x40", "z"), 0);
  // No locale: accented or full-width letters are not folded.
  EXPECT_NE(CompareFolded("\xef\xbc\xa1", "\xef\xbd\x81"), 0);
}

TEST(CompareFolded, FoldsTheSecondByteOfADoubleByteCharacter) {
  // 83 41 and 83 61 are two different katakana; the second byte is folded
  // all the same, so they compare equal.
  EXPECT_EQ(CompareFolded("\x83\x41", "\x83\x61"), 0);
  EXPECT_EQ(CompareFolded("x\x83\x5A", "X\x83\x7A"), 0);
}

TEST(CompareFolded, PrefixSortsFirst) {
  EXPECT_LT(CompareFolded("abc", "abcd"), 0);
  EXPECT_GT(CompareFolded("abcd", "ABC"), 0);
  EXPECT_LT(CompareFolded("", "a"), 0);
  EXPECT_EQ(CompareFolded("", ""), 0);
}

class ColumnTexts : public ::testing::Test {
 protected:
  CategoryTable all = CategoryTable::AllOn();
  int Compare(const std::string& a, const std::string& b, int column, int byExt = 0) {
    return Sign(CompareColumnTexts(a, b, column, all, byExt));
  }
};

TEST_F(ColumnTexts, ByteSizesArePaddedToElevenBytes) {
  const int bt = all.position[FileSizeBT];
  EXPECT_LT(Compare("999,999", "1,234,567", bt), 0);
  EXPECT_LT(Compare("1", "10", bt), 0);
  EXPECT_LT(Compare("9", "10", bt), 0);
  // Sizes of 100 MB and more are 11 bytes and more long; they still sort
  // by value, also across the 1 GB step from 11 to 13 bytes.
  EXPECT_GT(Compare("1,000,000,000", "999,999,999", bt), 0);
  EXPECT_GT(Compare("1,000,000,000", "99", bt), 0);
  EXPECT_LT(Compare("123,456,789", "987,654,321", bt), 0);
  EXPECT_GT(Compare("12,345,678,901", "2,345,678,901", bt), 0);
  EXPECT_GT(Compare("18,446,744,073,709,551,615", "9,999,999,999,999,999,999", bt), 0);
  EXPECT_EQ(Compare("0", "", bt), 0);  // an empty cell sorts as zero
  // Without padding the same texts sort by their characters.
  EXPECT_GT(Compare("999,999", "1,234,567", all.position[MovieTitle]), 0);
}

TEST_F(ColumnTexts, MegabytesGetZerosBeforeShortIntegerParts) {
  const int mb = all.position[FileSizeMB];
  EXPECT_LT(Compare("1.23", "12.3", mb), 0);
  EXPECT_LT(Compare("9.9", "10.0", mb), 0);
  EXPECT_LT(Compare("99.9MB", "100.0MB", mb), 0);
  // 1000 MB and more still sort after 999.9 MB.
  EXPECT_GT(Compare("1000.0", "999.9", mb), 0);
  EXPECT_GT(Compare("12345.6MB", "2345.6MB", mb), 0);
  EXPECT_LT(Compare("0.05", "0.10", mb), 0);
  // No period: left as it is, and compared by characters.
  EXPECT_GT(Compare("5", "10.0", mb), 0);
}

TEST_F(ColumnTexts, OtherNumberColumnsCompareAsPlainText) {
  EXPECT_LT(Compare("1,024", "512", all.position[FileSizeKB]), 0);
  EXPECT_LT(Compare("10", "9", all.position[FlameRate]), 0);
  EXPECT_GT(Compare("1:05", "12:00", all.position[PlayTime]), 0);  // ":" is above "2"
}

TEST_F(ColumnTexts, TrackColumnsSortByTheirLeadingNumber) {
  const CategoryTable every = CategoryTable::Every();
  auto cmp = [&](const char* a, const char* b, int k) {
    return Sign(CompareColumnTexts(a, b, every.position[k], every, 0));
  };
  EXPECT_LT(cmp("2: jpn, eng", "10: und", AudioTracks), 0);
  EXPECT_LT(cmp("2: eng", "2: jpn", AudioTracks), 0);  // equal counts: by the languages
  EXPECT_LT(cmp("3: eng", "12: eng", Subtitles), 0);
  EXPECT_LT(cmp("", "1: eng", Subtitles), 0);
  EXPECT_LT(cmp("8bit", "10bit HDR10", VideoBits), 0);
  EXPECT_LT(cmp("10bit HDR10", "10bit HLG", VideoBits), 0);
  EXPECT_LT(cmp("7.1", "10", Channels), 0);
  EXPECT_LT(cmp("9", "24", Chapters), 0);
  EXPECT_GT(cmp("9", "24", Status), 0);  // the status is text
}

TEST_F(ColumnTexts, PaddingOnlyWhileTheCategoryIsShown) {
  std::array<int, kCategoryCount> values;
  values.fill(1);
  values[FileSizeBT] = 0;
  CategoryTable noBytes = CategoryTable::FromValues(values);
  // Column 1 now shows FileSizeMB.
  EXPECT_LT(CompareColumnTexts("9.9", "10.0", 1, noBytes, 0), 0);
  // Column 0 is never padded although the hidden category's position is 0.
  EXPECT_GT(CompareColumnTexts("9", "10", 0, noBytes, 0), 0);
  values[FileSizeMB] = 2;
  CategoryTable kbOnly = CategoryTable::FromValues(values);
  EXPECT_GT(CompareColumnTexts("9.9", "10.0", 1, kbOnly, 0), 0);
}

TEST_F(ColumnTexts, ExtensionModeComparesTheLastThreeBytesOfFileNames) {
  EXPECT_LT(Compare("z.avi", "a.mpg", 0, 1), 0);
  EXPECT_LT(Compare("z.rm", "a.avi", 0, 1), 0);  // ".rm": the period is below letters
  EXPECT_EQ(Compare("a.AVI", "b.avi", 0, 1), 0);
  EXPECT_GT(Compare("z.avi", "a.mpg", 0, 0), 0);
  // Names shorter than three bytes stay whole.
  EXPECT_LT(Compare("ab", "a.avi", 0, 1), 0);
  // Other columns are not cut.
  EXPECT_GT(Compare("z.avi", "a.mpg", all.position[MovieTitle], 1), 0);
}

TEST(SortDirections, FirstClickAscendsThenAlternatesPerColumn) {
  SortState s;
  EXPECT_EQ(FlipDirection(s, 3), kAscending);
  EXPECT_EQ(FlipDirection(s, 3), kDescending);
  EXPECT_EQ(FlipDirection(s, 3), kAscending);
  EXPECT_EQ(FlipDirection(s, 5), kAscending);  // a column of its own
  EXPECT_EQ(s.directions[3], kAscending);
  s.directions[7] = kDescending;
  EXPECT_EQ(FlipDirection(s, 7), kAscending);
  EXPECT_EQ(FlipDirection(s, 99), kNeverSorted);
}

RowModel Names(const std::vector<std::string>& names) {
  RowModel rows;
  for (const auto& n : names) rows.Insert(rows.Count(), n, rows.Count());
  return rows;
}

std::vector<std::string> Column0(const RowModel& rows) {
  std::vector<std::string> out;
  for (int r = 0; r < rows.Count(); ++r) out.push_back(rows.Cell(r, 0));
  return out;
}

TEST(SortByColumn, SortsAscendingThenDescendingAndReportsWhereRowsWent) {
  CategoryTable table = CategoryTable::AllOn();
  SortState state;
  RowModel rows = Names({"c.avi", "A.mpg", "b.rm"});
  rows.SetChecked(0, true);
  std::vector<int> moved;
  SortByColumn(rows, table, state, 0, &moved);
  EXPECT_EQ(Column0(rows), (std::vector<std::string>{"A.mpg", "b.rm", "c.avi"}));
  EXPECT_EQ(moved, (std::vector<int>{2, 0, 1}));
  EXPECT_TRUE(rows.Checked(2));  // the check box goes with its row
  EXPECT_EQ(rows.Tag(2), 0);
  SortByColumn(rows, table, state, 0, &moved);
  EXPECT_EQ(Column0(rows), (std::vector<std::string>{"c.avi", "b.rm", "A.mpg"}));
  EXPECT_EQ(moved, (std::vector<int>{2, 1, 0}));
}

TEST(SortByColumn, ExtensionModeAndEqualTextsKeepTheirOrder) {
  CategoryTable table = CategoryTable::AllOn();
  SortState state;
  state.byExtension = 1;
  RowModel rows = Names({"b.mpg", "x.avi", "a.rm", "c.AVI", "y.mpg"});
  SortByColumn(rows, table, state, 0);
  EXPECT_EQ(Column0(rows), (std::vector<std::string>{"a.rm", "x.avi", "c.AVI", "b.mpg", "y.mpg"}));
  SortByColumn(rows, table, state, 0);
  EXPECT_EQ(Column0(rows), (std::vector<std::string>{"b.mpg", "y.mpg", "x.avi", "c.AVI", "a.rm"}));
}

TEST(SortByColumn, RowsWithoutTheCellSortAsEmptyTexts) {
  CategoryTable table = CategoryTable::AllOn();
  SortState state;
  RowModel rows = Names({"a", "b", "c"});
  rows.SetCell(0, 4, "zeta");
  rows.SetCell(2, 4, "alpha");
  SortByColumn(rows, table, state, 4);
  EXPECT_EQ(Column0(rows), (std::vector<std::string>{"b", "c", "a"}));
}

TEST(SortByColumn, ByteSizesInNumericOrderOverManyRows) {
  CategoryTable table = CategoryTable::AllOn();
  SortState state;
  RowModel rows;
  std::vector<long long> sizes = {5, 1234567, 999999, 42, 1000, 7777777, 10, 123456789};
  for (long long s : sizes) {
    std::string digits = std::to_string(s), grouped;
    for (std::size_t i = 0; i < digits.size(); ++i) {
      if (i && (digits.size() - i) % 3 == 0) grouped += ',';
      grouped += digits[i];
    }
    int r = rows.Insert(rows.Count(), digits, 0);
    rows.SetCell(r, 1, grouped);
  }
  SortByColumn(rows, table, state, 1);
  std::vector<std::string> got = Column0(rows);
  std::sort(sizes.begin(), sizes.end());
  for (std::size_t i = 0; i < sizes.size(); ++i) EXPECT_EQ(got[i], std::to_string(sizes[i]));
}

TEST(SortByColumn, AgreesWithTheRowComparisonOnManyRows) {
  // Texts with shared prefixes, case differences, double-byte characters,
  // empty cells and numbers of every length, in every column kind.
  CategoryTable table = CategoryTable::AllOn();
  const char* words[] = {
      "",  "a",   "A",     "ab",    "aB",     "b",     "\x83\x41", "\x83\x61x",      "z9",
      "_", "1.5", "12.25", "999.9", "1000.0", "1,234", "999",      "12,345,678,901", "7"};
  RowModel rows;
  unsigned seed = 7;
  auto next = [&] { return seed = seed * 1103515245u + 12345u, (seed >> 16) % 18; };
  for (int i = 0; i < 3000; ++i) {
    int r = rows.Insert(rows.Count(), words[next()], i);
    for (int c = 1; c < kCategoryCount; ++c) rows.SetCell(r, c, words[next()]);
    rows.SetChecked(r, i % 5 == 0);
  }
  SortState state;
  for (int column : {0, 1, 2, 3, 4, 1, 0}) {
    for (int byExt : {0, 1}) {
      state.byExtension = byExt;
      std::vector<CatalogueRow> expected;
      for (int r = 0; r < rows.Count(); ++r) expected.push_back(rows.Row(r));
      SortState reference = state;
      FlipDirection(reference, column);
      std::stable_sort(expected.begin(), expected.end(),
                       [&](const CatalogueRow& a, const CatalogueRow& b) {
                         return CompareRows(a, b, column, table, reference) < 0;
                       });
      std::vector<int> moved;
      std::vector<int> tagsBefore;
      for (int r = 0; r < rows.Count(); ++r) tagsBefore.push_back(rows.Tag(r));
      SortByColumn(rows, table, state, column, &moved);
      ASSERT_EQ(state.directions, reference.directions);
      ASSERT_EQ(rows.Count(), static_cast<int>(expected.size()));
      for (int r = 0; r < rows.Count(); ++r) {
        ASSERT_EQ(rows.Row(r).cells, expected[r].cells) << column << " " << r;
        ASSERT_EQ(rows.Tag(r), expected[r].tag);
        ASSERT_EQ(rows.Checked(r), expected[r].checked);
      }
      for (std::size_t old = 0; old < moved.size(); ++old)
        ASSERT_EQ(rows.Tag(moved[old]), tagsBefore[old]);
    }
  }
}

}  // namespace
}  // namespace clip
