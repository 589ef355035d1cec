// What a row's size cells say about its file's byte count, for the rules
// that compare files: duplicates and rescans. The byte cell is exact; the
// kilobyte cell (bytes / 1024, rounded down) and the megabyte cell (rounded
// to its two or one decimals) only bound the count, so a size read back is
// a range of byte counts.
#pragma once

#include <cstdint>
#include <string_view>

#include "catalogue/categories.h"
#include "catalogue/row_model.h"

namespace clip {

struct ByteRange {
  std::uint64_t low = 0, high = 0;  // inclusive
  bool known = false;

  bool Contains(std::uint64_t size) const { return known && size >= low && size <= high; }
  std::uint64_t Middle() const { return low + (high - low) / 2; }
  bool operator==(const ByteRange& o) const {
    return known == o.known && low == o.low && high == o.high;
  }
};

// Reads one size cell of category FileSizeBT, FileSizeKB or FileSizeMB:
// digits with any "," between them, for megabytes with a "." and decimals,
// then optionally the unit ("KB", "MB"); spaces around are ignored. Any
// other text, an empty cell (a file that could not be opened) or a number
// beyond 64 bits gives an unknown size.
ByteRange ParseSizeCell(std::string_view cell, int category);

// The size of a row from its most exact shown size cell: bytes, else
// kilobytes, else megabytes. Unknown when no size column is shown.
ByteRange RowByteRange(const RowModel& rows, const CategoryTable& table, int row);

// Size of one row in KB, read back from column 1 (the first size column).
std::int64_t RowSizeKB(const RowModel& rows, const CategoryTable& table, int row);

}  // namespace clip
