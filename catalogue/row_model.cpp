#include "catalogue/row_model.h"

#include <algorithm>
#include <utility>

#include "base/cp932.h"

namespace clip {

namespace {
const std::string kEmpty;
// A text of at most kCellMax bytes holds at most that many in code page
// 932 too (no character takes more bytes there than in UTF-8), so only a
// longer one is measured.
std::string Cut(std::string_view text) {
  return text.size() <= kCellMax ? std::string(text) : CutCp932(text, kCellMax);
}
}  // namespace

int RowModel::Insert(int index, std::string_view fileName, int tag) {
  index = std::clamp(index, 0, Count());
  CatalogueRow row;
  row.cells.emplace_back(Cut(fileName));
  row.tag = tag;
  rows_.insert(rows_.begin() + index, std::move(row));
  return index;
}

std::string* RowModel::CellToWrite(int row, int column, bool emptyText) {
  if (row < 0 || row >= Count() || column < 0) return nullptr;
  auto& cells = rows_[static_cast<std::size_t>(row)].cells;
  if (static_cast<std::size_t>(column) >= cells.size()) {
    if (emptyText) return nullptr;
    cells.resize(static_cast<std::size_t>(column) + 1);
  }
  return &cells[static_cast<std::size_t>(column)];
}

void RowModel::SetCell(int row, int column, std::string_view text) {
  std::string* cell = CellToWrite(row, column, text.empty());
  if (!cell) return;
  if (text.size() <= kCellMax)
    cell->assign(text);
  else
    *cell = Cut(text);
}

void RowModel::TakeCell(int row, int column, std::string&& text) {
  if (text.size() > kCellMax) return SetCell(row, column, text);
  if (std::string* cell = CellToWrite(row, column, text.empty())) *cell = std::move(text);
}

namespace {

inline void Prefetch(const void* p) {
#if defined(__GNUC__)
  __builtin_prefetch(p);
#else
  (void)p;
#endif
}

constexpr int kCellsAhead = 24, kTextsAhead = 12;

}  // namespace

void RowModel::PrefetchAhead(int row, int step, int first, int last) const {
  const int n = Count();
  // A short list is in the cache after its first pass anyway.
  if (n <= kCellsAhead || row < 0 || row >= n) return;
  auto at = [&](int steps) -> const std::vector<std::string>& {
    int r = row + step * steps;
    r = r >= n ? r - n : (r < 0 ? r + n : r);
    return rows_[static_cast<std::size_t>(r)].cells;
  };
  const std::vector<std::string>& far = at(kCellsAhead);
  int end = std::min(last + 1, static_cast<int>(far.size()));
  if (first < end) {
    const char* p = reinterpret_cast<const char*>(far.data() + first);
    const char* stop = reinterpret_cast<const char*>(far.data() + end);
    for (; p < stop; p += 64) Prefetch(p);
  }
  const std::vector<std::string>& near = at(kTextsAhead);
  end = std::min(last + 1, static_cast<int>(near.size()));
  for (int c = first; c < end; ++c) Prefetch(near[static_cast<std::size_t>(c)].data());
}

const std::string& RowModel::Cell(int row, int column) const {
  if (row < 0 || row >= Count() || column < 0) return kEmpty;
  const auto& cells = rows_[static_cast<std::size_t>(row)].cells;
  if (static_cast<std::size_t>(column) >= cells.size()) return kEmpty;
  return cells[static_cast<std::size_t>(column)];
}

int RowModel::Tag(int row) const {
  return (row < 0 || row >= Count()) ? 0 : rows_[static_cast<std::size_t>(row)].tag;
}

bool RowModel::Checked(int row) const {
  return row >= 0 && row < Count() && rows_[static_cast<std::size_t>(row)].checked;
}

void RowModel::SetChecked(int row, bool checked) {
  if (row >= 0 && row < Count()) rows_[static_cast<std::size_t>(row)].checked = checked;
}

void RowModel::SetAllChecked(bool checked) {
  for (auto& r : rows_) r.checked = checked;
}

bool RowModel::AnyChecked() const {
  return std::any_of(rows_.begin(), rows_.end(), [](const CatalogueRow& r) { return r.checked; });
}

void RowModel::Delete(int row) {
  if (row >= 0 && row < Count()) rows_.erase(rows_.begin() + row);
}

void RowModel::Reorder(const std::vector<int>& order) {
  if (order.size() != rows_.size()) return;
  std::vector<CatalogueRow> sorted;
  sorted.reserve(rows_.size());
  for (int old : order) sorted.push_back(std::move(rows_[static_cast<std::size_t>(old)]));
  rows_ = std::move(sorted);
}

void RowModel::StableSort(
    const std::function<bool(const CatalogueRow&, const CatalogueRow&)>& less) {
  std::stable_sort(rows_.begin(), rows_.end(), less);
}

}  // namespace clip
