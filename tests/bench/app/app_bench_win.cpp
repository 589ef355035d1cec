// Times the main window's list operations with many rows, in the real
// window procedure: load a CSV list, sort by a text column and by the
// byte-size column both ways, save as CSV, select 1,000 rows and click,
// one keystroke in the find bar (found at once, and found nowhere), select
// every match of a word, and select the duplicates.
//   app_bench_win.exe [rows...]      (default 10000 100000)
// Prints one line per operation and row count: "<op> <rows> <ms>".
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/app_win.h"
#include "base/text.h"
#include "res/dialogs_res.h"
#include "listfile/listfile.h"
#include "res/resource.h"
#include "win_files.h"

namespace {

using clip::App;
using wintest::Pump;

double Now() {
  static LARGE_INTEGER f = [] {
    LARGE_INTEGER x;
    QueryPerformanceFrequency(&x);
    return x;
  }();
  LARGE_INTEGER c;
  QueryPerformanceCounter(&c);
  return static_cast<double>(c.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}

std::uint32_t g_seed = 12345;
std::uint32_t Next() {
  g_seed = g_seed * 1664525u + 1013904223u;
  return g_seed >> 8;
}

const char* kWords[] = {"夏",      "Summer", "旅行",     "holiday", "ﾗｲﾌﾞ", "live",
                        "concert", "家族",   "birthday", "ｱﾆﾒ",     "trip", "記録",
                        "sports",  "final",  "part",     "ﾃｽﾄ"};

clip::RowModel MakeRows(int n, const clip::CategoryTable& table) {
  clip::RowModel rows;
  g_seed = 12345;
  for (int i = 0; i < n; ++i) {
    char name[64];
    std::snprintf(name, sizeof name, "movie_%06u.%s", Next() % 1000000,
                  (i % 3 == 0) ? "mpg" : "avi");
    int r = rows.Insert(rows.Count(), name, i);
    std::uint64_t bytes = (static_cast<std::uint64_t>(Next()) * 977u) % 4000000000ull + 1000;
    auto set = [&](int k, const std::string& text) {
      if (table.IsOn(k)) rows.SetCell(r, table.position[k], text);
    };
    set(clip::FileSizeBT, clip::GroupThousands(std::to_string(bytes)));
    char mb[32];
    std::snprintf(mb, sizeof mb, "%.1f", bytes / 1048576.0);
    set(clip::FileSizeMB, mb);
    set(clip::FileSizeKB, clip::GroupThousands(std::to_string(bytes / 1024)));
    std::string title = std::string(kWords[Next() % 16]) + " " + kWords[Next() % 16] + " " +
                        std::to_string(Next() % 100);
    set(clip::MovieTitle, title);
    set(clip::MoveInfo, (i % 2) ? "XviD MPEG-4" : "MPEG1");
    set(clip::AudioInfo, "MPEG Layer-3");
    set(clip::VideoRate, std::to_string(Next() % 5000) + "kbps");
    set(clip::AudioRate, "44.1kHz 128kbps");
    set(clip::FlameRate, "29.97");
    set(clip::Resolusion, "640x480");
    set(clip::PlayTime, std::to_string(Next() % 120) + ":" + std::to_string(Next() % 60));
    set(clip::Janle, kWords[Next() % 16]);
    set(clip::Creater, kWords[Next() % 16]);
    set(clip::Comment, std::string("comment ") + kWords[Next() % 16]);
    set(clip::DirPath, "D:\\Movies\\" + std::string(kWords[Next() % 16]));
    set(clip::VolLabel, "MOVIES");
  }
  return rows;
}

std::string TempFolder() {
  char buf[MAX_PATH];
  GetTempPathA(sizeof buf, buf);
  std::string dir = std::string(buf) + "clip_app_bench_" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(dir.c_str(), nullptr);
  return dir;
}

void Notify(UINT code, int column) {
  NMLISTVIEW nm{};
  nm.hdr.hwndFrom = App().list;
  nm.hdr.idFrom = IDC_CATALOGUE_LIST;
  nm.hdr.code = code;
  nm.iItem = -1;
  nm.iSubItem = column;
  nm.ptAction = POINT{-100, -100};
  SendMessageA(App().main, WM_NOTIFY, IDC_CATALOGUE_LIST, reinterpret_cast<LPARAM>(&nm));
}

void Report(const char* op, int rows, double ms) {
  std::printf("%s %d %.1f\n", op, rows, ms);
  std::fflush(stdout);
}

// Runs the operation and repaints the list, so that the time includes
// what the user waits for.
template <typename F>
double Timed(F f) {
  double t0 = Now();
  f();
  UpdateWindow(App().list);
  return Now() - t0;
}

bool RunOne(int n, const std::string& work) {
  std::string program = work + "\\program" + std::to_string(n);
  CreateDirectoryA(program.c_str(), nullptr);
  App() = clip::AppState{};
  std::string chosen;
  App().programFolderOverride = program;
  App().chooseListFile = [&chosen](HWND, bool) -> std::optional<std::string> { return chosen; };
  HINSTANCE instance = GetModuleHandleA(nullptr);
  if (!clip::RegisterMainClass(instance)) return false;
  HWND main = clip::CreateMainWindow(instance, SW_SHOWNORMAL);
  if (!main) return false;
  MoveWindow(main, 0, 0, 1000, 700, TRUE);
  Pump();

  std::string input = work + "\\input" + std::to_string(n) + ".csv";
  {
    clip::RowModel rows = MakeRows(n, App().table);
    clip::SaveResult r = clip::SaveListFile(rows, App().table, input, clip::ListFormat::Csv, false);
    if (!r.ok) {
      std::fprintf(stderr, "cannot write %s\n", input.c_str());
      return false;
    }
  }
  chosen = input;
  Report("load_csv", n, Timed([&] { SendMessageA(main, WM_COMMAND, IDM_OPEN, 0); }));
  if (App().rows.Count() != n) {
    std::fprintf(stderr, "loaded %d rows of %d\n", App().rows.Count(), n);
    return false;
  }
  int title = App().table.position[clip::MovieTitle];
  int bytes = App().table.position[clip::FileSizeBT];
  Report("sort_title_asc", n, Timed([&] { Notify(LVN_COLUMNCLICK, title); }));
  Report("sort_title_desc", n, Timed([&] { Notify(LVN_COLUMNCLICK, title); }));
  Report("sort_bytes_asc", n, Timed([&] { Notify(LVN_COLUMNCLICK, bytes); }));
  Report("sort_bytes_desc", n, Timed([&] { Notify(LVN_COLUMNCLICK, bytes); }));
  chosen = work + "\\output" + std::to_string(n) + ".csv";
  Report("save_as_csv", n, Timed([&] { SendMessageA(main, WM_COMMAND, IDM_SAVEAS, 0); }));
  Report("select_1000_click", n, Timed([&] {
           // Every n/1000-th row, spread over the whole list.
           int step = n / 1000;
           for (int i = 0; i < 1000; ++i) {
             LVITEMA item{};
             item.stateMask = item.state = LVIS_SELECTED;
             SendMessageA(App().list, LVM_SETITEMSTATE, static_cast<WPARAM>(i * step),
                          reinterpret_cast<LPARAM>(&item));
           }
           Notify(NM_CLICK, 0);
         }));
  Report("click_totals", n, Timed([&] { Notify(NM_CLICK, 0); }));
  Report("fit_all_columns", n, Timed([&] { SendMessageA(main, WM_COMMAND, IDM_FIT_ALL, 0); }));
  char part0[256] = {};
  SendMessageA(App().status, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(part0));
  if (std::string(part0).find("1000") != 0) {
    std::fprintf(stderr, "unexpected selection totals: %s\n", part0);
    return false;
  }

  SendMessageA(main, WM_COMMAND, IDM_FIND, 0);
  HWND text = GetDlgItem(App().findBar, IDC_FIND_TEXT);
  if (!text) {
    std::fprintf(stderr, "no find bar\n");
    return false;
  }
  auto type = [&](wchar_t c) { SendMessageW(text, WM_CHAR, c, 0); };
  type(L'l');
  type(L'i');
  type(L'v');
  Report("find_key_found", n, Timed([&] { type(L'e'); }));  // "live": in about one title of 8
  type(L'q');
  Report("find_key_nowhere", n, Timed([&] { type(L'x'); }));  // "liveqx": every row looked at
  SendMessageW(text, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"ﾗｲﾌﾞ"));
  Report("find_select_all", n, Timed([&] {
           SendMessageW(App().findBar, WM_COMMAND, MAKEWPARAM(IDC_FIND_ALL, BN_CLICKED), 0);
         }));
  const int matches = static_cast<int>(SendMessageA(App().list, LVM_GETSELECTEDCOUNT, 0, 0));
  SendMessageW(text, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"movie_"));
  Report("find_select_every", n, Timed([&] {
           SendMessageW(App().findBar, WM_COMMAND, MAKEWPARAM(IDC_FIND_ALL, BN_CLICKED), 0);
         }));
  const int every = static_cast<int>(SendMessageA(App().list, LVM_GETSELECTEDCOUNT, 0, 0));
  if (matches < n / 20 || matches > n / 2 || every != n) {
    std::fprintf(stderr, "find selected %d and %d of %d rows\n", matches, every, n);
    return false;
  }
  Report("duplicates_all", n, Timed([&] { SendMessageA(main, WM_COMMAND, IDM_DUP_ALL, 0); }));
  Report("duplicates_but_one", n,
         Timed([&] { SendMessageA(main, WM_COMMAND, IDM_DUP_BUT_ONE, 0); }));
  DestroyWindow(main);
  Pump();
  UnregisterClassW(clip::kMainClassName, instance);
  DeleteFileA(input.c_str());
  DeleteFileA(chosen.c_str());
  DeleteFileA((program + "\\dodedaru.ini").c_str());
  RemoveDirectoryA(program.c_str());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<int> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
  if (sizes.empty()) sizes = {10000, 100000};
  std::string work = TempFolder();
  int status = 0;
  for (int n : sizes)
    if (!RunOne(n, work)) status = 1;
  RemoveDirectoryA(work.c_str());
  return status;
}
