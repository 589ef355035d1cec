// The rescan's volumes and its run over disks held in memory: which
// folders are walked, which volumes are skipped, folders that vanished, and
// what a stopped rescan leaves.
#include "app/rescan_run.h"

#include <gtest/gtest.h>

#include "base/text.h"
#include "fake_fs.h"
#include "scan/pipeline.h"

namespace clip {
namespace {

using test::FakeFs;
using test::OnlyCategories;

// The disks of a FakeFs: a volume is there when its root has a label.
class FakeDisk : public RescanDisk {
 public:
  explicit FakeDisk(FakeFs& fs, const CategoryTable& table) : fs_(fs), table_(table) {}
  int readsLeft = 1000;      // reads before the user stops the rescan
  bool stopWalking = false;  // the user stops it during the first walk
  std::vector<std::string> read;

  std::optional<std::string> PresentLabel(const std::string& root) override {
    const auto it = fs_.labels.find(root);
    return it == fs_.labels.end() ? std::nullopt : std::optional<std::string>(it->second);
  }
  bool Walk(const std::string& folder, RescanWalk& walk) override {
    fs_.listed.clear();
    for (const std::string& path : ListMovieFiles(fs_, folder, false))
      walk.files.push_back({PathDirectory(path), PathFileName(path), fs_.Open(path)->Size()});
    const std::vector<std::string> asked = fs_.listed;
    for (const std::string& f : asked)
      if (FolderExists(f)) walk.folders.push_back(f);
    return !stopWalking;
  }
  bool FolderExists(const std::string& folder) override {
    std::vector<FileSystem::Entry> entries;
    return fs_.List(folder, entries);
  }
  std::optional<MovieRowTexts> Read(const std::string& path) override {
    if (readsLeft-- <= 0) return std::nullopt;
    read.push_back(path);
    return RowReader(fs_, codecs_, table_, 0).Read(path);
  }

