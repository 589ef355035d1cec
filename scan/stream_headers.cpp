#include "scan/stream_headers.h"

#include "scan/track_config.h"

#include <vector>

namespace clip {

std::uint32_t BitReader::Bits(int n) {
  std::uint32_t v = 0;
  for (int i = 0; i < n; ++i) {
    std::size_t byte = pos_ / 8;
    if (byte >= bytes_.size()) {
      ok_ = false;
      return 0;
    }
    v = (v << 1) | ((bytes_.U8(byte) >> (7 - pos_ % 8)) & 1u);
    ++pos_;
  }
  return v;
}

void BitReader::Skip(std::size_t n) {
  std::size_t total = bytes_.size() * 8;
  if (pos_ > total || n > total - pos_) {
    pos_ = total;
    ok_ = false;
  } else {
    pos_ += n;
  }
}

std::uint32_t BitReader::Ue() {
  int zeros = 0;
  while (Bits(1) == 0) {
    // A code this long holds no value a header field may take.
    if (!ok_ || ++zeros > 31) {
      ok_ = false;
      return 0;
    }
  }
  return ((1u << zeros) - 1u) + Bits(zeros);
}

std::int32_t BitReader::Se() {
  std::uint32_t k = Ue();
  std::int32_t magnitude = static_cast<std::int32_t>((k + 1) / 2);
  return (k & 1u) ? magnitude : -magnitude;
}

namespace {

// Frame sizes above this are taken for a misread rather than a real picture.
constexpr int kMaxDimension = 16384;
// Parameter sets are short; a longer NAL unit is cut here before reading.
constexpr std::size_t kMaxParameterSet = 4096;

bool FitsDimensions(long long w, long long h) {
  return w > 0 && h > 0 && w <= kMaxDimension && h <= kMaxDimension;
}

// ---- MPEG-1/2 video ----

// Offset of the first start code 00 00 01 xx with xx == code from off, or
// es.size() when there is none.
std::size_t FindStartCode(ByteView es, std::size_t off, std::uint8_t code) {
  for (std::size_t i = off; es.Has(i, 4); ++i)
    if (es.U8(i) == 0 && es.U8(i + 1) == 0 && es.U8(i + 2) == 1 && es.U8(i + 3) == code) return i;
  return es.size();
}

// ---- H.264 / H.265 NAL units ----

// The NAL unit starting at off: up to the next start code (or a zero byte
// run that precedes one), at most kMaxParameterSet bytes.
ByteView NalAt(ByteView es, std::size_t off) {
  std::size_t end = off;
  for (; end < es.size() && end - off < kMaxParameterSet; ++end)
    if (es.Has(end, 3) && es.U8(end) == 0 && es.U8(end + 1) == 0 && es.U8(end + 2) <= 1) break;
  return es.Sub(off, end - off);
}

// A NAL unit's bytes with the emulation prevention bytes (00 00 03) taken
// out, at most kMaxParameterSet of them.
std::vector<std::uint8_t> Unescape(ByteView nal) {
  std::vector<std::uint8_t> out;
  int zeros = 0;
  for (std::size_t i = 0; i < nal.size() && out.size() < kMaxParameterSet; ++i) {
    std::uint8_t b = nal.U8(i);
    if (zeros >= 2 && b == 3) {
      zeros = 0;
      continue;
    }
    zeros = b == 0 ? zeros + 1 : 0;
    out.push_back(b);
  }
  return out;
}

// Calls take(nal) for each Annex B NAL unit whose type (read by typeOf from
// its first byte) is wanted, until take returns true.
template <typename TypeOf, typename Take>
bool ForEachNal(ByteView es, int wanted, TypeOf typeOf, Take take) {
  for (std::size_t i = 0; es.Has(i, 4); ++i) {
    if (es.U8(i) != 0 || es.U8(i + 1) != 0 || es.U8(i + 2) != 1) continue;
    if (typeOf(es.U8(i + 3)) != wanted) continue;
    if (take(NalAt(es, i + 3))) return true;
  }
  return false;
}

int AvcType(std::uint8_t b) { return b & 0x1F; }
int HevcType(std::uint8_t b) { return (b >> 1) & 0x3F; }

// The video usability fields H.264 and H.265 both start with: aspect
// ratio, overscan, video signal type (with the transfer characteristics
// of its colour description) and chroma sample location.
void SkipVuiPictureFields(BitReader& br, VideoStreamInfo& video) {
  if (br.Bits(1) && br.Bits(8) == 255) br.Skip(32);  // aspect ratio
  if (br.Bits(1)) br.Skip(1);                        // overscan
  if (br.Bits(1)) {                                  // video signal type
    br.Skip(4);
    if (br.Bits(1)) {  // colour primaries, transfer, matrix
      br.Skip(8);
      video.transfer = static_cast<int>(br.Bits(8));
      br.Skip(8);
    }
  }
  if (br.Bits(1)) {  // chroma sample location
    br.Ue();
    br.Ue();
  }
}

void SkipScalingList(BitReader& br, int size) {
  // A damaged delta may be any 32-bit value: the sum is taken wide.
  long long last = 8, next = 8;
  for (int j = 0; j < size && br.ok(); ++j) {
    if (next != 0) next = ((last + br.Se()) % 256 + 256) % 256;
    if (next != 0) last = next;
  }
}

// profile_tier_level() of H.265 with its profile present.
void SkipHevcProfileTierLevel(BitReader& br, int maxSubLayersMinus1) {
  br.Skip(96);  // general profile (88 bits) and level
  bool profile[8] = {}, level[8] = {};
  for (int i = 0; i < maxSubLayersMinus1; ++i) {
    profile[i] = br.Bits(1) != 0;
    level[i] = br.Bits(1) != 0;
  }
  if (maxSubLayersMinus1 > 0) br.Skip(2 * (8 - maxSubLayersMinus1));
  for (int i = 0; i < maxSubLayersMinus1; ++i) {
    if (profile[i]) br.Skip(88);
    if (level[i]) br.Skip(8);
  }
}

// The rest of an H.265 sequence parameter set after its size, up to the
// timing in its VUI: frames per second, 0 when it has none.
void SkipHevcScalingLists(BitReader& br) {
  for (int sizeId = 0; sizeId < 4; ++sizeId) {
    for (int matrix = 0; matrix < 6 && br.ok(); matrix += sizeId == 3 ? 3 : 1) {
      if (!br.Bits(1)) {
        br.Ue();  // copied from another matrix
        continue;
      }
      const int coefficients = sizeId == 0 ? 16 : 64;
      if (sizeId > 1) br.Se();
      for (int i = 0; i < coefficients && br.ok(); ++i) br.Se();
    }
  }
}

// st_ref_pic_set(): deltaPocs holds each set's count of pictures, which a
// set predicted from the one before needs.
bool SkipHevcShortTermSet(BitReader& br, int index, std::uint32_t* deltaPocs) {
  if (index != 0 && br.Bits(1)) {  // predicted from the set before
    br.Skip(1);
    br.Ue();
    std::uint32_t count = 0;
    for (std::uint32_t j = 0; j <= deltaPocs[index - 1] && br.ok(); ++j) {
      bool used = br.Bits(1) != 0;
      if (used || br.Bits(1)) ++count;
    }
    deltaPocs[index] = count;
    return br.ok();
  }
  std::uint32_t negative = br.Ue(), positive = br.Ue();
  if (negative > 16 || positive > 16) return false;
  for (std::uint32_t i = 0; i < negative + positive && br.ok(); ++i) {
    br.Ue();
    br.Skip(1);
  }
  deltaPocs[index] = negative + positive;
  return br.ok();
}

// hrd_parameters() with its common information: the clock ticks each
// picture lasts at the highest sub-layer (all pictures decoded) where the
// rate is fixed there; 0 where it is not, or the bytes end first.
std::uint32_t HevcHrdPictureTicks(BitReader& br, int maxSub) {
  const bool nal = br.Bits(1) != 0, vcl = br.Bits(1) != 0;
  bool subPictures = false;
  if (nal || vcl) {
    subPictures = br.Bits(1) != 0;
    if (subPictures) br.Skip(8 + 5 + 1 + 5);
    br.Skip(4 + 4);  // bit rate and buffer size scales
    if (subPictures) br.Skip(4);
    br.Skip(5 + 5 + 5);  // delay field lengths
  }
  std::uint32_t ticks = 0;
  for (int i = 0; i <= maxSub && br.ok(); ++i) {
    bool fixed = br.Bits(1) != 0;         // throughout the stream
    if (!fixed) fixed = br.Bits(1) != 0;  // within each coded video sequence
    bool lowDelay = false;
    ticks = 0;
    if (fixed) {
      const std::uint32_t elemental = br.Ue();
      if (elemental > 2047) return 0;
      ticks = elemental + 1;
    } else {
      lowDelay = br.Bits(1) != 0;
    }
    const std::uint32_t buffers = lowDelay ? 0 : br.Ue();
    if (buffers > 31) return 0;
    for (int list = 0; list < (nal ? 1 : 0) + (vcl ? 1 : 0); ++list) {
      for (std::uint32_t j = 0; j <= buffers && br.ok(); ++j) {
        br.Ue();  // bit rate
        br.Ue();  // buffer size
        if (subPictures) {
          br.Ue();
          br.Ue();
        }
        br.Skip(1);  // constant bit rate
      }
    }
  }
  return br.ok() ? ticks : 0;
}

// The timing of an H.265 VUI or video parameter set, after the flag that
// says it is present: ticks of a clock, one a picture, unless hypothetical
// decoder parameters follow; then those tell whether the pictures keep a
// fixed rate and how many ticks each lasts. 0 when the rate is not fixed
// or cannot be read.
double HevcTiming(BitReader& br, int maxSub, bool inVps) {
  const std::uint32_t units = br.Bits(32), scale = br.Bits(32);
  if (br.Bits(1)) br.Ue();  // picture order counts proportional to timing
  bool decoder = false;
  if (inVps) {
    const std::uint32_t count = br.Ue();
    if (count > 1024) return 0;
    decoder = count > 0;
    if (decoder) br.Ue();  // the layer set the first one is for
  } else {
    decoder = br.Bits(1) != 0;
  }
  if (!br.ok() || units == 0 || scale == 0) return 0;
  const double rate = static_cast<double>(scale) / units;
  if (!decoder) return rate;
  const std::uint32_t ticks = HevcHrdPictureTicks(br, maxSub);
  return ticks != 0 ? rate / ticks : 0;
}

double HevcSpsTiming(BitReader& br, int maxSub, VideoStreamInfo& video) {
  const std::uint32_t lumaDepth = br.Ue();
  if (br.ok() && lumaDepth <= 8) video.bitDepth = 8 + static_cast<int>(lumaDepth);
  br.Ue();  // chroma bit depth
  const std::uint32_t pocBits = br.Ue() + 4;
  if (pocBits > 16) return 0;
  const bool allSubLayers = br.Bits(1) != 0;
  for (int i = allSubLayers ? 0 : maxSub; i <= maxSub && br.ok(); ++i) {
    br.Ue();
    br.Ue();
    br.Ue();
  }
  for (int i = 0; i < 6; ++i) br.Ue();  // block and transform sizes
  if (br.Bits(1) && br.Bits(1)) SkipHevcScalingLists(br);
  br.Skip(2);        // asymmetric motion partitions, sample adaptive offset
  if (br.Bits(1)) {  // PCM samples
    br.Skip(8);
    br.Ue();
    br.Ue();
    br.Skip(1);
  }
  const std::uint32_t sets = br.Ue();
  if (sets > 64) return 0;
  std::uint32_t deltaPocs[64] = {};
  for (std::uint32_t i = 0; i < sets; ++i)
    if (!SkipHevcShortTermSet(br, static_cast<int>(i), deltaPocs)) return 0;
  if (br.Bits(1)) {  // long-term pictures
    const std::uint32_t count = br.Ue();
    if (count > 32) return 0;
    br.Skip(static_cast<std::size_t>(count) * (pocBits + 1));
  }
  br.Skip(2);                 // temporal motion vectors, strong intra smoothing
  if (!br.Bits(1)) return 0;  // no VUI
  SkipVuiPictureFields(br, video);
  br.Skip(3);        // neutral chroma, field sequence, frame field information
  if (br.Bits(1)) {  // default display window
    for (int i = 0; i < 4; ++i) br.Ue();
  }
  if (!br.Bits(1)) return 0;
  return HevcTiming(br, maxSub, false);
}

// ---- audio ----

constexpr std::uint16_t kMpegAudioKbit[2][3][16] = {
    // MPEG-1: layer I, II, III
    {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0}},
    // MPEG-2 and 2.5
    {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0}}};

