// The program's name and version as the About box and the command line
// show them.
#pragma once

#include <string>
#include <string_view>

namespace clip {

// The version box: "%s Version 0.98t", an empty line and one more line.
std::string VersionText(std::string_view title);

}  // namespace clip
