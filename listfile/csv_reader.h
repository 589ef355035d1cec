// Record splitting of CSV list files, at the byte level (texts are not
// decoded; no byte of a code page 932 or UTF-8 character is a quote, comma,
// CR or LF unless it is that character).
//
// A record is read by RFC 4180, as spreadsheets write it. A field that
// starts with a double quote is quoted: it holds commas, line breaks and
// doubled quotes (one quote each) and ends at a quote that a comma or the
// line end follows. Any other field ends at the next comma or line end, and
// a quote inside it is data. CR LF and LF end a line alike; inside quotes
// either is one LF, the line end of a text stream (the writer stores an LF
// in a cell as CR LF). A CR that no LF follows is data everywhere.
//
// Earlier versions quoted every field but wrote a quote inside a field as it
// was, so their lines break RFC 4180 wherever a field holds a quote. A
// record is read again as one line by the line rule when, within its first
// kCsvRereadMax bytes, a closing quote is followed by anything but a comma
// or the line end, or the file ends inside quotes; and a record that spans
// lines but does not end within those bytes is read again the same way, so
// that a stray quote cannot swallow the rest of a file. The line rule:
// - a line that starts with a quote (earlier versions' lines): fields end
//   only at the three bytes quote, comma, quote and at a quote right before
//   the line end; every other byte, quotes and commas too, is data;
// - any other line: every comma ends a field; quotes are data.
// Past its first kCsvRereadMax bytes a record is not read again: a line end
// ends it even inside quotes, a byte after a closing quote is data and the
// end of the file closes an open quote.
//
// The loader knows the field count of a data line from the header. When a
// record read as above has another count (and ends within its first
// kCsvRereadMax bytes), a reading of its first line that gives exactly that
// count is taken instead: earlier versions' quoted rule for a line that
// starts with a quote and was read by RFC 4180 (cells such as `a"` next to
// `"b`), and for any other line the digit rule of hand-made lists (a comma
// with a digit on either side does not split, so that 1,234,567 stays one
// field). The digit rule is used nowhere else: it would join the cells of
// minimal quoting such as 0.14,149.
//
// An earlier version's field that holds only doubled quotes (a""b) on a
// line that is otherwise valid RFC 4180 reads as RFC 4180 has it (a"b).
//
// Last, a field that starts with the apostrophe the writer puts before a
// cell a spreadsheet would take for a formula loses it (csv_guard.h has the
// rule), whichever way the record was read.
#pragma once

#include <array>
#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/categories.h"

namespace clip {

constexpr int kCsvFieldSlots = kCategoryCount;  // FileName and every other category
constexpr std::size_t kCsvFieldMax = 1023;  // bytes kept of one field
// The bytes of a record that can be read a second time: the reader keeps
// them in memory until the record's reading is decided.
constexpr std::size_t kCsvRereadMax = 1 << 20;

// The fields of the last record read.
struct CsvRecord {
  // Field texts, each cut at its first NUL byte and, after the writer's
  // apostrophe is taken off, at kCsvFieldMax bytes.
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

  // Reads the next record: 0 when one was read, 1 at the end.
  int Next(CsvRecord& record);
  // True when reading the file failed (the records so far are incomplete).
  bool ReadError() const { return error_; }
  // The lastField a data record should have (the header's); a record with
  // another count may then be read by the line rule (see above). Negative:
  // not known.
  void ExpectLastField(int lastField) { expectedLast_ = lastField; }

 private:
  enum class LineRule { kQuoted, kPlain, kDigits };

  bool ReadRfc(CsvRecord& record);
  void ReadLine(CsvRecord& record, LineRule rule);
  bool Rereadable() const;
  bool Refill();

  std::FILE* file_ = nullptr;
  std::vector<char> block_;
  const char* cur_ = nullptr;
  const char* end_ = nullptr;
  // The start of the record being read while it can still be read again;
  // a file's block keeps the bytes from here on. Null otherwise.
  const char* mark_ = nullptr;
  CsvRecord spare_;  // a second reading of the record, to compare counts
  int expectedLast_ = -1;
  bool error_ = false;
};

// The next record of reader: 0 read, 1 end of input.
inline int ReadCsvRecord(CsvReader& reader, CsvRecord& record) { return reader.Next(record); }

}  // namespace clip
