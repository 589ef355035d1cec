// Finding the rows that show one movie twice: the same file copied under
// the same name, or the same movie kept under another name (the same play
// time and resolution, nearly the same size).
#pragma once

#include <vector>

#include "catalogue/categories.h"
#include "catalogue/row_model.h"

namespace clip {

enum class DuplicateChoice {
  All,        // every row of every set of twins
  AllButOne,  // all but the first row of each set: deleting them keeps one copy
};

// Two rows are twins when
//  (a) their file names are equal as find compares them (case and width
//      folded, hiragana and katakana told apart) and their sizes are equal, or
//  (b) both have a play time and a resolution, these cells are equal, and
//      their byte sizes differ by at most 1% of the larger one.
// Twins of twins form one set. Sizes come from the most exact shown size
// column (see RowByteRange); a kilobyte or megabyte cell stands for the
// byte counts it rounds, and two such cells are equal when they say the
// same. A row with an empty name, or whose size is unknown, has no twin;
// with no size column shown no row has one, because a name alone does not
// make a copy ("01.avi" is in every series folder). The rows come back
// ascending.
std::vector<int> FindDuplicateRows(const RowModel& rows, const CategoryTable& table,
                                   DuplicateChoice choice);

}  // namespace clip
