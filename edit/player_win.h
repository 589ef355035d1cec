// Playing a row's movie.
#pragma once

#include <windows.h>

#include <string>

namespace clip {

// Opens folder + "\" + name in the registered AVI player, or through the
// movie's own file association when there is none or it cannot be
// started. A folder that is empty or a file that is not there gives the
// missing-file box instead.
void PlayMovie(HWND owner, const std::string& folder, const std::string& name);

}  // namespace clip
