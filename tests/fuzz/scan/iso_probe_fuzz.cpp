// Arbitrary bytes as an ISO base media file: the top-level walk, moov, fragments and tags.
#include <cstdint>
#include <cstdlib>

#include "fuzz_facts.h"
#include "memory_file.h"
#include "scan/iso_probe.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  clip::MemoryMovieFile file(data, size);
  clip::fuzz::CheckFacts(clip::ProbeIsoMedia(file));
  // Every read goes through the parser's read budget.
  if (file.reads > clip::kIsoMaxReads) std::abort();
  return 0;
}
