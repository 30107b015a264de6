// The record view's columns for a table: the captions of the record list
// and the column descriptions (TableColumnList), and where each cell of a
// row goes in the list.
//
// The record list's columns are the table's column records without the
// hidden and system-generated ones (property 33 or 8388641), duplicates of a
// column number merged (the first keeps its data and takes the later one's
// second number), entries without a stored position removed, sorted by
// column number. The column descriptions list every column record in
// catalogue order with the record view's type text, length and scale.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "reader/catalogue.h"

namespace quillon {

// Property values of the columns the record list leaves out.
inline constexpr std::uint64_t kHiddenColumnProperty = 33;
inline constexpr std::uint64_t kSystemGeneratedColumnProperty = 8388641;
// The same values as stored (C1 22 and C4 09 27 57 2A, packed little-endian
// as ColumnInfo::property_bytes and the DataView cells carry them).
inline constexpr std::uint64_t kHiddenColumnPropertyBytes = 0x22C1;
inline constexpr std::uint64_t kSystemGeneratedColumnPropertyBytes = 0x2A572709C4;

struct RecordListColumn {
  std::string name;
  std::uint32_t column_number = 0;
  std::uint32_t second_number = 0;  // the stored position (ColumnInfo::segment_column)
};

inline constexpr int kRecordListColumnWidth = 142;  // pixels

struct RecordColumns {
  std::vector<RecordListColumn> list;   // the record list's columns, left to right
  std::vector<ColInsert> descriptions;  // TableColumnList
  // Cells are matched to list columns by column number instead of by second
  // number: set when two list columns share a second number, so that the
  // second number does not name one list column.
  bool alternate_numbering = false;
};

// The columns of a table (by object number) for the record view.
RecordColumns BuildRecordColumns(const Catalogue& catalogue, std::uint32_t table_object_number);

// The record view's type text, length and scale of a column.
struct RecordTypeText {
  std::string type;
  std::string length;
  std::string scale;
};
RecordTypeText RecordTypeOf(const ColumnInfo& column);

// The texts of one row for the record list, one per list column: each cell
// goes to the list column of its own column (matched by second number, or
// by column number with the alternate numbering); cells of hidden and
// system-generated columns and cells without a list column are left out, a
// list column without a cell stays empty.
std::vector<std::string> PlaceCells(const RecordColumns& columns, std::span<const DataView> cells);

}  // namespace quillon
