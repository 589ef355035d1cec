// A settings file in memory that also remembers the order of the writes.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "memory_profile.h"

namespace clip::test {

class RecordingProfile : public MemoryProfile {
 public:
  bool WriteString(std::string_view section, std::string_view key,
                   std::string_view value) override {
    log.emplace_back(std::string(section) + "/" + std::string(key), std::string(value));
    return MemoryProfile::WriteString(section, key, value);
  }
  std::vector<std::string> Keys() const {
    std::vector<std::string> keys;
    for (const auto& [k, v] : log) keys.push_back(k);
    return keys;
  }
  std::vector<std::pair<std::string, std::string>> log;
};

}  // namespace clip::test
