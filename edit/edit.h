// Item editing and movie files: the INFO writer, the edit dialog's texts and
// the player command.
//
// This header is the contract the main window codes against; the edit
// subsystem may add to it but keeps these names and meanings.
#pragma once

#include <string>
#include <vector>

#include "catalogue/categories.h"
#include "catalogue/row_model.h"

namespace clip {

// One file the INFO writer skipped or could not write, and why.
struct InfoWriteProblem {
  std::string path;
  std::string reason;
};

// Writes title, creator and comment of every checked row into its AVI file
// as a LIST INFO behind idx1, never damaging a file; returns the problems.
std::vector<InfoWriteProblem> WriteCheckedInfo(const RowModel& rows, const CategoryTable& table);

}  // namespace clip