struct FrameHeader {
  bool valid = false;
  std::uint32_t length = 0;  // bytes, 0 when the header does not tell
  std::uint32_t key = 0;     // what the next frame's header must repeat
  AudioStreamInfo info;
};

FrameHeader MpegAudioHeader(ByteView es, std::size_t off) {
  FrameHeader h;
  std::uint32_t w = es.U32BE(off);
  if (!es.Has(off, 4) || (w >> 21) != 0x7FF) return h;
  int version = (w >> 19) & 3;                      // 0 MPEG-2.5, 1 reserved, 2 MPEG-2, 3 MPEG-1
  int layer = 4 - static_cast<int>((w >> 17) & 3);  // 4 means reserved
  int rateIndex = (w >> 12) & 15, srIndex = (w >> 10) & 3, padding = (w >> 9) & 1;
  if (version == 1 || layer == 4 || rateIndex == 15 || srIndex == 3) return h;
  static constexpr std::uint32_t kRates[3] = {44100, 48000, 32000};
  std::uint32_t rate = kRates[srIndex] >> (version == 3 ? 0 : version == 2 ? 1 : 2);
  std::uint32_t kbit = kMpegAudioKbit[version == 3 ? 0 : 1][layer - 1][rateIndex];
  h.valid = true;
  h.key = w & 0xFFFE0C00;  // sync, version, layer, sample rate
  static const char* const kNames[3] = {"MP1", "MP2", "MP3"};
  h.info.format = kNames[layer - 1];
  h.info.sampleRate = rate;
  h.info.bitRate = kbit * 1000ull;
  h.info.samplesPerFrame = layer == 1 ? 384 : (layer == 3 && version != 3) ? 576 : 1152;
  h.info.channels = ChannelLayout{((w >> 6) & 3) == 3 ? 1 : 2, 0};  // single channel, or two
  if (kbit != 0) {
    if (layer == 1)
      h.length = (12 * kbit * 1000 / rate + padding) * 4;
    else
      h.length = h.info.samplesPerFrame / 8 * kbit * 1000 / rate + padding;
  }
  return h;
}

