#include <gtest/gtest.h>

#include "browse/catalogue_builder.h"
#include "browse/scan_counts.h"
#include "browse/tree_generate.h"
#include "reader/identify.h"
#include "support/generated_db.h"
#include "support/schema_db.h"
#include "support/recording_sink.h"

namespace quillon {
namespace {

using testdb::RowPlacement;
using testdb::SegmentLayout;
namespace ddb = testdb::default_db;

using test::LiveRows;

// Member rows of member table `member` that hold data.
std::uint64_t LiveMemberRows(const SegmentLayout& s, std::size_t member) {
  std::uint64_t n = 0;
  for (const auto& key : s.keys) n += LiveRows(key.members[member - 1]);
  return n;
}

// Counts over a generated database whose tables the test describes in the
// catalogue by hand: the dictionary itself is not needed to find blocks.
class CountRig {
 public:
  explicit CountRig(const test::GeneratedDb& generated) : db(&generated) {
    IdentifyRelease(engine, generated.system_path());
    sink.Reset();
    build.User("SCOTT");
  }
  const SegmentLayout& Segment(std::uint32_t object) const {
    const SegmentLayout* s = db->layout.FindSegment(object);
    EXPECT_NE(s, nullptr) << object;
    return *s;
  }
  // A TAB$ row whose segment is the generated one.
  TableRecord On(std::uint32_t segment_object, std::optional<std::uint32_t> cluster_position = std::nullopt) const {
    const SegmentLayout& s = Segment(segment_object);
    TableRecord t;
    t.data_object_number = segment_object;
    t.relative_file_number = format::DbaFile(s.header_dba);
    t.header_block = format::DbaBlock(s.header_dba);
    t.cluster_position = cluster_position;
    return t;
  }
  std::uint32_t Table(const std::string& name, TableRecord t, bool with_column = true) {
    const std::uint32_t n = build.TableWith("SCOTT", name, t);
    if (with_column) build.Column(n, "ID", "NUMBER");
    return n;
  }
  void Partition(std::uint32_t table, const char* name, std::uint32_t segment_object) {
    const SegmentLayout& s = Segment(segment_object);
    build.Partition(table, name, format::DbaFile(s.header_dba), format::DbaBlock(s.header_dba));
  }
  void Subpartition(std::uint32_t composite, const char* name, std::uint32_t segment_object) {
    const SegmentLayout& s = Segment(segment_object);
    build.Subpartition(composite, name, format::DbaFile(s.header_dba), format::DbaBlock(s.header_dba));
  }
  bool Count() {
    const ObjectTree tree = GenerateTree(engine, db->folder);
    return CountShownTables(engine, tree.shown_tables(), counts);
  }

