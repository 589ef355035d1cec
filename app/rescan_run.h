// A rescan of the catalogue, decided on data: which volumes and folders the
// rows come from, which of those volumes are there to be walked, and the
// run itself over a small disk interface (the window gives it the real
// disks, with progress and Esc; tests give it files held in memory).
//
// The run walks every present volume first and changes nothing until every
// walk is done, so a rescan stopped while walking changes nothing at all.
// Then, volume by volume, it plans, reads the files that need reading and
// applies what was read: stopped while reading, it keeps the rows it has
// read whole (updated rows, added rows) and leaves the rest as they were.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "catalogue/categories.h"
#include "catalogue/rescan.h"
#include "catalogue/row_model.h"
#include "scan/scan.h"

namespace clip {

// The root a folder cell's volume is reached at: "D:\" for "D:\Movies" and
// for "D:", "\\server\share\" for a network folder; empty for a folder that
// names no volume (a relative one).
std::string RescanRoot(std::string_view folder);

// One volume to walk: its top-most folders (a folder inside another is
// covered by it) and the label its rows carry.
struct RescanVolume {
  std::string root;
  std::vector<std::string> folders;  // as the rows spell them
  // The label the volume must have to be walked; nothing: any label (the
  // label column is hidden, or the user picked the folder).
  std::optional<std::string> label;
};

// The volumes of the rows' folder cells, in the order the rows first name
// them; rows without a folder are left out. With the label column shown,
// rows of one root but different labels (two discs read in one drive) are
// two volumes.
std::vector<RescanVolume> VolumesOfRows(const RowModel& rows, const CategoryTable& table);
// The volume of one folder the user picked.
RescanVolume VolumeOfFolder(const std::string& folder);

// What a rescan asks of the disks.
class RescanDisk {
 public:
  virtual ~RescanDisk() = default;
  // The label of the volume at root, or nothing when no volume is there.
  virtual std::optional<std::string> PresentLabel(const std::string& root) = 0;
  // Walks a folder as a scan does, adding every movie file below it (with
  // its size) and every folder listed to walk. False once the rescan is to
  // stop; the walk is then not whole.
  virtual bool Walk(const std::string& folder, RescanWalk& walk) = 0;
  virtual bool FolderExists(const std::string& folder) = 0;
  // One file's texts, read as a scan reads them; nothing once the rescan is
  // to stop (the file is then not read).
  virtual std::optional<MovieRowTexts> Read(const std::string& path) = 0;
  // The texts of the files in order, as far as they were read before the
  // rescan was to stop. A disk may read several at once.
  virtual std::vector<MovieRowTexts> ReadAll(const std::vector<std::string>& paths);
};

struct RescanOutcome {
  int kept = 0, updated = 0, added = 0, gone = 0;
  std::vector<int> goneRows;         // ascending, in the rows as they are now
  std::vector<std::string> skipped;  // volumes not there, as "D:\ (LABEL)"
  bool stopped = false;
};

// Rescans the volumes into the rows. A found row keeps its cells, the typed
// title, genre, creator and comment always; a row whose file changed size
// gets every other cell read again; a new file gets a row in its folder's
// place. Rows whose files are gone stay, listed in goneRows.
RescanOutcome Rescan(RowModel& rows, const CategoryTable& table,
                     const std::vector<RescanVolume>& volumes, RescanDisk& disk);

// The message after a rescan; and the status bar's note of the volumes
// skipped, empty when none was.
std::string RescanSummaryText(const RescanOutcome& outcome);
std::string SkippedVolumesText(const std::vector<std::string>& skipped);
constexpr const char* kRescanCaption = "更新ｽｷｬﾝ";
constexpr const char* kRescanNeedsFolderText =
    "ﾃﾞｨﾚｸﾄﾘﾊﾟｽの列がないため、更新ｽｷｬﾝできません\n"
    "ｶｽﾀﾏｲｽﾞでﾃﾞｨﾚｸﾄﾘﾊﾟｽを表示してください";

}  // namespace clip
