#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/cp932.h"
#include "base/file_access.h"
#include "base/text.h"
#include "base/unicode.h"
#include "listfile/csv_guard.h"
#include "listfile/list_format.h"
#include "listfile/listfile.h"

namespace clip {

namespace {

// A file name holds at most this many bytes (Windows counts UTF-16 units,
// never more than the UTF-8 bytes).
constexpr std::size_t kNameMax = 255;
constexpr std::size_t kBlockSize = 1 << 20;
constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";

// The width a text takes in a fixed-column list: the bytes of its code page
// 932 form, in which a full-width character takes two columns as it shows.
std::size_t ColumnWidthOf(std::string_view text) { return Cp932Length(text); }

bool IsRightAligned(int category) {
  return category != FileName &&
         kCategories[static_cast<std::size_t>(category)].textAlign == Align::Right;
}

int LastError() { return errno != 0 ? errno : EIO; }

// Writes through the output and flushes the stream. Every step is checked,
// since a full disk may show only when the last block is flushed.
bool WriteAndFlush(std::FILE* file, ListEncoding encoding, bool mark,
                   const std::function<void(ListOutput&)>& write, int& error) {
  errno = 0;
  ListOutput out(file, encoding);
  if (mark) out.Mark();
  write(out);
  bool ok = out.Finish();
  if (!ok) error = out.error();
  if (std::fflush(file) != 0 && ok) {
    ok = false;
    error = LastError();
  }
  return ok;
}

// The same, then closes the file, which may fail too.
bool WriteAndClose(std::FILE* file, ListEncoding encoding, bool mark,
                   const std::function<void(ListOutput&)>& write, int& error) {
  bool ok = WriteAndFlush(file, encoding, mark, write, error);
  if (std::fclose(file) != 0 && ok) {
    ok = false;
    error = LastError();
  }
  return ok;
}

bool IsListFormat(ListFormat format) {
  return format == ListFormat::Text || format == ListFormat::Csv || format == ListFormat::Html;
}

// A page is always Shift_JIS; the characters it lacks are written as
// character references.
ListEncoding EncodingFor(ListFormat format, ListEncoding chosen) {
  return format == ListFormat::Html ? ListEncoding::Cp932 : chosen;
}

}  // namespace

ListOutput::ListOutput(std::FILE* file, ListEncoding encoding) : file_(file), encoding_(encoding) {
  buffer_.reserve(kBlockSize + 4096);
}

void ListOutput::Mark() {
  if (encoding_ == ListEncoding::Utf8) marked_ = true;
}

std::string ListOutput::Take() {
  std::size_t changed = 0;
  std::string bytes = encoding_ == ListEncoding::Cp932
                          ? Utf8ToCp932(buffer_, refuseLoss_ ? &changed : nullptr)
                          : std::move(buffer_);
  if (changed > 0 && !failed_) {
    failed_ = true;
    error_ = EILSEQ;
  }
  if (marked_) {
    bytes.insert(0, kUtf8Mark);
    marked_ = false;
  }
  buffer_.clear();
  return bytes;
}

void ListOutput::EndLine() {
  buffer_.append("\r\n", 2);
  if (file_ && buffer_.size() >= kBlockSize) Drain();
}

void ListOutput::Drain() {
  // After a failure nothing more is encoded or written.
  if (failed_) {
    buffer_.clear();
    return;
  }
  // Blocks end at line ends, so no character is split between two of them.
  // A block is encoded in place (no character is longer in code page 932),
  // from its first non-ASCII byte: no second block is allocated and an
  // ASCII catalogue is only read once more.
  if (encoding_ == ListEncoding::Cp932) {
    const std::size_t ascii = AsciiPrefixLength(buffer_);
    std::size_t changed = 0;
    const std::size_t n =
        ascii + Utf8ToCp932Into(std::string_view(buffer_).substr(ascii), buffer_.data() + ascii,
                                refuseLoss_ ? &changed : nullptr);
    buffer_.resize(n);
    if (changed > 0) {
      failed_ = true;
      error_ = EILSEQ;
      buffer_.clear();
      return;
    }
  }
  const auto put = [this](std::string_view b) {
    if (!failed_ && !b.empty() && std::fwrite(b.data(), 1, b.size(), file_) != b.size()) {
      failed_ = true;
      error_ = LastError();
    }
  };
  if (marked_) put(kUtf8Mark);
  marked_ = false;
  put(buffer_);
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
// it in the cell, and an LF is stored as CR LF like any line end. A cell a
// spreadsheet would take for a formula gets an apostrophe in front (see
// csv_guard.h).
void AppendCsvField(std::string& out, std::string_view text) {
  // One pass over the cell: quotes are doubled and a line feed is stored as
  // CR LF; the runs between are appended whole. (Cells are short: a loop of
  // its own costs less here than calls into the C library.)
  out.push_back('"');
  if (CsvCellNeedsGuard(text)) out.push_back('\'');
  const char* p = text.data();
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (p[i] != '"' && p[i] != '\n') continue;
    out.append(p + start, i - start);
    out.append(p[i] == '"' ? "\"\"" : "\r\n", 2);
    start = i + 1;
  }
  out.append(p + start, text.size() - start);
  out.push_back('"');
}

}  // namespace

