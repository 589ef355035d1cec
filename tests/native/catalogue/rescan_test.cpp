// Rescan: the fate of each row after a fresh walk, the places of new files
// and the one-pass insertion of their rows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalogue/rescan.h"

namespace clip {
namespace {

class Rescan : public ::testing::Test {
 protected:
  CategoryTable table = CategoryTable::AllOn();
  RowModel rows;

  void Add(const char* name, const char* folder, const char* bytes, const char* label = "") {
    const int r = rows.Insert(rows.Count(), name, rows.Count());
    const std::pair<int, const char*> cells[] = {
        {FileSizeBT, bytes}, {FileSizeMB, bytes}, {DirPath, folder}, {VolLabel, label}};
    for (const auto& [k, text] : cells) {
      if (table.IsOn(k)) rows.SetCell(r, table.position[k], text);
    }
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (int r = 0; r < rows.Count(); ++r) names.push_back(rows.Cell(r, FileName));
    return names;
  }
  static std::vector<std::pair<int, int>> Places(const RescanPlan& plan) {
    std::vector<std::pair<int, int>> places;  // (file, row)
    for (const NewRowPlace& a : plan.added) places.emplace_back(a.file, a.row);
    return places;
  }
};

using F = RowFate;

TEST_F(Rescan, KeepsUpdatesLosesAndAddsInTheFolderPlace) {
  Add("a.avi", "D:\\Movies", "100");         // 0
  Add("b.avi", "D:\\Movies", "200");         // 1
  Add("c.avi", "D:\\Movies\\SF", "300");     // 2
  Add("d.avi", "D:\\Movies\\SF", "400");     // 3
  Add("e.avi", "D:\\Other", "500");          // 4: folder not walked
  Add("f.avi", "D:\\Movies\\Anime", "600");  // 5
  rows.SetCell(1, table.position[MovieTitle], "typed title");
  RescanWalk walk;
  walk.folders = {"d:\\movies\\", "D:/Movies/SF", "D:\\Movies\\Anime", "D:\\Movies\\New"};
  walk.files = {
      {"D:\\Movies", "a.avi", 100},         // 0: same size
      {"D:\\Movies", "b.avi", 250},         // 1: grew
      {"D:\\Movies", "g.avi", 1},           // 2: new, after b
      {"d:\\movies\\sf\\", "c.avi", 300},   // 3: folder spelled otherwise
      {"D:\\Movies\\SF", "h.avi", 1},       // 4: new, after d (which is gone)
      {"D:\\Movies\\Anime", "f.avi", 600},  // 5
      {"D:\\Movies\\Anime", "F.avi", 600},  // 6: names compare exactly: new
      {"D:\\Movies\\New", "n1.avi", 1},     // 7: a new folder, after D:\Movies' rows
      {"D:\\Movies\\New", "n2.avi", 1},     // 8
  };
  const RescanPlan plan = PlanRescan(rows, table, walk);
  EXPECT_EQ(plan.fates,
            (std::vector<F>{F::Keep, F::Update, F::Keep, F::Gone, F::Untouched, F::Keep}));
  EXPECT_EQ(Places(plan),
            (std::vector<std::pair<int, int>>{{2, 2}, {4, 5}, {6, 8}, {7, 9}, {8, 10}}));

  const std::vector<int> moved = ApplyRescan(rows, table, walk, plan);
  EXPECT_EQ(moved, (std::vector<int>{0, 1, 3, 4, 6, 7}));
  EXPECT_EQ(Names(), (std::vector<std::string>{"a.avi", "b.avi", "g.avi", "c.avi", "d.avi", "h.avi",
                                               "e.avi", "f.avi", "F.avi", "n1.avi", "n2.avi"}));
  EXPECT_EQ(rows.Cell(2, table.position[DirPath]), "D:\\Movies");
  EXPECT_EQ(rows.Cell(5, table.position[DirPath]), "D:\\Movies\\SF");
  EXPECT_EQ(rows.Cell(9, table.position[DirPath]), "D:\\Movies\\New");
  EXPECT_EQ(rows.Cell(1, table.position[MovieTitle]), "typed title");
  EXPECT_EQ(rows.Cell(2, table.position[FileSizeBT]), "");  // left to the probes
}

TEST_F(Rescan, PlacesNewFoldersAmongTheirRelativesOfTheSameVolume) {
  std::array<int, kCategoryCount> values{};
  values[FileSizeMB] = values[DirPath] = values[VolLabel] = 1;
  table = CategoryTable::FromValues(values);
  Add("x.avi", "E:\\Top\\Sub", "1.00", "DISC1");  // 0
  Add("y.avi", "E:\\Top\\Sub2", "", "DISC1");     // 1: size unknown
  Add("z.avi", "E:\\Top", "1.00", "disc2");       // 2: another disc in the drive
  Add("w.avi", "F:\\Else", "1.00", "DISC1");      // 3
  RescanWalk walk;
  walk.labelKnown = true;
  walk.volumeLabel = "disc1";
  walk.folders = {"E:\\Top", "E:\\Top\\Sub", "E:\\Top\\Sub2"};
  walk.files = {
      {"E:\\Top", "t.avi", 1},                 // 0: only subfolders have rows: ahead of them
      {"E:\\Top\\Sub\\Deep\\Er", "d.avi", 1},  // 1: nearest folder with rows is E:\Top\Sub
      {"G:\\Fresh", "f.avi", 1},               // 2: no relative: the end
      {"E:\\Top\\Sub", "x.avi", 1048576},      // 3: 1.00 MB
      {"E:\\Top\\Sub2", "y.avi", 5},           // 4
      {"E:\\TOP\\SUB", "x.avi", 1048576},      // 5: the same file again
  };
  RescanPlan plan = PlanRescan(rows, table, walk);
  EXPECT_EQ(plan.fates, (std::vector<F>{F::Keep, F::Update, F::Untouched, F::Untouched}));
  EXPECT_EQ(Places(plan), (std::vector<std::pair<int, int>>{{0, 0}, {1, 2}, {2, 6}}));
  ApplyRescan(rows, table, walk, plan);
  EXPECT_EQ(Names(), (std::vector<std::string>{"t.avi", "x.avi", "d.avi", "y.avi", "z.avi", "w.avi",
                                               "f.avi"}));
  EXPECT_EQ(rows.Cell(0, table.position[VolLabel]), "disc1");

  // Without sizes a found file is kept; without folders nothing is matched.
  values.fill(0);
  values[DirPath] = 1;
  const CategoryTable foldersOnly = CategoryTable::FromValues(values);
  RowModel bare;
  bare.Insert(0, "y.avi", 0);
  bare.SetCell(0, 1, "E:\\Top\\Sub2");
  bare.Insert(1, "listed.avi", 1);  // no folder: a row from a list without folders
  walk.folders.push_back("\\");     // a folder that names nothing
  EXPECT_EQ(PlanRescan(bare, foldersOnly, walk).fates, (std::vector<F>{F::Keep, F::Untouched}));
  plan = PlanRescan(rows, CategoryTable::FromValues({}), walk);
  EXPECT_EQ(plan.fates, std::vector<F>(7, F::Untouched));
  EXPECT_TRUE(plan.added.empty());
  // A plan for another model changes nothing.
  rows.Delete(0);
  EXPECT_TRUE(ApplyRescan(rows, table, walk, plan).empty());
  EXPECT_EQ(rows.Count(), 6);
}

}  // namespace
}  // namespace clip
