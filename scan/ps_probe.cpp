#include "scan/ps_probe.h"

#include <vector>

#include "scan/mpeg_pes.h"
#include "scan/stream_headers.h"

namespace clip {

namespace {

bool StartCodeAt(ByteView b, std::size_t off) {
  return b.Has(off, 4) && b.U8(off) == 0 && b.U8(off + 1) == 0 && b.U8(off + 2) == 1;
}

// The length of the pack header at off and its clock reference; 0 when the
// bytes there are no pack header of either form.
std::size_t PackHeader(ByteView b, std::size_t off, std::uint64_t& scr, bool& mpeg1) {
  if (!StartCodeAt(b, off) || b.U8(off + 3) != 0xBA) return 0;
  const std::uint8_t first = b.U8(off + 4);
  if ((first & 0xC0) == 0x40 && b.Has(off, 14)) {  // MPEG-2
    mpeg1 = false;
    const std::uint64_t b5 = b.U8(off + 5), b6 = b.U8(off + 6), b7 = b.U8(off + 7),
                        b8 = b.U8(off + 8);
    scr = (static_cast<std::uint64_t>(first >> 3 & 7) << 30) |
          (static_cast<std::uint64_t>(first & 3) << 28) | b5 << 20 | (b6 >> 3 & 0x1F) << 15 |
          (b6 & 3) << 13 | b7 << 5 | b8 >> 3;
    std::size_t length = 14 + (b.U8(off + 13) & 7u);  // with its stuffing
    return b.Has(off, length) ? length : 0;
  }
  if ((first & 0xF0) == 0x20 && b.Has(off, 12)) {  // MPEG-1
    mpeg1 = true;
    scr = ReadTimeStamp(b, off + 4);
    return 12;
  }
  return 0;
}

// The next pack header at or after off; b.size() when there is none.
std::size_t FindPack(ByteView b, std::size_t off) {
  std::uint64_t scr;
  bool mpeg1;
  for (; b.Has(off, 4); ++off)
    if (PackHeader(b, off, scr, mpeg1) != 0) return off;
  return b.size();
}

// Walks packs and packets from the first pack header in bytes: calls
// pack(scr, mpeg1) for each pack header and packet(id, bytes) for each packet
// with a length (PES packets, system headers, padding...). Where the bytes
// stop making sense the walk goes on at the next pack header.
template <typename PackFn, typename PacketFn>
void WalkPacks(ByteView b, PackFn pack, PacketFn packet) {
  std::size_t off = FindPack(b, 0);
  while (b.Has(off, 4)) {
    std::uint64_t scr = 0;
    bool mpeg1 = false;
    if (std::size_t length = PackHeader(b, off, scr, mpeg1)) {
      pack(scr, mpeg1);
      off += length;
      continue;
    }
    if (StartCodeAt(b, off) && b.U8(off + 3) == 0xB9) {  // end code
      off += 4;
      continue;
    }
    if (StartCodeAt(b, off) && b.U8(off + 3) >= 0xBB && b.Has(off, 6) && b.U16BE(off + 4) != 0) {
      const std::size_t length = 6 + static_cast<std::size_t>(b.U16BE(off + 4));
      packet(b.U8(off + 3), b.Sub(off, length));
      off += length;
      continue;
    }
    off = FindPack(b, off + 1);
  }
}

enum class AudioKind { None, Mpeg, Ac3, Dts, Lpcm };

// Which audio a packet carries: by its stream id, or in private stream 1 by
// the sub-stream id at the start of its payload.
AudioKind AudioKindOf(std::uint8_t id, int subId) {
  if (id >= 0xC0 && id <= 0xDF) return AudioKind::Mpeg;
  if (id != 0xBD) return AudioKind::None;
  if (subId >= 0x80 && subId <= 0x87) return AudioKind::Ac3;
  if (subId >= 0x88 && subId <= 0x8F) return AudioKind::Dts;
  if (subId >= 0xA0 && subId <= 0xA7) return AudioKind::Lpcm;
  return AudioKind::None;
}

// Bytes before the frames in a private stream 1 payload: the sub-stream id,
// a frame count and a pointer to the first whole frame; LPCM adds three
// bytes describing its samples.
constexpr std::size_t kPrivateHeader = 4, kLpcmHeader = 7;
constexpr std::size_t kMaxLastUnit = 64 * 1024;

bool ReadDvdLpcm(ByteView payload, AudioStreamInfo& audio) {
  if (!payload.Has(0, kLpcmHeader)) return false;
  static constexpr std::uint32_t kBits[4] = {16, 20, 24, 0};
  static constexpr std::uint32_t kRates[4] = {48000, 96000, 44100, 32000};
  const std::uint8_t b = payload.U8(5);
  const std::uint32_t bits = kBits[b >> 6], channels = (b & 7u) + 1;
  if (bits == 0) return false;
  audio.format = "PCM";
  audio.sampleRate = kRates[b >> 4 & 3];
  audio.bitRate = static_cast<std::uint64_t>(channels) * audio.sampleRate * bits;
  // Packets carry samples of equal length: the first one tells how long the
  // last one plays.
  audio.samplesPerFrame =
      static_cast<std::uint32_t>((payload.size() - kLpcmHeader) * 8 / (channels * bits));
  return true;
}

struct Stream {
  int id = -1, subId = -1;  // subId: in private stream 1 only
  AudioKind audio = AudioKind::None;
  std::vector<std::uint8_t> bytes;  // from the first packet on, within the head
  std::vector<std::uint8_t> firstPayload, last;

