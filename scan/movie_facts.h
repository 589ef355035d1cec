// What a container parser found out about one movie file, before it is
// turned into the texts of a row's cells. Every parser fills the same
// struct, so that the cells of an MP4 row read like those of an AVI row.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace clip {

// How a parser's reading of a file went.
enum class ProbeOutcome {
  NotThis,      // the bytes are not of this parser's container
  Whole,        // read as far as the facts needed, nothing amiss
  Truncated,    // the file ends before its headers say it does
  Malformed,    // a structure is broken (a size that cannot be, a bad field)
  BudgetSpent,  // the facts lie further than the reads a file may take
  Unsupported,  // a container or codec the program does not read
};

// A short English name of an outcome, for messages and tests.
const char* OutcomeName(ProbeOutcome outcome);

// Records a problem met while reading a recognised file in outcome. The
// first one stays: what goes wrong after it mostly follows from it.
inline void NoteProblem(ProbeOutcome& outcome, ProbeOutcome problem) {
  if (outcome == ProbeOutcome::Whole) outcome = problem;
}

// Which cells the facts fill, and in what form.
enum class CellForm {
  Measured,        // every cell, as today's containers and AVI headers give them
  SequenceHeader,  // as .mpg rows always were: the stream names and the
                   // sequence header's size and frame rate, no rates or play time
};

// One audio or subtitle track as its container lists it.
struct TrackFact {
  // The language as the container gives it: an ISO 639-2 code ("jpn") or a
  // BCP 47 tag ("ja-JP"); empty when none is given.
  std::string language;
  bool forced = false;  // a subtitle track marked to be shown always
};

// The channels of an audio track: the count, and how many of them are
// low-frequency effects when the layout is given ("5.1" is 6 and 1).
struct ChannelLayout {
  int channels = 0;  // 0 when unknown
  int lfe = -1;      // -1 when no layout is given
};

// Bit depth and dynamic range of a video track.
struct VideoDepth {
  int bits = 0;      // luma bits a sample; 0 when unknown
  int transfer = 0;  // ITU-T H.273 transfer characteristics (16 PQ, 18 HLG); 0 unknown
  // The Dolby Vision configuration: its profile and base-layer
  // compatibility; profile -1 when the track has none.
  int dolbyVisionProfile = -1, dolbyVisionCompatibility = 0;
};

constexpr int kTransferPq = 16;
constexpr int kTransferHlg = 18;

struct MovieFacts {
  // How the reading went: NotThis when the bytes are not the parser's
  // container, else Whole unless a problem was met.
  ProbeOutcome outcome = ProbeOutcome::NotThis;
  bool Recognised() const { return outcome != ProbeOutcome::NotThis; }
  void Note(ProbeOutcome problem) { NoteProblem(outcome, problem); }

  CellForm form = CellForm::Measured;

  // Short names of the first video and audio stream, such as "H.264" and
  // "AAC"; empty when the file has no such stream.
  std::string videoFormat;
  std::string audioFormat;

  double framesPerSecond = 0;          // average; 0 when unknown
  std::int64_t width = 0, height = 0;  // as displayed; 0 when unknown
  // The size is shown as the header stores it, even zero or negative (AVI
  // and MPEG sequence headers); else only a positive width and height are.
  bool sizeAsStored = false;
  double seconds = -1;  // play time; negative when unknown

  std::uint32_t audioSamplesPerSecond = 0;  // 0 when unknown
  std::uint64_t audioBitsPerSecond = 0;     // 0 when unknown

  // Texts from the container's own tags, UTF-8, not yet cut to a cell.
  std::string title, creator, genre, comment;

  // Every audio and subtitle track in file order. tracksListed is set by a
  // parser whose container lists its tracks; without it the track cells
  // stay empty, since an empty list would claim that there are none.
  std::vector<TrackFact> audioTracks, subtitleTracks;
  bool tracksListed = false;
  ChannelLayout channels;  // of the first audio track
  VideoDepth depth;        // of the first video track
  int chapters = -1;       // chapters of the first edition; -1 when none are listed
};

}  // namespace clip
