// The Windows program's own scan under Wine: Win32FileSystem, the installed
// codecs' names and the scan pipeline over a tree.
//   scan_bench_win.exe TREE [RUNS]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "catalogue/categories.h"
#include "catalogue/row_model.h"
#include "scan/pipeline.h"
#include "scan/scan.h"
#include "scan/fs_win.h"
#include "scan/codecs_win.h"

namespace {

double Now() {
  LARGE_INTEGER t, f;
  QueryPerformanceCounter(&t);
  QueryPerformanceFrequency(&f);
  return static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: scan_bench_win TREE [RUNS]\n");
    return 2;
  }
  int runs = argc > 2 ? std::atoi(argv[2]) : 3;
  clip::Win32FileSystem fs;
  clip::Win32CodecNames installed;
  clip::BuiltInCodecNames none;
  // "nocodecs" as third argument leaves the installed codecs out, to see
  // what they cost.
  bool useInstalled = !(argc > 3 && std::string(argv[3]) == "nocodecs");
  clip::CodecNames& codecs = useInstalled ? static_cast<clip::CodecNames&>(installed) : none;
  clip::CategoryTable table = clip::CategoryTable::AllOn();
  double best = 1e30;
  int files = 0;
  std::string sample;
  for (int run = 0; run < runs; ++run) {
    clip::RowModel rows;
    clip::RowReader reader(fs, codecs, table, 0);
    clip::ScanPipeline pipeline(reader, 1);
    int index = 0;
    double start = Now();
    // Today's containers too, as the program scans by default.
    clip::ScanFolderRows(pipeline, fs, argv[1], true, nullptr,
                         [&](std::size_t, const std::string&, clip::MovieRowTexts& texts) {
                           clip::InsertMovieRow(rows, table, index++, std::move(texts));
                         });
    double seconds = Now() - start;
    if (seconds < best) best = seconds;
    files = rows.Count();
    if (files > 0) {
      sample.clear();
      for (int c = 0; c < table.Columns(); ++c) sample += rows.Cell(files / 2, c) + "|";
    }
  }
  std::printf("files %d seconds %.3f rate %.0f\n", files, best, files / best);
  std::fprintf(stderr, "row %s\n", sample.c_str());
  return files > 0 ? 0 : 1;
}
