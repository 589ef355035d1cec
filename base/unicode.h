// UTF-8, the program's text form inside, and the UTF-16 of the wide Win32
// calls and of file tags. Bad input never stops a conversion: every byte
// that does not start a well-formed sequence becomes one U+FFFD and the
// text after it is read as usual.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace clip {

constexpr char32_t kReplacementChar = 0xFFFD;

// The code point at text[pos] (pos < text.size()); pos moves past it. A
// truncated or overlong sequence, an encoded surrogate, a value above
// U+10FFFF or a stray continuation byte gives U+FFFD and moves pos by one
// byte only, so that a broken lead byte never swallows the valid text that
// follows it.
inline char32_t NextCodePoint(std::string_view text, std::size_t& pos) {
  const auto* s = reinterpret_cast<const unsigned char*>(text.data()) + pos;
  const std::size_t left = text.size() - pos;
  const char32_t b0 = s[0];
  if (b0 < 0x80) {
    ++pos;
    return b0;
  }
  auto cont = [s](std::size_t i) { return (s[i] & 0xC0) == 0x80; };
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    if (left >= 2 && cont(1)) {
      pos += 2;
      return (b0 & 0x1F) << 6 | (s[1] & 0x3F);
    }
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    if (left >= 3 && cont(1) && cont(2)) {
      const char32_t cp = (b0 & 0x0F) << 12 | (s[1] & 0x3F) << 6 | (s[2] & 0x3F);
      if (cp >= 0x800 && (cp < 0xD800 || cp > 0xDFFF)) {
        pos += 3;
        return cp;
      }
    }
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    if (left >= 4 && cont(1) && cont(2) && cont(3)) {
      const char32_t cp =
          (b0 & 0x07) << 18 | (s[1] & 0x3F) << 12 | (s[2] & 0x3F) << 6 | (s[3] & 0x3F);
      if (cp >= 0x10000 && cp <= 0x10FFFF) {
        pos += 4;
        return cp;
      }
    }
  }
  ++pos;
  return kReplacementChar;
}

// Writes cp as UTF-8 at out (room for 4 bytes) and returns the end. A
// surrogate or a value above U+10FFFF is written as U+FFFD.
inline char* PutUtf8(char* out, char32_t cp) {
  if (cp < 0x80) {
    *out++ = static_cast<char>(cp);
  } else if (cp < 0x800) {
    *out++ = static_cast<char>(0xC0 | cp >> 6);
    *out++ = static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    if (cp >= 0xD800 && cp <= 0xDFFF) cp = kReplacementChar;
    *out++ = static_cast<char>(0xE0 | cp >> 12);
    *out++ = static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    *out++ = static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp <= 0x10FFFF) {
    *out++ = static_cast<char>(0xF0 | cp >> 18);
    *out++ = static_cast<char>(0x80 | (cp >> 12 & 0x3F));
    *out++ = static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    *out++ = static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out = PutUtf8(out, kReplacementChar);
  }
  return out;
}

// Appends cp as UTF-8 (U+FFFD for a surrogate or a value above U+10FFFF).
void AppendUtf8(std::string& out, char32_t cp);

// Length of the leading run of bytes below 0x80, read eight at a time.
// Inline: it is asked of every cell in passes over a whole catalogue.
inline std::size_t AsciiPrefixLength(std::string_view text) {
  const char* s = text.data();
  const std::size_t n = text.size();
  std::size_t i = 0;
  for (; n - i >= 8; i += 8) {
    std::uint64_t word;
    std::memcpy(&word, s + i, 8);
    if (word & 0x8080808080808080u) break;
  }
  while (i < n && static_cast<unsigned char>(s[i]) < 0x80) ++i;
  return i;
}

// True when text is well-formed UTF-8 throughout.
bool IsValidUtf8(std::string_view text);

// UTF-8 to UTF-16 for the wide Win32 calls; characters above U+FFFF become
// surrogate pairs, each bad byte one U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);

// UTF-16 from a wide Win32 call to UTF-8. Surrogate pairs join; a surrogate
// without its partner becomes U+FFFD.
std::string Utf16ToUtf8(const char16_t* text, std::size_t length);
inline std::string Utf16ToUtf8(std::u16string_view text) {
  return Utf16ToUtf8(text.data(), text.size());
}

// UTF-16LE bytes of a file tag to UTF-8, up to the first U+0000 (tags carry
// a terminator and sometimes padding after it). An odd last byte, half a
// unit, becomes U+FFFD.
std::string Utf16LeToUtf8(std::string_view bytes);

}  // namespace clip
