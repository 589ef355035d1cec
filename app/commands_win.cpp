// The command handler: every menu item, context-menu item, toolbar button
// and accelerator arrives here as one command id.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

#include <cstring>

#include "app/app_win.h"
#include "app/dialogs_win.h"
#include "app/shell_win.h"
#include "catalogue/text.h"
#include "listfile/listfile.h"
#include "res/resource.h"
#include "scan/scan_win.h"

namespace clip {

namespace {

constexpr const char* kSaveFailedCaption = "ﾌｧｲﾙ保存失敗";
constexpr const char* kScanErrorCaption = "ｽｷｬﾝ実行ｴﾗｰ";
constexpr const char* kScanErrorText =
    "指定されたﾌｫﾙﾀﾞはﾌｫﾙﾀﾞ名変更、移動、削除されました\nｵｰﾄｽｷｬﾝの実行に失敗しました、ﾊﾟｽを再設定し"
    "て下さい";
constexpr const char* kVersionCaption = "ば～じょん情報";

// The probe texts and play time carry over from one file to the next,
// also from one scan to the next.
ProbeFields g_probeFields;
std::int32_t g_playSeconds = 0;

class WaitCursor {
 public:
  WaitCursor() : previous_(SetCursor(LoadCursor(nullptr, IDC_WAIT))) {}
  ~WaitCursor() { SetCursor(previous_ ? previous_ : LoadCursor(nullptr, IDC_ARROW)); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  HCURSOR previous_;
};

template <typename Body>
void WithScanContext(Body body) {
  AppState& app = App();
  Win32FileSystem fs;
  Win32CodecNames codecs;
  StatusBarSink sink;
  ScanContext ctx{app.rows,      app.table,    fs, codecs, &sink, app.settings.sizeInfo,
                  g_probeFields, g_playSeconds};
  body(ctx);
  g_probeFields = ctx.fields;
  g_playSeconds = ctx.playSeconds;
}

void SetCaption(HWND main, const std::string& caption) { SetWindowTextA(main, caption.c_str()); }

void ShowListCaption(HWND main, const std::string& path, bool appendOnly) {
  SetCaption(main, ListFileCaption(kDefaultTitle, PathFileName(path), appendOnly));
}

void ShowSaveFailure(HWND main, const std::string& path, const SaveResult& result) {
  MessageBoxA(main, SaveFailedText(path, result.error).c_str(), kSaveFailedCaption,
              MB_ICONERROR | MB_OK);
}

// Writes a text or CSV list; a failure is shown and reported as false.
bool WriteList(HWND main, const std::string& path, ListFormat format, bool append) {
  AppState& app = App();
  SaveResult result;
  {
    WaitCursor wait;
    result = SaveListFile(app.rows, app.table, path, format, append);
  }
  if (!result.ok) ShowSaveFailure(main, path, result);
  return result.ok;
}

void OnNew(HWND main) {
  AppState& app = App();
  app.rows.Clear();
  SyncRowCount();
  app.savedTotalsText = kNonScanning;
  ResetStatusBar();
  ApplyEventStates(main, ShellEvent::New);
  SetCaption(main, NewFileCaption(kDefaultTitle));
}

// Loads a CSV list on top of the rows; false when it was refused.
bool LoadCsv(HWND main, const std::string& path) {
  AppState& app = App();
  RowMarks marks{SelectedRows(), FocusedRow()};
  int before = app.rows.Count();
  int result;
  {
    WaitCursor wait;
    result = LoadCsvList(app.rows, app.table, path);
  }
  if (result == kCsvLoaded) {
    // The file's rows go on top: the selection moves down with its rows.
    SyncRowCount();
    FollowInsertedRows(marks, 0, app.rows.Count() - before);
    ApplyEventStates(main, ShellEvent::CsvLoaded);
    return true;
  }
  if (result == kCsvCannotOpen) {
    MessageBoxA(main, CsvOpenFailedText(path).c_str(), kCsvErrorCaptionOpen, MB_ICONERROR | MB_OK);
    return false;
  }
  const char* caption = result == kCsvCountMismatch ? kCsvErrorCaptionCount : kCsvErrorCaptionItem;
  MessageBoxA(main, CsvErrorText(result).c_str(), caption, MB_ICONERROR | MB_OK);
  return false;
}

void OnOpen(HWND main) {
  AppState& app = App();
  if (!ChooseListFileToOpen(main)) return;
  std::string path = app.pathBuffer;
  const std::string previousFile = app.currentListFile;
  char previousCaption[1024] = {};
  GetWindowTextA(main, previousCaption, sizeof previousCaption);
  app.settings.loadDir = PathDirectory(path);
  app.currentListFile = path;
  ShowListCaption(main, path, false);
  switch (ListKindOf(path)) {
    case ListKind::Text:
      ShowListCaption(main, path, true);
      ApplyEventStates(main, ShellEvent::OpenTextList);
      break;
    case ListKind::Csv:
      // A refused list does not become the save target: a later save would
      // overwrite the file the user meant to load with the rows on screen.
      if (!LoadCsv(main, path)) {
        app.currentListFile = previousFile;
        SetWindowTextA(main, previousCaption);
      }
      break;
    default:
      break;
  }
}

void TakeSavedName(HWND main, const std::string& path) {
  AppState& app = App();
  app.settings.saveDir = PathDirectory(path);
  app.currentListFile = path;
  ShowListCaption(main, path, false);
  ApplyEventStates(main, ShellEvent::SaveAsChosen);
}

void OnSaveAs(HWND main) {
  AppState& app = App();
  if (!ChooseListFileToSave(main)) return;
  std::string path = app.pathBuffer;
  switch (ListKindOf(path)) {
    case ListKind::Text:
    case ListKind::Csv: {
      // The chosen name becomes the current list only once it was written.
      ListFormat format = ListKindOf(path) == ListKind::Text ? ListFormat::Text : ListFormat::Csv;
      if (WriteList(main, path, format, false)) TakeSavedName(main, path);
      break;
    }
    case ListKind::Html: {
      // The name is taken as the dialog opens, and "保存中止" keeps it; but
      // a page that could not be written and was then given up does not
      // become the current list.
      const std::string previousFile = app.currentListFile;
      const std::string previousSaveDir = app.settings.saveDir;
      const int previousSaveState = GetMenuState(main, IDM_SAVE);
      char previousCaption[1024] = {};
      GetWindowTextA(main, previousCaption, sizeof previousCaption);
      TakeSavedName(main, path);
      if (ShowHtmlOptionsDialog(main) == HtmlDialogEnd::CancelledAfterFailedWrite) {
        app.currentListFile = previousFile;
        app.settings.saveDir = previousSaveDir;
        SetMenuState(main, IDM_SAVE, previousSaveState);
        SetWindowTextA(main, previousCaption);
      }
      break;
    }
    case ListKind::None:
      TakeSavedName(main, path);
      break;
  }
}

void OnSave(HWND main) {
  AppState& app = App();
  const std::string path = app.currentListFile;
  switch (ListKindOf(path)) {
    case ListKind::Text:
      WriteList(main, path, ListFormat::Text, true);
      break;
    case ListKind::Csv:
      WriteList(main, path, ListFormat::Csv, false);
      break;
    case ListKind::Html:
      app.pathBuffer = path;
      ShowHtmlOptionsDialog(main);
      break;
    case ListKind::None:
      break;
  }
}

void ScanAfterChoice(HWND main, const std::string& folder) {
  AppState& app = App();
  if (app.settings.listClear == 1) SendMessageA(main, WM_COMMAND, IDM_NEW, 0);
  SetMenuState(main, IDM_LISTEDIT, kMenuEnabled);
  {
    WaitCursor wait;
    ScanIntoList(folder);
  }
  ShowTotalsFor(folder);
  ApplyEventStates(main, ShellEvent::Scan);
}

void OnScan(HWND main) {
  AppState& app = App();
  app.scanFolder = BrowseScanFolder(main);
  if (app.scanFolder == "Err") return;
  ScanAfterChoice(main, app.scanFolder);
}

void OnAutoScan(HWND main) {
  AppState& app = App();
  if (!SetCurrentDirectoryA(app.settings.autoScanFolder.c_str())) {
    MessageBoxA(main, kScanErrorText, kScanErrorCaption, MB_ICONWARNING | MB_OK);
    return;
  }
  ScanAfterChoice(main, app.settings.autoScanFolder);
}

void OnCutOrDelete(bool cut) {
  AppState& app = App();
  std::vector<int> selected = SelectedRows();
  if (selected.empty()) return;
  // The selection is cleared while it still names these rows.
  ReplaceSelection(selected, {});
  if (cut)
    CutRows(app.rows, app.table, selected, app.clipboard);
  else
    DeleteRows(app.rows, selected);
  SyncRowCount();
  ShowRowTotalsNow();
}

void OnCopy() {
  AppState& app = App();
  int row = FirstSelectedRow();
  if (row >= 0) CopyRowToClipboard(app.rows, app.table, row, app.clipboard);
}

void OnPaste() {
  AppState& app = App();
  int s = FirstSelectedRow();
  if (s < 0) return;
  RowMarks marks{SelectedRows(), FocusedRow()};
  int at = PasteRow(app.rows, app.table, s, app.clipboard);
  SyncRowCount();
  FollowInsertedRows(marks, at, 1);
  ShowRowTotalsNow();
}

void OnSortMode(HWND main, int chosen) {
  if (GetMenuState(main, chosen) == kMenuChecked) return;
  int other = chosen == IDM_SORT_NAME ? IDM_SORT_EXT : IDM_SORT_NAME;
  SetMenuState(main, chosen, kMenuChecked);
  SetMenuState(main, other, kMenuPlain);
  App().sort.byExtension = chosen == IDM_SORT_EXT ? 1 : 0;
}

void OnToggleBar(HWND main, int command) {
  AppState& app = App();
  bool shown = GetMenuState(main, command) == kMenuChecked;
  HWND bar = command == IDM_TOOLBAR ? app.toolbar : app.status;
  ShowWindow(bar, shown ? SW_HIDE : SW_SHOW);
  SetMenuState(main, command, shown ? kMenuPlain : kMenuChecked);
  if (command == IDM_TOOLBAR)
    app.toolbarHeight = shown ? 0 : 28;
  else
    app.statusBarHeight = shown ? 0 : GetSystemMetrics(SM_CXHSCROLL) + 2;
  SendMessageA(main, WM_SIZE, 0, 0);
}

void OnEndSet(HWND main) {
  bool checked = GetMenuState(main, IDM_ENDSET) == kMenuChecked;
  SetMenuState(main, IDM_ENDSET, checked ? kMenuPlain : kMenuChecked);
  App().profile->WriteString("MainSeting", "EndSet", checked ? "2" : "1");
}

void OnGridLines(HWND main) {
  bool on = GetMenuState(main, IDM_GRIDLINE) == kMenuChecked;
  SetMenuState(main, IDM_GRIDLINE, on ? kMenuPlain : kMenuChecked);
  SetListExtendedStyle(!on);
}

void OnVersion(HWND main) {
  Beep(440, 100);
  MessageBoxA(main, VersionText(App().settings.title).c_str(), kVersionCaption,
              MB_ICONINFORMATION | MB_OK);
}

void OnFitAll() {
  for (int c = 0; c <= App().table.columnCount; ++c) FitColumn(c);
}

void OnFitOne(int category) {
  const CategoryTable& table = App().table;
  if (category == FileName)
    FitColumn(0);
  else if (category > 0 && table.IsOn(category))
    FitColumn(table.position[category]);
}

void OnClearChecks() {
  AppState& app = App();
  app.rows.SetAllChecked(false);
  if (app.list) InvalidateRect(app.list, nullptr, FALSE);
}

bool ChooseListFile(HWND owner, bool save) {
  AppState& app = App();
  std::string chosen;
  bool ok;
  if (app.chooseListFile) {
    ok = app.chooseListFile(owner, save, chosen);
  } else {
    static const char kOpenFilter[] =
        "CSVﾌｧｲﾙ(*.csv)\0*.csv\0ﾃｷｽﾄﾌｧｲﾙ(*.txt)\0*.txt\0すべてのﾌｧｲﾙ(*.*)\0*.*\0";
    static const char kSaveFilter[] =
        "CSVﾌｧｲﾙ(*.csv)\0*.csv\0ﾃｷｽﾄﾌｧｲﾙ(*.txt)\0*.txt\0HTMLﾌｧｲﾙ(*.htm)\0*.htm\0すべてのﾌｧｲﾙ(*.*)"
        "\0*.*\0";
    char file[260] = {};
    std::strncpy(file, app.pathBuffer.c_str(), sizeof file - 1);
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.hInstance = app.instance;
    ofn.lpstrFilter = save ? kSaveFilter : kOpenFilter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrInitialDir = save ? app.settings.saveDir.c_str() : app.settings.loadDir.c_str();
    ofn.lpstrTitle = save ? "名前をつけて保存" : "ﾌｧｲﾙを開く";
    ofn.lpstrDefExt = save ? "csv" : "txt";
    ofn.Flags = OFN_HIDEREADONLY | (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    ok = save ? GetSaveFileNameA(&ofn) != 0 : GetOpenFileNameA(&ofn) != 0;
    if (ok) chosen = file;
  }
  if (!ok) return false;
  app.pathBuffer = chosen.substr(0, 259);
  InvalidateRect(owner, nullptr, TRUE);
  UpdateWindow(owner);
  return true;
}

}  // namespace

bool ChooseListFileToOpen(HWND owner) { return ChooseListFile(owner, false); }
bool ChooseListFileToSave(HWND owner) { return ChooseListFile(owner, true); }

void ScanIntoList(const std::string& folder) {
  WithScanContext([&](ScanContext& ctx) { ScanFolder(ctx, folder); });
  SyncRowCount();
}

void AddMovieRowAt(const std::string& path, int index) {
  AppState& app = App();
  RowMarks marks{SelectedRows(), FocusedRow()};
  int before = app.rows.Count();
  WithScanContext([&](ScanContext& ctx) { AddMovieRow(ctx, path, index); });
  SyncRowCount();
  FollowInsertedRows(marks, index < before ? index : before, app.rows.Count() - before);
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

void ApplyEventStates(HWND main, ShellEvent event) {
  EventStates states = StatesAfter(event);
  for (const MenuChange& c : states.menu) SetMenuState(main, c.id, c.code);
  ApplyToolbarChange(states.toolbar);
}

void ApplyClickStates(HWND main, const ClickStates& states, HMENU popup) {
  for (int id : kRowActionIds) {
    if (states.rowActionsEnabled) {
      SetMenuState(main, id, kMenuEnabled);
      if (popup) EnableMenuItem(popup, static_cast<UINT>(id), MF_BYCOMMAND | MF_ENABLED);
    } else {
      SetMenuState(main, id, kMenuGrayed);
    }
  }
  if (states.checkActions == CheckActions::Leave) return;
  for (int id : kCheckActionIds) {
    if (states.checkActions == CheckActions::Enable) {
      SetMenuState(main, id, kMenuEnabled);
      if (popup) EnableMenuItem(popup, static_cast<UINT>(id), MF_BYCOMMAND | MF_ENABLED);
    } else {
      SetMenuState(main, id, kMenuGrayed);
    }
  }
}

void UpdateSelectionTotals(HWND main) {
  AppState& app = App();
  int n = static_cast<int>(SendMessageA(app.list, LVM_GETSELECTEDCOUNT, 0, 0));
  if (n >= 2) {
    std::vector<int> selected = SelectedRows();
    SetStatusText(0, SelectionTotalsText(n, SelectedKB(app.rows, app.table, selected)));
  } else {
    SetStatusText(0, app.savedTotalsText);
  }
  ApplyClickStates(
      main, StatesAfterClick(n, app.rows.Count(), app.table.IsOn(DirPath), app.rows.AnyChecked()),
      nullptr);
}

void ShowContextMenu(HWND main) {
  AppState& app = App();
  POINT pt{};
  GetCursorPos(&pt);
  HMENU menu = LoadMenuA(app.instance, "POPUPMENU");
  if (!menu) return;
  RemoveUnusedFitItems(menu);
  int n = static_cast<int>(SendMessageA(app.list, LVM_GETSELECTEDCOUNT, 0, 0));
  HMENU popup = GetSubMenu(menu, 0);
  ApplyClickStates(
      main, StatesAfterClick(n, app.rows.Count(), app.table.IsOn(DirPath), app.rows.AnyChecked()),
      popup);
  TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, pt.x, pt.y, 0, main,
                 nullptr);
  DestroyMenu(menu);
}

void HandleCommand(HWND main, int command) {
  switch (command) {
    case IDM_NEW:
      OnNew(main);
      break;
    case IDM_OPEN:
      OnOpen(main);
      break;
    case IDM_SAVEAS:
      OnSaveAs(main);
      break;
    case IDM_SAVE:
      OnSave(main);
      break;
    case IDM_EXIT:
      SendMessageA(main, WM_CLOSE, 0, 0);
      break;
    case IDM_SCAN:
      OnScan(main);
      break;
    case IDM_AUTOSCAN:
      OnAutoScan(main);
      break;
    case IDM_CUT:
      OnCutOrDelete(true);
      break;
    case IDM_COPY:
      OnCopy();
      break;
    case IDM_PASTE:
      OnPaste();
      break;
    case IDM_DELETE:
      OnCutOrDelete(false);
      break;
    case IDM_LISTEDIT:
      if (FirstSelectedRow() >= 0) ShowItemEditDialog(main);
      break;
    case IDM_SORT_NAME:
    case IDM_SORT_EXT:
      OnSortMode(main, command);
      break;
    case IDM_FIND:
      break;
    case IDM_TOOLBAR:
    case IDM_STATUSBAR:
      OnToggleBar(main, command);
      break;
    case IDM_CUSTOMIZE:
      ShowCustomizeDialog(main);
      InvalidateRect(main, nullptr, TRUE);
      break;
    case IDM_ENDSET:
      OnEndSet(main);
      break;
    case IDM_VERSION:
      OnVersion(main);
      break;
    case IDM_FIT_ALL:
      OnFitAll();
      break;
    case IDM_GRIDLINE:
      OnGridLines(main);
      break;
    case IDM_WRITEINFO:
      RunWriteInfoCommand(main);
      break;
    case IDM_CLEARCHECKS:
      OnClearChecks();
      break;
    case IDM_PLAY:
      PlaySelectedMovie(main);
      break;
    default:
      if (int category = CategoryOfFitCommand(command); category >= 0) OnFitOne(category);
      break;
  }
}

}  // namespace clip
