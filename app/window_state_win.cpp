// The window state kept in [MainSeting]: rectangle, bars, grid lines and
// whether it is saved at exit. The file keeps the window's size at 96 DPI,
// so that it reads the same on displays of every scale; the position is
// the screen's.
#include <windows.h>

#include <climits>
#include <string>

#include "app/window_state_win.h"
#include "app/app_win.h"
#include "app/bars_win.h"

namespace clip {

namespace {

// Two thirds of the primary monitor's work area, centred on it.
RECT DefaultPlacement() {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info))
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &info.rcWork, 0);
  const RECT& work = info.rcWork;
  if (work.right <= work.left || work.bottom <= work.top) return RECT{64, 64, 384, 304};
  const ScreenRect r = DefaultWindowRect({work.left, work.top, work.right, work.bottom});
  return RECT{r.left, r.top, r.right, r.bottom};
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
  return DefaultPlacement();
}

void ShowBars(HWND main) {
  AppState& app = App();
  const ViewState& view = app.commands.view;
  if (app.toolbar) ShowWindow(app.toolbar, view.toolbar ? SW_SHOW : SW_HIDE);
  if (app.status) ShowWindow(app.status, view.statusBar ? SW_SHOW : SW_HIDE);
  SendMessageW(main, WM_SIZE, 0, 0);
}

void ApplyWindowSettings(HWND main) {
  AppState& app = App();
  ShowBars(main);
  ShowCommandState();
  const WindowState& w = app.settings.window;
  // The saved size is at 96 DPI and is shown at the DPI of the monitor the
  // window is on; when the move takes it to a monitor of another scale, it
  // is sized again for that one.
  for (int tries = 0; tries < 2; ++tries) {
    const int dpi = app.dpi;
    const RECT r = w.saved ? UsableWindowRect(w.left, w.top, ScaleToDpi(w.width, dpi),
                                              ScaleToDpi(w.height, dpi))
                           : DefaultPlacement();
    MoveWindow(main, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
    if (app.dpi == dpi) break;
  }
}

void SaveWindowSettings() {
  AppState& app = App();
  WindowState state;
  const WindowGeometry& g = app.geometry;
  state.left = g.left;
  state.top = g.top;
  state.width = ScaleFromDpi(g.width, app.dpi);
  state.height = ScaleFromDpi(g.height, app.dpi);
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
