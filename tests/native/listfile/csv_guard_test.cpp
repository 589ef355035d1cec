// Cells a spreadsheet would take for formulas: written as text with an
// apostrophe in front, read back as they were; every other cell's bytes
// are as before.
#include <gtest/gtest.h>

#include "list_test_util.h"
#include "listfile/csv_guard.h"
#include "listfile/csv_reader.h"
#include "listfile/listfile.h"
#include "listfile/list_format.h"

namespace clip {
namespace {

using testing::ReadAll;
using testing::ScratchDir;
using testing::TableWith;
using testing::WriteAll;

const char kHeader[] =
    "\"\x83\x74\x83\x40\x83\x43\x83\x8B\x96\xBC\",\"\x83\x5E\x83\x43\x83\x67\x83\x8B\"\r\n";

// Each cell as the title of a row of its own; the list saved and loaded.
struct Saved {
  std::string bytes;
  RowModel loaded;
};
Saved SaveAndLoad(const std::vector<std::string>& titles) {
  ScratchDir dir;
  const CategoryTable table = TableWith({MovieTitle});
  RowModel rows;
  for (std::size_t i = 0; i < titles.size(); ++i) {
    const int r = static_cast<int>(i);
    rows.Insert(r, "m" + std::to_string(i) + ".avi", r);
    rows.SetCell(r, 1, titles[i]);
  }
  Saved saved;
  const std::string path = dir.File("list.csv");
  EXPECT_TRUE(SaveListFile(rows, table, path, ListFormat::Csv, false).ok);
  saved.bytes = ReadAll(path);
  EXPECT_EQ(LoadCsvList(saved.loaded, table, path), kCsvLoaded);
  return saved;
}

std::string Line(int row, const std::string& field) {
  return "\"m" + std::to_string(row) + ".avi\",\"" + field + "\"\r\n";
}

TEST(CsvFormulaGuard, FormulaCellsAreWrittenAsTextAndReadBackAsTheyWere) {
  // Each of the six characters, an LF (stored as CR LF, so a CR in the
  // file), and cells that already start with apostrophes before them.
  const std::vector<std::string> titles = {"=HYPERLINK(\"http://x/\",\"x\")",
                                           "+1+1",
                                           "-2+3",
                                           "@SUM(1,1)",
                                           "\t=1+1",
                                           "\r=1+1",
                                           "\n=1+1",
                                           "'=1+1",
                                           "''+x",
                                           "'-116kbit",
                                           "-"};
  const std::vector<std::string> written = {"'=HYPERLINK(\"\"http://x/\"\",\"\"x\"\")",
                                            "'+1+1",
                                            "'-2+3",
                                            "'@SUM(1,1)",
                                            "'\t=1+1",
                                            "'\r=1+1",
                                            "'\r\n=1+1",
                                            "''=1+1",
                                            "'''+x",
                                            "''-116kbit",
                                            "'-"};
  const Saved saved = SaveAndLoad(titles);
  std::string expected = kHeader;
  for (std::size_t i = 0; i < written.size(); ++i)
    expected += Line(static_cast<int>(i), written[i]);
  EXPECT_EQ(saved.bytes, expected);
  ASSERT_EQ(saved.loaded.Count(), static_cast<int>(titles.size()));
  for (int r = 0; r < saved.loaded.Count(); ++r)
    EXPECT_EQ(saved.loaded.Cell(r, 1), titles[static_cast<std::size_t>(r)]) << "row " << r;
}

TEST(CsvFormulaGuard, OtherCellsAndComputedNumbersKeepTheirBytes) {
  // A negative video rate holds no formula and stays as lists had it.
  const std::vector<std::string> titles = {"-116kbit", "+5",  "'quoted'", "'",     "''",
                                           "a=b",      " =1", "",         "1,234", "'x=1"};
  const Saved saved = SaveAndLoad(titles);
  std::string expected = kHeader;
  for (std::size_t i = 0; i < titles.size(); ++i) expected += Line(static_cast<int>(i), titles[i]);
  EXPECT_EQ(saved.bytes, expected);
  for (int r = 0; r < saved.loaded.Count(); ++r)
    EXPECT_EQ(saved.loaded.Cell(r, 1), titles[static_cast<std::size_t>(r)]) << "row " << r;
  EXPECT_FALSE(CsvCellNeedsGuard("-1kbit"));
  EXPECT_TRUE(CsvCellNeedsGuard("-1E5"));
  EXPECT_TRUE(CsvCellNeedsGuard("-A1"));
  EXPECT_TRUE(CsvCellNeedsGuard("-1kbit+A1"));
}

TEST(CsvFormulaGuard, AnEarlierListsApostropheBeforeAFormulaCharacterIsTakenOff) {
  // Earlier versions wrote cells as they were: such a cell loses the one
  // apostrophe the rule gives it; any other apostrophe stays.
  ScratchDir dir;
  const std::string path = dir.File("old.csv");
  WriteAll(path, std::string(kHeader) + Line(0, "'=x") + Line(1, "''@x") + Line(2, "'x") +
                     "m3.avi,'-1\r\n");
  RowModel rows;
  ASSERT_EQ(LoadCsvList(rows, TableWith({MovieTitle}), path), kCsvLoaded);
  EXPECT_EQ(rows.Cell(0, 1), "=x");
  EXPECT_EQ(rows.Cell(1, 1), "'@x");
  EXPECT_EQ(rows.Cell(2, 1), "'x");
  EXPECT_EQ(rows.Cell(3, 1), "-1");
}

TEST(CsvFormulaGuard, TheApostropheDoesNotCostAFieldItsLastByte) {
  const std::string longest = "=" + std::string(kCsvFieldMax - 1, 'x');
  const std::string line = "\"'" + longest + "\",\"'" + std::string(2000, 'y') + "\"\r\n";
  CsvReader reader(line);
  CsvRecord record;
  ASSERT_EQ(reader.Next(record), 0);
  EXPECT_EQ(record.fields[0], longest);
  EXPECT_EQ(record.fields[1], "'" + std::string(kCsvFieldMax - 1, 'y'));
}

}  // namespace
}  // namespace clip