TextColumnWidths::TextColumnWidths(const CategoryTable& table) {
  for (int category : ListColumns(table))
    widths_.push_back(ColumnWidthOf(ListHeaderName(category)));
}

void TextColumnWidths::Add(const std::vector<std::string>& cells) {
  const std::size_t n = std::min(cells.size(), widths_.size());
  for (std::size_t c = 0; c < n; ++c) widths_[c] = std::max(widths_[c], ColumnWidthOf(cells[c]));
}

void TextColumnWidths::AddRows(const RowModel& rows) {
  for (int r = 0; r < rows.Count(); ++r) {
    rows.PrefetchAhead(r);
    Add(rows.Row(r).cells);
  }
}

ListWriter::ListWriter(ListOutput& out, const CategoryTable& table, const ListLayout& layout)
    : out_(out), layout_(layout), columns_(ListColumns(table)) {
  switch (layout_.format) {
    case ListFormat::Csv: {
      std::string& text = out_.text();
      for (std::size_t c = 0; c < columns_.size(); ++c) {
        if (c > 0) text.push_back(',');
        AppendCsvField(text, ListHeaderName(columns_[c]));
      }
      out_.EndLine();
      break;
    }
    case ListFormat::Text: {
      // Never narrower than the header names, even when the widths given
      // were counted without them.
      widths_ = TextColumnWidths(table).widths();
      for (std::size_t c = 0; c < widths_.size() && c < layout_.textWidths.size(); ++c)
        widths_[c] = std::max(widths_[c], layout_.textWidths[c]);
      if (layout_.header) TextLine(nullptr);
      break;
    }
    case ListFormat::Html: HtmlBegin(); break;
  }
}

void ListWriter::Row(const std::vector<std::string>& cells) {
  switch (layout_.format) {
    case ListFormat::Csv: {
      std::string& text = out_.text();
      for (std::size_t c = 0; c < columns_.size(); ++c) {
        if (c > 0) text.push_back(',');
        AppendCsvField(text, c < cells.size() ? std::string_view(cells[c]) : std::string_view(""));
      }
      out_.EndLine();
      break;
    }
    case ListFormat::Text: TextLine(&cells); break;
    case ListFormat::Html: HtmlRow(cells); break;
  }
  ++rows_;
}

void ListWriter::Rows(const RowModel& rows) {
  for (int r = 0; r < rows.Count(); ++r) {
    rows.PrefetchAhead(r);
    Row(rows.Row(r).cells);
  }
}

void ListWriter::Finish() {
  if (layout_.format == ListFormat::Html) HtmlEnd();
}

void ListWriter::TextLine(const std::vector<std::string>* cells) {
  std::string& text = out_.text();
  const std::size_t n = columns_.size();
  for (std::size_t c = 0; c < n; ++c) {
    std::string_view t = !cells              ? std::string_view(ListHeaderName(columns_[c]))
                         : c < cells->size() ? std::string_view((*cells)[c])
                                             : std::string_view("");
    // A text wider than its column (widths counted from other rows) is
    // written whole, with no padding.
    const std::size_t width = ColumnWidthOf(t);
    const std::size_t pad = widths_[c] > width ? widths_[c] - width : 0;
    const bool right = IsRightAligned(columns_[c]);
    if (c == n - 1) {
      AppendStreamText(text, t);
      if (right) text.push_back(' ');
    } else if (right) {
      text.append(pad, ' ');
      AppendStreamText(text, t);
      text.push_back(' ');
    } else {
      AppendStreamText(text, t);
      text.append(pad + 1, ' ');
    }
  }
  out_.EndLine();
}

void WriteCsvList(ListOutput& out, const RowModel& rows, const CategoryTable& table) {
  ListWriter writer(out, table, ListLayout{});
  writer.Rows(rows);
  writer.Finish();
}

void WriteTextList(ListOutput& out, const RowModel& rows, const CategoryTable& table,
                   bool withHeader) {
  TextColumnWidths widths(table);
  widths.AddRows(rows);
  ListLayout layout;
  layout.format = ListFormat::Text;
  layout.header = withHeader;
  layout.textWidths = widths.widths();
  ListWriter writer(out, table, layout);
  writer.Rows(rows);
  writer.Finish();
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
  const std::size_t sep = path.find_last_of("\\/:");
  const std::size_t nameStart = sep == std::string::npos ? 0 : sep + 1;
  const std::size_t nameSize = path.size() - nameStart;
  if (nameSize + 4 + number.size() <= kNameMax) return path + ".tmp" + number;
  // A name that would grow too long is shortened on a character boundary
  // (never inside a UTF-8 sequence) and marked with "~".
  const std::string suffix = "~" + number + ".tmp";
  if (suffix.size() >= kNameMax) return {};
  std::size_t keep = nameStart + (kNameMax - suffix.size());
  while (keep > nameStart && (static_cast<unsigned char>(path[keep]) & 0xC0) == 0x80) --keep;
  if (keep <= nameStart) return {};
  return path.substr(0, keep) + suffix;
}

