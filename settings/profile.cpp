#include "settings/profile.h"

#include <cstdio>

#include "base/text.h"

namespace clip {

std::string ColorText(unsigned colour) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%x", colour);
  return buf;
}

unsigned ParseColorText(std::string_view text) {
  return static_cast<unsigned>(ParseLongBase0(text));
}

}  // namespace clip
