// The HTML output options dialog "HTMLEDIT": collects the page options and
// hands them to its caller to write the page or keep them in the settings
// file.
#include "listfile/html_options_win.h"

#include <commdlg.h>

#include <string>
#include <vector>

#include "win/dialog_helpers_win.h"
#include "base/text.h"
#include "listfile/html_options.h"
#include "res/dialogs_res.h"

namespace clip {

namespace {

struct HtmlDialog {
  HtmlOptionsData& io;
  HtmlOptions options;  // the colours live here while the dialog is open
};

// A radio group: its buttons in the order of the values 0, 1, 2.
struct RadioGroup {
  std::vector<int> ids;
  int HtmlOptions::*field;
};

const RadioGroup kGroups[] = {
    {{IDC_HTML_TOP_LEFT, IDC_HTML_TOP_CENTER, IDC_HTML_TOP_RIGHT}, &HtmlOptions::topTitleAlign},
    {{IDC_HTML_BACK_COLOUR, IDC_HTML_BACK_IMAGE}, &HtmlOptions::backgroundKind},
    {{IDC_HTML_FIT_LEFT, IDC_HTML_FIT_CENTER, IDC_HTML_FIT_RIGHT}, &HtmlOptions::headerAlign},
    {{IDC_HTML_ROWS_ALIKE, IDC_HTML_ROWS_ALTERNATE}, &HtmlOptions::rowColouring},
    {{IDC_HTML_FII_LEFT, IDC_HTML_FII_CENTER, IDC_HTML_FII_RIGHT}, &HtmlOptions::dataAlign},
};

// A swatch, its button and the colour they show.
struct ColourControl {
  int swatch, button;
  std::uint32_t HtmlOptions::*field;
};

const ColourControl kColours[] = {
    {IDC_HTML_FOBACK_SWATCH, IDC_HTML_FOBACK_COLOR, &HtmlOptions::foBackColor},
    {IDC_HTML_FITBACK_SWATCH, IDC_HTML_FITBACK_COLOR, &HtmlOptions::fitBackColor},
    {IDC_HTML_FITFONT_SWATCH, IDC_HTML_FITFONT_COLOR, &HtmlOptions::fitFontColor},
    {IDC_HTML_FIIBACK1_SWATCH, IDC_HTML_FIIBACK1_COLOR, &HtmlOptions::fiiBackColor1},
    {IDC_HTML_FIIBACK2_SWATCH, IDC_HTML_FIIBACK2_COLOR, &HtmlOptions::fiiBackColor2},
    {IDC_HTML_FIIFONT1_SWATCH, IDC_HTML_FIIFONT1_COLOR, &HtmlOptions::fiiFontColor1},
    {IDC_HTML_FIIFONT2_SWATCH, IDC_HTML_FIIFONT2_COLOR, &HtmlOptions::fiiFontColor2},
    {IDC_HTML_FOFONT_SWATCH, IDC_HTML_FOFONT_COLOR, &HtmlOptions::foFontColor},
};

void ShowOptions(HWND dlg, const HtmlOptions& o) {
  SetDialogItemText(dlg, IDC_HTML_CAPTION, o.caption);
  SetDialogItemText(dlg, IDC_HTML_TOPTITLE, o.topTitle);
  SetDialogItemText(dlg, IDC_HTML_IMAGE, o.backgroundImage);
  SetDialogItemText(dlg, IDC_HTML_TOP_SIZE, o.topTitleSize);
  SetDialogItemText(dlg, IDC_HTML_CELL_SIZE, o.cellFontSize);
  for (const RadioGroup& g : kGroups) {
    const int value = o.*g.field;
    for (std::size_t i = 0; i < g.ids.size(); ++i)
      CheckDlgButton(dlg, g.ids[i], static_cast<int>(i) == value ? BST_CHECKED : BST_UNCHECKED);
  }
}

// The options as the controls hold them; a group without a checked button
// gives -1, which the page and the settings file take as the default.
HtmlOptions ReadOptions(HWND dlg, const HtmlDialog& d) {
  HtmlOptions o = d.options;
  o.caption = DialogItemText(dlg, IDC_HTML_CAPTION, 255);
  o.topTitle = DialogItemText(dlg, IDC_HTML_TOPTITLE, 127);
  o.backgroundImage = DialogItemText(dlg, IDC_HTML_IMAGE, 127);
  o.topTitleSize = DialogItemText(dlg, IDC_HTML_TOP_SIZE, 127);
  o.cellFontSize = DialogItemText(dlg, IDC_HTML_CELL_SIZE, 255);
  for (const RadioGroup& g : kGroups) {
    o.*g.field = -1;
    for (std::size_t i = 0; i < g.ids.size(); ++i)
      if (IsDlgButtonChecked(dlg, g.ids[i]) == BST_CHECKED) o.*g.field = static_cast<int>(i);
  }
  return o;
}

std::optional<std::string> ChooseBackgroundImage(HWND owner, const std::string& folder) {
  FileChoice choice;
  choice.filter = "JPEGﾌｧｲﾙ(*.jpg)\0*.jpg\0GIFﾌｧｲﾙ(*.gif)\0*.gif\0すべてのﾌｧｲﾙ(*.*)\0*.*\0";
  choice.title = "画像ﾌｧｲﾙを開く";
  choice.initialFolder = folder;
  choice.flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
  return ChooseFile(owner, choice);
}

bool SelectRadio(HWND dlg, int id) {
  for (const RadioGroup& g : kGroups) {
    for (int member : g.ids) {
      if (member != id) continue;
      for (int other : g.ids) CheckDlgButton(dlg, other, other == id ? BST_CHECKED : BST_UNCHECKED);
      return true;
    }
  }
  return false;
}

bool PickColourFor(HWND dlg, HtmlDialog& d, int button) {
  for (const ColourControl& c : kColours) {
    if (c.button != button) continue;
    d.options.*c.field = PickColour(dlg, d.io.lastPickedColour, d.io.customColours);
    InvalidateRect(GetDlgItem(dlg, c.swatch), nullptr, TRUE);
    InvalidateRect(dlg, nullptr, TRUE);
    return true;
  }
  return false;
}

void WritePage(HWND dlg, HtmlDialog& d) {
  const HtmlOptions options = WithValidChoices(ReadOptions(dlg, d));
  const SaveResult result = d.io.writePage ? d.io.writePage(options) : SaveResult{};
  if (!result.ok) {
    // The page was not written: say so and let the user try again or cancel.
    ShowMessage(dlg, result.error, kSaveFailedCaption, MB_ICONERROR | MB_OK);
    d.io.writeFailed = true;
    return;
  }
  d.io.options = options;
  EndDialog(dlg, IDOK);
}

void Init(HWND dlg, HtmlDialog& d) {
  CenterOnOwner(dlg);
  SendDlgItemMessageW(dlg, IDC_HTML_CAPTION, EM_LIMITTEXT, 255, 0);
  for (int id : {IDC_HTML_TOPTITLE, IDC_HTML_IMAGE, IDC_HTML_TOP_SIZE})
    SendDlgItemMessageW(dlg, id, EM_LIMITTEXT, 127, 0);
  SendDlgItemMessageW(dlg, IDC_HTML_CELL_SIZE, EM_LIMITTEXT, 255, 0);
  ShowOptions(dlg, d.options);
}

const ColourControl* SwatchOf(int id) {
  for (const ColourControl& c : kColours)
    if (c.swatch == id) return &c;
  return nullptr;
}

INT_PTR CALLBACK HtmlOptionsProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
  auto* d = reinterpret_cast<HtmlDialog*>(GetWindowLongPtrW(dlg, DWLP_USER));
  switch (msg) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(dlg, DWLP_USER, lp);
      Init(dlg, *reinterpret_cast<HtmlDialog*>(lp));
      return TRUE;
    case WM_PAINT:
      if (d)
        for (const ColourControl& c : kColours) PaintSwatch(dlg, c.swatch, d->options.*c.field);
      return FALSE;
    case WM_CTLCOLORSTATIC: {
      const ColourControl* c = d ? SwatchOf(GetDlgCtrlID(reinterpret_cast<HWND>(lp))) : nullptr;
      if (!c) return FALSE;
      return reinterpret_cast<INT_PTR>(
          SwatchBrush(reinterpret_cast<HWND>(lp), d->options.*c->field));
    }
    case WM_COMMAND: {
      if (!d || HIWORD(wp) != BN_CLICKED) return FALSE;
      const int id = LOWORD(wp);
      if (PickColourFor(dlg, *d, id) || SelectRadio(dlg, id)) return FALSE;
      switch (id) {
        case IDC_HTML_IMAGE_BROWSE: {
          HWND owner = GetWindow(dlg, GW_OWNER);
          if (auto chosen = ChooseBackgroundImage(owner ? owner : dlg, d->io.imageFolder))
            SetDialogItemText(dlg, IDC_HTML_IMAGE, PathFileName(*chosen));
          break;
        }
        case IDC_HTML_SAVE_SETTINGS:
          if (d->io.saveSettings) d->io.saveSettings(ReadOptions(dlg, *d));
          break;
        case IDOK: WritePage(dlg, *d); break;
        case IDCANCEL: EndDialog(dlg, IDCANCEL); break;
      }
      return FALSE;
    }
    case WM_DESTROY: ReleaseSwatchBrushes(dlg); return FALSE;
  }
  return FALSE;
}

}  // namespace

bool ShowHtmlOptionsDialog(HWND owner, HtmlOptionsData& io) {
  HtmlDialog d{io, io.options};
  return DialogBoxParamW(GetModuleHandleW(nullptr), L"HTMLEDIT", owner, HtmlOptionsProc,
                         reinterpret_cast<LPARAM>(&d)) == IDOK;
}

}  // namespace clip
