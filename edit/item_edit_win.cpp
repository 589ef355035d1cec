#include "edit/item_edit_win.h"

#include <string>

#include "win/dialog_helpers_win.h"
#include "base/wide_win.h"
#include "res/dialogs_res.h"

namespace clip {

namespace {

void ShowField(HWND dlg, int id, bool on, const std::string& text) {
  SendDlgItemMessageW(dlg, id, EM_LIMITTEXT, kInfoTextMax, 0);
  if (on)
    SetDialogItemText(dlg, id, text);
  else
    EnableWindow(GetDlgItem(dlg, id), FALSE);
}

void Init(HWND dlg, const ItemEditView& v) {
  CenterOnOwner(dlg);
  SetWindowTextUtf8(dlg, v.caption);
  SetDialogItemText(dlg, IDC_EDIT_FILENAME, v.fileName);
  SetDialogItemText(dlg, IDC_EDIT_FOLDER, v.folder);
  SetDialogItemText(dlg, IDC_EDIT_SIZE, v.sizeLine);
  SetDialogItemText(dlg, IDC_EDIT_INFO1, v.info1);
  SetDialogItemText(dlg, IDC_EDIT_INFO2, v.info2);
  ShowField(dlg, IDC_EDIT_TITLE, v.titleOn, v.title);
  ShowField(dlg, IDC_EDIT_CREATOR, v.creatorOn, v.creator);
  ShowField(dlg, IDC_EDIT_COMMENT, v.commentOn, v.comment);
  HWND genre = GetDlgItem(dlg, IDC_EDIT_GENRE);
  if (!v.genreOn) {
    EnableWindow(genre, FALSE);
    return;
  }
  SendMessageW(genre, CB_LIMITTEXT, kInfoTextMax, 0);
  for (std::size_t i = 0; i < kGenreNames.size(); ++i)
    SendMessageW(genre, CB_INSERTSTRING, i, reinterpret_cast<LPARAM>(Wide(kGenreNames[i]).c_str()));
  if (v.genreSelectFirst)
    SendMessageW(genre, CB_SETCURSEL, 0, 0);
  else
    SetWindowTextUtf8(genre, v.genre);
}

void Accept(HWND dlg, ItemEditData& io) {
  io.input.title = DialogItemText(dlg, IDC_EDIT_TITLE);
  io.input.creator = DialogItemText(dlg, IDC_EDIT_CREATOR);
  io.input.genre = DialogItemText(dlg, IDC_EDIT_GENRE);
  io.input.comment = DialogItemText(dlg, IDC_EDIT_COMMENT);
  EndDialog(dlg, IDOK);
}

INT_PTR CALLBACK ItemEditProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
  auto* io = reinterpret_cast<ItemEditData*>(GetWindowLongPtrW(dlg, DWLP_USER));
  switch (msg) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(dlg, DWLP_USER, lp);
      Init(dlg, reinterpret_cast<ItemEditData*>(lp)->view);
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wp)) {
        case IDOK:
          if (io) Accept(dlg, *io);
          break;
        case IDCANCEL: EndDialog(dlg, IDCANCEL); break;
        case IDC_EDIT_CLEAR:
          for (int id : {IDC_EDIT_TITLE, IDC_EDIT_CREATOR, IDC_EDIT_COMMENT, IDC_EDIT_GENRE})
            SetDialogItemText(dlg, id, "");
          break;
      }
      return FALSE;
  }
  return FALSE;
}

}  // namespace

bool ShowItemEditDialog(HWND owner, ItemEditData& io) {
  return DialogBoxParamW(GetModuleHandleW(nullptr), L"DIALOG2", owner, ItemEditProc,
                         reinterpret_cast<LPARAM>(&io)) == IDOK;
}

}  // namespace clip
