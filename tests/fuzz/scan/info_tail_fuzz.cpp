// Arbitrary bytes as the end of a movie file: the INFO tail scan.
#include <cstdint>
#include <cstdlib>

#include "base/cp932.h"
#include "memory_file.h"
#include "scan/probe.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  clip::MemoryMovieFile file(data, size);
  clip::InfoTail tail = clip::ScanInfoTail(file);
  for (const std::string* s : {&tail.title, &tail.creator, &tail.comment})
    if (clip::Cp932Length(*s) > 255) std::abort();  // a cell's limit, in code page 932
  if (file.bytesRead > clip::kInfoTailBytes) std::abort();
  return 0;
}
