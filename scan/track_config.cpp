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

bool ChannelsFromAc3Frame(ByteView frame, ChannelLayout& layout) {
  if (frame.U16BE(0) != 0x0B77 || frame.size() < 8) return false;
  const int bsid = frame.U8(5) >> 3;
  BitReader bits(frame);
  std::uint32_t mode = 0;
  if (bsid <= 10) {
    bits.Skip(48);
    mode = bits.Bits(3);
    if ((mode & 1) && mode != 1) bits.Skip(2);  // centre mix level
    if (mode & 4) bits.Skip(2);                 // surround mix level
    if (mode == 2) bits.Skip(2);                // Dolby surround mode
  } else if (bsid <= 16) {
    bits.Skip(36);  // sync, stream type and id, frame size, sample rate codes
    mode = bits.Bits(3);
  } else {
    return false;
  }
  const int lfe = static_cast<int>(bits.Bits(1));
  if (!bits.ok()) return false;
  layout = Layout(kAc3Channels[mode], lfe);
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
  bits.Skip(4 + 5 + 1 + 1 + 1 + 1 + 1 + 3 + 1 + 1);  // rate codes and flags
  const std::uint32_t lfe = bits.Bits(2);
  if (!bits.ok() || mode > 15 || lfe == 3) return false;
  layout = Layout(kDtsChannels[mode], lfe != 0 ? 1 : 0);
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
  if (bits.Bits(4) != 0) {
    // Locations the dependent substreams add beyond 5.1, first bit first:
    // pairs, single speakers and a second LFE.
    const std::uint32_t locations = bits.Bits(9);
    for (std::uint32_t pair : {0x100u, 0x80u, 0x10u, 0x08u, 0x04u})
      if (locations & pair) channels += 2;
    for (std::uint32_t single : {0x40u, 0x20u, 0x02u})
      if (locations & single) channels += 1;
    if (locations & 1) ++lfe;
  }
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
