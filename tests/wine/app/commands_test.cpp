// Menu commands, the command line and drops, driven through the real main
// window: rows, captions, menu and toolbar states, files written, boxes.
#include "main_window_test.h"

#include <algorithm>
#include <set>

#include "base/text.h"
#include "listfile/listfile.h"
#include "scan/fs_win.h"
#include "res/resource.h"

namespace wintest {
namespace {

class Commands : public MainWindowTest {
 protected:
  // movies\a.avi, movies\b.mpg, movies\sub\c.avi, movies\sub\d.rm, movies\note.txt
  std::string MakeMovies() {
    std::string dir = files / "movies";
    CreateDirectoryA(dir.c_str(), nullptr);
    CreateDirectoryA((dir + "\\sub").c_str(), nullptr);
    EXPECT_TRUE(CopySample("xvid_mp3.avi", dir + "\\a.avi"));
    EXPECT_TRUE(CopySample("mpeg1.mpg", dir + "\\b.mpg"));
    EXPECT_TRUE(CopySample("titled.avi", dir + "\\sub\\c.avi"));
    EXPECT_TRUE(CopySample("real.rm", dir + "\\sub\\d.rm"));
    EXPECT_TRUE(WriteFileBytes(dir + "\\note.txt", "not a movie"));
    return dir;
  }
  std::string MakeFile(const std::string& name, const std::string& sample) {
    std::string path = files / name;
    EXPECT_TRUE(CopySample(sample, path));
    return path;
  }
  std::set<std::string> Names() const {
    auto c = Column(0);
    return {c.begin(), c.end()};
  }
  void ExpectFileButtons(BYTE state) {
    for (int id : {IDM_SAVEAS, IDM_CUT, IDM_COPY}) EXPECT_EQ(ToolbarState(id), state) << id;
  }
};

TEST_F(Commands, CommandLinePathsByOrderFoldersAndEndings) {
  std::string movies = MakeMovies();
  std::string one = MakeFile("one.avi", "xvid_mp3.avi");
  std::string two = MakeFile("two.MPG", "mpeg1.mpg");
  std::string text = files / "list.txt";
  WriteFileBytes(text, "x");
  // one.avi is item 0, the folder item 1 (an empty item in quotes keeps its
  // number: item 2), two.MPG item 3, the text file item 4.
  commandLine = one + "  " + movies + " \"\" " + two + " " + text;
  Open();
  ASSERT_EQ(Rows(), 6);
  EXPECT_EQ(Cell(0, 0), "one.avi");
  EXPECT_EQ(Cell(3, 0), "two.MPG");
  EXPECT_EQ(Names(),
            (std::set<std::string>{"one.avi", "two.MPG", "a.avi", "b.mpg", "c.avi", "d.rm"}));
  EXPECT_EQ(Cell(0, 1), "16,842");
  ExpectFileButtons(TBSTATE_ENABLED);
  // The menu is left as it was.
  EXPECT_TRUE(MenuGrayed(IDM_SAVEAS));
  EXPECT_TRUE(MenuGrayed(IDM_LISTEDIT));
  EXPECT_NE(Status(0), "Non Scanning...");
  EXPECT_EQ(Status(0), clip::App().savedTotalsText);
  EXPECT_NE(Status(1), "DiskMax: Non Scan");
}

TEST_F(Commands, RelativeCommandLinePathsAreTakenFromTheStartFolder) {
  MakeMovies();
  // Started from the folder that holds movies\: the program moves to its
  // own folder, but the rows name the files by their full paths.
  ASSERT_TRUE(SetCurrentDirectoryA(files.path().c_str()));
  commandLine = "movies movies\\sub\\..\\a.avi";
  Open();
  ASSERT_EQ(Rows(), 5);
  const int dir = clip::App().table.position[clip::DirPath];
  EXPECT_EQ(Cell(1, 0), "a.avi");
  EXPECT_EQ(Cell(1, dir), files / "movies");
  for (int r = 0; r < Rows(); ++r)
    EXPECT_EQ(Cell(r, dir).rfind(files.path(), 0), 0u) << Cell(r, dir);
  EXPECT_NE(Status(1), "DiskMax: 0.0MB");
}

TEST_F(Commands, AQuotedPathWithSpacesIsOnePath) {
  const std::string dir = files / "my movies 한국";
  ASSERT_TRUE(MakeFolder(dir));
  ASSERT_TRUE(CopySample("xvid_mp3.avi", dir + "\\영화 one.avi"));
  commandLine = "\"" + dir + "\"";
  Open();
  ASSERT_EQ(Rows(), 1);
  EXPECT_EQ(Cell(0, 0), "영화 one.avi");
  EXPECT_EQ(Cell(0, 1), "16,842");
}

TEST_F(Commands, CommandLineFileBeyondTheRowCountGoesToTheEnd) {
  std::string one = MakeFile("one.avi", "xvid_mp3.avi");
  std::string two = MakeFile("two.rm", "real.rm");
  commandLine = files / "missing.txt" + " " + files / "none.txt" + " " + two + " " + one;
  Open();
  ASSERT_EQ(Rows(), 2);
  EXPECT_EQ(Cell(0, 0), "two.rm");
  EXPECT_EQ(Cell(1, 0), "one.avi");
}

TEST_F(Commands, DropsPlaceFilesAtTheirDropIndexAndAppendFolders) {
  std::string movies = MakeMovies();
  std::string five = files / "five";
  CreateDirectoryA(five.c_str(), nullptr);
  for (const char* n : {"r0.mpg", "r1.mpg", "r2.mpg", "r3.mpg", "r4.mpg"})
    CopySample("mpeg1.mpg", five + "\\" + n);
  Open();
  Drop({five});
  ASSERT_EQ(Rows(), 5);
  HeaderClick(0);  // r0 .. r4
  ASSERT_EQ(Cell(1, 0), "r1.mpg");
  Select({1});
  std::string first = MakeFile("first.avi", "xvid_mp3.avi");
  std::string second = MakeFile("second.avi", "titled.avi");
  Drop({first, movies + "\\sub", second});
  ASSERT_EQ(Rows(), 5 + 2 + 2);
  EXPECT_EQ(Cell(0, 0), "first.avi");
  EXPECT_EQ(Cell(1, 0), "r0.mpg");
  EXPECT_EQ(Cell(2, 0), "second.avi");
  EXPECT_EQ(Cell(3, 0), "r1.mpg");
  EXPECT_EQ(Cell(6, 0), "r4.mpg");
  std::set<std::string> tail = {Cell(7, 0), Cell(8, 0)};
  EXPECT_EQ(tail, (std::set<std::string>{"c.avi", "d.rm"}));
  // The selected row stays selected as it moves down.
  EXPECT_EQ(Selected(), std::vector<int>{3});
  ExpectFileButtons(TBSTATE_ENABLED);
  EXPECT_TRUE(MenuGrayed(IDM_SAVEAS));
}

TEST_F(Commands, DroppedTextFileAddsNothingButRewritesTheTotals) {
  std::string movies = MakeMovies();
  Open();
  Drop({movies + "\\note.txt"});
  EXPECT_EQ(Rows(), 0);
  ExpectFileButtons(TBSTATE_ENABLED);
  EXPECT_NE(Status(0), "Non Scanning...");
  // A text file first, then a movie: the movie's drop index 1 is beyond
  // the empty list, so it becomes row 0 with all its cells.
  Drop({movies + "\\note.txt", movies + "\\a.avi"});
  ASSERT_EQ(Rows(), 1);
  EXPECT_EQ(Cell(0, 0), "a.avi");
  EXPECT_EQ(Cell(0, 1), "16,842");
  EXPECT_FALSE(Cell(0, clip::App().table.position[clip::DirPath]).empty());
}

TEST_F(Commands, NewClearsRowsStatusMenusAndCaption) {
  std::string movies = MakeMovies();
  ini = "[MainSeting]\r\nmvTitle=Other\r\n";
  commandLine = movies;
  Open();
  EXPECT_EQ(Caption(), "Other - <NewFile.csv>");
  ASSERT_EQ(Rows(), 4);
  ChooseFiles({files / "l.csv"});
  Command(IDM_SAVEAS);
  ASSERT_FALSE(MenuGrayed(IDM_SAVE));
  Command(IDM_NEW);
  EXPECT_EQ(Rows(), 0);
  EXPECT_EQ(Caption(), "Clipledger - <NewFile.csv>");
  EXPECT_EQ(Status(0), "Non Scanning...");
  EXPECT_EQ(Status(1), "DiskMax: Non Scan");
  EXPECT_EQ(Status(2), "DiskFree: Non Scan");
  EXPECT_EQ(Status(3), "Per:Non");
  EXPECT_EQ(clip::App().savedTotalsText, "Non Scanning...");
  for (int id : {IDM_LISTEDIT, IDM_SAVEAS, IDM_CUT, IDM_COPY, IDM_DELETE, IDM_SAVE, IDM_WRITEINFO,
                 IDM_CLEARCHECKS})
    EXPECT_TRUE(MenuGrayed(id)) << id;
  ExpectFileButtons(TBSTATE_INDETERMINATE);
  EXPECT_EQ(ToolbarState(IDM_PASTE), TBSTATE_ENABLED);
  // The current list file stays: save still goes there once enabled.
  EXPECT_EQ(clip::App().currentListFile, files / "l.csv");
}

TEST_F(Commands, CsvSaveAsOpenAndSaveRoundTripByteForByte) {
  commandLine = MakeMovies();
  Open();
  ASSERT_EQ(Rows(), 4);
  rows().SetCell(0, clip::App().table.position[clip::Janle], "ｼﾞｬﾝﾙ, \"quoted\"");
  std::string first = files / "first.csv";
  ChooseFiles({first});
  Command(IDM_SAVEAS);
  ASSERT_TRUE(FileExists(first));
  EXPECT_EQ(Caption(), "Clipledger - <first.csv>");
  EXPECT_FALSE(MenuGrayed(IDM_SAVE));
  EXPECT_EQ(clip::App().settings.saveDir, files.path());
  EXPECT_EQ(clip::App().currentListFile, first);
  std::vector<std::vector<std::string>> before;
  for (int r = 0; r < Rows(); ++r) {
    before.emplace_back();
    for (int c = 0; c <= 16; ++c) before.back().push_back(Cell(r, c));
  }
  Command(IDM_NEW);
  ChooseFiles({first});
  Command(IDM_OPEN);
  ASSERT_EQ(Rows(), 4);
  for (int r = 0; r < Rows(); ++r)
    for (int c = 0; c <= 16; ++c) EXPECT_EQ(Cell(r, c), before[r][c]) << r << "," << c;
  EXPECT_EQ(Caption(), "Clipledger - <first.csv>");
  EXPECT_EQ(clip::App().settings.loadDir, files.path());
  for (int id : {IDM_LISTEDIT, IDM_SAVEAS, IDM_CUT, IDM_COPY, IDM_DELETE, IDM_SAVE})
    EXPECT_FALSE(MenuGrayed(id)) << id;
  ExpectFileButtons(TBSTATE_ENABLED);
  std::string second = files / "second.CSV";
  ChooseFiles({second});
  Command(IDM_SAVEAS);
  EXPECT_EQ(ReadFileBytes(second), ReadFileBytes(first));
  // Save rewrites the CSV list whole.
  WriteFileBytes(second, "garbage");
  Command(IDM_SAVE);
  EXPECT_EQ(ReadFileBytes(second), ReadFileBytes(first));
}

TEST_F(Commands, LoadedCsvRowsGoOnTopAndTheSelectionMovesWithItsRows) {
  commandLine = MakeMovies();
  Open();
  std::string list = files / "l.csv";
  ChooseFiles({list});
  Command(IDM_SAVEAS);
  HeaderClick(0);
  Select({1});
  std::string selected = Cell(1, 0);
  ChooseFiles({list});
  Command(IDM_OPEN);
  ASSERT_EQ(Rows(), 8);
  EXPECT_EQ(Selected(), std::vector<int>{5});
  EXPECT_EQ(Cell(5, 0), selected);
}

TEST_F(Commands, TextListSaveAsThenSaveAppendsRowsWithoutHeader) {
  commandLine = MakeMovies();
  Open();
  std::string list = files / "list.txt";
  ChooseFiles({list});
  Command(IDM_SAVEAS);
  std::string first = ReadFileBytes(list);
  ASSERT_FALSE(first.empty());
  std::size_t headerEnd = first.find("\r\n");
  ASSERT_NE(headerEnd, std::string::npos);
  std::string body = first.substr(headerEnd + 2);
  EXPECT_EQ(Caption(), "Clipledger - <list.txt>");
  Command(IDM_SAVE);
  EXPECT_EQ(ReadFileBytes(list), first + body);
}

TEST_F(Commands, OpeningATextListSwitchesToAppendOnly) {
  commandLine = MakeMovies();
  Open();
  std::string list = files / "a.TxT";
  WriteFileBytes(list, "old line\r\n");
  ChooseFiles({list});
  Command(IDM_OPEN);
  EXPECT_EQ(Caption(), "Clipledger - <a.TxT> Append Only!");
  EXPECT_EQ(Rows(), 4);
  EXPECT_FALSE(MenuGrayed(IDM_SAVE));
  EXPECT_TRUE(MenuGrayed(IDM_SAVEAS));  // the menu item stays as it was
  EXPECT_EQ(ToolbarState(IDM_SAVEAS), TBSTATE_ENABLED);
  Command(IDM_SAVE);
  std::string after = ReadFileBytes(list);
  EXPECT_EQ(after.rfind("old line\r\n", 0), 0u);
  EXPECT_GT(after.size(), std::string("old line\r\n").size());
  EXPECT_EQ(std::count(after.begin(), after.end(), '\n'), 5);  // no header line
}

TEST_F(Commands, CsvErrorBoxesKeepTheList) {
  commandLine = MakeMovies();
  Open();
  std::string fields = files / "fields.csv";
  WriteFileBytes(fields, "\"ファイル名\",\"x\"\r\n\"a\",\"b\"\r\n");
  std::string other = files / "other.csv";
  // Seventeen fields, but other categories than this list shows.
  std::string header;
  for (int i = 0; i < 17; ++i)
    header += std::string(i ? "," : "") + "\"h" + std::to_string(i) + "\"";
  WriteFileBytes(other, header + "\r\n");
  for (const auto& [path, code] : {std::pair<std::string, int>{fields, 1}, {other, 2}}) {
    ChooseFiles({path});
    BoxAnswerer answer(IDOK);
    Command(IDM_OPEN);
    auto seen = answer.Seen();
    ASSERT_EQ(seen.size(), 1u) << path;
    EXPECT_EQ(seen[0].caption,
              code == 1 ? clip::kCsvErrorCaptionCount : clip::kCsvErrorCaptionItem);
    EXPECT_EQ(seen[0].text, clip::CsvErrorText(code));
    EXPECT_EQ(Rows(), 4);
    EXPECT_TRUE(MenuGrayed(IDM_SAVE));
    EXPECT_TRUE(MenuGrayed(IDM_LISTEDIT));
  }
}

TEST_F(Commands, RefusedCsvDoesNotBecomeTheSaveTarget) {
  commandLine = MakeMovies();
  Open();
  std::string good = files / "kept.csv";
  ChooseFiles({good});
  Command(IDM_SAVEAS);
  ASSERT_EQ(clip::App().currentListFile, good);
  std::string refused = files / "refused.csv";
  const std::string refusedBytes = "\"ファイル名\",\"x\"\r\n\"a\",\"b\"\r\n";
  WriteFileBytes(refused, refusedBytes);
  ChooseFiles({refused});
  {
    BoxAnswerer answer(IDOK);
    Command(IDM_OPEN);
    ASSERT_EQ(answer.Seen().size(), 1u);
  }
  EXPECT_EQ(clip::App().currentListFile, good);
  EXPECT_EQ(Caption(), "Clipledger - <kept.csv>");
  Command(IDM_SAVE);
  EXPECT_EQ(ReadFileBytes(refused), refusedBytes);
}

TEST_F(Commands, CsvThatCannotBeOpenedIsReportedByName) {
  Open();
  std::string gone = files / "gone.csv";
  ChooseFiles({gone});
  BoxAnswerer answer(IDOK);
  Command(IDM_OPEN);
  auto seen = answer.Seen();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_NE(seen[0].text.find(gone), std::string::npos) << seen[0].text;
  EXPECT_EQ(Rows(), 0);
  EXPECT_TRUE(MenuGrayed(IDM_SAVE));
}

TEST_F(Commands, UnwritableListFileIsReportedAndChangesNothing) {
  commandLine = MakeMovies();
  Open();
  std::string missing = files / "no such folder\\x.csv";
  ChooseFiles({missing});
  {
    BoxAnswerer answer(IDOK);
    Command(IDM_SAVEAS);
    auto seen = answer.Seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, "ﾌｧｲﾙ保存失敗");
    EXPECT_NE(seen[0].text.find(missing), std::string::npos) << seen[0].text;
  }
  EXPECT_EQ(Caption(), "Clipledger - <NewFile.csv>");
  EXPECT_TRUE(clip::App().currentListFile.empty());
  EXPECT_TRUE(MenuGrayed(IDM_SAVE));
  EXPECT_EQ(Rows(), 4);

