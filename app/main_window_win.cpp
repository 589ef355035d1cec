// The main window: start-up, the window procedure, layout, drops, the
// command line, menu states and geometry.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include "app/app_win.h"
#include "app/bars_win.h"
#include "app/commands_win.h"
#include "app/dpi_win.h"
#include "app/totals_win.h"
#include "app/list_win.h"
#include "app/main_window_win.h"
#include "app/scan_session_win.h"
#include "app/window_state_win.h"
#include "win/dialog_helpers_win.h"
#include "base/wide_win.h"
#include "res/resource.h"

namespace clip {

AppState& App() {
  static AppState state;
  return state;
}

namespace {

// Posted by the window's creation: take the command line's paths.
constexpr UINT kStartMessage = WM_APP + 1;

std::string FolderOfProgramFile() {
  std::wstring path(32768, L'\0');
  const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  std::string p = Narrow(path.c_str(), n < path.size() ? static_cast<int>(n) : 0);
  std::size_t slash = p.find_last_of('\\');
  return slash == std::string::npos ? "." : p.substr(0, slash);
}

std::string FindProgramFolder() {
  AppState& app = App();
  if (!app.programFolderOverride.empty()) return app.programFolderOverride;
  // The first item of the process command line is the quoted program path;
  // when it is missing or names no folder, ask for the program file itself.
  std::string folder = ProgramFolderFromCommandLine(Narrow(GetCommandLineW()));
  DWORD attributes = GetFileAttributesW(WidePath(folder).c_str());
  if (folder == "." || attributes == INVALID_FILE_ATTRIBUTES ||
      !(attributes & FILE_ATTRIBUTE_DIRECTORY))
    folder = FolderOfProgramFile();
  return folder;
}

// The height of a bar that is shown (by its own style: the window itself
// may not be on screen yet).
int ShownHeight(HWND bar) {
  RECT r{};
  if (!bar || !(GetWindowLongPtrW(bar, GWL_STYLE) & WS_VISIBLE) || !GetWindowRect(bar, &r))
    return 0;
  return r.bottom - r.top;
}

void LayOut(HWND main) {
  AppState& app = App();
  const WindowGeometry& g = app.geometry;
  // Both bars keep themselves at their edge with their own height (from
  // their buttons and font); the list takes the room between them.
  if (app.toolbar) MoveWindow(app.toolbar, 0, 0, g.clientWidth, g.clientHeight, TRUE);
  if (app.status) MoveWindow(app.status, 0, 0, g.clientWidth, 0, TRUE);
  const int top = ShownHeight(app.toolbar);
  int listHeight = g.clientHeight - top - ShownHeight(app.status);
  if (listHeight < 0) listHeight = 0;
  if (app.list) MoveWindow(app.list, 0, top, g.clientWidth, listHeight, TRUE);
}

LRESULT OnCreate(HWND hwnd) {
  AppState& app = App();
  app.main = hwnd;
  app.dpi = WindowDpi(hwnd);
  DragAcceptFiles(hwnd, TRUE);
  CreateBars(hwnd);
  CreateCatalogueList(hwnd);
  CreateFonts();
  LayOut(hwnd);
  // The command line's folders are scanned once the window is on screen.
  PostMessageW(hwnd, kStartMessage, 0, 0);
  return 0;
}

LRESULT OnDestroy(HWND hwnd) {
  if (App().commands.view.saveAtExit) {
    CaptureGeometry(hwnd);
    SaveWindowSettings();
  }
  DeleteFonts();
  DeleteToolbarImages();
  PostQuitMessage(0);
  return 0;
}

LRESULT OnSize(HWND hwnd) {
  CaptureGeometry(hwnd);
  LayOut(hwnd);
  LayOutStatusParts();
  return 0;
}

// On a monitor of another scale: fonts, tool bar images, columns and bars
// at the new DPI, in the rectangle the system suggests for it.
LRESULT OnDpiChanged(HWND hwnd, int dpi, const RECT& suggested) {
  AppState& app = App();
  const int old = app.dpi;
  app.dpi = dpi;
  if (dpi != old) {
    CreateFonts();
    SizeToolbar();
    RescaleColumns(old, dpi);
  }
  SetWindowPos(hwnd, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  // The same size sends no WM_SIZE: the bars' new heights are laid out here.
  OnSize(hwnd);
  InvalidateRect(hwnd, nullptr, TRUE);
  return 0;
}

// The close box during a scan stops the scan; the window closes after it.
LRESULT OnClose(HWND hwnd) {
  AppState& app = App();
  if (app.commands.scanning) {
    app.stopRequested = true;
    app.closeAfterScan = true;
    return 0;
  }
  DestroyWindow(hwnd);
  return 0;
}

LRESULT OnCommand(HWND hwnd, WPARAM wp) {
  HandleCommand(hwnd, LOWORD(wp));
  return 0;
}

int TooltipStringFor(UINT_PTR command) {
  switch (command) {
    case IDM_NEW: return IDS_TIP_NEW;
    case IDM_OPEN: return IDS_TIP_OPEN;
    case IDM_SAVEAS: return IDS_TIP_SAVEAS;
    case IDM_SCAN: return IDS_TIP_SCAN;
    case IDM_CUT: return IDS_TIP_CUT;
    case IDM_COPY: return IDS_TIP_COPY;
    case IDM_PASTE: return IDS_TIP_PASTE;
    default: return 0;
  }
}

LRESULT OnNotify(HWND hwnd, WPARAM wp, LPARAM lp) {
  NMHDR* header = reinterpret_cast<NMHDR*>(lp);
  AppState& app = App();
  if (header->code == TTN_GETDISPINFOW) {
    auto* info = reinterpret_cast<NMTTDISPINFOW*>(lp);
    if (int id = TooltipStringFor(header->idFrom)) {
      info->hinst = app.instance;
      info->lpszText = MAKEINTRESOURCEW(id);
    }
    return 0;
  }
  if (app.list && header->hwndFrom == app.list) {
    switch (header->code) {
      case NM_RCLICK: ShowContextMenu(hwnd); return 0;
      case NM_DBLCLK: EditSelectedRow(hwnd); return 0;
      case NM_CLICK: {
        const LRESULT result = OnListNotify(hwnd, header);
        UpdateSelectionTotals(hwnd);
        return result;
      }
      default: return OnListNotify(hwnd, header);
    }
  }
  return DefWindowProcW(hwnd, WM_NOTIFY, wp, lp);
}

// Adds the paths of a drop or of the command line: a folder is scanned, a
// movie file goes to the row of its item number. Then the tool bar and the
// totals are brought up to date for the last path.
void AddPaths(const std::vector<std::string>& paths,
              PathKind (*classify)(std::uint32_t attributes, std::string_view path, bool modern)) {
  AppState& app = App();
  HCURSOR previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
  std::string last;
  for (std::size_t i = 0; i < paths.size(); ++i) {
    const std::string& path = paths[i];
    if (path.empty()) continue;
    last = path;
    bool stopped = false;
    switch (classify(GetFileAttributesW(WidePath(path).c_str()), path,
                     app.settings.modernFormats == 1)) {
      case PathKind::Folder: stopped = !ScanIntoList(path); break;
      case PathKind::Movie:
        AddMovieRowAt(path, RowIndexForItem(static_cast<int>(i), app.rows.Count()));
        break;
      case PathKind::Ignored: break;
    }
    if (stopped) break;  // Esc stops the rest of the paths too
  }
  SetCursor(previous ? previous : LoadCursor(nullptr, IDC_ARROW));
  ApplyEvent(ShellEvent::DropOrCommandLine);
  if (!last.empty()) ShowTotalsFor(last);
  if (app.stopRequested) NoteScanStopped();
  ReportUnreadableFolders(App().main);
}

LRESULT OnDropFiles(HDROP drop) {
  if (App().commands.scanning) {  // refused while a scan runs
    DragFinish(drop);
    return 0;
  }
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  std::vector<std::string> paths;
  for (UINT i = 0; i < count; ++i) {
    // The whole path, however long: a path cut short could name another file.
    std::wstring path(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
    path.resize(DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
    paths.push_back(path.empty() ? std::string() : FullPath(Narrow(path)));
  }
  DragFinish(drop);
  AddPaths(paths, ClassifyDroppedPath);
  return 0;
}

}  // namespace

void ProcessCommandLine(HWND) {
  AppState& app = App();
  // The program's command line split as Windows splits it: a path in
  // quotes is one argument, spaces and all. The first is the program.
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(Wide(app.commandLine).c_str(), &count);
  if (!argv) return;
  std::vector<std::string> paths;
  for (int i = 1; i < count; ++i) {
    const std::string item = Narrow(argv[i]);
    paths.push_back(item.empty() ? item : FullPath(PathFromStartFolder(app.startFolder, item)));
  }
  LocalFree(argv);
  if (!paths.empty()) AddPaths(paths, ClassifyCommandLinePath);
}

bool RegisterMainClass(HINSTANCE instance) {
  AppState& app = App();
  app.settings.programFolder = FindProgramFolder();
  std::wstring start(32768, L'\0');
  const DWORD n = GetCurrentDirectoryW(static_cast<DWORD>(start.size()), start.data());
  app.startFolder = n > 0 && n < start.size() ? Narrow(start.c_str(), static_cast<int>(n)) : "";
  SetCurrentDirectoryW(Wide(app.settings.programFolder).c_str());
  app.settings.iniPath = app.settings.programFolder + "\\" + kIniFileName;
  app.profile = std::make_unique<IniFile>(app.settings.iniPath);
  LoadSettings(*app.profile, app.settings);
  app.table = CategoryTable::FromValues(app.settings.categoryValues);
  app.commands = CommandState{};
  app.commands.view = app.settings.window.view;
  if (!app.accel) app.accel = LoadAcceleratorsW(instance, L"ACCEL");
  if (!app.findAccel) app.findAccel = LoadAcceleratorsW(instance, L"FINDACCEL");

  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = MainWindowProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(instance, L"ICON");
  wc.hIconSm =
      static_cast<HICON>(LoadImageW(instance, L"ICON", IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                    GetSystemMetrics(SM_CYSMICON), 0));
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  wc.lpszMenuName = L"TOP_MENUS";
  wc.lpszClassName = kMainClassName;
  return RegisterClassExW(&wc) != 0;
}

HWND CreateMainWindow(HINSTANCE instance, int show) {
  AppState& app = App();
  // The caption holds a title of any length.
  std::string caption = NewFileCaption(app.settings.title);
  app.instance = instance;
  HWND hwnd = CreateWindowExW(0, kMainClassName, Wide(caption).c_str(), WS_OVERLAPPEDWINDOW, 16, 16,
                              320, 240, nullptr, nullptr, instance, nullptr);
  if (!hwnd) return nullptr;
  app.main = hwnd;
  ApplyWindowSettings(hwnd);
  ShowWindow(hwnd, show);
  UpdateWindow(hwnd);
  return hwnd;
}

bool RouteMessage(MSG& msg) {
  AppState& app = App();
  // In the find bar its text box keeps Del, Ctrl+C, Ctrl+V and the other
  // editing keys; only the find keys are commands there.
  const bool inFindBar = app.findBar && (msg.hwnd == app.findBar || IsChild(app.findBar, msg.hwnd));
  const HACCEL keys = inFindBar ? app.findAccel : app.accel;
  if (keys && app.main && TranslateAcceleratorW(app.main, keys, &msg)) return true;
  return inFindBar && IsDialogMessageW(app.findBar, &msg);
}

int RunMessageLoop() {
  MSG msg{};
  for (;;) {
    BOOL r = GetMessageW(&msg, nullptr, 0, 0);
    if (r == 0) break;
    if (r == -1) continue;
    if (RouteMessage(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE: return OnCreate(hwnd);
    case WM_DESTROY: return OnDestroy(hwnd);
    case WM_MOVE: CaptureGeometry(hwnd); return 0;
    case WM_SIZE: return OnSize(hwnd);
    case WM_DPICHANGED: return OnDpiChanged(hwnd, HIWORD(wp), *reinterpret_cast<const RECT*>(lp));
    case WM_NOTIFY: return OnNotify(hwnd, wp, lp);
    case WM_COMMAND: return OnCommand(hwnd, wp);
    case WM_DROPFILES: return OnDropFiles(reinterpret_cast<HDROP>(wp));
    case WM_CLOSE: return OnClose(hwnd);
    case kStartMessage: ProcessCommandLine(hwnd); return 0;
    default: return DefWindowProcW(hwnd, msg, wp, lp);
  }
}

}  // namespace clip
