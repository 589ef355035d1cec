// Checks shared by the FLV, transport stream and program stream fuzz
// targets: whatever the bytes, the facts stay within what a row can show.
#pragma once

#include <cmath>
#include <cstdlib>
#include <string>

#include "scan/flv_probe.h"
#include "scan/movie_facts.h"

namespace clip::fuzz {

// Codec names are short printable ASCII; sizes, rates and times are in
// range; tag texts are valid UTF-8.
inline void CheckFacts(const MovieFacts& f) {
  for (const std::string* name : {&f.videoFormat, &f.audioFormat}) {
    if (name->size() > 63) std::abort();
    for (char c : *name)
      if (c < 0x20 || c > 0x7E) std::abort();
  }
  if (f.width < 0 || f.width > 16384 || f.height < 0 || f.height > 16384) std::abort();
  if (!std::isfinite(f.framesPerSecond) || f.framesPerSecond < 0) std::abort();
  if (!std::isfinite(f.seconds) || (f.seconds < 0 && f.seconds != -1)) std::abort();
  for (const std::string* text : {&f.title, &f.creator, &f.genre, &f.comment}) {
    ByteView bytes(reinterpret_cast<const std::uint8_t*>(text->data()), text->size());
    if (ValidUtf8(bytes) != *text) std::abort();
  }
  if (!f.recognised && (!f.videoFormat.empty() || !f.audioFormat.empty())) std::abort();
}

}  // namespace clip::fuzz
