#include "catalogue/find.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <limits>

#include "base/unicode.h"

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

constexpr std::uint64_t kHighBits = 0x8080808080808080u;
constexpr std::uint64_t kOnes = 0x0101010101010101u;

// Eight ASCII bytes with their upper-case letters in lower case: a byte's
// top bit is set by the first sum for bytes from "A" up and by the second
// for bytes past "Z" (no sum carries into the next byte: every byte is
// below 0x80).
inline std::uint64_t LowerAsciiWord(std::uint64_t word) {
  const std::uint64_t fromA = word + kOnes * (0x80 - 'A');
  const std::uint64_t pastZ = word + kOnes * (0x80 - 'Z' - 1);
  return word | ((fromA & ~pastZ & kHighBits) >> 2);
}

bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// The length of the well-formed sequence at s when its character folds to
// itself and cannot join a composition as its mark; 0 when the
// character must be decoded (or the bytes are not well-formed). A
// character that may be a composition's base is plain: a mark that
// follows reads it back.
std::size_t PlainSequenceLength(const unsigned char* s, std::size_t left, bool kana) {
  const unsigned char b0 = s[0];
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    // Latin-1 letters, Latin Extended-A, the combining marks, Greek and
    // the capital Cyrillic letters change.
    if ((b0 >= 0xC3 && b0 <= 0xC5) || (b0 >= 0xCC && b0 <= 0xD0)) return 0;
    return left >= 2 && IsContinuation(s[1]) ? 2 : 0;
  }
  if (b0 >= 0xE1 && b0 <= 0xEF && b0 != 0xED) {
    if (left < 3 || !IsContinuation(s[1]) || !IsContinuation(s[2])) return 0;
    const unsigned char b1 = s[1], b2 = s[2];
    if (b0 == 0xE3) {
      if (b1 == 0x80 && b2 == 0x80) return 0;                            // ideographic space
      if (b1 == 0x82 && (b2 == 0x99 || b2 == 0x9A)) return 0;            // voiced marks
      if (kana && (b1 == 0x81 || (b1 == 0x82 && b2 <= 0x9E))) return 0;  // hiragana
    }
    if (b0 == 0xEF && b1 >= 0xBC) return 0;  // full-width and half-width forms
    return 3;
  }
  if (b0 >= 0xF1 && b0 <= 0xF3) {
    return left >= 4 && IsContinuation(s[1]) && IsContinuation(s[2]) && IsContinuation(s[3]) ? 4
                                                                                             : 0;
  }
  return 0;  // E0, ED, F0 and F4 have narrower second bytes: decoded
}

}  // namespace

void FoldForFindInto(std::string_view text, bool kanaInsensitive, std::string& out) {
  // No rule makes a character longer in UTF-8, and a composition replaces
  // two characters by one: the key fits in the text's length.
  if (out.size() < text.size()) out.resize(text.size());
  char* const begin = out.data();
  char* w = begin;
  char* last = nullptr;  // where the last character of the key starts
  const auto* s = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t n = text.size();
  std::size_t pos = 0;
  while (pos < n) {
    const unsigned char b = s[pos];
    if (b < 0x80) {
      if (n - pos >= 8) {
        std::uint64_t word;
        std::memcpy(&word, s + pos, 8);
        if ((word & kHighBits) == 0) {
          word = LowerAsciiWord(word);
          std::memcpy(w, &word, 8);
          w += 8;
          pos += 8;
          last = w - 1;
          continue;
        }
      }
      last = w;
      *w++ = LowerAscii(b);
      ++pos;
      continue;
    }
    // Most characters above ASCII (kanji, katakana, the rest of the world's
    // scripts) fold to themselves: their bytes are copied as they are.
    const std::size_t length = PlainSequenceLength(s + pos, n - pos, kanaInsensitive);
    if (length != 0) {
      last = w;
      // Two to four bytes, copied one by one: no call for so few.
      for (std::size_t i = 0; i < length; ++i) w[i] = static_cast<char>(s[pos + i]);
      w += length;
      pos += length;
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
      std::size_t lastAt = static_cast<std::size_t>(last - begin);
      const char32_t base =
          NextCodePoint(std::string_view(begin, static_cast<std::size_t>(w - begin)), lastAt);
      if (const char32_t composed = Compose(base, cp)) {
        w = last;
        cp = composed;
      }
    }
    cp = LowerCase(cp);
    if (kanaInsensitive) cp = Katakana(cp);
    last = w;
    w = PutUtf8(w, cp);
  }
  out.resize(static_cast<std::size_t>(w - begin));
}

