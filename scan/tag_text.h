// Texts taken from container tags and codec identifiers, made safe for a
// row: tags become valid UTF-8 whatever the file holds, identifiers become
// short printable ASCII.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "scan/byte_reader.h"

namespace clip {

// A tag text is taken up to this many bytes of the file; longer ones are
// not a title or a comment anyone can read in a cell, and the cap keeps a
// hostile size field from costing memory.
constexpr std::size_t kTagTextMax = 64 * 1024;

// UTF-16 text (little- or big-endian) as UTF-8, up to the first U+0000.
// Surrogate pairs become one character; a lone surrogate becomes U+FFFD; an
// odd last byte is dropped.
std::string Utf8FromUtf16(ByteView bytes, bool bigEndian);

// UTF-8 text with every invalid, overlong or truncated sequence replaced by
// U+FFFD, up to the first NUL byte.
std::string CleanUtf8(ByteView bytes);

// A classic QuickTime text (a user-data entry such as "\xA9nam") by its
// language code: a Macintosh language (below 0x400) writes its own script,
// Mac Roman for most of them and Mac Japanese (close to code page 932) for
// code 11; packed ISO-639 codes write UTF-8. Bytes that are valid UTF-8 are
// taken as such whatever the code says (some tools write UTF-8 with code 0).
std::string QuickTimeText(ByteView bytes, std::uint16_t language);

// A codec identifier as the file spells it: printable ASCII up to the first
// NUL, other bytes as '?', trailing spaces dropped, at most 63 bytes.
std::string CodecIdText(ByteView bytes);

}  // namespace clip
