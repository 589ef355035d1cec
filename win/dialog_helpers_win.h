// Small Win32 helpers shared by the program's dialogs: control texts,
// centring, colour swatches, the colour chooser, the folder picker and the
// file chooser. None of them keeps or reaches program state: what they need
// comes in as parameters.
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>

namespace clip {

// The text of a dialog control, at most maxBytes bytes of its code page 932
// form and never half a character.
std::string DialogItemText(HWND dialog, int id, std::size_t maxBytes = 1023);
void SetDialogItemText(HWND dialog, int id, const std::string& text);
// A window's text (a caption, a control's text).
std::string WindowTextUtf8(HWND window);
void SetWindowTextUtf8(HWND window, const std::string& text);
// A message box; returns the button chosen.
int ShowMessage(HWND owner, const std::string& text, const std::string& caption, UINT type);

// Moves a dialog to the middle of its owner window, keeping its size.
void CenterOnOwner(HWND dialog);

// Fills the whole client area of the dialog's control id with colour.
void PaintSwatch(HWND dialog, int id, COLORREF colour);
// The swatch brush for WM_CTLCOLORSTATIC, so that a swatch that repaints
// on its own shows its colour too. The brush is kept per control until the
// next call for it or ReleaseSwatchBrushes.
HBRUSH SwatchBrush(HWND control, COLORREF colour);
void ReleaseSwatchBrushes(HWND dialog);

// The colour chooser, opening on lastPicked (the colour last accepted in
// any chooser) with the calling dialog's own 16 custom colours. An
// accepted colour becomes lastPicked. Returns the chooser's colour: the
// accepted one, or after Cancel the one it opened on.
COLORREF PickColour(HWND owner, COLORREF& lastPicked, COLORREF (&custom)[16]);

// The shell's folder browser; nothing when it is cancelled or the choice
// is not a file-system folder.
std::optional<std::string> PickFolder(HWND owner, const char* title);

// What the open or save dialog shows.
struct FileChoice {
  bool save = false;
  const char* filter = nullptr;  // pairs of UTF-8 texts, each ended by a zero byte
  const char* title = nullptr;
  const char* defaultExtension = nullptr;
  std::string initialFolder;
  std::string initialName;
  DWORD flags = 0;
};
// The chosen file, or nothing when the dialog was cancelled.
std::optional<std::string> ChooseFile(HWND owner, const FileChoice& choice);

}  // namespace clip