constexpr std::uint16_t kAc3Kbit[19] = {32,  40,  48,  56,  64,  80,  96,  112, 128, 160,
                                        192, 224, 256, 320, 384, 448, 512, 576, 640};

FrameHeader Ac3Header(ByteView es, std::size_t off) {
  FrameHeader h;
  if (!es.Has(off, 6) || es.U16BE(off) != 0x0B77) return h;
  int bsid = es.U8(off + 5) >> 3;
  if (bsid <= 10) {
    int fscod = es.U8(off + 4) >> 6, frmsizecod = es.U8(off + 4) & 0x3F;
    if (fscod == 3 || frmsizecod >= 38) return h;
    static constexpr std::uint32_t kRates[3] = {48000, 44100, 32000};
    std::uint32_t kbit = kAc3Kbit[frmsizecod >> 1];
    std::uint32_t words = fscod == 0   ? kbit * 2
                          : fscod == 2 ? kbit * 3
                                       : kbit * 320 / 147 + (frmsizecod & 1);
    h.info.format = "AC-3";
    h.info.sampleRate = kRates[fscod];
    h.info.bitRate = kbit * 1000ull;
    h.info.samplesPerFrame = 1536;
    h.length = words * 2;
    h.key = 0x0B770000u | static_cast<std::uint32_t>(fscod << 8) | static_cast<std::uint32_t>(bsid);
  } else if (bsid <= 16) {
    std::uint32_t frmsiz = es.U16BE(off + 2) & 0x7FF;
    int fscod = es.U8(off + 4) >> 6, code2 = (es.U8(off + 4) >> 4) & 3;
    static constexpr std::uint32_t kRates[3] = {48000, 44100, 32000};
    static constexpr std::uint32_t kHalfRates[3] = {24000, 22050, 16000};
    static constexpr std::uint32_t kBlocks[4] = {1, 2, 3, 6};
    std::uint32_t rate, blocks;
    if (fscod == 3) {
      if (code2 == 3) return h;
      rate = kHalfRates[code2];
      blocks = 6;
    } else {
      rate = kRates[fscod];
      blocks = kBlocks[code2];
    }
    h.info.format = "E-AC-3";
    h.info.sampleRate = rate;
    h.info.samplesPerFrame = 256 * blocks;
    h.length = (frmsiz + 1) * 2;
    h.info.bitRate = static_cast<std::uint64_t>(h.length) * 8 * rate / h.info.samplesPerFrame;
    h.key = 0x0B770000u | (rate & 0xFFFF);
  } else {
    return h;
  }
  ChannelsFromAc3Frame(es.Sub(off, es.size()), h.info.channels);
  h.valid = true;
  return h;
}

