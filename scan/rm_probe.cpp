#include "scan/rm_probe.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/cp932.h"
#include "base/unicode.h"
#include "scan/byte_reader.h"
#include "scan/tag_text.h"

namespace clip {

namespace {

// Every chunk starts with its id, its size (counting these ten bytes) and
// the version of its layout.
constexpr std::size_t kChunkHeader = 10;
constexpr int kMaxChunks = 256;
// An MDPR chunk is read this far: its fields and a stream's type-specific
// data come well before (a file information stream may run longer).
constexpr std::size_t kMdprRead = 16 * 1024;

// A broken structure or cut file outweighs a spent budget, which outweighs
// an unknown version; of two equal ones the first is kept.
int Weight(ProbeOutcome o) {
  switch (o) {
    case ProbeOutcome::Truncated:
    case ProbeOutcome::Malformed: return 3;
    case ProbeOutcome::BudgetSpent: return 2;
    case ProbeOutcome::Unsupported: return 1;
    default: return 0;
  }
}

void Note(MovieFacts& f, ProbeOutcome o) {
  if (Weight(o) > Weight(f.outcome)) f.outcome = o;
}

// "RealVideo " or "RealAudio " and a four-character code as the file spells
// it; the family name alone when there is none.
std::string FamilyAndCode(const char* family, std::uint32_t code) {
  const std::uint8_t bytes[4] = {
      static_cast<std::uint8_t>(code >> 24), static_cast<std::uint8_t>(code >> 16),
      static_cast<std::uint8_t>(code >> 8), static_cast<std::uint8_t>(code)};
  const std::string id = code == 0 ? "" : CodecIdText(ByteView(bytes, 4));
  return id.empty() ? family : std::string(family) + " " + id;
}

std::string VideoName(std::uint32_t code) {
  switch (code) {
    case BigFourCC("RV10"): return "RealVideo 1.0";
    case BigFourCC("RV20"): return "RealVideo 2.0";
    case BigFourCC("RV30"): return "RealVideo 3.0";
    case BigFourCC("RV40"): return "RealVideo 4.0";
    case BigFourCC("RV60"): return "RealVideo 6.0";
    default: return FamilyAndCode("RealVideo", code);
  }
}

std::string AudioName(std::uint32_t code) {
  switch (code) {
    case BigFourCC("lpcJ"): return "RealAudio 14.4";
    case BigFourCC("28_8"): return "RealAudio 28.8";
    case BigFourCC("cook"): return "RealAudio Cook";
    case BigFourCC("sipr"): return "RealAudio Sipro";
    case BigFourCC("atrc"): return "RealAudio ATRAC3";
    case BigFourCC("raac"): return "RealAudio AAC";
    case BigFourCC("racp"): return "RealAudio HE-AAC";
    case BigFourCC("dnet"): return "RealAudio AC-3";
    case BigFourCC("ralf"): return "RealAudio Lossless";
    default: return FamilyAndCode("RealAudio", code);
  }
}

// A text of the CONT chunk up to its first NUL: UTF-8 when it is valid
// UTF-8, else code page 932 as Japanese writers stored it.
std::string TagText(ByteView bytes) {
  std::size_t n = 0;
  while (n < bytes.size() && bytes.U8(n) != 0) ++n;
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), n);
  return IsValidUtf8(text) ? CleanUtf8(bytes.Sub(0, n)) : Cp932ToUtf8(text);
}

bool Printable(std::uint32_t id) {
  for (int shift = 24; shift >= 0; shift -= 8) {
    const std::uint32_t c = id >> shift & 0xFF;
    if (c < 0x20 || c > 0x7E) return false;
  }
  return true;
}

struct Video {
  bool read = false;  // from a VIDO header, not only named by its type
  std::string format;
  int width = 0, height = 0;
  double framesPerSecond = 0;
};

struct Audio {
  bool read = false;  // from a RealAudio header, not only named by its type
  std::string format;
  std::uint32_t sampleRate = 0;
  std::uint64_t bitRate = 0;
  int channels = 0;  // 0 when unknown
};

struct Header {
  explicit Header(MovieFacts& f) : facts(f) {}
  MovieFacts& facts;
  std::uint64_t durationMs = 0;  // PROP's
  std::uint64_t longestMs = 0;   // the latest end of a stream
  Video video;
  Audio audio;
  std::string title, author, copyright, comment;
  int audioStreams = 0;    // MDPR chunks of an audio type
  bool dataFound = false;  // the walk reached the DATA chunk, past every MDPR
};

