#include "scan/flv_probe.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string_view>
#include <vector>

#include "scan/frame_rate.h"
#include "scan/stream_headers.h"
#include "scan/tag_text.h"
#include "scan/track_config.h"

namespace clip {

namespace {

constexpr std::size_t kTagHeader = 11;
constexpr int kMaxTags = 512;
// Script data nests objects in arrays in objects; real files stay far below.
constexpr int kMaxAmfDepth = 16;
constexpr int kMaxAmfPairs = 4096;

constexpr std::uint8_t kAudioTag = 8, kVideoTag = 9, kScriptTag = 18;

std::uint32_t U24BE(ByteView b, std::size_t off) {
  return b.Has(off, 3) ? static_cast<std::uint32_t>(b.U8(off)) << 16 | b.U16BE(off + 1) : 0;
}

// A four-character code as text when it is printable, else its number.
std::string CodeText(std::uint32_t code) {
  std::string text;
  for (int shift = 24; shift >= 0; shift -= 8) {
    char c = static_cast<char>(code >> shift & 0xFF);
    if (c < 0x20 || c > 0x7E) return std::to_string(code);
    text += c;
  }
  return text;
}

// Codec ids of the tag headers; ids from 256 up are the four-character
// codes of extended tags (and of script data naming them).
std::string VideoCodecName(std::uint32_t id) {
  switch (id) {
    case 2: return "Sorenson H.263";
    case 3: return "Screen Video";
    case 4:
    case 5: return "VP6";
    case 6: return "Screen Video 2";
    case 7:
    case BigFourCC("avc1"): return "H.264";
    case 12:
    case BigFourCC("hvc1"): return "H.265";
    case BigFourCC("vp08"): return "VP8";
    case BigFourCC("vp09"): return "VP9";
    case BigFourCC("av01"): return "AV1";
    default: return id < 256 ? std::to_string(id) : CodeText(id);
  }
}

std::string AudioCodecName(std::uint32_t id) {
  switch (id) {
    case 0:
    case 3: return "PCM";
    case 1: return "ADPCM";
    case 2:
    case 14:
    case BigFourCC(".mp3"): return "MP3";
    case 4:
    case 5:
    case 6: return "Nellymoser";
    case 7: return "G.711 A-law";
    case 8: return "G.711 mu-law";
    case 10:
    case BigFourCC("mp4a"): return "AAC";
    case 11: return "Speex";
    case BigFourCC("Opus"): return "Opus";
    case BigFourCC("fLaC"): return "FLAC";
    case BigFourCC("ac-3"): return "AC-3";
    case BigFourCC("ec-3"): return "E-AC-3";
    default: return id < 256 ? std::to_string(id) : CodeText(id);
  }
}

// ---- AMF0 script data ----

struct Metadata {
  double duration = -1, width = 0, height = 0, framerate = 0;
  double audioSampleRate = 0, audioDataRate = -1;
  double fileSize = 0;  // as the writer gives it; 0 when it does not
  bool hasVideoCodec = false, hasAudioCodec = false;
  std::uint32_t videoCodec = 0, audioCodec = 0;
  std::string title, artist, genre, comment;
};

class AmfReader {
 public:
  explicit AmfReader(ByteView b) : b_(b) {}

  // The text of a string whose 16-bit length is at the read position.
  bool ShortString(ByteView& text) {
    if (!b_.Has(off_, 2)) return false;
    std::size_t n = b_.U16BE(off_);
    if (!b_.Has(off_ + 2, n)) return false;
    text = b_.Sub(off_ + 2, n);
    off_ += 2 + n;
    return true;
  }

