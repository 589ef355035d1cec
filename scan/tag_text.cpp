#include "scan/tag_text.h"

#include "base/cp932.h"

namespace clip {

namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr std::size_t kCodecIdMax = 63;

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

std::string Utf8FromUtf16(ByteView bytes, bool bigEndian) {
  bytes = bytes.Sub(0, kTagTextMax);
  std::string out;
  const std::size_t units = bytes.size() / 2;
  auto unit = [&](std::size_t i) -> char32_t {
    return bigEndian ? bytes.U16BE(2 * i) : bytes.U16(2 * i);
  };
  for (std::size_t i = 0; i < units; ++i) {
    char32_t c = unit(i);
    if (c == 0) break;
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < units && unit(i + 1) >= 0xDC00 &&
        unit(i + 1) < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (unit(i + 1) - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c < 0xE000) {
      c = kReplacement;
    }
    AppendUtf8(out, c);
  }
  return out;
}

std::string CleanUtf8(ByteView bytes) {
  bytes = bytes.Sub(0, kTagTextMax);
  std::string out;
  std::size_t i = 0;
  const std::size_t n = bytes.size();
  while (i < n) {
    const std::uint8_t b = bytes.U8(i);
    if (b == 0) break;
    if (b < 0x80) {
      out += static_cast<char>(b);
      ++i;
      continue;
    }
    // Length and smallest value of the sequence a lead byte starts; the
    // smallest value rules out overlong forms.
    std::size_t len = 0;
    char32_t c = 0, least = 0;
    if (b >= 0xC2 && b < 0xE0) {
      len = 2, c = b & 0x1F, least = 0x80;
    } else if (b >= 0xE0 && b < 0xF0) {
      len = 3, c = b & 0x0F, least = 0x800;
    } else if (b >= 0xF0 && b < 0xF5) {
      len = 4, c = b & 0x07, least = 0x10000;
    }
    std::size_t k = 1;
    while (len && k < len && i + k < n && (bytes.U8(i + k) & 0xC0) == 0x80) {
      c = (c << 6) | (bytes.U8(i + k) & 0x3F);
      ++k;
    }
    if (len && k == len && c >= least && c < 0x110000 && !(c >= 0xD800 && c < 0xE000)) {
      out.append(reinterpret_cast<const char*>(bytes.data() + i), len);
    } else {
      AppendUtf8(out, kReplacement);  // the bytes read so far stand for one bad sequence
    }
    i += k;
  }
  return out;
}

std::string CodecIdText(ByteView bytes) {
  std::string out;
  for (std::size_t i = 0; i < bytes.size() && out.size() < kCodecIdMax; ++i) {
    const std::uint8_t b = bytes.U8(i);
    if (b == 0) break;
    out += b >= 0x20 && b < 0x7F ? static_cast<char>(b) : '?';
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

namespace {

// Mac Roman's upper half, 0x80 to 0xFF.
constexpr char16_t kMacRoman[128] = {
    0x00C4, 0x00C5, 0x00C7, 0x00C9, 0x00D1, 0x00D6, 0x00DC, 0x00E1, 0x00E0, 0x00E2, 0x00E4, 0x00E3,
    0x00E5, 0x00E7, 0x00E9, 0x00E8, 0x00EA, 0x00EB, 0x00ED, 0x00EC, 0x00EE, 0x00EF, 0x00F1, 0x00F3,
    0x00F2, 0x00F4, 0x00F6, 0x00F5, 0x00FA, 0x00F9, 0x00FB, 0x00FC, 0x2020, 0x00B0, 0x00A2, 0x00A3,
    0x00A7, 0x2022, 0x00B6, 0x00DF, 0x00AE, 0x00A9, 0x2122, 0x00B4, 0x00A8, 0x2260, 0x00C6, 0x00D8,
    0x221E, 0x00B1, 0x2264, 0x2265, 0x00A5, 0x00B5, 0x2202, 0x2211, 0x220F, 0x03C0, 0x222B, 0x00AA,
    0x00BA, 0x03A9, 0x00E6, 0x00F8, 0x00BF, 0x00A1, 0x00AC, 0x221A, 0x0192, 0x2248, 0x2206, 0x00AB,
    0x00BB, 0x2026, 0x00A0, 0x00C0, 0x00C3, 0x00D5, 0x0152, 0x0153, 0x2013, 0x2014, 0x201C, 0x201D,
    0x2018, 0x2019, 0x00F7, 0x25CA, 0x00FF, 0x0178, 0x2044, 0x20AC, 0x2039, 0x203A, 0xFB01, 0xFB02,
    0x2021, 0x00B7, 0x201A, 0x201E, 0x2030, 0x00C2, 0x00CA, 0x00C1, 0x00CB, 0x00C8, 0x00CD, 0x00CE,
    0x00CF, 0x00CC, 0x00D3, 0x00D4, 0xF8FF, 0x00D2, 0x00DA, 0x00DB, 0x00D9, 0x0131, 0x02C6, 0x02DC,
    0x00AF, 0x02D8, 0x02D9, 0x02DA, 0x00B8, 0x02DD, 0x02DB, 0x02C7};

constexpr std::uint16_t kMacJapanese = 11;
constexpr std::uint16_t kFirstPackedLanguage = 0x400;

}  // namespace

std::string QuickTimeText(ByteView bytes, std::uint16_t language) {
  bytes = bytes.Sub(0, kTagTextMax);
  std::size_t n = 0;
  while (n < bytes.size() && bytes.U8(n) != 0) ++n;
  const std::string raw(reinterpret_cast<const char*>(bytes.data()), n);
  std::string utf8 = CleanUtf8(bytes);
  if (language >= kFirstPackedLanguage || utf8 == raw) return utf8;
  if (language == kMacJapanese) return Cp932ToUtf8(raw);
  std::string out;
  for (unsigned char b : raw)
    AppendUtf8(out,
               b < 0x80 ? static_cast<char32_t>(b) : static_cast<char32_t>(kMacRoman[b - 0x80]));
  return out;
}

}  // namespace clip
