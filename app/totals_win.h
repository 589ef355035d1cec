// The status bar's totals and what follows a selection: the commands it
// offers, the reports after a scan.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace clip {

// The commands that the selection offers, in the menus and the tool bar
// (and in popup, when given).
void ApplyClickStates(HWND main, HMENU popup);
// After a click in the list: the selection's totals, or the saved totals.
void UpdateSelectionTotals(HWND main);
// After a command chose the selection: its totals (or the saved totals
// when it is empty) in the status bar, and the commands that follow it.
void ShowSelectionTotals(HWND main, const std::vector<int>& selected);
// One message naming the folders the scans since the last report could not
// list, and one naming the files a stopped scan left unread; nothing when
// there were none.
void ReportUnreadableFolders(HWND main);
// Writes the totals and drive figures for path and keeps the totals text.
void ShowTotalsFor(const std::string& path);
void ShowRowTotalsNow();

}  // namespace clip
