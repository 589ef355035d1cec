// Process-wide state of the Windows program: the windows, the settings
// read at start, the category table and the row model the list shows.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "catalogue/categories.h"
#include "catalogue/row_model.h"
#include "settings/profile_win.h"
#include "settings/settings.h"

namespace clip {

constexpr const char* kMainClassName = "VidaRarevov";

struct AppState {
  HINSTANCE instance = nullptr;
  HWND main = nullptr;
  HWND list = nullptr;
  HWND toolbar = nullptr;
  HWND status = nullptr;
  HMENU menu = nullptr;
  HACCEL accel = nullptr;
  std::string commandLine;  // the arguments after the program path
  Settings settings;
  std::unique_ptr<IniProfile> profile;
  CategoryTable table;
  RowModel rows;
};

AppState& App();

// Start-up steps; tests call them to create the real main window.
bool RegisterMainClass(HINSTANCE instance);
HWND CreateMainWindow(HINSTANCE instance, int show);
int RunMessageLoop();
LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

}  // namespace clip
