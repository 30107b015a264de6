#include "rows/table_layout.h"

#include <algorithm>

#include "reader/table_blocks.h"

namespace quillon {

TableLayout TableLayout::Of(const Catalogue& cat, std::uint32_t table_object_number) {
  TableLayout layout;
  const TableRecord* table = cat.tables.First<0>(table_object_number);
  if (!table) return layout;
  for (const auto& column : cat.columns.All<0>(table_object_number)) {
    const auto index = static_cast<std::int32_t>(layout.columns_.size());
    layout.columns_.push_back(&column);
    const std::uint32_t segcol = column.segment_column;
    if (segcol == 0 || segcol > 0xFFFF) continue;
    if (layout.by_segment_column_.size() <= segcol) layout.by_segment_column_.resize(segcol + 1, kNoColumn);
    // The first column that claims a position keeps it.
    if (layout.by_segment_column_[segcol] == kNoColumn) layout.by_segment_column_[segcol] = index;
  }

  if (table->cluster_position) {
    layout.kind_ = TableKind::kCluster;
    layout.cluster_position_ = static_cast<std::uint8_t>(*table->cluster_position);
    layout.cluster_key_columns_ = table->cluster_column_count;
    if (!layout.cluster_key_columns_ && table->base_object) {
      if (const ClusterRecord* cluster = cat.clusters.First<0>(*table->base_object)) {
        if (cluster->key_column_count != 0) layout.cluster_key_columns_ = cluster->key_column_count;
      }
    }
  } else if (table->property & kPropertyIndexOrganized) {
    layout.kind_ = TableKind::kIndexOrganized;
    if (const IndexRecord* top = IotTopIndex(cat, table_object_number)) {
      std::vector<const IndexColumnRecord*> keys;
      for (const auto& ic : cat.index_columns.All<0>(top->index_object_number)) keys.push_back(&ic);
      std::stable_sort(keys.begin(), keys.end(), [](auto* a, auto* b) { return a->position < b->position; });
      for (const IndexColumnRecord* ic : keys) {
        std::int32_t found = kNoColumn;
        for (std::size_t i = 0; i < layout.columns_.size(); ++i) {
          if (layout.columns_[i]->internal_column == ic->internal_column) {
            found = static_cast<std::int32_t>(i);
            break;
          }
        }
        layout.iot_key_.push_back(found);
      }
      if (!layout.iot_key_.empty()) {
        for (std::size_t segcol = 1; segcol < layout.by_segment_column_.size(); ++segcol) {
          const std::int32_t index = layout.by_segment_column_[segcol];
          if (index == kNoColumn) continue;
          if (std::find(layout.iot_key_.begin(), layout.iot_key_.end(), index) != layout.iot_key_.end()) continue;
          layout.iot_body_.push_back(index);
        }
      }
    }
  }
  return layout;
}

std::int32_t TableLayout::ColumnAt(RowPart part, std::size_t position, std::size_t key_columns) const {
  if (kind_ == TableKind::kHeap) return part == RowPart::kBody ? BySegmentColumn(position + 1) : kNoColumn;
  if (kind_ == TableKind::kIndexOrganized && !iot_key_.empty()) {
    const auto& list = part == RowPart::kKey ? iot_key_ : iot_body_;
    return position < list.size() ? list[position] : kNoColumn;
  }
  // Clusters, and index-organized tables whose key columns the dictionary
  // does not list: the key columns are the first segment columns.
  if (part == RowPart::kKey) return BySegmentColumn(position + 1);
  const std::size_t keys = kind_ == TableKind::kCluster && cluster_key_columns_ ? *cluster_key_columns_ : key_columns;
  return BySegmentColumn(keys + position + 1);
}

ColumnDescriptor DescriptorOf(const ColumnInfo& column) {
  return ColumnDescriptor{column.type_code, column.charset_id, column.name};
}

}  // namespace quillon
