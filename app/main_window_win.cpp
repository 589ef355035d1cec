// The main window: start-up, the window procedure, layout, drops, the
// command line, menu states and geometry.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include "app/app_win.h"
#include "app/dialogs_win.h"
#include "app/shell_win.h"
#include "res/resource.h"

namespace clip {

AppState& App() {
  static AppState state;
  return state;
}

namespace {

std::string FolderOfProgramFile() {
  char path[MAX_PATH * 4];
  DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
  std::string p(path, n < sizeof path ? n : 0);
  std::size_t slash = p.find_last_of('\\');
  return slash == std::string::npos ? "." : p.substr(0, slash);
}

std::string FindProgramFolder() {
  AppState& app = App();
  if (!app.programFolderOverride.empty()) return app.programFolderOverride;
  // The first item of the process command line is the quoted program path;
  // when it is missing or names no folder, ask for the program file itself.
  std::string cmd = GetCommandLineA();
  std::string folder = ProgramFolderFromCommandLine(cmd);
  DWORD attributes = GetFileAttributesA(folder.c_str());
  if (folder == "." || attributes == INVALID_FILE_ATTRIBUTES ||
      !(attributes & FILE_ATTRIBUTE_DIRECTORY))
    folder = FolderOfProgramFile();
  return folder;
}

void LayOut(HWND main) {
  AppState& app = App();
  const WindowGeometry& g = app.geometry;
  int listHeight = g.clientHeight - app.toolbarHeight - app.statusBarHeight;
  if (listHeight < 0) listHeight = 0;
  if (app.list) MoveWindow(app.list, 0, app.toolbarHeight, g.clientWidth, listHeight, TRUE);
  // Both bars keep themselves at their edge with their own height.
  if (app.toolbar) MoveWindow(app.toolbar, 0, 0, g.clientWidth, g.clientHeight, TRUE);
  if (app.status) MoveWindow(app.status, 0, 0, g.clientWidth, 0, TRUE);
}

LRESULT OnCreate(HWND hwnd) {
  AppState& app = App();
  app.main = hwnd;
  app.menu = GetMenu(hwnd);
  DragAcceptFiles(hwnd, TRUE);
  CreateBars(hwnd);
  CreateCatalogueList(hwnd);
  CreateFonts();
  LayOut(hwnd);
  ProcessCommandLine(hwnd);
  return 0;
}

LRESULT OnDestroy(HWND hwnd) {
  if (GetMenuState(hwnd, IDM_ENDSET) == kMenuChecked) {
    CaptureGeometry(hwnd);
    SaveWindowSettings(hwnd);
  }
  DeleteFonts();
  PostQuitMessage(0);
  return 0;
}

LRESULT OnSize(HWND hwnd) {
  CaptureGeometry(hwnd);
  LayOut(hwnd);
  return 0;
}

LRESULT OnCommand(HWND hwnd, WPARAM wp) {
  HandleCommand(hwnd, LOWORD(wp));
  // A dialog that centred itself has overwritten the geometry meanwhile.
  CaptureGeometry(hwnd);
  return 0;
}

int TooltipStringFor(UINT_PTR command) {
  switch (command) {
    case IDM_NEW:
      return IDS_TIP_NEW;
    case IDM_OPEN:
      return IDS_TIP_OPEN;
    case IDM_SAVEAS:
      return IDS_TIP_SAVEAS;
    case IDM_SCAN:
      return IDS_TIP_SCAN;
    case IDM_CUT:
      return IDS_TIP_CUT;
    case IDM_COPY:
      return IDS_TIP_COPY;
    case IDM_PASTE:
      return IDS_TIP_PASTE;
    default:
      return 0;
  }
}

LRESULT OnNotify(HWND hwnd, WPARAM wp, LPARAM lp) {
  NMHDR* header = reinterpret_cast<NMHDR*>(lp);
  AppState& app = App();
  if (header->code == TTN_GETDISPINFOA) {
    auto* info = reinterpret_cast<NMTTDISPINFOA*>(lp);
    if (int id = TooltipStringFor(header->idFrom)) {
      info->hinst = app.instance;
      info->lpszText = MAKEINTRESOURCEA(id);
    }
    return 0;
  }
  if (header->code == TTN_GETDISPINFOW) {
    auto* info = reinterpret_cast<NMTTDISPINFOW*>(lp);
    if (int id = TooltipStringFor(header->idFrom)) {
      info->hinst = app.instance;
      info->lpszText = MAKEINTRESOURCEW(id);
    }
    return 0;
  }
  if (app.list && header->hwndFrom == app.list) return OnListNotify(hwnd, header);
  return DefWindowProcA(hwnd, WM_NOTIFY, wp, lp);
}

LRESULT OnDropFiles(HWND hwnd, HDROP drop) {
  AppState& app = App();
  UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
  HCURSOR previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
  std::string last;
  for (UINT i = 0; i < count; ++i) {
    // The whole path, however long: a path cut short could name another file.
    std::string path(DragQueryFileA(drop, i, nullptr, 0) + 1, '\0');
    path.resize(DragQueryFileA(drop, i, path.data(), static_cast<UINT>(path.size())));
    last = path;
    DWORD attributes = GetFileAttributesA(path.c_str());
    switch (ClassifyDroppedPath(attributes, last)) {
      case PathKind::Folder:
        ScanIntoList(last);
        break;
      case PathKind::Movie:
        AddMovieRowAt(last, RowIndexForItem(static_cast<int>(i), app.rows.Count()));
        break;
      case PathKind::Ignored:
        break;
    }
  }
  SetCursor(previous ? previous : LoadCursor(nullptr, IDC_ARROW));
  ApplyToolbarChange(StatesAfter(ShellEvent::DropOrCommandLine).toolbar);
  if (count > 0) ShowTotalsFor(last);
  DragFinish(drop);
  return 0;
}

}  // namespace

void ProcessCommandLine(HWND main) {
  AppState& app = App();
  if (app.commandLine.empty()) return;
  HCURSOR previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
  std::vector<std::string> items = SplitCommandLine(app.commandLine);
  std::string last;
  for (std::size_t i = 0; i < items.size(); ++i) {
    const std::string& path = items[i];
    if (path.empty()) continue;
    last = path;
    DWORD attributes = GetFileAttributesA(path.c_str());
    switch (ClassifyCommandLinePath(attributes, path)) {
      case PathKind::Folder:
        ScanIntoList(path);
        break;
      case PathKind::Movie:
        AddMovieRowAt(path, RowIndexForItem(static_cast<int>(i), app.rows.Count()));
        break;
      case PathKind::Ignored:
        break;
    }
  }
  SetCursor(previous ? previous : LoadCursor(nullptr, IDC_ARROW));
  ApplyToolbarChange(StatesAfter(ShellEvent::DropOrCommandLine).toolbar);
  if (!last.empty()) ShowTotalsFor(last);
}

bool RegisterMainClass(HINSTANCE instance) {
  AppState& app = App();
  app.settings.programFolder = FindProgramFolder();
  SetCurrentDirectoryA(app.settings.programFolder.c_str());
  app.settings.iniPath = app.settings.programFolder + "\\" + kIniFileName;
  app.profile = std::make_unique<IniProfile>(app.settings.iniPath);
  LoadSettings(*app.profile, app.settings);

  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = MainWindowProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconA(instance, "ICON");
  wc.hIconSm =
      static_cast<HICON>(LoadImageA(instance, "ICON", IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                    GetSystemMetrics(SM_CYSMICON), 0));
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  wc.lpszMenuName = "TOP_MENUS";
  wc.lpszClassName = kMainClassName;
  return RegisterClassExA(&wc) != 0;
}

HWND CreateMainWindow(HINSTANCE instance, int show) {
  AppState& app = App();
  // The caption holds a title of any length.
  std::string caption = NewFileCaption(app.settings.title);
  app.instance = instance;
  HWND hwnd = CreateWindowExA(0, kMainClassName, caption.c_str(), WS_OVERLAPPEDWINDOW, 16, 16, 320,
                              240, nullptr, nullptr, instance, nullptr);
  if (!hwnd) return nullptr;
  app.main = hwnd;
  ApplyWindowSettings(hwnd);
  ShowWindow(hwnd, show);
  UpdateWindow(hwnd);
  return hwnd;
}

int RunMessageLoop() {
  MSG msg{};
  for (;;) {
    BOOL r = GetMessageA(&msg, nullptr, 0, 0);
    if (r == 0) break;
    if (r == -1) continue;
    if (App().accel && TranslateAcceleratorA(App().main, App().accel, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE:
      return OnCreate(hwnd);
    case WM_DESTROY:
      return OnDestroy(hwnd);
    case WM_MOVE:
      CaptureGeometry(hwnd);
      return 0;
    case WM_SIZE:
      return OnSize(hwnd);
    case WM_NOTIFY:
      return OnNotify(hwnd, wp, lp);
    case WM_COMMAND:
      return OnCommand(hwnd, wp);
    case WM_DROPFILES:
      return OnDropFiles(hwnd, reinterpret_cast<HDROP>(wp));
    default:
      return DefWindowProcA(hwnd, msg, wp, lp);
  }
}

int GetMenuState(HWND window, int command) {
  AppState& app = App();
  if (window) app.menu = GetMenu(window);
  UINT state = ::GetMenuState(app.menu, static_cast<UINT>(command), MF_BYCOMMAND);
  if (state == static_cast<UINT>(-1)) return 0;
  return MenuStateCodeFromBits(state);
}

void SetMenuState(HWND window, int command, int code) {
  AppState& app = App();
  if (window) app.menu = GetMenu(window);
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_STATE;
  info.fState = MenuBitsForCode(code);
  SetMenuItemInfoA(app.menu, static_cast<UINT>(command), FALSE, &info);
}

void CaptureGeometry(HWND window) {
  RECT w{}, c{};
  GetWindowRect(window, &w);
  GetClientRect(window, &c);
  WindowGeometry& g = App().geometry;
  g.left = w.left;
  g.top = w.top;
  g.width = w.right - w.left;
  g.height = w.bottom - w.top;
  g.clientLeft = c.left;
  g.clientTop = c.top;
  g.clientWidth = c.right;
  g.clientHeight = c.bottom;
}

void CenterOnMainWindow(HWND dialog) {
  AppState& app = App();
  CaptureGeometry(app.main);
  WindowGeometry main = app.geometry;
  CaptureGeometry(dialog);
  const WindowGeometry& d = app.geometry;
  MoveWindow(dialog, main.left + (main.width - d.width) / 2,
             main.top + (main.height - d.height) / 2, d.width, d.height, TRUE);
}

}  // namespace clip
