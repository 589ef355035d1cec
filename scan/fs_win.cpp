// Folder listing, file reads, volume labels and folder identities over
// Win32. Each movie file costs one open, one size query, a read or two and
// one close: under Wine every open is a round trip to the server.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "scan/scan.h"
#include "scan/scan_win.h"

namespace clip {

namespace {

// Reads of up to kBlock bytes are served from one block read, so the
// header and tail reads of a small movie file share one ReadFile.
constexpr DWORD kBlock = 16384;

class Win32MovieFile : public MovieFile {
 public:
  Win32MovieFile(HANDLE handle, std::uint64_t size) : handle_(handle), size_(size) {}
  ~Win32MovieFile() override { CloseHandle(handle_); }
  Win32MovieFile(const Win32MovieFile&) = delete;
  Win32MovieFile& operator=(const Win32MovieFile&) = delete;

  std::uint64_t Size() override { return size_; }

  std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t n) override {
    if (n == 0 || offset >= size_) return 0;
    n = static_cast<std::size_t>(std::min<std::uint64_t>(n, size_ - offset));
    if (n > kBlock) return ReadDirect(offset, buffer, n);
    if (!(blockValid_ && offset >= blockStart_ && offset + n <= blockStart_ + block_.size())) {
      // Place the block so that it starts at the read, or ends at the end
      // of the file when the read is near it (the tail scan).
      std::uint64_t start = offset;
      if (size_ - start < kBlock) start = size_ > kBlock ? size_ - kBlock : 0;
      block_.resize(static_cast<std::size_t>(std::min<std::uint64_t>(kBlock, size_ - start)));
      std::size_t got = ReadDirect(start, block_.data(), block_.size());
      block_.resize(got);
      blockStart_ = start;
      blockValid_ = true;
      if (offset + n > blockStart_ + block_.size()) {
        if (offset >= blockStart_ + block_.size()) return 0;
        n = static_cast<std::size_t>(blockStart_ + block_.size() - offset);
      }
    }
    std::memcpy(buffer, block_.data() + (offset - blockStart_), n);
    return n;
  }

 private:
  std::size_t ReadDirect(std::uint64_t offset, void* buffer, std::size_t n) {
    std::size_t total = 0;
    auto* out = static_cast<char*>(buffer);
    while (total < n) {
      OVERLAPPED at{};
      std::uint64_t pos = offset + total;
      at.Offset = static_cast<DWORD>(pos & 0xFFFFFFFFu);
      at.OffsetHigh = static_cast<DWORD>(pos >> 32);
      DWORD want = static_cast<DWORD>(std::min<std::size_t>(n - total, 0x40000000u));
      DWORD got = 0;
      if (!ReadFile(handle_, out + total, want, &got, &at) || got == 0) break;
      total += got;
    }
    return total;
  }

  HANDLE handle_;
  std::uint64_t size_;
  std::vector<char> block_;
  std::uint64_t blockStart_ = 0;
  bool blockValid_ = false;
};

}  // namespace

bool Win32FileSystem::List(const std::string& folder, std::vector<Entry>& entries) {
  entries.clear();
  std::string pattern = JoinPath(folder, "*");
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA(pattern.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return false;
  do {
    entries.push_back(Entry{data.cFileName, data.dwFileAttributes});
  } while (FindNextFileA(find, &data));
  FindClose(find);
  return true;
}

std::unique_ptr<MovieFile> Win32FileSystem::Open(const std::string& path) {
  // OPEN_EXISTING: a listed path that has gone away is never created.
  HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(handle, &size) || size.QuadPart < 0) {
    CloseHandle(handle);
    return nullptr;
  }
  return std::make_unique<Win32MovieFile>(handle, static_cast<std::uint64_t>(size.QuadPart));
}

std::string Win32FileSystem::VolumeLabel(const std::string& root) {
  char label[128] = {};
  if (!GetVolumeInformationA(root.c_str(), label, sizeof label, nullptr, nullptr, nullptr, nullptr,
                             0))
    return {};
  label[sizeof label - 1] = '\0';
  return label;
}

std::string Win32FileSystem::FolderIdentity(const std::string& folder) {
  // The folder itself, links followed: a link back to an ancestor yields
  // the ancestor's volume serial and file index.
  HANDLE handle =
      CreateFileA(folder.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return {};
  BY_HANDLE_FILE_INFORMATION info;
  BOOL ok = GetFileInformationByHandle(handle, &info);
  CloseHandle(handle);
  if (!ok) return {};
  char text[40];
  std::snprintf(text, sizeof text, "%08lx:%08lx%08lx",
                static_cast<unsigned long>(info.dwVolumeSerialNumber),
                static_cast<unsigned long>(info.nFileIndexHigh),
                static_cast<unsigned long>(info.nFileIndexLow));
  return text;
}

}  // namespace clip
