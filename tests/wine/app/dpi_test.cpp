// The program at the prefix's display scale: started as a process of its
// own from a scratch folder on a sample movie, its window, bars, list rows
// and header are measured from outside (the messages that fill a structure
// get one in the program's memory). The run at 96 DPI writes its figures; a run in a
// prefix of another scale reads them and expects each figure scaled.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>

#include "win_files.h"

namespace wintest {
namespace {

int SystemDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

int Height(HWND w) {
  RECT r{};
  GetWindowRect(w, &r);
  return static_cast<int>(r.bottom - r.top);
}

using Figures = std::map<std::string, int>;

// The program copied into a scratch folder with the given settings file
// (none when empty), running until Close.
class Program {
 public:
  explicit Program(const std::string& ini, const std::string& movie = {}) {
    EXPECT_TRUE(CopyOneFile(CLIP_EXE_PATH, folder_ / "clipledger.exe"));
    if (!ini.empty()) EXPECT_TRUE(WriteFileBytes(folder_ / "dodedaru.ini", ini));
    STARTUPINFOA si{};
    si.cb = sizeof si;
    std::string cmd = "\"" + (folder_ / "clipledger.exe") + "\"";
    if (!movie.empty()) cmd += " \"" + movie + "\"";
    if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder_.path().c_str(), &si, &pi_))
      return;
    for (int i = 0; i < 300 && !main_; ++i) {
      Sleep(50);
      EnumWindows(
          [](HWND w, LPARAM p) -> BOOL {
            auto* self = reinterpret_cast<Program*>(p);
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid != self->pi_.dwProcessId || ClassOf(w) != "VidaRarevov" || !IsWindowVisible(w))
              return TRUE;
            self->main_ = w;
            return FALSE;
          },
          reinterpret_cast<LPARAM>(this));
    }
    Sleep(300);  // let it finish its first layout
  }
  ~Program() { Close(); }

  HWND main() const { return main_; }
  // Sends a message whose lParam points at value, in and out.
  template <class T>
  bool Ask(HWND w, UINT msg, WPARAM wp, T& value) const {
    void* there = VirtualAllocEx(pi_.hProcess, nullptr, sizeof value, MEM_COMMIT | MEM_RESERVE,
                                 PAGE_READWRITE);
    if (!there) return false;
    bool ok = WriteProcessMemory(pi_.hProcess, there, &value, sizeof value, nullptr);
    if (ok) SendMessageA(w, msg, wp, reinterpret_cast<LPARAM>(there));
    ok = ok && ReadProcessMemory(pi_.hProcess, there, &value, sizeof value, nullptr);
    VirtualFreeEx(pi_.hProcess, there, 0, MEM_RELEASE);
    return ok;
  }
  HWND Child(HWND parent, const char* cls) const {
    return FindWindowExA(parent, nullptr, cls, nullptr);
  }
  // A settings value the program wrote at exit.
  std::string IniValue(const char* key) const {
    char buf[64] = {};
    GetPrivateProfileStringA("MainSeting", key, "<none>", buf, sizeof buf,
                             (folder_ / "dodedaru.ini").c_str());
    return buf;
  }
  void Close() {
    if (!pi_.hProcess) return;
    if (main_) PostMessageA(main_, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(pi_.hProcess, 20000), WAIT_OBJECT_0);
    CloseHandle(pi_.hThread);
    CloseHandle(pi_.hProcess);
    pi_ = {};
  }

 private:
  TempFolder folder_{"clipdpi"};
  PROCESS_INFORMATION pi_{};
  HWND main_ = nullptr;
};

std::string FiguresPath(int dpi) {
  return std::string(CLIP_DPI_FIGURES_DIR) + "\\dpi-" + std::to_string(dpi) + ".txt";
}

void WriteFigures(int dpi, const Figures& figures) {
  CreateDirectoryA(CLIP_DPI_FIGURES_DIR, nullptr);
  std::string text;
  for (const auto& [name, value] : figures) text += name + "=" + std::to_string(value) + "\n";
  EXPECT_TRUE(WriteFileBytes(FiguresPath(dpi), text));
}

Figures ReadFigures(int dpi) {
  Figures figures;
  std::istringstream lines(ReadFileBytes(FiguresPath(dpi)));
  for (std::string line; std::getline(lines, line);) {
    const std::size_t eq = line.find('=');
    if (eq != std::string::npos) figures[line.substr(0, eq)] = std::atoi(line.c_str() + eq + 1);
  }
  return figures;
}

