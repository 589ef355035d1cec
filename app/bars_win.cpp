// The toolbar, the status bar, the menus' states and the two fonts of the
// main window.
#include <windows.h>
#include <commctrl.h>

#include "app/bars_win.h"
#include "app/app_win.h"
#include "base/wide_win.h"
#include "res/resource.h"

#include <algorithm>
#include <array>
#include <string>

namespace clip {

namespace {

// The images of the tool bar's bitmaps, in the order of the buttons.
enum ToolbarImage {
  kNewImage,
  kOpenImage,
  kSaveImage,
  kScanImage,
  kCutImage,
  kCopyImage,
  kPasteImage,
  kToolbarImageCount
};

TBBUTTON Button(int image, int command, BYTE state) {
  TBBUTTON b{};
  b.iBitmap = image;
  b.idCommand = command;
  b.fsState = state;
  b.fsStyle = BTNS_BUTTON;
  return b;
}

TBBUTTON Separator() {
  TBBUTTON b{};
  b.fsStyle = BTNS_SEP;
  return b;
}

void Insert(HWND toolbar, int index, const TBBUTTON& button) {
  SendMessageW(toolbar, TB_INSERTBUTTONW, static_cast<WPARAM>(index),
               reinterpret_cast<LPARAM>(&button));
}

void Append(HWND toolbar, const TBBUTTON& button) {
  SendMessageW(toolbar, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&button));
}

// The images drawn at the size for the DPI (16, 24 or 32 pixels); their
// magenta is transparent.
HIMAGELIST LoadToolbarImages(int dpi) {
  const int size = ToolbarImageSize(dpi);
  const std::wstring name = L"TOOLBAR" + std::to_wstring(size);
  HBITMAP strip = static_cast<HBITMAP>(
      LoadImageW(App().instance, name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!strip) return nullptr;
  HIMAGELIST images = ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, kToolbarImageCount, 0);
  if (images) ImageList_AddMasked(images, strip, RGB(255, 0, 255));
  DeleteObject(strip);
  return images;
}

HFONT MakeFont(const std::string& sizeText, const std::string& face) {
  // The size setting is a height at 96 DPI. The faces the settings name; a
  // name in another script than the face's own falls back on the
  // platform's font linking.
  return CreateFontW(ScaleToDpi(FontHeightFromSetting(sizeText), App().dpi), 0, 0, 0, FW_NORMAL,
                     FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                     DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, Wide(face).c_str());
}

}  // namespace

void CreateBars(HWND main) {
  AppState& app = App();
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES};
  InitCommonControlsEx(&icc);

  HWND tb =
      CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE | TBSTYLE_TOOLTIPS, 0, 0,
                      0, 0, main, reinterpret_cast<HMENU>(IDC_TOOLBAR), app.instance, nullptr);
  app.toolbar = tb;
  SendMessageW(tb, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  const BYTE on = TBSTATE_ENABLED, off = TBSTATE_INDETERMINATE;
  Insert(tb, 0, Separator());
  Append(tb, Button(kNewImage, IDM_NEW, on));
  Append(tb, Button(kOpenImage, IDM_OPEN, on));
  Append(tb, Button(kSaveImage, IDM_SAVEAS, off));
  Insert(tb, 4, Separator());
  Append(tb, Button(kScanImage, IDM_SCAN, on));
  Insert(tb, 6, Separator());
  Append(tb, Button(kCutImage, IDM_CUT, off));
  Append(tb, Button(kCopyImage, IDM_COPY, off));
  Append(tb, Button(kPasteImage, IDM_PASTE, on));
  SizeToolbar();

  app.status = CreateWindowExW(0, STATUSCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0,
                               main, reinterpret_cast<HMENU>(IDC_STATUSBAR), app.instance, nullptr);
  app.savedTotalsText = kNonScanning;
  ResetStatusBar();

  LONG_PTR style = GetWindowLongPtrW(tb, GWL_STYLE);
  style &= ~static_cast<LONG_PTR>(TBSTYLE_FLAT | TBSTYLE_TRANSPARENT);
  style |= TBSTYLE_FLAT;
  SetWindowLongPtrW(tb, GWL_STYLE, style);
  InvalidateRect(tb, nullptr, TRUE);
  UpdateWindow(tb);
}

void SizeToolbar() {
  AppState& app = App();
  HWND tb = app.toolbar;
  if (!tb) return;
  if (HIMAGELIST images = LoadToolbarImages(app.dpi)) {
    SendMessageW(tb, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
    if (app.toolbarImages) ImageList_Destroy(app.toolbarImages);
    app.toolbarImages = images;
  }
  // The room around an image and the separators' width grow with the DPI
  // too (23 x 22 buttons and 8-pixel separators at 96).
  const int size = ToolbarImageSize(app.dpi);
  SendMessageW(tb, TB_SETBITMAPSIZE, 0, MAKELPARAM(size, size));
  SendMessageW(tb, TB_SETBUTTONSIZE, 0,
               MAKELPARAM(size + ScaleToDpi(7, app.dpi), size + ScaleToDpi(6, app.dpi)));
  const int count = static_cast<int>(SendMessageW(tb, TB_BUTTONCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    TBBUTTON button{};
    SendMessageW(tb, TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&button));
    if (!(button.fsStyle & BTNS_SEP)) continue;
    TBBUTTONINFOW info{};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_BYINDEX | TBIF_SIZE;
    info.cx = static_cast<WORD>(ScaleToDpi(8, app.dpi));
    SendMessageW(tb, TB_SETBUTTONINFOW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&info));
  }
  SendMessageW(tb, TB_AUTOSIZE, 0, 0);
}

