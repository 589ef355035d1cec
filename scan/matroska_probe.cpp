#include "scan/matroska_probe.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "scan/byte_reader.h"
#include "scan/codec_table.h"
#include "scan/frame_rate.h"
#include "scan/tag_text.h"
#include "scan/track_config.h"

namespace clip {

namespace {

// Element IDs, with their length markers as written.
enum : std::uint32_t {
  kEbml = 0x1A45DFA3,
  kDocType = 0x4282,
  kSegment = 0x18538067,
  kSeekHead = 0x114D9B74,
  kSeek = 0x4DBB,
  kSeekId = 0x53AB,
  kSeekPosition = 0x53AC,
  kInfo = 0x1549A966,
  kTimestampScale = 0x2AD7B1,
  kDuration = 0x4489,
  kTitle = 0x7BA9,
  kTracks = 0x1654AE6B,
  kTrackEntry = 0xAE,
  kTrackNumber = 0xD7,
  kTrackUid = 0x73C5,
  kTrackType = 0x83,
  kCodecId = 0x86,
  kCodecPrivate = 0x63A2,
  kDefaultDuration = 0x23E383,
  kVideo = 0xE0,
  kPixelWidth = 0xB0,
  kPixelHeight = 0xBA,
  kDisplayWidth = 0x54B0,
  kDisplayHeight = 0x54BA,
  kDisplayUnit = 0x54B2,
  kAudio = 0xE1,
  kSamplingFrequency = 0xB5,
  kOutputSamplingFrequency = 0x78B5,
  kChannels = 0x9F,
  kBitDepth = 0x6264,
  kLanguage = 0x22B59C,
  kLanguageIetf = 0x22B59D,
  kFlagForced = 0x55AA,
  kColour = 0x55B0,
  kBitsPerChannel = 0x55B2,
  kTransferCharacteristics = 0x55BA,
  kBlockAdditionMapping = 0x41E4,
  kBlockAddIdType = 0x41E7,
  kBlockAddIdExtraData = 0x41ED,
  kContentEncodings = 0x6D80,
  kContentEncoding = 0x6240,
  kContentCompression = 0x5034,
  kContentCompAlgo = 0x4254,
  kContentCompSettings = 0x4255,
  kChapters = 0x1043A770,
  kEditionEntry = 0x45B9,
  kChapterAtom = 0xB6,
  kTags = 0x1254C367,
  kTag = 0x7373,
  kTargets = 0x63C0,
  kTargetTypeValue = 0x68CA,
  kTagTrackUid = 0x63C5,
  kTagEditionUid = 0x63C9,
  kTagChapterUid = 0x63C4,
  kTagAttachmentUid = 0x63C6,
  kSimpleTag = 0x67C8,
  kTagName = 0x45A3,
  kTagString = 0x4487,
  kCluster = 0x1F43B675,
  kClusterTimestamp = 0xE7,
  kSimpleBlock = 0xA3,
  kBlockGroup = 0xA0,
  kBlock = 0xA1,
};

// Elements looked at inside one element, and at the top of the segment.
constexpr int kMaxChildren = 4096;
constexpr int kMaxTopElements = 64;
// Longest header: a four-byte ID and an eight-byte size.
constexpr std::size_t kMaxHeader = 12;

struct Element {
  std::uint32_t id = 0;
  std::uint64_t size = 0;
  bool unknownSize = false;
  std::size_t header = 0;
};

enum class HeaderRead {
  Ok,
  Short,  // the bytes end inside the header
  Bad,    // no ID or size can start with the byte there
};

// An element header at off: the ID (one to four bytes, its length marked
// by the leading zero bits of the first byte) and the size (one to eight
// bytes, all value bits set meaning "unknown").
HeaderRead ReadHeader(ByteView v, std::size_t off, Element& e) {
  const std::uint8_t first = v.U8(off);
  if (!v.Has(off, 1)) return HeaderRead::Short;
  if (first < 0x10) return HeaderRead::Bad;
  const std::size_t idLength = first >= 0x80 ? 1 : first >= 0x40 ? 2 : first >= 0x20 ? 3 : 4;
  if (!v.Has(off, idLength + 1)) return HeaderRead::Short;
  e.id = 0;
  for (std::size_t i = 0; i < idLength; ++i) e.id = (e.id << 8) | v.U8(off + i);
  const std::uint8_t lead = v.U8(off + idLength);
  if (lead == 0) return HeaderRead::Bad;
  std::size_t sizeLength = 1;
  while (!(lead & (0x80 >> (sizeLength - 1)))) ++sizeLength;
  if (!v.Has(off + idLength, sizeLength)) return HeaderRead::Short;
  std::uint64_t size = lead & (0xFF >> sizeLength);
  bool allOnes = size == (0xFFu >> sizeLength);
  for (std::size_t i = 1; i < sizeLength; ++i) {
    const std::uint8_t b = v.U8(off + idLength + i);
    size = (size << 8) | b;
    allOnes = allOnes && b == 0xFF;
  }
  e.size = size;
  e.unknownSize = allOnes;
  e.header = idLength + sizeLength;
  return HeaderRead::Ok;
}

// The children of an element read whole. A child whose header or size runs
// past its parent ends the walk, noted as Malformed in note (when given);
// one of unknown size reaches the parent's end.
class Children {
 public:
  explicit Children(ByteView body, ProbeOutcome* note = nullptr) : v_(body), note_(note) {}
  bool Next(std::uint32_t& id, ByteView& data) {
    Element e;
    if (count_++ >= kMaxChildren || off_ == v_.size()) return false;
    if (ReadHeader(v_, off_, e) != HeaderRead::Ok) return Broken();
    const std::size_t start = off_ + e.header;
    const std::size_t left = v_.size() - start;
    if (e.unknownSize) e.size = left;
    if (e.size > left) return Broken();
    id = e.id;
    data = v_.Sub(start, static_cast<std::size_t>(e.size));
    off_ = start + static_cast<std::size_t>(e.size);
    return true;
  }

