// Rules of the main window decided on data: the command line and drops,
// the status bar, selection totals, the row clipboard and selection that
// follows its rows.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/main_rules.h"
#include "res/resource.h"

namespace clip {
namespace {

TEST(CommandLine, FoldersByTheirDirectoryBitAndMoviesByEnding) {
  for (std::uint32_t attributes : {0x10u, 0x11u, 0x12u, 0x16u, 0x30u, 0x410u, 0x2010u}) {
    EXPECT_EQ(ClassifyCommandLinePath(attributes, "C:\\m"), PathKind::Folder) << attributes;
    EXPECT_EQ(ClassifyDroppedPath(attributes, "C:\\m"), PathKind::Folder) << attributes;
  }
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

TEST(CommandLine, RelativeItemsAreTakenFromTheStartFolder) {
  EXPECT_EQ(PathFromStartFolder("D:\\work", "samples"), "D:\\work\\samples");
  EXPECT_EQ(PathFromStartFolder("D:\\", "samples\\a.avi"), "D:\\samples\\a.avi");
  EXPECT_EQ(PathFromStartFolder("D:\\work", "..\\x"), "D:\\work\\..\\x");
  EXPECT_EQ(PathFromStartFolder("D:\\work", "\\m\\a.avi"), "D:\\m\\a.avi");
  for (const char* full : {"C:\\m", "C:/m", "\\\\srv\\share\\m", "E:clip.avi"})
    EXPECT_EQ(PathFromStartFolder("D:\\work", full), full);
  EXPECT_EQ(PathFromStartFolder("", "samples"), "samples");
}

TEST(StatusBar, PartsGrowWithTheirTextsAndTheLastFillsTheWindow) {
  // Short texts keep the usual widths; the last part reaches the edge.
  EXPECT_EQ(StatusPartEdges({100, 80, 80, 40}, 1000), (std::array<int, 4>{190, 300, 413, -1}));
  // Today's drive sizes need wider parts ("DiskMax: 258019.6MB").
  std::array<int, 4> wide = StatusPartEdges({100, 150, 140, 40}, 1000);
  EXPECT_EQ(wide[1] - wide[0], 162);
  EXPECT_EQ(wide[2] - wide[1], 152);
  // A window too narrow for every part keeps the last edge where it is.
  EXPECT_EQ(StatusPartEdges({100, 80, 80, 40}, 300)[3], 480);
}

TEST(StatusBar, UsualWidthsAndPaddingFollowTheDpi) {
  EXPECT_EQ(StatusPartEdges({100, 80, 80, 40}, 2000, 144), (std::array<int, 4>{285, 450, 620, -1}));
  // A text wider than the usual width gets the padding at the DPI (18).
  EXPECT_EQ(StatusPartEdges({300, 80, 80, 40}, 2000, 144)[0], 318);
}

TEST(DisplayScale, SizesRoundToThePixelAndComeBackExactly) {
  EXPECT_EQ(ScaleToDpi(200, 144), 300);
  EXPECT_EQ(ScaleToDpi(85, 144), 128);  // 127.5 rounds up
  EXPECT_EQ(ScaleToDpi(-85, 144), -128);
  EXPECT_EQ(ScaleToDpi(85, 120), 106);
  EXPECT_EQ(ScaleToDpi(12, 0), 12);  // no DPI known: 96
  EXPECT_EQ(ScaleFromDpi(128, 144), 85);
  // A size from a hand-edited file stays at the int's edge.
  EXPECT_EQ(ScaleToDpi(2147483647, 192), 2147483647);
  EXPECT_EQ(ScaleToDpi(-2147483647 - 1, 192), -2147483647 - 1);
  for (int dpi : {96, 120, 144, 168, 192, 240, 288})
    for (int v = -400; v <= 4000; ++v) ASSERT_EQ(ScaleFromDpi(ScaleToDpi(v, dpi), dpi), v) << dpi;
}

TEST(DisplayScale, ToolbarImagesAreDrawnAt16_24And32Pixels) {
  EXPECT_EQ(ToolbarImageSize(96), 16);
  EXPECT_EQ(ToolbarImageSize(120), 16);  // 20 pixels: the 24 would be stretched
  EXPECT_EQ(ToolbarImageSize(144), 24);
  EXPECT_EQ(ToolbarImageSize(168), 24);
  EXPECT_EQ(ToolbarImageSize(192), 32);
  EXPECT_EQ(ToolbarImageSize(288), 32);
  EXPECT_EQ(ToolbarImageSize(72), 16);
}

TEST(DisplayScale, FirstWindowTakesTwoThirdsOfTheWorkAreaCentred) {
  EXPECT_EQ(DefaultWindowRect({0, 0, 1280, 1024}), (ScreenRect{213, 171, 1066, 853}));
  // A work area beside a task bar on the left of a second monitor.
  EXPECT_EQ(DefaultWindowRect({1920, 0, 3840, 1040}), (ScreenRect{2240, 173, 3520, 866}));
  EXPECT_EQ(DefaultWindowRect({-1280, 40, 0, 1024}), (ScreenRect{-1067, 204, -214, 860}));
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
  EXPECT_EQ(ListFormatOf("C:\\a.TxT"), std::optional<ListFormat>(ListFormat::Text));
  EXPECT_EQ(ListFormatOf("a.csv"), std::optional<ListFormat>(ListFormat::Csv));
  EXPECT_EQ(ListFormatOf("a.HTM"), std::optional<ListFormat>(ListFormat::Html));
  EXPECT_EQ(ListFormatOf("list.html"), std::nullopt);
  EXPECT_EQ(ListFormatOf("acsv"), std::optional<ListFormat>(ListFormat::Csv));
  EXPECT_EQ(ListFormatOf(""), std::nullopt);
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

TEST(Messages, UnreadableFoldersAreNamedInOneMessage) {
  EXPECT_EQ(UnreadableFoldersText({}), "");
  const std::string text = UnreadableFoldersText({"D:\\a", "D:\\Café"}, 1);
  EXPECT_NE(text.find("\nD:\\a"), std::string::npos);
  EXPECT_EQ(text.find("Café"), std::string::npos);
  EXPECT_NE(text.find("ほか1件"), std::string::npos);
}

TEST(Messages, NameTheFile) {
  EXPECT_NE(CsvOpenFailedText("D:\\l.csv").find("D:\\l.csv"), std::string::npos);
  EXPECT_EQ(VersionText("T").rfind("T Version 0.98t\n\n", 0), 0u);
}

}  // namespace
}  // namespace clip
