// The tables of code page 932 as Windows converts it, generated into
// cp932_table.cpp by tools/gen_cp932_table.py. Only cp932.cpp reads them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace clip {
namespace cp932_table {

// The character of each single byte; 0 for the lead bytes, which start a
// pair instead.
extern const std::uint16_t kSingleByte[256];

// One row per lead byte, 0x81-0x9F then 0xE0-0xFC, over the trail bytes
// 0x40-0xFC; 0 where the pair holds no character. Pairs outside the rows
// hold none either.
constexpr int kLeadRows = 60;
constexpr unsigned kFirstTrail = 0x40;
constexpr unsigned kLastTrail = 0xFC;
constexpr int kTrailCount = kLastTrail - kFirstTrail + 1;
extern const std::uint16_t kDoubleByte[kLeadRows][kTrailCount];

// Encodings that are not "the last code in byte order decoding to the
// character": the best-fit ones (a character written as a look-alike) and
// the duplicates where an earlier code is the one Windows writes.
struct EncodeOverride {
  std::uint16_t character;
  std::uint16_t code;  // a single byte, or lead << 8 | trail
};
extern const EncodeOverride kEncodeOverrides[];
extern const std::size_t kEncodeOverrideCount;

}  // namespace cp932_table
}  // namespace clip