  bool Is(std::uint8_t packetId, int packetSub) const {
    return id == packetId && (id != 0xBD || subId == packetSub);
  }
};

struct Walker {
  Stream video, audio;
  PlayClock clock, packClock;
  bool collect = true;
  bool mpeg1Packs = false, anyPack = false;

  void Pack(std::uint64_t scr, bool mpeg1) {
    if (!anyPack) mpeg1Packs = mpeg1;
    anyPack = true;
    packClock.Add(PlayClock::kVideo, scr);
  }

  void Packet(std::uint8_t id, ByteView packet) {
    PesHeader h = ReadPesHeader(packet, true);
    if (!h.valid) return;
    ByteView payload = packet.Sub(h.payload, packet.size());
    const int sub = id == 0xBD ? payload.U8(0) : -1;
    Stream* s = nullptr;
    if (video.id < 0 && collect && id >= 0xE0 && id <= 0xEF) video.id = id;
    if (video.Is(id, sub)) {
      s = &video;
    } else {
      AudioKind kind = AudioKindOf(id, sub);
      if (audio.id < 0 && collect && kind != AudioKind::None && payload.size() > 0) {
        audio.id = id, audio.subId = sub, audio.audio = kind;
        audio.firstPayload.assign(payload.data(), payload.data() + payload.size());
      }
      if (audio.Is(id, sub)) s = &audio;
    }
    if (!s) return;
    if (h.hasPts) clock.Add(s == &video ? PlayClock::kVideo : PlayClock::kAudio, h.pts);
    if (s == &audio && id == 0xBD)
      payload = payload.Sub(audio.audio == AudioKind::Lpcm ? kLpcmHeader : kPrivateHeader,
                            payload.size());
    // The audio since its last time stamp tells how long it plays past it.
    if (s == &audio) {
      if (h.hasPts) audio.last.clear();
      if (audio.last.size() < kMaxLastUnit)
        audio.last.insert(audio.last.end(), payload.data(), payload.data() + payload.size());
    }
    if (collect) s->bytes.insert(s->bytes.end(), payload.data(), payload.data() + payload.size());
  }

  void Walk(ByteView b) {
    WalkPacks(
        b, [&](std::uint64_t scr, bool mpeg1) { Pack(scr, mpeg1); },
        [&](std::uint8_t id, ByteView packet) { Packet(id, packet); });
  }
};

VideoStreamInfo ReadVideo(const Walker& w) {
  VideoStreamInfo v;
  ByteView es(w.video.bytes);
  if (!ReadMpegVideoSequence(es, v) && !ReadAvcSequence(es, v) && !ReadHevcSequence(es, v)) {
    // Without a header in the head, the kind of packs tells which MPEG it
    // most likely is.
    v = VideoStreamInfo{};
    v.format = w.mpeg1Packs ? "MPEG1" : "MPEG2";
  }
  return v;
}

AudioStreamInfo ReadAudio(const Stream& s) {
  AudioStreamInfo a;
  ByteView es(s.bytes);
  switch (s.audio) {
    case AudioKind::Mpeg:
      if (!ReadMpegAudioFrame(es, a)) a.format = "MP2";
      break;
    case AudioKind::Ac3:
      if (!ReadAc3Frame(es, a)) a.format = "AC-3";
      break;
    case AudioKind::Dts:
      if (!ReadDtsFrame(es, a)) a.format = "DTS";
      break;
    case AudioKind::Lpcm:
      if (!ReadDvdLpcm(ByteView(s.firstPayload), a)) a.format = "PCM";
      break;
    case AudioKind::None: break;
  }
  return a;
}

}  // namespace

MovieFacts ProbeMpegProgram(MovieFile& file) {
  MovieFacts facts;
  const std::uint64_t size = file.Size();
  std::vector<std::uint8_t> headBytes = ReadBytes(file, 0, kPsHeadBytes);
  ByteView head(headBytes);
  std::uint64_t scr;
  bool mpeg1;
  if (PackHeader(head, 0, scr, mpeg1) == 0) return facts;
  facts.outcome = ProbeOutcome::Whole;

  Walker w;
  w.Walk(head);
  if (size > head.size()) {
    const std::uint64_t from = size > kPsTailBytes ? size - kPsTailBytes : 0;
    std::vector<std::uint8_t> tail = ReadBytes(file, from, kPsTailBytes);
    w.collect = false;
    w.Walk(ByteView(tail));
  }

  double videoTicks = 0, audioTicks = 0;
  if (w.video.id >= 0) {
    VideoStreamInfo v = ReadVideo(w);
    facts.videoFormat = v.format;
    facts.width = v.width;
    facts.height = v.height;
    facts.framesPerSecond = v.framesPerSecond;
    if (v.framesPerSecond > 0) videoTicks = kPtsHz / v.framesPerSecond;
  }
  if (w.audio.id >= 0) {
    AudioStreamInfo a = ReadAudio(w.audio);
    facts.audioFormat = a.format;
    facts.audioSamplesPerSecond = a.sampleRate;
    facts.audioBitsPerSecond = a.bitRate;
    std::uint64_t samples = SamplesInFrames(ByteView(w.audio.last), a.format);
    if (samples == 0) samples = a.samplesPerFrame;
    if (a.sampleRate != 0) audioTicks = kPtsHz * static_cast<double>(samples) / a.sampleRate;
  }
  // Files without time stamps in their packets still have the packs' clock.
  facts.seconds = w.clock.Any()       ? w.clock.Seconds(videoTicks, audioTicks)
                  : w.packClock.Any() ? w.packClock.Seconds(0, 0)
                                      : -1;
  return facts;
}

}  // namespace clip
