#include "base/wide_win.h"

#include "base/unicode.h"

namespace clip {

std::wstring Wide(std::string_view utf8) {
  const std::u16string u = Utf8ToUtf16(utf8);
  return std::wstring(u.begin(), u.end());
}

std::string Narrow(const wchar_t* text, int length) {
  if (!text) return {};
  const std::size_t n = length < 0 ? wcslen(text) : static_cast<std::size_t>(length);
  return Utf16ToUtf8(reinterpret_cast<const char16_t*>(text), n);
}

std::wstring WidePath(std::string_view utf8Path) {
  std::wstring path = Wide(utf8Path);
  // Below this the classic functions take the path as it is (a folder's
  // listing pattern adds a few characters of its own).
  constexpr std::size_t kClassicLimit = MAX_PATH - 12;
  if (path.size() < kClassicLimit || path.rfind(L"\\\\?\\", 0) == 0) return path;
  for (wchar_t& c : path)
    if (c == L'/') c = L'\\';
  if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\') return L"\\\\?\\" + path;
  if (path.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + path.substr(2);
  return path;
}

std::string FullPath(const std::string& path) {
  const std::wstring wide = Wide(path);
  DWORD n = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (n == 0) return path;
  std::wstring full(n, L'\0');
  n = GetFullPathNameW(wide.c_str(), n, full.data(), nullptr);
  if (n == 0 || n >= full.size()) return path;
  full.resize(n);
  return Narrow(full);
}

}  // namespace clip