  // A read-only list: neither save as nor save touches it.
  std::string good = files / "good.csv";
  ChooseFiles({good});
  Command(IDM_SAVEAS);
  std::string kept = ReadFileBytes(good);
  SetFileAttributesA(good.c_str(), FILE_ATTRIBUTE_READONLY);
  Command(IDM_DELETE);  // nothing selected: nothing happens
  Select({0});
  Command(IDM_DELETE);
  ASSERT_EQ(Rows(), 3);
  {
    BoxAnswerer answer(IDOK);
    Command(IDM_SAVE);
    auto seen = answer.Seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, "ﾌｧｲﾙ保存失敗");
    EXPECT_NE(seen[0].text.find(good), std::string::npos);
  }
  EXPECT_EQ(ReadFileBytes(good), kept);
  std::string readOnlyText = files / "ro.txt";
  WriteFileBytes(readOnlyText, "keep\r\n");
  SetFileAttributesA(readOnlyText.c_str(), FILE_ATTRIBUTE_READONLY);
  ChooseFiles({readOnlyText});
  {
    BoxAnswerer answer(IDOK);
    Command(IDM_SAVEAS);
    ASSERT_EQ(answer.Seen().size(), 1u);
  }
  EXPECT_EQ(ReadFileBytes(readOnlyText), "keep\r\n");
  EXPECT_EQ(Caption(), "Clipledger - <good.csv>");
  EXPECT_EQ(clip::App().currentListFile, good);
  SetFileAttributesA(good.c_str(), FILE_ATTRIBUTE_NORMAL);
  SetFileAttributesA(readOnlyText.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(Commands, OtherEndingsChangeTheCaptionButWriteNothing) {
  commandLine = MakeMovies();
  Open();
  std::string html = files / "list.html";
  ChooseFiles({html});
  Command(IDM_SAVEAS);
  EXPECT_EQ(Caption(), "Clipledger - <list.html>");
  EXPECT_FALSE(MenuGrayed(IDM_SAVE));
  Command(IDM_SAVE);
  EXPECT_FALSE(FileExists(html));
  ChooseFiles({files / "whatever.dat"});
  Command(IDM_OPEN);
  EXPECT_EQ(Caption(), "Clipledger - <whatever.dat>");
  EXPECT_EQ(Rows(), 4);
}

TEST_F(Commands, HtmlSaveAsTakesTheNameWhenTheDialogIsGivenUp) {
  commandLine = MakeMovies();
  Open();
  std::string page = files / "page.htm";
  ChooseFiles({page});
  BoxAnswerer answer(IDCANCEL);  // the options dialog, once there is one
  Command(IDM_SAVEAS);
  EXPECT_EQ(Caption(), "Clipledger - <page.htm>");
  EXPECT_EQ(clip::App().currentListFile, page);
}

TEST_F(Commands, CancelledDialogsChangeNothing) {
  Open();
  ChooseFiles({""});
  Command(IDM_OPEN);
  ChooseFiles({""});
  Command(IDM_SAVEAS);
  EXPECT_EQ(dialogsAsked, 2);
  EXPECT_EQ(Caption(), "Clipledger - <NewFile.csv>");
  EXPECT_TRUE(clip::App().currentListFile.empty());
}

TEST_F(Commands, RealFileDialogsOpenWithTheirTitlesAndCancel) {
  Open();
  clip::App().chooseListFile = nullptr;
  {
    BoxAnswerer answer(IDCANCEL);
    Command(IDM_OPEN);
    auto seen = answer.Seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, "ﾌｧｲﾙを開く");
  }
  {
    BoxAnswerer answer(IDCANCEL);
    Command(IDM_SAVEAS);
    auto seen = answer.Seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, "名前をつけて保存");
  }
  EXPECT_EQ(Caption(), "Clipledger - <NewFile.csv>");
}