SaveResult ReplaceFileContents(const std::string& path, ListEncoding encoding,
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
  std::FILE* file = OpenFile(temp, "wb");
  if (!file) return {false, SaveFailureText(path, ErrnoCauseText(errno))};
  int error = 0;
  if (!WriteAndClose(file, encoding, true, write, error)) {
    RemoveFile(temp);
    return {false, SaveFailureText(path, ErrnoCauseText(error)), error == EILSEQ};
  }
  std::string cause;
  if (!ReplaceFileWith(temp, path, cause)) {
    RemoveFile(temp);
    return {false, SaveFailureText(path, cause)};
  }
  return {};
}

ListEncoding ExistingListEncoding(const std::string& path, ListEncoding otherwise) {
  std::FILE* file = OpenFile(path, "rb");
  if (!file) return otherwise;
  char head[3] = {};
  const std::size_t n = std::fread(head, 1, sizeof head, file);
  std::fclose(file);
  if (n == 0) return otherwise;
  return n == 3 && std::memcmp(head, kUtf8Mark, 3) == 0 ? ListEncoding::Utf8 : ListEncoding::Cp932;
}

SaveResult AppendFileContents(const std::string& path, ListEncoding encoding,
                              const std::function<void(ListOutput&)>& write) {
  if (IsReadOnlyFile(path)) return {false, SaveFailureText(path, ErrnoCauseText(EACCES))};
  // A list keeps the encoding it has; a new or empty one takes the chosen one.
  encoding = ExistingListEncoding(path, encoding);
  const bool existed = PathExists(path);
  std::FILE* file = OpenFile(path, "ab");
  if (!file) return {false, SaveFailureText(path, ErrnoCauseText(errno))};
  // The old end of the file, to cut a failed append's partial lines away.
  const long long oldSize = FileEndOffset(file);
  int error = 0;
  if (!WriteAndClose(file, encoding, oldSize == 0, write, error)) {
    if (!existed)
      RemoveFile(path);
    else if (oldSize >= 0)
      TruncateFileTo(path, oldSize);
    return {false, SaveFailureText(path, ErrnoCauseText(error)), error == EILSEQ};
  }
  return {};
}

SaveResult SaveListStream(const std::string& path, const CategoryTable& table,
                          const ListLayout& layout, bool append, ListEncoding encoding,
                          const std::function<void(ListWriter&)>& fill, bool refuseLoss) {
  if (path.empty()) return {false, SaveFailureText(path, ErrnoCauseText(ENOENT))};
  if (!IsListFormat(layout.format)) return {false, SaveFailureText(path, ErrnoCauseText(EINVAL))};
  // Only a text list is a log that saves add to; a CSV list and a page are
  // always rewritten whole, with their header.
  const bool adding = append && layout.format == ListFormat::Text;
  ListLayout used = layout;
  if (adding) used.header = false;
  auto write = [&](ListOutput& out) {
    if (refuseLoss) out.RefuseLoss();
    ListWriter writer(out, table, used);
    fill(writer);
    writer.Finish();
  };
  encoding = EncodingFor(layout.format, encoding);
  return adding ? AppendFileContents(path, encoding, write)
                : ReplaceFileContents(path, encoding, write);
}

bool WriteListStream(std::FILE* file, const CategoryTable& table, const ListLayout& layout,
                     ListEncoding encoding, const std::function<void(ListWriter&)>& fill,
                     int& error) {
  return WriteAndFlush(
      file, EncodingFor(layout.format, encoding), true,
      [&](ListOutput& out) {
        ListWriter writer(out, table, layout);
        fill(writer);
        writer.Finish();
      },
      error);
}

SaveResult SaveListFile(const RowModel& rows, const CategoryTable& table, const std::string& path,
                        ListFormat format, bool append, const HtmlOptions* html,
                        ListEncoding encoding, bool refuseLoss) {
  ListLayout layout;
  layout.format = format;
  if (html) layout.html = *html;
  if (format == ListFormat::Text) {
    TextColumnWidths widths(table);
    widths.AddRows(rows);
    layout.textWidths = widths.widths();
  }
  return SaveListStream(
      path, table, layout, append, encoding, [&](ListWriter& writer) { writer.Rows(rows); },
      refuseLoss);
}

}  // namespace clip

namespace clip {

int RowsChangedByCp932(const RowModel& rows, const CategoryTable& table) {
  const int columns = static_cast<int>(ListColumns(table).size());
  int changed = 0;
  for (int r = 0; r < rows.Count(); ++r) {
    for (int c = 0; c < columns; ++c) {
      if (!FitsCp932(rows.Cell(r, c))) {
        ++changed;
        break;
      }
    }
  }
  return changed;
}

std::optional<ListFormat> ListFormatOf(std::string_view path) {
  if (EndsWithNoCase(path, "TXT")) return ListFormat::Text;
  if (EndsWithNoCase(path, "CSV")) return ListFormat::Csv;
  if (EndsWithNoCase(path, "HTM")) return ListFormat::Html;
  return std::nullopt;
}

}  // namespace clip
