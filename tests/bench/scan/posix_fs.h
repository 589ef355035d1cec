// The scan's file system over POSIX calls, for the native benchmark and the
// native end-to-end tests. Paths use "\" as the program does; it is turned
// into "/" except where it is the second byte of a double-byte character.
// Attributes follow what Wine shows: a folder (or a link to one) is 0x10,
// a file 0x20, and a name starting with "." adds the hidden bit 0x2.
#pragma once

#include <string>
#include <vector>

#include "scan/scan.h"

namespace clip {

class PosixFileSystem : public FileSystem {
 public:
  bool List(const std::string& folder, std::vector<Entry>& entries) override;
  std::unique_ptr<MovieFile> Open(const std::string& path) override;
  std::string VolumeLabel(const std::string& root) override;
  std::string FolderIdentity(const std::string& folder) override;

  static std::string NativePath(const std::string& path);
};

class PosixDiskQuery : public DiskQuery {
 public:
  bool SpaceKB(const std::string& root, std::uint64_t& totalKB, std::uint64_t& freeKB) override;
};

}  // namespace clip
