// The catalogue totals and the drive figures of the status bar.
#include <cstdio>
#include <string>

#include "catalogue/size_cells.h"
#include "base/text.h"
#include "scan/scan.h"

namespace clip {

namespace {

// value / 1024 in one decimal, as in "DiskMax: 10240.0MB".
std::string MegabytesText(const char* label, std::uint64_t kilobytes) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%s%.1fMB", label, static_cast<double>(kilobytes) / 1024.0);
  return buffer;
}

}  // namespace

std::string TotalsText(const RowModel& rows, const CategoryTable& table) {
  int n = rows.Count();
  std::string text = std::to_string(n) + "file(s) ";
  if (!table.AnySizeOn()) return text + "Not KB(Not MB)";
  // 64-bit: a catalogue of several terabytes does not wrap.
  std::int64_t totalKB = 0;
  for (int row = 0; row < n; ++row) totalKB = AddKB(totalKB, RowSizeKB(rows, table, row));
  text += GroupThousands(std::to_string(totalKB));
  text += "KB";
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "(%.1fMB)", static_cast<double>(totalKB) / 1024.0);
  text += buffer;
  return text;
}

std::string ShowRowTotals(const RowModel& rows, const CategoryTable& table, StatusSink& status) {
  std::string text = TotalsText(rows, table);
  status.SetStatusText(0, text);
  return text;
}

std::string ShowScanTotals(const RowModel& rows, const CategoryTable& table, DiskQuery& disk,
                           StatusSink& status, const std::string& path) {
  std::string root = LeftText(path, 2);
  std::uint64_t totalKB = 0, freeKB = 0;
  // A failed query (a network path, a drive gone) counts as 0 KB.
  if (!disk.SpaceKB(root, totalKB, freeKB)) totalKB = freeKB = 0;

  std::string text = ShowRowTotals(rows, table, status);
  status.SetStatusText(1, MegabytesText("DiskMax: ", totalKB));
  status.SetStatusText(2, MegabytesText("DiskFree: ", freeKB));
  // Without a drive size there is no share to show.
  if (totalKB == 0) {
    status.SetStatusText(3, "Per:Non");
  } else {
    double used = 100.0 - static_cast<double>(freeKB) / static_cast<double>(totalKB) * 100.0;
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "Per: %.1f%%", used);
    status.SetStatusText(3, buffer);
  }
  return text;
}

}  // namespace clip
