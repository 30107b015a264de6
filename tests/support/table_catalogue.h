// Catalogue records written by hand for tables of a generated database: the
// table row reader needs the dictionary's records of a table (TAB$, COL$),
// not the dictionary segments. Used by the tests and the fuzz targets.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "reader/engine.h"
#include "reader/format.h"
#include "reader/packed_codes.h"
#include "testdb/layout_result.h"

namespace quillon::test {

struct ColumnDef {
  ColumnDef(std::string n, std::uint32_t type = type_code::kVarchar2, std::uint32_t cs = 0,
            std::optional<std::uint32_t> col = std::nullopt, std::optional<std::uint32_t> seg = std::nullopt,
            std::uint64_t prop = 0)
      : name(std::move(n)), type_code(type), charset(cs), column_number(col), segment_column(seg), property(prop) {}
  std::string name;
  std::uint32_t type_code;
  std::uint32_t charset;                        // packed CHARSETID; kNationalCharsetCode for national columns
  std::optional<std::uint32_t> column_number;   // default: its place in the list (from 1)
  std::optional<std::uint32_t> segment_column;  // default: its place in the list (from 1)
  std::uint64_t property;
};

// A TAB$ record of a table whose rows are in a generated segment (none: a
// table without a segment of its own).
inline TableRecord TableOnSegment(std::uint32_t object, const testdb::SegmentLayout* segment) {
  TableRecord t;
  t.object_number = object;
  if (segment) {
    t.data_object_number = segment->object_number;
    t.relative_file_number = format::DbaFile(segment->header_dba);
    t.header_block = format::DbaBlock(segment->header_dba);
  }
  return t;
}

// OBJ$ and COL$ records of a table (and the USER$ record of its owner).
inline void DescribeTable(COracleRecoveryTools& engine, std::uint32_t object, const std::string& owner,
                          const std::string& name, const std::vector<ColumnDef>& columns) {
  if (!engine.catalogue.users.First<1>(owner)) {
    UserRecord u;
    u.name = owner;
    u.number = 100 + static_cast<std::uint32_t>(engine.catalogue.users.size());
    engine.catalogue.users.Append(u);
  }
  ObjectRecord o;
  o.object_number = object;
  o.data_object_number = object;
  o.owner = owner;
  o.name = name;
  o.namespace_code = PackedCode(1);
  o.type_code = PackedCode(2);
  o.type = 2;
  o.kind = ObjectKind::kTable;
  engine.catalogue.AddObject(o);
  for (std::size_t i = 0; i < columns.size(); ++i) {
    const ColumnDef& d = columns[i];
    ColumnInfo c;
    c.object_number = object;
    c.name = d.name;
    c.column_number = d.column_number.value_or(static_cast<std::uint32_t>(i + 1));
    c.segment_column = d.segment_column.value_or(static_cast<std::uint32_t>(i + 1));
    c.internal_column = static_cast<std::uint32_t>(i + 1);
    c.type_code = d.type_code;
    c.charset_id = d.charset;
    c.property = d.property;
    c.length_text = "0100";
    c.precision_text = "FF";
    c.scale_text = "FF";
    c.null_bytes = 0x80;
    engine.catalogue.columns.Append(c);
  }
}

// The LOB$ row of a LOB column whose segment header is at header_dba.
inline LobRecord LobOf(std::uint32_t table, std::uint32_t column, std::uint32_t lob_object, std::uint32_t header_dba,
                       std::uint32_t chunk) {
  LobRecord l;
  l.table_object_number = table;
  l.column_number = column;
  l.internal_column = column;
  l.lob_object_number = lob_object;
  l.relative_file_number = format::DbaFile(header_dba);
  l.header_block = format::DbaBlock(header_dba);
  l.chunk = chunk;
  return l;
}

// The OBJ$ row of a LOB segment, with its data object number.
inline void AddLobObject(Catalogue& cat, std::uint32_t object, std::uint32_t data_object) {
  ObjectRecord o;
  o.object_number = object;
  o.data_object_number = data_object;
  o.name = "SYS_LOB" + std::to_string(object);
  cat.AddObject(o);
}

}  // namespace quillon::test
