#include "edit/player_win.h"

#include <shellapi.h>

#include <string>
#include <vector>

#include "win/dialog_helpers_win.h"
#include "base/wide_win.h"
#include "edit/player.h"

namespace clip {

namespace {

// The registered open command for AVI files; empty when there is none.
std::wstring RegisteredAviCommand() {
  HKEY key;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, L"AVIFile\\shell\\open\\command", 0, KEY_READ, &key) !=
      ERROR_SUCCESS)
    return {};
  std::wstring value;
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(key, nullptr, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
      (type == REG_SZ || type == REG_EXPAND_SZ) && size > 0) {
    std::vector<wchar_t> buf(size / sizeof(wchar_t) + 2, L'\0');
    if (RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buf.data()),
                         &size) == ERROR_SUCCESS)
      value = buf.data();
  }
  RegCloseKey(key);
  if (type == REG_EXPAND_SZ && !value.empty()) {
    DWORD n = ExpandEnvironmentStringsW(value.c_str(), nullptr, 0);
    std::vector<wchar_t> buf(n + 1, L'\0');
    if (n && ExpandEnvironmentStringsW(value.c_str(), buf.data(), n)) value = buf.data();
  }
  return value;
}

bool IsFile(const std::string& path) {
  DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Launched(HINSTANCE result) { return reinterpret_cast<INT_PTR>(result) > 32; }

HINSTANCE Open(HWND owner, const std::string& file, const std::string& parameters,
               const std::string& directory) {
  const std::wstring wideParameters = Wide(parameters);
  return ShellExecuteW(owner, L"open", Wide(file).c_str(),
                       parameters.empty() ? nullptr : wideParameters.c_str(),
                       Wide(directory).c_str(), SW_SHOWNORMAL);
}

// Opens the movie through the open command of its file type, so that what
// else the shell would make of the name (a program found by adding ".exe"
// to a name without a point, say) never counts.
void OpenAsType(HWND owner, const std::string& movie, const std::string& fileType,
                const std::string& directory) {
  const std::wstring file = Wide(movie), type = Wide(fileType), folder = Wide(directory);
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_CLASSNAME;
  info.hwnd = owner;
  info.lpVerb = L"open";
  info.lpFile = file.c_str();
  info.lpDirectory = folder.c_str();
  info.lpClass = type.c_str();
  info.nShow = SW_SHOWNORMAL;
  ShellExecuteExW(&info);
}

}  // namespace

void PlayMovie(HWND owner, const std::string& folder, const std::string& name, bool modernFormats) {
  const PlayCheck check = CheckPlayable(folder, name, modernFormats);
  if (check == PlayCheck::NotMovie) {
    ShowMessage(nullptr, NotMovieText(folder.empty() ? name : MoviePath(folder, name)),
                kPlayMissingCaption, MB_ICONWARNING | MB_OK);
    return;
  }
  if (check != PlayCheck::Playable || !IsFile(MoviePath(folder, name))) {
    ShowMessage(nullptr, kPlayMissingText, kPlayMissingCaption, MB_ICONWARNING | MB_OK);
    return;
  }
  const PlayLaunch launch = PlanPlayback(Narrow(RegisteredAviCommand()), folder, name);
  if (launch.parameters.empty()) {
    OpenAsType(owner, launch.file, launch.fileType, launch.directory);
    return;
  }
  // A registered player that cannot be started: try the movie's own
  // file type before giving up.
  if (!Launched(Open(owner, launch.file, launch.parameters, launch.directory)))
    OpenAsType(owner, MoviePath(folder, name), MovieFileType(name), launch.directory);
}

}  // namespace clip
