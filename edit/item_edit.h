// The texts of the item edit dialog and the write-back of its fields.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "catalogue/categories.h"
#include "catalogue/row_model.h"

namespace clip {

// The genre list of the editable genre box, in this order.
extern const std::array<const char*, 11> kGenreNames;

// Each composed line (size, info 1, info 2) holds at most this many bytes
// of its code page 932 form.
constexpr std::size_t kEditLineMax = 63;

// "<name less its last four bytes>のｴﾃﾞｨｯﾄ".
std::string EditCaption(std::string_view fileName);

// What the dialog shows for one row.
struct ItemEditView {
  std::string caption;
  std::string fileName, folder, sizeLine, info1, info2;
  bool titleOn = false, creatorOn = false, genreOn = false, commentOn = false;
  std::string title, creator, genre, comment;
  bool genreSelectFirst = false;  // an empty genre shows the first list entry
};
ItemEditView ComposeItemEdit(const RowModel& rows, const CategoryTable& table, int row);

// The four fields as the user left them (texts of disabled fields are ignored).
struct ItemEditInput {
  std::string title, creator, genre, comment;
};
// Writes the enabled fields into the row's cells and checks the row when a
// text changed (a row is never unchecked here). Returns whether a text changed.
bool ApplyItemEdit(RowModel& rows, const CategoryTable& table, int row, const ItemEditInput& input);

}  // namespace clip
