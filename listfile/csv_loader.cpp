#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "base/cp932.h"
#include "base/file_access.h"
#include "base/unicode.h"
#include "listfile/csv_reader.h"
#include "listfile/csv_loader.h"
#include "listfile/listfile.h"

namespace clip {

int LoadCsvRecords(RowModel& rows, const CategoryTable& table, CsvReader& reader,
                   ListEncoding encoding) {
  // A list is code page 932 unless it starts with a UTF-8 byte-order mark;
  // either way its texts become UTF-8 here. ASCII is the same in both, so
  // an ASCII field (most of a catalogue) is taken as it stands.
  const auto asIs = [encoding](const std::string& field) {
    return encoding == ListEncoding::Utf8 || AsciiPrefixLength(field) == field.size();
  };
  const auto text = [&](const std::string& field) {
    return asIs(field) ? field : Cp932ToUtf8(field);
  };
  CsvRecord record;
  if (ReadCsvRecord(reader, record) != 0)
    return reader.ReadError() ? kCsvCannotOpen : kCsvCountMismatch;

  // The header must name exactly the classic categories the reader counts
  // (value not 0), in any order; its first field is not checked. A track
  // category's field is placed by its name: its category must be shown,
  // and a shown one the list lacks stays empty.
  const int fieldCount = record.lastField;
  if (fieldCount >= kCsvFieldSlots) return kCsvCountMismatch;  // more than there are categories
  std::vector<int> trackColumn(static_cast<std::size_t>(fieldCount) + 1, 0);
  int trackFields = 0;
  for (int f = 1; f <= fieldCount; ++f) {
    const std::string name = text(record.fields[static_cast<std::size_t>(f)]);
    for (int k = kClassicCategoryCount; k < kCategoryCount; ++k) {
      if (name != ListHeaderName(k)) continue;
      if (!table.IsOn(k)) return kCsvItemMismatch;
      trackColumn[static_cast<std::size_t>(f)] = table.position[k];
      ++trackFields;
      break;
    }
  }
  int expected = 0;
  for (int k = 1; k < kClassicCategoryCount; ++k)
    if (table.ReaderCounts(k)) ++expected;
  if (fieldCount - trackFields != expected) return kCsvCountMismatch;
  for (int k = 1; k < kClassicCategoryCount; ++k) {
    const char* name = ListHeaderName(k);
    bool present = false;
    for (int f = 1; f <= fieldCount && !present; ++f)
      present = trackColumn[static_cast<std::size_t>(f)] == 0 &&
                text(record.fields[static_cast<std::size_t>(f)]) == name;
    if (present != table.ReaderCounts(k)) return kCsvItemMismatch;
    // A category the list does not show has no column for its field: the
    // following fields would land one column too far left.
    if (present && !table.IsOn(k)) return kCsvItemMismatch;
  }
  // Field f goes to column fieldColumn[f]: the classic fields by position
  // among themselves, the track fields to their categories' columns.
  std::vector<int> fieldColumn(trackColumn);
  for (int f = 1, classic = 0; f <= fieldCount; ++f)
    if (trackColumn[static_cast<std::size_t>(f)] == 0)
      fieldColumn[static_cast<std::size_t>(f)] = ++classic;

  // Data lines go on top of the list in file order; fields beyond the last
  // column are dropped. A line whose count differs may fit the header by
  // an earlier version's splitting.
  reader.ExpectLastField(fieldCount);
  const int lastColumn = table.columnCount;
  int row = 0;
  while (ReadCsvRecord(reader, record) == 0) {
    const std::string& name = record.fields[0];
    if (asIs(name))
      rows.Insert(row, name, row);
    else
      rows.Insert(row, Cp932ToUtf8(name), row);
    const int last = std::min(record.SlotCount() - 1, fieldCount);
    // From the last column back, so that the row's cells are sized once.
    for (int j = last; j >= 1; --j) {
      const std::string& field = record.fields[static_cast<std::size_t>(j)];
      if (field.empty()) continue;
      const int column = fieldColumn[static_cast<std::size_t>(j)];
      if (column > lastColumn) continue;
      if (asIs(field))
        rows.SetCell(row, column, field);
      else
        rows.TakeCell(row, column, Cp932ToUtf8(field));
    }
    ++row;
  }
  if (reader.ReadError()) {
    // A file that could not be read to its end is not loaded in part.
    for (int r = row - 1; r >= 0; --r) rows.Delete(r);
    return kCsvCannotOpen;
  }
  return kCsvLoaded;
}

int LoadCsvList(RowModel& rows, const CategoryTable& table, const std::string& path) {
  std::FILE* file = OpenFile(path, "rb");
  if (!file) return kCsvCannotOpen;
  std::setvbuf(file, nullptr, _IONBF, 0);  // the reader reads large blocks itself
  char head[3] = {};
  const bool marked =
      std::fread(head, 1, 3, file) == 3 && std::memcmp(head, "\xEF\xBB\xBF", 3) == 0;
  if (!marked) std::rewind(file);
  CsvReader reader(file);
  int result =
      LoadCsvRecords(rows, table, reader, marked ? ListEncoding::Utf8 : ListEncoding::Cp932);
  std::fclose(file);
  return result;
}

}  // namespace clip
