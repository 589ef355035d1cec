// Folder walk, row builder and scan totals over small interfaces, so that
// the same rules run natively in tests and over Win32 in the program.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/categories.h"
#include "catalogue/row_model.h"
#include "scan/movie_file.h"
#include "scan/probe_fields.h"

namespace clip {

// The directory bit of a file's attributes, and the value an attribute query
// answers for a path that is not there.
constexpr std::uint32_t kAttrDirectory = 0x10;
constexpr std::uint32_t kAttrInvalid = 0xFFFFFFFF;
// True for the attributes of a folder: the directory bit, with any others.
bool IsFolderAttributes(std::uint32_t attributes);
// Folders deeper than this below the scanned folder are not entered.
constexpr int kMaxFolderDepth = 128;

class FileSystem {
 public:
  struct Entry {
    std::string name;
    std::uint32_t attributes = 0;
  };
  virtual ~FileSystem() = default;
  // Lists a folder's entries in the platform's order; false when the
  // folder cannot be listed.
  virtual bool List(const std::string& folder, std::vector<Entry>& entries) = 0;
  // Opens an existing file for reading, or returns nullptr. Never creates.
  virtual std::unique_ptr<MovieFile> Open(const std::string& path) = 0;
  // Volume label of a root such as "D:\"; empty when the query fails.
  virtual std::string VolumeLabel(const std::string& root) = 0;
  // The root of the volume that holds folder, as VolumeLabel takes it; a
  // scan asks each root's label once.
  virtual std::string VolumeRootOf(const std::string& folder);
  // True when folder lies on a network share, where each file access waits
  // a round trip (the scan then reads more files at once).
  virtual bool IsNetwork(const std::string& folder) {
    (void)folder;
    return false;
  }
  // Identity of a folder for loop detection (for example its full path
  // after links are resolved); empty when unknown.
  virtual std::string FolderIdentity(const std::string& folder) { return folder; }
};

// Status-bar text output (part 0 to 3).
class StatusSink {
 public:
  virtual ~StatusSink() = default;
  virtual void SetStatusText(int part, const std::string& text) = 0;
};

// Drive figures in KB; false when the drive cannot be queried.
class DiskQuery {
 public:
  virtual ~DiskQuery() = default;
  virtual bool SpaceKB(const std::string& root, std::uint64_t& totalKB, std::uint64_t& freeKB) = 0;
};

// The names a scan adds: the last three characters "AVI" or "MPG" without
// their point (MOVIEAVI is a movie), or ".RM" with it (xrm is not), in any
// case; with modernFormats also the endings of today's containers after
// the last point (mp4 m4v mov 3gp mkv webm wmv asf flv ts m2ts mts mpeg vob
// divx, in any case).
bool IsMovieName(std::string_view path, bool modernFormats = false);

enum class PathKind { Folder, Movie, Ignored };
// Command-line items: a folder by its directory bit. A movie file is one whose name a scan adds
// (modernFormats as the scan's switch).
PathKind ClassifyCommandLinePath(std::uint32_t attributes, std::string_view path,
                                 bool modernFormats = false);
// Dropped items, by the same rules.
PathKind ClassifyDroppedPath(std::uint32_t attributes, std::string_view path,
                             bool modernFormats = false);

// The movie files below folder, in the order their rows take: a folder's
// own files in listing order, then the files of its subfolders, each
// subfolder in turn. Folders that cannot be listed are added to unreadable
// (when given). Each file is handed to found as soon as its folder is
// listed; false from found ends the walk there.
void WalkMovieFiles(FileSystem& fs, const std::string& folder, bool modernFormats,
                    std::vector<std::string>* unreadable,
                    const std::function<bool(std::string path)>& found);
// The same files in one list.
std::vector<std::string> ListMovieFiles(FileSystem& fs, const std::string& folder,
                                        bool modernFormats,
                                        std::vector<std::string>* unreadable = nullptr);

// The texts of one movie file's row, by category: only the categories the
// table shows are read (see RowReader in scan/pipeline.h).
struct MovieRowTexts {
  std::array<std::string, kCategoryCount> cells;
  bool opened = false;  // the file could be opened (else it has no sizes or facts)
  // How the probe's reading went: a truncated or broken file still gets
  // its row, and the command line names it.
  ProbeOutcome outcome = ProbeOutcome::Whole;
};

// Inserts a row of read texts at index (clamped to the row count); its tag
// is the row count before the insert.
void InsertMovieRow(RowModel& rows, const CategoryTable& table, int index, MovieRowTexts texts);

// Root of the volume that holds a row's folder text, such as "D:\" (a file
// in a drive's root folder has the folder "D:") or "\\server\share\"; empty
// for a network path without its share.
std::string VolumeRoot(const std::string& folder);

// folder + "\\" + name; no separator is added after one of the folder's own.
std::string JoinPath(const std::string& folder, const std::string& name);

// Totals text of status-bar part 0, e.g. "3file(s) 3,584KB(3.5MB)".
std::string TotalsText(const RowModel& rows, const CategoryTable& table);
// Writes parts 0 to 3 for the drive of path; returns the part-0 text
// (the caller keeps it as the saved totals text).
std::string ShowScanTotals(const RowModel& rows, const CategoryTable& table, DiskQuery& disk,
                           StatusSink& status, const std::string& path);
// Writes part 0 only; returns its text.
std::string ShowRowTotals(const RowModel& rows, const CategoryTable& table, StatusSink& status);

}  // namespace clip
