// Arbitrary bytes as an MPEG program stream: pack headers of both layers,
// PES headers of both forms, private stream sub-streams and the resync.
#include <cstdint>
#include <cstdlib>

#include "fuzz_facts.h"
#include "memory_file.h"
#include "scan/container_kind.h"
#include "scan/ps_probe.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  clip::MemoryMovieFile file(data, size);
  clip::MovieFacts facts = clip::ProbeMpegProgram(file);
  clip::fuzz::CheckFacts(facts);
  const bool pack = size >= 4 && data[0] == 0 && data[1] == 0 && data[2] == 1 && data[3] == 0xBA;
  if (facts.Recognised() && !pack) std::abort();
  if (facts.Recognised() &&
      clip::SniffContainer(clip::ByteView(data, size)) != clip::ContainerKind::MpegProgram)
    std::abort();
  if (file.bytesRead > clip::kPsHeadBytes + clip::kPsTailBytes) std::abort();
  return 0;
}
