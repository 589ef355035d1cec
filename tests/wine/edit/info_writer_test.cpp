// The INFO writer on copies of real movies of every codec the fixture
// script makes, on files made to be refused, and through the command with
// its confirmation and its report.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "main_window_test.h"
#include "res/resource.h"
#include "base/cp932.h"
#include "edit/info_writer.h"
#include "edit/info_list.h"
#include "scan/probe.h"
#include "scan/fs_win.h"

namespace wintest {
namespace {

using clip::InfoFault;

std::string U32(std::uint32_t v) {
  std::string s;
  for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xff));
  return s;
}

// Equal bytes, or where they first differ (movie files are too long to print).
::testing::AssertionResult SameBytes(const std::string& a, const std::string& b) {
  if (a == b) return ::testing::AssertionSuccess();
  std::size_t i = 0;
  while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
  return ::testing::AssertionFailure()
         << "sizes " << a.size() << " and " << b.size() << ", first difference at " << i;
}

std::vector<std::string> Movies(const std::string& dir) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    std::string n = fd.cFileName;
    if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && n.size() > 4 &&
        (n.substr(n.size() - 4) == ".avi" || n.substr(n.size() - 4) == ".AVI"))
      names.push_back(n);
  } while (FindNextFileA(h, &fd));
  FindClose(h);
  return names;
}

clip::InfoTail Tail(const std::string& path) {
  clip::Win32FileSystem fs;
  auto file = fs.Open(path);
  if (!file) return {};
  return clip::ScanInfoTail(*file);
}

void ClearFolder(const std::string& dir) {
  CreateDirectoryA(dir.c_str(), nullptr);
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
      std::string p = dir + "\\" + fd.cFileName;
      SetFileAttributesA(p.c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileA(p.c_str());
    }
  } while (FindNextFileA(h, &fd));
  FindClose(h);
}

struct Rows {
  clip::RowModel rows;
  clip::CategoryTable table = clip::CategoryTable::AllOn();
  void Add(const std::string& dir, const std::string& name, const clip::InfoTexts& t,
           bool checked = true) {
    int r = rows.Insert(rows.Count(), name, rows.Count());
    rows.SetCell(r, table.position[clip::DirPath], dir);
    rows.SetCell(r, table.position[clip::MovieTitle], t.title);
    rows.SetCell(r, table.position[clip::Creater], t.creator);
    rows.SetCell(r, table.position[clip::Comment], t.comment);
    rows.SetCell(r, table.position[clip::Janle], "genre is never written");
    rows.SetChecked(r, checked);
  }
};

TEST(InfoWriterMovies, EveryCodecGetsItsListAndTheNextTailScanReadsIt) {
  const std::string originals = CLIP_MOVIE_DIR_WIN, written = CLIP_WRITTEN_DIR_WIN;
  const std::vector<std::string> names = Movies(originals);
  ASSERT_GE(names.size(), 5u) << "no fixture movies in " << originals;
  ClearFolder(written);
  Rows r;
  for (const std::string& n : names) {
    ASSERT_TRUE(CopyFileA((originals + "\\" + n).c_str(), (written + "\\" + n).c_str(), FALSE));
    r.Add(written, n, {"題名 " + n, "作者", "コメント " + n});
  }
  r.Add(written, "unchecked.avi", {"x", "", ""}, false);
  EXPECT_TRUE(clip::WriteCheckedInfo(r.rows, r.table).empty());
  for (const std::string& n : names) {
    const std::string before = ReadFileBytes(originals + "\\" + n);
    const std::string after = ReadFileBytes(written + "\\" + n);
    const clip::InfoTexts texts{"題名 " + n, "作者", "コメント " + n};
    // The list holds the texts in code page 932, as other programs read it.
    const clip::InfoTexts stored{clip::Utf8ToCp932(texts.title), clip::Utf8ToCp932(texts.creator),
                                 clip::Utf8ToCp932(texts.comment)};
    EXPECT_TRUE(SameBytes(after, before + clip::RenderInfoList(stored))) << n;
    clip::InfoTail t = Tail(written + "\\" + n);
    EXPECT_EQ(t.title, texts.title) << n;
    EXPECT_EQ(t.creator, texts.creator) << n;
    EXPECT_EQ(t.comment, texts.comment) << n;
  }
}

