#include "settings/ini_file.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>

#include "base/cp932.h"
#include "base/file_access.h"
#include "base/unicode.h"

namespace clip {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::size_t kNone = std::string_view::npos;

// Blanks as the platform's profile code sees them: ^Z counts too (old DOS
// files end with it).
inline bool IsBlank(unsigned char c) { return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == 0x20; }
inline bool IsLineEnd(unsigned char c) { return c == '\r' || c == '\n'; }

std::string_view TrimBlanks(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && IsBlank(static_cast<unsigned char>(s[b]))) ++b;
  while (e > b && IsBlank(static_cast<unsigned char>(s[e - 1]))) --e;
  return s.substr(b, e - b);
}

std::string_view TrimLeadingBlanks(std::string_view s) {
  std::size_t b = 0;
  while (b < s.size() && IsBlank(static_cast<unsigned char>(s[b]))) ++b;
  return s.substr(b);
}

// The platform passes names and values as C strings: a NUL ends them.
std::string_view UpToNul(std::string_view s) { return s.substr(0, s.find('\0')); }

bool IsAscii(std::string_view s) { return AsciiPrefixLength(s) == s.size(); }

// UTF-8 with every bad byte made U+FFFD (the platform's UTF-8 decoder
// replaces them too, so a rewritten file holds valid UTF-8).
std::string CleanUtf8(std::string_view s) {
  if (IsValidUtf8(s)) return std::string(s);
  std::string out;
  out.reserve(s.size() + 8);
  for (std::size_t pos = 0; pos < s.size();) AppendUtf8(out, NextCodePoint(s, pos));
  return out;
}

bool EqualsNoAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (x >= 'A' && x <= 'Z') x += 'a' - 'A';
    if (y >= 'A' && y <= 'Z') y += 'a' - 'A';
    if (x != y) return false;
  }
  return true;
}

enum class Encoding { kCp932, kUtf8, kUtf16Le, kUtf16Be };

// A file's contents ready to parse: code page 932 bytes, or UTF-8 for the
// Unicode encodings, without the byte-order mark.
struct Contents {
  Encoding encoding = Encoding::kCp932;
  // A file with any byte at all: its lines before the first section form a
  // section without a name. A missing or empty file has no sections.
  bool present = false;
  std::string utf8;       // the text of a Unicode file
  std::string_view text;  // what to parse: the file's bytes or utf8
};

Contents Decode(std::string_view bytes, bool present) {
  Contents c;
  if (!present) return c;
  c.present = !bytes.empty();
  c.text = bytes;
  const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
  if (bytes.substr(0, 3) == kUtf8Mark) {
    c.encoding = Encoding::kUtf8;
    c.text = bytes.substr(3);
  } else if (bytes.size() >= 2 &&
             ((b[0] == 0xFF && b[1] == 0xFE) || (b[0] == 0xFE && b[1] == 0xFF))) {
    const bool little = b[0] == 0xFF;
    c.encoding = little ? Encoding::kUtf16Le : Encoding::kUtf16Be;
    std::u16string units((bytes.size() - 2) / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i) {
      const unsigned lo = b[2 + 2 * i + (little ? 0 : 1)], hi = b[2 + 2 * i + (little ? 1 : 0)];
      units[i] = static_cast<char16_t>(hi << 8 | lo);
    }
    c.utf8 = Utf16ToUtf8(units);
    c.text = c.utf8;
  }
  return c;
}

// One section header or key of a file. Names and values are the file's
// bytes, up to the first NUL.
struct Entry {
  bool section = false;
  std::string_view name;
  std::string_view value;
  bool hasValue = false;
  // The value is UTF-8 (it followed a byte-order mark in a code page 932
  // file, or the whole file is Unicode).
  bool utf8Value = false;
};

// Reads the entries of a file in order, as the platform's profile loader
// builds them: a code page 932 lead byte takes the next byte (any but NUL)
// as its trail byte, so a CR, LF, '=' or ']' there is no separator.
class EntryReader {
 public:
  EntryReader(std::string_view text, bool cp932) : text_(text), cp932_(cp932) {}

