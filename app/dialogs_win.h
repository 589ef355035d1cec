// Entry points of the modal dialogs and movie-file actions that the command
// handler opens. Implemented by the settings, list-file and edit subsystems.
#pragma once

#include <windows.h>

namespace clip {

void ShowCustomizeDialog(HWND owner);  // "DIALOG1"
// How the HTML options dialog ended: the page written, or "保存中止"
// (after a write that failed, or without one).
enum class HtmlDialogEnd { Saved, Cancelled, CancelledAfterFailedWrite };
HtmlDialogEnd ShowHtmlOptionsDialog(HWND owner);  // "HTMLEDIT"; writes to the path buffer on "保存"
void ShowItemEditDialog(HWND owner);              // "DIALOG2" for the first selected row
void RunWriteInfoCommand(HWND owner);             // confirmation box, then the INFO writer
void PlaySelectedMovie(HWND owner);               // the registered AVI player

}  // namespace clip
