// Arbitrary bytes as an MPEG file: the sequence header search.
#include <cstdint>
#include <cstdlib>

#include "fuzz_codecs.h"
#include "memory_file.h"
#include "scan/mpeg_probe.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  clip::MemoryMovieFile file(data, size);
  clip::fuzz::InputCodecs codecs(data, size);
  const clip::ProbeFields fields = clip::ProbeMovie("C:\\movies\\FUZZ.MPG", &file, codecs);
  clip::fuzz::CheckFields(fields);
  if (fields.videoFormat != "MPEG1" || fields.audioFormat != "MP2") std::abort();
  if (file.bytesRead > clip::kMpegSearchBytes + 4) std::abort();
  return 0;
}
