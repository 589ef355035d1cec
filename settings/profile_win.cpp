#include "settings/profile_win.h"

#include <windows.h>

#include <vector>

namespace clip {

std::string IniProfile::GetString(std::string_view section, std::string_view key,
                                  std::string_view def, std::size_t bufferSize) {
  if (bufferSize == 0) return {};
  std::vector<char> buf(bufferSize + 1, '\0');
  std::string s(section), k(key), d(def);
  DWORD n = GetPrivateProfileStringA(s.c_str(), k.c_str(), d.c_str(), buf.data(),
                                     static_cast<DWORD>(bufferSize), path_.c_str());
  return std::string(buf.data(), n);
}

int IniProfile::GetInt(std::string_view section, std::string_view key, int def) {
  std::string s(section), k(key);
  return static_cast<int>(GetPrivateProfileIntA(s.c_str(), k.c_str(), def, path_.c_str()));
}

bool IniProfile::WriteString(std::string_view section, std::string_view key,
                             std::string_view value) {
  std::string s(section), k(key), v(value);
  return WritePrivateProfileStringA(s.c_str(), k.c_str(), v.c_str(), path_.c_str()) != 0;
}

}  // namespace clip
