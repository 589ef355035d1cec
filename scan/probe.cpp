// The video and audio probes. The first bytes choose the parser: an AVI
// file is read through its stream headers, today's containers through
// their own parsers; an MPEG file that is no program stream through its
// sequence header, and RealMedia files through their header chunks. Every
// field is set for the file in hand: what cannot be measured is left empty
// rather than kept from the file before.
#include "scan/probe.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>
#include <cstdlib>
#include <limits>

#include "catalogue/cp932.h"
#include "catalogue/text.h"
#include "catalogue/unicode.h"
#include "scan/asf_probe.h"
#include "scan/avi_probe.h"
#include "scan/codec_table.h"
#include "scan/container_kind.h"
#include "scan/flv_probe.h"
#include "scan/iso_probe.h"
#include "scan/matroska_probe.h"
#include "scan/mpeg_probe.h"
#include "scan/ps_probe.h"
#include "scan/rm_probe.h"
#include "scan/ts_probe.h"
#include "scan/scan.h"

namespace clip {

namespace {

// The renaming rules look at bytes of a name as the codec managers gave it
// in code page 932; a name outside it keeps its characters.
std::string RenamedOnCp932(std::string (*rename)(std::string_view), const std::string& utf8) {
  if (AsciiPrefixLength(utf8) == utf8.size()) return rename(utf8);
  if (!FitsCp932(utf8)) return rename(utf8);
  return Cp932ToUtf8(rename(Utf8ToCp932(utf8)));
}

std::string Resolution(long long width, long long height) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%lldx%lld", width, height);
  return buf;
}

void ProbeAviVideo(const AviVideoStream& v, CodecNames& codecs, ProbeFields& fields,
                   std::int32_t& playSeconds) {
  playSeconds = 0;
  if (!v.present) return;

  // A stream that names no handler is described by its format's compression.
  std::uint32_t code = v.handler != 0 ? v.handler : v.compression;
  std::string description = codecs.VideoDescription(code);
  if (description.empty()) description = BuiltInVideoDescription(code);
  if (description.empty()) description = kUnknownCodec;
  // The rules look at the whole description (its last bytes may lie past
  // what the field can hold); only the result is cut to the field.
  fields.videoFormat = CutCp932(RenamedOnCp932(RenameVideoCodec, description), kFieldMax);

  // Frames per second = rate / scale (rate unsigned, scale signed); without
  // a positive rate the frame rate and play time are unknown.
  const std::int32_t scale = static_cast<std::int32_t>(v.scale);
  if (v.rate != 0 && scale > 0) {
    const double fps = static_cast<double>(v.rate) / scale;
    fields.frameRate = FormatFixed2(fps);
    const double seconds = v.length / fps;
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    playSeconds = seconds >= static_cast<double>(kMax) ? kMax : static_cast<std::int32_t>(seconds);
    fields.playTime = FormatPlayTime(playSeconds);
  }

  // The header's frame rectangle; a writer that left it empty still gives
  // the size in the bitmap format (whose height is negative for top-down
  // frames).
  if (v.hasFrame && (v.frameRight != 0 || v.frameBottom != 0)) {
    fields.resolution = Resolution(v.frameRight, v.frameBottom);
  } else if (v.hasBitmap) {
    fields.resolution =
        Resolution(v.bitmapWidth, std::llabs(static_cast<long long>(v.bitmapHeight)));
  } else if (v.hasFrame) {
    fields.resolution = Resolution(v.frameRight, v.frameBottom);
  }
}

ProbeFields ProbeAvi(MovieFile* file, CodecNames& codecs, ByteView head = {}) {
  ProbeFields fields;
  AviHeader header;
  std::uint64_t size = 0;
  if (file) {
    header = ReadAviHeader(*file, head);
    size = file->Size();
  }
  std::int32_t playSeconds = 0;
  ProbeAviVideo(header.video, codecs, fields, playSeconds);

  // Audio bit rate in kbit/s from the stream format's average bytes per
  // second; 0 for a file without audio.
  std::uint64_t audioKbit = 0;
  const AviAudioStream& a = header.audio;
  if (a.present) {
    std::string name = codecs.AudioFormatName(a.formatTag);
    if (name.empty()) name = BuiltInAudioFormatName(a.formatTag);
    if (name.empty()) name = kUnknownCodec;
    name = CutCp932(name, kFieldMax);
    fields.audioFormat = CutCp932(RenamedOnCp932(RenameAudioFormat, name), kFieldMax);
    audioKbit = static_cast<std::uint64_t>(a.avgBytesPerSec) * 8 / 1000;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.2fkHz/%llukbit", a.samplesPerSec / 1000.0,
                  static_cast<unsigned long long>(audioKbit));
    fields.audioRate = buf;
  }

