#include "scan/track_cells.h"

#include <cstdio>

namespace clip {

namespace {

// A language as the container wrote it, kept to the letters, digits and
// hyphens of a language tag and to the length of a long one.
std::string LanguageText(const std::string& language) {
  constexpr std::size_t kLanguageMax = 35;
  std::string text;
  for (char c : language) {
    const bool tagChar = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                         (c >= '0' && c <= '9') || c == '-';
    if (!tagChar) break;
    if (text.size() == kLanguageMax) break;
    text += c;
  }
  return text.empty() ? "und" : text;
}

std::string TracksCell(const std::vector<TrackFact>& tracks, bool markForced) {
  if (tracks.empty()) return {};
  std::string text = std::to_string(tracks.size()) + ":";
  const char* separator = " ";
  for (const TrackFact& track : tracks) {
    text += separator;
    text += LanguageText(track.language);
    if (markForced && track.forced) text += "(強制)";
    separator = ", ";
  }
  return text;
}

}  // namespace

std::string AudioTracksCell(const std::vector<TrackFact>& tracks) {
  return TracksCell(tracks, false);
}

std::string SubtitlesCell(const std::vector<TrackFact>& tracks) { return TracksCell(tracks, true); }

std::string ChannelsCell(const ChannelLayout& layout) {
  if (layout.channels <= 0) return {};
  if (layout.lfe < 0 || layout.lfe > layout.channels) return std::to_string(layout.channels);
  return std::to_string(layout.channels - layout.lfe) + "." + std::to_string(layout.lfe);
}

std::string VideoBitsCell(const VideoDepth& depth) {
  if (depth.bits <= 0) return {};
  std::string text = std::to_string(depth.bits) + "bit";
  if (depth.dolbyVisionProfile >= 0) {
    text += " DolbyVision " + std::to_string(depth.dolbyVisionProfile);
    if (depth.dolbyVisionCompatibility != 0)
      text += "." + std::to_string(depth.dolbyVisionCompatibility);
  } else if (depth.transfer == kTransferPq) {
    text += " HDR10";
  } else if (depth.transfer == kTransferHlg) {
    text += " HLG";
  }
  return text;
}

std::string ChaptersCell(int chapters) { return chapters > 0 ? std::to_string(chapters) : ""; }

std::string StatusCell(ProbeOutcome outcome, bool opened, bool empty) {
  if (!opened) return {};
  if (empty) return "途中まで";
  switch (outcome) {
    case ProbeOutcome::Truncated: return "途中まで";
    case ProbeOutcome::Malformed: return "破損";
    case ProbeOutcome::NotThis:
    case ProbeOutcome::Unsupported: return "未対応";
    case ProbeOutcome::Whole:
    case ProbeOutcome::BudgetSpent: break;
  }
  return {};
}

}  // namespace clip