  // Skips the value (type byte and data) at the read position.
  bool SkipValue(int depth) {
    if (depth > kMaxAmfDepth || !b_.Has(off_, 1)) return false;
    const std::uint8_t type = b_.U8(off_++);
    ByteView text;
    switch (type) {
      case 0: return Skip(8);  // number
      case 1: return Skip(1);  // boolean
      case 2:
      case 4: return ShortString(text);  // string, movie clip path
      case 5:
      case 6:
      case 13: return true;                                   // null, undefined, unsupported
      case 7: return Skip(2);                                 // reference
      case 8: return Skip(4) && SkipPairs(depth);             // ECMA array: count, then pairs
      case 3: return SkipPairs(depth);                        // object
      case 16: return ShortString(text) && SkipPairs(depth);  // typed object
      case 10: {  // strict array: every value takes at least one byte
        if (!b_.Has(off_, 4)) return false;
        std::uint32_t count = b_.U32BE(off_);
        off_ += 4;
        for (std::uint32_t i = 0; i < count; ++i)
          if (!SkipValue(depth + 1)) return false;
        return true;
      }
      case 11: return Skip(10);  // date: time and zone
      case 12:
      case 15: {  // long string, XML
        if (!b_.Has(off_, 4)) return false;
        std::size_t n = b_.U32BE(off_);
        return Skip(4) && Skip(n);
      }
      default: return false;
    }
  }

  // Reads the pairs of an object or ECMA array up to its end marker
  // (an empty name and type 9), calling take(name) for each: take reads the
  // value itself or returns false to have it skipped.
  template <typename Take>
  bool Pairs(int depth, Take take) {
    for (int i = 0; i < kMaxAmfPairs; ++i) {
      ByteView name;
      if (!ShortString(name)) return false;
      if (name.size() == 0 && b_.U8(off_) == 9) {
        ++off_;
        return true;
      }
      if (!take(name) && !SkipValue(depth + 1)) return false;
    }
    return false;
  }

  bool SkipPairs(int depth) {
    return Pairs(depth, [](ByteView) { return false; });
  }

  // Number and String read a value of their type at the read position;
  // for any other type they read nothing and give false.
  bool Number(double& value) {
    if (b_.U8(off_) != 0 || !b_.Has(off_ + 1, 8)) return false;
    std::uint64_t bits = b_.U64BE(off_ + 1);
    std::memcpy(&value, &bits, sizeof value);
    off_ += 9;
    if (!std::isfinite(value)) value = 0;
    return true;
  }
  bool String(std::string& value) {
    if (b_.U8(off_) != 2) return false;
    ++off_;
    ByteView text;
    if (!ShortString(text)) {
      --off_;
      return false;
    }
    value = CleanUtf8(text);
    return true;
  }

  std::uint8_t PeekType() const { return b_.U8(off_); }
  void SkipType() { ++off_; }
  bool Skip(std::size_t n) {
    if (!b_.Has(off_, n)) return false;
    off_ += n;
    return true;
  }

