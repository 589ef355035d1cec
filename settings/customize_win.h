// The Customize dialog "DIALOG1".
#pragma once

#include <windows.h>

#include "settings/customize.h"

namespace clip {

struct CustomizeData {
  // In: what the dialog opens with. Out, after OK: what the user accepted
  // (the caller writes it to the settings file and applies it).
  CustomizeState state;
  // In and out whatever the ending: the colour last accepted in any colour
  // chooser, and this dialog's own custom colours, kept for the run.
  COLORREF lastPickedColour = 0;
  COLORREF customColours[16] = {};
};

// True when the dialog ended with OK.
bool ShowCustomizeDialog(HWND owner, CustomizeData& io);

}  // namespace clip
