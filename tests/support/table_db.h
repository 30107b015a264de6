// A database written by the generator and a catalogue that describes its
// tables by hand: the table row reader needs the dictionary's records of a
// table (TAB$, COL$, partitions, LOB$), not the dictionary segments.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "reader/engine.h"
#include "reader/identify.h"
#include "reader/packed_codes.h"
#include "support/generated_db.h"

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

class TableDb {
 public:
  // sink: the engine's notifications (a worker needs its own); none: ignored.
  TableDb(testdb::DatabaseModel model, const std::string& name, NotificationSink* sink = nullptr)
      : engine_(sink ? *sink : sink_, stop_) {
    model.decoys = {false, false, false, false};
    db_ = Generate(std::move(model), name);
    IdentifyRelease(engine_, db_->system_path());
  }

  COracleRecoveryTools& engine() { return engine_; }
  StopFlag& stop() { return stop_; }
  const testdb::LayoutResult& layout() const { return db_->layout; }
  const std::string& folder() const { return db_->folder; }
  const testdb::SegmentLayout& Segment(std::uint32_t object) const {
    const auto* s = db_->layout.FindSegment(object);
    EXPECT_NE(s, nullptr) << "no segment " << object;
    return *s;
  }

  // A TAB$ record of a table whose rows are in a generated segment (0: a
  // table without a segment of its own).
  TableRecord TableOn(std::uint32_t object, std::uint32_t segment) const {
    TableRecord t;
    t.object_number = object;
    if (segment != 0) {
      const auto& s = Segment(segment);
      t.data_object_number = segment;
      t.relative_file_number = format::DbaFile(s.header_dba);
      t.header_block = format::DbaBlock(s.header_dba);
    }
    return t;
  }

  // A partition (TABPART$ or INDPART$) whose segment is a generated one.
  e6struct PartitionOn(std::uint32_t base, std::uint32_t segment, const std::string& name) const {
    const auto& s = Segment(segment);
    e6struct p;
    p.object_number = segment;
    p.data_object_number = segment;
    p.base_object = base;
    p.name = name;
    p.relative_file_number = format::DbaFile(s.header_dba);
    p.header_block = format::DbaBlock(s.header_dba);
    return p;
  }

  // OBJ$ and COL$ records of a table.
  void Describe(std::uint32_t object, const std::string& owner, const std::string& name,
                const std::vector<ColumnDef>& columns) {
    if (!engine_.catalogue.users.First<1>(owner)) {
      UserRecord u;
      u.name = owner;
      u.number = 100 + static_cast<std::uint32_t>(engine_.catalogue.users.size());
      engine_.catalogue.users.Append(u);
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
    engine_.catalogue.AddObject(o);
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
      engine_.catalogue.columns.Append(c);
    }
  }

 private:
  NullSink sink_;
  StopFlag stop_;
  COracleRecoveryTools engine_;
  std::unique_ptr<GeneratedDb> db_;
};

}  // namespace quillon::test
