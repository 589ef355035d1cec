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
  // The track cells: audio tracks and subtitles with their languages, the
  // first audio track's channels, the video's bit depth and dynamic range,
  // and the chapter count; empty where the container does not say.
  std::string audioTracks, subtitles, channels, videoBits, chapters;
  // Whole unless the parser that read the file says otherwise.
  ProbeOutcome outcome = ProbeOutcome::Whole;
};

}  // namespace clip
