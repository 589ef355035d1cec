#include "scan/iso_probe.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "scan/byte_reader.h"
#include "scan/codec_table.h"
#include "scan/iso_box.h"
#include "scan/tag_text.h"
#include "scan/track_config.h"

namespace clip {

namespace {

// bytes * 8 per (time / timescale) seconds, as whole bits a second; 0 when
// hostile tables make the figure meaningless.
std::uint64_t BitRate(std::uint64_t bytes, std::uint64_t timescale, std::uint64_t time) {
  if (!time) return 0;
  const double rate =
      static_cast<double>(bytes) * 8 * static_cast<double>(timescale) / static_cast<double>(time);
  return rate >= 0 && rate < 1e15 ? static_cast<std::uint64_t>(rate) : 0;
}

// Boxes looked at inside one box, and at the top level of the file.
constexpr int kMaxChildren = 1024;
constexpr int kMaxTopBoxes = 256;
// Bytes read of one descriptive box (headers, sample descriptions, tags).
constexpr std::size_t kLeafMax = kIsoHeadBytes;
// Entries of a time-to-sample table summed; a longer one (a variable frame
// rate over hours) gives way to the media header's duration.
constexpr std::uint32_t kMaxTimeEntries = 8192;
// Bytes of one track fragment run read: 256 K samples with two fields each.
constexpr std::size_t kMaxRunBytes = 2 * 1024 * 1024;
// Track format names are kept for this many tracks of a fragmented file.
constexpr std::size_t kMaxTrex = 16;

std::uint64_t SatAdd(std::uint64_t a, std::uint64_t b) {
  return b > UINT64_MAX - a ? UINT64_MAX : a + b;
}
std::uint64_t SatMul(std::uint64_t a, std::uint64_t b) {
  return a != 0 && b > UINT64_MAX / a ? UINT64_MAX : a * b;
}

struct Box {
  std::uint32_t type = 0;
  std::uint64_t body = 0;  // file offset of the bytes after the header
  std::uint64_t end = 0;   // file offset just past the box
  std::uint64_t BodySize() const { return end - body; }
};

// The file as the box walk reads it, and the first problem met in its boxes.
class BoxFile : public FileWindow {
 public:
  using FileWindow::FileWindow;
  ProbeOutcome outcome = ProbeOutcome::Whole;
  void Note(ProbeOutcome problem) { NoteProblem(outcome, problem); }
};

// Where a box header is read: at the top level of the file, where a box
// that runs past the end is cut there, so that a file that stops early
// keeps what its boxes hold; inside a box, where one that runs past its
// parent ends the walk; or where a table points, which notes nothing (a
// wrong pointer is no broken box).
enum class Where { Top, Inside, Pointed };

// The header of the box at off, which must end by limit. What is amiss is
// noted: a box that runs past the end of the file as Truncated, past its
// parent or smaller than its header as Malformed, a header the read budget
// leaves unread as BudgetSpent.
bool ReadBox(BoxFile& src, std::uint64_t off, std::uint64_t limit, Where where, Box& box) {
  if (off >= limit) return false;
  const bool note = where != Where::Pointed;
  if (limit - off < 8) {
    // Fewer bytes than a header: the file stops inside one at the top
    // level; inside a box they are padding (QuickTime ends some lists with
    // four zero bytes).
    if (where == Where::Top) src.Note(ProbeOutcome::Truncated);
    return false;
  }
  // Every box ends by the end of the file, so the read holds the whole
  // header unless the budget refuses it or the file ends inside it.
  const ByteView h = src.At(off, 16);
  IsoBoxHeader header;
  switch (ReadIsoBoxHeader(h, limit - off, header)) {
    case IsoBoxRead::Ok: break;
    case IsoBoxRead::Short:
      if (note) src.Note(h.size() == 0 ? ProbeOutcome::BudgetSpent : ProbeOutcome::Truncated);
      return false;
    case IsoBoxRead::Small:
      if (note) src.Note(ProbeOutcome::Malformed);
      return false;
    case IsoBoxRead::Long:
      if (note)
        src.Note(header.size > src.size() - off ? ProbeOutcome::Truncated
                                                : ProbeOutcome::Malformed);
      if (where != Where::Top || limit - off < header.headerSize) return false;
      header.size = limit - off;
      break;
  }
  box.type = header.type;
  box.body = off + header.headerSize;
  box.end = off + header.size;
  return true;
}

// Calls visit(child) for the boxes inside parent until it returns false.
template <typename Visit>
void ForEachChild(BoxFile& src, const Box& parent, Visit visit) {
  std::uint64_t off = parent.body;
  Box box;
  for (int i = 0; i < kMaxChildren && ReadBox(src, off, parent.end, Where::Inside, box); ++i) {
    if (!visit(box)) return;
    off = box.end;
  }
}

// The body of a box, at most max bytes of it.
ByteView Body(BoxFile& src, const Box& box, std::size_t max = kLeafMax) {
  return src.At(box.body, static_cast<std::size_t>(std::min<std::uint64_t>(box.BodySize(), max)));
}

// Boxes inside bytes already read (a sample description, a tag item).
class Pieces {
 public:
  explicit Pieces(ByteView bytes) : v_(bytes) {}
  bool Next(std::uint32_t& type, ByteView& body) {
    IsoBoxHeader header;
    if (count_++ >= kMaxChildren ||
        ReadIsoBoxHeader(v_.Sub(off_, 16), v_.size() - off_, header) != IsoBoxRead::Ok)
      return false;
    type = header.type;
    body =
        v_.Sub(off_ + header.headerSize, static_cast<std::size_t>(header.size) - header.headerSize);
    off_ += static_cast<std::size_t>(header.size);
    return true;
  }

 private:
  ByteView v_;
  std::size_t off_ = 0;
  int count_ = 0;
};

ByteView FindPiece(ByteView bytes, std::uint32_t wanted, bool& found) {
  Pieces pieces(bytes);
  std::uint32_t type = 0;
  ByteView body;
  while (pieces.Next(type, body))
    if (type == wanted) return found = true, body;
  found = false;
  return ByteView();
}

// The most common of the sample durations seen, counting up to 16 distinct
// ones: a fragmented file's frame rate, where the first sample's duration
// often carries the shift of the composition offsets.
class DurationTally {
 public:
  void Add(std::uint32_t duration, std::uint64_t count) {
    for (int i = 0; i < n_; ++i)
      if (value_[i] == duration) return void(count_[i] = SatAdd(count_[i], count));
    if (n_ < 16) value_[n_] = duration, count_[n_++] = count;
  }
  std::uint32_t Mode() const {
    int best = -1;
    for (int i = 0; i < n_; ++i)
      if (value_[i] && (best < 0 || count_[i] > count_[best])) best = i;
    return best < 0 ? 0 : value_[best];
  }

