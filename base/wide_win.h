// The UTF-16 of the wide Win32 calls: every text the program keeps is
// UTF-8 and becomes UTF-16 only in the call to a ...W function.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace clip {

// UTF-8 to the UTF-16 of a wide call.
std::wstring Wide(std::string_view utf8);
// UTF-16 from a wide call (length -1: up to the terminating zero) to UTF-8.
std::string Narrow(const wchar_t* text, int length = -1);
inline std::string Narrow(const std::wstring& text) {
  return Narrow(text.c_str(), static_cast<int>(text.size()));
}

// A path for the file functions: a full path longer than the classic limit
// gets the "\\?\" prefix ("\\?\UNC\" for a share), under which Windows takes
// paths of any length; other paths are only converted.
std::wstring WidePath(std::string_view utf8Path);

// A path as the program keeps it: full (against the current folder) and
// without "." or "..", so that folder cells name their files. A path that
// cannot be made full is kept as it came.
std::string FullPath(const std::string& path);

}  // namespace clip