FrameHeader DtsHeader(ByteView es, std::size_t off) {
  FrameHeader h;
  if (!es.Has(off, 11) || es.U32BE(off) != 0x7FFE8001u) return h;
  BitReader br(es.Sub(off + 4, 7));
  br.Skip(1 + 5 + 1);  // frame type, deficit samples, CRC present
  std::uint32_t blocks = br.Bits(7) + 1;
  std::uint32_t frameSize = br.Bits(14) + 1;
  br.Skip(6);  // channel arrangement
  std::uint32_t sfreq = br.Bits(4), rate = br.Bits(5);
  static constexpr std::uint32_t kRates[16] = {0, 8000, 16000, 32000, 0,     0, 11025, 22050, 44100,
                                               0, 0,    12000, 24000, 48000, 0, 0};
  static constexpr std::uint32_t kBitRates[29] = {
      32000,   56000,   64000,   96000,   112000,  128000,  192000,  224000,  256000,  320000,
      384000,  448000,  512000,  576000,  640000,  768000,  960000,  1024000, 1152000, 1280000,
      1344000, 1408000, 1411200, 1472000, 1536000, 1920000, 2048000, 3072000, 3840000};
  if (!br.ok() || kRates[sfreq] == 0 || blocks < 5 || frameSize < 96) return h;
  h.valid = true;
  h.info.format = "DTS";
  h.info.sampleRate = kRates[sfreq];
  h.info.bitRate = rate < 29 ? kBitRates[rate] : 0;  // open, variable or lossless: none
  h.info.samplesPerFrame = blocks * 32;
  h.length = frameSize;
  h.key = 0x7FFE0000u | sfreq;
  // The core's layout, where the bytes after it are held and hold no
  // DTS-HD substream, whose channels the core does not show.
  if (es.Has(off + frameSize, 4) && es.U32BE(off + frameSize) != 0x64582025u)
    ChannelsFromDtsFrame(es.Sub(off, frameSize), h.info.channels);
  return h;
}

