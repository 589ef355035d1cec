// The find bar's finds, F3 and the duplicate commands: each one chooses
// rows and shows them as the selection, with their totals in the status
// bar. Nothing here changes the rows, so all of it works during a scan too.
#include <windows.h>

#include "app/window_tools_win.h"
#include "app/app_win.h"
#include "app/find_bar_win.h"
#include "app/bars_win.h"
#include "app/totals_win.h"
#include "app/list_win.h"
#include "app/window_tools.h"
#include "catalogue/duplicates.h"

namespace clip {

namespace {

// Runs one find on the rows and shows its rows; returns what the find bar
// says about it.
std::string RunFind(HWND main, const FindQuery& query, FindAction action) {
  AppState& app = App();
  app.lastFind = query;
  if (query.text.empty()) return {};
  const int focused = FocusedRow();
  if (action == FindAction::SelectAll) {
    const std::vector<int> found = FindAll(app.rows, app.table, query);
    if (!found.empty()) {
      SelectOnly(found, found.front());
      ShowSelectionTotals(main, found);
    }
    return FindResultText(action, focused, static_cast<int>(found.size()));
  }
  const int row =
      FindNext(app.rows, app.table, query, FindStartRow(action, focused), FindForward(action));
  if (row >= 0) {
    SelectOnly({row}, row);
    UpdateSelectionTotals(main);
  }
  return FindResultText(action, focused, row);
}

}  // namespace

void OnFind(HWND main) {
  AppState& app = App();
  if (app.rows.Count() == 0) return;
  if (app.findBar) {
    FocusFindBar(app.findBar);
    return;
  }
  FindBarData data;
  data.columns = FindColumnChoices(app.table);
  data.query = app.lastFind;
  data.run = [main](const FindQuery& query, FindAction action) {
    return RunFind(main, query, action);
  };
  data.closed = [] {
    AppState& a = App();
    a.findBar = nullptr;
    if (a.list && a.main && GetActiveWindow() == a.main) SetFocus(a.list);
  };
  app.findBar = OpenFindBar(main, data);
}

void OnFindAgain(HWND main, bool forward) {
  AppState& app = App();
  if (app.rows.Count() == 0) return;
  // Nothing looked for yet: F3 opens the bar to type it.
  if (app.lastFind.text.empty()) {
    OnFind(main);
    return;
  }
  const FindAction action = forward ? FindAction::Next : FindAction::Previous;
  const std::string said = RunFind(main, app.lastFind, action);
  if (app.findBar)
    ShowFindBarResult(app.findBar, said);
  else if (!said.empty())
    SetStatusText(0, "｢" + app.lastFind.text + "｣: " + said);
}

void OnDuplicates(HWND main, bool keepOne) {
  AppState& app = App();
  if (app.rows.Count() == 0) return;
  const std::vector<int> twins = FindDuplicateRows(
      app.rows, app.table, keepOne ? DuplicateChoice::AllButOne : DuplicateChoice::All);
  SelectOnly(twins, twins.empty() ? -1 : twins.front());
  ShowSelectionTotals(main, twins);
  if (twins.empty()) SetStatusText(0, kNoDuplicatesText);
}

}  // namespace clip