TEST(InfoWriterMovies, AShorterListReplacesTheOldOneWhole) {
  const std::string originals = CLIP_MOVIE_DIR_WIN;
  const std::vector<std::string> names = Movies(originals);
  ASSERT_FALSE(names.empty());
  TempFolder work;
  const std::string copy = work / names[0];
  ASSERT_TRUE(CopyFileA((originals + "\\" + names[0]).c_str(), copy.c_str(), FALSE));
  const std::string original = ReadFileBytes(copy);
  Rows r;
  r.Add(work.path(), names[0], {std::string(200, 'T'), "maker", "a comment the user deletes"});
  EXPECT_TRUE(clip::WriteCheckedInfo(r.rows, r.table).empty());
  const std::string once = ReadFileBytes(copy);
  EXPECT_TRUE(clip::WriteCheckedInfo(r.rows, r.table).empty());
  EXPECT_TRUE(SameBytes(ReadFileBytes(copy), once));  // the same bytes, the same length
  r.rows.SetCell(0, r.table.position[clip::MovieTitle], "short");
  r.rows.SetCell(0, r.table.position[clip::Comment], "");
  EXPECT_TRUE(clip::WriteCheckedInfo(r.rows, r.table).empty());
  EXPECT_TRUE(
      SameBytes(ReadFileBytes(copy), original + clip::RenderInfoList({"short", "maker", ""})));
  clip::InfoTail t = Tail(copy);
  EXPECT_EQ(t.title, "short");
  EXPECT_EQ(t.comment, "");  // the deleted comment does not come back
}

