// The settings file read and written by the program's own code, on any
// platform, with the semantics of the platform's private-profile functions
// as the program has always used them (GetPrivateProfileStringA,
// GetPrivateProfileIntA and WritePrivateProfileStringA under code page 932):
//
// - The file is code page 932 on disk whatever the system's code page, and
//   every text code page 932 holds is stored byte for byte as before. The
//   interface hands out and takes UTF-8.
// - A value code page 932 cannot hold (a folder named 한국영화, a font name
//   with é) is written as its UTF-8 bytes behind a UTF-8 byte-order mark,
//   EF BB BF, and a value that starts with that mark is read as UTF-8 up to
//   the end of its line. No code page 932 text starts with those bytes, so
//   no other value changes meaning. (The platform functions would read such
//   a value as code page 932 and show other characters.)
// - A file that starts with a UTF-8 byte-order mark, or a UTF-16 one, is
//   read and written whole in that encoding, as the platform does.
// - Lines end at CR, LF or any run of them; blanks (tab, LF, VT, FF, CR,
//   ^Z, space) around names and values and blank lines are ignored. A line
//   that starts with '[' and holds a ']' names a section: the text up to the
//   last ']', without blanks. Any other line is a key: the text before the
//   first '=' is its name, the text after it its value; a line without '='
//   is a key without a value. A NUL ends a name or value. A key line
//   without a name right after another one in its section is dropped.
//   Names compare without regard to ASCII case only; only the first section
//   of a name counts, and in it the first key of a name. The lines above
//   the first section form a section of their own, named "". Names are
//   text code page 932 holds.
// - A string read strips one pair of matching quotes (' or ") and keeps at
//   most bufferSize - 1 bytes of the code page 932 form, cut on a character
//   boundary; a missing key, or a key without '=', gives the default
//   without its trailing spaces (and quotes). As on the platform, a quoted
//   value whose text after the opening quote takes just bufferSize
//   characters loses its last character to the closing quote's removal.
// - An integer read takes the leading number of the value's first 29
//   characters (decimal, or hex after "0x", octal after "0o", binary after
//   "0b"; a sign first), modulo 2^32; an empty or missing value gives the
//   default.
// - A write rewrites the whole file in the platform's form: every line
//   "name=value" or "[section]" with CR LF ends, blank lines and blanks
//   around names dropped. It replaces the value of the key, or adds the key
//   at the end of its section, or adds the section at the end of the file,
//   and creates the file when missing. Writing the value a key already has
//   leaves the file untouched. The value loses its leading blanks.
// - Every read opens the file anew, so a change made by anyone between two
//   calls is seen. A file above kMaxIniFileBytes is not read: reads give the
//   default and writes fail, leaving it as it is.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "settings/profile.h"

namespace clip {

constexpr std::size_t kMaxIniFileBytes = std::size_t{32} << 20;

class IniFile : public Profile {
 public:
  // path is UTF-8.
  explicit IniFile(std::string path) : path_(std::move(path)) {}
  std::string GetString(std::string_view section, std::string_view key, std::string_view def,
                        std::size_t bufferSize) override;
  int GetInt(std::string_view section, std::string_view key, int def) override;
  bool WriteString(std::string_view section, std::string_view key, std::string_view value) override;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// The work of IniFile over the bytes of a file, for tests and fuzzing.
// present is false for a missing file.
std::string IniGetString(std::string_view bytes, bool present, std::string_view section,
                         std::string_view key, std::string_view def, std::size_t bufferSize);
int IniGetInt(std::string_view bytes, bool present, std::string_view section, std::string_view key,
              int def);
// The file's new bytes after the write; false when the write changes
// nothing (out is then left as it was).
bool IniWithValue(std::string_view bytes, bool present, std::string_view section,
                  std::string_view key, std::string_view value, std::string& out);

}  // namespace clip
