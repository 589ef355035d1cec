// The bytes of each list file format, built in memory, and the file output
// that replaces a file only once its new contents are completely written.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "listfile/listfile.h"

namespace clip {

// The category shown in each column: column 0 FileName, then every shown
// category in category order.
std::vector<int> ListColumns(const CategoryTable& table);

// A CSV list: header line and one line per row, every field quoted.
std::string FormatCsvList(const RowModel& rows, const CategoryTable& table);
// A fixed-column text list; the header line only when withHeader is true
// (column widths count the header names either way).
std::string FormatTextList(const RowModel& rows, const CategoryTable& table, bool withHeader);
// An HTML page with the given options.
std::string FormatHtmlList(const RowModel& rows, const CategoryTable& table,
                           const HtmlOptions& options);

// &, <, > and " as character references; other bytes unchanged.
std::string EscapeHtml(std::string_view text);

// Appends text as a text stream stores it: every LF becomes CR LF.
void AppendStreamText(std::string& out, std::string_view text);

// Writes data to a file beside path and renames it over path only when the
// whole write succeeded, so that a failed write leaves the old file as it was.
SaveResult ReplaceFileContents(const std::string& path, std::string_view data);
// Appends data to path (created when missing).
SaveResult AppendFileContents(const std::string& path, std::string_view data);

// The name written before renaming over path: path + ".tmp", shortened at a
// character boundary when that would exceed 259 bytes. Empty when no such
// name fits.
std::string TempPathFor(const std::string& path);

// The message of a failed save: names the file and the cause.
std::string SaveFailureText(const std::string& path, const std::string& cause);

}  // namespace clip
