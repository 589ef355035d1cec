#include "scan/avi_probe.h"

#include <algorithm>
#include <cstdlib>

#include "base/cp932.h"
#include "base/unicode.h"
#include "scan/codec_table.h"
#include "scan/track_config.h"

namespace clip {

namespace {

constexpr std::uint32_t kList = FourCC("LIST");
constexpr std::uint32_t kHdrl = FourCC("hdrl");
constexpr std::uint32_t kMovi = FourCC("movi");
constexpr std::uint32_t kStrh = FourCC("strh");
constexpr std::uint32_t kStrf = FourCC("strf");
constexpr std::uint32_t kVids = FourCC("vids");
constexpr std::uint32_t kAuds = FourCC("auds");
constexpr std::uint32_t kTxts = FourCC("txts");
constexpr std::uint16_t kExtensibleFormat = 0xFFFE;
constexpr std::uint32_t kInfo = FourCC("INFO");

// Top-level chunks looked at before giving up on finding the header list.
constexpr int kMaxTopChunks = 64;

// AVISTREAMHEADER offsets.
constexpr std::size_t kStrhType = 0, kStrhHandler = 4, kStrhScale = 20, kStrhRate = 24,
                      kStrhLength = 32, kStrhFrameRight = 52, kStrhFrameBottom = 54;
constexpr std::size_t kStrhThroughLength = 36, kStrhThroughFrame = 56;

bool TakeVideo(ByteView strh, ByteView strf, AviVideoStream& v) {
  if (strh.size() < kStrhThroughLength) return false;
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
  return true;
}

bool TakeAudio(ByteView strf, AviAudioStream& a) {
  if (strf.size() < 16) return false;
  a.present = true;
  a.formatTag = strf.U16(0);
  a.channels = strf.U16(2);
  a.samplesPerSec = strf.U32(4);
  a.avgBytesPerSec = strf.U32(8);
  // WAVEFORMATEXTENSIBLE: the speaker mask after the 18 bytes of the plain
  // format and the valid bits a sample.
  if (a.formatTag == kExtensibleFormat && strf.Has(20, 4)) a.speakerMask = strf.U32(20);
  return true;
}

bool WholeChunk(const RiffChunk& chunk) { return chunk.data.size() == chunk.declaredSize; }

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

// The renaming rules look at bytes of a name as the codec managers gave it
// in code page 932; a name outside it keeps its characters.
std::string RenamedOnCp932(std::string (*rename)(std::string_view), const std::string& utf8) {
  if (AsciiPrefixLength(utf8) == utf8.size()) return rename(utf8);
  if (!FitsCp932(utf8)) return rename(utf8);
  return Cp932ToUtf8(rename(Utf8ToCp932(utf8)));
}

}  // namespace

bool ParseAviInfoList(ByteView info, AviHeaderInfo& entries) {
  entries.present = true;
  bool whole = true;
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
    whole = whole && WholeChunk(chunk);
    for (int i = 0; i < 6; ++i) {
      if (chunk.id != kEntries[i].id || taken[i]) continue;
      taken[i] = true;
      std::size_t n = 0;
      while (n < chunk.data.size() && n < kAviMaxInfoEntryBytes && chunk.data.U8(n) != 0) ++n;
      (entries.*kEntries[i].field).assign(reinterpret_cast<const char*>(chunk.data.data()), n);
    }
  }
  return whole;
}

