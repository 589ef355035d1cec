#include "catalogue/dialog_helpers_win.h"

#include <commdlg.h>
#include <shlobj.h>

#include <vector>

#include "catalogue/text.h"

namespace clip {

namespace {

constexpr const char* kSwatchBrushProp = "ClipSwatchBrush";

}  // namespace

std::string DialogItemText(HWND dialog, int id, std::size_t maxBytes) {
  std::vector<char> buffer(maxBytes + 2, '\0');
  GetDlgItemTextA(dialog, id, buffer.data(), static_cast<int>(buffer.size()));
  return CutToCharBoundary(buffer.data(), maxBytes);
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
  HBRUSH old = static_cast<HBRUSH>(GetPropA(control, kSwatchBrushProp));
  if (old) {
    LOGBRUSH lb{};
    if (GetObjectA(old, sizeof lb, &lb) && lb.lbColor == colour) return old;
    DeleteObject(old);
  }
  HBRUSH brush = CreateSolidBrush(colour);
  SetPropA(control, kSwatchBrushProp, brush);
  return brush;
}

void ReleaseSwatchBrushes(HWND dialog) {
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    HBRUSH brush = static_cast<HBRUSH>(RemovePropA(child, kSwatchBrushProp));
    if (brush) DeleteObject(brush);
  }
}

COLORREF PickColour(HWND owner, COLORREF& lastPicked, COLORREF (&custom)[16]) {
  CHOOSECOLORA cc{};
  cc.lStructSize = sizeof cc;
  cc.hwndOwner = owner;
  cc.rgbResult = lastPicked;
  cc.lpCustColors = custom;
  cc.Flags = CC_RGBINIT;
  if (ChooseColorA(&cc)) lastPicked = cc.rgbResult;
  return lastPicked;
}

std::optional<std::string> PickFolder(HWND owner, const char* title) {
  char display[MAX_PATH] = {};
  BROWSEINFOA info{};
  info.hwndOwner = owner;
  info.pidlRoot = nullptr;  // the desktop
  info.pszDisplayName = display;
  info.lpszTitle = title;
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  LPITEMIDLIST item = SHBrowseForFolderA(&info);
  if (!item) return std::nullopt;
  char path[MAX_PATH] = {};
  const BOOL ok = SHGetPathFromIDListA(item, path);
  CoTaskMemFree(item);
  // A choice without a file-system path is treated like a cancel.
  if (!ok || path[0] == '\0') return std::nullopt;
  return std::string(path);
}

std::optional<std::string> ChooseFile(HWND owner, const FileChoice& choice) {
  char file[MAX_PATH] = {};
  const std::string initial = CutToCharBoundary(choice.initialName, sizeof file - 1);
  initial.copy(file, initial.size());
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = choice.filter;
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  ofn.lpstrInitialDir = choice.initialFolder.empty() ? nullptr : choice.initialFolder.c_str();
  ofn.lpstrTitle = choice.title;
  ofn.lpstrDefExt = choice.defaultExtension;
  ofn.Flags = choice.flags;
  const BOOL ok = choice.save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
  if (!ok) return std::nullopt;
  return std::string(file);
}

}  // namespace clip
