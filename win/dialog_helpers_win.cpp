#include "win/dialog_helpers_win.h"

#include <commdlg.h>
#include <shlobj.h>

#include <algorithm>
#include <vector>

#include "base/cp932.h"
#include "base/wide_win.h"

namespace clip {

namespace {

constexpr const wchar_t* kSwatchBrushProp = L"ClipSwatchBrush";

}  // namespace

std::string DialogItemText(HWND dialog, int id, std::size_t maxBytes) {
  HWND control = GetDlgItem(dialog, id);
  if (!control) return {};
  const int length = GetWindowTextLengthW(control);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return CutCp932(Narrow(text), maxBytes);
}

void SetDialogItemText(HWND dialog, int id, const std::string& text) {
  SetDlgItemTextW(dialog, id, Wide(text).c_str());
}

void SetWindowTextUtf8(HWND window, const std::string& text) {
  SetWindowTextW(window, Wide(text).c_str());
}

std::string WindowTextUtf8(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return Narrow(text);
}

int ShowMessage(HWND owner, const std::string& text, const std::string& caption, UINT type) {
  return MessageBoxW(owner, Wide(text).c_str(), Wide(caption).c_str(), type);
}

void CenterOnOwner(HWND dialog) {
  HWND owner = GetWindow(dialog, GW_OWNER);
  RECT o{}, d{};
  if (!owner || !GetWindowRect(owner, &o) || !GetWindowRect(dialog, &d)) return;
  const int width = d.right - d.left, height = d.bottom - d.top;
  MoveWindow(dialog, o.left + (o.right - o.left - width) / 2,
             o.top + (o.bottom - o.top - height) / 2, width, height, TRUE);
}

void PaintSwatch(HWND dialog, int id, COLORREF colour) {
  HWND control = GetDlgItem(dialog, id);
  if (!control) return;
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(control, &ps);
  RECT rc;
  GetClientRect(control, &rc);
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, &rc, brush);
  DeleteObject(brush);
  EndPaint(control, &ps);
}

HBRUSH SwatchBrush(HWND control, COLORREF colour) {
  HBRUSH old = static_cast<HBRUSH>(GetPropW(control, kSwatchBrushProp));
  if (old) {
    LOGBRUSH lb{};
    if (GetObjectW(old, sizeof lb, &lb) && lb.lbColor == colour) return old;
    DeleteObject(old);
  }
  HBRUSH brush = CreateSolidBrush(colour);
  SetPropW(control, kSwatchBrushProp, brush);
  return brush;
}

void ReleaseSwatchBrushes(HWND dialog) {
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    HBRUSH brush = static_cast<HBRUSH>(RemovePropW(child, kSwatchBrushProp));
    if (brush) DeleteObject(brush);
  }
}

COLORREF PickColour(HWND owner, COLORREF& lastPicked, COLORREF (&custom)[16]) {
  CHOOSECOLORW cc{};
  cc.lStructSize = sizeof cc;
  cc.hwndOwner = owner;
  cc.rgbResult = lastPicked;
  cc.lpCustColors = custom;
  cc.Flags = CC_RGBINIT;
  if (ChooseColorW(&cc)) lastPicked = cc.rgbResult;
  return lastPicked;
}

std::optional<std::string> PickFolder(HWND owner, const char* title) {
  wchar_t display[MAX_PATH] = {};
  const std::wstring wideTitle = Wide(title);
  BROWSEINFOW info{};
  info.hwndOwner = owner;
  info.pidlRoot = nullptr;  // the desktop
  info.pszDisplayName = display;
  info.lpszTitle = wideTitle.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  LPITEMIDLIST item = SHBrowseForFolderW(&info);
  if (!item) return std::nullopt;
  // Room for a long path: a folder deep in a tree may pass MAX_PATH.
  std::wstring path(32768, L'\0');
  const BOOL ok = SHGetPathFromIDListEx(item, path.data(), static_cast<DWORD>(path.size()), 0);
  CoTaskMemFree(item);
  // A choice without a file-system path is treated like a cancel.
  if (!ok || path[0] == L'\0') return std::nullopt;
  return Narrow(path.c_str());
}

std::optional<std::string> ChooseFile(HWND owner, const FileChoice& choice) {
  // Room for a long path; the filter's pairs end in zero characters, which
  // the conversion keeps.
  std::wstring file(32768, L'\0');
  const std::wstring initial = Wide(choice.initialName);
  initial.copy(file.data(), std::min(initial.size(), file.size() - 1));
  std::size_t filterLength = 0;
  if (choice.filter)
    while (choice.filter[filterLength] || choice.filter[filterLength + 1]) ++filterLength;
  const std::wstring filter =
      choice.filter ? Wide(std::string_view(choice.filter, filterLength + 2)) : std::wstring();
  const std::wstring title = choice.title ? Wide(choice.title) : std::wstring();
  const std::wstring extension =
      choice.defaultExtension ? Wide(choice.defaultExtension) : std::wstring();
  const std::wstring folder = Wide(choice.initialFolder);
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = choice.filter ? filter.c_str() : nullptr;
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  ofn.lpstrTitle = choice.title ? title.c_str() : nullptr;
  ofn.lpstrDefExt = choice.defaultExtension ? extension.c_str() : nullptr;
  ofn.Flags = choice.flags;
  const BOOL ok = choice.save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
  if (!ok) return std::nullopt;
  return Narrow(file.c_str());
}

}  // namespace clip