TEST_F(Commands, AutoScanOfAMissingFolderWarnsAndKeepsTheList) {
  std::string movies = MakeMovies();
  ini = "[Customize]\r\nAutoScan=" + files / "gone" + "\r\nListClear=1\r\n";
  commandLine = movies;
  Open();
  BoxAnswerer answer(IDOK);
  Command(IDM_AUTOSCAN);
  auto seen = answer.Seen();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].caption, "ｽｷｬﾝ実行ｴﾗｰ");
  EXPECT_EQ(seen[0].text,
            "指定されたﾌｫﾙﾀﾞはﾌｫﾙﾀﾞ名変更、移動、削除されました\nｵｰﾄｽｷｬﾝの実行に失敗しました、ﾊﾟｽを"
            "再設定して下さい");
  EXPECT_EQ(Rows(), 4);
}

TEST_F(Commands, AutoScanWithListClearStartsANewList) {
  std::string movies = MakeMovies();
  ini = "[Customize]\r\nAutoScan=" + movies + "\\sub\r\nListClear=1\r\n";
  commandLine = movies;
  Open();
  ChooseFiles({files / "l.csv"});
  Command(IDM_SAVEAS);
  ASSERT_FALSE(MenuGrayed(IDM_SAVE));
  Command(IDM_AUTOSCAN);
  EXPECT_EQ(Names(), (std::set<std::string>{"c.avi", "d.rm"}));
  EXPECT_EQ(Caption(), "Clipledger - <NewFile.csv>");
  for (int id : {IDM_LISTEDIT, IDM_SAVEAS, IDM_CUT, IDM_COPY, IDM_DELETE})
    EXPECT_FALSE(MenuGrayed(id)) << id;
  EXPECT_TRUE(MenuGrayed(IDM_SAVE));
  ExpectFileButtons(TBSTATE_ENABLED);
  EXPECT_NE(Status(0), "Non Scanning...");
}