TEST(InfoWriterMovies, FilesThatMustNotBeWrittenAreLeftByteForByte) {
  const std::string originals = CLIP_MOVIE_DIR_WIN;
  const std::vector<std::string> names = Movies(originals);
  ASSERT_FALSE(names.empty());
  const std::string avi = ReadFileBytes(originals + "\\" + names[0]);
  ASSERT_GT(avi.size(), 1000u);
  TempFolder work;
  // An OpenDML-style file: a RIFF AVIX part follows the first RIFF chunk.
  const std::string avix = "RIFF" + U32(4 + 12 + 8 + 4) + "AVIX" + "LIST" + U32(4 + 12) + "movi" +
                           "00dc" + U32(4) + "abcd";
  // idx1 no longer the last chunk: a chunk after it inside the RIFF chunk.
  std::string inner = avi + "JUNK" + U32(4) + "pad!";
  const std::uint32_t riff = static_cast<std::uint32_t>(inner.size() - 8);
  inner.replace(4, 4, U32(riff));
  // No idx1 at all.
  std::string noIndex = avi;
  noIndex.replace(noIndex.rfind("idx1"), 4, "JUNK");
  struct Case {
    std::string name, bytes;
    InfoFault fault;
  };
  std::vector<Case> cases = {
      {"opendml.avi", avi + avix, InfoFault::ForeignTail},
      {"junk_after.avi", avi + "JUNK" + U32(2) + "ab", InfoFault::ForeignTail},
      {"garbage_after.avi", avi + "garbage", InfoFault::ForeignTail},
      {"inner_chunk.avi", inner, InfoFault::ForeignTail},
      {"no_index.avi", noIndex, InfoFault::NoIndex},
      {"truncated.avi", avi.substr(0, avi.size() / 2), InfoFault::Truncated},
      {"not_riff.avi", "This is a text file named like a movie.", InfoFault::NotRiffAvi},
      {"readonly.avi", avi, InfoFault::ReadOnly},
      {"locked.avi", avi, InfoFault::CannotOpen},
  };
  Rows r;
  for (const Case& c : cases) {
    ASSERT_TRUE(WriteFileBytes(work / c.name, c.bytes));
    r.Add(work.path(), c.name, {"t", "c", "m"});
  }
  ASSERT_TRUE(SetFileAttributesA((work / "readonly.avi").c_str(), FILE_ATTRIBUTE_READONLY));
  HANDLE lock = CreateFileA((work / "locked.avi").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  // A missing AVI is reported; MPG files, there or not, are not AVI files.
  r.Add(work.path(), "gone.avi", {"t", "", ""});
  r.Add(work.path(), "gone.mpg", {"t", "", ""});
  ASSERT_TRUE(WriteFileBytes(work / "movie.mpg", avi));
  r.Add(work.path(), "movie.mpg", {"t", "", ""});
  // A good file after all the bad ones is still written.
  ASSERT_TRUE(WriteFileBytes(work / "good.avi", avi));
  r.Add(work.path(), "good.avi", {"t", "", ""});

  std::vector<clip::InfoWriteProblem> problems = clip::WriteCheckedInfo(r.rows, r.table);
  CloseHandle(lock);
  std::string seen;
  for (const auto& p : problems)
    seen += p.path + " " + std::to_string(static_cast<int>(p.fault)) + "\n";
  ASSERT_EQ(problems.size(), cases.size() + 1) << seen;
  for (std::size_t i = 0; i < cases.size(); ++i) {
    EXPECT_EQ(problems[i].path, work / cases[i].name);
    EXPECT_EQ(problems[i].fault, cases[i].fault) << cases[i].name;
    EXPECT_TRUE(SameBytes(ReadFileBytes(work / cases[i].name), cases[i].bytes)) << cases[i].name;
  }
  EXPECT_EQ(problems.back().path, work / "gone.avi");
  EXPECT_EQ(problems.back().fault, InfoFault::Missing);
  EXPECT_TRUE(SameBytes(ReadFileBytes(work / "movie.mpg"), avi));
  EXPECT_TRUE(
      SameBytes(ReadFileBytes(work / "good.avi"), avi + clip::RenderInfoList({"t", "", ""})));
}

class WriteInfoCommand : public MainWindowTest {
 protected:
  void SetUp() override {
    Open();
    avi = ReadFileBytes(std::string(CLIP_MOVIE_DIR_WIN) + "\\" + Movies(CLIP_MOVIE_DIR_WIN).at(0));
    ASSERT_TRUE(WriteFileBytes(files / "good.avi", avi));
    AddRow("good.avi", {{clip::DirPath, files.path()}, {clip::MovieTitle, "title"}});
    clip::App().rows.SetChecked(0, true);
  }
  std::string avi;
};

std::string BoxText(HWND box) { return WindowText(GetDlgItem(box, 0xffff)); }

TEST_F(WriteInfoCommand, AsksFirstAndStaysSilentWhenAllWentWell) {
  WithDialog(
      "ｲﾝﾌｫﾃﾞｰﾀ書込確認", [this] { Command(IDM_WRITEINFO); },
      [&](HWND box, DWORD ui) {
        EXPECT_EQ(BoxText(box),
                  "ﾁｪｯｸされた動画に対しｲﾝﾌｫﾃﾞｰﾀの書込み作業を行います\nよろしいですか？");
        EXPECT_NE(GetDlgItem(box, IDCANCEL), nullptr);
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        EXPECT_TRUE(WaitGone(box));
        EXPECT_EQ(WaitForDialog(ui, "", {}, 1500), nullptr);  // no report
      });
  EXPECT_TRUE(
      SameBytes(ReadFileBytes(files / "good.avi"), avi + clip::RenderInfoList({"title", "", ""})));
  EXPECT_TRUE(clip::App().rows.Checked(0));  // check marks stay
}

TEST_F(WriteInfoCommand, CancelWritesNothing) {
  WithDialog(
      "ｲﾝﾌｫﾃﾞｰﾀ書込確認", [this] { Command(IDM_WRITEINFO); },
      [&](HWND box, DWORD) { Click(box, IDCANCEL); });
  EXPECT_TRUE(SameBytes(ReadFileBytes(files / "good.avi"), avi));
}

TEST_F(WriteInfoCommand, OneReportNamesTheFilesLeftAlone) {
  ASSERT_TRUE(WriteFileBytes(files / "bad.avi", "not a movie"));
  ASSERT_TRUE(WriteFileBytes(files / "opendml.avi", avi + "RIFF" + U32(4) + "AVIX"));
  for (const char* n : {"bad.avi", "opendml.avi"}) {
    int row = AddRow(n, {{clip::DirPath, files.path()}});
    clip::App().rows.SetChecked(row, true);
  }
  WithDialog(
      "ｲﾝﾌｫﾃﾞｰﾀ書込確認", [this] { Command(IDM_WRITEINFO); },
      [&](HWND box, DWORD ui) {
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        EXPECT_TRUE(WaitGone(box));
        HWND report = WaitForDialog(ui, "ｲﾝﾌｫﾃﾞｰﾀ書込失敗");
        ASSERT_NE(report, nullptr);
        const std::string text = BoxText(report);
        EXPECT_NE(text.find(files / "bad.avi"), std::string::npos) << text;
        EXPECT_NE(text.find(files / "opendml.avi"), std::string::npos) << text;
        EXPECT_NE(text.find(clip::InfoFaultText(InfoFault::NotRiffAvi)), std::string::npos);
        EXPECT_EQ(text.find(files / "good.avi"), std::string::npos);
        EXPECT_EQ(GetDlgItem(report, IDCANCEL), nullptr);  // OK only
        PostMessageA(report, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        EXPECT_TRUE(WaitGone(report));
      });
  EXPECT_TRUE(
      SameBytes(ReadFileBytes(files / "good.avi"), avi + clip::RenderInfoList({"title", "", ""})));
  EXPECT_EQ(ReadFileBytes(files / "bad.avi"), "not a movie");
}

TEST_F(WriteInfoCommand, AFileNamedInAnyScriptIsWrittenButATextCodePage932LacksIsNot) {
  ASSERT_TRUE(WriteFileBytes(files / "한국영화.avi", avi));
  ASSERT_TRUE(WriteFileBytes(files / "영화.avi", avi));
  clip::App().rows.SetChecked(0, false);
  clip::App().rows.SetChecked(
      AddRow("한국영화.avi", {{clip::DirPath, files.path()}, {clip::MovieTitle, "題名"}}), true);
  clip::App().rows.SetChecked(
      AddRow("영화.avi", {{clip::DirPath, files.path()}, {clip::MovieTitle, "제목"}}), true);
  BoxAnswerer answer(IDOK, 2);
  Command(IDM_WRITEINFO);
  ASSERT_EQ(answer.Seen().size(), 2u);
  const std::string report = answer.Seen()[1].text;
  EXPECT_NE(report.find(files / "영화.avi"), std::string::npos) << report;
  EXPECT_NE(report.find(clip::InfoFaultText(InfoFault::NotCp932)), std::string::npos) << report;
  EXPECT_EQ(report.find("한국영화"), std::string::npos) << report;
  // The list holds the title in code page 932; the other file is untouched.
  EXPECT_TRUE(SameBytes(ReadFileBytes(files / "한국영화.avi"),
                        avi + clip::RenderInfoList({clip::Utf8ToCp932("題名"), "", ""})));
  EXPECT_TRUE(SameBytes(ReadFileBytes(files / "영화.avi"), avi));
}

}  // namespace
}  // namespace wintest
