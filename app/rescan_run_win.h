// The rescan command over the real disks.
#pragma once

#include <windows.h>

namespace clip {

void OnRescan(HWND main, bool pickFolder);

}  // namespace clip
