// Times the code page 932 codec over the cells of a full catalogue:
// 100,000 rows of seventeen UTF-8 cells of mixed Japanese and ASCII text
// (1.7 M cells), encoded to code page 932, decoded back, cut at 255 and
// 127 bytes, measured and turned into sort keys. Prints one line per
// operation: "<name> <milliseconds>" (best of several runs).
//   cp932_bench [rows]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/cp932.h"
#include "best_ms.h"

namespace {

// v in decimal, zero-padded to width digits.
std::string Num(long long v, std::size_t width = 1) {
  std::string digits = std::to_string(v);
  return std::string(width > digits.size() ? width - digits.size() : 0, '0') + digits;
}

// Texts are UTF-8 (u8 literals): this build's narrow literals are code
// page 932.
std::vector<std::string> MakeCells(int rows) {
  std::vector<std::string> cells;
  cells.reserve(static_cast<std::size_t>(rows) * 17);
  for (int r = 0; r < rows; ++r) {
    cells.push_back(r % 4 ? "movie_" + Num(r, 6) + ".avi"
                          : std::string(u8"\u590F\u306E\u6D77_") + Num(r) + ".avi");
    cells.push_back(Num(1000003LL * (r % 5000) + 12345));
    cells.push_back(Num(r % 700) + "MB");
    cells.push_back(Num(1000LL * (r % 900)) + "KB");
    cells.push_back(std::string(u8"\u6620\u753B\u306E\u30BF\u30A4\u30C8\u30EB ") + Num(r) + ", " +
                    u8"\u7B2C" + Num(r % 13) + u8"\u8A71");
    cells.push_back("DivX 5.0 Codec");
    cells.push_back("MPEG Layer-3");
    cells.push_back("1,024kbps");
    cells.push_back("44.1kHz 128kbps");
    cells.push_back("29.97");
    cells.push_back("640x480");
    cells.push_back(Num(r % 120) + ":" + Num(r % 60, 2));
    cells.push_back(r % 2 ? u8"\u30A2\u30CB\u30E1" : u8"\uFF71\uFF86\uFF92");
    cells.push_back(u8"\u88FD\u4F5C\u8005 \"Studio\"");
    cells.push_back(r % 3 ? u8"a comment, with commas \u00E9t\u00E9 \U0001F600" : "");
    cells.push_back(std::string(u8"D:\\Movies\\\u30D5\u30A9\u30EB\u30C0") + Num(r % 50));
    cells.push_back("MOVIES01");
  }
  return cells;
}

}  // namespace

int main(int argc, char** argv) {
  const int rows = argc > 1 ? std::atoi(argv[1]) : 100000;
  const std::vector<std::string> cells = MakeCells(rows);
  std::vector<std::string> encoded(cells.size()), decoded(cells.size());
  std::size_t sink = 0;

  const double encode = BestMs(5, [&] {
    for (std::size_t i = 0; i < cells.size(); ++i) encoded[i] = clip::Utf8ToCp932(cells[i]);
  });
  const double decode = BestMs(5, [&] {
    for (std::size_t i = 0; i < cells.size(); ++i) decoded[i] = clip::Cp932ToUtf8(encoded[i]);
  });
  const double cut = BestMs(5, [&] {
    for (const std::string& c : cells)
      sink += clip::CutCp932(c, 255).size() + clip::CutCp932(c, 127).size();
  });
  const double length = BestMs(5, [&] {
    for (const std::string& c : cells) sink += clip::Cp932Length(c);
  });
  const double keys = BestMs(5, [&] {
    for (const std::string& c : cells) sink += clip::Cp932SortKey(c).size();
  });

  // Only texts that round-trip come back unchanged; the comment cell with
  // its best-fit and lacking characters does not.
  std::size_t same = 0, bytes = 0;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    same += decoded[i] == cells[i];
    bytes += cells[i].size();
  }
  std::printf("cells %zu\nutf8_bytes %zu\nround_trips %zu\n", cells.size(), bytes, same);
  std::printf("encode %.1f\ndecode %.1f\ncut_255_127 %.1f\nlength %.1f\nsort_key %.1f\n", encode,
              decode, cut, length, keys);
  return sink == 0;
}
