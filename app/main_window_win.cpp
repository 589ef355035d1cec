#include "app/app_win.h"

#include "res/resource.h"

namespace clip {

AppState& App() {
  static AppState state;
  return state;
}

bool RegisterMainClass(HINSTANCE instance) {
  AppState& app = App();
  app.settings.programFolder = ProgramFolderFromCommandLine(GetCommandLineA());
  if (app.settings.programFolder == ".") {
    // Started without a quoted program path: ask the platform for the folder.
    char path[MAX_PATH * 4];
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string p(path, n);
    std::size_t slash = p.find_last_of('\\');
    app.settings.programFolder = slash == std::string::npos ? "." : p.substr(0, slash);
  }
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
  wc.hIconSm = LoadIconA(instance, "ICON");
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  wc.lpszMenuName = "TOP_MENUS";
  wc.lpszClassName = kMainClassName;
  return RegisterClassExA(&wc) != 0;
}

HWND CreateMainWindow(HINSTANCE instance, int show) {
  AppState& app = App();
  app.instance = instance;
  std::string caption = NewFileCaption(app.settings.title);
  HWND hwnd = CreateWindowExA(0, kMainClassName, caption.c_str(), WS_OVERLAPPEDWINDOW, 16, 16, 320,
                              240, nullptr, nullptr, instance, nullptr);
  if (!hwnd) return nullptr;
  app.main = hwnd;
  ShowWindow(hwnd, show);
  UpdateWindow(hwnd);
  return hwnd;
}

int RunMessageLoop() {
  MSG msg;
  for (;;) {
    BOOL r = GetMessageA(&msg, nullptr, 0, 0);
    if (r == 0) break;
    if (App().accel && TranslateAcceleratorA(App().main, App().accel, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE:
      App().menu = GetMenu(hwnd);
      return 0;
    case WM_COMMAND:
      if (LOWORD(wp) == IDM_EXIT) SendMessageA(hwnd, WM_CLOSE, 0, 0);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(hwnd, msg, wp, lp);
  }
}

}  // namespace clip
