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

  std::string pathBuffer;       // the path the file dialogs return; the HTML page goes here
  std::string currentListFile;  // the list file last opened or saved as
  std::string savedTotalsText = "Non Scanning...";
  COLORREF mainColor = 0, listFore = 0, listBack = 0xffffff;
  COLORREF lastPickedColour = 0;  // the colour last accepted in any chooser
};

AppState& App();

// Start-up steps; tests call them to create the real main window.
bool RegisterMainClass(HINSTANCE instance);
HWND CreateMainWindow(HINSTANCE instance, int show);
int RunMessageLoop();
LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

// Services of the main window for the dialogs.
void CenterOnMainWindow(HWND dialog);           // keeps the dialog's size
int FirstSelectedRow();                         // -1 when no row is selected
void RefreshRows();                             // after rows were added or removed
void RefreshRow(int row);                       // after one row's cells or check changed
void ApplyListColours(COLORREF fore, COLORREF back);
void CreateFonts();                             // remakes the main and list fonts

}  // namespace clip
