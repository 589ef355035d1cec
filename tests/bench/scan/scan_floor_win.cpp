// The Wine floor: per file FindFirstFileA/FindNextFileA, CreateFileA, two
// ReadFile calls (first 4 KB, last 1 KB) and CloseHandle. With HEAD the
// first read takes that many bytes, and a file no larger is read in that one
// call alone, as the program's scan reads a small file. On THREADS > 1 the
// folders and files are shared out among that many threads, each listing a
// folder or reading a file as it comes free.
//   scan_floor_win.exe TREE [RUNS [THREADS [HEAD]]]
#include <windows.h>

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

unsigned long long headBytes = 4096;
bool smallInOneRead = false;  // HEAD given

bool ReadFileEnds(const std::string& path, unsigned long long size) {
  static thread_local std::vector<char> head;
  head.resize(headBytes);
  char tail[1024];
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD got = 0;
  // No more than the file holds: a read past its end would cost a call more.
  const DWORD want = static_cast<DWORD>(smallInOneRead && size < headBytes ? size : headBytes);
  ReadFile(h, head.data(), want, &got, nullptr);
  if (smallInOneRead && size <= headBytes) {
    CloseHandle(h);
    return true;
  }
  OVERLAPPED at{};
  unsigned long long offset = size > 1024 ? size - 1024 : 0;
  at.Offset = static_cast<DWORD>(offset);
  at.OffsetHigh = static_cast<DWORD>(offset >> 32);
  ReadFile(h, tail, sizeof tail, &got, &at);
  CloseHandle(h);
  return true;
}

unsigned long long SizeOf(const WIN32_FIND_DATAA& data) {
  return (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Calls found(path, is_folder, size) for each entry of the folder.
template <class Found>
void List(const std::string& folder, Found found) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    std::string name = data.cFileName;
    if (name == "." || name == "..") continue;
    found(folder + "\\" + name, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
          SizeOf(data));
  } while (FindNextFileA(find, &data));
  FindClose(find);
}

int Walk(const std::string& folder) {
  int files = 0;
  List(folder, [&](const std::string& path, bool isFolder, unsigned long long size) {
    if (isFolder)
      files += Walk(path);
    else if (ReadFileEnds(path, size))
      ++files;
  });
  return files;
}

// The walk on several threads: a folder listed adds its entries to the work.
class SharedWalk {
 public:
  int Run(const std::string& tree, int threads) {
    work_.push_back({tree, true, 0});
    std::vector<std::thread> pool;
    for (int i = 0; i < threads; ++i) pool.emplace_back([this] { Work(); });
    for (std::thread& t : pool) t.join();
    return files_;
  }

 private:
  struct Item {
    std::string path;
    bool folder;
    unsigned long long size;
  };

  void Work() {
    for (;;) {
      Item item;
      {
        std::unique_lock<std::mutex> lock(mutex_);
        ready_.wait(lock, [this] { return !work_.empty() || busy_ == 0; });
        if (work_.empty()) return;
        item = std::move(work_.front());
        work_.pop_front();
        ++busy_;
      }
      std::vector<Item> found;
      int read = 0;
      if (item.folder) {
        List(item.path, [&](const std::string& path, bool isFolder, unsigned long long size) {
          found.push_back({path, isFolder, size});
        });
      } else if (ReadFileEnds(item.path, item.size)) {
        read = 1;
      }
      std::lock_guard<std::mutex> lock(mutex_);
      files_ += read;
      for (Item& f : found) work_.push_back(std::move(f));
      --busy_;
      ready_.notify_all();
    }
  }

  std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<Item> work_;
  int busy_ = 0;
  int files_ = 0;
};

double Now() {
  LARGE_INTEGER t, f;
  QueryPerformanceCounter(&t);
  QueryPerformanceFrequency(&f);
  return static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: scan_floor_win TREE [RUNS [THREADS [HEAD]]]\n");
    return 2;
  }
  int runs = argc > 2 ? std::atoi(argv[2]) : 3;
  int threads = argc > 3 ? std::atoi(argv[3]) : 1;
  if (argc > 4 && std::atoll(argv[4]) > 0) {
    headBytes = std::strtoull(argv[4], nullptr, 10);
    smallInOneRead = true;
  }
  double best = 1e30;
  int files = 0;
  for (int run = 0; run < runs; ++run) {
    double start = Now();
    files = threads > 1 ? SharedWalk().Run(argv[1], threads) : Walk(argv[1]);
    double seconds = Now() - start;
    if (seconds < best) best = seconds;
  }
  std::printf("files %d seconds %.3f rate %.0f\n", files, best, files / best);
  return files > 0 ? 0 : 1;
}
