#include "scan/ts_probe.h"

#include <string>
#include <vector>

#include "scan/mpeg_es.h"
#include "scan/mpeg_pes.h"

namespace clip {

namespace {

constexpr std::size_t kPacket = 188;  // the packet proper, after any time code
constexpr int kSyncChecks = 6;
// A PSI section holds at most 1021 bytes after its 3-byte start.
constexpr std::size_t kMaxSection = 3 + 1021;

bool SyncsAt(ByteView bytes, std::size_t first, std::size_t packetSize) {
  int checks = 0;
  for (std::size_t at = first; checks < kSyncChecks && bytes.Has(at, kPacket); at += packetSize) {
    if (bytes.U8(at) != 0x47) return false;
    ++checks;
  }
  return checks >= 3;
}

// ---- stream types ----

// Calls fn(tag, body) for each descriptor of a list; one that runs past the
// list ends it.
template <typename Fn>
void ForEachDescriptor(ByteView list, Fn fn) {
  for (std::size_t off = 0; list.Has(off, 2);) {
    const std::size_t length = list.U8(off + 1);
    if (!list.Has(off + 2, length)) return;
    fn(list.U8(off), list.Sub(off + 2, length));
    off += 2 + length;
  }
}

// Private data (stream type 06) told apart by its descriptors.
EsType ClassifyPrivate(ByteView descriptors) {
  EsType found;
  ForEachDescriptor(descriptors, [&](std::uint8_t tag, ByteView body) {
    if (found.kind != EsKind::None) return;
    switch (tag) {
      case 0x6A: found = AudioType("AC-3", EsReader::Ac3); return;
      case 0x7A: found = AudioType("E-AC-3", EsReader::Ac3); return;
      case 0x7B: found = AudioType("DTS", EsReader::Dts); return;
      case 0x7C: found = AudioType("AAC"); return;
      case 0x05: break;
      default: return;
    }
    switch (body.U32BE(0)) {
      case BigFourCC("AC-3"): found = AudioType("AC-3", EsReader::Ac3); break;
      case BigFourCC("EAC3"): found = AudioType("E-AC-3", EsReader::Ac3); break;
      case BigFourCC("DTS1"):
      case BigFourCC("DTS2"):
      case BigFourCC("DTS3"): found = AudioType("DTS", EsReader::Dts); break;
      case BigFourCC("Opus"): found = AudioType("Opus"); break;
      case BigFourCC("BSSD"): found = AudioType("PCM"); break;
      case BigFourCC("HEVC"): found = VideoType("H.265", EsReader::Hevc); break;
      case BigFourCC("VC-1"): found = VideoType("VC-1"); break;
      case BigFourCC("AV01"): found = VideoType("AV1"); break;
      default: break;
    }
  });
  return found;
}

// hdmv: a Blu-ray style stream, where types 80 to A2 have meanings of their
// own (elsewhere 86, for one, marks splice cues rather than DTS).
EsType ClassifyStream(std::uint8_t type, ByteView descriptors, bool hdmv) {
  switch (type) {
    case 0x01: return VideoType("MPEG1", EsReader::MpegVideo);
    case 0x02: return VideoType("MPEG2", EsReader::MpegVideo);
    case 0x10: return VideoType("MPEG-4 Visual");
    case 0x1B: return VideoType("H.264", EsReader::Avc);
    case 0x24: return VideoType("H.265", EsReader::Hevc);
    case 0xEA: return VideoType("VC-1");
    case 0x03:
    case 0x04: return AudioType("MP2", EsReader::MpegAudio);
    case 0x0F: return AudioType("AAC", EsReader::Adts);
    case 0x11: return AudioType("AAC");
    case 0x81: return AudioType("AC-3", EsReader::Ac3);
    case 0x87: return AudioType("E-AC-3", EsReader::Ac3);
    case 0x82:
    case 0x8A: return AudioType("DTS", EsReader::Dts);
    case 0x06: return ClassifyPrivate(descriptors);
    default: break;
  }
  if (!hdmv) return {};
  switch (type) {
    case 0x80: return AudioType("PCM", EsReader::BdLpcm);
    case 0x83: return AudioType("TrueHD", EsReader::TrueHd);
    case 0x84:
    case 0xA1: return AudioType("E-AC-3", EsReader::Ac3);
    case 0x85:
    case 0x86:
    case 0xA2: return AudioType("DTS", EsReader::Dts);
    default: return {};
  }
}

// A three-letter language code at the start of bytes; empty when they are
// not letters.
std::string LanguageCode(ByteView bytes) {
  std::string code;
  for (std::size_t i = 0; i < 3; ++i) {
    const char c = static_cast<char>(bytes.U8(i));
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) return {};
    code += c;
  }
  return code;
}

// What a stream's descriptors tell of it as a track: the first language of
// its language descriptor, and whether it carries subtitles (DVB
// subtitling, or teletext with a subtitle page), with the language of the
// first subtitle entry.
struct TrackDescriptors {
  std::string language, subtitleLanguage;
  bool subtitles = false;
};

TrackDescriptors ReadTrackDescriptors(ByteView descriptors) {
  TrackDescriptors d;
  ForEachDescriptor(descriptors, [&](std::uint8_t tag, ByteView body) {
    if (tag == 0x0A && d.language.empty()) d.language = LanguageCode(body);
    if (d.subtitles) return;
    if (tag == 0x59) {  // entries of language, type and two page ids
      d.subtitles = true;
      d.subtitleLanguage = LanguageCode(body);
    } else if (tag == 0x56) {  // entries of language, type and magazine, page
      for (std::size_t off = 0; body.Has(off, 5); off += 5) {
        const int type = body.U8(off + 3) >> 3;
        if (type != 2 && type != 5) continue;  // subtitles, for the hard of hearing
        d.subtitles = true;
        d.subtitleLanguage = LanguageCode(body.Sub(off, 3));
        break;
      }
    }
  });
  return d;
}

// ---- packets and sections ----

// What a walk over packets met: bytes after the last whole packet, fewer
// than a packet; a packet without its sync byte.
struct PacketWalk {
  bool cut = false, lost = false;
};

// Calls fn(pid, unitStart, payload) for each packet in bytes. After a packet
// that does not start with a sync byte (a damaged or cut stream) the walk
// goes on where packets line up again.
template <typename Fn>
PacketWalk ForEachPacket(ByteView bytes, const TsLayout& layout, Fn fn) {
  PacketWalk walk;
  std::size_t at = layout.firstSync;
  while (bytes.Has(at, kPacket)) {
    if (bytes.U8(at) != 0x47) {
      walk.lost = true;
      std::size_t next = at + 1;
      while (bytes.Has(next, kPacket) && !SyncsAt(bytes, next, layout.packetSize)) ++next;
      if (!bytes.Has(next, kPacket)) return walk;
      at = next;
      continue;
    }
    const std::uint8_t b1 = bytes.U8(at + 1), control = bytes.U8(at + 3) >> 4 & 3;
    const int pid = (b1 & 0x1F) << 8 | bytes.U8(at + 2);
    std::size_t payload = 4;
    if (control & 2) payload += 1 + static_cast<std::size_t>(bytes.U8(at + 4));
    // Packets flagged as damaged, without payload or with an adaptation
    // field that fills them carry nothing to read.
    if (!(b1 & 0x80) && (control & 1) && payload < kPacket)
      fn(pid, (b1 & 0x40) != 0, bytes.Sub(at + payload, kPacket - payload));
    at += layout.packetSize;
  }
  walk.cut = at < bytes.size();
  return walk;
}

// One PSI section gathered from the packets of its PID.
class Section {
 public:
  // Adds a packet's payload; true once a whole section is held.
  bool Add(bool unitStart, ByteView payload) {
    if (unitStart) {
      const std::size_t pointer = payload.U8(0);
      if (started_) {  // the end of the section before
        Append(payload.Sub(1, pointer));
        if (Whole()) return true;
      }
      bytes_.clear();
      started_ = payload.Has(1, pointer);
      if (started_) Append(payload.Sub(1 + pointer, payload.size()));
    } else if (started_) {
      Append(payload);
    }
    return Whole();
  }
  ByteView Bytes() const { return ByteView(bytes_.data(), bytes_.size()); }
  // The bytes after the section's header up to its CRC.
  std::size_t Length() const { return (ByteView(bytes_).U16BE(1) & 0x0FFFu) + 3u; }

