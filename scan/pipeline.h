// The one way from paths to rows, for the window, its rescan and the
// command line: a producer lists the paths in row order, worker threads
// read them, and the rows are handed on in that order, whatever the number
// of threads or the time each file takes.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <future>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/categories.h"
#include "scan/scan.h"

namespace clip {

// Reads one movie file into the texts of its row: open, sizes, probes, the
// INFO list at its end and the label of its volume. During one reader's
// life each volume root's label and each codec's name is asked once (the
// disc in a drive may change between scans), and the codecs are asked by
// one thread at a time. Safe to call from several threads when fs is.
class RowReader {
 public:
  RowReader(FileSystem& fs, CodecNames& codecs, const CategoryTable& table, int sizeInfo)
      : fs_(fs), codecs_(codecs), table_(table), sizeInfo_(sizeInfo) {}
  MovieRowTexts Read(const std::string& path);
  // The label of the volume that holds folder, from the cache.
  std::string LabelOf(const std::string& folder);
  const CategoryTable& table() const { return table_; }

 private:
  FileSystem& fs_;
  CodecCache codecs_;
  const CategoryTable& table_;
  int sizeInfo_;
  std::mutex labelsMutex_;
  std::map<std::string, std::shared_future<std::string>> labels_;  // by volume root
};

// The threads of a scan: 0 asks for the automatic count (4 per core on a
// network path, 1 per core on a local disk, at most kMaxScanThreads).
constexpr unsigned kMaxScanThreads = 32;
unsigned ScanThreadCount(unsigned setting, unsigned cores, bool networkPath);

class ScanPipeline {
 public:
  // Gives the producer's next path; false once the scan is to stop.
  using AddPath = std::function<bool(std::string path)>;
  using Produce = std::function<void(const AddPath& add)>;
  // Called for each row in order, on the thread that called Run.
  using Row = std::function<void(std::size_t index, const std::string& path, MovieRowTexts& texts)>;

  ScanPipeline(RowReader& reader, unsigned threads);
  ~ScanPipeline();
  ScanPipeline(const ScanPipeline&) = delete;
  ScanPipeline& operator=(const ScanPipeline&) = delete;

  // Runs produce on a thread of its own, reads its paths on the workers
  // and hands each row to row in the producer's order. Returns false when
  // the scan was stopped (the rows handed on so far are whole).
  bool Run(const Produce& produce, const Row& row);
  // Asks a running scan to stop after the files in hand; from any thread.
  void Stop();
  bool stopped() const { return stop_.load(); }
  // The paths being read now (those a stop leaves unread).
  std::vector<std::string> Reading();

 private:
  struct Slot {
    std::string path;
    std::optional<MovieRowTexts> texts;
    bool taken = false;  // a worker reads it
  };
  // Rows read ahead of the one handed on next, per thread: enough to keep
  // every thread busy while one slow file holds the line.
  static constexpr std::size_t kAheadPerThread = 16;
  void Work();

  RowReader& reader_;
  unsigned threads_;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::condition_variable changed_;
  // Paths listed and not yet handed on, from index first_.
  std::deque<Slot> ring_;
  std::size_t first_ = 0, listed_ = 0, nextToRead_ = 0;
  bool produced_ = false;
};

// Walks folder on the pipeline's producer thread (see WalkMovieFiles) and
// hands each of its movie files' rows to row in walk order; false when the
// scan was stopped. Folders that cannot be listed go to unreadable (when
// given), written by the producer: read it after the scan.
bool ScanFolderRows(ScanPipeline& pipeline, FileSystem& fs, const std::string& folder,
                    bool modernFormats, std::vector<std::string>* unreadable,
                    const ScanPipeline::Row& row);

}  // namespace clip
