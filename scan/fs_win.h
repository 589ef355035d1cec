// The scan's file system over Win32: listings, reads, labels, folder
// identities.
#pragma once

#include <windows.h>

#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_map>

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

 private:
  // The sizes of the movie files listed and not opened yet.
  std::mutex sizesMutex_;
  std::unordered_map<std::string, std::uint64_t> listedSizes_;
};

}  // namespace clip
