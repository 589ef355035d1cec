// Lists written as CSV load back with the same cells, for any set of
// categories and the awkward texts that titles and comments can hold.
#include <gtest/gtest.h>

#include <random>

#include "list_test_util.h"
#include "listfile/listfile.h"

namespace clip {
namespace {

using testing::ScratchDir;

// Texts a cell can hold that a CSV list stores without loss: anything but
// line breaks, NUL, the three bytes quote-comma-quote and a trailing
// quote-comma (the format has no escape for those).
bool Representable(const std::string& text) {
  if (text.find_first_of(std::string("\r\n\0", 3)) != std::string::npos) return false;
  if (text.find("\",\"") != std::string::npos) return false;
  return !(text.size() >= 2 && text.compare(text.size() - 2, 2, "\",") == 0);
}

std::string RandomCell(std::mt19937& rng) {
  static const std::vector<std::string> fixed = {
      "",
      "a, b",
      "1,234,567",
      "x,1",
      "1,x",
      "say \"hi\"",
      "\"",
      "\"\"",
      ",\"x",
      "a\"b",
      "表示ソ",  // trail bytes 0x5C
      "ｺﾒﾝﾄ, 半角",
      "123.4MB",
      std::string(255, 'w'),
      std::string(254, 'x') + "ソ",  // cut inside a double-byte character
      "\"quoted title\"",
  };
  if (rng() % 3 != 0) return fixed[rng() % fixed.size()];
  static const std::string alphabet = "ab1,\"\" \x83\x5C\x95\xB1";
  for (;;) {
    std::string text;
    std::size_t length = rng() % 40;
    for (std::size_t i = 0; i < length; ++i) text.push_back(alphabet[rng() % alphabet.size()]);
    if (Representable(text)) return text;
  }
}

void ExpectRoundTrip(const CategoryTable& table, std::mt19937& rng, const std::string& path) {
  RowModel written;
  const int rowCount = 1 + static_cast<int>(rng() % 30);
  for (int r = 0; r < rowCount; ++r) {
    written.Insert(r, RandomCell(rng), 100 + r);
    for (int c = 1; c <= table.columnCount; ++c) written.SetCell(r, c, RandomCell(rng));
  }
  SaveResult saved = SaveListFile(written, table, path, ListFormat::Csv, false);
  ASSERT_TRUE(saved.ok) << saved.error;
  RowModel loaded;
  ASSERT_EQ(LoadCsvList(loaded, table, path), kCsvLoaded);
  ASSERT_EQ(loaded.Count(), rowCount);
  for (int r = 0; r < rowCount; ++r) {
    EXPECT_EQ(loaded.Tag(r), r);
    for (int c = 0; c <= table.columnCount; ++c)
      ASSERT_EQ(loaded.Cell(r, c), written.Cell(r, c)) << "row " << r << " column " << c;
  }
}

TEST(CsvRoundTrip, EveryCategoryOnAndEveryCategoryOff) {
  ScratchDir dir;
  std::mt19937 rng(1);
  for (int i = 0; i < 5; ++i) {
    ExpectRoundTrip(CategoryTable::AllOn(), rng, dir.File("all.csv"));
    ExpectRoundTrip(testing::TableWith({}), rng, dir.File("none.csv"));
  }
}

TEST(CsvRoundTrip, RandomCategorySubsets) {
  ScratchDir dir;
  std::mt19937 rng(2);
  for (int i = 0; i < 60; ++i) {
    std::array<int, kCategoryCount> values{};
    for (int k = 1; k < kCategoryCount; ++k) values[k] = static_cast<int>(rng() % 2);
    ExpectRoundTrip(CategoryTable::FromValues(values), rng, dir.File("subset.csv"));
  }
}

TEST(CsvRoundTrip, CellWithQuoteCommaQuoteIsTheFormatsOneAmbiguity) {
  // Written raw, the three bytes read as a field boundary, as they always did.
  ScratchDir dir;
  CategoryTable t = testing::TableWith({Comment});
  RowModel rows;
  rows.Insert(0, "a.avi", 0);
  rows.SetCell(0, 1, "x\",\"y");
  ASSERT_TRUE(SaveListFile(rows, t, dir.File("l.csv"), ListFormat::Csv, false).ok);
  RowModel loaded;
  ASSERT_EQ(LoadCsvList(loaded, t, dir.File("l.csv")), kCsvLoaded);
  EXPECT_EQ(loaded.Cell(0, 1), "x");
}

}  // namespace
}  // namespace clip
