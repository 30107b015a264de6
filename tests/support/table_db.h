// A database written by the generator and a catalogue that describes its
// tables by hand (table_catalogue.h; partitions and LOB$ records as each test
// needs them).
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
#include "support/table_catalogue.h"

namespace quillon::test {

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
    return TableOnSegment(object, segment != 0 ? &Segment(segment) : nullptr);
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
    DescribeTable(engine_, object, owner, name, columns);
  }

 private:
  NullSink sink_;
  StopFlag stop_;
  COracleRecoveryTools engine_;
  std::unique_ptr<GeneratedDb> db_;
};

}  // namespace quillon::test
