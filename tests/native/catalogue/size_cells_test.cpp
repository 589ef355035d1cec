// A row's size in kilobytes, read back from its first size cell.
#include "catalogue/size_cells.h"

#include <gtest/gtest.h>

#include "base/text.h"
#include "catalogue/categories.h"
#include "catalogue/row_model.h"

namespace clip {
namespace {

TEST(Numbers, RowSizeKBReadsTheFirstSizeColumn) {
  auto tableWith = [](std::initializer_list<int> on) {
    std::array<int, kCategoryCount> v{};
    for (int k : on) v[k] = 1;
    return CategoryTable::FromValues(v);
  };
  RowModel rows;
  rows.Insert(0, "a.avi", 0);
  auto kbOf = [&](const CategoryTable& t, const char* cell) {
    rows.SetCell(0, 1, cell);
    return RowSizeKB(rows, t, 0);
  };
  EXPECT_EQ(kbOf(tableWith({FileSizeBT, FileSizeMB}), "1,048,576"), 1024);
  EXPECT_EQ(kbOf(tableWith({FileSizeBT}), "5,368,709,120"), 5242880);
  EXPECT_EQ(kbOf(tableWith({FileSizeMB}), "123.4MB"), 126361);
  EXPECT_EQ(kbOf(tableWith({FileSizeMB}), "123.4"), 126361);
  EXPECT_EQ(kbOf(tableWith({FileSizeKB}), "1,234KB"), 1234);
  EXPECT_EQ(kbOf(tableWith({FileSizeKB}), "1,234"), 1234);
  EXPECT_EQ(kbOf(tableWith({MovieTitle}), "1,234"), 0);
}

}  // namespace
}  // namespace clip
