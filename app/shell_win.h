// The main window's parts, shared by the files of the application shell.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "app/app_win.h"
#include "scan/scan.h"

namespace clip {

// ---- Bars and fonts -----------------------------------------------------
void CreateBars(HWND main);
// Save as, cut and copy: disabled (drawn grayed) when flag is nonzero.
void SetToolbarFileButtons(int flag);
void SetToolbarButtonEnabled(int command, bool enabled);
void ApplyToolbarChange(ToolbarFiles change);
void SetStatusText(int part, const std::string& text);
void ResetStatusBar();
void DeleteFonts();

// Status-bar output for the scan: every text is painted at once, so the
// progress shows while the scan runs inside one message.
class StatusBarSink : public StatusSink {
 public:
  void SetStatusText(int part, const std::string& text) override;
};

// ---- The catalogue list -------------------------------------------------
void CreateCatalogueList(HWND parent);
void SetUpCategoryColumns(HWND list);
// Removes the width-fit items of categories whose value is exactly 0.
void RemoveUnusedFitItems(HMENU menu);
void SetListExtendedStyle(bool gridLines);
// The selected rows, ascending.
std::vector<int> SelectedRows();
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
// Tells the list the row count changed, keeping the scroll position.
void SyncRowCount();
// Fits one column (position) to its texts and header.
void FitColumn(int column);
void ToggleCheck(int row);
LRESULT OnListNotify(HWND main, NMHDR* header);

// ---- Window state -------------------------------------------------------
void ApplyWindowSettings(HWND main);
void SaveWindowSettings(HWND main);
// The saved rectangle, or the default placement when it lies on no monitor.
RECT UsableWindowRect(int left, int top, int width, int height);

// ---- Commands and rows --------------------------------------------------
void HandleCommand(HWND main, int command);
void ApplyEventStates(HWND main, ShellEvent event);
void ApplyClickStates(HWND main, const ClickStates& states, HMENU popup);
void UpdateSelectionTotals(HWND main);
void ShowContextMenu(HWND main);
// Scans one folder, appending rows.
void ScanIntoList(const std::string& folder);
// Builds one movie's row at index, the selection following its rows.
void AddMovieRowAt(const std::string& path, int index);
// Writes the totals and drive figures for path and keeps the totals text.
void ShowTotalsFor(const std::string& path);
void ShowRowTotalsNow();
// The open and save dialogs; true with the path in pathBuffer.
bool ChooseListFileToOpen(HWND owner);
bool ChooseListFileToSave(HWND owner);
void ProcessCommandLine(HWND main);

}  // namespace clip