constexpr std::uint32_t kAacRates[13] = {96000, 88200, 64000, 48000, 44100, 32000, 24000,
                                         22050, 16000, 12000, 11025, 8000,  7350};

FrameHeader AdtsHeader(ByteView es, std::size_t off) {
  FrameHeader h;
  if (!es.Has(off, 7) || (es.U16BE(off) & 0xFFF6) != 0xFFF0) return h;  // sync, layer 0
  int srIndex = (es.U8(off + 2) >> 2) & 15;
  std::uint32_t length =
      ((es.U8(off + 3) & 3u) << 11) | (es.U8(off + 4) << 3) | (es.U8(off + 5) >> 5);
  if (srIndex >= 13 || length < 7) return h;
  h.valid = true;
  h.info.format = "AAC";
  h.info.sampleRate = kAacRates[srIndex];
  h.info.samplesPerFrame = 1024 * ((es.U8(off + 6) & 3u) + 1);
  // The profile and channel configuration as a decoder configuration
  // holds them, which tells the layout.
  const int object = (es.U8(off + 2) >> 6) + 1;
  const int configuration = (es.U8(off + 2) & 1) << 2 | es.U8(off + 3) >> 6;
  const std::uint8_t config[2] = {
      static_cast<std::uint8_t>(object << 3 | srIndex >> 1),
      static_cast<std::uint8_t>((srIndex & 1) << 7 | configuration << 3)};
  ChannelsFromAacConfig(ByteView(config, 2), h.info.channels);
  h.length = length;
  h.key = 0xFFF00000u | static_cast<std::uint32_t>(srIndex);
  return h;
}

// The first header at which Header gives a frame followed by a matching
// one; else the first valid header; false when there is none.
template <typename Header>
bool FindFrame(ByteView es, Header header, AudioStreamInfo& audio, std::size_t* at = nullptr) {
  bool haveFallback = false;
  for (std::size_t i = 0; es.Has(i, 4); ++i) {
    FrameHeader h = header(es, i);
    if (!h.valid) continue;
    if (h.length != 0 && h.length <= es.size() - i) {
      FrameHeader next = header(es, i + h.length);
      if (next.valid && next.key == h.key) {
        audio = h.info;
        if (at) *at = i;
        return true;
      }
    }
    if (!haveFallback) {
      haveFallback = true;
      audio = h.info;
      if (at) *at = i;
    }
  }
  return haveFallback;
}

}  // namespace

double MpegFrameRate(int code) {
  static constexpr double kRates[9] = {0,  24000.0 / 1001, 24, 25, 30000.0 / 1001, 30,
                                       50, 60000.0 / 1001, 60};
  return code >= 1 && code <= 8 ? kRates[code] : 0;
}

