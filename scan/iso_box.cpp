#include "scan/iso_box.h"

namespace clip {

IsoBoxRead ReadIsoBoxHeader(ByteView bytes, std::uint64_t room, IsoBoxHeader& box) {
  if (!bytes.Has(0, 8)) return IsoBoxRead::Short;
  box.type = bytes.U32BE(4);
  box.size = bytes.U32BE(0);
  box.headerSize = 8;
  if (box.size == 1) {
    if (!bytes.Has(8, 8)) return IsoBoxRead::Short;
    box.size = bytes.U64BE(8);
    box.headerSize = 16;
  } else if (box.size == 0) {
    box.size = room;
  }
  if (box.size < box.headerSize) return IsoBoxRead::Small;
  return box.size > room ? IsoBoxRead::Long : IsoBoxRead::Ok;
}

}  // namespace clip
