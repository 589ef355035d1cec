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

// What to ask the shell for: open file with parameters in directory. With
// no player, or for a file of today's containers (not an AVI, MPG or RM
// name), the movie itself is opened through its own file association.
struct PlayLaunch {
  std::string file;
  std::string parameters;  // the movie path in double quotes, or empty
  std::string directory;
};
PlayLaunch PlanPlayback(std::string_view registeredCommand, std::string_view folder,
                        std::string_view fileName);

constexpr const char* kPlayMissingCaption = "再生失敗";
constexpr const char* kPlayMissingText = "再生するﾌｧｲﾙが見つかりません\n再生は失敗しました";

}  // namespace clip
