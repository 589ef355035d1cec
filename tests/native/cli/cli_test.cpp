// clipledger-cli run as a program over real movie files: its lists are the
// bytes the window's scan and save give for the same files and settings
// (folder cells with "/"), in the same order whatever --jobs says; problems
// are named and told apart by the exit status.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/cp932.h"
#include "catalogue/categories.h"
#include "catalogue/row_model.h"
#include "fake_fs.h"
#include "scan_rows.h"
#include "listfile/html_options.h"
#include "listfile/listfile.h"
#include "scan/fs_posix.h"
#include "scan/scan.h"
#include "settings/ini_file.h"
#include "settings/settings.h"

namespace clip::test {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteAll(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

bool MakeFixtures() {
  static const bool made = [] {
    const std::string tools = CLIP_TOOLS_DIR;
    const std::string cmd = "bash '" + tools + "/make_movie_fixtures.sh' '" + CLIP_MOVIE_DIR +
                            "' 2>/dev/null; bash '" + tools + "/make_modern_fixtures.sh' '" +
                            CLIP_MODERN_DIR + "' 2>/dev/null";
    return std::system(cmd.c_str()) >= 0 && fs::exists(std::string(CLIP_MOVIE_DIR) + "/mpeg1.mpg");
  }();
  return made;
}

struct Outcome {
  int status = -1;
  std::string out, err;
};

// Runs the program with args (each passed as one argument) in folder.
Outcome RunProgram(const std::vector<std::string>& args, const std::string& folder = ".") {
  auto quote = [](const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
  };
  const std::string base = fs::temp_directory_path() / ("clip-cli-" + std::to_string(getpid()));
  std::string cmd = "cd " + quote(folder) + " && " + quote(CLIP_CLI_EXE);
  for (const std::string& a : args) cmd += " " + quote(a);
  cmd += " >" + quote(base + ".out") + " 2>" + quote(base + ".err");
  Outcome run;
  const int raw = std::system(cmd.c_str());
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  run.out = ReadAll(base + ".out");
  run.err = ReadAll(base + ".err");
  fs::remove(base + ".out");
  fs::remove(base + ".err");
  return run;
}

class Scratch {
 public:
  Scratch() {
    char pattern[] = "/tmp/clip-cli-XXXXXX";
    path_ = mkdtemp(pattern) ? pattern : "/tmp";
  }
  ~Scratch() {
    std::error_code ignored;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
    for (auto& e : fs::recursive_directory_iterator(path_, ignored))
      fs::permissions(e.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path_, ignored);
  }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// What the window's scan of the folders and save would give: its rows with
// the folder cells in "/" form and the volume labels the POSIX file system
// reads.
RowModel WindowRows(const std::vector<std::string>& folders, Profile& settings) {
  Settings s;
  LoadSettings(settings, s);
  static RowModel rows;
  rows.Clear();
  static CategoryTable table;
  table = CategoryTable::FromValues(s.categoryValues);
  PosixFileSystem files;
  NoCodecs codecs;
  for (const std::string& folder : folders) {
    TestScan ctx{rows, table, files, codecs, s.sizeInfo};
    ctx.modernFormats = s.modernFormats == 1;
    ScanInto(ctx, PosixFileSystem::ProgramPath(folder));
  }
  for (int r = 0; r < rows.Count(); ++r) {
    const std::string dir = PosixFileSystem::NativePath(rows.Cell(r, table.position[DirPath]));
    if (table.IsOn(DirPath)) rows.SetCell(r, table.position[DirPath], dir);
    if (table.IsOn(VolLabel)) rows.SetCell(r, table.position[VolLabel], files.VolumeLabel(dir));
  }
  return rows;
}

TEST(CliLists, AreTheBytesOfTheWindowsSavesForTheSameSettings) {
  if (!MakeFixtures()) GTEST_SKIP() << "ffmpeg could not make the movie files";
  Scratch dir;
  const std::vector<std::string> folders = {CLIP_MOVIE_DIR, CLIP_MODERN_DIR, CLIP_SAMPLES_DIR};
  struct Case {
    const char* name;
    std::string ini;  // empty: no settings file
  };
  const Case cases[] = {
      {"no settings file", ""},
      {"columns off, units, UTF-8, old formats only, page options",
       "[Customize]\r\nSizeInfo=1\r\nListUtf8=1\r\nModernFormats=0\r\nFileSizeBT=0\r\n"
       "Janle=0\r\nVolLabel=2\r\n[HtmlSetting]\r\nCaption=Films & more\r\nTopTitleAlign=2\r\n"
       "FiiBackColor2=0x00ff00\r\nRowColoring=1\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> settingsArgs;
    IniFile ini(dir / "settings.ini");
    if (!c.ini.empty()) {
      WriteAll(dir / "settings.ini", c.ini);
      settingsArgs = {"--settings", dir / "settings.ini"};
    } else {
      fs::remove(dir / "settings.ini");
    }
    const RowModel& rows = WindowRows(folders, ini);
    Settings s;
    LoadSettings(ini, s);
    const CategoryTable table = CategoryTable::FromValues(s.categoryValues);
    const ListEncoding encoding = s.listUtf8 == 1 ? ListEncoding::Utf8 : ListEncoding::Cp932;
    const HtmlOptions html = LoadHtmlOptions(ini);
    ASSERT_GT(rows.Count(), 20);

    for (const char* name : {"list.csv", "list.txt", "list.htm", "list.html"}) {
      SCOPED_TRACE(name);
      const ListFormat format =
          std::string(name).find(".csv") != std::string::npos   ? ListFormat::Csv
          : std::string(name).find(".txt") != std::string::npos ? ListFormat::Text
                                                                : ListFormat::Html;
      ASSERT_TRUE(SaveListFile(rows, table, dir / ("window-" + std::string(name)), format, false,
                               &html, encoding)
                      .ok);
      std::vector<std::string> args = settingsArgs;
      args.insert(args.end(), {"--quiet", "-o", dir / name});
      args.insert(args.end(), folders.begin(), folders.end());
      const Outcome run = RunProgram(args);
      EXPECT_EQ(run.status, 0) << run.err;
      EXPECT_EQ(ReadAll(dir / name), ReadAll(dir / ("window-" + std::string(name))));
    }
    // Standard output gets the same bytes as a CSV file.
    std::vector<std::string> args = settingsArgs;
    args.insert(args.end(), folders.begin(), folders.end());
    EXPECT_EQ(RunProgram(args).out, ReadAll(dir / "window-list.csv"));

    // An appended text list gets what the window's text save adds.
    WriteAll(dir / "log.txt", "");
    ASSERT_TRUE(
        SaveListFile(rows, table, dir / "log.txt", ListFormat::Text, true, nullptr, encoding).ok);
    ASSERT_TRUE(
        SaveListFile(rows, table, dir / "log.txt", ListFormat::Text, true, nullptr, encoding).ok);
    WriteAll(dir / "cli-log.txt", "");
    args = settingsArgs;
    args.insert(args.end(), {"--append", "-o", dir / "cli-log.txt"});
    args.insert(args.end(), folders.begin(), folders.end());
    EXPECT_EQ(RunProgram(args).status, 0);
    EXPECT_EQ(RunProgram(args).status, 0);
    EXPECT_EQ(ReadAll(dir / "cli-log.txt"), ReadAll(dir / "log.txt"));
  }
}

// A folder's rows come in the order Windows lists the folder on NTFS (and
// the window under Wine), whatever order the disk gives: names compared
// after upper-casing, by UTF-16 unit; its subfolders follow in that order.
TEST(CliLists, FollowTheOrderWindowsListsAFolderIn) {
  Scratch dir;
  const std::vector<std::string> order = {
      "10.avi", "9.avi",  "abc.avi",  "ABD.avi", "b.avi", "Z.avi",       "_a.avi",
      "あ.avi", "ア.avi", "漢字.avi", "ａ.avi",  "ｱ.avi", "Sub_a/x.avi", "sub_B/y.avi"};
  fs::create_directories(dir / "Sub_a");
  fs::create_directories(dir / "sub_B");
  // Made in another order than the listing, so that creation order cannot pass.
  for (std::size_t i = 0; i < order.size(); ++i)
    fs::copy_file(std::string(CLIP_SAMPLES_DIR) + "/titled.avi",
                  dir / order[(i * 5) % order.size()]);
  const Outcome run = RunProgram({"--quiet", "--encoding", "utf-8", dir.path()});
  ASSERT_EQ(run.status, 0) << run.err;
  std::vector<std::string> names;
  std::istringstream lines(run.out);
  std::string line;
  std::getline(lines, line);  // the header
  while (std::getline(lines, line)) names.push_back(line.substr(1, line.find('"', 1) - 1));
  std::vector<std::string> want;
  for (const std::string& name : order) want.push_back(name.substr(name.find('/') + 1));
  EXPECT_EQ(names, want);
}

// A tree of many small files in nested folders, movie files named among
// the folders, and files that cannot be read.
TEST(CliLists, JobsNeverChangeTheOrderOrTheBytes) {
  Scratch dir;
  const char* samples[] = {"mpeg1.mpg", "real.rm", "titled.avi", "xvid_mp3.avi",
                           "sub/video_only.avi"};
  for (int i = 0; i < 300; ++i) {
    const std::string folder = dir / ("d" + std::to_string(i % 7) + "/s" + std::to_string(i % 3));
    fs::create_directories(folder);
    fs::copy_file(std::string(CLIP_SAMPLES_DIR) + "/" + samples[i % 5],
                  folder + "/f" + std::to_string(i) + (i % 5 == 1 ? ".rm" : ".avi"));
  }
  ASSERT_EQ(mkfifo((dir / "d1/pipe.avi").c_str(), 0644), 0);
  const std::vector<std::string> args = {"--quiet",  "d3",         "d0/s1/f1.rm", "d1",
                                         "gone.avi", "./d2/../d4", "d5/s2/f5.avi"};
  std::string first;
  for (const char* jobs : {"1", "8", "3"}) {
    std::vector<std::string> a = {"-j", jobs, "--format", "txt", "--encoding", "utf-8"};
    a.insert(a.end(), args.begin(), args.end());
    const Outcome run = RunProgram(a, dir.path());
    EXPECT_EQ(run.status, 1) << jobs;
    if (first.empty()) first = run.out;
    EXPECT_EQ(run.out, first) << jobs;
  }
  std::vector<std::string> a = {"--format", "csv", "-j", "8"};
  a.insert(a.end(), args.begin(), args.end());
  const Outcome csv = RunProgram(a, dir.path());
  // File names by row, after the header: the folders' files at the end,
  // each movie at the row of its place among the paths (f1.rm is path 1,
  // gone.avi 3 and f5.avi 5; options do not count).
  std::vector<std::string> names;
  std::istringstream lines(csv.out);
  for (std::string line; std::getline(lines, line);)
    names.push_back(line.substr(1, line.find('"', 1) - 1));
  // 300 files over 7 folders (43 in each of these) and the pipe.
  ASSERT_EQ(names.size(), 1 + 43 + 1 + (43 + 1) + 1 + 43 + 1u);
  EXPECT_EQ(names[2], "f1.rm");
  EXPECT_EQ(names[4], "gone.avi");
  EXPECT_EQ(names[6], "f5.avi");
  EXPECT_NE(csv.out.find("\"" + dir.path() + "/d3/s0\""), std::string::npos);
  EXPECT_NE(csv.out.find("\"" + dir.path() + "/d4/s2\""), std::string::npos);
  EXPECT_NE(csv.err.find(dir.path() + "/gone.avi: No such file or directory"), std::string::npos);
  EXPECT_NE(csv.err.find(dir.path() + "/d1/pipe.avi: not a regular file"), std::string::npos);
}

TEST(CliProblems, AreNamedAndToldApartByTheExitStatus) {
  Scratch dir;
  fs::copy_file(std::string(CLIP_SAMPLES_DIR) + "/titled.avi", dir / "a.avi");
  fs::create_directories(dir / "locked");
  fs::copy_file(std::string(CLIP_SAMPLES_DIR) + "/real.rm", dir / "locked/b.rm");
  fs::copy_file(std::string(CLIP_SAMPLES_DIR) + "/real.rm", dir / "unreadable.rm");

  // Usage errors: nothing on standard output.
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"--bogus", dir.path()},
                                             {},
                                             {"-j", "0", dir.path()},
                                             {"--format", "xls", dir.path()},
                                             {"-o", dir / "list.xls", dir.path()},
                                             {"--append", dir.path()},
                                             {"--settings", dir / "missing.ini", dir.path()}}) {
    const Outcome run = RunProgram(args);
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("--help"), std::string::npos) << run.err;
  }
  const Outcome version = RunProgram({"--version"});
  EXPECT_EQ(version.out, "clipledger-cli 0.98t\n");
  EXPECT_EQ(RunProgram({"--help"}).out.rfind("usage: clipledger-cli [options] PATH...", 0), 0u);

