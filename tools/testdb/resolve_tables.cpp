// Clusters, tables and what Oracle creates with them (constraints and their
// indexes, LOB segments and LOB indexes, nested-table storage tables, the
// top index and overflow table of an index-organized table), and indexes.
#include <algorithm>
#include <cstdio>
#include <optional>
#include <utility>

#include "testdb/column_property.h"
#include "testdb/resolver.h"

namespace quillon::testdb {

namespace {

// CDEF$.DEFER bits.
constexpr std::uint32_t kDeferrable = 0x01, kDeferred = 0x02, kValidated = 0x04, kGeneratedName = 0x08,
                        kRely = 0x20;
// IND$.PROPERTY bits.
constexpr std::uint64_t kUnique = 0x01, kPartitioned = 0x02, kReverse = 0x04, kFunctional = 0x10,
                        kByConstraint = 0x1000;

std::string LobName(const char* prefix, std::uint32_t table, std::uint32_t internal_column) {
  char name[40];
  std::snprintf(name, sizeof name, "%s%010uC%05u$$", prefix, table, internal_column);
  return name;
}

std::uint32_t ConstraintType(ConstraintKind kind) {
  switch (kind) {
    case ConstraintKind::kCheck: return 1;
    case ConstraintKind::kPrimaryKey: return 2;
    case ConstraintKind::kUnique: return 3;
    case ConstraintKind::kForeignKey: return 4;
    case ConstraintKind::kNotNull: return 7;
  }
  return 1;
}

}  // namespace

void Resolver::Clusters() {
  for (const ClusterDescription& wanted : schema_.clusters) {
    RCluster c;
    c.object = c.data_object = NextObject();
    c.owner = wanted.owner;
    c.name = wanted.name;
    c.ts = TablespaceNumber(wanted.tablespace);
    std::uint32_t n = 1;
    for (const auto& k : wanted.key_columns) {
      RColumn col = ScalarColumn(k.name, k.type);
      col.column_number = col.internal_column = col.segment_column = n++;
      col.nullable = k.nullable;
      c.key_columns.push_back(std::move(col));
    }
    if (wanted.size != 0) c.size = wanted.size;
    RSegment s;
    s.name = wanted.owner + "." + wanted.name;
    s.data_object = c.data_object;
    s.ts = c.ts;
    s.space = TablespaceOf(c.ts).space;
    s.content = SegmentContent::kClusterRows;
    s.cluster = static_cast<int>(r_.clusters.size());
    c.segment = AddSegment(std::move(s));
    AddObject(c.object, UserNumber(wanted.owner), wanted.name, obj::kNsCluster, obj::kCluster, c.data_object);
    r_.clusters.push_back(std::move(c));
  }
}

void Resolver::Tables() {
  for (const TableDescription& table : schema_.tables) ResolveTable(table);
}

void Resolver::ResolveTable(const TableDescription& wanted) {
  const std::uint32_t owner = UserNumber(wanted.owner);
  if (TableIndex(wanted.owner, wanted.name) >= 0) Fail("table " + wanted.owner + "." + wanted.name + " given twice");
  RTable t;
  t.object = NextObject();
  t.owner = wanted.owner;
  t.name = wanted.name;
  t.wanted = &wanted;
  t.rows = &wanted.rows;
  t.ts = TablespaceNumber(wanted.tablespace);
  t.pct_free = wanted.pct_free;
  t.columns = Columns(wanted, t.object, t);
  for (const RColumn& c : t.columns) {
    if (c.column_number != 0) ++t.visible_columns;
  }
  for (const ConstraintDescription& cs : wanted.constraints) {
    if (cs.kind != ConstraintKind::kPrimaryKey) continue;
    for (const auto& name : cs.columns) {
      for (RColumn& c : t.columns) {
        if (c.name == name) c.nullable = false;
      }
    }
  }
  const std::size_t ti = r_.tables.size();
  const bool partitioned = wanted.partitioning.kind != PartitionKind::kNone;
  const bool iot = wanted.organization != Organization::kHeap;
  if (!wanted.cluster.empty()) {
    auto cluster = std::find_if(r_.clusters.begin(), r_.clusters.end(),
                                [&](const RCluster& c) { return c.owner == wanted.owner && c.name == wanted.cluster; });
    if (cluster == r_.clusters.end()) Fail("unknown cluster " + wanted.cluster);
    if (wanted.cluster_columns.size() != cluster->key_columns.size()) {
      Fail("table " + wanted.name + " names " + std::to_string(wanted.cluster_columns.size()) + " cluster columns");
    }
    cluster->member_tables.push_back(t.object);
    t.base_object = cluster->object;
    t.cluster_position = static_cast<std::uint32_t>(cluster->member_tables.size());
    t.cluster_columns = static_cast<std::uint32_t>(wanted.cluster_columns.size());
    t.data_object = cluster->data_object;
    t.segment = cluster->segment;
    t.ts = cluster->ts;
    t.property |= 0x400;
  } else if (iot) {
    t.property |= 0x40;
    if (wanted.organization == Organization::kIndexWithOverflow) t.property |= 0x80;
  } else if (partitioned) {
    t.property |= 0x20;
  } else {
    t.data_object = t.object;
    RSegment s;
    s.name = wanted.owner + "." + wanted.name;
    s.data_object = t.object;
    s.ts = t.ts;
    s.space = TablespaceOf(t.ts).space;
    s.content = SegmentContent::kTableRows;
    s.table = static_cast<int>(ti);
    s.rows = &wanted.rows;
    t.segment = AddSegment(std::move(s));
  }
  AssignSegmentColumns(t, wanted);
  AddObject(t.object, owner, wanted.name, obj::kNsTable, obj::kTable, t.data_object);
  r_.tables.push_back(std::move(t));
  tables_by_name_[{wanted.owner, wanted.name}] = static_cast<int>(ti);

  // LOB columns, and VARRAY columns stored as LOBs: a LOB segment and a
  // LOB index each.
  for (std::size_t ci = 0; ci < r_.tables[ti].columns.size(); ++ci) {
    const RColumn c = r_.tables[ti].columns[ci];
    const bool varray_lob = c.type_number == 123 && c.logical.store_as_lob;
    if (c.type_number != 112 && c.type_number != 113 && !varray_lob) continue;
    const std::uint32_t table_object = r_.tables[ti].object;
    RLob lob;
    lob.table = table_object;
    lob.column_number = c.column_number;
    lob.internal_column = c.internal_column;
    lob.ts = r_.tables[ti].ts;
    lob.lob_object = NextObject();
    lob.index_object = NextObject();
    const std::optional<std::uint32_t> lob_data = partitioned ? std::nullopt : std::optional(lob.lob_object);
    AddObject(lob.lob_object, owner, LobName("SYS_LOB", table_object, c.internal_column), obj::kNsLob, obj::kLob,
              lob_data);
    const std::string index_name = LobName("SYS_IL", table_object, c.internal_column);
    AddObject(lob.index_object, owner, index_name, obj::kNsIndex, obj::kIndex,
              partitioned ? std::nullopt : std::optional(lob.index_object));
    RIndex ix;
    ix.object = lob.index_object;
    ix.owner = wanted.owner;
    ix.name = index_name;
    ix.base_object = table_object;
    ix.ts = lob.ts;
    ix.type = 8;
    ix.column_count = 1;
    if (partitioned) {
      lob.property |= 0x04;
      ix.property |= kPartitioned;
    } else {
      ix.data_object = ix.object;
      RSegment ls;
      ls.name = index_name;
      ls.data_object = ix.object;
      ls.ts = lob.ts;
      ls.space = TablespaceOf(lob.ts).space;
      ls.content = SegmentContent::kEmpty;
      ls.index = static_cast<int>(r_.indexes.size());
      ix.segment = AddSegment(std::move(ls));
      RSegment s;
      s.name = LobName("SYS_LOB", table_object, c.internal_column);
      s.data_object = lob.lob_object;
      s.ts = lob.ts;
      s.space = TablespaceOf(lob.ts).space;
      s.content = SegmentContent::kEmpty;
      s.lob = true;
      lob.segment = AddSegment(std::move(s));
    }
    r_.indexes.push_back(std::move(ix));
    r_.lobs.push_back(lob);
  }

  // Nested-table columns: a storage table each, holding the elements of
  // every row's collection under the collection's identifier.
  for (const NestedStorageDescription& ns : wanted.nested_tables) {
    const RColumn parent = NestedParent(r_.tables[ti], ns.column);
    const TypeDescription& type = TypeNamed(parent.logical.type_owner, parent.logical.type_name);
    TableDescription& storage = r_.derived_tables.emplace_back();
    storage.owner = wanted.owner;
    storage.name = ns.storage_table;
    storage.tablespace = wanted.tablespace;
    storage.columns.push_back({"NESTED_TABLE_ID", Raw(16)});
    const bool objects = type.element.type == SqlType::kObject;
    if (objects) {
      // The element object's null indicator: NULL for an atomically NULL
      // element (made an object column below).
      storage.columns.push_back({"SYS_NC_ROWINFO$", Raw(1)});
      for (const auto& a : TypeNamed(type.element.type_owner, type.element.type_name).attributes) {
        storage.columns.push_back({a.name, a.type});
      }
    } else {
      storage.columns.push_back({"COLUMN_VALUE", type.element});
      // A nested table of nested tables: the elements' collections are
      // stored in a storage table of the storage table.
      if (!ns.element_storage_table.empty()) storage.nested_tables = {{"COLUMN_VALUE", ns.element_storage_table, {}}};
    }
    const std::vector<const RowValues*> rows = AllTableRows(wanted);
    for (std::size_t row = 0; row < rows.size(); ++row) {
      const Value* collection = SourceValue(parent, *rows[row]);
      if (!collection || collection->kind != Value::Kind::kCollection) continue;
      const Value& v = *collection;
      for (const Value& element : v.items) {
        RowValues out{val::Bytes(NestedTableId(r_.tables[ti].object, parent.internal_column, row))};
        if (objects) {
          out.push_back(element);
          out.insert(out.end(), element.items.begin(), element.items.end());
        } else {
          out.push_back(element);
        }
        storage.rows.push_back(std::move(out));
      }
    }
    // The storage table's own storage tables (if any) are resolved after it.
    const std::size_t si = r_.tables.size();
    ResolveTable(storage);
    RTable& st = r_.tables[si];
    st.property |= 0x2000;
    // A hidden column loses its column number; the visible columns after it
    // move up one.
    std::uint32_t hidden = 0;
    const auto hide = [&st, &hidden](RColumn& hidden_column, std::uint64_t property) {
      hidden_column.column_number = 0;
      hidden_column.property = property;
      for (RColumn& c : st.columns) {
        if (c.column_number > 0) --c.column_number;
      }
      --st.visible_columns;
      ++hidden;
    };
    hide(st.columns.front(), 0x0400 | 0x20);
    if (objects) {
      RColumn& row_object = st.columns[1];
      row_object.type_number = 121;
      row_object.source = ColumnSource::kObjectImage;
      hide(row_object, column_property::kRowInfo | column_property::kHidden);
    }
    for (RNestedTable& inner : r_.nested_tables) {
      if (inner.table == st.object && inner.column_number > hidden) inner.column_number -= hidden;
    }
    // An attribute's NTAB$ row carries its object column's number and its
    // path as ATTRCOL$ names it.
    std::uint32_t column_number = parent.column_number;
    for (const RColumn& c : r_.tables[ti].columns) {
      if (column_number == 0 && c.source_column == parent.source_column && c.column_number != 0) {
        column_number = c.column_number;
      }
    }
    r_.nested_tables.push_back({r_.tables[ti].object, column_number, parent.internal_column, st.object,
                                parent.qualified_name.empty() ? ns.column : parent.qualified_name});
  }

  // Constraints: NOT NULL columns first (in column order), then the others.
  const auto add_constraint = [&](const ConstraintDescription& cs) {
    RTable& table = r_.tables[ti];
    RConstraint c;
    c.number = NextConstraint();
    c.owner = owner;
    c.name = cs.name;
    std::uint32_t defer = 0;
    if (c.name.empty()) {
      char name[16];
      std::snprintf(name, sizeof name, "SYS_C%07u", c.number);
      c.name = name;
      defer |= kGeneratedName;
    }
    c.table = table.object;
    c.type = ConstraintType(cs.kind);
    for (const auto& col : cs.columns) {
      const RColumn& rc = ColumnNamed(table, col);
      c.columns.push_back({rc.column_number, rc.internal_column});
    }
    c.enabled = cs.enabled;
    if (cs.deferrable) defer |= kDeferrable;
    if (cs.initially_deferred) defer |= kDeferred;
    if (cs.validated) defer |= kValidated;
    if (cs.rely) defer |= kRely;
    c.defer = defer;
    c.condition = cs.kind == ConstraintKind::kNotNull ? "\"" + cs.columns.front() + "\" IS NOT NULL" : cs.condition;
    r_.constraints.push_back(std::move(c));
  };
  for (std::size_t ci = 0; ci < wanted.columns.size(); ++ci) {
    const ColumnDescription& cs = wanted.columns[ci];
    if (cs.nullable || !cs.virtual_expression.empty()) continue;
    ConstraintDescription nn;
    nn.kind = ConstraintKind::kNotNull;
    nn.columns = {cs.name};
    add_constraint(nn);
  }
  // The top index of an IOT with an overflow segment is laid out after that
  // segment: its leaf rows hold the addresses of their overflow pieces.
  std::optional<std::pair<std::size_t, RSegment>> top_after_overflow;
  for (const ConstraintDescription& cs : wanted.constraints) {
    if (cs.kind == ConstraintKind::kForeignKey) continue;  // once every table is known
    add_constraint(cs);
    if (cs.kind != ConstraintKind::kPrimaryKey && cs.kind != ConstraintKind::kUnique) continue;
    // The index that enforces the key.
    const RConstraint& key = r_.constraints.back();
    RIndex ix;
    ix.object = NextObject();
    ix.owner = wanted.owner;
    ix.name = key.name;
    ix.base_object = r_.tables[ti].object;
    ix.ts = iot ? r_.tables[ti].ts : TablespaceNumber(wanted.tablespace);
    ix.property = kUnique | kByConstraint;
    for (const auto& [col, intcol] : key.columns) {
      const RColumn* rc = nullptr;
      for (const RColumn& c : r_.tables[ti].columns) {
        if (c.internal_column == intcol) rc = &c;
      }
      ix.columns.push_back({col, intcol, rc->segment_column, 0});
    }
    ix.column_count = static_cast<std::uint32_t>(ix.columns.size());
    ix.data_object = ix.object;
    RSegment s;
    s.name = key.name;
    s.data_object = ix.object;
    s.ts = ix.ts;
    s.space = TablespaceOf(ix.ts).space;
    s.index = static_cast<int>(r_.indexes.size());
    s.table = static_cast<int>(ti);
    s.rows = &wanted.rows;
    if (iot && cs.kind == ConstraintKind::kPrimaryKey) {
      // The top index of an index-organized table holds its rows.
      ix.type = 4;
      ix.overflow_threshold = wanted.pct_threshold;
      if (wanted.organization == Organization::kIndexWithOverflow) {
        ix.including_column = ColumnIntcol(r_.tables[ti], wanted.including_column);
      }
      s.content = SegmentContent::kIotRows;
    } else {
      s.content = SegmentContent::kIndexKeys;
      s.source_segment = r_.tables[ti].segment;
      if (partitioned) s.rows = nullptr;  // a global index over partitions: left without keys
    }
    if (s.content == SegmentContent::kIotRows && ix.including_column) {
      top_after_overflow.emplace(r_.indexes.size(), std::move(s));
    } else {
      ix.segment = AddSegment(std::move(s));
    }
    AddObject(ix.object, owner, ix.name, obj::kNsIndex, obj::kIndex, ix.data_object);
    r_.indexes.push_back(std::move(ix));
  }
  if (iot && wanted.organization == Organization::kIndexWithOverflow) {
    // The overflow segment: a table of its own, named after the IOT.
    const RTable& table = r_.tables[ti];
    RTable over;
    over.object = NextObject();
    over.owner = wanted.owner;
    over.name = "SYS_IOT_OVER_" + std::to_string(table.object);
    over.data_object = over.object;
    over.ts = TablespaceNumber(wanted.overflow_tablespace.empty() ? wanted.tablespace : wanted.overflow_tablespace);
    over.base_object = table.object;
    over.property = 0x200;
    const std::uint32_t including = ColumnIntcol(table, wanted.including_column);
    for (const RColumn& c : table.columns) {
      if (c.internal_column <= including) continue;
      RColumn copy = c;
      copy.column_number = copy.internal_column = copy.segment_column =
          static_cast<std::uint32_t>(over.columns.size() + 1);
      over.columns.push_back(std::move(copy));
    }
    over.visible_columns = static_cast<std::uint32_t>(over.columns.size());
    RSegment s;
    s.name = over.name;
    s.data_object = over.object;
    s.ts = over.ts;
    s.space = TablespaceOf(over.ts).space;
    s.content = SegmentContent::kOverflowRows;
    s.table = static_cast<int>(ti);
    s.rows = &wanted.rows;
    over.segment = AddSegment(std::move(s));
    AddObject(over.object, owner, over.name, obj::kNsTable, obj::kTable, over.data_object);
    tables_by_name_[{wanted.owner, over.name}] = static_cast<int>(r_.tables.size());
    r_.tables.push_back(std::move(over));
  }
  if (top_after_overflow) {
    r_.indexes[top_after_overflow->first].segment = AddSegment(std::move(top_after_overflow->second));
  }
  if (partitioned) Partitions(wanted, r_.tables[ti], ti);
}

void Resolver::ForeignKeys() {
  const auto foreign_keys = [&](const TableDescription& wanted) {
    for (const ConstraintDescription& cs : wanted.constraints) {
      if (cs.kind != ConstraintKind::kForeignKey) continue;
      const RTable& table = r_.tables[static_cast<std::size_t>(TableIndex(wanted.owner, wanted.name))];
      const int ref_index = TableIndex(cs.ref_owner.empty() ? wanted.owner : cs.ref_owner, cs.ref_table);
      if (ref_index < 0) Fail("foreign key " + cs.name + " references unknown table " + cs.ref_table);
      const RTable& ref = r_.tables[static_cast<std::size_t>(ref_index)];
      const RConstraint* key = nullptr;
      for (const RConstraint& c : r_.constraints) {
        if (c.table != ref.object) continue;
        if (cs.ref_constraint.empty() ? c.type == 2 : c.name == cs.ref_constraint) key = &c;
      }
      if (!key) Fail("foreign key " + cs.name + " references no key of " + cs.ref_table);
      RConstraint c;
      c.number = NextConstraint();
      c.owner = UserNumber(wanted.owner);
      c.name = cs.name;
      c.table = table.object;
      c.type = 4;
      for (const auto& col : cs.columns) {
        const RColumn& rc = ColumnNamed(table, col);
        c.columns.push_back({rc.column_number, rc.internal_column});
      }
      c.referenced_object = ref.object;
      c.referenced_constraint = key->number;
      if (cs.delete_rule == DeleteRule::kCascade) c.delete_rule = 1;
      if (cs.delete_rule == DeleteRule::kSetNull) c.delete_rule = 2;
      c.enabled = cs.enabled;
      c.defer = (cs.deferrable ? kDeferrable : 0) | (cs.initially_deferred ? kDeferred : 0) |
                (cs.validated ? kValidated : 0) | (cs.rely ? kRely : 0);
      r_.constraints.push_back(std::move(c));
    }
  };
  for (const TableDescription& wanted : schema_.tables) foreign_keys(wanted);
}

void Resolver::Indexes() {
  for (const IndexDescription& wanted : schema_.indexes) {
    if (wanted.on_cluster) {
      ClusterIndex(wanted);
      continue;
    }
    const std::string table_owner = wanted.table_owner.empty() ? wanted.owner : wanted.table_owner;
    const int ti = TableIndex(table_owner, wanted.table);
    if (ti < 0) Fail("index " + wanted.name + " on unknown table " + wanted.table);
    RIndex ix;
    ix.object = NextObject();
    ix.owner = wanted.owner;
    ix.name = wanted.name;
    ix.base_object = r_.tables[static_cast<std::size_t>(ti)].object;
    ix.ts = TablespaceNumber(wanted.tablespace);
    ix.type = wanted.bitmap ? 2 : 1;
    if (wanted.unique) ix.property |= kUnique;
    if (wanted.reverse) ix.property |= kReverse;
    for (const auto& column : wanted.columns) {
      RTable& table = r_.tables[static_cast<std::size_t>(ti)];
      if (!column.empty() && column.front() == '(') {
        // A function-based index: its expression becomes a hidden virtual
        // column of the table.
        RColumn c = ScalarColumn("", Varchar2(4000));
        c.internal_column = static_cast<std::uint32_t>(table.columns.size() + 1);
        char name[16];
        std::snprintf(name, sizeof name, "SYS_NC%05u$", c.internal_column);
        c.name = name;
        c.property = 0x10000 | 0x0100 | 0x0020 | 0x0008;
        c.default_text = column.substr(1, column.size() - 2);
        c.source = ColumnSource::kNone;
        ix.columns.push_back({0, c.internal_column, 0, 1});
        table.columns.push_back(std::move(c));
        ix.property |= kFunctional;
      } else {
        const RColumn& c = ColumnNamed(table, column);
        ix.columns.push_back({c.column_number, c.internal_column, c.segment_column, 0});
      }
    }
    ix.column_count = static_cast<std::uint32_t>(ix.columns.size());
    const RTable& table = r_.tables[static_cast<std::size_t>(ti)];
    if (wanted.local_partitions) {
      ix.property |= kPartitioned;
      LocalIndexPartitions(wanted, ix, table);
    } else {
      ix.data_object = ix.object;
      RSegment s;
      s.name = wanted.owner + "." + wanted.name;
      s.data_object = ix.object;
      s.ts = ix.ts;
      s.space = TablespaceOf(ix.ts).space;
      s.content = SegmentContent::kIndexKeys;
      s.index = static_cast<int>(r_.indexes.size());
      s.table = ti;
      s.source_segment = table.segment;
      s.rows = table.segment >= 0 ? table.rows : nullptr;
      ix.segment = AddSegment(std::move(s));
    }
    AddObject(ix.object, UserNumber(wanted.owner), wanted.name, obj::kNsIndex, obj::kIndex, ix.data_object);
    r_.indexes.push_back(std::move(ix));
  }
}

void Resolver::ClusterIndex(const IndexDescription& wanted) {
  auto cluster = std::find_if(r_.clusters.begin(), r_.clusters.end(), [&](const RCluster& c) {
    return c.owner == (wanted.table_owner.empty() ? wanted.owner : wanted.table_owner) && c.name == wanted.table;
  });
  if (cluster == r_.clusters.end()) Fail("index " + wanted.name + " on unknown cluster " + wanted.table);
  RIndex ix;
  ix.object = ix.data_object.emplace(NextObject());
  ix.owner = wanted.owner;
  ix.name = wanted.name;
  ix.base_object = cluster->object;
  ix.ts = TablespaceNumber(wanted.tablespace);
  ix.type = 3;
  for (const RColumn& k : cluster->key_columns) {
    ix.columns.push_back({k.column_number, k.internal_column, k.segment_column, 0});
  }
  ix.column_count = static_cast<std::uint32_t>(ix.columns.size());
  RSegment s;
  s.name = wanted.owner + "." + wanted.name;
  s.data_object = ix.object;
  s.ts = ix.ts;
  s.space = TablespaceOf(ix.ts).space;
  s.content = SegmentContent::kIndexKeys;
  s.index = static_cast<int>(r_.indexes.size());
  s.cluster = static_cast<int>(cluster - r_.clusters.begin());
  s.source_segment = cluster->segment;
  ix.segment = AddSegment(std::move(s));
  AddObject(ix.object, UserNumber(wanted.owner), wanted.name, obj::kNsIndex, obj::kIndex, ix.data_object);
  r_.indexes.push_back(std::move(ix));
}

}  // namespace quillon::testdb
