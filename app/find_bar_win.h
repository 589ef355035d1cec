// The find bar: a modeless dialog beside the catalogue list with a text box,
// a choice of column, the kana option, "次を検索", "前を検索" and "すべて選択".
// It keeps nothing but its controls: every find goes to the run function
// it was opened with, which answers the line the bar shows under them
// ("見つかりません" rather than a box per keystroke).
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "app/window_tools.h"
#include "catalogue/find.h"

namespace clip {

struct FindBarData {
  std::vector<FindColumnChoice> columns;
  FindQuery query;  // what the bar shows when it opens
  // Runs a find and returns what the bar is to say.
  std::function<std::string(const FindQuery& query, FindAction action)> run;
  std::function<void()> closed;  // after the bar is gone
};

// Opens the bar over owner (the data are copied); Esc, the close box or
// CloseFindBar close it.
HWND OpenFindBar(HWND owner, const FindBarData& data);
// Brings an open bar forward with its text selected for typing over.
void FocusFindBar(HWND bar);
// Shows what a find started elsewhere (F3) found.
void ShowFindBarResult(HWND bar, const std::string& text);
void CloseFindBar(HWND bar);

}  // namespace clip
