// The C_OBJ# cluster's members (TAB$, CLU$, COL$, IND$, ICOL$, LOB$,
// COLTYPE$, NTAB$, OPQTYPE$, ATTRCOL$), the constraints (CON$ and the
// C_COBJ# cluster) and the partition tables.
#include "testdb/dictionary_rows.h"

namespace quillon::testdb {

namespace {

std::optional<std::int64_t> Opt(const std::optional<std::uint32_t>& v) {
  return v ? std::optional<std::int64_t>(*v) : std::nullopt;
}

// What a column takes in its segment (SEGCOLLENGTH).
std::uint32_t SegmentLength(const RColumn& c) {
  if (!c.stored()) return 0;
  switch (c.type_number) {
    case 8:
    case 24: return 0;
    case 112:
    case 113: return 4000;
    default: return c.length;
  }
}

}  // namespace

void DictionaryRows::ColumnRow(std::uint32_t object, const RColumn& c) {
  DictRow row = New("COL$");
  row.Num("OBJ#", object)
      .Num("COL#", c.column_number)
      .Num("SEGCOL#", c.segment_column)
      .Num("SEGCOLLENGTH", SegmentLength(c))
      .Num("OFFSET", 0)
      .Text("NAME", c.name)
      .Num("TYPE#", c.type_number)
      .Num("LENGTH", c.length)
      .Num("FIXEDSTORAGE", 0)
      .Num("PRECISION#", Opt(c.precision))
      .Num("SCALE", c.scale ? std::optional<std::int64_t>(*c.scale) : std::nullopt)
      .Num("NULL$", c.nullable ? 0 : 1)
      .Num("INTCOL#", c.internal_column)
      .Num("PROPERTY", static_cast<std::int64_t>(c.property))
      .Num("CHARSETID", c.charset_id == 0 ? std::nullopt : std::optional<std::int64_t>(c.charset_id))
      .Num("CHARSETFORM", c.charset_form == 0 ? std::nullopt : std::optional<std::int64_t>(c.charset_form))
      .Num("SPARE1", Opt(c.spare1))
      .Num("SPARE2", Opt(c.spare2))
      .Num("SPARE3", Opt(c.spare3));
  if (!c.default_text.empty()) {
    row.Num("DEFLENGTH", static_cast<std::int64_t>(c.default_text.size())).Text("DEFAULT$", c.default_text);
  }
  Add("COL$", row);
}

void DictionaryRows::TablesAndColumns() {
  for (const RTable& t : r_.tables) {
    std::uint32_t kernel = 0;
    for (const RColumn& c : t.columns) kernel += c.stored() ? 1 : 0;
    DictRow row = New("TAB$");
    row.Num("OBJ#", t.object)
        .Num("DATAOBJ#", Opt(t.data_object))
        .Num("TS#", t.ts)
        .Num("FILE#", File(t.segment))
        .Num("BLOCK#", Block(t.segment))
        .Num("BOBJ#", Opt(t.base_object))
        .Num("TAB#", Opt(t.cluster_position))
        .Num("COLS", t.visible_columns)
        .Num("CLUCOLS", Opt(t.cluster_columns))
        .Num("PCTFREE$", t.pct_free)
        .Num("PCTUSED$", t.pct_used)
        .Num("INITRANS", 1)
        .Num("MAXTRANS", 255)
        .Num("FLAGS", static_cast<std::int64_t>(t.flags))
        .Text("AUDIT$", kNoAudit)
        .Num("INTCOLS", static_cast<std::int64_t>(t.columns.size()))
        .Num("KERNELCOLS", kernel)
        .Num("PROPERTY", static_cast<std::int64_t>(t.property))
        .Num("TRIGFLAG", 0)
        .Num("SPARE1", 736);
    Add("TAB$", row);
    for (const RColumn& c : t.columns) ColumnRow(t.object, c);
  }
  for (const RCluster& c : r_.clusters) {
    DictRow row = New("CLU$");
    row.Num("OBJ#", c.object)
        .Num("DATAOBJ#", c.data_object)
        .Num("TS#", c.ts)
        .Num("FILE#", File(c.segment))
        .Num("BLOCK#", Block(c.segment))
        .Num("COLS", static_cast<std::int64_t>(c.key_columns.size()))
        .Num("PCTFREE$", 10)
        .Num("PCTUSED$", 40)
        .Num("INITRANS", 2)
        .Num("MAXTRANS", 255)
        .Num("SIZE$", Opt(c.size))
        .Num("HASHKEYS", 0)
        .Num("FLAGS", 0);
    Add("CLU$", row);
    for (const RColumn& k : c.key_columns) ColumnRow(c.object, k);
  }
  for (const RView& v : r_.views) {
    for (const RColumn& c : v.columns) ColumnRow(v.object, c);
  }
}

void DictionaryRows::Indexes() {
  for (const RIndex& x : r_.indexes) {
    DictRow row = New("IND$");
    row.Num("OBJ#", x.object)
        .Num("DATAOBJ#", Opt(x.data_object))
        .Num("TS#", x.ts)
        .Num("FILE#", File(x.segment))
        .Num("BLOCK#", Block(x.segment))
        .Num("BO#", x.base_object)
        .Num("INDMETHOD#", 0)
        .Num("COLS", x.column_count)
        .Num("PCTFREE$", 10)
        .Num("INITRANS", 2)
        .Num("MAXTRANS", 255)
        .Num("PCTTHRES$", Opt(x.overflow_threshold))
        .Num("TYPE#", x.type)
        .Num("FLAGS", static_cast<std::int64_t>(x.flags))
        .Num("PROPERTY", static_cast<std::int64_t>(x.property))
        .Num("INTCOLS", x.column_count)
        .Num("TRUNCCNT", Opt(x.including_column));
    Add("IND$", row);
    std::uint32_t position = 1;
    for (const RIndexColumn& ic : x.columns) {
      DictRow col = New("ICOL$");
      col.Num("OBJ#", x.object)
          .Num("BO#", x.base_object)
          .Num("COL#", ic.column_number)
          .Num("POS#", position++)
          .Num("SEGCOL#", ic.segment_column)
          .Num("SEGCOLLENGTH", 22)
          .Num("OFFSET", 0)
          .Num("INTCOL#", ic.internal_column)
          .Num("SPARE1", static_cast<std::int64_t>(ic.flags));
      Add("ICOL$", col);
    }
  }
}

void DictionaryRows::Lobs() {
  for (const RLob& l : r_.lobs) {
    DictRow row = New("LOB$");
    row.Num("OBJ#", l.table)
        .Num("COL#", l.column_number)
        .Num("INTCOL#", l.internal_column)
        .Num("LOBJ#", l.lob_object)
        .Num("PART#", 0)
        .Num("IND#", l.index_object)
        .Num("TS#", l.ts)
        .Num("FILE#", File(l.segment))
        .Num("BLOCK#", Block(l.segment))
        .Num("CHUNK", 1)
        .Num("PCTVERSION$", 10)
        .Num("FLAGS", 1)
        .Num("PROPERTY", static_cast<std::int64_t>(l.property))
        .Num("RETENTION", 900)
        .Num("FREEPOOLS", 0);
    Add("LOB$", row);
  }
}

void DictionaryRows::TypedColumns() {
  for (const RColumnType& t : r_.column_types) {
    Add("COLTYPE$", New("COLTYPE$")
                        .Num("OBJ#", t.table)
                        .Num("COL#", t.column_number)
                        .Num("INTCOL#", t.internal_column)
                        .Raw("TOID", t.toid)
                        .Num("VERSION#", 1)
                        .Num("PACKED", 0)
                        .Num("INTCOLS", t.internal_columns)
                        .Num("FLAGS", static_cast<std::int64_t>(t.flags)));
  }
  for (const RNestedTable& n : r_.nested_tables) {
    Add("NTAB$", New("NTAB$")
                     .Num("OBJ#", n.table)
                     .Num("COL#", n.column_number)
                     .Num("INTCOL#", n.internal_column)
                     .Num("NTAB#", n.storage_object)
                     .Text("NAME", n.column_name));
  }
  for (const ROpaqueType& o : r_.opaque_types) {
    DictRow row = New("OPQTYPE$");
    row.Num("OBJ#", o.table)
        .Num("INTCOL#", o.internal_column)
        .Num("TYPE", 1)
        .Num("FLAGS", static_cast<std::int64_t>(o.flags))
        .Num("LOBCOL", o.lob_column)
        .Raw("SCHEMAOID", o.schema_oid)
        .Text("SCHEMAURL", o.schema_url);
    if (o.element_number != 0) row.Num("ELEMNUM", o.element_number);
    Add("OPQTYPE$", row);
  }
  for (const RAttributeColumn& a : r_.attribute_columns) {
    Add("ATTRCOL$", New("ATTRCOL$").Num("OBJ#", a.table).Num("INTCOL#", a.internal_column).Text("NAME", a.name));
  }
}

void DictionaryRows::Constraints() {
  for (const RConstraint& c : r_.constraints) {
    Add("CON$", New("CON$").Num("OWNER#", c.owner).Text("NAME", c.name).Num("CON#", c.number));
    DictRow row = New("CDEF$");
    row.Num("CON#", c.number)
        .Num("OBJ#", c.table)
        .Num("COLS", static_cast<std::int64_t>(c.columns.size()))
        .Num("TYPE#", c.type)
        .Num("ROBJ#", Opt(c.referenced_object))
        .Num("RCON#", Opt(c.referenced_constraint))
        .Num("REFACT", Opt(c.delete_rule))
        .Num("ENABLED", c.enabled ? std::optional<std::int64_t>(1) : std::nullopt)
        .Num("INTCOLS", static_cast<std::int64_t>(c.columns.size()))
        .Date("MTIME", Created())
        .Num("DEFER", c.defer)
        .Num("SPARE1", 6);
    if (!c.condition.empty()) {
      row.Num("CONDLENGTH", static_cast<std::int64_t>(c.condition.size())).Text("CONDITION", c.condition);
    }
    Add("CDEF$", row);
    const bool keyed = c.type == 2 || c.type == 3 || c.type == 4;
    std::uint32_t position = 1;
    for (const auto& [column, internal] : c.columns) {
      DictRow col = New("CCOL$");
      col.Num("CON#", c.number).Num("OBJ#", c.table).Num("COL#", column).Num("INTCOL#", internal);
      if (keyed) col.Num("POS#", position++);
      Add("CCOL$", col);
    }
  }
}

void DictionaryRows::Partitions() {
  for (const RPartitionedObject& p : r_.partitioned_objects) {
    const std::int64_t spare2 = p.subtype | (static_cast<std::int64_t>(p.subcolumns.size()) << 8) |
                                (static_cast<std::int64_t>(p.default_subpartitions) << 16);
    DictRow row = New("PARTOBJ$");
    row.Num("OBJ#", p.object)
        .Num("PARTTYPE", p.type)
        .Num("PARTCNT", p.count)
        .Num("PARTKEYCOLS", static_cast<std::int64_t>(p.columns.size()))
        .Num("FLAGS", static_cast<std::int64_t>(p.flags))
        .Num("DEFTS#", p.default_ts)
        .Num("DEFPCTFREE", 10)
        .Num("DEFPCTUSED", p.index ? 0 : 40)
        .Num("DEFINITRANS", p.index ? 2 : 1)
        .Num("DEFMAXTRANS", 255)
        .Num("DEFLISTS", 0)
        .Num("DEFGROUPS", 0)
        .Num("DEFLOGGING", 0)
        .Num("SPARE2", spare2)
        .Text("INTERVAL_STR", p.interval);
    Add("PARTOBJ$", row);
    const auto key_columns = [&](const char* table, const auto& columns, const auto& types) {
      for (std::size_t i = 0; i < columns.size(); ++i) {
        Add(table, New(table)
                       .Num("OBJ#", p.object)
                       .Num("INTCOL#", columns[i].second)
                       .Num("COL#", columns[i].first)
                       .Num("POS#", static_cast<std::int64_t>(i + 1))
                       .Num("SEGCOL#", 0)
                       .Num("TYPE#", types[i])
                       .Num("CHARSETFORM", types[i] == 1 || types[i] == 96 ? 1 : 0));
      }
    };
    key_columns("PARTCOL$", p.columns, p.column_types);
    key_columns("SUBPARTCOL$", p.subcolumns, p.subcolumn_types);
  }
  for (const RPartition& p : r_.table_partitions) {
    DictRow row = New("TABPART$");
    row.Num("OBJ#", p.object)
        .Num("DATAOBJ#", p.object)
        .Num("BO#", p.base)
        .Num("PART#", p.number)
        .Num("HIBOUNDLEN", static_cast<std::int64_t>(p.high_value.size()))
        .Text("HIBOUNDVAL", p.high_value)
        .Num("TS#", p.ts)
        .Num("FILE#", File(p.segment))
        .Num("BLOCK#", Block(p.segment))
        .Num("PCTFREE$", 10)
        .Num("PCTUSED$", 40)
        .Num("INITRANS", 1)
        .Num("MAXTRANS", 255)
        .Num("FLAGS", static_cast<std::int64_t>(p.flags));
    Add("TABPART$", row);
  }
  for (const RPartition& p : r_.composite_partitions) {
    DictRow row = New("TABCOMPART$");
    row.Num("OBJ#", p.object)
        .Num("BO#", p.base)
        .Num("PART#", p.number)
        .Num("HIBOUNDLEN", static_cast<std::int64_t>(p.high_value.size()))
        .Text("HIBOUNDVAL", p.high_value)
        .Num("SUBPARTCNT", p.subpartition_count)
        .Num("FLAGS", static_cast<std::int64_t>(p.flags))
        .Num("DEFTS#", p.ts)
        .Num("DEFPCTFREE", 10)
        .Num("DEFPCTUSED", 40)
        .Num("DEFINITRANS", 1)
        .Num("DEFMAXTRANS", 255);
    Add("TABCOMPART$", row);
  }
  for (const RPartition& p : r_.subpartitions) {
    DictRow row = New("TABSUBPART$");
    row.Num("OBJ#", p.object)
        .Num("DATAOBJ#", p.object)
        .Num("POBJ#", p.base)
        .Num("SUBPART#", p.number)
        .Num("FLAGS", static_cast<std::int64_t>(p.flags))
        .Num("TS#", p.ts)
        .Num("FILE#", File(p.segment))
        .Num("BLOCK#", Block(p.segment))
        .Num("PCTFREE$", 10)
        .Num("PCTUSED$", 40)
        .Num("INITRANS", 1)
        .Num("MAXTRANS", 255)
        .Num("HIBOUNDLEN", static_cast<std::int64_t>(p.high_value.size()))
        .Text("HIBOUNDVAL", p.high_value);
    Add("TABSUBPART$", row);
  }
  for (const RPartition& p : r_.index_partitions) {
    DictRow row = New("INDPART$");
    row.Num("OBJ#", p.object)
        .Num("DATAOBJ#", p.object)
        .Num("BO#", p.base)
        .Num("PART#", p.number)
        .Num("HIBOUNDLEN", static_cast<std::int64_t>(p.high_value.size()))
        .Text("HIBOUNDVAL", p.high_value)
        .Num("FLAGS", 0)
        .Num("TS#", p.ts)
        .Num("FILE#", File(p.segment))
        .Num("BLOCK#", Block(p.segment))
        .Num("PCTFREE$", 10)
        .Num("INITRANS", 2)
        .Num("MAXTRANS", 255);
    Add("INDPART$", row);
  }
  for (const RLobFragment& f : r_.lob_fragments) {
    Add("LOBFRAG$", New("LOBFRAG$")
                        .Num("FRAGOBJ#", f.fragment)
                        .Num("PARENTOBJ#", f.parent)
                        .Num("TABFRAGOBJ#", f.table_fragment)
                        .Num("INDFRAGOBJ#", f.index_fragment)
                        .Num("FRAG#", f.number)
                        .Text("FRAGTYPE$", std::string(1, f.kind))
                        .Num("TS#", f.ts)
                        .Num("FILE#", File(f.segment))
                        .Num("BLOCK#", Block(f.segment))
                        .Num("CHUNK", 1)
                        .Num("PCTVERSION$", 10)
                        .Num("FRAGFLAGS", 1)
                        .Num("FRAGPRO", 2));
  }
  for (const RLobCompositePartition& l : r_.lob_composite_partitions) {
    Add("LOBCOMPPART$", New("LOBCOMPPART$")
                            .Num("PARTOBJ#", l.partition)
                            .Num("LOBJ#", l.lob)
                            .Num("TABPARTOBJ#", l.table_partition)
                            .Num("INDPARTOBJ#", l.index_partition)
                            .Num("PART#", l.number)
                            .Num("DEFTS#", l.default_ts)
                            .Num("DEFCHUNK", 1)
                            .Num("DEFPCTVER$", 10)
                            .Num("DEFFLAGS", 1)
                            .Num("DEFPRO", 2));
  }
}

}  // namespace quillon::testdb
