// RealMedia files (.rm, .rmvb): the header chunks before the data (.RMF,
// PROP, MDPR, CONT), all numbers big-endian.
#pragma once

#include <cstddef>

#include "scan/movie_facts.h"
#include "scan/movie_file.h"

namespace clip {

// The header chunks are read through a window of this many bytes, with at
// most kRmMaxReads reads of the file; one chunk's body is read up to
// kRmMaxChunkRead bytes (a CONT chunk's four texts of up to 64 KiB each).
constexpr std::size_t kRmWindow = 64 * 1024;
constexpr int kRmMaxReads = 4;
constexpr std::size_t kRmMaxChunkRead = 10 + 4 * (2 + 0xFFFF);

// Walks the chunks from the start of the file to the first DATA chunk and
// takes the play time (the longer of PROP's and the streams'), the first video
// stream's codec, size and frame rate, the first audio stream's codec,
// sample rate and bit rate, and the title, author, copyright and comment.
// Texts are UTF-8 when their bytes are valid UTF-8, else code page 932.
// Recognised when the file starts with ".RMF". The outcome is Truncated
// when the file ends before the DATA chunk or inside a header chunk,
// Malformed for a chunk size or field length that cannot be, BudgetSpent
// when the reads run out before DATA, Unsupported for a header or audio
// header of a version not known.
MovieFacts ProbeRealMedia(MovieFile& file);

}  // namespace clip
