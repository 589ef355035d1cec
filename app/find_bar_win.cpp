#include "app/find_bar_win.h"

#include <memory>

#include "app/dpi_win.h"
#include "app/main_rules.h"
#include "base/wide_win.h"
#include "win/dialog_helpers_win.h"
#include "res/dialogs_res.h"

namespace clip {

namespace {

// The bar's own copy of its data, and whether its controls are being
// filled (the text box reports that as typing). The bar frees it when it
// is destroyed; taken tells the opener that the bar has it.
struct FindBarState {
  FindBarData data;
  bool filling = false;
  bool* taken = nullptr;
};

FindBarState* StateOf(HWND bar) {
  return reinterpret_cast<FindBarState*>(GetWindowLongPtrW(bar, DWLP_USER));
}

FindQuery QueryOf(HWND bar, const FindBarState& state) {
  FindQuery q;
  q.text = DialogItemText(bar, IDC_FIND_TEXT, 4095);
  const LRESULT choice = SendDlgItemMessageW(bar, IDC_FIND_COLUMN, CB_GETCURSEL, 0, 0);
  q.column = choice > 0 && static_cast<std::size_t>(choice) < state.data.columns.size()
                 ? state.data.columns[static_cast<std::size_t>(choice)].column
                 : -1;
  q.kanaInsensitive = IsDlgButtonChecked(bar, IDC_FIND_KANA) == BST_CHECKED;
  return q;
}

void Run(HWND bar, FindAction action) {
  FindBarState* state = StateOf(bar);
  if (!state || state->filling || !state->data.run) return;
  const FindQuery query = QueryOf(bar, *state);
  ShowFindBarResult(bar, state->data.run(query, action));
}

// Top right of the owner's client area, a little below its tool bar (the
// distances at the owner's DPI).
void PlaceOverOwner(HWND bar) {
  HWND owner = GetWindow(bar, GW_OWNER);
  RECT client{}, mine{};
  if (!owner || !GetClientRect(owner, &client) || !GetWindowRect(bar, &mine)) return;
  POINT corner{client.right, client.top};
  ClientToScreen(owner, &corner);
  const int width = mine.right - mine.left, dpi = WindowDpi(owner);
  SetWindowPos(bar, nullptr, corner.x - width - ScaleToDpi(24, dpi), corner.y + ScaleToDpi(48, dpi),
               0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Init(HWND bar, FindBarState& state) {
  state.filling = true;
  HWND column = GetDlgItem(bar, IDC_FIND_COLUMN);
  int selected = 0;
  for (std::size_t i = 0; i < state.data.columns.size(); ++i) {
    SendMessageW(column, CB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(Wide(state.data.columns[i].label).c_str()));
    if (state.data.columns[i].column == state.data.query.column) selected = static_cast<int>(i);
  }
  SendMessageW(column, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
  SetDialogItemText(bar, IDC_FIND_TEXT, state.data.query.text);
  CheckDlgButton(bar, IDC_FIND_KANA,
                 state.data.query.kanaInsensitive ? BST_CHECKED : BST_UNCHECKED);
  PlaceOverOwner(bar);
  state.filling = false;
}

INT_PTR CALLBACK FindBarProc(HWND bar, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_INITDIALOG: {
      auto* state = reinterpret_cast<FindBarState*>(lp);
      *state->taken = true;
      state->taken = nullptr;
      SetWindowLongPtrW(bar, DWLP_USER, lp);
      Init(bar, *state);
      return TRUE;
    }
    case WM_COMMAND:
      switch (LOWORD(wp)) {
        case IDC_FIND_TEXT:
          if (HIWORD(wp) == EN_CHANGE) Run(bar, FindAction::AsYouType);
          return TRUE;
        case IDC_FIND_COLUMN:
          if (HIWORD(wp) == CBN_SELCHANGE) Run(bar, FindAction::AsYouType);
          return TRUE;
        case IDC_FIND_KANA: Run(bar, FindAction::AsYouType); return TRUE;
        case IDOK:  // Enter in the text box
        case IDC_FIND_NEXT: Run(bar, FindAction::Next); return TRUE;
        case IDC_FIND_PREV: Run(bar, FindAction::Previous); return TRUE;
        case IDC_FIND_ALL: Run(bar, FindAction::SelectAll); return TRUE;
        case IDCANCEL: DestroyWindow(bar); return TRUE;
      }
      return FALSE;
    case WM_NCDESTROY: {
      std::unique_ptr<FindBarState> state(StateOf(bar));
      SetWindowLongPtrW(bar, DWLP_USER, 0);
      if (state && state->data.closed) state->data.closed();
      return FALSE;
    }
  }
  return FALSE;
}

}  // namespace

HWND OpenFindBar(HWND owner, const FindBarData& data) {
  auto state = std::make_unique<FindBarState>();
  state->data = data;
  bool taken = false;
  state->taken = &taken;
  HWND bar = CreateDialogParamW(GetModuleHandleW(nullptr), L"FINDBAR", owner, FindBarProc,
                                reinterpret_cast<LPARAM>(state.get()));
  if (taken) state.release();  // the bar frees it, even when it failed after taking it
  if (!bar) return nullptr;
  ShowWindow(bar, SW_SHOW);
  FocusFindBar(bar);
  return bar;
}

void FocusFindBar(HWND bar) {
  if (!bar) return;
  SetActiveWindow(bar);
  HWND text = GetDlgItem(bar, IDC_FIND_TEXT);
  SetFocus(text);
  SendMessageW(text, EM_SETSEL, 0, -1);
}

void ShowFindBarResult(HWND bar, const std::string& text) {
  if (bar) SetDialogItemText(bar, IDC_FIND_RESULT, text);
}

void CloseFindBar(HWND bar) {
  if (bar) DestroyWindow(bar);
}

}  // namespace clip