 private:
  ByteView b_;
  std::size_t off_ = 0;
};

bool Named(ByteView name, std::string_view want) {
  return name.size() == want.size() && std::memcmp(name.data(), want.data(), want.size()) == 0;
}

// A codec id in script data: a number, or a four-character code as text.
bool CodecId(AmfReader& amf, bool& has, std::uint32_t& id) {
  double n = 0;
  std::string text;
  if (amf.Number(n)) {
    if (n >= 0 && n < 4294967296.0) has = true, id = static_cast<std::uint32_t>(n);
    return true;
  }
  if (!amf.String(text)) return false;
  if (text.size() == 4) {
    has = true;
    id = 0;
    for (char c : text) id = id << 8 | static_cast<std::uint8_t>(c);
  }
  return true;
}

// onMetaData: a name, then an ECMA array or object of values. What comes
// before a cut or a damaged value is kept.
bool ReadMetadata(ByteView script, Metadata& m) {
  AmfReader amf(script);
  ByteView name;
  if (amf.PeekType() != 2) return false;
  amf.SkipType();
  if (!amf.ShortString(name) || !Named(name, "onMetaData")) return false;
  const std::uint8_t type = amf.PeekType();
  if (type != 8 && type != 3) return true;
  amf.SkipType();
  // The count of an ECMA array is only a hint: its end marker ends it.
  if (type == 8 && !amf.Skip(4)) return true;
  amf.Pairs(0, [&](ByteView key) {
    if (Named(key, "duration")) return amf.Number(m.duration);
    if (Named(key, "filesize")) return amf.Number(m.fileSize);
    if (Named(key, "width")) return amf.Number(m.width);
    if (Named(key, "height")) return amf.Number(m.height);
    if (Named(key, "framerate")) return amf.Number(m.framerate);
    if (Named(key, "audiosamplerate")) return amf.Number(m.audioSampleRate);
    if (Named(key, "audiodatarate")) return amf.Number(m.audioDataRate);
    if (Named(key, "videocodecid")) return CodecId(amf, m.hasVideoCodec, m.videoCodec);
    if (Named(key, "audiocodecid")) return CodecId(amf, m.hasAudioCodec, m.audioCodec);
    if (Named(key, "title")) return amf.String(m.title);
    if (Named(key, "artist")) return amf.String(m.artist);
    if (Named(key, "genre")) return amf.String(m.genre);
    if (Named(key, "comment")) return amf.String(m.comment);
    return false;
  });
  return true;
}

// ---- audio and video tags ----

struct TagVideo {
  bool complete = false;  // nothing more to learn from later tags
  VideoStreamInfo info;
  VideoDepth depth;  // from the decoder configuration record
};

struct TagAudio {
  bool complete = false;
  AudioStreamInfo info;
  bool exactRate = false;  // from the stream's own header, not the tag flags
};

// The picture header of Sorenson H.263: start code, version, temporal
// reference, then a size code (or the size itself).
void ReadH263Size(ByteView frame, VideoStreamInfo& v) {
  BitReader br(frame);
  if (br.Bits(17) != 1 || br.Bits(5) > 1) return;
  br.Skip(8);
  static constexpr int kSizes[7][2] = {{0, 0},    {0, 0},     {352, 288}, {176, 144},
                                       {128, 96}, {320, 240}, {160, 120}};
  std::uint32_t code = br.Bits(3);
  int w = 0, h = 0;
  if (code == 0 || code == 1) {
    int bits = code == 0 ? 8 : 16;
    w = static_cast<int>(br.Bits(bits));
    h = static_cast<int>(br.Bits(bits));
  } else if (code < 7) {
    w = kSizes[code][0], h = kSizes[code][1];
  }
  // The 16-bit form reaches sizes no encoder makes: taken for damage.
  if (br.ok() && w > 0 && h > 0 && w <= 16384 && h <= 16384) v.width = w, v.height = h;
}

// AVCDecoderConfigurationRecord: the first sequence parameter set.
void ReadAvcConfig(ByteView c, VideoStreamInfo& v) {
  if ((c.U8(5) & 0x1F) == 0 || !c.Has(6, 2)) return;
  ReadAvcSpsNal(c.Sub(8, c.U16BE(6)), v);
}

// HEVCDecoderConfigurationRecord: arrays of parameter sets after 22 bytes.
void ReadHevcConfig(ByteView c, VideoStreamInfo& v) {
  VideoStreamInfo sized;
  std::size_t off = 23;
  for (int a = 0, arrays = c.U8(22); a < arrays && c.Has(off, 3); ++a) {
    const int type = c.U8(off) & 0x3F;
    const int count = c.U16BE(off + 1);
    off += 3;
    for (int k = 0; k < count && c.Has(off, 2); ++k) {
      ByteView nal = c.Sub(off + 2, c.U16BE(off));
      if (type == 33) ReadHevcSpsNal(nal, sized);
      if (type == 32) ReadHevcVpsNal(nal, sized);
      off += 2 + nal.size();
    }
  }
  if (!sized.format.empty()) v = sized;
}

void ReadVideoTag(ByteView body, TagVideo& v) {
  if (!body.Has(0, 1)) return;
  const std::uint8_t b0 = body.U8(0);
  if (b0 & 0x80) {  // extended header: packet type and a four-character code
    const std::uint32_t code = body.U32BE(1);
    v.info.format = VideoCodecName(code);
    const bool sequenceStart = (b0 & 0x0F) == 0;
    if (code == BigFourCC("avc1") || code == BigFourCC("hvc1")) {
      if (!sequenceStart) return;
      if (code == BigFourCC("avc1"))
        ReadAvcConfig(body.Sub(5, body.size()), v.info);
      else
        ReadHevcConfig(body.Sub(5, body.size()), v.info);
    }
    if (sequenceStart && code == BigFourCC("avc1"))
      DepthFromAvcConfig(body.Sub(5, body.size()), v.depth);
    if (sequenceStart && code == BigFourCC("hvc1"))
      DepthFromHevcConfig(body.Sub(5, body.size()), v.depth);
    if (sequenceStart && code == BigFourCC("av01"))
      DepthFromAv1Config(body.Sub(5, body.size()), v.depth);
    v.complete = true;
    return;
  }
  if ((b0 >> 4 & 7) == 5) return;  // a command frame, not a picture
  const std::uint8_t codec = b0 & 0x0F;
  v.info.format = VideoCodecName(codec);
  if (codec == 7 || codec == 12) {
    if (body.U8(1) != 0) return;  // a picture before the decoder configuration
    if (codec == 7) {
      ReadAvcConfig(body.Sub(5, body.size()), v.info);
      DepthFromAvcConfig(body.Sub(5, body.size()), v.depth);
    } else {
      ReadHevcConfig(body.Sub(5, body.size()), v.info);
      DepthFromHevcConfig(body.Sub(5, body.size()), v.depth);
    }
  } else if (codec == 2) {
    ReadH263Size(body.Sub(1, body.size()), v.info);
  }
  v.complete = true;
}

void ReadAudioTag(ByteView body, TagAudio& a) {
  if (!body.Has(0, 1)) return;
  const std::uint8_t b0 = body.U8(0);
  const std::uint8_t format = b0 >> 4;
  if (format == 9) {  // extended header: packet type and a four-character code
    const std::uint32_t code = body.U32BE(1);
    const int packetType = b0 & 0x0F;
    a.info.format = AudioCodecName(code);
    if (code == BigFourCC("mp4a")) {
      if (packetType != 0) return;
      a.exactRate = ReadAacConfig(body.Sub(5, body.size()), a.info);
    } else if (code == BigFourCC(".mp3")) {
      if (packetType != 1) return;
      a.exactRate = ReadMpegAudioFrame(body.Sub(5, body.size()), a.info);
    }
    a.complete = true;
    return;
  }
  static constexpr std::uint32_t kFlagRates[4] = {5512, 11025, 22050, 44100};
  a.info.format = AudioCodecName(format);
  a.info.sampleRate = kFlagRates[b0 >> 2 & 3];
  switch (format) {
    case 10:
      if (body.U8(1) != 0) return;  // audio before the decoder configuration
      a.exactRate = ReadAacConfig(body.Sub(2, body.size()), a.info);
      break;
    case 2:
    case 14: a.exactRate = ReadMpegAudioFrame(body.Sub(1, body.size()), a.info); break;
    case 0:
    case 3: {
      const std::uint32_t bits = (b0 & 2) ? 16 : 8, channels = (b0 & 1) + 1u;
      a.info.bitRate = static_cast<std::uint64_t>(a.info.sampleRate) * bits * channels;
      a.info.channels.channels = static_cast<int>(channels);  // the flag's count
      break;
    }
    // These codecs run at one rate whatever the flags say.
    case 4:
    case 11: a.info.sampleRate = 16000; break;
    case 5:
    case 7:
    case 8: a.info.sampleRate = 8000; break;
    default: break;
  }
  a.complete = true;
}

// A video tag that holds a picture, not a decoder configuration, an end of
// sequence or a command frame.
bool HoldsPicture(ByteView body) {
  if (!body.Has(0, 1)) return false;
  const std::uint8_t b0 = body.U8(0);
  if ((b0 >> 4 & 7) == 5) return false;
  if (b0 & 0x80) {  // extended header: coded frames, with or without a time offset
    const int packetType = b0 & 0x0F;
    return packetType == 1 || packetType == 3;
  }
  const std::uint8_t codec = b0 & 0x0F;
  return (codec != 7 && codec != 12) || body.U8(1) == 1;
}

// A tag's time stamp in milliseconds: 24 bits and 8 more above them.
std::int64_t TagStamp(ByteView head, std::size_t at) {
  const std::uint32_t high = head.U8(at + 7);
  return static_cast<std::int64_t>(U24BE(head, at + 4) | high << 24);
}

// The stamps of the picture tags from off on, up to a full set or the
// first tag that is not whole in head or is of no known type.
void TakePictureStamps(ByteView head, std::uint64_t off, int tags, FrameStamps& stamps) {
  for (; tags < kMaxTags && !stamps.Full() && off <= head.size() && head.Has(off, kTagHeader);
       ++tags) {
    const std::size_t at = static_cast<std::size_t>(off);
    const std::uint8_t type = head.U8(at) & 0x1F;
    const std::uint32_t size = U24BE(head, at + 1);
    if ((type != kAudioTag && type != kVideoTag && type != kScriptTag) ||
        !head.Has(at + kTagHeader, size))
      return;
    if (type == kVideoTag && !(head.U8(at) & 0x20) && HoldsPicture(head.Sub(at + kTagHeader, size)))
      stamps.Add(TagStamp(head, at));
    off += kTagHeader + static_cast<std::uint64_t>(size) + 4;
  }
}

// The time stamp of the last tag, found through the size of the tag before
// the end; negative when the end does not hold a whole tag.
double LastTagSeconds(MovieFile& file, std::uint64_t dataOffset) {
  const std::uint64_t size = file.Size();
  if (size < dataOffset || size - dataOffset < 4 + kTagHeader + 4) return -1;
  std::vector<std::uint8_t> last = ReadBytes(file, size - 4, 4);
  const std::uint64_t tagSize = ByteView(last).U32BE(0);
  if (tagSize < kTagHeader || tagSize > size - 4 - dataOffset) return -1;
  std::vector<std::uint8_t> header = ReadBytes(file, size - 4 - tagSize, kTagHeader);
  ByteView h(header);
  const std::uint8_t type = h.U8(0) & 0x1F;
  if (!h.Has(0, kTagHeader) || (type != kAudioTag && type != kVideoTag && type != kScriptTag) ||
      U24BE(h, 1) != tagSize - kTagHeader)
    return -1;
  const std::uint32_t ms = U24BE(h, 4) | static_cast<std::uint32_t>(h.U8(7)) << 24;
  return ms / 1000.0;
}

}  // namespace

MovieFacts ProbeFlv(MovieFile& file) {
  MovieFacts facts;
  std::vector<std::uint8_t> headBytes = ReadBytes(file, 0, kFlvHeadBytes);
  ByteView head(headBytes);
  if (!head.Has(0, 9) || !head.Is(0, "FLV\x01")) return facts;
  facts.outcome = ProbeOutcome::Whole;
  const std::uint64_t fileSize = file.Size();
  const std::uint8_t flags = head.U8(4);
  if (head.U32BE(5) < 9) facts.Note(ProbeOutcome::Malformed);  // inside the header itself
  const std::uint64_t dataOffset = std::max<std::uint32_t>(head.U32BE(5), 9);
  if (dataOffset > fileSize) facts.Note(ProbeOutcome::Truncated);

  Metadata meta;
  bool metaSeen = false;
  TagVideo video;
  TagAudio audio;
  bool videoSeen = false, audioSeen = false;
  // Tag time stamps count milliseconds, and for H.264 and H.265 the
  // decode order: the frame rate where neither the metadata nor the
  // stream's header states one.
  FrameStamps pictures;
  // Past the header and the size of the (absent) tag before the first.
  std::uint64_t off = dataOffset + 4;
  bool complete = false;
  int tags = 0;
  for (; tags < kMaxTags && off <= head.size() && head.Has(off, kTagHeader); ++tags) {
    const std::size_t at = static_cast<std::size_t>(off);
    const std::uint8_t type = head.U8(at) & 0x1F;
    const bool encrypted = (head.U8(at) & 0x20) != 0;
    const std::uint32_t size = U24BE(head, at + 1);
    ByteView body = head.Sub(at + kTagHeader, size);
    if (type != kAudioTag && type != kVideoTag && type != kScriptTag)
      facts.Note(ProbeOutcome::Malformed);
    if (off + kTagHeader + size > fileSize) facts.Note(ProbeOutcome::Truncated);
    // The program reads no encrypted stream.
    if (encrypted && type != kScriptTag) facts.Note(ProbeOutcome::Unsupported);
    if (!encrypted) {
      if (type == kScriptTag && !metaSeen) {
        metaSeen = ReadMetadata(body, meta);
      } else if (type == kAudioTag && !audio.complete) {
        audioSeen = true;
        ReadAudioTag(body, audio);
      } else if (type == kVideoTag && !video.complete) {
        videoSeen = true;
        ReadVideoTag(body, video);
      }
      if (type == kVideoTag && HoldsPicture(body)) pictures.Add(TagStamp(head, at));
    }
    // The header's flags tell which kinds of tag to wait for.
    if (metaSeen && (audio.complete || !(flags & 4)) && (video.complete || !(flags & 1))) {
      complete = true;
      break;
    }
    off += kTagHeader + static_cast<std::uint64_t>(size) + 4;
  }
  // Why the walk stopped short of what the flags promise: the file ends
  // inside a tag or the size field after it, or the tags lie past the head
  // or past the tags looked at.
  if (!complete && off != fileSize) {
    if (off > fileSize || fileSize - off < kTagHeader)
      facts.Note(ProbeOutcome::Truncated);
    else
      facts.Note(ProbeOutcome::BudgetSpent);
  }
  if (meta.fileSize > static_cast<double>(fileSize)) facts.Note(ProbeOutcome::Truncated);

  const bool metaFrameRate = meta.framerate > 0 && meta.framerate < 1000;
  // The tags after those the facts came from, as far as the head holds
  // them, for the stamps of more pictures.
  if (complete && !metaFrameRate && video.info.framesPerSecond <= 0)
    TakePictureStamps(head, off + kTagHeader + U24BE(head, static_cast<std::size_t>(off) + 1) + 4,
                      tags + 1, pictures);

  const VideoStreamInfo& v = video.info;
  if (meta.hasVideoCodec)
    facts.videoFormat = VideoCodecName(meta.videoCodec);
  else if (videoSeen)
    facts.videoFormat = v.format;
  if (!facts.videoFormat.empty()) {
    const bool metaSize =
        meta.width >= 1 && meta.width <= 16384 && meta.height >= 1 && meta.height <= 16384;
    facts.width = metaSize ? static_cast<int>(meta.width) : v.width;
    facts.height = metaSize ? static_cast<int>(meta.height) : v.height;
    facts.depth = video.depth;
    facts.framesPerSecond = metaFrameRate           ? meta.framerate
                            : v.framesPerSecond > 0 ? v.framesPerSecond
                                                    : pictures.Rate(1000);
  }

  const AudioStreamInfo& a = audio.info;
  if (meta.hasAudioCodec)
    facts.audioFormat = AudioCodecName(meta.audioCodec);
  else if (audioSeen)
    facts.audioFormat = a.format;
  if (!facts.audioFormat.empty()) {
    // Early writers stored the rate in kHz or as the flags' index: such a
    // value gives way to the tag's rate.
    const bool metaRate = meta.audioSampleRate >= 1000 && meta.audioSampleRate < 1e6;
    facts.audioSamplesPerSecond = audio.exactRate || !metaRate
                                      ? a.sampleRate
                                      : static_cast<std::uint32_t>(meta.audioSampleRate);
    // The data rate counts kilobits of 1024 bits, as the common muxer writes
    // it and reads it back.
    facts.audioBitsPerSecond = meta.audioDataRate > 0 && meta.audioDataRate < 1e6
                                   ? static_cast<std::uint64_t>(meta.audioDataRate * 1024)
                                   : a.bitRate;
    // The channels of the AAC configuration, the MP3 frame header or the
    // PCM flags; FLV lists no tracks.
    facts.channels = a.channels;
  }

  // The end of a file with tags holds a whole last tag, and the size of it.
  const double lastTag = LastTagSeconds(file, dataOffset);
  if (lastTag < 0 && tags > 0) facts.Note(ProbeOutcome::Truncated);
  facts.seconds = meta.duration > 0 && meta.duration < 1e9 ? meta.duration : lastTag;
  facts.title = meta.title;
  facts.creator = meta.artist;
  facts.genre = meta.genre;
  facts.comment = meta.comment;
  return facts;
}

}  // namespace clip
