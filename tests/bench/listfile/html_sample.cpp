// Writes a sample HTML catalogue page with Japanese texts and a title that
// looks like markup, for a look in a browser (tools/check-html-chromium.sh).
//   listfile_html_sample <page.htm>
#include <cstdio>

#include "listfile/listfile.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: listfile_html_sample <page.htm>\n");
    return 2;
  }
  std::array<int, clip::kCategoryCount> values{};
  for (int k : {clip::FileSizeBT, clip::MovieTitle, clip::PlayTime, clip::Janle, clip::Comment})
    values[k] = 1;
  const clip::CategoryTable table = clip::CategoryTable::FromValues(values);
  clip::RowModel rows;
  const char* lines[][6] = {
      {"夏の海.avi", "12,345,678", "夏の海辺で", "3:25", "旅行", "家族と撮影"},
      {"script.avi", "1,024", "<script>alert(1)</script>", "0:10", "テスト", "a, b & \"c\""},
      {"ソフト表.mpg", "987,654", "ソフトウェア表示", "12:00", "アニメ", "半角ｶﾀｶﾅ"},
      {"한국영화😀.mp4", "2,048", "Amélie Ω", "1:30", "드라마", "𠮷野家"},
  };
  int r = 0;
  for (const auto& line : lines) {
    rows.Insert(r, line[0], r);
    for (int c = 1; c < 6; ++c) rows.SetCell(r, c, line[c]);
    ++r;
  }
  clip::HtmlOptions options;
  options.caption = "映画の一覧";
  options.topTitle = "私の映画リスト";
  options.rowColouring = 1;
  options.fiiBackColor2 = 0xFFE0C0;  // light blue
  options.fitBackColor = 0x404040;
  options.fitFontColor = 0xFFFFFF;
  clip::SaveResult saved =
      clip::SaveListFile(rows, table, argv[1], clip::ListFormat::Html, false, &options);
  if (!saved.ok) {
    std::fprintf(stderr, "%s\n", saved.error.c_str());
    return 1;
  }
  return 0;
}
