#include "catalogue/row_model.h"

#include <gtest/gtest.h>

#include "catalogue/categories.h"

namespace clip {
namespace {

TEST(Categories, AllKeysMissingShowsEveryColumn) {
  CategoryTable t = CategoryTable::AllOn();
  EXPECT_EQ(t.columnCount, 16);
  for (int k = 0; k < kClassicCategoryCount; ++k) {
    EXPECT_EQ(t.position[k], k);
    EXPECT_FALSE(t.RemovesFitItem(k));
  }
  // The track categories are off, their fit items gone, until asked for.
  for (int k = kClassicCategoryCount; k < kCategoryCount; ++k) {
    EXPECT_EQ(t.position[k], 0);
    EXPECT_TRUE(t.RemovesFitItem(k));
  }
  EXPECT_EQ(CategoryTable::Every().position[Status], kCategoryCount - 1);
}

TEST(Categories, ValuesOtherThanOneHideButOnlyZeroRemovesTheFitItem) {
  std::array<int, kCategoryCount> values{};
  values[FileSizeMB] = values[MovieTitle] = values[DirPath] = 1;
  values[Comment] = 2;
  CategoryTable t = CategoryTable::FromValues(values);
  EXPECT_EQ(t.columnCount, 3);
  EXPECT_EQ(t.position[FileSizeMB], 1);
  EXPECT_EQ(t.position[MovieTitle], 2);
  EXPECT_EQ(t.position[DirPath], 3);
  EXPECT_EQ(t.CategoryAt(3), DirPath);
  EXPECT_FALSE(t.IsOn(Comment));
  EXPECT_FALSE(t.RemovesFitItem(Comment));
  EXPECT_TRUE(t.ReaderCounts(Comment));
  EXPECT_TRUE(t.RemovesFitItem(VolLabel));
  EXPECT_FALSE(t.RemovesFitItem(FileName));
}

TEST(RowModel, InsertSetReadDelete) {
  RowModel m;
  EXPECT_EQ(m.Insert(0, "b.avi", 0), 0);
  EXPECT_EQ(m.Insert(0, "a.avi", 1), 0);
  EXPECT_EQ(m.Insert(99, "c.avi", 2), 2);  // clamped to the end
  EXPECT_EQ(m.Cell(0, 0), "a.avi");
  EXPECT_EQ(m.Cell(2, 0), "c.avi");
  m.SetCell(1, 5, std::string(300, 'x'));
  EXPECT_EQ(m.Cell(1, 5).size(), 300u);  // whole
  m.SetCell(1, 6, std::string(kCellMax + 9, 'y'));
  EXPECT_EQ(m.Cell(1, 6).size(), kCellMax);
  EXPECT_EQ(m.Cell(1, 4), "");
  EXPECT_EQ(m.Cell(7, 0), "");
  EXPECT_EQ(m.Tag(1), 0);
  m.SetChecked(1, true);
  EXPECT_TRUE(m.AnyChecked());
  m.Delete(0);
  EXPECT_TRUE(m.Checked(0));
  EXPECT_EQ(m.Count(), 2);
  m.SetAllChecked(false);
  EXPECT_FALSE(m.AnyChecked());
  m.Clear();
  EXPECT_EQ(m.Count(), 0);
}

}  // namespace
}  // namespace clip