bool ReadMpegVideoSequence(ByteView es, VideoStreamInfo& video) {
  std::size_t at = FindStartCode(es, 0, 0xB3);
  if (!es.Has(at, 12)) return false;
  BitReader br(es.Sub(at + 4, es.size()));
  int width = static_cast<int>(br.Bits(12)), height = static_cast<int>(br.Bits(12));
  br.Skip(4);  // aspect ratio
  int rateCode = static_cast<int>(br.Bits(4));
  br.Skip(18 + 1 + 10 + 1);  // bit rate, marker, buffer size, constrained
  std::size_t bits = 64;
  if (br.Bits(1)) {  // intra quantiser matrix
    br.Skip(512);
    bits += 512;
  }
  if (br.Bits(1)) {
    br.Skip(512);
    bits += 512;
  }
  if (!br.ok()) return false;
  VideoStreamInfo v;
  v.format = "MPEG1";
  v.width = width;
  v.height = height;
  v.framesPerSecond = MpegFrameRate(rateCode);

  // The sequence extension follows at once (after zero stuffing at most);
  // bytes that end before it could tell MPEG-1 from MPEG-2 tell nothing.
  std::size_t ext = at + 4 + bits / 8;
  for (int i = 0; i < 64 && es.Has(ext, 4) && es.U8(ext) == 0 && es.U8(ext + 2) == 0; ++i) ++ext;
  if (!es.Has(ext, 4) || (es.U32BE(ext) == 0x000001B5u && !es.Has(ext, 10))) return false;
  if (es.U32BE(ext) == 0x000001B5u && (es.U8(ext + 4) >> 4) == 1) {
    BitReader x(es.Sub(ext + 4, 6));
    x.Skip(4 + 8 + 1 + 2);  // extension id, profile and level, progressive, chroma
    v.width |= static_cast<int>(x.Bits(2) << 12);
    v.height |= static_cast<int>(x.Bits(2) << 12);
    x.Skip(12 + 1 + 8 + 1);  // bit rate, marker, buffer size, low delay
    std::uint32_t n = x.Bits(2), d = x.Bits(5);
    v.format = "MPEG2";
    v.framesPerSecond = v.framesPerSecond * (n + 1) / (d + 1);
  }
  if (!FitsDimensions(v.width, v.height)) v.width = v.height = 0;
  video = v;
  return true;
}

bool ReadAvcSpsNal(ByteView escaped, VideoStreamInfo& video) {
  std::vector<std::uint8_t> bytes = Unescape(escaped);
  ByteView nal(bytes);
  if (nal.size() < 4 || AvcType(nal.U8(0)) != 7) return false;
  BitReader br(nal.Sub(1, nal.size()));
  std::uint32_t profile = br.Bits(8);
  br.Skip(16);  // constraint flags, level
  br.Ue();      // parameter set id
  std::uint32_t chroma = 1, lumaDepth = 0;
  bool separatePlanes = false;
  switch (profile) {
    case 100:
    case 110:
    case 122:
    case 244:
    case 44:
    case 83:
    case 86:
    case 118:
    case 128:
    case 138:
    case 139:
    case 134:
    case 135:
      chroma = br.Ue();
      if (chroma > 3) return false;
      if (chroma == 3) separatePlanes = br.Bits(1) != 0;
      lumaDepth = br.Ue();
      br.Ue();  // chroma bit depth
      br.Skip(1);
      if (br.Bits(1)) {  // scaling matrices
        for (int i = 0; i < (chroma != 3 ? 8 : 12) && br.ok(); ++i)
          if (br.Bits(1)) SkipScalingList(br, i < 6 ? 16 : 64);
      }
      break;
    default: break;
  }
  br.Ue();  // log2 of the largest frame number
  std::uint32_t pocType = br.Ue();
  if (pocType == 0) {
    br.Ue();
  } else if (pocType == 1) {
    br.Skip(1);
    br.Se();
    br.Se();
    std::uint32_t cycle = br.Ue();
    if (cycle > 255) return false;
    for (std::uint32_t i = 0; i < cycle && br.ok(); ++i) br.Se();
  }
  br.Ue();  // reference frames
  br.Skip(1);
  long long widthMbs = br.Ue() + 1ll, heightUnits = br.Ue() + 1ll;
  int frameMbsOnly = static_cast<int>(br.Bits(1));
  if (!frameMbsOnly) br.Skip(1);
  br.Skip(1);  // direct 8x8 inference
  long long cropLeft = 0, cropRight = 0, cropTop = 0, cropBottom = 0;
  if (br.Bits(1)) {
    cropLeft = br.Ue(), cropRight = br.Ue(), cropTop = br.Ue(), cropBottom = br.Ue();
  }
  if (!br.ok()) return false;
  const int format = separatePlanes ? 0 : static_cast<int>(chroma);
  const long long unitX = (format == 1 || format == 2) ? 2 : 1;
  const long long unitY = (format == 1 ? 2 : 1) * (2 - frameMbsOnly);
  long long width = widthMbs * 16 - unitX * (cropLeft + cropRight);
  long long height = heightUnits * 16 * (2 - frameMbsOnly) - unitY * (cropTop + cropBottom);
  if (!FitsDimensions(width, height)) return false;
  video.format = "H.264";
  video.bitDepth = lumaDepth <= 6 ? 8 + static_cast<int>(lumaDepth) : 0;
  video.width = static_cast<int>(width);
  video.height = static_cast<int>(height);

  if (br.Bits(1)) {  // VUI
    SkipVuiPictureFields(br, video);
    if (br.Bits(1)) {  // timing
      // A tick is half a frame of a fixed rate; without the fixed frame
      // rate flag the ticks only bound how finely the pictures' times may
      // step (writers put a 90 kHz or microsecond clock there), and the
      // container's time stamps are left to tell the rate.
      std::uint32_t units = br.Bits(32), scale = br.Bits(32);
      const bool fixed = br.Bits(1) != 0;
      if (br.ok() && fixed && units != 0 && scale != 0)
        video.framesPerSecond = static_cast<double>(scale) / (2.0 * units);
    }
  }
  return true;
}

