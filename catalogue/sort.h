// Sorting the catalogue by a clicked column: alternately ascending and
// descending per column, texts compared byte by byte in their code page 932
// form with ASCII letters folded, the two size columns padded so that their
// numbers sort by value.
#pragma once

#include <array>
#include <string_view>
#include <vector>

#include "catalogue/categories.h"
#include "catalogue/row_model.h"

namespace clip {

enum SortDirection : int { kNeverSorted = 0, kAscending = 1, kDescending = 2 };

struct SortState {
  std::array<int, kCategoryCount> directions{};  // per column; kept for the whole run
  int byExtension = 0;  // 1: the file-name column sorts by its last three bytes
};

// Byte-wise comparison with every byte 0x41..0x5A folded to lower case
// (also where it is the second byte of a double-byte character); a text
// that is a prefix of the other comes first. No locale is involved.
int CompareFolded(std::string_view a, std::string_view b);

// The comparison of two cell texts of one column before the direction is
// applied: extension cut for column 0, zero padding for the byte-size and
// megabyte columns, then CompareFolded.
int CompareColumnTexts(std::string_view a, std::string_view b, int column,
                       const CategoryTable& table, int byExtension);

// The same with the column's current direction: d when ascending, -d else.
int CompareRows(const CatalogueRow& a, const CatalogueRow& b, int column,
                const CategoryTable& table, const SortState& state);

// Flips the column's direction (1 becomes 2, anything else 1) and returns it.
int FlipDirection(SortState& state, int column);

// A header click: flips the direction, then sorts the rows stably by the
// column. When moved is given it receives, for each old row index, the
// row's new index (so that a selection can follow its rows).
void SortByColumn(RowModel& rows, const CategoryTable& table, SortState& state, int column,
                  std::vector<int>* moved = nullptr);

}  // namespace clip
