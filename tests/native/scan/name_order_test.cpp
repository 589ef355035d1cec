// The order NTFS lists a folder in: UTF-16 units compared after upper-casing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scan/name_order.h"

namespace clip::test {
namespace {

TEST(NtfsUpcase, FoldsTheSmallLettersOfEachScriptAndLeavesTheRest) {
  const char16_t pairs[][2] = {
      {u'a', u'A'},     {u'z', u'Z'},     {u'_', u'_'},     {u'0', u'0'},     {0xE9, 0xC9},
      {0xFF, 0x178},    {0xF7, 0xF7},     {0x101, 0x100},   {0x13A, 0x139},   {0x17E, 0x17D},
      {0x131, 0x131},   {0xB5, 0xB5},     {0x3C9, 0x3A9},   {0x3C2, 0x3C2},   {0x3AC, 0x386},
      {0x3CE, 0x38F},   {0x44F, 0x42F},   {0x451, 0x401},   {0xFF41, 0xFF21}, {0x3042, 0x3042},
      {0x30A2, 0x30A2}, {0x6F22, 0x6F22}, {0xD840, 0xD840}, {0x100, 0x100},   {0x3A9, 0x3A9}};
  for (const auto& p : pairs) EXPECT_EQ(NtfsUpcase(p[0]), p[1]) << std::hex << int(p[0]);
}

TEST(NtfsOrder, ComparesUpperCasedUnitsNotBytesOrCodePoints) {
  // Each name before the next.
  const std::vector<std::string> order = {
      ".",      "..",
      "!x.avi",  // after the dots, though "!" is below "."
      "10.avi",  // digits are not numbers: "10" before "9"
      "9.avi",  "abc.avi", "ABD.avi",
      "b.avi",  // "_" (0x5F) comes after every letter once they are capitals
      "Z.avi",  "_a.avi",
      "é.avi",  // É (0xC9)
      "ω.avi",  // Ω (0x3A9)
      "я.avi",  // Я (0x42F)
      "あ.avi", "ア.avi",  "漢字.avi",
      "𠀋.avi",  // a surrogate pair (0xD840...) before the full-width forms
      "ａ.avi",  // Ａ (0xFF21)
      "ｱ.avi"};  // half-width katakana 0xFF71
  for (std::size_t i = 0; i + 1 < order.size(); ++i) {
    EXPECT_LT(CompareNtfsNames(order[i], order[i + 1]), 0) << order[i] << " / " << order[i + 1];
    EXPECT_GT(CompareNtfsNames(order[i + 1], order[i]), 0) << order[i + 1] << " / " << order[i];
  }
  // Names equal but for case (a case-sensitive disk holds both) follow
  // their units: capitals first; only a name is equal to itself.
  EXPECT_LT(CompareNtfsNames("Movie.avi", "movie.avi"), 0);
  EXPECT_LT(CompareNtfsNames("MOVIE.AVI", "movie.avi"), 0);
  EXPECT_EQ(CompareNtfsNames("movie.avi", "movie.avi"), 0);
  // Bad UTF-8 still orders: two broken names that read alike by their bytes.
  EXPECT_LT(CompareNtfsNames("a\x80.avi", "a\x81.avi"), 0);

  std::vector<FileSystem::Entry> entries;
  for (auto it = order.rbegin(); it != order.rend(); ++it) entries.push_back({*it, 0x20});
  SortNtfsOrder(entries);
  std::vector<std::string> names;
  for (const auto& e : entries) names.push_back(e.name);
  EXPECT_EQ(names, order);
}

}  // namespace
}  // namespace clip::test
