#include "base/cp932.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "base/bounded_write.h"
#include "base/cp932_table.h"
#include "base/unicode.h"

namespace clip {
namespace {

using namespace cp932_table;

// What Windows decodes a byte pair without a character, and a lead byte
// without a trail byte, to.
constexpr char16_t kNoCharacter = 0x30FB;
constexpr std::uint16_t kQuestion = '?';
// The code of a character above U+FFFF: Windows writes each half of its
// surrogate pair as the default character.
constexpr std::uint16_t kTwoQuestions = '?' << 8 | '?';

// The character of a byte pair, 0 when it holds none.
inline char16_t PairChar(unsigned lead, unsigned trail) {
  if (trail < kFirstTrail || trail > kLastTrail) return 0;
  const unsigned row = lead < 0xA0 ? lead - 0x81 : lead - 0xE0 + 31;
  return kDoubleByte[row][trail - kFirstTrail];
}

// The character a code (a single byte, or lead << 8 | trail) decodes to.
inline char16_t CodeChar(std::uint16_t code) {
  if (code <= 0xFF) return kSingleByte[code];
  const char16_t ch = PairChar(code >> 8, code & 0xFF);
  return ch ? ch : kNoCharacter;
}

// UTF-16 -> code page 932 over the whole BMP, with a bit per character
// saying whether its code decodes back to it. Built once, at first use, from
// the committed decode rows (the last code in byte order wins) and the
// overrides; a function-local static makes the first use thread-safe.
class EncodeTable {
 public:
  EncodeTable() {
    std::fill(std::begin(code_), std::end(code_), kQuestion);
    for (unsigned b = 0; b < 256; ++b)
      if (!IsCp932LeadByte(static_cast<unsigned char>(b))) code_[kSingleByte[b]] = b;
    for (unsigned row = 0; row < kLeadRows; ++row) {
      const unsigned lead = row < 31 ? 0x81 + row : 0xE0 + row - 31;
      for (unsigned t = 0; t < kTrailCount; ++t)
        if (const char16_t ch = kDoubleByte[row][t]) code_[ch] = lead << 8 | (kFirstTrail + t);
    }
    for (std::size_t i = 0; i < kEncodeOverrideCount; ++i)
      code_[kEncodeOverrides[i].character] = kEncodeOverrides[i].code;
    for (std::uint32_t ch = 0; ch < 0x10000; ++ch)
      if (CodeChar(code_[ch]) == ch) holds_[ch >> 3] |= static_cast<std::uint8_t>(1u << (ch & 7));
  }
  std::uint16_t Code(char32_t ch) const { return ch < 0x10000 ? code_[ch] : kTwoQuestions; }
  bool Holds(char32_t ch) const { return ch < 0x10000 && (holds_[ch >> 3] >> (ch & 7) & 1); }

 private:
  std::uint16_t code_[0x10000];
  std::uint8_t holds_[0x10000 / 8] = {};
};

const EncodeTable& Encoder() {
  static const EncodeTable table;
  return table;
}

inline std::size_t CodeLength(std::uint16_t code) { return code > 0xFF ? 2 : 1; }

// Copies the ASCII run at text[pos] to out and moves both past it; ASCII
// is the same in UTF-8, code page 932 and the sort key.
// Copied eight bytes at a time as they are checked, in one pass and with
// no call into the C library (short runs are the common case). Every
// caller's output has room for at least as many bytes as the text has.
inline void CopyAscii(std::string_view text, std::size_t& pos, char*& out) {
  // Local copies: stores through a char pointer could otherwise change
  // them, and they would be written back after every byte.
  const char* s = text.data();
  const std::size_t n = text.size();
  std::size_t i = pos;
  char* o = out;
  for (; n - i >= 8; i += 8) {
    std::uint64_t word;
    std::memcpy(&word, s + i, 8);
    if (word & 0x8080808080808080u) break;
    std::memcpy(o, &word, 8);
    o += 8;
  }
  while (i < n && static_cast<unsigned char>(s[i]) < 0x80) *o++ = s[i++];
  pos = i;
  out = o;
}

}  // namespace

namespace {

// At most three UTF-8 bytes for every byte (a half-width katakana byte).
std::size_t Utf8Bound(std::string_view bytes) { return bytes.size() * 3; }

char* DecodeCp932(std::string_view bytes, char* o) {
  const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t n = bytes.size();
  std::size_t i = 0;
  while (i < n) {
    const unsigned b = s[i];
    if (b < 0x80) {
      CopyAscii(bytes, i, o);
      continue;
    }
    char16_t ch;
    if (!IsCp932LeadByte(static_cast<unsigned char>(b))) {
      ch = kSingleByte[b];
      ++i;
    } else if (n - i >= 2 && s[i + 1] != 0) {
      ch = PairChar(b, s[i + 1]);
      if (!ch) ch = kNoCharacter;
      i += 2;
    } else {
      ch = kNoCharacter;
      ++i;
    }
    o = PutUtf8(o, ch);
  }
  return o;
}

}  // namespace

std::string Cp932ToUtf8(std::string_view bytes) {
  return WriteBounded(Utf8Bound(bytes), [&](char* o) { return DecodeCp932(bytes, o); });
}

std::size_t Utf8ToCp932Into(std::string_view utf8, char* out, std::size_t* changed) {
  // Never longer than the UTF-8 form: every character takes at most as
  // many bytes in code page 932.
  const EncodeTable& table = Encoder();
  const std::size_t n = utf8.size();
  std::size_t count = 0, pos = 0;
  char* o = out;
  while (pos < n) {
    if (static_cast<unsigned char>(utf8[pos]) < 0x80) {
      CopyAscii(utf8, pos, o);
      continue;
    }
    const char32_t ch = NextCodePoint(utf8, pos);
    const std::uint16_t code = table.Code(ch);
    if (code > 0xFF) *o++ = static_cast<char>(code >> 8);
    *o++ = static_cast<char>(code & 0xFF);
    if (changed && !table.Holds(ch)) ++count;
  }
  if (changed) *changed = count;
  return static_cast<std::size_t>(o - out);
}

std::string Utf8ToCp932(std::string_view utf8, std::size_t* changed) {
  return WriteBounded(utf8.size(), [&](char* o) { return o + Utf8ToCp932Into(utf8, o, changed); });
}

bool Cp932Holds(char32_t ch) { return Encoder().Holds(ch); }

bool FitsCp932(std::string_view utf8) {
  const EncodeTable& table = Encoder();
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    pos += AsciiPrefixLength(utf8.substr(pos));
    if (pos < utf8.size() && !table.Holds(NextCodePoint(utf8, pos))) return false;
  }
  return true;
}

