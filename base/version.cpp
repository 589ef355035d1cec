#include "base/version.h"

namespace clip {

std::string VersionText(std::string_view title) {
  std::string text(title);
  text += " Version ";
  text += kVersionNumber;
  text += "\n\n動画ファイルのカタログを作るソフトウェアです";
  return text;
}

}  // namespace clip
