// Which commands the menus and the tool bar offer, and which view switches
// they show checked, as data. The program keeps one CommandState; events
// change it through the functions below and the menus and tool bar are
// redrawn from it, so that they show the state rather than hold it.
#pragma once

#include <array>
#include <vector>

#include "settings/window_state.h"

namespace clip {

// The commands whose availability changes while the program runs, and the
// tool bar buttons that follow events of their own. Every other command is
// always offered.
extern const std::array<int, 9> kSwitchedCommands;
extern const std::array<int, 3> kSwitchedButtons;

// The commands refused while a scan runs: they change the rows, the list
// file or the settings the scan reads.
extern const std::array<int, 16> kBusyRefusedCommands;

// The commands that work on the rows there are (find, duplicates, rescan):
// offered whenever the list has rows, grayed while it is empty.
extern const std::array<int, 7> kRowListCommands;

struct CommandState {
  ViewState view;
  bool scanning = false;
  bool hasRows = false;  // the list has rows (kRowListCommands)
  // Offered or grayed, per kSwitchedCommands; everything starts grayed.
  std::array<bool, 9> commands{};
  // Enabled or drawn grayed, per kSwitchedButtons.
  std::array<bool, 3> buttons{};

  // True when the command may run now (a switched command that is offered,
  // a command of kRowListCommands while there are rows, any other command
  // while no scan runs or one a scan allows).
  bool Offers(int command) const;
  void SetOffered(int command, bool on);
  bool ButtonOn(int command) const;
  void SetButton(int command, bool on);
};

// Events that change several commands at once.
enum class ShellEvent { New, OpenTextList, CsvLoaded, SaveAsChosen, Scan, DropOrCommandLine };
CommandState AfterEvent(CommandState state, ShellEvent event);

// A click in the list: row actions follow the selection; check actions
// follow the check boxes, but only while the list has rows and check boxes.
enum class CheckActions { Leave, Enable, Gray };
struct ClickStates {
  bool rowActionsEnabled = false;
  CheckActions checkActions = CheckActions::Leave;
};
ClickStates StatesAfterClick(int selectedCount, int rowCount, bool dirPathOn, bool anyChecked);
CommandState AfterClick(CommandState state, const ClickStates& click);
// The context menu's items that the click enables (the menu is loaded
// afresh each time with its items grayed).
std::vector<int> PopupItemsEnabled(const ClickStates& click);

// The commands of each group.
extern const std::array<int, 5> kRowActionIds;    // 40012 40008 40009 40011 40044
extern const std::array<int, 2> kCheckActionIds;  // 40041 40042

// What the main menu shows for every item the program sets.
struct MenuItemState {
  int id;
  bool checked;
  bool grayed;
};
std::vector<MenuItemState> MenuItemStates(const CommandState& state);

struct ButtonState {
  int id;
  bool enabled;
};
std::vector<ButtonState> ToolbarButtonStates(const CommandState& state);

}  // namespace clip
