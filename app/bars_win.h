// The tool bar, the status bar, the fonts and the command state they show.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "app/command_states.h"
#include "scan/scan.h"

namespace clip {

void CreateBars(HWND main);
// Gives the tool bar its images and button sizes at the window's DPI.
void SizeToolbar();
void DeleteToolbarImages();
void SetStatusText(int part, const std::string& text);
void ResetStatusBar();
// Sizes the status bar's parts to their texts and the window's width.
void LayOutStatusParts();
void CreateFonts();  // makes (or remakes) the main and list fonts at the window's DPI
void DeleteFonts();

// Status-bar output for the scan: the progress is painted while the scan
// runs inside one message, at most every 50 ms.
class StatusBarSink : public StatusSink {
 public:
  void SetStatusText(int part, const std::string& text) override;
};

// Shows the program's command state in the main menu and the tool bar.
void ShowCommandState();
// Changes the command state by an event and shows it.
void ApplyEvent(ShellEvent event);

}  // namespace clip
