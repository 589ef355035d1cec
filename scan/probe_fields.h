// What a probe hands on for a row: the texts of its seven probe cells and
// of the four user cells the file's own tags fill, and how the reading went.
#pragma once

#include <string>

#include "scan/movie_facts.h"

namespace clip {

// The seven probe texts copied into a row's cells, and the texts the
// file's own tags give for the user's four (UTF-8, empty when absent).
struct ProbeFields {
  std::string videoFormat, audioFormat, videoRate, audioRate, frameRate, resolution, playTime;
  std::string title, creator, genre, comment;
  // Whole unless the parser that read the file says otherwise.
  ProbeOutcome outcome = ProbeOutcome::Whole;
};

}  // namespace clip
