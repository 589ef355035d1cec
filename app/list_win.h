// The catalogue list: an owner-data list view over the row model.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <vector>

namespace clip {

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
// Scales every column's width from one DPI to another.
void RescaleColumns(int fromDpi, int toDpi);
void ToggleCheck(int row);
// The list's own notifications: its texts, column clicks, check boxes.
// Right clicks, double clicks and the totals after a click are the main
// window's.
LRESULT OnListNotify(HWND main, NMHDR* header);

}  // namespace clip
