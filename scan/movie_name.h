// What a movie file's name tells: whether a scan takes the file, and how
// bytes of no known container are read by the name.
#pragma once

#include <string_view>

namespace clip {

// The names scans always took: the last three characters "AVI" or "MPG"
// without their point (MOVIEAVI is a movie), or ".RM" with it (xrm is not),
// in any case.
bool HasClassicMovieEnding(std::string_view path);

// The endings of today's containers after the last point (mp4 m4v mov 3gp
// mkv webm wmv asf flv ts m2ts mts mpeg vob divx), in any case.
bool HasModernMovieEnding(std::string_view path);

// A path ending in "i" or "I" is an AVI file; else one whose last three
// characters are "MPG" in any case is an MPEG file; anything else is taken
// for RealMedia. Only the classic names are read this way.
enum class MovieKind { Avi, Mpeg, RealMedia };
MovieKind KindOfMoviePath(std::string_view path);

}  // namespace clip
