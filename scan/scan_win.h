// The Win32 side of scanning: the file system, installed codecs and drive
// figures.
#pragma once

#include <windows.h>

#include <string>

#include "scan/scan.h"

namespace clip {

class Win32FileSystem : public FileSystem {
 public:
  bool List(const std::string& folder, std::vector<Entry>& entries) override;
  std::unique_ptr<MovieFile> Open(const std::string& path) override;
  std::string VolumeLabel(const std::string& root) override;
  std::string FolderIdentity(const std::string& folder) override;
  // A share ("\\server\share") or a mapped network drive.
  bool IsNetwork(const std::string& folder) override;
};

class Win32CodecNames : public CodecNames {
 public:
  std::string VideoDescription(std::uint32_t handler) override;
  std::string AudioFormatName(std::uint16_t formatTag) override;
};

class Win32DiskQuery : public DiskQuery {
 public:
  bool SpaceKB(const std::string& root, std::uint64_t& totalKB, std::uint64_t& freeKB) override;
};

}  // namespace clip
