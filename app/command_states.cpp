#include "app/command_states.h"

#include <algorithm>

#include "res/resource.h"

namespace clip {

const std::array<int, 9> kSwitchedCommands = {IDM_LISTEDIT,  IDM_SAVEAS,      IDM_SAVE,
                                              IDM_CUT,       IDM_COPY,        IDM_DELETE,
                                              IDM_WRITEINFO, IDM_CLEARCHECKS, IDM_PLAY};
const std::array<int, 3> kSwitchedButtons = {IDM_SAVEAS, IDM_CUT, IDM_COPY};
constexpr std::array<int, 16> kBusyRefusedCommands = {
    IDM_NEW,       IDM_OPEN,      IDM_SAVEAS, IDM_SAVE,         IDM_SCAN,      IDM_AUTOSCAN,
    IDM_CUT,       IDM_PASTE,     IDM_DELETE, IDM_LISTEDIT,     IDM_SORT_NAME, IDM_SORT_EXT,
    IDM_WRITEINFO, IDM_CUSTOMIZE, IDM_RESCAN, IDM_RESCAN_FOLDER};
constexpr std::array<int, 7> kRowListCommands = {IDM_FIND,         IDM_FIND_NEXT,   IDM_FIND_PREV,
                                                 IDM_DUP_ALL,      IDM_DUP_BUT_ONE, IDM_RESCAN,
                                                 IDM_RESCAN_FOLDER};
const std::array<int, 5> kRowActionIds = {IDM_LISTEDIT, IDM_CUT, IDM_COPY, IDM_DELETE, IDM_PLAY};
const std::array<int, 2> kCheckActionIds = {IDM_WRITEINFO, IDM_CLEARCHECKS};

namespace {

// Menus, tool bar and accelerators carry ids of one block; settings and
// tests name commands by number.
template <std::size_t N>
constexpr bool AllCommandIds(const std::array<int, N>& ids) {
  for (int id : ids)
    if (id < IDM_FIRST || id > IDM_LAST) return false;
  return true;
}
static_assert(AllCommandIds(kBusyRefusedCommands) && AllCommandIds(kRowListCommands),
              "command ids lie between IDM_FIRST and IDM_LAST");

template <std::size_t N>
int IndexOf(const std::array<int, N>& ids, int id) {
  auto it = std::find(ids.begin(), ids.end(), id);
  return it == ids.end() ? -1 : static_cast<int>(it - ids.begin());
}

void SetButtons(CommandState& s, bool on) {
  for (int id : kSwitchedButtons) s.SetButton(id, on);
}

}  // namespace

bool CommandState::Offers(int command) const {
  if (scanning && IndexOf(kBusyRefusedCommands, command) >= 0) return false;
  if (!hasRows && IndexOf(kRowListCommands, command) >= 0) return false;
  const int i = IndexOf(kSwitchedCommands, command);
  return i < 0 || commands[static_cast<std::size_t>(i)];
}

void CommandState::SetOffered(int command, bool on) {
  const int i = IndexOf(kSwitchedCommands, command);
  if (i >= 0) commands[static_cast<std::size_t>(i)] = on;
}

bool CommandState::ButtonOn(int command) const {
  if (scanning && IndexOf(kBusyRefusedCommands, command) >= 0) return false;
  const int i = IndexOf(kSwitchedButtons, command);
  return i < 0 || buttons[static_cast<std::size_t>(i)];
}

void CommandState::SetButton(int command, bool on) {
  const int i = IndexOf(kSwitchedButtons, command);
  if (i >= 0) buttons[static_cast<std::size_t>(i)] = on;
}

CommandState AfterEvent(CommandState s, ShellEvent event) {
  switch (event) {
    case ShellEvent::New:
      for (int id : {IDM_LISTEDIT, IDM_SAVEAS, IDM_CUT, IDM_COPY, IDM_DELETE, IDM_SAVE,
                     IDM_WRITEINFO, IDM_CLEARCHECKS})
        s.SetOffered(id, false);
      SetButtons(s, false);
      break;
    case ShellEvent::OpenTextList:
      // A text list is a log that saves append to; its rows are not loaded.
      s.SetOffered(IDM_SAVE, true);
      s.SetButton(IDM_SAVEAS, true);
      break;
    case ShellEvent::CsvLoaded:
      for (int id : {IDM_LISTEDIT, IDM_SAVEAS, IDM_CUT, IDM_COPY, IDM_DELETE, IDM_SAVE})
        s.SetOffered(id, true);
      SetButtons(s, true);
      break;
    case ShellEvent::SaveAsChosen: s.SetOffered(IDM_SAVE, true); break;
    case ShellEvent::Scan:
      for (int id : {IDM_LISTEDIT, IDM_SAVEAS, IDM_CUT, IDM_COPY, IDM_DELETE})
        s.SetOffered(id, true);
      SetButtons(s, true);
      break;
    case ShellEvent::DropOrCommandLine: SetButtons(s, true); break;
  }
  return s;
}

ClickStates StatesAfterClick(int selectedCount, int rowCount, bool dirPathOn, bool anyChecked) {
  ClickStates s;
  s.rowActionsEnabled = selectedCount > 0;
  if (rowCount > 0 && dirPathOn)
    s.checkActions = anyChecked ? CheckActions::Enable : CheckActions::Gray;
  return s;
}

CommandState AfterClick(CommandState s, const ClickStates& click) {
  for (int id : kRowActionIds) s.SetOffered(id, click.rowActionsEnabled);
  if (click.checkActions != CheckActions::Leave)
    for (int id : kCheckActionIds) s.SetOffered(id, click.checkActions == CheckActions::Enable);
  return s;
}

std::vector<int> PopupItemsEnabled(const ClickStates& click) {
  std::vector<int> ids;
  if (click.rowActionsEnabled)
    for (int id : kRowActionIds) ids.push_back(id);
  if (click.checkActions == CheckActions::Enable)
    for (int id : kCheckActionIds) ids.push_back(id);
  return ids;
}

std::vector<MenuItemState> MenuItemStates(const CommandState& s) {
  std::vector<MenuItemState> items;
  for (int id : kSwitchedCommands) items.push_back({id, false, !s.Offers(id)});
  for (int id : {IDM_NEW, IDM_OPEN, IDM_SCAN, IDM_AUTOSCAN, IDM_PASTE, IDM_CUSTOMIZE})
    items.push_back({id, false, !s.Offers(id)});
  for (int id : kRowListCommands) items.push_back({id, false, !s.Offers(id)});
  items.push_back({IDM_SORT_NAME, !s.view.sortByExtension, !s.Offers(IDM_SORT_NAME)});
  items.push_back({IDM_SORT_EXT, s.view.sortByExtension, !s.Offers(IDM_SORT_EXT)});
  items.push_back({IDM_TOOLBAR, s.view.toolbar, false});
  items.push_back({IDM_STATUSBAR, s.view.statusBar, false});
  items.push_back({IDM_GRIDLINE, s.view.gridLines, false});
  items.push_back({IDM_ENDSET, s.view.saveAtExit, false});
  return items;
}

std::vector<ButtonState> ToolbarButtonStates(const CommandState& s) {
  std::vector<ButtonState> buttons;
  for (int id : kSwitchedButtons) buttons.push_back({id, s.ButtonOn(id)});
  for (int id : {IDM_NEW, IDM_OPEN, IDM_SCAN, IDM_PASTE}) buttons.push_back({id, s.ButtonOn(id)});
  return buttons;
}

}  // namespace clip
