// The main window's saved state: its rectangle, fonts and bars.
#pragma once

#include <windows.h>

namespace clip {

void ApplyWindowSettings(HWND main);
void SaveWindowSettings();
// Reads the main window's screen and client rectangles into the geometry.
void CaptureGeometry(HWND main);
// The saved rectangle (its size at the window's DPI), or the default
// placement when it lies on no monitor: two thirds of the primary
// monitor's work area, centred on it.
RECT UsableWindowRect(int left, int top, int width, int height);
// Shows or hides a bar as the view state says and lays the window out.
void ShowBars(HWND main);

}  // namespace clip
