#include "catalogue/find.h"

#include <algorithm>
#include <iterator>

#include "catalogue/unicode.h"

namespace clip {

namespace {

// U+FF61..U+FF9F: the half-width katakana and their punctuation in the
// full-width forms NFKC gives them. The two marks become the combining
// voiced and semi-voiced marks, which then join the kana before them.
constexpr char16_t kHalfWidthKana[] = {
    0x3002, 0x300C, 0x300D, 0x3001, 0x30FB, 0x30F2,                  // ｡｢｣､･ｦ
    0x30A1, 0x30A3, 0x30A5, 0x30A7, 0x30A9, 0x30E3, 0x30E5, 0x30E7,  // ｧｨｩｪｫｬｭｮ
    0x30C3, 0x30FC,                                                  // ｯｰ
    0x30A2, 0x30A4, 0x30A6, 0x30A8, 0x30AA,                          // ｱｲｳｴｵ
    0x30AB, 0x30AD, 0x30AF, 0x30B1, 0x30B3,                          // ｶｷｸｹｺ
    0x30B5, 0x30B7, 0x30B9, 0x30BB, 0x30BD,                          // ｻｼｽｾｿ
    0x30BF, 0x30C1, 0x30C4, 0x30C6, 0x30C8,                          // ﾀﾁﾂﾃﾄ
    0x30CA, 0x30CB, 0x30CC, 0x30CD, 0x30CE,                          // ﾅﾆﾇﾈﾉ
    0x30CF, 0x30D2, 0x30D5, 0x30D8, 0x30DB,                          // ﾊﾋﾌﾍﾎ
    0x30DE, 0x30DF, 0x30E0, 0x30E1, 0x30E2,                          // ﾏﾐﾑﾒﾓ
    0x30E4, 0x30E6, 0x30E8,                                          // ﾔﾕﾖ
    0x30E9, 0x30EA, 0x30EB, 0x30EC, 0x30ED,                          // ﾗﾘﾙﾚﾛ
    0x30EF, 0x30F3, 0x3099, 0x309A,                                  // ﾜﾝﾞﾟ
};
static_assert(std::size(kHalfWidthKana) == 0xFF9F - 0xFF61 + 1, "one entry per half-width form");

// U+FFE0..U+FFEE, the full-width signs and half-width symbols, as NFKC
// gives them; 0 keeps the character (U+FFE3 would become a space and a
// combining macron, U+FFE7 is unassigned).
constexpr char16_t kWidthSigns[] = {
    0x00A2, 0x00A3, 0x00AC, 0,      0x00A6, 0x00A5, 0x20A9, 0,
    0x2502, 0x2190, 0x2191, 0x2192, 0x2193, 0x25A0, 0x25CB,
};
static_assert(std::size(kWidthSigns) == 0xFFEE - 0xFFE0 + 1, "one entry per sign");

constexpr char32_t kVoicedMark = 0x3099;
constexpr char32_t kSemiVoicedMark = 0x309A;

// The width rule: what a character is once full-width ASCII, the
// ideographic space and half-width kana take their usual width.
char32_t NormalWidth(char32_t cp) {
  if (cp < 0x3000 || (cp > 0x3000 && cp < 0xFF01)) return cp;
  if (cp == 0x3000) return ' ';
  // U+FF5E stays: in Japanese text it is the wave dash.
  if (cp <= 0xFF5D) return cp - 0xFEE0;
  if (cp == 0xFF5F || cp == 0xFF60) return cp - 0xFF5F + 0x2985;  // white parentheses
  if (cp >= 0xFF61 && cp <= 0xFF9F) return kHalfWidthKana[cp - 0xFF61];
  if (cp >= 0xFFE0 && cp <= 0xFFEE) {
    const char32_t sign = kWidthSigns[cp - 0xFFE0];
    return sign ? sign : cp;
  }
  return cp;
}

// Lower case of ASCII (full-width letters arrive here as ASCII), Latin-1,
// Latin Extended-A, basic Greek with its tonos letters, and basic Cyrillic.
char32_t LowerCase(char32_t cp) {
  if (cp - U'A' < 26u) return cp + 0x20;
  if (cp < 0xC0) return cp;
  if (cp <= 0xDE) return cp == 0xD7 ? cp : cp + 0x20;  // U+00D7 is the multiplication sign
  if (cp < 0x100) return cp;
  if (cp < 0x180) {
    // İ, ı, ĸ, ŉ and ſ have no simple partner in this block.
    if (cp == 0x130 || cp == 0x131 || cp == 0x138 || cp == 0x149 || cp == 0x17F) return cp;
    if (cp == 0x178) return 0xFF;  // Ÿ
    // Pairs start on an odd code point in these two runs, on an even one
    // elsewhere in the block.
    const bool oddFirst = (cp >= 0x139 && cp <= 0x148) || (cp >= 0x179 && cp <= 0x17E);
    return ((cp & 1) != 0) == oddFirst ? cp + 1 : cp;
  }
  if (cp >= 0x386 && cp <= 0x3AB) {
    if (cp == 0x386) return 0x3AC;
    if (cp >= 0x388 && cp <= 0x38A) return cp + 0x25;
    if (cp == 0x38C) return 0x3CC;
    if (cp == 0x38E || cp == 0x38F) return cp + 0x3F;
    if (cp >= 0x391 && cp != 0x3A2) return cp + 0x20;
    return cp;
  }
  if (cp == 0x3C2) return 0x3C3;  // final sigma
  if (cp >= 0x400 && cp <= 0x40F) return cp + 0x50;
  if (cp >= 0x410 && cp <= 0x42F) return cp + 0x20;
  return cp;
}

// Hiragana to katakana (the iteration marks too).
char32_t Katakana(char32_t cp) {
  if ((cp >= 0x3041 && cp <= 0x3096) || cp == 0x309D || cp == 0x309E) return cp + 0x60;
  return cp;
}

struct Composition {
  char16_t base, mark, composed;
};

// The canonical compositions of Latin-1, Latin Extended-A, Greek and
// Cyrillic letters from a lower-case base and one combining mark, sorted by
// base and mark. Upper-case bases are not needed: a base is already folded
// to lower case when its mark arrives.
constexpr Composition kCompositions[] = {
    {0x0061, 0x0300, 0x00E0}, {0x0061, 0x0301, 0x00E1}, {0x0061, 0x0302, 0x00E2},
    {0x0061, 0x0303, 0x00E3}, {0x0061, 0x0304, 0x0101}, {0x0061, 0x0306, 0x0103},
    {0x0061, 0x0308, 0x00E4}, {0x0061, 0x030A, 0x00E5}, {0x0061, 0x0328, 0x0105},
    {0x0063, 0x0301, 0x0107}, {0x0063, 0x0302, 0x0109}, {0x0063, 0x0307, 0x010B},
    {0x0063, 0x030C, 0x010D}, {0x0063, 0x0327, 0x00E7}, {0x0064, 0x030C, 0x010F},
    {0x0065, 0x0300, 0x00E8}, {0x0065, 0x0301, 0x00E9}, {0x0065, 0x0302, 0x00EA},
    {0x0065, 0x0304, 0x0113}, {0x0065, 0x0306, 0x0115}, {0x0065, 0x0307, 0x0117},
    {0x0065, 0x0308, 0x00EB}, {0x0065, 0x030C, 0x011B}, {0x0065, 0x0328, 0x0119},
    {0x0067, 0x0302, 0x011D}, {0x0067, 0x0306, 0x011F}, {0x0067, 0x0307, 0x0121},
    {0x0067, 0x0327, 0x0123}, {0x0068, 0x0302, 0x0125}, {0x0069, 0x0300, 0x00EC},
    {0x0069, 0x0301, 0x00ED}, {0x0069, 0x0302, 0x00EE}, {0x0069, 0x0303, 0x0129},
    {0x0069, 0x0304, 0x012B}, {0x0069, 0x0306, 0x012D}, {0x0069, 0x0308, 0x00EF},
    {0x0069, 0x0328, 0x012F}, {0x006A, 0x0302, 0x0135}, {0x006B, 0x0327, 0x0137},
    {0x006C, 0x0301, 0x013A}, {0x006C, 0x030C, 0x013E}, {0x006C, 0x0327, 0x013C},
    {0x006E, 0x0301, 0x0144}, {0x006E, 0x0303, 0x00F1}, {0x006E, 0x030C, 0x0148},
    {0x006E, 0x0327, 0x0146}, {0x006F, 0x0300, 0x00F2}, {0x006F, 0x0301, 0x00F3},
    {0x006F, 0x0302, 0x00F4}, {0x006F, 0x0303, 0x00F5}, {0x006F, 0x0304, 0x014D},
    {0x006F, 0x0306, 0x014F}, {0x006F, 0x0308, 0x00F6}, {0x006F, 0x030B, 0x0151},
    {0x0072, 0x0301, 0x0155}, {0x0072, 0x030C, 0x0159}, {0x0072, 0x0327, 0x0157},
    {0x0073, 0x0301, 0x015B}, {0x0073, 0x0302, 0x015D}, {0x0073, 0x030C, 0x0161},
    {0x0073, 0x0327, 0x015F}, {0x0074, 0x030C, 0x0165}, {0x0074, 0x0327, 0x0163},
    {0x0075, 0x0300, 0x00F9}, {0x0075, 0x0301, 0x00FA}, {0x0075, 0x0302, 0x00FB},
    {0x0075, 0x0303, 0x0169}, {0x0075, 0x0304, 0x016B}, {0x0075, 0x0306, 0x016D},
    {0x0075, 0x0308, 0x00FC}, {0x0075, 0x030A, 0x016F}, {0x0075, 0x030B, 0x0171},
    {0x0075, 0x0328, 0x0173}, {0x0077, 0x0302, 0x0175}, {0x0079, 0x0301, 0x00FD},
    {0x0079, 0x0302, 0x0177}, {0x0079, 0x0308, 0x00FF}, {0x007A, 0x0301, 0x017A},
    {0x007A, 0x0307, 0x017C}, {0x007A, 0x030C, 0x017E}, {0x03B1, 0x0301, 0x03AC},
    {0x03B5, 0x0301, 0x03AD}, {0x03B7, 0x0301, 0x03AE}, {0x03B9, 0x0301, 0x03AF},
    {0x03B9, 0x0308, 0x03CA}, {0x03BF, 0x0301, 0x03CC}, {0x03C5, 0x0301, 0x03CD},
    {0x03C5, 0x0308, 0x03CB}, {0x03C9, 0x0301, 0x03CE}, {0x03CA, 0x0301, 0x0390},
    {0x03CB, 0x0301, 0x03B0}, {0x0433, 0x0301, 0x0453}, {0x0435, 0x0300, 0x0450},
    {0x0435, 0x0308, 0x0451}, {0x0438, 0x0300, 0x045D}, {0x0438, 0x0306, 0x0439},
    {0x043A, 0x0301, 0x045C}, {0x0443, 0x0306, 0x045E}, {0x0456, 0x0308, 0x0457},
};

// A voiced or semi-voiced kana from its plain katakana k and the mark, or 0.
char32_t ComposeKatakana(char32_t k, char32_t mark) {
  if (mark == kVoicedMark) {
    if (k >= 0x30AB && k <= 0x30C1) return (k & 1) ? k + 1 : 0;                // カ..チ
    if (k >= 0x30C4 && k <= 0x30C8) return (k & 1) ? 0 : k + 1;                // ツテト
    if (k >= 0x30CF && k <= 0x30DB) return (k - 0x30CF) % 3 == 0 ? k + 1 : 0;  // ハ..ホ
    if (k == 0x30A6) return 0x30F4;                                            // ウ
    if (k >= 0x30EF && k <= 0x30F2) return k - 0x30EF + 0x30F7;                // ワヰヱヲ
    if (k == 0x30FD) return 0x30FE;                                            // ヽ
    return 0;
  }
  if (k >= 0x30CF && k <= 0x30DB) return (k - 0x30CF) % 3 == 0 ? k + 2 : 0;  // ハ..ホ
  return 0;
}

// The precomposed character of base and a combining mark, or 0.
char32_t Compose(char32_t base, char32_t mark) {
  if (mark == kVoicedMark || mark == kSemiVoicedMark) {
    if (base >= 0x30A1 && base <= 0x30FE) return ComposeKatakana(base, mark);
    if (base >= 0x3041 && base <= 0x309E) {
      const char32_t k = ComposeKatakana(base + 0x60, mark);
      // Voiced ワヰヱヲ have no hiragana form.
      return k != 0 && (k < 0x30F7 || k > 0x30FA) ? k - 0x60 : 0;
    }
    return 0;
  }
  if (base > 0xFFFF) return 0;
  const auto key = base << 16 | mark;
  const auto* end = std::end(kCompositions);
  const auto* it = std::lower_bound(
      std::begin(kCompositions), end, key,
      [](const Composition& c, char32_t k) { return (char32_t{c.base} << 16 | c.mark) < k; });
  return it != end && it->base == base && it->mark == mark ? it->composed : 0;
}

bool IsCombiningMark(char32_t cp) {
  return (cp >= 0x300 && cp <= 0x36F) || cp == kVoicedMark || cp == kSemiVoicedMark;
}

inline char LowerAscii(unsigned char b) {
  return static_cast<char>(static_cast<unsigned>(b - 'A') < 26u ? b + 0x20 : b);
}

// True when an ASCII key (already in lower case) occurs in an ASCII text
// whose letters are compared without regard to case.
bool ContainsAsciiFolded(std::string_view text, std::string_view key) {
  const std::size_t n = key.size();
  if (n > text.size()) return false;
  const auto* t = reinterpret_cast<const unsigned char*>(text.data());
  const auto* k = reinterpret_cast<const unsigned char*>(key.data());
  const unsigned char first = k[0];
  for (std::size_t i = 0, last = text.size() - n; i <= last; ++i) {
    if (static_cast<unsigned char>(LowerAscii(t[i])) != first) continue;
    std::size_t j = 1;
    while (j < n && static_cast<unsigned char>(LowerAscii(t[i + j])) == k[j]) ++j;
    if (j == n) return true;
  }
  return false;
}

}  // namespace

void FoldForFindInto(std::string_view text, bool kanaInsensitive, std::string& out) {
  // No rule makes a character longer in UTF-8, and a composition replaces
  // two characters by one: the key fits in the text's length.
  out.resize(text.size());
  char* const begin = out.data();
  char* w = begin;
  char* last = nullptr;  // where the last character of the key starts
  char32_t lastCp = 0;
  const auto* s = reinterpret_cast<const unsigned char*>(text.data());
  std::size_t pos = 0;
  while (pos < text.size()) {
    const unsigned char b = s[pos];
    if (b < 0x80) {
      last = w;
      *w++ = LowerAscii(b);
      lastCp = static_cast<unsigned char>(w[-1]);
      ++pos;
      continue;
    }
    const std::size_t at = pos;
    char32_t cp = NextCodePoint(text, pos);
    if (pos - at == 1) {
      // A bad byte stays itself, so two different bad bytes stay different;
      // nothing composes with it.
      *w++ = static_cast<char>(b);
      last = nullptr;
      continue;
    }
    cp = NormalWidth(cp);
    // The two tone marks U+0340 and U+0341 are the grave and acute accents
    // under other names.
    if (cp == 0x340 || cp == 0x341) cp -= 0x40;
    if (last != nullptr && IsCombiningMark(cp)) {
      if (const char32_t composed = Compose(lastCp, cp)) {
        w = last;
        cp = composed;
      }
    }
    cp = LowerCase(cp);
    if (kanaInsensitive) cp = Katakana(cp);
    last = w;
    lastCp = cp;
    w = PutUtf8(w, cp);
  }
  out.resize(static_cast<std::size_t>(w - begin));
}

std::string FoldForFind(std::string_view utf8, bool kanaInsensitive) {
  std::string out;
  FoldForFindInto(utf8, kanaInsensitive, out);
  return out;
}

TextMatcher::TextMatcher(std::string_view typed, bool kanaInsensitive)
    : key_(FoldForFind(typed, kanaInsensitive)), kana_(kanaInsensitive) {
  asciiKey_ = AsciiPrefixLength(key_) == key_.size();
}

bool TextMatcher::Matches(std::string_view cell) const {
  // Folding never lengthens a text, so a cell shorter than the key cannot
  // hold it.
  if (key_.empty() || cell.size() < key_.size()) return false;
  // Most cells are ASCII; only their letter case folds, which the search
  // does in place without building the cell's key.
  if (asciiKey_ && AsciiPrefixLength(cell) == cell.size()) return ContainsAsciiFolded(cell, key_);
  FoldForFindInto(cell, kana_, buffer_);
  return std::string_view(buffer_).find(key_) != std::string_view::npos;
}

namespace {

// The list columns a query looks at, first..last; false when none.
bool QueryColumns(const CategoryTable& table, const FindQuery& query, int& first, int& last) {
  if (query.column == -1) {
    first = 0;
    last = table.columnCount;
    return true;
  }
  if (query.column < 0 || query.column > table.columnCount) return false;
  first = last = query.column;
  return true;
}

bool RowMatches(const CatalogueRow& row, const TextMatcher& matcher, int first, int last) {
  // Cells past the end of a row are empty and match nothing.
  const int end = std::min(last + 1, static_cast<int>(row.cells.size()));
  for (int c = first; c < end; ++c) {
    if (matcher.Matches(row.cells[static_cast<std::size_t>(c)])) return true;
  }
  return false;
}

}  // namespace

int FindNext(const RowModel& rows, const CategoryTable& table, const FindQuery& query, int fromRow,
             bool forward) {
  const int n = rows.Count();
  int first = 0, last = 0;
  if (n == 0 || !QueryColumns(table, query, first, last)) return -1;
  const TextMatcher matcher(query.text, query.kanaInsensitive);
  if (matcher.Empty()) return -1;
  const bool inside = fromRow >= 0 && fromRow < n;
  int row = forward ? (inside ? fromRow + 1 : 0) : (inside ? fromRow - 1 : n - 1);
  for (int i = 0; i < n; ++i) {
    if (row == n) row = 0;
    if (row < 0) row = n - 1;
    if (RowMatches(rows.Row(row), matcher, first, last)) return row;
    row += forward ? 1 : -1;
  }
  return -1;
}

std::vector<int> FindAll(const RowModel& rows, const CategoryTable& table, const FindQuery& query) {
  std::vector<int> found;
  int first = 0, last = 0;
  if (!QueryColumns(table, query, first, last)) return found;
  const TextMatcher matcher(query.text, query.kanaInsensitive);
  if (matcher.Empty()) return found;
  for (int row = 0; row < rows.Count(); ++row) {
    if (RowMatches(rows.Row(row), matcher, first, last)) found.push_back(row);
  }
  return found;
}

}  // namespace clip
