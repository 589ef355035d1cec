// Folder listing, file reads, volume labels and folder identities over
// Win32. Each movie file costs one open, one size query, a read or two and
// one close: under Wine every open is a round trip to the server.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <utility>
#include <string>
#include <vector>

#include "base/wide_win.h"
#include "scan/cached_file.h"
#include "scan/scan.h"
#include "scan/fs_win.h"

namespace clip {

namespace {

class Win32MovieFile : public CachedMovieFile {
 public:
  Win32MovieFile(HANDLE handle, std::uint64_t size) : CachedMovieFile(size), handle_(handle) {}
  ~Win32MovieFile() override { CloseHandle(handle_); }
  Win32MovieFile(const Win32MovieFile&) = delete;
  Win32MovieFile& operator=(const Win32MovieFile&) = delete;

 protected:
  std::size_t RawRead(std::uint64_t offset, void* buffer, std::size_t n) override {
    // The offset goes with the read itself: no separate seek call.
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD want = static_cast<DWORD>(std::min<std::size_t>(n, 0x40000000u));
    DWORD got = 0;
    if (!ReadFile(handle_, buffer, want, &got, &at)) return 0;
    return got;
  }

 private:
  HANDLE handle_;
};

// The drive of a path, "C:", or the share of a network path,
// "\\\\server\\share", in upper case; empty for anything else.
std::string PathVolume(const std::string& path) {
  std::string volume;
  if (path.size() >= 2 && path[1] == ':') {
    volume = path.substr(0, 2);
  } else if (path.size() > 2 && path[0] == '\\' && path[1] == '\\') {
    std::size_t server = path.find('\\', 2);
    std::size_t share =
        server == std::string::npos ? std::string::npos : path.find('\\', server + 1);
    volume = path.substr(0, share);
  }
  for (char& c : volume)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return volume;
}

// The status block of the native calls below.
struct IoStatus {
  union {
    LONG status;
    PVOID pointer;
  };
  ULONG_PTR information;
};

// The file index of an open file through the native call, which answers
// from the file alone.
bool QueryFileIndex(HANDLE handle, std::uint64_t& index) {
  using QueryFn = LONG(WINAPI*)(HANDLE, IoStatus*, PVOID, ULONG, int);
  constexpr int kFileInternalInformation = 6;
  static QueryFn query = [] {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll ? reinterpret_cast<QueryFn>(
                       reinterpret_cast<void*>(GetProcAddress(ntdll, "NtQueryInformationFile")))
                 : nullptr;
  }();
  if (!query) return false;
  IoStatus io{};
  LARGE_INTEGER value{};
  if (query(handle, &io, &value, sizeof value, kFileInternalInformation) < 0) return false;
  index = static_cast<std::uint64_t>(value.QuadPart);
  return true;
}

// True when the file system that holds folder says it is a remote one.
bool IsRemoteDevice(const std::string& folder) {
  struct DeviceInformation {
    ULONG deviceType;
    ULONG characteristics;
  };
  using QueryFn = LONG(WINAPI*)(HANDLE, IoStatus*, PVOID, ULONG, int);
  constexpr int kFileFsDeviceInformation = 4;
  constexpr ULONG kRemoteDevice = 0x10;
  static QueryFn query = [] {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll ? reinterpret_cast<QueryFn>(reinterpret_cast<void*>(
                       GetProcAddress(ntdll, "NtQueryVolumeInformationFile")))
                 : nullptr;
  }();
  if (!query) return false;
  HANDLE handle = CreateFileW(WidePath(folder).c_str(), 0,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  IoStatus io{};
  DeviceInformation info{};
  const bool remote = query(handle, &io, &info, sizeof info, kFileFsDeviceInformation) >= 0 &&
                      (info.characteristics & kRemoteDevice) != 0;
  CloseHandle(handle);
  return remote;
}

}  // namespace

bool Win32FileSystem::List(const std::string& folder, std::vector<Entry>& entries) {
  entries.clear();
  // Wide names, so that a file named in any script is listed as it is; a
  // long folder path is listed through its "\\?\" form.
  const std::wstring pattern = WidePath(JoinPath(folder, "*"));
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                 nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (find == INVALID_HANDLE_VALUE) return false;
  std::vector<std::pair<std::string, std::uint64_t>> sizes;
  do {
    entries.push_back(Entry{Narrow(data.cFileName), data.dwFileAttributes});
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
        IsMovieName(entries.back().name, true))
      sizes.emplace_back(
          JoinPath(folder, entries.back().name),
          (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
  } while (FindNextFileW(find, &data));
  FindClose(find);
  std::lock_guard<std::mutex> lock(sizesMutex_);
  for (auto& [path, size] : sizes) listedSizes_[std::move(path)] = size;
  return true;
}

std::unique_ptr<MovieFile> Win32FileSystem::Open(const std::string& path) {
  // OPEN_EXISTING: a listed path that has gone away is never created.
  HANDLE handle = CreateFileW(WidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  {
    // A movie file just listed has its size from the listing: on a share
    // the size query is one more round trip.
    std::lock_guard<std::mutex> lock(sizesMutex_);
    auto listed = listedSizes_.find(path);
    if (listed != listedSizes_.end()) {
      const std::uint64_t known = listed->second;
      listedSizes_.erase(listed);
      return std::make_unique<Win32MovieFile>(handle, known);
    }
  }
  LARGE_INTEGER size;
  if (!GetFileSizeEx(handle, &size) || size.QuadPart < 0) {
    CloseHandle(handle);
    return nullptr;
  }
  return std::make_unique<Win32MovieFile>(handle, static_cast<std::uint64_t>(size.QuadPart));
}

std::string Win32FileSystem::VolumeLabel(const std::string& root) {
  wchar_t label[MAX_PATH + 1] = {};
  if (!GetVolumeInformationW(Wide(root).c_str(), label, MAX_PATH + 1, nullptr, nullptr, nullptr,
                             nullptr, 0))
    return {};
  label[MAX_PATH] = L'\0';
  return Narrow(label);
}

bool Win32FileSystem::IsNetwork(const std::string& folder) {
  if (folder.size() > 2 && folder[0] == '\\' && folder[1] == '\\') {
    // "\\?\C:\..." is a local path written long; "\\?\UNC\..." a share.
    if (folder.compare(0, 4, "\\\\?\\") != 0) return true;
    if (folder.compare(4, 4, "UNC\\") == 0) return true;
  }
  const std::string root = VolumeRoot(folder);
  if (root.size() == 3 && root[1] == ':' && GetDriveTypeW(Wide(root).c_str()) == DRIVE_REMOTE)
    return true;
  // A share mounted inside a local folder (a mount point, or under Wine a
  // network file system below a drive) shows as a remote device of the
  // folder itself.
  return IsRemoteDevice(folder);
}

std::string Win32FileSystem::FolderIdentity(const std::string& folder) {
  // The folder itself, links followed: a link back to an ancestor opens the
  // ancestor. Its file index and creation time, with the drive of the path,
  // name it. The volume serial number is not asked for: under Wine that
  // query reads the drive's device and costs more than a whole folder's
  // listing.
  HANDLE handle = CreateFileW(WidePath(folder).c_str(), 0,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return {};
  std::uint64_t index = 0, created = 0;
  bool ok = false;
  if (QueryFileIndex(handle, index)) {
    FILE_BASIC_INFO basic;
    if (GetFileInformationByHandleEx(handle, FileBasicInfo, &basic, sizeof basic)) {
      created = static_cast<std::uint64_t>(basic.CreationTime.QuadPart);
      ok = true;
    }
  }
  std::string volume = PathVolume(folder);
  if (!ok) {
    BY_HANDLE_FILE_INFORMATION info;
    ok = GetFileInformationByHandle(handle, &info) != 0;
    if (ok) {
      index = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
      created = (static_cast<std::uint64_t>(info.ftCreationTime.dwHighDateTime) << 32) |
                info.ftCreationTime.dwLowDateTime;
      char serial[16];
      std::snprintf(serial, sizeof serial, "%08lx",
                    static_cast<unsigned long>(info.dwVolumeSerialNumber));
      volume = serial;
    }
  }
  CloseHandle(handle);
  if (!ok) return {};
  char text[48];
  std::snprintf(text, sizeof text, ":%016llx:%016llx", static_cast<unsigned long long>(index),
                static_cast<unsigned long long>(created));
  return volume + text;
}

}  // namespace clip
