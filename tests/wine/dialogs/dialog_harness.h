// Drives the three dialogs and the movie-file commands inside the test
// program: the real main window over a private program folder, a helper
// thread that finds each modal window as it opens and works its controls
// with messages, and small file helpers.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/app_win.h"
#include "win_files.h"

namespace dlgtest {

// Scratch folders, file bytes, window texts and the message pump.
using namespace wintest;  // NOLINT(google-build-using-namespace)

std::string ItemText(HWND dlg, int id);
bool Checked(HWND dlg, int id);
// The colour in the middle of a control, as the screen shows it.
COLORREF ShownColour(HWND dlg, int id);

// Waits up to timeoutMs for a visible dialog window (class "#32770") of the
// thread whose caption is caption (any caption when empty) and that is not
// in skip. Returns nullptr on timeout.
HWND WaitForDialog(DWORD thread, const std::string& caption, std::vector<HWND> skip = {},
                   DWORD timeoutMs = 15000);
// The same for a dialog owned by owner.
HWND WaitForOwned(DWORD thread, HWND owner, DWORD timeoutMs = 15000);
// Waits until the window is gone.
bool WaitGone(HWND w, DWORD timeoutMs = 15000);

// A button press handled before the call returns.
void Click(HWND dlg, int id);
// A button press posted: for buttons that open another modal window.
void ClickLater(HWND dlg, int id);
void SetText(HWND dlg, int id, const std::string& text);

// Answers the colour chooser owned by owner: accept the given colour, or
// cancel when accept is false.
void AnswerColourChooser(DWORD thread, HWND owner, bool accept, COLORREF colour = 0);

// Runs open on this thread while drive works the dialog with the given
// caption on a helper thread. When drive leaves the dialog open it is
// cancelled, so that a failing test cannot hang.
void WithDialog(const std::string& caption, const std::function<void()>& open,
                const std::function<void(HWND dlg, DWORD uiThread)>& drive);

// The main window over a private program folder with its own dodedaru.ini.
class MainWindowTest : public ::testing::Test {
 protected:
  std::string ini;  // settings file text before Open
  void TearDown() override;
  void Open();
  void Close();
  std::string IniValue(const char* section, const char* key) const;
  bool IniHas(const char* section, const char* key) const;
  // A row with the given cells (by category) appended to the model and shown.
  int AddRow(const std::string& fileName, const std::vector<std::pair<int, std::string>>& cells);
  void Select(const std::vector<int>& rows);

  TempFolder folder;  // the program folder
  TempFolder files;   // movie and list files
};

}  // namespace dlgtest