 private:
  bool Whole() const { return started_ && bytes_.size() >= 3 && bytes_.size() >= Length(); }
  void Append(ByteView more) {
    std::size_t room = kMaxSection - bytes_.size();
    bytes_.insert(bytes_.end(), more.data(),
                  more.data() + (more.size() < room ? more.size() : room));
  }
  std::vector<std::uint8_t> bytes_;
  bool started_ = false;
};

struct TsStream {
  int pid = -1;
  EsType type;
};

struct Program {
  bool found = false;   // the first program's map was read
  bool listed = false;  // and lists a stream
  TsStream video, audio;
  std::vector<TrackFact> audioTracks, subtitleTracks;  // in the map's order
};

// The PID of the first program's map in a whole PAT section; -1 when none.
int FirstProgramMap(ByteView s, std::size_t length) {
  if (s.U8(0) != 0x00 || length < 12) return -1;
  for (std::size_t off = 8; off + 4 <= length - 4; off += 4) {
    // Program 0 points at the network table, not at a program.
    if (s.U16BE(off) != 0) return s.U16BE(off + 2) & 0x1FFF;
  }
  return -1;
}

bool ReadProgramMap(ByteView s, std::size_t length, bool hdmv, Program& program) {
  if (s.U8(0) != 0x02 || length < 16) return false;
  const std::size_t end = length - 4;  // before the CRC
  const std::size_t infoLength = s.U16BE(10) & 0x0FFF;
  if (infoLength > end - 12) return false;
  ForEachDescriptor(s.Sub(12, infoLength), [&](std::uint8_t tag, ByteView body) {
    if (tag == 0x05 && body.U32BE(0) == BigFourCC("HDMV")) hdmv = true;
  });
  for (std::size_t off = 12 + infoLength; off <= end && end - off >= 5;) {
    const std::uint8_t type = s.U8(off);
    const int pid = s.U16BE(off + 1) & 0x1FFF;
    const std::size_t esInfo = s.U16BE(off + 3) & 0x0FFF;
    if (esInfo > end - off - 5) break;
    EsType t = ClassifyStream(type, s.Sub(off + 5, esInfo), hdmv);
    program.listed = true;
    const TrackDescriptors d = ReadTrackDescriptors(s.Sub(off + 5, esInfo));
    if (t.kind == EsKind::Audio) {
      program.audioTracks.push_back(TrackFact{d.language});
    } else if (t.kind == EsKind::None && (d.subtitles || (hdmv && type == 0x90))) {
      // Blu-ray graphics subtitles are told by their type alone.
      program.subtitleTracks.push_back(
          TrackFact{d.subtitleLanguage.empty() ? d.language : d.subtitleLanguage});
    }
    TsStream* slot = t.kind == EsKind::Video   ? &program.video
                     : t.kind == EsKind::Audio ? &program.audio
                                               : nullptr;
    if (slot && slot->pid < 0) *slot = TsStream{pid, t};
    off += 5 + esInfo;
  }
  return true;
}

// The first program of the PAT, from the packets of the head.
Program FindProgram(ByteView head, const TsLayout& layout) {
  Program program;
  Section pat, pmt;
  int pmtPid = -1;
  bool done = false;
  ForEachPacket(head, layout, [&](int pid, bool unitStart, ByteView payload) {
    if (done) return;
    if (pmtPid < 0 && pid == 0 && pat.Add(unitStart, payload)) {
      pmtPid = FirstProgramMap(pat.Bytes(), pat.Length());
      if (pmtPid < 0) pat = Section();
    } else if (pmtPid > 0 && pid == pmtPid && pmt.Add(unitStart, payload)) {
      done = ReadProgramMap(pmt.Bytes(), pmt.Length(), layout.packetSize == 192, program);
      program.found = done;
      if (!done) pmt = Section();
    }
  });
  return program;
}

// ---- streams ----

// The PES packets of one stream: their time stamps and the stream's bytes.
struct StreamReader {
  StreamReader(const TsStream& s, PlayClock::Stream c) : stream(s), clockStream(c) {}
  TsStream stream;
  PlayClock::Stream clockStream;
  EsBytes es;
  PesFrameStamps frames, tailFrames;  // of the video's packets in the head and the tail