void ShowCommandState() {
  AppState& app = App();
  if (HMENU menu = app.main ? GetMenu(app.main) : nullptr) {
    for (const MenuItemState& item : MenuItemStates(app.commands)) {
      MENUITEMINFOW info{};
      info.cbSize = sizeof info;
      info.fMask = MIIM_STATE;
      info.fState = (item.checked ? MFS_CHECKED : 0u) | (item.grayed ? MFS_GRAYED : 0u);
      SetMenuItemInfoW(menu, static_cast<UINT>(item.id), FALSE, &info);
    }
  }
  if (app.toolbar) {
    for (const ButtonState& b : ToolbarButtonStates(app.commands))
      SendMessageW(app.toolbar, TB_SETSTATE, static_cast<WPARAM>(b.id),
                   MAKELPARAM(b.enabled ? TBSTATE_ENABLED : TBSTATE_INDETERMINATE, 0));
  }
}

void ApplyEvent(ShellEvent event) {
  AppState& app = App();
  app.commands = AfterEvent(app.commands, event);
  ShowCommandState();
}

namespace {

// The width of a text in the status bar's font.
int StatusTextWidth(HWND status, const std::string& text) {
  HDC dc = GetDC(status);
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(status, WM_GETFONT, 0, 0));
  HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
  SIZE size{};
  const std::wstring wide = Wide(text);
  GetTextExtentPoint32W(dc, wide.data(), static_cast<int>(wide.size()), &size);
  if (old) SelectObject(dc, old);
  ReleaseDC(status, dc);
  return static_cast<int>(size.cx);
}

}  // namespace

void LayOutStatusParts() {
  AppState& app = App();
  if (!app.status) return;
  std::array<int, 4> widths{};
  for (std::size_t i = 0; i < widths.size(); ++i)
    widths[i] = StatusTextWidth(app.status, app.statusTexts[i]);
  RECT client{};
  GetClientRect(app.status, &client);
  const std::array<int, 4> wanted = StatusPartEdges(widths, client.right, app.dpi);
  int edges[4] = {};
  const int have =
      static_cast<int>(SendMessageW(app.status, SB_GETPARTS, 4, reinterpret_cast<LPARAM>(edges)));
  if (have == 4 && std::equal(wanted.begin(), wanted.end(), edges)) return;
  std::copy(wanted.begin(), wanted.end(), edges);
  SendMessageW(app.status, SB_SETPARTS, 4, reinterpret_cast<LPARAM>(edges));
}

void SetStatusText(int part, const std::string& text) {
  AppState& app = App();
  if (!app.status || part < 0 || part >= 4) return;
  std::string& shown = app.statusTexts[static_cast<std::size_t>(part)];
  const bool longer = text.size() > shown.size();
  shown = text;
  SendMessageW(app.status, SB_SETTEXTW, static_cast<WPARAM>(part),
               reinterpret_cast<LPARAM>(Wide(text).c_str()));
  // The parts grow with their texts (a drive of several terabytes); they
  // are measured again when a text grows or the window changes size.
  if (longer) LayOutStatusParts();
}

void StatusBarSink::SetStatusText(int part, const std::string& text) {
  clip::SetStatusText(part, text);
  // The scan runs inside one message: paint the progress now, but at most
  // every 50 ms, since a repaint per file would cost more than the file.
  static DWORD lastPaint = 0;
  DWORD now = GetTickCount();
  if (now - lastPaint < 50) return;
  lastPaint = now;
  if (HWND status = App().status) UpdateWindow(status);
}

void ResetStatusBar() {
  SetStatusText(0, kNonScanning);
  SetStatusText(1, kDiskMaxNonScan);
  SetStatusText(2, kDiskFreeNonScan);
  SetStatusText(3, kPerNon);
}

void CreateFonts() {
  AppState& app = App();
  HFONT oldMain = app.mainFont, oldList = app.listFont;
  app.mainFont = MakeFont(app.settings.mainFontSize, app.settings.mainFontFace);
  app.listFont = MakeFont(app.settings.listFontSize, app.settings.listFontFace);
  if (app.status) {
    SendMessageW(app.status, WM_SETFONT, reinterpret_cast<WPARAM>(app.mainFont), FALSE);
    LayOutStatusParts();
  }
  if (app.list) SendMessageW(app.list, WM_SETFONT, reinterpret_cast<WPARAM>(app.listFont), FALSE);
  // The old pair goes only once nothing uses it any more.
  if (oldMain) DeleteObject(oldMain);
  if (oldList) DeleteObject(oldList);
}

void DeleteFonts() {
  AppState& app = App();
  if (app.mainFont) DeleteObject(app.mainFont);
  if (app.listFont) DeleteObject(app.listFont);
  app.mainFont = app.listFont = nullptr;
}

void DeleteToolbarImages() {
  AppState& app = App();
  if (app.toolbar) SendMessageW(app.toolbar, TB_SETIMAGELIST, 0, 0);
  if (app.toolbarImages) ImageList_Destroy(app.toolbarImages);
  app.toolbarImages = nullptr;
}

}  // namespace clip
