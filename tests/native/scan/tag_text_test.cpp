// Tag texts and codec identifiers from container bytes, and the byte
// reader's big-endian, 64-bit and windowed reads the container parsers use.
#include "scan/tag_text.h"

#include <gtest/gtest.h>

#include "memory_file.h"

namespace clip {
namespace {

ByteView View(const std::vector<std::uint8_t>& b) { return ByteView(b); }

TEST(TagText, Utf16BothOrdersSurrogatesAndBrokenUnits) {
  // "aé" then U+1F600 as a surrogate pair, little-endian, then a terminator.
  std::vector<std::uint8_t> le = {'a', 0, 0xE9, 0, 0x3D, 0xD8, 0x00, 0xDE, 0, 0, 'x', 0};
  EXPECT_EQ(Utf8FromUtf16(View(le), false), "a\xC3\xA9\xF0\x9F\x98\x80");
  std::vector<std::uint8_t> be = {0x65, 0xE5, 0x67, 0x2C};  // 日本
  EXPECT_EQ(Utf8FromUtf16(View(be), true), "\xE6\x97\xA5\xE6\x9C\xAC");
  // A lone high surrogate, a lone low one, and an odd last byte.
  std::vector<std::uint8_t> bad = {0x3D, 0xD8, 'b', 0, 0x00, 0xDE, 'c'};
  EXPECT_EQ(Utf8FromUtf16(View(bad), false),
            "\xEF\xBF\xBD"
            "b\xEF\xBF\xBD");
}

TEST(TagText, Utf8KeepsValidTextAndReplacesEachBadSequence) {
  std::vector<std::uint8_t> good = {'A', 0xC3, 0xA9, 0xE6, 0x97, 0xA5, 0xF0, 0x9F, 0x98, 0x80};
  EXPECT_EQ(CleanUtf8(View(good)), std::string(good.begin(), good.end()));
  struct Case {
    std::vector<std::uint8_t> in;
    const char* out;
  } cases[] = {
      {{0xC0, 0xAF, 'x'}, "\xEF\xBF\xBD\xEF\xBF\xBDx"},  // C0 never starts a sequence
      {{0xE0, 0x80, 0x80}, "\xEF\xBF\xBD"},              // overlong three-byte form
      {{0xED, 0xA0, 0x80}, "\xEF\xBF\xBD"},              // an encoded surrogate
      {{0xE6, 0x97}, "\xEF\xBF\xBD"},                    // cut at the end
      {{0xE6, 'z'}, "\xEF\xBF\xBDz"},                    // cut by an ASCII byte
      {{0xF4, 0x90, 0x80, 0x80}, "\xEF\xBF\xBD"},        // past U+10FFFF
      {{'a', 0, 'b'}, "a"},                              // a NUL ends the text
  };
  for (const Case& c : cases) EXPECT_EQ(CleanUtf8(View(c.in)), c.out);
}

TEST(TagText, CodecIdsArePrintableAndShort) {
  std::vector<std::uint8_t> fourcc = {'m', 's', 0x01, ' ', ' '};
  EXPECT_EQ(CodecIdText(View(fourcc)), "ms?");
  std::vector<std::uint8_t> longId(100, 'V');
  EXPECT_EQ(CodecIdText(View(longId)), std::string(63, 'V'));
}

TEST(ByteViewWide, BigEndianAnd64BitFieldsStayInBounds) {
  std::vector<std::uint8_t> b = {1, 2, 3, 4, 5, 6, 7, 8, 9};
  ByteView v(b);
  EXPECT_EQ(v.U16BE(0), 0x0102);
  EXPECT_EQ(v.U32BE(1), 0x02030405u);
  EXPECT_EQ(v.U64BE(1), 0x0203040506070809ull);
  EXPECT_EQ(v.U64(0), 0x0807060504030201ull);
  EXPECT_EQ(v.U64BE(2), 0u);  // one byte short
  EXPECT_EQ(v.U32BE(SIZE_MAX - 1), 0u);
  const std::uint8_t sig[] = {7, 8, 9};
  EXPECT_TRUE(v.Equals(6, sig, 3));
  EXPECT_FALSE(v.Equals(7, sig, 3));
}

TEST(FileWindowReads, HeadStaysTailWindowEndsAtTheEndAndBudgetHolds) {
  std::vector<std::uint8_t> bytes(100000);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7);
  MemoryMovieFile file(bytes);
  FileWindow w(file, 1000, 3);
  EXPECT_EQ(w.At(10, 4).U8(0), bytes[10]);
  EXPECT_EQ(w.At(99990, 4).U8(0), bytes[99990]);  // a window of the last 1000 bytes
  EXPECT_EQ(w.At(99100, 4).U8(0), bytes[99100]);  // inside it: no read
  EXPECT_EQ(w.reads(), 2);
  EXPECT_EQ(w.At(99998, 10).size(), 2u);  // cut at the end of the file
  EXPECT_EQ(w.At(50000, 5000).size(), 5000u);
  EXPECT_EQ(w.reads(), 3);
  EXPECT_EQ(w.At(20000, 4).size(), 0u);  // past the budget
  EXPECT_EQ(w.At(12, 4).U8(0), bytes[12]);
}

}  // namespace
}  // namespace clip