void ParseAviHeaderList(ByteView hdrl, AviHeader& header) {
  bool videoSeen = false, audioSeen = false, anyStream = false;
  auto broken = [&] { NoteProblem(header.outcome, ProbeOutcome::Malformed); };
  RiffWalker lists(hdrl);
  RiffChunk chunk;
  while (lists.Next(chunk)) {
    if (!WholeChunk(chunk)) broken();
    if (chunk.id != kList || !chunk.data.Is(0, "strl")) continue;
    anyStream = true;
    ByteView strh, strf;
    bool haveStrh = false, haveStrf = false;
    RiffWalker parts(chunk.data.Sub(4, chunk.data.size()));
    RiffChunk part;
    while (!(haveStrh && haveStrf) && parts.Next(part)) {
      if (!WholeChunk(part)) broken();
      if (part.id == kStrh && !haveStrh) {
        strh = part.data;
        haveStrh = true;
      } else if (part.id == kStrf && haveStrh && !haveStrf) {
        strf = part.data;
        haveStrf = true;
      }
    }
    if (!haveStrh || !strh.Has(kStrhType, 4)) {
      broken();
      continue;
    }
    std::uint32_t type = strh.U32(kStrhType);
    if (type == kAuds) ++header.audioStreams;
    if (type == kTxts) ++header.textStreams;
    if (type == kVids && !videoSeen) {
      videoSeen = true;
      if (!TakeVideo(strh, strf, header.video)) broken();
    } else if (type == kAuds && !audioSeen) {
      audioSeen = true;
      if (!TakeAudio(strf, header.audio)) broken();
    }
  }
  if (!anyStream) broken();
}

AviHeader ReadAviHeader(MovieFile& file) {
  const std::vector<std::uint8_t> first = ReadBytes(file, 0, kAviHeadBytes);
  return ReadAviHeader(file, ByteView(first));
}

AviHeader ReadAviHeader(MovieFile& file, ByteView head) {
  AviHeader header;
  std::vector<std::uint8_t> first;
  if (head.size() < kAviHeadBytes && head.size() < file.Size()) {
    first = ReadBytes(file, 0, kAviHeadBytes);
    head = ByteView(first);
  }
  head = head.Sub(0, kAviHeadBytes);
  if (!head.Is(0, "RIFF") || !head.Is(8, "AVI ")) return header;
  header.outcome = ProbeOutcome::Whole;
  auto note = [&](ProbeOutcome problem) { NoteProblem(header.outcome, problem); };

  const std::uint64_t fileSize = file.Size();
  // The RIFF chunk's size tells how long the file was written.
  if (8 + static_cast<std::uint64_t>(head.U32(4)) > fileSize) note(ProbeOutcome::Truncated);
  bool haveHeaderList = false;
  std::uint64_t off = 12;
  for (int i = 0;; ++i) {
    if (i == kMaxTopChunks) {
      if (!haveHeaderList) note(ProbeOutcome::BudgetSpent);
      return header;
    }
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
    if (!hv.Has(0, 8)) {  // the file ends inside the chunk's header
      note(ProbeOutcome::Truncated);
      return header;
    }
    std::uint32_t id = hv.U32(0), size = hv.U32(4);
    // off < 2^40, size < 2^32: no wrap.
    const bool pastEnd = off + 8 + size > fileSize;
    if (id == kList && size < 4) note(ProbeOutcome::Malformed);
    if (id == kList && hv.Has(8, 4)) {
      std::uint32_t type = hv.U32(8);
      if (type == kMovi) {  // the header lists come before the data
        if (!haveHeaderList) note(ProbeOutcome::Malformed);
        return header;
      }
      ByteView body;
      if (type == kHdrl && !haveHeaderList) {
        haveHeaderList = true;
        if (pastEnd) note(ProbeOutcome::Truncated);
        if (size >= 4 && size - 4u > kAviMaxHeaderListBytes) note(ProbeOutcome::BudgetSpent);
        std::vector<std::uint8_t> read =
            ListBody(file, head, off + 12, size, kAviMaxHeaderListBytes, body);
        ParseAviHeaderList(body, header);
        // A list cut by the end of the file or by the cap may name more
        // streams than were seen.
        header.streamsListed = size >= 4 && body.size() == size - 4u;
      } else if (type == kInfo && !header.info.present) {
        if (pastEnd) note(ProbeOutcome::Truncated);
        std::vector<std::uint8_t> read =
            ListBody(file, head, off + 12, size, kAviMaxInfoListBytes, body);
        if (!ParseAviInfoList(body, header.info)) note(ProbeOutcome::Malformed);
      }
      if (haveHeaderList && header.info.present) return header;
    }
    if (pastEnd) note(ProbeOutcome::Truncated);
    std::uint64_t next = off + 8 + size + (size & 1u);
    if (next >= fileSize) {
      if (!haveHeaderList) note(ProbeOutcome::Malformed);
      return header;
    }
    off = next;
  }
}

