// Code page 932 (Shift-JIS as Windows defines it) at the edges of the
// program: the list files, HTML pages, the settings file and the INFO lists
// of AVI files keep their bytes, while every text inside is UTF-8. The
// conversions give exactly what Windows' MultiByteToWideChar(932, 0) and
// WideCharToMultiByte(932, 0) with the default character '?' give, on any
// platform, so a catalogue written on Linux matches one written on Windows.
// Byte counts of the cells stay counts of their code page 932 form.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace clip {

// True when byte b starts a double-byte character.
inline bool IsCp932LeadByte(unsigned char b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// Code page 932 bytes to UTF-8. A lead byte followed by any byte but 0
// takes it as its trail byte; a pair that holds no character, and a lead
// byte at the end or before a 0, give U+30FB (the 0 stays a character of
// its own), as Windows does.
std::string Cp932ToUtf8(std::string_view bytes);

// UTF-8 to code page 932 bytes. A character code page 932 lacks takes its
// best-fit look-alike where Windows has one (U+00E9 becomes 'e') and '?'
// else; a character above U+FFFF becomes "??" (one '?' for each half of its
// UTF-16 surrogate pair) and a bad UTF-8 byte one '?'. When changed is given
// it receives the number of characters whose code page 932 form does not
// decode back to them.
std::string Utf8ToCp932(std::string_view utf8, std::size_t* changed = nullptr);
// The same into out, which has room for utf8.size() bytes (never too few);
// returns the number of bytes written. out may be utf8.data() itself: no
// character is written before it is read.
std::size_t Utf8ToCp932Into(std::string_view utf8, char* out, std::size_t* changed = nullptr);

// True when every character comes back from its code page 932 form (and the
// text is valid UTF-8).
bool FitsCp932(std::string_view utf8);
// The same for one character.
bool Cp932Holds(char32_t ch);

// Length in bytes of Utf8ToCp932(utf8), without building it.
std::size_t Cp932Length(std::string_view utf8);

// The longest prefix of utf8 that ends on a character boundary and whose
// code page 932 form takes at most maxBytes bytes.
std::string CutCp932(std::string_view utf8, std::size_t maxBytes);

// A key whose byte order is the order of the texts' code page 932 forms,
// compared byte by byte with a prefix first. A character code page 932
// holds gives its bytes (0xFF, the single byte of U+F8F3, is written FF 00);
// any other character gives FF 01 and its code point in three bytes, so
// that it sorts after every code page 932 character and by code point among
// its kind.
std::string Cp932SortKey(std::string_view utf8);
// The same into out, whose room is reused (a caller keying many texts).
void Cp932SortKeyInto(std::string_view utf8, std::string& out);

}  // namespace clip
