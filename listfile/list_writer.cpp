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
constexpr std::size_t kBlockSize = 1 << 20;

// A cell as the list hands it out: at most kCellMax bytes.
std::string_view CellText(const RowModel& rows, int row, int column) {
  std::string_view text = rows.Cell(row, column);
  return text.substr(0, std::min(text.size(), kCellMax));
}

bool IsRightAligned(int category) {
  return category != FileName &&
         kCategories[static_cast<std::size_t>(category)].textAlign == Align::Right;
}

int LastError() { return errno != 0 ? errno : EIO; }

// Writes through the output, flushes and closes the file. Every step is
// checked, since a full disk may show only when the last block is flushed or
// the file is closed.
bool WriteAndClose(std::FILE* file, const std::function<void(ListOutput&)>& write, int& error) {
  errno = 0;
  ListOutput out(file);
  write(out);
  bool ok = out.Finish();
  if (!ok) error = out.error();
  if (std::fflush(file) != 0 && ok) {
    ok = false;
    error = LastError();
  }
  if (std::fclose(file) != 0 && ok) {
    ok = false;
    error = LastError();
  }
  return ok;
}

}  // namespace

ListOutput::ListOutput(std::FILE* file) : file_(file) { buffer_.reserve(kBlockSize + 4096); }

void ListOutput::EndLine() {
  buffer_.append("\r\n", 2);
  if (file_ && buffer_.size() >= kBlockSize) Drain();
}

void ListOutput::Drain() {
  if (!failed_ && !buffer_.empty() &&
      std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) {
    failed_ = true;
    error_ = LastError();
  }
  buffer_.clear();
}

bool ListOutput::Finish() {
  if (file_) Drain();
  return !failed_;
}

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

namespace {

// A quoted CSV field: a quote inside is doubled, so that a spreadsheet keeps
// it in the cell, and an LF is stored as CR LF like any line end.
void AppendCsvField(std::string& out, std::string_view text) {
  out.push_back('"');
  while (!text.empty()) {
    // Most cells hold neither byte: one scan for each, and the cell is
    // appended whole.
    const char* p = text.data();
    const void* quote = std::memchr(p, '"', text.size());
    const std::size_t before =
        quote ? static_cast<std::size_t>(static_cast<const char*>(quote) - p) : text.size();
    const void* lf = std::memchr(p, '\n', before);
    const std::size_t n = lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - p) : before;
    out.append(p, n);
    if (n == text.size()) break;
    out.append(p[n] == '"' ? "\"\"" : "\r\n", 2);
    text.remove_prefix(n + 1);
  }
  out.push_back('"');
}

}  // namespace

void WriteCsvList(ListOutput& out, const RowModel& rows, const CategoryTable& table) {
  const std::vector<int> columns = ListColumns(table);
  const int n = static_cast<int>(columns.size());
  std::string& text = out.text();
  auto field = [&](int c, std::string_view value) {
    if (c > 0) text.push_back(',');
    AppendCsvField(text, value);
  };
  for (int c = 0; c < n; ++c) field(c, ListHeaderName(columns[c]));
  out.EndLine();
  for (int r = 0; r < rows.Count(); ++r) {
    for (int c = 0; c < n; ++c) field(c, CellText(rows, r, c));
    out.EndLine();
  }
}

void WriteTextList(ListOutput& out, const RowModel& rows, const CategoryTable& table,
                   bool withHeader) {
  const std::vector<int> columns = ListColumns(table);
  const int n = static_cast<int>(columns.size());
  std::vector<std::size_t> width(columns.size());
  for (int c = 0; c < n; ++c) {
    width[c] = std::strlen(ListHeaderName(columns[c]));
    for (int r = 0; r < rows.Count(); ++r)
      width[c] = std::max(width[c], CellText(rows, r, c).size());
  }
  std::string& text = out.text();
  auto line = [&](auto textOf) {
    for (int c = 0; c < n; ++c) {
      std::string_view t = textOf(c);
      const bool right = IsRightAligned(columns[c]);
      if (c == n - 1) {
        AppendStreamText(text, t);
        if (right) text.push_back(' ');
      } else if (right) {
        text.append(width[c] - t.size(), ' ');
        AppendStreamText(text, t);
        text.push_back(' ');
      } else {
        AppendStreamText(text, t);
        text.append(width[c] - t.size() + 1, ' ');
      }
    }
    out.EndLine();
  };
  if (withHeader) line([&](int c) { return std::string_view(ListHeaderName(columns[c])); });
  for (int r = 0; r < rows.Count(); ++r) line([&](int c) { return CellText(rows, r, c); });
}

