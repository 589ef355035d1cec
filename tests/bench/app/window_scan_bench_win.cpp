// Times a scan through the main window as a user sees it, in two ways:
//  - "program": clipledger.exe (copied with a settings file into a scratch
//    folder) is started with the tree on its command line, and the clock
//    runs from the start until its list holds every row and the status bar
//    shows their totals, as read from outside the program;
//  - "window": the same main window made inside this program, from its
//    creation until its rows are painted and the totals stand; then a rescan
//    of the unchanged tree is timed up to its closing message.
//   window_scan_bench_win.exe TREE [RUNS [PROGRAM_EXE]]
// Prints, for the best of RUNS, "<what> files <n> seconds <s> rate <files/s>".
#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "app/app_win.h"
#include "app/scan_session_win.h"
#include "catalogue/wide_win.h"
#include "res/resource.h"
#include "win_files.h"

namespace {

using clip::App;

// The window a user would keep: large enough to show some 40 rows.
constexpr const char* kIni =
    "[MainSeting]\r\nLeft=0\r\nTop=0\r\nWidth=1000\r\nHeight=700\r\nEndSet=0\r\n";

double Now() {
  LARGE_INTEGER t, f;
  QueryPerformanceCounter(&t);
  QueryPerformanceFrequency(&f);
  return static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

// Presses OK in the first message box the thread shows and notes when it
// appeared.
class BoxCloser {
 public:
  explicit BoxCloser(DWORD thread) : thread_(thread), worker_([this] { Run(); }) {}
  ~BoxCloser() {
    stop_ = true;
    worker_.join();
  }
  double shownAt() const { return shownAt_; }

 private:
  void Run() {
    while (!stop_) {
      HWND found = nullptr;
      EnumThreadWindows(
          thread_,
          [](HWND w, LPARAM lp) {
            if (wintest::ClassOf(w) != "#32770" || !IsWindowVisible(w)) return TRUE;
            *reinterpret_cast<HWND*>(lp) = w;
            return FALSE;
          },
          reinterpret_cast<LPARAM>(&found));
      if (found) {
        shownAt_ = Now();
        PostMessageA(found, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return;
      }
      Sleep(1);
    }
  }
  DWORD thread_;
  std::atomic<bool> stop_{false};
  std::atomic<double> shownAt_{0};
  std::thread worker_;
};

struct Times {
  int files = 0;
  double seconds = 0, rescan = 0;
};

// The totals text "<n>file(s) ..." gives n; -1 for any other text.
int TotalsCount(const std::string& text) {
  const std::size_t end = text.find("file(s)");
  if (end == std::string::npos || end == 0) return -1;
  for (std::size_t i = 0; i < end; ++i)
    if (text[i] < '0' || text[i] > '9') return -1;
  return std::atoi(text.c_str());
}

bool WindowRun(const std::string& tree, const wintest::TempFolder& program, Times& t) {
  wintest::WriteFileBytes(program / "dodedaru.ini", kIni);
  App() = clip::AppState{};
  App().programFolderOverride = program.path();
  App().commandLine = "clipledger.exe \"" + tree + "\"";
  HINSTANCE instance = GetModuleHandleA(nullptr);
  if (!clip::RegisterMainClass(instance)) return false;
  const double start = Now();
  HWND main = clip::CreateMainWindow(instance, SW_SHOWNORMAL);
  if (!main) return false;
  UpdateWindow(App().list);
  t.seconds = Now() - start;
  t.files = App().rows.Count();
  const std::string totals = wintest::WindowText(App().status);
  bool ok = t.files > 0 && TotalsCount(totals) == t.files;
  if (!ok) std::fprintf(stderr, "rows %d, status \"%s\"\n", t.files, totals.c_str());
  {
    BoxCloser closer(GetCurrentThreadId());
    const double begin = Now();
    SendMessageW(main, WM_COMMAND, MAKEWPARAM(IDM_RESCAN, 0), 0);
    t.rescan = (closer.shownAt() > 0 ? closer.shownAt() : Now()) - begin;
  }
  if (App().rows.Count() != t.files) {
    std::fprintf(stderr, "the rescan changed the rows: %d of %d\n", App().rows.Count(), t.files);
    ok = false;
  }
  DestroyWindow(main);
  wintest::Pump();
  UnregisterClassW(clip::kMainClassName, instance);
  return ok;
}

struct FindMain {
  DWORD process;
  HWND found;
};

HWND MainWindowOf(DWORD process) {
  FindMain f{process, nullptr};
  EnumWindows(
      [](HWND w, LPARAM lp) {
        auto* f = reinterpret_cast<FindMain*>(lp);
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid != f->process || wintest::ClassOf(w) != clip::Narrow(clip::kMainClassName))
          return TRUE;
        f->found = w;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&f));
  return f.found;
}

// Part 0 of another program's status bar (the status bar answers WM_GETTEXT
// with it, and the system carries that message between programs).
std::string StatusTextOf(HWND status) {
  wchar_t text[256] = {};
  DWORD_PTR got = 0;
  if (!SendMessageTimeoutW(status, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text),
                           SMTO_ABORTIFHUNG, 1000, &got))
    return {};
  return clip::Narrow(text);
}

bool ProgramRun(const std::string& tree, const std::string& exe, const wintest::TempFolder& program,
                Times& t) {
  const std::string copy = program / "clipledger.exe";
  if (!wintest::FileExists(copy) && !CopyFileA(exe.c_str(), copy.c_str(), FALSE)) {
    std::fprintf(stderr, "cannot copy %s\n", exe.c_str());
    return false;
  }
  wintest::WriteFileBytes(program / "dodedaru.ini", kIni);
  std::wstring line = clip::Wide("\"" + copy + "\" \"" + tree + "\"");
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  const double start = Now();
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      clip::Wide(program.path()).c_str(), &si, &pi))
    return false;
  bool ok = false;
  HWND main = nullptr;
  while (Now() - start < 600 && WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) {
    Sleep(10);
    if (!main) main = MainWindowOf(pi.dwProcessId);
    if (!main) continue;
    HWND list = GetDlgItem(main, IDC_CATALOGUE_LIST), status = GetDlgItem(main, IDC_STATUSBAR);
    const int shown = TotalsCount(StatusTextOf(status));
    if (shown <= 0) continue;
    DWORD_PTR count = 0;
    SendMessageTimeoutW(list, LVM_GETITEMCOUNT, 0, 0, SMTO_ABORTIFHUNG, 1000, &count);
    if (static_cast<int>(count) != shown) continue;
    t.seconds = Now() - start;
    t.files = shown;
    ok = true;
    break;
  }
  if (main) PostMessageW(main, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(pi.hProcess, 10000) == WAIT_TIMEOUT) TerminateProcess(pi.hProcess, 1);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return ok;
}

void Print(const char* what, int files, double seconds) {
  std::printf("%s files %d seconds %.3f rate %.0f\n", what, files, seconds,
              seconds > 0 ? files / seconds : 0.0);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: window_scan_bench_win TREE [RUNS [PROGRAM_EXE]]\n");
    return 2;
  }
  const std::string tree = argv[1];
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 1;
  wintest::TempFolder program("clipbench");
  int status = 0;
  if (argc > 3) {
    Times best;
    for (int run = 0; run < runs; ++run) {
      Times t;
      if (!ProgramRun(tree, argv[3], program, t)) status = 1;
      if (best.files == 0 || t.seconds < best.seconds) best = t;
    }
    Print("program", best.files, best.seconds);
  }
  Times best;
  for (int run = 0; run < runs; ++run) {
    Times t;
    if (!WindowRun(tree, program, t)) status = 1;
    if (best.files == 0 || t.seconds < best.seconds) best.seconds = t.seconds, best.files = t.files;
    if (best.rescan == 0 || t.rescan < best.rescan) best.rescan = t.rescan;
  }
  Print("window", best.files, best.seconds);
  Print("rescan", best.files, best.rescan);
  return status;
}
