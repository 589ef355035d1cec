// The main window's parts, shared by the files of app/.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "app/app_win.h"
#include "scan/scan.h"

namespace clip {

// ---- Bars and fonts -----------------------------------------------------
void CreateBars(HWND main);
void SetStatusText(int part, const std::string& text);
void ResetStatusBar();
// Sizes the status bar's parts to their texts and the window's width.
void LayOutStatusParts();
void CreateFonts();  // makes (or remakes) the main and list fonts
void DeleteFonts();

// Status-bar output for the scan: the progress is painted while the scan
// runs inside one message, at most every 50 ms.
class StatusBarSink : public StatusSink {
 public:
  void SetStatusText(int part, const std::string& text) override;
};

// ---- Menus and tool bar -------------------------------------------------
// Shows the program's command state in the main menu and the tool bar.
void ShowCommandState();
// Changes the command state by an event and shows it.
void ApplyEvent(ShellEvent event);

// ---- The catalogue list -------------------------------------------------
void CreateCatalogueList(HWND parent);
// Removes the width-fit items of categories whose value is exactly 0.
void RemoveUnusedFitItems(HMENU menu);
void SetListExtendedStyle(bool gridLines);
void ApplyListColours(COLORREF fore, COLORREF back);
// The selected rows, ascending.
std::vector<int> SelectedRows();
int FirstSelectedRow();  // -1 when no row is selected
// Makes exactly these rows selected (ascending), given the rows that are
// selected now; rows in both are left alone.
void ReplaceSelection(const std::vector<int>& now, const std::vector<int>& wanted);
// The selected rows and the focused row, taken before rows are inserted.
struct RowMarks {
  std::vector<int> selected;
  int focus = -1;
};
int FocusedRow();
// After count rows were inserted at index at (the list already knows the
// new count): the selection and the focus move down with their rows.
void FollowInsertedRows(const RowMarks& before, int at, int count);
// Tells the list the row count changed, keeping the scroll position (and
// the menus whether there are rows).
void SyncRowCount();
// Makes exactly these rows (ascending) selected, focuses focus (when it is
// a row) and scrolls it into view.
void SelectOnly(const std::vector<int>& rows, int focus);
void RefreshRow(int row);  // after one row's cells or check changed
// Fits one column (position) to its texts.
void FitColumn(int column);
void ToggleCheck(int row);
LRESULT OnListNotify(HWND main, NMHDR* header);

// ---- Window state -------------------------------------------------------
void ApplyWindowSettings(HWND main);
void SaveWindowSettings();
// Reads the main window's screen and client rectangles into the geometry.
void CaptureGeometry(HWND main);
// The saved rectangle, or the default placement when it lies on no monitor.
RECT UsableWindowRect(int left, int top, int width, int height);
// Shows or hides a bar as the view state says and lays the window out.
void ShowBars(HWND main);

// ---- Commands and rows --------------------------------------------------
void HandleCommand(HWND main, int command);
void UpdateSelectionTotals(HWND main);
// After a command chose the selection: its totals (or the saved totals
// when it is empty) in the status bar, and the commands that follow it.
void ShowSelectionTotals(HWND main, const std::vector<int>& selected);
void ShowContextMenu(HWND main);
void EditSelectedRow(HWND main);
// One message naming the folders the scans since the last report could not
// list, and one naming the files a stopped scan left unread; nothing when
// there were none.
void ReportUnreadableFolders(HWND main);
// Scans one folder, appending rows, with the window alive; false when the
// scan was stopped (or another one runs).
bool ScanIntoList(const std::string& folder);
// Says in the status bar, after the totals, that the last scan was stopped.
void NoteScanStopped();
// Builds one movie's row at index, the selection following its rows.
void AddMovieRowAt(const std::string& path, int index);
// Writes the totals and drive figures for path and keeps the totals text.
void ShowTotalsFor(const std::string& path);
void ShowRowTotalsNow();
void ProcessCommandLine(HWND main);

// ---- Find, duplicates, rescan (tools_win.cpp) ---------------------------
void OnFind(HWND main);
void OnFindAgain(HWND main, bool forward);  // F3, Shift+F3
void OnDuplicates(HWND main, bool keepOne);
void OnRescan(HWND main, bool pickFolder);

}  // namespace clip
