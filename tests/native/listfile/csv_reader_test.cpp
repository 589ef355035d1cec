#include <sys/stat.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "list_test_util.h"
#include "listfile/csv_loader.h"
#include "listfile/csv_reader.h"
#include "base/cp932.h"
#include "base/unicode.h"
#include "listfile/listfile.h"

namespace clip {
namespace {

using testing::ScratchDir;
using testing::TableWith;
using testing::WriteAll;

using Fields = std::vector<std::string>;

// Every record of data, as field lists, with the separator count checked
// against the number of fields held.
std::vector<Fields> Split(const std::string& data) {
  CsvReader reader(data);
  CsvRecord record;
  std::vector<Fields> out;
  while (ReadCsvRecord(reader, record) == 0) {
    Fields f(record.fields.begin(), record.fields.begin() + record.SlotCount());
    out.push_back(f);
  }
  return out;
}

Fields One(const std::string& line) {
  auto records = Split(line);
  EXPECT_EQ(records.size(), 1u) << line;
  return records.empty() ? Fields{} : records[0];
}

TEST(CsvSplit, SpreadsheetRecords) {
  // Minimal quoting: a quoted field holds commas, the others split at each
  // (earlier versions kept a comma between digits).
  EXPECT_EQ(One("info_at_end.avi,\"149,048\",0.14,149\r\n"),
            (Fields{"info_at_end.avi", "149,048", "0.14", "149"}));
  EXPECT_EQ(One("1,,2,a, b\n"), (Fields{"1", "", "2", "a", " b"}));
  EXPECT_EQ(One(",1\r\n"), (Fields{"", "1"}));
  EXPECT_EQ(Split("\n\r\n"), (std::vector<Fields>{{""}, {""}}));
  EXPECT_EQ(One("\"say \"\"hi\"\"\",\"\"\"\"\r\n"), (Fields{"say \"hi\"", "\""}));
  // Empty cells between and after quoted ones (earlier versions read both
  // lines as one field).
  EXPECT_EQ(One("\"a\",,\"b\"\n"), (Fields{"a", "", "b"}));
  EXPECT_EQ(One("\"a\",\n"), (Fields{"a", ""}));
  EXPECT_EQ(One("\"\",\"\",\"\"\n"), (Fields{"", "", ""}));
  EXPECT_EQ(One("\"\"\n"), (Fields{""}));
  // Line breaks inside quotes are one LF each; a lone CR is data.
  EXPECT_EQ(Split("\"a\",\"one\r\ntwo\nthree\",x\r\nnext\r\n"),
            (std::vector<Fields>{{"a", "one\ntwo\nthree", "x"}, {"next"}}));
  EXPECT_EQ(One("\"a\r\r\nb\",\"c\rd\"\r\n"), (Fields{"a\r\nb", "c\rd"}));
  // A quote inside an unquoted field is data.
  EXPECT_EQ(One("a\"b,c\"\n"), (Fields{"a\"b", "c\""}));
}

// Earlier versions wrote a quote inside a field as it was: such lines are
// not RFC 4180 and are read by the line rule.
TEST(CsvSplit, EarlierVersionsLinesReadAsBefore) {
  EXPECT_EQ(One("\"a \"b\" c\",\"x\"\r\n"), (Fields{"a \"b\" c", "x"}));
  EXPECT_EQ(One("\"say \"hi\"\",\"\"q\"\"\r\n"), (Fields{"say \"hi\"", "\"q\""}));
  EXPECT_EQ(One("\"a,\"b\",\"c\"\n"), (Fields{"a,\"b", "c"}));
  EXPECT_EQ(One("\",x\",\"y,\"\n"), (Fields{",x", "y,"}));
  EXPECT_EQ(One("\"1,234,567\",\"12.5MB\"\n"), (Fields{"1,234,567", "12.5MB"}));
  // No closing quote: nothing is dropped, and the next line is a record.
  EXPECT_EQ(Split("\"abc\n\"d\"\n"), (std::vector<Fields>{{"abc"}, {"d"}}));
  EXPECT_EQ(One("\"\n"), (Fields{""}));
  // A CR that does not end the line is data.
  EXPECT_EQ(One("\"a\rb\",\"c\"\r\r\n"), (Fields{"a\rb", "c\"\r"}));
  EXPECT_EQ(One("\"a\"\r"), (Fields{"a\"\r"}));
  // A lone quote after a line break inside quotes: the first line alone
  // is the record, as earlier versions read it.
  EXPECT_EQ(Split("\"a\",\"one\r\ntwo \"x\" y\"\r\n\"b\"\r\n"),
            (std::vector<Fields>{{"a", "one"}, {"two \"x\" y\""}, {"b"}}));
  // A plain line that breaks the format: every comma splits, quotes are data.
  EXPECT_EQ(One("a,\"b\"c,d\n"), (Fields{"a", "\"b\"c", "d"}));
  EXPECT_EQ(Split("a,\"b\nc,d\n"), (std::vector<Fields>{{"a", "\"b"}, {"c", "d"}}));
}

TEST(CsvSplit, LineEndsAndTheLastLine) {
  EXPECT_EQ(Split("\"a\",\"b\"\r\n\"c\"\r\n"), Split("\"a\",\"b\"\n\"c\"\n"));
  EXPECT_EQ(Split("\"a\",\"b\"\r\n\"c\"\r\n"), (std::vector<Fields>{{"a", "b"}, {"c"}}));
  // A last line without LF loses nothing.
  EXPECT_EQ(Split("\"a\"\n\"bc\""), (std::vector<Fields>{{"a"}, {"bc"}}));
  EXPECT_EQ(Split("a\nbc"), (std::vector<Fields>{{"a"}, {"bc"}}));
  EXPECT_TRUE(Split("").empty());
  EXPECT_EQ(Split("\n\n"), (std::vector<Fields>{{""}, {""}}));
}

TEST(CsvSplit, LongLinesAreOneRecordAndLongFieldsAreCut) {
  std::string line;
  Fields expected;
  for (int i = 0; i < kCsvFieldSlots; ++i) {
    expected.push_back(std::string(200, static_cast<char>('a' + i)));
    line += (i ? "\",\"" : "\"") + expected.back();
  }
  line += "\"\r\n";
  ASSERT_GT(line.size(), 2047u);
  EXPECT_EQ(Split(line + line), (std::vector<Fields>{expected, expected}));

  Fields cut = One("\"" + std::string(5000, 'z') + "\",\"b\"\n");
  ASSERT_EQ(cut.size(), 2u);
  EXPECT_EQ(cut[0], std::string(kCsvFieldMax, 'z'));
  EXPECT_EQ(cut[1], "b");
  EXPECT_EQ(One(std::string(3000, 'p') + ",q\n"), (Fields{std::string(kCsvFieldMax, 'p'), "q"}));
}

TEST(CsvSplit, SurplusFieldsAreCountedButNotStored) {
  std::string line = "\"f0\"";
  for (int i = 1; i < 30; ++i) line += ",\"f" + std::to_string(i) + "\"";
  line += "\n";
  CsvReader reader(line);
  CsvRecord record;
  ASSERT_EQ(ReadCsvRecord(reader, record), 0);
  EXPECT_EQ(record.lastField, 29);
  EXPECT_EQ(record.SlotCount(), kCsvFieldSlots);
  EXPECT_EQ(record.fields[16], "f16");
  EXPECT_EQ(ReadCsvRecord(reader, record), 1);
}

TEST(CsvSplit, NulByteEndsItsFieldOnly) {
  EXPECT_EQ(One(std::string("\"ab\0cd\",\"e\"\n", 12)), (Fields{"ab", "e"}));
  EXPECT_EQ(One(std::string("x\0y,z\n", 6)), (Fields{"x", "z"}));
}

// The records of data read from a file in blocks, checked against those
// read from memory.
std::vector<Fields> SplitFileAndMemory(const std::string& data) {
  ScratchDir dir;
  std::string path = dir.File("data.csv");
  WriteAll(path, data);
  std::FILE* file = std::fopen(path.c_str(), "rb");
  EXPECT_NE(file, nullptr);
  if (!file) return {};
  CsvReader fromFile(file);
  CsvReader fromMemory(data);
  CsvRecord a, b;
  std::vector<Fields> out;
  for (;;) {
    int ra = ReadCsvRecord(fromFile, a), rb = ReadCsvRecord(fromMemory, b);
    EXPECT_EQ(ra, rb);
    if (ra != 0 || rb != 0) break;
    EXPECT_EQ(a.lastField, b.lastField);
    EXPECT_EQ(a.fields, b.fields) << "record " << out.size();
    if (a.fields != b.fields) break;
    out.emplace_back(a.fields.begin(), a.fields.begin() + a.SlotCount());
  }
  std::fclose(file);
  EXPECT_FALSE(fromFile.ReadError());
  return out;
}

// The same bytes read from a file in blocks and from memory give the same
// records, also where a quote, comma or CR LF straddles two blocks.
TEST(CsvSplit, FileBlocksAndMemoryAgree) {
  std::mt19937 rng(7);
  const char alphabet[] = {'a', '1', ',', '"', '"', '\r', '\n', '\x83', '\0'};
  std::string data;
  while (data.size() < 3 * 1024 * 1024 + 100) data.push_back(alphabet[rng() % sizeof alphabet]);
  EXPECT_GT(SplitFileAndMemory(data).size(), 100000u);
}

// A record is read again only within its first kCsvRereadMax bytes; the
// reader keeps no more of it than that, whatever the block boundaries.
TEST(CsvSplit, RecordsPastWhatCanBeReadAgain) {
  std::string rows;
  for (int i = 0; rows.size() <= kCsvRereadMax; ++i) rows += "row," + std::to_string(i) + "\r\n";
  const std::size_t rowCount = std::count(rows.begin(), rows.end(), '\n');
  // A stray quote that no quote closes, with a line end but no quote for
  // the next MB: the lines are records of their own.
  for (const std::string& start : {"x,\"y\r\n", "\"y\r\n"}) {
    std::vector<Fields> records = SplitFileAndMemory(start + rows);
    ASSERT_EQ(records.size(), rowCount + 1) << start;
    EXPECT_EQ(records[1], (Fields{"row", "0"}));
    EXPECT_EQ(records.back(), (Fields{"row", std::to_string(rowCount - 1)}));
  }
  // A first line longer than that: its end ends the record even inside
  // quotes, and a byte after a closing quote is data.
  const std::string longText(kCsvRereadMax + 10, 'p');
  const std::string cut = longText.substr(0, kCsvFieldMax);
  EXPECT_EQ(SplitFileAndMemory("\"" + longText + "\"b,c\r\n\"" + longText + "\r\nd\"\r\n"),
            (std::vector<Fields>{{cut, "c"}, {cut}, {"d\""}}));
  EXPECT_EQ(SplitFileAndMemory("\"a\"," + longText + ",\"b\"c\r\nz\r\n"),
            (std::vector<Fields>{{"a", cut, "bc"}, {"z"}}));
  // Before that, a lone quote sends the line to the line rule at any length.
  EXPECT_EQ(SplitFileAndMemory("\"a\"b\"," + longText + "\r\nz\r\n"),
            (std::vector<Fields>{{("a\"b\"," + longText).substr(0, kCsvFieldMax)}, {"z"}}));
}

class CsvLoad : public ::testing::Test {
 protected:
  // A list as the program has always stored it: the text in code page 932
  // (a test's raw bytes, not UTF-8, are written as they are).
  int Load(const std::string& data, const CategoryTable& table) {
    WriteAll(path_, IsValidUtf8(data) ? Utf8ToCp932(data) : data);
    return LoadCsvList(rows_, table, path_);
  }
  // A list stored as UTF-8 after a byte-order mark.
  int LoadUtf8(const std::string& data, const CategoryTable& table) {
    WriteAll(path_, "\xEF\xBB\xBF" + data);
    return LoadCsvList(rows_, table, path_);
  }
  ScratchDir dir_;
  std::string path_ = dir_.File("list.csv");
  RowModel rows_;
};

const std::string kHeaderBtTitle = "\"ファイル名\",\"サイズ(Byte)\",\"タイトル\"\r\n";

TEST_F(CsvLoad, AByteOrderMarkMakesTheListUtf8AndEveryNameLoads) {
  const CategoryTable t = TableWith({FileSizeBT, MovieTitle});
  ASSERT_EQ(LoadUtf8(kHeaderBtTitle + "\"한국영화.avi\",\"1\",\"emoji😀 Amélie\"\r\n", t),
            kCsvLoaded);
  EXPECT_EQ(rows_.Cell(0, 0), "한국영화.avi");
  EXPECT_EQ(rows_.Cell(0, 2), "emoji😀 Amélie");
  // Without the mark the same bytes are code page 932: no UTF-8 header name
  // matches, so nothing is loaded in another script's characters.
  WriteAll(path_, kHeaderBtTitle + "\"a.avi\",\"1\",\"t\"\r\n");
  EXPECT_EQ(LoadCsvList(rows_, t, path_), kCsvItemMismatch);
}

TEST_F(CsvLoad, RowsGoOnTopInFileOrderWithTheirLineNumberAsTag) {
  rows_.Insert(0, "old1.avi", 5);
  rows_.Insert(1, "old2.avi", 6);
  ASSERT_EQ(Load(kHeaderBtTitle + "\"a.avi\",\"1,234\",\"A\"\r\n\"b.avi\",\"5\",\"B\"\r\n",
                 TableWith({FileSizeBT, MovieTitle})),
            kCsvLoaded);
  ASSERT_EQ(rows_.Count(), 4);
  EXPECT_EQ(rows_.Cell(0, 0), "a.avi");
  EXPECT_EQ(rows_.Cell(0, 1), "1,234");
  EXPECT_EQ(rows_.Cell(0, 2), "A");
  EXPECT_EQ(rows_.Tag(0), 0);
  EXPECT_EQ(rows_.Cell(1, 0), "b.avi");
  EXPECT_EQ(rows_.Tag(1), 1);
  EXPECT_EQ(rows_.Cell(2, 0), "old1.avi");
  EXPECT_EQ(rows_.Cell(3, 0), "old2.avi");
  EXPECT_EQ(rows_.Tag(3), 6);
}

TEST_F(CsvLoad, HeaderChecks) {
  CategoryTable t = TableWith({FileSizeBT, MovieTitle});
  EXPECT_EQ(Load("", t), kCsvCountMismatch);
  EXPECT_EQ(Load("\"ファイル名\",\"サイズ(Byte)\"\r\n", t), kCsvCountMismatch);
  EXPECT_EQ(Load(kHeaderBtTitle.substr(0, kHeaderBtTitle.size() - 2) + ",\"x\"\r\n", t),
            kCsvCountMismatch);
  EXPECT_EQ(Load("\"ファイル名\",\"サイズ(MB)\",\"タイトル\"\r\n", t), kCsvItemMismatch);
  EXPECT_EQ(Load("\"ファイル名\",\"タイトル\",\"タイトル\"\r\n", t), kCsvItemMismatch);
  EXPECT_EQ(Load("\"ファイル名\",\"サイズ(byte)\",\"タイトル\"\r\n", t), kCsvItemMismatch);
  EXPECT_EQ(rows_.Count(), 0);
  // The first field is not checked.
  EXPECT_EQ(Load("\"name\",\"サイズ(Byte)\",\"タイトル\"\r\n\"a.avi\",\"1\",\"t\"\r\n", t),
            kCsvLoaded);
  EXPECT_EQ(rows_.Count(), 1);
}

TEST_F(CsvLoad, HeaderOrderIsFreeAndDataIsPlacedByPosition) {
  ASSERT_EQ(Load("\"ファイル名\",\"タイトル\",\"サイズ(Byte)\"\n\"a.avi\",\"T\",\"9\"\n",
                 TableWith({FileSizeBT, MovieTitle})),
            kCsvLoaded);
  EXPECT_EQ(rows_.Cell(0, 1), "T");
  EXPECT_EQ(rows_.Cell(0, 2), "9");
}

TEST_F(CsvLoad, ShortAndLongAndEmptyDataLines) {
  ASSERT_EQ(Load(kHeaderBtTitle + "\"a.avi\"\r\n\r\n\"b.avi\",\"1\",\"t\",\"extra\",\"more\"\r\n",
                 TableWith({FileSizeBT, MovieTitle})),
            kCsvLoaded);
  ASSERT_EQ(rows_.Count(), 3);
  EXPECT_EQ(rows_.Cell(0, 0), "a.avi");
  EXPECT_EQ(rows_.Cell(0, 1), "");
  EXPECT_EQ(rows_.Cell(1, 0), "");  // an empty line is a row with an empty name
  EXPECT_EQ(rows_.Tag(1), 1);
  EXPECT_EQ(rows_.Cell(2, 2), "t");
  EXPECT_EQ(rows_.Cell(2, 3), "");
  EXPECT_EQ(rows_.Row(2).cells.size(), 3u);
}

TEST_F(CsvLoad, OnlyFileNameCategory) {
  ASSERT_EQ(Load("\"ファイル名\"\r\n\"a.avi\",\"dropped\"\r\n", TableWith({})), kCsvLoaded);
  ASSERT_EQ(rows_.Count(), 1);
  EXPECT_EQ(rows_.Row(0).cells.size(), 1u);
  EXPECT_EQ(Load(kHeaderBtTitle, TableWith({})), kCsvCountMismatch);
}

TEST_F(CsvLoad, AValueTwoFlagRefusesEveryFile) {
  std::array<int, kCategoryCount> values{};
  values[FileSizeBT] = 1;
  values[MovieTitle] = 2;  // hidden, but the reader expects it
  CategoryTable t = CategoryTable::FromValues(values);
  EXPECT_EQ(Load("\"ファイル名\",\"サイズ(Byte)\"\r\n\"a.avi\",\"1\"\r\n", t), kCsvCountMismatch);
  EXPECT_EQ(Load(kHeaderBtTitle + "\"a.avi\",\"1\",\"t\"\r\n", t), kCsvItemMismatch);
  EXPECT_EQ(Load("\"ファイル名\",\"サイズ(Byte)\",\"コメント\"\r\n", t), kCsvItemMismatch);
  EXPECT_EQ(rows_.Count(), 0);
}

TEST_F(CsvLoad, LongRowLoadsAsOneRowWithItsCellsWhole) {
  CategoryTable t = CategoryTable::Every();
  std::string header, line;
  for (int k = 0; k < kCategoryCount; ++k) {
    header += std::string(k ? "," : "") + "\"" + ListHeaderName(k) + "\"";
    line += std::string(k ? "," : "") + "\"" + std::string(300, static_cast<char>('a' + k)) + "\"";
  }
  ASSERT_EQ(Load(header + "\r\n" + line + "\r\n", t), kCsvLoaded);
  ASSERT_EQ(rows_.Count(), 1);
  for (int k = 0; k < kCategoryCount; ++k)
    EXPECT_EQ(rows_.Cell(0, k), std::string(300, static_cast<char>('a' + k)));
}

TEST_F(CsvLoad, OldStyleFilesLoadAsBefore) {
  // An earlier version's list: grouped sizes inside quotes, raw quotes.
  CategoryTable t = TableWith({FileSizeBT, FileSizeKB, MovieTitle});
  ASSERT_EQ(Load("\"ファイル名\",\"サイズ(Byte)\",\"サイズ(KB)\",\"タイトル\"\r\n"
                 "\"a.avi\",\"1,234,567\",\"1,205KB\",\"\"Best\" of\"\r\n",
                 t),
            kCsvLoaded);
  EXPECT_EQ(rows_.Cell(0, 1), "1,234,567");
  EXPECT_EQ(rows_.Cell(0, 2), "1,205KB");
  EXPECT_EQ(rows_.Cell(0, 3), "\"Best\" of");
  // A hand-made plain file keeps the digit rule.
  rows_.Clear();
  ASSERT_EQ(Load("ファイル名,サイズ(Byte),サイズ(KB),タイトル\na.avi,x1,234y,z,T\n", t),
            kCsvLoaded);
  EXPECT_EQ(rows_.Cell(0, 1), "x1,234y");
  EXPECT_EQ(rows_.Cell(0, 2), "z");
  EXPECT_EQ(rows_.Cell(0, 3), "T");
}

TEST_F(CsvLoad, TheHeaderCountChoosesBetweenReadingsOfALine) {
  ASSERT_EQ(Load(kHeaderBtTitle +
                     // An earlier version's cells x" and "y, and this one's x","y.
                     "\"a.avi\",\"x\"\",\"\"y\"\r\n"
                     "\"b.avi\",\"x\"\",\"\"y\",\"\"\r\n"
                     // Minimal quoting splits at every comma that fits the
                     // header; a hand-made line keeps grouped digits when
                     // only that fits it.
                     "c.avi,0.14,149\r\n"
                     "d.avi,size 1,234 bytes,T\r\n"
                     // Neither reading fits: the record as RFC 4180 has it.
                     "\"e.avi\",\"one\r\ntwo\"\r\n"
                     "f.avi\r\n",
                 TableWith({FileSizeBT, MovieTitle})),
            kCsvLoaded);
  ASSERT_EQ(rows_.Count(), 6);
  auto cells = [&](int r) {
    return Fields{std::string(rows_.Cell(r, 0)), std::string(rows_.Cell(r, 1)),
                  std::string(rows_.Cell(r, 2))};
  };
  EXPECT_EQ(cells(0), (Fields{"a.avi", "x\"", "\"y"}));
  EXPECT_EQ(cells(1), (Fields{"b.avi", "x\",\"y", ""}));
  EXPECT_EQ(cells(2), (Fields{"c.avi", "0.14", "149"}));
  EXPECT_EQ(cells(3), (Fields{"d.avi", "size 1,234 bytes", "T"}));
  EXPECT_EQ(rows_.Cell(4, 1), "one\ntwo");
  EXPECT_EQ(rows_.Cell(5, 0), "f.avi");
}

TEST_F(CsvLoad, FileThatCannotBeOpenedOrReadLeavesTheListAlone) {
  rows_.Insert(0, "keep.avi", 0);
  EXPECT_EQ(LoadCsvList(rows_, TableWith({}), dir_.File("missing.csv")), kCsvCannotOpen);
  std::string folder = dir_.File("folder.csv");
  ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
  EXPECT_EQ(LoadCsvList(rows_, TableWith({}), folder), kCsvCannotOpen);
  ASSERT_EQ(rows_.Count(), 1);
  EXPECT_EQ(rows_.Cell(0, 0), "keep.avi");
}

}  // namespace
}  // namespace clip
