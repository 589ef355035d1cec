// Opening a row's movie in the registered AVI player.
#pragma once

#include <string>
#include <string_view>

namespace clip {

// The player program of a registered open command: the quoted path when the
// command starts with a double quote, else the text up to and including the
// first ".exe" (any case), else the text up to the first space. Empty when
// the command names no program.
std::string PlayerFromCommand(std::string_view command);

// folder + "\" + file name.
std::string MoviePath(std::string_view folder, std::string_view fileName);

// Whether a row may be played. A list from others may name programs,
// scripts or shortcuts, which the shell would run: only a plain file name
// with one of the endings a scan catalogues (today's containers only when
// modernFormats, the ModernFormats setting, lets the scan find them) is
// ever played, and only in a folder that names its drive or share.
enum class PlayCheck { Playable, NotMovie, NoFullFolder };
PlayCheck CheckPlayable(std::string_view folder, std::string_view fileName, bool modernFormats);

// The file type whose open command opens a movie of this name: ".avi",
// ".mpg" or ".rm" for the names the AVI player plays (also when no point
// stands before the ending, as in "MOVIEAVI"), else the point and the
// ending of today's container in lower case. Empty for other names.
std::string MovieFileType(std::string_view fileName);

// What to ask the shell for: open file with parameters in directory. With
// no player, a registered program that would run the movie as code
// (rundll32, a script host, an installer), or for a file of today's
// containers (not an AVI, MPG or RM name), the movie itself is opened
// through the open command of fileType, the type its ending catalogues it
// as, whatever else the shell would make of its name.
struct PlayLaunch {
  std::string file;
  std::string parameters;  // the movie path in double quotes, or empty
  std::string directory;
  std::string fileType;  // with the movie itself as file
};
PlayLaunch PlanPlayback(std::string_view registeredCommand, std::string_view folder,
                        std::string_view fileName);

constexpr const char* kPlayMissingCaption = "再生失敗";
constexpr const char* kPlayMissingText = "再生するﾌｧｲﾙが見つかりません\n再生は失敗しました";
// The box for a row that is not a movie file; it names the file.
std::string NotMovieText(std::string_view path);

}  // namespace clip
