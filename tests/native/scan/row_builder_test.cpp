// The row reader and the row insert: tag, size cells, when the file is
// opened and probed, directory and volume label.
#include <gtest/gtest.h>

#include "catalogue/categories.h"
#include "catalogue/row_model.h"
#include "fake_fs.h"
#include "scan_rows.h"
#include "scan/scan.h"

namespace clip::test {
namespace {

struct Builder {
  FakeFs fs;
  NoCodecs codecs;
  RowModel rows;
  CategoryTable table = CategoryTable::AllOn();
  TestScan ctx{rows, table, fs, codecs};

  std::string Cell(int row, int category) const { return rows.Cell(row, table.position[category]); }
  // Adds C:\M\name of the given size and builds its row at the end.
  int Add(const std::string& name, std::uint64_t size) {
    fs.AddSizedFile("C:\\M", name, size);
    AddFileRow(ctx, "C:\\M\\" + name, rows.Count());
    return rows.Count() - 1;
  }
};

TEST(RowBuilder, TheTagIsTheCountBeforeTheInsertAndTheIndexIsKeptInsideTheRows) {
  Builder b;
  for (int i = 0; i < 10; ++i) b.rows.Insert(i, "r" + std::to_string(i), i);
  b.fs.AddFile("C:\\M", "a.avi", "x");
  AddFileRow(b.ctx, "C:\\M\\a.avi", 10);
  EXPECT_EQ(b.rows.Tag(10), 10);
  EXPECT_EQ(b.rows.Cell(10, 0), "a.avi");

  AddFileRow(b.ctx, "C:\\M\\a.avi", 3);  // a drop in the middle
  EXPECT_EQ(b.rows.Cell(3, 0), "a.avi");
  EXPECT_EQ(b.rows.Tag(3), 11);
  EXPECT_EQ(b.rows.Cell(4, 0), "r3");
  // Cells went to the inserted row, not to the one it pushed down.
  EXPECT_EQ(b.Cell(3, DirPath), "C:\\M");
  EXPECT_EQ(b.Cell(4, DirPath), "");

  AddFileRow(b.ctx, "C:\\M\\a.avi", 99);  // beyond the end: appended
  EXPECT_EQ(b.rows.Cell(12, 0), "a.avi");
  EXPECT_EQ(b.Cell(12, FileSizeBT), "1");
  AddFileRow(b.ctx, "C:\\M\\a.avi", -5);
  EXPECT_EQ(b.rows.Cell(0, 0), "a.avi");
  EXPECT_EQ(b.Cell(0, FileSizeBT), "1");
}

TEST(RowBuilder, MegabyteCellHasTwoDecimalsUpTo10475274Bytes) {
  Builder b;
  int r = b.Add("edge.avi", 10475274);
  EXPECT_EQ(b.Cell(r, FileSizeMB), "9.99");
  r = b.Add("above.avi", 10475275);
  EXPECT_EQ(b.Cell(r, FileSizeMB), "10.0");
  EXPECT_EQ(b.Cell(r, FileSizeBT), "10,475,275");
  r = b.Add("small.avi", 1023);
  EXPECT_EQ(b.Cell(r, FileSizeBT), "1,023");
  EXPECT_EQ(b.Cell(r, FileSizeMB), "0.00");
  EXPECT_EQ(b.Cell(r, FileSizeKB), "0");
  r = b.Add("empty.avi", 0);
  EXPECT_EQ(b.Cell(r, FileSizeBT), "0");
  EXPECT_EQ(b.Cell(r, FileSizeMB), "0.00");
  EXPECT_EQ(b.Cell(r, FileSizeKB), "0");
}

TEST(RowBuilder, SizeInfoAddsUnitsToMegabyteAndKilobyteCellsOnly) {
  Builder b;
  b.ctx.sizeInfo = 1;
  int r = b.Add("five.avi", 5000000);
  EXPECT_EQ(b.Cell(r, FileSizeBT), "5,000,000");
  EXPECT_EQ(b.Cell(r, FileSizeMB), "4.77MB");
  EXPECT_EQ(b.Cell(r, FileSizeKB), "4,882KB");
  b.ctx.sizeInfo = 2;  // only exactly 1 is on
  r = b.Add("five2.avi", 5000000);
  EXPECT_EQ(b.Cell(r, FileSizeMB), "4.77");
  EXPECT_EQ(b.Cell(r, FileSizeKB), "4,882");
}

TEST(RowBuilder, FilesOf4GiBAndMoreShowTheirWholeSize) {
  Builder b;
  b.ctx.sizeInfo = 1;
  int r = b.Add("five-gib.avi", 5ull << 30);
  EXPECT_EQ(b.Cell(r, FileSizeBT), "5,368,709,120");
  EXPECT_EQ(b.Cell(r, FileSizeMB), "5120.0MB");
  EXPECT_EQ(b.Cell(r, FileSizeKB), "5,242,880KB");
  r = b.Add("just-over-2gib.avi", 2147483648ull);
  EXPECT_EQ(b.Cell(r, FileSizeBT), "2,147,483,648");
  EXPECT_EQ(b.Cell(r, FileSizeMB), "2048.0MB");
  r = b.Add("huge.avi", 3ull << 40);
  EXPECT_EQ(b.Cell(r, FileSizeBT), "3,298,534,883,328");
  EXPECT_EQ(b.Cell(r, FileSizeKB), "3,221,225,472KB");
}

TEST(RowBuilder, AFileThatCannotBeOpenedStillGetsARowWithEmptySizeCells) {
  Builder b;
  b.fs.labels["C:\\"] = "DISC";
  b.fs.AddFile("C:\\M", "locked.avi", std::string(3000, 'x'));
  b.fs.Lock("C:\\M\\locked.avi");
  AddFileRow(b.ctx, "C:\\M\\locked.avi", 0);
  ASSERT_EQ(b.rows.Count(), 1);
  EXPECT_EQ(b.rows.Cell(0, 0), "locked.avi");
  for (int k : {FileSizeBT, FileSizeMB, FileSizeKB, MovieTitle, Creater, Comment})
    EXPECT_EQ(b.Cell(0, k), "") << kCategories[k].key;
  EXPECT_EQ(b.Cell(0, DirPath), "C:\\M");
  EXPECT_EQ(b.Cell(0, VolLabel), "DISC");
  EXPECT_EQ(b.fs.opens, 1);

  // A path that has gone since it was listed: a row, and no file appears.
  b.fs.AddGhost("C:\\M", "gone.avi");
  AddFileRow(b.ctx, "C:\\M\\gone.avi", 1);
  EXPECT_EQ(b.rows.Cell(1, 0), "gone.avi");
  EXPECT_EQ(b.Cell(1, FileSizeBT), "");
  EXPECT_FALSE(b.fs.Exists("C:\\M\\gone.avi"));
}

TEST(RowBuilder, WithOnlyNameAndFolderShownTheFileIsNeitherOpenedNorProbed) {
  Builder b;
  b.table = OnlyCategories({DirPath});
  b.fs.AddFile("C:\\M", "a.avi", "RIFF");
  AddFileRow(b.ctx, "C:\\M\\a.avi", 0);
  EXPECT_EQ(b.fs.opens, 0);
  EXPECT_EQ(b.Cell(0, DirPath), "C:\\M");
  EXPECT_TRUE(b.fs.labelQueries.empty());  // VolLabel is off
}

TEST(RowBuilder, SizesAloneOpenTheFileOnceWithoutProbing) {
  Builder b;
  b.table = OnlyCategories({FileSizeKB});
  b.Add("a.avi", 4096);
  EXPECT_EQ(b.fs.opens, 1);
  EXPECT_EQ(b.rows.Cell(0, 1), "4");
}

TEST(RowBuilder, EveryCategoryOnStillOpensTheFileOnlyOnce) {
  Builder b;
  b.Add("a.avi", 100);
  b.Add("b.mpg", 100);
  b.Add("c.rm", 100);
  EXPECT_EQ(b.fs.opens, 3);
}

TEST(RowBuilder, CellsFollowTheColumnPositionsOfTheShownCategories) {
  Builder b;
  b.table = OnlyCategories({FileSizeMB, MovieTitle, DirPath});
  b.ctx.sizeInfo = 1;
  b.Add("a.avi", 2 * 1048576);
  const CatalogueRow& row = b.rows.Row(0);
  ASSERT_LE(row.cells.size(), 4u);
  EXPECT_EQ(b.rows.Cell(0, 0), "a.avi");
  EXPECT_EQ(b.rows.Cell(0, 1), "2.00MB");
  EXPECT_EQ(b.rows.Cell(0, 2), "");  // no ISBJ entry
  EXPECT_EQ(b.rows.Cell(0, 3), "C:\\M");
}

TEST(RowBuilder, VolumeLabelIsAskedForTheDrivesRoot) {
  Builder b;
  b.table = OnlyCategories({DirPath, VolLabel});
  b.fs.labels["D:\\"] = "MOVIES";
  b.fs.AddFile("D:\\Films\\Old", "a.avi", "");
  AddFileRow(b.ctx, "D:\\Films\\Old\\a.avi", 0);
  EXPECT_EQ(b.Cell(0, VolLabel), "MOVIES");
  // A file in the drive's root folder: its folder text is "D:", and the
  // label is still that of D:\.
  b.fs.AddFile("D:\\", "root.avi", "");
  AddFileRow(b.ctx, "D:\\root.avi", 1);
  EXPECT_EQ(b.Cell(1, DirPath), "D:");
  EXPECT_EQ(b.Cell(1, VolLabel), "MOVIES");
  // A network path's label is its share's; a failed query leaves it empty.
  b.fs.labels["\\\\server\\share\\"] = "NAS";
  b.fs.AddFile("\\\\server\\share\\Films", "n.avi", "");
  AddFileRow(b.ctx, "\\\\server\\share\\Films\\n.avi", 2);
  EXPECT_EQ(b.Cell(2, VolLabel), "NAS");
  b.fs.AddFile("\\\\other\\films", "m.avi", "");
  AddFileRow(b.ctx, "\\\\other\\films\\m.avi", 3);
  EXPECT_EQ(b.Cell(3, VolLabel), "");
  EXPECT_EQ(b.fs.labelQueries, (std::vector<std::string>{"D:\\", "D:\\", "\\\\server\\share\\",
                                                         "\\\\other\\films\\"}));
}

TEST(RowBuilder, AWalkAsksForEachDrivesLabelOnceAndEveryWalkAsksAgain) {
  Builder b;
  b.table = OnlyCategories({VolLabel});
  b.fs.labels["E:\\"] = "DISC1";
  b.fs.AddFile("E:\\", "a.avi", "").AddFile("E:\\", "b.avi", "").AddDir("E:\\", "S");
  b.fs.AddFile("E:\\S", "c.avi", "");
  ScanInto(b.ctx, "E:\\");
  EXPECT_EQ(Column(b.rows, 1), (std::vector<std::string>{"DISC1", "DISC1", "DISC1"}));
  EXPECT_EQ(b.fs.labelQueries.size(), 1u);
  // The next disc in the same drive shows its own label.
  b.fs.labels["E:\\"] = "DISC2";
  ScanInto(b.ctx, "E:\\");
  EXPECT_EQ(b.Cell(3, VolLabel), "DISC2");
  EXPECT_EQ(b.fs.labelQueries.size(), 2u);
}

}  // namespace
}  // namespace clip::test