  // Video bit rate: the whole file's kbit per second less the audio's. A
  // file in which no stream was found (not an AVI file at all) leaves the
  // cell empty like the other probe cells.
  if (playSeconds != 0) {
    const std::uint64_t sizeKB = size >> 10;
    const long long kbit =
        static_cast<long long>(sizeKB * 8 / static_cast<std::uint64_t>(playSeconds)) -
        static_cast<long long>(audioKbit);
    fields.videoRate = std::to_string(kbit) + "kbit";
  } else if (header.video.present || header.audio.present) {
    fields.videoRate = "None";
  }

  // The header's INFO list, as other tools write it: the subject, else the
  // name, is the title; the copyright, else the artist, the creator.
  const AviHeaderInfo& info = header.info;
  fields.title = InfoEntryText(info.subject.empty() ? info.name : info.subject);
  fields.creator = InfoEntryText(info.copyright.empty() ? info.artist : info.copyright);
  fields.comment = InfoEntryText(info.comment);
  fields.genre = InfoEntryText(info.genre);
  return fields;
}

// Play time as the row shows it: whole seconds, held to the field's range.
std::int32_t PlaySeconds(double seconds) {
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  if (!(seconds >= 0)) return 0;
  return seconds >= static_cast<double>(kMax) ? kMax : static_cast<std::int32_t>(seconds);
}

// A RealMedia file whose header cannot be read keeps the fixed names such
// rows always had (and any tags that were read).
ProbeFields RealMediaFields(const MovieFacts* facts = nullptr, std::uint64_t size = 0) {
  if (facts && (!facts->videoFormat.empty() || !facts->audioFormat.empty()))
    return FieldsFromFacts(*facts, size);
  ProbeFields fields = facts ? FieldsFromFacts(*facts, size) : ProbeFields{};
  fields.videoFormat = "RealVideo";
  fields.audioFormat = "RealAudio";
  return fields;
}

// The file with its first bytes held, so that the read that tells the
// container also serves the parser's reads of the head.
class HeadHeldFile : public MovieFile {
 public:
  HeadHeldFile(MovieFile& file, std::size_t n)
      : file_(file), size_(file.Size()), head_(ReadBytes(file, 0, n)) {}
  ByteView Head() const { return ByteView(head_); }
  std::uint64_t Size() override { return size_; }
  std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t n) override {
    const std::size_t held = head_.size();
    if (offset < held && (n <= held - offset || held == size_)) {
      n = std::min(n, static_cast<std::size_t>(held - offset));
      std::memcpy(buffer, head_.data() + offset, n);
      return n;
    }
    return file_.ReadAt(offset, buffer, n);
  }

 private:
  MovieFile& file_;
  std::uint64_t size_;
  std::vector<std::uint8_t> head_;
};

// The head covers the AVI parser's first read and the MPEG sequence search.
constexpr std::size_t kHeadBytes = std::max(kAviFirstRead, kMpegSearchBytes + 4);

ProbeFields ProbeMpeg(MovieFile* file) {
  ProbeFields fields;
  fields.videoFormat = "MPEG1";
  fields.audioFormat = "MP2";
  if (!file) return fields;
  MpegSequence seq = ReadMpegSequence(*file);
  if (!seq.found) return fields;
  fields.frameRate = MpegFrameRateText(seq.FrameRateCode());
  fields.resolution = Resolution(seq.Width(), seq.Height());
  return fields;
}

}  // namespace

MovieKind KindOfMoviePath(std::string_view path) {
  if (!path.empty() && (path.back() == 'i' || path.back() == 'I')) return MovieKind::Avi;
  if (EndsWithNoCase(path, "MPG")) return MovieKind::Mpeg;
  return MovieKind::RealMedia;
}

std::string InfoEntryText(std::string_view bytes) {
  if (bytes.empty()) return {};
  return IsValidUtf8(bytes) ? std::string(bytes) : Cp932ToUtf8(bytes);
}

