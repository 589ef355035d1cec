// The INFO writer on real files: what it writes, and that it never damages
// a file it must not write.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "base/cp932.h"
#include "edit/info_writer.h"
#include "edit/info_list.h"
#include "riff_build.h"
#include "scan/probe.h"

namespace clip {
namespace {

using namespace clip::test;

class InfoWriterFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/clip-info-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
  }
  void TearDown() override {
    std::string cmd = "rm -rf '" + dir_ + "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
  }
  std::string Put(const std::string& name, const std::string& bytes) {
    std::ofstream(dir_ + "/" + name, std::ios::binary) << bytes;
    return dir_ + "/" + name;
  }
  static std::string Get(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }
  static InfoRequest Texts(const std::string& t, const std::string& c, const std::string& m) {
    InfoRequest r;
    r.title = t;
    r.creator = c;
    r.comment = m;
    return r;
  }
  std::string dir_;
};

TEST_F(InfoWriterFiles, AppendsTheListBehindIndexAndChangesNothingElse) {
  const std::string avi = PlainAvi();
  const std::string path = Put("a.avi", avi);
  ASSERT_EQ(WriteInfoToFile(path, Texts("タイトル", "作者", "コメント")), InfoFault::None);
  const std::string after = Get(path);
  EXPECT_EQ(after, avi + RenderInfoList({"タイトル", "作者", "コメント"}));
  // The RIFF size is left as it was.
  EXPECT_EQ(after.substr(4, 4), avi.substr(4, 4));
  Tail t = ReadTail(after);
  EXPECT_EQ(t.title, "タイトル");
  EXPECT_EQ(t.creator, "作者");
  EXPECT_EQ(t.comment, "コメント");
}

TEST_F(InfoWriterFiles, WritingTwiceGivesTheSameBytes) {
  const std::string path = Put("a.avi", PlainAvi());
  ASSERT_EQ(WriteInfoToFile(path, Texts("t", "c", "m")), InfoFault::None);
  const std::string once = Get(path);
  ASSERT_EQ(WriteInfoToFile(path, Texts("t", "c", "m")), InfoFault::None);
  EXPECT_EQ(Get(path), once);
}

TEST_F(InfoWriterFiles, AShorterListLeavesNoStaleEntries) {
  const std::string avi = PlainAvi();
  const std::string path = Put("a.avi", avi);
  ASSERT_EQ(WriteInfoToFile(path, Texts(std::string(200, 'T'), "maker", "a long comment")),
            InfoFault::None);
  // The user deletes the comment and shortens the title.
  ASSERT_EQ(WriteInfoToFile(path, Texts("short", "maker", "")), InfoFault::None);
  const std::string after = Get(path);
  EXPECT_EQ(after, avi + RenderInfoList({"short", "maker", ""}));
  Tail t = ReadTail(after);
  EXPECT_EQ(t.title, "short");
  EXPECT_EQ(t.comment, "");
  // And everything emptied leaves the bare header.
  ASSERT_EQ(WriteInfoToFile(path, Texts("", "", "")), InfoFault::None);
  EXPECT_EQ(Get(path), avi + RenderInfoList({}));
}

TEST_F(InfoWriterFiles, ALongerListReplacesAShorterOne) {
  const std::string avi = PlainAvi();
  const std::string path = Put("a.avi", avi + RenderInfoList({"a", "", ""}));
  ASSERT_EQ(WriteInfoToFile(path, Texts("abc", "def", "ghi")), InfoFault::None);
  EXPECT_EQ(Get(path), avi + RenderInfoList({"abc", "def", "ghi"}));
}

TEST_F(InfoWriterFiles, RefusedFilesKeepEveryByte) {
  const std::string avi = PlainAvi();
  struct Case {
    const char* name;
    std::string bytes;
    InfoFault fault;
  } cases[] = {
      {"opendml.avi", avi + Riff("AVIX", ListChunk("movi", Chunk("00dc", "more"))),
       InfoFault::ForeignTail},
      {"chunk.avi", avi + Chunk("JUNK", "xyz"), InfoFault::ForeignTail},
      {"junk.avi", avi + "\x01\x02\x03", InfoFault::ForeignTail},
      {"noindex.avi", Riff("AVI ", MoviBody()), InfoFault::NoIndex},
      {"pastend.avi", Riff("AVI ", MoviBody() + "idx1" + U32(4096) + "abcd"),
       InfoFault::IndexPastEnd},
      {"truncated.avi", avi.substr(0, 60), InfoFault::Truncated},
      {"text.avi", "not a movie at all", InfoFault::NotRiffAvi},
      {"empty.avi", "", InfoFault::NotRiffAvi},
      // Today's containers are listed among the files left alone.
      {"movie.mp4",
       std::string("\0\0\0\x18"
                   "ftypisom\0\0\0\0isommp42",
                   24),
       InfoFault::NotRiffAvi},
      {"movie.mkv", "\x1A\x45\xDF\xA3\x84\x42\x82\x88matroska", InfoFault::NotRiffAvi},
  };
  for (const Case& c : cases) {
    const std::string path = Put(c.name, c.bytes);
    EXPECT_EQ(WriteInfoToFile(path, Texts("t", "c", "m")), c.fault) << c.name;
    EXPECT_EQ(Get(path), c.bytes) << c.name;
  }
}

