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
#include <limits>
#include <vector>

#include "base/cp932.h"
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
#include "scan/track_cells.h"
#include "scan/ts_probe.h"

namespace clip {

namespace {

static_assert(kProbeHeadBytes >= kAviHeadBytes && kProbeHeadBytes >= kMpegHeadBytes + 4,
              "the head read serves the AVI parser and the sequence search");

std::string Resolution(long long width, long long height) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%lldx%lld", width, height);
  return buf;
}

// Play time as the row shows it: whole seconds, held to the field's range.
std::int32_t PlaySeconds(double seconds) {
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  if (!(seconds >= 0)) return 0;
  return seconds >= static_cast<double>(kMax) ? kMax : static_cast<std::int32_t>(seconds);
}

// A frame rate as .mpg rows always showed it: cut (not rounded) to
// hundredths, and a last zero dropped: 23.97, 24.0, 29.97.
std::string SequenceFrameRate(double fps) {
  char buf[64];
  const long long hundredths = static_cast<long long>(fps * 100);
  std::snprintf(buf, sizeof buf, "%lld.%02lld", hundredths / 100, hundredths % 100);
  std::string text = buf;
  if (text.back() == '0') text.pop_back();
  return text;
}

// A RealMedia file whose header cannot be read keeps the fixed names such
// rows always had (with any tags that were read, and how the reading went).
ProbeFields RealMediaFields(const MovieFacts* facts = nullptr, std::uint64_t size = 0) {
  if (facts && (!facts->videoFormat.empty() || !facts->audioFormat.empty()))
    return FieldsFromFacts(*facts, size);
  ProbeFields fields = facts ? FieldsFromFacts(*facts, size) : ProbeFields{};
  fields.videoFormat = "RealVideo";
  fields.audioFormat = "RealAudio";
  if (!facts) fields.outcome = ProbeOutcome::Unsupported;
  return fields;
}

ProbeFields NothingRead() {
  ProbeFields fields;
  fields.outcome = ProbeOutcome::NotThis;
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

// Bytes of no known container, read by the file's name (AVI or MPG).
MovieFacts FactsByName(MovieKind kind, MovieFile* file, CodecNames& codecs) {
  if (kind == MovieKind::Mpeg) return file ? ProbeMpegSequence(*file) : MpegSequenceFacts({});
  return file ? ProbeAvi(*file, codecs) : MovieFacts{};
}

// An MPEG program stream named .mpg: the stream's own facts, with the
// frame rate and size read from the sequence header as these rows always
// showed them.
ProbeFields MpgProgramFields(const MovieFacts& facts, MovieFile& file) {
  ProbeFields fields = FieldsFromFacts(facts, file.Size());
  const MovieFacts sequence = ProbeMpegSequence(file);
  if (!fields.videoFormat.empty() && sequence.framesPerSecond > 0) {
    const ProbeFields cells = FieldsFromFacts(sequence, 0);
    fields.frameRate = cells.frameRate;
    fields.resolution = cells.resolution;
  }
  return fields;
}

}  // namespace

ProbeFields FieldsFromFacts(const MovieFacts& f, std::uint64_t fileSize) {
  ProbeFields fields;
  fields.outcome = f.outcome;
  fields.title = f.title;
  fields.creator = f.creator;
  fields.genre = f.genre;
  fields.comment = f.comment;
  if (f.tracksListed) {
    fields.audioTracks = AudioTracksCell(f.audioTracks);
    fields.subtitles = SubtitlesCell(f.subtitleTracks);
  }
  fields.channels = ChannelsCell(f.channels);
  fields.videoBits = VideoBitsCell(f.depth);
  fields.chapters = ChaptersCell(f.chapters);
  const bool video = !f.videoFormat.empty(), audio = !f.audioFormat.empty();
  if (!video && !audio) return fields;
  fields.videoFormat = CutCp932(f.videoFormat, kFieldMax);
  fields.audioFormat = CutCp932(f.audioFormat, kFieldMax);
  if (video && (f.sizeAsStored || (f.width > 0 && f.height > 0)))
    fields.resolution = Resolution(f.width, f.height);
  if (f.form == CellForm::SequenceHeader) {
    if (video && f.framesPerSecond > 0) fields.frameRate = SequenceFrameRate(f.framesPerSecond);
    return fields;
  }
  if (video && f.framesPerSecond > 0) fields.frameRate = FormatFixed2(f.framesPerSecond);
  const std::int32_t playSeconds = PlaySeconds(f.seconds);
  if (f.seconds >= 0) fields.playTime = FormatPlayTime(playSeconds);

  std::uint64_t audioKbit = 0;
  // An audio stream of which no frame was read (one a stream's table
  // declares, say) leaves the cell empty rather than claim 0 kHz.
  if (audio && (f.audioSamplesPerSecond != 0 || f.audioBitsPerSecond != 0)) {
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

ProbeFields ProbeMovie(std::string_view path, MovieFile* file, CodecNames& codecs) {
  const bool classic = HasClassicMovieEnding(path);
  const MovieKind kind = KindOfMoviePath(path);
  // A RealMedia name is read by its bytes like the others; without a file,
  // or bytes of no known container, it keeps the fixed names.
  const bool realName = classic && kind == MovieKind::RealMedia;
  if (!file) {
    if (realName) return RealMediaFields();
    return classic ? FieldsFromFacts(FactsByName(kind, nullptr, codecs), 0) : NothingRead();
  }

  HeadHeldFile held(*file, kProbeHeadBytes);
  const std::uint64_t size = held.Size();
  MovieFacts facts;
  switch (SniffContainer(held.Head())) {
    case ContainerKind::Avi: facts = ProbeAvi(held, codecs, held.Head()); break;
    case ContainerKind::IsoMedia: facts = ProbeIsoMedia(held); break;
    case ContainerKind::Matroska: facts = ProbeMatroska(held); break;
    case ContainerKind::Asf: facts = ProbeAsf(held); break;
    case ContainerKind::Flv: facts = ProbeFlv(held); break;
    case ContainerKind::MpegTransport: facts = ProbeMpegTransport(held); break;
    case ContainerKind::MpegProgram: {
      facts = ProbeMpegProgram(held);
      const bool streams = !facts.videoFormat.empty() || !facts.audioFormat.empty();
      if (streams && classic && kind == MovieKind::Mpeg) return MpgProgramFields(facts, held);
      if (streams || !classic) break;
      // A pack header and nothing readable after it: the fields the name
      // gives, with how the stream's reading went.
      ProbeFields fields = FieldsFromFacts(FactsByName(kind, &held, codecs), size);
      fields.outcome = facts.outcome;
      return fields;
    }
    case ContainerKind::MpegVideo: facts = ProbeMpegSequence(held); break;
    case ContainerKind::RealMedia: {
      facts = ProbeRealMedia(held);
      return RealMediaFields(&facts, size);
    }
    case ContainerKind::Unknown:
      if (!classic) return NothingRead();
      if (realName) return RealMediaFields();
      facts = FactsByName(kind, &held, codecs);
      break;
  }
  return FieldsFromFacts(facts, size);
}

}  // namespace clip
