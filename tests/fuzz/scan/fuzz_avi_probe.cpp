// Arbitrary bytes as an AVI file: the header walk, both probes and the
// field texts.
#include <cstdint>
#include <cstdlib>

#include "fuzz_codecs.h"
#include "scan/avi_probe.h"
#include "memory_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  clip::MemoryMovieFile file(data, size);
  clip::fuzz::InputCodecs codecs(data, size);
  const clip::ProbeFields fields = clip::ProbeMovie("C:\\movies\\fuzz.avi", &file, codecs);
  clip::fuzz::CheckFields(fields);
  // The header list is read in at most a few pieces.
  if (file.bytesRead > clip::kAviFirstRead + clip::kAviMaxHeaderList + 64 * 12) std::abort();
  return 0;
}
