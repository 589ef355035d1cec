#include "app/app_win.h"
#include "app/dialogs_win.h"

namespace clip {

void ShowCustomizeDialog(HWND) {}

}  // namespace clip