bool ReadAvcSequence(ByteView es, VideoStreamInfo& video) {
  return ForEachNal(es, 7, AvcType, [&](ByteView nal) { return ReadAvcSpsNal(nal, video); });
}

bool ReadHevcSpsNal(ByteView escaped, VideoStreamInfo& video) {
  std::vector<std::uint8_t> bytes = Unescape(escaped);
  ByteView nal(bytes);
  if (nal.size() < 4 || HevcType(nal.U8(0)) != 33) return false;
  BitReader br(nal.Sub(2, nal.size()));
  br.Skip(4);  // video parameter set id
  int maxSub = static_cast<int>(br.Bits(3));
  br.Skip(1);
  if (maxSub > 6) return false;
  SkipHevcProfileTierLevel(br, maxSub);
  br.Ue();  // parameter set id
  std::uint32_t chroma = br.Ue();
  if (chroma > 3) return false;
  if (chroma == 3 && br.Bits(1)) chroma = 0;  // separate colour planes
  long long width = br.Ue(), height = br.Ue();
  if (br.Bits(1)) {  // conformance window
    const long long unitX = (chroma == 1 || chroma == 2) ? 2 : 1, unitY = chroma == 1 ? 2 : 1;
    long long left = br.Ue(), right = br.Ue(), top = br.Ue(), bottom = br.Ue();
    width -= unitX * (left + right);
    height -= unitY * (top + bottom);
  }
  if (!br.ok() || !FitsDimensions(width, height)) return false;
  video.format = "H.265";
  video.width = static_cast<int>(width);
  video.height = static_cast<int>(height);
  double fps = HevcSpsTiming(br, maxSub, video);
  if (fps > 0) video.framesPerSecond = fps;
  return true;
}

bool ReadHevcVpsNal(ByteView escaped, VideoStreamInfo& video) {
  std::vector<std::uint8_t> bytes = Unescape(escaped);
  ByteView nal(bytes);
  if (nal.size() < 4 || HevcType(nal.U8(0)) != 32) return false;
  BitReader br(nal.Sub(2, nal.size()));
  br.Skip(4 + 1 + 1 + 6);  // id, base layer flags, layer count
  int maxSub = static_cast<int>(br.Bits(3));
  br.Skip(1 + 16);
  if (maxSub > 6) return false;
  SkipHevcProfileTierLevel(br, maxSub);
  bool allSubLayers = br.Bits(1) != 0;
  for (int i = allSubLayers ? 0 : maxSub; i <= maxSub && br.ok(); ++i) {
    br.Ue();
    br.Ue();
    br.Ue();
  }
  std::uint32_t maxLayerId = br.Bits(6), layerSets = br.Ue();
  if (layerSets > 1023) return false;
  br.Skip(static_cast<std::size_t>(layerSets) * (maxLayerId + 1));
  if (!br.Bits(1)) return false;  // no timing
  const double rate = HevcTiming(br, maxSub, true);
  if (rate <= 0) return false;
  video.framesPerSecond = rate;
  return true;
}