// One header chunk from its id on: the bytes read and the size it declares.
struct Chunk {
  ByteView bytes;
  std::uint32_t size;
  // True when the n bytes at off lie inside the declared size; a field
  // reaching past it marks the file malformed. The bytes read may still end
  // sooner (the file or the read ends first).
  bool Declares(std::size_t off, std::size_t n, MovieFacts& f) const {
    if (off <= size && n <= size - off) return true;
    Note(f, ProbeOutcome::Malformed);
    return false;
  }
};

// VIDO: length, "VIDO", codec, width, height, bits per pixel, four unknown
// bytes, then frames per second as 16.16 fixed point.
void ReadVideoHeader(ByteView d, Video& v) {
  v.read = true;
  v.format = VideoName(d.Has(8, 4) ? d.U32BE(8) : 0);
  v.width = d.U16BE(12);
  v.height = d.U16BE(14);
  const double fps = d.U32BE(22) / 65536.0;
  v.framesPerSecond = fps < 1000 ? fps : 0;
}

// ".ra\xFD" and a version: 3 is always 14.4 at 8 kHz; 4 and 5 give the
// sample rate and the codec at offsets of their own.
void ReadAudioHeader(ByteView d, std::uint32_t bitRate, Audio& a, MovieFacts& f) {
  std::uint32_t code = 0, rate = 0;
  switch (d.U16BE(4)) {
    case 3:
      code = BigFourCC("lpcJ");
      rate = 8000;
      a.channels = 1;
      break;
    case 4: {
      // After the rate and channels: an interleaver id and the codec, each
      // after a length byte.
      rate = d.U16BE(48);
      a.channels = d.U16BE(54);
      const std::size_t at = 57 + static_cast<std::size_t>(d.U8(56));
      if (d.Has(56, 1) && d.U8(at) == 4 && d.Has(at + 1, 4)) code = d.U32BE(at + 1);
      break;
    }
    case 5:
      rate = d.U16BE(54);
      a.channels = d.U16BE(60);
      code = d.Has(66, 4) ? d.U32BE(66) : 0;
      break;
    default: Note(f, ProbeOutcome::Unsupported); break;
  }
  a.read = true;
  a.format = AudioName(code);
  a.sampleRate = rate;
  a.bitRate = bitRate;
}

bool StartsWith(ByteView b, std::string_view s) {
  return b.Equals(0, reinterpret_cast<const std::uint8_t*>(s.data()), s.size());
}

// A stream's type-specific data: a RealAudio or VIDO header, or a
// multi-rate header whose first substream holds one. A stream of a video or
// audio type whose data tells nothing more is named by its family.
void ReadStreamData(ByteView d, bool videoType, bool audioType, std::uint32_t bitRate, Header& h,
                    int depth) {
  if (d.Is(0, ".ra\xFD")) {
    if (!h.audio.read) ReadAudioHeader(d, bitRate, h.audio, h.facts);
    return;
  }
  if (d.Is(4, "VIDO")) {
    if (!h.video.read) ReadVideoHeader(d, h.video);
    return;
  }
  if (d.Is(0, "MLTI") && depth == 0) {
    // Rule-to-substream numbers, the number of substreams, then each
    // substream's data after its length.
    const std::size_t at = 6 + 2 * static_cast<std::size_t>(d.U16BE(4));
    if (d.Has(at, 6) && d.U16BE(at) > 0) {
      ReadStreamData(d.Sub(at + 6, d.U32BE(at + 2)), videoType, audioType, bitRate, h, 1);
      return;
    }
  }
  if (videoType && h.video.format.empty()) h.video.format = "RealVideo";
  if (audioType && h.audio.format.empty()) {
    h.audio.format = "RealAudio";
    h.audio.bitRate = bitRate;
  }
}

// PROP: bit rates, packet sizes and count, then the duration in ms.
void ReadProperties(const Chunk& c, Header& h) {
  if (c.Declares(kChunkHeader, 40, h.facts)) h.durationMs = c.bytes.U32BE(30);
}

// MDPR: stream number, bit rates, packet sizes, start time, preroll and
// duration, then the stream's name, its type and its type-specific data.
void ReadMediaProperties(const Chunk& c, Header& h) {
  const ByteView b = c.bytes;
  if (!c.Declares(kChunkHeader, 31, h.facts) || !b.Has(kChunkHeader, 31)) return;
  const std::uint32_t bitRate = b.U32BE(16);
  h.longestMs = std::max<std::uint64_t>(h.longestMs, std::uint64_t{b.U32BE(28)} + b.U32BE(36));
  std::size_t at = 41 + static_cast<std::size_t>(b.U8(40));
  if (!c.Declares(at, 1, h.facts) || !b.Has(at, 1)) return;
  const std::size_t typeLength = b.U8(at);
  if (!c.Declares(at + 1, typeLength + 4, h.facts)) return;
  const ByteView type = b.Sub(at + 1, typeLength);
  if (StartsWith(type, "audio/")) ++h.audioStreams;
  at += 1 + typeLength;
  if (!b.Has(at, 4)) return;
  const std::uint32_t dataLength = b.U32BE(at);
  if (!c.Declares(at + 4, dataLength, h.facts)) return;
  // "logical-..." types describe groups of streams, not a stream of their own.
  ReadStreamData(b.Sub(at + 4, dataLength), StartsWith(type, "video/"), StartsWith(type, "audio/"),
                 bitRate, h, 0);
}

