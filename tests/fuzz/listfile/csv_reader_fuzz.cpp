// CSV list reader over arbitrary bytes. The first three bytes choose the
// category table (two bytes of on/off flags, one naming a category whose
// flag is 2); the rest is the file. Checks that records stay within their
// slots and that whatever loads saves and loads back alike (a loaded cell
// holds no NUL, and any other text is stored without loss).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "listfile/csv_loader.h"
#include "listfile/csv_reader.h"
#include "listfile/list_format.h"
#include "listfile/listfile.h"

namespace {

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace clip;
  if (size < 3) return 0;
  std::array<int, kCategoryCount> values{};
  for (int k = 1; k < kCategoryCount; ++k) values[k] = ((data[(k - 1) / 8] >> ((k - 1) % 8)) & 1);
  if (data[2] % 17 != 0) values[data[2] % 17] = 2;
  const CategoryTable table = CategoryTable::FromValues(values);
  std::string_view file(reinterpret_cast<const char*>(data) + 3, size - 3);
  // A byte-order mark makes the list UTF-8, as when a file is opened.
  const bool utf8 = file.substr(0, 3) == "\xEF\xBB\xBF";
  if (utf8) file.remove_prefix(3);
  const ListEncoding encoding = utf8 ? ListEncoding::Utf8 : ListEncoding::Cp932;

  // Every record keeps to its slots.
  {
    CsvReader reader(file);
    CsvRecord record;
    int records = 0;
    while (ReadCsvRecord(reader, record) == 0) {
      ++records;
      Check(record.lastField >= 0 && record.SlotCount() <= kCsvFieldSlots);
      for (const auto& f : record.fields) {
        Check(f.size() <= kCsvFieldMax);
        Check(std::memchr(f.data(), 0, f.size()) == nullptr);
      }
    }
    Check(records <= static_cast<int>(file.size()) + 1);
  }

  RowModel rows;
  rows.Insert(0, "existing.avi", 0);
  CsvReader reader(file);
  int result = LoadCsvRecords(rows, table, reader, encoding);
  Check(result >= kCsvLoaded && result <= kCsvItemMismatch);
  if (result != kCsvLoaded) {
    Check(rows.Count() == 1);
    return 0;
  }
  Check(rows.Cell(rows.Count() - 1, 0) == "existing.avi");
  rows.Delete(rows.Count() - 1);
  (void)FormatTextList(rows, table, true);
  (void)FormatHtmlList(rows, table, HtmlOptions{});

  ListOutput out(nullptr, encoding);
  WriteCsvList(out, rows, table);
  const std::string csv = out.Take();
  RowModel again;
  CsvReader back(csv);
  Check(LoadCsvRecords(again, table, back, encoding) == kCsvLoaded);
  Check(again.Count() == rows.Count());
  for (int r = 0; r < rows.Count(); ++r)
    for (int c = 0; c <= table.columnCount; ++c) Check(again.Cell(r, c) == rows.Cell(r, c));
  return 0;
}
