#include "scan/ps_probe.h"

#include <algorithm>
#include <vector>

#include "scan/mpeg_es.h"
#include "scan/mpeg_pes.h"

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

bool AllZero(ByteView b) {
  for (std::size_t i = 0; i < b.size(); ++i)
    if (b.U8(i) != 0) return false;
  return true;
}

// True when the bytes end inside the pack or packet header that starts at
// off.
bool EndsInHeader(ByteView b, std::size_t off) {
  if (!StartCodeAt(b, off)) return false;
  const std::uint8_t id = b.U8(off + 3);
  if (id != 0xBA) return id >= 0xBB && !b.Has(off, 6);
  if (!b.Has(off, 5)) return true;
  const std::uint8_t first = b.U8(off + 4);
  if ((first & 0xC0) == 0x40) return !b.Has(off, 14) || !b.Has(off, 14 + (b.U8(off + 13) & 7u));
  return (first & 0xF0) == 0x20 && !b.Has(off, 12);
}

// Walks packs and packets from the first pack header in bytes: calls
// pack(scr, mpeg1) for each pack header and packet(id, bytes) for each packet
// with a length (PES packets, system headers, padding...). Where the bytes
// stop making sense the walk goes on at the next pack header. Returns what
// the walk met: a header or packet running past the bytes, bytes other than
// zero stuffing that made no sense.
struct PackWalk {
  bool cut = false, lost = false;
};

template <typename PackFn, typename PacketFn>
PackWalk WalkPacks(ByteView b, PackFn pack, PacketFn packet) {
  PackWalk walk;
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
      if (length > b.size() - off) walk.cut = true;
      packet(b.U8(off + 3), b.Sub(off, length));
      off += length;
      continue;
    }
    // A header the bytes end in, or bytes of no pack or packet; zero bytes
    // are stuffing, as VideoCD writers leave between packs.
    const std::size_t next = FindPack(b, off + 1);
    if (EndsInHeader(b, off))
      walk.cut = true;
    else
      walk.lost = walk.lost || !AllZero(b.Sub(off, next - off));
    off = next;
  }
  return walk;
}

// What kind of audio a packet carries: by its stream id, or in private
// stream 1 by the sub-stream id at the start of its payload.
EsType AudioTypeOf(std::uint8_t id, int subId) {
  if (id >= 0xC0 && id <= 0xDF) return AudioType("MP2", EsReader::MpegAudio);
  if (id != 0xBD) return {};
  if (subId >= 0x80 && subId <= 0x87) return AudioType("AC-3", EsReader::Ac3);
  if (subId >= 0x88 && subId <= 0x8F) return AudioType("DTS", EsReader::Dts);
  if (subId >= 0xA0 && subId <= 0xA7) return AudioType("PCM", EsReader::DvdLpcm);
  return {};
}

// Bytes before the frames in a private stream 1 payload: the sub-stream id,
// a frame count and a pointer to the first whole frame; LPCM adds three
// bytes describing its samples.
constexpr std::size_t kPrivateHeader = 4, kLpcmHeader = 7;

struct Stream {
  int id = -1, subId = -1;  // subId: in private stream 1 only
  EsType type;
  EsBytes es;  // the frames, past any sub-stream header
  std::vector<std::uint8_t> firstPayload;
  PesFrameStamps frames, tailFrames;  // of the video's packets in the head and the tail

  bool Is(std::uint8_t packetId, int packetSub) const {
    return id == packetId && (id != 0xBD || subId == packetSub);
  }
};

// Adds key to keys unless it is there.
void Remember(std::vector<int>& keys, int key) {
  if (std::find(keys.begin(), keys.end(), key) == keys.end()) keys.push_back(key);
}

struct Walker {
  Stream video, audio;
  // The audio streams (by id, and sub-stream id in private stream 1) and
  // the sub-picture streams of the head, in the order they come.
  std::vector<int> audioKeys, pictureKeys;
  PlayClock clock, packClock;
  bool collect = true;
  bool mpeg1Packs = false, anyPack = false, anyPacket = false;

  void Pack(std::uint64_t scr, bool mpeg1) {
    if (!anyPack) mpeg1Packs = mpeg1;
    anyPack = true;
    packClock.Add(PlayClock::kVideo, scr);
  }

  void Packet(std::uint8_t id, ByteView packet) {
    PesHeader h = ReadPesHeader(packet, true);
    if (!h.valid) return;
    anyPacket = true;
    ByteView payload = packet.Sub(h.payload, packet.size());
    const int sub = id == 0xBD ? payload.U8(0) : -1;
    if (collect && payload.size() > 0) {
      if (AudioTypeOf(id, sub).kind == EsKind::Audio) Remember(audioKeys, id << 8 | (sub & 0xFF));
      if (id == 0xBD && sub >= 0x20 && sub <= 0x3F) Remember(pictureKeys, sub);
    }
    Stream* s = nullptr;
    if (video.id < 0 && collect && id >= 0xE0 && id <= 0xEF) video.id = id;
    if (video.Is(id, sub)) {
      s = &video;
    } else {
      const EsType type = AudioTypeOf(id, sub);
      if (audio.id < 0 && collect && type.kind != EsKind::None && payload.size() > 0) {
        audio.id = id, audio.subId = sub, audio.type = type;
        audio.firstPayload.assign(payload.data(), payload.data() + payload.size());
      }
      if (audio.Is(id, sub)) s = &audio;
    }
    if (!s) return;
    if (h.hasPts) clock.Add(s == &video ? PlayClock::kVideo : PlayClock::kAudio, h.pts);
    if (h.hasPts && s == &video) (collect ? video.frames : video.tailFrames).Add(h.DecodeStamp());
    if (s == &audio && id == 0xBD)
      payload = payload.Sub(audio.type.reader == EsReader::DvdLpcm ? kLpcmHeader : kPrivateHeader,
                            payload.size());
    s->es.collect = collect;
    s->es.Start(h.hasPts);
    s->es.Add(payload);
  }

