// The INFO writer: the title, creator and comment of checked rows written
// into their AVI files, and what it says about the files it left alone.
#pragma once

#include <string>
#include <vector>

#include "catalogue/categories.h"
#include "catalogue/row_model.h"

namespace clip {

// Why the INFO writer left a file alone.
enum class InfoFault {
  None = 0,
  NoFullPath,     // the row's folder cell names no drive or share
  NotFileName,    // the row's name holds a folder separator or a stream name
  Missing,        // no file at the row's path
  CannotOpen,     // locked by another program, or no access
  ReadOnly,       // marked read-only
  NotRiffAvi,     // does not start with a RIFF 'AVI ' header
  Truncated,      // the RIFF header claims more bytes than the file holds
  NoIndex,        // no idx1 chunk inside the RIFF chunk
  IndexPastEnd,   // idx1's size runs past the end of the file
  ForeignTail,    // something other than our own INFO list follows idx1
  NotCp932,       // a text has characters code page 932 cannot hold
  TooManyChunks,  // the chunk walk gave up before finding idx1
  ReadFailed,
  WriteFailed,
  CutFailed,  // the new list is written but the old one's rest remains
};

// One file the INFO writer skipped or could not write, and why.
struct InfoWriteProblem {
  std::string path;
  std::string reason;  // the user-facing text for fault
  InfoFault fault = InfoFault::None;
};

// Writes title, creator and comment of every checked row into its AVI file
// as a LIST INFO behind idx1, never damaging a file; returns the problems.
std::vector<InfoWriteProblem> WriteCheckedInfo(const RowModel& rows, const CategoryTable& table);
// The same with the folder separator used to join folder and file name.
std::vector<InfoWriteProblem> WriteCheckedInfo(const RowModel& rows, const CategoryTable& table,
                                               char separator);

}  // namespace clip
