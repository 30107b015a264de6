#include <algorithm>
#include <tuple>

#include "reader/catalogue_views.h"

namespace quillon {

namespace {

// IND$.PROPERTY bits.
namespace index_property {
inline constexpr std::uint64_t kUnique = 0x01;
inline constexpr std::uint64_t kPartitioned = 0x02;
inline constexpr std::uint64_t kReverse = 0x04;
inline constexpr std::uint64_t kFunctional = 0x10;
inline constexpr std::uint64_t kByConstraint = 0x1000;
}  // namespace index_property

// ICOL$.SPARE1 and COL$.PROPERTY bits of descending index columns.
inline constexpr std::uint64_t kIndexColumnDescending = 0x02;
inline constexpr std::uint64_t kColumnDescending = 0x20000;

}  // namespace

IndexKind IndexKindOf(std::uint32_t type) {
  switch (type) {
    case 1: return IndexKind::kNormal;
    case 2: return IndexKind::kBitmap;
    case 3: return IndexKind::kCluster;
    case 4: return IndexKind::kIotTop;
    case 8: return IndexKind::kLob;
    case 9: return IndexKind::kDomain;
    default: return IndexKind::kOther;
  }
}

bool IndexDefinition::CreatedOnItsOwn() const {
  if (!has_index_record || backs_constraint) return false;
  return kind == IndexKind::kNormal || kind == IndexKind::kBitmap || kind == IndexKind::kCluster;
}

IndexDefinition CatalogueViews::Index(const ObjectRecord& index) const {
  IndexDefinition d;
  d.object = ObjectName{index.object_number, index.owner, index.name};
  std::vector<const IndexColumnRecord*> records;
  for (const IndexColumnRecord& ic : c_.index_columns.All<0>(index.object_number)) records.push_back(&ic);
  std::stable_sort(records.begin(), records.end(), [](const auto* a, const auto* b) { return a->position < b->position; });
  for (const IndexColumnRecord* ic : records) {
    IndexColumnDefinition col;
    col.internal_column = ic->internal_column;
    col.position = ic->position;
    col.name = NumberedName(ic->internal_column);
    bool descending = (ic->flags & kIndexColumnDescending) != 0;
    for (const ColumnInfo& info : c_.columns.All<0>(ic->table_object_number)) {
      if (info.internal_column != ic->internal_column) continue;
      col.name = info.name;
      descending = descending || (info.property & kColumnDescending) != 0;
      // A hidden virtual column stands for an expression (function-based
      // and descending index columns); its DEFAULT$ holds the expression.
      if (info.column_number == 0 && (info.property & kColumnVirtual) != 0 && !info.default_text.empty()) {
        col.expression = info.default_text;
      }
      break;
    }
    col.descending = descending;
    d.columns.push_back(std::move(col));
  }

  const IndexRecord* ix = c_.indexes.First<0>(index.object_number);
  if (ix == nullptr) return d;
  d.has_index_record = true;
  d.table = NameOf(ix->table_object_number);
  if (const ObjectRecord* base = c_.Object(ix->table_object_number)) d.on_cluster = base->kind == ObjectKind::kCluster;
  d.type = ix->type;
  d.kind = IndexKindOf(ix->type);
  d.property = ix->property;
  d.unique = (ix->property & index_property::kUnique) != 0;
  d.partitioned = (ix->property & index_property::kPartitioned) != 0;
  d.reverse = (ix->property & index_property::kReverse) != 0;
  d.function_based = (ix->property & index_property::kFunctional) != 0;
  d.bitmap = d.kind == IndexKind::kBitmap;
  d.tablespace = ix->tablespace;
  d.data_object_number = ix->data_object_number;
  d.relative_file_number = ix->relative_file_number;
  d.header_block = ix->header_block;
  d.backs_constraint = (ix->property & index_property::kByConstraint) != 0;
  for (const ConstraintRecord& cd : c_.constraints.All<0>(ix->table_object_number)) {
    if (cd.type != constraint_type::kPrimaryKey && cd.type != constraint_type::kUnique) continue;
    const std::string name = c_.ConstraintName(cd.constraint_number);
    if (cd.enabled == index.object_number || name == index.name) {
      d.backs_constraint = true;
      d.constraint_name = name;
      break;
    }
  }
  return d;
}

std::vector<IndexDefinition> CatalogueViews::IndexesOf(std::uint32_t table_object_number) const {
  std::vector<IndexDefinition> out;
  for (const IndexRecord& ix : c_.indexes.All<1>(table_object_number)) {
    if (const ObjectRecord* o = c_.Object(ix.index_object_number)) {
      out.push_back(Index(*o));
    } else {
      ObjectRecord unnamed;
      unnamed.object_number = ix.index_object_number;
      unnamed.name = NumberedName(ix.index_object_number);
      if (const ObjectRecord* table = c_.Object(table_object_number)) unnamed.owner = table->owner;
      out.push_back(Index(unnamed));
    }
  }
  return out;
}

ClusterDefinition CatalogueViews::Cluster(const ObjectRecord& cluster) const {
  ClusterDefinition d;
  d.object = ObjectName{cluster.object_number, cluster.owner, cluster.name};
  std::vector<const ColumnInfo*> keys;
  for (const ColumnInfo& col : c_.columns.All<0>(cluster.object_number)) keys.push_back(&col);
  std::stable_sort(keys.begin(), keys.end(), [](const auto* a, const auto* b) { return a->column_number < b->column_number; });
  for (const ColumnInfo* col : keys) d.key_columns.push_back(ColumnOf(*col));
  if (const ClusterRecord* cl = c_.clusters.First<0>(cluster.object_number)) {
    d.has_cluster_record = true;
    d.tablespace = cl->tablespace;
    d.hash_keys = cl->hash_keys;
    d.hash = cl->hash_keys != 0;
    d.size = cl->size;
  }
  std::vector<std::pair<std::uint32_t, ObjectName>> members;
  const auto [begin, end] = tables_by_base_.equal_range(cluster.object_number);
  for (auto it = begin; it != end; ++it) {
    const TableRecord& t = *it->second;
    if (!t.cluster_position) continue;
    members.emplace_back(*t.cluster_position, NameOf(t.object_number).value_or(
                                                  ObjectName{t.object_number, cluster.owner, NumberedName(t.object_number)}));
  }
  std::stable_sort(members.begin(), members.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  for (auto& m : members) d.tables.push_back(std::move(m.second));
  return d;
}

}  // namespace quillon
