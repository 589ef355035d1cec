// Memory of clipledger-cli's run over a catalogue of any length: the real
// run (ordering, reading threads, list writer) over a file system held in
// memory, whose folders hold as many copies of one real movie file as
// asked, writing to /dev/null.
//   cli_memory_bench MOVIE ROWS [csv|txt|html] [JOBS]
// Prints one line: rows, seconds, and the process's peak resident memory.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace {

constexpr int kFilesPerFolder = 1000;

// One movie's bytes, shared by every file of the tree.
class SharedFile : public clip::MovieFile {
 public:
  explicit SharedFile(const std::string& bytes) : bytes_(bytes) {}
  std::uint64_t Size() override { return bytes_.size(); }
  std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t n) override {
    if (offset >= bytes_.size()) return 0;
    const std::size_t k = std::min<std::size_t>(n, bytes_.size() - offset);
    std::memcpy(buffer, bytes_.data() + offset, k);
    return k;
  }

 private:
  const std::string& bytes_;
};

// \\server\share\movies\collection-NNNN\a movie title NNNNNNN.avi, names
// as long as a real shelf's.
class TreeFs : public clip::FileSystem {
 public:
  TreeFs(std::string movie, long long rows) : movie_(std::move(movie)), rows_(rows) {}
  static constexpr const char* kRoot = "\\\\server\\share\\movies";

  bool List(const std::string& folder, std::vector<Entry>& entries) override {
    entries.clear();
    const long long folders = (rows_ + kFilesPerFolder - 1) / kFilesPerFolder;
    if (folder == kRoot) {
      for (long long f = 0; f < folders; ++f) entries.push_back({FolderName(f), 0x10});
      return true;
    }
    const std::size_t at = folder.rfind('-');
    if (at == std::string::npos) return false;
    const long long f = std::atoll(folder.c_str() + at + 1);
    for (long long i = f * kFilesPerFolder; i < rows_ && i < (f + 1) * kFilesPerFolder; ++i) {
      char name[64];
      std::snprintf(name, sizeof name, "a movie title %07lld.avi", i);
      entries.push_back({name, 0x20});
    }
    return true;
  }
  std::unique_ptr<clip::MovieFile> Open(const std::string&) override {
    return std::make_unique<SharedFile>(movie_);
  }
  std::string VolumeLabel(const std::string&) override { return "MOVIES"; }

 private:
  static std::string FolderName(long long f) {
    char name[32];
    std::snprintf(name, sizeof name, "collection-%04lld", f);
    return name;
  }
  std::string movie_;
  long long rows_;
};

class MemoryPlatform : public clip::CliPlatform {
 public:
  MemoryPlatform(std::string movie, long long rows) : files_(std::move(movie), rows) {
    out_ = std::fopen("/dev/null", "wb");
  }
  ~MemoryPlatform() override {
    if (out_) std::fclose(out_);
  }
  clip::FileSystem& Files() override { return files_; }
  clip::CodecNames& Codecs() override { return codecs_; }
  std::string FullPath(const std::string& arg) override { return arg; }
  std::uint32_t Attributes(const std::string& path) override {
    return path == TreeFs::kRoot ? clip::kAttrDirectory : clip::kMissingPath;
  }
  std::string WalkPath(const std::string& full) override { return full; }
  std::string RowPath(const std::string& walked) override { return walked; }
  std::string WhyNotListed(const std::string&) override { return {}; }
  std::string WhyNotOpened(const std::string&) override { return {}; }
  unsigned Cores() override { return 2; }
  bool ErrorIsTerminal() override { return false; }
  void WriteError(const std::string& text) override { std::fputs(text.c_str(), stderr); }
  std::FILE* Output() override { return out_; }

 private:
  TreeFs files_;
  clip::BuiltInCodecNames codecs_;
  std::FILE* out_ = nullptr;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: cli_memory_bench MOVIE ROWS [csv|txt|html] [JOBS]\n");
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  std::string movie((std::istreambuf_iterator<char>(in)), {});
  if (movie.empty()) return 2;
  const long long rows = std::atoll(argv[2]);
  const std::string format = argc > 3 ? argv[3] : "csv";
  const std::string jobs = argc > 4 ? argv[4] : "2";
  MemoryPlatform platform(movie, rows);
  const auto start = std::chrono::steady_clock::now();
  const int status = clip::RunCli({"--format", format, "-j", jobs, TreeFs::kRoot}, platform);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("rows %lld format %s seconds %.1f peak_rss_mb %.0f\n", rows, format.c_str(), seconds,
              static_cast<double>(usage.ru_maxrss) / 1024.0);
  return status;
}