 private:
  std::uint32_t value_[16] = {};
  std::uint64_t count_[16] = {};
  int n_ = 0;
};

// What a track's boxes say, as far as the facts need it.
struct Fragments {
  DurationTally tally;
  std::uint64_t samples = 0, durations = 0, sizes = 0;
  std::uint64_t end = 0;  // decode time just past the last sample read
  bool haveEnd = false;
};

struct Track {
  std::uint32_t id = 0, handler = 0;
  std::uint32_t tkhdWidth = 0, tkhdHeight = 0;  // 16.16 fixed point
  std::uint32_t timescale = 0;
  std::uint64_t duration = 0;
  std::string format;
  bool mpegAudio = false;  // MPEG-1/2 audio: the first frame tells layer 2 from 3
  bool pcm = false;
  std::uint16_t entryWidth = 0, entryHeight = 0;
  std::uint16_t channels = 0, sampleBits = 0;
  std::uint32_t sampleRate = 0;
  std::uint32_t declaredBitrate = 0;
  bool haveTimes = false;
  std::uint64_t timeSamples = 0, timeTotal = 0;
  DurationTally timeTally;
  std::uint64_t sizeSamples = 0, sizeSum = 0;
  bool haveSizes = false;
  std::uint64_t firstChunk = 0;
  bool haveChunk = false;
  std::uint32_t trexDuration = 0, trexSize = 0;
  Fragments first, last;
  // The language of mdhd and the tag of elng, which goes before it.
  std::string language, languageTag;
  bool haveLanguageTag = false;
  bool forced = false;                       // a timed text entry marked to be shown always
  bool kindForced = false;                   // a kind box that says so
  std::vector<std::uint32_t> chapterTracks;  // the tracks tref/chap names
  ChannelLayout layout;                      // of the first sample entry
  VideoDepth depth;
};

// What the track lists need of every track, in file order.
struct TrackEntry {
  std::uint32_t id = 0, handler = 0;
  std::string language;
  bool forced = false;
  std::uint64_t samples = 0;  // the sample table's count, 0 when it gives none
};

struct Movie {
  std::uint32_t timescale = 0;
  std::uint64_t duration = 0;
  bool fragmented = false;
  std::uint64_t fragmentDuration = 0;  // from mehd, movie timescale
  bool haveVideo = false, haveAudio = false;
  Track video, audio;
  std::vector<TrackEntry> tracks;
  std::vector<std::uint32_t> chapterTracks;  // named by any track's tref/chap
  int listedChapters = -1;                   // the count of a chpl box in udta
};

// ---- Sample descriptions ----

struct EsInfo {
  std::uint8_t objectType = 0;
  std::uint32_t avgBitrate = 0;
  bool found = false;
  ByteView decoderInfo;  // the decoder specific info, empty when there is none
};

// Reads one descriptor length: up to four bytes of seven bits each.
bool DescriptorLength(ByteView v, std::size_t& off, std::uint32_t& len) {
  len = 0;
  for (int i = 0; i < 4; ++i) {
    if (!v.Has(off, 1)) return false;
    std::uint8_t b = v.U8(off++);
    len = (len << 7) | (b & 0x7F);
    if (!(b & 0x80)) return true;
  }
  return true;
}

// The decoder configuration in an esds body (after version and flags).
EsInfo ParseEsds(ByteView esds) {
  EsInfo info;
  std::size_t off = 4;
  std::uint32_t len = 0;
  if (esds.U8(off++) != 0x03 || !DescriptorLength(esds, off, len)) return info;
  if (!esds.Has(off, 3)) return info;
  std::uint8_t flags = esds.U8(off + 2);
  off += 3;
  if (flags & 0x80) off += 2;                 // depends on another stream
  if (flags & 0x40) off += 1 + esds.U8(off);  // URL
  if (flags & 0x20) off += 2;                 // OCR stream
  if (esds.U8(off++) != 0x04 || !DescriptorLength(esds, off, len) || !esds.Has(off, 13))
    return info;
  info.objectType = esds.U8(off);
  info.avgBitrate = esds.U32BE(off + 9);
  info.found = true;
  off += 13;
  if (esds.U8(off++) == 0x05 && DescriptorLength(esds, off, len) && esds.Has(off, 1))
    info.decoderInfo = esds.Sub(off, len);
  return info;
}

std::string VideoName(std::uint32_t type, const EsInfo& es) {
  switch (type) {
    case BigFourCC("avc1"):
    case BigFourCC("avc2"):
    case BigFourCC("avc3"):
    case BigFourCC("avc4"):
    case BigFourCC("dva1"):  // Dolby Vision over H.264
    case BigFourCC("dvav"):
    case BigFourCC("ai5p"):  // AVC-Intra
    case BigFourCC("ai5q"):
    case BigFourCC("ai52"):
    case BigFourCC("ai53"):
    case BigFourCC("ai55"):
    case BigFourCC("ai56"):
    case BigFourCC("ai1p"):
    case BigFourCC("ai1q"):
    case BigFourCC("ai12"):
    case BigFourCC("ai13"):
    case BigFourCC("ai15"):
    case BigFourCC("ai16"): return "H.264";
    case BigFourCC("hvc1"):
    case BigFourCC("hev1"):
    case BigFourCC("hvc2"):
    case BigFourCC("hev2"):
    case BigFourCC("lhv1"):
    case BigFourCC("lhe1"):
    case BigFourCC("dvh1"):  // Dolby Vision over H.265
    case BigFourCC("dvhe"): return "H.265";
    case BigFourCC("vvc1"):
    case BigFourCC("vvi1"): return "H.266";
    case BigFourCC("av01"):
    case BigFourCC("dav1"): return "AV1";
    case BigFourCC("vp08"): return "VP8";
    case BigFourCC("vp09"): return "VP9";
    case BigFourCC("vc-1"): return "VC-1";
    case BigFourCC("jpeg"):
    case BigFourCC("mjpa"):
    case BigFourCC("mjpb"): return "MJPEG";
    case BigFourCC("apch"):
    case BigFourCC("apcn"):
    case BigFourCC("apcs"):
    case BigFourCC("apco"):
    case BigFourCC("ap4h"):
    case BigFourCC("ap4x"): return "ProRes";
    case BigFourCC("aprn"):
    case BigFourCC("aprh"): return "ProRes RAW";
    case BigFourCC("mjp2"): return "JPEG 2000";
    case BigFourCC("dvc "):  // DV, DVCPRO and DVCPRO HD
    case BigFourCC("dvcp"):
    case BigFourCC("dvpp"):
    case BigFourCC("dv5n"):
    case BigFourCC("dv5p"):
    case BigFourCC("dvhp"):
    case BigFourCC("dvhq"):
    case BigFourCC("dvh2"):
    case BigFourCC("dvh3"):
    case BigFourCC("dvh5"):
    case BigFourCC("dvh6"): return "DV";
    case BigFourCC("m1v "):
    case BigFourCC("mp1v"): return "MPEG1";
    case BigFourCC("m2v1"):
    case BigFourCC("mp2v"):
    case BigFourCC("hdv1"):  // HDV
    case BigFourCC("hdv2"):
    case BigFourCC("hdv3"):
    case BigFourCC("hdv4"):
    case BigFourCC("hdv5"):
    case BigFourCC("hdv6"):
    case BigFourCC("hdv7"):
    case BigFourCC("hdv8"):
    case BigFourCC("hdv9"):
    case BigFourCC("hdva"):
    case BigFourCC("mx3n"):  // IMX
    case BigFourCC("mx3p"):
    case BigFourCC("mx4n"):
    case BigFourCC("mx4p"):
    case BigFourCC("mx5n"):
    case BigFourCC("mx5p"):
    case BigFourCC("xdhd"):  // XDCAM
    case BigFourCC("xdh2"):
    case BigFourCC("xdv1"):
    case BigFourCC("xdv2"):
    case BigFourCC("xdv3"):
    case BigFourCC("xdv4"):
    case BigFourCC("xdv5"):
    case BigFourCC("xdv6"):
    case BigFourCC("xdv7"):
    case BigFourCC("xdv8"):
    case BigFourCC("xdv9"):
    case BigFourCC("xdva"):
    case BigFourCC("xdvb"):
    case BigFourCC("xdvc"):
    case BigFourCC("xdvd"):
    case BigFourCC("xdve"):
    case BigFourCC("xdvf"):
    case BigFourCC("xd5a"):
    case BigFourCC("xd5b"):
    case BigFourCC("xd5c"):
    case BigFourCC("xd5d"):
    case BigFourCC("xd5e"):
    case BigFourCC("xd5f"):
    case BigFourCC("xd59"):
    case BigFourCC("xd54"):
    case BigFourCC("xd55"): return "MPEG2";
    case BigFourCC("AVdn"):
    case BigFourCC("AVdh"): return "DNxHD";
    case BigFourCC("SVQ1"): return "Sorenson Video";
    case BigFourCC("SVQ3"): return "Sorenson Video 3";
    case BigFourCC("cvid"): return "Cinepak";
    case BigFourCC("rle "): return "Animation";
    case BigFourCC("rpza"): return "Apple Video";
    case BigFourCC("smc "): return "Graphics";
    case BigFourCC("8BPS"): return "Planar RGB";
    case BigFourCC("icod"): return "AIC";
    case BigFourCC("png "): return "PNG";
    case BigFourCC("tiff"): return "TIFF";
    case BigFourCC("gif "): return "GIF";
    case BigFourCC("drac"): return "Dirac";
    case BigFourCC("CFHD"): return "CineForm";
    case BigFourCC("FFV1"): return "FFV1";
    case BigFourCC("Hap1"):
    case BigFourCC("Hap5"):
    case BigFourCC("HapY"):
    case BigFourCC("HapM"):
    case BigFourCC("HapA"): return "HAP";
    case BigFourCC("raw "):
    case BigFourCC("2vuy"):
    case BigFourCC("yuv2"):
    case BigFourCC("yuvs"):
    case BigFourCC("v210"):
    case BigFourCC("v308"):
    case BigFourCC("v408"):
    case BigFourCC("v410"):
    case BigFourCC("r210"):
    case BigFourCC("R10k"):
    case BigFourCC("b16g"):
    case BigFourCC("b48r"):
    case BigFourCC("b64a"):
    case BigFourCC("uncv"): return "Uncompressed";
    case BigFourCC("s263"):
    case BigFourCC("h263"):
    case BigFourCC("H263"): return "H.263";
    case BigFourCC("mp4v"):
      if (es.objectType == 0x21) return "H.264";
      if (es.objectType >= 0x60 && es.objectType <= 0x65) return "MPEG2";
      if (es.objectType == 0x6A) return "MPEG1";
      if (es.objectType == 0x6C) return "MJPEG";
      return "MPEG-4 Visual";
  }
  return "";
}

std::string AudioName(std::uint32_t type, const EsInfo& es, Track& t) {
  switch (type) {
    case BigFourCC("mp4a"):
      switch (es.objectType) {
        case 0x69:
        case 0x6B: t.mpegAudio = true; return "MP3";
        case 0xA5: return "AC-3";
        case 0xA6: return "E-AC-3";
        case 0xA9: return "DTS";
        case 0xAD: return "Opus";
        case 0xDD: return "Vorbis";
      }
      return "AAC";
    case BigFourCC(".mp3"): return "MP3";
    case BigFourCC(".mp2"): return "MP2";
    case BigFourCC("ac-3"): return "AC-3";
    case BigFourCC("ec-3"): return "E-AC-3";
    case BigFourCC("ac-4"): return "AC-4";
    case BigFourCC("dtsc"):
    case BigFourCC("dtsh"):
    case BigFourCC("dtsl"):
    case BigFourCC("dtse"):
    case BigFourCC("dtsx"):
    case BigFourCC("dtsy"):
    case BigFourCC("dts+"):
    case BigFourCC("dts-"): return "DTS";
    case BigFourCC("mlpa"): return "TrueHD";
    case BigFourCC("Opus"): return "Opus";
    case BigFourCC("fLaC"): return "FLAC";
    case BigFourCC("alac"): return "ALAC";
    case BigFourCC("samr"): return "AMR-NB";
    case BigFourCC("sawb"): return "AMR-WB";
    case BigFourCC("sawp"): return "AMR-WB+";
    case BigFourCC("mha1"):
    case BigFourCC("mha2"):
    case BigFourCC("mhm1"):
    case BigFourCC("mhm2"): return "MPEG-H";
    case BigFourCC("iamf"): return "IAMF";
    case BigFourCC("ulaw"): return "u-Law";
    case BigFourCC("alaw"): return "A-Law";
    case BigFourCC("ima4"): return "ADPCM";
    case BigFourCC("MAC3"): return "MACE 3:1";
    case BigFourCC("MAC6"): return "MACE 6:1";
    case BigFourCC("QDM2"):
    case BigFourCC("QDMC"): return "QDesign";
    case BigFourCC("Qclp"):
    case BigFourCC("sqcp"): return "QCELP";
    case BigFourCC("sevc"): return "EVRC";
    case BigFourCC("ssmv"): return "SMV";
    case BigFourCC("agsm"): return "GSM 6.10";
    case BigFourCC("spex"): return "Speex";
    case BigFourCC("fpcm"):
    case BigFourCC("ipcm"):
    case BigFourCC("lpcm"):
    case BigFourCC("sowt"):
    case BigFourCC("twos"):
    case BigFourCC("in24"):
    case BigFourCC("in32"):
    case BigFourCC("fl32"):
    case BigFourCC("fl64"):
    case BigFourCC("raw "):
    case BigFourCC("NONE"): t.pcm = true; return "PCM";
  }
  // QuickTime's code for a Windows format: "ms" and its format tag.
  if ((type >> 16) == 0x6D73) {
    const std::string name = WindowsAudioName(static_cast<std::uint16_t>(type));
    if (name.find("(unknown)") == std::string::npos) return name;
  }
  return "";
}

std::string TypeText(std::uint32_t type) {
  const std::uint8_t bytes[4] = {
      static_cast<std::uint8_t>(type >> 24), static_cast<std::uint8_t>(type >> 16),
      static_cast<std::uint8_t>(type >> 8), static_cast<std::uint8_t>(type)};
  return UnknownCodeName(bytes);
}

// MPEG-4 audio and the three MPEG-2 AAC profiles, whose decoder specific
// info is an AudioSpecificConfig.
bool IsAacObject(std::uint8_t type) { return type == 0x40 || (type >= 0x66 && type <= 0x68); }

// The channels that an audio entry's configuration gives (AAC, AC-3,
// E-AC-3, Opus, FLAC), else the entry's count without a layout. QuickTime
// keeps the AC-3 boxes in a wave box.
ChannelLayout AudioLayout(ByteView children, const EsInfo& es, int count) {
  ChannelLayout layout;
  if (es.found && IsAacObject(es.objectType) && ChannelsFromAacConfig(es.decoderInfo, layout))
    return layout;
  bool found = false;
  const ByteView wave = FindPiece(children, BigFourCC("wave"), found);
  for (ByteView list : {children, wave}) {
    ByteView box = FindPiece(list, BigFourCC("dac3"), found);
    if (found && ChannelsFromDac3(box, layout)) return layout;
    box = FindPiece(list, BigFourCC("dec3"), found);
    if (found && ChannelsFromDec3(box, layout)) return layout;
  }
  ByteView box;
  // Opus: the output channel count at byte 1 and the mapping family at
  // byte 10; families 0 and 1 keep the Vorbis order.
  box = FindPiece(children, BigFourCC("dOps"), found);
  if (found && box.Has(0, 11) && box.U8(1) > 0)
    return box.U8(10) <= 1 ? ChannelsInVorbisOrder(box.U8(1)) : ChannelLayout{box.U8(1), -1};
  // FLAC: version and flags, then the metadata blocks, STREAMINFO first,
  // whose byte 12 holds the channel count less one in bits 3 to 1.
  box = FindPiece(children, BigFourCC("dfLa"), found);
  if (found && box.Has(0, 8 + 34) && (box.U8(4) & 0x7F) == 0)
    return ChannelsInVorbisOrder(((box.U8(20) >> 1) & 7) + 1);
  layout.channels = count > 0 ? count : 0;
  return layout;
}

// Bit depth, transfer characteristics and Dolby Vision configuration from
// the boxes of a visual sample entry. A colr box's transfer goes before
// the one that vpcC repeats.
VideoDepth VisualDepth(ByteView children) {
  VideoDepth depth;
  bool colour = false;
  Pieces pieces(children);
  std::uint32_t type = 0;
  ByteView body;
  while (pieces.Next(type, body)) {
    switch (type) {
      case BigFourCC("hvcC"): DepthFromHevcConfig(body, depth); break;
      case BigFourCC("av1C"): DepthFromAv1Config(body, depth); break;
      case BigFourCC("avcC"): DepthFromAvcConfig(body, depth); break;
      case BigFourCC("vpcC"):
        // Version 1 after version and flags: profile, level, then the bit
        // depth in the high four bits, the colour primaries and the transfer.
        if (body.U8(0) == 1 && body.Has(0, 9)) {
          depth.bits = body.U8(6) >> 4;
          if (!colour) depth.transfer = body.U8(8);
        }
        break;
      case BigFourCC("colr"):
        // The type, then colour primaries, transfer and matrix, 16 bits each.
        if (!colour && (body.Is(0, "nclx") || body.Is(0, "nclc")) && body.Has(0, 8)) {
          depth.transfer = body.U16BE(6);
          colour = true;
        }
        break;
      case BigFourCC("dvcC"):
      case BigFourCC("dvvC"):
      case BigFourCC("dvwC"): DolbyVisionFromConfig(body, depth); break;
    }
  }
  return depth;
}

// The first sample description of a track's stsd body.
void ParseSampleEntry(ByteView stsd, Track& t) {
  Pieces entries(stsd.Sub(8, stsd.size()));
  std::uint32_t type = 0;
  ByteView entry;
  if (!entries.Next(type, entry)) return;
  const bool video = t.handler == BigFourCC("vide");
  std::size_t childAt = 78;
  int channelCount = 0;
  if (!video) {
    // Sound descriptions of QuickTime versions 1 and 2 are longer.
    std::uint16_t version = entry.U16BE(8);
    childAt = version == 1 ? 44 : version == 2 ? 64 : 28;
    t.channels = entry.U16BE(16);
    t.sampleBits = entry.U16BE(18);
    t.sampleRate = entry.U32BE(24) >> 16;
    channelCount = t.channels;
    if (version == 2) {
      t.sampleRate = 0;  // a float64 rate; the media time scale stands in
      t.channels = 0;
      // The count follows the float64 rate, before the constant 7F000000.
      const std::uint32_t count = entry.U32BE(40);
      channelCount = entry.U32BE(44) == 0x7F000000u && count <= 255 ? static_cast<int>(count) : 0;
    }
    // A timed text entry: the display flags after the data reference index.
    if (type == BigFourCC("tx3g")) t.forced = (entry.U32BE(8) & 0x40000000u) != 0;
  } else {
    t.entryWidth = entry.U16BE(24);
    t.entryHeight = entry.U16BE(26);
  }
  ByteView children = entry.Sub(childAt, entry.size());
  bool found = false;
  // An encrypted entry names the codec it hides in sinf/frma.
  if (type == BigFourCC("encv") || type == BigFourCC("enca")) {
    ByteView frma =
        FindPiece(FindPiece(children, BigFourCC("sinf"), found), BigFourCC("frma"), found);
    if (found && frma.Has(0, 4)) type = frma.U32BE(0);
  }
  ByteView esds = FindPiece(children, BigFourCC("esds"), found);
  if (!found)
    esds = FindPiece(FindPiece(children, BigFourCC("wave"), found), BigFourCC("esds"), found);
  EsInfo es = found ? ParseEsds(esds) : EsInfo();
  t.declaredBitrate = es.avgBitrate;
  ByteView btrt = FindPiece(children, BigFourCC("btrt"), found);
  if (t.declaredBitrate == 0 && found) t.declaredBitrate = btrt.U32BE(8);
  t.format = video ? VideoName(type, es) : AudioName(type, es, t);
  if (t.format.empty()) t.format = TypeText(type);
  if (video)
    t.depth = VisualDepth(children);
  else if (t.handler == BigFourCC("soun"))
    t.layout = AudioLayout(children, es, channelCount);
}

// ---- Tracks ----

void ParseSampleTable(BoxFile& src, const Box& stbl, Track& t) {
  ForEachChild(src, stbl, [&](const Box& box) {
    if (box.type == BigFourCC("stsd")) {
      ParseSampleEntry(Body(src, box), t);
    } else if (box.type == BigFourCC("stts")) {
      ByteView v = Body(src, box, 8 + 8 * static_cast<std::size_t>(kMaxTimeEntries));
      std::uint32_t entries = v.U32BE(4);
      if (entries <= kMaxTimeEntries && v.Has(8, 8 * static_cast<std::size_t>(entries))) {
        t.haveTimes = true;
        for (std::uint32_t i = 0; i < entries; ++i) {
          std::uint64_t count = v.U32BE(8 + 8 * i);
          std::uint32_t delta = v.U32BE(12 + 8 * i);
          t.timeSamples = SatAdd(t.timeSamples, count);
          t.timeTotal = SatAdd(t.timeTotal, SatMul(count, delta));
          t.timeTally.Add(delta, count);
        }
      }
    } else if (box.type == BigFourCC("stsz")) {
      ByteView v = Body(src, box, 12);
      if (!v.Has(0, 12)) return true;
      std::uint32_t size = v.U32BE(4), count = v.U32BE(8);
      t.sizeSamples = count;
      if (size != 0) {
        t.sizeSum = SatMul(size, count), t.haveSizes = true;
      } else if (t.handler == BigFourCC("soun") && count <= kIsoMaxSummedSizes &&
                 count <= (box.BodySize() - 12) / 4) {
        ByteView table = src.At(box.body + 12, 4 * static_cast<std::size_t>(count));
        if (table.Has(0, 4 * static_cast<std::size_t>(count))) {
          for (std::uint32_t i = 0; i < count; ++i) t.sizeSum += table.U32BE(4 * i);
          t.haveSizes = true;
        }
      }
    } else if (box.type == BigFourCC("stco") || box.type == BigFourCC("co64")) {
      ByteView v = Body(src, box, 16);
      if (v.U32BE(4) != 0 && v.Has(8, box.type == BigFourCC("co64") ? 8 : 4)) {
        t.firstChunk = box.type == BigFourCC("co64") ? v.U64BE(8) : v.U32BE(8);
        t.haveChunk = true;
      }
    }
    return true;
  });
}

// The packed ISO 639-2/T code of mdhd: three letters of five bits, each
// less 0x60; "und" says that the language is not known. Values below 0x400
// are QuickTime's Macintosh language codes, of which the first 24 are
// named here (0 is English); others stay unknown.
std::string PackedLanguage(std::uint16_t code) {
  static const char* const kMacintosh[] = {"eng", "fre", "ger", "ita", "dut", "swe", "spa", "dan",
                                           "por", "nor", "heb", "jpn", "ara", "fin", "gre", "ice",
                                           "mlt", "tur", "hrv", "chi", "urd", "hin", "tha", "kor"};
  if (code < 0x400) return code < std::size(kMacintosh) ? kMacintosh[code] : "";
  std::string text;
  for (int shift : {10, 5, 0}) {
    const int letter = (code >> shift) & 31;
    if (letter < 1 || letter > 26) return "";
    text += static_cast<char>(0x60 + letter);
  }
  return text == "und" ? "" : text;
}

// Track IDs a tref child names, and the most of them kept for one track.
constexpr std::size_t kMaxReferences = 16;
// Bytes of an elng language tag read, after its version and flags.
constexpr std::size_t kLanguageTagMax = 64;

Track ParseTrak(BoxFile& src, const Box& trak) {
  Track t;
  ForEachChild(src, trak, [&](const Box& box) {
    if (box.type == BigFourCC("tkhd")) {
      ByteView v = Body(src, box, 96);
      bool v1 = v.U8(0) == 1;
      t.id = v.U32BE(v1 ? 20 : 12);
      t.tkhdWidth = v.U32BE(v1 ? 88 : 76);
      t.tkhdHeight = v.U32BE(v1 ? 92 : 80);
    } else if (box.type == BigFourCC("udta")) {
      // A kind box of the DASH role scheme may mark a forced subtitle
      // track: version and flags, then the scheme and the value, each
      // ending with a zero byte.
      ForEachChild(src, box, [&](const Box& k) {
        if (k.type != BigFourCC("kind")) return true;
        ByteView v = Body(src, k, 4 + 64);
        static const char kRole[] = "urn:mpeg:dash:role:2011";
        static const char kForced[] = "forced-subtitle";
        if (v.Equals(4, reinterpret_cast<const std::uint8_t*>(kRole), sizeof kRole) &&
            v.Equals(4 + sizeof kRole, reinterpret_cast<const std::uint8_t*>(kForced),
                     sizeof kForced))
          t.kindForced = true;
        return true;
      });
    } else if (box.type == BigFourCC("tref")) {
      ForEachChild(src, box, [&](const Box& r) {
        if (r.type != BigFourCC("chap")) return true;
        ByteView ids = Body(src, r, 4 * kMaxReferences);
        for (std::size_t at = 0; ids.Has(at, 4) && t.chapterTracks.size() < kMaxReferences; at += 4)
          t.chapterTracks.push_back(ids.U32BE(at));
        return true;
      });
    } else if (box.type == BigFourCC("mdia")) {
      ForEachChild(src, box, [&](const Box& m) {
        if (m.type == BigFourCC("mdhd")) {
          ByteView v = Body(src, m, 36);
          bool v1 = v.U8(0) == 1;
          t.timescale = v.U32BE(v1 ? 20 : 12);
          t.duration = v1 ? v.U64BE(24) : v.U32BE(16);
          if (!v1 && t.duration == 0xFFFFFFFFu) t.duration = 0;  // unknown
          if (v.Has(v1 ? 32 : 20, 2)) t.language = PackedLanguage(v.U16BE(v1 ? 32 : 20));
        } else if (m.type == BigFourCC("elng")) {
          // A language tag that ends with a zero byte, after version and
          // flags; a byte a tag cannot hold shows as '?'.
          ByteView v = Body(src, m, 4 + kLanguageTagMax);
          const std::string tag = CodecIdText(v.Sub(4, kLanguageTagMax));
          t.languageTag = tag == "und" ? "" : tag;
          t.haveLanguageTag = true;
        } else if (m.type == BigFourCC("hdlr")) {
          t.handler = Body(src, m, 12).U32BE(8);
        } else if (m.type == BigFourCC("minf")) {
          ForEachChild(src, m, [&](const Box& s) {
            if (s.type == BigFourCC("stbl")) ParseSampleTable(src, s, t);
            return true;
          });
        }
        return true;
      });
    }
    return true;
  });
  return t;
}

// ---- Tags ----

// The 80 genres of an ID3v1 tag, which a gnre item numbers from one.
const char* const kId3Genres[] = {"Blues",
                                  "Classic Rock",
                                  "Country",
                                  "Dance",
                                  "Disco",
                                  "Funk",
                                  "Grunge",
                                  "Hip-Hop",
                                  "Jazz",
                                  "Metal",
                                  "New Age",
                                  "Oldies",
                                  "Other",
                                  "Pop",
                                  "R&B",
                                  "Rap",
                                  "Reggae",
                                  "Rock",
                                  "Techno",
                                  "Industrial",
                                  "Alternative",
                                  "Ska",
                                  "Death Metal",
                                  "Pranks",
                                  "Soundtrack",
                                  "Euro-Techno",
                                  "Ambient",
                                  "Trip-Hop",
                                  "Vocal",
                                  "Jazz+Funk",
                                  "Fusion",
                                  "Trance",
                                  "Classical",
                                  "Instrumental",
                                  "Acid",
                                  "House",
                                  "Game",
                                  "Sound Clip",
                                  "Gospel",
                                  "Noise",
                                  "AlternRock",
                                  "Bass",
                                  "Soul",
                                  "Punk",
                                  "Space",
                                  "Meditative",
                                  "Instrumental Pop",
                                  "Instrumental Rock",
                                  "Ethnic",
                                  "Gothic",
                                  "Darkwave",
                                  "Techno-Industrial",
                                  "Electronic",
                                  "Pop-Folk",
                                  "Eurodance",
                                  "Dream",
                                  "Southern Rock",
                                  "Comedy",
                                  "Cult",
                                  "Gangsta",
                                  "Top 40",
                                  "Christian Rap",
                                  "Pop/Funk",
                                  "Jungle",
                                  "Native American",
                                  "Cabaret",
                                  "New Wave",
                                  "Psychadelic",
                                  "Rave",
                                  "Showtunes",
                                  "Trailer",
                                  "Lo-Fi",
                                  "Tribal",
                                  "Acid Punk",
                                  "Acid Jazz",
                                  "Polka",
                                  "Retro",
                                  "Musical",
                                  "Rock & Roll",
                                  "Hard Rock"};

struct Tags {
  std::string title, creator, genre, comment;
};

std::string* TagSlot(Tags& tags, std::uint32_t type) {
  switch (type) {
    case BigFourCC("\xA9nam"):
    case BigFourCC("titl"): return &tags.title;
    case BigFourCC(
        "\xA9"
        "ART"):
    case BigFourCC("perf"):
    case BigFourCC("auth"): return &tags.creator;
    case BigFourCC("\xA9gen"):
    case BigFourCC("gnre"): return &tags.genre;
    case BigFourCC(
        "\xA9"
        "cmt"):
    case BigFourCC("\xA9inf"):
    case BigFourCC("dscp"): return &tags.comment;
  }
  return nullptr;
}

// A 3GPP text: UTF-16 when it starts with a byte order mark, else UTF-8.
std::string BomText(ByteView text) {
  if (text.U16BE(0) == 0xFEFF) return Utf8FromUtf16(text.Sub(2, text.size()), true);
  if (text.U16BE(0) == 0xFFFE) return Utf8FromUtf16(text.Sub(2, text.size()), false);
  return CleanUtf8(text);
}

// An item of an ilst list: a data box of type 1 (UTF-8), 2 (UTF-16) or, for
// gnre, 0 with a genre number.
std::string IlstText(ByteView item, std::uint32_t type) {
  bool found = false;
  ByteView data = FindPiece(item, BigFourCC("data"), found);
  if (!found || !data.Has(0, 8)) return "";
  std::uint32_t kind = data.U32BE(0) & 0xFFFFFF;
  ByteView value = data.Sub(8, data.size());
  if (kind == 1) return CleanUtf8(value);
  if (kind == 2) return Utf8FromUtf16(value, true);
  if (type == BigFourCC("gnre") && value.Has(0, 2)) {
    std::uint16_t n = value.U16BE(0);
    if (n >= 1 && n <= sizeof kId3Genres / sizeof kId3Genres[0]) return kId3Genres[n - 1];
  }
  return "";
}

void ParseIlst(BoxFile& src, const Box& ilst, Tags& tags) {
  ForEachChild(src, ilst, [&](const Box& item) {
    std::string* slot = TagSlot(tags, item.type);
    if (slot && slot->empty()) *slot = IlstText(Body(src, item, kTagTextMax + 64), item.type);
    return true;
  });
}

// Reads the tags of udta, and the count of its chapter list (chpl: version
// and flags, four more bytes in version 1, then the count) into chapters.
void ParseUdta(BoxFile& src, const Box& udta, Tags& tags, int& chapters) {
  ForEachChild(src, udta, [&](const Box& box) {
    if (box.type == BigFourCC("chpl")) {
      ByteView v = Body(src, box, 9);
      const std::size_t at = v.U8(0) == 1 ? 8 : 4;
      if (chapters < 0 && v.Has(at, 1)) chapters = v.U8(at);
      return true;
    }
    if (box.type == BigFourCC("meta")) {
      // An ISO meta box has a version and flags; a QuickTime one starts
      // straight with its handler box.
      Box inner = box;
      if (!Body(src, box, 8).Is(4, "hdlr")) inner.body = std::min(box.body + 4, box.end);
      ForEachChild(src, inner, [&](const Box& b) {
        if (b.type == BigFourCC("ilst")) ParseIlst(src, b, tags);
        return true;
      });
      return true;
    }
    std::string* slot = TagSlot(tags, box.type);
    if (!slot || !slot->empty()) return true;
    ByteView v = Body(src, box, kTagTextMax + 8);
    if ((box.type >> 24) == 0xA9) {
      // QuickTime text: length, language, text.
      *slot = QuickTimeText(v.Sub(4, v.U16BE(0)), v.U16BE(2));
    } else {
      // 3GPP: version and flags, language, text.
      *slot = BomText(v.Sub(6, v.size()));
    }
    return true;
  });
}

// ---- Fragments ----

Track* TrackById(Movie& movie, std::uint32_t id) {
  if (movie.haveVideo && movie.video.id == id) return &movie.video;
  if (movie.haveAudio && movie.audio.id == id) return &movie.audio;
  return nullptr;
}

// Sample counts, durations and sizes of the runs of one movie fragment.
// The file's first fragment (startsFile) needs no decode time box: without
// one its samples follow those of the movie box.
void ParseMoof(BoxFile& src, const Box& moof, Movie& movie, bool first, bool startsFile) {
  ForEachChild(src, moof, [&](const Box& traf) {
    if (traf.type != BigFourCC("traf")) return true;
    Track* t = nullptr;
    std::uint64_t defDuration = 0, defSize = 0, decodeTime = 0;
    bool haveTime = false;
    Fragments f;
    ForEachChild(src, traf, [&](const Box& box) {
      if (box.type == BigFourCC("tfhd")) {
        ByteView v = Body(src, box, 40);
        std::uint32_t flags = v.U32BE(0) & 0xFFFFFF;
        t = TrackById(movie, v.U32BE(4));
        if (!t) return false;
        defDuration = t->trexDuration, defSize = t->trexSize;
        std::size_t at = 8;
        if (flags & 0x01) at += 8;  // base data offset
        if (flags & 0x02) at += 4;  // sample description index
        if (flags & 0x08) defDuration = v.U32BE(at), at += 4;
        if (flags & 0x10) defSize = v.U32BE(at), at += 4;
      } else if (box.type == BigFourCC("tfdt") && t) {
        ByteView v = Body(src, box, 12);
        decodeTime = v.U8(0) == 1 ? v.U64BE(4) : v.U32BE(4);
        haveTime = true;
      } else if (box.type == BigFourCC("trun") && t) {
        ByteView v = Body(src, box, kMaxRunBytes);
        std::uint32_t flags = v.U32BE(0) & 0xFFFFFF, count = v.U32BE(4);
        std::size_t at = 8;
        if (flags & 0x001) at += 4;  // data offset
        if (flags & 0x004) at += 4;  // first sample flags
        const bool hasDuration = flags & 0x100, hasSize = flags & 0x200;
        const std::size_t entry =
            4 * (hasDuration + hasSize + !!(flags & 0x400) + !!(flags & 0x800));
        if (entry == 0) {
          f.tally.Add(static_cast<std::uint32_t>(defDuration), count);
          f.samples = SatAdd(f.samples, count);
          f.durations = SatAdd(f.durations, SatMul(count, defDuration));
          f.sizes = SatAdd(f.sizes, SatMul(count, defSize));
          return true;
        }
        if (!v.Has(at, 0)) return true;
        std::uint64_t held = (v.size() - at) / entry;
        if (count > held) return true;  // a run cut short is not counted
        for (std::uint32_t i = 0; i < count; ++i, at += entry) {
          std::uint32_t duration =
              hasDuration ? v.U32BE(at) : static_cast<std::uint32_t>(defDuration);
          f.tally.Add(duration, 1);
          f.durations += duration;
          f.sizes += hasSize ? v.U32BE(at + 4 * hasDuration) : defSize;
        }
        f.samples += count;
      }
      return true;
    });
    if (!t) return true;
    if (!haveTime && startsFile) decodeTime = t->timeTotal, haveTime = true;
    f.end = SatAdd(decodeTime, f.durations);
    f.haveEnd = haveTime;
    (first ? t->first : t->last) = f;
    return true;
  });
}

// The movie fragment that the random access tables at the end of the file
// name last (mfro gives the size of mfra, whose tfra entries point at
// moofs); 0 when there is none.
std::uint64_t LastFragmentOffset(BoxFile& src) {
  const std::uint64_t size = src.size();
  if (size < 16) return 0;
  ByteView mfro = src.At(size - 16, 16);
  if (!mfro.Is(4, "mfro")) return 0;
  std::uint64_t mfraSize = mfro.U32BE(12);
  if (mfraSize < 16 || mfraSize > size) return 0;
  Box mfra;
  if (!ReadBox(src, size - mfraSize, size, Where::Pointed, mfra) || mfra.type != BigFourCC("mfra"))
    return 0;
  std::uint64_t last = 0;
  ForEachChild(src, mfra, [&](const Box& tfra) {
    if (tfra.type != BigFourCC("tfra")) return true;
    // Version and flags, track ID, field lengths, entry count.
    ByteView h = Body(src, tfra, 16);
    if (!h.Has(0, 16)) return true;
    const bool v1 = h.U8(0) == 1;
    const std::uint32_t lengths = h.U32BE(8), count = h.U32BE(12);
    const std::uint64_t entry =
        (v1 ? 16 : 8) + ((lengths >> 4) & 3) + ((lengths >> 2) & 3) + (lengths & 3) + 3;
    if (count == 0 || tfra.BodySize() < 16 || count > (tfra.BodySize() - 16) / entry) return true;
    ByteView e = src.At(tfra.body + 16 + (count - 1) * entry, static_cast<std::size_t>(entry));
    std::uint64_t moof = v1 ? e.U64BE(8) : e.U32BE(4);
    last = std::max(last, moof);
    return true;
  });
  return last;
}

// The span a segment index covers, in seconds: the sum of its references'
// durations; 0 when it holds none or more than its bytes read hold.
double SidxSeconds(BoxFile& src, const Box& sidx) {
  ByteView v = Body(src, sidx);
  const bool v1 = v.U8(0) == 1;
  const std::uint32_t timescale = v.U32BE(8);
  const std::size_t at = v1 ? 32 : 24;  // after times, offset, reserved
  const std::uint16_t count = v.U16BE(at - 2);
  if (!timescale || !v.Has(at, 12 * static_cast<std::size_t>(count))) return 0;
  std::uint64_t total = 0;
  for (std::uint16_t i = 0; i < count; ++i) total += v.U32BE(at + 12 * i + 4);
  return static_cast<double>(total) / timescale;
}

// ---- The movie ----

void ParseMoov(BoxFile& src, const Box& moov, Movie& movie, Tags& tags) {
  struct Trex {
    std::uint32_t id, duration, size;
  };
  std::vector<Trex> trex;
  ForEachChild(src, moov, [&](const Box& box) {
    if (box.type == BigFourCC("mvhd")) {
      ByteView v = Body(src, box, 32);
      bool v1 = v.U8(0) == 1;
      movie.timescale = v.U32BE(v1 ? 20 : 12);
      movie.duration = v1 ? v.U64BE(24) : v.U32BE(16);
      if (!v1 && movie.duration == 0xFFFFFFFFu) movie.duration = 0;
    } else if (box.type == BigFourCC("trak")) {
      Track t = ParseTrak(src, box);
      movie.tracks.push_back({t.id, t.handler, t.haveLanguageTag ? t.languageTag : t.language,
                              t.forced || t.kindForced,
                              t.sizeSamples ? t.sizeSamples : t.timeSamples});
      if (movie.chapterTracks.size() < kMaxReferences)
        movie.chapterTracks.insert(movie.chapterTracks.end(), t.chapterTracks.begin(),
                                   t.chapterTracks.end());
      if (t.handler == BigFourCC("vide") && !movie.haveVideo) {
        movie.video = t, movie.haveVideo = true;
      } else if (t.handler == BigFourCC("soun") && !movie.haveAudio) {
        movie.audio = t, movie.haveAudio = true;
      }
    } else if (box.type == BigFourCC("mvex")) {
      movie.fragmented = true;
      ForEachChild(src, box, [&](const Box& b) {
        ByteView v = Body(src, b, 24);
        if (b.type == BigFourCC("mehd"))
          movie.fragmentDuration = v.U8(0) == 1 ? v.U64BE(4) : v.U32BE(4);
        else if (b.type == BigFourCC("trex") && trex.size() < kMaxTrex)
          trex.push_back({v.U32BE(4), v.U32BE(12), v.U32BE(16)});
        return true;
      });
    } else if (box.type == BigFourCC("udta")) {
      ParseUdta(src, box, tags, movie.listedChapters);
    }
    return true;
  });
  for (const Trex& x : trex) {
    if (Track* t = TrackById(movie, x.id)) t->trexDuration = x.duration, t->trexSize = x.size;
  }
}

bool IsSubtitleHandler(std::uint32_t handler) {
  return handler == BigFourCC("sbtl") || handler == BigFourCC("subt") ||
         handler == BigFourCC("text") || handler == BigFourCC("clcp");
}

// The audio and subtitle tracks of the movie, the channels of its first
// audio track and the depth of its first video track. A track that another
// names as its chapters is no subtitle: the first such one that is not
// video (chapter pictures are) counts the chapters by its samples, else a
// chpl list does.
void ListTracks(const Movie& movie, MovieFacts& facts) {
  facts.tracksListed = true;
  int trackChapters = -1;
  for (const TrackEntry& e : movie.tracks) {
    const bool chapter =
        e.id != 0 && std::find(movie.chapterTracks.begin(), movie.chapterTracks.end(), e.id) !=
                         movie.chapterTracks.end();
    if (e.handler == BigFourCC("soun")) {
      facts.audioTracks.push_back({e.language, false});
    } else if (chapter) {
      if (e.handler != BigFourCC("vide") && trackChapters < 0 && e.samples)
        trackChapters = static_cast<int>(std::min<std::uint64_t>(e.samples, INT32_MAX));
    } else if (IsSubtitleHandler(e.handler)) {
      facts.subtitleTracks.push_back({e.language, e.forced});
    }
  }
  facts.chapters = trackChapters >= 0 ? trackChapters : movie.listedChapters;
  if (movie.haveAudio) facts.channels = movie.audio.layout;
  if (movie.haveVideo) facts.depth = movie.video.depth;
}

// Types a file of this family starts with.
bool IsFirstBox(std::uint32_t type) {
  for (std::uint32_t t :
       {BigFourCC("ftyp"), BigFourCC("moov"), BigFourCC("mdat"), BigFourCC("free"),
        BigFourCC("skip"), BigFourCC("wide"), BigFourCC("pnot"), BigFourCC("styp"),
        BigFourCC("sidx"), BigFourCC("moof")})
    if (type == t) return true;
  return false;
}

double Rate(std::uint64_t count, std::uint32_t timescale, std::uint64_t duration) {
  if (count == 0 || timescale == 0 || duration == 0) return 0;
  return static_cast<double>(count) * timescale / static_cast<double>(duration);
}

}  // namespace

MovieFacts ProbeIsoMedia(MovieFile& file) {
  MovieFacts facts;
  BoxFile src(file, kIsoHeadBytes, kIsoMaxReads);
  Box box;
  if (!ReadBox(src, 0, src.size(), Where::Top, box) || !IsFirstBox(box.type)) return facts;

  Movie movie;
  Tags tags;
  bool haveMoov = false;
  Box firstMoof, next;
  bool haveMoof = false, haveNext = false;
  std::uint64_t nextAt = 0;
  double sidxSeconds = 0;  // the longest segment index before the first fragment
  std::uint64_t off = 0;
  int boxes = 0;
  for (; boxes < kMaxTopBoxes && ReadBox(src, off, src.size(), Where::Top, box); ++boxes) {
    if (box.type == BigFourCC("moov") && !haveMoov) {
      ParseMoov(src, box, movie, tags);
      haveMoov = true;
    } else if (box.type == BigFourCC("moof") && !haveMoof) {
      firstMoof = box, haveMoof = true;
    } else if (box.type == BigFourCC("sidx") && !haveMoof) {
      sidxSeconds = std::max(sidxSeconds, SidxSeconds(src, box));
    }
    off = box.end;
    if (haveMoov && (!movie.fragmented || haveMoof)) {
      // The header of the box after: a file cut in the media data that
      // follows its movie box ends inside that box.
      haveNext = ReadBox(src, off, src.size(), Where::Top, next), nextAt = off;
      break;
    }
  }
  if (!haveMoov) {
    src.Note(boxes == kMaxTopBoxes || src.spent() ? ProbeOutcome::BudgetSpent
                                                  : ProbeOutcome::Malformed);
    facts.outcome = src.outcome;
    return facts;
  }

  facts.title = tags.title, facts.creator = tags.creator;
  facts.genre = tags.genre, facts.comment = tags.comment;
  ListTracks(movie, facts);

  bool haveEnd = false;
  double end = 0;
  if (movie.fragmented) {
    if (haveMoof) ParseMoof(src, firstMoof, movie, true, true);
    if (movie.fragmentDuration == 0) {
      // The last fragment: the one the random access tables name, else the
      // first when its media data ends the file.
      Box lastMoof;
      std::uint64_t at = LastFragmentOffset(src);
      if (at && ReadBox(src, at, src.size(), Where::Pointed, lastMoof) &&
          lastMoof.type == BigFourCC("moof"))
        ParseMoof(src, lastMoof, movie, false, lastMoof.body == firstMoof.body);
      else if (haveMoof && haveNext && nextAt == firstMoof.end && next.type == BigFourCC("mdat") &&
               next.end == src.size())
        ParseMoof(src, firstMoof, movie, false, true);
      for (Track* t : {&movie.video, &movie.audio}) {
        if (t->last.haveEnd && t->timescale) {
          end = std::max(end, static_cast<double>(t->last.end) / t->timescale);
          haveEnd = true;
        }
      }
    }
  }

  if (movie.haveVideo) {
    const Track& v = movie.video;
    facts.videoFormat = v.format;
    facts.width = static_cast<int>(v.tkhdWidth >> 16);
    facts.height = static_cast<int>(v.tkhdHeight >> 16);
    if (facts.width == 0 || facts.height == 0)
      facts.width = v.entryWidth, facts.height = v.entryHeight;
    if (movie.fragmented) {
      // The moov holds at most the first fragment's samples; the usual
      // frame duration of those (or of the first moof's) gives the rate.
      std::uint32_t usual = v.timeTally.Mode();
      if (usual == 0) usual = v.first.tally.Mode();
      facts.framesPerSecond = Rate(1, v.timescale, usual);
    } else {
      facts.framesPerSecond = v.haveTimes ? Rate(v.timeSamples, v.timescale, v.timeTotal) : 0;
      if (facts.framesPerSecond == 0)
        facts.framesPerSecond = Rate(v.sizeSamples, v.timescale, v.duration);
    }
  }
  if (movie.haveAudio) {
    Track& a = movie.audio;
    if (a.mpegAudio && a.haveChunk) {
      // The layer bits of the first frame header: 01 is layer 3, 10 layer 2.
      ByteView h = src.At(a.firstChunk, 4);
      if (h.U8(0) == 0xFF && (h.U8(1) & 0xE0) == 0xE0 && h.Has(0, 4)) {
        if (((h.U8(1) >> 1) & 3) == 2) a.format = "MP2";
        // The channel mode in the top bits of the fourth byte, 11 for one
        // channel: the sample entry's count is often the fixed 2 of MP4.
        facts.channels = ChannelLayout{(h.U8(3) >> 6) == 3 ? 1 : 2, 0};
      }
    }
    facts.audioFormat = a.format;
    facts.audioSamplesPerSecond = a.sampleRate ? a.sampleRate : a.timescale;
    const std::uint64_t mediaTime = a.duration ? a.duration : a.timeTotal;
    if (a.pcm && a.channels && a.sampleBits) {
      facts.audioBitsPerSecond =
          static_cast<std::uint64_t>(a.channels) * a.sampleBits * facts.audioSamplesPerSecond;
    } else if (movie.fragmented && a.declaredBitrate) {
      // The moov's tables cover the first fragment at most.
      facts.audioBitsPerSecond = a.declaredBitrate;
    } else if (a.haveSizes && a.sizeSamples && mediaTime && a.timescale) {
      facts.audioBitsPerSecond = BitRate(a.sizeSum, a.timescale, mediaTime);
    } else if (a.declaredBitrate) {
      facts.audioBitsPerSecond = a.declaredBitrate;
    } else if (a.first.durations && a.timescale) {
      facts.audioBitsPerSecond = BitRate(a.first.sizes, a.timescale, a.first.durations);
    }
  }

  // Play time: the movie header's duration, which a fragmented file leaves
  // for mehd, its last fragment or a segment index to tell; else the
  // longest track.
  if (movie.fragmented) {
    if (movie.fragmentDuration && movie.timescale)
      facts.seconds = static_cast<double>(movie.fragmentDuration) / movie.timescale;
    else if (haveEnd)
      facts.seconds = end;
    else if (sidxSeconds > 0)
      facts.seconds = sidxSeconds;
  } else if (movie.duration && movie.timescale) {
    facts.seconds = static_cast<double>(movie.duration) / movie.timescale;
  } else {
    for (const Track* t : {&movie.video, &movie.audio})
      if (t->timescale && t->duration)
        facts.seconds = std::max(facts.seconds, static_cast<double>(t->duration) / t->timescale);
  }
  if (src.spent()) src.Note(ProbeOutcome::BudgetSpent);
  facts.outcome = src.outcome;
  return facts;
}

}  // namespace clip
