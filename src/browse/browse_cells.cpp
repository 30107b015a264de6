#include "browse/browse_cells.h"

namespace quillon {

void MakeBrowseCells(const TableRow& row, const TableLayout& layout, DecodeContext& context,
                     std::vector<DataView>& cells) {
  const auto& columns = layout.columns();
  cells.resize(columns.size());
  for (std::size_t i = 0; i < columns.size(); ++i) {
    const ColumnInfo& c = *columns[i];
    DataView& cell = cells[i];
    cell.column_number = c.column_number;
    cell.segment_column = c.segment_column;
    cell.column_name = c.name;
    cell.property_low = static_cast<std::uint32_t>(c.property_bytes);
    cell.property_high = static_cast<std::uint32_t>(c.property_bytes >> 32);
    const DecodedValue value = DecodeColumnValue(DescriptorOf(c), row.values[i], DecodeMode::kBrowse, context);
    cell.value_text = BrowseCellText(value.text);
  }
}

}  // namespace quillon
