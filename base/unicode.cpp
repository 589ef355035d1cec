#include "base/unicode.h"

#include <cstdint>
#include <cstring>

#include "base/bounded_write.h"

namespace clip {

void AppendUtf8(std::string& out, char32_t cp) {
  char buf[4];
  out.append(buf, static_cast<std::size_t>(PutUtf8(buf, cp) - buf));
}

bool IsValidUtf8(std::string_view text) {
  std::size_t pos = 0;
  while (pos < text.size()) {
    pos += AsciiPrefixLength(text.substr(pos));
    if (pos == text.size()) break;
    const std::size_t at = pos;
    NextCodePoint(text, pos);
    // Only a bad byte moves on by one: every well-formed non-ASCII
    // sequence is two bytes or more.
    if (pos - at == 1) return false;
  }
  return true;
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    const std::size_t run = AsciiPrefixLength(utf8.substr(pos));
    for (std::size_t i = 0; i < run; ++i) out.push_back(static_cast<char16_t>(utf8[pos + i]));
    pos += run;
    if (pos == utf8.size()) break;
    const char32_t cp = NextCodePoint(utf8, pos);
    if (cp < 0x10000) {
      out.push_back(static_cast<char16_t>(cp));
    } else {
      out.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
    }
  }
  return out;
}

namespace {

// Shared by the two UTF-16 readers: unit(i) gives the i-th of count units,
// each of which takes at most three UTF-8 bytes.
template <typename Unit>
std::string Utf16UnitsToUtf8(std::size_t count, Unit unit) {
  return WriteBounded(count * 3, [&](char* o) {
    for (std::size_t i = 0; i < count; ++i) {
      const char32_t u = unit(i);
      if (u < 0x80) {
        *o++ = static_cast<char>(u);
      } else if (u >= 0xD800 && u <= 0xDBFF && i + 1 < count && unit(i + 1) >= 0xDC00 &&
                 unit(i + 1) <= 0xDFFF) {
        o = PutUtf8(o, 0x10000 + ((u - 0xD800) << 10) + (unit(i + 1) - 0xDC00));
        ++i;
      } else {
        o = PutUtf8(o, u);  // a lone surrogate comes out as U+FFFD
      }
    }
    return o;
  });
}

}  // namespace

std::string Utf16ToUtf8(const char16_t* text, std::size_t length) {
  return Utf16UnitsToUtf8(length, [text](std::size_t i) { return char32_t{text[i]}; });
}

std::string Utf16LeToUtf8(std::string_view bytes) {
  const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
  std::size_t units = 0;
  while (units < bytes.size() / 2 && (b[2 * units] | b[2 * units + 1]) != 0) ++units;
  std::string out = Utf16UnitsToUtf8(
      units, [b](std::size_t i) { return char32_t{b[2 * i]} | char32_t{b[2 * i + 1]} << 8; });
  if (units == bytes.size() / 2 && bytes.size() % 2 != 0) AppendUtf8(out, kReplacementChar);
  return out;
}

}  // namespace clip
