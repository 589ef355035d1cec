// The window state kept in [MainSeting]: rectangle, bars, grid lines and
// whether it is saved at exit.
#include <windows.h>

#include <climits>
#include <string>

#include "app/window_state_win.h"
#include "app/app_win.h"
#include "app/bars_win.h"

namespace clip {

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
  const WindowState d;
  return RECT{d.left, d.top, d.left + d.width, d.top + d.height};
}

void ShowBars(HWND main) {
  AppState& app = App();
  const ViewState& view = app.commands.view;
  if (app.toolbar) ShowWindow(app.toolbar, view.toolbar ? SW_SHOW : SW_HIDE);
  if (app.status) ShowWindow(app.status, view.statusBar ? SW_SHOW : SW_HIDE);
  app.toolbarHeight = view.toolbar ? 28 : 0;
  app.statusBarHeight = view.statusBar ? GetSystemMetrics(SM_CXHSCROLL) + 2 : 0;
  SendMessageW(main, WM_SIZE, 0, 0);
}

void ApplyWindowSettings(HWND main) {
  AppState& app = App();
  ShowBars(main);
  ShowCommandState();
  const WindowState& w = app.settings.window;
  RECT r = UsableWindowRect(w.left, w.top, w.width, w.height);
  MoveWindow(main, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
}

void SaveWindowSettings() {
  AppState& app = App();
  WindowState state;
  const WindowGeometry& g = app.geometry;
  state.left = g.left;
  state.top = g.top;
  state.width = g.width;
  state.height = g.height;
  state.view = app.commands.view;
  SaveWindowState(*app.profile, state, app.settings.loadDir, app.settings.saveDir);
}

void CaptureGeometry(HWND main) {
  RECT w{}, c{};
  GetWindowRect(main, &w);
  GetClientRect(main, &c);
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

}  // namespace clip
