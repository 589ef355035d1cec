// The find bar's and the duplicate command's rules that are decided on data
// alone: the column choices, where a find goes from the focused row, and
// the texts they show. (The rescan's are in rescan_run.h.)
#pragma once

#include <string>
#include <vector>

#include "catalogue/categories.h"

namespace clip {

// The find bar's column choices: every column first (column -1), then each
// shown column by its header, in list order.
struct FindColumnChoice {
  std::string label;
  int column;
};
std::vector<FindColumnChoice> FindColumnChoices(const CategoryTable& table);

// How a find moves from the focused row (-1: none).
enum class FindAction {
  AsYouType,  // the focused row itself counts when it matches
  Next,       // the rows after it, wrapping at the end
  Previous,   // the rows before it, wrapping at the start
  SelectAll,  // every matching row
};
// The fromRow to hand to FindNext for the action (not SelectAll).
int FindStartRow(FindAction action, int focused);
bool FindForward(FindAction action);

// What the find bar says after a find: found is the row found (-1 for
// none) or, for SelectAll, the number of rows selected.
std::string FindResultText(FindAction action, int focused, int found);

// The status bar after a duplicate command that found no twins (else it
// shows the selection's totals).
constexpr const char* kNoDuplicatesText = "重複ﾌｧｲﾙはありません";

}  // namespace clip
