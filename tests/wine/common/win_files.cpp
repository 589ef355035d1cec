#include "win_files.h"

#include <cstdio>

#include "base/file_access.h"
#include "base/wide_win.h"

namespace wintest {

using clip::Narrow;
using clip::Wide;
using clip::WidePath;

std::string TempRoot() {
  wchar_t buf[MAX_PATH];
  DWORD n = GetTempPathW(MAX_PATH, buf);
  std::string s = Narrow(buf, static_cast<int>(n));
  if (!s.empty() && s.back() == '\\') s.pop_back();
  return s;
}

namespace {

void RemoveTree(const std::string& path) {
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW(WidePath(path + "\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      std::string name = Narrow(fd.cFileName);
      if (name == "." || name == "..") continue;
      std::string full = path + "\\" + name;
      SetFileAttributesW(WidePath(full).c_str(), FILE_ATTRIBUTE_NORMAL);
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(full);
      else
        DeleteFileW(WidePath(full).c_str());
    } while (FindNextFileW(h, &fd));
    FindClose(h);
  }
  SetFileAttributesW(WidePath(path).c_str(), FILE_ATTRIBUTE_NORMAL);
  RemoveDirectoryW(WidePath(path).c_str());
}

}  // namespace

TempFolder::TempFolder(const char* prefix) {
  static int counter = 0;
  for (;;) {
    char name[96];
    std::snprintf(name, sizeof name, "\\%s_%lu_%d", prefix, GetCurrentProcessId(), ++counter);
    path_ = TempRoot() + name;
    if (CreateDirectoryW(Wide(path_).c_str(), nullptr)) break;
  }
}

TempFolder::~TempFolder() { RemoveTree(path_); }

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
  FILE* f = clip::OpenFile(path, "wb");
  if (!f) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

std::string ReadFileBytes(const std::string& path) {
  std::string out;
  FILE* f = clip::OpenFile(path, "rb");
  if (!f) return out;
  char buf[65536];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
  std::fclose(f);
  return out;
}

bool FileExists(const std::string& path) {
  return GetFileAttributesW(WidePath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool MakeFolder(const std::string& path) {
  return CreateDirectoryW(WidePath(path).c_str(), nullptr) != 0;
}

bool CopyOneFile(const std::string& from, const std::string& to) {
  return CopyFileW(WidePath(from).c_str(), WidePath(to).c_str(), FALSE) != 0;
}

std::string WindowText(HWND w) {
  const int n = GetWindowTextLengthW(w);
  std::wstring buf(static_cast<std::size_t>(n) + 1, L'\0');
  buf.resize(static_cast<std::size_t>(GetWindowTextW(w, buf.data(), n + 1)));
  return Narrow(buf);
}

std::string ClassOf(HWND w) {
  char buf[64] = {};
  GetClassNameA(w, buf, sizeof buf);
  return buf;
}

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace wintest
