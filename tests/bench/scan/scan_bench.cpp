// Native benchmark of the core scan: the folder walk, the row builder and
// the probes over a tree of real files, through the POSIX file system.
//   scan_bench TREE [RUNS]
// Prints one line: files, best seconds, files per second.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "catalogue/categories.h"
#include "catalogue/row_model.h"
#include "scan/fs_posix.h"
#include "scan/pipeline.h"
#include "scan/scan.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: scan_bench TREE [RUNS]\n");
    return 2;
  }
  int runs = argc > 2 ? std::atoi(argv[2]) : 3;
  clip::PosixFileSystem fs;
  clip::BuiltInCodecNames codecs;
  clip::CategoryTable table = clip::CategoryTable::AllOn();
  double best = 1e30;
  int files = 0;
  std::string sample;
  for (int run = 0; run < runs; ++run) {
    clip::RowModel rows;
    clip::RowReader reader(fs, codecs, table, 0);
    clip::ScanPipeline pipeline(reader, 1);
    int index = 0;
    auto start = std::chrono::steady_clock::now();
    // Today's containers too, as the program scans by default.
    clip::ScanFolderRows(pipeline, fs, argv[1], true, nullptr,
                         [&](std::size_t, const std::string&, clip::MovieRowTexts& texts) {
                           clip::InsertMovieRow(rows, table, index++, std::move(texts));
                         });
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
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
