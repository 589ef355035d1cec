// Arbitrary bytes as an FLV file: the tag walk, AMF script data and the
// codec headers of the first tags.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "fuzz_facts.h"
#include "memory_file.h"
#include "scan/container_kind.h"
#include "scan/flv_probe.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  clip::MemoryMovieFile file(data, size);
  clip::MovieFacts facts = clip::ProbeFlv(file);
  clip::fuzz::CheckFacts(facts);
  // The sniffer needs the signature, the parser the whole 9-byte header.
  const bool signature = size >= 4 && std::memcmp(data, "FLV\x01", 4) == 0;
  if (facts.Recognised() != (signature && size >= 9)) std::abort();
  if (signature != (clip::SniffContainer(clip::ByteView(data, size)) == clip::ContainerKind::Flv))
    std::abort();
  // The head, then at most the last tag's size and header.
  if (file.bytesRead > clip::kFlvHeadBytes + 4 + 11) std::abort();
  return 0;
}
