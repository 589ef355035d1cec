// Times a scan through the main window as a user sees it, in two ways:
//  - "program": clipledger.exe (copied with a settings file into a scratch
//    folder) is started with the tree on its command line, and the clock
//    runs from the start until its list holds every row and the status bar
//    shows their totals, as read from outside the program;
//  - "window": the same main window made inside this program, from its
//    creation until its rows are painted and the totals stand; then a rescan
//    of the unchanged tree is timed up to its closing message.
// With a mode after PROGRAM_EXE only the program runs:
//  - "live": while it scans, another thread sends its main window WM_NULL
//    every 5 ms and notes how long each answer took;
//  - "stop": Esc is pressed in it once its list holds 100 rows, and the time
//    up to the status bar's note of the stop is taken.
//   window_scan_bench_win.exe TREE [RUNS [PROGRAM_EXE [live|stop]]]
// Prints, for the best of RUNS, "<what> files <n> seconds <s> rate <files/s>",
// then in "live" "answers count <n> median_ms <ms> worst_ms <ms>" and in
// "stop" "stop rows_at_esc <n> rows_after <n> ms <ms>" (ms -1: no stop seen).
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/app_win.h"
#include "app/scan_session_win.h"
#include "base/wide_win.h"
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
  // The window scans its command line once it is on screen: the scan runs
  // inside the message that starts it.
  wintest::Pump();
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

// How long another program's window takes to answer: WM_NULL sent every
// 5 ms from a thread of its own, each answer timed.
class AnswerTimer {
 public:
  explicit AnswerTimer(HWND window) : window_(window), worker_([this] { Run(); }) {}
  ~AnswerTimer() { Stop(); }
  void Stop() {
    if (!stop_.exchange(true)) worker_.join();
  }
  // Answer times in ms, sorted; only once stopped.
  std::vector<double> Sorted() {
    std::sort(ms_.begin(), ms_.end());
    return ms_;
  }

 private:
  void Run() {
    while (!stop_) {
      const double sent = Now();
      DWORD_PTR result = 0;
      const bool answered =
          SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result) != 0;
      if (!answered && !IsWindow(window_)) break;
      ms_.push_back((Now() - sent) * 1000);
      Sleep(5);
    }
  }
  HWND window_;
  std::atomic<bool> stop_{false};
  std::vector<double> ms_;
  std::thread worker_;
};

enum class Mode { Plain, Live, Stop };

struct ProgramTimes : Times {
  std::vector<double> answers;  // Mode::Live, sorted
  int rowsAtEsc = 0, rowsAfter = 0;
  double stopMs = -1;  // Mode::Stop
};

int RowsOf(HWND main) {
  DWORD_PTR count = 0;
  SendMessageTimeoutW(GetDlgItem(main, IDC_CATALOGUE_LIST), LVM_GETITEMCOUNT, 0, 0,
                      SMTO_ABORTIFHUNG, 1000, &count);
  return static_cast<int>(count);
}

// Presses Esc in the window that has the keyboard focus in the program, the
// list when none is known, and waits for the status bar's note of the stop.
void PressEscAndWait(HWND main, ProgramTimes& t) {
  GUITHREADINFO gui{};
  gui.cbSize = sizeof gui;
  HWND focus = nullptr;
  if (GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &gui)) focus = gui.hwndFocus;
  if (!focus) focus = GetDlgItem(main, IDC_CATALOGUE_LIST);
  t.rowsAtEsc = RowsOf(main);
  const double pressed = Now();
  PostMessageW(focus, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
  PostMessageW(focus, WM_KEYUP, VK_ESCAPE, 0xC0010001);
  HWND status = GetDlgItem(main, IDC_STATUSBAR);
  while (Now() - pressed < 10) {
    if (StatusTextOf(status).find("中止") != std::string::npos) {
      t.stopMs = (Now() - pressed) * 1000;
      break;
    }
    Sleep(1);
  }
  Sleep(500);  // rows still coming after the note would show here
  t.rowsAfter = RowsOf(main) - t.rowsAtEsc;
  t.files = RowsOf(main);
}

bool ProgramRun(const std::string& tree, const std::string& exe, const wintest::TempFolder& program,
                ProgramTimes& t, Mode mode = Mode::Plain) {
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
  std::unique_ptr<AnswerTimer> timer;
  while (Now() - start < 600 && WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) {
    Sleep(10);
    if (!main) {
      main = MainWindowOf(pi.dwProcessId);
      if (main && mode == Mode::Live) timer = std::make_unique<AnswerTimer>(main);
    }
    if (!main) continue;
    if (mode == Mode::Stop && RowsOf(main) >= 100) {
      PressEscAndWait(main, t);
      ok = t.stopMs >= 0;
      break;
    }
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
  if (timer) {
    timer->Stop();
    t.answers = timer->Sorted();
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
  const std::string modeName = argc > 4 ? argv[4] : "";
  const Mode mode = modeName == "live" ? Mode::Live : modeName == "stop" ? Mode::Stop : Mode::Plain;
  if (argc > 3) {
    ProgramTimes best;
    for (int run = 0; run < runs; ++run) {
      ProgramTimes t;
      if (!ProgramRun(tree, argv[3], program, t, mode)) status = 1;
      if (best.files == 0 || t.seconds < best.seconds) best = t;
    }
    if (mode == Mode::Stop) {
      std::printf("stop rows_at_esc %d rows_after %d ms %.0f\n", best.rowsAtEsc, best.rowsAfter,
                  best.stopMs);
      return status;
    }
    Print("program", best.files, best.seconds);
    if (mode == Mode::Live) {
      const std::vector<double>& a = best.answers;
      std::printf("answers count %zu median_ms %.1f worst_ms %.1f\n", a.size(),
                  a.empty() ? 0.0 : a[a.size() / 2], a.empty() ? 0.0 : a.back());
      return status;
    }
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