  bool Next(Entry& e) {
    const auto* s = reinterpret_cast<const unsigned char*>(text_.data());
    const std::size_t n = text_.size();
    while (pos_ < n) {
      // Blank lines and the blanks that start a line go together. A blank
      // is a character of one byte, so skipping blanks keeps to character
      // boundaries.
      std::size_t i = pos_;
      while (i < n && IsBlank(s[i])) ++i;
      if (i == n) break;
      const std::size_t start = i;
      const bool bracket = s[start] == '[';
      std::size_t end = start;  // end of the last character that is no blank
      std::size_t eq = kNone, nameEnd = start, close = kNone, closeNameEnd = start;
      bool utf8Value = !cp932_;
      while (i < n && !IsLineEnd(s[i])) {
        const unsigned char c = s[i];
        if (c == '=' && eq == kNone) {
          eq = i;
          nameEnd = end;
          end = ++i;
          if (cp932_ && !bracket) {
            std::size_t j = i;
            while (j < n && IsBlank(s[j]) && !IsLineEnd(s[j])) ++j;
            if (text_.substr(j, 3) == kUtf8Mark) {
              // A UTF-8 value: no byte of it is a lead byte of code page
              // 932, and no byte of a UTF-8 character is below 0x80.
              utf8Value = true;
              for (; i < n && !IsLineEnd(s[i]); ++i)
                if (!IsBlank(s[i])) end = i + 1;
              break;
            }
          }
          continue;
        }
        if (c == ']') {
          close = i;
          closeNameEnd = end;
        }
        const std::size_t width =
            cp932_ && IsCp932LeadByte(c) && n - i >= 2 && s[i + 1] != 0 ? 2 : 1;
        if (!IsBlank(c)) end = i + width;
        i += width;
      }
      pos_ = i;

      if (bracket && close != kNone) {
        std::size_t b = start + 1;
        while (b < close && IsBlank(s[b])) ++b;
        e = Entry{};
        e.section = true;
        e.name = UpToNul(text_.substr(b, closeNameEnd > b ? closeNameEnd - b : 0));
        prevKey_ = false;
        return true;
      }
      std::string_view name, value;
      if (eq != kNone) {
        name = text_.substr(start, nameEnd - start);
        std::size_t v = eq + 1;
        while (v < end && IsBlank(s[v])) ++v;
        value = text_.substr(v, end - v);
        if (utf8Value && cp932_) value.remove_prefix(kUtf8Mark.size());
      } else {
        name = text_.substr(start, end - start);
      }
      // A key line without a name right after a key whose name is empty
      // (up to its NUL) in the same section is dropped, as the platform's
      // loader does.
      if (name.empty() && prevKey_ && prevKeyNameEmpty_) continue;
      e = Entry{};
      e.name = UpToNul(name);
      e.value = UpToNul(value);
      e.hasValue = eq != kNone;
      e.utf8Value = utf8Value;
      prevKey_ = true;
      prevKeyNameEmpty_ = e.name.empty();
      return true;
    }
    pos_ = n;
    return false;
  }

 private:
  std::string_view text_;
  bool cp932_;
  std::size_t pos_ = 0;
  bool prevKey_ = false, prevKeyNameEmpty_ = false;
};

// UTF-8 text of a name or value.
std::string EntryText(std::string_view raw, bool utf8) {
  return utf8 ? CleanUtf8(raw) : Cp932ToUtf8(raw);
}

// True when a name of the file is query (UTF-8, without blanks).
bool NameIs(std::string_view raw, bool utf8, std::string_view query) {
  if (IsAscii(raw)) return EqualsNoAsciiCase(raw, query);
  // A byte above 0x7F belongs to a character outside ASCII in either
  // encoding, and only ASCII letters compare without case: such a name
  // never equals ASCII text.
  if (IsAscii(query)) return false;
  return EqualsNoAsciiCase(EntryText(raw, utf8), query);
}

