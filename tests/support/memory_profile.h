// A settings file held in memory, with the semantics of the platform's
// private-profile functions that the program relies on.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "settings/profile.h"

namespace clip {

class MemoryProfile : public Profile {
 public:
  std::string GetString(std::string_view section, std::string_view key, std::string_view def,
                        std::size_t bufferSize) override {
    auto it = values_.find(Fold(section) + '\n' + Fold(key));
    std::string v(it == values_.end() ? def : std::string_view(it->second));
    if (bufferSize == 0) return {};
    if (v.size() > bufferSize - 1) v.resize(bufferSize - 1);
    return v;
  }
  int GetInt(std::string_view section, std::string_view key, int def) override {
    auto it = values_.find(Fold(section) + '\n' + Fold(key));
    if (it == values_.end() || it->second.empty()) return def;
    // Decimal only, as the platform reads integer keys.
    const std::string& s = it->second;
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    bool neg = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) neg = s[i++] == '-';
    long long v = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
      v = v * 10 + (s[i] - '0');
      if (v > 0xFFFFFFFFLL) v = 0xFFFFFFFFLL;
    }
    return static_cast<int>(neg ? -v : v);
  }
  bool WriteString(std::string_view section, std::string_view key,
                   std::string_view value) override {
    values_[Fold(section) + '\n' + Fold(key)] = std::string(value);
    ++writes;
    return true;
  }
  bool Has(std::string_view section, std::string_view key) const {
    return values_.count(Fold(section) + '\n' + Fold(key)) != 0;
  }
  int writes = 0;

 private:
  static std::string Fold(std::string_view s) {
    std::string out(s);
    for (char& c : out)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return out;
  }
  std::map<std::string, std::string> values_;  // "section\nkey" folded -> value
};

}  // namespace clip
