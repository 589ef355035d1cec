#include "scan/codec_table.h"

#include <cstdio>

#include "base/text.h"
#include "scan/byte_reader.h"
#include "scan/tag_text.h"

namespace clip {

const char kUnknownCodec[] = "Unknon";

namespace {

struct VideoEntry {
  char code[5];  // upper-case
  const char* description;
};

// Descriptions are chosen so that the renaming rules give the names a user
// knows: a trailing "V2"/"V3" gives MPEG4 V2/V3, a DivX ;-) description with
// "Low" or "Fast" at byte 17 gives DivX Low/Fast, "Intel Indeo(R) Video R3.2"
// gives Indeo 3.2, a description starting with "C" gives Cinepak; the others
// pass the rules unchanged.
constexpr VideoEntry kVideo[] = {
    {"DIV3", "DivX ;-) MPEG-4 Low-Motion"},
    {"DIV4", "DivX ;-) MPEG-4 Fast-Motion"},
    {"DIV5", "DivX ;-) MPEG-4 Low-Motion"},
    {"DIV6", "DivX ;-) MPEG-4 Fast-Motion"},
    {"MP43", "Microsoft MPEG-4 Video Codec V3"},
    {"MPG3", "Microsoft MPEG-4 Video Codec V3"},
    {"COL1", "Microsoft MPEG-4 Video Codec V3"},
    {"AP41", "Microsoft MPEG-4 Video Codec V3"},
    {"MP42", "Microsoft MPEG-4 Video Codec V2"},
    {"DIV2", "Microsoft MPEG-4 Video Codec V2"},
    {"MP41", "Microsoft MPEG-4 Video Codec V1"},
    {"MPG4", "Microsoft MPEG-4 Video Codec V1"},
    {"DIV1", "Microsoft MPEG-4 Video Codec V1"},
    {"M4S2", "Microsoft MPEG-4 Video Codec (ISO)"},
    {"MP4S", "Microsoft MPEG-4 Video Codec (ISO)"},
    {"DIVX", "MPEG-4 DivX 4"},
    {"DX50", "MPEG-4 DivX 5"},
    {"XVID", "MPEG-4 Xvid"},
    {"FMP4", "MPEG-4 FFmpeg"},
    {"FFDS", "MPEG-4 FFmpeg"},
    {"3IV2", "MPEG-4 3ivx"},
    {"MP4V", "MPEG-4 Simple Profile"},
    {"H264", "H.264 AVC Video"},
    {"X264", "H.264 AVC Video"},
    {"AVC1", "H.264 AVC Video"},
    {"DAVC", "H.264 AVC Video"},
    {"MJPG", "Motion JPEG"},
    {"AVRN", "Motion JPEG"},
    {"LJPG", "Lossless JPEG"},
    {"CVID", "Cinepak Codec by Radius"},
    {"IV31", "Intel Indeo(R) Video R3.1"},
    {"IV32", "Intel Indeo(R) Video R3.2"},
    {"IV41", "Intel Indeo(R) Video 4.5"},
    {"IV50", "Indeo(R) video 5.10"},
    {"CRAM", "Microsoft Video 1"},
    {"MSVC", "Microsoft Video 1"},
    {"WHAM", "Microsoft Video 1"},
    {"MRLE", "Microsoft RLE"},
    {"WMV1", "Windows Media Video 7"},
    {"WMV2", "Windows Media Video 8"},
    {"WMV3", "Windows Media Video 9"},
    {"MPEG", "MPEG-1 Video"},
    {"MPG1", "MPEG-1 Video"},
    {"MPG2", "MPEG-2 Video"},
    {"DVSD", "DV Video"},
    {"CDVC", "DV Video"},
    {"HFYU", "Huffyuv lossless"},
    {"YUY2", "YUY2 4:2:2 Uncompressed"},
    {"UYVY", "UYVY 4:2:2 Uncompressed"},
    {"YV12", "YV12 4:2:0 Uncompressed"},
    {"I420", "Planar I420 Uncompressed"},
    {"VP60", "On2 VP6"},
    {"VP62", "On2 VP6"},
    {"DIB ", "Full Frames (Uncompressed)"},
    {"RGB ", "Full Frames (Uncompressed)"},
    {"RAW ", "Full Frames (Uncompressed)"},
};

struct AudioEntry {
  std::uint16_t tag;
  const char* name;
};

// Names as the compression manager gives them where one exists, else
// chosen so that the renaming rules leave them readable (a name ending in
// "3", "Audio", "A..." or "...M." would be renamed).
constexpr AudioEntry kAudio[] = {
    {0x0001, "PCM"},
    {0x0002, "Microsoft ADPCM"},
    {0x0003, "IEEE Float"},
    {0x0006, "A-Law (G.711)"},
    {0x0007, "u-Law (G.711)"},
    {0x0011, "IMA ADPCM"},
    {0x0022, "TrueSpeech"},
    {0x0031, "GSM 6.10"},
    {0x0040, "G.721 ADPCM"},
    {0x0050, "MP2"},
    {0x0055, "MPEG Layer-3"},
    {0x0092, "Dolby AC-3 SPDIF"},
    {0x00FF, "MPEG-4 AAC"},
    {0x0130, "ACELP.net"},
    {0x0160, "Windows Media Audio V1"},
    {0x0161, "DivX ;-) Audio"},
    {0x0162, "Windows Media Audio Pro"},
    {0x0163, "Windows Media Audio Lossless"},
    {0x2000, "AC-3 Dolby Digital"},
    {0x2001, "DTS Digital Surround"},
    {0x674F, "Ogg Vorbis"},
    {0xFFFE, "Extensible"},
};

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

}  // namespace

std::string BuiltInVideoDescription(std::uint32_t handler) {
  // Codes below 4 are the BITMAPINFOHEADER compressions BI_RGB, BI_RLE8,
  // BI_RLE4 and BI_BITFIELDS, used when a stream names no handler.
  if (handler == 0 || handler == 3) return "Full Frames (Uncompressed)";
  if (handler == 1 || handler == 2) return "Microsoft RLE";
  char code[4];
  for (int i = 0; i < 4; ++i) code[i] = Upper(static_cast<char>((handler >> (8 * i)) & 0xFF));
  for (const VideoEntry& e : kVideo) {
    if (e.code[0] == code[0] && e.code[1] == code[1] && e.code[2] == code[2] &&
        e.code[3] == code[3])
      return e.description;
  }
  return "";
}

std::string BuiltInAudioFormatName(std::uint16_t formatTag) {
  for (const AudioEntry& e : kAudio)
    if (e.tag == formatTag) return e.name;
  return "";
}

std::string RenameVideoCodec(std::string_view d) {
  const std::size_t n = d.size();
  if (n >= 2 && d[n - 2] == 'V') return "MPEG4 " + std::string(d.substr(n - 2));
  if (n >= 4 && d[3] == 'X') return (n >= 17 && d[16] == 'L') ? "DivX Low" : "DivX Fast";
  if (n >= 1 && d[0] == 'I') {
    std::size_t p = d.find('.');
    // Without a point there is no version to show. d[0] is 'I', so p is
    // never 0; a point at the very end shows the digit before it alone.
    if (p == std::string_view::npos) return "Indeo";
    std::string out = "Indeo ";
    out += d[p - 1];
    out += '.';
    if (p + 1 < n) out += d[p + 1];
    return out;
  }
  if (n >= 1 && d[0] == 'C') return "Cinepak";
  return std::string(d);
}

std::string RenameAudioFormat(std::string_view name) {
  std::string_view r = name.size() > 5 ? name.substr(name.size() - 5) : name;
  if (r.size() >= 5 && r[4] == '3') return "MP3";
  if (r.size() >= 2 && r[1] == 'u') return "DivX Audio";
  if (r.size() >= 1 && r[0] == 'A') return "ADPCM";
  if (r.size() >= 4 && r[3] == 'M') return "PCM";
  if (r.size() >= 2 && r[1] == '6') return "GSM 6.10";
  return std::string(name);
}

std::string WindowsVideoName(std::uint32_t fourcc) {
  std::uint8_t c[4];
  for (int i = 0; i < 4; ++i) {
    std::uint8_t b = static_cast<std::uint8_t>(fourcc >> (8 * i));
    c[i] = b >= 'a' && b <= 'z' ? static_cast<std::uint8_t>(b - 32) : b;
  }
  const std::uint32_t upper =
      c[0] | (c[1] << 8) | (c[2] << 16) | (static_cast<std::uint32_t>(c[3]) << 24);
  struct Name {
    char code[5];
    const char* name;
  };
  static const Name kNames[] = {{"WMV1", "WMV1"},
                                {"WMV2", "WMV2"},
                                {"WMV3", "WMV3"},
                                {"WVC1", "VC-1"},
                                {"WMVA", "VC-1"},
                                {"MP4S", "MPEG-4 Visual"},
                                {"M4S2", "MPEG-4 Visual"},
                                {"MP4V", "MPEG-4 Visual"},
                                {"XVID", "MPEG-4 Visual"},
                                {"DIVX", "MPEG-4 Visual"},
                                {"DX50", "MPEG-4 Visual"},
                                {"FMP4", "MPEG-4 Visual"},
                                {"H264", "H.264"},
                                {"AVC1", "H.264"},
                                {"X264", "H.264"},
                                {"HEVC", "H.265"},
                                {"H265", "H.265"},
                                {"MJPG", "MJPEG"},
                                {"VP80", "VP8"},
                                {"VP90", "VP9"},
                                {"AV01", "AV1"},
                                // Windows Media Video 9 Screen and Image.
                                {"MSS1", "WMV Screen"},
                                {"MSS2", "WMV9 Screen"},
                                {"WMVP", "WMV9 Image"},
                                {"WVP2", "WMV9 Image v2"},
                                {"WMVR", "VC-1"},
                                {"AVRN", "MJPEG"},
                                {"FFV1", "FFV1"},
                                {"THEO", "Theora"},
                                {"VP30", "VP3"},
                                {"VP31", "VP3"},
                                {"VP60", "VP6"},
                                {"VP61", "VP6"},
                                {"VP62", "VP6"},
                                {"VP6F", "VP6"},
                                {"VP70", "VP7"},
                                {"DVSD", "DV"},
                                {"DV25", "DV"},
                                {"DV50", "DV"},
                                {"CDVC", "DV"},
                                {"DVHD", "DV"},
                                {"DVSL", "DV"},
                                {"MPG1", "MPEG1"},
                                {"MPG2", "MPEG2"},
                                {"HFYU", "Huffyuv"},
                                {"DRAC", "Dirac"},
                                {"CFHD", "CineForm"},
                                {"TSCC", "TechSmith"},
                                {"FPS1", "Fraps"},
                                {"ZMBV", "ZMBV"},
                                {"IYUV", "Uncompressed"}};
  for (const Name& n : kNames)
    if (upper == FourCC(n.code)) return n.name;
  if (fourcc == 0) return "";
  // The codes the built-in table describes for AVI files, named as there
  // (MP43 is MPEG4 V3, IV32 Indeo 3.2).
  const std::string description = BuiltInVideoDescription(fourcc);
  if (!description.empty()) return RenameVideoCodec(description);
  std::uint8_t raw[4];
  for (int i = 0; i < 4; ++i) raw[i] = static_cast<std::uint8_t>(fourcc >> (8 * i));
  return UnknownCodeName(raw);
}

std::string WindowsAudioName(std::uint16_t formatTag) {
  switch (formatTag) {
    case 0x0001:
    case 0x0003: return "PCM";
    case 0x0002:
    case 0x0011:
    case 0x0040:
    case 0x0064:
    case 0x0200: return "ADPCM";
    case 0x0006: return "A-Law";
    case 0x0007: return "u-Law";
    case 0x0008:
    case 0x2001: return "DTS";
    case 0x000A: return "WMA Voice";
    case 0x0022: return "TrueSpeech";
    case 0x0031:
    case 0x0032: return "GSM 6.10";
    case 0x0042: return "G.723.1";
    case 0x0050: return "MP2";
    case 0x0055: return "MP3";
    case 0x0075: return "Voxware";
    case 0x00FF:
    case 0x1602:
    case 0x1610:
    case 0x4143:
    case 0xA106: return "AAC";
    case 0x0130: return "ACELP.net";
    case 0x0160:
    case 0x0161:
    case 0x0162:
    case 0x0163: return "WMA";
    case 0x0270: return "ATRAC3";
    case 0x0092:
    case 0x2000: return "AC-3";
    case 0x566F:
    case 0x674F:
    case 0x6750:
    case 0x6751:
    case 0x676F:
    case 0x6770:
    case 0x6771: return "Vorbis";
    case 0x704F: return "Opus";
    case 0xA109: return "Speex";
    case 0xF1AC: return "FLAC";
  }
  char text[24];
  std::snprintf(text, sizeof text, "0x%04X (unknown)", formatTag);
  return text;
}

std::string UnknownCodeName(const std::uint8_t (&code)[4]) {
  std::string out;
  for (std::uint8_t b : code) {
    if (b > 0x20 && b < 0x7F) {
      out += static_cast<char>(b);
    } else if (b == ' ') {
      out += ' ';
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "[%02X]", b);
      out += hex;
    }
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out + " (unknown)";
}

std::string FormatFixed2(double value) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.2f", value);
  return buf;
}

std::string FormatPlayTime(std::int32_t seconds) {
  std::int32_t m = seconds / 60, s = seconds % 60;
  char buf[32];
  if (m < 10 && s < 10)
    std::snprintf(buf, sizeof buf, "0%d:0%d", static_cast<int>(m), static_cast<int>(s));
  else if (m < 10)
    std::snprintf(buf, sizeof buf, "0%d:%d", static_cast<int>(m), static_cast<int>(s));
  else if (s < 10)
    std::snprintf(buf, sizeof buf, "%d:0%d", static_cast<int>(m), static_cast<int>(s));
  else
    std::snprintf(buf, sizeof buf, "%d:%d", static_cast<int>(m), static_cast<int>(s));
  return buf;
}

}  // namespace clip
