// Rescanning a volume: what a fresh walk means for the rows already in the
// catalogue (kept, probed again, gone, or not the walk's business) and
// where the files it found for the first time get their rows. Pure data:
// the walk, the probes and the question whether a volume is present belong
// to the caller.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/categories.h"
#include "catalogue/row_model.h"

namespace clip {

struct FoundFile {
  std::string folder;  // as the walk spells it, such as "D:\Movies\SF"
  std::string name;
  std::uint64_t size = 0;
};

// What one walk of a present volume found.
struct RescanWalk {
  std::vector<FoundFile> files;      // in walk order
  std::vector<std::string> folders;  // every folder listed; the folders of files count too
  // The volume's label. When given and the label column is shown, rows of
  // another label are left alone even in a walked folder: another disc that
  // was read in the same drive.
  std::string volumeLabel;
  bool labelKnown = false;
};

enum class RowFate : unsigned char {
  Untouched,  // not in a walked folder (or of another volume)
  Keep,       // found with the size its cells show
  Update,     // found with another size: probe again, keep the typed cells
  Gone,       // in a walked folder but not found
};

struct NewRowPlace {
  int file = 0;    // index into RescanWalk::files
  int before = 0;  // the old row it goes in front of; the row count for the end
  int row = 0;     // its index once every new row is in
};

struct RescanPlan {
  std::vector<RowFate> fates;      // one per row of the model
  std::vector<NewRowPlace> added;  // files without a row, in their final row order
};

// A folder as Windows compares it: ASCII letters in lower case, "/" as
// "\", without trailing separators ("D:\" is "d:", as folder cells spell a
// drive's root). Rows and found files are matched by this key.
std::string RescanFolderKey(std::string_view folder);

// Whether the rows can be matched with a walk at all: only rows that show
// their folder can.
inline bool CanRescan(const CategoryTable& table) { return table.IsOn(DirPath); }

// Matches rows and found files by folder (ASCII letters compared without
// case, "/" as "\", no trailing separator, as Windows compares paths) and
// file name (exactly: the walk spells it as the file system stores it).
// A found row keeps its fate Keep when its size cells hold the found size
// (see RowByteRange; without a size column nothing can tell) and is Update
// else, also when its size cell is empty. A walked folder that is gone
// altogether may be listed among the walked folders: its rows become Gone.
//
// A new file goes in its folder's place: after the last row of its folder;
// else, when only folders below it have rows, ahead of the first of those
// (a folder's own files come before its subfolders'); else after the last
// row below the nearest enclosing folder that has any; else at the end.
// New files at one place keep their walk order. Without the folder column
// every row is Untouched and nothing is added.
RescanPlan PlanRescan(const RowModel& rows, const CategoryTable& table, const RescanWalk& walk);

// Inserts the plan's new rows in one pass, each with its file name, its
// folder and (when the walk names it) its volume label; the caller probes
// the rest. Returns, for each old row, its new index. A plan made for
// another model changes nothing and returns an empty list.
std::vector<int> ApplyRescan(RowModel& rows, const CategoryTable& table, const RescanWalk& walk,
                             const RescanPlan& plan);

}  // namespace clip
