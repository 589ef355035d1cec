// Scans through the window (see scan_session_win.h).
#include "app/scan_session_win.h"

#include "scan/fs_win.h"

#include <algorithm>
#include <thread>

#include "app/app_win.h"
#include "app/bars_win.h"
#include "app/list_win.h"
#include "base/text.h"

namespace clip {

namespace {

// How often the status bar and the list's row count follow the scan.
constexpr DWORD kShowMs = 50;
// While rows are taken in, waiting messages are handled at least this often.
constexpr DWORD kPumpMs = 10;
// How long a stopped scan may take to end before its thread is left behind.
constexpr DWORD kAbandonMs = 100;

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

ScanJob::ScanJob(std::unique_ptr<FileSystem> files, const CategoryTable& t, int size, bool modern,
                 unsigned threads)
    : fs(*files),
      table(t),
      sizeInfo(size),
      modernFormats(modern),
      files_(std::move(files)),
      threads_(threads),
      rowsReady_(CreateEventW(nullptr, FALSE, FALSE, nullptr)),
      done_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

ScanJob::~ScanJob() {
  CloseHandle(rowsReady_);
  CloseHandle(done_);
}

unsigned ScanJob::ThreadsFor(const std::string& folder) {
  return ScanThreadCount(threads_, std::thread::hardware_concurrency(), fs.IsNetwork(folder));
}

void ScanJob::Attach(ScanPipeline* pipeline) {
  std::lock_guard<std::mutex> lock(mutex_);
  pipeline_ = pipeline;
  if (pipeline_ && stop_) pipeline_->Stop();
}

void ScanJob::Row(MovieRowTexts texts) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    rows_.push_back(std::move(texts));
  }
  SetEvent(rowsReady_);
}

void ScanJob::Stop() {
  stop_ = true;
  std::lock_guard<std::mutex> lock(mutex_);
  if (pipeline_) pipeline_->Stop();
}

std::deque<MovieRowTexts> ScanJob::TakeRows() {
  std::lock_guard<std::mutex> lock(mutex_);
  return std::move(rows_);
}

std::vector<std::string> ScanJob::Reading() {
  std::lock_guard<std::mutex> lock(mutex_);
  return pipeline_ ? pipeline_->Reading() : std::vector<std::string>{};
}

void ScanJob::Finish() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    pipeline_ = nullptr;
  }
  SetEvent(done_);
}

ScanSession::ScanSession() {
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

bool ScanSession::Run(std::function<void(ScanJob&)> work,
                      const std::function<void(MovieRowTexts&)>& insert) {
  AppState& app = App();
  std::unique_ptr<FileSystem> files =
      app.scanFiles ? app.scanFiles() : std::make_unique<Win32FileSystem>();
  auto job = std::make_shared<ScanJob>(std::move(files), app.table, app.settings.sizeInfo,
                                       app.settings.modernFormats == 1, app.settings.scanThreads);
  // The thread keeps the job alive; the window may leave it behind.
  std::thread([job, work = std::move(work)] {
    work(*job);
    job->Finish();
  }).detach();

  const HANDLE waits[2] = {job->rowsReady(), job->done()};
  DWORD lastShown = GetTickCount(), stopAsked = 0;
  bool stopping = false, abandoned = false;
  for (;;) {
    const bool finished = WaitForSingleObject(job->done(), 0) == WAIT_OBJECT_0;
    DWORD lastPump = GetTickCount();
    for (MovieRowTexts& texts : job->TakeRows()) {
      // Rows read after a stop was asked for are not taken.
      if (app.stopRequested) break;
      insert(texts);
      ++taken_;
      if (app.onScanProgress) app.onScanProgress(taken_);
      if (GetTickCount() - lastPump >= kPumpMs) {
        PumpMessages();
        lastPump = GetTickCount();
      }
    }
    if (app.stopRequested && !stopping) {
      stopping = true;
      stopAsked = GetTickCount();
      job->Stop();
    }
    if (finished) break;
    if (stopping && GetTickCount() - stopAsked >= kAbandonMs) {
      abandoned = true;
      break;
    }
    const DWORD now = GetTickCount();
    if (now - lastShown >= kShowMs) {
      lastShown = now;
      SetStatusText(0, taken_ > 0 ? "File " + std::to_string(taken_) + " Reading..."
                                  : "File " + std::to_string(job->found()) + " Found...");
      SyncRowCount();
    }
    MsgWaitForMultipleObjectsEx(2, waits, stopping ? 10 : kShowMs, QS_ALLINPUT,
                                MWMO_INPUTAVAILABLE);
    PumpMessages();
  }
  if (abandoned) {
    // Its files are named as not read; the folders it could not list are
    // not known yet and are not.
    for (std::string& path : job->Reading()) app.unansweredFiles.push_back(std::move(path));
  } else {
    app.unreadableFolders.insert(app.unreadableFolders.end(), job->unreadable.begin(),
                                 job->unreadable.end());
  }
  return !stopping && !app.stopRequested;
}

// The rows of folder's movie files, appended as they come.
bool ScanIntoList(const std::string& folder) {
  AppState& app = App();
  if (app.commands.scanning) return false;
  ScanSession session;
  int index = app.rows.Count();
  return session.Run(
      [folder](ScanJob& job) {
        RowReader reader(job.fs, job.codecs, job.table, job.sizeInfo);
        ScanPipeline pipeline(reader, job.ThreadsFor(folder));
        job.Attach(&pipeline);
        std::size_t found = 0;
        pipeline.Run(
            [&](const ScanPipeline::AddPath& add) {
              WalkMovieFiles(job.fs, folder, job.modernFormats, &job.unreadable,
                             [&](std::string path) {
                               job.Found(++found);
                               return add(std::move(path));
                             });
            },
            [&](std::size_t, const std::string&, MovieRowTexts& texts) {
              job.Row(std::move(texts));
            });
        job.Attach(nullptr);
      },
      [&](MovieRowTexts& texts) {
        InsertMovieRow(app.rows, app.table, index++, std::move(texts));
      });
}

void NoteScanStopped() { SetStatusText(0, App().savedTotalsText + "  ｽｷｬﾝ中止"); }

void AddMovieRowAt(const std::string& path, int index) {
  AppState& app = App();
  if (app.commands.scanning) return;
  RowMarks marks{SelectedRows(), FocusedRow()};
  const int before = app.rows.Count();
  index = std::min(std::max(index, 0), before);
  {
    ScanSession session;
    session.Run(
        [path](ScanJob& job) {
          RowReader reader(job.fs, job.codecs, job.table, job.sizeInfo);
          job.Row(reader.Read(path));
        },
        [&](MovieRowTexts& texts) {
          InsertMovieRow(app.rows, app.table, index, std::move(texts));
        });
  }
  FollowInsertedRows(marks, index, app.rows.Count() - before);
}

}  // namespace clip