  const test::GeneratedDb* db;
  test::RecordingSink sink;
  StopFlag stop;
  COracleRecoveryTools engine{sink, stop};
  test::CatalogueBuilder build{engine};
  std::vector<TableCount> counts;
};

// Every way a table keeps its rows, counted against what the generator wrote:
// heap segments in free-list and automatic space management, chained rows
// once, migrated rows where their 0x0C piece lies, deleted slots and free
// slots not at all, clustered tables each member row once under its key,
// partitions and subpartitions summed.
TEST(ScanCounts, RecordCountsEqualTheRowsWritten) {
  for (const auto& [release, block_size] : {std::pair{"9i", 4096u}, {"11.2", 8192u}}) {
    SCOPED_TRACE(std::string(release) + " " + std::to_string(block_size));
    CountRig rig(test::DefaultDb(release, block_size));
    struct Expect {
      std::string name;
      std::uint64_t records;
      std::string suffix;
    };
    std::vector<Expect> expected;
    const auto table = [&](const std::string& name, TableRecord t, std::uint64_t records) {
      rig.Table(name, t);
      expected.push_back({name, records, ""});
    };
    const auto live = [&](std::uint32_t segment) { return LiveRows(rig.Segment(segment)); };
    table("SYS_HEAP", rig.On(ddb::kSystemHeap), live(ddb::kSystemHeap));
    table("USERS_HEAP", rig.On(ddb::kUsersHeap), live(ddb::kUsersHeap));
    table("USERS_MAPS", rig.On(ddb::kUsersMaps), live(ddb::kUsersMaps));
    table("USERS_FREELIST", rig.On(ddb::kUsersFreeList), live(ddb::kUsersFreeList));
    table("READONLY_HEAP", rig.On(ddb::kReadOnlyHeap), live(ddb::kReadOnlyHeap));
    for (std::uint32_t m = 1; m <= 2; ++m) {
      table("SYS_C" + std::to_string(m), rig.On(ddb::kSystemCluster, m),
            LiveMemberRows(rig.Segment(ddb::kSystemCluster), m));
    }
    for (std::uint32_t m = 1; m <= 3; ++m) {
      table("USERS_C" + std::to_string(m), rig.On(ddb::kUsersCluster, m),
            LiveMemberRows(rig.Segment(ddb::kUsersCluster), m));
    }
    TableRecord partitioned;
    partitioned.property = 0x20;
    const std::uint32_t parted = rig.Table("PARTED", partitioned);
    rig.Partition(parted, "P1", ddb::kUsersHeap);
    rig.Partition(parted, "P2", ddb::kUsersFreeList);
    expected.push_back({"PARTED", live(ddb::kUsersHeap) + live(ddb::kUsersFreeList), " : Partitioning "});
    const std::uint32_t composite = rig.Table("COMPOSITE", partitioned);
    const std::uint32_t c1 = rig.build.CompositePartition(composite, "C1");
    rig.Subpartition(c1, "S1", ddb::kSystemHeap);
    rig.Subpartition(c1, "S2", ddb::kUsersMaps);
    expected.push_back({"COMPOSITE", live(ddb::kSystemHeap) + live(ddb::kUsersMaps), " : Subpartitioning "});
    table("NO_SEGMENT", TableRecord{}, 0);  // no header block to walk: 0

    ASSERT_TRUE(rig.Count());
    ASSERT_EQ(rig.counts.size(), expected.size());
    ASSERT_EQ(rig.sink.lines.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
      SCOPED_TRACE(expected[i].name);
      if (expected[i].name != "NO_SEGMENT") {
        EXPECT_GT(expected[i].records, 0u);
      }
      EXPECT_EQ(rig.counts[i].records, expected[i].records);
      EXPECT_TRUE(rig.counts[i].complete);
      EXPECT_EQ(rig.sink.lines[i], "SCOTT." + expected[i].name + " : " + std::to_string(expected[i].records) +
                                       " Record(s)" + expected[i].suffix);
    }
  }
}

class ScanCountsTest : public ::testing::Test, public CountRig {
 protected:
  ScanCountsTest() : CountRig(test::DefaultDb("11.2", 8192)) {}
};

// The running count reaches the front end at most once per block, and its
// last value is the table's count.
TEST_F(ScanCountsTest, CountShownOncePerBlockAtMost) {
  const std::uint32_t big = Table("USERS_MAPS", On(ddb::kUsersMaps));
  ASSERT_TRUE(Count());
  ASSERT_EQ(counts.size(), 1u);
  EXPECT_EQ(counts[0].object_number, big);
  EXPECT_EQ(sink.last_count, counts[0].records);
  const std::uint64_t blocks = Segment(ddb::kUsersMaps).blocks.size();
  EXPECT_EQ(counts[0].blocks, blocks);
  EXPECT_LE(sink.count_notifications, blocks + 1);  // + the reset to 0
  EXPECT_LT(sink.count_notifications, counts[0].records / 4);
  // One progress step per block, between a start and a finish.
  std::uint64_t steps = 0, starts = 0, finishes = 0;
  for (const auto& e : sink.events) {
    if (e.kind != test::SinkEvent::Kind::kProgress) continue;
    steps += e.step == ProgressStep::kStep;
    starts += e.step == ProgressStep::kStart;
    finishes += e.step == ProgressStep::kFinish;
  }
  EXPECT_EQ(steps, blocks);
  EXPECT_EQ(starts, 1u);
  EXPECT_EQ(finishes, 1u);
}

// A table without column records keeps its line without a count.
TEST_F(ScanCountsTest, TableWithoutColumnsHasNoCount) {
  Table("NO_COLUMNS", On(ddb::kReadOnlyHeap), false);
  ASSERT_TRUE(Count());
  ASSERT_EQ(sink.lines.size(), 1u);
  EXPECT_EQ(sink.lines[0], "SCOTT.NO_COLUMNS : ");
  EXPECT_FALSE(counts[0].has_columns);
  EXPECT_EQ(counts[0].records, 50u);
}

// Blocks of another object inside the table's extents (space reused after a
// drop) add nothing.
TEST(ScanCountsOther, BlocksOfOtherObjectsAddNothing) {
  auto model = testdb::NewDatabaseModel("OTHER", "10.2", 2048, 5);
  model.decoys = {false, false, false, false};
  testdb::SegmentModel s;
  s.name = "T";
  s.object_number = 80001;
  s.extent_blocks = 16;
  for (int i = 0; i < 300; ++i) s.rows.push_back(testdb::Row({testdb::Bytes{0xC1, 2}, testdb::Bytes(30, 'x')}));
  model.segments.push_back(s);
  // Data block 2 now names another data object.
  testdb::Damage d;
  d.kind = testdb::DamageKind::kPatchBytes;
  d.object_number = 80001;
  d.role = testdb::BlockRole::kDataBlock;
  d.index = 2;
  d.offset = format::data_block::kObjectNumber;
  d.bytes = {0x99, 0x99, 0x01, 0x00};
  model.damage.push_back(d);
  const auto db = test::Generate(model, "other-object");

  test::RecordingSink sink;
  StopFlag stop;
  COracleRecoveryTools engine(sink, stop);
  IdentifyRelease(engine, db->system_path());
  test::CatalogueBuilder build(engine);
  build.User("U");
  const SegmentLayout& seg = *db->layout.FindSegment(80001);
  TableRecord t;
  t.data_object_number = 80001;
  t.relative_file_number = format::DbaFile(seg.header_dba);
  t.header_block = format::DbaBlock(seg.header_dba);
  build.Column(build.TableWith("U", "T", t), "ID", "NUMBER");
  std::uint64_t in_foreign_block = 0;
  for (const RowPlacement& r : seg.rows) in_foreign_block += r.pieces.front().dba == seg.data_blocks[2];
  ASSERT_GT(in_foreign_block, 0u);

  std::vector<TableCount> counts;
  ASSERT_TRUE(CountShownTables(engine, GenerateTree(engine, "DB").shown_tables(), counts));
  EXPECT_EQ(counts.at(0).records, 300u - in_foreign_block);
}

// A stop during the counts: the table being counted keeps its line without a
// number, the following tables get none, the counting reports the stop.
TEST_F(ScanCountsTest, StopDuringTheCounts) {
  Table("FIRST", On(ddb::kReadOnlyHeap));
  Table("SECOND", On(ddb::kUsersMaps));
  Table("THIRD", On(ddb::kUsersHeap));
  std::uint64_t steps_after_line = 0;
  sink.on_event = [&](const test::SinkEvent& e) {
    if (e.kind == test::SinkEvent::Kind::kAppendLog && e.text == "SCOTT.SECOND : ") steps_after_line = 1;
    if (steps_after_line && e.kind == test::SinkEvent::Kind::kProgress && e.step == ProgressStep::kStep &&
        ++steps_after_line == 11) {
      stop.Request();  // after the tenth block of SECOND
    }
  };
  EXPECT_FALSE(Count());
  EXPECT_EQ(sink.lines, (std::vector<std::string>{"SCOTT.FIRST : 50 Record(s)", "SCOTT.SECOND : "}));
  ASSERT_EQ(counts.size(), 2u);
  EXPECT_TRUE(counts[0].complete);
  EXPECT_FALSE(counts[1].complete);
  EXPECT_GT(counts[1].records, 0u);
}

TEST(ScanCountsDamage, LinesAfterTheTotalsOnlyWhenBlocksAreDamaged) {
  const auto table = [](const std::string& name, std::vector<std::uint32_t> bad, std::uint64_t suspect,
                        std::vector<MissingBlocks> missing) {
    TableCount c;
    c.text = name;
    c.bad_checksum_blocks = std::move(bad);
    c.suspect_records = suspect;
    for (const auto& m : missing) c.blocks_missing += m.block_count;
    c.missing = std::move(missing);
    return c;
  };
  const MissingBlocks cut{5, 40, 12, MissingCause::kPastEnd};
  const MissingBlocks gone{6, 2, 1, MissingCause::kNoDatafile};
  struct Case {
    const char* name;
    std::vector<TableCount> counts;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"undamaged", {table("A.T", {}, 0, {}), table("A.U", {}, 0, {})}, {}},
      {"bad checksums; a cluster's block counted once",
       {table("A.T", {10, 11}, 7, {}), table("A.M1", {20}, 2, {}), table("A.M2", {20}, 3, {})},
       {"Blocks with a bad checksum : 3 (12 suspect record(s)) in A.T, A.M1, A.M2"}},
      {"missing blocks",
       {table("HR.COUNTRIES", {}, 0, {cut}), table("HR.REGIONS", {}, 0, {gone}), table("A.T", {}, 0, {})},
       {"Missing blocks : 13 (past the end of a datafile or in a missing datafile) in HR.COUNTRIES, HR.REGIONS"}},
      {"both, many tables",
       {table("A.A", {1}, 1, {}), table("A.B", {2}, 1, {}), table("A.C", {3}, 1, {}), table("A.D", {4}, 1, {}),
        table("A.E", {5}, 1, {}), table("A.F", {6}, 1, {cut}), table("A.G", {7}, 1, {cut})},
       {"Blocks with a bad checksum : 7 (7 suspect record(s)) in A.A, A.B, A.C, A.D, A.E and 2 more",
        "Missing blocks : 12 (past the end of a datafile or in a missing datafile) in A.F, A.G"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(DamageReportLines(c.counts), c.lines);
  }
}

}  // namespace
}  // namespace quillon
