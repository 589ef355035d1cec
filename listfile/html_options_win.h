// The HTML output options dialog "HTMLEDIT".
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "listfile/listfile.h"

namespace clip {

struct HtmlOptionsData {
  // In: the options the dialog opens with. Out, after "保存": the options
  // the page was written with.
  HtmlOptions options;
  // The folder the background image chooser opens in.
  std::string imageFolder;
  // "保存" hands the options to writePage; a failed write is shown and the
  // dialog stays open, so the user can try again or give up.
  std::function<SaveResult(const HtmlOptions&)> writePage;
  // "設定を保存" hands the options to saveSettings; the dialog stays open.
  std::function<void(const HtmlOptions&)> saveSettings;
  // In and out whatever the ending: the colour last accepted in any colour
  // chooser, and this dialog's own custom colours, kept for the run.
  COLORREF lastPickedColour = 0;
  COLORREF customColours[16] = {};
  // Out: a write failed before the dialog was given up with "保存中止".
  bool writeFailed = false;
};

// True when the page was written ("保存" and a good write); false for
// "保存中止".
bool ShowHtmlOptionsDialog(HWND owner, HtmlOptionsData& io);

}  // namespace clip
