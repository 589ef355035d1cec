// The item edit dialog "DIALOG2" for the first selected row.
#include <string>

#include "app/app_win.h"
#include "app/dialogs_win.h"
#include "edit/item_edit.h"
#include "res/dialogs_res.h"

namespace clip {

namespace {

std::string ItemText(HWND dlg, int id) {
  char buf[1024] = {};
  GetDlgItemTextA(dlg, id, buf, sizeof buf);
  return buf;
}

void ShowField(HWND dlg, int id, bool on, const std::string& text) {
  SendDlgItemMessageA(dlg, id, EM_LIMITTEXT, kCellMax, 0);
  if (on)
    SetDlgItemTextA(dlg, id, text.c_str());
  else
    EnableWindow(GetDlgItem(dlg, id), FALSE);
}

void Init(HWND dlg) {
  AppState& app = App();
  CenterOnMainWindow(dlg);
  const int row = FirstSelectedRow();
  if (row < 0 || row >= app.rows.Count()) {
    EndDialog(dlg, IDCANCEL);
    return;
  }
  const ItemEditView v = ComposeItemEdit(app.rows, app.table, row);
  SetWindowTextA(dlg, v.caption.c_str());
  SetDlgItemTextA(dlg, IDC_EDIT_FILENAME, v.fileName.c_str());
  SetDlgItemTextA(dlg, IDC_EDIT_FOLDER, v.folder.c_str());
  SetDlgItemTextA(dlg, IDC_EDIT_SIZE, v.sizeLine.c_str());
  SetDlgItemTextA(dlg, IDC_EDIT_INFO1, v.info1.c_str());
  SetDlgItemTextA(dlg, IDC_EDIT_INFO2, v.info2.c_str());
  ShowField(dlg, IDC_EDIT_TITLE, v.titleOn, v.title);
  ShowField(dlg, IDC_EDIT_CREATOR, v.creatorOn, v.creator);
  ShowField(dlg, IDC_EDIT_COMMENT, v.commentOn, v.comment);
  HWND genre = GetDlgItem(dlg, IDC_EDIT_GENRE);
  if (!v.genreOn) {
    EnableWindow(genre, FALSE);
    return;
  }
  SendMessageA(genre, CB_LIMITTEXT, kCellMax, 0);
  for (std::size_t i = 0; i < kGenreNames.size(); ++i)
    SendMessageA(genre, CB_INSERTSTRING, i, reinterpret_cast<LPARAM>(kGenreNames[i]));
  if (v.genreSelectFirst)
    SendMessageA(genre, CB_SETCURSEL, 0, 0);
  else
    SetWindowTextA(genre, v.genre.c_str());
}

void Accept(HWND dlg) {
  AppState& app = App();
  const int row = FirstSelectedRow();
  if (row >= 0 && row < app.rows.Count()) {
    ItemEditInput input;
    input.title = ItemText(dlg, IDC_EDIT_TITLE);
    input.creator = ItemText(dlg, IDC_EDIT_CREATOR);
    input.genre = ItemText(dlg, IDC_EDIT_GENRE);
    input.comment = ItemText(dlg, IDC_EDIT_COMMENT);
    ApplyItemEdit(app.rows, app.table, row, input);
    RefreshRow(row);
  }
  EndDialog(dlg, IDOK);
}

INT_PTR CALLBACK ItemEditProc(HWND dlg, UINT msg, WPARAM wp, LPARAM) {
  switch (msg) {
    case WM_INITDIALOG:
      Init(dlg);
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wp)) {
        case IDOK:
          Accept(dlg);
          break;
        case IDCANCEL:
          EndDialog(dlg, IDCANCEL);
          break;
        case IDC_EDIT_CLEAR:
          for (int id : {IDC_EDIT_TITLE, IDC_EDIT_CREATOR, IDC_EDIT_COMMENT, IDC_EDIT_GENRE})
            SetDlgItemTextA(dlg, id, "");
          break;
      }
      return FALSE;
  }
  return FALSE;
}

}  // namespace

void ShowItemEditDialog(HWND owner) {
  if (FirstSelectedRow() < 0) return;
  DialogBoxParamA(App().instance ? App().instance : GetModuleHandleA(nullptr), "DIALOG2", owner,
                  ItemEditProc, 0);
}

}  // namespace clip
