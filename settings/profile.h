// The three settings-file operations, with the semantics of the platform's
// private-profile functions: section and key names compare without regard
// to case, a missing key gives the default, a string read keeps at most
// bufferSize - 1 bytes, and a write replaces or adds one key.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace clip {

class Profile {
 public:
  virtual ~Profile() = default;
  virtual std::string GetString(std::string_view section, std::string_view key,
                                std::string_view def, std::size_t bufferSize) = 0;
  virtual int GetInt(std::string_view section, std::string_view key, int def) = 0;
  virtual bool WriteString(std::string_view section, std::string_view key,
                           std::string_view value) = 0;
};

// Colour text: "0x" and lower-case hex without leading zeros.
std::string ColorText(unsigned colour);
// Read back like strtol with base 0.
unsigned ParseColorText(std::string_view text);

}  // namespace clip
