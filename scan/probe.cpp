// Placeholder until the probes land: fixed names by kind only.
#include "scan/probe.h"

namespace clip {

InfoTail ScanInfoTail(MovieFile&) { return {}; }

void ProbeMovie(std::string_view, MovieFile*, CodecNames&, ProbeFields& fields, std::int32_t& playSeconds) {
  fields = ProbeFields{};
  playSeconds = 0;
}

}  // namespace clip