std::size_t Cp932Length(std::string_view utf8) {
  const EncodeTable& table = Encoder();
  std::size_t length = 0, pos = 0;
  while (pos < utf8.size()) {
    const std::size_t run = AsciiPrefixLength(utf8.substr(pos));
    length += run;
    pos += run;
    if (pos < utf8.size()) length += CodeLength(table.Code(NextCodePoint(utf8, pos)));
  }
  return length;
}

std::string CutCp932(std::string_view utf8, std::size_t maxBytes) {
  const EncodeTable& table = Encoder();
  std::size_t length = 0, pos = 0;
  while (pos < utf8.size()) {
    if (static_cast<unsigned char>(utf8[pos]) < 0x80) {
      // An ASCII byte is one byte in both forms.
      const std::size_t run = std::min(AsciiPrefixLength(utf8.substr(pos)), maxBytes - length);
      length += run;
      pos += run;
      if (length == maxBytes) break;
      continue;
    }
    std::size_t next = pos;
    const std::size_t width = CodeLength(table.Code(NextCodePoint(utf8, next)));
    if (width > maxBytes - length) break;
    length += width;
    pos = next;
  }
  return std::string(utf8.substr(0, pos));
}

namespace {

char* WriteSortKey(std::string_view utf8, char* o) {
  const EncodeTable& table = Encoder();
  const std::size_t n = utf8.size();
  std::size_t pos = 0;
  while (pos < n) {
    if (static_cast<unsigned char>(utf8[pos]) < 0x80) {
      CopyAscii(utf8, pos, o);
      continue;
    }
    const char32_t ch = NextCodePoint(utf8, pos);
    if (table.Holds(ch)) {
      const std::uint16_t code = table.Code(ch);
      if (code > 0xFF) *o++ = static_cast<char>(code >> 8);
      *o++ = static_cast<char>(code & 0xFF);
      // Trail bytes stop at 0xFC, so only the single byte 0xFF needs the
      // escape that keeps it below the characters code page 932 lacks.
      if (code == 0xFF) *o++ = '\0';
    } else {
      *o++ = '\xFF';
      *o++ = '\x01';
      *o++ = static_cast<char>(ch >> 16);
      *o++ = static_cast<char>(ch >> 8 & 0xFF);
      *o++ = static_cast<char>(ch & 0xFF);
    }
  }
  return o;
}

}  // namespace

// At most five key bytes for every UTF-8 byte (a bad byte).
std::string Cp932SortKey(std::string_view utf8) {
  return WriteBounded(utf8.size() * 5, [&](char* o) { return WriteSortKey(utf8, o); });
}

void Cp932SortKeyInto(std::string_view utf8, std::string& out) {
  WriteBoundedInto(out, utf8.size() * 5, [&](char* o) { return WriteSortKey(utf8, o); });
}

}  // namespace clip
