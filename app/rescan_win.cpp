// The rescan command: the real disks behind the rescan run of
// rescan_run.h, inside a scan session (the window alive, Esc stops it,
// the commands that change rows refused), then the gone rows selected and
// one message with the counts.
#include <windows.h>

#include <unordered_map>

#include "app/app_win.h"
#include "app/main_window_win.h"
#include "app/rescan_run.h"
#include "app/scan_session_win.h"
#include "catalogue/dialog_helpers_win.h"
#include "catalogue/text.h"
#include "catalogue/wide_win.h"

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

class Win32RescanDisk : public RescanDisk {
 public:
  explicit Win32RescanDisk(ScanSession& session)
      : session_(session), fs_(App().settings.modernFormats == 1) {}

  std::optional<std::string> PresentLabel(const std::string& root) override {
    if (!IsFolder(root)) return std::nullopt;
    return fs_.VolumeLabel(root);
  }

  bool Walk(const std::string& folder, RescanWalk& walk) override {
    AppState& app = App();
    fs_.listed.clear();
    fs_.sizes.clear();
    const std::size_t reported = app.unreadableFolders.size();
    for (const std::string& path : session_.List(folder, fs_)) {
      const auto size = fs_.sizes.find(path);
      walk.files.push_back(
          {PathDirectory(path), PathFileName(path), size == fs_.sizes.end() ? 0 : size->second});
    }
    walk.folders.insert(walk.folders.end(), fs_.listed.begin(), fs_.listed.end());
    // A folder that could not be listed because it is gone is no trouble to
    // report: its rows are gone.
    auto& unreadable = app.unreadableFolders;
    for (std::size_t i = unreadable.size(); i-- > reported;)
      if (!IsFolder(unreadable[i])) unreadable.erase(unreadable.begin() + static_cast<long>(i));
    return !app.stopRequested;
  }

  bool FolderExists(const std::string& folder) override { return IsFolder(folder); }

  std::optional<MovieRowTexts> Read(const std::string& path) override {
    if (App().stopRequested) return std::nullopt;
    MovieRowTexts texts = session_.ReadTexts(path);
    session_.Progress("File " + std::to_string(session_.filesRead()) + " Reading...");
    return texts;
  }

 private:
  ScanSession& session_;
  ListingFileSystem fs_;
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
  RescanOutcome outcome;
  {
    HCURSOR previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    ScanSession session;
    Win32RescanDisk disk(session);
    outcome = Rescan(app.rows, app.table, volumes, disk);
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
