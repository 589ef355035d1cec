// The window state kept in [MainSeting]: rectangle, bars, grid lines and
// whether it is saved at exit.
#include <windows.h>

#include <climits>
#include <string>

#include "app/app_win.h"
#include "app/shell_win.h"
#include "res/resource.h"

namespace clip {

namespace {

constexpr int kDefaultLeft = 64, kDefaultTop = 64, kDefaultWidth = 320, kDefaultHeight = 240;

void WriteInt(Profile& profile, const char* key, int value) {
  profile.WriteString("MainSeting", key, std::to_string(value));
}

}  // namespace

RECT UsableWindowRect(int left, int top, int width, int height) {
  // Sizes from a hand-edited file may be anything: the edges are added in
  // 64 bits, and an empty rectangle or one whose edges leave the int range
  // is not used. A window closed while minimised reports -32000; a
  // rectangle that no monitor shows would leave the window out of reach.
  const long long right = static_cast<long long>(left) + width;
  const long long bottom = static_cast<long long>(top) + height;
  RECT r{left, top, left, top};
  if (width > 0 && height > 0 && right <= INT_MAX && bottom <= INT_MAX) {
    r.right = static_cast<LONG>(right);
    r.bottom = static_cast<LONG>(bottom);
    if (MonitorFromRect(&r, MONITOR_DEFAULTTONULL) != nullptr) return r;
  }
  return RECT{kDefaultLeft, kDefaultTop, kDefaultLeft + kDefaultWidth,
              kDefaultTop + kDefaultHeight};
}

void ApplyWindowSettings(HWND main) {
  AppState& app = App();
  Profile& profile = *app.profile;
  app.statusBarHeight = GetSystemMetrics(SM_CXHSCROLL) + 2;
  if (profile.GetInt("MainSeting", "ToolBar", 1) != 1)
    SendMessageA(main, WM_COMMAND, IDM_TOOLBAR, 0);
  if (profile.GetInt("MainSeting", "StatusBar", 1) != 1)
    SendMessageA(main, WM_COMMAND, IDM_STATUSBAR, 0);
  if (profile.GetInt("MainSeting", "GridLine", 1) != 1)
    SendMessageA(main, WM_COMMAND, IDM_GRIDLINE, 0);
  int endSet = profile.GetInt("MainSeting", "EndSet", 1);
  SetMenuState(main, IDM_ENDSET, endSet);
  RECT r = UsableWindowRect(profile.GetInt("MainSeting", "Left", kDefaultLeft),
                            profile.GetInt("MainSeting", "Top", kDefaultTop),
                            profile.GetInt("MainSeting", "Width", kDefaultWidth),
                            profile.GetInt("MainSeting", "Height", kDefaultHeight));
  MoveWindow(main, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
}

void SaveWindowSettings(HWND main) {
  AppState& app = App();
  Profile& profile = *app.profile;
  const WindowGeometry& g = app.geometry;
  WriteInt(profile, "Left", g.left);
  WriteInt(profile, "Top", g.top);
  WriteInt(profile, "Width", g.width);
  WriteInt(profile, "Height", g.height);
  WriteInt(profile, "ToolBar", GetMenuState(main, IDM_TOOLBAR));
  WriteInt(profile, "StatusBar", GetMenuState(main, IDM_STATUSBAR));
  WriteInt(profile, "GridLine", GetMenuState(main, IDM_GRIDLINE));
  profile.WriteString("MainSeting", "LoadPath", app.settings.loadDir);
  profile.WriteString("MainSeting", "SavePath", app.settings.saveDir);
}

}  // namespace clip