TEST_F(InfoWriterFiles, MissingUnopenableAndReadOnlyFilesAreReported) {
  EXPECT_EQ(WriteInfoToFile(dir_ + "/none.avi", Texts("t", "", "")), InfoFault::Missing);
  // A folder cannot be opened for writing.
  ASSERT_EQ(mkdir((dir_ + "/folder.avi").c_str(), 0755), 0);
  EXPECT_EQ(WriteInfoToFile(dir_ + "/folder.avi", Texts("t", "", "")), InfoFault::CannotOpen);
  // Read-only stays read-only, even for a user who could write it anyway.
  const std::string path = Put("ro.avi", PlainAvi());
  ASSERT_EQ(chmod(path.c_str(), 0444), 0);
  EXPECT_EQ(WriteInfoToFile(path, Texts("t", "", "")), InfoFault::ReadOnly);
  EXPECT_EQ(Get(path), PlainAvi());
}

// The row builder's own tail scan over a file's bytes.
class BytesMovie : public MovieFile {
 public:
  explicit BytesMovie(std::string bytes) : bytes_(std::move(bytes)) {}
  std::uint64_t Size() override { return bytes_.size(); }
  std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t n) override {
    if (offset >= bytes_.size()) return 0;
    n = std::min<std::size_t>(n, bytes_.size() - offset);
    std::memcpy(buffer, bytes_.data() + offset, n);
    return n;
  }

 private:
  std::string bytes_;
};

TEST_F(InfoWriterFiles, TheNextScanReadsWhatWasWrittenLast) {
  const std::string path = Put("a.avi", PlainAvi());
  ASSERT_EQ(WriteInfoToFile(path, Texts(std::string(255, 'T'), "maker", "note to delete")),
            InfoFault::None);
  BytesMovie first(Get(path));
  InfoTail t = ScanInfoTail(first);
  EXPECT_EQ(t.title, std::string(255, 'T'));  // a full cell is read back whole
  EXPECT_EQ(t.comment, "note to delete");
  ASSERT_EQ(WriteInfoToFile(path, Texts("new", "", "")), InfoFault::None);
  BytesMovie second(Get(path));
  t = ScanInfoTail(second);
  EXPECT_EQ(t.title, "new");
  EXPECT_EQ(t.creator, "");
  EXPECT_EQ(t.comment, "");
}

class CheckedRows : public InfoWriterFiles {
 protected:
  int Add(const std::string& name, bool checked) {
    int r = rows_.Insert(rows_.Count(), name, rows_.Count());
    auto set = [&](int k, const std::string& text) {
      if (table_.IsOn(k)) rows_.SetCell(r, table_.position[k], text);
    };
    set(DirPath, dir_);
    set(MovieTitle, "title " + name);
    set(Creater, "creator");
    set(Comment, "comment");
    rows_.SetChecked(r, checked);
    return r;
  }
  std::vector<InfoWriteProblem> Run() { return WriteCheckedInfo(rows_, table_, '/'); }
  RowModel rows_;
  CategoryTable table_ = CategoryTable::AllOn();
};

TEST_F(CheckedRows, OnlyCheckedAviFilesAreWritten) {
  const std::string avi = PlainAvi();
  const std::string a = Put("a.avi", avi), b = Put("B.AVI", avi), c = Put("c.avi", avi);
  const std::string m = Put("d.mpg", avi);
  Add("a.avi", true);
  Add("B.AVI", true);
  Add("c.avi", false);
  Add("d.mpg", true);
  Add("gone.mpg", true);  // not an AVI: skipped without a word even when missing
  EXPECT_TRUE(Run().empty());
  EXPECT_EQ(Get(a), avi + RenderInfoList({"title a.avi", "creator", "comment"}));
  EXPECT_EQ(Get(b), avi + RenderInfoList({"title B.AVI", "creator", "comment"}));
  EXPECT_EQ(Get(c), avi);
  EXPECT_EQ(Get(m), avi);
}

TEST_F(CheckedRows, ATitleLongerThanAnInfoValueIsCutAndRewrittenInPlace) {
  const std::string avi = PlainAvi();
  const std::string a = Put("a.avi", avi);
  const int r = Add("a.avi", true);
  // A list file may hold a longer title than one typed; its INFO value is cut
  // on a character boundary, so that the next write still finds its own list.
  std::string title = "x";
  for (int i = 0; i < 150; ++i) title += "あ";
  rows_.SetCell(r, table_.position[MovieTitle], title);
  EXPECT_TRUE(Run().empty());
  EXPECT_TRUE(Run().empty());
  const std::string cut = Utf8ToCp932(CutCp932(title, kInfoTextMax));
  EXPECT_EQ(cut.size(), 255u);
  EXPECT_EQ(Get(a), avi + RenderInfoList({cut, "creator", "comment"}));
}

