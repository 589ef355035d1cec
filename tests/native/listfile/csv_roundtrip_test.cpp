// Lists written as CSV load back with the same cells, for any set of
// categories and the awkward texts that titles and comments can hold.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "base/cp932.h"
#include "list_test_util.h"
#include "listfile/csv_loader.h"
#include "listfile/csv_reader.h"
#include "listfile/listfile.h"

namespace clip {
namespace {

using testing::ScratchDir;

// Texts a cell can hold that a CSV list stores without loss: anything but
// NUL, which ends a cell's text.
bool Representable(const std::string& text) { return text.find('\0') == std::string::npos; }

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
      "x\",\"y",
      "a\",",
      "one\ntwo",
      "a\r\nb\r",
  };
  if (rng() % 3 != 0) return fixed[rng() % fixed.size()];
  static const std::vector<std::string> alphabet = {"a", "b",  "1",  ",",  "\"", "\"",
                                                    " ", "\r", "\n", "ソ", "表", "ｱ"};
  for (;;) {
    std::string text;
    std::size_t length = rng() % 40;
    for (std::size_t i = 0; i < length; ++i) text += alphabet[rng() % alphabet.size()];
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

// Python's csv module stands in for a spreadsheet: it opens the list and
// saves it again, with quotes only where needed or around every field.
const char kResave[] = R"(import csv, sys
src, dst, quoting, encoding = sys.argv[1:]
with open(src, newline="", encoding=encoding) as f:
    rows = list(csv.reader(f))
with open(dst, "w", newline="", encoding=encoding) as f:
    csv.writer(f, quoting=getattr(csv, quoting), lineterminator="\r\n").writerows(rows)
)";

TEST(CsvRoundTrip, ListSavedAgainByASpreadsheetLoadsWithTheSameCells) {
  const std::vector<std::string> texts = {
      "",
      " ",
      "End comment, \"quoted\"",
      "149,048",
      "0.14",
      "149",
      "1,024kbps",
      "\"",
      "\"\"",
      "x\",\"y",
      "a\",",
      ",\"x",
      "a,,b",
      "one\ntwo",
      "a\r\nb",
      "cr\ronly",
      "表示ソ",  // trail bytes 0x5C
      "ｺﾒﾝﾄ, 半角",
      "D:\\Movies\\フォルダ",
  };
  // Names code page 932 cannot hold, for the UTF-8 lists.
  const std::vector<std::string> utf8Only = {"한국영화 Amélie", "emoji😀.avi"};
  ScratchDir dir;
  const CategoryTable table = CategoryTable::AllOn();
  testing::WriteAll(dir.File("resave.py"), kResave);
  // "utf-8-sig" reads and writes the byte-order mark of the UTF-8 lists (and
  // of spreadsheet programs).
  for (const char* encoding : {"cp932", "utf-8-sig"}) {
    const bool utf8 = std::string(encoding) != "cp932";
    std::vector<std::string> pool = texts;
    if (utf8) pool.insert(pool.end(), utf8Only.begin(), utf8Only.end());
    RowModel written;
    std::mt19937 rng(3);
    for (int r = 0; r < 40; ++r) {
      written.Insert(r, r % 2 ? pool[rng() % pool.size()] : "m" + std::to_string(r) + ".avi", r);
      for (int c = 1; c <= table.columnCount; ++c) written.SetCell(r, c, pool[rng() % pool.size()]);
    }
    const std::string ours = dir.File(std::string("ours-") + encoding + ".csv");
    ASSERT_TRUE(SaveListFile(written, table, ours, ListFormat::Csv, false, nullptr,
                             utf8 ? ListEncoding::Utf8 : ListEncoding::Cp932)
                    .ok);
    for (const char* quoting : {"QUOTE_MINIMAL", "QUOTE_ALL"}) {
      SCOPED_TRACE(std::string(quoting) + " " + encoding);
      const std::string saved = dir.File(std::string(quoting) + "-" + encoding + ".csv");
      const std::string command = "python3 '" + dir.File("resave.py") + "' '" + ours + "' '" +
                                  saved + "' " + quoting + " " + encoding;
      ASSERT_EQ(std::system(command.c_str()), 0) << command;
      // With every field quoted, Python writes the very bytes of the list.
      if (std::string(quoting) == "QUOTE_ALL")
        EXPECT_EQ(testing::ReadAll(saved), testing::ReadAll(ours));
      RowModel loaded;
      ASSERT_EQ(LoadCsvList(loaded, table, saved), kCsvLoaded);
      ASSERT_EQ(loaded.Count(), written.Count());
      for (int r = 0; r < written.Count(); ++r)
        for (int c = 0; c <= table.columnCount; ++c)
          EXPECT_EQ(loaded.Cell(r, c), written.Cell(r, c)) << "row " << r << " column " << c;
    }
  }
}

}  // namespace
}  // namespace clip
