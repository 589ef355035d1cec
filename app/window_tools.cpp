#include "app/window_tools.h"

namespace clip {

std::vector<FindColumnChoice> FindColumnChoices(const CategoryTable& table) {
  std::vector<FindColumnChoice> choices{{"すべての列", -1}};
  for (int c = 0; c <= table.columnCount; ++c) {
    const int k = table.CategoryAt(c);
    if (k >= 0) choices.push_back({kCategories[static_cast<std::size_t>(k)].header, c});
  }
  return choices;
}

int FindStartRow(FindAction action, int focused) {
  // FindNext starts after fromRow; typing starts at the focused row itself
  // (a row before the first one means "from the top").
  if (action == FindAction::AsYouType) return focused > 0 ? focused - 1 : -1;
  return focused;
}

bool FindForward(FindAction action) { return action != FindAction::Previous; }

std::string FindResultText(FindAction action, int focused, int found) {
  if (action == FindAction::SelectAll)
    return found > 0 ? std::to_string(found) + "行を選択しました" : "見つかりません";
  if (found < 0) return "見つかりません";
  // Past the end (or the start) the search went on from the other end.
  if (focused >= 0 && action == FindAction::Next && found <= focused)
    return "末尾まで検索したので先頭から見つけました";
  if (focused >= 0 && action == FindAction::Previous && found >= focused)
    return "先頭まで検索したので末尾から見つけました";
  return {};
}

}  // namespace clip
