// The elementary streams inside MPEG program and transport streams: what
// kind of stream a packet carries, the payload bytes its PES packets hold,
// the header readers those bytes go to, and the facts the first video and
// audio stream give. What the two parsers share past the packets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "scan/byte_reader.h"
#include "scan/movie_facts.h"
#include "scan/mpeg_pes.h"
#include "scan/stream_headers.h"

namespace clip {

// The header reader a stream's bytes go to.
enum class EsReader {
  None,
  MpegVideo,
  Avc,
  Hevc,
  MpegAudio,
  Adts,
  Ac3,
  Dts,
  TrueHd,
  BdLpcm,   // Blu-ray LPCM: the four-byte header before the samples
  DvdLpcm,  // DVD LPCM: the private stream 1 payload with its sub-stream header
};

enum class EsKind { None, Video, Audio };

// What a stream is: its kind, the name it gets when no header of it is
// read, and the reader of its headers.
struct EsType {
  EsKind kind = EsKind::None;
  const char* name = "";
  EsReader reader = EsReader::None;
};
constexpr EsType VideoType(const char* name, EsReader r = EsReader::None) {
  return {EsKind::Video, name, r};
}
constexpr EsType AudioType(const char* name, EsReader r = EsReader::None) {
  return {EsKind::Audio, name, r};
}

// The first header in a stream's bytes by the given reader; false when the
// bytes hold none (or the reader is None, or not one for that kind).
bool ReadVideoStream(EsReader reader, ByteView es, VideoStreamInfo& video);
bool ReadAudioStream(EsReader reader, ByteView es, AudioStreamInfo& audio);

// The payload bytes of one stream, PES packet by PES packet: from its first
// packet on while collect is set (the packets of the head), and those since
// its last packet with a time stamp, which tell how long the stream plays
// past that stamp.
class EsBytes {
 public:
  // The bytes since the last stamp are kept up to this many.
  static constexpr std::size_t kMaxLastBytes = 64 * 1024;

  bool collect = true;
  // A PES packet begins; one with a time stamp starts the bytes after it.
  void Start(bool stamped);
  // A packet that cannot be read: nothing is taken up to the next one, and
  // the bytes since the last stamp wait for a new stamp.
  void Drop();
  // Payload bytes of the packet begun last.
  void Add(ByteView payload);

  ByteView bytes() const { return ByteView(bytes_); }
  ByteView last() const { return ByteView(last_); }

 private:
  bool inUnit_ = false, inLast_ = false;
  std::vector<std::uint8_t> bytes_, last_;
};

// The facts of the first video and audio stream (either may be null) and
// the play time the clock's stamps span, each stream ending one frame after
// its last stamp: the video's by its frame rate, the audio's by the frames
// in audioLast (else one frame of the header's). The play time is left as
// it is when the clock saw no stamp.
void TakeStreamFacts(const VideoStreamInfo* video, const AudioStreamInfo* audio, ByteView audioLast,
                     const PlayClock& clock, MovieFacts& facts);

}  // namespace clip
