// The Wine floor: per file FindFirstFileA/FindNextFileA, CreateFileA, two
// ReadFile calls (first 4 KB, last 1 KB) and CloseHandle.
//   scan_floor_win.exe TREE [RUNS]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

int Walk(const std::string& folder) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return 0;
  int files = 0;
  static char head[4096], tail[1024];
  do {
    std::string name = data.cFileName;
    if (name == "." || name == "..") continue;
    std::string path = folder + "\\" + name;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      files += Walk(path);
      continue;
    }
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) continue;
    DWORD got = 0;
    ReadFile(h, head, sizeof head, &got, nullptr);
    unsigned long long size =
        (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    OVERLAPPED at{};
    unsigned long long offset = size > 1024 ? size - 1024 : 0;
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    ReadFile(h, tail, sizeof tail, &got, &at);
    CloseHandle(h);
    ++files;
  } while (FindNextFileA(find, &data));
  FindClose(find);
  return files;
}

double Now() {
  LARGE_INTEGER t, f;
  QueryPerformanceCounter(&t);
  QueryPerformanceFrequency(&f);
  return static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: scan_floor_win TREE [RUNS]\n");
    return 2;
  }
  int runs = argc > 2 ? std::atoi(argv[2]) : 3;
  double best = 1e30;
  int files = 0;
  for (int run = 0; run < runs; ++run) {
    double start = Now();
    files = Walk(argv[1]);
    double seconds = Now() - start;
    if (seconds < best) best = seconds;
  }
  std::printf("files %d seconds %.3f rate %.0f\n", files, best, files / best);
  return files > 0 ? 0 : 1;
}