// Where a key stands: its section's entries are read until the key turns
// up or the section ends.
class Lookup {
 public:
  Lookup(const Contents& c, std::string_view section)
      : reader_(c.text, c.encoding == Encoding::kCp932),
        utf8_(c.encoding != Encoding::kCp932),
        section_(TrimBlanks(UpToNul(section))),
        // An empty section name finds the lines above the first section.
        inSection_(c.present && section_.empty()) {}

  // The first key of that name in the first section of its name.
  bool Find(std::string_view key, Entry& out) {
    const std::string_view k = TrimBlanks(UpToNul(key));
    Entry e;
    while (reader_.Next(e)) {
      if (e.section) {
        if (inSection_) return false;
        inSection_ = NameIs(e.name, utf8_, section_);
      } else if (inSection_ && NameIs(e.name, utf8_, k)) {
        out = e;
        return true;
      }
    }
    return false;
  }

 private:
  EntryReader reader_;
  bool utf8_;
  std::string_view section_;
  bool inSection_;
};

// The value of a key when the file holds one, else nothing.
bool FindValue(const Contents& c, std::string_view section, std::string_view key,
               std::string& value) {
  Entry e;
  if (!Lookup(c, section).Find(key, e) || !e.hasValue) return false;
  value = EntryText(e.value, e.utf8Value);
  return true;
}

// Byte length of the longest prefix of utf8 that takes at most units
// UTF-16 code units (whole characters only).
std::size_t Utf16Prefix(std::string_view utf8, std::size_t units) {
  std::size_t pos = 0, used = 0;
  while (pos < utf8.size()) {
    std::size_t next = pos;
    const std::size_t w = NextCodePoint(utf8, next) >= 0x10000 ? 2 : 1;
    if (w > units - used) break;
    used += w;
    pos = next;
  }
  return pos;
}

std::size_t Utf16Length(std::string_view utf8) {
  std::size_t units = 0;
  for (std::size_t pos = 0; pos < utf8.size();)
    units += NextCodePoint(utf8, pos) >= 0x10000 ? 2 : 1;
  return units;
}

// The platform's copy of a value into a buffer of len UTF-16 units: one
// pair of matching quotes is removed, and the text keeps len - 1 units. It
// removes the closing quote by dropping the last unit copied whenever the
// text after the opening quote has at most len units, so a value that
// only just fits loses its last character instead.
std::string CopyEntry(std::string_view text, std::size_t len) {
  bool quoted = false;
  if (text.size() >= 2 && (text[0] == '\'' || text[0] == '"') && text.back() == text[0]) {
    quoted = true;
    text.remove_prefix(1);
  }
  std::string out(text.substr(0, Utf16Prefix(text, len - 1)));
  if (quoted && len >= Utf16Length(text) && !out.empty()) {
    std::size_t last = out.size() - 1;
    while (last > 0 && (static_cast<unsigned char>(out[last]) & 0xC0) == 0x80) --last;
    out.resize(last);
  }
  return out;
}

// The default as the platform takes it: trailing spaces go, but a default
// of spaces only keeps one.
std::string_view TrimDefault(std::string_view def) {
  std::size_t e = def.size();
  while (e > 1 && def[e - 1] == ' ') --e;
  return def.substr(0, e);
}

// strtoul-like reading of the platform: blanks and control characters
// first, a sign, a "0x", "0o" or "0b" prefix, digits of the base, all
// modulo 2^32.
std::uint32_t ParseProfileInt(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && static_cast<unsigned char>(s[i]) <= ' ') ++i;
  bool minus = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) minus = s[i++] == '-';
  std::uint32_t base = 10;
  if (s.size() - i >= 2 && s[i] == '0') {
    if (s[i + 1] == 'x') base = 16;
    if (s[i + 1] == 'o') base = 8;
    if (s[i + 1] == 'b') base = 2;
    if (base != 10) i += 2;
  }
  std::uint32_t total = 0;
  for (; i < s.size(); ++i) {
    const char c = s[i];
    std::uint32_t digit = 99;
    if (c >= '0' && c <= '9') digit = static_cast<std::uint32_t>(c - '0');
    if (c >= 'A' && c <= 'Z') digit = static_cast<std::uint32_t>(c - 'A' + 10);
    if (c >= 'a' && c <= 'z') digit = static_cast<std::uint32_t>(c - 'a' + 10);
    if (digit >= base) break;
    total = total * base + digit;
  }
  return minus ? 0u - total : total;
}

