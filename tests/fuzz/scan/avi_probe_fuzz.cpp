// Arbitrary bytes as a scanned movie file: the container told by its first
// bytes, the parser it names (or the reading by name), and the field texts.
// The last byte picks the file's name, so the fallbacks by name are reached.
#include <cstdint>
#include <cstdlib>

#include "fuzz_codecs.h"
#include "memory_file.h"
#include "scan/avi_probe.h"
#include "scan/container_kind.h"
#include "scan/probe.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const char* const kNames[] = {"C:\\movies\\fuzz.avi", "C:\\movies\\fuzz.mpg",
                                       "C:\\movies\\fuzz.mkv"};
  const char* name = kNames[size ? data[size - 1] % 3 : 0];
  clip::MemoryMovieFile file(data, size);
  clip::fuzz::InputCodecs codecs(data, size);
  const clip::ProbeFields fields = clip::ProbeMovie(name, &file, codecs);
  clip::fuzz::CheckFields(fields);
  // An AVI header list is read in at most a few pieces after the head.
  const clip::ByteView head(data, size < clip::kSniffHeadBytes ? size : clip::kSniffHeadBytes);
  if (clip::SniffContainer(head) == clip::ContainerKind::Avi &&
      file.bytesRead > clip::kAviHeadBytes + 4 + clip::kAviMaxHeaderListBytes + 64 * 12)
    std::abort();
  return 0;
}
