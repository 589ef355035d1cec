// The totals in the status bar, the commands that follow a selection, and
// the reports after a scan.
#include "app/totals_win.h"

#include <commctrl.h>

#include "app/app_win.h"
#include "app/bars_win.h"
#include "app/list_win.h"
#include "win/dialog_helpers_win.h"
#include "scan/disk_win.h"

namespace clip {

void ApplyClickStates(HWND main, HMENU popup) {
  AppState& app = App();
  const int n = static_cast<int>(SendMessageW(app.list, LVM_GETSELECTEDCOUNT, 0, 0));
  const ClickStates click =
      StatesAfterClick(n, app.rows.Count(), app.table.IsOn(DirPath), app.rows.AnyChecked());
  app.commands = AfterClick(app.commands, click);
  ShowCommandState();
  if (popup)
    for (int id : PopupItemsEnabled(click))
      EnableMenuItem(popup, static_cast<UINT>(id), MF_BYCOMMAND | MF_ENABLED);
}

void ReportUnreadableFolders(HWND main) {
  AppState& app = App();
  const std::string text = UnreadableFoldersText(app.unreadableFolders);
  app.unreadableFolders.clear();
  if (!text.empty()) ShowMessage(main, text, kUnreadableCaption, MB_ICONWARNING | MB_OK);
  const std::string unanswered = UnansweredFilesText(app.unansweredFiles);
  app.unansweredFiles.clear();
  if (!unanswered.empty())
    ShowMessage(main, unanswered, kUnansweredCaption, MB_ICONWARNING | MB_OK);
}

void ShowTotalsFor(const std::string& path) {
  AppState& app = App();
  Win32DiskQuery disk;
  StatusBarSink sink;
  app.savedTotalsText = ShowScanTotals(app.rows, app.table, disk, sink, path);
}

void ShowRowTotalsNow() {
  AppState& app = App();
  StatusBarSink sink;
  app.savedTotalsText = ShowRowTotals(app.rows, app.table, sink);
}

void UpdateSelectionTotals(HWND main) {
  AppState& app = App();
  int n = static_cast<int>(SendMessageW(app.list, LVM_GETSELECTEDCOUNT, 0, 0));
  if (n >= 2) {
    std::vector<int> selected = SelectedRows();
    SetStatusText(0, SelectionTotalsText(n, SelectedKB(app.rows, app.table, selected)));
  } else {
    SetStatusText(0, app.savedTotalsText);
  }
  ApplyClickStates(main, nullptr);
}

void ShowSelectionTotals(HWND main, const std::vector<int>& selected) {
  AppState& app = App();
  const int n = static_cast<int>(selected.size());
  SetStatusText(0, n > 0 ? SelectionTotalsText(n, SelectedKB(app.rows, app.table, selected))
                         : app.savedTotalsText);
  ApplyClickStates(main, nullptr);
}

}  // namespace clip
