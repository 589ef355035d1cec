#include "app/app_win.h"
#include "app/dialogs_win.h"

namespace clip {

void ShowItemEditDialog(HWND) {}
void RunWriteInfoCommand(HWND) {}
void PlaySelectedMovie(HWND) {}

}  // namespace clip