ProbeFields FieldsFromFacts(const MovieFacts& f, std::uint64_t fileSize) {
  ProbeFields fields;
  if (f.recognised) fields.outcome = f.outcome == ProbeOutcome::NotThis ? ProbeOutcome::Whole : f.outcome;
  fields.title = f.title;
  fields.creator = f.creator;
  fields.genre = f.genre;
  fields.comment = f.comment;
  const bool video = !f.videoFormat.empty(), audio = !f.audioFormat.empty();
  if (!video && !audio) return fields;
  fields.videoFormat = CutCp932(f.videoFormat, kFieldMax);
  fields.audioFormat = CutCp932(f.audioFormat, kFieldMax);
  if (video && f.framesPerSecond > 0) fields.frameRate = FormatFixed2(f.framesPerSecond);
  if (video && f.width > 0 && f.height > 0) fields.resolution = Resolution(f.width, f.height);
  const std::int32_t playSeconds = PlaySeconds(f.seconds);
  if (f.seconds >= 0) fields.playTime = FormatPlayTime(playSeconds);

  std::uint64_t audioKbit = 0;
  if (audio) {
    audioKbit = f.audioBitsPerSecond / 1000;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.2fkHz/%llukbit", f.audioSamplesPerSecond / 1000.0,
                  static_cast<unsigned long long>(audioKbit));
    fields.audioRate = buf;
  }
  // The whole file's kbit per second less the audio's, as for AVI files.
  if (playSeconds != 0) {
    const long long kbit =
        static_cast<long long>((fileSize >> 10) * 8 / static_cast<std::uint64_t>(playSeconds)) -
        static_cast<long long>(audioKbit);
    fields.videoRate = std::to_string(kbit) + "kbit";
  } else {
    fields.videoRate = "None";
  }
  return fields;
}

// Bytes of no known container, read by the file's name.
ProbeFields ProbeByName(std::string_view path, MovieFile* file, CodecNames& codecs) {
  switch (KindOfMoviePath(path)) {
    case MovieKind::Avi: return ProbeAvi(file, codecs);
    case MovieKind::Mpeg: return ProbeMpeg(file);
    case MovieKind::RealMedia: break;
  }
  return RealMediaFields();
}

// An MPEG program stream named .mpg: the stream's own facts, with the
// frame rate and size read from the sequence header as these rows always
// showed them.
ProbeFields MpgProgramFields(const MovieFacts& facts, MovieFile& file) {
  ProbeFields fields = FieldsFromFacts(facts, file.Size());
  const ProbeFields sequence = ProbeMpeg(&file);
  if (!fields.videoFormat.empty() && !sequence.frameRate.empty()) {
    fields.frameRate = sequence.frameRate;
    fields.resolution = sequence.resolution;
  }
  return fields;
}

ProbeFields ProbeMovie(std::string_view path, MovieFile* file, CodecNames& codecs) {
  const bool oldName = IsMovieName(path, false);
  if (!file) return oldName ? ProbeByName(path, nullptr, codecs) : ProbeFields{};

  HeadHeldFile held(*file, kHeadBytes);
  const std::uint64_t size = held.Size();
  switch (SniffContainer(held.Head())) {
    case ContainerKind::Avi: return ProbeAvi(&held, codecs, held.Head());
    case ContainerKind::IsoMedia: return FieldsFromFacts(ProbeIsoMedia(held), size);
    case ContainerKind::Matroska: return FieldsFromFacts(ProbeMatroska(held), size);
    case ContainerKind::Asf: return FieldsFromFacts(ProbeAsf(held), size);
    case ContainerKind::Flv: return FieldsFromFacts(ProbeFlv(held), size);
    case ContainerKind::MpegTransport: return FieldsFromFacts(ProbeMpegTransport(held), size);
    case ContainerKind::MpegProgram: {
      const MovieFacts facts = ProbeMpegProgram(held);
      const bool streams = !facts.videoFormat.empty() || !facts.audioFormat.empty();
      if (streams && oldName && KindOfMoviePath(path) == MovieKind::Mpeg)
        return MpgProgramFields(facts, held);
      if (streams || !oldName) return FieldsFromFacts(facts, size);
      break;  // a pack header and nothing readable after it
    }
    case ContainerKind::MpegVideo: return ProbeMpeg(&held);
    case ContainerKind::RealMedia: {
      const MovieFacts facts = ProbeRealMedia(held);
      return RealMediaFields(&facts, size);
    }
    case ContainerKind::Unknown: break;
  }
  return oldName ? ProbeByName(path, &held, codecs) : ProbeFields{};
}

}  // namespace clip
