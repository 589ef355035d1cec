// Arbitrary bytes named .MPG: the parser the bytes choose, or the sequence
// header search of .mpg files.
#include <cstdint>
#include <cstdlib>

#include "fuzz_codecs.h"
#include "memory_file.h"
#include "scan/container_kind.h"
#include "scan/mpeg_probe.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  clip::MemoryMovieFile file(data, size);
  clip::fuzz::InputCodecs codecs(data, size);
  const clip::ProbeFields fields = clip::ProbeMovie("C:\\movies\\FUZZ.MPG", &file, codecs);
  clip::fuzz::CheckFields(fields);
  // Bytes of no container, or a bare video stream, keep the names .mpg
  // files always had, read from the first 64 KB alone.
  const clip::ContainerKind kind = clip::SniffContainer(
      clip::ByteView(data, size < clip::kSniffHeadBytes ? size : clip::kSniffHeadBytes));
  if (kind != clip::ContainerKind::Unknown && kind != clip::ContainerKind::MpegVideo) return 0;
  if (fields.videoFormat != "MPEG1" || fields.audioFormat != "MP2") std::abort();
  if (file.bytesRead > clip::kMpegHeadBytes + 4) std::abort();
  return 0;
}
