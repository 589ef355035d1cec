// Telling containers apart by their first bytes: hand-built heads for each
// kind and its near misses, and every real fixture file by its ending.
#include "scan/container_kind.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <set>
#include <string>

namespace clip {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Box(std::uint32_t size, const char* type, std::size_t fill) {
  Bytes b = {static_cast<std::uint8_t>(size >> 24), static_cast<std::uint8_t>(size >> 16),
             static_cast<std::uint8_t>(size >> 8), static_cast<std::uint8_t>(size)};
  b.insert(b.end(), type, type + 4);
  b.insert(b.end(), fill, 0);
  return b;
}

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

// count packets of size bytes, the sync byte after prefix bytes of each.
Bytes Packets(int count, std::size_t size, std::size_t prefix) {
  Bytes out(static_cast<std::size_t>(count) * size, 0x00);
  for (int i = 0; i < count; ++i) out[i * size + prefix] = 0x47;
  return out;
}

ContainerKind Sniff(const Bytes& b) { return SniffContainer(ByteView(b)); }

TEST(ContainerKind, ToldByTheFirstBytes) {
  const Bytes asf = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                     0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
  Bytes asfNear = asf;
  asfNear[15] = 0x6D;
  Bytes bigMdat = Box(1, "mdat", 8);  // a 64-bit size of 16: the header alone
  bigMdat[15] = 16;
  const std::pair<Bytes, ContainerKind> cases[] = {
      {{}, ContainerKind::Unknown},
      {{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'A', 'V', 'I', ' '}, ContainerKind::Avi},
      {{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'}, ContainerKind::Unknown},
      {{0, 0, 1, 0xBA, 0x44}, ContainerKind::MpegProgram},
      {{0, 0, 1, 0xB3, 0x16}, ContainerKind::MpegVideo},
      {{0, 0, 1, 0xB5}, ContainerKind::Unknown},
      {Box(20, "ftyp", 12), ContainerKind::IsoMedia},
      {Box(8, "moov", 0), ContainerKind::IsoMedia},
      {Join({Box(8, "free", 0), Box(24, "wide", 16), Box(16, "ftyp", 8)}), ContainerKind::IsoMedia},
      {Join({Box(24, "mdat", 16), Box(8, "moov", 0)}), ContainerKind::IsoMedia},
      {Join({bigMdat, Box(8, "moov", 0)}), ContainerKind::IsoMedia},
      {Join({Box(5000, "mdat", 100), Box(8, "moov", 0)}), ContainerKind::Unknown},  // past head
      {Join({Box(0, "free", 0), Box(8, "moov", 0)}), ContainerKind::Unknown},       // size 0
      {Join({Box(8, "junk", 0), Box(8, "moov", 0)}), ContainerKind::Unknown},
      {{0x1A, 0x45, 0xDF, 0xA3, 0x93}, ContainerKind::Matroska},
      {asf, ContainerKind::Asf},
      {asfNear, ContainerKind::Unknown},
      {{'F', 'L', 'V', 1, 5}, ContainerKind::Flv},
      {{'F', 'L', 'V', 2, 5}, ContainerKind::Unknown},
      {{'.', 'R', 'M', 'F', 0}, ContainerKind::RealMedia},
      {Packets(8, 188, 0), ContainerKind::MpegTransport},
      {Packets(8, 192, 4), ContainerKind::MpegTransport},
      {Packets(8, 204, 0), ContainerKind::MpegTransport},
      {Join({Bytes(100, 1), Packets(8, 188, 0)}), ContainerKind::MpegTransport},
      {Packets(3, 188, 0), ContainerKind::MpegTransport},
      {Packets(2, 188, 0), ContainerKind::Unknown},  // too few to tell from noise
      {Join({Packets(4, 188, 0), Bytes(1000, 0)}), ContainerKind::Unknown},
  };
  for (const auto& [head, kind] : cases)
    EXPECT_EQ(Sniff(head), kind) << ContainerName(kind) << " from " << head.size() << " bytes";

  std::set<std::string> names;
  for (int k = 0; k <= static_cast<int>(ContainerKind::RealMedia); ++k)
    names.insert(ContainerName(static_cast<ContainerKind>(k)));
  EXPECT_EQ(names.size(), 10u);
}

}  // namespace
}  // namespace clip
