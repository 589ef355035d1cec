// Arbitrary bytes as a RealMedia file: the chunk walk, the stream headers
// and texts, and the row's cells made of them.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "fuzz_codecs.h"
#include "fuzz_facts.h"
#include "memory_file.h"
#include "scan/container_kind.h"
#include "scan/probe.h"
#include "scan/rm_probe.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  clip::MemoryMovieFile file(data, size);
  const clip::MovieFacts facts = clip::ProbeRealMedia(file);
  clip::fuzz::CheckFacts(facts);
  const bool signature = size >= 4 && std::memcmp(data, ".RMF", 4) == 0;
  if (facts.Recognised() != signature) std::abort();
  if (signature !=
      (clip::SniffContainer(clip::ByteView(data, size)) == clip::ContainerKind::RealMedia))
    std::abort();
  // The window, then at most the other reads, each of a window or a chunk.
  if (file.reads > clip::kRmMaxReads ||
      file.bytesRead > clip::kRmWindow + (clip::kRmMaxReads - 1) * clip::kRmMaxChunkRead)
    std::abort();

  clip::MemoryMovieFile again(data, size);
  clip::fuzz::InputCodecs codecs(data, size);
  const clip::ProbeFields fields = clip::ProbeMovie("C:\\movies\\fuzz.rm", &again, codecs);
  clip::fuzz::CheckFields(fields);
  // Without a stream the row keeps the fixed names; with one it names it.
  if (signature && (fields.videoFormat.empty() && fields.audioFormat.empty())) std::abort();
  return 0;
}
