// The two movie-file commands: writing the INFO data of the checked rows,
// and playing the selected row's movie.
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "app/app_win.h"
#include "app/dialogs_win.h"
#include "edit/edit.h"
#include "edit/info_list.h"
#include "edit/player.h"

namespace clip {

void RunWriteInfoCommand(HWND owner) {
  if (MessageBoxA(owner, kInfoConfirmText, kInfoConfirmCaption, MB_ICONINFORMATION | MB_OKCANCEL) !=
      IDOK)
    return;
  AppState& app = App();
  const std::vector<InfoWriteProblem> problems = WriteCheckedInfo(app.rows, app.table);
  // A run where every file was written stays silent; otherwise one box
  // names the files that were left alone and why.
  if (!problems.empty())
    MessageBoxA(owner, InfoProblemsText(problems).c_str(), kInfoProblemsCaption,
                MB_ICONWARNING | MB_OK);
}

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

void PlaySelectedMovie(HWND owner) {
  AppState& app = App();
  const int row = FirstSelectedRow();
  if (row < 0 || row >= app.rows.Count()) return;
  const std::string command = RegisteredAviCommand();
  // Without the folder category the movie's folder is not known.
  const std::string folder =
      app.table.IsOn(DirPath) ? app.rows.Cell(row, app.table.position[DirPath]) : "";
  const std::string name = app.rows.Cell(row, 0);
  if (folder.empty() || !IsFile(MoviePath(folder, name))) {
    MessageBoxA(nullptr, kPlayMissingText, kPlayMissingCaption, MB_ICONWARNING | MB_OK);
    return;
  }
  const PlayLaunch launch = PlanPlayback(command, folder, name);
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
