// The rescan command: the real disks behind the rescan run of
// rescan_run.h, inside a scan session (the window alive, Esc stops it,
// the commands that change rows refused), then the gone rows selected and
// one message with the counts.
#include <windows.h>

#include <atomic>
#include <memory>
#include <unordered_map>
#include <utility>

#include "app/rescan_run_win.h"
#include "app/app_win.h"
#include "app/bars_win.h"
#include "app/totals_win.h"
#include "app/list_win.h"
#include "app/scan_session_win.h"
#include "app/rescan_run.h"
#include "win/dialog_helpers_win.h"
#include "base/text.h"
#include "base/wide_win.h"
#include "scan/fs_win.h"

namespace clip {

namespace {

constexpr const char* kRescanFolderTitle = "更新ｽｷｬﾝするﾌｫﾙﾀﾞを選んでください";

// The Win32 file system that also keeps what its listings saw: the folders
// listed and the sizes of the movie files in them, so that a rescan knows
// every file's size without opening it.
class ListingFileSystem : public Win32FileSystem {
 public:
  explicit ListingFileSystem(bool modernFormats) : modern_(modernFormats) {}

  bool List(const std::string& folder, std::vector<Entry>& entries) override {
    entries.clear();
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileExW(WidePath(JoinPath(folder, "*")).c_str(), FindExInfoBasic, &data,
                                   FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) return false;
    listed.push_back(folder);
    do {
      entries.push_back(Entry{Narrow(data.cFileName), data.dwFileAttributes});
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
      std::string path = JoinPath(folder, entries.back().name);
      if (IsMovieName(path, modern_))
        sizes[std::move(path)] =
            (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return true;
  }

  std::vector<std::string> listed;
  std::unordered_map<std::string, std::uint64_t> sizes;

 private:
  bool modern_;
};

bool IsFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The real disks, asked on the scan's thread: walks as a scan walks, reads
// through the scan pipeline.
class Win32RescanDisk : public RescanDisk {
 public:
  explicit Win32RescanDisk(ScanJob& job) : job_(job), fs_(job.modernFormats) {}

  std::optional<std::string> PresentLabel(const std::string& root) override {
    if (!IsFolder(root)) return std::nullopt;
    return fs_.VolumeLabel(root);
  }

  bool Walk(const std::string& folder, RescanWalk& walk) override {
    fs_.listed.clear();
    fs_.sizes.clear();
    std::vector<std::string> unreadable;
    WalkMovieFiles(fs_, folder, job_.modernFormats, &unreadable, [&](std::string path) {
      const auto size = fs_.sizes.find(path);
      walk.files.push_back(
          {PathDirectory(path), PathFileName(path), size == fs_.sizes.end() ? 0 : size->second});
      job_.Found(++found_);
      return !job_.stopped();
    });
    walk.folders.insert(walk.folders.end(), fs_.listed.begin(), fs_.listed.end());
    // A folder that could not be listed because it is gone is no trouble to
    // report: its rows are gone.
    for (std::string& f : unreadable)
      if (IsFolder(f)) job_.unreadable.push_back(std::move(f));
    return !job_.stopped();
  }

  bool FolderExists(const std::string& folder) override { return IsFolder(folder); }

  std::optional<MovieRowTexts> Read(const std::string& path) override {
    std::vector<MovieRowTexts> one = ReadAll({path});
    if (one.empty()) return std::nullopt;
    return std::move(one.front());
  }

  std::vector<MovieRowTexts> ReadAll(const std::vector<std::string>& paths) override {
    std::vector<MovieRowTexts> texts;
    if (paths.empty() || job_.stopped()) return texts;
    RowReader reader(fs_, job_.codecs, job_.table, job_.sizeInfo);
    ScanPipeline pipeline(reader, job_.ThreadsFor(paths.front()));
    job_.Attach(&pipeline);
    pipeline.Run(
        [&](const ScanPipeline::AddPath& add) {
          for (const std::string& path : paths)
            if (!add(path)) return;
        },
        [&](std::size_t, const std::string&, MovieRowTexts& row) {
          texts.push_back(std::move(row));
          // The window counts the files read as a scan's rows.
          job_.Row(MovieRowTexts{});
        });
    job_.Attach(nullptr);
    return texts;
  }

 private:
  ScanJob& job_;
  ListingFileSystem fs_;
  std::size_t found_ = 0;
};

}  // namespace

void OnRescan(HWND main, bool pickFolder) {
  AppState& app = App();
  if (app.commands.scanning || app.rows.Count() == 0) return;
  if (!CanRescan(app.table)) {
    ShowMessage(main, kRescanNeedsFolderText, kRescanCaption, MB_ICONWARNING | MB_OK);
    return;
  }
  std::vector<RescanVolume> volumes;
  if (pickFolder) {
    const std::optional<std::string> folder = app.chooseRescanFolder
                                                  ? app.chooseRescanFolder(main)
                                                  : PickFolder(main, kRescanFolderTitle);
    if (!folder) return;
    volumes.push_back(VolumeOfFolder(*folder));
  } else {
    volumes = VolumesOfRows(app.rows, app.table);
  }
  // The rows move as new ones come in: the selection is made afresh.
  SelectOnly({}, -1);
  // The rescan works on a copy of the rows on the scan's thread; the list
  // shows the rows as they were until it is done. Left behind on a file
  // that does not answer, it changes nothing.
  RescanOutcome outcome;
  {
    HCURSOR previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    auto result = std::make_shared<std::pair<RowModel, RescanOutcome>>(app.rows, RescanOutcome{});
    auto done = std::make_shared<std::atomic<bool>>(false);
    ScanSession session;
    session.Run(
        [result, done, volumes](ScanJob& job) {
          Win32RescanDisk disk(job);
          result->second = Rescan(result->first, job.table, volumes, disk);
          *done = true;
        },
        [](MovieRowTexts&) {});
    if (*done) {
      app.rows = std::move(result->first);
      outcome = std::move(result->second);
    } else {
      outcome.stopped = true;
    }
    SetCursor(previous ? previous : LoadCursor(nullptr, IDC_ARROW));
  }
  SyncRowCount();
  ShowRowTotalsNow();
  SelectOnly(outcome.goneRows, outcome.goneRows.empty() ? -1 : outcome.goneRows.front());
  ShowSelectionTotals(main, outcome.goneRows);
  if (!outcome.skipped.empty())
    SetStatusText(0, app.statusTexts[0] + "  " + SkippedVolumesText(outcome.skipped));
  if (app.closeAfterScan) return;  // the window closes now
  ReportUnreadableFolders(main);
  ShowMessage(main, RescanSummaryText(outcome), kRescanCaption, MB_ICONINFORMATION | MB_OK);
}

}  // namespace clip