// CONT: title, author, copyright and comment, each after a 16-bit length.
void ReadContent(const Chunk& c, Header& h) {
  std::string* texts[] = {&h.title, &h.author, &h.copyright, &h.comment};
  std::size_t at = kChunkHeader;
  for (std::string* text : texts) {
    if (!c.Declares(at, 2, h.facts) || !c.bytes.Has(at, 2)) return;
    const std::size_t n = c.bytes.U16BE(at);
    if (!c.Declares(at + 2, n, h.facts)) return;
    *text = TagText(c.bytes.Sub(at + 2, n));
    at += 2 + n;
  }
}

// Walks the chunks up to the first DATA chunk.
void ReadHeaders(FileWindow& window, Header& h) {
  MovieFacts& f = h.facts;
  const std::uint64_t size = window.size();
  std::uint64_t off = 0;
  for (int i = 0; i < kMaxChunks; ++i) {
    if (off >= size || size - off < kChunkHeader) return Note(f, ProbeOutcome::Truncated);
    const ByteView head = window.At(off, kChunkHeader);
    if (!head.Has(0, kChunkHeader)) return Note(f, ProbeOutcome::BudgetSpent);
    const std::uint32_t id = head.U32BE(0), declared = head.U32BE(4);
    const std::uint16_t version = head.U16BE(8);
    if (!Printable(id) || declared < kChunkHeader) return Note(f, ProbeOutcome::Malformed);
    if (id == BigFourCC("DATA")) {
      h.dataFound = true;
      return;
    }
    if (declared > size - off) Note(f, ProbeOutcome::Truncated);

    void (*read)(const Chunk&, Header&) = nullptr;
    std::size_t want = 0;
    switch (id) {
      case BigFourCC(".RMF"):
        if (version > 1) Note(f, ProbeOutcome::Unsupported);
        break;
      case BigFourCC("PROP"): read = ReadProperties, want = kChunkHeader + 40; break;
      case BigFourCC("MDPR"): read = ReadMediaProperties, want = kMdprRead; break;
      case BigFourCC("CONT"): read = ReadContent, want = kRmMaxChunkRead; break;
      default: break;  // INDX, metadata and chunks of later versions
    }
    if (read && version != 0) {
      Note(f, ProbeOutcome::Unsupported);
    } else if (read) {
      want = std::min<std::size_t>(want, declared);
      const ByteView body = window.At(off, want);
      if (body.size() < std::min<std::uint64_t>(want, size - off))
        return Note(f, ProbeOutcome::BudgetSpent);
      read(Chunk{body, declared}, h);
    }
    off += declared;
  }
  Note(f, ProbeOutcome::BudgetSpent);
}

}  // namespace

MovieFacts ProbeRealMedia(MovieFile& file) {
  MovieFacts facts;
  FileWindow window(file, kRmWindow, kRmMaxReads);
  if (!window.At(0, 4).Is(0, ".RMF")) return facts;
  facts.outcome = ProbeOutcome::Whole;
  Header h(facts);
  ReadHeaders(window, h);

  if (!h.video.format.empty()) {
    facts.videoFormat = h.video.format;
    facts.width = h.video.width;
    facts.height = h.video.height;
    facts.framesPerSecond = h.video.framesPerSecond;
  }
  if (!h.audio.format.empty()) {
    facts.audioFormat = h.audio.format;
    facts.audioSamplesPerSecond = h.audio.sampleRate;
    facts.audioBitsPerSecond = h.audio.bitRate;
    facts.channels.channels = h.audio.channels;  // a count: RealAudio gives no layout
  }
  // The media properties come before the data, one chunk a stream; they
  // give no language.
  if (h.dataFound) {
    facts.tracksListed = true;
    facts.audioTracks.resize(static_cast<std::size_t>(h.audioStreams));
  }
  // Writers have left PROP's duration short of the streams': the longer
  // counts. A live stream declares none; 0 is no play time.
  const std::uint64_t ms = std::max(h.durationMs, h.longestMs);
  if (ms != 0) facts.seconds = static_cast<double>(ms) / 1000;
  facts.title = h.title;
  facts.creator = h.author;
  // The copyright takes the comment cell when the file has no comment.
  facts.comment = h.comment.empty() ? h.copyright : h.comment;
  return facts;
}

}  // namespace clip
