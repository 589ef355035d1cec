#include "edit/info_writer_win.h"

#include "win/dialog_helpers_win.h"
#include "edit/info_list.h"

namespace clip {

bool ConfirmInfoWrite(HWND owner) {
  return ShowMessage(owner, kInfoConfirmText, kInfoConfirmCaption,
                     MB_ICONINFORMATION | MB_OKCANCEL) == IDOK;
}

void ShowInfoProblems(HWND owner, const std::vector<InfoWriteProblem>& problems) {
  // A run where every file was written stays silent.
  if (problems.empty()) return;
  ShowMessage(owner, InfoProblemsText(problems), kInfoProblemsCaption, MB_ICONWARNING | MB_OK);
}

}  // namespace clip
