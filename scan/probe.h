// The tail scan and the video and audio probes of one open movie file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "scan/movie_facts.h"
#include "scan/movie_file.h"
#include "scan/movie_name.h"
#include "scan/probe_fields.h"

namespace clip {

// Title (ISBJ), creator (ICOP) and comment (ICMT) found in the last 1024
// bytes of a file (the whole file when it is shorter); a later entry
// replaces an earlier one.
struct InfoTail {
  std::string title, creator, comment;
};
InfoTail ScanInfoTail(MovieFile& file);

// The tail scan looks at this many bytes at the end of a file.
constexpr std::size_t kInfoTailBytes = 1024;

// The first read of a file: it tells the container and serves the head
// reads of the AVI parser and the MPEG sequence search.
constexpr std::size_t kProbeHeadBytes = 64 * 1024 + 4;

// Reads the fields of one movie file. Its first bytes tell the container
// and so the parser; bytes of no known container are read by the file's
// name as the AVI, MPG and RM names always were (any other name gets no
// fields). file is the already open file (null when it could not be opened:
// then the fields that need its bytes are empty).
//
// The outcome is the parser's; NotThis when no parser knew the bytes (or
// there was no file to read) and Unsupported for RealMedia, whose files
// get fixed names only.
ProbeFields ProbeMovie(std::string_view path, MovieFile* file, CodecNames& codecs);

// The cells of a row for what a container parser found, in the forms the
// AVI rows use; fileSize gives the video rate.
ProbeFields FieldsFromFacts(const MovieFacts& facts, std::uint64_t fileSize);

}  // namespace clip
