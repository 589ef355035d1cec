// Volume labels on Linux: the mount table and udev's label links read
// without privileges.
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "scan/fs_posix.h"

namespace clip {
namespace {

TEST(PosixVolumeLabel, MountTableAndLinkNamesAreDecoded) {
  const std::string mountInfo =
      // id parent major:minor root mount-point options optional... - type source super-options
      "22 27 0:21 / /proc rw,relatime - proc proc rw\n"
      "27 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
      "40 27 0:45 / /mnt/my\\040films rw shared:7 master:2 - btrfs /dev/my\\040disk rw\n"
      "41 27 0:45 /sub /srv rw - btrfs /dev/sdc2 rw\n"  // the last mount of a device wins
      "bad line\n"
      "42 27 9:9 / /x rw no-dash-here ext4 /dev/sdz\n"
      "43 27 9:8 / /y rw -";  // no type, no source, no line end
  EXPECT_EQ(MountSourceOf(mountInfo, 8, 1), "/dev/sda1");
  EXPECT_EQ(MountSourceOf(mountInfo, 0, 45), "/dev/sdc2");
  EXPECT_EQ(MountSourceOf(mountInfo.substr(0, mountInfo.find("41 27")), 0, 45), "/dev/my disk");
  EXPECT_EQ(MountSourceOf(mountInfo, 9, 9), "");
  EXPECT_EQ(MountSourceOf(mountInfo, 9, 8), "");
  EXPECT_EQ(MountSourceOf(mountInfo, 1, 2), "");
  EXPECT_EQ(MountSourceOf("", 8, 1), "");

  EXPECT_EQ(DecodeUdevName("My\\x20Movies"), "My Movies");
  EXPECT_EQ(DecodeUdevName("\\xe6\\x98\\xa0\\xe7\\x94\\xbb"), "映画");
  // Cut or wrong escapes stay as they are.
  EXPECT_EQ(DecodeUdevName("a\\x2"), "a\\x2");
  EXPECT_EQ(DecodeUdevName("a\\xg0\\"), "a\\xg0\\");
}

TEST(PosixVolumeLabel, TheLinkToTheDeviceOfTheFilesNamesTheLabel) {
  namespace fs = std::filesystem;
  char pattern[] = "/tmp/clip-label-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const std::string root = pattern;
  struct stat st;
  ASSERT_EQ(stat(root.c_str(), &st), 0);
  // The device node the temporary folder's files are on, through the
  // machine's own mount table; a container's overlay has none.
  std::ifstream in("/proc/self/mountinfo");
  const std::string table((std::istreambuf_iterator<char>(in)), {});
  const std::string source = MountSourceOf(table, major(st.st_dev), minor(st.st_dev));
  struct stat node;
  if (source.empty() || stat(source.c_str(), &node) != 0 || !S_ISBLK(node.st_mode)) {
    fs::remove_all(root);
    GTEST_SKIP() << "the temporary folder is on no device node";
  }
  fs::create_directories(root + "/labels");
  fs::create_directories(root + "/movies/sub");
  fs::create_symlink("/dev/null", root + "/labels/Not\\x20a\\x20disk");
  fs::create_symlink(source, root + "/labels/Film\\x20Disk");

  PosixFileSystem files;
  files.labelFolder = root + "/labels";
  EXPECT_EQ(files.VolumeLabel(root + "\\movies\\sub"), "Film Disk");
  // Asked once per device: a new link is not seen by the same file system.
  fs::remove(root + "/labels/Film\\x20Disk");
  EXPECT_EQ(files.VolumeLabel(root + "/movies"), "Film Disk");
  PosixFileSystem fresh;
  fresh.labelFolder = root + "/labels";
  EXPECT_EQ(fresh.VolumeLabel(root), "");
  EXPECT_EQ(fresh.VolumeLabel(root + "/missing"), "");
  fs::remove_all(root);
}

}  // namespace
}  // namespace clip
