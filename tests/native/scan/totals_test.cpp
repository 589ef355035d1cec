// The totals text of status-bar part 0 and the drive figures of parts 1-3.
#include <gtest/gtest.h>

#include "catalogue/categories.h"
#include "catalogue/row_model.h"
#include "fake_fs.h"
#include "scan/scan.h"

namespace clip::test {
namespace {

// Rows whose column 1 holds the given texts.
RowModel RowsWithSizeCells(std::initializer_list<const char*> cells) {
  RowModel rows;
  for (const char* cell : cells) {
    int r = rows.Insert(rows.Count(), "f.avi", rows.Count());
    rows.SetCell(r, 1, cell);
  }
  return rows;
}

TEST(Totals, CountAndKilobytesOfTheFirstSizeColumn) {
  CategoryTable bytes = OnlyCategories({FileSizeBT, FileSizeKB});
  EXPECT_EQ(TotalsText(RowsWithSizeCells({"1,048,576", "2,097,152", "524,288"}), bytes),
            "3file(s) 3,584KB(3.5MB)");
  EXPECT_EQ(TotalsText(RowModel{}, bytes), "0file(s) 0KB(0.0MB)");
  EXPECT_EQ(TotalsText(RowsWithSizeCells({"125,952"}), bytes), "1file(s) 123KB(0.1MB)");

  CategoryTable kb = OnlyCategories({FileSizeKB});
  EXPECT_EQ(TotalsText(RowsWithSizeCells({"1,234,567KB"}), kb), "1file(s) 1,234,567KB(1205.6MB)");
  CategoryTable mb = OnlyCategories({FileSizeMB});
  EXPECT_EQ(TotalsText(RowsWithSizeCells({"1.5MB", "0.5"}), mb), "2file(s) 2,048KB(2.0MB)");
}

TEST(Totals, WithoutASizeColumnTheTextSaysNot) {
  CategoryTable none = OnlyCategories({MovieTitle, DirPath});
  EXPECT_EQ(TotalsText(RowModel{}, none), "0file(s) Not KB(Not MB)");
  EXPECT_EQ(TotalsText(RowsWithSizeCells({"1", "2", "3"}), none), "3file(s) Not KB(Not MB)");
}

TEST(Totals, SumsAboveTwoTerabytesDoNotWrap) {
  CategoryTable bytes = OnlyCategories({FileSizeBT});
  // Two files of 3 TiB: 6,442,450,944 KB, beyond 32 bits.
  EXPECT_EQ(TotalsText(RowsWithSizeCells({"3,298,534,883,328", "3,298,534,883,328"}), bytes),
            "2file(s) 6,442,450,944KB(6291456.0MB)");
}

TEST(Totals, HugeCellsOfALoadedListHoldAtTheLimit) {
  // A hand-edited list can hold any number; the sum stops at the 64-bit
  // limit instead of wrapping to a negative total.
  CategoryTable kb = OnlyCategories({FileSizeKB});
  EXPECT_EQ(TotalsText(RowsWithSizeCells({"9,223,372,036,854,775,807KB", "5KB"}), kb).substr(0, 35),
            "2file(s) 9,223,372,036,854,775,807K");
  CategoryTable mb = OnlyCategories({FileSizeMB});
  std::string text = TotalsText(RowsWithSizeCells({"99999999999999999999.9MB", "1.0MB"}), mb);
  EXPECT_EQ(text.find('-'), std::string::npos) << text;
  EXPECT_EQ(text.rfind("2file(s) 9,", 0), 0u) << text;
}

TEST(Totals, ScanTotalsWriteAllFourPartsFromTheDriveOfThePath) {
  CategoryTable bytes = OnlyCategories({FileSizeBT});
  RowModel rows = RowsWithSizeCells({"1,048,576", "2,097,152", "524,288"});
  FakeDisk disk;
  disk.total = 10485760;
  disk.free = 2621440;
  RecordingStatus status;
  std::string text = ShowScanTotals(rows, bytes, disk, status, "D:\\Movies\\New");
  EXPECT_EQ(text, "3file(s) 3,584KB(3.5MB)");
  EXPECT_EQ(disk.roots, (std::vector<std::string>{"D:"}));
  EXPECT_EQ(status.parts[0], "3file(s) 3,584KB(3.5MB)");
  EXPECT_EQ(status.parts[1], "DiskMax: 10240.0MB");
  EXPECT_EQ(status.parts[2], "DiskFree: 2560.0MB");
  EXPECT_EQ(status.parts[3], "Per: 75.0%");
}

TEST(Totals, DrivesAbove4TerabytesKeepTheirWholeFigures) {
  FakeDisk disk;
  disk.total = 8ull << 30;  // 8 TiB in KB
  disk.free = 2ull << 30;
  RecordingStatus status;
  ShowScanTotals(RowModel{}, CategoryTable::AllOn(), disk, status, "E:\\");
  EXPECT_EQ(status.parts[1], "DiskMax: 8388608.0MB");
  EXPECT_EQ(status.parts[2], "DiskFree: 2097152.0MB");
  EXPECT_EQ(status.parts[3], "Per: 75.0%");
}

TEST(Totals, WithoutDriveFiguresThePercentageSaysNon) {
  RecordingStatus status;
  FakeDisk failed;
  failed.ok = false;
  ShowScanTotals(RowModel{}, CategoryTable::AllOn(), failed, status, "\\\\server\\share\\movies");
  EXPECT_EQ(failed.roots, (std::vector<std::string>{"\\\\"}));
  EXPECT_EQ(status.parts[0], "0file(s) 0KB(0.0MB)");
  EXPECT_EQ(status.parts[1], "DiskMax: 0.0MB");
  EXPECT_EQ(status.parts[2], "DiskFree: 0.0MB");
  EXPECT_EQ(status.parts[3], "Per:Non");

  FakeDisk empty;  // answered, but a size of 0
  ShowScanTotals(RowModel{}, CategoryTable::AllOn(), empty, status, "F:\\");
  EXPECT_EQ(status.parts[3], "Per:Non");
}

TEST(Totals, RowTotalsWritePartZeroOnly) {
  RecordingStatus status;
  std::string text =
      ShowRowTotals(RowsWithSizeCells({"2,048"}), OnlyCategories({FileSizeBT}), status);
  EXPECT_EQ(text, "1file(s) 2KB(0.0MB)");
  ASSERT_EQ(status.writes.size(), 1u);
  EXPECT_EQ(status.writes[0], std::make_pair(0, std::string("1file(s) 2KB(0.0MB)")));
}

}  // namespace
}  // namespace clip::test
