#include <gtest/gtest.h>

#include "reader/identify.h"
#include "reader/table_blocks.h"
#include "support/test_paths.h"
#include "testdb/layout.h"

namespace quillon {
namespace {

using testdb::Row;
using testdb::SegmentModel;

// A database with one segment per way a table can store its rows, and a
// catalogue that describes those tables by hand (the dictionary is not
// needed to find blocks).
class TableBlocksTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto model = testdb::NewDatabaseModel("TBLK", "11.2", 2048, 3);
    model.decoys = {false, false, false, false};
    auto add = [&](const char* name, std::uint32_t object, SpaceManagement space, int rows) {
      SegmentModel s;
      s.name = name;
      s.object_number = object;
      s.space = space;
      s.extent_blocks = 8;
      for (int i = 0; i < rows; ++i) s.rows.push_back(Row({testdb::Bytes{0xC1, 2}, testdb::Bytes(40, 'x')}));
      model.segments.push_back(std::move(s));
    };
    add("HEAP", 70001, SpaceManagement::kFreeList, 200);
    add("P1", 70011, SpaceManagement::kAssm, 30);
    add("P2", 70012, SpaceManagement::kAssm, 30);
    add("SUB1", 70021, SpaceManagement::kAssm, 10);
    add("SUB2", 70022, SpaceManagement::kFreeList, 10);
    std::string error;
    ASSERT_TRUE(testdb::WriteDatabase(model, dir.path().string(), layout, error)) << error;
    IdentifyRelease(engine, (dir / "SYSTEM01.DBF").string());
  }

  // A TAB$-like record for a table whose segment is the generated one named.
  TableRecord TableAt(std::uint32_t object_number, std::uint32_t segment_object) {
    TableRecord t;
    t.object_number = object_number;
    if (segment_object) {
      const auto* seg = layout.FindSegment(segment_object);
      t.data_object_number = segment_object;
      t.relative_file_number = format::DbaFile(seg->header_dba);
      t.header_block = format::DbaBlock(seg->header_dba);
    }
    return t;
  }
  e6struct Partition(std::uint32_t base, std::uint32_t segment_object, const char* name) {
    const auto* seg = layout.FindSegment(segment_object);
    e6struct p;
    p.object_number = segment_object;
    p.base_object = base;
    p.name = name;
    p.data_object_number = segment_object;
    p.relative_file_number = format::DbaFile(seg->header_dba);
    p.header_block = format::DbaBlock(seg->header_dba);
    return p;
  }

  test::TempDir dir;
  testdb::LayoutResult layout;
  NullSink sink;
  StopFlag stop;
  COracleRecoveryTools engine{sink, stop};
};

TEST_F(TableBlocksTest, EachWayOfStoringRows) {
  Catalogue& cat = engine.catalogue;
  cat.tables.Append(TableAt(100, 70001));
  TableRecord partitioned = TableAt(200, 0);
  partitioned.property = kPropertyPartitioned;
  cat.tables.Append(partitioned);
  cat.table_partitions.Append(Partition(200, 70011, "P1"));
  cat.table_partitions.Append(Partition(200, 70012, "P2"));
  TableRecord composite = TableAt(300, 0);
  composite.property = kPropertyPartitioned;
  cat.tables.Append(composite);
  F9struct cp;
  cp.object_number = 310;
  cp.base_object = 300;
  cat.composite_partitions.Append(cp);
  for (const std::uint32_t sub : {70021u, 70022u}) {
    const e6struct p = Partition(310, sub, sub == 70021 ? "SUB1" : "SUB2");
    F0struct f;
    f.object_number = sub;
    f.parent_partition = 310;
    f.name = p.name;
    f.relative_file_number = p.relative_file_number;
    f.header_block = p.header_block;
    cat.subpartitions.Append(f);
  }
  TableRecord iot = TableAt(400, 0);
  iot.property = kPropertyIndexOrganized;
  cat.tables.Append(iot);
  IndexRecord secondary;
  secondary.table_object_number = 400;
  secondary.index_object_number = 401;
  secondary.type = 1;
  cat.indexes.Append(secondary);
  IndexRecord top;
  top.table_object_number = 400;
  top.index_object_number = 402;
  top.type = 4;
  const auto* heap = layout.FindSegment(70001);  // any segment stands in for the index segment
  top.relative_file_number = format::DbaFile(heap->header_dba);
  top.header_block = format::DbaBlock(heap->header_dba);
  cat.indexes.Append(top);

  BlockSource source(engine.datafiles);
  struct Case {
    std::uint32_t table;
    std::vector<std::uint32_t> segments;
    const char* suffix;
    CountRule rule;
  };
  const Case cases[] = {
      {100, {70001}, "", CountRule::kHeap},
      {200, {70011, 70012}, " : Partitioning ", CountRule::kHeap},
      {300, {70021, 70022}, " : Subpartitioning ", CountRule::kHeap},
      {400, {70001}, "", CountRule::kIndex},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.table);
    const TableBlocks tb = CollectTableBlocks(engine, source, c.table);
    EXPECT_TRUE(tb.table_found);
    EXPECT_EQ(tb.suffix, c.suffix);
    EXPECT_EQ(tb.rule, c.rule);
    std::vector<std::uint32_t> expected;
    for (const auto object : c.segments) {
      const auto* seg = layout.FindSegment(object);
      expected.insert(expected.end(), seg->blocks.begin(), seg->blocks.end());
      EXPECT_TRUE(tb.target.accepted_objects.count(object));
      EXPECT_EQ(tb.target.free_list_objects.count(object), seg->space == SpaceManagement::kFreeList ? 1u : 0u);
    }
    EXPECT_EQ(tb.AllBlocks(), expected);
  }
}

TEST_F(TableBlocksTest, MissingTablesAndFilesGiveNoBlocks) {
  Catalogue& cat = engine.catalogue;
  TableRecord lost = TableAt(500, 70001);
  lost.relative_file_number = 77;  // a file that was not found
  cat.tables.Append(lost);
  BlockSource source(engine.datafiles);
  EXPECT_FALSE(CollectTableBlocks(engine, source, 999).table_found);
  const TableBlocks tb = CollectTableBlocks(engine, source, 500);
  ASSERT_EQ(tb.segments.size(), 1u);
  EXPECT_FALSE(tb.segments[0].walk.problem.empty());
  EXPECT_EQ(tb.BlockCount(), 0u);
}

}  // namespace
}  // namespace quillon
