// Playback through a test player registered as the AVI open command in the
// test prefix's registry; every registry change is undone afterwards.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "listfile/listfile.h"
#include "main_window_test.h"
#include "res/resource.h"

namespace wintest {
namespace {

// Keeps the default value of one key under HKEY_CLASSES_ROOT and puts it
// back, or removes what was created, when it goes.
class ClassesValue {
 public:
  explicit ClassesValue(std::string subkey) : subkey_(std::move(subkey)) {
    // The topmost part of the path that does not exist yet.
    std::string path;
    std::size_t pos = 0;
    while (pos != std::string::npos) {
      std::size_t next = subkey_.find('\\', pos);
      path = subkey_.substr(0, next);
      HKEY k;
      if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) {
        created_ = path;
        break;
      }
      RegCloseKey(k);
      pos = next == std::string::npos ? next : next + 1;
    }
    HKEY k;
    if (created_.empty() &&
        RegOpenKeyExA(HKEY_CLASSES_ROOT, subkey_.c_str(), 0, KEY_READ, &k) == ERROR_SUCCESS) {
      DWORD size = 0;
      if (RegQueryValueExA(k, nullptr, nullptr, &type_, nullptr, &size) == ERROR_SUCCESS) {
        value_.resize(size);
        had_ = RegQueryValueExA(k, nullptr, nullptr, &type_, reinterpret_cast<BYTE*>(value_.data()),
                                &size) == ERROR_SUCCESS;
      }
      RegCloseKey(k);
    }
  }
  ~ClassesValue() {
    if (!created_.empty()) {
      RegDeleteTreeA(HKEY_CLASSES_ROOT, created_.c_str());
      return;
    }
    HKEY k;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, subkey_.c_str(), 0, KEY_WRITE, &k) != ERROR_SUCCESS)
      return;
    if (had_)
      RegSetValueExA(k, nullptr, 0, type_, reinterpret_cast<const BYTE*>(value_.data()),
                     static_cast<DWORD>(value_.size()));
    else
      RegDeleteValueA(k, nullptr);
    RegCloseKey(k);
  }
  void Set(const std::string& value) {
    HKEY k;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, subkey_.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                              &k, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(k, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(k);
  }
  void Remove() {
    HKEY k;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, subkey_.c_str(), 0, KEY_WRITE, &k) != ERROR_SUCCESS)
      return;
    RegDeleteValueA(k, nullptr);
    RegCloseKey(k);
  }

 private:
  std::string subkey_, created_;
  bool had_ = false;
  DWORD type_ = REG_SZ;
  std::string value_;
};

const char* const kCommandKey = "AVIFile\\shell\\open\\command";

class Playback : public MainWindowTest {
 protected:
  void SetUp() override {
    Open();
    log = files / "player.log";
    SetEnvironmentVariableA("CLIP_PLAYER_LOG", log.c_str());
    CreateDirectoryA((files / "My Movies").c_str(), nullptr);
    ASSERT_TRUE(WriteFileBytes(files / "My Movies\\a b.avi", "movie"));
    ASSERT_TRUE(WriteFileBytes(files / "first.avi", "movie"));
    AddRow("first.avi", {{clip::DirPath, files.path()}});
    AddRow("a b.avi", {{clip::DirPath, files / "My Movies"}});
  }
  void TearDown() override {
    SetEnvironmentVariableA("CLIP_PLAYER_LOG", nullptr);
    MainWindowTest::TearDown();
  }
  // What the player wrote, waiting for it to run.
  std::string PlayerLog() {
    for (int i = 0; i < 200; ++i) {
      std::string text = ReadFileBytes(log);
      if (!text.empty()) return text;
      Sleep(50);
    }
    return {};
  }
  std::string log;
  const std::string player = CLIP_TEST_PLAYER_WIN;
};

TEST_F(Playback, APathWithSpacesReachesThePlayerAsOneArgument) {
  ClassesValue command(kCommandKey);
  command.Set("\"" + player + "\" \"%1\"");
  Select({1});
  Command(IDM_PLAY);
  const std::string text = PlayerLog();
  EXPECT_NE(text.find("argc=2\n"), std::string::npos) << text;
  EXPECT_NE(text.find("arg=" + (files / "My Movies\\a b.avi") + "\n"), std::string::npos) << text;
  EXPECT_NE(text.find("cwd=" + (files / "My Movies") + "\n"), std::string::npos) << text;
}

TEST_F(Playback, AnUnquotedCommandNamesThePlayerUpToExe) {
  ClassesValue command(kCommandKey);
  ASSERT_EQ(player.find(' '), std::string::npos);
  command.Set(player + " /play %1 more.exe");
  Select({0, 1});  // the lower selected row plays
  Command(IDM_PLAY);
  const std::string text = PlayerLog();
  EXPECT_NE(text.find("argc=2\n"), std::string::npos) << text;
  EXPECT_NE(text.find("arg=" + (files / "first.avi") + "\n"), std::string::npos) << text;
  EXPECT_NE(text.find("cwd=" + files.path() + "\n"), std::string::npos) << text;
}

