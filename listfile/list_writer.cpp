#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "catalogue/text.h"
#include "listfile/file_replace.h"
#include "listfile/list_format.h"
#include "listfile/listfile.h"

namespace clip {

namespace {

constexpr std::size_t kPathMax = 259;

// A cell as the list hands it out: at most kCellMax bytes.
std::string_view CellText(const RowModel& rows, int row, int column) {
  std::string_view text = rows.Cell(row, column);
  return text.substr(0, std::min(text.size(), kCellMax));
}

bool IsRightAligned(int category) {
  return category != FileName &&
         kCategories[static_cast<std::size_t>(category)].textAlign == Align::Right;
}

// Writes data, flushes and closes the file; every step is checked, since a
// full disk may show only when the last block is flushed or the file closed.
bool WriteAndClose(std::FILE* file, std::string_view data, int& error) {
  bool ok = true;
  auto fail = [&] {
    if (ok) error = errno != 0 ? errno : EIO;
    ok = false;
  };
  errno = 0;
  if (!data.empty() && std::fwrite(data.data(), 1, data.size(), file) != data.size()) fail();
  if (std::fflush(file) != 0) fail();
  if (std::fclose(file) != 0) fail();
  return ok;
}

}  // namespace

std::vector<int> ListColumns(const CategoryTable& table) {
  std::vector<int> columns{FileName};
  for (int k = 1; k < kCategoryCount; ++k)
    if (table.IsOn(k)) columns.push_back(k);
  return columns;
}

void AppendStreamText(std::string& out, std::string_view text) {
  for (;;) {
    const void* lf = std::memchr(text.data(), '\n', text.size());
    if (!lf) {
      out.append(text);
      return;
    }
    std::size_t n = static_cast<std::size_t>(static_cast<const char*>(lf) - text.data());
    out.append(text.data(), n);
    out.append("\r\n", 2);
    text.remove_prefix(n + 1);
  }
}

std::string FormatCsvList(const RowModel& rows, const CategoryTable& table) {
  const std::vector<int> columns = ListColumns(table);
  const int n = static_cast<int>(columns.size());
  std::size_t size = 0;
  for (int c = 0; c < n; ++c) size += std::strlen(ListHeaderName(columns[c])) + 3;
  for (int r = 0; r < rows.Count(); ++r) {
    size += 2;
    for (int c = 0; c < n; ++c) size += CellText(rows, r, c).size() + 3;
  }
  std::string out;
  out.reserve(size + 2);

  auto field = [&](int c, std::string_view text) {
    if (c > 0) out.push_back(',');
    out.push_back('"');
    AppendStreamText(out, text);
    out.push_back('"');
  };
  for (int c = 0; c < n; ++c) field(c, ListHeaderName(columns[c]));
  out.append("\r\n", 2);
  for (int r = 0; r < rows.Count(); ++r) {
    for (int c = 0; c < n; ++c) field(c, CellText(rows, r, c));
    out.append("\r\n", 2);
  }
  return out;
}

std::string FormatTextList(const RowModel& rows, const CategoryTable& table, bool withHeader) {
  const std::vector<int> columns = ListColumns(table);
  const int n = static_cast<int>(columns.size());
  std::vector<std::size_t> width(columns.size());
  for (int c = 0; c < n; ++c) {
    width[c] = std::strlen(ListHeaderName(columns[c]));
    for (int r = 0; r < rows.Count(); ++r)
      width[c] = std::max(width[c], CellText(rows, r, c).size());
  }
  std::size_t lineSize = 2;
  for (int c = 0; c < n; ++c) lineSize += width[c] + 1;
  std::string out;
  out.reserve(lineSize * (static_cast<std::size_t>(rows.Count()) + 1));

  auto line = [&](auto textOf) {
    for (int c = 0; c < n; ++c) {
      std::string_view t = textOf(c);
      const bool right = IsRightAligned(columns[c]);
      if (c == n - 1) {
        AppendStreamText(out, t);
        if (right) out.push_back(' ');
      } else if (right) {
        out.append(width[c] - t.size(), ' ');
        AppendStreamText(out, t);
        out.push_back(' ');
      } else {
        AppendStreamText(out, t);
        out.append(width[c] - t.size() + 1, ' ');
      }
    }
    out.append("\r\n", 2);
  };
  if (withHeader) line([&](int c) { return std::string_view(ListHeaderName(columns[c])); });
  for (int r = 0; r < rows.Count(); ++r) line([&](int c) { return CellText(rows, r, c); });
  return out;
}

std::string SaveFailureText(const std::string& path, const std::string& cause) {
  return "ﾌｧｲﾙを保存できませんでした\n" + path + "\n" + cause;
}

std::string TempPathFor(const std::string& path) {
  if (path.size() + 4 <= kPathMax) return path + ".tmp";
  // Character boundaries of the path, so that no double-byte character is
  // cut in half; the shortened name must stay within the file name.
  std::size_t nameStart = 0;
  std::vector<std::size_t> starts;
  for (std::size_t i = 0; i < path.size(); ++i) {
    starts.push_back(i);
    unsigned char b = static_cast<unsigned char>(path[i]);
    if (IsLeadByte(b) && i + 1 < path.size()) {
      ++i;
    } else if (b == '\\' || b == '/' || b == ':') {
      nameStart = i + 1;
    }
  }
  const std::string suffix = "~.tmp";
  for (auto it = starts.rbegin(); it != starts.rend(); ++it) {
    if (*it <= nameStart) break;
    if (*it + suffix.size() <= kPathMax) return path.substr(0, *it) + suffix;
  }
  return {};
}

SaveResult ReplaceFileContents(const std::string& path, std::string_view data) {
  const std::string temp = TempPathFor(path);
  if (temp.empty()) return {false, SaveFailureText(path, ErrnoCauseText(ENAMETOOLONG))};
  std::FILE* file = std::fopen(temp.c_str(), "wb");
  if (!file) return {false, SaveFailureText(path, ErrnoCauseText(errno))};
  int error = 0;
  if (!WriteAndClose(file, data, error)) {
    std::remove(temp.c_str());
    return {false, SaveFailureText(path, ErrnoCauseText(error))};
  }
  std::string cause;
  if (!ReplaceFileWith(temp, path, cause)) {
    std::remove(temp.c_str());
    return {false, SaveFailureText(path, cause)};
  }
  return {};
}

SaveResult AppendFileContents(const std::string& path, std::string_view data) {
  if (IsReadOnlyFile(path)) return {false, SaveFailureText(path, ErrnoCauseText(EACCES))};
  std::FILE* file = std::fopen(path.c_str(), "ab");
  if (!file) return {false, SaveFailureText(path, ErrnoCauseText(errno))};
  int error = 0;
  if (!WriteAndClose(file, data, error))
    return {false, SaveFailureText(path, ErrnoCauseText(error))};
  return {};
}

SaveResult SaveListFile(const RowModel& rows, const CategoryTable& table, const std::string& path,
                        ListFormat format, bool append, const HtmlOptions* html) {
  if (path.empty()) return {false, SaveFailureText(path, ErrnoCauseText(ENOENT))};
  switch (format) {
    case ListFormat::Text:
      if (append) return AppendFileContents(path, FormatTextList(rows, table, false));
      return ReplaceFileContents(path, FormatTextList(rows, table, true));
    case ListFormat::Csv:
      // A CSV list is always rewritten whole, with its header line.
      return ReplaceFileContents(path, FormatCsvList(rows, table));
    case ListFormat::Html:
      return ReplaceFileContents(path, FormatHtmlList(rows, table, html ? *html : HtmlOptions{}));
  }
  return {false, SaveFailureText(path, ErrnoCauseText(EINVAL))};
}

}  // namespace clip
