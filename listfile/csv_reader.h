// Line splitting of CSV list files.
//
// A line that starts with a double quote is quoted: its fields are enclosed
// in quotes and separated by the three bytes quote, comma, quote; quotes and
// commas inside a field are data. Any other line is plain: a comma splits it
// unless a digit stands on either side of the comma, so that grouped sizes
// such as 1,234,567 stay one field. CR LF and LF end a line alike; a line of
// any length is one record.
#pragma once

#include <array>
#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace clip {

constexpr int kCsvFieldSlots = 17;          // FileName and the sixteen categories
constexpr std::size_t kCsvFieldMax = 1023;  // bytes kept of one field

// The fields of the last line read.
struct CsvRecord {
  // Field texts, each cut at kCsvFieldMax bytes and at its first NUL byte.
  std::array<std::string, kCsvFieldSlots> fields;
  // The number of separators found: the index of the last field. It can
  // exceed the slots; fields beyond the last slot are dropped.
  int lastField = 0;

  // Number of fields held in slots.
  int SlotCount() const {
    return (lastField < kCsvFieldSlots ? lastField : kCsvFieldSlots - 1) + 1;
  }
};

// Reads records from an open file (in large blocks) or from memory.
class CsvReader {
 public:
  explicit CsvReader(std::FILE* file);
  explicit CsvReader(std::string_view data);

  // Reads the next line into record: 0 when a line was read, 1 at the end.
  int Next(CsvRecord& record);
  // True when reading the file failed (the records so far are incomplete).
  bool ReadError() const { return error_; }

 private:
  bool Refill();

  std::FILE* file_ = nullptr;
  std::vector<char> block_;
  const char* cur_ = nullptr;
  const char* end_ = nullptr;
  bool error_ = false;
};

// The next record of reader: 0 read, 1 end of input.
inline int ReadCsvRecord(CsvReader& reader, CsvRecord& record) { return reader.Next(record); }

}  // namespace clip
