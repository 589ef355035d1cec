// The settings file's reader and writer over arbitrary bytes. The first
// four bytes choose the section, key, value and buffer size; the rest is
// the file. Checks that a read keeps to its buffer and, for files without
// NUL bytes, that a written value reads back and that writing it again
// changes nothing. (A NUL ends a name, and can leave blanks at its end
// that the rewritten file then drops, as the platform's rewrite does: the
// name changes.)
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/cp932.h"
#include "settings/ini_file.h"

namespace {

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

bool StartsUtf16(std::string_view b) {
  return b.size() >= 2 &&
         ((b[0] == '\xFF' && b[1] == '\xFE') || (b[0] == '\xFE' && b[1] == '\xFF'));
}

// Names with and without blanks and case; values of code page 932 and of
// text it lacks.
const char* const kSections[] = {"S", "s", " T ", "Customize", u8"\u8A2D\u5B9A"};
const char* const kKeys[] = {"a", "A", " b ", "", "AutoScan"};
const char* const kValues[] = {"1",
                               "D:\\Movies",
                               u8"\u3042\u30BD\u8868",
                               u8"\uD55C\uAD6D\uC601\uD654",
                               u8"caf\u00E9 \U0001F600",
                               "  lead"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  const std::string section = kSections[data[0] % 5];
  const std::string key = kKeys[data[1] % 5];
  const std::string value = kValues[data[2] % 6];
  const std::size_t buffer = data[3];
  const bool present = data[0] & 0x80;
  const std::string_view bytes(reinterpret_cast<const char*>(data + 4), size - 4);

  const std::string read = clip::IniGetString(bytes, present, section, key, "def", buffer);
  Check(buffer == 0 ? read.empty() : clip::Cp932Length(read) <= buffer - 1);
  (void)clip::IniGetInt(bytes, present, section, key, 7);

  std::string written;
  if (bytes.find('\0') != std::string_view::npos) {
    (void)clip::IniWithValue(bytes, present, section, key, value, written);
    return 0;
  }
  if (!clip::IniWithValue(bytes, present, section, key, value, written)) return 0;
  // The rewrite drops blank lines, so the single-byte characters FE FF can
  // come first and make the file UTF-16, for the platform as well.
  if (StartsUtf16(written) != StartsUtf16(bytes)) return 0;
  const std::string expected = value.substr(value.find_first_not_of(' '));
  Check(clip::IniGetString(written, true, section, key, "def", 1024) == expected);
  std::string again;
  Check(!clip::IniWithValue(written, true, section, key, value, again));
  return 0;
}
