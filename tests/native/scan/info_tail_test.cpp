// The INFO tail scan: title, creator and comment near the end of a file.
#include <gtest/gtest.h>

#include "probe_builders.h"
#include "scan/probe.h"

namespace clip {
namespace {

using probetest::Bytes;

// An INFO entry as the writer lays it out: id, size, text, zero, pad.
void Entry(Bytes& out, const char* id, const std::string& text) {
  out.Tag(id).U32(static_cast<std::uint32_t>(text.size() + 1)).Text(text).U8(0);
  if ((text.size() + 1) & 1) out.U8(0);
}

InfoTail Scan(const std::vector<std::uint8_t>& bytes) {
  MemoryMovieFile file(bytes);
  return ScanInfoTail(file);
}

TEST(InfoTail, WholeShortFileIsScanned) {
  Bytes b;
  b.Fill(300, 0x20);
  b.Tag("ISBJ").U32(6).Text("Hello").U8(0);
  b.b.resize(600, 0x20);
  InfoTail t = Scan(b.b);
  EXPECT_EQ(t.title, "Hello");
  EXPECT_EQ(t.creator, "");
  EXPECT_EQ(t.comment, "");
}

TEST(InfoTail, InfoListAtTheEndOfAnAvi) {
  Bytes b;
  b.Fill(5000, 0x11);
  std::size_t list = b.OpenList("INFO");
  Entry(b, "ISBJ", "Summer trip");
  Entry(b, "ICOP", "\x83\x65\x83\x58\x83\x67");  // テスト in code page 932
  Entry(b, "ICMT", "Second take");
  b.Close(list);
  InfoTail t = Scan(b.b);
  EXPECT_EQ(t.title, "Summer trip");
  EXPECT_EQ(t.creator, "テスト");
  EXPECT_EQ(t.comment, "Second take");
}

TEST(InfoTail, LaterEntryReplacesEarlier) {
  Bytes b;
  b.Fill(2000, 0x11);
  Entry(b, "ICMT", "first");
  Entry(b, "ICMT", "second");
  EXPECT_EQ(Scan(b.b).comment, "second");
}

TEST(InfoTail, OnlyTheLast1024BytesAreLookedAt) {
  Bytes b;
  b.Fill(100, 0x11);
  Entry(b, "ISBJ", "too early");
  b.Fill(2000, 0x11);
  EXPECT_EQ(Scan(b.b).title, "");

  // An entry whose 'I' is the first byte of the window is found.
  Bytes c;
  c.Fill(3000, 0x11);
  Entry(c, "ISBJ", "edge");
  c.Fill(1024 - 14, 0x11);
  ASSERT_EQ(c.b.size() - 1024, 3000u);
  EXPECT_EQ(Scan(c.b).title, "edge");

  // One byte earlier it is not.
  Bytes d;
  d.Fill(3000, 0x11);
  Entry(d, "ISBJ", "edge");
  d.Fill(1024 - 13, 0x11);
  EXPECT_EQ(Scan(d.b).title, "");
}

TEST(InfoTail, ValueRunningToTheEndOfTheFile) {
  Bytes b;
  b.Fill(1500, 0x11);
  b.Tag("ICMT").U32(99).Text("cut short");
  EXPECT_EQ(Scan(b.b).comment, "cut short");
  // An identifier with nothing after it gives an empty value.
  Bytes c;
  c.Fill(10, 0x11);
  Entry(c, "ICOP", "someone");
  c.Tag("ICOP");
  EXPECT_EQ(Scan(c.b).creator, "");
}

TEST(InfoTail, LongValuesAreReadWholeUpTo255Bytes) {
  for (std::size_t len : {127u, 128u, 200u, 254u, 255u}) {
    Bytes b;
    b.Fill(700, 0x11);
    std::string value(len, 'v');
    value[len - 1] = 'E';
    Entry(b, "ISBJ", value);
    Entry(b, "ICMT", "after");
    InfoTail t = Scan(b.b);
    EXPECT_EQ(t.title, value) << len;
    EXPECT_EQ(t.comment, "after") << len;
  }
  // Longer values are cut at 255 bytes, never inside a double-byte character,
  // and the scan goes on after the whole value.
  Bytes b;
  b.Fill(100, 0x11);
  Entry(b, "ISBJ", std::string(254, 'w') + "\x82\xA0" + std::string(50, 'x'));
  Entry(b, "ICMT", "after");
  InfoTail t = Scan(b.b);
  EXPECT_EQ(t.title, std::string(254, 'w'));
  EXPECT_EQ(t.comment, "after");
}

TEST(InfoTail, IdentifierBytesAreNotExaminedTwice) {
  Bytes b;
  b.Fill(10, 0x11);
  b.Text("IISBJ").U32(4).Text("one").U8(0);  // 'I' then "ISB": no match
  EXPECT_EQ(Scan(b.b).title, "");

  Bytes c;
  c.Fill(10, 0x11);
  c.Text("IXYZISBJ").U32(4).Text("two").U8(0);
  EXPECT_EQ(Scan(c.b).title, "two");

  // The four size bytes are skipped even when they spell an identifier.
  Bytes d;
  d.Text("ISBJ").Text("ICMT").Text("val").U8(0);
  InfoTail t = Scan(d.b);
  EXPECT_EQ(t.title, "val");
  EXPECT_EQ(t.comment, "");

  // Identifiers compare with case.
  Bytes e;
  e.Text("Isbj").U32(4).Text("low").U8(0).Text("isbj").U32(4).Text("low").U8(0);
  EXPECT_EQ(Scan(e.b).title, "");
}

TEST(InfoTail, EmptyAndTinyFiles) {
  EXPECT_EQ(Scan({}).title, "");
  EXPECT_EQ(Scan({'I'}).title, "");
  EXPECT_EQ(Scan({'I', 'S', 'B'}).title, "");
  InfoTail t = Scan({'I', 'S', 'B', 'J'});
  EXPECT_EQ(t.title, "");
  EXPECT_EQ(t.comment, "");
}

TEST(InfoTail, ReadsOnlyTheTail) {
  probetest::SizedFile file({}, 10ull << 30);
  EXPECT_EQ(ScanInfoTail(file).comment, "");
  EXPECT_LE(file.bytesRead, kInfoTailBytes);
}

}  // namespace
}  // namespace clip