TEST_F(Commands, AutoScanWithoutListClearAppends) {
  std::string movies = MakeMovies();
  ini = "[Customize]\r\nAutoScan=" + movies + "\\sub\r\n";
  commandLine = movies;
  Open();
  Command(IDM_AUTOSCAN);
  EXPECT_EQ(Rows(), 6);
}

// Esc during a scan stops it after the file in hand; the rows read stay,
// and what would change the rows is refused until then.
TEST_F(Commands, EscStopsAScanAndKeepsTheRowsRead) {
  std::string movies = MakeMovies();
  ini = "[Customize]\r\nAutoScan=" + movies + "\r\n";
  Open();
  std::vector<bool> grayedMeanwhile;
  clip::App().onScanProgress = [&](int read) {
    if (read != 1) return;
    for (int id : {IDM_SAVEAS, IDM_SCAN, IDM_DELETE, IDM_SORT_EXT})
      grayedMeanwhile.push_back(MenuGrayed(id));
    grayedMeanwhile.push_back(ToolbarState(IDM_OPEN) != TBSTATE_ENABLED);
    SendMessageA(main(), WM_COMMAND, MAKEWPARAM(IDM_AUTOSCAN, 0), 0);  // refused, not nested
    PostMessageA(list(), WM_KEYDOWN, VK_ESCAPE, 0);
    Sleep(60);
  };
  Command(IDM_AUTOSCAN);
  EXPECT_EQ(Rows(), 1);
  EXPECT_EQ(grayedMeanwhile, std::vector<bool>(5, true));
  EXPECT_FALSE(MenuGrayed(IDM_SCAN) || MenuGrayed(IDM_SAVEAS));
  const std::string status = Status(0), stopped = "  ｽｷｬﾝ中止";
  EXPECT_TRUE(status.size() > stopped.size() &&
              status.compare(status.size() - stopped.size(), stopped.size(), stopped) == 0)
      << status;
  clip::App().onScanProgress = nullptr;
  Command(IDM_AUTOSCAN);  // the next scan runs whole
  EXPECT_EQ(Rows(), 5);
}

