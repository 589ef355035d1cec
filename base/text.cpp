#include "base/text.h"

#include <algorithm>
#include <limits>

#include "catalogue/categories.h"
#include "base/cp932.h"
#include "catalogue/row_model.h"

namespace clip {

std::string RightText(std::string_view text, int count) {
  if (count <= 0) return {};
  std::size_t n = std::min(text.size(), static_cast<std::size_t>(count));
  return std::string(text.substr(text.size() - n));
}

std::string LeftText(std::string_view text, int count) {
  if (count <= 0) return {};
  return std::string(text.substr(0, std::min(text.size(), static_cast<std::size_t>(count))));
}

std::string MidText(std::string_view text, int start, int count) {
  long long len = static_cast<long long>(text.size());
  long long c = count == -1 ? len : count;
  long long first = static_cast<long long>(start) - 1;
  long long last = first + c;  // exclusive
  first = std::max(first, 0LL);
  last = std::min(last, len);
  if (last <= first) return {};
  return std::string(
      text.substr(static_cast<std::size_t>(first), static_cast<std::size_t>(last - first)));
}

namespace {

struct PathParts {
  std::string drive, dir, name, ext;
};

// Splits a path into drive, folder, name and extension. (No byte of a
// UTF-8 sequence is ever a separator or a point.)
PathParts SplitPath(std::string_view path) {
  PathParts p;
  std::size_t pos = 0;
  if (path.size() >= 2 && path[1] == ':' && static_cast<unsigned char>(path[0]) < 0x80) {
    p.drive = std::string(path.substr(0, 2));
    pos = 2;
  }
  std::size_t lastSep = std::string_view::npos, lastDot = std::string_view::npos;
  for (std::size_t i = pos; i < path.size(); ++i) {
    unsigned char b = static_cast<unsigned char>(path[i]);
    if (b == '\\' || b == '/') {
      lastSep = i;
      lastDot = std::string_view::npos;
    } else if (b == '.') {
      lastDot = i;
    }
  }
  std::size_t nameStart = lastSep == std::string_view::npos ? pos : lastSep + 1;
  p.dir = std::string(path.substr(pos, nameStart - pos));
  std::size_t nameEnd = lastDot == std::string_view::npos ? path.size() : lastDot;
  p.name = std::string(path.substr(nameStart, nameEnd - nameStart));
  p.ext = std::string(path.substr(nameEnd));
  return p;
}

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'z') return c - 'a' + 10;
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  return 99;
}

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace

std::string PathDirectory(std::string_view path) {
  PathParts p = SplitPath(path);
  std::string joined = p.drive + p.dir;
  if (!joined.empty()) joined.pop_back();
  return joined;
}

std::string PathFileName(std::string_view path) {
  PathParts p = SplitPath(path);
  return p.name + p.ext;
}

std::string GroupThousands(std::string_view digits) {
  std::size_t n = digits.size();
  if (n == 0) return {};
  std::size_t first = n % 3 == 0 ? 3 : n % 3;
  std::string out(digits.substr(0, first));
  for (std::size_t i = first; i < n; i += 3) {
    out += ',';
    out.append(digits.substr(i, 3));
  }
  return out;
}

std::int64_t ParseLongBase0_64(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int base = 10;
  if (i < text.size() && text[i] == '0') {
    if (i + 2 < text.size() + 0 && (text[i + 1] == 'x' || text[i + 1] == 'X') &&
        DigitValue(text[i + 2]) < 16) {
      base = 16;
      i += 2;
    } else {
      base = 8;
    }
  }
  // Accumulate as a negative number so that the minimum is representable.
  const std::int64_t lo = std::numeric_limits<std::int64_t>::min();
  std::int64_t acc = 0;
  bool saturated = false;
  for (; i < text.size(); ++i) {
    int d = DigitValue(text[i]);
    if (d >= base) break;
    if (saturated) continue;
    if (acc < (lo + d) / base) {
      saturated = true;
      continue;
    }
    acc = acc * base - d;
  }
  if (saturated) return negative ? lo : std::numeric_limits<std::int64_t>::max();
  if (!negative) return acc == lo ? std::numeric_limits<std::int64_t>::max() : -acc;
  return acc;
}

std::int32_t ParseLongBase0(std::string_view text) {
  std::int64_t v = ParseLongBase0_64(text);
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

std::int64_t ParseGroupedNumber(std::string_view text) {
  std::string copy;
  for (char c : text) {
    if (c == ',') continue;
    if (copy.size() == 31) break;
    copy += c;
  }
  return ParseLongBase0_64(copy);
}

float ParseTenths(std::string_view text) {
  float whole = static_cast<float>(ParseLongBase0_64(text));
  float tenth = static_cast<float>(ParseLongBase0_64(RightText(text, 1)));
  return whole + tenth / 10.0f;
}

std::int64_t AddKB(std::int64_t a, std::int64_t b) {
  std::int64_t sum = 0;
  if (__builtin_add_overflow(a, b, &sum))
    return b > 0 ? std::numeric_limits<std::int64_t>::max()
                 : std::numeric_limits<std::int64_t>::min();
  return sum;
}

std::string ColorToHtml(std::string_view hex) {
  std::string padded(hex);
  if (padded.size() < 6) padded.insert(0, 6 - padded.size(), '0');
  if (padded.size() > 6) padded = padded.substr(padded.size() - 6);
  return padded.substr(4, 2) + padded.substr(2, 2) + padded.substr(0, 2);
}

std::string CutCp932Bytes(std::string_view text, std::size_t maxBytes) {
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t step =
        IsCp932LeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
    if (step > maxBytes - i) break;
    i += step;
  }
  return std::string(text.substr(0, i));
}

bool EndsWithSeparator(std::string_view text) { return !text.empty() && text.back() == '\\'; }

bool IsPlainFileName(std::string_view name, char separator) {
  if (name.empty() || name == "." || name == "..") return false;
  for (char c : name) {
    if (c == separator) return false;
    if (separator != '\\') continue;
    if (static_cast<unsigned char>(c) < 0x20) return false;
    switch (c) {
      case '\\':
      case '/':
      case ':':
      case '*':
      case '?':
      case '"':
      case '<':
      case '>':
      case '|': return false;
      default: break;
    }
  }
  return true;
}

bool IsFullFolderPath(std::string_view folder, char separator) {
  if (separator != '\\') return !folder.empty() && folder[0] == separator;
  const auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
  if (folder.size() >= 2 && letter(folder[0]) && folder[1] == ':')
    return folder.size() == 2 || folder[2] == '\\';
  return folder.size() > 2 && folder[0] == '\\' && folder[1] == '\\';
}

bool EndsWithNoCase(std::string_view text, std::string_view ending3) {
  if (text.size() < ending3.size()) return false;
  std::string_view tail = text.substr(text.size() - ending3.size());
  for (std::size_t i = 0; i < tail.size(); ++i) {
    char a = tail[i], b = ending3[i];
    if (a >= 'a' && a <= 'z') a = static_cast<char>(a - 32);
    if (b >= 'a' && b <= 'z') b = static_cast<char>(b - 32);
    if (a != b) return false;
  }
  return true;
}

}  // namespace clip
