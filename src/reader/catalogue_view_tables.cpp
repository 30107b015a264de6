#include <algorithm>
#include <cctype>
#include <tuple>

#include "reader/catalogue_views.h"
#include "reader/packed_codes.h"
#include "reader/value_number.h"

namespace quillon {

namespace {

// TAB$.PROPERTY bits.
namespace table_property {
inline constexpr std::uint64_t kTyped = 0x01;
inline constexpr std::uint64_t kPartitioned = 0x20;
inline constexpr std::uint64_t kIndexOrganized = 0x40;
inline constexpr std::uint64_t kIotOverflowSegment = 0x200;
inline constexpr std::uint64_t kClustered = 0x400;
inline constexpr std::uint64_t kNestedTableStorage = 0x2000;
inline constexpr std::uint64_t kGlobalTemporary = 0x400000;
inline constexpr std::uint64_t kPreserveRows = 0x800000;
}  // namespace table_property

// COL$.PROPERTY bits.
inline constexpr std::uint64_t kColumnHidden = 0x20;

// CDEF$.DEFER bits.
namespace defer_bit {
inline constexpr std::uint32_t kDeferrable = 0x01;
inline constexpr std::uint32_t kDeferred = 0x02;
inline constexpr std::uint32_t kValidated = 0x04;
inline constexpr std::uint32_t kGeneratedName = 0x08;
inline constexpr std::uint32_t kRely = 0x20;
}  // namespace defer_bit

// IND$.TYPE# of the top index of an IOT; OPQTYPE$ FLAGS of CLOB storage;
// LOB$.PROPERTY of in-row storage.
inline constexpr std::uint32_t kIotTopIndexType = 4;
inline constexpr std::uint64_t kXmlStoredAsClob = 0x04;
inline constexpr std::uint64_t kLobStorageInRow = 0x02;

inline constexpr std::string_view kRowInfoColumn = "SYS_NC_ROWINFO$";
inline constexpr std::string_view kSystemColumnPrefix = "SYS_NC";

std::string TrimmedUpper(const std::string& text) {
  std::size_t begin = 0, end = text.size();
  while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
  while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
  std::string out = text.substr(begin, end - begin);
  for (char& ch : out) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  return out;
}

PartitionDefinition PartitionOf(std::uint32_t object_number, const std::string& name, std::uint32_t position,
                                const std::string& high_value, const std::string& tablespace) {
  PartitionDefinition p;
  p.object_number = object_number;
  p.name = name;
  p.position = position;
  p.high_value = NullIfEmpty(high_value);
  p.bound = BoundKindOf(high_value);
  p.tablespace = tablespace;
  return p;
}

void SortPartitions(std::vector<PartitionDefinition>& list) {
  std::stable_sort(list.begin(), list.end(), [](const PartitionDefinition& a, const PartitionDefinition& b) {
    return std::tie(a.position, a.object_number) < std::tie(b.position, b.object_number);
  });
}

// The nested-table columns of a storage table, with theirs in turn. A
// catalogue that links storage tables in a ring stops at the depth limit.
std::vector<NestedTableDefinition> ElementStorageTables(const Catalogue& c, std::uint32_t storage, int depth) {
  constexpr int kMaxStorageDepth = 8;
  std::vector<NestedTableDefinition> out;
  if (depth >= kMaxStorageDepth) return out;
  for (const Nsdata& n : c.nested_tables.All<0>(storage)) {
    NestedTableDefinition nt;
    nt.column_name = n.column_name;
    for (const ColumnInfo& col : c.columns.All<0>(storage)) {
      if (col.internal_column == n.internal_column) nt.column_name = col.name;
    }
    nt.internal_column = n.internal_column;
    const ObjectRecord* o = c.Object(n.storage_object_number);
    const ObjectRecord* parent = c.Object(storage);
    nt.storage_table = o ? ObjectName{o->object_number, o->owner, o->name}
                         : ObjectName{n.storage_object_number, parent ? parent->owner : std::string(),
                                      n.storage_table_name};
    nt.element_storage = ElementStorageTables(c, n.storage_object_number, depth + 1);
    out.push_back(std::move(nt));
  }
  std::stable_sort(out.begin(), out.end(), [](const auto& a, const auto& b) { return a.internal_column < b.internal_column; });
  return out;
}

}  // namespace

std::vector<std::string> AttributeNameParts(std::string_view qualified) {
  std::vector<std::string> parts(1);
  bool in_quotes = false;
  for (const char c : qualified) {
    if (c == '"') {
      in_quotes = !in_quotes;
    } else if (c == '.' && !in_quotes) {
      parts.emplace_back();
    } else {
      parts.back() += c;
    }
  }
  return parts;
}

ConstraintKind ConstraintKindOf(std::uint32_t type) {
  switch (type) {
    case constraint_type::kCheck: return ConstraintKind::kCheck;
    case constraint_type::kPrimaryKey: return ConstraintKind::kPrimaryKey;
    case constraint_type::kUnique: return ConstraintKind::kUnique;
    case constraint_type::kForeignKey: return ConstraintKind::kForeignKey;
    case constraint_type::kViewCheck: return ConstraintKind::kViewCheck;
    case constraint_type::kViewReadOnly: return ConstraintKind::kViewReadOnly;
    case constraint_type::kNotNull: return ConstraintKind::kNotNull;
    default: return ConstraintKind::kOther;
  }
}

PartitioningMethod PartitioningMethodOf(std::uint32_t type) {
  switch (type) {
    case 1: return PartitioningMethod::kRange;
    case 2: return PartitioningMethod::kHash;
    case 3: return PartitioningMethod::kSystem;
    case 4: return PartitioningMethod::kList;
    case 5: return PartitioningMethod::kReference;
    default: return PartitioningMethod::kUnknown;
  }
}

const char* PartitioningMethodName(PartitioningMethod method) {
  switch (method) {
    case PartitioningMethod::kRange: return "RANGE";
    case PartitioningMethod::kHash: return "HASH";
    case PartitioningMethod::kSystem: return "SYSTEM";
    case PartitioningMethod::kList: return "LIST";
    case PartitioningMethod::kReference: return "REFERENCE";
    case PartitioningMethod::kUnknown: break;
  }
  return "UNKNOWN";
}

BoundKind BoundKindOf(const std::string& high_value) {
  const std::string word = TrimmedUpper(high_value);
  if (word.empty()) return BoundKind::kNone;
  if (word == "MAXVALUE") return BoundKind::kMaxValue;
  if (word == "DEFAULT") return BoundKind::kDefault;
  return BoundKind::kValues;
}

std::vector<const ColumnDefinition*> TableDefinition::DeclaredColumns() const {
  std::vector<const ColumnDefinition*> list;
  for (const ColumnDefinition& c : columns) {
    if (c.column_number == 0 || c.system_generated) continue;
    if (c.segment_column == 0 && !c.is_virtual) continue;
    list.push_back(&c);
  }
  std::stable_sort(list.begin(), list.end(),
                   [](const ColumnDefinition* a, const ColumnDefinition* b) { return a->column_number < b->column_number; });
  return list;
}

const ColumnDefinition* TableDefinition::ColumnByInternalNumber(std::uint32_t internal_column) const {
  for (const ColumnDefinition& c : columns) {
    if (c.internal_column == internal_column) return &c;
  }
  return nullptr;
}

const ConstraintDefinition* TableDefinition::FirstConstraint(ConstraintKind kind) const {
  for (const ConstraintDefinition& c : constraints) {
    if (c.kind == kind) return &c;
  }
  return nullptr;
}

CatalogueViews::CatalogueViews(const Catalogue& catalogue) : c_(catalogue) {
  for (const TableRecord& t : c_.tables) {
    if (t.base_object) tables_by_base_.emplace(*t.base_object, &t);
  }
}

std::optional<ObjectName> CatalogueViews::NameOf(std::uint32_t object_number) const {
  const ObjectRecord* o = c_.Object(object_number);
  if (o == nullptr) return std::nullopt;
  return ObjectName{o->object_number, o->owner, o->name};
}

std::string CatalogueViews::ColumnNameByNumber(std::uint32_t table, std::uint32_t column_number) const {
  for (const ColumnInfo& col : c_.columns.All<0>(table)) {
    if (col.column_number == column_number && column_number != 0) return col.name;
  }
  return NumberedName(column_number);
}

std::vector<ColumnDefinition> CatalogueViews::Columns(std::uint32_t table_object_number) const {
  std::vector<const ColumnInfo*> list;
  for (const ColumnInfo& col : c_.columns.All<0>(table_object_number)) list.push_back(&col);
  std::stable_sort(list.begin(), list.end(), [](const ColumnInfo* a, const ColumnInfo* b) {
    return std::tie(a->internal_column, a->name) < std::tie(b->internal_column, b->name);
  });
  std::vector<ColumnDefinition> out;
  out.reserve(list.size());
  for (const ColumnInfo* col : list) out.push_back(ColumnOf(*col));
  return out;
}

ColumnDefinition CatalogueViews::ColumnOf(const ColumnInfo& column) const {
  const ColumnInfo* col = &column;
  ColumnDefinition d;
  d.name = col->name;
  d.column_number = col->column_number;
  d.segment_column = col->segment_column;
  d.internal_column = col->internal_column;
  d.type_code = col->type_code;
  d.sql_type = col->sql_type;
  d.length = NumberTextToInteger(col->length_text);
  d.precision = NumberTextToInteger(col->precision_text);
  d.scale = NumberTextToInteger(col->scale_text);
  d.nullable = col->nullable;
  d.default_text = col->default_text;
  d.property = col->property;
  d.is_virtual = (col->property & kColumnVirtual) != 0;
  d.hidden = (col->property & kColumnHidden) != 0;
  d.system_generated = col->name.starts_with(kSystemColumnPrefix);
  d.charset_id = col->charset_id;
  d.charset_form = col->charset_form;
  d.national = col->charset_id == kNationalCharsetCode;
  d.char_semantics = (col->property & kColumnCharSemantics) != 0;
  if (col->char_length != 0) d.char_length = col->char_length;
  if (const ObjectRecord* type = c_.UserTypeOf(*col)) d.user_type = ObjectName{type->object_number, type->owner, type->name};
  for (const AttributeColumnRecord& a : c_.attribute_columns.All<0>(col->object_number)) {
    if (a.internal_column == col->internal_column) {
      d.attribute_name = a.name;
      break;
    }
  }
  return d;
}

std::vector<ConstraintColumn> CatalogueViews::KeyColumns(std::uint32_t table, std::uint32_t constraint_number) const {
  std::vector<const ConstraintColumnRecord*> records;
  for (const ConstraintColumnRecord& cc : c_.constraint_columns.All<0>(constraint_number)) {
    if (cc.table_object_number == table) records.push_back(&cc);
  }
  std::stable_sort(records.begin(), records.end(), [](const auto* a, const auto* b) {
    return std::tie(a->position, a->internal_column) < std::tie(b->position, b->internal_column);
  });
  std::vector<ConstraintColumn> out;
  out.reserve(records.size());
  for (const ConstraintColumnRecord* cc : records) {
    out.push_back(ConstraintColumn{c_.ColumnName(table, cc->internal_column), cc->internal_column, cc->position});
  }
  return out;
}

std::vector<ConstraintDefinition> CatalogueViews::Constraints(std::uint32_t table_object_number) const {
  std::vector<ConstraintDefinition> out;
  for (const ConstraintRecord& cd : c_.constraints.All<0>(table_object_number)) {
    ConstraintDefinition d;
    d.number = cd.constraint_number;
    d.name = c_.ConstraintName(cd.constraint_number);
    d.type = cd.type;
    d.kind = ConstraintKindOf(cd.type);
    d.columns = KeyColumns(table_object_number, cd.constraint_number);
    d.enabled_value = cd.enabled;
    d.enabled = cd.enabled != 0;
    d.defer = cd.defer;
    d.deferrable = (cd.defer & defer_bit::kDeferrable) != 0;
    d.deferred = (cd.defer & defer_bit::kDeferred) != 0;
    d.validated = (cd.defer & defer_bit::kValidated) != 0;
    d.generated_name = (cd.defer & defer_bit::kGeneratedName) != 0;
    d.rely = (cd.defer & defer_bit::kRely) != 0;
    if (cd.delete_rule == 1) d.delete_rule = DeleteRule::kCascade;
    if (cd.delete_rule == 2) d.delete_rule = DeleteRule::kSetNull;
    if (d.kind == ConstraintKind::kForeignKey) {
      if (auto table = NameOf(cd.referenced_object)) {
        ReferencedKey ref;
        ref.table = std::move(*table);
        ref.constraint_number = cd.referenced_constraint;
        ref.constraint_name = c_.ConstraintName(cd.referenced_constraint);
        ref.columns = KeyColumns(cd.referenced_object, cd.referenced_constraint);
        d.references = std::move(ref);
      }
    }
    d.condition = cd.condition;
    out.push_back(std::move(d));
  }
  std::stable_sort(out.begin(), out.end(), [](const ConstraintDefinition& a, const ConstraintDefinition& b) {
    return std::tie(a.name, a.number) < std::tie(b.name, b.number);
  });
  return out;
}

std::optional<PartitioningDefinition> CatalogueViews::Partitioning(std::uint32_t object_number) const {
  const PartitionedObjectRecord* po = c_.partitioned_objects.First<0>(object_number);
  if (po == nullptr) return std::nullopt;
  const auto keys = [&](bool subpartition) {
    std::vector<const PartitionColumnRecord*> records;
    for (const PartitionColumnRecord& pc : c_.partition_columns.All<0>(object_number)) {
      if (pc.subpartition_key == subpartition) records.push_back(&pc);
    }
    std::stable_sort(records.begin(), records.end(), [](const auto* a, const auto* b) { return a->position < b->position; });
    std::vector<PartitionKeyColumn> out;
    for (const PartitionColumnRecord* pc : records) {
      out.push_back(PartitionKeyColumn{c_.ColumnName(object_number, pc->internal_column), pc->internal_column});
    }
    return out;
  };
  PartitioningDefinition d;
  d.method_number = po->partitioning_type;
  d.method = PartitioningMethodOf(po->partitioning_type);
  d.key_columns = keys(false);
  if (po->subpartitioning_type != 0) d.subpartitioning = PartitioningMethodOf(po->subpartitioning_type);
  d.subpartitioning_number = po->subpartitioning_type;
  d.subpartition_key_columns = keys(true);
  d.interval = NullIfEmpty(po->interval);
  d.default_tablespace = po->default_tablespace;
  d.partition_count = po->partition_count;
  return d;
}

std::vector<PartitionDefinition> CatalogueViews::Partitions(std::uint32_t table_object_number) const {
  std::vector<PartitionDefinition> out;
  for (const e6struct& p : c_.table_partitions.All<0>(table_object_number)) {
    PartitionDefinition d = PartitionOf(p.object_number, p.name, p.partition_number, p.high_value, p.tablespace);
    d.data_object_number = p.data_object_number;
    d.relative_file_number = p.relative_file_number;
    d.header_block = p.header_block;
    out.push_back(std::move(d));
  }
  for (const F9struct& p : c_.composite_partitions.All<0>(table_object_number)) {
    PartitionDefinition d =
        PartitionOf(p.object_number, p.name, p.partition_number, p.high_value, p.default_tablespace);
    d.composite = true;
    for (const F0struct& s : c_.subpartitions.All<0>(p.object_number)) {
      PartitionDefinition sub = PartitionOf(s.object_number, s.name, s.subpartition_number, s.high_value, s.tablespace);
      sub.data_object_number = s.data_object_number;
      sub.relative_file_number = s.relative_file_number;
      sub.header_block = s.header_block;
      d.subpartitions.push_back(std::move(sub));
    }
    SortPartitions(d.subpartitions);
    out.push_back(std::move(d));
  }
  SortPartitions(out);
  return out;
}

void CatalogueViews::AddTableKinds(TableDefinition& d, const TableRecord& t) const {
  d.has_table_record = true;
  d.property = t.property;
  d.object_table = (t.property & table_property::kTyped) != 0;
  d.partitioned = (t.property & table_property::kPartitioned) != 0;
  d.index_organized = (t.property & table_property::kIndexOrganized) != 0;
  d.iot_overflow_segment = (t.property & table_property::kIotOverflowSegment) != 0;
  d.clustered = (t.property & table_property::kClustered) != 0;
  d.nested_table_storage = (t.property & table_property::kNestedTableStorage) != 0;
  d.temporary = (t.property & table_property::kGlobalTemporary) != 0;
  d.preserve_rows = (t.property & table_property::kPreserveRows) != 0;
  d.tablespace = t.tablespace;
  d.data_object_number = t.data_object_number;
  d.relative_file_number = t.relative_file_number;
  d.header_block = t.header_block;
  d.pct_free = t.pct_free;
  d.pct_used = t.pct_used;
}

void CatalogueViews::AddIot(TableDefinition& d) const {
  IotDefinition iot;
  for (const IndexRecord& ix : c_.indexes.All<1>(d.object.object_number)) {
    if (ix.type != kIotTopIndexType) continue;
    iot.top_index = NameOf(ix.index_object_number);
    iot.tablespace = ix.tablespace;
    iot.overflow_threshold = ix.overflow_threshold;
    if (ix.including_column != 0) {
      const ColumnDefinition* col = d.ColumnByInternalNumber(ix.including_column);
      iot.including_column = col ? col->name : NumberedName(ix.including_column);
    }
    break;
  }
  const auto [begin, end] = tables_by_base_.equal_range(d.object.object_number);
  for (auto it = begin; it != end; ++it) {
    const TableRecord& over = *it->second;
    if ((over.property & table_property::kIotOverflowSegment) == 0) continue;
    iot.overflow_table = NameOf(over.object_number);
    if (!iot.overflow_table) iot.overflow_table = ObjectName{over.object_number, d.object.owner, NumberedName(over.object_number)};
    iot.overflow_tablespace = over.tablespace;
    break;
  }
  d.iot = std::move(iot);
}

void CatalogueViews::AddCluster(TableDefinition& d, const TableRecord& t) const {
  if (!t.cluster_position || !t.base_object) return;
  auto cluster = NameOf(*t.base_object);
  if (!cluster) return;
  ClusterMembership m;
  m.cluster = std::move(*cluster);
  m.position = *t.cluster_position;
  // The cluster key is stored first in a clustered table's rows: its
  // columns are the table's segment columns 1 to CLUCOLS.
  std::uint32_t key_count = t.cluster_column_count.value_or(0);
  if (key_count == 0) {
    if (const ClusterRecord* cl = c_.clusters.First<0>(*t.base_object)) key_count = cl->key_column_count;
  }
  std::vector<const ColumnDefinition*> keys;
  for (const ColumnDefinition& col : d.columns) {
    if (col.segment_column >= 1 && col.segment_column <= key_count) keys.push_back(&col);
  }
  std::stable_sort(keys.begin(), keys.end(), [](const auto* a, const auto* b) { return a->segment_column < b->segment_column; });
  for (const ColumnDefinition* col : keys) m.key_columns.push_back(col->name);
  d.cluster = std::move(m);
}

void CatalogueViews::AddXml(TableDefinition& d) const {
  if (!d.object_table) return;
  const ColumnDefinition* row_info = nullptr;
  for (const ColumnDefinition& col : d.columns) {
    if (col.name == kRowInfoColumn) row_info = &col;
  }
  if (row_info == nullptr) return;
  const OpaqueTypeRecord* opaque = nullptr;
  for (const OpaqueTypeRecord& o : c_.opaque_types.All<0>(d.object.object_number)) {
    if (o.internal_column == row_info->internal_column) {
      opaque = &o;
      break;
    }
  }
  if (row_info->type_code != type_code::kXmlType && opaque == nullptr) return;
  d.xml_type_table = true;
  XmlTableDefinition xml;
  if (opaque != nullptr) {
    xml.stored_as_clob = (opaque->flags & kXmlStoredAsClob) != 0;
    xml.schema_url = NullIfEmpty(opaque->schema_url);
    if (xml.schema_url && opaque->element_number != 0) {
      for (const XmlSchemaRecord& schema : c_.xml_schemas) {
        if (schema.url != *xml.schema_url) continue;
        for (const XmlElementRecord& e : c_.xml_elements.All<0>(schema.object_id)) {
          if (!e.is_attribute && e.property_number == opaque->element_number) xml.element = e.name;
        }
        break;
      }
    }
  }
  d.xml = std::move(xml);
}

TableDefinition CatalogueViews::Table(const ObjectRecord& table) const {
  TableDefinition d;
  d.object = ObjectName{table.object_number, table.owner, table.name};
  const TableRecord* t = c_.tables.First<0>(table.object_number);
  if (t != nullptr) AddTableKinds(d, *t);
  d.columns = Columns(table.object_number);
  d.constraints = Constraints(table.object_number);
  for (const ConstraintDefinition& cd : d.constraints) {
    if (cd.kind != ConstraintKind::kNotNull) continue;
    for (const ConstraintColumn& key : cd.columns) {
      for (ColumnDefinition& col : d.columns) {
        if (col.internal_column == key.internal_column && col.not_null_constraint.empty()) col.not_null_constraint = cd.name;
      }
    }
  }
  d.partitioning = Partitioning(table.object_number);
  d.partitions = Partitions(table.object_number);
  for (const LobRecord& lob : c_.lobs.All<0>(table.object_number)) {
    LobDefinition l;
    l.internal_column = lob.internal_column;
    const ColumnDefinition* col = d.ColumnByInternalNumber(lob.internal_column);
    l.column_name = col ? col->name : NumberedName(lob.internal_column);
    l.lob_object_number = lob.lob_object_number;
    if (const ObjectRecord* o = c_.Object(lob.lob_object_number)) l.segment_name = o->name;
    l.index_object_number = lob.index_object_number;
    if (const ObjectRecord* o = c_.Object(lob.index_object_number)) l.index_name = o->name;
    l.tablespace = lob.tablespace;
    l.relative_file_number = lob.relative_file_number;
    l.header_block = lob.header_block;
    l.chunk = lob.chunk;
    l.flags = lob.flags;
    l.property = lob.property;
    l.storage_in_row = (lob.property & kLobStorageInRow) != 0;
    l.partitioned = c_.lob_fragments.First<0>(lob.lob_object_number) != nullptr ||
                    c_.lob_composite_partitions.First<0>(lob.lob_object_number) != nullptr;
    d.lobs.push_back(std::move(l));
  }
  std::stable_sort(d.lobs.begin(), d.lobs.end(),
                   [](const auto& a, const auto& b) { return a.internal_column < b.internal_column; });
  for (const Nsdata& n : c_.nested_tables.All<0>(table.object_number)) {
    NestedTableDefinition nt;
    const ColumnDefinition* col = d.ColumnByInternalNumber(n.internal_column);
    nt.column_name = col ? col->name : n.column_name;
    if (col && col->attribute_name) nt.attribute_path = AttributeNameParts(*col->attribute_name);
    nt.internal_column = n.internal_column;
    nt.storage_table = NameOf(n.storage_object_number)
                           .value_or(ObjectName{n.storage_object_number, table.owner, n.storage_table_name});
    nt.element_storage = ElementStorageTables(c_, n.storage_object_number, 1);
    d.nested_tables.push_back(std::move(nt));
  }
  std::stable_sort(d.nested_tables.begin(), d.nested_tables.end(),
                   [](const auto& a, const auto& b) { return a.internal_column < b.internal_column; });
  if (d.index_organized) AddIot(d);
  if (d.iot && d.iot->overflow_table && !d.partitions.empty()) {
    // The overflow table of a partitioned IOT is partitioned alike: its
    // partition of the same PART# holds the partition's overflow rows.
    const std::vector<PartitionDefinition> overflow = Partitions(d.iot->overflow_table->object_number);
    for (PartitionDefinition& p : d.partitions) {
      for (const PartitionDefinition& o : overflow) {
        if (o.position == p.position) {
          p.overflow_tablespace = o.tablespace;
          break;
        }
      }
    }
  }
  if (t != nullptr) AddCluster(d, *t);
  AddXml(d);
  return d;
}

std::vector<TableDefinition> CatalogueViews::Tables() const {
  std::vector<TableDefinition> out;
  for (const ObjectRecord& o : c_.ObjectsOfKind(ObjectKind::kTable)) out.push_back(Table(o));
  return out;
}

}  // namespace quillon
