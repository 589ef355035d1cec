// Scans through the window: the files are listed, then read one by one
// while the window stays alive (see scan_session_win.h).
#include "app/scan_session_win.h"

#include <algorithm>

#include "app/app_win.h"
#include "app/main_window_win.h"
#include "catalogue/text.h"

namespace clip {

namespace {

constexpr DWORD kProgressMs = 50;

// Handles the messages waiting, as the message loop would. Esc asks the
// scan to stop (in the find bar it closes the bar instead).
void PumpMessages() {
  AppState& app = App();
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // Kept for the message loop, which ends the program after the scan.
      PostQuitMessage(static_cast<int>(msg.wParam));
      app.stopRequested = true;
      return;
    }
    const bool inFindBar =
        app.findBar && (msg.hwnd == app.findBar || IsChild(app.findBar, msg.hwnd));
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE && !inFindBar) {
      app.stopRequested = true;
      continue;
    }
    if (RouteMessage(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace

ScanSession::ScanSession() : codecs_(names_), lastProgress_(GetTickCount()) {
  AppState& app = App();
  app.commands.scanning = true;
  app.stopRequested = false;
  ShowCommandState();
}

ScanSession::~ScanSession() {
  AppState& app = App();
  app.commands.scanning = false;
  SyncRowCount();
  ShowCommandState();
  // A close asked for during the scan takes place now.
  if (app.closeAfterScan && app.main) PostMessageW(app.main, WM_CLOSE, 0, 0);
}

std::vector<std::string> ScanSession::List(const std::string& folder, FileSystem& fs) {
  AppState& app = App();
  return ListMovieFiles(fs, folder, app.settings.modernFormats == 1, &app.unreadableFolders,
                        [this](std::size_t found) {
                          return Progress("File " + std::to_string(found) + " Found...");
                        });
}

MovieRowTexts ScanSession::ReadTexts(const std::string& path) {
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
  ++read_;
  if (app.onScanProgress) app.onScanProgress(read_);
  return texts;
}

bool ScanSession::Read(const std::string& path, int index) {
  AppState& app = App();
  InsertMovieRow(app.rows, app.table, index, ReadTexts(path));
  return Progress("File " + std::to_string(index) + " Reading...");
}

bool ScanSession::Progress(const std::string& status) {
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
