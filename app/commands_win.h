// The menu and tool bar commands, the list's right-click menu and the edit
// of a row.
#pragma once

#include <windows.h>

namespace clip {

void HandleCommand(HWND main, int command);
void ShowContextMenu(HWND main);
void EditSelectedRow(HWND main);

}  // namespace clip
