// Process-wide state of the Windows program: the windows, the settings
// read at start, the category table and the row model the list shows.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "app/shell.h"
#include "catalogue/categories.h"
#include "catalogue/row_model.h"
#include "catalogue/sort.h"
#include "settings/profile_win.h"
#include "settings/settings.h"

namespace clip {

constexpr const char* kMainClassName = "VidaRarevov";

// The last captured rectangles of a window: screen position and size of
// the window, and its client rectangle.
struct WindowGeometry {
  int left = 0, top = 0, width = 0, height = 0;
  int clientLeft = 0, clientTop = 0, clientWidth = 0, clientHeight = 0;
};

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

  // Shell state.
  SortState sort;
  RowClipboard clipboard;
  std::string scanFolder;  // the folder last chosen for scanning
  WindowGeometry geometry;
  int toolbarHeight = 28;
  int statusBarHeight = 0;  // set when the saved window state is applied
  HFONT mainFont = nullptr;
  HFONT listFont = nullptr;

  // Set before RegisterMainClass to use another folder for the program
  // folder (and so for dodedaru.ini) than the one the program file is in.
  std::string programFolderOverride;
  // When set, the open and save commands ask this instead of showing the
  // file dialog: it gets the owner and whether it is the save dialog, and
  // returns false for a cancelled choice or true with the chosen path.
  std::function<bool(HWND owner, bool save, std::string& path)> chooseListFile;
};

AppState& App();

// Start-up steps; tests call them to create the real main window.
bool RegisterMainClass(HINSTANCE instance);
HWND CreateMainWindow(HINSTANCE instance, int show);
int RunMessageLoop();
LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

// Services of the main window for the dialogs.
void CenterOnMainWindow(HWND dialog);  // keeps the dialog's size
int FirstSelectedRow();                // -1 when no row is selected
void RefreshRows();                    // after rows were added or removed
void RefreshRow(int row);              // after one row's cells or check changed
void ApplyListColours(COLORREF fore, COLORREF back);
void CreateFonts();  // remakes the main and list fonts

// Menu item states of the main menu (codes of MenuStateCode).
int GetMenuState(HWND window, int command);
void SetMenuState(HWND window, int command, int code);
// Reads the window's screen and client rectangles into the geometry.
void CaptureGeometry(HWND window);

}  // namespace clip
