// Arbitrary bytes as an Matroska file: the EBML walk, SeekHead jumps, Info, Tracks and Tags.
#include <cstdint>
#include <cstdlib>

#include "fuzz_facts.h"
#include "memory_file.h"
#include "scan/matroska_probe.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  clip::MemoryMovieFile file(data, size);
  clip::fuzz::CheckFacts(clip::ProbeMatroska(file));
  // Every read goes through the parser's read budget.
  if (file.reads > clip::kMatroskaMaxReads) std::abort();
  return 0;
}
