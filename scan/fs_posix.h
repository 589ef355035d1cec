// The scan's file system over POSIX calls, for the command-line catalogue,
// the native benchmark and the native end-to-end tests. Paths use "\" as
// the program does; it is turned into "/" before a call (so a name that
// holds a "\" cannot be reached). Attributes follow what Wine shows: a
// folder (or a link to one) is 0x10, a file 0x20, and a name starting with
// "." adds the hidden bit 0x2. A folder is listed in the order Windows lists
// it on NTFS (scan/name_order.h), whatever the disk.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "scan/scan.h"

namespace clip {

class PosixFileSystem : public FileSystem {
 public:
  bool List(const std::string& folder, std::vector<Entry>& entries) override;
  std::unique_ptr<MovieFile> Open(const std::string& path) override;
  // The label of the block device that holds root (any path on it), as
  // the udev label links name it: read without privileges, and empty when
  // the device has none (a network share, a container's overlay). Asked
  // once per device; safe to call from several threads.
  std::string VolumeLabel(const std::string& root) override;
  std::string FolderIdentity(const std::string& folder) override;
  // The mount point that holds folder, from the mount table read once.
  std::string VolumeRootOf(const std::string& folder) override;
  // NFS, SMB/CIFS, 9P, Ceph, AFS and FUSE mounts count as network.
  bool IsNetwork(const std::string& folder) override;

  // "\" to "/", and back.
  static std::string NativePath(const std::string& path);
  static std::string ProgramPath(const std::string& path);

  // Where the labels are found; tests point them elsewhere.
  std::string mountInfoPath = "/proc/self/mountinfo";
  std::string labelFolder = "/dev/disk/by-label";

 private:
  std::mutex labelsMutex_;
  std::map<std::uint64_t, std::string> labels_;  // by device number
  bool mountInfoRead_ = false;
  std::string mountInfo_;
};

class PosixDiskQuery : public DiskQuery {
 public:
  bool SpaceKB(const std::string& root, std::uint64_t& totalKB, std::uint64_t& freeKB) override;
};

// The mount source of the device major:minor in the text of a mountinfo
// file ("/dev/sdb1"; its \ooo escapes decoded), or empty.
std::string MountSourceOf(std::string_view mountInfo, unsigned major, unsigned minor);
// The mount point (native path) of the deepest mount in a mountinfo text
// that covers the native path; empty when none does.
std::string MountPointOf(std::string_view mountInfo, const std::string& path);
// A udev link name with its \xHH escapes decoded ("My\x20Movies").
std::string DecodeUdevName(std::string_view name);

}  // namespace clip
