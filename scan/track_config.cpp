#include "scan/track_config.h"

#include "scan/stream_headers.h"

namespace clip {

namespace {

// Full-bandwidth channels of each AC-3 channel mode (acmod); mode 0 is two
// independent mono channels.
constexpr int kAc3Channels[8] = {2, 1, 2, 3, 3, 4, 4, 5};

ChannelLayout Layout(int channels, int lfe) { return ChannelLayout{channels + lfe, lfe}; }

}  // namespace

bool ChannelsFromAacConfig(ByteView config, ChannelLayout& layout) {
  BitReader bits(config);
  std::uint32_t objectType = bits.Bits(5);
  if (objectType == 31) objectType = 32 + bits.Bits(6);
  if (bits.Bits(4) == 15) bits.Bits(24);
  const std::uint32_t configuration = bits.Bits(4);
  if (!bits.ok()) return false;
  // Parametric stereo carries two channels in the one it signals.
  if (objectType == 29 && configuration == 1) {
    layout = Layout(2, 0);
    return true;
  }
  switch (configuration) {
    case 1: layout = Layout(1, 0); return true;
    case 2: layout = Layout(2, 0); return true;
    case 3: layout = Layout(3, 0); return true;
    case 4: layout = Layout(4, 0); return true;
    case 5: layout = Layout(5, 0); return true;
    case 6: layout = Layout(5, 1); return true;
    case 7: layout = Layout(7, 1); return true;
    case 11: layout = Layout(6, 1); return true;
    case 12:
    case 14: layout = Layout(7, 1); return true;
    case 13: layout = Layout(22, 2); return true;
    default: return false;
  }
}

namespace {

// Locations the dependent substreams of a dec3 box add beyond 5.1, first
// bit first: pairs, single speakers and a second LFE.
void AddLocations(std::uint32_t locations, int& channels, int& lfe) {
  for (std::uint32_t pair : {0x100u, 0x80u, 0x10u, 0x08u, 0x04u})
    if (locations & pair) channels += 2;
  for (std::uint32_t single : {0x40u, 0x20u, 0x02u})
    if (locations & single) channels += 1;
  if (locations & 1) ++lfe;
}

// An E-AC-3 channel map, first bit first: L, C, R, Ls, Rs, the pairs
// Lc/Rc and Lrs/Rrs, Cs, Ts, the pairs Lsd/Rsd, Lw/Rw and Vhl/Vhr, Vhc,
// the pair Lts/Rts, LFE2, LFE. The speakers of each AC-3 channel mode in
// it (the single surround of modes 4 and 5 is Cs; mode 0's two mono
// channels count as L and R).
constexpr std::uint16_t kModeSpeakers[8] = {0xA000, 0x4000, 0xA000, 0xE000,
                                            0xA100, 0xE100, 0xB800, 0xF800};
constexpr std::uint16_t kMapPairs = 0x0674, kMapLfe = 0x0003;

ChannelLayout FromMap(std::uint32_t map) {
  int full = 0, lfe = 0;
  for (int bit = 0; bit < 16; ++bit) {
    if (!(map & (1u << bit))) continue;
    if (kMapLfe & (1u << bit))
      ++lfe;
    else
      full += (kMapPairs & (1u << bit)) ? 2 : 1;
  }
  return ChannelLayout{full + lfe, lfe};
}

}  // namespace

bool ChannelsFromAc3Frame(ByteView frame, ChannelLayout& layout) {
  if (frame.U16BE(0) != 0x0B77 || frame.size() < 8) return false;
  const int bsid = frame.U8(5) >> 3;
  BitReader bits(frame);
  std::uint32_t mode = 0;
  std::size_t length = 0;  // an E-AC-3 frame's, for the substream after it
  if (bsid <= 10) {
    bits.Skip(48);
    mode = bits.Bits(3);
    if ((mode & 1) && mode != 1) bits.Skip(2);  // centre mix level
    if (mode & 4) bits.Skip(2);                 // surround mix level
    if (mode == 2) bits.Skip(2);                // Dolby surround mode
  } else if (bsid <= 16) {
    bits.Skip(16);
    if (bits.Bits(2) != 0) return false;  // the first substream is an independent one
    bits.Skip(3);                         // substream id
    length = (bits.Bits(11) + 1) * 2;
    bits.Skip(4);  // sample rate codes
    mode = bits.Bits(3);
  } else {
    return false;
  }
  const bool lfe = bits.Bits(1) != 0;
  if (!bits.ok()) return false;
  std::uint32_t speakers = kModeSpeakers[mode] | (lfe ? 1u : 0u);
  // Dependent substreams right after the first may carry speakers beyond
  // it (7.1 is 5.1 and a dependent Lrs/Rrs pair); their channel maps name
  // them. One without a map only recodes the first's.
  for (int n = 0; length && n < 8; ++n) {
    const ByteView next = frame.Sub(length, frame.size());
    if (next.U16BE(0) != 0x0B77 || (next.U8(5) >> 3) <= 10) break;
    BitReader dep(next);
    dep.Skip(16);
    if (dep.Bits(2) != 1) break;  // not a dependent substream: the next frame
    dep.Skip(3);
    length += (dep.Bits(11) + 1) * 2;
    dep.Skip(4);  // sample rate codes
    const std::uint32_t depMode = dep.Bits(3);
    dep.Skip(1 + 5 + 5);  // LFE, bitstream id, dialogue normalisation
    if (dep.Bits(1)) dep.Skip(8);
    if (depMode == 0) {
      dep.Skip(5);
      if (dep.Bits(1)) dep.Skip(8);
    }
    if (dep.Bits(1)) speakers |= dep.Bits(16);
    if (!dep.ok()) break;
  }
  layout = FromMap(speakers);
  return true;
}

bool ChannelsFromDtsFrame(ByteView frame, ChannelLayout& layout) {
  // Channels of each arrangement (AMODE) 0 to 15; those above are user
  // defined.
  static constexpr int kDtsChannels[16] = {1, 2, 2, 2, 2, 3, 3, 4, 4, 5, 6, 6, 6, 7, 8, 8};
  if (frame.U32BE(0) != 0x7FFE8001) return false;
  BitReader bits(frame);
  bits.Skip(32 + 1 + 5 + 1 + 7 + 14);  // sync, frame type, deficit, CRC flag, blocks, size
  const std::uint32_t mode = bits.Bits(6);
  bits.Skip(4 + 5 + 1 + 1 + 1 + 1 + 1);  // rate codes and flags
  const std::uint32_t extension = bits.Bits(3), extended = bits.Bits(1);
  bits.Skip(1);
  const std::uint32_t lfe = bits.Bits(2);
  // An XCh extension adds a centre surround channel; XXCH adds channels
  // only its own header counts.
  if (!bits.ok() || mode > 15 || lfe == 3 || (extended && extension == 6)) return false;
  const int more = extended && extension == 0 ? 1 : 0;
  layout = Layout(kDtsChannels[mode] + more, lfe != 0 ? 1 : 0);
  return true;
}

bool ChannelsFromDac3(ByteView payload, ChannelLayout& layout) {
  if (!payload.Has(0, 3)) return false;
  const std::uint32_t info = (static_cast<std::uint32_t>(payload.U16BE(0)) << 8) | payload.U8(2);
  layout = Layout(kAc3Channels[(info >> 11) & 7], (info >> 10) & 1);
  return true;
}

bool ChannelsFromDec3(ByteView payload, ChannelLayout& layout) {
  if (!payload.Has(0, 5)) return false;
  BitReader bits(payload);
  bits.Skip(16);  // data rate, independent substreams
  bits.Skip(2 + 5 + 1 + 1 + 3);
  const std::uint32_t mode = bits.Bits(3);
  int lfe = static_cast<int>(bits.Bits(1));
  bits.Skip(3);
  int channels = kAc3Channels[mode];
  if (bits.Bits(4) != 0) AddLocations(bits.Bits(9), channels, lfe);
  if (!bits.ok()) return false;
  layout = Layout(channels, lfe);
  return true;
}

ChannelLayout ChannelsFromSpeakerMask(std::uint32_t mask) {
  int count = 0;
  for (std::uint32_t m = mask; m != 0; m &= m - 1) ++count;
  const int lfe = (mask & 0x8) ? 1 : 0;
  return ChannelLayout{count, lfe};
}

ChannelLayout ChannelsInVorbisOrder(int count) {
  switch (count) {
    case 1:
    case 2:
    case 3:
    case 4:
    case 5: return Layout(count, 0);
    case 6: return Layout(5, 1);
    case 7: return Layout(6, 1);
    case 8: return Layout(7, 1);
    default: return ChannelLayout{count > 0 ? count : 0, -1};
  }
}

bool DepthFromHevcConfig(ByteView record, VideoDepth& depth) {
  if (!record.Has(0, 19) || record.U8(0) != 1) return false;
  depth.bits = 8 + (record.U8(17) & 7);
  return true;
}

bool DepthFromAv1Config(ByteView record, VideoDepth& depth) {
  if (!record.Has(0, 4) || (record.U8(0) & 0x80) == 0) return false;
  const int profile = record.U8(1) >> 5;
  const bool high = (record.U8(2) >> 6) & 1, twelve = (record.U8(2) >> 5) & 1;
  depth.bits = !high ? 8 : (profile == 2 && twelve) ? 12 : 10;
  return true;
}

bool DepthFromAvcConfig(ByteView record, VideoDepth& depth) {
  if (!record.Has(0, 6) || record.U8(0) != 1) return false;
  const int profile = record.U8(1);
  if (profile != 100 && profile != 110 && profile != 122 && profile != 244 && profile != 44) {
    depth.bits = 8;  // profiles without the high-profile fields are 8-bit
    return true;
  }
  std::size_t off = 5;
  const int sets = record.U8(off++) & 0x1f;
  ByteView sps;
  for (int i = 0; i < sets; ++i) {
    if (!record.Has(off, 2)) return false;
    if (i == 0) sps = record.Sub(off + 2, record.U16BE(off));
    off += 2 + record.U16BE(off);
  }
  const int pictureSets = record.U8(off++);
  for (int i = 0; i < pictureSets && off <= record.size(); ++i) off += 2 + record.U16BE(off);
  if (record.Has(off, 2)) {
    depth.bits = 8 + (record.U8(off + 1) & 7);
    return true;
  }
  // The extension is optional: without it the sequence parameter set says.
  VideoStreamInfo video;
  if (!ReadAvcSpsNal(sps, video) || video.bitDepth == 0) return false;
  depth.bits = video.bitDepth;
  return true;
}

bool DolbyVisionFromConfig(ByteView record, VideoDepth& depth) {
  if (!record.Has(0, 5)) return false;
  depth.dolbyVisionProfile = record.U8(2) >> 1;
  depth.dolbyVisionCompatibility = record.U8(4) >> 4;
  return true;
}

}  // namespace clip