// A file system whose open of one file does not return until released: a
// share that stops answering.
class HangingFiles : public clip::Win32FileSystem {
 public:
  HangingFiles(std::string name, HANDLE release) : name_(std::move(name)), release_(release) {}
  std::unique_ptr<clip::MovieFile> Open(const std::string& path) override {
    if (clip::PathFileName(path) == name_) WaitForSingleObject(release_, 30000);
    return Win32FileSystem::Open(path);
  }

 private:
  std::string name_;
  HANDLE release_;
};

// Started with a folder, the window is on screen before the first row;
// Esc stops a scan whose file does not answer, keeps the rows taken in and
// names the file left unread.
TEST_F(Commands, TheWindowShowsBeforeItsScanAndEscLeavesAFileThatDoesNotAnswer) {
  std::string movies = MakeMovies();
  commandLine = movies;
  ini = "[Customize]\r\nAutoScan=" + movies + "\r\n";
  bool shownAtFirstRow = false;
  scanProgress = [&](int read) {
    if (read == 1) shownAtFirstRow = IsWindowVisible(main()) != FALSE;
  };
  Open();
  EXPECT_TRUE(shownAtFirstRow);
  EXPECT_EQ(Rows(), 4);

  HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  clip::App().scanFiles = [release] { return std::make_unique<HangingFiles>("c.avi", release); };
  clip::App().onScanProgress = [&](int read) {
    if (read == 2) PostMessageA(list(), WM_KEYDOWN, VK_ESCAPE, 0);
  };
  std::vector<SeenBox> seen;
  {
    BoxAnswerer answer(IDOK);
    SendMessageA(main(), WM_COMMAND, MAKEWPARAM(IDM_AUTOSCAN, 0), 0);
    seen = answer.Seen();
  }
  // a.avi and b.mpg are in; c.avi never answered, so neither it nor d.rm.
  EXPECT_EQ(Rows(), 4 + 2);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].caption, clip::kUnansweredCaption);
  EXPECT_NE(seen[0].text.find(movies + "\\sub\\c.avi"), std::string::npos) << seen[0].text;
  EXPECT_FALSE(MenuGrayed(IDM_SCAN));
  SetEvent(release);
  clip::App().scanFiles = nullptr;
  clip::App().onScanProgress = nullptr;
}

