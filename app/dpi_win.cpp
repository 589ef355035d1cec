#include "app/dpi_win.h"

namespace clip {

namespace {

template <class Function>
Function User32(const char* name) {
  static HMODULE user = GetModuleHandleW(L"user32.dll");
  return user ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user, name)))
              : nullptr;
}

using DpiForWindow = UINT(WINAPI*)(HWND);
using DpiForSystem = UINT(WINAPI*)();
using MetricsForDpi = int(WINAPI*)(int, UINT);

}  // namespace

int SystemDpi() {
  static const auto forSystem = User32<DpiForSystem>("GetDpiForSystem");
  if (forSystem) return static_cast<int>(forSystem());
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

int WindowDpi(HWND window) {
  static const auto forWindow = User32<DpiForWindow>("GetDpiForWindow");
  const UINT dpi = forWindow && window ? forWindow(window) : 0;
  return dpi ? static_cast<int>(dpi) : SystemDpi();
}

int MetricForDpi(int index, int dpi) {
  static const auto forDpi = User32<MetricsForDpi>("GetSystemMetricsForDpi");
  if (forDpi) return forDpi(index, static_cast<UINT>(dpi));
  // The system's metrics are at its own DPI.
  return MulDiv(GetSystemMetrics(index), dpi, SystemDpi());
}

}  // namespace clip
