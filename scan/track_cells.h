// The texts of the track cells: what a parser found of a file's tracks,
// chapters and reading, as the list shows it.
#pragma once

#include <string>
#include <vector>

#include "scan/movie_facts.h"

namespace clip {

// "2: jpn, eng": the count, then each track's language in file order
// ("und" where none is given); empty when there are no tracks.
std::string AudioTracksCell(const std::vector<TrackFact>& tracks);
// The same with forced tracks marked: "3: jpn, eng, eng(強制)".
std::string SubtitlesCell(const std::vector<TrackFact>& tracks);
// "5.1", "2.0", or the bare count when no layout is given.
std::string ChannelsCell(const ChannelLayout& layout);
// "8bit", "10bit HDR10", "10bit HLG", "10bit DolbyVision 8.1".
std::string VideoBitsCell(const VideoDepth& depth);
// The chapter count; empty when none are listed.
std::string ChaptersCell(int chapters);
// How the reading went as the status cell says it: empty for a file read
// whole (or one whose facts lay beyond the reads a file may take), "途中まで"
// for one that ends early, "破損" for a broken structure, "未対応" for a
// container or codec that is not read. An empty file ends before any header.
std::string StatusCell(ProbeOutcome outcome, bool opened, bool empty);

}  // namespace clip
