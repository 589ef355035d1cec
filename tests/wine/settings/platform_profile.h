// The settings file through the platform's private-profile functions, the
// reference the program's own IniFile is compared with (under code page
// 932, texts converted between UTF-8 and code page 932).
#pragma once

#include <string>

#include <windows.h>

#include <vector>

#include "base/cp932.h"
#include "settings/profile.h"

namespace clip {

class IniProfile : public Profile {
 public:
  explicit IniProfile(std::string path) : path_(std::move(path)) {}
  std::string GetString(std::string_view section, std::string_view key, std::string_view def,
                        std::size_t bufferSize) override;
  int GetInt(std::string_view section, std::string_view key, int def) override;
  bool WriteString(std::string_view section, std::string_view key, std::string_view value) override;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

inline std::string IniProfile::GetString(std::string_view section, std::string_view key,
                                         std::string_view def, std::size_t bufferSize) {
  if (bufferSize == 0) return {};
  std::vector<char> buf(bufferSize + 1, '\0');
  std::string s(section), k(key), d(def);
  d = Utf8ToCp932(d);
  DWORD n = GetPrivateProfileStringA(s.c_str(), k.c_str(), d.c_str(), buf.data(),
                                     static_cast<DWORD>(bufferSize), Utf8ToCp932(path_).c_str());
  // The count can include a character cut in half and its NUL: measure.
  return Cp932ToUtf8(std::string_view(buf.data(), strnlen(buf.data(), n)));
}

inline int IniProfile::GetInt(std::string_view section, std::string_view key, int def) {
  std::string s(section), k(key);
  return static_cast<int>(
      GetPrivateProfileIntA(s.c_str(), k.c_str(), def, Utf8ToCp932(path_).c_str()));
}

inline bool IniProfile::WriteString(std::string_view section, std::string_view key,
                                    std::string_view value) {
  std::string s(section), k(key), v = Utf8ToCp932(value);
  return WritePrivateProfileStringA(s.c_str(), k.c_str(), v.c_str(), Utf8ToCp932(path_).c_str()) !=
         0;
}

}  // namespace clip
