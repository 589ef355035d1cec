// Finding rows by typed text: the folding that lets "abc" find "ＡＢＣ",
// "ｶﾞｲﾄﾞ" find "ガイド" and a name typed with "é" find a file whose name
// holds "e" and a combining accent, and the search over the catalogue's
// rows that the find box and its next/previous buttons run on every
// keystroke.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/categories.h"
#include "catalogue/row_model.h"

namespace clip {

// A key in which two texts are equal when they differ only in
//  - letter case: ASCII, full-width, Latin-1 and Latin Extended-A, basic
//    Greek (final sigma too) and Cyrillic;
//  - width: full-width ASCII forms, the ideographic space and full-width
//    signs become what NFKC makes of them, except U+FF5E "～", which stays
//    (Japanese texts use it as a wave dash, not a tilde); half-width
//    katakana and their punctuation become full-width, a following
//    half-width voiced or semi-voiced mark joining the kana (ｶﾞ = ガ,
//    ﾊﾟ = パ, ｳﾞ = ヴ);
//  - composition: a letter or kana followed by a combining accent or
//    combining voiced mark becomes its precomposed character (e + U+0301 =
//    é, か + U+3099 = が), as file names from some systems are stored;
//  - kana, only when kanaInsensitive: hiragana become katakana (ひ = ヒ,
//    ゔ = ヴ).
// Everything else is kept as it is; a byte that starts no well-formed
// UTF-8 sequence is kept as that byte. The key is never longer than the
// text.
std::string FoldForFind(std::string_view utf8, bool kanaInsensitive);
// The same into out (replacing its contents), so that a caller folding
// many texts reuses one buffer.
void FoldForFindInto(std::string_view utf8, bool kanaInsensitive, std::string& out);

// A typed text, folded once, matched as a substring of folded cells.
// Matches() folds into a buffer of the matcher's own, so one matcher
// serves one thread at a time.
class TextMatcher {
 public:
  TextMatcher(std::string_view typed, bool kanaInsensitive);

  // An empty typed text matches nothing.
  bool Empty() const { return key_.empty(); }
  bool Matches(std::string_view cell) const;

 private:
  // True when the cell holds one of the raw forms of the key's most
  // telling character: a cell without any cannot match, and most cells
  // are turned down so without being folded.
  bool MayHold(std::string_view cell) const;

  std::string key_;
  bool kana_;
  bool asciiKey_;                          // the key is ASCII: cells found ASCII take the fast path
  std::vector<std::string> forms_;         // raw forms of that character; none: no test
  std::array<bool, 256> firstBytes_{};     // the first bytes of forms_
  std::vector<std::uint64_t> firstWords_;  // each first byte eight times
  mutable std::string buffer_;
};

struct FindQuery {
  std::string text;
  int column = -1;  // a list column, or -1 for every shown column
  bool kanaInsensitive = false;
};

// The next row after fromRow (forward) or before it (backward) with a
// matching cell, wrapping around the end of the list; fromRow itself comes
// last, so the only match is found again. A fromRow outside the rows
// (nothing selected) starts at the first row forward and at the last row
// backward. -1 when no row matches, the text is empty or the column is not
// shown.
int FindNext(const RowModel& rows, const CategoryTable& table, const FindQuery& query, int fromRow,
             bool forward);

// Every matching row, ascending.
std::vector<int> FindAll(const RowModel& rows, const CategoryTable& table, const FindQuery& query);

}  // namespace clip
