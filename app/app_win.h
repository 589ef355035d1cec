// The state of the Windows program: the windows, the settings read at
// start, the category table and the row model the list shows. This is the
// program's only owner of state; the dialogs and movie actions of the other
// folders get what they need as parameters and hand back their results.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/command_states.h"
#include "app/main_rules.h"
#include "catalogue/categories.h"
#include "catalogue/find.h"
#include "catalogue/row_model.h"
#include "catalogue/sort.h"
#include "scan/scan.h"
#include "settings/ini_file.h"
#include "settings/settings.h"

namespace clip {

constexpr const wchar_t* kMainClassName = L"VidaRarevov";

// The last captured rectangles of the main window: screen position and
// size of the window, and its client rectangle.
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
  HACCEL accel = nullptr;
  HACCEL findAccel = nullptr;  // the keys that still work while the find bar has the focus
  HWND findBar = nullptr;      // the modeless find bar, while it is open
  std::string commandLine;     // the whole command line, the program first
  std::string startFolder;     // the current folder the program was started in
  Settings settings;
  std::unique_ptr<IniFile> profile;
  CategoryTable table;
  RowModel rows;

  std::string currentListFile;  // the list file last opened or saved as
  std::string lastListPath;     // the open and save dialogs start on this name
  std::string savedTotalsText = "Non Scanning...";
  std::array<std::string, 4> statusTexts;  // what each status bar part shows

  // What the menus and the tool bar offer, and the view switches.
  CommandState commands;
  SortState sort;
  RowClipboard clipboard;
  FindQuery lastFind;                          // what the find bar last looked for; F3 looks again
  std::string scanFolder;                      // the folder last chosen for scanning
  std::vector<std::string> unreadableFolders;  // of the scans since the last report
  std::vector<std::string> unansweredFiles;    // files a stopped scan left unread
  // A scan runs with the window alive (commands.scanning): commands that
  // change the rows are refused, Esc or the close box stop it after the
  // file in hand.
  bool stopRequested = false;
  bool closeAfterScan = false;
  // Told the number of files read after each one (tests use it to act in
  // the middle of a scan).
  std::function<void(int filesRead)> onScanProgress;
  // When set, a scan reads through the file system this makes instead of
  // Win32's own (tests use it for a share that stops answering).
  std::function<std::unique_ptr<FileSystem>()> scanFiles;
  WindowGeometry geometry;
  // The main window's DPI: taken when it is made and when it goes to a
  // monitor of another scale. Every size the window sets is scaled by it.
  int dpi = 96;
  HIMAGELIST toolbarImages = nullptr;  // the tool bar's images at that DPI
  HFONT mainFont = nullptr;
  HFONT listFont = nullptr;

  // The colour choosers: the colour last accepted in any of them, and each
  // dialog's own custom colours, kept for the run.
  COLORREF lastPickedColour = 0;
  COLORREF customizeColours[16] = {};
  COLORREF htmlColours[16] = {};

  // Set before RegisterMainClass to use another folder for the program
  // folder (and so for dodedaru.ini) than the one the program file is in.
  std::string programFolderOverride;
  // When set, the open and save commands ask this instead of showing the
  // file dialog: it gets the owner and whether it is the save dialog, and
  // returns the chosen path or nothing for a cancelled choice.
  std::function<std::optional<std::string>(HWND owner, bool save)> chooseListFile;
  // When set, the rescan of a chosen folder asks this instead of showing
  // the folder browser; nothing for a cancelled choice.
  std::function<std::optional<std::string>(HWND owner)> chooseRescanFolder;
};

AppState& App();

// Start-up steps; tests call them to create the real main window.
bool RegisterMainClass(HINSTANCE instance);
HWND CreateMainWindow(HINSTANCE instance, int show);
int RunMessageLoop();
// Gives a message to the accelerators and the find bar: true when one of
// them took it. The message loop and a scan's message pump both ask it.
bool RouteMessage(MSG& msg);
LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

}  // namespace clip
