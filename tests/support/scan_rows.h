// Scans in tests go the program's way: through the scan pipeline, the rows
// inserted in walk order as the window inserts them.
#pragma once

#include <string>
#include <vector>

#include "scan/pipeline.h"
#include "scan/scan.h"

namespace clip::test {

struct TestScan {
  RowModel& rows;
  const CategoryTable& table;
  FileSystem& fs;
  CodecNames& codecs;
  int sizeInfo = 0;
  std::vector<std::string>* unreadable = nullptr;
  bool modernFormats = false;
  unsigned threads = 4;
};

// Appends the rows of folder's movie files; each call is a scan of its own
// (its volume labels asked afresh).
inline bool ScanInto(TestScan& scan, const std::string& folder) {
  RowReader reader(scan.fs, scan.codecs, scan.table, scan.sizeInfo);
  ScanPipeline pipeline(reader, scan.threads);
  int index = scan.rows.Count();
  return ScanFolderRows(pipeline, scan.fs, folder, scan.modernFormats, scan.unreadable,
                        [&](std::size_t, const std::string&, MovieRowTexts& texts) {
                          InsertMovieRow(scan.rows, scan.table, index++, std::move(texts));
                        });
}

// Reads one file into the row at index, as a drop does.
inline void AddFileRow(TestScan& scan, const std::string& path, int index) {
  RowReader reader(scan.fs, scan.codecs, scan.table, scan.sizeInfo);
  InsertMovieRow(scan.rows, scan.table, index, reader.Read(path));
}

}  // namespace clip::test
