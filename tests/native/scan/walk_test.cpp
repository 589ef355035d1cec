// The folder walk over an in-memory file system.
#include <gtest/gtest.h>

#include "catalogue/categories.h"
#include "catalogue/row_model.h"
#include "fake_fs.h"
#include "scan_rows.h"
#include "scan/scan.h"

namespace clip::test {
namespace {

using Names = std::vector<std::string>;

struct Scan {
  FakeFs fs;
  NoCodecs codecs;
  RowModel rows;
  CategoryTable table = OnlyCategories({DirPath});
  TestScan ctx{rows, table, fs, codecs};

  Names Run(const std::string& folder) {
    ScanInto(ctx, folder);
    return Column(rows, 0);
  }
  Names Dirs() const { return Column(rows, table.position[DirPath]); }
};

TEST(Walk, EachFolderListsItsOwnFilesBeforeItsSubfoldersAtEveryDepth) {
  Scan s;
  s.fs.AddFile("C:\\M", "a.avi", "").AddDir("C:\\M", "S").AddFile("C:\\M", "b.avi", "");
  s.fs.AddFile("C:\\M\\S", "x.avi", "").AddDir("C:\\M\\S", "T").AddFile("C:\\M\\S", "z.avi", "");
  s.fs.AddFile("C:\\M\\S\\T", "y.avi", "");
  EXPECT_EQ(s.Run("C:\\M"), (Names{"a.avi", "b.avi", "x.avi", "z.avi", "y.avi"}));
  EXPECT_EQ(s.Dirs(), (Names{"C:\\M", "C:\\M", "C:\\M\\S", "C:\\M\\S", "C:\\M\\S\\T"}));
}

TEST(Walk, SiblingSubfoldersKeepListingOrderBehindTheParentsFiles) {
  Scan s;
  s.fs.AddDir("C:\\M", "A").AddDir("C:\\M", "B").AddFile("C:\\M", "top.mpg", "");
  s.fs.AddFile("C:\\M\\A", "a1.avi", "").AddDir("C:\\M\\A", "A1").AddFile("C:\\M\\A", "a2.avi", "");
  s.fs.AddFile("C:\\M\\A\\A1", "deep.avi", "");
  s.fs.AddFile("C:\\M\\B", "b1.avi", "");
  // A's rows sit where the walk met A: before B's, after the parent's own.
  EXPECT_EQ(s.Run("C:\\M"), (Names{"top.mpg", "a1.avi", "a2.avi", "deep.avi", "b1.avi"}));
}

TEST(Walk, NewRowsGoBehindRowsAlreadyInTheListAndTagTheCountBeforeInsert) {
  Scan s;
  s.rows.Insert(0, "old1", 0);
  s.rows.Insert(1, "old2", 1);
  s.fs.AddDir("C:\\M", "S").AddFile("C:\\M", "a.avi", "").AddFile("C:\\M\\S", "s.avi", "");
  EXPECT_EQ(s.Run("C:\\M"), (Names{"old1", "old2", "a.avi", "s.avi"}));
  // The files are listed first and their rows inserted in row order, each
  // tagged with the count before it.
  EXPECT_EQ(s.rows.Tag(2), 2);
  EXPECT_EQ(s.rows.Tag(3), 3);
}

TEST(Walk, TodaysContainersJoinWhenTheSwitchIsOn) {
  Scan s;
  for (const char* name : {"a.mp4", "b.MKV", "c.webm", "d.m2ts", "e.ts", "f.mpeg", "g.VOB",
                           "h.divx", "i.mp4.txt", "j.xts", "k.mp4a", "l.avi"})
    s.fs.AddFile("C:\\M", name, "");
  s.ctx.modernFormats = true;
  EXPECT_EQ(s.Run("C:\\M"), (Names{"a.mp4", "b.MKV", "c.webm", "d.m2ts", "e.ts", "f.mpeg", "g.VOB",
                                   "h.divx", "l.avi"}));
  Scan old;
  old.fs.AddFile("C:\\M", "a.mp4", "").AddFile("C:\\M", "l.avi", "");
  EXPECT_EQ(old.Run("C:\\M"), (Names{"l.avi"}));  // off: the names of old
}

TEST(Walk, OnlyTheLastThreeCharactersDecideAMovieWithoutCase) {
  Scan s;
  for (const char* name : {"a.avi", "b.MPG", "c.rm", "d.txt", "clipavi", "MOVIEAVI", "xrm", "e.Rm",
                           "f.mpeg", "g.avi.bak", "h.AvI", "rm", ".rm"})
    s.fs.AddFile("C:\\M", name, "");
  EXPECT_EQ(s.Run("C:\\M"),
            (Names{"a.avi", "b.MPG", "c.rm", "clipavi", "MOVIEAVI", "e.Rm", "h.AvI", ".rm"}));
}

TEST(Walk, EveryFolderIsEnteredByItsDirectoryBitWhateverElseItCarries) {
  Scan s;
  // Read-only (a desktop.ini folder), hidden, system, archive, not indexed,
  // compressed, encrypted, a mount point as Wine shows it, a cloud folder.
  const std::uint32_t kinds[] = {0x11, 0x12, 0x14, 0x30, 0x2010, 0x810, 0x4010, 0x410, 0x400410};
  Names expected;
  for (std::uint32_t attributes : kinds) {
    const std::string name = "f" + std::to_string(attributes);
    s.fs.AddDir("C:\\M", name, attributes).AddFile("C:\\M\\" + name, name + ".avi", "");
    expected.push_back(name + ".avi");
  }
  // A file whose name looks like a folder's stays a file, and the reverse.
  s.fs.AddFile("C:\\M", "plain.avi", "").AddDir("C:\\M", "entered.avi", 0x11);
  s.fs.AddFile("C:\\M\\entered.avi", "in.avi", "");
  expected.insert(expected.begin(), "plain.avi");
  expected.push_back("in.avi");
  EXPECT_EQ(s.Run("C:\\M"), expected);
}

TEST(Walk, DotEntriesAreSkipped) {
  Scan s;
  s.fs.AddDir("C:\\M", ".").AddDir("C:\\M", "..").AddFile("C:\\M", "a.avi", "");
  s.fs.identitiesKnown = false;  // the skip alone keeps the walk from looping
  EXPECT_EQ(s.Run("C:\\M"), (Names{"a.avi"}));
  EXPECT_EQ(s.fs.listed, (Names{"C:\\M"}));
}

TEST(Walk, AFolderThatCannotBeListedAddsNothingAndIsNamed) {
  Scan s;
  std::vector<std::string> unreadable;
  s.ctx.unreadable = &unreadable;
  s.fs.AddLink("C:\\M", "gone", "C:\\nowhere").AddFile("C:\\M", "a.avi", "");
  EXPECT_EQ(s.Run("C:\\missing"), Names{});
  EXPECT_EQ(s.Run("C:\\M"), (Names{"a.avi"}));
  EXPECT_EQ(unreadable, (Names{"C:\\missing", "C:\\M\\gone"}));
}

TEST(Walk, PathsGetOneSeparatorInAnyScript) {
  const std::string so = "ソ";  // in code page 932 its second byte was a backslash
  Scan s;
  s.fs.AddDir("C:\\", "M" + so).AddFile("C:\\", "root.avi", "");
  s.fs.AddFile("C:\\M" + so, "a.avi", "");
  EXPECT_EQ(s.Run("C:\\"), (Names{"root.avi", "a.avi"}));
  EXPECT_EQ(s.fs.listed, (Names{"C:\\", "C:\\M" + so}));
  EXPECT_EQ(s.fs.opened, Names{});  // DirPath only: nothing opened
  EXPECT_EQ(s.Dirs(), (Names{"C:", "C:\\M" + so}));

  EXPECT_EQ(JoinPath("C:\\M" + so, "a.avi"), "C:\\M" + so + "\\a.avi");
  EXPECT_EQ(JoinPath("C:\\M\\", "a.avi"), "C:\\M\\a.avi");
  EXPECT_EQ(JoinPath("C:\\M", "a.avi"), "C:\\M\\a.avi");
  // A folder given with its trailing separator is walked the same way.
  Scan t;
  t.fs.AddFile("D:\\M\\", "a.avi", "");
  EXPECT_EQ(t.Run("D:\\M\\"), (Names{"a.avi"}));
  EXPECT_EQ(t.Dirs(), (Names{"D:\\M"}));
}

TEST(Walk, ALinkBackToAnAncestorIsNotFollowedAndEveryFileComesOnce) {
  Scan s;
  s.fs.AddFile("C:\\M", "a.avi", "").AddDir("C:\\M", "S");
  s.fs.AddFile("C:\\M\\S", "s.avi", "").AddLink("C:\\M\\S", "up", "C:\\M");
  s.fs.AddLink("C:\\M\\S", "self", "C:\\M\\S");
  EXPECT_EQ(s.Run("C:\\M"), (Names{"a.avi", "s.avi"}));
  EXPECT_EQ(s.fs.listed, (Names{"C:\\M", "C:\\M\\S"}));
}

TEST(Walk, TwoLinksToOneFolderEnterItOnce) {
  Scan s;
  s.fs.AddLink("C:\\M", "L1", "C:\\Shared").AddLink("C:\\M", "L2", "C:\\Shared");
  s.fs.AddFile("C:\\Shared", "shared.avi", "");
  EXPECT_EQ(s.Run("C:\\M"), (Names{"shared.avi"}));
  EXPECT_EQ(s.Dirs(), (Names{"C:\\M\\L1"}));
}

TEST(Walk, ALoopOfUnknownIdentityEndsAtTheDepthLimit) {
  Scan s;
  s.fs.identitiesKnown = false;
  s.fs.AddFile("C:\\M", "a.avi", "").AddLink("C:\\M", "again", "C:\\M");
  s.Run("C:\\M");
  EXPECT_EQ(s.fs.listed.size(), static_cast<std::size_t>(kMaxFolderDepth) + 1);
  EXPECT_EQ(s.rows.Count(), kMaxFolderDepth + 1);
}

TEST(Walk, FoldersBelowTheDepthLimitAreNotEnteredButTheLimitItselfIs) {
  Scan s;
  std::string folder = "C:\\d";
  for (int depth = 0; depth <= kMaxFolderDepth + 1; ++depth) {
    s.fs.AddFile(folder, "f" + std::to_string(depth) + ".avi", "");
    s.fs.AddDir(folder, "d");
    folder += "\\d";
  }
  s.Run("C:\\d");
  ASSERT_EQ(s.rows.Count(), kMaxFolderDepth + 1);
  EXPECT_EQ(s.rows.Cell(kMaxFolderDepth, 0), "f" + std::to_string(kMaxFolderDepth) + ".avi");
}

TEST(Walk, PathsFarBeyond255CharactersAreBuiltAndKeptWhole) {
  Scan s;
  s.table = OnlyCategories({FileSizeBT, DirPath});
  std::string longName(120, 'n');
  std::string parent = "C:\\";
  for (int i = 0; i < 6; ++i) {
    s.fs.AddDir(parent, longName);
    parent = JoinPath(parent, longName);
  }
  s.fs.AddSizedFile(parent, std::string(200, 'f') + ".avi", 12345);
  s.Run("C:\\");
  ASSERT_EQ(s.rows.Count(), 1);
  EXPECT_EQ(s.rows.Cell(0, 0), std::string(200, 'f') + ".avi");
  EXPECT_EQ(s.rows.Cell(0, s.table.position[FileSizeBT]), "12,345");  // the long path opened
  EXPECT_EQ(s.rows.Cell(0, s.table.position[DirPath]), parent);       // the whole folder
}

}  // namespace
}  // namespace clip::test
