// The item edit dialog "DIALOG2".
#pragma once

#include <windows.h>

#include "edit/item_edit.h"

namespace clip {

struct ItemEditData {
  ItemEditView view;    // in: what the dialog shows for the row
  ItemEditInput input;  // out, after OK: the four fields as the user left them
};

// True when the dialog ended with OK.
bool ShowItemEditDialog(HWND owner, ItemEditData& io);

}  // namespace clip
