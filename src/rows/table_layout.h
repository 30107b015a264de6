// Where a table's columns are in its stored rows.
//
// A heap table (and a partition) stores a row's columns in SEGCOL# order:
// stored column i (from 1) is the column whose segment column is i. A
// clustered table stores its cluster key columns once per block in the key
// row (segment columns 1 to k) and the rest in its member rows (segment
// columns k + 1 on). An index-organized table stores its primary key columns
// first in the leaf row, in the order of the key (ICOL$), then the other
// stored columns in SEGCOL# order, the part after the INCLUDING column in the
// overflow segment. Columns without a segment column (virtual columns) are
// never stored; columns past the end of a row are NULL.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "reader/catalogue.h"
#include "reader/value_decode.h"

namespace quillon {

enum class TableKind : std::uint8_t { kHeap, kCluster, kIndexOrganized };

// The two parts a row is read from: the key (a cluster's key row, an IOT's
// key columns) and the body (the row pieces).
enum class RowPart : std::uint8_t { kKey, kBody };

inline constexpr std::int32_t kNoColumn = -1;

class TableLayout {
 public:
  // The layout of a table of the catalogue; an empty layout (no columns)
  // when the table has no TAB$ record.
  static TableLayout Of(const Catalogue& catalogue, std::uint32_t table_object_number);

  TableKind kind() const { return kind_; }
  // The table's columns in catalogue order; values are delivered in this order.
  const std::vector<const ColumnInfo*>& columns() const { return columns_; }
  std::size_t column_count() const { return columns_.size(); }

  // The column index of stored column `position` (from 0) of a part, or
  // kNoColumn. key_columns: the key row's column count (clusters whose
  // dictionary does not say how many key columns they have).
  std::int32_t ColumnAt(RowPart part, std::size_t position, std::size_t key_columns) const;
  // Cluster key columns as the dictionary records them (CLUCOLS, else the
  // cluster's COLS); std::nullopt: take the key row's column count.
  std::optional<std::uint32_t> cluster_key_columns() const { return cluster_key_columns_; }
  // Index-organized tables: the number of key columns in a leaf row.
  std::size_t iot_key_columns() const { return iot_key_.size(); }
  // The table's position in its cluster.
  std::uint8_t cluster_position() const { return cluster_position_; }

 private:
  std::int32_t BySegmentColumn(std::size_t segment_column) const {
    return segment_column < by_segment_column_.size() ? by_segment_column_[segment_column] : kNoColumn;
  }

  TableKind kind_ = TableKind::kHeap;
  std::vector<const ColumnInfo*> columns_;
  std::vector<std::int32_t> by_segment_column_;  // SEGCOL# -> column index
  std::optional<std::uint32_t> cluster_key_columns_;
  std::uint8_t cluster_position_ = 0;
  std::vector<std::int32_t> iot_key_;   // key column j -> column index
  std::vector<std::int32_t> iot_body_;  // non-key stored column i -> column index
};

// The value decoder's view of a column record.
ColumnDescriptor DescriptorOf(const ColumnInfo& column);

}  // namespace quillon
