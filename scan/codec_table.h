// Codec names: the built-in descriptions used when no installed codec
// answers, the renaming rules that turn a description into the short name a
// row shows, the short names of the Windows codec codes that ASF and
// Matroska files carry, and the text formats of the probe fields.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace clip {

// The name a video codec gets when neither an installed codec nor the
// built-in table knows its handler code, and likewise for an audio format.
// It is spelt "Unknon", as the catalogues written so far show it: lists
// compared or sorted by it keep working.
extern const char kUnknownCodec[];

// A probe field holds at most 63 bytes of its code page 932 form; INFO
// values at most 255.
constexpr std::size_t kFieldMax = 63;
constexpr std::size_t kInfoValueMax = 255;

// A description for a video handler code (compared without regard to ASCII
// case), or empty when the table does not know it. Code 0 is uncompressed.
std::string BuiltInVideoDescription(std::uint32_t handler);
// A name for a wave format tag, or empty when the table does not know it.
std::string BuiltInAudioFormatName(std::uint16_t formatTag);

// Short video name from a codec description, by the first rule that fits:
// second-to-last byte 'V' gives "MPEG4 " and the last two bytes; 4th byte
// 'X' gives "DivX Low" (17th byte 'L') or "DivX Fast"; first byte 'I' gives
// "Indeo a.b" from the bytes around the first '.' (just "Indeo" when there
// is no byte on either side of it); first byte 'C' gives "Cinepak"; else the
// description itself.
std::string RenameVideoCodec(std::string_view description);
// Short audio name from a format name, tested on its last five bytes R:
// R[5] '3' MP3, R[2] 'u' DivX Audio, R[1] 'A' ADPCM, R[4] 'M' PCM,
// R[2] '6' GSM 6.10, else the name itself.
std::string RenameAudioFormat(std::string_view name);

// Short name of a BITMAPINFOHEADER compression code (a fourcc, compared
// without regard to case), such as "WMV3" or "VC-1", or as the built-in
// table's description renames it ("MPEG4 V3"); an unknown one as
// UnknownCodeName gives it, code 0 as empty.
std::string WindowsVideoName(std::uint32_t fourcc);
// Short name of a WAVEFORMATEX format tag, such as "WMA" or "MP3"; the tag as
// "0x" and four hex digits and " (unknown)" when it is not a known one.
std::string WindowsAudioName(std::uint16_t formatTag);
// A four-character code no table names, bytes in file order: "abcd
// (unknown)", a byte outside printable ASCII as two hex digits in brackets
// ("ms[00]U (unknown)"), trailing spaces dropped.
std::string UnknownCodeName(const std::uint8_t (&code)[4]);

// "%.2f" of a double.
std::string FormatFixed2(double value);
// Minutes and seconds with two-digit parts below ten minutes: 05:07, 95:07,
// 125:37. Minutes are not wrapped into hours.
std::string FormatPlayTime(std::int32_t seconds);

}  // namespace clip
