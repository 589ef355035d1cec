#include "catalogue/sort.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <numeric>
#include <string>

namespace clip {

namespace {

// Cells are read through 256-byte buffers: at most 255 bytes take part.
constexpr std::size_t kCompareMax = 255;
// Byte sizes are padded with "0" to the width of the largest grouped
// 64-bit number, so that sizes of 100,000,000 bytes and more (11 and 13
// bytes long) also sort by value: "001,234,567" against "1,000,000,000"
// compares digit for digit once both are this wide.
constexpr std::size_t kByteSizeWidth = 26;
// Megabyte texts get zeros before their integer part up to this many digits
// ("1.23" and "12.3" become "...001.23" and "...012.3"), so that 1000 MB
// and more sorts after 999.9 MB.
constexpr std::size_t kMegabyteDigits = 20;

// A text with a number of "0" characters in front of it, compared without
// building the padded copy.
struct Padded {
  std::size_t zeros = 0;
  std::string_view text;
  std::size_t size() const { return zeros + text.size(); }
  unsigned char at(std::size_t i) const {
    return i < zeros ? '0' : static_cast<unsigned char>(text[i - zeros]);
  }
};

inline unsigned char Fold(unsigned char c) {
  return (c >= 0x41 && c <= 0x5A) ? static_cast<unsigned char>(c + 0x20) : c;
}

int ComparePadded(const Padded& a, const Padded& b) {
  std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    int ca = Fold(a.at(i)), cb = Fold(b.at(i));
    if (ca != cb) return ca - cb;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool IsColumnOf(const CategoryTable& table, int category, int column) {
  return table.enabled[category] == 1 && table.position[category] == column;
}

Padded Prepare(std::string_view text, int column, const CategoryTable& table, int byExtension) {
  Padded p;
  p.text = text.substr(0, std::min(text.size(), kCompareMax));
  if (column == 0 && byExtension == 1 && p.text.size() > 3)
    p.text = p.text.substr(p.text.size() - 3);
  if (IsColumnOf(table, FileSizeBT, column)) {
    if (p.text.size() < kByteSizeWidth) p.zeros = kByteSizeWidth - p.text.size();
  }
  if (IsColumnOf(table, FileSizeMB, column)) {
    std::size_t digits = 0;
    while (digits < p.text.size() && p.text[digits] >= '0' && p.text[digits] <= '9') ++digits;
    // Only a number with a period is padded; other texts stay as they are.
    if (digits > 0 && digits < p.text.size() && p.text[digits] == '.' && digits < kMegabyteDigits)
      p.zeros += kMegabyteDigits - digits;
  }
  return p;
}

std::string_view CellOf(const CatalogueRow& row, int column) {
  if (column < 0 || static_cast<std::size_t>(column) >= row.cells.size()) return {};
  return row.cells[static_cast<std::size_t>(column)];
}

}  // namespace

int CompareFolded(std::string_view a, std::string_view b) {
  return ComparePadded(Padded{0, a}, Padded{0, b});
}

int CompareColumnTexts(std::string_view a, std::string_view b, int column,
                       const CategoryTable& table, int byExtension) {
  return ComparePadded(Prepare(a, column, table, byExtension),
                       Prepare(b, column, table, byExtension));
}

int CompareRows(const CatalogueRow& a, const CatalogueRow& b, int column,
                const CategoryTable& table, const SortState& state) {
  int d =
      CompareColumnTexts(CellOf(a, column), CellOf(b, column), column, table, state.byExtension);
  int direction = (column >= 0 && column < kCategoryCount) ? state.directions[column] : 0;
  return direction == kAscending ? d : -d;
}

int FlipDirection(SortState& state, int column) {
  if (column < 0 || column >= kCategoryCount) return kNeverSorted;
  int& d = state.directions[column];
  d = d == kAscending ? kDescending : kAscending;
  return d;
}

namespace {

// The comparison keys of one column for every row, prepared once: padded
// and folded texts side by side in one buffer, so that the sort compares
// bytes that lie close together instead of visiting every row's cells.
class ColumnKeys {
 public:
  ColumnKeys(const RowModel& rows, int column, const CategoryTable& table, int byExtension) {
    spans_.reserve(static_cast<std::size_t>(rows.Count()));
    for (int r = 0; r < rows.Count(); ++r) {
      Padded p = Prepare(rows.Cell(r, column), column, table, byExtension);
      spans_.push_back({bytes_.size(), p.size()});
      bytes_.append(p.zeros, '0');
      for (char c : p.text)
        bytes_.push_back(static_cast<char>(Fold(static_cast<unsigned char>(c))));
    }
  }
  int Compare(int a, int b) const {
    const Span& x = spans_[static_cast<std::size_t>(a)];
    const Span& y = spans_[static_cast<std::size_t>(b)];
    int d =
        std::memcmp(bytes_.data() + x.offset, bytes_.data() + y.offset, std::min(x.size, y.size));
    if (d != 0) return d;
    return x.size == y.size ? 0 : (x.size < y.size ? -1 : 1);
  }

