// Find, the find bar's keys and duplicates, over the main window.
#pragma once

#include <windows.h>

namespace clip {

void OnFind(HWND main);
void OnFindAgain(HWND main, bool forward);  // F3, Shift+F3
void OnDuplicates(HWND main, bool keepOne);

}  // namespace clip