TEST_F(Playback, WithoutARegisteredPlayerTheMovieOpensThroughItsAssociation) {
  ClassesValue command(kCommandKey);
  command.Remove();
  // .avi files belong to a test type whose open command is the test player.
  ClassesValue type(".avi");
  type.Set("ClipTestMovie");
  ClassesValue open("ClipTestMovie\\shell\\open\\command");
  open.Set("\"" + player + "\" \"%1\"");
  Select({1});
  Command(IDM_PLAY);
  const std::string text = PlayerLog();
  EXPECT_NE(text.find("a b.avi"), std::string::npos) << text;
}

TEST_F(Playback, AMovieNamedInAnyScriptReachesThePlayer) {
  ClassesValue command(kCommandKey);
  command.Set("\"" + player + "\" \"%1\"");
  ASSERT_TRUE(MakeFolder(files / "영화 폴더"));
  ASSERT_TRUE(WriteFileBytes(files / "영화 폴더\\한국영화😀.avi", "movie"));
  Select({AddRow("한국영화😀.avi", {{clip::DirPath, files / "영화 폴더"}})});
  Command(IDM_PLAY);
  const std::string text = PlayerLog();
  EXPECT_NE(text.find("arg=" + (files / "영화 폴더\\한국영화😀.avi") + "\n"), std::string::npos)
      << text;
  EXPECT_NE(text.find("cwd=" + (files / "영화 폴더") + "\n"), std::string::npos) << text;
}

TEST_F(Playback, AMissingMovieIsReportedAndNothingStarts) {
  ClassesValue command(kCommandKey);
  command.Set("\"" + player + "\" \"%1\"");
  DeleteFileA((files / "first.avi").c_str());
  Select({0});
  WithDialog(
      "再生失敗", [this] { Command(IDM_PLAY); },
      [&](HWND box, DWORD) {
        EXPECT_EQ(WindowText(GetDlgItem(box, 0xffff)),
                  "再生するﾌｧｲﾙが見つかりません\n再生は失敗しました");
        EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr);  // no owner window
        Click(box, IDOK);
      });
  Sleep(500);
  EXPECT_EQ(ReadFileBytes(log), "");
}

TEST_F(Playback, ALoadedListsProgramsScriptsAndShortcutsAreNeverStarted) {
  ClassesValue command(kCommandKey);
  command.Set("\"" + player + "\" \"%1\"");
  // Each would write the log if it ran: the program is the test player
  // itself, the batch file writes it through the command processor.
  ASSERT_TRUE(CopyFileA(player.c_str(), (files / "x.exe").c_str(), FALSE));
  ASSERT_TRUE(WriteFileBytes(files / "x.bat", "@echo ran>\"" + log + "\"\r\n"));
  ASSERT_TRUE(WriteFileBytes(files / "x.lnk", std::string("L\0\0\0", 4)));
  ASSERT_TRUE(WriteFileBytes(files / "movie.avi", "movie"));
  clip::RowModel list;
  const clip::CategoryTable& table = clip::App().table;
  const char* names[] = {"x.exe", "x.bat", "x.lnk", "movie.avi"};
  for (int r = 0; r < 4; ++r) {
    list.Insert(r, names[r], r);
    list.SetCell(r, table.position[clip::DirPath], files.path());
  }
  ASSERT_TRUE(
      clip::SaveListFile(list, table, files / "others.csv", clip::ListFormat::Csv, false).ok);
  ChooseFiles({files / "others.csv"});
  Command(IDM_OPEN);
  ASSERT_EQ(Rows(), 6);
  for (int r = 0; r < 3; ++r) {
    SCOPED_TRACE(names[r]);
    Select({r});
    bool seen = false;
    WithDialog(
        "再生失敗", [this] { Command(IDM_PLAY); },
        [&](HWND box, DWORD) {
          EXPECT_EQ(WindowText(GetDlgItem(box, 0xffff)),
                    "動画ﾌｧｲﾙではないので再生しません\n" + (files / names[r]));
          seen = true;
          Click(box, IDOK);
        });
    EXPECT_TRUE(seen);
  }
  Sleep(1000);
  EXPECT_EQ(ReadFileBytes(log), "");
  Select({3});
  Command(IDM_PLAY);
  const std::string text = PlayerLog();
  EXPECT_NE(text.find("arg=" + (files / "movie.avi") + "\n"), std::string::npos) << text;
}

TEST_F(Playback, AMovieNamedWithoutAPointOpensAsItsTypeNotAsAProgram) {
  // "MOVIEAVI" with no player: the shell alone would run MOVIEAVI.exe
  // (the test player too, but without the movie as its argument).
  ClassesValue command(kCommandKey);
  command.Remove();
  ClassesValue type(".avi");
  type.Set("ClipTestMovie");
  ClassesValue open("ClipTestMovie\\shell\\open\\command");
  open.Set("\"" + player + "\" \"%1\"");
  ASSERT_TRUE(WriteFileBytes(files / "MOVIEAVI", "movie"));
  ASSERT_TRUE(WriteFileBytes(files / "MOVIEAVI.exe", ReadFileBytes(player)));
  Select({AddRow("MOVIEAVI", {{clip::DirPath, files.path()}})});
  Command(IDM_PLAY);
  const std::string text = PlayerLog();
  EXPECT_NE(text.find("arg=" + (files / "MOVIEAVI") + "\n"), std::string::npos) << text;
}

}  // namespace
}  // namespace wintest
