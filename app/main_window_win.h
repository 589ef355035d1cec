// The main window: its procedure, start-up and the command line's paths.
#pragma once

#include <windows.h>

namespace clip {

// Takes the program's command line: folders are scanned, movie files get
// the row of their item number.
void ProcessCommandLine(HWND main);

}  // namespace clip
