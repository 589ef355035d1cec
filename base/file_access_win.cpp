// Files over Win32, by wide paths.
#include <windows.h>
#include <io.h>

#include <cerrno>
#include <cstdio>

#include "base/file_access.h"
#include "base/wide_win.h"

namespace clip {

std::FILE* OpenFile(const std::string& path, const char* mode) {
  return _wfopen(WidePath(path).c_str(), Wide(mode).c_str());
}

bool RemoveFile(const std::string& path) { return DeleteFileW(WidePath(path).c_str()) != 0; }

bool PathExists(const std::string& path) {
  return GetFileAttributesW(WidePath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsReadOnlyFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
         !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool SeekTo(std::FILE* f, std::uint64_t offset) {
  return _fseeki64(f, static_cast<long long>(offset), SEEK_SET) == 0;
}

bool CutFile(std::FILE* f, std::uint64_t length) {
  if (std::fflush(f) != 0) return false;
  return _chsize_s(_fileno(f), static_cast<long long>(length)) == 0;
}

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