 private:
  bool Broken() {
    if (note_) NoteProblem(*note_, ProbeOutcome::Malformed);
    return false;
  }
  ByteView v_;
  ProbeOutcome* note_;
  std::size_t off_ = 0;
  int count_ = 0;
};

std::uint64_t UInt(ByteView data) {
  if (data.size() > 8) return 0;
  std::uint64_t v = 0;
  for (std::size_t i = 0; i < data.size(); ++i) v = (v << 8) | data.U8(i);
  return v;
}

double Float(ByteView data) {
  if (data.size() == 4) {
    std::uint32_t bits = data.U32BE(0);
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
  }
  if (data.size() == 8) {
    std::uint64_t bits = data.U64BE(0);
    double d;
    std::memcpy(&d, &bits, 8);
    return d;
  }
  return 0;
}

// A positive finite value, else 0: a hostile float must not reach a cell.
double Usable(double v) { return v > 0 && v < 1e15 ? v : 0; }

struct Track {
  bool present = false;
  std::uint64_t number = 0, uid = 0;
  std::string codec;
  ByteView codecPrivate;  // valid while the Tracks bytes are
  std::uint64_t defaultDuration = 0;
  std::uint64_t pixelWidth = 0, pixelHeight = 0, displayWidth = 0, displayHeight = 0;
  std::uint64_t displayUnit = 0;
  double sampleRate = 0, outputRate = 0;
  std::uint64_t channels = 0, bitDepth = 0;
  // A track without a Language element is English by the format's default.
  std::string language = "eng", languageIetf;
  bool forced = false;
  std::uint64_t bitsPerChannel = 0, transfer = 0;
  ByteView dolbyVision;  // a Dolby Vision configuration record, like codecPrivate
  // Frames compressed: header stripping (the bytes each frame lost, like
  // codecPrivate) is undone when a frame is read; any other kind leaves
  // the frames unread.
  bool framesCompressed = false;
  ByteView strippedHeader;
};

// Tracks the list shows: more are counted in none of the cells.
constexpr std::size_t kMaxListedTracks = 64;

struct TrackTag {
  std::uint64_t uid = 0;
  std::string name, value;
};

struct Segment {
  bool haveInfo = false, haveTracks = false, haveTags = false;
  std::uint64_t timestampScale = 1000000;
  double duration = 0;
  MovieFacts facts;
  int titleRank = 0, creatorRank = 0, genreRank = 0, commentRank = 0;
  std::vector<TrackTag> trackTags;  // BPS and DURATION of each track
  std::uint64_t seek[4] = {};       // positions of Info, Tracks, Tags, Chapters; 0 when not listed
  bool haveChapters = false;
  std::uint64_t seekHead2 = 0;  // a further SeekHead
};

void ParseInfo(ByteView body, Segment& s) {
  s.haveInfo = true;
  Children c(body, &s.facts.outcome);
  std::uint32_t id;
  ByteView d;
  while (c.Next(id, d)) {
    if (id == kTimestampScale && UInt(d)) s.timestampScale = UInt(d);
    if (id == kDuration) s.duration = Usable(Float(d));
    if (id == kTitle) s.facts.title = CleanUtf8(d), s.titleRank = 3;
  }
}

// A codec ID no table names, said to be one, cut so that the words fit a
// cell; an empty one stays empty.
std::string UnknownId(const std::string& codec) {
  if (codec.empty()) return codec;
  return codec.substr(0, kFieldMax - 10) + " (unknown)";
}

std::string VideoName(const Track& t) {
  struct Name {
    const char* id;
    const char* name;
  };
  // Exact IDs, then prefixes.
  static const Name kExact[] = {{"V_MPEG4/ISO/AVC", "H.264"},
                                {"V_MPEGH/ISO/HEVC", "H.265"},
                                {"V_VP8", "VP8"},
                                {"V_VP9", "VP9"},
                                {"V_AV1", "AV1"},
                                {"V_MPEG2", "MPEG2"},
                                {"V_MPEG1", "MPEG1"},
                                {"V_MJPEG", "MJPEG"},
                                {"V_PRORES", "ProRes"},
                                {"V_THEORA", "Theora"},
                                {"V_MPEGI/ISO/VVC", "H.266"},
                                {"V_MPEG4/MS/V3", "MPEG4 V3"},
                                {"V_REAL/RV10", "RealVideo 1.0"},
                                {"V_REAL/RV20", "RealVideo 2.0"},
                                {"V_REAL/RV30", "RealVideo 3.0"},
                                {"V_REAL/RV40", "RealVideo 4.0"},
                                {"V_DIRAC", "Dirac"},
                                {"V_FFV1", "FFV1"},
                                {"V_UNCOMPRESSED", "Uncompressed"},
                                {"V_MS/VFW/FOURCC", nullptr}};
  for (const Name& n : kExact) {
    if (t.codec != n.id) continue;
    if (n.name) return n.name;
    // BITMAPINFOHEADER: biCompression at 16.
    if (t.codecPrivate.Has(16, 4)) return WindowsVideoName(t.codecPrivate.U32(16));
  }
  if (t.codec.rfind("V_MPEG4/ISO/", 0) == 0) return "MPEG-4 Visual";
  return UnknownId(t.codec);
}

std::string AudioName(const Track& t) {
  struct Name {
    const char* prefix;
    const char* name;
  };
  static const Name kPrefixes[] = {{"A_AAC", "AAC"},
                                   {"A_OPUS", "Opus"},
                                   {"A_VORBIS", "Vorbis"},
                                   {"A_FLAC", "FLAC"},
                                   {"A_EAC3", "E-AC-3"},
                                   {"A_AC3", "AC-3"},
                                   {"A_DTS", "DTS"},
                                   {"A_TRUEHD", "TrueHD"},
                                   {"A_MPEG/L3", "MP3"},
                                   {"A_MPEG/L2", "MP2"},
                                   {"A_PCM/", "PCM"},
                                   {"A_ALAC", "ALAC"},
                                   {"A_MPEG/L1", "MP1"},
                                   {"A_MLP", "MLP"},
                                   {"A_TTA1", "TTA"},
                                   {"A_WAVPACK4", "WavPack"},
                                   {"A_REAL/14_4", "RealAudio 14.4"},
                                   {"A_REAL/28_8", "RealAudio 28.8"},
                                   {"A_REAL/COOK", "RealAudio Cook"},
                                   {"A_REAL/SIPR", "RealAudio Sipro"},
                                   {"A_REAL/ATRC", "RealAudio ATRAC3"},
                                   {"A_REAL/RALF", "RealAudio Lossless"},
                                   {"A_QUICKTIME/QDM", "QDesign"},
                                   {"A_ATRAC/AT1", "ATRAC1"}};
  for (const Name& n : kPrefixes)
    if (t.codec.rfind(n.prefix, 0) == 0) return n.name;
  // WAVEFORMATEX: the format tag first; WAVEFORMATEXTENSIBLE names its
  // format in the first two bytes of its sub-format GUID.
  if (t.codec == "A_MS/ACM" && t.codecPrivate.Has(0, 2)) {
    const std::uint16_t tag = t.codecPrivate.U16(0);
    return WindowsAudioName(tag == 0xFFFE && t.codecPrivate.Has(24, 2) ? t.codecPrivate.U16(24)
                                                                       : tag);
  }
  return UnknownId(t.codec);
}

void ParseTrackEntry(ByteView body, Track& t, std::uint64_t& type, ProbeOutcome* note) {
  Children c(body, note);
  std::uint32_t id;
  ByteView d;
  while (c.Next(id, d)) {
    switch (id) {
      case kTrackType: type = UInt(d); break;
      case kTrackNumber: t.number = UInt(d); break;
      case kTrackUid: t.uid = UInt(d); break;
      case kCodecId: t.codec = CodecIdText(d); break;
      case kCodecPrivate: t.codecPrivate = d; break;
      case kDefaultDuration: t.defaultDuration = UInt(d); break;
      case kLanguage: t.language = CodecIdText(d.Sub(0, 35)); break;
      case kLanguageIetf: t.languageIetf = CodecIdText(d.Sub(0, 35)); break;
      case kFlagForced: t.forced = UInt(d) != 0; break;
      case kBlockAdditionMapping: {
        Children inner(d, note);
        std::uint32_t k;
        ByteView v;
        std::uint64_t addType = 0;
        ByteView extra;
        while (inner.Next(k, v)) {
          if (k == kBlockAddIdType) addType = UInt(v);
          if (k == kBlockAddIdExtraData) extra = v;
        }
        // dvcC, dvvC, dvwC
        if (addType == 0x64766343 || addType == 0x64767643 || addType == 0x64767743)
          t.dolbyVision = extra;
        break;
      }
      case kContentEncodings: {
        Children encodings(d, note);
        std::uint32_t k;
        ByteView encoding;
        while (encodings.Next(k, encoding)) {
          if (k != kContentEncoding) continue;
          Children parts(encoding, note);
          ByteView compression;
          while (parts.Next(k, compression)) {
            if (k != kContentCompression) continue;
            std::uint64_t algorithm = 0;  // zlib when none is named
            ByteView settings;
            Children fields(compression, note);
            ByteView v;
            while (fields.Next(k, v)) {
              if (k == kContentCompAlgo) algorithm = UInt(v);
              if (k == kContentCompSettings) settings = v;
            }
            if (algorithm == 3 && t.strippedHeader.size() == 0)
              t.strippedHeader = settings;
            else
              t.framesCompressed = true;
          }
        }
        break;
      }
      case kVideo:
      case kAudio: {
        Children inner(d, note);
        std::uint32_t k;
        ByteView v;
        while (inner.Next(k, v)) {
          switch (k) {
            case kPixelWidth: t.pixelWidth = UInt(v); break;
            case kPixelHeight: t.pixelHeight = UInt(v); break;
            case kDisplayWidth: t.displayWidth = UInt(v); break;
            case kDisplayHeight: t.displayHeight = UInt(v); break;
            case kDisplayUnit: t.displayUnit = UInt(v); break;
            case kSamplingFrequency: t.sampleRate = Usable(Float(v)); break;
            case kOutputSamplingFrequency: t.outputRate = Usable(Float(v)); break;
            case kChannels: t.channels = UInt(v); break;
            case kBitDepth: t.bitDepth = UInt(v); break;
            case kColour: {
              Children colour(v, note);
              std::uint32_t part;
              ByteView cv;
              while (colour.Next(part, cv)) {
                if (part == kBitsPerChannel) t.bitsPerChannel = UInt(cv);
                if (part == kTransferCharacteristics) t.transfer = UInt(cv);
              }
              break;
            }
          }
        }
        break;
      }
    }
  }
}

int Dimension(std::uint64_t v) { return v <= 0x7FFFFFFF ? static_cast<int>(v) : 0; }

TrackFact Listed(const Track& t) {
  TrackFact fact;
  fact.language = !t.languageIetf.empty() ? t.languageIetf : t.language == "und" ? "" : t.language;
  fact.forced = t.forced;
  return fact;
}

// The layout where the codec's own configuration or its channel order
// gives one, else the bare count.
ChannelLayout AudioChannels(const Track& t) {
  ChannelLayout layout;
  const ByteView cp = t.codecPrivate;
  if (t.codec.rfind("A_AAC", 0) == 0 && ChannelsFromAacConfig(cp, layout)) return layout;
  if (t.codec == "A_MS/ACM" && cp.Has(0, 24) && cp.U16(0) == 0xFFFE)
    return ChannelsFromSpeakerMask(cp.U32(20));
  const int count = t.channels <= 255 ? static_cast<int>(t.channels) : 0;
  // An Opus header's channel mapping family 0 or 1 keeps the Vorbis order.
  const bool opusOrder = t.codec == "A_OPUS" && cp.Has(0, 19) && cp.U8(18) <= 1;
  // MPEG audio layers I to III hold one channel or two, never an LFE.
  const bool mpegAudio = t.codec.rfind("A_MPEG/L", 0) == 0 && count >= 1 && count <= 2;
  if (opusOrder || mpegAudio || t.codec == "A_VORBIS" || t.codec == "A_FLAC")
    return ChannelsInVorbisOrder(count);
  layout.channels = count;
  return layout;
}

VideoDepth Depth(const Track& t) {
  VideoDepth depth;
  bool known = false;
  if (t.codec == "V_MPEGH/ISO/HEVC") known = DepthFromHevcConfig(t.codecPrivate, depth);
  if (t.codec == "V_AV1") known = DepthFromAv1Config(t.codecPrivate, depth);
  if (t.codec == "V_MPEG4/ISO/AVC") known = DepthFromAvcConfig(t.codecPrivate, depth);
  if (!known && t.bitsPerChannel > 0 && t.bitsPerChannel <= 16)
    depth.bits = static_cast<int>(t.bitsPerChannel);
  if (t.transfer <= 255) depth.transfer = static_cast<int>(t.transfer);
  if (t.dolbyVision.size() != 0) DolbyVisionFromConfig(t.dolbyVision, depth);
  return depth;
}

void ParseTracks(ByteView body, Segment& s, Track& video, Track& audio) {
  s.haveTracks = true;
  Children c(body, &s.facts.outcome);
  std::uint32_t id;
  ByteView d;
  while (c.Next(id, d)) {
    if (id != kTrackEntry) continue;
    Track t;
    std::uint64_t type = 0;
    ParseTrackEntry(d, t, type, &s.facts.outcome);
    t.present = true;
    if (type == 1 && !video.present) video = t;
    if (type == 2 && !audio.present) audio = t;
    std::vector<TrackFact>& list = type == 2 ? s.facts.audioTracks : s.facts.subtitleTracks;
    if ((type == 2 || type == 17) && list.size() < kMaxListedTracks) list.push_back(Listed(t));
  }
  MovieFacts& f = s.facts;
  f.tracksListed = true;
  if (video.present) f.depth = Depth(video);
  if (audio.present) f.channels = AudioChannels(audio);
  if (video.present) {
    f.videoFormat = VideoName(video);
    // Display sizes count only in pixels (unit 0) and only as a pair; one
    // in centimetres or inches, an aspect ratio (unit 3) and an aspect
    // ratio written as pixels (4x3 for a picture of 384x288: each side a
    // quarter of the picture's or less, or both below 32) leave the
    // picture's own size.
    const std::uint64_t dw = video.displayWidth, dh = video.displayHeight;
    const bool ratio =
        (dw < 32 && dh < 32) || (dw <= video.pixelWidth / 4 && dh <= video.pixelHeight / 4);
    const bool display = video.displayUnit == 0 && dw && dh && !ratio;
    f.width = Dimension(display ? video.displayWidth : video.pixelWidth);
    f.height = Dimension(display ? video.displayHeight : video.pixelHeight);
    if (video.defaultDuration) f.framesPerSecond = 1e9 / static_cast<double>(video.defaultDuration);
  }
  if (audio.present) {
    f.audioFormat = AudioName(audio);
    const double rate = audio.outputRate ? audio.outputRate : audio.sampleRate;
    f.audioSamplesPerSecond = rate < 4e9 ? static_cast<std::uint32_t>(rate) : 0;
    if (f.audioFormat == "PCM" && audio.channels <= 64 && audio.bitDepth <= 64)
      f.audioBitsPerSecond = audio.channels * audio.bitDepth * f.audioSamplesPerSecond;
  }
}

bool SameName(const std::string& a, const char* b) {
  if (a.size() != std::strlen(b)) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char c = a[i] >= 'a' && a[i] <= 'z' ? static_cast<char>(a[i] - 32) : a[i];
    if (c != b[i]) return false;
  }
  return true;
}

void ParseTag(ByteView body, Segment& s) {
  ProbeOutcome* note = &s.facts.outcome;
  std::uint64_t targetType = 0, trackUid = 0;
  bool otherTarget = false;
  Children c(body, note);
  std::uint32_t id;
  ByteView d;
  // Targets come first in a Tag; read them before its SimpleTags.
  while (c.Next(id, d)) {
    if (id != kTargets) continue;
    Children t(d, note);
    std::uint32_t k;
    ByteView v;
    while (t.Next(k, v)) {
      if (k == kTargetTypeValue) targetType = UInt(v);
      if (k == kTagTrackUid) trackUid = UInt(v);
      if ((k == kTagEditionUid || k == kTagChapterUid || k == kTagAttachmentUid) && UInt(v))
        otherTarget = true;
    }
  }
  if (otherTarget) return;  // a chapter's or an attachment's tags
  // The whole file's tags: no target type, or 50 (the movie), rank above
  // any other level (a collection's, a season's).
  const int rank = targetType == 0 || targetType == 50 ? 2 : 1;
  Children again(body, note);
  while (again.Next(id, d)) {
    if (id != kSimpleTag) continue;
    std::string name, value;
    Children t(d, note);
    std::uint32_t k;
    ByteView v;
    while (t.Next(k, v)) {
      if (k == kTagName) name = CodecIdText(v.Sub(0, 32));
      if (k == kTagString) value = CleanUtf8(v);
    }
    if (trackUid) {
      if ((SameName(name, "BPS") || SameName(name, "DURATION")) && s.trackTags.size() < 64)
        s.trackTags.push_back({trackUid, name, value.substr(0, 32)});
      continue;
    }
    struct Slot {
      const char* name;
      std::string* text;
      int* rank;
    } slots[] = {{"TITLE", &s.facts.title, &s.titleRank},
                 {"ARTIST", &s.facts.creator, &s.creatorRank},
                 {"GENRE", &s.facts.genre, &s.genreRank},
                 {"COMMENT", &s.facts.comment, &s.commentRank}};
    for (Slot& slot : slots) {
      if (SameName(name, slot.name) && rank > *slot.rank) *slot.text = value, *slot.rank = rank;
    }
  }
}

// The chapters of the first edition: its top-level atoms.
void ParseChapters(ByteView body, Segment& s) {
  s.haveChapters = true;
  Children c(body, &s.facts.outcome);
  std::uint32_t id;
  ByteView d;
  while (c.Next(id, d)) {
    if (id != kEditionEntry) continue;
    Children atoms(d, &s.facts.outcome);
    std::uint32_t k;
    ByteView v;
    int count = 0;
    while (atoms.Next(k, v)) count += k == kChapterAtom;
    if (count > 0) s.facts.chapters = count;
    return;
  }
}

void ParseTags(ByteView body, Segment& s) {
  s.haveTags = true;
  Children c(body, &s.facts.outcome);
  std::uint32_t id;
  ByteView d;
  while (c.Next(id, d))
    if (id == kTag) ParseTag(d, s);
}

void ParseSeekHead(ByteView body, Segment& s) {
  Children c(body, &s.facts.outcome);
  std::uint32_t id;
  ByteView d;
  while (c.Next(id, d)) {
    if (id != kSeek) continue;
    std::uint64_t target = 0, position = 0;
    Children e(d, &s.facts.outcome);
    std::uint32_t k;
    ByteView v;
    while (e.Next(k, v)) {
      if (k == kSeekId) target = UInt(v);
      if (k == kSeekPosition) position = UInt(v);
    }
    // Position 0 would be the SeekHead itself: never a target here.
    if (position == 0) continue;
    if (target == kInfo && !s.seek[0]) s.seek[0] = position;
    if (target == kTracks && !s.seek[1]) s.seek[1] = position;
    if (target == kTags && !s.seek[2]) s.seek[2] = position;
    if (target == kChapters && !s.seek[3]) s.seek[3] = position;
    if (target == kSeekHead && !s.seekHead2) s.seekHead2 = position;
  }
}

// Calls visit(block, clusterTime) for each block (a SimpleBlock's or a
// BlockGroup's Block) in bytes that start at a Cluster, until it returns
// true; true then. Clusters are stepped into, whatever their size, so that
// the walk runs on through those after; it ends at a header that starts no
// element or an element that runs past the bytes.
template <typename Visit>
bool EachBlock(ByteView v, Visit visit) {
  std::uint64_t clusterTime = 0;
  std::size_t off = 0;
  for (int n = 0; n < kMaxChildren * 16 && off < v.size(); ++n) {
    Element e;
    if (ReadHeader(v, off, e) != HeaderRead::Ok) return false;
    const std::size_t body = off + e.header;
    if (e.id == kCluster) {
      off = body, clusterTime = 0;
      continue;
    }
    if (e.unknownSize) return false;
    const ByteView data =
        v.Sub(body, static_cast<std::size_t>(std::min<std::uint64_t>(e.size, v.size())));
    if (e.id == kClusterTimestamp) clusterTime = UInt(data);
    if (e.id == kSimpleBlock && visit(data, clusterTime)) return true;
    if (e.id == kBlockGroup) {
      Children c(data);
      std::uint32_t id;
      ByteView d;
      while (c.Next(id, d))
        if (id == kBlock && visit(d, clusterTime)) return true;
    }
    if (e.size > v.size() - body) return false;
    off = body + static_cast<std::size_t>(e.size);
  }
  return false;
}

// A block starts with its track number (as an element size is written),
// a signed 16-bit offset from the cluster's timestamp and a flags byte.
// The length of the number; 0 when the block is not of the track.
std::size_t OfTrack(ByteView block, std::uint64_t track) {
  const std::uint8_t lead = block.U8(0);
  if (lead == 0 || !track) return 0;
  std::size_t length = 1;
  while (!(lead & (0x80 >> (length - 1)))) ++length;
  std::uint64_t number = lead & (0xFF >> length);
  for (std::size_t i = 1; i < length; ++i) number = (number << 8) | block.U8(i);
  return number == track && block.Has(length, 2) ? length : 0;
}

// Adds to times the presentation time (the cluster's timestamp and the
// block's own offset, in segment ticks) of each block of the given track;
// true once kMatroskaRateFrames are held.
// No more times are gathered than the measure takes: held bytes with that
// many need no further read.
static_assert(kMatroskaRateFrames == FrameStamps::kMaxFrameStamps);
bool BlockTimes(ByteView v, std::uint64_t track, std::vector<std::int64_t>& times) {
  return EachBlock(v, [&](ByteView block, std::uint64_t clusterTime) {
    const std::size_t length = OfTrack(block, track);
    if (!length || clusterTime >= (1ull << 62)) return false;
    const auto offset = static_cast<std::int16_t>(block.U16BE(length));
    times.push_back(static_cast<std::int64_t>(clusterTime) + offset);
    return times.size() >= kMatroskaRateFrames;
  });
}

// The bytes of the first frame of the track's first block in v (what the
// block holds from that frame on, past a lacing header); empty when v
// holds no block of the track or its lacing is malformed.
ByteView FirstFrame(ByteView v, std::uint64_t track) {
  ByteView frame;
  EachBlock(v, [&](ByteView block, std::uint64_t) {
    const std::size_t length = OfTrack(block, track);
    if (!length) return false;
    std::size_t at = length + 3;
    if (at > block.size()) return true;
    const std::uint8_t lacing = block.U8(length + 2) & 0x06;
    if (lacing != 0) {
      const std::size_t laced = block.U8(at++) + 1u;  // frames in the lace
      if (lacing == 0x02) {  // Xiph: each size but the last in 255s and a rest
        for (std::size_t i = 0; i + 1 < laced && at < block.size(); ++i)
          while (at < block.size() && block.U8(at++) == 0xFF) {
          }
      } else if (lacing == 0x06) {  // EBML: the first size, then differences
        for (std::size_t i = 0; i + 1 < laced && at < block.size(); ++i) {
          const std::uint8_t lead = block.U8(at);
          std::size_t n = 1;
          while (n <= 8 && !(lead & (0x80 >> (n - 1)))) ++n;
          if (n > 8) return true;
          at += n;
        }
      }
      if (at >= block.size()) return true;
    }
    frame = block.Sub(at, block.size());
    return true;
  });
  return frame;
}

// The frame rate the first blocks of the track show, for a track that
// states no frame duration: what the reads so far hold from the first
// Cluster on (the first read, or the one that found the Cluster), else one
// read of kMatroskaClusterBytes there.
double RateFromBlocks(FileWindow& src, std::uint64_t at, std::uint64_t end, std::uint64_t track,
                      std::uint64_t timestampScale) {
  const std::uint64_t limit = std::min(end, src.size());
  if (at >= limit) return 0;
  std::vector<std::int64_t> times;
  const std::uint64_t left = limit - at;
  const ByteView held =
      src.Held(at, static_cast<std::size_t>(std::min<std::uint64_t>(left, kMatroskaClusterBytes)));
  const bool enough = BlockTimes(held, track, times) || held.size() >= left;
  if (!enough) {
    std::vector<std::int64_t> more;
    BlockTimes(src.At(at, static_cast<std::size_t>(
                              std::min<std::uint64_t>(kMatroskaClusterBytes, limit - at))),
               track, more);
    if (more.size() > times.size()) times.swap(more);
  }
  FrameStamps stamps;
  for (std::int64_t t : times) stamps.Add(t);
  return stamps.Rate(1e9 / static_cast<double>(timestampScale));
}

// AC-3, E-AC-3 and DTS keep their channel layout in each frame, not in
// the track: the first frame of the track in what the reads so far hold
// from the first Cluster on gives it (no read of its own). It stands only
// where it has as many channels as the track says, as an extension's
// channels the first frame does not show would not.
void FrameChannels(FileWindow& src, std::uint64_t at, std::uint64_t end, const Track& audio,
                   ChannelLayout& layout) {
  const bool ac3 = audio.codec.rfind("A_AC3", 0) == 0 || audio.codec.rfind("A_EAC3", 0) == 0;
  const bool dts = audio.codec.rfind("A_DTS", 0) == 0;
  if (!(ac3 || dts) || audio.framesCompressed || at >= std::min(end, src.size())) return;
  const std::uint64_t left = std::min(end, src.size()) - at;
  const ByteView held =
      src.Held(at, static_cast<std::size_t>(std::min<std::uint64_t>(left, kMatroskaClusterBytes)));
  const ByteView frame = FirstFrame(held, audio.number);
  // The header a frame lost to header stripping comes first again.
  std::vector<std::uint8_t> joined;
  ByteView head = frame;
  if (audio.strippedHeader.size() != 0 && frame.size() != 0) {
    const ByteView stripped = audio.strippedHeader;
    joined.assign(stripped.data(), stripped.data() + stripped.size());
    joined.insert(joined.end(), frame.data(), frame.data() + frame.size());
    head = ByteView(joined);
  }
  ChannelLayout read;
  if (!(ac3 ? ChannelsFromAc3Frame(head, read) : ChannelsFromDtsFrame(head, read))) return;
  if (audio.channels == 0 || read.channels == static_cast<int>(audio.channels)) layout = read;
}

// "HH:MM:SS.nnnnnnnnn" as seconds; negative when it is not that form.
double ClockSeconds(const std::string& text) {
  int field = 0;
  double seconds = 0, part = 0, scale = 0;
  for (char c : text) {
    if (c >= '0' && c <= '9') {
      if (scale > 0) {
        scale /= 10, part += (c - '0') * scale;
      } else {
        part = part * 10 + (c - '0');
        if (part > 1e9) return -1;
      }
    } else if (c == ':' && scale == 0 && field < 2) {
      seconds = (seconds + part) * 60, part = 0, ++field;
    } else if (c == '.' && scale == 0) {
      scale = 1;
    } else {
      return -1;
    }
  }
  return field == 2 ? seconds + part : -1;
}

}  // namespace

