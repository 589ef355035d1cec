// A stand-in movie player for the playback tests: it writes its command
// line, its arguments as the C run-time splits them and its working folder
// into the file named by CLIP_PLAYER_LOG, then exits.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
  char log[MAX_PATH] = {};
  if (!GetEnvironmentVariableA("CLIP_PLAYER_LOG", log, sizeof log)) return 1;
  char folder[MAX_PATH] = {};
  GetCurrentDirectoryA(sizeof folder, folder);
  std::string text = std::string("cmdline=") + GetCommandLineA() + "\n";
  text += "argc=" + std::to_string(argc) + "\n";
  for (int i = 1; i < argc; ++i) text += "arg=" + std::string(argv[i]) + "\n";
  text += std::string("cwd=") + folder + "\n";
  // Written under another name and renamed, so a reader never sees half.
  const std::string part = std::string(log) + ".part";
  FILE* f = std::fopen(part.c_str(), "wb");
  if (!f) return 1;
  std::fwrite(text.data(), 1, text.size(), f);
  std::fclose(f);
  MoveFileExA(part.c_str(), log, MOVEFILE_REPLACE_EXISTING);
  return 0;
}
