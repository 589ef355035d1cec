// Scans through the window: the files are listed, then read one by one
// while the window stays alive. Every 50 ms the status bar shows the
// progress, the list its new rows, and the messages waiting are handled,
// so the window repaints and Esc (or its close box) stops the scan after
// the file in hand. Commands that change the rows are refused meanwhile.
#include <windows.h>

#include <algorithm>

#include "app/app_win.h"
#include "app/main_window_win.h"
#include "catalogue/text.h"
#include "scan/scan_win.h"

namespace clip {

namespace {

constexpr DWORD kProgressMs = 50;

// One scan's reading gear, and the pace of its progress.
class ScanSession {
 public:
  ScanSession() : codecs_(names_) {
    AppState& app = App();
    app.commands.scanning = true;
    app.stopRequested = false;
    ShowCommandState();
  }
  ~ScanSession() {
    AppState& app = App();
    app.commands.scanning = false;
    SyncRowCount();
    ShowCommandState();
    // A close asked for during the scan takes place now.
    if (app.closeAfterScan && app.main) PostMessageW(app.main, WM_CLOSE, 0, 0);
  }
  ScanSession(const ScanSession&) = delete;
  ScanSession& operator=(const ScanSession&) = delete;

  std::vector<std::string> List(const std::string& folder) {
    AppState& app = App();
    return ListMovieFiles(fs_, folder, app.settings.modernFormats == 1, &app.unreadableFolders,
                          [this](std::size_t found) {
                            return Progress("File " + std::to_string(found) + " Found...");
                          });
  }

  // Reads one file into the row at index; false when the scan was stopped.
  bool Read(const std::string& path, int index) {
    AppState& app = App();
    MovieRowTexts texts = ReadMovieRow(fs_, codecs_, app.table, app.settings.sizeInfo, path);
    if (app.table.IsOn(VolLabel)) {
      const std::string root = VolumeRoot(PathDirectory(path));
      if (!labelKnown_ || labelRoot_ != root) {
        labelRoot_ = root;
        label_ = fs_.VolumeLabel(root);
        labelKnown_ = true;
      }
      texts.cells[VolLabel] = label_;
    }
    InsertMovieRow(app.rows, app.table, index, std::move(texts));
    ++read_;
    if (app.onScanProgress) app.onScanProgress(read_);
    return Progress("File " + std::to_string(index) + " Reading...");
  }

 private:
  // Shows the progress and handles the waiting messages, at most every
  // 50 ms; false once the scan is to stop.
  bool Progress(const std::string& status) {
    AppState& app = App();
    const DWORD now = GetTickCount();
    if (now - lastProgress_ >= kProgressMs) {
      lastProgress_ = now;
      SetStatusText(0, status);
      SyncRowCount();
      PumpMessages();
    }
    return !app.stopRequested;
  }

  static void PumpMessages() {
    AppState& app = App();
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        // Kept for the message loop, which ends the program after the scan.
        PostQuitMessage(static_cast<int>(msg.wParam));
        app.stopRequested = true;
        return;
      }
      if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
        app.stopRequested = true;
        continue;
      }
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }

  Win32FileSystem fs_;
  Win32CodecNames names_;
  CodecCache codecs_;
  std::string labelRoot_, label_;
  bool labelKnown_ = false;
  int read_ = 0;
  DWORD lastProgress_ = GetTickCount();
};

}  // namespace

bool ScanIntoList(const std::string& folder) {
  AppState& app = App();
  if (app.commands.scanning) return false;
  bool whole = true;
  {
    ScanSession session;
    const std::vector<std::string> files = session.List(folder);
    int index = app.rows.Count();
    whole = !app.stopRequested;
    for (const std::string& path : files) {
      if (!whole || !session.Read(path, index++)) {
        whole = false;
        break;
      }
    }
  }
  return whole;
}

void NoteScanStopped() { SetStatusText(0, App().savedTotalsText + "  ｽｷｬﾝ中止"); }

void AddMovieRowAt(const std::string& path, int index) {
  AppState& app = App();
  if (app.commands.scanning) return;
  RowMarks marks{SelectedRows(), FocusedRow()};
  const int before = app.rows.Count();
  {
    ScanSession session;
    session.Read(path, std::min(std::max(index, 0), before));
  }
  FollowInsertedRows(marks, index < before ? index : before, app.rows.Count() - before);
}

}  // namespace clip
