// Colour swatches and the colour chooser, shared by the Customize and the
// HTML options dialogs.
#pragma once

#include <windows.h>

namespace clip {

// Fills the whole client area of the dialog's control id with colour.
void PaintSwatch(HWND dialog, int id, COLORREF colour);

// The colour chooser owned by owner, opening on the colour last accepted
// in any chooser (App().lastPickedColour), with the caller's own 16 custom
// colours. An accepted colour becomes the last accepted one. Returns the
// chooser's colour: the accepted one, or after Cancel the one it opened on.
COLORREF PickColour(HWND owner, COLORREF (&custom)[16]);

// The swatch brush for WM_CTLCOLORSTATIC: a swatch that repaints on its
// own shows its colour too. The brush is kept per control until the next
// call for it or ReleaseSwatchBrushes.
HBRUSH SwatchBrush(HWND control, COLORREF colour);
void ReleaseSwatchBrushes(HWND dialog);

}  // namespace clip