bool ReadHevcSequence(ByteView es, VideoStreamInfo& video) {
  VideoStreamInfo sized;
  if (!ForEachNal(es, 33, HevcType, [&](ByteView nal) { return ReadHevcSpsNal(nal, sized); }))
    return false;
  if (sized.framesPerSecond == 0)
    ForEachNal(es, 32, HevcType, [&](ByteView nal) { return ReadHevcVpsNal(nal, sized); });
  video = sized;
  return true;
}

bool ReadMpegAudioFrame(ByteView es, AudioStreamInfo& audio) {
  return FindFrame(es, MpegAudioHeader, audio);
}

bool ReadAc3Frame(ByteView es, AudioStreamInfo& audio) { return FindFrame(es, Ac3Header, audio); }

bool ReadDtsFrame(ByteView es, AudioStreamInfo& audio) { return FindFrame(es, DtsHeader, audio); }

bool ReadAdtsFrames(ByteView es, AudioStreamInfo& audio) {
  std::size_t at = 0;
  if (!FindFrame(es, AdtsHeader, audio, &at)) return false;
  // Walk the whole frames from there while they keep the first one's rate.
  const std::uint32_t key = AdtsHeader(es, at).key;
  std::uint64_t bytes = 0, samples = 0;
  for (std::size_t i = at; es.Has(i, 7);) {
    FrameHeader h = AdtsHeader(es, i);
    if (!h.valid || h.key != key || h.length > es.size() - i) break;
    bytes += h.length;
    samples += h.info.samplesPerFrame;
    i += h.length;
  }
  if (samples != 0) audio.bitRate = bytes * 8 * audio.sampleRate / samples;
  return true;
}

bool ReadAacConfig(ByteView config, AudioStreamInfo& audio) {
  BitReader br(config);
  const std::uint32_t object = br.Bits(5);
  if (object == 0) return false;  // no object: not a configuration
  if (object == 31) br.Skip(6);   // escaped object type
  std::uint32_t index = br.Bits(4);
  std::uint32_t rate = index == 15 ? br.Bits(24) : index < 13 ? kAacRates[index] : 0;
  if (!br.ok() || rate == 0) return false;
  audio.format = "AAC";
  audio.sampleRate = rate;
  audio.samplesPerFrame = 1024;
  ChannelsFromAacConfig(config, audio.channels);
  return true;
}

bool ReadTrueHdSync(ByteView es, AudioStreamInfo& audio) {
  for (std::size_t i = 0; es.Has(i, 5); ++i) {
    if (es.U32BE(i) != 0xF8726FBAu) continue;
    static constexpr std::uint32_t kRates[16] = {48000, 96000, 192000, 0,     0,     0,
                                                 0,     0,     44100,  88200, 176400};
    std::uint32_t rate = kRates[es.U8(i + 4) >> 4];
    if (rate == 0) continue;
    audio.format = "TrueHD";
    audio.sampleRate = rate;
    return true;
  }
  return false;
}

}  // namespace clip

namespace clip {

std::uint64_t SamplesInFrames(ByteView es, const std::string& format) {
  FrameHeader (*header)(ByteView, std::size_t) = nullptr;
  if (format == "MP1" || format == "MP2" || format == "MP3")
    header = MpegAudioHeader;
  else if (format == "AC-3" || format == "E-AC-3")
    header = Ac3Header;
  else if (format == "DTS")
    header = DtsHeader;
  else if (format == "AAC")
    header = AdtsHeader;
  if (!header) return 0;
  std::size_t at = 0;
  while (es.Has(at, 4) && !header(es, at).valid) ++at;
  std::uint64_t samples = 0;
  std::uint32_t key = 0;
  // Each frame moves on by its length; a frame without one (free format)
  // or the last, cut one ends the run.
  while (es.Has(at, 4)) {
    FrameHeader h = header(es, at);
    if (!h.valid || (samples != 0 && h.key != key)) break;
    key = h.key;
    samples += h.info.samplesPerFrame;
    if (h.length == 0 || h.length > es.size() - at) break;
    at += h.length;
  }
  return samples;
}

}  // namespace clip
