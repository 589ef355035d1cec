#include "settings/settings.h"

#include "settings/profile.h"

namespace clip {

std::string ProgramFolderFromCommandLine(std::string_view commandLine) {
  std::string_view path;
  if (!commandLine.empty() && commandLine[0] == '"') {
    // The closing quote is looked for from the path's second character.
    std::size_t close = commandLine.find('"', 2);
    path =
        commandLine.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1);
  } else {
    std::size_t space = commandLine.find(' ');
    path = commandLine.substr(0, space);
  }
  std::size_t slash = path.find_last_of('\\');
  if (slash == std::string_view::npos) return ".";
  return std::string(path.substr(0, slash));
}

void LoadSettings(Profile& p, Settings& s) {
  s.iniPath = s.programFolder + "\\" + kIniFileName;
  s.autoScanFolder = p.GetString("Customize", "AutoScan", "C:\\", 256);
  s.mainFontFace = p.GetString("WindowFonts", "MainFontType", kDefaultFontFace, 32);
  s.listFontFace = p.GetString("WindowFonts", "ListFontType", kDefaultFontFace, 32);
  s.mainFontSize = p.GetString("WindowFonts", "MainFontSize", "12", 4);
  s.listFontSize = p.GetString("WindowFonts", "ListFontSize", "12", 4);
  s.loadDir = p.GetString("MainSeting", "LoadPath", "", 128);
  s.saveDir = p.GetString("MainSeting", "SavePath", "", 128);
  s.listClear = p.GetInt("Customize", "ListClear", 0);
  s.sizeInfo = p.GetInt("Customize", "SizeInfo", 0);
  s.modernFormats = p.GetInt("Customize", "ModernFormats", 1);
  s.listUtf8 = p.GetInt("Customize", "ListUtf8", 0);
  // Read only: a settings file without it stays as it is. A value outside
  // 0..32 (a negative one, a typing slip) means the automatic count.
  const int threads = p.GetInt("Customize", "ScanThreads", 0);
  s.scanThreads = threads >= 0 && threads <= 32 ? static_cast<unsigned>(threads) : 0;
  s.title = p.GetString("MainSeting", "mvTitle", kDefaultTitle, 128);
  s.categoryValues = CategoryTable::DefaultValues();
  for (int k = 1; k < kCategoryCount; ++k)
    s.categoryValues[static_cast<std::size_t>(k)] = p.GetInt(
        "Customize", kCategories[static_cast<std::size_t>(k)].key, DefaultCategoryValue(k));
  s.mainColor = ParseColorText(p.GetString("Customize", "MainColor", "0", 32));
  s.listFore = ParseColorText(p.GetString("Customize", "ListFoColor", "0", 32));
  s.listBack = ParseColorText(p.GetString("Customize", "ListBkColor", "0xffffff", 32));
  s.window = LoadWindowState(p);
}

std::string NewFileCaption(std::string_view title) {
  return std::string(title) + " - <NewFile.csv>";
}

std::string ListFileCaption(std::string_view title, std::string_view fileName, bool appendOnly) {
  std::string c = std::string(title) + " - <" + std::string(fileName) + ">";
  if (appendOnly) c += " Append Only!";
  return c;
}

}  // namespace clip
