#include "settings/profile_win.h"

#include <windows.h>

#include <vector>

#include "catalogue/cp932.h"

namespace clip {

std::string IniProfile::GetString(std::string_view section, std::string_view key,
                                  std::string_view def, std::size_t bufferSize) {
  if (bufferSize == 0) return {};
  std::vector<char> buf(bufferSize + 1, '\0');
  std::string s(section), k(key), d(def);
  d = Utf8ToCp932(d);
  DWORD n = GetPrivateProfileStringA(s.c_str(), k.c_str(), d.c_str(), buf.data(),
                                     static_cast<DWORD>(bufferSize), Utf8ToCp932(path_).c_str());
  return Cp932ToUtf8(std::string_view(buf.data(), n));
}

int IniProfile::GetInt(std::string_view section, std::string_view key, int def) {
  std::string s(section), k(key);
  return static_cast<int>(GetPrivateProfileIntA(s.c_str(), k.c_str(), def, Utf8ToCp932(path_).c_str()));
}

bool IniProfile::WriteString(std::string_view section, std::string_view key,
                             std::string_view value) {
  std::string s(section), k(key), v = Utf8ToCp932(value);
  return WritePrivateProfileStringA(s.c_str(), k.c_str(), v.c_str(), Utf8ToCp932(path_).c_str()) != 0;
}

}  // namespace clip
