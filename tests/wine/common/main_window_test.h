// Drives the real main window inside a Wine test program: creates it over
// a private program folder (with its own dodedaru.ini), reads the list, the
// bars and the menus back, answers the modal boxes it opens, and works the
// controls of its dialogs from a helper thread.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/app_win.h"
#include "app/bars_win.h"
#include "app/commands_win.h"
#include "app/list_win.h"
#include "app/main_window_win.h"
#include "app/scan_session_win.h"
#include "app/totals_win.h"
#include "app/window_state_win.h"
#include "base/wide_win.h"
#include "win_files.h"

namespace wintest {

// Copies one file of the samples folder.
bool CopySample(const std::string& sample, const std::string& to);
std::string SamplePath(const std::string& sample);

// A modal box or dialog seen on the test's thread.
struct SeenBox {
  std::string caption;
  std::string text;  // the texts of its static controls, joined by "\n"
};

// Watches the given thread for dialog windows (class "#32770"), records
// each one and presses a button in it. Stops after `count` boxes or at
// destruction.
class BoxAnswerer {
 public:
  explicit BoxAnswerer(int button = IDOK, int count = 1, DWORD thread = GetCurrentThreadId());
  ~BoxAnswerer();
  std::vector<SeenBox> Seen();

 private:
  void Run();
  int button_;
  int count_;
  DWORD thread_;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::vector<SeenBox> seen_;
  std::vector<HWND> answered_;
  std::thread worker_;
};

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

// With CLIP_DIALOG_SHOTS naming a folder (tools/dialog-shots.sh), the first
// window of each caption waits after opening until the marker it leaves
// there (shotN.ready: its caption, then its screen rectangle) is removed
// by whoever takes the screenshot, at most 30 seconds.
void HoldForScreenshot(HWND window);

// Runs open on this thread while drive works the dialog with the given
// caption on a helper thread. When drive leaves the dialog open it is
// cancelled, so that a failing test cannot hang.
void WithDialog(const std::string& caption, const std::function<void()>& open,
                const std::function<void(HWND dlg, DWORD uiThread)>& drive);

// The main window over a private program folder.
class MainWindowTest : public ::testing::Test {
 protected:
  // The settings file's text before the window is made; the command line.
  std::string ini;
  std::string commandLine;
  // Given to the window before it is made (a scan of the command line runs
  // as it opens).
  std::function<void(int filesRead)> scanProgress;
  void TearDown() override;
  // Makes the window (SetUp does not, so that a test can set ini first);
  // large places it at a size where every dialog fits over it.
  void Open(bool large = false);
  void Close();

  HWND main() const { return clip::App().main; }
  HWND list() const { return clip::App().list; }
  HWND status() const { return clip::App().status; }
  HWND toolbar() const { return clip::App().toolbar; }
  clip::RowModel& rows() const { return clip::App().rows; }

  void Command(int id);
  int Rows() const;
  std::string Cell(int row, int column) const;
  std::vector<std::string> Column(int column) const;
  std::string Status(int part) const;
  std::string Caption() const;
  // The menu item's state bits (checked 0x8, grayed 0x1/0x3).
  UINT MenuBits(int id) const;
  bool MenuGrayed(int id) const;
  bool MenuChecked(int id) const;
  bool MenuHas(int id) const;
  BYTE ToolbarState(int id) const;
  std::vector<int> Selected() const;
  void Select(const std::vector<int>& rows);
  // A click in the list where no check box is (the notification the list
  // sends after a click).
  void ClickList();
  void HeaderClick(int column);
  void Drop(const std::vector<std::string>& paths);
  // A settings value, or "<none>" when the file does not have it.
  std::string IniValue(const char* section, const char* key) const;
  bool IniHas(const char* section, const char* key) const;
  // A row with the given cells (by category) appended to the model and shown.
  int AddRow(const std::string& fileName, const std::vector<std::pair<int, std::string>>& cells);
  // Chosen paths for the next open or save dialogs; empty means cancel.
  void ChooseFiles(std::vector<std::string> paths);

  TempFolder folder;  // the program folder: dodedaru.ini
  TempFolder files;   // fixtures, movies and list files
  std::vector<std::string> chosen;
  int dialogsAsked = 0;
};

}  // namespace wintest
