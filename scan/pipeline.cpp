// The scan pipeline: one producer thread lists, the workers read, and the
// thread that runs the scan hands the rows on in the producer's order.
#include "scan/pipeline.h"

#include <algorithm>
#include <thread>

namespace clip {

unsigned ScanThreadCount(unsigned setting, unsigned cores, bool networkPath) {
  if (setting > 0) return std::min(setting, kMaxScanThreads);
  // A share answers each open and read a round trip later: more files in
  // flight hide the wait. A local disk is kept busy by one per core.
  const unsigned perCore = networkPath ? 4 : 1;
  return std::clamp(std::max(cores, 1u) * perCore, 1u, kMaxScanThreads);
}

ScanPipeline::ScanPipeline(RowReader& reader, unsigned threads)
    : reader_(reader), threads_(std::clamp(threads, 1u, kMaxScanThreads)) {}

ScanPipeline::~ScanPipeline() = default;

void ScanPipeline::Stop() {
  stop_ = true;
  std::lock_guard<std::mutex> lock(mutex_);
  changed_.notify_all();
}

std::vector<std::string> ScanPipeline::Reading() {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<std::string> paths;
  for (const Slot& slot : ring_)
    if (slot.taken && !slot.texts) paths.push_back(slot.path);
  return paths;
}

void ScanPipeline::Work() {
  const std::size_t ahead = threads_ * kAheadPerThread;
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    // A file is read only within the rows ahead of the one handed on next.
    changed_.wait(lock, [&] {
      return stop_ || (nextToRead_ < listed_ && nextToRead_ < first_ + ahead) ||
             (produced_ && nextToRead_ >= listed_);
    });
    if (stop_ || nextToRead_ >= listed_) return;
    const std::size_t index = nextToRead_++;
    Slot& slot = ring_[index - first_];
    slot.taken = true;
    const std::string path = slot.path;
    lock.unlock();
    MovieRowTexts texts = reader_.Read(path);
    lock.lock();
    // The slot is still there: rows are handed on only once read.
    ring_[index - first_].texts = std::move(texts);
    changed_.notify_all();
  }
}

bool ScanPipeline::Run(const Produce& produce, const Row& row) {
  std::thread producer([&] {
    produce([&](std::string path) {
      if (stop_) return false;
      std::lock_guard<std::mutex> lock(mutex_);
      ring_.push_back(Slot{std::move(path), std::nullopt, false});
      ++listed_;
      changed_.notify_all();
      return !stop_.load();
    });
    std::lock_guard<std::mutex> lock(mutex_);
    produced_ = true;
    changed_.notify_all();
  });
  std::vector<std::thread> workers;
  for (unsigned t = 0; t < threads_; ++t) workers.emplace_back([this] { Work(); });

  auto finish = [&] {
    if (stop_) Stop();  // wakes the threads that wait for room or work
    producer.join();
    for (std::thread& w : workers) w.join();
  };
  try {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
      changed_.wait(lock, [&] {
        return stop_ || (!ring_.empty() && ring_.front().texts) || (produced_ && first_ == listed_);
      });
      if (stop_ || ring_.empty() || !ring_.front().texts) break;
      Slot slot = std::move(ring_.front());
      ring_.pop_front();
      const std::size_t index = first_++;
      changed_.notify_all();
      lock.unlock();
      row(index, slot.path, *slot.texts);
      lock.lock();
    }
  } catch (...) {
    Stop();
    finish();
    throw;
  }
  const bool whole = !stop_;
  finish();
  return whole;
}

bool ScanFolderRows(ScanPipeline& pipeline, FileSystem& fs, const std::string& folder,
                    bool modernFormats, std::vector<std::string>* unreadable,
                    const ScanPipeline::Row& row) {
  return pipeline.Run(
      [&](const ScanPipeline::AddPath& add) {
        WalkMovieFiles(fs, folder, modernFormats, unreadable, add);
      },
      row);
}

}  // namespace clip
