// Values read from the settings file at start-up and kept for the run.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "catalogue/categories.h"
#include "settings/window_state.h"

namespace clip {

class Profile;

constexpr const char* kIniFileName = "dodedaru.ini";
constexpr const char* kDefaultTitle = "Clipledger";
constexpr const char* kDefaultFontFace = "ＭＳ Ｐゴシック";
// The title of the folder browser of the scan command and the Customize
// dialog.
constexpr const char* kScanFolderTitle = "ｽｷｬﾝするﾄﾞﾗｲﾌﾞ･ﾌｫﾙﾀﾞ";

struct Settings {
  std::string programFolder;  // folder of the program file, no trailing "\"
  std::string iniPath;        // programFolder + "\dodedaru.ini"
  std::string autoScanFolder = "C:\\";
  std::string mainFontFace = kDefaultFontFace;
  std::string listFontFace = kDefaultFontFace;
  std::string mainFontSize = "12";
  std::string listFontSize = "12";
  std::string loadDir;
  std::string saveDir;
  int listClear = 0;
  int sizeInfo = 0;
  int modernFormats = 1;  // 1: a scan adds today's containers (MP4, MKV, ...) too
  int listUtf8 = 0;       // 1: CSV and text lists are saved as UTF-8 with a mark
  // Files a scan reads at once; 0: as many as the disk suits (more on a
  // network share than on a local disk).
  unsigned scanThreads = 0;
  std::string title = kDefaultTitle;
  // The [Customize] category values (index 1 on; default 1 for the classic
  // categories, 0 for the track ones). The
  // columns are fixed for the run: the Customize dialog changes them for
  // the next start.
  std::array<int, kCategoryCount> categoryValues{};
  // The list's text and background colours and the main colour (0x00BBGGRR).
  std::uint32_t mainColor = 0, listFore = 0, listBack = 0xffffff;
  WindowState window;
};

// The folder of the program file, from the process command line: the text
// after the first double quote up to the last backslash before the closing
// quote. A command line that does not start with a quote is taken up to
// its first space.
std::string ProgramFolderFromCommandLine(std::string_view commandLine);

// Reads every value the program starts with.
void LoadSettings(Profile& profile, Settings& settings);

// "%s - <NewFile.csv>" and the other caption forms; titles of any length.
std::string NewFileCaption(std::string_view title);
std::string ListFileCaption(std::string_view title, std::string_view fileName, bool appendOnly);

}  // namespace clip
