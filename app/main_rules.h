// Rules of the main window that are decided on data alone: the command
// line and dropped paths, the status bar, the selection totals, the row
// clipboard, list-file types and the list's extended style. (Which
// commands the menus offer is in command_states.h.)
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/categories.h"
#include "catalogue/row_model.h"
#include "base/version.h"
#include "listfile/listfile.h"
#include "scan/scan.h"

namespace clip {

// ---- Display scale -------------------------------------------------------

// The window's sizes are given at 96 DPI (the settings file keeps them so)
// and shown at the window's DPI, rounded to the nearest pixel; a size too
// large for an int stays at the int's edge. A DPI of 0 or less counts as 96.
int ScaleToDpi(int value, int dpi);
// Back from the window's DPI to 96: ScaleFromDpi(ScaleToDpi(v, d), d) == v
// for every DPI of 96 and above.
int ScaleFromDpi(int value, int dpi);
// The tool bar's images at a DPI: the largest of 16, 24 and 32 pixels that
// 16 pixels scaled to the DPI reach.
int ToolbarImageSize(int dpi);

struct ScreenRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const ScreenRect& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
};
// The window's place without a saved rectangle: two thirds of the work
// area each way, centred on it.
ScreenRect DefaultWindowRect(const ScreenRect& workArea);

// ---- Command line and dropped paths (their kinds: scan/scan.h) ---------

// A command-line item as a path from the folder the program was started in:
// a full path ("D:\x", "\\server\share\x") stays as it is, a path from
// the root of the drive ("\x") takes the start folder's drive, anything
// else is joined to the start folder. (The program changes its current
// folder to its own at start, so the platform cannot resolve it later.)
std::string PathFromStartFolder(std::string_view startFolder, std::string_view item);

// ---- Status bar ---------------------------------------------------------

constexpr const char* kNonScanning = "Non Scanning...";
constexpr const char* kDiskMaxNonScan = "DiskMax: Non Scan";
constexpr const char* kDiskFreeNonScan = "DiskFree: Non Scan";
constexpr const char* kPerNon = "Per:Non";
// The parts' widths when their texts need no more room (at 96 DPI).
constexpr std::array<int, 4> kStatusPartWidths = {190, 110, 113, 67};
// The right edges of the four parts: each part is as wide as its text
// needs (textWidths, with padding) and never narrower than its usual width
// at the window's DPI; the last part reaches to the window's right edge
// (-1) when there is room.
std::array<int, 4> StatusPartEdges(const std::array<int, 4>& textWidths, int clientWidth,
                                   int dpi = 96);

// Sum of the rows' kilobytes, 64-bit so that selections above 2 TB add up.
std::int64_t SelectedKB(const RowModel& rows, const CategoryTable& table,
                        const std::vector<int>& selected);
// "%dﾌｧｲﾙ選択 %sKB(%.1fMB)" with the grouped total.
std::string SelectionTotalsText(int count, std::int64_t totalKB);

// ---- Row clipboard ------------------------------------------------------

// One row of text, one slot per column position.
struct RowClipboard {
  std::array<std::string, kCategoryCount> slots;
};

// Copies cells 0 to the last column of a row into the clipboard.
void CopyRowToClipboard(const RowModel& rows, const CategoryTable& table, int row,
                        RowClipboard& clip);
// Moves the selected rows (ascending indexes) out one by one: every one of
// them is deleted and the clipboard ends up holding the last of them.
void CutRows(RowModel& rows, const CategoryTable& table, const std::vector<int>& selected,
             RowClipboard& clip);
// Deletes the rows at the given ascending indexes.
void DeleteRows(RowModel& rows, const std::vector<int>& selected);
// Inserts the clipboard below row s with tag s + 1; returns the new index.
int PasteRow(RowModel& rows, const CategoryTable& table, int s, const RowClipboard& clip);

// ---- Selection that follows its rows ------------------------------------

// After count rows were inserted at index: rows at and after it move down.
std::vector<int> SelectionAfterInsert(const std::vector<int>& selected, int index, int count);
// After the rows at deleted (ascending) went away.
std::vector<int> SelectionAfterDelete(const std::vector<int>& selected,
                                      const std::vector<int>& deleted);
// After a sort that moved old row i to moved[i]; the result is ascending.
std::vector<int> SelectionAfterMove(const std::vector<int>& selected,
                                    const std::vector<int>& moved);

// ---- List files, columns, styles -----------------------------------------

// The catalogue list's extended style: full-row selection always, grid
// lines and check boxes as switched (0x25, 0x21, 0x24, 0x20).
constexpr unsigned kExGridLines = 0x1, kExCheckBoxes = 0x4, kExFullRowSelect = 0x20;
unsigned ListExtendedStyle(bool gridLines, bool dirPathOn);

// The category whose width-fit command this is, or -1 (40021 included).
int CategoryOfFitCommand(int id);

// Font height from a size setting (base detected from the text).
int FontHeightFromSetting(std::string_view sizeText);

// The question asked before a code page 932 list would change the texts of
// some rows: save as UTF-8 (yes), with the characters replaced (no) or not
// at all (cancel). A text list appended to keeps its encoding (switchable
// false): replace (OK) or cancel.
std::string Cp932SaveQuestion(int rows, bool switchable);
constexpr const char* kCp932SaveCaption = "ﾘｽﾄの文字ｺｰﾄﾞ";

// One message naming the folders a scan could not list (access denied, a
// disc gone), at most maxListed of them; empty when there are none.
std::string UnreadableFoldersText(const std::vector<std::string>& folders,
                                  std::size_t maxListed = 20);
constexpr const char* kUnreadableCaption = "ｽｷｬﾝできなかったﾌｫﾙﾀﾞ";
// The files a stopped scan left to a read that did not answer (a share
// gone quiet); their rows are not in the list.
std::string UnansweredFilesText(const std::vector<std::string>& files, std::size_t maxListed = 20);
constexpr const char* kUnansweredCaption = "読み取れなかったﾌｧｲﾙ";

// The message of a CSV list that could not be opened, naming the file.
std::string CsvOpenFailedText(std::string_view path);

}  // namespace clip