  PackWalk Walk(ByteView b) {
    return WalkPacks(
        b, [&](std::uint64_t scr, bool mpeg1) { Pack(scr, mpeg1); },
        [&](std::uint8_t id, ByteView packet) { Packet(id, packet); });
  }
};

// The video stream's first sequence header of any MPEG kind; without one
// in the head, the kind of packs tells which MPEG it most likely is.
bool ReadVideo(const Walker& w, VideoStreamInfo& v) {
  for (EsReader reader : {EsReader::MpegVideo, EsReader::Avc, EsReader::Hevc})
    if (ReadVideoStream(reader, w.video.es.bytes(), v)) return true;
  v.format = w.mpeg1Packs ? "MPEG1" : "MPEG2";
  return false;
}

bool ReadAudio(const Stream& s, AudioStreamInfo& a) {
  const bool read = ReadAudioStream(
      s.type.reader, s.type.reader == EsReader::DvdLpcm ? ByteView(s.firstPayload) : s.es.bytes(),
      a);
  if (!read) a.format = s.type.name;
  return read;
}

}  // namespace

MovieFacts ProbeMpegProgram(MovieFile& file) {
  MovieFacts facts;
  const std::uint64_t size = file.Size();
  std::vector<std::uint8_t> headBytes = ReadBytes(file, 0, kPsHeadBytes);
  ByteView head(headBytes);
  std::uint64_t scr;
  bool mpeg1;
  if (PackHeader(head, 0, scr, mpeg1) == 0) {
    // A file that ends inside its first pack header.
    if (head.U8(3) == 0xBA && EndsInHeader(head, 0)) facts.outcome = ProbeOutcome::Truncated;
    return facts;
  }
  facts.outcome = ProbeOutcome::Whole;
  const bool whole = size <= head.size();

  Walker w;
  const PackWalk first = w.Walk(head);
  PackWalk last;
  if (!whole) {
    const std::uint64_t from = size > kPsTailBytes ? size - kPsTailBytes : 0;
    std::vector<std::uint8_t> tail = ReadBytes(file, from, kPsTailBytes);
    w.collect = false;
    last = w.Walk(ByteView(tail));
  }
  // The last packet runs past the end of the file; bytes that are no packs.
  if ((whole && first.cut) || last.cut) facts.Note(ProbeOutcome::Truncated);
  if (first.lost || last.lost) facts.Note(ProbeOutcome::Malformed);

  // A header not in the head lies past it; in a file the head holds whole
  // it was cut off with the rest of the file.
  const ProbeOutcome unread = whole ? ProbeOutcome::Truncated : ProbeOutcome::BudgetSpent;
  VideoStreamInfo v;
  AudioStreamInfo a;
  const bool haveVideo = w.video.id >= 0, haveAudio = w.audio.id >= 0;
  if (haveVideo && !ReadVideo(w, v)) facts.Note(unread);
  if (haveAudio && !ReadAudio(w.audio, a)) facts.Note(unread);
  // A packet's stamps are those of the first picture that starts in it:
  // where the headers state no rate, the steps of the head's stamps give
  // it, else those of the tail's.
  if (haveVideo && v.framesPerSecond <= 0) v.framesPerSecond = w.video.frames.Rate();
  if (haveVideo && v.framesPerSecond <= 0) v.framesPerSecond = w.video.tailFrames.Rate();
  if (!haveVideo && !haveAudio)
    facts.Note(w.anyPacket ? ProbeOutcome::Unsupported
               : whole     ? ProbeOutcome::Malformed
                           : ProbeOutcome::BudgetSpent);
  TakeStreamFacts(haveVideo ? &v : nullptr, haveAudio ? &a : nullptr, w.audio.es.last(), w.clock,
                  facts);
  if (haveAudio) facts.channels = a.channels;  // as its first frame header gives them
  // The streams are those the packets hold; only a file read whole is sure
  // to have shown them all (a later one may start past the head, and the
  // languages live in the disc's own files, not here).
  if (whole) {
    facts.tracksListed = true;
    facts.audioTracks.resize(w.audioKeys.size());
    facts.subtitleTracks.resize(w.pictureKeys.size());
  }
  // Files without time stamps in their packets still have the packs' clock.
  if (!w.clock.Any() && w.packClock.Any()) facts.seconds = w.packClock.Seconds(0, 0);
  return facts;
}

}  // namespace clip