std::string FoldForFind(std::string_view utf8, bool kanaInsensitive) {
  std::string out;
  FoldForFindInto(utf8, kanaInsensitive, out);
  return out;
}

namespace {

// What one character folds to on its own, without a composition.
char32_t FoldOne(char32_t cp, bool kana) {
  cp = NormalWidth(cp);
  if (cp == 0x340 || cp == 0x341) cp -= 0x40;
  cp = LowerCase(cp);
  return kana ? Katakana(cp) : cp;
}

// Adds every character that, folded alone or as the base of compositions,
// can put c into a folded text. Only c itself and the characters the fold
// rules change can; depth bounds chains of compositions (ΐ is ι with two
// marks).
void AddSources(char32_t c, bool kana, int depth, std::vector<char32_t>& out) {
  // No rule makes or composes a character from U+3100 up to the width
  // forms (kanji, Hangul) or past them: those have only themselves.
  if ((c >= 0x3100 && c < 0xFF00) || c > 0xFFEF) {
    if (std::find(out.begin(), out.end(), c) == out.end()) out.push_back(c);
    return;
  }
  auto consider = [&](char32_t x) {
    if (FoldOne(x, kana) == c && std::find(out.begin(), out.end(), x) == out.end())
      out.push_back(x);
  };
  consider(c);
  for (char32_t x = 'A'; x <= 'Z'; ++x) consider(x);
  for (char32_t x = 0xC0; x <= 0x42F; ++x) consider(x);
  consider(0x3000);
  for (char32_t x = 0x3041; x <= 0x30FE; ++x) consider(x);
  for (char32_t x = 0xFF01; x <= 0xFFEE; ++x) consider(x);
  if (depth == 0) return;
  for (const Composition& e : kCompositions) {
    if (FoldOne(e.composed, kana) == c) AddSources(e.base, kana, depth - 1, out);
  }
  for (char32_t base = 0x3041; base <= 0x30FE; ++base) {
    for (char32_t mark : {kVoicedMark, kSemiVoicedMark}) {
      const char32_t composed = Compose(base, mark);
      if (composed != 0 && FoldOne(composed, kana) == c) AddSources(base, kana, depth - 1, out);
    }
  }
}

// How often an ASCII character of a folded key is likely to be found in
// cells, lower for rarer: letters by their frequency in English, digits and
// signs (sizes, times, paths) most often.
int AsciiCommonness(char32_t c) {
  constexpr std::string_view kRareFirst = "zqxjkvbpygfwmucldrhsnioate";
  const std::size_t rank = kRareFirst.find(static_cast<char>(c));
  return rank == std::string_view::npos ? 100 : static_cast<int>(rank);
}

}  // namespace

TextMatcher::TextMatcher(std::string_view typed, bool kanaInsensitive)
    : key_(FoldForFind(typed, kanaInsensitive)), kana_(kanaInsensitive) {
  asciiKey_ = AsciiPrefixLength(key_) == key_.size();
  // The key's rarest-looking character and its raw forms; the first
  // characters of a long key are enough to choose from. A character above
  // ASCII is rarer in cells than any ASCII one; among those the one with
  // the fewest raw forms is chosen, among ASCII ones the rarest letter.
  constexpr int kChoices = 16;
  std::size_t fewest = std::numeric_limits<std::size_t>::max();
  int rarest = std::numeric_limits<int>::max();
  char32_t ascii = 0;
  std::vector<char32_t> sources, bestSources;
  std::size_t pos = 0;
  for (int i = 0; i < kChoices && pos < key_.size(); ++i) {
    const std::size_t at = pos;
    const char32_t c = NextCodePoint(key_, pos);
    if (c < 0x80) {
      if (AsciiCommonness(c) < rarest) {
        rarest = AsciiCommonness(c);
        ascii = c;
      }
      continue;
    }
    if (pos - at == 1) continue;  // a bad byte stays unchosen
    sources.clear();
    AddSources(c, kanaInsensitive, 2, sources);
    if (sources.size() <= fewest) {
      fewest = sources.size();
      bestSources.swap(sources);
    }
  }
  if (bestSources.empty() && rarest != std::numeric_limits<int>::max())
    AddSources(ascii, kanaInsensitive, 2, bestSources);
  for (char32_t x : bestSources) {
    forms_.emplace_back();
    AppendUtf8(forms_.back(), x);
    const auto first = static_cast<unsigned char>(forms_.back()[0]);
    if (!firstBytes_[first]) firstWords_.push_back(kOnes * first);
    firstBytes_[first] = true;
  }
}

