#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <tuple>

#include "list_test_util.h"
#include "listfile/list_format.h"
#include "listfile/listfile.h"
#include "base/cp932.h"

namespace clip {
namespace {

using testing::Exists;
using testing::ReadAll;
using testing::ScratchDir;
using testing::TableWith;
using testing::WriteAll;

RowModel OneRow(std::initializer_list<std::string> cells) {
  RowModel rows;
  rows.Insert(0, *cells.begin(), 0);
  int c = 0;
  for (const auto& text : cells) rows.SetCell(0, c++, text);
  return rows;
}

// The list files' bytes: code page 932, as lists have always been stored.
std::string Sj(const std::string& utf8) { return Utf8ToCp932(utf8); }

TEST(ListHeaderNames, AreTheFullWidthNamesInCodePage932) {
  EXPECT_EQ(Sj(ListHeaderName(FileName)), "\x83\x74\x83\x40\x83\x43\x83\x8B\x96\xBC");
  EXPECT_STREQ(ListHeaderName(FileSizeBT), "サイズ(Byte)");
  EXPECT_EQ(Sj(ListHeaderName(FileSizeBT)).size(), 12u);
  EXPECT_EQ(Sj(ListHeaderName(DirPath)).size(), 16u);
  EXPECT_EQ(Sj(ListHeaderName(PlayTime)).size(), 4u);
  EXPECT_STREQ(ListHeaderName(99), "");
}

TEST(CsvWriter, WritesQuotedFieldsWithCrLfAndNothingElse) {
  CategoryTable t = TableWith({FileSizeBT, MovieTitle});
  RowModel rows = OneRow({"a.avi", "1,234", ""});
  EXPECT_EQ(FormatCsvList(rows, t), Sj("\"ファイル名\",\"サイズ(Byte)\",\"タイトル\"\r\n"
                                       "\"a.avi\",\"1,234\",\"\"\r\n"));
}

TEST(CsvWriter, EmptyListAndNoCategoriesAndDoubledQuotes) {
  EXPECT_EQ(FormatCsvList(RowModel{}, TableWith({})), Sj("\"ファイル名\"\r\n"));
  RowModel rows = OneRow({"x\"y,z.avi", "End comment, \"quoted\""});
  EXPECT_EQ(
      FormatCsvList(rows, TableWith({Comment})),
      Sj("\"ファイル名\",\"コメント\"\r\n\"x\"\"y,z.avi\",\"End comment, \"\"quoted\"\"\"\r\n"));
  // The default: seventeen fields in category order; every one: all of them.
  std::string all = FormatCsvList(RowModel{}, CategoryTable::AllOn());
  std::string expected;
  for (int k = 0; k < kClassicCategoryCount; ++k)
    expected += std::string(k ? "," : "") + "\"" + ListHeaderName(k) + "\"";
  EXPECT_EQ(all, Sj(expected + "\r\n"));
  all = FormatCsvList(RowModel{}, CategoryTable::Every());
  expected.clear();
  for (int k = 0; k < kCategoryCount; ++k)
    expected += std::string(k ? "," : "") + "\"" + ListHeaderName(k) + "\"";
  EXPECT_EQ(all, Sj(expected + "\r\n"));
}

TEST(CsvWriter, KeepsListOrderAndWritesLongCellsWhole) {
  CategoryTable t = TableWith({Comment});
  RowModel rows;
  rows.Insert(0, "b.avi", 0);
  rows.Insert(0, "a.avi", 1);
  rows.SetCell(1, 1, std::string(300, 'c'));
  EXPECT_EQ(FormatCsvList(rows, t),
            Sj("\"ファイル名\",\"コメント\"\r\n\"a.avi\",\"\"\r\n\"b.avi\",\"" +
               std::string(300, 'c') + "\"\r\n"));
}

TEST(CsvWriter, LineFeedInsideACellIsStoredAsCrLfLikeAnyLineEnd) {
  RowModel rows = OneRow({"a.avi", "one\ntwo"});
  EXPECT_EQ(FormatCsvList(rows, TableWith({Comment})),
            Sj("\"ファイル名\",\"コメント\"\r\n\"a.avi\",\"one\r\ntwo\"\r\n"));
}

TEST(TextWriter, ColumnsStartAtTheWidestTextPlusOne) {
  CategoryTable t = TableWith({FileSizeBT, MovieTitle});
  RowModel rows = OneRow({"a.avi", "1,234", "x"});
  std::string text = FormatTextList(rows, t, true);
  const std::string header = Sj("ファイル名 サイズ(Byte) タイトル\r\n");
  const std::string row = "a.avi" + std::string(6, ' ') + std::string(7, ' ') + "1,234 x\r\n";
  EXPECT_EQ(text, header + row);
  EXPECT_EQ(row.find("1,234") - 7, 11u);  // second column starts at byte 11
  EXPECT_EQ(row.find('x'), 24u);
  EXPECT_EQ(header.find(Sj("サイズ")), 11u);
  EXPECT_EQ(header.find(Sj("タイトル")), 24u);
}

TEST(TextWriter, RightAlignedLastColumnGetsOneTrailingSpace) {
  RowModel rows = OneRow({"movie.avi", "12KB"});
  EXPECT_EQ(FormatTextList(rows, TableWith({FileSizeKB}), true), Sj("ファイル名 サイズ(KB) \r\n"
                                                                    "movie.avi  12KB \r\n"));
  rows = OneRow({"movie.avi", "t"});
  EXPECT_EQ(FormatTextList(rows, TableWith({MovieTitle}), true), Sj("ファイル名 タイトル\r\n"
                                                                    "movie.avi  t\r\n"));
}

TEST(TextWriter, RatesAlignRightAndDoubleByteTextCountsTwo) {
  CategoryTable t = TableWith({VideoRate, AudioRate, Janle});
  RowModel rows = OneRow({"動画.avi", "1000kbps", "44kHz", "アニメ"});
  EXPECT_EQ(FormatTextList(rows, t, true), Sj("ファイル名 動画レート 音声レート ジャンル\r\n"
                                              "動画.avi     1000kbps      44kHz アニメ\r\n"));
}

TEST(TextWriter, AppendWritesNoHeaderButHeaderNamesStillCountForWidths) {
  RowModel rows = OneRow({"a.avi", "x"});
  EXPECT_EQ(FormatTextList(rows, TableWith({MovieTitle}), false), "a.avi      x\r\n");
  EXPECT_EQ(FormatTextList(RowModel{}, TableWith({MovieTitle}), false), "");
  // No category: the file name alone.
  EXPECT_EQ(FormatTextList(rows, TableWith({}), true), Sj("ファイル名\r\na.avi\r\n"));
}

TEST(SaveListFile, WritesEachFormatAndReplacesAnOldFileWhole) {
  ScratchDir dir;
  CategoryTable t = TableWith({FileSizeBT, MovieTitle});
  RowModel rows = OneRow({"a.avi", "1,234", ""});
  std::string csv = dir.File("list.csv");
  WriteAll(csv, std::string(5000, 'o'));
  SaveResult r = SaveListFile(rows, t, csv, ListFormat::Csv, false);
  EXPECT_TRUE(r.ok) << r.error;
  EXPECT_EQ(ReadAll(csv), FormatCsvList(rows, t));
  EXPECT_FALSE(Exists(csv + ".tmp"));
  // CSV is always rewritten whole with its header, whatever append says.
  EXPECT_TRUE(SaveListFile(rows, t, csv, ListFormat::Csv, true).ok);
  EXPECT_EQ(ReadAll(csv), FormatCsvList(rows, t));

  std::string html = dir.File("list.htm");
  EXPECT_TRUE(SaveListFile(rows, t, html, ListFormat::Html, false).ok);
  EXPECT_EQ(ReadAll(html), FormatHtmlList(rows, t, HtmlOptions{}));
}

TEST(SaveListFile, Utf8ListsStartWithAByteOrderMarkAndAppendsKeepTheFilesEncoding) {
  ScratchDir dir;
  CategoryTable t = TableWith({MovieTitle});
  RowModel rows = OneRow({"한국영화.avi", "Amélie"});
  EXPECT_EQ(RowsChangedByCp932(rows, t), 1);
  EXPECT_EQ(RowsChangedByCp932(OneRow({"日本語.avi", "Ω"}), t), 0);
  const std::string csv = dir.File("list.csv");
  ASSERT_TRUE(SaveListFile(rows, t, csv, ListFormat::Csv, false, nullptr, ListEncoding::Utf8).ok);
  EXPECT_EQ(ReadAll(csv),
            "\xEF\xBB\xBF\"ファイル名\",\"タイトル\"\r\n\"한국영화.avi\",\"Amélie\"\r\n");

  // A text list keeps the encoding it has, whatever the setting says now.
  const std::string utf8 = dir.File("utf8.txt"), sjis = dir.File("sjis.txt");
  ASSERT_TRUE(SaveListFile(rows, t, utf8, ListFormat::Text, false, nullptr, ListEncoding::Utf8).ok);
  ASSERT_TRUE(SaveListFile(OneRow({"b.avi", "ソ"}), t, utf8, ListFormat::Text, true).ok);
  const std::string appended = "b.avi      ソ\r\n";
  EXPECT_EQ(ReadAll(utf8).substr(ReadAll(utf8).size() - appended.size()), appended);
  ASSERT_TRUE(SaveListFile(OneRow({"a.avi", "x"}), t, sjis, ListFormat::Text, false).ok);
  ASSERT_TRUE(SaveListFile(OneRow({"b.avi", "ソ"}), t, sjis, ListFormat::Text, true, nullptr,
                           ListEncoding::Utf8)
                  .ok);
  EXPECT_EQ(ReadAll(sjis).substr(ReadAll(sjis).size() - 15), Sj("b.avi      ソ\r\n"));
  // A new file appended to takes the chosen encoding, mark included.
  const std::string fresh = dir.File("fresh.txt");
  ASSERT_TRUE(SaveListFile(OneRow({"c.avi", "z"}), t, fresh, ListFormat::Text, true, nullptr,
                           ListEncoding::Utf8)
                  .ok);
  EXPECT_EQ(ReadAll(fresh),
            "\xEF\xBB\xBF"
            "c.avi      z\r\n");
}

// A code page 932 save that refuses loss writes nothing when a text would
// change: an old list stays whole, an appended log keeps its old end, and
// no file is left where there was none. Texts that fit are written as usual.
TEST(SaveListFile, RefusingLossWritesNothingWhenATextWouldChange) {
  ScratchDir dir;
  CategoryTable t = TableWith({MovieTitle});
  const RowModel lossy = OneRow({"emoji😀.avi", "x"}), fits = OneRow({"日本語.avi", "Ω"});
  const std::string csv = dir.File("list.csv"), log = dir.File("log.txt"),
                    none = dir.File("none.txt");
  WriteAll(csv, "old");
  WriteAll(log, "old line\r\n");
  for (const auto& [path, format, append] :
       {std::tuple{csv, ListFormat::Csv, false}, std::tuple{log, ListFormat::Text, true},
        std::tuple{none, ListFormat::Text, true}}) {
    SCOPED_TRACE(path);
    const SaveResult r =
        SaveListFile(lossy, t, path, format, append, nullptr, ListEncoding::Cp932, true);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.lossy);
  }
  EXPECT_EQ(ReadAll(csv), "old");
  EXPECT_EQ(ReadAll(log), "old line\r\n");
  EXPECT_FALSE(Exists(none));
  EXPECT_FALSE(Exists(csv + ".tmp"));
  // The same rows in UTF-8, and rows that fit, are written.
  EXPECT_TRUE(
      SaveListFile(lossy, t, csv, ListFormat::Csv, false, nullptr, ListEncoding::Utf8, true).ok);
  const SaveResult r =
      SaveListFile(fits, t, csv, ListFormat::Csv, false, nullptr, ListEncoding::Cp932, true);
  EXPECT_TRUE(r.ok);
  EXPECT_FALSE(r.lossy);
  EXPECT_EQ(ReadAll(csv), Sj("\"ファイル名\",\"タイトル\"\r\n\"日本語.avi\",\"Ω\"\r\n"));
}

// A list of many blocks is encoded block by block, in place: its bytes are
// those of the whole text encoded at once, and it loads back cell for cell.
TEST(SaveListFile, ManyBlocksOfMixedTextsAreTheWholeTextsBytesAndLoadBack) {
  ScratchDir dir;
  CategoryTable t = TableWith({MovieTitle, Comment});
  std::string kana;
  for (int i = 0; i < 150; ++i) kana += "あ";  // cut to 127 characters
  const std::string texts[] = {"plain title", "日本語のタイトル", "ｺﾒﾝﾄ ﾃｽﾄ", "表示ソ \"q\"", kana};
  RowModel rows;
  for (int r = 0; r < 40000; ++r) {
    rows.Insert(r, "movie_" + std::to_string(r) + ".avi", r);
    rows.SetCell(r, 1, texts[r % 5]);
    rows.SetCell(r, 2, texts[(r + 1) % 5]);
  }
  const std::string csv = dir.File("list.csv");
  ASSERT_TRUE(SaveListFile(rows, t, csv, ListFormat::Csv, false).ok);
  const std::string bytes = ReadAll(csv);
  ASSERT_GT(bytes.size(), 2u << 20);
  EXPECT_EQ(bytes, FormatCsvList(rows, t));
  RowModel back;
  ASSERT_EQ(LoadCsvList(back, t, csv), kCsvLoaded);
  ASSERT_EQ(back.Count(), rows.Count());
  for (int r = 0; r < rows.Count(); ++r)
    for (int c = 0; c <= 2; ++c) ASSERT_EQ(back.Cell(r, c), rows.Cell(r, c)) << r << "," << c;
}

TEST(SaveListFile, TextAppendAddsRowsInPlaceWithoutHeader) {
  ScratchDir dir;
  CategoryTable t = TableWith({MovieTitle});
  std::string path = dir.File("list.txt");
  RowModel first = OneRow({"a.avi", "x"});
  ASSERT_TRUE(SaveListFile(first, t, path, ListFormat::Text, false).ok);
  RowModel second = OneRow({"b.avi", "y"});
  ASSERT_TRUE(SaveListFile(second, t, path, ListFormat::Text, true).ok);
  EXPECT_EQ(ReadAll(path), Sj("ファイル名 タイトル\r\n"
                              "a.avi      x\r\n"
                              "b.avi      y\r\n"));
  // Appending an empty list adds nothing; appending to a missing file makes it.
  ASSERT_TRUE(SaveListFile(RowModel{}, t, path, ListFormat::Text, true).ok);
  EXPECT_EQ(ReadAll(path).size(), 49u);
  std::string fresh = dir.File("new.txt");
  ASSERT_TRUE(SaveListFile(second, t, fresh, ListFormat::Text, true).ok);
  EXPECT_EQ(ReadAll(fresh), "b.avi      y\r\n");
}

TEST(SaveListFile, MissingFolderIsReportedWithTheFileName) {
  ScratchDir dir;
  std::string path = dir.File("no-such-folder/list.csv");
  for (ListFormat f : {ListFormat::Csv, ListFormat::Text, ListFormat::Html}) {
    for (bool append : {false, true}) {
      SaveResult r = SaveListFile(OneRow({"a.avi"}), TableWith({}), path, f, append);
      EXPECT_FALSE(r.ok);
      EXPECT_NE(r.error.find(path), std::string::npos) << r.error;
      EXPECT_NE(r.error.find("ﾌｫﾙﾀﾞが見つかりません"), std::string::npos) << r.error;
    }
  }
  SaveResult empty = SaveListFile(RowModel{}, TableWith({}), "", ListFormat::Csv, false);
  EXPECT_FALSE(empty.ok);
  EXPECT_FALSE(empty.error.empty());
}

TEST(SaveListFile, FolderInTheWayFailsAndStaysAFolder) {
  ScratchDir dir;
  std::string path = dir.File("list.csv");
  ASSERT_EQ(mkdir(path.c_str(), 0755), 0);
  SaveResult r = SaveListFile(OneRow({"a.avi"}), TableWith({}), path, ListFormat::Csv, false);
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find(path), std::string::npos);
  struct stat st {};
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  EXPECT_FALSE(Exists(path + ".tmp"));
}