MovieFacts ProbeMatroska(MovieFile& file) {
  FileWindow src(file, kMatroskaHeadBytes, kMatroskaMaxReads);
  Segment s;
  MovieFacts& f = s.facts;
  Element e;
  ByteView v = src.At(0, kMaxHeader);
  if (ReadHeader(v, 0, e) != HeaderRead::Ok || e.id != kEbml || e.unknownSize || e.size > 4096)
    return f;
  {
    ByteView header = src.At(e.header, static_cast<std::size_t>(e.size));
    Children c(header);
    std::uint32_t id;
    ByteView d;
    std::string docType = "matroska";  // the default when the header names none
    while (c.Next(id, d))
      if (id == kDocType) docType = CodecIdText(d);
    if (docType != "matroska" && docType != "webm") return f;
  }
  f.outcome = ProbeOutcome::Whole;
  const std::uint64_t fileSize = src.size();
  // The header at off, or why there is none: the file ends inside it, the
  // budget leaves it unread, or its bytes start no element.
  auto header = [&](std::uint64_t off, Element& el) {
    const ByteView bytes = src.At(off, kMaxHeader);
    switch (ReadHeader(bytes, 0, el)) {
      case HeaderRead::Ok: return true;
      case HeaderRead::Short:
        f.Note(bytes.size() == 0 && off < fileSize ? ProbeOutcome::BudgetSpent
                                                   : ProbeOutcome::Truncated);
        return false;
      case HeaderRead::Bad: f.Note(ProbeOutcome::Malformed); return false;
    }
    return false;
  };
  // An element whose body runs past the space it has: past the end of the
  // file, or only past its segment.
  auto overrun = [&](std::uint64_t body, std::uint64_t size) {
    f.Note(size > fileSize - std::min(fileSize, body) ? ProbeOutcome::Truncated
                                                      : ProbeOutcome::Malformed);
  };

  // The Segment follows the EBML header.
  const std::uint64_t segmentAt = e.header + e.size;
  if (!header(segmentAt, e)) return f;
  if (e.id != kSegment) {
    f.Note(ProbeOutcome::Malformed);
    return f;
  }
  const std::uint64_t data = segmentAt + e.header;
  const bool segmentPastEnd = !e.unknownSize && e.size > fileSize - std::min(fileSize, data);
  if (segmentPastEnd) f.Note(ProbeOutcome::Truncated);
  const std::uint64_t end = e.unknownSize || segmentPastEnd ? fileSize : data + e.size;

  Track video, audio;
  // Tracks bytes outlive the walk: the track entries point into them.
  std::vector<std::uint8_t> tracksBytes;
  auto take = [&](const Element& el, std::uint64_t at) {
    // Other elements (Void, Attachments, Cues) are stepped over unread.
    if (el.id != kInfo && el.id != kTracks && el.id != kTags && el.id != kSeekHead &&
        el.id != kChapters)
      return;
    std::size_t n =
        static_cast<std::size_t>(std::min<std::uint64_t>(el.size, kMatroskaMaxElementBytes));
    if (el.size > n) f.Note(ProbeOutcome::BudgetSpent);
    ByteView body = src.At(at, n);
    if (el.id == kInfo && !s.haveInfo) ParseInfo(body, s);
    if (el.id == kTracks && !s.haveTracks) {
      tracksBytes.assign(body.data(), body.data() + body.size());
      ParseTracks(ByteView(tracksBytes), s, video, audio);
    }
    if (el.id == kTags && !s.haveTags) ParseTags(body, s);
    if (el.id == kChapters && !s.haveChapters) ParseChapters(body, s);
    if (el.id == kSeekHead) ParseSeekHead(body, s);
  };

  // The elements before the first Cluster, in order.
  std::uint64_t off = data, firstCluster = 0;
  int elements = 0;
  for (; elements < kMaxTopElements && off < end; ++elements) {
    if (!header(off, e)) break;
    if (e.id == kCluster) firstCluster = off;
    if (e.id == kCluster || e.unknownSize) break;
    const std::uint64_t at = off + e.header;
    if (at > end || e.size > end - at) {  // runs past the segment
      overrun(at, e.size);
      break;
    }
    take(e, at);
    off = at + e.size;
  }
  // Those that lie further on, through the SeekHead (and a second one it
  // names): one read each. A position must hold the element it names, whole
  // inside the segment.
  auto seekTo = [&](std::uint64_t pos, std::uint32_t id) {
    if (!pos) return;
    if (pos >= end - std::min(end, data)) {  // outside the segment
      overrun(data, pos);
      return;
    }
    if (!header(data + pos, e)) return;
    if (e.id != id || e.unknownSize) {
      f.Note(ProbeOutcome::Malformed);
      return;
    }
    const std::uint64_t body = data + pos + e.header;
    if (body <= end && e.size <= end - body)
      take(e, body);
    else
      overrun(body, e.size);
  };
  if (s.seekHead2) seekTo(s.seekHead2, kSeekHead);
  if (!s.haveInfo) seekTo(s.seek[0], kInfo);
  if (!s.haveTracks) seekTo(s.seek[1], kTracks);
  if (!s.haveTags) seekTo(s.seek[2], kTags);
  if (!s.haveChapters) seekTo(s.seek[3], kChapters);
  if (elements == kMaxTopElements && !s.haveTracks) f.Note(ProbeOutcome::BudgetSpent);
  if (video.present && !video.defaultDuration && firstCluster && s.timestampScale)
    f.framesPerSecond = RateFromBlocks(src, firstCluster, end, video.number, s.timestampScale);
  if (audio.present && firstCluster) FrameChannels(src, firstCluster, end, audio, f.channels);

  // Play time: the segment's duration, else the longest track's DURATION tag.
  if (s.duration > 0) f.seconds = s.duration * static_cast<double>(s.timestampScale) / 1e9;
  for (const TrackTag& t : s.trackTags) {
    if (SameName(t.name, "DURATION") && s.duration == 0) {
      double seconds = ClockSeconds(t.value);
      if (seconds >= 0) f.seconds = std::max(f.seconds, seconds);
    }
    if (SameName(t.name, "BPS") && audio.present && t.uid == audio.uid && f.audioBitsPerSecond == 0)
      f.audioBitsPerSecond = std::strtoull(t.value.c_str(), nullptr, 10);
  }
  if (!std::isfinite(f.seconds) || f.seconds > 1e12) f.seconds = -1;
  if (src.spent()) f.Note(ProbeOutcome::BudgetSpent);
  return f;
}

}  // namespace clip
