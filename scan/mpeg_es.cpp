#include "scan/mpeg_es.h"

namespace clip {

namespace {

// DVD LPCM in private stream 1: the sub-stream id, a frame count, a pointer
// to the first whole frame, then three bytes describing the samples.
constexpr std::size_t kDvdLpcmHeader = 7;

bool ReadDvdLpcm(ByteView payload, AudioStreamInfo& audio) {
  if (!payload.Has(0, kDvdLpcmHeader)) return false;
  static constexpr std::uint32_t kBits[4] = {16, 20, 24, 0};
  static constexpr std::uint32_t kRates[4] = {48000, 96000, 44100, 32000};
  const std::uint8_t b = payload.U8(5);
  const std::uint32_t bits = kBits[b >> 6], channels = (b & 7u) + 1;
  if (bits == 0) return false;
  audio.format = "PCM";
  audio.sampleRate = kRates[b >> 4 & 3];
  audio.bitRate = static_cast<std::uint64_t>(channels) * audio.sampleRate * bits;
  // Packets carry samples of equal length: the first one tells how long the
  // last one plays.
  audio.samplesPerFrame =
      static_cast<std::uint32_t>((payload.size() - kDvdLpcmHeader) * 8 / (channels * bits));
  return true;
}

bool ReadBdLpcm(ByteView es, AudioStreamInfo& audio) {
  static constexpr std::uint8_t kChannels[16] = {0, 1, 0, 2, 3, 3, 4, 4, 5, 6, 7, 8};
  static constexpr std::uint32_t kRates[16] = {0, 48000, 0, 0, 96000, 192000};
  static constexpr std::uint32_t kBits[4] = {0, 16, 20, 24};
  if (!es.Has(0, 4)) return false;
  std::uint32_t channels = kChannels[es.U8(2) >> 4], rate = kRates[es.U8(2) & 15],
                bits = kBits[es.U8(3) >> 6];
  if (channels == 0 || rate == 0 || bits == 0) return false;
  audio.format = "PCM";
  audio.sampleRate = rate;
  // An odd channel count is stored with one more, silent channel.
  audio.bitRate = static_cast<std::uint64_t>(channels + (channels & 1)) * rate * bits;
  return true;
}

void AppendTo(std::vector<std::uint8_t>& to, ByteView more) {
  to.insert(to.end(), more.data(), more.data() + more.size());
}

}  // namespace

bool ReadVideoStream(EsReader reader, ByteView es, VideoStreamInfo& video) {
  switch (reader) {
    case EsReader::MpegVideo: return ReadMpegVideoSequence(es, video);
    case EsReader::Avc: return ReadAvcSequence(es, video);
    case EsReader::Hevc: return ReadHevcSequence(es, video);
    default: return false;
  }
}

bool ReadAudioStream(EsReader reader, ByteView es, AudioStreamInfo& audio) {
  switch (reader) {
    case EsReader::MpegAudio: return ReadMpegAudioFrame(es, audio);
    case EsReader::Adts: return ReadAdtsFrames(es, audio);
    case EsReader::Ac3: return ReadAc3Frame(es, audio);
    case EsReader::Dts: return ReadDtsFrame(es, audio);
    case EsReader::TrueHd: return ReadTrueHdSync(es, audio);
    case EsReader::BdLpcm: return ReadBdLpcm(es, audio);
    case EsReader::DvdLpcm: return ReadDvdLpcm(es, audio);
    default: return false;
  }
}

void EsBytes::Start(bool stamped) {
  inUnit_ = true;
  if (stamped) {
    last_.clear();
    inLast_ = true;
  }
}

void EsBytes::Drop() { inUnit_ = inLast_ = false; }

void EsBytes::Add(ByteView payload) {
  if (!inUnit_) return;
  // Both bounded by the head or tail the packets come from.
  if (collect) AppendTo(bytes_, payload);
  if (inLast_ && last_.size() < kMaxLastBytes) AppendTo(last_, payload);
}

void TakeStreamFacts(const VideoStreamInfo* video, const AudioStreamInfo* audio, ByteView audioLast,
                     const PlayClock& clock, MovieFacts& facts) {
  double videoTicks = 0, audioTicks = 0;
  if (video) {
    facts.videoFormat = video->format;
    facts.width = video->width;
    facts.height = video->height;
    facts.framesPerSecond = video->framesPerSecond;
    facts.depth.bits = video->bitDepth;
    if (video->bitDepth > 0) facts.depth.transfer = video->transfer;
    if (video->framesPerSecond > 0) videoTicks = kPtsHz / video->framesPerSecond;
  }
  if (audio) {
    facts.audioFormat = audio->format;
    facts.audioSamplesPerSecond = audio->sampleRate;
    facts.audioBitsPerSecond = audio->bitRate;
    // The last stamped packet plays for the frames it holds.
    std::uint64_t samples = SamplesInFrames(audioLast, audio->format);
    if (samples == 0) samples = audio->samplesPerFrame;
    if (audio->sampleRate != 0)
      audioTicks = kPtsHz * static_cast<double>(samples) / audio->sampleRate;
  }
  if (clock.Any()) facts.seconds = clock.Seconds(videoTicks, audioTicks);
}

}  // namespace clip
