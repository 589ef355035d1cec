// List files: CSV and fixed-column text writer, HTML writer, CSV reader.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "catalogue/categories.h"
#include "catalogue/row_model.h"

namespace clip {

enum class ListFormat { Text = 0, Csv = 1, Html = 2 };

// How CSV and text lists are encoded: code page 932, as lists always were,
// or UTF-8 after a byte-order mark, which holds every name and is what
// spreadsheet programs open right. HTML pages are always Shift_JIS.
enum class ListEncoding { Cp932, Utf8 };

// The list a path names by its last three characters, compared without
// regard to case ("TXT", "CSV", "HTM"); nothing for any other name.
std::optional<ListFormat> ListFormatOf(std::string_view path);

// Page options of the HTML writer. The options dialog fills it from its
// controls; defaults are those of a missing [HtmlSetting] section. The
// settings file names the page's parts: "Fo" is the page outside the table
// (background, title), "Fit" the table's header row and "Fii" its data rows.
struct HtmlOptions {
  std::string caption = "Untitled";
  std::string topTitle = "Untitled";
  std::string topTitleSize = "7";
  int topTitleAlign = 1;   // 0 left, 1 center, 2 right
  int backgroundKind = 0;  // 0 colour, 1 image
  std::string backgroundImage = "C:\\";
  std::string cellFontSize = "3";
  int headerAlign = 1;
  int rowColouring = 0;  // 0 all rows alike (colour set 1), 1 alternate
  int dataAlign = 1;
  std::uint32_t foBackColor = 0xffffff, foFontColor = 0x0;
  std::uint32_t fitBackColor = 0xffffff, fitFontColor = 0x0;
  std::uint32_t fiiBackColor1 = 0xffffff, fiiFontColor1 = 0x0;
  std::uint32_t fiiBackColor2 = 0xcccccc, fiiFontColor2 = 0x0;
};

// The result of a save: ok, or a message that names the file and the cause.
struct SaveResult {
  bool ok = true;
  std::string error;
  // Not written because a text would have changed (refuseLoss).
  bool lossy = false;
};

// The caption of the box that shows a failed save's message.
constexpr const char* kSaveFailedCaption = "ﾌｧｲﾙ保存失敗";

// Writes the whole catalogue in list order. A replaced file is written
// beside the old one and renamed over it only when the write succeeded;
// append (text only) appends in place without a header line. With
// refuseLoss a code page 932 list that would change a text is not written
// and the result says lossy, which costs no pass over the rows beforehand.
SaveResult SaveListFile(const RowModel& rows, const CategoryTable& table, const std::string& path,
                        ListFormat format, bool append, const HtmlOptions* html = nullptr,
                        ListEncoding encoding = ListEncoding::Cp932, bool refuseLoss = false);

// The encoding of an existing list file by its first bytes (a UTF-8
// byte-order mark); otherwise for a file that is missing or empty.
ListEncoding ExistingListEncoding(const std::string& path, ListEncoding otherwise);

// The number of rows with a text code page 932 cannot hold: a save in code
// page 932 would change them.
int RowsChangedByCp932(const RowModel& rows, const CategoryTable& table);

// 0 loaded; 1 no line or wrong field count; 2 other categories; 3 the file
// could not be opened (the list is unchanged for 1, 2 and 3).
enum CsvLoadResult {
  kCsvLoaded = 0,
  kCsvCountMismatch = 1,
  kCsvItemMismatch = 2,
  kCsvCannotOpen = 3
};
int LoadCsvList(RowModel& rows, const CategoryTable& table, const std::string& path);

// Message box texts for results 1 and 2.
extern const char* const kCsvErrorCaptionCount;  // "CSVﾃﾞｰﾀ読み込み失敗 [ｶﾃｺﾞﾘ数不一致]"
extern const char* const kCsvErrorCaptionItem;  // "CSVﾃﾞｰﾀ読み込み失敗 [ｶﾃｺﾞﾘ項目不一致]"
// "%s ｴﾗｰｺｰﾄﾞ%d" filled with the explanation and the result.
std::string CsvErrorText(int result);
// Caption for result 3; CsvErrorText(3) explains that the file could not be
// opened or read.
extern const char* const kCsvErrorCaptionOpen;  // "CSVﾃﾞｰﾀ読み込み失敗 [ﾌｧｲﾙｵｰﾌﾟﾝ失敗]"

// The full-width header name of a category in all list files.
const char* ListHeaderName(int category);

}  // namespace clip
