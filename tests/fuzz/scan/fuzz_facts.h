// Checks the container fuzz targets make of every MovieFacts: nothing from
// an unrecognised file, printable codec names, valid UTF-8 tags, finite
// numbers, short track lists with printable languages.
#pragma once

#include <cmath>
#include <cstdlib>
#include <string>

#include "scan/movie_facts.h"
#include "scan/tag_text.h"

namespace clip::fuzz {

inline void CheckFacts(const MovieFacts& f) {
  if (!f.Recognised()) {
    if (!f.videoFormat.empty() || !f.audioFormat.empty() || !f.title.empty() || f.width ||
        f.seconds != -1)
      std::abort();
    return;
  }
  for (const std::string* s : {&f.videoFormat, &f.audioFormat}) {
    if (s->size() > 63) std::abort();
    for (char c : *s)
      if (c < 0x20 || c > 0x7E) std::abort();
  }
  for (const std::string* s : {&f.title, &f.creator, &f.genre, &f.comment}) {
    // Valid UTF-8 comes back from the cleaner unchanged.
    ByteView bytes(reinterpret_cast<const std::uint8_t*>(s->data()), s->size());
    if (s->size() > 4 * kTagTextMax || CleanUtf8(bytes) != *s) std::abort();
  }
  if (!std::isfinite(f.framesPerSecond) || f.framesPerSecond < 0) std::abort();
  if (!std::isfinite(f.seconds) || (f.seconds < 0 && f.seconds != -1)) std::abort();
  if (f.width < 0 || f.height < 0) std::abort();
  // Track lists stay short and their languages printable; counts are sane.
  for (const auto* tracks : {&f.audioTracks, &f.subtitleTracks}) {
    if (tracks->size() > 256) std::abort();
    for (const TrackFact& t : *tracks) {
      if (t.language.size() > 64) std::abort();
      for (char c : t.language)
        if (c < 0x20 || c > 0x7E) std::abort();
    }
  }
  if (f.channels.channels < 0 || f.channels.channels > 65535 || f.channels.lfe < -1) std::abort();
  if (f.depth.bits < 0 || f.depth.bits > 64 || f.chapters < -1) std::abort();
}

}  // namespace clip::fuzz
