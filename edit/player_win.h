// Playing a row's movie.
#pragma once

#include <windows.h>

#include <string>

namespace clip {

// Opens folder + "\" + name in the registered AVI player, or through the
// movie's own file type when there is none or it cannot be started. A name
// that is not a movie file's (CheckPlayable; modernFormats as the
// ModernFormats setting) gives a box that names it and starts nothing; a
// folder that names no drive or share, or a file that is not there, gives
// the missing-file box.
void PlayMovie(HWND owner, const std::string& folder, const std::string& name, bool modernFormats);

}  // namespace clip
