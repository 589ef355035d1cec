// Lists written as CSV load back with the same cells, for any set of
// categories and the awkward texts that titles and comments can hold.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "catalogue/cp932.h"
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
  static const std::string alphabet = "ab1,\"\" \r\n\x83\x5C\x95\xB1";
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

// Python's csv module stands in for a spreadsheet: it opens the list and
// saves it again, with quotes only where needed or around every field.
const char kResave[] = R"(import csv, sys
src, dst, quoting, encoding = sys.argv[1:]
with open(src, newline="", encoding="cp932") as f:
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
  ScratchDir dir;
  const CategoryTable table = CategoryTable::AllOn();
  RowModel written;
  std::mt19937 rng(3);
  for (int r = 0; r < 40; ++r) {
    written.Insert(r, r % 2 ? texts[rng() % texts.size()] : "m" + std::to_string(r) + ".avi", r);
    for (int c = 1; c <= table.columnCount; ++c) written.SetCell(r, c, texts[rng() % texts.size()]);
  }
  const std::string ours = dir.File("ours.csv");
  ASSERT_TRUE(SaveListFile(written, table, ours, ListFormat::Csv, false).ok);
  testing::WriteAll(dir.File("resave.py"), kResave);

  for (const char* quoting : {"QUOTE_MINIMAL", "QUOTE_ALL"}) {
    for (const char* encoding : {"cp932", "utf-8"}) {
      SCOPED_TRACE(std::string(quoting) + " " + encoding);
      const std::string saved = dir.File(std::string(quoting) + "-" + encoding + ".csv");
      const std::string command = "python3 '" + dir.File("resave.py") + "' '" + ours + "' '" +
                                  saved + "' " + quoting + " " + encoding;
      ASSERT_EQ(std::system(command.c_str()), 0) << command;
      const std::string bytes = testing::ReadAll(saved);
      // Split byte-wise, the records hold the texts in the file's encoding.
      const bool utf8 = std::string(encoding) == "utf-8";
      auto encoded = [&](std::string_view text) {
        return utf8 ? Cp932ToUtf8(text) : std::string(text);
      };
      CsvReader records(bytes);
      CsvRecord record;
      for (int r = -1; r < written.Count(); ++r) {
        ASSERT_EQ(ReadCsvRecord(records, record), 0) << "row " << r;
        ASSERT_EQ(record.lastField, table.columnCount) << "row " << r;
        for (int c = 0; c <= table.columnCount; ++c)
          EXPECT_EQ(record.fields[c], encoded(r < 0 ? ListHeaderName(c) : written.Cell(r, c)));
      }
      EXPECT_EQ(ReadCsvRecord(records, record), 1);
      // The header names are compared in the program's code page: a UTF-8
      // list loads once the decoding step reads it.
      if (utf8) continue;
      // With every field quoted, Python writes the very bytes of the list.
      if (std::string(quoting) == "QUOTE_ALL") EXPECT_EQ(bytes, testing::ReadAll(ours));
      RowModel loaded;
      CsvReader reader(bytes);
      ASSERT_EQ(LoadCsvRecords(loaded, table, reader), kCsvLoaded);
      ASSERT_EQ(loaded.Count(), written.Count());
      for (int r = 0; r < written.Count(); ++r)
        for (int c = 0; c <= table.columnCount; ++c)
          EXPECT_EQ(loaded.Cell(r, c), written.Cell(r, c)) << "row " << r << " column " << c;
    }
  }
}

}  // namespace
}  // namespace clip
