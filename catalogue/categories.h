// The categories (columns) of a catalogue and the table that says which of
// them this run shows and where: the seventeen every list has always had,
// then the track categories, each off unless its key is set to 1.
#pragma once

#include <array>
#include <cstdint>

namespace clip {

constexpr int kCategoryCount = 23;
// The categories shown when no settings file says otherwise; those after
// them are shown only when asked for, so lists and settings written without
// them stay as they were.
constexpr int kClassicCategoryCount = 17;

// Category numbers; 0 is always shown as column 0. Several names keep the
// spellings of the settings file's keys (FlameRate, Resolusion, Janle,
// Creater, MoveInfo), which the file format fixes: stored settings files
// and lists name the categories so.
enum Category : int {
  FileName = 0,
  FileSizeBT,
  FileSizeMB,
  FileSizeKB,
  MovieTitle,
  MoveInfo,
  AudioInfo,
  VideoRate,
  AudioRate,
  FlameRate,
  Resolusion,
  PlayTime,
  Janle,
  Creater,
  Comment,
  DirPath,
  VolLabel,
  AudioTracks,  // "2: jpn, eng"
  Subtitles,    // "3: jpn, eng, eng(強制)"
  Channels,     // "5.1" of the first audio track
  VideoBits,    // "10bit HDR10"
  Chapters,     // the count of the first edition
  Status,       // how the file's reading went
};

// The [Customize] value a category has when the settings file has no key
// for it: 1 for the classic seventeen, 0 for the others.
constexpr int DefaultCategoryValue(int k) { return k < kClassicCategoryCount ? 1 : 0; }

enum class Align { Left, Right };

struct CategoryInfo {
  const char* key;             // [Customize] key; "FileName" for category 0
  const char* header;          // the list's own half-width column header
  int width;                   // initial column width in pixels
  Align align;                 // list alignment (also the text list's alignment)
  int fitCommand;              // width-fit command id
  const char* fitText;         // width-fit menu text
  const char* listHeaderName;  // full-width header of CSV, text and HTML lists
  Align textAlign;             // alignment in the fixed-column text list
};

extern const std::array<CategoryInfo, kCategoryCount> kCategories;

// Which categories this run shows and in which column. Filled once while the
// main window is created; a value must be exactly 1 to show its column.
struct CategoryTable {
  std::array<int, kCategoryCount> enabled{};   // [0] unused
  std::array<int, kCategoryCount> position{};  // 0 for categories not shown
  int columnCount = 0;                         // index of the last column

  // Builds the table from the [Customize] values (index 1 on).
  static CategoryTable FromValues(const std::array<int, kCategoryCount>& values);
  // The default table (no settings file): the classic categories.
  static CategoryTable AllOn();
  // Every category, the track categories too.
  static CategoryTable Every();
  // The default values (DefaultCategoryValue of each).
  static std::array<int, kCategoryCount> DefaultValues();

  bool IsOn(int k) const { return k == FileName || enabled[k] == 1; }
  // The width-fit menu item of a category goes only when its value is exactly 0.
  bool RemovesFitItem(int k) const { return k != FileName && enabled[k] == 0; }
  // The list reader counts a category as present when its value is not 0.
  bool ReaderCounts(int k) const { return k != FileName && enabled[k] != 0; }
  bool AnySizeOn() const { return IsOn(FileSizeBT) || IsOn(FileSizeMB) || IsOn(FileSizeKB); }
  int Columns() const { return columnCount + 1; }
  // The category shown in a column, or -1.
  int CategoryAt(int column) const;
};

}  // namespace clip
