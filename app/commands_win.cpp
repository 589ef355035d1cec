// The command handler: every menu item, context-menu item, toolbar button
// and accelerator arrives here as one command id.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

#include "app/commands_win.h"
#include "app/totals_win.h"
#include "app/app_win.h"
#include "app/bars_win.h"
#include "app/list_win.h"
#include "app/rescan_run_win.h"
#include "app/scan_session_win.h"
#include "app/window_state_win.h"
#include "app/window_tools_win.h"
#include "win/dialog_helpers_win.h"
#include "base/text.h"
#include "base/wide_win.h"
#include "edit/info_writer.h"
#include "edit/info_writer_win.h"
#include "edit/item_edit.h"
#include "edit/item_edit_win.h"
#include "edit/player_win.h"
#include "listfile/html_options.h"
#include "listfile/html_options_win.h"
#include "listfile/listfile.h"
#include "res/resource.h"
#include "settings/customize.h"
#include "settings/customize_win.h"

namespace clip {

namespace {

constexpr const char* kScanErrorCaption = "ｽｷｬﾝ実行ｴﾗｰ";
constexpr const char* kScanErrorText =
    "指定されたﾌｫﾙﾀﾞはﾌｫﾙﾀﾞ名変更、移動、削除されました\nｵｰﾄｽｷｬﾝの実行に失敗しました、ﾊﾟｽを再設定し"
    "て下さい";
constexpr const char* kVersionCaption = "ば～じょん情報";

class WaitCursor {
 public:
  WaitCursor() : previous_(SetCursor(LoadCursor(nullptr, IDC_WAIT))) {}
  ~WaitCursor() { SetCursor(previous_ ? previous_ : LoadCursor(nullptr, IDC_ARROW)); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  HCURSOR previous_;
};

void SetCaption(HWND main, const std::string& caption) { SetWindowTextUtf8(main, caption); }

std::string Caption(HWND main) { return WindowTextUtf8(main); }

void ShowListCaption(HWND main, const std::string& path, bool appendOnly) {
  SetCaption(main, ListFileCaption(kDefaultTitle, PathFileName(path), appendOnly));
}

// Writes a text or CSV list; a failure or a cancelled save is reported as
// false (a failure is shown). The list is written in the chosen encoding,
// or in the one a text list appended to has. A code page 932 list is
// written refusing any text it would change, so the common case is one
// pass; only when one would change is the user asked, then it is written
// as answered.
bool WriteList(HWND main, const std::string& path, ListFormat format, bool append) {
  AppState& app = App();
  const ListEncoding chosen = app.settings.listUtf8 == 1 ? ListEncoding::Utf8 : ListEncoding::Cp932;
  ListEncoding encoding = append ? ExistingListEncoding(path, chosen) : chosen;
  auto save = [&](bool refuseLoss) {
    WaitCursor wait;
    return SaveListFile(app.rows, app.table, path, format, append, nullptr, encoding, refuseLoss);
  };
  SaveResult result = save(encoding == ListEncoding::Cp932);
  if (result.lossy) {
    const int changed = RowsChangedByCp932(app.rows, app.table);
    const bool switchable = !append || ExistingListEncoding(path, ListEncoding::Utf8) != encoding;
    const int answer = ShowMessage(main, Cp932SaveQuestion(changed, switchable), kCp932SaveCaption,
                                   MB_ICONWARNING | (switchable ? MB_YESNOCANCEL : MB_OKCANCEL));
    if (answer != IDYES && answer != IDNO && answer != IDOK) return false;
    encoding = answer == IDYES ? ListEncoding::Utf8 : ListEncoding::Cp932;
    result = save(false);
  }
  if (!result.ok) ShowMessage(main, result.error, kSaveFailedCaption, MB_ICONERROR | MB_OK);
  return result.ok;
}

// The HTML options dialog for a page written to path; true when the page
// was written, and writeFailed set when a write failed before the user
// gave up.
bool WritePageThroughDialog(HWND main, const std::string& path, bool& writeFailed) {
  AppState& app = App();
  HtmlOptionsData d;
  d.options = LoadHtmlOptions(*app.profile);
  d.imageFolder = app.settings.loadDir;
  d.writePage = [&](const HtmlOptions& options) {
    return SaveListFile(app.rows, app.table, path, ListFormat::Html, false, &options);
  };
  d.saveSettings = [&](const HtmlOptions& options) { SaveHtmlOptions(*app.profile, options); };
  d.lastPickedColour = app.lastPickedColour;
  std::copy(std::begin(app.htmlColours), std::end(app.htmlColours), d.customColours);
  const bool written = ShowHtmlOptionsDialog(main, d);
  app.lastPickedColour = d.lastPickedColour;
  std::copy(std::begin(d.customColours), std::end(d.customColours), app.htmlColours);
  writeFailed = d.writeFailed;
  return written;
}

void OnNew(HWND main) {
  AppState& app = App();
  app.rows.Clear();
  SyncRowCount();
  app.savedTotalsText = kNonScanning;
  ResetStatusBar();
  ApplyEvent(ShellEvent::New);
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
    ApplyEvent(ShellEvent::CsvLoaded);
    return true;
  }
  if (result == kCsvCannotOpen) {
    ShowMessage(main, CsvOpenFailedText(path), kCsvErrorCaptionOpen, MB_ICONERROR | MB_OK);
    return false;
  }
  const char* caption = result == kCsvCountMismatch ? kCsvErrorCaptionCount : kCsvErrorCaptionItem;
  ShowMessage(main, CsvErrorText(result), caption, MB_ICONERROR | MB_OK);
  return false;
}

std::optional<std::string> ChooseListFile(HWND owner, bool save) {
  AppState& app = App();
  std::optional<std::string> chosen;
  if (app.chooseListFile) {
    chosen = app.chooseListFile(owner, save);
  } else {
    FileChoice choice;
    choice.save = save;
    choice.filter = save
                        ? "CSVﾌｧｲﾙ(*.csv)\0*.csv\0ﾃｷｽﾄﾌｧｲﾙ(*.txt)\0*.txt\0HTMLﾌｧｲﾙ(*.htm)\0*."
                          "htm\0すべてのﾌｧｲﾙ(*.*)\0*.*\0"
                        : "CSVﾌｧｲﾙ(*.csv)\0*.csv\0ﾃｷｽﾄﾌｧｲﾙ(*.txt)\0*.txt\0すべてのﾌｧｲﾙ(*.*)\0*.*\0";
    choice.title = save ? "名前をつけて保存" : "ﾌｧｲﾙを開く";
    choice.defaultExtension = save ? "csv" : "txt";
    choice.initialFolder = save ? app.settings.saveDir : app.settings.loadDir;
    choice.initialName = app.lastListPath;
    choice.flags = OFN_HIDEREADONLY | (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    chosen = ChooseFile(owner, choice);
  }
  if (!chosen) return std::nullopt;
  app.lastListPath = *chosen;
  InvalidateRect(owner, nullptr, TRUE);
  UpdateWindow(owner);
  return app.lastListPath;
}

void OnOpen(HWND main) {
  AppState& app = App();
  const std::optional<std::string> chosen = ChooseListFile(main, false);
  if (!chosen) return;
  const std::string& path = *chosen;
  const std::string previousFile = app.currentListFile;
  const std::string previousCaption = Caption(main);
  app.settings.loadDir = PathDirectory(path);
  app.currentListFile = path;
  ShowListCaption(main, path, false);
  switch (ListFormatOf(path).value_or(ListFormat::Html)) {
    case ListFormat::Text:
      ShowListCaption(main, path, true);
      ApplyEvent(ShellEvent::OpenTextList);
      break;
    case ListFormat::Csv:
      // A refused list does not become the save target: a later save would
      // overwrite the file the user meant to load with the rows on screen.
      if (!LoadCsv(main, path)) {
        app.currentListFile = previousFile;
        SetCaption(main, previousCaption);
      }
      break;
    default: break;
  }
}

void TakeSavedName(HWND main, const std::string& path) {
  AppState& app = App();
  app.settings.saveDir = PathDirectory(path);
  app.currentListFile = path;
  ShowListCaption(main, path, false);
  ApplyEvent(ShellEvent::SaveAsChosen);
}

void OnSaveAs(HWND main) {
  AppState& app = App();
  const std::optional<std::string> chosen = ChooseListFile(main, true);
  if (!chosen) return;
  const std::string& path = *chosen;
  const std::optional<ListFormat> format = ListFormatOf(path);
  if (!format) {
    TakeSavedName(main, path);
    return;
  }
  switch (*format) {
    case ListFormat::Text:
    case ListFormat::Csv:
      // The chosen name becomes the current list only once it was written.
      if (WriteList(main, path, *format, false)) TakeSavedName(main, path);
      break;
    case ListFormat::Html: {
      // The name is taken as the dialog opens, and "保存中止" keeps it; but
      // a page that could not be written and was then given up does not
      // become the current list.
      const std::string previousFile = app.currentListFile;
      const std::string previousSaveDir = app.settings.saveDir;
      const bool previousSave = app.commands.Offers(IDM_SAVE);
      const std::string previousCaption = Caption(main);
      TakeSavedName(main, path);
      bool writeFailed = false;
      if (!WritePageThroughDialog(main, path, writeFailed) && writeFailed) {
        app.currentListFile = previousFile;
        app.settings.saveDir = previousSaveDir;
        app.commands.SetOffered(IDM_SAVE, previousSave);
        ShowCommandState();
        SetCaption(main, previousCaption);
      }
      break;
    }
  }
}

void OnSave(HWND main) {
  AppState& app = App();
  const std::string path = app.currentListFile;
  const std::optional<ListFormat> format = ListFormatOf(path);
  if (!format) return;
  switch (*format) {
    case ListFormat::Text: WriteList(main, path, ListFormat::Text, true); break;
    case ListFormat::Csv: WriteList(main, path, ListFormat::Csv, false); break;
    case ListFormat::Html: {
      app.lastListPath = path;
      bool writeFailed = false;
      WritePageThroughDialog(main, path, writeFailed);
      break;
    }
  }
}

void ScanAfterChoice(HWND main, const std::string& folder) {
  AppState& app = App();
  if (app.settings.listClear == 1) OnNew(main);
  app.commands.SetOffered(IDM_LISTEDIT, true);
  ShowCommandState();
  bool whole;
  {
    WaitCursor wait;
    whole = ScanIntoList(folder);
  }
  ShowTotalsFor(folder);
  ApplyEvent(ShellEvent::Scan);
  if (!whole) NoteScanStopped();
  ReportUnreadableFolders(main);
}

void OnScan(HWND main) {
  const std::optional<std::string> folder = PickFolder(main, kScanFolderTitle);
  if (!folder) return;
  App().scanFolder = *folder;
  ScanAfterChoice(main, *folder);
}

void OnAutoScan(HWND main) {
  AppState& app = App();
  if (!SetCurrentDirectoryW(Wide(app.settings.autoScanFolder).c_str())) {
    ShowMessage(main, kScanErrorText, kScanErrorCaption, MB_ICONWARNING | MB_OK);
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

void OnSortMode(int chosen) {
  ViewState& view = App().commands.view;
  view.sortByExtension = chosen == IDM_SORT_EXT;
  ShowCommandState();
}

void OnToggleBar(HWND main, int command) {
  ViewState& view = App().commands.view;
  bool& shown = command == IDM_TOOLBAR ? view.toolbar : view.statusBar;
  shown = !shown;
  ShowCommandState();
  ShowBars(main);
}

void OnEndSet() {
  AppState& app = App();
  bool& on = app.commands.view.saveAtExit;
  on = !on;
  ShowCommandState();
  app.profile->WriteString("MainSeting", "EndSet", SaveAtExitValue(on));
}

void OnGridLines() {
  bool& on = App().commands.view.gridLines;
  on = !on;
  ShowCommandState();
  SetListExtendedStyle(on);
}

void OnVersion(HWND main) {
  Beep(440, 100);
  ShowMessage(main, VersionText(App().settings.title), kVersionCaption, MB_ICONINFORMATION | MB_OK);
}

void OnCustomize(HWND main) {
  AppState& app = App();
  CustomizeData d;
  d.state = LoadCustomizeState(*app.profile, app.settings);
  d.lastPickedColour = app.lastPickedColour;
  std::copy(std::begin(app.customizeColours), std::end(app.customizeColours), d.customColours);
  const bool accepted = ShowCustomizeDialog(main, d);
  app.lastPickedColour = d.lastPickedColour;
  std::copy(std::begin(d.customColours), std::end(d.customColours), app.customizeColours);
  if (accepted) {
    SaveCustomizeState(*app.profile, app.settings, d.state);
    app.settings.mainColor = d.state.mainColor;
    app.settings.listFore = d.state.listFore;
    app.settings.listBack = d.state.listBack;
    CreateFonts();
    ApplyListColours(app.settings.listFore, app.settings.listBack);
  }
  InvalidateRect(main, nullptr, TRUE);
}

void OnWriteInfo(HWND main) {
  if (!ConfirmInfoWrite(main)) return;
  AppState& app = App();
  ShowInfoProblems(main, WriteCheckedInfo(app.rows, app.table));
}

void OnPlay(HWND main) {
  AppState& app = App();
  const int row = FirstSelectedRow();
  if (row < 0 || row >= app.rows.Count()) return;
  // Without the folder category the movie's folder is not known.
  const std::string folder =
      app.table.IsOn(DirPath) ? app.rows.Cell(row, app.table.position[DirPath]) : "";
  PlayMovie(main, folder, app.rows.Cell(row, 0), app.settings.modernFormats == 1);
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

}  // namespace

void EditSelectedRow(HWND main) {
  AppState& app = App();
  const int row = FirstSelectedRow();
  if (row < 0 || row >= app.rows.Count()) return;
  ItemEditData d;
  d.view = ComposeItemEdit(app.rows, app.table, row);
  if (!ShowItemEditDialog(main, d)) return;
  ApplyItemEdit(app.rows, app.table, row, d.input);
  RefreshRow(row);
}

void ShowContextMenu(HWND main) {
  AppState& app = App();
  POINT pt{};
  GetCursorPos(&pt);
  HMENU menu = LoadMenuW(app.instance, L"POPUPMENU");
  if (!menu) return;
  RemoveUnusedFitItems(menu);
  HMENU popup = GetSubMenu(menu, 0);
  ApplyClickStates(main, popup);
  TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, pt.x, pt.y, 0, main,
                 nullptr);
  DestroyMenu(menu);
}

void HandleCommand(HWND main, int command) {
  // While a scan runs, the commands that would change the rows wait.
  if (App().commands.scanning && !App().commands.Offers(command)) return;
  switch (command) {
    case IDM_NEW: OnNew(main); break;
    case IDM_OPEN: OnOpen(main); break;
    case IDM_SAVEAS: OnSaveAs(main); break;
    case IDM_SAVE: OnSave(main); break;
    case IDM_EXIT: SendMessageW(main, WM_CLOSE, 0, 0); break;
    case IDM_SCAN: OnScan(main); break;
    case IDM_AUTOSCAN: OnAutoScan(main); break;
    case IDM_CUT: OnCutOrDelete(true); break;
    case IDM_COPY: OnCopy(); break;
    case IDM_PASTE: OnPaste(); break;
    case IDM_DELETE: OnCutOrDelete(false); break;
    case IDM_LISTEDIT: EditSelectedRow(main); break;
    case IDM_SORT_NAME:
    case IDM_SORT_EXT: OnSortMode(command); break;
    case IDM_FIND: OnFind(main); break;
    case IDM_FIND_NEXT:
    case IDM_FIND_PREV: OnFindAgain(main, command == IDM_FIND_NEXT); break;
    case IDM_DUP_ALL:
    case IDM_DUP_BUT_ONE: OnDuplicates(main, command == IDM_DUP_BUT_ONE); break;
    case IDM_RESCAN:
    case IDM_RESCAN_FOLDER: OnRescan(main, command == IDM_RESCAN_FOLDER); break;
    case IDM_TOOLBAR:
    case IDM_STATUSBAR: OnToggleBar(main, command); break;
    case IDM_CUSTOMIZE: OnCustomize(main); break;
    case IDM_ENDSET: OnEndSet(); break;
    case IDM_VERSION: OnVersion(main); break;
    case IDM_FIT_ALL: OnFitAll(); break;
    case IDM_GRIDLINE: OnGridLines(); break;
    case IDM_WRITEINFO: OnWriteInfo(main); break;
    case IDM_CLEARCHECKS: OnClearChecks(); break;
    case IDM_PLAY: OnPlay(main); break;
    default:
      if (int category = CategoryOfFitCommand(command); category >= 0) OnFitOne(category);
      break;
  }
}

}  // namespace clip
