// Cells that a spreadsheet would take for a formula, and how a CSV list
// keeps them text.
//
// A spreadsheet opening a CSV list takes a cell for a formula when its
// first character is =, +, -, @, a tab or a CR. A cell's LF is stored as
// CR LF, so a cell that starts with an LF starts with a CR in the file and
// counts too. Such a cell is written with an apostrophe in front, inside
// the quotes, which spreadsheets show as text.
//
// So that the reader can give every cell back exactly, the rule also
// covers cells whose own text already starts with apostrophes before one of
// those characters:
// - written: a cell of n >= 0 apostrophes and then one of the characters
//   gets one more apostrophe in front;
// - read: a field of m >= 1 apostrophes and then one of the characters
//   loses its first apostrophe.
// Every other cell is written and read as it is. The one exception is a
// sign, digits and an optional unit of letters only, such as "-116kbit"
// (the video rate of a cut file): it holds no formula (no reference, name,
// call or operator), so it is written as it is, as lists always had it.
//
// Lists of earlier versions hold no apostrophes of this rule: a cell of
// theirs that starts with apostrophes before one of the characters loses
// one apostrophe when it is read.
#pragma once

#include <string_view>

namespace clip {

// True when the cell is written with an apostrophe in front.
bool CsvCellNeedsGuard(std::string_view cell);

// True when a field read from a CSV list starts with an apostrophe that the
// writer put there (the field's text is the rest).
bool CsvFieldHasGuard(std::string_view field);

}  // namespace clip