bool TextMatcher::MayHold(std::string_view cell) const {
  if (forms_.empty()) return true;
  // Forms are single characters of at most four bytes: they are compared
  // here byte by byte rather than through the C library, whose search and
  // compare calls cost more than the short cells they would look at.
  const auto* s = reinterpret_cast<const unsigned char*>(cell.data());
  const std::size_t n = cell.size();
  auto formAt = [&](std::size_t i) {
    if (!firstBytes_[s[i]]) return false;
    for (const std::string& form : forms_) {
      if (form.size() > n - i) continue;
      std::size_t k = 1;
      while (k < form.size() && s[i + k] == static_cast<unsigned char>(form[k])) ++k;
      if (k == form.size()) return true;
    }
    return false;
  };
  // Eight bytes at a time: only a word holding one of the first bytes is
  // looked at byte by byte.
  std::size_t i = 0;
  for (; n - i >= 8; i += 8) {
    std::uint64_t word;
    std::memcpy(&word, s + i, 8);
    bool any = false;
    for (std::uint64_t pattern : firstWords_) {
      const std::uint64_t x = word ^ pattern;
      any |= ((x - kOnes) & ~x & kHighBits) != 0;
    }
    if (!any) continue;
    for (std::size_t j = i; j < i + 8; ++j) {
      if (formAt(j)) return true;
    }
  }
  for (; i < n; ++i) {
    if (formAt(i)) return true;
  }
  return false;
}

bool TextMatcher::Matches(std::string_view cell) const {
  // Folding never lengthens a text, so a cell shorter than the key cannot
  // hold it.
  if (key_.empty() || cell.size() < key_.size() || !MayHold(cell)) return false;
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

// Looks at every row once from start on, one step at a time (+1 or -1)
// with wrapping, and calls hit(row) for each matching row until it returns
// true. Returns that row, or -1.
template <typename Hit>
int ScanRows(const RowModel& rows, const TextMatcher& matcher, int first, int last, int start,
             int step, Hit hit) {
  const int n = rows.Count();
  auto wrap = [n](int r) { return r >= n ? r - n : (r < 0 ? r + n : r); };
  int row = start;
  for (int i = 0; i < n; ++i, row = wrap(row + step)) {
    rows.PrefetchAhead(row, step, first, last);
    if (RowMatches(rows.Row(row), matcher, first, last) && hit(row)) return row;
  }
  return -1;
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
  int start = forward ? (inside ? fromRow + 1 : 0) : (inside ? fromRow - 1 : n - 1);
  if (start == n) start = 0;
  if (start < 0) start = n - 1;
  return ScanRows(rows, matcher, first, last, start, forward ? 1 : -1, [](int) { return true; });
}

std::vector<int> FindAll(const RowModel& rows, const CategoryTable& table, const FindQuery& query) {
  std::vector<int> found;
  int first = 0, last = 0;
  if (rows.Count() == 0 || !QueryColumns(table, query, first, last)) return found;
  const TextMatcher matcher(query.text, query.kanaInsensitive);
  if (matcher.Empty()) return found;
  ScanRows(rows, matcher, first, last, 0, 1, [&](int row) {
    found.push_back(row);
    return false;
  });
  return found;
}

}  // namespace clip
