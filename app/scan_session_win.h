// Scans through the window: the files are listed and read on threads of
// their own, and the window's thread only takes the finished rows, in
// order, into the list. While a scan runs the window answers every message
// at once; Esc or the close box stop it within a fifth of a second even
// when a file does not answer (such a file is left to its thread and named
// afterwards as not read), and the commands that change rows are refused.
#pragma once

#include <windows.h>

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "catalogue/categories.h"
#include "scan/pipeline.h"
#include "scan/scan.h"
#include "scan/codecs_win.h"

namespace clip {

// What a scan's thread shares with the window. The thread owns nothing of
// the window's: everything it reads is copied in here, so that a scan left
// behind can end whenever its file answers.
class ScanJob {
 public:
  ScanJob(std::unique_ptr<FileSystem> files, const CategoryTable& table, int sizeInfo,
          bool modernFormats, unsigned threads);
  ~ScanJob();
  ScanJob(const ScanJob&) = delete;
  ScanJob& operator=(const ScanJob&) = delete;

  // ---- On the scan's thread ----
  FileSystem& fs;
  Win32CodecNames codecs;
  const CategoryTable table;
  const int sizeInfo;
  const bool modernFormats;
  // Folders that could not be listed (the window reports them after).
  std::vector<std::string> unreadable;
  // The threads to read with for a scan below folder.
  unsigned ThreadsFor(const std::string& folder);
  // A pipeline over this job's files: Stop reaches it while it runs.
  void Attach(ScanPipeline* pipeline);
  bool stopped() const { return stop_.load(); }
  // Hands a finished row to the window.
  void Row(MovieRowTexts texts);
  void Found(std::size_t files) { found_ = files; }

  // ---- On the window's thread ----
  void Stop();
  std::deque<MovieRowTexts> TakeRows();
  std::size_t found() const { return found_.load(); }
  std::vector<std::string> Reading();
  void Finish();  // by the scan's thread, as it ends
  HANDLE rowsReady() const { return rowsReady_; }
  HANDLE done() const { return done_; }

 private:
  std::unique_ptr<FileSystem> files_;
  unsigned threads_;
  std::atomic<bool> stop_{false};
  std::atomic<std::size_t> found_{0};
  std::mutex mutex_;
  std::deque<MovieRowTexts> rows_;
  ScanPipeline* pipeline_ = nullptr;
  HANDLE rowsReady_, done_;
};

// Marks the window as scanning for its life: the commands that change rows
// are refused; at its end a close asked for meanwhile takes place.
class ScanSession {
 public:
  ScanSession();
  ~ScanSession();
  ScanSession(const ScanSession&) = delete;
  ScanSession& operator=(const ScanSession&) = delete;

  // Runs work on a thread of its own with the window alive (its job holds
  // the window's settings of now), and gives each row it hands on to
  // insert, in order, on the window's thread. False when the scan was
  // stopped.
  bool Run(std::function<void(ScanJob&)> work, const std::function<void(MovieRowTexts&)>& insert);
  int rowsTaken() const { return taken_; }

 private:
  int taken_ = 0;
};

// Scans one folder, appending rows, with the window alive; false when the
// scan was stopped (or another one runs).
bool ScanIntoList(const std::string& folder);
// Says in the status bar, after the totals, that the last scan was stopped.
void NoteScanStopped();
// Builds one movie's row at index, the selection following its rows.
void AddMovieRowAt(const std::string& path, int index);

}  // namespace clip
