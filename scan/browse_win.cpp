// The folder browser of the scan command and the settings dialog.
#include <windows.h>
#include <shlobj.h>

#include <string>

#include "scan/scan_win.h"

namespace clip {

std::string BrowseScanFolder(HWND owner) {
  char display[MAX_PATH] = {};
  BROWSEINFOA info{};
  info.hwndOwner = owner;
  info.pidlRoot = nullptr;  // the desktop
  info.pszDisplayName = display;
  info.lpszTitle = "ｽｷｬﾝするﾄﾞﾗｲﾌﾞ･ﾌｫﾙﾀﾞ";
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  LPITEMIDLIST item = SHBrowseForFolderA(&info);
  if (!item) return "Err";
  char path[MAX_PATH] = {};
  BOOL ok = SHGetPathFromIDListA(item, path);
  CoTaskMemFree(item);
  // A choice without a file-system path is treated like a cancel.
  if (!ok || path[0] == '\0') return "Err";
  return path;
}

}  // namespace clip