TEST(SaveListFile, AFileWithTheTemporaryNameIsLeftAlone) {
  ScratchDir dir;
  CategoryTable t = TableWith({});
  std::string path = dir.File("list.csv");
  WriteAll(path + ".tmp", "the user's own file");
  WriteAll(path + ".tmp1", "another one");
  RowModel rows = OneRow({"a.avi"});
  SaveResult r = SaveListFile(rows, t, path, ListFormat::Csv, false);
  EXPECT_TRUE(r.ok) << r.error;
  EXPECT_EQ(ReadAll(path), FormatCsvList(rows, t));
  EXPECT_EQ(ReadAll(path + ".tmp"), "the user's own file");
  EXPECT_EQ(ReadAll(path + ".tmp1"), "another one");
  EXPECT_FALSE(Exists(path + ".tmp2"));
}

TEST(SaveListFile, ReadOnlyListIsNotReplaced) {
  ScratchDir dir;
  ASSERT_EQ(chmod(dir.path().c_str(), 0777), 0);  // the folder itself stays writable
  std::string path = dir.File("list.csv");
  WriteAll(path, "old");
  ASSERT_EQ(chmod(path.c_str(), 0444), 0);
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // As an ordinary user, for whom the file's read-only mode counts.
    if (geteuid() == 0 && setuid(65534) != 0) _exit(2);
    SaveResult csv = SaveListFile(OneRow({"a.avi"}), TableWith({}), path, ListFormat::Csv, false);
    SaveResult text = SaveListFile(OneRow({"a.avi"}), TableWith({}), path, ListFormat::Text, true);
    bool named = csv.error.find(path) != std::string::npos &&
                 csv.error.find("書き込みが許可されていません") != std::string::npos;
    _exit(!csv.ok && !text.ok && named ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(ReadAll(path), "old");
  EXPECT_FALSE(Exists(path + ".tmp"));
}

// A write that runs out of room (here: a file size limit, which fails the
// write like a full disk) leaves the previous list untouched.
TEST(SaveListFile, FailedWriteKeepsThePreviousFile) {
  ScratchDir dir;
  std::string path = dir.File("list.csv");
  const std::string old = "\"ファイル名\"\r\n\"old.avi\"\r\n";
  WriteAll(path, old);
  std::string text = dir.File("list.txt");
  WriteAll(text, "old text\r\n");
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit {
      4096, 4096
    };
    setrlimit(RLIMIT_FSIZE, &limit);
    RowModel rows;
    // More than one output block (1 MB), so the failure comes mid-way.
    for (int i = 0; i < 40000; ++i) rows.Insert(i, "movie-file-with-a-long-name.avi", i);
    SaveResult csv = SaveListFile(rows, TableWith({}), path, ListFormat::Csv, false);
    SaveResult html = SaveListFile(rows, TableWith({}), path, ListFormat::Html, false);
    SaveResult append = SaveListFile(rows, TableWith({}), text, ListFormat::Text, true);
    bool named = csv.error.find(path) != std::string::npos &&
                 csv.error.find("ﾃﾞｨｽｸの空き容量が足りません") != std::string::npos;
    _exit(!csv.ok && !html.ok && !append.ok && named ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(ReadAll(path), old);
  EXPECT_FALSE(Exists(path + ".tmp"));
  // A failed append leaves no partial lines behind.
  EXPECT_EQ(ReadAll(text), "old text\r\n");
}

TEST(TempPath, StaysBesideTheFileAndWithinTheNameLimit) {
  EXPECT_EQ(TempPathFor("C:\\lists\\a.csv"), "C:\\lists\\a.csv.tmp");
  // A long path is fine (it is opened as a long path); a long name is cut.
  const std::string deep = "C:\\" + std::string(400, 'd') + "\\list.csv";
  EXPECT_EQ(TempPathFor(deep), deep + ".tmp");
  const std::string longName = "C:\\x\\" + std::string(250, 'n') + ".csv";
  std::string temp = TempPathFor(longName, 3);
  EXPECT_EQ(temp.size() - 5, 255u);
  EXPECT_EQ(temp.substr(temp.size() - 6), "~3.tmp");
  // A UTF-8 character is never cut in half.
  std::string utf8 = "C:\\x\\";
  for (int i = 0; i < 90; ++i) utf8 += "ソ";  // 270 bytes
  const std::string t2 = TempPathFor(utf8);
  EXPECT_EQ(t2.substr(t2.size() - 5), "~.tmp");
  EXPECT_EQ((t2.size() - 5 - 5) % 3, 0u);
  EXPECT_EQ(TempPathFor("C:\\lists\\a.csv", 2), "C:\\lists\\a.csv.tmp2");
}

TEST(CsvErrorTexts, CaptionsAndTextCarryTheResult) {
  EXPECT_STREQ(kCsvErrorCaptionCount, "CSVﾃﾞｰﾀ読み込み失敗 [ｶﾃｺﾞﾘ数不一致]");
  EXPECT_STREQ(kCsvErrorCaptionItem, "CSVﾃﾞｰﾀ読み込み失敗 [ｶﾃｺﾞﾘ項目不一致]");
  const std::string why =
      "ﾃﾞｰﾀ書き込み時とｶﾃｺﾞﾘﾃｰﾌﾞﾙが異なるか、CSV形式が異なります\n読み込みに失敗しました";
  EXPECT_EQ(CsvErrorText(1), why + " ｴﾗｰｺｰﾄﾞ1");
  EXPECT_EQ(CsvErrorText(2), why + " ｴﾗｰｺｰﾄﾞ2");
  EXPECT_NE(CsvErrorText(3).find("ｴﾗｰｺｰﾄﾞ3"), std::string::npos);
  EXPECT_EQ(CsvErrorText(3).find("ｶﾃｺﾞﾘﾃｰﾌﾞﾙ"), std::string::npos);
}

}  // namespace
}  // namespace clip
