// Times find, duplicates and rescan planning over a full catalogue:
// 100,000 rows of seventeen UTF-8 cells of mixed Japanese and ASCII text.
// Prints one line per operation: "<name> <milliseconds>" (best of several
// runs).
//   touch_cells        reading every cell's length and last byte: the floor
//                      of any search that looks at every cell
//   find_next_miss     one keystroke's FindNext through every row (no row
//                      matches: the longest search), ASCII text
//   find_next_miss_ja  the same with a Japanese text and the kana option
//   find_next_last     a text only the last row holds, from the first row
//   find_all           FindAll of a text in a quarter of the rows
//   duplicates         FindDuplicateRows (one row in 20 has a twin)
//   rescan_plan        PlanRescan with 20,000 new files in 1,000 new folders
//   rescan_apply       ApplyRescan of that plan (once, on a copy of the rows)
//   catalogue_tools_bench [rows]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "catalogue/duplicates.h"
#include "catalogue/find.h"
#include "catalogue/rescan.h"
#include "best_ms.h"

namespace {

// v in decimal, zero-padded to width digits.
std::string Num(long long v, std::size_t width = 1) {
  std::string digits = std::to_string(v);
  return std::string(width > digits.size() ? width - digits.size() : 0, '0') + digits;
}

std::string Grouped(unsigned long long v) {
  std::string d = std::to_string(v), out;
  for (std::size_t i = 0; i < d.size(); ++i) {
    if (i > 0 && (d.size() - i) % 3 == 0) out += ',';
    out += d[i];
  }
  return out;
}

std::string Folder(int r) { return std::string(u8"D:\\Movies\\フォルダ") + Num(r / 100, 4); }

// Rows in folders of 100; every 20th row repeats the name and size of the
// row before it (a copy), so duplicates has sets to build.
clip::RowModel MakeRows(const clip::CategoryTable& table, int count) {
  clip::RowModel rows;
  for (int r = 0; r < count; ++r) {
    const int id = r % 20 == 19 ? r - 1 : r;
    const std::string name =
        id % 4 ? "movie_" + Num(id, 6) + ".avi" : std::string(u8"夏の海_") + Num(id) + ".avi";
    rows.Insert(r, name, r);
    const unsigned long long size = 1000003ULL * static_cast<unsigned long long>(id) + 12345;
    const std::string cells[clip::kCategoryCount] = {
        name,
        Grouped(size),
        Num(static_cast<long long>(size >> 20)) + ".0MB",
        Grouped(size >> 10) + "KB",
        std::string(u8"映画のタイトル ") + Num(id) + u8", 第" + Num(id % 13) + u8"話",
        "DivX 5.0 Codec",
        "MPEG Layer-3",
        "1,024kbps",
        "44.1kHz 128kbps",
        "29.97",
        "640x480",
        Num(id % 7200 / 60, 2) + ":" + Num(id % 60, 2),
        r % 2 ? u8"アニメ" : u8"ｱﾆﾒ",
        u8"製作者 \"Studio\"",
        r % 3 ? u8"a comment, with commas été \U0001F600" : "",
        Folder(r),
        "MOVIES01",
    };
    for (int k = 1; k < clip::kCategoryCount; ++k) rows.SetCell(r, table.position[k], cells[k]);
  }
  return rows;
}

}  // namespace

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100000;
  const clip::CategoryTable table = clip::CategoryTable::AllOn();
  clip::RowModel rows = MakeRows(table, count);
  rows.SetCell(count - 1, table.position[clip::Comment], "needle at the end");
  long long sink = 0;

  const clip::FindQuery miss{"zq-no-such-text", -1, false};
  const clip::FindQuery missJa{u8"ガイドブック", -1, true};
  const clip::FindQuery last{"NEEDLE", -1, false};
  const clip::FindQuery quarter{u8"夏の海", -1, false};
  const double touch = BestMs(5, [&] {
    for (int r = 0; r < rows.Count(); ++r) {
      for (const std::string& cell : rows.Row(r).cells)
        sink += static_cast<long long>(cell.size()) + (cell.empty() ? 0 : cell.back());
    }
  });
  const double nextMiss = BestMs(5, [&] { sink += clip::FindNext(rows, table, miss, 0, true); });
  const double nextMissJa =
      BestMs(5, [&] { sink += clip::FindNext(rows, table, missJa, 0, true); });
  const double nextLast = BestMs(5, [&] { sink += clip::FindNext(rows, table, last, 0, true); });
  std::size_t matches = 0;
  const double all = BestMs(5, [&] { matches = clip::FindAll(rows, table, quarter).size(); });
  std::size_t twins = 0;
  const double duplicates = BestMs(
      5, [&] { twins = clip::FindDuplicateRows(rows, table, clip::DuplicateChoice::All).size(); });

  // The walk finds every row's file (one in ten grown, one in fifty gone)
  // and 20,000 new files in folders of their own, one new folder after
  // every tenth old one.
  clip::RescanWalk walk;
  for (int r = 0; r < count; ++r) {
    if (r % 100 == 0) walk.folders.push_back(Folder(r));
    if (r % 50 == 7) continue;
    const unsigned long long size = 1000003ULL * static_cast<unsigned long long>(r) + 12345;
    walk.files.push_back({Folder(r), rows.Cell(r, 0), r % 10 == 3 ? size + 1 : size});
    if (r % 1000 == 999) {
      const std::string fresh = Folder(r) + u8"\\新しい";
      walk.folders.push_back(fresh);
      for (int i = 0; i < 200; ++i) walk.files.push_back({fresh, "new_" + Num(i, 3) + ".avi", 1});
    }
  }
  clip::RescanPlan plan;
  const double rescanPlan = BestMs(3, [&] { plan = clip::PlanRescan(rows, table, walk); });
  clip::RowModel copy = rows;  // copied outside the timing
  const double rescanApply = BestMs(1, [&] {
    sink += static_cast<long long>(clip::ApplyRescan(copy, table, walk, plan).size());
  });

  std::printf("rows %d\nfind_all_matches %zu\nduplicate_rows %zu\nnew_files %zu\n", count, matches,
              twins, plan.added.size());
  std::printf(
      "touch_cells %.1f\nfind_next_miss %.1f\nfind_next_miss_ja %.1f\nfind_next_last %.1f\n", touch,
      nextMiss, nextMissJa, nextLast);
  std::printf("find_all %.1f\nduplicates %.1f\nrescan_plan %.1f\nrescan_apply %.1f\n", all,
              duplicates, rescanPlan, rescanApply);
  return sink == 0;
}
