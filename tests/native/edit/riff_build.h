// Hand-built RIFF files for the INFO writer's tests.
#pragma once

#include <cstdint>
#include <string>

namespace clip::test {

inline std::string U32(std::uint32_t v) {
  std::string s;
  for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xff));
  return s;
}

// A chunk with its pad byte when the data has an odd length.
inline std::string Chunk(const std::string& id, const std::string& data) {
  std::string s = id + U32(static_cast<std::uint32_t>(data.size())) + data;
  if (data.size() & 1) s.push_back('\0');
  return s;
}

inline std::string ListChunk(const std::string& type, const std::string& content) {
  return Chunk("LIST", type + content);
}

inline std::string Riff(const std::string& form, const std::string& content) {
  return "RIFF" + U32(static_cast<std::uint32_t>(4 + content.size())) + form + content;
}

// Header list, movie list with three frames, and a 16-byte-per-entry index.
inline std::string MoviBody() {
  return ListChunk("hdrl", Chunk("avih", std::string(56, '\x01'))) +
         ListChunk("movi",
                   Chunk("00dc", "frame1") + Chunk("00dc", "odd") + Chunk("01wb", "audio!"));
}

inline std::string Index() { return Chunk("idx1", std::string(48, '\x02')); }

// The usual layout: idx1 is the last chunk and the end of the file.
inline std::string PlainAvi() { return Riff("AVI ", MoviBody() + Index()); }

// The tail scan as the row builder reads it: the last 1024 bytes (the whole
// file when shorter), "I" + SBJ/COP/CMT, four size bytes ignored, the value
// up to a zero byte; a later entry replaces an earlier one.
struct Tail {
  std::string title, creator, comment;
};
inline Tail ReadTail(const std::string& file) {
  Tail t;
  std::size_t i = file.size() > 1024 ? file.size() - 1024 : 0;
  while (i < file.size()) {
    if (file[i++] != 'I') continue;
    std::string id = file.substr(i, 3);
    i += 3;
    std::string* slot = id == "SBJ"   ? &t.title
                        : id == "COP" ? &t.creator
                        : id == "CMT" ? &t.comment
                                      : nullptr;
    if (!slot) continue;
    i += 4;
    std::string value;
    while (i < file.size() && file[i] != '\0') value.push_back(file[i++]);
    ++i;
    *slot = value;
  }
  return t;
}

}  // namespace clip::test