std::string FormatCsvList(const RowModel& rows, const CategoryTable& table) {
  ListOutput out;
  WriteCsvList(out, rows, table);
  return out.Take();
}

std::string FormatTextList(const RowModel& rows, const CategoryTable& table, bool withHeader) {
  ListOutput out;
  WriteTextList(out, rows, table, withHeader);
  return out.Take();
}

std::string SaveFailureText(const std::string& path, const std::string& cause) {
  return "ﾌｧｲﾙを保存できませんでした\n" + path + "\n" + cause;
}

std::string TempPathFor(const std::string& path, int attempt) {
  const std::string number = attempt > 0 ? std::to_string(attempt) : std::string();
  if (path.size() + 4 + number.size() <= kPathMax) return path + ".tmp" + number;
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
  const std::string suffix = "~" + number + ".tmp";
  for (auto it = starts.rbegin(); it != starts.rend(); ++it) {
    if (*it <= nameStart) break;
    if (*it + suffix.size() <= kPathMax) return path.substr(0, *it) + suffix;
  }
  return {};
}

SaveResult ReplaceFileContents(const std::string& path,
                               const std::function<void(ListOutput&)>& write) {
  // A file that happens to carry the temporary name is not the writer's to
  // overwrite or remove: the first free name is taken.
  std::string temp;
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp = TempPathFor(path, attempt);
    if (temp.empty() || !PathExists(temp)) break;
  }
  if (temp.empty()) return {false, SaveFailureText(path, ErrnoCauseText(ENAMETOOLONG))};
  if (PathExists(temp)) return {false, SaveFailureText(path, ErrnoCauseText(EEXIST))};
  std::FILE* file = std::fopen(temp.c_str(), "wb");
  if (!file) return {false, SaveFailureText(path, ErrnoCauseText(errno))};
  int error = 0;
  if (!WriteAndClose(file, write, error)) {
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

SaveResult AppendFileContents(const std::string& path,
                              const std::function<void(ListOutput&)>& write) {
  if (IsReadOnlyFile(path)) return {false, SaveFailureText(path, ErrnoCauseText(EACCES))};
  std::FILE* file = std::fopen(path.c_str(), "ab");
  if (!file) return {false, SaveFailureText(path, ErrnoCauseText(errno))};
  // The old end of the file, to cut a failed append's partial lines away.
  const long long oldSize = FileEndOffset(file);
  int error = 0;
  if (!WriteAndClose(file, write, error)) {
    if (oldSize >= 0) TruncateFileTo(path, oldSize);
    return {false, SaveFailureText(path, ErrnoCauseText(error))};
  }
  return {};
}

SaveResult SaveListFile(const RowModel& rows, const CategoryTable& table, const std::string& path,
                        ListFormat format, bool append, const HtmlOptions* html) {
  if (path.empty()) return {false, SaveFailureText(path, ErrnoCauseText(ENOENT))};
  switch (format) {
    case ListFormat::Text:
      if (append) {
        return AppendFileContents(path,
                                  [&](ListOutput& out) { WriteTextList(out, rows, table, false); });
      }
      return ReplaceFileContents(path,
                                 [&](ListOutput& out) { WriteTextList(out, rows, table, true); });
    case ListFormat::Csv:
      // A CSV list is always rewritten whole, with its header line.
      return ReplaceFileContents(path, [&](ListOutput& out) { WriteCsvList(out, rows, table); });
    case ListFormat::Html: {
      const HtmlOptions options = html ? *html : HtmlOptions{};
      return ReplaceFileContents(
          path, [&](ListOutput& out) { WriteHtmlList(out, rows, table, options); });
    }
  }
  return {false, SaveFailureText(path, ErrnoCauseText(EINVAL))};
}

}  // namespace clip
