// What the menus and the tool bar offer after each event, as the program
// keeps it and as the menus show it.
#include "app/command_states.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "res/resource.h"

namespace clip {
namespace {

// The switched commands that are offered, in id order.
std::vector<int> Offered(const CommandState& s) {
  std::vector<int> ids;
  for (int id : kSwitchedCommands)
    if (s.Offers(id)) ids.push_back(id);
  std::sort(ids.begin(), ids.end());
  return ids;
}

std::vector<int> Buttons(const CommandState& s) {
  std::vector<int> ids;
  for (int id : kSwitchedButtons)
    if (s.ButtonOn(id)) ids.push_back(id);
  return ids;
}

TEST(CommandStates, EventsFromTheStartState) {
  using Ids = std::vector<int>;
  const CommandState start;
  EXPECT_EQ(Offered(start), Ids{});  // every switched command starts grayed
  EXPECT_TRUE(start.Offers(IDM_PASTE) && start.Offers(IDM_SCAN));

  const CommandState scanned = AfterEvent(start, ShellEvent::Scan);
  // A scan leaves save (40004) alone.
  EXPECT_EQ(Offered(scanned), (Ids{40003, 40008, 40009, 40011, 40012}));
  EXPECT_EQ(Buttons(scanned), (Ids{IDM_SAVEAS, IDM_CUT, IDM_COPY}));
  EXPECT_EQ(Offered(AfterEvent(start, ShellEvent::CsvLoaded)),
            (Ids{40003, 40004, 40008, 40009, 40011, 40012}));
  EXPECT_EQ(Offered(AfterEvent(start, ShellEvent::SaveAsChosen)), (Ids{40004}));
  EXPECT_EQ(Buttons(AfterEvent(start, ShellEvent::SaveAsChosen)), Ids{});
  const CommandState textList = AfterEvent(start, ShellEvent::OpenTextList);
  EXPECT_EQ(Offered(textList), (Ids{40004}));
  EXPECT_EQ(Buttons(textList), (Ids{IDM_SAVEAS}));
  EXPECT_EQ(Offered(AfterEvent(start, ShellEvent::DropOrCommandLine)), Ids{});
  EXPECT_EQ(Buttons(AfterEvent(start, ShellEvent::DropOrCommandLine)).size(), 3u);

  // New grays everything but playback, which only a click decides.
  CommandState all = start;
  for (int id : kSwitchedCommands) all.SetOffered(id, true);
  EXPECT_EQ(Offered(AfterEvent(all, ShellEvent::New)), (Ids{IDM_PLAY}));
  EXPECT_EQ(Buttons(AfterEvent(all, ShellEvent::New)), Ids{});
}

TEST(CommandStates, ClicksFollowTheSelectionAndTheCheckBoxes) {
  ClickStates c = StatesAfterClick(0, 0, true, false);
  EXPECT_FALSE(c.rowActionsEnabled);
  EXPECT_EQ(c.checkActions, CheckActions::Leave);  // an empty list leaves the check actions
  EXPECT_EQ(StatesAfterClick(2, 5, true, false).checkActions, CheckActions::Gray);
  EXPECT_EQ(StatesAfterClick(0, 5, true, true).checkActions, CheckActions::Enable);
  EXPECT_EQ(StatesAfterClick(1, 5, false, true).checkActions, CheckActions::Leave);

  CommandState s;
  s.SetOffered(IDM_WRITEINFO, true);
  s = AfterClick(s, StatesAfterClick(1, 0, true, false));
  EXPECT_TRUE(s.Offers(IDM_PLAY) && s.Offers(IDM_LISTEDIT));
  EXPECT_TRUE(s.Offers(IDM_WRITEINFO));  // left as it was
  s = AfterClick(s, StatesAfterClick(0, 3, true, false));
  EXPECT_FALSE(s.Offers(IDM_PLAY) || s.Offers(IDM_WRITEINFO) || s.Offers(IDM_CLEARCHECKS));

  // The context menu is loaded grayed: only what the click offers is enabled.
  EXPECT_TRUE(PopupItemsEnabled(StatesAfterClick(0, 3, true, false)).empty());
  EXPECT_EQ(PopupItemsEnabled(StatesAfterClick(1, 3, true, true)).size(), 7u);
}

TEST(CommandStates, TheMenuShowsTheViewSwitches) {
  CommandState s;
  s.view.toolbar = false;
  s.view.sortByExtension = true;
  s.SetOffered(IDM_SAVE, true);
  auto find = [&](int id) {
    for (const MenuItemState& item : MenuItemStates(s))
      if (item.id == id) return item;
    return MenuItemState{0, false, false};
  };
  EXPECT_FALSE(find(IDM_TOOLBAR).checked);
  EXPECT_TRUE(find(IDM_STATUSBAR).checked && find(IDM_GRIDLINE).checked &&
              find(IDM_ENDSET).checked);
  EXPECT_TRUE(find(IDM_SORT_EXT).checked);
  EXPECT_FALSE(find(IDM_SORT_NAME).checked);
  EXPECT_FALSE(find(IDM_SAVE).grayed);
  EXPECT_TRUE(find(IDM_SAVEAS).grayed);
  EXPECT_EQ(ToolbarButtonStates(s).size(), 7u);
}

TEST(CommandStates, AScanRefusesWhatChangesRowsOrSettings) {
  CommandState s;
  for (int id : kSwitchedCommands) s.SetOffered(id, true);
  for (int id : kSwitchedButtons) s.SetButton(id, true);
  s.scanning = true;
  EXPECT_FALSE(s.Offers(IDM_SAVE) || s.Offers(IDM_CUT) || s.Offers(IDM_SCAN) ||
               s.Offers(IDM_SORT_EXT) || s.Offers(IDM_CUSTOMIZE));
  EXPECT_TRUE(s.Offers(IDM_COPY) && s.Offers(IDM_PLAY) && s.Offers(IDM_TOOLBAR));
  for (const MenuItemState& item : MenuItemStates(s))
    EXPECT_EQ(item.grayed, !s.Offers(item.id)) << item.id;
  for (const ButtonState& b : ToolbarButtonStates(s))
    EXPECT_EQ(b.enabled, b.id == IDM_COPY) << b.id;
  s.scanning = false;
  EXPECT_TRUE(s.Offers(IDM_SAVE) && s.ButtonOn(IDM_CUT));  // offers come back as they were
}

TEST(CommandStates, FindDuplicatesAndRescanNeedRowsAndRescanWaitsForAScan) {
  CommandState s;
  auto grayed = [&](int id) {
    for (const MenuItemState& item : MenuItemStates(s))
      if (item.id == id) return item.grayed;
    ADD_FAILURE() << id << " is not in the menu states";
    return false;
  };
  for (int id : kRowListCommands) EXPECT_TRUE(!s.Offers(id) && grayed(id)) << id;
  s.hasRows = true;
  for (int id : kRowListCommands) EXPECT_TRUE(s.Offers(id) && !grayed(id)) << id;
  // A scan leaves the selection to the user but the rows to itself.
  s.scanning = true;
  for (int id : {IDM_FIND, IDM_FIND_NEXT, IDM_FIND_PREV, IDM_DUP_ALL, IDM_DUP_BUT_ONE})
    EXPECT_TRUE(s.Offers(id)) << id;
  EXPECT_FALSE(s.Offers(IDM_RESCAN) || s.Offers(IDM_RESCAN_FOLDER));
  EXPECT_TRUE(grayed(IDM_RESCAN));
  // Events and clicks leave them alone: only the rows decide.
  s.scanning = false;
  s = AfterEvent(AfterClick(s, StatesAfterClick(0, 3, true, false)), ShellEvent::New);
  EXPECT_TRUE(s.Offers(IDM_FIND) && s.Offers(IDM_RESCAN));
}

}  // namespace
}  // namespace clip