TEST_F(CheckedRows, ABadFileIsReportedAndTheRunGoesOn) {
  const std::string avi = PlainAvi();
  const std::string first = Put("1.avi", avi), second = Put("2.avi", "plain text"),
                    third = Put("3.avi", avi);
  Add("1.avi", true);
  Add("2.avi", true);
  Add("3.avi", true);
  Add("4.avi", true);  // missing
  std::vector<InfoWriteProblem> problems = Run();
  ASSERT_EQ(problems.size(), 2u);
  EXPECT_EQ(problems[0].path, second);
  EXPECT_EQ(problems[0].fault, InfoFault::NotRiffAvi);
  EXPECT_EQ(problems[0].reason, InfoFaultText(InfoFault::NotRiffAvi));
  EXPECT_EQ(problems[1].path, dir_ + "/4.avi");
  EXPECT_EQ(problems[1].fault, InfoFault::Missing);
  EXPECT_EQ(Get(first), avi + RenderInfoList({"title 1.avi", "creator", "comment"}));
  EXPECT_EQ(Get(second), "plain text");
  EXPECT_EQ(Get(third), avi + RenderInfoList({"title 3.avi", "creator", "comment"}));
}

TEST_F(CheckedRows, WithoutTheFolderCategoryNothingIsWritten) {
  const std::string avi = PlainAvi();
  const std::string a = Put("a.avi", avi);
  Add("a.avi", true);
  std::array<int, kCategoryCount> values{};
  values.fill(1);
  values[DirPath] = 0;
  CategoryTable noFolder = CategoryTable::FromValues(values);
  EXPECT_TRUE(WriteCheckedInfo(rows_, noFolder, '/').empty());
  EXPECT_EQ(Get(a), avi);
}

TEST_F(CheckedRows, AFolderCellThatIsNoFullPathIsRefused) {
  // A loaded list may hold an empty or relative folder; the path would then
  // name some other file of the same name.
  const std::string avi = PlainAvi();
  const std::string a = Put("a.avi", avi);
  Add("a.avi", true);
  rows_.SetCell(0, table_.position[DirPath], "");
  Add("a.avi", true);
  rows_.SetCell(1, table_.position[DirPath], "relative/dir");
  std::vector<InfoWriteProblem> problems = Run();
  ASSERT_EQ(problems.size(), 2u);
  EXPECT_EQ(problems[0].fault, InfoFault::NoFullPath);
  EXPECT_EQ(problems[1].fault, InfoFault::NoFullPath);
  EXPECT_EQ(Get(a), avi);

  // Windows folders: a drive ("D:" for files in the root, "D:\\x") or a
  // share are full paths; "D:x" and "x\\y" are not.
  auto faultFor = [&](const std::string& folder) {
    rows_.SetCell(0, table_.position[DirPath], folder);
    rows_.SetChecked(1, false);
    std::vector<InfoWriteProblem> p = WriteCheckedInfo(rows_, table_, '\\');
    return p.empty() ? InfoFault::None : p[0].fault;
  };
  EXPECT_EQ(faultFor("D:"), InfoFault::Missing);
  EXPECT_EQ(faultFor("D:\\movies"), InfoFault::Missing);
  EXPECT_EQ(faultFor("\\\\server\\share"), InfoFault::Missing);
  EXPECT_EQ(faultFor("D:movies"), InfoFault::NoFullPath);
  EXPECT_EQ(faultFor("movies\\old"), InfoFault::NoFullPath);
  EXPECT_EQ(faultFor("\\movies"), InfoFault::NoFullPath);
}

TEST_F(CheckedRows, ANameThatReachesIntoAnotherFolderIsRefused) {
  // A list from others could point the row at another AVI file.
  const std::string avi = PlainAvi();
  const std::string a = Put("a.avi", avi);
  Add("a.avi", true);
  rows_.SetCell(0, 0, "sub/../a.avi");
  std::vector<InfoWriteProblem> problems = Run();
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0].fault, InfoFault::NotFileName);
  EXPECT_EQ(Get(a), avi);
  for (const char* name : {"..\\a.avi", "x.exe:s.avi", "a/b.avi"}) {
    rows_.SetCell(0, 0, name);
    rows_.SetCell(0, table_.position[DirPath], "D:\\m");
    problems = WriteCheckedInfo(rows_, table_, '\\');
    ASSERT_EQ(problems.size(), 1u) << name;
    EXPECT_EQ(problems[0].fault, InfoFault::NotFileName) << name;
  }
}

TEST_F(CheckedRows, HiddenCategoriesKeepWhatTheFileHolds) {
  const std::string avi = PlainAvi();
  const std::string a = Put("a.avi", avi + RenderInfoList({"old title", "old maker", "old note"}));
  std::array<int, kCategoryCount> values{};
  values.fill(1);
  values[MovieTitle] = 0;
  values[Creater] = 2;
  table_ = CategoryTable::FromValues(values);
  Add("a.avi", true);
  rows_.SetCell(0, table_.position[Comment], "new note");
  EXPECT_TRUE(Run().empty());
  EXPECT_EQ(Get(a), avi + RenderInfoList({"old title", "old maker", "new note"}));
}

}  // namespace
}  // namespace clip
