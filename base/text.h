// Text helpers over the program's UTF-8 texts. Positions, counts and
// lengths are bytes. Rules that count the bytes of a text's code page 932
// form (cells, cuts, column widths) are in cp932.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace clip {

// The last count bytes (whole text when count exceeds it, empty when <= 0).
std::string RightText(std::string_view text, int count);
// The first count bytes.
std::string LeftText(std::string_view text, int count);
// count bytes from the 1-based position start; count -1 means the length.
// Positions outside the text contribute nothing.
std::string MidText(std::string_view text, int start, int count);
// Drive and folder of a path without the trailing separator.
std::string PathDirectory(std::string_view path);
// File name and extension of a path.
std::string PathFileName(std::string_view path);
// "," between groups of three characters counted from the right.
std::string GroupThousands(std::string_view digits);
// strtol-like conversion with base 0 after removing every ","; 64-bit so
// that the byte size of a file above 2 GiB reads back whole.
std::int64_t ParseGroupedNumber(std::string_view text);
// Integer part plus the last character as tenths digit.
float ParseTenths(std::string_view text);
// a + b, held at the 64-bit limits instead of wrapping (size cells of a
// loaded list can hold any number).
std::int64_t AddKB(std::int64_t a, std::int64_t b);
// Upper-case hex of a 0x00BBGGRR colour to the RRGGBB form of HTML.
std::string ColorToHtml(std::string_view hex);

// strtol(text, nullptr, 0) semantics, saturating at the 32-bit limits.
std::int32_t ParseLongBase0(std::string_view text);
// The same, saturating at the 64-bit limits.
std::int64_t ParseLongBase0_64(std::string_view text);

// The first maxBytes bytes at most of a text still in code page 932 bytes
// (read from a file), never ending inside a double-byte character (a lone
// lead byte at the very end is kept as the single byte it is).
std::string CutCp932Bytes(std::string_view bytes, std::size_t maxBytes);

// True when the last byte of text is a path separator.
bool EndsWithSeparator(std::string_view text);
// A folder that names its drive or share: "D:" (a drive's root as folder
// cells hold it), "D:\..." or "\\server\..."; with another separator
// (POSIX lists), one that starts with it. A loaded or hand-edited list may
// hold an empty or relative folder, which would point at a file of the same
// name somewhere else.
bool IsFullFolderPath(std::string_view folder, char separator = '\\');
// A name that stands for one file in its folder: not empty, not "." or "..",
// and without the separator; with the Windows separator, also without any
// character Windows refuses in a file name (/ : * ? " < > | and the control
// codes), so that no other folder or file stream can be named through it.
bool IsPlainFileName(std::string_view name, char separator = '\\');
// Last three bytes compared without regard to ASCII case.
bool EndsWithNoCase(std::string_view text, std::string_view ending3);

}  // namespace clip
