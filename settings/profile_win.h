// The settings file through the platform's private-profile functions.
#pragma once

#include <string>

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

}  // namespace clip
