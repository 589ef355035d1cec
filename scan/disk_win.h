// A drive's size and free space over Win32.
#pragma once

#include <windows.h>

#include <string>

#include "scan/scan.h"

namespace clip {

class Win32DiskQuery : public DiskQuery {
 public:
  bool SpaceKB(const std::string& root, std::uint64_t& totalKB, std::uint64_t& freeKB) override;
};

}  // namespace clip
