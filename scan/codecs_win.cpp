// Names from the installed video codecs and the audio compression manager.
#include <windows.h>
#include <mmreg.h>
#include <msacm.h>
#include <vfw.h>

#include <cstring>

#include "base/wide_win.h"
#include "scan/codecs_win.h"

namespace clip {

std::string Win32CodecNames::VideoDescription(std::uint32_t handler) {
  // Codes 0 to 3 are the bitmap compressions of uncompressed and RLE frames,
  // not codec names: asked for them, the codec manager answers with the
  // first codec it finds, which says nothing about this stream.
  if (handler < 4) return "";
  HIC codec = ICOpen(ICTYPE_VIDEO, handler, ICMODE_QUERY);
  if (!codec) return "";
  std::string description;
  ICINFO info;
  std::memset(&info, 0, sizeof info);
  info.dwSize = sizeof info;
  if (ICGetInfo(codec, &info, sizeof info) > 0) {
    // The description is a wide text of at most 128 characters.
    info.szDescription[sizeof info.szDescription / sizeof info.szDescription[0] - 1] = L'\0';
    description = Narrow(info.szDescription);
  }
  ICClose(codec);
  return description;
}

std::string Win32CodecNames::AudioFormatName(std::uint16_t formatTag) {
  ACMFORMATTAGDETAILSW details;
  std::memset(&details, 0, sizeof details);
  details.cbStruct = sizeof details;
  details.dwFormatTag = formatTag;
  if (acmFormatTagDetailsW(nullptr, &details, ACM_FORMATTAGDETAILSF_FORMATTAG) != 0) return "";
  details.szFormatTag[sizeof details.szFormatTag / sizeof details.szFormatTag[0] - 1] = L'\0';
  return Narrow(details.szFormatTag);
}

}  // namespace clip
