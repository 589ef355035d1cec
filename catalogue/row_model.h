// The catalogue rows. The list view shows this model (owner data); every
// part of the program reads and writes rows through it.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace clip {

// A cell holds its whole text: a folder of a long path too, so that the
// row still names a folder that is there. Only a text of more bytes of its
// code page 932 form than the longest path has (a hostile list file) is cut,
// on a character boundary.
constexpr std::size_t kCellMax = std::size_t{1} << 17;
// Title, genre, creator and comment as typed into a row or read from an AVI
// file's INFO list: at most this many bytes of code page 932.
constexpr std::size_t kInfoTextMax = 255;
// More columns than a row ever has.
constexpr int kCategoryLimit = 1 << 16;

struct CatalogueRow {
  std::vector<std::string> cells;  // one per column; missing means empty
  int tag = 0;
  bool checked = false;
};

class RowModel {
 public:
  int Count() const { return static_cast<int>(rows_.size()); }

  // Inserts a row at index (clamped to 0..Count()) and returns its index.
  int Insert(int index, std::string_view fileName, int tag);
  // Sets one cell; the text is cut to kCellMax bytes of its code page 932
  // form. Out-of-range rows or columns are ignored.
  void SetCell(int row, int column, std::string_view text);
  // The same, keeping the text's own storage when it needs no cut (a
  // loader that has just built the text).
  void TakeCell(int row, int column, std::string&& text);
  // The cell text, or an empty text for rows and columns that do not exist.
  const std::string& Cell(int row, int column) const;
  int Tag(int row) const;
  bool Checked(int row) const;
  void SetChecked(int row, bool checked);
  void SetAllChecked(bool checked);
  bool AnyChecked() const;

  void Delete(int row);
  void Clear() { rows_.clear(); }
  const CatalogueRow& Row(int row) const { return rows_[static_cast<std::size_t>(row)]; }

  // Puts the rows in a new order: order[j] is the present index of the row
  // that goes to place j (a permutation of 0..Count()-1).
  void Reorder(const std::vector<int>& order);

  // A pass over many rows calls this at each row (step +1 or -1, wrapping
  // at the ends) for the cells first..last: it asks memory early for the
  // cells of a row some steps on and for the texts of a nearer one, whose
  // cells have arrived by then. After a sort the rows lie anywhere in
  // memory, and a pass would otherwise wait on memory at every row.
  void PrefetchAhead(int row, int step = 1, int first = 0, int last = kCategoryLimit) const;

  // Stable sort of the whole model; less(a, b) orders two rows.
  void StableSort(const std::function<bool(const CatalogueRow&, const CatalogueRow&)>& less);

 private:
  // The cell to write, made when the row is too short for it; null for a
  // row or column outside the model, and for an empty text past the row's
  // end (which it holds already).
  std::string* CellToWrite(int row, int column, bool emptyText);

  std::vector<CatalogueRow> rows_;
};

// Item i goes to row i, or to the end when the list is shorter.
inline int RowIndexForItem(int item, int rowCount) { return item < rowCount ? item : rowCount; }

}  // namespace clip
