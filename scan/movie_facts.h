// What a container parser found out about one movie file, before it is
// turned into the texts of a row's cells. Every parser fills the same
// struct, so that the cells of an MP4 row read like those of an AVI row.
#pragma once

#include <cstdint>
#include <string>

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
};

}  // namespace clip
