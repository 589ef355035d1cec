// The bytes of each list file format, built in memory, and the file output
// that replaces a file only once its new contents are completely written.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "listfile/listfile.h"

namespace clip {

// The category shown in each column: column 0 FileName, then every shown
// category in category order.
std::vector<int> ListColumns(const CategoryTable& table);

// Where a list file's bytes go: kept in memory, or handed to an open file
// in large blocks as lines are completed. Writers append UTF-8 text; it is
// encoded as the list's encoding says when it is handed on.
class ListOutput {
 public:
  explicit ListOutput(std::FILE* file = nullptr, ListEncoding encoding = ListEncoding::Cp932);

  // A UTF-8 list starts with the byte-order mark (what spreadsheet programs
  // need to read it right); call before anything is written.
  void Mark();
  // A code page 932 output that meets a character code page 932 lacks
  // stops there: nothing more is handed on, and Finish() fails with EILSEQ.
  void RefuseLoss() { refuseLoss_ = true; }
  // The text not yet handed on; writers append to it.
  std::string& text() { return buffer_; }
  // Appends CR LF; with a file, a full block is then written out.
  void EndLine();
  // Writes what is left (with a file). False when any write failed.
  bool Finish();
  // The C library error of the first failed write.
  int error() const { return error_; }
  // Everything written, encoded (memory output).
  std::string Take();

 private:
  void Drain();

  std::FILE* file_ = nullptr;
  ListEncoding encoding_ = ListEncoding::Cp932;
  bool marked_ = false;
  bool refuseLoss_ = false;
  std::string buffer_;
  bool failed_ = false;
  int error_ = 0;
};

// How a list is laid out: its format and what the format needs to know
// before its first line.
struct ListLayout {
  ListFormat format = ListFormat::Csv;
  // Text lists: the header line (a list appended to has none) and each
  // column's width, which must hold every row that will be written (see
  // TextColumnWidths): a fixed-column list can start only once every row's
  // widths are known.
  bool header = true;
  std::vector<std::size_t> textWidths;
  HtmlOptions html;  // pages
};

// The widths of a fixed-column text list: per column the widest of its
// header name and the cells added.
class TextColumnWidths {
 public:
  explicit TextColumnWidths(const CategoryTable& table);
  // cells in column order (as CatalogueRow holds them; missing ones empty).
  void Add(const std::vector<std::string>& cells);
  // Every row of the model.
  void AddRows(const RowModel& rows);
  const std::vector<std::size_t>& widths() const { return widths_; }

 private:
  std::vector<std::size_t> widths_;
};

// One list written a row at a time, so that a catalogue of any length can
// go out as its rows are made: the beginning (header line, page head) is
// written on construction, each row as it is handed over, the end by
// Finish. Every format rule lives here; the whole-catalogue writers below
// hand their rows to it.
class ListWriter {
 public:
  ListWriter(ListOutput& out, const CategoryTable& table, const ListLayout& layout);
  // cells in column order, as CatalogueRow holds them (missing ones empty).
  void Row(const std::vector<std::string>& cells);
  // Every row of the model, in its order.
  void Rows(const RowModel& rows);
  void Finish();

 private:
  // The header line when cells is null.
  void TextLine(const std::vector<std::string>* cells);
  void HtmlBegin();
  void HtmlCell(const std::string& opening, std::string_view text);
  void HtmlRow(const std::vector<std::string>& cells);
  void HtmlEnd();

  ListOutput& out_;
  ListLayout layout_;
  std::vector<int> columns_;
  std::vector<std::size_t> widths_;
  std::string htmlSet1_, htmlSet2_;
  bool alternate_ = false;
  long long rows_ = 0;
};

// A CSV list: header line and one line per row, every field quoted and a
// quote inside a field doubled (RFC 4180).
void WriteCsvList(ListOutput& out, const RowModel& rows, const CategoryTable& table);
std::string FormatCsvList(const RowModel& rows, const CategoryTable& table);
// A fixed-column text list; the header line only when withHeader is true
// (column widths count the header names either way).
void WriteTextList(ListOutput& out, const RowModel& rows, const CategoryTable& table,
                   bool withHeader);
std::string FormatTextList(const RowModel& rows, const CategoryTable& table, bool withHeader);
// An HTML page with the given options.
void WriteHtmlList(ListOutput& out, const RowModel& rows, const CategoryTable& table,
                   const HtmlOptions& options);
std::string FormatHtmlList(const RowModel& rows, const CategoryTable& table,
                           const HtmlOptions& options);

// &, <, > and " as character references; other bytes unchanged.
std::string EscapeHtml(std::string_view text);

// Appends text as a text stream stores it: every LF becomes CR LF.
void AppendStreamText(std::string& out, std::string_view text);

// Writes a list whose rows are handed to the writer by fill, as
// SaveListFile writes a catalogue: a replaced file only once it is whole, an
// append (text only) cut back to its old end when it fails. Pages are
// always code page 932, whatever encoding says. With refuseLoss, a code
// page 932 list that would change a text is not written at all (lossy).
SaveResult SaveListStream(const std::string& path, const CategoryTable& table,
                          const ListLayout& layout, bool append, ListEncoding encoding,
                          const std::function<void(ListWriter&)>& fill, bool refuseLoss = false);
// The same to an open stream (standard output) as to a new file: false when
// a write failed, with the C library error in error.
bool WriteListStream(std::FILE* file, const CategoryTable& table, const ListLayout& layout,
                     ListEncoding encoding, const std::function<void(ListWriter&)>& fill,
                     int& error);

// Writes a file beside path through write() and renames it over path only
// when the whole write succeeded, so that a failed write leaves the old
// file as it was.
SaveResult ReplaceFileContents(const std::string& path, ListEncoding encoding,
                               const std::function<void(ListOutput&)>& write);
// Appends to path (created when missing) through write(), in the encoding
// the file has (its byte-order mark) or, for a new or empty file, encoding.
// A failed append leaves the file as it was, and no file where none was.
SaveResult AppendFileContents(const std::string& path, ListEncoding encoding,
                              const std::function<void(ListOutput&)>& write);

// The name written before renaming over path: path + ".tmp" (".tmp1",
// ".tmp2", ... for later attempts); a file name that would pass 255 bytes is
// shortened on a character boundary and ends in "~.tmp" ("~1.tmp", ...).
std::string TempPathFor(const std::string& path, int attempt = 0);

// The message of a failed save: names the file and the cause.
std::string SaveFailureText(const std::string& path, const std::string& cause);

}  // namespace clip
