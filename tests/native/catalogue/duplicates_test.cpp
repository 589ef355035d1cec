// Duplicates: sizes read back from the size cells, and the sets of twins
// by name and size or by play time, resolution and near size.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "catalogue/duplicates.h"
#include "catalogue/size_cells.h"

namespace clip {
namespace {

TEST(ParseSizeCell, BoundsTheBytesEachCellStandsFor) {
  const ByteRange exact = ParseSizeCell(" 1,234,567 ", FileSizeBT);
  EXPECT_TRUE(exact.known && exact.low == 1234567 && exact.high == 1234567);
  EXPECT_EQ(ParseSizeCell("18,446,744,073,709,551,615", FileSizeBT).high, 18446744073709551615u);
  const ByteRange kb = ParseSizeCell("1,205KB", FileSizeKB);
  EXPECT_TRUE(kb.known && kb.low == 1205 * 1024 && kb.high == 1205 * 1024 + 1023);
  EXPECT_EQ(ParseSizeCell("1205 KB", FileSizeKB), kb);
  EXPECT_EQ(ParseSizeCell("1205", FileSizeKB), kb);
  // 700.0 MB is anything from 699.95 to 700.05 MB.
  const ByteRange mb = ParseSizeCell("700.0MB", FileSizeMB);
  EXPECT_TRUE(mb.known && mb.low == 733950772u && mb.high == 734055628u);
  EXPECT_EQ(ParseSizeCell("700.0", FileSizeMB), mb);
  for (const char* bad : {"", "  ", "12a", "-5", "1.5", "18446744073709551616", "KB"}) {
    SCOPED_TRACE(bad);
    EXPECT_FALSE(ParseSizeCell(bad, FileSizeBT).known);
  }
  for (const char* bad : {".5", "1.2.3", "17592186044416.0", "1.0000000000000000001"}) {
    SCOPED_TRACE(bad);
    EXPECT_FALSE(ParseSizeCell(bad, FileSizeMB).known);
  }
  // Every megabyte text the row builder writes ("%.2f" up to 9.99 MB,
  // "%.1f" above) reads back as a range holding the size it came from.
  std::uint64_t size = 1;
  for (int i = 0; i < 4000; ++i) {
    size = size * 6364136223846793005u + 1442695040888963407u;
    const std::uint64_t s = (size >> 20) % (i < 2000 ? 10475274u * 2 : std::uint64_t{1} << 42);
    char text[64];
    std::snprintf(text, sizeof text, s <= 10475274u ? "%.2f" : "%.1f", s / 1048576.0);
    ASSERT_TRUE(ParseSizeCell(text, FileSizeMB).Contains(s)) << s << " " << text;
  }
}

class Duplicates : public ::testing::Test {
 protected:
  CategoryTable table = CategoryTable::AllOn();
  RowModel rows;

  void Add(const char* name, const char* bytes, const char* time = "", const char* frame = "") {
    const int r = rows.Insert(rows.Count(), name, 0);
    const std::pair<int, const char*> cells[] = {
        {FileSizeBT, bytes}, {PlayTime, time}, {Resolusion, frame}};
    for (const auto& [k, text] : cells) {
      if (table.IsOn(k)) rows.SetCell(r, table.position[k], text);
    }
  }
  std::vector<int> Find(DuplicateChoice choice) { return FindDuplicateRows(rows, table, choice); }
};

TEST_F(Duplicates, TwinsByNameAndSizeOrByTimeFrameAndNearSize) {
  Add("Movie.avi", "1,000,000", "95:07", "640x480");  // 0
  Add("movie.AVI", "1,000,000");                      // 1: same name and size as 0
  Add("movie.avi", "1,000,001");                      // 2: same name, other size
  Add("other.avi", "990,000", "95:07", "640x480");    // 3: 0's time and frame, 1% smaller
  Add("b1.avi", "2,000,000", "10:00", "320x240");     // 4
  Add("b2.avi", "1,979,999", "10:00", "320x240");     // 5: just over 1% below 4
  Add("b3.avi", "1,990,000", "10:01", "320x240");     // 6: other time
  Add("b4.avi", "1,990,000", "10:00", "320x241");     // 7: other frame
  Add("c1.avi", "1,000,000", "20:00", "1x1");         // 8
  Add("c2.avi", "1,009,000", "20:00", "1x1");         // 9: within 1% of 8 and of 10
  Add("c3.avi", "1,018,000", "20:00", "1x1");         // 10: over 1% from 8, a twin's twin
  Add(u8"ＭＯＶＩＥ.avi", "1,000,000");               // 11: 0's name in full width
  Add("", "1,000,000", "95:07", "640x480");           // 12: no name
  Add("Movie.avi", "", "95:07", "640x480");           // 13: size unknown
  EXPECT_EQ(Find(DuplicateChoice::All), (std::vector<int>{0, 1, 3, 8, 9, 10, 11}));
  // The first row of each set stays.
  EXPECT_EQ(Find(DuplicateChoice::AllButOne), (std::vector<int>{1, 3, 9, 10, 11}));
}

TEST_F(Duplicates, SizesFromRoundedCellsAndNoTwinsWithoutSizes) {
  // Megabytes only: equal texts are equal sizes; near sizes use the middle.
  std::array<int, kCategoryCount> values{};
  values[FileSizeMB] = values[PlayTime] = values[Resolusion] = 1;
  table = CategoryTable::FromValues(values);
  const int mb = table.position[FileSizeMB];
  Add("a.avi", "");
  Add("a.avi", "");
  Add("a.avi", "");
  Add("m.avi", "", "01:00", "2x2");
  Add("n.avi", "", "01:00", "2x2");
  const char* sizes[] = {"700.0MB", "700.0", "700.1", "100.0", "101.1"};
  for (int r = 0; r < 5; ++r) rows.SetCell(r, mb, sizes[r]);
  EXPECT_EQ(Find(DuplicateChoice::All), (std::vector<int>{0, 1}));
  rows.SetCell(4, mb, "100.9");  // within 1% of 100.0
  EXPECT_EQ(Find(DuplicateChoice::All), (std::vector<int>{0, 1, 3, 4}));

  values.fill(0);
  table = CategoryTable::FromValues(values);
  EXPECT_TRUE(Find(DuplicateChoice::All).empty());
  EXPECT_TRUE(FindDuplicateRows(RowModel(), CategoryTable::AllOn(), DuplicateChoice::All).empty());
}

}  // namespace
}  // namespace clip
