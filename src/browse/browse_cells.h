// Browse mode: a row as the record view shows it, one DataView cell per
// column of the table (catalogue order) with the column's numbers, name and
// property bytes and its value text cut to 40 characters. Bulky and
// structured types show their placeholder words ("CLOB", "Long", ...).
#pragma once

#include <vector>

#include "rows/row_reader.h"
#include "reader/catalogue_columns.h"
#include "reader/value_decode.h"

namespace quillon {

// Fills cells (reusing its strings) with the cells of row.
void MakeBrowseCells(const TableRow& row, const TableLayout& layout, DecodeContext& context,
                     std::vector<DataView>& cells);

}  // namespace quillon
