#include "posix_fs.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cstdio>
#include <memory>

#include "catalogue/text.h"
#include "scan/cached_file.h"

namespace clip {

namespace {

class PosixMovieFile : public CachedMovieFile {
 public:
  PosixMovieFile(int fd, std::uint64_t size) : CachedMovieFile(size), fd_(fd) {}
  ~PosixMovieFile() override { close(fd_); }
  PosixMovieFile(const PosixMovieFile&) = delete;
  PosixMovieFile& operator=(const PosixMovieFile&) = delete;

 protected:
  std::size_t RawRead(std::uint64_t offset, void* buffer, std::size_t n) override {
    ssize_t got = pread(fd_, buffer, n, static_cast<off_t>(offset));
    return got > 0 ? static_cast<std::size_t>(got) : 0;
  }

 private:
  int fd_;
};

}  // namespace

std::string PosixFileSystem::NativePath(const std::string& path) {
  std::string out = path;
  for (char& c : out)
    if (c == '\\') c = '/';
  return out;
}

bool PosixFileSystem::List(const std::string& folder, std::vector<Entry>& entries) {
  entries.clear();
  std::string native = NativePath(folder);
  DIR* dir = opendir(native.c_str());
  if (!dir) return false;
  int dirFd = dirfd(dir);
  while (dirent* e = readdir(dir)) {
    Entry entry{e->d_name, 0x20};
    bool isDir = e->d_type == DT_DIR;
    if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
      struct stat st;
      isDir = fstatat(dirFd, e->d_name, &st, 0) == 0 && S_ISDIR(st.st_mode);
    }
    if (isDir) entry.attributes = 0x10;
    if (entry.name[0] == '.' && entry.name != "." && entry.name != "..") entry.attributes |= 0x2;
    entries.push_back(std::move(entry));
  }
  closedir(dir);
  return true;
}

std::unique_ptr<MovieFile> PosixFileSystem::Open(const std::string& path) {
  // Non-blocking, so that a pipe named like a movie cannot stall the scan.
  int fd = open(NativePath(path).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return nullptr;
  }
  return std::make_unique<PosixMovieFile>(fd, static_cast<std::uint64_t>(st.st_size));
}

std::string PosixFileSystem::VolumeLabel(const std::string&) { return {}; }

std::string PosixFileSystem::FolderIdentity(const std::string& folder) {
  struct stat st;
  if (stat(NativePath(folder).c_str(), &st) != 0) return {};
  char text[64];
  std::snprintf(text, sizeof text, "%llx:%llx", static_cast<unsigned long long>(st.st_dev),
                static_cast<unsigned long long>(st.st_ino));
  return text;
}

bool PosixDiskQuery::SpaceKB(const std::string& root, std::uint64_t& totalKB,
                             std::uint64_t& freeKB) {
  struct statvfs vfs;
  if (statvfs(PosixFileSystem::NativePath(root.empty() ? "/" : root).c_str(), &vfs) != 0) {
    totalKB = freeKB = 0;
    return false;
  }
  totalKB = static_cast<std::uint64_t>(vfs.f_blocks) * vfs.f_frsize / 1024;
  freeKB = static_cast<std::uint64_t>(vfs.f_bfree) * vfs.f_frsize / 1024;
  return true;
}

}  // namespace clip
