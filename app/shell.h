// Rules of the main window that are decided on data alone: menu item
// states, the command line and dropped paths, the selection totals, the
// row clipboard, list-file types and the list's extended style.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/categories.h"
#include "catalogue/row_model.h"

namespace clip {

// ---- Menu item states -------------------------------------------------

// Menu item states as the settings file stores them.
enum MenuStateCode : int { kMenuChecked = 1, kMenuPlain = 2, kMenuGrayed = 3, kMenuEnabled = 4 };

// The platform's menu-state bits that take part (MF_CHECKED, MF_GRAYED,
// MF_DISABLED); other bits (highlight, default item) are not looked at.
constexpr unsigned kMenuBitChecked = 0x8;
constexpr unsigned kMenuBitGrayed = 0x1;
constexpr unsigned kMenuBitDisabled = 0x2;

// 1 checked, 2 plain, 3 grayed, 0 for any other combination; never 4.
int MenuStateCodeFromBits(unsigned state);
// The whole state an item gets for a code: 1 checked, 3 grayed, every
// other code plain.
unsigned MenuBitsForCode(int code);

struct MenuChange {
  int id;
  int code;
};

// What happens to the toolbar's save-as, cut and copy buttons.
enum class ToolbarFiles { Unchanged, Disabled, Enabled, SaveAsOnly };

// Events that change several menu items at once.
enum class ShellEvent { New, OpenTextList, CsvLoaded, SaveAsChosen, Scan, DropOrCommandLine };

struct EventStates {
  std::vector<MenuChange> menu;
  ToolbarFiles toolbar = ToolbarFiles::Unchanged;
};
EventStates StatesAfter(ShellEvent event);

// Row actions follow the selection; check actions follow the check boxes,
// but only while the list has rows and check boxes.
enum class CheckActions { Leave, Enable, Gray };
struct ClickStates {
  bool rowActionsEnabled = false;
  CheckActions checkActions = CheckActions::Leave;
};
ClickStates StatesAfterClick(int selectedCount, int rowCount, bool dirPathOn, bool anyChecked);

// The commands of each group.
extern const std::array<int, 5> kRowActionIds;    // 40012 40008 40009 40011 40044
extern const std::array<int, 2> kCheckActionIds;  // 40041 40042

// ---- Command line and dropped paths -----------------------------------

// Splits at every space (quotes are not interpreted). Two spaces in a row
// give an empty item, which keeps its number but names nothing.
std::vector<std::string> SplitCommandLine(std::string_view text);

enum class PathKind { Folder, Movie, Ignored };
// Command-line items: a folder only with the attributes exactly 0x10.
PathKind ClassifyCommandLinePath(std::uint32_t attributes, std::string_view path);
// Dropped items: folders with 0x10, 0x30 or 0x11.
PathKind ClassifyDroppedPath(std::uint32_t attributes, std::string_view path);
// AVI, MPG or .RM at the end, without regard to case.
bool IsMovieName(std::string_view path);
// Item i goes to row i, or to the end when the list is shorter.
inline int RowIndexForItem(int item, int rowCount) { return item < rowCount ? item : rowCount; }

// ---- Status bar ---------------------------------------------------------

constexpr const char* kNonScanning = "Non Scanning...";
constexpr const char* kDiskMaxNonScan = "DiskMax: Non Scan";
constexpr const char* kDiskFreeNonScan = "DiskFree: Non Scan";
constexpr const char* kPerNon = "Per:Non";
constexpr std::array<int, 4> kStatusPartEdges = {190, 300, 413, 480};

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

enum class ListKind { None, Text, Csv, Html };
// By the path's last three characters, compared without regard to case.
ListKind ListKindOf(std::string_view path);

// The catalogue list's extended style: full-row selection always, grid
// lines and check boxes as switched (0x25, 0x21, 0x24, 0x20).
constexpr unsigned kExGridLines = 0x1, kExCheckBoxes = 0x4, kExFullRowSelect = 0x20;
unsigned ListExtendedStyle(bool gridLines, bool dirPathOn);

// The category whose width-fit command this is, or -1 (40021 included).
int CategoryOfFitCommand(int id);

// Font height from a size setting (base detected from the text).
int FontHeightFromSetting(std::string_view sizeText);

// The version box: "%s Version 0.98t", an empty line and one more line.
std::string VersionText(std::string_view title);

// The message of a list file that could not be written, naming the file.
std::string SaveFailedText(std::string_view path, std::string_view error);
// The message of a CSV list that could not be opened, naming the file.
std::string CsvOpenFailedText(std::string_view path);

}  // namespace clip