TEST(DisplayScale, WindowBarsRowsAndHeaderFollowTheDpi) {
  const int dpi = SystemDpi();
  Program program("[MainSeting]\r\nLeft=40\r\nTop=30\r\nWidth=560\r\nHeight=360\r\n",
                  std::string(CLIP_SAMPLES_DIR) + "\\mpeg1.mpg");
  HWND main = program.main();
  ASSERT_NE(main, nullptr);
  HWND toolbar = program.Child(main, TOOLBARCLASSNAMEA);
  HWND status = program.Child(main, STATUSCLASSNAMEA);
  HWND list = program.Child(main, WC_LISTVIEWA);
  HWND header = list ? program.Child(list, WC_HEADERA) : nullptr;
  ASSERT_TRUE(toolbar && status && list && header);
  for (int i = 0; i < 100 && SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) < 1; ++i) Sleep(50);
  RECT row{LVIR_BOUNDS, 0, 0, 0};
  ASSERT_TRUE(program.Ask(list, LVM_GETITEMRECT, 0, row));
  int parts[4] = {};
  ASSERT_TRUE(program.Ask(status, SB_GETPARTS, 4, parts));

  RECT window{}, client{};
  GetWindowRect(main, &window);
  GetClientRect(main, &client);
  // The saved position is a screen position; its size is at 96 DPI.
  EXPECT_EQ(window.left, 40);
  EXPECT_EQ(window.top, 30);
  // The menu bar stays on one line.
  RECT oneLine = client;
  AdjustWindowRectEx(&oneLine, WS_OVERLAPPEDWINDOW, TRUE, 0);
  EXPECT_EQ(oneLine.bottom - oneLine.top, window.bottom - window.top);

  const LRESULT button = SendMessageA(toolbar, TB_GETBUTTONSIZE, 0, 0);
  Figures figures = {
      {"window.width", window.right - window.left},
      {"window.height", window.bottom - window.top},
      {"toolbar.button.width", LOWORD(button)},
      {"toolbar.button.height", HIWORD(button)},
      {"toolbar.height", Height(toolbar)},
      {"list.row", row.bottom - row.top},
      {"list.header", Height(header)},
      {"list.column0", static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, 0, 0))},
      {"status.height", Height(status)},
      {"status.part1", parts[0]},
      {"status.part2", parts[1] - parts[0]},
      {"status.part3", parts[2] - parts[1]},
  };
  program.Close();
  // The file keeps the 96-DPI size.
  EXPECT_EQ(program.IniValue("Width"), "560");
  EXPECT_EQ(program.IniValue("Height"), "360");

  if (dpi == 96) {
    WriteFigures(dpi, figures);
    return;
  }
  const Figures at96 = ReadFigures(96);
  ASSERT_FALSE(at96.empty()) << "no figures at 96 DPI in " << FiguresPath(96);
  const double scale = dpi / 96.0;
  for (const auto& [name, value] : figures) {
    const auto found = at96.find(name);
    ASSERT_NE(found, at96.end()) << name;
    const double wanted = found->second * scale;
    // Text heights round to whole pixels of the font: about, not exactly.
    EXPECT_NEAR(value, wanted, wanted * 0.1 + 1)
        << name << " is " << value << " at " << dpi << " DPI, " << found->second << " at 96";
  }
  std::string shown;
  for (const auto& [name, value] : figures)
    shown += " " + name + " " + std::to_string(at96.at(name)) + "->" + std::to_string(value);
  std::printf("at 96 -> %d DPI:%s\n", dpi, shown.c_str());
}

TEST(DisplayScale, FirstWindowIsCentredOnTheWorkAreaAtTwoThirdsOfIt) {
  const int dpi = SystemDpi();
  Program program("");
  ASSERT_NE(program.main(), nullptr);
  RECT work{}, window{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  GetWindowRect(program.main(), &window);
  const int width = window.right - window.left, height = window.bottom - window.top;
  EXPECT_NEAR(width, (work.right - work.left) * 2 / 3, 2);
  EXPECT_NEAR(height, (work.bottom - work.top) * 2 / 3, 2);
  EXPECT_NEAR(window.left - work.left, work.right - window.right, 2);
  EXPECT_NEAR(window.top - work.top, work.bottom - window.bottom, 2);
  program.Close();
  // What it writes at exit is the size at 96 DPI.
  EXPECT_NEAR(std::atoi(program.IniValue("Width").c_str()), width * 96 / dpi, 1);
  EXPECT_NEAR(std::atoi(program.IniValue("Height").c_str()), height * 96 / dpi, 1);
}

}  // namespace
}  // namespace wintest
