// The boxes of the INFO write command.
#pragma once

#include <windows.h>

#include <vector>

#include "edit/info_writer.h"

namespace clip {

// The confirmation box; true when the user chose OK.
bool ConfirmInfoWrite(HWND owner);
// One box naming the files that were left alone and why; nothing when
// every file was written.
void ShowInfoProblems(HWND owner, const std::vector<InfoWriteProblem>& problems);

}  // namespace clip
