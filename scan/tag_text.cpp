#include "scan/tag_text.h"

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

}  // namespace clip