  // An output that cannot be written: status 2, and an existing list is
  // left as it was.
  WriteAll(dir / "old.csv", "old list");
  fs::permissions(dir / "old.csv", fs::perms::owner_read);
  for (const std::string& out :
       {dir / "old.csv", dir / "no-folder/list.csv", dir / "a.avi/list.txt"}) {
    const Outcome run = RunProgram({"-o", out, dir.path()});
    EXPECT_EQ(run.status, 2) << out;
    EXPECT_NE(run.err.find(out), std::string::npos) << run.err;
  }
  EXPECT_EQ(ReadAll(dir / "old.csv"), "old list");
  EXPECT_FALSE(fs::exists(dir / "old.csv.tmp"));

  // A missing path, and files and folders that cannot be read: named, the
  // rest is written, status 1.
  fs::permissions(dir / "locked", fs::perms::none);
  fs::permissions(dir / "unreadable.rm", fs::perms::none);
  const bool privileged = access((dir / "unreadable.rm").c_str(), R_OK) == 0;
  const Outcome run = RunProgram({"-j", "2", dir.path(), dir / "missing"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find("\"a.avi\",\"15,054\""), std::string::npos);
  EXPECT_NE(run.err.find(dir / "missing: No such file or directory"), std::string::npos) << run.err;
  if (!privileged) {
    // (Reads are not refused to the superuser.)
    EXPECT_NE(run.err.find(dir / "locked: Permission denied"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(dir / "unreadable.rm: Permission denied"), std::string::npos);
    EXPECT_NE(run.out.find("\"unreadable.rm\",\"\""), std::string::npos);
  }
  // A file that is not a movie is passed over without failing the run.
  const Outcome other = RunProgram({dir / "old.csv"});
  EXPECT_EQ(other.status, 0);
  EXPECT_NE(other.err.find("skipped"), std::string::npos);

  // A name code page 932 cannot hold: replaced in a code page 932 list,
  // and said so; kept in UTF-8.
  fs::copy_file(dir / "a.avi", dir / "영화.avi");
  const std::string note = "1 row holds characters code page 932 lacks";
  EXPECT_NE(RunProgram({dir / "영화.avi"}).err.find(note), std::string::npos);
  const Outcome utf8 = RunProgram({"--encoding", "utf-8", dir / "영화.avi"});
  EXPECT_EQ(utf8.err, "");
  EXPECT_NE(utf8.out.find("\"영화.avi\""), std::string::npos);
}

// A file cut short or broken keeps its row and is named, without changing
// the exit status: it was read as far as it goes.
TEST(CliProblems, ACutOrBrokenFileIsNamedAndKeepsItsRow) {
  Scratch dir;
  const std::string whole = ReadAll(std::string(CLIP_SAMPLES_DIR) + "/xvid_mp3.avi");
  WriteAll(dir / "cut.avi", whole.substr(0, whole.size() / 2));
  std::string broken = whole;
  broken.replace(broken.find("hdrl"), 4, "junk");  // no header list before the data
  WriteAll(dir / "broken.avi", broken);
  fs::copy_file(std::string(CLIP_SAMPLES_DIR) + "/mpeg1.mpg", dir / "fine.mpg");
  const Outcome run = RunProgram({"-j", "2", dir.path()});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find(dir / "cut.avi: the file ends before its headers say"), std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find(dir / "broken.avi: a structure in the file is broken"), std::string::npos)
      << run.err;
  EXPECT_EQ(run.err.find("fine.mpg"), std::string::npos) << run.err;
  for (const char* name : {"\"cut.avi\"", "\"broken.avi\"", "\"fine.mpg\""})
    EXPECT_NE(run.out.find(name), std::string::npos) << name;
}

TEST(CliColumns, PickCategoriesByKeyOverTheSettingsFile) {
  Scratch dir;
  fs::copy_file(std::string(CLIP_SAMPLES_DIR) + "/titled.avi", dir / "a.avi");
  auto header = [](const std::string& list) { return list.substr(0, list.find("\r\n")); };
  const std::string sj = Utf8ToCp932("\"ファイル名\",\"サイズ(Byte)\",\"状態\"");
  EXPECT_EQ(header(RunProgram({"--columns", "status,FileSizeBT", dir.path()}).out), sj);
  WriteAll(dir / "s.ini", "[Customize]\r\nFileSizeBT=0\r\nAudioTracks=1\r\n");
  EXPECT_EQ(header(RunProgram({"--settings", dir / "s.ini", "--columns=FileSizeBT,Status",
                               dir.path()})
                       .out),
            sj);
  const std::string all = header(RunProgram({"--columns", "all", dir.path()}).out);
  EXPECT_EQ(std::count(all.begin(), all.end(), ','), kCategoryCount - 1);
  const std::string classic = header(RunProgram({dir.path()}).out);
  EXPECT_EQ(std::count(classic.begin(), classic.end(), ','), kClassicCategoryCount - 1);
  for (const char* wrong : {"Bogus", "FileSizeBT,", ""}) {
    const Outcome run = RunProgram({"--columns", wrong, dir.path()});
    EXPECT_EQ(run.status, 2) << wrong;
    EXPECT_NE(run.err.find("--help"), std::string::npos) << run.err;
  }
  EXPECT_NE(RunProgram({"--help"}).out.find("VideoBits Chapters Status"), std::string::npos);
}

TEST(CliProgress, IsShownOnATerminalOnlyAndNotWithQuiet) {
  if (std::system("command -v script >/dev/null 2>&1") != 0) GTEST_SKIP() << "no script(1)";
  Scratch dir;
  // script(1) gives the program a terminal and keeps what it wrote there.
  auto onTerminal = [&](const std::string& options) {
    const std::string cmd = "script -qc \"'" + std::string(CLIP_CLI_EXE) + "' " + options +
                            " -o '" + (dir / "list.csv") + "' '" + CLIP_SAMPLES_DIR + "'\" '" +
                            (dir / "screen") + "' >/dev/null 2>&1";
    EXPECT_EQ(std::system(cmd.c_str()), 0);
    return ReadAll(dir / "screen");
  };
  const std::string shown = onTerminal("-j 2");
  EXPECT_NE(shown.find("\r5 found, 5 probed, "), std::string::npos) << shown;
  EXPECT_EQ(onTerminal("--quiet").find(" probed, "), std::string::npos);
  EXPECT_EQ(RunProgram({CLIP_SAMPLES_DIR}).err, "");  // standard error redirected
}

// The formulas (one line) in the sheet LibreOffice Calc makes of a CSV list
// with its default import; converted says whether it made one.
std::string SheetFormulas(const Scratch& dir, const std::string& csv, bool& converted) {
  const std::string cmd = "cd '" + dir.path() + "' && soffice -env:UserInstallation=file://" +
                          dir.path() + "/lo-profile --headless --convert-to xlsx '" + csv +
                          "' >/dev/null 2>&1";
  const std::string xlsx = dir / (csv.substr(0, csv.size() - 3) + "xlsx");
  converted = std::system(cmd.c_str()) == 0 && fs::exists(xlsx);
  const std::string unzip =
      "python3 -c \"import re,sys,zipfile; print(''.join(re.findall("
      "r'<f[ >].*?</f>', zipfile.ZipFile(sys.argv[1]).read("
      "'xl/worksheets/sheet1.xml').decode())))\" '" +
      xlsx + "' > '" + dir.path() + "/formulas.txt'";
  converted = converted && std::system(unzip.c_str()) == 0;
  return ReadAll(dir / "formulas.txt");
}

TEST(CliLists, ACatalogueOfTitlesThatLookLikeFormulasHoldsNoFormulaInASpreadsheet) {
  if (std::system("command -v soffice >/dev/null 2>&1 && command -v ffmpeg >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "LibreOffice or ffmpeg is not installed";
  Scratch dir;
  fs::create_directory(dir / "movies");
  // The INFO list's name, artist, comment and genre become title, creator,
  // comment and genre cells.
  const std::string make =
      "cd '" + dir.path() +
      "/movies' && m='-v error -f lavfi -i color=black:s=16x16:d=1:r=1 -c:v mjpeg -pix_fmt "
      "yuvj420p -y' && ffmpeg $m -metadata title='=HYPERLINK(\"http://example.invalid/\",\"x\")' "
      "-metadata artist='+1+1' -metadata comment='=1+1' -metadata genre='@SUM(1,1)' a.avi && "
      "ffmpeg $m -metadata title='-1+2' -metadata comment='\t=1+1' b.avi";
  ASSERT_EQ(std::system(make.c_str()), 0);
  const Outcome run = RunProgram({"--quiet", "-o", dir / "list.csv", dir / "movies"});
  ASSERT_EQ(run.status, 0) << run.err;
  ASSERT_NE(ReadAll(dir / "list.csv").find("\"'=HYPERLINK("), std::string::npos);
  bool converted = false;
  EXPECT_EQ(SheetFormulas(dir, "list.csv", converted), "\n");
  EXPECT_TRUE(converted);
  // The same cells written as earlier versions did become formulas.
  WriteAll(dir / "old.csv", "\"a\",\"b\"\r\n\"=1+1\",\"=HYPERLINK(\"\"http://x/\"\")\"\r\n");
  EXPECT_NE(SheetFormulas(dir, "old.csv", converted), "\n");
  EXPECT_TRUE(converted);
}

}  // namespace
}  // namespace clip::test
