// Drives the real main window inside the test program: creates it over a
// private program folder (with its own dodedaru.ini), reads the list, the
// bars and the menus back, and answers the modal boxes it opens.
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
#include "win_files.h"

namespace apptest {

// Scratch folders, file bytes, window texts and the message pump.
using namespace wintest;  // NOLINT(google-build-using-namespace)

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

// The main window over a private program folder.
class AppWindow : public ::testing::Test {
 protected:
  // The settings file's text before the window is made; the command line.
  std::string ini;
  std::string commandLine;
  void SetUp() override;
  void TearDown() override;
  // Makes the window (SetUp does not, so that a test can set ini first).
  void Open();
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
  std::string IniValue(const char* section, const char* key) const;
  // Chosen paths for the next open or save dialogs; empty means cancel.
  void ChooseFiles(std::vector<std::string> paths);

  TempFolder folder;  // the program folder: dodedaru.ini
  TempFolder files;   // fixtures and list files
  std::vector<std::string> chosen;
  int dialogsAsked = 0;
};

}  // namespace apptest
