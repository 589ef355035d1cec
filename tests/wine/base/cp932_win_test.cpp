// The portable code page 932 codec against the platform's own conversions,
// over every input they can differ on: each single byte and byte pair
// through MultiByteToWideChar(932, 0), each BMP character and some astral
// ones through WideCharToMultiByte(932, 0) with the default character '?',
// and long random texts for the context between characters. Inputs are
// made from numbers: string literals of this build are code page 932.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>

#include "base/cp932.h"
#include "base/unicode.h"

namespace clip {
namespace {

std::string WindowsDecode(const std::string& bytes) {
  if (bytes.empty()) return {};
  const int size = static_cast<int>(bytes.size());
  const int n = MultiByteToWideChar(932, 0, bytes.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(932, 0, bytes.data(), size, wide.data(), n);
  return Utf16ToUtf8(reinterpret_cast<const char16_t*>(wide.data()), wide.size());
}

std::string WindowsEncode(const std::u16string& text) {
  if (text.empty()) return {};
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int size = static_cast<int>(text.size());
  BOOL used = FALSE;
  const int n = WideCharToMultiByte(932, 0, wide, size, nullptr, 0, "?", &used);
  std::string bytes(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(932, 0, wide, size, bytes.data(), n, "?", &used);
  return bytes;
}

std::string Hex(const std::string& bytes) {
  std::string out;
  char buf[4];
  for (unsigned char b : bytes) {
    std::snprintf(buf, sizeof buf, "%02X ", b);
    out += buf;
  }
  return out;
}

// Reports at most a few differences in full, then only their number.
class Differences {
 public:
  explicit Differences(const char* what) : what_(what) {}
  ~Differences() {
    EXPECT_EQ(count_, 0) << what_ << ": " << count_ << " differences in " << compared_;
    std::printf("[   info   ] %s: %d inputs compared, %d differences\n", what_, compared_, count_);
  }
  void Check(bool same, const std::string& input, const std::string& ours,
             const std::string& theirs) {
    ++compared_;
    if (same) return;
    if (++count_ <= 10)
      ADD_FAILURE() << what_ << " of " << Hex(input) << ": ours " << Hex(ours) << "windows "
                    << Hex(theirs);
  }

 private:
  const char* what_;
  int compared_ = 0;
  int count_ = 0;
};

TEST(Cp932Windows, EverySingleByteAndBytePairDecodesAlike) {
  Differences diff("decoding");
  for (int b = 0; b < 256; ++b) {
    const std::string byte(1, static_cast<char>(b));
    const std::string ours = Cp932ToUtf8(byte), theirs = WindowsDecode(byte);
    diff.Check(ours == theirs, byte, ours, theirs);
  }
  for (int lead = 0; lead < 256; ++lead) {
    for (int trail = 0; trail < 256; ++trail) {
      const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
      const std::string ours = Cp932ToUtf8(pair), theirs = WindowsDecode(pair);
      diff.Check(ours == theirs, pair, ours, theirs);
    }
  }
}

TEST(Cp932Windows, EveryBmpCharacterAndSomeAstralOnesEncodeAlike) {
  Differences diff("encoding");
  Differences changes("round trip");
  auto check = [&](char32_t cp) {
    std::string utf8;
    AppendUtf8(utf8, cp);
    std::size_t changed = 0;
    const std::string ours = Utf8ToCp932(utf8, &changed);
    const std::string theirs = WindowsEncode(Utf8ToUtf16(utf8));
    diff.Check(ours == theirs && Cp932Length(utf8) == theirs.size(), utf8, ours, theirs);
    // A character is changed exactly when its bytes decode to another one.
    const bool comesBack = WindowsDecode(theirs) == utf8;
    changes.Check(comesBack == (changed == 0) && comesBack == FitsCp932(utf8), utf8, ours, theirs);
  };
  // Surrogates have no UTF-8 form of their own; they are covered in pairs.
  for (char32_t cp = 0; cp < 0x10000; ++cp)
    if (cp < 0xD800 || cp > 0xDFFF) check(cp);
  for (char32_t cp : {0x10000, 0x1F600, 0x1F1EF, 0x20B9F, 0x2A6D6, 0xF0000, 0x10FFFF}) check(cp);
}

TEST(Cp932Windows, LongRandomTextsConvertAlike) {
  std::mt19937 random(932);
  Differences diff("long text");
  for (int round = 0; round < 20; ++round) {
    // Bytes where lead bytes, zeros and trail bytes of every kind meet.
    std::string bytes(50000, '\0');
    for (char& b : bytes)
      b = static_cast<char>(random() % 4 == 0 ? 0x81 + random() % 0x7C : random());
    std::string ours = Cp932ToUtf8(bytes), theirs = WindowsDecode(bytes);
    diff.Check(ours == theirs, bytes.substr(0, 16), ours.substr(0, 16), theirs.substr(0, 16));

    // Characters of every width, ASCII runs among them.
    std::string utf8;
    for (int i = 0; i < 20000; ++i) {
      const unsigned pick = random() % 5;
      char32_t cp = pick == 0   ? 0x20 + random() % 0x60
                    : pick == 1 ? 0x80 + random() % 0x780
                    : pick == 2 ? 0x3000 + random() % 0x7000
                    : pick == 3 ? 0x800 + random() % 0xF800
                                : 0x10000 + random() % 0x100000;
      if (cp >= 0xD800 && cp <= 0xDFFF) cp = 'x';
      AppendUtf8(utf8, cp);
    }
    ours = Utf8ToCp932(utf8);
    theirs = WindowsEncode(Utf8ToUtf16(utf8));
    diff.Check(ours == theirs, utf8.substr(0, 16), ours.substr(0, 16), theirs.substr(0, 16));
  }
}

}  // namespace
}  // namespace clip
