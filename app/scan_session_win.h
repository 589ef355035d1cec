// One scan (or rescan) through the window: the reading gear of one walk and
// the pace of its progress. While a session lives the window stays alive:
// every 50 ms the status bar shows the progress, the list its new rows, and
// the messages waiting are handled; Esc or the close box ask it to stop,
// and the commands that change the rows are refused.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "scan/scan.h"
#include "scan/scan_win.h"

namespace clip {

class ScanSession {
 public:
  ScanSession();
  ~ScanSession();
  ScanSession(const ScanSession&) = delete;
  ScanSession& operator=(const ScanSession&) = delete;

  // The movie files below folder, as a scan lists them through fs.
  std::vector<std::string> List(const std::string& folder, FileSystem& fs);
  std::vector<std::string> List(const std::string& folder) { return List(folder, fs_); }
  // One file's row texts, the volume label included (asked once per root).
  MovieRowTexts ReadTexts(const std::string& path);
  // Reads one file into the row at index; false when the scan was stopped.
  bool Read(const std::string& path, int index);
  // Shows the status and handles the waiting messages, at most every
  // 50 ms; false once the scan is to stop.
  bool Progress(const std::string& status);
  int filesRead() const { return read_; }

 private:
  Win32FileSystem fs_;
  Win32CodecNames names_;
  CodecCache codecs_;
  std::string labelRoot_, label_;
  bool labelKnown_ = false;
  int read_ = 0;
  DWORD lastProgress_;
};

}  // namespace clip
