// The display scale a window is shown at. The calls that tell a window's
// own DPI are newer than Windows 7; they are asked for by name, and where
// they are missing the screen's logical pixels stand in.
#pragma once

#include <windows.h>

namespace clip {

// The DPI of the window's monitor (Windows 10 1607 on), else the system's.
int WindowDpi(HWND window);
// The system's DPI: of the primary monitor when the program started.
int SystemDpi();
// A system metric at a DPI (the scroll bar's width, a small icon's size).
int MetricForDpi(int index, int dpi);

}  // namespace clip
