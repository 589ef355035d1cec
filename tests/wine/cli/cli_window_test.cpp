// The window and clipledger-cli.exe over the same folders and settings
// file: the window scans its command line and saves CSV, text and a page;
// the console program, started as a separate process, must write the same
// bytes.
#include "main_window_test.h"

#include "res/resource.h"

namespace wintest {
namespace {

const char* const kHtmlCaption = "HTML形式保存ｵﾌﾟｼｮﾝ";

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

// Runs the console program with the given command-line tail; its standard
// output goes to outPath. Returns the exit status, or -1.
int RunCli(const std::string& tail, const std::string& outPath) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE out = CreateFileW(clip::WidePath(outPath).c_str(), GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit,
                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out == INVALID_HANDLE_VALUE) {
    ADD_FAILURE() << "cannot create " << outPath << ": error " << GetLastError();
    return -1;
  }
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = out;
  si.hStdError = out;
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION pi{};
  std::wstring cmd = clip::Wide(Quoted(CLIP_CLI_EXE_WIN) + " " + tail);
  const BOOL started = CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                      nullptr, nullptr, &si, &pi);
  const DWORD error = GetLastError();
  CloseHandle(out);
  if (!started) {
    ADD_FAILURE() << "cannot start " << CLIP_CLI_EXE_WIN << ": error " << error;
    return -1;
  }
  DWORD code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0)
    GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return static_cast<int>(code);
}

class CliAndWindow : public MainWindowTest {};

TEST_F(CliAndWindow, WriteTheSameListsForTheSameFoldersAndSettings) {
  // Folders made by ffmpeg and the samples, with one movie named by itself
  // between them (it takes the row of its place), and a folder of names in
  // mixed case, digits, "_", kana and kanji (native_and_windows.sh holds
  // the Linux program's rows for it against these).
  const std::string paths = Quoted(CLIP_MOVIE_DIR_WIN) + " " +
                            Quoted(std::string(CLIP_SAMPLES_DIR) + "\\titled.avi") + " " +
                            Quoted(CLIP_SAMPLES_DIR) + " " + Quoted(CLIP_NAME_DIR_WIN);
  const char* const settings[] = {
      "[Customize]\r\n",
      "[Customize]\r\nSizeInfo=1\r\nListUtf8=1\r\nFileSizeBT=0\r\nComment=0\r\n"
      "[HtmlSetting]\r\nCaption=映画の一覧\r\nRowColoring=1\r\nFiiBackColor2=0xffcc00\r\n"
      "TopTitleAlign=0\r\n",
  };
  for (const char* text : settings) {
    SCOPED_TRACE(text);
    const std::string run = text == settings[0] ? "1" : "2";
    ini = text;
    commandLine = paths;
    Open();
    ASSERT_GT(Rows(), 20);
    EXPECT_EQ(Cell(1, 0), "titled.avi");
    ChooseFiles({files / "window.csv"});
    Command(IDM_SAVEAS);
    ChooseFiles({files / "window.txt"});
    Command(IDM_SAVEAS);
    ChooseFiles({files / "window.htm"});
    WithDialog(
        kHtmlCaption, [&] { Command(IDM_SAVEAS); }, [](HWND dlg, DWORD) { Click(dlg, IDOK); });
    Close();

    const std::string settingsArg = "--settings " + Quoted(folder / "dodedaru.ini") + " --quiet ";
    for (const char* ending : {"csv", "txt", "htm"}) {
      SCOPED_TRACE(ending);
      const std::string cli = files / (std::string("cli.") + ending);
      // (Wine's console host may hold a finished program's output a while.)
      const std::string messages = files / ("messages-" + run + ending);
      EXPECT_EQ(RunCli(settingsArg + "-o " + Quoted(cli) + " " + paths, messages), 0)
          << ReadFileBytes(messages);
      const std::string window = ReadFileBytes(files / (std::string("window.") + ending));
      ASSERT_FALSE(window.empty());
      EXPECT_EQ(ReadFileBytes(cli), window);
    }
    // Standard output, in two jobs: the same CSV bytes.
    EXPECT_EQ(RunCli(settingsArg + "-j 2 " + paths, files / ("stdout-" + run)), 0);
    EXPECT_EQ(ReadFileBytes(files / ("stdout-" + run)), ReadFileBytes(files / "window.csv"));
  }
}

}  // namespace
}  // namespace wintest
