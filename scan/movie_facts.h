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

struct MovieFacts {
  // The bytes were those of the parser's container (the header was read,
  // even when nothing more could be).
  bool recognised = false;
  // How the reading went; NotThis while recognised is false.
  ProbeOutcome outcome = ProbeOutcome::NotThis;

  // Short names of the first video and audio stream, such as "H.264" and
  // "AAC"; empty when the file has no such stream.
  std::string videoFormat;
  std::string audioFormat;

  double framesPerSecond = 0;  // average; 0 when unknown
  int width = 0, height = 0;   // as displayed; 0 when unknown
  double seconds = -1;         // play time; negative when unknown

  std::uint32_t audioSamplesPerSecond = 0;  // 0 when unknown
  std::uint64_t audioBitsPerSecond = 0;     // 0 when unknown

  // Texts from the container's own tags, UTF-8, not yet cut to a cell.
  std::string title, creator, genre, comment;
};

}  // namespace clip
