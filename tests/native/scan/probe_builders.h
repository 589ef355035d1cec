// Hand-built movie bytes and fakes for the probe tests.
#pragma once

#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "memory_file.h"
#include "scan/scan.h"

namespace clip::probetest {

// Little-endian byte writer with RIFF chunk nesting.
class Bytes {
 public:
  std::vector<std::uint8_t> b;

  Bytes& Tag(const char* four) {
    b.insert(b.end(), four, four + 4);
    return *this;
  }
  Bytes& U8(std::uint8_t v) {
    b.push_back(v);
    return *this;
  }
  Bytes& U16(std::uint16_t v) { return U8(v & 0xFF).U8(v >> 8); }
  Bytes& U32(std::uint32_t v) { return U16(v & 0xFFFF).U16(v >> 16); }
  Bytes& Text(const std::string& s) {
    b.insert(b.end(), s.begin(), s.end());
    return *this;
  }
  Bytes& Fill(std::size_t n, std::uint8_t v = 0) {
    b.insert(b.end(), n, v);
    return *this;
  }
  // Opens a chunk; Close() writes its size and the pad byte.
  std::size_t Open(const char* id) {
    Tag(id);
    std::size_t at = b.size();
    U32(0);
    return at;
  }
  std::size_t OpenList(const char* type) {
    std::size_t at = Open("LIST");
    Tag(type);
    return at;
  }
  void Close(std::size_t at) {
    std::uint32_t size = static_cast<std::uint32_t>(b.size() - at - 4);
    std::memcpy(&b[at], &size, 4);
    if (size & 1) b.push_back(0);
  }
  void Patch32(std::size_t at, std::uint32_t v) { std::memcpy(&b[at], &v, 4); }
};

struct AviSpec {
  bool video = true;
  char handler[5] = "XVID";
  std::uint32_t handlerCode = 0;  // used when handler is empty
  std::uint32_t scale = 1, rate = 25, length = 250;
  std::int16_t right = 160, bottom = 120;
  std::uint32_t strhSize = 56;  // bytes of AVISTREAMHEADER written
  std::int32_t bmWidth = 160, bmHeight = 120;
  std::uint32_t compression = 0;  // 0: same as handler
  bool audio = true;
  std::uint16_t formatTag = 0x0055;
  std::uint32_t samples = 44100, avgBytes = 16000;
  std::uint16_t channels = 2;
  std::uint32_t speakerMask = 0;       // written after the plain format when not 0
  int moreAudio = 0, textStreams = 0;  // further 'auds' and 'txts' streams at the end
  std::uint32_t audioFormatSize = 30;  // WAVEFORMATEX bytes written
  std::size_t junkAfterFormat = 4096;  // as common writers leave after each format
  std::size_t moviBytes = 512;
  bool audioFirst = false;
};

inline void WriteVideoStrl(Bytes& out, const AviSpec& s) {
  std::size_t strl = out.OpenList("strl");
  std::size_t strh = out.Open("strh");
  Bytes h;
  h.Tag("vids");
  if (s.handler[0])
    h.Tag(s.handler);
  else
    h.U32(s.handlerCode);
  h.U32(0).U16(0).U16(0).U32(0).U32(s.scale).U32(s.rate).U32(0).U32(s.length);
  h.U32(0).U32(0xFFFFFFFF).U32(0);
  h.U16(0)
      .U16(0)
      .U16(static_cast<std::uint16_t>(s.right))
      .U16(static_cast<std::uint16_t>(s.bottom));
  h.b.resize(s.strhSize, 0);
  out.b.insert(out.b.end(), h.b.begin(), h.b.end());
  out.Close(strh);
  std::size_t strf = out.Open("strf");
  out.U32(40)
      .U32(static_cast<std::uint32_t>(s.bmWidth))
      .U32(static_cast<std::uint32_t>(s.bmHeight));
  out.U16(1).U16(24);
  if (s.compression)
    out.U32(s.compression);
  else if (s.handler[0])
    out.Tag(s.handler);
  else
    out.U32(s.handlerCode);
  out.Fill(20);
  out.Close(strf);
  if (s.junkAfterFormat) {
    std::size_t junk = out.Open("JUNK");
    out.Fill(s.junkAfterFormat);
    out.Close(junk);
  }
  out.Close(strl);
}

inline void WriteAudioStrl(Bytes& out, const AviSpec& s) {
  std::size_t strl = out.OpenList("strl");
  std::size_t strh = out.Open("strh");
  out.Tag("auds").U32(1).U32(0).U16(0).U16(0).U32(0).U32(1).U32(s.avgBytes).U32(0).U32(100);
  out.U32(0).U32(0xFFFFFFFF).U32(1).Fill(8);
  out.Close(strh);
  std::size_t strf = out.Open("strf");
  Bytes f;
  f.U16(s.formatTag).U16(s.channels).U32(s.samples).U32(s.avgBytes).U16(4).U16(16).U16(12);
  if (s.speakerMask)
    f.U16(16).U32(s.speakerMask).Fill(6, 0x11);
  else
    f.Fill(12, 0x11);
  f.b.resize(s.audioFormatSize, 0);
  out.b.insert(out.b.end(), f.b.begin(), f.b.end());
  out.Close(strf);
  if (s.junkAfterFormat) {
    std::size_t junk = out.Open("JUNK");
    out.Fill(s.junkAfterFormat);
    out.Close(junk);
  }
  out.Close(strl);
}

// A text stream: its header and an empty format.
inline void WriteTextStrl(Bytes& out) {
  std::size_t strl = out.OpenList("strl");
  std::size_t strh = out.Open("strh");
  out.Tag("txts").Fill(52);
  out.Close(strh);
  out.Close(out.Open("strf"));
  out.Close(strl);
}

// A whole AVI file in the layout common writers use.
inline std::vector<std::uint8_t> MakeAvi(const AviSpec& s) {
  Bytes out;
  std::size_t riff = out.Open("RIFF");
  out.Tag("AVI ");
  std::size_t hdrl = out.OpenList("hdrl");
  std::size_t avih = out.Open("avih");
  out.Fill(56);
  out.Close(avih);
  if (s.audioFirst && s.audio) WriteAudioStrl(out, s);
  if (s.video) WriteVideoStrl(out, s);
  if (!s.audioFirst && s.audio) WriteAudioStrl(out, s);
  for (int i = 0; i < s.moreAudio; ++i) WriteAudioStrl(out, s);
  for (int i = 0; i < s.textStreams; ++i) WriteTextStrl(out);
  out.Close(hdrl);
  std::size_t movi = out.OpenList("movi");
  out.Fill(s.moviBytes, 0x5A);
  out.Close(movi);
  out.Close(riff);
  return out.b;
}

// Codec names answered from maps; anything else is unknown.
class FakeCodecs : public CodecNames {
 public:
  std::map<std::uint32_t, std::string> video;
  std::map<std::uint16_t, std::string> audio;
  std::string VideoDescription(std::uint32_t handler) override {
    auto it = video.find(handler);
    return it == video.end() ? "" : it->second;
  }
  std::string AudioFormatName(std::uint16_t tag) override {
    auto it = audio.find(tag);
    return it == audio.end() ? "" : it->second;
  }
};

// A file that reports a size of its own, backed by a few real bytes (the
// rest reads as zero), for sizes too large to hold in memory.
class SizedFile : public MovieFile {
 public:
  SizedFile(std::vector<std::uint8_t> head, std::uint64_t size)
      : head_(std::move(head)), size_(size) {}
  std::uint64_t Size() override { return size_; }
  std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t n) override {
    if (offset >= size_) return 0;
    std::uint64_t left = size_ - offset;
    std::size_t k = n < left ? n : static_cast<std::size_t>(left);
    auto* out = static_cast<std::uint8_t*>(buffer);
    for (std::size_t i = 0; i < k; ++i) {
      std::uint64_t at = offset + i;
      out[i] = at < head_.size() ? head_[static_cast<std::size_t>(at)] : 0;
    }
    bytesRead += k;
    return k;
  }
  std::uint64_t bytesRead = 0;

 private:
  std::vector<std::uint8_t> head_;
  std::uint64_t size_;
};

inline std::uint32_t Code(const char (&four)[5]) {
  return static_cast<std::uint32_t>(static_cast<std::uint8_t>(four[0])) |
         (static_cast<std::uint32_t>(static_cast<std::uint8_t>(four[1])) << 8) |
         (static_cast<std::uint32_t>(static_cast<std::uint8_t>(four[2])) << 16) |
         (static_cast<std::uint32_t>(static_cast<std::uint8_t>(four[3])) << 24);
}

}  // namespace clip::probetest
