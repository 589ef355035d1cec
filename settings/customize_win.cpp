#include "settings/customize_win.h"

#include <string>
#include <vector>

#include "win/dialog_helpers_win.h"
#include "base/wide_win.h"
#include "res/dialogs_res.h"

namespace clip {

namespace {

struct CustomizeDialog {
  CustomizeData& io;
  CustomizeState state;  // the dialog's working copy; io.state is set at OK
  std::vector<std::string> faces;
};

int CALLBACK CollectFamily(const LOGFONTW* lf, const TEXTMETRICW*, DWORD, LPARAM lp) {
  reinterpret_cast<std::vector<FontFamily>*>(lp)->push_back(
      {Narrow(lf->lfFaceName), lf->lfCharSet});
  return 1;
}

void ShowBoxes(HWND dlg, const CustomizeState& s) {
  for (std::size_t i = 0; i < kCustomizeBoxes.size(); ++i)
    CheckDlgButton(dlg, kCustomizeBoxes[i].id, s.boxes[i] ? BST_CHECKED : BST_UNCHECKED);
}

void FillFaces(HWND dlg, CustomizeDialog& d) {
  std::vector<FontFamily> families;
  HDC screen = GetDC(nullptr);
  EnumFontFamiliesW(screen, nullptr, CollectFamily, reinterpret_cast<LPARAM>(&families));
  ReleaseDC(nullptr, screen);
  d.faces = JapaneseFaces(families);
  for (int box : {IDC_CUST_MAIN_FACE, IDC_CUST_LIST_FACE}) {
    for (std::size_t i = 0; i < d.faces.size(); ++i)
      SendDlgItemMessageW(dlg, box, CB_INSERTSTRING, i,
                          reinterpret_cast<LPARAM>(Wide(d.faces[i]).c_str()));
  }
  SendDlgItemMessageW(dlg, IDC_CUST_MAIN_FACE, CB_SETCURSEL,
                      static_cast<WPARAM>(FaceIndex(d.faces, d.state.mainFace)), 0);
  SendDlgItemMessageW(dlg, IDC_CUST_LIST_FACE, CB_SETCURSEL,
                      static_cast<WPARAM>(FaceIndex(d.faces, d.state.listFace)), 0);
}

void Init(HWND dlg, CustomizeDialog& d) {
  CenterOnOwner(dlg);
  ShowBoxes(dlg, d.state);
  SendDlgItemMessageW(dlg, IDC_CUST_AUTOSCAN, EM_LIMITTEXT, 255, 0);
  SetDialogItemText(dlg, IDC_CUST_AUTOSCAN, d.state.autoScan);
  FillFaces(dlg, d);
  SendDlgItemMessageW(dlg, IDC_CUST_MAIN_SIZE, EM_LIMITTEXT, 3, 0);
  SendDlgItemMessageW(dlg, IDC_CUST_LIST_SIZE, EM_LIMITTEXT, 3, 0);
  SetDialogItemText(dlg, IDC_CUST_MAIN_SIZE, d.state.mainSize);
  SetDialogItemText(dlg, IDC_CUST_LIST_SIZE, d.state.listSize);
}

void Reset(HWND dlg, CustomizeDialog& d) {
  ResetCustomizeBoxes(d.state);
  ShowBoxes(dlg, d.state);
  const int pGothic = FaceIndex(d.faces, kDefaultFontFace);
  if (pGothic >= 0) {
    SendDlgItemMessageW(dlg, IDC_CUST_MAIN_FACE, CB_SETCURSEL, static_cast<WPARAM>(pGothic), 0);
    SendDlgItemMessageW(dlg, IDC_CUST_LIST_FACE, CB_SETCURSEL, static_cast<WPARAM>(pGothic), 0);
  }
  SetDialogItemText(dlg, IDC_CUST_MAIN_SIZE, d.state.mainSize);
  SetDialogItemText(dlg, IDC_CUST_LIST_SIZE, d.state.listSize);
}

// The face chosen in a box; empty (keep the stored face) without a choice.
std::string ChosenFace(HWND dlg, int box, const CustomizeDialog& d) {
  LRESULT i = SendDlgItemMessageW(dlg, box, CB_GETCURSEL, 0, 0);
  if (i < 0 || static_cast<std::size_t>(i) >= d.faces.size()) return {};
  return d.faces[static_cast<std::size_t>(i)];
}

void Accept(HWND dlg, CustomizeDialog& d) {
  for (std::size_t i = 0; i < kCustomizeBoxes.size(); ++i)
    d.state.boxes[i] = IsDlgButtonChecked(dlg, kCustomizeBoxes[i].id) == BST_CHECKED;
  d.state.autoScan = DialogItemText(dlg, IDC_CUST_AUTOSCAN);
  d.state.mainSize = DialogItemText(dlg, IDC_CUST_MAIN_SIZE, 63);
  d.state.listSize = DialogItemText(dlg, IDC_CUST_LIST_SIZE, 63);
  d.state.mainFace = ChosenFace(dlg, IDC_CUST_MAIN_FACE, d);
  d.state.listFace = ChosenFace(dlg, IDC_CUST_LIST_FACE, d);
  d.io.state = d.state;
  EndDialog(dlg, IDOK);
}

std::uint32_t* SwatchColour(CustomizeDialog& d, int id) {
  switch (id) {
    case IDC_CUST_MAIN_SWATCH: return &d.state.mainColor;
    case IDC_CUST_LISTFO_SWATCH: return &d.state.listFore;
    case IDC_CUST_LISTBK_SWATCH: return &d.state.listBack;
  }
  return nullptr;
}

void PickInto(HWND dlg, CustomizeDialog& d, std::uint32_t& colour, int swatch) {
  colour = PickColour(dlg, d.io.lastPickedColour, d.io.customColours);
  InvalidateRect(GetDlgItem(dlg, swatch), nullptr, TRUE);
  InvalidateRect(dlg, nullptr, TRUE);
}

INT_PTR OnCommand(HWND dlg, CustomizeDialog& d, int id) {
  switch (id) {
    case IDC_CUST_MAIN_COLOR: PickInto(dlg, d, d.state.mainColor, IDC_CUST_MAIN_SWATCH); break;
    case IDC_CUST_LISTFO_COLOR: PickInto(dlg, d, d.state.listFore, IDC_CUST_LISTFO_SWATCH); break;
    case IDC_CUST_LISTBK_COLOR: PickInto(dlg, d, d.state.listBack, IDC_CUST_LISTBK_SWATCH); break;
    case IDC_CUST_BROWSE:
      if (auto folder = PickFolder(dlg, kScanFolderTitle))
        SetDialogItemText(dlg, IDC_CUST_AUTOSCAN, *folder);
      break;
    case IDC_CUST_RESET: Reset(dlg, d); break;
    case IDOK: Accept(dlg, d); break;
    case IDCANCEL: EndDialog(dlg, IDCANCEL); break;
  }
  return FALSE;
}

INT_PTR CALLBACK CustomizeProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
  auto* d = reinterpret_cast<CustomizeDialog*>(GetWindowLongPtrW(dlg, DWLP_USER));
  switch (msg) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(dlg, DWLP_USER, lp);
      Init(dlg, *reinterpret_cast<CustomizeDialog*>(lp));
      return TRUE;
    case WM_PAINT:
      if (d) {
        PaintSwatch(dlg, IDC_CUST_MAIN_SWATCH, d->state.mainColor);
        PaintSwatch(dlg, IDC_CUST_LISTFO_SWATCH, d->state.listFore);
        PaintSwatch(dlg, IDC_CUST_LISTBK_SWATCH, d->state.listBack);
      }
      return FALSE;
    case WM_CTLCOLORSTATIC: {
      std::uint32_t* colour =
          d ? SwatchColour(*d, GetDlgCtrlID(reinterpret_cast<HWND>(lp))) : nullptr;
      if (!colour) return FALSE;
      return reinterpret_cast<INT_PTR>(SwatchBrush(reinterpret_cast<HWND>(lp), *colour));
    }
    case WM_COMMAND: return d ? OnCommand(dlg, *d, LOWORD(wp)) : FALSE;
    case WM_DESTROY: ReleaseSwatchBrushes(dlg); return FALSE;
  }
  return FALSE;
}

}  // namespace

bool ShowCustomizeDialog(HWND owner, CustomizeData& io) {
  CustomizeDialog d{io, io.state, {}};
  return DialogBoxParamW(GetModuleHandleW(nullptr), L"DIALOG1", owner, CustomizeProc,
                         reinterpret_cast<LPARAM>(&d)) == IDOK;
}

}  // namespace clip