 private:
  struct Span {
    std::size_t offset, size;
  };
  std::string bytes_;
  std::vector<Span> spans_;
};

// Moves every row r of the model to place rank[r].
void ApplyRanks(RowModel& rows, const std::vector<int>& rank) {
  const std::size_t n = rank.size();
  // A row keeps its cell storage while the model's sort moves it, so the
  // storage's address names the row during the sort. A compact table maps
  // the address (its 16-byte unit, which fits 32 bits within the heap) to
  // the row's new place; it stays small enough for the processor's cache.
  std::size_t capacity = 16;
  int bits = 4;
  while (capacity < n + n / 3) {
    capacity <<= 1;
    ++bits;
  }
  const std::uint32_t mask = static_cast<std::uint32_t>(capacity - 1);
  struct Entry {
    std::uint32_t key = 0;  // 0: free
    std::int32_t rank = 0;
  };
  std::vector<Entry> table(capacity);
  auto keyOf = [](const CatalogueRow& row) {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(row.cells.data()) >> 4);
  };
  auto slot = [&](std::uint32_t key) {
    std::uint32_t h = static_cast<std::uint32_t>((key * 2654435761u) >> (32 - bits));
    while (table[h].key != 0 && table[h].key != key) h = (h + 1) & mask;
    return h;
  };
  bool distinct = true;
  for (std::size_t r = 0; r < n && distinct; ++r) {
    const CatalogueRow& row = rows.Row(static_cast<int>(r));
    std::uint32_t key = keyOf(row);
    std::uint32_t h = key ? slot(key) : 0;
    if (key == 0 || table[h].key == key ||
        reinterpret_cast<std::uintptr_t>(row.cells.data()) >> 4 != key)
      distinct = false;  // no storage of its own, or an address beyond the table's key
    table[h] = {key, rank[r]};
  }
  if (distinct) {
    rows.StableSort([&](const CatalogueRow& a, const CatalogueRow& b) {
      return table[slot(keyOf(a))].rank < table[slot(keyOf(b))].rank;
    });
    return;
  }
  // Otherwise build the model again in the new order.
  std::vector<int> order(n);
  for (std::size_t r = 0; r < n; ++r)
    order[static_cast<std::size_t>(rank[r])] = static_cast<int>(r);
  RowModel sorted;
  for (int old : order) {
    const CatalogueRow& row = rows.Row(old);
    int at = sorted.Insert(sorted.Count(), row.cells.empty() ? std::string_view() : row.cells[0],
                           row.tag);
    for (std::size_t c = 1; c < row.cells.size(); ++c)
      sorted.SetCell(at, static_cast<int>(c), row.cells[c]);
    sorted.SetChecked(at, row.checked);
  }
  rows = std::move(sorted);
}

}  // namespace

void SortByColumn(RowModel& rows, const CategoryTable& table, SortState& state, int column,
                  std::vector<int>* moved) {
  if (column < 0 || column >= kCategoryCount) return;
  const bool ascending = FlipDirection(state, column) == kAscending;
  // The keys are made once and the order found on row numbers, so that
  // each comparison is between the two rows being ordered without
  // searching for them; equal texts keep their order.
  std::vector<int> order;
  {
    ColumnKeys keys(rows, column, table, state.byExtension);
    order.resize(static_cast<std::size_t>(rows.Count()));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
      int d = keys.Compare(a, b);
      return ascending ? d < 0 : d > 0;
    });
  }
  std::vector<int> rank(order.size());
  for (std::size_t j = 0; j < order.size(); ++j)
    rank[static_cast<std::size_t>(order[j])] = static_cast<int>(j);
  ApplyRanks(rows, rank);
  if (moved) *moved = std::move(rank);
}

}  // namespace clip
