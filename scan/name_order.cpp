#include "scan/name_order.h"

#include <algorithm>
#include <cstddef>

#include "base/unicode.h"

namespace clip {

char16_t NtfsUpcase(char16_t u) {
  if (u < 0x80) return static_cast<unsigned>(u - u'a') < 26u ? static_cast<char16_t>(u - 0x20) : u;
  if (u < 0x100) {
    if (u == 0xFF) return 0x178;                  // ÿ
    if (u >= 0xE0 && u != 0xF7) return u - 0x20;  // U+00F7 is the division sign
    return u;
  }
  if (u < 0x180) {
    // İ, ı, ĸ, ŉ and ſ have no partner in this block.
    if (u == 0x130 || u == 0x131 || u == 0x138 || u == 0x149 || u == 0x17F) return u;
    // Capitals stand on an odd unit in these two runs, on an even one
    // elsewhere in the block; the small letter follows its capital.
    const bool oddFirst = (u >= 0x139 && u <= 0x148) || (u >= 0x179 && u <= 0x17E);
    return ((u & 1) != 0) == oddFirst ? u : static_cast<char16_t>(u - 1);
  }
  if (u >= 0x3AC && u <= 0x3CE) {
    if (u == 0x3AC) return 0x386;
    if (u <= 0x3AF) return u - 0x25;  // έ ή ί
    if (u == 0x3B0) return u;         // ΰ has no single capital
    if (u == 0x3C2) return u;         // final sigma, as Windows leaves it
    if (u <= 0x3CB) return u - 0x20;
    if (u == 0x3CC) return 0x38C;
    return u - 0x3F;  // ύ ώ
  }
  if (u >= 0x430 && u <= 0x44F) return u - 0x20;
  if (u >= 0x450 && u <= 0x45F) return u - 0x50;
  if (u >= 0xFF41 && u <= 0xFF5A) return u - 0x20;  // full-width a..z
  return u;
}

std::u16string NtfsSortKey(std::string_view utf8) {
  std::u16string key = Utf8ToUtf16(utf8);
  for (char16_t& u : key) u = NtfsUpcase(u);
  return key;
}

namespace {

int CompareUnits(const std::u16string& a, const std::u16string& b) {
  const int c = a.compare(b);  // char16_t compares as unsigned units
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}

int CompareTies(std::string_view a, std::string_view b) {
  if (int c = CompareUnits(Utf8ToUtf16(a), Utf8ToUtf16(b))) return c;
  return a.compare(b) < 0 ? -1 : a == b ? 0 : 1;
}

// "." and ".." ahead of every name.
int DotRank(std::string_view name) { return name == "." ? 0 : name == ".." ? 1 : 2; }

}  // namespace

int CompareNtfsNames(std::string_view a, std::string_view b) {
  if (DotRank(a) != DotRank(b)) return DotRank(a) < DotRank(b) ? -1 : 1;
  if (int c = CompareUnits(NtfsSortKey(a), NtfsSortKey(b))) return c;
  return CompareTies(a, b);
}

void SortNtfsOrder(std::vector<FileSystem::Entry>& entries) {
  // Each key is made once; a folder of many files is sorted without
  // converting a name per comparison.
  struct Keyed {
    int rank;
    std::u16string key;
    std::size_t index;
  };
  std::vector<Keyed> keyed;
  keyed.reserve(entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i)
    keyed.push_back({DotRank(entries[i].name), NtfsSortKey(entries[i].name), i});
  std::sort(keyed.begin(), keyed.end(), [&](const Keyed& x, const Keyed& y) {
    if (x.rank != y.rank) return x.rank < y.rank;
    if (int c = CompareUnits(x.key, y.key)) return c < 0;
    return CompareTies(entries[x.index].name, entries[y.index].name) < 0;
  });
  std::vector<FileSystem::Entry> sorted;
  sorted.reserve(entries.size());
  for (const Keyed& k : keyed) sorted.push_back(std::move(entries[k.index]));
  entries.swap(sorted);
}

}  // namespace clip
