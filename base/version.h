// The program's name and version as the About box and the command line
// show them.
#pragma once

#include <string>
#include <string_view>

namespace clip {

// The version number, the one place it is written: the About box, the
// command line's --version, the man page and the release files' names all
// take it from here (CMakeLists.txt reads this line).
inline constexpr std::string_view kVersionNumber = "0.98t";

// The version box: "%s Version 0.98t", an empty line and one more line.
std::string VersionText(std::string_view title);

}  // namespace clip
