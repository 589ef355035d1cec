// Values read from the settings file at start-up and kept for the run.
#pragma once

#include <string>
#include <string_view>

namespace clip {

class Profile;

constexpr const char* kIniFileName = "dodedaru.ini";
constexpr const char* kDefaultTitle = "Clipledger";
constexpr const char* kDefaultFontFace = "ＭＳ Ｐゴシック";

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
  std::string title = kDefaultTitle;
};

// The folder of the program file, from the process command line: the text
// after the first double quote up to the last backslash before the closing
// quote. A command line that does not start with a quote is taken up to
// its first space.
std::string ProgramFolderFromCommandLine(std::string_view commandLine);

// Reads the start-up values in the documented order.
void LoadSettings(Profile& profile, Settings& settings);

// "%s - <NewFile.csv>" and the other caption forms; titles of any length.
std::string NewFileCaption(std::string_view title);
std::string ListFileCaption(std::string_view title, std::string_view fileName, bool appendOnly);

}  // namespace clip
