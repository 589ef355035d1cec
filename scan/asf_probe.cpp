#include "scan/asf_probe.h"

#include <algorithm>
#include <vector>

#include "scan/byte_reader.h"
#include "scan/codec_table.h"
#include "scan/frame_rate.h"
#include "scan/tag_text.h"
#include "scan/track_config.h"

namespace clip {

namespace {

// GUIDs as the file stores them (the first three fields little-endian).
using Guid = std::uint8_t[16];
constexpr Guid kHeader = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                          0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
constexpr Guid kFileProperties = {0xA1, 0xDC, 0xAB, 0x8C, 0x47, 0xA9, 0xCF, 0x11,
                                  0x8E, 0xE4, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
constexpr Guid kStreamProperties = {0x91, 0x07, 0xDC, 0xB7, 0xB7, 0xA9, 0xCF, 0x11,
                                    0x8E, 0xE6, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
constexpr Guid kContentDescription = {0x33, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                      0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
constexpr Guid kExtendedContent = {0x40, 0xA4, 0xD0, 0xD2, 0x07, 0xE3, 0xD2, 0x11,
                                   0x97, 0xF0, 0x00, 0xA0, 0xC9, 0x5E, 0xA8, 0x50};
constexpr Guid kHeaderExtension = {0xB5, 0x03, 0xBF, 0x5F, 0x2E, 0xA9, 0xCF, 0x11,
                                   0x8E, 0xE3, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
constexpr Guid kExtendedStream = {0xCB, 0xA5, 0xE6, 0x14, 0x72, 0xC6, 0x32, 0x43,
                                  0x83, 0x99, 0xA9, 0x69, 0x52, 0x06, 0x5B, 0x5A};
constexpr Guid kLanguageList = {0xA9, 0x46, 0x43, 0x7C, 0xE0, 0xEF, 0xFC, 0x4B,
                                0xB2, 0x29, 0x39, 0x3E, 0xDE, 0x41, 0x5C, 0x85};
constexpr Guid kAudioMedia = {0x40, 0x9E, 0x69, 0xF8, 0x4D, 0x5B, 0xCF, 0x11,
                              0xA8, 0xFD, 0x00, 0x80, 0x5F, 0x5C, 0x44, 0x2B};
constexpr Guid kData = {0x36, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                        0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
constexpr Guid kVideoMedia = {0xC0, 0xEF, 0x19, 0xBC, 0x4D, 0x5B, 0xCF, 0x11,
                              0xA8, 0xFD, 0x00, 0x80, 0x5F, 0x5C, 0x44, 0x2B};

constexpr std::size_t kObjectHeader = 24;  // GUID and 64-bit size
// Objects looked at in the header and in its extension.
constexpr int kMaxObjects = 256;
// Streams whose extended properties are kept (stream numbers run 1 to 127).
constexpr int kMaxStreams = 128;

struct Stream {
  bool present = false;
  int number = 0;
};

struct Header {
  MovieFacts facts;
  Stream video, audio;
  std::uint32_t packetSize = 0;  // of the data packets, when all are of one size
  bool isVideo[kMaxStreams] = {};
  // From the extended stream properties, by stream number.
  std::uint64_t timePerFrame[kMaxStreams] = {};  // 100 ns units
  std::uint32_t dataBitrate[kMaxStreams] = {};   // bits a second
  int languageSlot[kMaxStreams] = {};            // the language's index + 1; 0 none
  std::vector<int> audioNumbers;                 // every audio stream, in header order
  std::vector<std::string> languages;            // of the language list
};

// Calls visit(guid, body) for each of up to count objects in bytes until it
// returns false. An object smaller than its header or running past the
// bytes ends the walk, as do fewer bytes left than a header: then the
// result is false.
template <typename Visit>
bool ForEachObject(ByteView bytes, std::uint32_t count, Visit visit) {
  std::size_t off = 0;
  for (std::uint32_t i = 0; i < count && i < kMaxObjects && off < bytes.size(); ++i) {
    if (!bytes.Has(off, kObjectHeader)) return false;
    std::uint64_t size = bytes.U64(off + 16);
    if (size < kObjectHeader || size > bytes.size() - off) return false;
    if (!visit(bytes.Sub(off, 16), bytes.Sub(off + kObjectHeader, size - kObjectHeader)))
      return true;
    off += static_cast<std::size_t>(size);
  }
  return true;
}

bool Is(ByteView guid, const Guid& want) { return guid.Equals(0, want, 16); }

// Takes the first video and the first audio stream; false when a stream of
// either kind is too short for its format.
bool TakeStream(ByteView body, Header& h) {
  // Stream type, error correction type, time offset, data lengths, flags.
  const std::uint32_t typeLength = body.U32(40);
  const int number = body.U16(48) & 0x7F;
  ByteView data = body.Sub(54, typeLength);
  MovieFacts& f = h.facts;
  const bool video = Is(body.Sub(0, 16), kVideoMedia), audio = Is(body.Sub(0, 16), kAudioMedia);
  if (audio) h.audioNumbers.push_back(number);
  if ((video && !data.Has(0, 11 + 20)) || (audio && !data.Has(0, 16))) return false;
  if (video) h.isVideo[number] = true;
  if (video && !h.video.present) {
    // Encoded width and height, flags, format size, then BITMAPINFOHEADER.
    h.video = {true, number};
    f.width = static_cast<int>(std::min<std::uint32_t>(data.U32(0), 0x7FFFFFFF));
    f.height = static_cast<int>(std::min<std::uint32_t>(data.U32(4), 0x7FFFFFFF));
    f.videoFormat = WindowsVideoName(data.U32(11 + 16));
  } else if (audio && !h.audio.present) {
    h.audio = {true, number};
    std::uint16_t tag = data.U16(0);
    // The format's count, or the layout of WAVEFORMATEXTENSIBLE's speaker
    // mask (after the plain format and the valid bits a sample).
    if (tag == 0xFFFE && data.U32(20) != 0)
      f.channels = ChannelsFromSpeakerMask(data.U32(20));
    else
      f.channels.channels = data.U16(2);
    // WAVEFORMATEXTENSIBLE names its format in the first two bytes of its
    // sub-format GUID.
    if (tag == 0xFFFE && data.Has(24, 2)) tag = data.U16(24);
    f.audioFormat = WindowsAudioName(tag);
    f.audioSamplesPerSecond = data.U32(4);
    f.audioBitsPerSecond = static_cast<std::uint64_t>(data.U32(8)) * 8;
  }
  return true;
}

void TakeContentDescription(ByteView body, MovieFacts& f) {
  // Five lengths (title, author, copyright, description, rating), then the
  // texts in that order.
  std::size_t at = 10;
  std::string* slots[5] = {&f.title, &f.creator, nullptr, &f.comment, nullptr};
  for (int i = 0; i < 5; ++i) {
    const std::uint16_t len = body.U16(2 * i);
    if (slots[i] && slots[i]->empty()) *slots[i] = Utf8FromUtf16(body.Sub(at, len), false);
    at += len;
  }
}

// Names are compared without regard to ASCII case.
bool SameName(const std::string& a, const char* b) {
  std::size_t i = 0;
  for (; i < a.size() && b[i]; ++i) {
    char c = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] + 32) : a[i];
    char d = b[i] >= 'A' && b[i] <= 'Z' ? static_cast<char>(b[i] + 32) : b[i];
    if (c != d) return false;
  }
  return i == a.size() && !b[i];
}

// WM/Genre, and the texts of the content description where that object
// leaves them out (some writers put the comment here only, as Description).
void TakeExtendedContent(ByteView body, MovieFacts& f) {
  const std::uint16_t count = body.U16(0);
  std::size_t at = 2;
  for (std::uint16_t i = 0; i < count && body.Has(at, 2); ++i) {
    const std::uint16_t nameLength = body.U16(at);
    ByteView name = body.Sub(at + 2, nameLength);
    at += 2 + static_cast<std::size_t>(nameLength);
    if (!body.Has(at, 4)) return;
    const std::uint16_t type = body.U16(at), valueLength = body.U16(at + 2);
    ByteView value = body.Sub(at + 4, valueLength);
    at += 4 + static_cast<std::size_t>(valueLength);
    if (type != 0) continue;  // not a text
    const std::string key = Utf8FromUtf16(name, false);
    std::string* slot = SameName(key, "WM/Genre")      ? &f.genre
                        : SameName(key, "Title")       ? &f.title
                        : SameName(key, "Author")      ? &f.creator
                        : SameName(key, "Description") ? &f.comment
                                                       : nullptr;
    if (slot && slot->empty()) *slot = Utf8FromUtf16(value, false);
  }
}

// False when the extension's objects do not fit it.
bool TakeHeaderExtension(ByteView body, Header& h) {
  // Reserved GUID and field, the size of the objects, the objects.
  const std::uint32_t size = body.U32(18);
  return ForEachObject(body.Sub(22, size), kMaxObjects, [&](ByteView guid, ByteView object) {
    if (Is(guid, kExtendedStream) && object.Has(50, 2)) {
      const int number = object.U16(48) & 0x7F;
      h.languageSlot[number] = object.U16(50) + 1;
      h.timePerFrame[number] = object.U64(52);
      h.dataBitrate[number] = object.U32(16);
    } else if (Is(guid, kLanguageList) && h.languages.empty()) {
      // A count, then each identifier as a byte length and UTF-16 text.
      std::size_t at = 2;
      for (std::uint16_t i = 0; i < object.U16(0) && object.Has(at, 1); ++i) {
        const std::size_t length = object.U8(at);
        h.languages.push_back(Utf8FromUtf16(object.Sub(at + 1, length), false));
        at += 1 + length;
      }
    }
    return true;
  });
}

// The data object's header: GUID, size, file id and packet count.
constexpr std::size_t kDataHeader = 50;

// A field of a data packet whose length a two-bit type gives (none, byte,
// word, double word), read at q and stepped over.
std::uint32_t Field(ByteView b, std::size_t& q, unsigned type) {
  static constexpr std::size_t kLengths[4] = {0, 1, 2, 4};
  const std::size_t n = kLengths[type & 3];
  const std::uint32_t v = n == 1 ? b.U8(q) : n == 2 ? b.U16(q) : n == 4 ? b.U32(q) : 0;
  q += n;
  return v;
}

// Calls take(stream, presentationMs) for each media object that starts in
// the data packets of packetSize bytes each in bytes: its payload at offset
// 0, with its presentation time in the replicated data, or each of the
// objects a compressed payload packs together. A packet that cannot be read
// ends the walk.
template <typename Take>
void ForEachObjectStart(ByteView bytes, std::size_t packetSize, Take take) {
  for (std::size_t at = 0; bytes.Has(at, packetSize); at += packetSize) {
    ByteView p = bytes.Sub(at, packetSize);
    std::size_t q = 0;
    if (p.U8(0) & 0x80) {  // error correction data
      if (p.U8(0) & 0x60) return;
      q = 1 + (p.U8(0) & 0x0Fu);
    }
    const std::uint8_t lengths = p.U8(q), properties = p.U8(q + 1);
    q += 2;
    if ((properties >> 6) != 1) return;  // the stream number is a byte
    const std::uint32_t packetLength = Field(p, q, lengths >> 5);
    Field(p, q, lengths >> 1);  // sequence
    const std::uint32_t padding = Field(p, q, lengths >> 3);
    q += 6;  // send time and duration
    std::size_t end = packetLength != 0 && packetLength < packetSize ? packetLength : packetSize;
    end = padding <= end ? end - padding : 0;
    const bool multiple = lengths & 1;
    const std::uint8_t payloadFlags = multiple ? p.U8(q++) : 0;
    const int count = multiple ? payloadFlags & 0x3F : 1;
    for (int i = 0; i < count; ++i) {
      const int stream = p.U8(q++) & 0x7F;
      Field(p, q, properties >> 4);  // media object number
      const std::uint32_t offset = Field(p, q, properties >> 2);
      const std::uint32_t replicated = Field(p, q, properties);
      if (q > end || replicated > end - q) return;
      const std::uint32_t presentation = replicated >= 8 ? p.U32(q + 4) : offset;
      const std::uint8_t delta = p.U8(q);
      q += replicated;
      const std::size_t length = multiple ? Field(p, q, payloadFlags >> 6) : end - q;
      if (q > end || length > end - q) return;
      if (replicated == 1) {  // whole objects, each after a byte of its length
        std::uint32_t time = presentation;
        for (std::size_t sub = q; sub < q + length; sub += 1 + p.U8(sub), time += delta)
          take(stream, time);
      } else if (replicated >= 8 && offset == 0) {
        take(stream, presentation);
      }
      q += length;
    }
  }
}

// The frame rate of the video's first frames from the presentation times
// (ms) in the data packets: in packets bytes, else in one read of the
// packets after them. A file of several bit rates of one picture (streams
// excluding each other) may hold packets of one of them only: the first
// video stream with any stands in for the one the row shows.
double PacketFrameRate(MovieFile& file, ByteView bytes, std::uint64_t headerSize, const Header& h) {
  if (h.packetSize == 0 || h.packetSize > kAsfPacketBytes) return 0;
  const std::uint64_t size = file.Size();
  if (headerSize > size || size - headerSize < kDataHeader + h.packetSize) return 0;
  const std::uint64_t start = headerSize + kDataHeader;
  auto rate = [&](ByteView packets) {
    FrameStamps own, other;
    int otherStream = -1;
    ForEachObjectStart(packets, h.packetSize, [&](int stream, std::uint32_t time) {
      if (stream == h.video.number) {
        own.Add(time);
      } else if (h.isVideo[stream] && (otherStream < 0 || otherStream == stream)) {
        otherStream = stream;
        other.Add(time);
      }
    });
    return own.size() != 0 ? own.Rate(1000) : other.Rate(1000);
  };
  if (bytes.size() > start) {
    if (!bytes.Equals(static_cast<std::size_t>(headerSize), kData, 16)) return 0;
    const double fromHead = rate(bytes.Sub(static_cast<std::size_t>(start), bytes.size()));
    // Frames enough in the bytes read, or they hold the packets as far as
    // the file or another read goes.
    if (fromHead > 0 || bytes.size() >= size || bytes.size() - headerSize >= kAsfPacketBytes)
      return fromHead;
  }
  std::vector<std::uint8_t> more = ReadBytes(
      file, headerSize,
      static_cast<std::size_t>(std::min<std::uint64_t>(kAsfPacketBytes, size - headerSize)));
  ByteView data(more);
  if (!data.Equals(0, kData, 16)) return 0;
  return rate(data.Sub(kDataHeader, data.size()));
}

}  // namespace

MovieFacts ProbeAsf(MovieFile& file) {
  Header h;
  MovieFacts& f = h.facts;
  // One read holds the header of almost every file; a larger one (cover
  // art in the tags) is read again whole, up to the cap, and the first
  // data packets with it.
  std::vector<std::uint8_t> bytes = ReadBytes(file, 0, kAsfHeadBytes);
  ByteView v(bytes);
  if (!v.Equals(0, kHeader, 16) || !v.Has(0, 30)) return f;
  f.outcome = ProbeOutcome::Whole;
  const std::uint64_t headerSize = v.U64(16);
  const std::uint32_t count = v.U32(24);
  if (headerSize < 30) {
    f.Note(ProbeOutcome::Malformed);
    return f;
  }
  const std::uint64_t fileSize = file.Size();
  if (headerSize > fileSize) f.Note(ProbeOutcome::Truncated);
  if (headerSize > kAsfMaxHeaderBytes) f.Note(ProbeOutcome::BudgetSpent);
  if (headerSize > bytes.size() && bytes.size() == kAsfHeadBytes)
    bytes = ReadBytes(file, 0,
                      headerSize <= kAsfMaxHeaderBytes
                          ? static_cast<std::size_t>(headerSize) + kAsfPacketBytes
                          : kAsfMaxHeaderBytes);
  v = ByteView(bytes).Sub(30, headerSize - 30);

  std::uint32_t objects = 0;
  const bool fit = ForEachObject(v, count, [&](ByteView guid, ByteView body) {
    ++objects;
    bool whole = true;
    if (Is(guid, kFileProperties) && body.Has(64, 4)) {
      // Play duration (100 ns) includes the preroll (ms); a broadcast file
      // (flag bit 0) knows neither, nor the size the whole file has.
      const std::uint64_t play = body.U64(40), preroll = body.U64(56);
      if (body.Has(68, 8) && body.U32(68) == body.U32(72)) h.packetSize = body.U32(72);
      if (!(body.U32(64) & 1)) {
        if (body.U64(16) > fileSize) f.Note(ProbeOutcome::Truncated);
        double seconds = static_cast<double>(play) / 1e7 - static_cast<double>(preroll) / 1e3;
        f.seconds = seconds > 0 ? seconds : 0;
      }
    } else if (Is(guid, kStreamProperties)) {
      whole = TakeStream(body, h);
    } else if (Is(guid, kContentDescription)) {
      TakeContentDescription(body, f);
    } else if (Is(guid, kExtendedContent)) {
      TakeExtendedContent(body, f);
    } else if (Is(guid, kHeaderExtension)) {
      whole = TakeHeaderExtension(body, h);
    }
    if (!whole) f.Note(ProbeOutcome::Malformed);
    return true;
  });
  // The objects must fit the header, and be as many as it says.
  if (!fit || objects < std::min<std::uint32_t>(count, kMaxObjects))
    f.Note(ProbeOutcome::Malformed);
  // Every stream is known once each object the header counts was read.
  if (fit && objects == count) {
    f.tracksListed = true;
    for (int number : h.audioNumbers) {
      const std::size_t slot = static_cast<std::size_t>(h.languageSlot[number]);
      f.audioTracks.push_back(
          TrackFact{slot > 0 && slot <= h.languages.size() ? h.languages[slot - 1] : ""});
    }
  }
  // A format that leaves its byte rate at 0 (variable-rate audio) has the
  // stream's average in its extended properties.
  if (h.audio.present && f.audioBitsPerSecond == 0)
    f.audioBitsPerSecond = h.dataBitrate[h.audio.number];
  if (h.video.present && h.timePerFrame[h.video.number])
    f.framesPerSecond = 1e7 / static_cast<double>(h.timePerFrame[h.video.number]);
  // Without a time per frame (ffmpeg writes none) the first frames' times
  // give the rate; not past a header longer than the cap.
  if (h.video.present && f.framesPerSecond == 0 && headerSize <= kAsfMaxHeaderBytes)
    f.framesPerSecond = PacketFrameRate(file, ByteView(bytes), headerSize, h);
  return f;
}

}  // namespace clip
