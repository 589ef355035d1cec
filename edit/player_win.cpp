#include "edit/player_win.h"

#include <shellapi.h>

#include <string>
#include <vector>

#include "edit/player.h"

namespace clip {

namespace {

// The registered open command for AVI files; empty when there is none.
std::string RegisteredAviCommand() {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, "AVIFile\\shell\\open\\command", 0, KEY_READ, &key) !=
      ERROR_SUCCESS)
    return {};
  std::string value;
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(key, nullptr, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
      (type == REG_SZ || type == REG_EXPAND_SZ) && size > 0) {
    std::vector<char> buf(size + 1, '\0');
    if (RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buf.data()),
                         &size) == ERROR_SUCCESS)
      value = buf.data();
  }
  RegCloseKey(key);
  if (type == REG_EXPAND_SZ && !value.empty()) {
    DWORD n = ExpandEnvironmentStringsA(value.c_str(), nullptr, 0);
    std::vector<char> buf(n + 1, '\0');
    if (n && ExpandEnvironmentStringsA(value.c_str(), buf.data(), n)) value = buf.data();
  }
  return value;
}

bool IsFile(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Launched(HINSTANCE result) { return reinterpret_cast<INT_PTR>(result) > 32; }

}  // namespace

void PlayMovie(HWND owner, const std::string& folder, const std::string& name) {
  if (folder.empty() || !IsFile(MoviePath(folder, name))) {
    MessageBoxA(nullptr, kPlayMissingText, kPlayMissingCaption, MB_ICONWARNING | MB_OK);
    return;
  }
  const PlayLaunch launch = PlanPlayback(RegisteredAviCommand(), folder, name);
  const char* parameters = launch.parameters.empty() ? nullptr : launch.parameters.c_str();
  HINSTANCE result = ShellExecuteA(owner, "open", launch.file.c_str(), parameters,
                                   launch.directory.c_str(), SW_SHOWNORMAL);
  // A registered player that cannot be started: try the movie's own
  // file association before giving up.
  if (!Launched(result) && parameters) {
    ShellExecuteA(owner, "open", MoviePath(folder, name).c_str(), nullptr, launch.directory.c_str(),
                  SW_SHOWNORMAL);
  }
}

}  // namespace clip
