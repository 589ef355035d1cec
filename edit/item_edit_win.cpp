#include "edit/item_edit_win.h"

#include <string>

#include "catalogue/dialog_helpers_win.h"
#include "res/dialogs_res.h"

namespace clip {

namespace {

void ShowField(HWND dlg, int id, bool on, const std::string& text) {
  SendDlgItemMessageA(dlg, id, EM_LIMITTEXT, kCellMax, 0);
  if (on)
    SetDlgItemTextA(dlg, id, text.c_str());
  else
    EnableWindow(GetDlgItem(dlg, id), FALSE);
}

void Init(HWND dlg, const ItemEditView& v) {
  CenterOnOwner(dlg);
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

void Accept(HWND dlg, ItemEditData& io) {
  io.input.title = DialogItemText(dlg, IDC_EDIT_TITLE);
  io.input.creator = DialogItemText(dlg, IDC_EDIT_CREATOR);
  io.input.genre = DialogItemText(dlg, IDC_EDIT_GENRE);
  io.input.comment = DialogItemText(dlg, IDC_EDIT_COMMENT);
  EndDialog(dlg, IDOK);
}

INT_PTR CALLBACK ItemEditProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
  auto* io = reinterpret_cast<ItemEditData*>(GetWindowLongPtrA(dlg, DWLP_USER));
  switch (msg) {
    case WM_INITDIALOG:
      SetWindowLongPtrA(dlg, DWLP_USER, lp);
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
            SetDlgItemTextA(dlg, id, "");
          break;
      }
      return FALSE;
  }
  return FALSE;
}

}  // namespace

bool ShowItemEditDialog(HWND owner, ItemEditData& io) {
  return DialogBoxParamA(GetModuleHandleA(nullptr), "DIALOG2", owner, ItemEditProc,
                         reinterpret_cast<LPARAM>(&io)) == IDOK;
}

}  // namespace clip
