// The scan pipeline: rows in walk order whatever the threads and timing, a
// stop that keeps what was handed on, and the thread count rule.
#include "scan/pipeline.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "fake_fs.h"
#include "scan/fs_posix.h"
#include "scan_rows.h"

namespace clip::test {
namespace {

// Opens take a time that differs from file to file, so that later files
// are often read before earlier ones.
class UnevenFs : public FakeFs {
 public:
  std::unique_ptr<MovieFile> Open(const std::string& path) override {
    const std::size_t h = std::hash<std::string>()(path);
    std::this_thread::sleep_for(std::chrono::microseconds(h % 3000));
    return FakeFs::Open(path);
  }
};

// A tree of 6 folders, 10 files each, and a subfolder in each.
void MakeTree(FakeFs& fs, const std::string& folder, int depth) {
  for (int i = 0; i < 10; ++i)
    fs.AddFile(folder, "f" + std::to_string(i) + ".avi",
               std::string(static_cast<std::size_t>(i), 'x'));
  if (depth < 5) {
    fs.AddDir(folder, "sub");
    MakeTree(fs, JoinPath(folder, "sub"), depth + 1);
  }
}

TEST(Pipeline, RowsComeInWalkOrderForEveryThreadCount) {
  UnevenFs fs;
  MakeTree(fs, "C:\\T", 0);
  NoCodecs codecs;
  const CategoryTable table = OnlyCategories({FileSizeBT, DirPath});
  std::vector<std::vector<std::string>> seen;
  for (unsigned threads : {1u, 2u, 8u, 32u}) {
    RowModel rows;
    TestScan scan{rows, table, fs, codecs};
    scan.threads = threads;
    ASSERT_TRUE(ScanInto(scan, "C:\\T"));
    std::vector<std::string> lines;
    for (int r = 0; r < rows.Count(); ++r)
      lines.push_back(rows.Cell(r, 0) + "|" + rows.Cell(r, 1) + "|" + rows.Cell(r, 2));
    seen.push_back(lines);
  }
  ASSERT_EQ(seen[0].size(), 60u);
  EXPECT_EQ(seen[0][0], "f0.avi|0|C:\\T");
  EXPECT_EQ(seen[0][10], "f0.avi|0|C:\\T\\sub");
  for (std::size_t i = 1; i < seen.size(); ++i) EXPECT_EQ(seen[i], seen[0]) << i;
}

TEST(Pipeline, AStopKeepsTheRowsHandedOnAndReadsNoMore) {
  FakeFs fs;
  MakeTree(fs, "C:\\T", 0);
  NoCodecs codecs;
  const CategoryTable table = OnlyCategories({FileSizeBT});
  RowReader reader(fs, codecs, table, 0);
  ScanPipeline pipeline(reader, 1);
  std::vector<std::size_t> indexes;
  const bool whole = ScanFolderRows(pipeline, fs, "C:\\T", false, nullptr,
                                    [&](std::size_t i, const std::string&, MovieRowTexts&) {
                                      indexes.push_back(i);
                                      if (i == 12) pipeline.Stop();
                                    });
  EXPECT_FALSE(whole);
  ASSERT_EQ(indexes.size(), 13u);
  for (std::size_t i = 0; i < indexes.size(); ++i) EXPECT_EQ(indexes[i], i);
  // Reads ahead are bounded: a stop leaves most of the tree unopened.
  EXPECT_LT(fs.opens, 40);
}

TEST(Pipeline, TheThreadsFollowTheSettingElseTheDiskAndTheCores) {
  EXPECT_EQ(ScanThreadCount(3, 2, true), 3u);
  EXPECT_EQ(ScanThreadCount(100, 2, false), kMaxScanThreads);
  EXPECT_EQ(ScanThreadCount(0, 2, false), 2u);
  EXPECT_EQ(ScanThreadCount(0, 2, true), 8u);
  EXPECT_EQ(ScanThreadCount(0, 16, true), kMaxScanThreads);
  EXPECT_EQ(ScanThreadCount(0, 0, false), 1u);  // cores unknown
}

TEST(Pipeline, EachVolumeRootsLabelIsAskedOncePerReader) {
  FakeFs fs;
  fs.labels["\\\\nas\\films\\"] = "NAS";
  fs.AddFile("\\\\nas\\films\\A", "a.avi", "").AddFile("\\\\nas\\films\\B", "b.avi", "");
  fs.AddFile("\\\\nas\\tv", "c.avi", "");
  NoCodecs codecs;
  const CategoryTable table = OnlyCategories({VolLabel});
  RowReader reader(fs, codecs, table, 0);
  EXPECT_EQ(reader.Read("\\\\nas\\films\\A\\a.avi").cells[VolLabel], "NAS");
  EXPECT_EQ(reader.Read("\\\\nas\\films\\B\\b.avi").cells[VolLabel], "NAS");
  EXPECT_EQ(reader.Read("\\\\nas\\tv\\c.avi").cells[VolLabel], "");
  EXPECT_EQ(fs.labelQueries, (std::vector<std::string>{"\\\\nas\\films\\", "\\\\nas\\tv\\"}));
}

TEST(Pipeline, APosixFolderIsOnTheDeepestMountThatCoversIt) {
  const std::string info =
      "22 1 0:21 / / rw - ext4 /dev/sda1 rw\n"
      "30 22 0:40 / /mnt/nas rw - nfs nas:/films rw\n"
      "31 22 0:41 / /mnt/nas\\040b rw - cifs //nas/b rw\n";
  EXPECT_EQ(MountPointOf(info, "/mnt/nas/sf/x"), "/mnt/nas");
  EXPECT_EQ(MountPointOf(info, "/mnt/nas b/x"), "/mnt/nas b");
  EXPECT_EQ(MountPointOf(info, "/mnt/nasty"), "/");
  EXPECT_EQ(MountPointOf("", "/x"), "");
}

}  // namespace
}  // namespace clip::test
