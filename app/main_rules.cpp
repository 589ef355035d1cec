#include "catalogue/size_cells.h"
#include "app/main_rules.h"

#include <algorithm>
#include <climits>
#include <cstdio>

#include "base/text.h"
#include "res/resource.h"
#include "scan/scan.h"

namespace clip {

std::string PathFromStartFolder(std::string_view startFolder, std::string_view item) {
  const auto isSeparator = [](char c) { return c == '\\' || c == '/'; };
  const bool hasDrive = item.size() >= 2 && item[1] == ':';
  if ((hasDrive && item.size() >= 3 && isSeparator(item[2])) ||
      (item.size() >= 2 && isSeparator(item[0]) && isSeparator(item[1])))
    return std::string(item);
  if (startFolder.empty() || hasDrive) return std::string(item);
  if (isSeparator(item[0])) {
    const bool startHasDrive = startFolder.size() >= 2 && startFolder[1] == ':';
    return startHasDrive ? std::string(startFolder.substr(0, 2)) + std::string(item)
                         : std::string(item);
  }
  std::string path(startFolder);
  if (!EndsWithSeparator(path)) path += '\\';
  return path + std::string(item);
}

namespace {

// value * to / from, rounded half away from zero and kept in the int range.
int Rescale(int value, int to, int from) {
  if (to <= 0) to = 96;
  if (from <= 0) from = 96;
  const long long scaled = static_cast<long long>(value) * to;
  const long long half = value < 0 ? -from / 2 : from / 2;
  const long long result = (scaled + half) / from;
  return static_cast<int>(std::clamp<long long>(result, INT_MIN, INT_MAX));
}

}  // namespace

int ScaleToDpi(int value, int dpi) { return Rescale(value, dpi, 96); }
int ScaleFromDpi(int value, int dpi) { return Rescale(value, 96, dpi); }

int ToolbarImageSize(int dpi) {
  const int wanted = ScaleToDpi(16, dpi);
  return wanted >= 32 ? 32 : wanted >= 24 ? 24 : 16;
}

ScreenRect DefaultWindowRect(const ScreenRect& workArea) {
  const long long width = (static_cast<long long>(workArea.right) - workArea.left) * 2 / 3;
  const long long height = (static_cast<long long>(workArea.bottom) - workArea.top) * 2 / 3;
  const int left = static_cast<int>(
      workArea.left + (static_cast<long long>(workArea.right) - workArea.left - width) / 2);
  const int top = static_cast<int>(
      workArea.top + (static_cast<long long>(workArea.bottom) - workArea.top - height) / 2);
  return {left, top, static_cast<int>(left + width), static_cast<int>(top + height)};
}

std::array<int, 4> StatusPartEdges(const std::array<int, 4>& textWidths, int clientWidth, int dpi) {
  // Room for the part's borders and the space the bar leaves around a text.
  const int padding = ScaleToDpi(12, dpi);
  std::array<int, 4> edges{};
  int right = 0;
  for (std::size_t i = 0; i < edges.size(); ++i) {
    right += std::max(ScaleToDpi(kStatusPartWidths[i], dpi), textWidths[i] + padding);
    edges[i] = right;
  }
  if (edges[3] <= clientWidth) edges[3] = -1;
  return edges;
}

std::int64_t SelectedKB(const RowModel& rows, const CategoryTable& table,
                        const std::vector<int>& selected) {
  std::int64_t total = 0;
  for (int r : selected) total = AddKB(total, RowSizeKB(rows, table, r));
  return total;
}

std::string SelectionTotalsText(int count, std::int64_t totalKB) {
  char digits[32];
  std::snprintf(digits, sizeof digits, "%lld", static_cast<long long>(totalKB));
  std::string grouped = GroupThousands(digits);
  char text[160];
  std::snprintf(text, sizeof text, "%dﾌｧｲﾙ選択 %sKB(%.1fMB)", count, grouped.c_str(),
                static_cast<double>(totalKB) / 1024.0);
  return text;
}

void CopyRowToClipboard(const RowModel& rows, const CategoryTable& table, int row,
                        RowClipboard& clip) {
  for (int c = 0; c <= table.columnCount && c < kCategoryCount; ++c)
    clip.slots[static_cast<std::size_t>(c)] = rows.Cell(row, c);
}

void DeleteRows(RowModel& rows, const std::vector<int>& selected) {
  if (selected.empty()) return;
  // A few rows are erased in place from the back; many are dropped by
  // keeping the others, so that deleting a whole large list stays linear.
  if (selected.size() <= 64) {
    for (auto it = selected.rbegin(); it != selected.rend(); ++it) rows.Delete(*it);
    return;
  }
  RowModel kept;
  std::size_t next = 0;
  for (int r = 0; r < rows.Count(); ++r) {
    while (next < selected.size() && selected[next] < r) ++next;
    if (next < selected.size() && selected[next] == r) continue;
    const CatalogueRow& row = rows.Row(r);
    int at =
        kept.Insert(kept.Count(), row.cells.empty() ? std::string_view() : row.cells[0], row.tag);
    for (std::size_t c = 1; c < row.cells.size(); ++c)
      kept.SetCell(at, static_cast<int>(c), row.cells[c]);
    kept.SetChecked(at, row.checked);
  }
  rows = std::move(kept);
}

void CutRows(RowModel& rows, const CategoryTable& table, const std::vector<int>& selected,
             RowClipboard& clip) {
  if (selected.empty()) return;
  CopyRowToClipboard(rows, table, selected.back(), clip);
  DeleteRows(rows, selected);
}

int PasteRow(RowModel& rows, const CategoryTable& table, int s, const RowClipboard& clip) {
  int at = rows.Insert(s + 1, clip.slots[0], s + 1);
  for (int c = 1; c <= table.columnCount && c < kCategoryCount; ++c)
    rows.SetCell(at, c, clip.slots[static_cast<std::size_t>(c)]);
  return at;
}

std::vector<int> SelectionAfterInsert(const std::vector<int>& selected, int index, int count) {
  std::vector<int> out;
  out.reserve(selected.size());
  for (int r : selected) out.push_back(r >= index ? r + count : r);
  return out;
}

std::vector<int> SelectionAfterDelete(const std::vector<int>& selected,
                                      const std::vector<int>& deleted) {
  std::vector<int> out;
  out.reserve(selected.size());
  std::size_t d = 0;
  for (int r : selected) {
    while (d < deleted.size() && deleted[d] < r) ++d;
    if (d < deleted.size() && deleted[d] == r) continue;
    out.push_back(r - static_cast<int>(d));
  }
  return out;
}

std::vector<int> SelectionAfterMove(const std::vector<int>& selected,
                                    const std::vector<int>& moved) {
  std::vector<int> out;
  out.reserve(selected.size());
  for (int r : selected)
    if (r >= 0 && static_cast<std::size_t>(r) < moved.size())
      out.push_back(moved[static_cast<std::size_t>(r)]);
  std::sort(out.begin(), out.end());
  return out;
}

unsigned ListExtendedStyle(bool gridLines, bool dirPathOn) {
  unsigned style = kExFullRowSelect;
  if (gridLines) style |= kExGridLines;
  if (dirPathOn) style |= kExCheckBoxes;
  return style;
}

int CategoryOfFitCommand(int id) {
  for (int k = 0; k < kCategoryCount; ++k)
    if (kCategories[static_cast<std::size_t>(k)].fitCommand == id) return k;
  return -1;
}

int FontHeightFromSetting(std::string_view sizeText) { return ParseLongBase0(sizeText); }

std::string Cp932SaveQuestion(int rows, bool switchable) {
  std::string text =
      std::to_string(rows) + "行に、Shift_JIS (ｺｰﾄﾞﾍﾟｰｼﾞ932) で表せない文字があります\n\n";
  if (switchable)
    return text +
           "はい: UTF-8で保存します (表計算ｿﾌﾄでも開けます)\n"
           "いいえ: 表せない文字を置き換えて保存します\n"
           "ｷｬﾝｾﾙ: 保存しません";
  return text +
         "このﾘｽﾄはShift_JISです\n"
         "OK: 表せない文字を置き換えて追加します\n"
         "ｷｬﾝｾﾙ: 保存しません";
}

namespace {

// A message's first line, then at most maxListed items, one a line.
std::string ListedText(const char* head, const std::vector<std::string>& items,
                       std::size_t maxListed) {
  if (items.empty()) return {};
  std::string text = std::string(head) + "\n";
  const std::size_t listed = std::min(items.size(), maxListed);
  for (std::size_t i = 0; i < listed; ++i) text += "\n" + items[i];
  if (listed < items.size()) text += "\n\nほか" + std::to_string(items.size() - listed) + "件";
  return text;
}

}  // namespace

std::string UnreadableFoldersText(const std::vector<std::string>& folders, std::size_t maxListed) {
  return ListedText("次のﾌｫﾙﾀﾞは読み取れなかったため、中のﾌｧｲﾙはﾘｽﾄにありません", folders,
                    maxListed);
}

std::string UnansweredFilesText(const std::vector<std::string>& files, std::size_t maxListed) {
  return ListedText("次のﾌｧｲﾙは応答がないまま止めたため、読み取っていません", files, maxListed);
}

std::string CsvOpenFailedText(std::string_view path) {
  return std::string(path) + "\nﾌｧｲﾙを開けませんでした\n読み込みに失敗しました";
}

}  // namespace clip
