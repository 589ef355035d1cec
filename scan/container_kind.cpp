#include "scan/container_kind.h"

#include "scan/iso_box.h"
#include "scan/ts_probe.h"

namespace clip {

namespace {

bool Bytes(ByteView head, std::size_t off, std::initializer_list<std::uint8_t> bytes) {
  if (!head.Has(off, bytes.size())) return false;
  for (std::uint8_t b : bytes)
    if (head.U8(off++) != b) return false;
  return true;
}

// Boxes that may come before the ftyp or moov box of an ISO media file.
constexpr int kMaxLeadingBoxes = 16;

bool IsIsoMedia(ByteView head) {
  std::size_t off = 0;
  for (int i = 0; i <= kMaxLeadingBoxes && head.Has(off, 8); ++i) {
    if (head.Is(off + 4, "ftyp") || head.Is(off + 4, "moov")) return true;
    if (!head.Is(off + 4, "free") && !head.Is(off + 4, "skip") && !head.Is(off + 4, "wide") &&
        !head.Is(off + 4, "mdat"))
      return false;
    IsoBoxHeader box;
    if (ReadIsoBoxHeader(head.Sub(off, 16), head.size() - off, box) != IsoBoxRead::Ok) return false;
    off += static_cast<std::size_t>(box.size);
  }
  return false;
}

}  // namespace

ContainerKind SniffContainer(ByteView head) {
  if (head.Is(0, "RIFF") && head.Is(8, "AVI ")) return ContainerKind::Avi;
  if (Bytes(head, 0, {0x1A, 0x45, 0xDF, 0xA3})) return ContainerKind::Matroska;
  if (Bytes(head, 0,
            {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11, 0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62,
             0xCE, 0x6C}))
    return ContainerKind::Asf;
  if (head.Is(0, "FLV\x01")) return ContainerKind::Flv;
  if (head.Is(0, ".RMF")) return ContainerKind::RealMedia;
  if (Bytes(head, 0, {0x00, 0x00, 0x01, 0xBA})) return ContainerKind::MpegProgram;
  if (Bytes(head, 0, {0x00, 0x00, 0x01, 0xB3})) return ContainerKind::MpegVideo;
  if (IsIsoMedia(head)) return ContainerKind::IsoMedia;
  // Last: the sync bytes may start anywhere in the first packet, and the
  // other kinds are told by bytes at fixed places.
  TsLayout layout;
  if (FindTsLayout(head, layout)) return ContainerKind::MpegTransport;
  return ContainerKind::Unknown;
}

const char* ContainerName(ContainerKind kind) {
  switch (kind) {
    case ContainerKind::Avi: return "AVI";
    case ContainerKind::MpegProgram: return "MPEG program stream";
    case ContainerKind::MpegVideo: return "MPEG video";
    case ContainerKind::IsoMedia: return "ISO media";
    case ContainerKind::Matroska: return "Matroska";
    case ContainerKind::Asf: return "ASF";
    case ContainerKind::Flv: return "FLV";
    case ContainerKind::MpegTransport: return "MPEG transport stream";
    case ContainerKind::RealMedia: return "RealMedia";
    case ContainerKind::Unknown: break;
  }
  return "unknown";
}

}  // namespace clip