  void Add(bool unitStart, ByteView payload, PlayClock& clock) {
    if (unitStart) {
      PesHeader h = ReadPesHeader(payload, false);
      if (!h.valid) return es.Drop();
      if (h.hasPts) clock.Add(clockStream, h.pts);
      if (h.hasPts && clockStream == PlayClock::kVideo)
        (es.collect ? frames : tailFrames).Add(h.DecodeStamp());
      es.Start(h.hasPts);
      payload = payload.Sub(h.payload, payload.size());
    }
    es.Add(payload);
  }

  // The stream's first header; false when its reader finds none. Where no
  // header is read the stream's type names it.
  bool Read(VideoStreamInfo& v) const {
    const bool read = ReadVideoStream(stream.type.reader, es.bytes(), v);
    if (v.format.empty()) v.format = stream.type.name;
    return read || stream.type.reader == EsReader::None;
  }
  bool Read(AudioStreamInfo& a) const {
    const bool read = ReadAudioStream(stream.type.reader, es.bytes(), a);
    if (a.format.empty()) a.format = stream.type.name;
    return read || stream.type.reader == EsReader::None;
  }
};

PacketWalk Walk(ByteView bytes, const TsLayout& layout, StreamReader& video, StreamReader& audio,
                PlayClock& clock) {
  return ForEachPacket(bytes, layout, [&](int pid, bool unitStart, ByteView payload) {
    if (pid == video.stream.pid)
      video.Add(unitStart, payload, clock);
    else if (pid == audio.stream.pid)
      audio.Add(unitStart, payload, clock);
  });
}

}  // namespace

