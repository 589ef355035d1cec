#include <windows.h>

#include <cerrno>
#include <cstdio>

#include "catalogue/wide_win.h"
#include "listfile/file_replace.h"

namespace clip {

namespace {

std::string Win32CauseText(DWORD error) {
  switch (error) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return ErrnoCauseText(ENOSPC);
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return ErrnoCauseText(EACCES);
    case ERROR_PATH_NOT_FOUND:
    case ERROR_FILE_NOT_FOUND:
    case ERROR_INVALID_DRIVE: return ErrnoCauseText(ENOENT);
    case ERROR_FILENAME_EXCED_RANGE: return ErrnoCauseText(ENAMETOOLONG);
    default: {
      char text[64];
      std::snprintf(text, sizeof text, "Windows ｴﾗｰ %lu", static_cast<unsigned long>(error));
      return text;
    }
  }
}

}  // namespace

long long FileEndOffset(std::FILE* file) {
  if (_fseeki64(file, 0, SEEK_END) != 0) return -1;
  return _ftelli64(file);
}

bool TruncateFileTo(const std::string& path, long long size) {
  HANDLE file = CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER at;
  at.QuadPart = size;
  bool ok = SetFilePointerEx(file, at, nullptr, FILE_BEGIN) && SetEndOfFile(file);
  CloseHandle(file);
  return ok;
}

// std::rename does not replace an existing file on Windows.
bool ReplaceFileWith(const std::string& from, const std::string& to, std::string& cause) {
  // MoveFileEx refuses a read-only target on Windows, but not every
  // implementation of it does; check first so the list is kept everywhere.
  if (IsReadOnlyFile(to)) {
    cause = Win32CauseText(ERROR_ACCESS_DENIED);
    return false;
  }
  if (MoveFileExW(WidePath(from).c_str(), WidePath(to).c_str(), MOVEFILE_REPLACE_EXISTING))
    return true;
  cause = Win32CauseText(GetLastError());
  return false;
}

}  // namespace clip
