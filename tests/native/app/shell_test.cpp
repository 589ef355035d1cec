// Rules of the main window decided on data: menu states, the command line
// and drops, selection totals, the row clipboard and selection that
// follows its rows.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/shell.h"
#include "res/resource.h"

namespace clip {
namespace {

TEST(MenuStates, CodesFromStateBits) {
  EXPECT_EQ(MenuStateCodeFromBits(0x0), kMenuPlain);
  EXPECT_EQ(MenuStateCodeFromBits(0x8), kMenuChecked);
  EXPECT_EQ(MenuStateCodeFromBits(0x1), kMenuGrayed);
  EXPECT_EQ(MenuStateCodeFromBits(0x3), kMenuGrayed);
  EXPECT_EQ(MenuStateCodeFromBits(0x2), kMenuGrayed);
  EXPECT_EQ(MenuStateCodeFromBits(0x9), 0);            // checked and grayed
  EXPECT_EQ(MenuStateCodeFromBits(0x80), kMenuPlain);  // highlighted only
  EXPECT_EQ(MenuStateCodeFromBits(0x88), kMenuChecked);
}

TEST(MenuStates, BitsForCodesReplaceTheWholeState) {
  EXPECT_EQ(MenuBitsForCode(kMenuChecked), 0x8u);
  EXPECT_EQ(MenuBitsForCode(kMenuPlain), 0u);
  EXPECT_EQ(MenuBitsForCode(kMenuEnabled), 0u);
  EXPECT_EQ(MenuStateCodeFromBits(MenuBitsForCode(kMenuGrayed)), kMenuGrayed);
  EXPECT_EQ(MenuBitsForCode(0), 0u);
  EXPECT_EQ(MenuBitsForCode(7), 0u);
  for (int code : {1, 2, 3}) EXPECT_EQ(MenuStateCodeFromBits(MenuBitsForCode(code)), code);
  EXPECT_EQ(MenuStateCodeFromBits(MenuBitsForCode(kMenuEnabled)), kMenuPlain);
}

std::vector<std::pair<int, int>> Pairs(const EventStates& s) {
  std::vector<std::pair<int, int>> out;
  for (const auto& c : s.menu) out.emplace_back(c.id, c.code);
  std::sort(out.begin(), out.end());
  return out;
}

TEST(MenuStates, EventTable) {
  using P = std::vector<std::pair<int, int>>;
  EXPECT_EQ(Pairs(StatesAfter(ShellEvent::New)), (P{{40003, 3},
                                                    {40004, 3},
                                                    {40008, 3},
                                                    {40009, 3},
                                                    {40011, 3},
                                                    {40012, 3},
                                                    {40041, 3},
                                                    {40042, 3}}));
  EXPECT_EQ(StatesAfter(ShellEvent::New).toolbar, ToolbarFiles::Disabled);
  EXPECT_EQ(Pairs(StatesAfter(ShellEvent::OpenTextList)), (P{{40004, 4}}));
  EXPECT_EQ(StatesAfter(ShellEvent::OpenTextList).toolbar, ToolbarFiles::SaveAsOnly);
  EXPECT_EQ(Pairs(StatesAfter(ShellEvent::CsvLoaded)),
            (P{{40003, 4}, {40004, 4}, {40008, 4}, {40009, 4}, {40011, 4}, {40012, 4}}));
  EXPECT_EQ(StatesAfter(ShellEvent::CsvLoaded).toolbar, ToolbarFiles::Enabled);
  EXPECT_EQ(Pairs(StatesAfter(ShellEvent::SaveAsChosen)), (P{{40004, 4}}));
  EXPECT_EQ(StatesAfter(ShellEvent::SaveAsChosen).toolbar, ToolbarFiles::Unchanged);
  // A scan leaves save (40004) alone.
  EXPECT_EQ(Pairs(StatesAfter(ShellEvent::Scan)),
            (P{{40003, 4}, {40008, 4}, {40009, 4}, {40011, 4}, {40012, 4}}));
  EXPECT_EQ(StatesAfter(ShellEvent::Scan).toolbar, ToolbarFiles::Enabled);
  EXPECT_TRUE(StatesAfter(ShellEvent::DropOrCommandLine).menu.empty());
  EXPECT_EQ(StatesAfter(ShellEvent::DropOrCommandLine).toolbar, ToolbarFiles::Enabled);
}

TEST(MenuStates, ClickRules) {
  ClickStates s = StatesAfterClick(0, 0, true, false);
  EXPECT_FALSE(s.rowActionsEnabled);
  EXPECT_EQ(s.checkActions, CheckActions::Leave);  // an empty list leaves the check actions
  s = StatesAfterClick(2, 5, true, false);
  EXPECT_TRUE(s.rowActionsEnabled);
  EXPECT_EQ(s.checkActions, CheckActions::Gray);
  s = StatesAfterClick(0, 5, true, true);
  EXPECT_FALSE(s.rowActionsEnabled);
  EXPECT_EQ(s.checkActions, CheckActions::Enable);
  s = StatesAfterClick(1, 5, false, true);  // no check boxes without DirPath
  EXPECT_EQ(s.checkActions, CheckActions::Leave);
  EXPECT_EQ(kRowActionIds.size(), 5u);
  EXPECT_NE(std::find(kRowActionIds.begin(), kRowActionIds.end(), IDM_PLAY), kRowActionIds.end());
}

TEST(CommandLine, SplitsAtEverySpaceWithoutQuotes) {
  EXPECT_TRUE(SplitCommandLine("").empty());
  EXPECT_EQ(SplitCommandLine("C:\\a"), (std::vector<std::string>{"C:\\a"}));
  EXPECT_EQ(SplitCommandLine("a b c"), (std::vector<std::string>{"a", "b", "c"}));
  // An empty item keeps its number, so c is item 2.
  EXPECT_EQ(SplitCommandLine("a  c"), (std::vector<std::string>{"a", "", "c"}));
  EXPECT_EQ(SplitCommandLine("\"C:\\My Movies\""),
            (std::vector<std::string>{"\"C:\\My", "Movies\""}));
  EXPECT_EQ(SplitCommandLine("a "), (std::vector<std::string>{"a"}));
  EXPECT_EQ(SplitCommandLine(" a"), (std::vector<std::string>{"", "a"}));
}

TEST(CommandLine, FoldersByExactAttributesAndMoviesByEnding) {
  EXPECT_EQ(ClassifyCommandLinePath(0x10, "C:\\m"), PathKind::Folder);
  EXPECT_EQ(ClassifyCommandLinePath(0x30, "C:\\m"), PathKind::Ignored);
  EXPECT_EQ(ClassifyCommandLinePath(0x12, "C:\\m"), PathKind::Ignored);
  EXPECT_EQ(ClassifyDroppedPath(0x10, "C:\\m"), PathKind::Folder);
  EXPECT_EQ(ClassifyDroppedPath(0x30, "C:\\m"), PathKind::Folder);
  EXPECT_EQ(ClassifyDroppedPath(0x11, "C:\\m"), PathKind::Folder);
  EXPECT_EQ(ClassifyDroppedPath(0x12, "C:\\m"), PathKind::Ignored);
  EXPECT_EQ(ClassifyDroppedPath(0x16, "C:\\m"), PathKind::Ignored);
  for (const char* name : {"a.avi", "A.AVI", "b.Mpg", "c.rm", "d.RM", "xavi"}) {
    EXPECT_EQ(ClassifyCommandLinePath(0x20, name), PathKind::Movie) << name;
    EXPECT_EQ(ClassifyDroppedPath(0x20, name), PathKind::Movie) << name;
  }
  // A missing file with a movie ending still becomes a row.
  EXPECT_EQ(ClassifyCommandLinePath(0xFFFFFFFF, "gone.avi"), PathKind::Movie);
  for (const char* name : {"a.txt", "a.rmvb", "a.mpeg", "arm", ""}) {
    EXPECT_EQ(ClassifyCommandLinePath(0x20, name), PathKind::Ignored) << name;
    EXPECT_EQ(ClassifyDroppedPath(0x20, name), PathKind::Ignored) << name;
  }
}

TEST(CommandLine, ItemNumberIsTheRowIndexUnlessTheListIsShorter) {
  EXPECT_EQ(RowIndexForItem(0, 5), 0);
  EXPECT_EQ(RowIndexForItem(2, 5), 2);
  EXPECT_EQ(RowIndexForItem(1, 0), 0);
  EXPECT_EQ(RowIndexForItem(7, 3), 3);
}

RowModel SizedRows(const std::vector<std::string>& bytes) {
  RowModel rows;
  for (const auto& b : bytes) {
    int r = rows.Insert(rows.Count(), "f" + std::to_string(rows.Count()) + ".avi", rows.Count());
    rows.SetCell(r, 1, b);
  }
  return rows;
}

TEST(SelectionTotals, TextGroupsTheKilobytesAndShowsMegabytes) {
  EXPECT_EQ(SelectionTotalsText(3, 1234), "3ﾌｧｲﾙ選択 1,234KB(1.2MB)");
  EXPECT_EQ(SelectionTotalsText(2, 0), "2ﾌｧｲﾙ選択 0KB(0.0MB)");
  EXPECT_EQ(SelectionTotalsText(2, 1048576), "2ﾌｧｲﾙ選択 1,048,576KB(1024.0MB)");
}

TEST(SelectionTotals, SumsBeyondTwoTerabytesDoNotWrap) {
  CategoryTable table = CategoryTable::AllOn();
  // Three files of 1 TiB each: 3 * 2^30 KB exceeds the 32-bit range.
  RowModel rows =
      SizedRows({"1,099,511,627,776", "1,099,511,627,776", "1,099,511,627,776", "2,048"});
  std::int64_t total = SelectedKB(rows, table, {0, 1, 2, 3});
  EXPECT_EQ(total, 3LL * 1073741824LL + 2);
  EXPECT_EQ(SelectionTotalsText(4, total), "4ﾌｧｲﾙ選択 3,221,225,474KB(3145728.0MB)");
  EXPECT_EQ(SelectedKB(rows, table, {3}), 2);
  EXPECT_EQ(SelectedKB(rows, table, {}), 0);
}

RowModel Lettered(int n) {
  RowModel rows;
  for (int i = 0; i < n; ++i) {
    int r = rows.Insert(rows.Count(), std::string(1, static_cast<char>('a' + i)), i);
    rows.SetCell(r, 4, "title" + std::to_string(i));
  }
  return rows;
}

std::string Names(const RowModel& rows) {
  std::string s;
  for (int r = 0; r < rows.Count(); ++r) s += rows.Cell(r, 0);
  return s;
}

TEST(RowClipboard, CutMovesAllSelectedRowsAndKeepsTheLast) {
  CategoryTable table = CategoryTable::AllOn();
  RowModel rows = Lettered(9);
  RowClipboard clip;
  CutRows(rows, table, {2, 5, 7}, clip);
  EXPECT_EQ(Names(rows), "abdegi");
  EXPECT_EQ(clip.slots[0], "h");
  EXPECT_EQ(clip.slots[4], "title7");
  // Paste below the first selected row, with tag s + 1.
  int at = PasteRow(rows, table, 1, clip);
  EXPECT_EQ(at, 2);
  EXPECT_EQ(Names(rows), "abhdegi");
  EXPECT_EQ(rows.Tag(2), 2);
  EXPECT_EQ(rows.Cell(2, 4), "title7");
  EXPECT_FALSE(rows.Checked(2));
}

TEST(RowClipboard, CopyTakesOnlyTheShownColumns) {
  std::array<int, kCategoryCount> values;
  values.fill(0);
  values[MovieTitle] = 1;
  CategoryTable table = CategoryTable::FromValues(values);  // columns 0 and 1
  RowModel rows;
  rows.Insert(0, "a.avi", 0);
  rows.SetCell(0, 1, "Title");
  rows.SetCell(0, 2, "beyond the last column");
  RowClipboard clip;
  CopyRowToClipboard(rows, table, 0, clip);
  EXPECT_EQ(clip.slots[0], "a.avi");
  EXPECT_EQ(clip.slots[1], "Title");
  EXPECT_EQ(clip.slots[2], "");
}

TEST(RowClipboard, NeverFilledClipboardPastesAnEmptyRowAtTheEnd) {
  CategoryTable table = CategoryTable::AllOn();
  RowModel rows = Lettered(2);
  RowClipboard clip;
  EXPECT_EQ(PasteRow(rows, table, 1, clip), 2);
  EXPECT_EQ(rows.Count(), 3);
  EXPECT_EQ(rows.Cell(2, 0), "");
  EXPECT_EQ(rows.Tag(2), 2);
}

TEST(RowClipboard, DeletingManyRowsKeepsTheOthersWhole) {
  RowModel rows;
  for (int i = 0; i < 1000; ++i) {
    int r = rows.Insert(i, "n" + std::to_string(i), i % 7);
    rows.SetCell(r, 3, std::to_string(i * 2));
    rows.SetChecked(r, i % 3 == 0);
  }
  std::vector<int> gone;
  for (int i = 0; i < 1000; i += 2) gone.push_back(i);
  DeleteRows(rows, gone);
  ASSERT_EQ(rows.Count(), 500);
  for (int r = 0; r < 500; ++r) {
    int i = 2 * r + 1;
    EXPECT_EQ(rows.Cell(r, 0), "n" + std::to_string(i));
    EXPECT_EQ(rows.Cell(r, 3), std::to_string(i * 2));
    EXPECT_EQ(rows.Tag(r), i % 7);
    EXPECT_EQ(rows.Checked(r), i % 3 == 0);
  }
  DeleteRows(rows, {0, 499});
  EXPECT_EQ(rows.Count(), 498);
  EXPECT_EQ(rows.Cell(0, 0), "n3");
}

TEST(Selection, FollowsItsRowsThroughInsertDeleteAndSort) {
  EXPECT_EQ(SelectionAfterInsert({0, 3, 5}, 3, 2), (std::vector<int>{0, 5, 7}));
  EXPECT_EQ(SelectionAfterInsert({0, 1}, 0, 10), (std::vector<int>{10, 11}));
  EXPECT_EQ(SelectionAfterInsert({}, 0, 1), std::vector<int>{});
  EXPECT_EQ(SelectionAfterDelete({1, 4, 6, 9}, {0, 4, 5}), (std::vector<int>{0, 3, 6}));
  EXPECT_EQ(SelectionAfterMove({0, 2}, {2, 0, 1}), (std::vector<int>{1, 2}));
  EXPECT_EQ(SelectionAfterMove({0, 1, 2}, {2, 1, 0}), (std::vector<int>{0, 1, 2}));
}

TEST(ListFiles, TypeByTheLastThreeCharacters) {
  EXPECT_EQ(ListKindOf("C:\\a.TxT"), ListKind::Text);
  EXPECT_EQ(ListKindOf("a.csv"), ListKind::Csv);
  EXPECT_EQ(ListKindOf("a.HTM"), ListKind::Html);
  EXPECT_EQ(ListKindOf("list.html"), ListKind::None);
  EXPECT_EQ(ListKindOf("acsv"), ListKind::Csv);
  EXPECT_EQ(ListKindOf(""), ListKind::None);
}

TEST(ListStyles, ExtendedStyleTable) {
  EXPECT_EQ(ListExtendedStyle(true, true), 0x25u);
  EXPECT_EQ(ListExtendedStyle(true, false), 0x21u);
  EXPECT_EQ(ListExtendedStyle(false, true), 0x24u);
  EXPECT_EQ(ListExtendedStyle(false, false), 0x20u);
}

TEST(FitCommands, MapToTheirCategories) {
  EXPECT_EQ(CategoryOfFitCommand(IDM_FIT_FILENAME), FileName);
  EXPECT_EQ(CategoryOfFitCommand(IDM_FIT_SIZEBT), FileSizeBT);
  EXPECT_EQ(CategoryOfFitCommand(IDM_FIT_DIRPATH), DirPath);
  EXPECT_EQ(CategoryOfFitCommand(IDM_FIT_VOLLABEL), VolLabel);
  EXPECT_EQ(CategoryOfFitCommand(IDM_FIT_SIZEMB), FileSizeMB);
  EXPECT_EQ(CategoryOfFitCommand(IDM_FIT_ALL), -1);
  EXPECT_EQ(CategoryOfFitCommand(40037), -1);
  EXPECT_EQ(CategoryOfFitCommand(40043), -1);
}

TEST(Fonts, SizeSettingsReadWithBaseDetection) {
  EXPECT_EQ(FontHeightFromSetting("12"), 12);
  EXPECT_EQ(FontHeightFromSetting("020"), 16);
  EXPECT_EQ(FontHeightFromSetting("0x1"), 1);
  EXPECT_EQ(FontHeightFromSetting("abc"), 0);
  EXPECT_EQ(FontHeightFromSetting(""), 0);
}

TEST(Messages, NameTheFileAndTheCause) {
  std::string t = SaveFailedText("C:\\x\\a.csv", "");
  EXPECT_NE(t.find("C:\\x\\a.csv"), std::string::npos);
  t = SaveFailedText("C:\\x\\a.csv", "C:\\x\\a.csv: disk full");
  EXPECT_EQ(t.find("C:\\x\\a.csv"), t.rfind("C:\\x\\a.csv"));  // named once
  EXPECT_NE(t.find("disk full"), std::string::npos);
  t = SaveFailedText("C:\\x\\a.csv", "access denied");
  EXPECT_NE(t.find("C:\\x\\a.csv"), std::string::npos);
  EXPECT_NE(t.find("access denied"), std::string::npos);
  EXPECT_NE(CsvOpenFailedText("D:\\l.csv").find("D:\\l.csv"), std::string::npos);
  EXPECT_EQ(VersionText("T").rfind("T Version 0.98t\n\n", 0), 0u);
}

}  // namespace
}  // namespace clip
