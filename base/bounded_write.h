// Building a converted text whose length is only bounded in advance: the
// converters write into room for the worst case and keep what they wrote.
#pragma once

#include <cstddef>
#include <string>

namespace clip {

// Calls write(out), which fills at most worst bytes from out and returns
// the end, and returns exactly those bytes. A short text (every cell of a
// catalogue) is written on the stack, so its string is allocated once at
// its own size instead of keeping the worst case's room for its lifetime.
template <typename Write>
std::string WriteBounded(std::size_t worst, Write write) {
  constexpr std::size_t kStackRoom = 2048;
  if (worst <= kStackRoom) {
    char room[kStackRoom];
    const char* end = write(room);
    return std::string(room, static_cast<std::size_t>(end - room));
  }
  std::string out(worst, '\0');
  const char* end = write(out.data());
  out.resize(static_cast<std::size_t>(end - out.data()));
  out.shrink_to_fit();
  return out;
}

// The same into out, replacing its contents: its room is kept from one
// call to the next, so a caller writing many texts allocates only while the
// room grows.
template <typename Write>
void WriteBoundedInto(std::string& out, std::size_t worst, Write write) {
  out.resize(worst);
  const char* end = write(out.data());
  out.resize(static_cast<std::size_t>(end - out.data()));
}

}  // namespace clip
