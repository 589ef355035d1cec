// Arbitrary bytes as an ASF file: the header object and its children.
#include <cstdint>
#include <cstdlib>

#include "fuzz_facts.h"
#include "memory_file.h"
#include "scan/asf_probe.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  clip::MemoryMovieFile file(data, size);
  clip::fuzz::CheckFacts(clip::ProbeAsf(file));
  // The first read, and one more for a header larger than it or for the
  // data packets after it.
  if (file.reads > 2) std::abort();
  return 0;
}
