// Drive figures over Win32.
#include <windows.h>

#include <string>

#include "base/wide_win.h"
#include "scan/disk_win.h"

namespace clip {

bool Win32DiskQuery::SpaceKB(const std::string& root, std::uint64_t& totalKB,
                             std::uint64_t& freeKB) {
  totalKB = freeKB = 0;
  // "D:" names the current folder of drive D, which lies on the same drive.
  ULARGE_INTEGER available, total, totalFree;
  if (!GetDiskFreeSpaceExW(Wide(root).c_str(), &available, &total, &totalFree)) return false;
  // Whole 64-bit figures: a drive above 4 TB does not wrap.
  totalKB = total.QuadPart / 1024;
  freeKB = totalFree.QuadPart / 1024;
  return true;
}

}  // namespace clip