// Closing the window during a scan stops the scan, then closes.
TEST_F(Commands, CloseDuringAScanClosesAfterIt) {
  std::string movies = MakeMovies();
  ini = "[Customize]\r\nAutoScan=" + movies + "\r\n";
  Open();
  clip::App().onScanProgress = [&](int read) {
    if (read != 2) return;
    PostMessageA(main(), WM_CLOSE, 0, 0);
    Sleep(60);
  };
  Command(IDM_AUTOSCAN);
  EXPECT_EQ(Rows(), 2);
  MSG msg;
  for (int i = 0; i < 50 && IsWindow(main()) && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i)
    DispatchMessageA(&msg);
  EXPECT_FALSE(IsWindow(main()));
}

TEST_F(Commands, CancelledFolderBrowserScansNothing) {
  Open();
  BoxAnswerer answer(IDCANCEL);
  Command(IDM_SCAN);
  EXPECT_EQ(Rows(), 0);
  EXPECT_TRUE(MenuGrayed(IDM_LISTEDIT));
  EXPECT_TRUE(clip::App().scanFolder.empty());
}

TEST_F(Commands, SortModeItemsAreExclusiveChecks) {
  Open();
  Command(IDM_SORT_EXT);
  EXPECT_TRUE(MenuChecked(IDM_SORT_EXT));
  EXPECT_FALSE(MenuChecked(IDM_SORT_NAME));
  EXPECT_TRUE(clip::App().commands.view.sortByExtension);
  Command(IDM_SORT_EXT);
  EXPECT_TRUE(MenuChecked(IDM_SORT_EXT));
  EXPECT_TRUE(clip::App().commands.view.sortByExtension);
  Command(IDM_SORT_NAME);
  EXPECT_TRUE(MenuChecked(IDM_SORT_NAME));
  EXPECT_FALSE(MenuChecked(IDM_SORT_EXT));
  EXPECT_FALSE(clip::App().commands.view.sortByExtension);
}

TEST_F(Commands, ExitDestroysTheWindowAndSavesItsState) {
  Open();
  HWND window = main();
  RECT r{};
  GetWindowRect(window, &r);
  Command(IDM_EXIT);
  EXPECT_FALSE(IsWindow(window));
  // The window's size as it was (at 96 DPI, the file's own).
  EXPECT_EQ(IniValue("MainSeting", "Width"), std::to_string(r.right - r.left));
}

}  // namespace
}  // namespace wintest
