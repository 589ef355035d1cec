#include "scan/fs_posix.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <set>

#include "base/text.h"
#include "scan/cached_file.h"
#include "scan/name_order.h"

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

// mountinfo is a few KB; a file past this is not read to its end.
constexpr std::size_t kMountInfoMax = 4 << 20;
// Label links looked at, at most.
constexpr int kMaxLabelLinks = 4096;

std::string ReadSmallFile(const std::string& path, std::size_t limit) {
  std::string text;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return text;
  char block[8192];
  std::size_t got;
  while (text.size() < limit && (got = std::fread(block, 1, sizeof block, file)) > 0)
    text.append(block, std::min(got, limit - text.size()));
  std::fclose(file);
  return text;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// mountinfo writes a space, tab, newline and backslash in a field as \ooo.
std::string DecodeOctal(std::string_view field) {
  std::string out;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && field.size() - i > 3 && field[i + 1] >= '0' && field[i + 1] <= '3' &&
        field[i + 2] >= '0' && field[i + 2] <= '7' && field[i + 3] >= '0' && field[i + 3] <= '7') {
      out.push_back(static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                      (field[i + 3] - '0')));
      i += 3;
    } else {
      out.push_back(field[i]);
    }
  }
  return out;
}

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && line[i] == ' ') ++i;
    const std::size_t start = i;
    while (i < line.size() && line[i] != ' ') ++i;
    if (i > start) fields.push_back(line.substr(start, i - start));
  }
  return fields;
}

}  // namespace

std::string MountSourceOf(std::string_view mountInfo, unsigned major, unsigned minor) {
  const std::string device = std::to_string(major) + ":" + std::to_string(minor);
  std::string source;
  while (!mountInfo.empty()) {
    const std::size_t end = std::min(mountInfo.find('\n'), mountInfo.size());
    const std::vector<std::string_view> fields = Fields(mountInfo.substr(0, end));
    mountInfo.remove_prefix(std::min(end + 1, mountInfo.size()));
    // id parent major:minor root mount-point options [optional...] - type source ...
    if (fields.size() < 3 || fields[2] != device) continue;
    const auto dash = std::find(fields.begin() + 3, fields.end(), std::string_view("-"));
    if (fields.end() - dash < 3) continue;
    // The last mount of the device wins, as the last one shows.
    source = DecodeOctal(dash[2]);
  }
  return source;
}

std::string MountPointOf(std::string_view mountInfo, const std::string& path) {
  std::string best;
  while (!mountInfo.empty()) {
    const std::size_t end = std::min(mountInfo.find('\n'), mountInfo.size());
    const std::vector<std::string_view> fields = Fields(mountInfo.substr(0, end));
    mountInfo.remove_prefix(std::min(end + 1, mountInfo.size()));
    if (fields.size() < 5) continue;
    const std::string point = DecodeOctal(fields[4]);
    const bool covers =
        point == "/" || (path.compare(0, point.size(), point) == 0 &&
                         (path.size() == point.size() || path[point.size()] == '/'));
    // The deepest mount that covers the path holds it; of two at one place
    // the later one, as it hides the earlier.
    if (covers && point.size() >= best.size()) best = point;
  }
  return best;
}

std::string DecodeUdevName(std::string_view name) {
  std::string out;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (name[i] == '\\' && name.size() - i > 3 && name[i + 1] == 'x' &&
        HexValue(name[i + 2]) >= 0 && HexValue(name[i + 3]) >= 0) {
      out.push_back(static_cast<char>(HexValue(name[i + 2]) * 16 + HexValue(name[i + 3])));
      i += 3;
    } else {
      out.push_back(name[i]);
    }
  }
  return out;
}

std::string PosixFileSystem::ProgramPath(const std::string& path) {
  std::string out = path;
  for (char& c : out)
    if (c == '/') c = '\\';
  return out;
}

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
  // readdir gives the disk's own order, which differs between file systems
  // and even between two copies of a folder; NTFS's is the window's.
  SortNtfsOrder(entries);
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

std::string PosixFileSystem::VolumeRootOf(const std::string& folder) {
  {
    std::lock_guard<std::mutex> lock(labelsMutex_);
    if (!mountInfoRead_) {
      mountInfo_ = ReadSmallFile(mountInfoPath, kMountInfoMax);
      mountInfoRead_ = true;
    }
  }
  const std::string point = MountPointOf(mountInfo_, NativePath(folder));
  // Without a mount table the folder stands for its volume.
  return point.empty() ? folder : ProgramPath(point);
}

bool PosixFileSystem::IsNetwork(const std::string& folder) {
  struct statfs fs;
  if (statfs(NativePath(folder).c_str(), &fs) != 0) return false;
  switch (static_cast<unsigned long>(fs.f_type)) {
    case 0x6969:      // NFS
    case 0x517B:      // SMB
    case 0xFF534D42:  // CIFS
    case 0xFE534D42:  // SMB2
    case 0x01021997:  // 9P
    case 0x00C36400:  // Ceph
    case 0x5346414F:  // AFS
    case 0x65735546:  // FUSE: sshfs, rclone and other remote mounts
      return true;
    default: return false;
  }
}

std::string PosixFileSystem::VolumeLabel(const std::string& root) {
  struct stat st;
  if (stat(NativePath(root).c_str(), &st) != 0) return {};
  const std::uint64_t device = static_cast<std::uint64_t>(st.st_dev);
  std::lock_guard<std::mutex> lock(labelsMutex_);
  auto known = labels_.find(device);
  if (known != labels_.end()) return known->second;

  // The device numbers that may carry the label: the one the files are on,
  // and the device node the mount names (a file system such as btrfs shows
  // its files on a device number of its own).
  std::set<std::uint64_t> devices{device};
  const std::string source = MountSourceOf(ReadSmallFile(mountInfoPath, kMountInfoMax),
                                           major(st.st_dev), minor(st.st_dev));
  struct stat node;
  if (!source.empty() && source[0] == '/' && stat(source.c_str(), &node) == 0 &&
      S_ISBLK(node.st_mode))
    devices.insert(static_cast<std::uint64_t>(node.st_rdev));

  std::string label;
  if (DIR* dir = opendir(labelFolder.c_str())) {
    int looked = 0;
    while (dirent* e = readdir(dir)) {
      if (e->d_name[0] == '.' || ++looked > kMaxLabelLinks) continue;
      // stat follows the link to the device node: no privileges needed.
      if (stat((labelFolder + "/" + e->d_name).c_str(), &node) == 0 && S_ISBLK(node.st_mode) &&
          devices.count(static_cast<std::uint64_t>(node.st_rdev))) {
        label = DecodeUdevName(e->d_name);
        break;
      }
    }
    closedir(dir);
  }
  labels_[device] = label;
  return label;
}

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
