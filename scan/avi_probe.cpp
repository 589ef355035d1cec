#include "scan/avi_probe.h"

#include <algorithm>

namespace clip {

namespace {

constexpr std::uint32_t kList = FourCC("LIST");
constexpr std::uint32_t kHdrl = FourCC("hdrl");
constexpr std::uint32_t kMovi = FourCC("movi");
constexpr std::uint32_t kStrh = FourCC("strh");
constexpr std::uint32_t kStrf = FourCC("strf");
constexpr std::uint32_t kVids = FourCC("vids");
constexpr std::uint32_t kAuds = FourCC("auds");
constexpr std::uint32_t kInfo = FourCC("INFO");

// Top-level chunks looked at before giving up on finding the header list.
constexpr int kMaxTopChunks = 64;

// AVISTREAMHEADER offsets.
constexpr std::size_t kStrhType = 0, kStrhHandler = 4, kStrhScale = 20, kStrhRate = 24,
                      kStrhLength = 32, kStrhFrameRight = 52, kStrhFrameBottom = 54;
constexpr std::size_t kStrhThroughLength = 36, kStrhThroughFrame = 56;

void TakeVideo(ByteView strh, ByteView strf, AviVideoStream& v) {
  if (strh.size() < kStrhThroughLength) return;
  v.present = true;
  v.handler = strh.U32(kStrhHandler);
  v.scale = strh.U32(kStrhScale);
  v.rate = strh.U32(kStrhRate);
  v.length = strh.U32(kStrhLength);
  if (strh.size() >= kStrhThroughFrame) {
    v.hasFrame = true;
    v.frameRight = static_cast<std::int16_t>(strh.U16(kStrhFrameRight));
    v.frameBottom = static_cast<std::int16_t>(strh.U16(kStrhFrameBottom));
  }
  // BITMAPINFOHEADER: biWidth at 4, biHeight at 8, biCompression at 16.
  if (strf.size() >= 12) {
    v.hasBitmap = true;
    v.bitmapWidth = static_cast<std::int32_t>(strf.U32(4));
    v.bitmapHeight = static_cast<std::int32_t>(strf.U32(8));
  }
  if (strf.size() >= 20) v.compression = strf.U32(16);
}

void TakeAudio(ByteView strf, AviAudioStream& a) {
  if (strf.size() < 16) return;
  a.present = true;
  a.formatTag = strf.U16(0);
  a.channels = strf.U16(2);
  a.samplesPerSec = strf.U32(4);
  a.avgBytesPerSec = strf.U32(8);
}

// A list's body: from the first read when it lies there, else read on its
// own, cut to the file and to max bytes. body points into head or into the
// returned bytes (whose buffer a move keeps), which the caller holds.
std::vector<std::uint8_t> ListBody(MovieFile& file, ByteView head, std::uint64_t start,
                                   std::uint32_t size, std::size_t max, ByteView& body) {
  std::uint64_t want = size >= 4 ? size - 4u : 0u;
  const std::uint64_t fileSize = file.Size();
  std::uint64_t inFile = fileSize > start ? fileSize - start : 0;
  want = std::min<std::uint64_t>({want, inFile, max});
  if (start <= head.size() && want <= head.size() - start) {
    body = head.Sub(static_cast<std::size_t>(start), static_cast<std::size_t>(want));
    return {};
  }
  std::vector<std::uint8_t> own = ReadBytes(file, start, static_cast<std::size_t>(want));
  body = ByteView(own);
  return own;
}

}  // namespace

void ParseAviInfoList(ByteView info, AviHeaderInfo& entries) {
  entries.present = true;
  struct Entry {
    std::uint32_t id;
    std::string AviHeaderInfo::*field;
  };
  static const Entry kEntries[] = {
      {FourCC("INAM"), &AviHeaderInfo::name},      {FourCC("IART"), &AviHeaderInfo::artist},
      {FourCC("ICMT"), &AviHeaderInfo::comment},   {FourCC("ISBJ"), &AviHeaderInfo::subject},
      {FourCC("ICOP"), &AviHeaderInfo::copyright}, {FourCC("IGNR"), &AviHeaderInfo::genre}};
  bool taken[6] = {};
  RiffWalker walker(info);
  RiffChunk chunk;
  while (walker.Next(chunk)) {
    for (int i = 0; i < 6; ++i) {
      if (chunk.id != kEntries[i].id || taken[i]) continue;
      taken[i] = true;
      std::size_t n = 0;
      while (n < chunk.data.size() && n < kAviInfoEntryMax && chunk.data.U8(n) != 0) ++n;
      (entries.*kEntries[i].field).assign(reinterpret_cast<const char*>(chunk.data.data()), n);
    }
  }
}

void ParseAviHeaderList(ByteView hdrl, AviHeader& header) {
  bool videoSeen = false, audioSeen = false;
  RiffWalker lists(hdrl);
  RiffChunk chunk;
  while (!(videoSeen && audioSeen) && lists.Next(chunk)) {
    if (chunk.id != kList || !chunk.data.Is(0, "strl")) continue;
    ByteView strh, strf;
    bool haveStrh = false, haveStrf = false;
    RiffWalker parts(chunk.data.Sub(4, chunk.data.size()));
    RiffChunk part;
    while (!(haveStrh && haveStrf) && parts.Next(part)) {
      if (part.id == kStrh && !haveStrh) {
        strh = part.data;
        haveStrh = true;
      } else if (part.id == kStrf && haveStrh && !haveStrf) {
        strf = part.data;
        haveStrf = true;
      }
    }
    if (!haveStrh || !strh.Has(kStrhType, 4)) continue;
    std::uint32_t type = strh.U32(kStrhType);
    if (type == kVids && !videoSeen) {
      videoSeen = true;
      TakeVideo(strh, strf, header.video);
    } else if (type == kAuds && !audioSeen) {
      audioSeen = true;
      TakeAudio(strf, header.audio);
    }
  }
}

AviHeader ReadAviHeader(MovieFile& file) {
  const std::vector<std::uint8_t> first = ReadBytes(file, 0, kAviFirstRead);
  return ReadAviHeader(file, ByteView(first));
}

AviHeader ReadAviHeader(MovieFile& file, ByteView head) {
  AviHeader header;
  std::vector<std::uint8_t> first;
  if (head.size() < kAviFirstRead && head.size() < file.Size()) {
    first = ReadBytes(file, 0, kAviFirstRead);
    head = ByteView(first);
  }
  head = head.Sub(0, kAviFirstRead);
  if (!head.Is(0, "RIFF") || !head.Is(8, "AVI ")) return header;
  header.isAvi = true;

  const std::uint64_t fileSize = file.Size();
  bool haveHeaderList = false;
  std::uint64_t off = 12;
  for (int i = 0; i < kMaxTopChunks; ++i) {
    // The chunk's header from the first read, or read on its own when a
    // large chunk has carried the walk past it.
    std::vector<std::uint8_t> own;
    ByteView hv;
    if (off <= head.size() && head.Has(static_cast<std::size_t>(off), 12)) {
      hv = head.Sub(static_cast<std::size_t>(off), 12);
    } else {
      own = ReadBytes(file, off, 12);
      hv = ByteView(own);
    }
    if (!hv.Has(0, 8)) return header;
    std::uint32_t id = hv.U32(0), size = hv.U32(4);
    if (id == kList && hv.Has(8, 4)) {
      std::uint32_t type = hv.U32(8);
      if (type == kMovi) return header;  // the header lists come before the data
      ByteView body;
      if (type == kHdrl && !haveHeaderList) {
        haveHeaderList = true;
        std::vector<std::uint8_t> read =
            ListBody(file, head, off + 12, size, kAviMaxHeaderList, body);
        ParseAviHeaderList(body, header);
      } else if (type == kInfo && !header.info.present) {
        std::vector<std::uint8_t> read =
            ListBody(file, head, off + 12, size, kAviMaxInfoList, body);
        ParseAviInfoList(body, header.info);
      }
      if (haveHeaderList && header.info.present) return header;
    }
    std::uint64_t next = off + 8 + size + (size & 1u);  // off < 2^40, size < 2^32: no wrap
    if (next >= fileSize) return header;
    off = next;
  }
  return header;
}

}  // namespace clip
