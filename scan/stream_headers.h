// The headers at the start of MPEG-family elementary streams (video
// sequence headers and parameter sets, audio frame headers), read from the
// first bytes of a stream as the transport stream, program stream and FLV
// parsers collect them. Each reader looks only at the bytes it is given and
// leaves what it cannot read at its empty value.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "scan/byte_reader.h"
#include "scan/movie_facts.h"

namespace clip {

struct VideoStreamInfo {
  std::string format;  // "MPEG1", "MPEG2", "H.264", ... empty when unknown
  int width = 0, height = 0;
  double framesPerSecond = 0;
  // Luma bits a sample and the transfer characteristics (ITU-T H.273)
  // where the sequence header says (H.264, H.265); 0 when unknown.
  int bitDepth = 0, transfer = 0;
};

struct AudioStreamInfo {
  std::string format;  // "MP2", "AC-3", ... empty when unknown
  std::uint32_t sampleRate = 0;
  std::uint64_t bitRate = 0;          // bits per second; 0 when the header has none
  std::uint32_t samplesPerFrame = 0;  // 0 when unknown
  // As the frame header or AAC configuration gives them (MPEG audio,
  // AC-3, E-AC-3, AAC); unknown for the others.
  ChannelLayout channels;
};

// Reads bits most significant first; a read past the end gives 0 and clears
// ok(), so a cut header never reads outside its bytes.
class BitReader {
 public:
  explicit BitReader(ByteView bytes) : bytes_(bytes) {}
  std::uint32_t Bits(int n);  // n from 0 to 32
  void Skip(std::size_t n);
  std::uint32_t Ue();  // unsigned Exp-Golomb code
  std::int32_t Se();   // signed Exp-Golomb code
  bool ok() const { return ok_; }

 private:
  ByteView bytes_;
  std::size_t pos_ = 0;  // in bits
  bool ok_ = true;
};

// The frames a second of an MPEG-1/2 frame_rate_code; 0 outside 1 to 8.
double MpegFrameRate(int code);

// MPEG-1/2 video: the first sequence header (00 00 01 B3) in es. A sequence
// extension right after it makes the stream "MPEG2" (its size and frame
// rate extensions applied), else it is "MPEG1".
bool ReadMpegVideoSequence(ByteView es, VideoStreamInfo& video);

// H.264: the first sequence parameter set in an Annex B stream (start code
// prefixed NAL units), or in one NAL unit as stored in a decoder
// configuration record (header byte first, emulation prevention bytes still
// in). Size after cropping; frame rate from the VUI timing where it is
// marked fixed, else none (0).
bool ReadAvcSequence(ByteView es, VideoStreamInfo& video);
bool ReadAvcSpsNal(ByteView nal, VideoStreamInfo& video);

// H.265: size from the first sequence parameter set, frame rate from its
// VUI timing or else from the timing of the first video parameter set, in
// an Annex B stream or from single NAL units. Timing whose decoder
// parameters say the rate is not fixed gives none.
bool ReadHevcSequence(ByteView es, VideoStreamInfo& video);
bool ReadHevcSpsNal(ByteView nal, VideoStreamInfo& video);
bool ReadHevcVpsNal(ByteView nal, VideoStreamInfo& video);

// Audio frame headers, found by their sync word. A header counts when the
// frame after it starts with a matching header too, or when no such pair is
// in es, the first plausible header alone.
bool ReadMpegAudioFrame(ByteView es, AudioStreamInfo& audio);  // "MP1", "MP2", "MP3"
bool ReadAc3Frame(ByteView es, AudioStreamInfo& audio);        // "AC-3", "E-AC-3"
bool ReadDtsFrame(ByteView es, AudioStreamInfo& audio);        // "DTS"
// AAC in ADTS frames: the sample rate, and the bit rate averaged over the
// whole frames es holds (the header declares none).
bool ReadAdtsFrames(ByteView es, AudioStreamInfo& audio);
// The sample rate of an AAC decoder configuration (as FLV and ISO media
// store it).
bool ReadAacConfig(ByteView config, AudioStreamInfo& audio);
// TrueHD: the sample rate from the first major sync.
bool ReadTrueHdSync(ByteView es, AudioStreamInfo& audio);

// The samples in the run of frames of the given format ("MP2", "AC-3",
// "DTS", "AAC"...) that starts at the first frame header in es: how long
// the last packet of a stream plays. 0 when es holds no such frame.
std::uint64_t SamplesInFrames(ByteView es, const std::string& format);

}  // namespace clip
