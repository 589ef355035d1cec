// Names of the installed video and audio codecs.
#pragma once

#include <windows.h>

#include <string>

#include "scan/scan.h"

namespace clip {

class Win32CodecNames : public CodecNames {
 public:
  std::string VideoDescription(std::uint32_t handler) override;
  std::string AudioFormatName(std::uint16_t formatTag) override;
};

}  // namespace clip
