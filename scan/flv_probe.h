// FLV files: the header, the onMetaData script tag and the headers of the
// first audio and video tags.
#pragma once

#include <cstddef>
#include <string>

#include "scan/byte_reader.h"
#include "scan/movie_facts.h"
#include "scan/movie_file.h"

namespace clip {

// Tags are looked for in the file's first bytes, up to this many.
constexpr std::size_t kFlvHeadBytes = 64 * 1024;

// Takes what onMetaData declares (duration, size, frame rate, codec ids,
// audio sample rate and data rate, title, artist, genre, comment) and, for
// what it lacks, the first audio and video tags. Without a duration the play
// time is the time stamp of the last tag, read from the end of the file;
// without a frame rate there or in the video's header, the rate is measured
// from the time stamps of the picture tags in the head.
//
// NotThis without the signature and version 1; Truncated when a tag runs
// past the end of the file, the file ends inside a tag header, the end holds
// no whole last tag, or the file is shorter than the size the metadata
// gives; Malformed when the data offset points inside the
// header or a tag is of no known type; BudgetSpent when the tags the header
// promises lie past the head; Unsupported when audio or video tags are
// encrypted.
MovieFacts ProbeFlv(MovieFile& file);

}  // namespace clip
