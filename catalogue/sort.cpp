#include "catalogue/sort.h"

#include <algorithm>
#include <cstring>
#include <numeric>
#include <string>

#include "base/cp932.h"
#include "base/unicode.h"

namespace clip {

namespace {

// Cells are compared by their code page 932 form, as lists always sorted:
// at most 255 bytes of it take part.
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
// Track counts, channels, bit depths and chapter counts lead with a number:
// that number gets zeros in front up to this many digits, so that "10bit"
// sorts after "8bit" and "12: ..." after "2: ...".
constexpr std::size_t kLeadingNumberDigits = 10;

bool LeadsWithCount(int category) {
  return category == AudioTracks || category == Subtitles || category == Channels ||
         category == VideoBits || category == Chapters;
}

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
  const int category = table.CategoryAt(column);
  if (column > 0 && LeadsWithCount(category) && IsColumnOf(table, category, column)) {
    std::size_t digits = 0;
    while (digits < p.text.size() && p.text[digits] >= '0' && p.text[digits] <= '9') ++digits;
    if (digits > 0 && digits < kLeadingNumberDigits) p.zeros = kLeadingNumberDigits - digits;
  }
  return p;
}

// The bytes a text sorts by: its code page 932 form (see Cp932SortKey). An
// ASCII text is its own key.
std::string SortKeyOf(std::string_view text) {
  if (AsciiPrefixLength(text) == text.size()) return std::string(text);
  return Cp932SortKey(text);
}

std::string_view CellOf(const CatalogueRow& row, int column) {
  if (column < 0 || static_cast<std::size_t>(column) >= row.cells.size()) return {};
  return row.cells[static_cast<std::size_t>(column)];
}

}  // namespace

int CompareFolded(std::string_view a, std::string_view b) {
  const std::string ka = SortKeyOf(a), kb = SortKeyOf(b);
  return ComparePadded(Padded{0, ka}, Padded{0, kb});
}

int CompareColumnTexts(std::string_view a, std::string_view b, int column,
                       const CategoryTable& table, int byExtension) {
  const std::string ka = SortKeyOf(a), kb = SortKeyOf(b);
  return ComparePadded(Prepare(ka, column, table, byExtension),
                       Prepare(kb, column, table, byExtension));
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
    std::string converted;
    for (int r = 0; r < rows.Count(); ++r) {
      rows.PrefetchAhead(r, 1, column, column);
      // An ASCII text is its own key.
      std::string_view key = rows.Cell(r, column);
      if (AsciiPrefixLength(key) != key.size()) {
        Cp932SortKeyInto(key, converted);
        key = converted;
      }
      Padded p = Prepare(key, column, table, byExtension);
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
  if (moved) {
    moved->assign(order.size(), 0);
    for (std::size_t j = 0; j < order.size(); ++j)
      (*moved)[static_cast<std::size_t>(order[j])] = static_cast<int>(j);
  }
  rows.Reorder(order);
}

}  // namespace clip
