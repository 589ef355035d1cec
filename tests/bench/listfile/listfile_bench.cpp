// Writes 100,000 rows with all seventeen columns as a CSV list and reads
// them back; also times the text and HTML writers. Prints one line per
// operation: "<name> <milliseconds>" (best of several runs).
//   listfile_bench <folder> [rows]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/text.h"
#include "listfile/listfile.h"
#include "best_ms.h"

namespace {

using clip::RowModel;

RowModel MakeRows(int count) {
  RowModel rows;
  char text[256];
  for (int r = 0; r < count; ++r) {
    std::snprintf(text, sizeof text, "movie_%06d.avi", r);
    rows.Insert(r, text, r);
    long long bytes = 1000003LL * (r % 5000) + 12345;
    std::snprintf(text, sizeof text, "%lld", bytes);
    rows.SetCell(r, 1, clip::GroupThousands(text));
    std::snprintf(text, sizeof text, "%.1fMB", bytes / 1048576.0);
    rows.SetCell(r, 2, text);
    std::snprintf(text, sizeof text, "%lld", bytes / 1024);
    rows.SetCell(r, 3, clip::GroupThousands(text) + "KB");
    std::snprintf(text, sizeof text, "映画のタイトル %d, 第%d話", r, r % 13);
    rows.SetCell(r, 4, text);
    rows.SetCell(r, 5, "DivX 5.0 Codec");
    rows.SetCell(r, 6, "MPEG Layer-3");
    rows.SetCell(r, 7, "1,024kbps");
    rows.SetCell(r, 8, "44.1kHz 128kbps");
    rows.SetCell(r, 9, "29.97");
    rows.SetCell(r, 10, "640x480");
    std::snprintf(text, sizeof text, "%d:%02d", r % 120, r % 60);
    rows.SetCell(r, 11, text);
    rows.SetCell(r, 12, r % 2 ? "アニメ" : "");
    rows.SetCell(r, 13, "製作者 \"Studio\"");
    rows.SetCell(r, 14, r % 3 ? "a comment, with commas" : "");
    std::snprintf(text, sizeof text, "D:\\Movies\\フォルダ%d", r % 50);
    rows.SetCell(r, 15, text);
    rows.SetCell(r, 16, "MOVIES01");
  }
  return rows;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: listfile_bench <folder> [rows]\n");
    return 2;
  }
  const std::string dir = argv[1];
  const int count = argc > 2 ? std::atoi(argv[2]) : 100000;
  const clip::CategoryTable table = clip::CategoryTable::AllOn();
  const RowModel rows = MakeRows(count);
  const std::string csv = dir + "/bench.csv";
  bool ok = true;

  double write = BestMs(
      5, [&] { ok = clip::SaveListFile(rows, table, csv, clip::ListFormat::Csv, false).ok && ok; });
  int loaded = 0;
  double read = 1e300;
  for (int i = 0; i < 5; ++i) {
    RowModel back;  // freed outside the timed part
    read = std::min(read, BestMs(1, [&] {
                      ok = clip::LoadCsvList(back, table, csv) == clip::kCsvLoaded && ok;
                      loaded = back.Count();
                    }));
  }
  double text = BestMs(3, [&] {
    ok =
        clip::SaveListFile(rows, table, dir + "/bench.txt", clip::ListFormat::Text, false).ok && ok;
  });
  double html = BestMs(3, [&] {
    ok =
        clip::SaveListFile(rows, table, dir + "/bench.htm", clip::ListFormat::Html, false).ok && ok;
  });
  if (!ok || loaded != count) {
    std::fprintf(stderr, "listfile_bench: a save or load failed (%d rows loaded)\n", loaded);
    return 1;
  }
  std::printf("csv_write %.1f\ncsv_read %.1f\ntext_write %.1f\nhtml_write %.1f\n", write, read,
              text, html);
  return 0;
}
