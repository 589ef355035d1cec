// Arbitrary bytes as an MPEG transport stream: packet layout, PAT and PMT
// sections, PES headers, time stamps; and the same bytes straight into every
// elementary stream header reader.
#include <cstdint>
#include <cstdlib>

#include "fuzz_facts.h"
#include "memory_file.h"
#include "scan/container_kind.h"
#include "scan/stream_headers.h"
#include "scan/ts_probe.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  clip::MemoryMovieFile file(data, size);
  clip::MovieFacts facts = clip::ProbeMpegTransport(file);
  clip::fuzz::CheckFacts(facts);
  clip::TsLayout layout;
  const clip::ByteView bytes(data, size);
  if (facts.Recognised() != clip::FindTsLayout(bytes, layout)) std::abort();
  if (file.bytesRead > clip::kTsHeadBytes + clip::kTsTailBytes) std::abort();
  (void)clip::SniffContainer(bytes);

  clip::VideoStreamInfo video;
  clip::ReadMpegVideoSequence(bytes, video);
  clip::ReadAvcSequence(bytes, video);
  clip::ReadHevcSequence(bytes, video);
  clip::ReadAvcSpsNal(bytes, video);
  clip::ReadHevcSpsNal(bytes, video);
  clip::ReadHevcVpsNal(bytes, video);
  if (video.width < 0 || video.height < 0 || !(video.framesPerSecond >= 0)) std::abort();
  clip::AudioStreamInfo audio;
  clip::ReadMpegAudioFrame(bytes, audio);
  clip::ReadAc3Frame(bytes, audio);
  clip::ReadDtsFrame(bytes, audio);
  clip::ReadAdtsFrames(bytes, audio);
  clip::ReadAacConfig(bytes, audio);
  clip::ReadTrueHdSync(bytes, audio);
  return 0;
}