// Writes the entries of a file in the platform's form, converting each
// name and value to its text and back, as the platform does.
class Writer {
 public:
  explicit Writer(Encoding encoding) : encoding_(encoding) {
    if (encoding_ != Encoding::kCp932) out_.append(kUtf8Mark);
  }
  bool cp932() const { return encoding_ == Encoding::kCp932; }

  void Section(std::string_view raw) {
    // A section without a name gets no header: its keys join the section
    // before it.
    if (raw.empty()) return;
    out_ += '[';
    PutText(raw);
    out_ += "]\r\n";
  }
  void Key(const Entry& e) {
    PutText(e.name);
    if (e.hasValue) {
      out_ += '=';
      if (e.utf8Value && cp932()) {
        out_.append(kUtf8Mark);
        out_.append(CleanUtf8(e.value));
      } else {
        PutText(e.value);
      }
    }
    out_ += "\r\n";
  }
  // A new name, from UTF-8 text.
  void NewName(std::string_view utf8) {
    out_.append(cp932() ? Utf8ToCp932(utf8) : CleanUtf8(utf8));
  }
  void NewSection(std::string_view utf8) {
    if (utf8.empty()) return;
    out_ += '[';
    NewName(utf8);
    out_ += "]\r\n";
  }
  // A key with a new value, from UTF-8 text. A value code page 932 cannot
  // hold goes behind a byte-order mark as UTF-8.
  void NewKey(std::string_view name, bool rawName, std::string_view value) {
    if (rawName) {
      PutText(name);
    } else {
      NewName(name);
    }
    out_ += '=';
    if (!cp932()) {
      out_.append(CleanUtf8(value));
    } else if (FitsCp932(value)) {
      out_.append(Utf8ToCp932(value));
    } else {
      out_.append(kUtf8Mark);
      out_.append(value);
    }
    out_ += "\r\n";
  }

  std::string Finish() {
    if (encoding_ != Encoding::kUtf16Le && encoding_ != Encoding::kUtf16Be) return std::move(out_);
    const std::u16string units = Utf8ToUtf16(out_);
    const bool little = encoding_ == Encoding::kUtf16Le;
    std::string bytes;
    bytes.reserve(units.size() * 2 + 2);
    auto put = [&](char16_t u) {
      const char lo = static_cast<char>(u & 0xFF), hi = static_cast<char>(u >> 8);
      bytes += little ? lo : hi;
      bytes += little ? hi : lo;
    };
    put(0xFEFF);
    // Skip the UTF-8 mark the constructor put first.
    for (std::size_t i = 1; i < units.size(); ++i) put(units[i]);
    return bytes;
  }

 private:
  void PutText(std::string_view raw) {
    if (IsAscii(raw)) {
      out_.append(raw);
    } else if (cp932()) {
      out_.append(Utf8ToCp932(Cp932ToUtf8(raw)));
    } else {
      out_.append(CleanUtf8(raw));
    }
  }

  Encoding encoding_;
  std::string out_;
};

enum class ReadResult { kRead, kMissing, kFailed };

// The whole file, up to kMaxIniFileBytes; a larger file counts as failed.
ReadResult ReadAll(const std::string& path, const char* mode, std::string& out) {
  std::FILE* f = OpenFile(path, mode);
  if (!f) return errno == ENOENT ? ReadResult::kMissing : ReadResult::kFailed;
  out.clear();
  std::size_t chunk = 16 * 1024;
  bool ok = true;
  for (;;) {
    const std::size_t have = out.size();
    out.resize(have + chunk);
    const std::size_t got = std::fread(&out[have], 1, chunk, f);
    out.resize(have + got);
    if (got < chunk) {
      ok = !std::ferror(f);
      break;
    }
    if (out.size() > kMaxIniFileBytes) {
      ok = false;
      break;
    }
    if (chunk < (std::size_t{1} << 20)) chunk *= 2;
  }
  std::fclose(f);
  return ok ? ReadResult::kRead : ReadResult::kFailed;
}

}  // namespace

