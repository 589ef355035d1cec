#include "edit/player.h"

#include "base/text.h"
#include "scan/scan.h"

namespace clip {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

// First ".exe" in any case. A point, a quote or a space is never the second
// byte of a double-byte character, so a byte-wise search is safe.
std::size_t FindExe(std::string_view s) {
  for (std::size_t i = 0; i + 4 <= s.size(); ++i) {
    if (s[i] == '.' && Lower(s[i + 1]) == 'e' && Lower(s[i + 2]) == 'x' && Lower(s[i + 3]) == 'e')
      return i;
  }
  return std::string_view::npos;
}

// Programs that take their first argument for code to run (a library's
// entry, a script, an installer): a command such as "rundll32.exe
// amovie.ocx,RunDll /play %1" names no player, and the movie in the place
// of its arguments would be loaded as the library.
bool RunsItsArgument(std::string_view program) {
  const std::size_t sep = program.find_last_of("\\/");
  std::string name(program.substr(sep == std::string_view::npos ? 0 : sep + 1));
  for (char& c : name) c = Lower(c);
  if (name.size() > 4 && name.compare(name.size() - 4, 4, ".exe") == 0)
    name.resize(name.size() - 4);
  for (const char* host : {"rundll32", "regsvr32", "msiexec", "mshta", "cmd", "wscript", "cscript",
                           "powershell", "pwsh"})
    if (name == host) return true;
  return false;
}

}  // namespace

std::string PlayerFromCommand(std::string_view command) {
  std::size_t start = 0;
  while (start < command.size() && IsBlank(command[start])) ++start;
  std::string_view s = command.substr(start);
  if (s.empty()) return {};
  if (s[0] == '"') {
    std::size_t close = s.find('"', 1);
    return std::string(s.substr(1, close == std::string_view::npos ? s.npos : close - 1));
  }
  std::size_t exe = FindExe(s);
  if (exe != std::string_view::npos) return std::string(s.substr(0, exe + 4));
  std::size_t space = s.find_first_of(" \t");
  return std::string(s.substr(0, space));
}

std::string MoviePath(std::string_view folder, std::string_view fileName) {
  std::string path(folder);
  path += '\\';
  path += fileName;
  return path;
}

PlayCheck CheckPlayable(std::string_view folder, std::string_view fileName, bool modernFormats) {
  if (!IsPlainFileName(fileName) || !IsMovieName(fileName, modernFormats))
    return PlayCheck::NotMovie;
  // A folder in which a quote stood would end the quoted argument early.
  if (!IsFullFolderPath(folder) || folder.find('"') != std::string_view::npos)
    return PlayCheck::NoFullFolder;
  return PlayCheck::Playable;
}

std::string MovieFileType(std::string_view fileName) {
  if (EndsWithNoCase(fileName, "AVI")) return ".avi";
  if (EndsWithNoCase(fileName, "MPG")) return ".mpg";
  if (EndsWithNoCase(fileName, ".RM")) return ".rm";
  if (!IsMovieName(fileName, true)) return {};
  std::string type(fileName.substr(fileName.find_last_of('.')));
  for (char& c : type) c = Lower(c);
  return type;
}

std::string NotMovieText(std::string_view path) {
  return "動画ﾌｧｲﾙではないので再生しません\n" + std::string(path);
}

PlayLaunch PlanPlayback(std::string_view registeredCommand, std::string_view folder,
                        std::string_view fileName) {
  PlayLaunch launch;
  const std::string movie = MoviePath(folder, fileName);
  launch.directory = std::string(folder);
  // A file in a drive's root has the folder "D:", which as a working
  // directory would mean the drive's current folder: use its root.
  if (!launch.directory.empty() && launch.directory.back() == ':') launch.directory += '\\';
  // The AVI player plays the names it always did; today's containers open
  // through their own file association.
  if (IsMovieName(fileName, false)) launch.file = PlayerFromCommand(registeredCommand);
  if (RunsItsArgument(launch.file)) launch.file.clear();
  if (launch.file.empty()) {
    launch.file = movie;
    launch.fileType = MovieFileType(fileName);
  } else {
    // Quoted, so a path with spaces stays one argument.
    launch.parameters = "\"" + movie + "\"";
  }
  return launch;
}

}  // namespace clip
