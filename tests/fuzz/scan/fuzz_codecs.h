// Codec names for the fuzz targets: descriptions cut from the input itself,
// so the renaming rules meet arbitrary bytes too.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/cp932.h"
#include "base/unicode.h"
#include "scan/probe.h"

namespace clip::fuzz {

class InputCodecs : public CodecNames {
 public:
  InputCodecs(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  std::string VideoDescription(std::uint32_t handler) override { return Slice(handler); }
  std::string AudioFormatName(std::uint16_t tag) override { return Slice(tag * 2654435761u); }

 private:
  // Some codes are unknown (empty), others get up to 150 bytes of the input.
  std::string Slice(std::uint32_t code) {
    if (size_ == 0 || (code & 3) == 0) return "";
    std::size_t at = (code >> 2) % size_;
    std::size_t len = (code >> 10) % 150;
    if (len > size_ - at) len = size_ - at;
    return std::string(reinterpret_cast<const char*>(data_) + at, len);
  }
  const std::uint8_t* data_;
  std::size_t size_;
};

// Every probe field fits its field: 63 bytes of its code page 932 form.
inline void CheckFields(const ProbeFields& f) {
  for (const std::string* s : {&f.videoFormat, &f.audioFormat, &f.videoRate, &f.audioRate,
                               &f.frameRate, &f.resolution, &f.playTime})
    if (Cp932Length(*s) > 63) std::abort();
  // Tag texts are whole UTF-8 (the row cuts them to its limit).
  for (const std::string* s : {&f.title, &f.creator, &f.genre, &f.comment})
    if (!IsValidUtf8(*s)) std::abort();
}

}  // namespace clip::fuzz
