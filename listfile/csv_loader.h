// Loading CSV list records into the catalogue (LoadCsvList reads a file
// through this).
#pragma once

#include "catalogue/categories.h"
#include "catalogue/row_model.h"
#include "listfile/csv_reader.h"
#include "listfile/listfile.h"

namespace clip {

// Checks the header record against the table and puts the data records on
// top of rows, their texts decoded from the file's encoding. Results as
// LoadCsvList: 0 loaded, 1 no line or wrong field count, 2 other
// categories, 3 reading failed (rows unchanged unless 0).
int LoadCsvRecords(RowModel& rows, const CategoryTable& table, CsvReader& reader,
                   ListEncoding encoding = ListEncoding::Cp932);

}  // namespace clip
