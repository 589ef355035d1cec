#include "settings/customize.h"

#include <algorithm>

#include "base/cp932.h"
#include "base/text.h"
#include "res/dialogs_res.h"

namespace clip {

const std::array<CustomizeBox, kCustomizeBoxCount> kCustomizeBoxes = {{
    {IDC_CUST_SIZEBT, "FileSizeBT"},
    {IDC_CUST_SIZEKB, "FileSizeKB"},
    {IDC_CUST_SIZEMB, "FileSizeMB"},
    {IDC_CUST_TITLE, "MovieTitle"},
    {IDC_CUST_MOVEINFO, "MoveInfo"},
    {IDC_CUST_AUDIOINFO, "AudioInfo"},
    {IDC_CUST_VIDEORATE, "VideoRate"},
    {IDC_CUST_AUDIORATE, "AudioRate"},
    {IDC_CUST_FLAMERATE, "FlameRate"},
    {IDC_CUST_RESOLUSION, "Resolusion"},
    {IDC_CUST_PLAYTIME, "PlayTime"},
    {IDC_CUST_CREATER, "Creater"},
    {IDC_CUST_JANLE, "Janle"},
    {IDC_CUST_COMMENT, "Comment"},
    {IDC_CUST_DIRPATH, "DirPath"},
    {IDC_CUST_VOLLABEL, "VolLabel"},
    {IDC_CUST_LISTCLEAR, "ListClear"},
    {IDC_CUST_SIZEINFO, "SizeInfo"},
    // Later switches, written after the others; a file without them keeps
    // today's files in the scan and code page 932 lists.
    {IDC_CUST_MODERN, "ModernFormats", 1},
    {IDC_CUST_LISTUTF8, "ListUtf8"},
    // The track columns.
    {IDC_CUST_AUDIOTRACKS, "AudioTracks", 0, true},
    {IDC_CUST_SUBTITLES, "Subtitles", 0, true},
    {IDC_CUST_CHANNELS, "Channels", 0, true},
    {IDC_CUST_VIDEOBITS, "VideoBits", 0, true},
    {IDC_CUST_CHAPTERS, "Chapters", 0, true},
    {IDC_CUST_STATUS, "Status", 0, true},
}};

namespace {

constexpr const char* kCustomize = "Customize";
constexpr const char* kFonts = "WindowFonts";

int BoxIndex(int id) {
  for (int i = 0; i < kCustomizeBoxCount; ++i)
    if (kCustomizeBoxes[static_cast<std::size_t>(i)].id == id) return i;
  return -1;
}

}  // namespace

CustomizeState LoadCustomizeState(Profile& p, const Settings& settings) {
  CustomizeState s;
  for (std::size_t i = 0; i < kCustomizeBoxes.size(); ++i) {
    s.boxes[i] = p.GetInt(kCustomize, kCustomizeBoxes[i].key, kCustomizeBoxes[i].missing) == 1;
    s.inFile[i] = !p.GetString(kCustomize, kCustomizeBoxes[i].key, "", 16).empty();
  }
  s.autoScan = settings.autoScanFolder;
  s.mainFace = settings.mainFontFace;
  s.listFace = settings.listFontFace;
  s.mainSize = settings.mainFontSize;
  s.listSize = settings.listFontSize;
  s.mainColor = ParseColorText(p.GetString(kCustomize, "MainColor", "0", 128));
  s.listFore = ParseColorText(p.GetString(kCustomize, "ListFoColor", "0", 128));
  s.listBack = ParseColorText(p.GetString(kCustomize, "ListBkColor", "0xffffff", 128));
  return s;
}

void ResetCustomizeBoxes(CustomizeState& s) {
  s.boxes.fill(false);
  for (int id : {IDC_CUST_SIZEKB, IDC_CUST_TITLE, IDC_CUST_RESOLUSION, IDC_CUST_PLAYTIME,
                 IDC_CUST_DIRPATH, IDC_CUST_SIZEINFO, IDC_CUST_MODERN})
    s.boxes[static_cast<std::size_t>(BoxIndex(id))] = true;
  s.mainSize = "12";
  s.listSize = "12";
}

void SaveCustomizeState(Profile& p, Settings& settings, const CustomizeState& s) {
  for (std::size_t i = 0; i < kCustomizeBoxes.size(); ++i) {
    if (kCustomizeBoxes[i].writtenWhenSet && !s.boxes[i] && !s.inFile[i]) continue;
    p.WriteString(kCustomize, kCustomizeBoxes[i].key, s.boxes[i] ? "1" : "0");
  }
  settings.listClear = s.boxes[static_cast<std::size_t>(BoxIndex(IDC_CUST_LISTCLEAR))] ? 1 : 0;
  settings.sizeInfo = s.boxes[static_cast<std::size_t>(BoxIndex(IDC_CUST_SIZEINFO))] ? 1 : 0;
  settings.modernFormats = s.boxes[static_cast<std::size_t>(BoxIndex(IDC_CUST_MODERN))] ? 1 : 0;
  settings.listUtf8 = s.boxes[static_cast<std::size_t>(BoxIndex(IDC_CUST_LISTUTF8))] ? 1 : 0;

  settings.autoScanFolder = CutCp932(s.autoScan, 255);
  p.WriteString(kCustomize, "AutoScan", settings.autoScanFolder);

  settings.mainFontSize = CutCp932(s.mainSize, 3);
  settings.listFontSize = CutCp932(s.listSize, 3);
  p.WriteString(kFonts, "MainFontSize", settings.mainFontSize);
  p.WriteString(kFonts, "ListFontSize", settings.listFontSize);

  // A box without a selection keeps the face it had, so the file always
  // names a face.
  if (!s.mainFace.empty()) settings.mainFontFace = CutCp932(s.mainFace, 31);
  if (!s.listFace.empty()) settings.listFontFace = CutCp932(s.listFace, 31);
  p.WriteString(kFonts, "MainFontType", settings.mainFontFace);
  p.WriteString(kFonts, "ListFontType", settings.listFontFace);
  p.WriteString(kFonts, "EditFontType", "");

  p.WriteString(kCustomize, "MainColor", ColorText(s.mainColor));
  p.WriteString(kCustomize, "ListFoColor", ColorText(s.listFore));
  p.WriteString(kCustomize, "ListBkColor", ColorText(s.listBack));
}

std::vector<std::string> JapaneseFaces(const std::vector<FontFamily>& families) {
  std::vector<std::string> faces;
  for (const FontFamily& f : families) {
    if (f.charset != kShiftJisCharset || f.face.empty() || f.face[0] == '@') continue;
    if (std::find(faces.begin(), faces.end(), f.face) != faces.end()) continue;
    faces.push_back(f.face);
  }
  return faces;
}

int FaceIndex(const std::vector<std::string>& faces, const std::string& face) {
  for (int i = static_cast<int>(faces.size()) - 1; i >= 0; --i)
    if (faces[static_cast<std::size_t>(i)] == face) return i;
  return -1;
}

}  // namespace clip