 private:
  FakeFs& fs_;
  const CategoryTable& table_;
  test::NoCodecs codecs_;
};

class RescanRun : public ::testing::Test {
 protected:
  const CategoryTable table = OnlyCategories({FileSizeBT, MovieTitle, DirPath, VolLabel});
  RowModel rows;
  void Add(const std::string& name, const std::string& bytes, const std::string& folder,
           const std::string& label, const std::string& title = "") {
    const int r = rows.Insert(rows.Count(), name, rows.Count());
    rows.SetCell(r, table.position[FileSizeBT], bytes);
    rows.SetCell(r, table.position[MovieTitle], title);
    rows.SetCell(r, table.position[DirPath], folder);
    rows.SetCell(r, table.position[VolLabel], label);
  }
  std::string Cell(int r, int k) const { return rows.Cell(r, table.position[k]); }
};

TEST_F(RescanRun, VolumesAreTheTopMostFoldersOfEachRootAndLabel) {
  Add("a.avi", "1", "D:\\Movies\\SF", "ONE");
  Add("b.avi", "1", "d:\\movies", "one");  // the same folder and label, spelled otherwise
  Add("c.avi", "1", "D:\\Movies 2", "ONE");
  Add("d.avi", "1", "D:", "TWO");  // the root of another disc read in D:
  Add("e.avi", "1", "D:\\x", "TWO");
  Add("f.avi", "1", "\\\\srv\\share\\x", "");
  Add("g.avi", "1", "", "ONE");          // loaded without a folder
  Add("h.avi", "1", "relative\\x", "");  // names no volume
  const std::vector<RescanVolume> v = VolumesOfRows(rows, table);
  ASSERT_EQ(v.size(), 3u);
  EXPECT_EQ(v[0].root, "D:\\");
  EXPECT_EQ(v[0].label, std::optional<std::string>("ONE"));
  EXPECT_EQ(v[0].folders, (std::vector<std::string>{"d:\\movies", "D:\\Movies 2"}));
  EXPECT_EQ(v[1].label, std::optional<std::string>("TWO"));
  EXPECT_EQ(v[1].folders, std::vector<std::string>{"D:"});
  EXPECT_EQ(v[2].root, "\\\\srv\\share\\");
  // Without the label column one drive is one volume, whatever its rows say.
  const CategoryTable noLabel = OnlyCategories({FileSizeBT, MovieTitle, DirPath});
  ASSERT_EQ(VolumesOfRows(rows, noLabel).size(), 2u);
  EXPECT_EQ(VolumesOfRows(rows, noLabel)[0].folders, std::vector<std::string>{"D:"});
  EXPECT_FALSE(VolumesOfRows(rows, noLabel)[0].label);
  EXPECT_TRUE(VolumesOfRows(rows, OnlyCategories({VolLabel})).empty());
  for (const char* odd : {"\\\\srv", "\\\\srv\\", "\\\\\\x", "C", ":\\x"})
    EXPECT_EQ(RescanRoot(odd), "") << odd;
}

TEST_F(RescanRun, SkipsAbsentVolumesAndFindsRowsOfVanishedFolders) {
  FakeFs fs;
  fs.labels["D:\\"] = "ONE";
  fs.AddDir("D:\\", "m").AddSizedFile("D:\\m", "a.avi", 100).AddSizedFile("D:\\m", "new.avi", 7);
  fs.AddSizedFile("D:\\m", "new2.avi", 8);
  fs.AddDir("D:\\m", ".hidden", 0x12).AddSizedFile("D:\\m\\.hidden", "h.avi", 5);
  Add("a.avi", "100", "D:\\m", "ONE", "typed");
  Add("b.avi", "9", "D:\\m\\gone", "ONE");     // its folder was deleted
  Add("h.avi", "1", "D:\\m\\.hidden", "ONE");  // a hidden folder is a folder too
  Add("c.avi", "9", "E:\\x", "TWO");           // a disc not inserted
  Add("d.avi", "9", "D:\\m", "OTHER");         // another disc once read in D:
  FakeDisk disk(fs, table);
  const RescanOutcome o = Rescan(rows, table, VolumesOfRows(rows, table), disk);
  EXPECT_FALSE(o.stopped);
  EXPECT_EQ(o.skipped, (std::vector<std::string>{"E:\\ (TWO)", "D:\\ (OTHER)"}));
  EXPECT_EQ(std::vector<int>({o.kept, o.updated, o.added, o.gone}), (std::vector<int>{1, 1, 2, 1}));
  ASSERT_EQ(test::Column(rows, 0), (std::vector<std::string>{"a.avi", "new.avi", "new2.avi",
                                                             "b.avi", "h.avi", "c.avi", "d.avi"}));
  EXPECT_EQ(o.goneRows, std::vector<int>{3});
  EXPECT_EQ(Cell(0, MovieTitle), "typed");
  EXPECT_EQ(Cell(1, FileSizeBT), "7");
  EXPECT_EQ(Cell(1, VolLabel), "ONE");
  EXPECT_EQ(Cell(1, DirPath), "D:\\m");
  EXPECT_EQ(Cell(2, FileSizeBT), "8");
  EXPECT_EQ(Cell(4, FileSizeBT), "5");
  EXPECT_EQ(disk.read, (std::vector<std::string>{"D:\\m\\.hidden\\h.avi", "D:\\m\\new.avi",
                                                 "D:\\m\\new2.avi"}));
}

TEST_F(RescanRun, AStoppedRescanKeepsOnlyWhatItReadWhole) {
  FakeFs fs;
  fs.labels["D:\\"] = "";
  fs.AddDir("D:\\", "m").AddSizedFile("D:\\m", "a.avi", 100).AddSizedFile("D:\\m", "b.avi", 200);
  fs.AddSizedFile("D:\\m", "new1.avi", 1).AddSizedFile("D:\\m", "new2.avi", 2);
  Add("a.avi", "99", "D:\\m", "", "kept title");  // changed: read first
  Add("b.avi", "99", "D:\\m", "");
  Add("gone.avi", "9", "D:\\m", "");
  const RowModel before = rows;
  {
    FakeDisk disk(fs, table);
    disk.stopWalking = true;  // nothing changes at all
    const RescanOutcome o = Rescan(rows, table, VolumesOfRows(rows, table), disk);
    EXPECT_TRUE(o.stopped && o.goneRows.empty() && disk.read.empty());
    EXPECT_EQ(test::Column(rows, table.position[FileSizeBT]),
              test::Column(before, table.position[FileSizeBT]));
  }
  FakeDisk disk(fs, table);
  disk.readsLeft = 3;  // both changed rows and the first new file
  const RescanOutcome o = Rescan(rows, table, VolumesOfRows(rows, table), disk);
  EXPECT_TRUE(o.stopped);
  EXPECT_EQ(std::vector<int>({o.kept, o.updated, o.added, o.gone}), (std::vector<int>{0, 2, 1, 1}));
  EXPECT_EQ(test::Column(rows, 0),
            (std::vector<std::string>{"a.avi", "b.avi", "gone.avi", "new1.avi"}));
  EXPECT_EQ(Cell(0, FileSizeBT), "100");
  EXPECT_EQ(Cell(0, MovieTitle), "kept title");
  EXPECT_EQ(o.goneRows, std::vector<int>{2});
  EXPECT_NE(RescanSummaryText(o).find("中止"), std::string::npos);
}

}  // namespace
}  // namespace clip
