// clipledger-cli on Linux and other POSIX systems: files through the POSIX
// file system, codec names from the built-in tables alone, full paths made
// as the window makes them, labels from the mount table.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <memory>
#include <thread>

#include "cli/cli.h"
#include "scan/fs_posix.h"

namespace clip {

namespace {

class PosixCliPlatform : public CliPlatform {
 public:
  FileSystem& Files() override { return files_; }
  CodecNames& Codecs() override { return codecs_; }

  // Made full against the current folder and without "." and "..", by the
  // names alone, as the window's full path is made: a link keeps the name
  // it was given.
  std::string FullPath(const std::string& arg) override {
    std::string joined = arg;
    if (arg.empty() || arg[0] != '/') {
      std::string cwd(4096, '\0');
      while (!getcwd(cwd.data(), cwd.size())) {
        if (errno != ERANGE || cwd.size() > (1u << 20)) return arg;
        cwd.resize(cwd.size() * 2);
      }
      cwd.resize(std::strlen(cwd.c_str()));
      joined = cwd + "/" + arg;
    }
    std::vector<std::string> names;
    std::size_t at = 0;
    while (at <= joined.size()) {
      std::size_t slash = joined.find('/', at);
      if (slash == std::string::npos) slash = joined.size();
      const std::string name = joined.substr(at, slash - at);
      if (name == "..") {
        if (!names.empty()) names.pop_back();
      } else if (!name.empty() && name != ".") {
        names.push_back(name);
      }
      at = slash + 1;
    }
    std::string full;
    for (const std::string& name : names) full += "/" + name;
    return full.empty() ? "/" : full;
  }

  // A folder named on the command line is scanned even when its name
  // starts with "." (inside a scan such folders are hidden, as under Wine).
  std::uint32_t Attributes(const std::string& path) override {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return kMissingPath;
    return S_ISDIR(st.st_mode) ? kAttrDirectory : 0x20;
  }

  std::string WalkPath(const std::string& full) override {
    return PosixFileSystem::ProgramPath(full);
  }
  std::string RowPath(const std::string& walked) override {
    return PosixFileSystem::NativePath(walked);
  }

  std::string WhyNotListed(const std::string& folder) override {
    DIR* dir = opendir(folder.c_str());
    if (!dir) return std::strerror(errno);
    closedir(dir);
    return {};
  }
  std::string WhyNotOpened(const std::string& path) override {
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return std::strerror(errno);
    struct stat st;
    const bool regular = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    close(fd);
    return regular ? std::string() : "not a regular file";
  }

  unsigned Cores() override { return std::thread::hardware_concurrency(); }
  bool ErrorIsTerminal() override { return isatty(STDERR_FILENO) == 1; }
  void WriteError(const std::string& text) override {
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
  }
  std::FILE* Output() override { return stdout; }

 private:
  PosixFileSystem files_;
  BuiltInCodecNames codecs_;
};

}  // namespace

std::unique_ptr<CliPlatform> MakeCliPlatform() { return std::make_unique<PosixCliPlatform>(); }

std::vector<std::string> CliArguments(int argc, char** argv) {
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

}  // namespace clip