bool FindTsLayout(ByteView bytes, TsLayout& layout) {
  // The usual places first, then any offset within the first packet.
  static constexpr std::size_t kUsual[3][2] = {{188, 0}, {192, 4}, {204, 0}};
  for (const auto& u : kUsual) {
    if (SyncsAt(bytes, u[1], u[0])) {
      layout = TsLayout{u[1], u[0]};
      return true;
    }
  }
  for (std::size_t size : {188, 192, 204}) {
    for (std::size_t first = 0; first < size; ++first) {
      if (SyncsAt(bytes, first, size)) {
        layout = TsLayout{first, size};
        return true;
      }
    }
  }
  return false;
}

MovieFacts ProbeMpegTransport(MovieFile& file) {
  MovieFacts facts;
  const std::uint64_t size = file.Size();
  std::vector<std::uint8_t> headBytes = ReadBytes(file, 0, kTsHeadBytes);
  ByteView head(headBytes);
  TsLayout layout;
  if (!FindTsLayout(head, layout)) return facts;
  facts.outcome = ProbeOutcome::Whole;

  const bool whole = size <= head.size();
  // A table or header not in the head lies past it; in a file the head
  // holds whole the program's map is missing, and a stream's header was cut
  // off with the rest of the file.
  const ProbeOutcome past = ProbeOutcome::BudgetSpent;
  Program program = FindProgram(head, layout);
  if (program.found) {
    facts.tracksListed = true;
    facts.audioTracks = program.audioTracks;
    facts.subtitleTracks = program.subtitleTracks;
  }
  if (!program.found)
    facts.Note(whole ? ProbeOutcome::Malformed : past);
  else if (program.video.pid < 0 && program.audio.pid < 0)
    facts.Note(program.listed ? ProbeOutcome::Unsupported : ProbeOutcome::Malformed);
  StreamReader video(program.video, PlayClock::kVideo);
  StreamReader audio(program.audio, PlayClock::kAudio);
  PlayClock clock;
  const PacketWalk first = Walk(head, layout, video, audio, clock);
  if (whole && first.cut) facts.Note(ProbeOutcome::Truncated);
  if (first.lost) facts.Note(ProbeOutcome::Malformed);

  // The last time stamps lie in the tail.
  if (!whole && (video.stream.pid >= 0 || audio.stream.pid >= 0)) {
    const std::uint64_t from = size > kTsTailBytes ? size - kTsTailBytes : 0;
    std::vector<std::uint8_t> tailBytes = ReadBytes(file, from, kTsTailBytes);
    ByteView tail(tailBytes);
    TsLayout tailLayout;
    if (FindTsLayout(tail, tailLayout) && tailLayout.packetSize == layout.packetSize) {
      video.es.collect = audio.es.collect = false;
      video.es.Drop();
      audio.es.Drop();
      const PacketWalk last = Walk(tail, tailLayout, video, audio, clock);
      if (last.cut) facts.Note(ProbeOutcome::Truncated);
      if (last.lost) facts.Note(ProbeOutcome::Malformed);
    } else {
      facts.Note(ProbeOutcome::Malformed);  // the packets lose their layout
    }
  }

  VideoStreamInfo v;
  AudioStreamInfo a;
  const bool haveVideo = video.stream.pid >= 0, haveAudio = audio.stream.pid >= 0;
  const ProbeOutcome unread = whole ? ProbeOutcome::Truncated : past;
  if (haveVideo && !video.Read(v)) facts.Note(unread);
  if (haveAudio && !audio.Read(a)) facts.Note(unread);
  // A stream whose headers state no fixed rate has it from its packets'
  // time stamps (one picture a packet, as transport streams carry video):
  // those of the head, else, where its pictures are too large to tell, of
  // the tail.
  if (haveVideo && v.framesPerSecond <= 0) v.framesPerSecond = video.frames.Rate();
  if (haveVideo && v.framesPerSecond <= 0) v.framesPerSecond = video.tailFrames.Rate();
  TakeStreamFacts(haveVideo ? &v : nullptr, haveAudio ? &a : nullptr, audio.es.last(), clock,
                  facts);
  if (haveAudio) facts.channels = a.channels;  // as its first frame header gives them
  return facts;
}

}  // namespace clip
