#include "catalogue/size_cells.h"

#include <limits>

#include "base/text.h"

namespace clip {

namespace {

constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
constexpr std::uint64_t kMegabyte = 1048576;
// More decimals than this are never written; 10^18 still fits the sums
// below.
constexpr int kMaxDecimals = 18;

bool IsSpace(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view t) {
  while (!t.empty() && IsSpace(t.front())) t.remove_prefix(1);
  while (!t.empty() && IsSpace(t.back())) t.remove_suffix(1);
  return t;
}

bool IsLetter(char c, char upper) { return c == upper || c == upper + 0x20; }

// Drops a trailing unit ("KB" or "MB", either case) and the spaces before it.
std::string_view DropUnit(std::string_view t, char first) {
  if (t.size() >= 2 && IsLetter(t[t.size() - 2], first) && IsLetter(t.back(), 'B'))
    t = Trim(t.substr(0, t.size() - 2));
  return t;
}

// Digits and "," up to the end or a "."; value gets the digits' number and
// digits their count. False for a number beyond 64 bits or a stray byte.
bool ReadDigits(std::string_view& t, std::uint64_t& value, int& digits) {
  value = 0;
  digits = 0;
  while (!t.empty() && t.front() != '.') {
    const char c = t.front();
    t.remove_prefix(1);
    if (c == ',') continue;
    if (c < '0' || c > '9') return false;
    if (value > (kMax - static_cast<std::uint64_t>(c - '0')) / 10) return false;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
    ++digits;
  }
  return true;
}

ByteRange Exact(std::uint64_t low, std::uint64_t high) { return ByteRange{low, high, true}; }

}  // namespace

ByteRange ParseSizeCell(std::string_view cell, int category) {
  std::string_view t = Trim(cell);
  if (category == FileSizeKB) t = DropUnit(t, 'K');
  if (category == FileSizeMB) t = DropUnit(t, 'M');
  std::uint64_t whole = 0;
  int digits = 0;
  if (!ReadDigits(t, whole, digits) || digits == 0) return {};
  if (category == FileSizeBT) return t.empty() ? Exact(whole, whole) : ByteRange{};
  if (category == FileSizeKB) {
    if (!t.empty() || whole > (kMax - 1023) / 1024) return {};
    return Exact(whole * 1024, whole * 1024 + 1023);
  }
  // 2^44 megabytes are all 64 bits can count; the bound also keeps the
  // sums below inside 128 bits.
  if (category != FileSizeMB || whole >= (std::uint64_t{1} << 44)) return {};

  // whole.fraction megabytes, rounded to the decimals written: the file
  // holds from half a last digit below to half a last digit above.
  std::uint64_t fraction = 0;
  int decimals = 0;
  if (!t.empty()) {
    t.remove_prefix(1);  // the "."
    if (!ReadDigits(t, fraction, decimals) || !t.empty() || decimals > kMaxDecimals) return {};
  }
  unsigned __int128 scale = 1;
  for (int i = 0; i < decimals; ++i) scale *= 10;
  // n tenths (or hundredths...) of a megabyte; bytes = n * 2^20 / scale.
  const unsigned __int128 n = static_cast<unsigned __int128>(whole) * scale + fraction;
  const unsigned __int128 twice = 2 * scale;
  const unsigned __int128 low =
      n == 0 ? 0 : ((2 * n - 1) * kMegabyte + twice - 1) / twice;    // rounded up
  const unsigned __int128 high = ((2 * n + 1) * kMegabyte) / twice;  // rounded down
  if (low > kMax) return {};
  return Exact(static_cast<std::uint64_t>(low),
               high > kMax ? kMax : static_cast<std::uint64_t>(high));
}

ByteRange RowByteRange(const RowModel& rows, const CategoryTable& table, int row) {
  for (int k : {FileSizeBT, FileSizeKB, FileSizeMB}) {
    if (table.IsOn(k)) return ParseSizeCell(rows.Cell(row, table.position[k]), k);
  }
  return {};
}

std::int64_t RowSizeKB(const RowModel& rows, const CategoryTable& table, int row) {
  std::string cell = LeftText(rows.Cell(row, 1), 31);
  auto dropUnit = [&](std::string_view unit) {
    if (cell.size() >= 2 && std::string_view(cell).substr(cell.size() - 2) == unit)
      cell.resize(cell.size() - 2);
  };
  if (table.IsOn(FileSizeBT)) return ParseGroupedNumber(cell) / 1024;
  if (table.IsOn(FileSizeMB)) {
    dropUnit("MB");
    // A loaded list may hold any number here; the kilobytes stay within
    // 64 bits.
    const double kb = static_cast<double>(ParseTenths(cell)) * 1024.0;
    constexpr double kLimit = 9.2e18;
    if (!(kb > -kLimit)) return -static_cast<std::int64_t>(kLimit);
    if (!(kb < kLimit)) return static_cast<std::int64_t>(kLimit);
    return static_cast<std::int64_t>(kb);
  }
  if (table.IsOn(FileSizeKB)) {
    dropUnit("KB");
    return ParseGroupedNumber(cell);
  }
  return 0;
}

}  // namespace clip