std::string IniGetString(std::string_view bytes, bool present, std::string_view section,
                         std::string_view key, std::string_view def, std::size_t bufferSize) {
  if (bufferSize == 0) return {};
  const Contents c = Decode(bytes, present);
  std::string text;
  if (!FindValue(c, section, key, text)) text = std::string(TrimDefault(UpToNul(def)));
  return CutCp932(CopyEntry(text, bufferSize), bufferSize - 1);
}

int IniGetInt(std::string_view bytes, bool present, std::string_view section, std::string_view key,
              int def) {
  const Contents c = Decode(bytes, present);
  std::string text;
  if (!FindValue(c, section, key, text)) return def;
  // The platform reads the value through a buffer of 30 units.
  const std::string number = CopyEntry(text, 30);
  if (number.empty()) return def;
  return static_cast<int>(ParseProfileInt(number));
}

bool IniWithValue(std::string_view bytes, bool present, std::string_view section,
                  std::string_view key, std::string_view value, std::string& out) {
  const Contents c = Decode(bytes, present);
  const std::string_view sectionQuery = TrimBlanks(UpToNul(section));
  const std::string_view keyQuery = TrimBlanks(UpToNul(key));
  const std::string_view newValue = TrimLeadingBlanks(UpToNul(value));
  const bool utf8 = c.encoding != Encoding::kCp932;

  Writer w(c.encoding);
  EntryReader reader(c.text, !utf8);
  bool inSection = c.present && sectionQuery.empty(), sectionFound = inSection, done = false;
  Entry e;
  while (reader.Next(e)) {
    if (e.section) {
      if (inSection && !done) {
        w.NewKey(TrimLeadingBlanks(UpToNul(key)), false, newValue);
        done = true;
      }
      inSection = false;
      if (!sectionFound) inSection = sectionFound = NameIs(e.name, utf8, sectionQuery);
      w.Section(e.name);
    } else if (inSection && !done && NameIs(e.name, utf8, keyQuery)) {
      if (e.hasValue && EntryText(e.value, e.utf8Value) == newValue) return false;
      w.NewKey(e.name, true, newValue);
      done = true;
    } else {
      w.Key(e);
    }
  }
  if (!done) {
    if (!sectionFound) w.NewSection(TrimLeadingBlanks(UpToNul(section)));
    w.NewKey(TrimLeadingBlanks(UpToNul(key)), false, newValue);
  }
  out = w.Finish();
  return true;
}

std::string IniFile::GetString(std::string_view section, std::string_view key, std::string_view def,
                               std::size_t bufferSize) {
  if (bufferSize == 0) return {};
  std::string bytes;
  switch (ReadAll(path_, "rb", bytes)) {
    case ReadResult::kRead: return IniGetString(bytes, true, section, key, def, bufferSize);
    case ReadResult::kMissing: return IniGetString({}, false, section, key, def, bufferSize);
    case ReadResult::kFailed: break;
  }
  // A file that cannot be read gives the default as it is, quotes and all.
  const std::string_view d = TrimDefault(UpToNul(def));
  return CutCp932(d.substr(0, Utf16Prefix(d, bufferSize - 1)), bufferSize - 1);
}

int IniFile::GetInt(std::string_view section, std::string_view key, int def) {
  std::string bytes;
  if (ReadAll(path_, "rb", bytes) != ReadResult::kRead) return def;
  return IniGetInt(bytes, true, section, key, def);
}

bool IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  // Opened for update first, as the platform does: a file that cannot be
  // written fails even when the write would change nothing.
  std::string bytes, updated;
  const ReadResult read = ReadAll(path_, "r+b", bytes);
  if (read == ReadResult::kFailed) return false;
  if (!IniWithValue(bytes, read == ReadResult::kRead, section, key, value, updated)) return true;
  std::FILE* f = OpenFile(path_, "wb");
  if (!f) return false;
  const bool wrote = std::fwrite(updated.data(), 1, updated.size(), f) == updated.size();
  return std::fclose(f) == 0 && wrote;
}

}  // namespace clip
