// The order in which Windows lists a folder on NTFS (and Wine any folder):
// names compared by UTF-16 code unit after each unit is upper-cased. The
// POSIX file system lists in this order, so that the command line on Linux
// and the window give the same rows for the same folder on every disk.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "scan/scan.h"

namespace clip {

// One UTF-16 unit in upper case: ASCII, Latin-1, Latin Extended-A, basic
// Greek and Cyrillic and the full-width Latin letters, as Windows (and
// Wine) upper-case them: the micro sign, final sigma, ı and ſ stay as they
// are. Every other unit (kana, kanji, surrogates) has no case.
char16_t NtfsUpcase(char16_t unit);

// The key a name sorts by: its UTF-16 units, each upper-cased.
std::u16string NtfsSortKey(std::string_view utf8);

// Negative, zero or positive as a comes before, with or after b. Names
// that differ only in case (a case-sensitive disk may hold both) follow by
// their units as they are, then by their bytes, so no two names tie.
int CompareNtfsNames(std::string_view a, std::string_view b);

// Sorts a folder's entries into that order, "." and ".." first as NTFS
// gives them.
void SortNtfsOrder(std::vector<FileSystem::Entry>& entries);

}  // namespace clip
