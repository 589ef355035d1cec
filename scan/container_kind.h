// Which container a movie file is, told from its first bytes (never from
// its name), so that each file goes to the parser that can read it.
#pragma once

#include <cstddef>

#include "scan/byte_reader.h"

namespace clip {

enum class ContainerKind {
  Unknown,
  Avi,            // RIFF....AVI
  MpegProgram,    // pack header 00 00 01 BA
  MpegVideo,      // an elementary stream starting with a sequence header 00 00 01 B3
  IsoMedia,       // an ftyp or moov box first, or after free/skip/wide/mdat boxes
  Matroska,       // EBML magic 1A 45 DF A3
  Asf,            // the header object's GUID
  Flv,            // "FLV" and version 1
  MpegTransport,  // a sync byte every 188 (192, 204) bytes over several packets
  RealMedia,      // ".RMF"
};

// The caller passes the file's first bytes: kSniffHeadBytes tell every kind
// apart; an ISO media file whose leading free or mdat boxes are longer is
// told only when its ftyp or moov box starts within head. head may be
// shorter (a small file).
constexpr std::size_t kSniffHeadBytes = 2048;
ContainerKind SniffContainer(ByteView head);

// A short English name of the kind, for messages and tests.
const char* ContainerName(ContainerKind kind);

}  // namespace clip