std::string InfoEntryText(std::string_view bytes) {
  if (bytes.empty()) return {};
  return IsValidUtf8(bytes) ? std::string(bytes) : Cp932ToUtf8(bytes);
}

MovieFacts ProbeAvi(MovieFile& file, CodecNames& codecs, ByteView head) {
  const AviHeader header = ReadAviHeader(file, head);
  MovieFacts facts;
  facts.outcome = header.outcome;
  if (!facts.Recognised()) return facts;

  const AviVideoStream& v = header.video;
  if (v.present) {
    // A stream that names no handler is described by its format's compression.
    const std::uint32_t code = v.handler != 0 ? v.handler : v.compression;
    auto describe = [&](std::uint32_t c) {
      std::string d = codecs.VideoDescription(c);
      return d.empty() ? BuiltInVideoDescription(c) : d;
    };
    std::string description = describe(code);
    // A handler nobody knows (a camera's own code) may still carry a format
    // whose compression is known.
    if (description.empty() && v.compression != 0 && v.compression != code)
      description = describe(v.compression);
    if (description.empty()) description = kUnknownCodec;
    // The rules look at the whole description (its last bytes may lie past
    // what the field can hold); only the result is cut to the field.
    facts.videoFormat = CutCp932(RenamedOnCp932(RenameVideoCodec, description), kFieldMax);

    // Frames per second = rate / scale (rate unsigned, scale signed); without
    // a positive rate the frame rate and play time are unknown.
    const std::int32_t scale = static_cast<std::int32_t>(v.scale);
    if (v.rate != 0 && scale > 0) {
      facts.framesPerSecond = static_cast<double>(v.rate) / scale;
      facts.seconds = v.length / facts.framesPerSecond;
    }

    // The header's frame rectangle; a writer that left it empty still gives
    // the size in the bitmap format (whose height is negative for top-down
    // frames).
    facts.sizeAsStored = v.hasFrame || v.hasBitmap;
    if (v.hasFrame && (v.frameRight != 0 || v.frameBottom != 0)) {
      facts.width = v.frameRight, facts.height = v.frameBottom;
    } else if (v.hasBitmap) {
      facts.width = v.bitmapWidth, facts.height = std::llabs(v.bitmapHeight);
    } else if (v.hasFrame) {
      facts.width = v.frameRight, facts.height = v.frameBottom;
    }
  }

  // The audio bit rate from the stream format's average bytes per second.
  const AviAudioStream& a = header.audio;
  if (a.present) {
    std::string name = codecs.AudioFormatName(a.formatTag);
    if (name.empty()) name = BuiltInAudioFormatName(a.formatTag);
    if (name.empty()) name = kUnknownCodec;
    name = CutCp932(name, kFieldMax);
    facts.audioFormat = CutCp932(RenamedOnCp932(RenameAudioFormat, name), kFieldMax);
    facts.audioSamplesPerSecond = a.samplesPerSec;
    facts.audioBitsPerSecond = static_cast<std::uint64_t>(a.avgBytesPerSec) * 8;
    // The format's count, or the layout its speaker mask gives.
    if (a.speakerMask != 0)
      facts.channels = ChannelsFromSpeakerMask(a.speakerMask);
    else
      facts.channels.channels = a.channels;
  }

  // AVI gives its streams no language.
  if (header.streamsListed) {
    facts.tracksListed = true;
    facts.audioTracks.resize(static_cast<std::size_t>(header.audioStreams));
    facts.subtitleTracks.resize(static_cast<std::size_t>(header.textStreams));
  }

  // The header's INFO list, as other tools write it: the subject, else the
  // name, is the title; the copyright, else the artist, the creator.
  const AviHeaderInfo& info = header.info;
  facts.title = InfoEntryText(info.subject.empty() ? info.name : info.subject);
  facts.creator = InfoEntryText(info.copyright.empty() ? info.artist : info.copyright);
  facts.comment = InfoEntryText(info.comment);
  facts.genre = InfoEntryText(info.genre);
  return facts;
}

}  // namespace clip
