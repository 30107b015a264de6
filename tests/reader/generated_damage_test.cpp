// Damaged extent map chains and row directories from the generator: the
// walk ends, reports what stopped it and keeps what it read before.
#include <gtest/gtest.h>

#include "reader/block_source.h"
#include "reader/extent_map.h"
#include "reader/identify.h"
#include "support/generated_db.h"
#include "support/row_chain.h"

namespace quillon {
namespace {

using testdb::BlockRole;
using testdb::Damage;

constexpr std::uint32_t kObject = 777;

// A database with one segment whose extent map continues in extent map
// blocks of two extents each, and the damage asked for.
std::unique_ptr<test::GeneratedDb> Damaged(SpaceManagement space, std::vector<Damage> damage, const std::string& name) {
  auto model = testdb::NewDatabaseModel("DMG", "11.2", 4096, 5);
  model.decoys = {false, false, false, false};
  testdb::SegmentModel s;
  s.name = "T";
  s.object_number = kObject;
  s.space = space;
  s.max_extents_per_map = 2;
  s.min_extents = 9;
  for (int i = 0; i < 60; ++i) {
    s.rows.emplace_back(std::vector<testdb::ColumnBytes>{testdb::SmallNumber(static_cast<std::uint64_t>(i)),
                                                         testdb::Bytes(40, 'x')});
  }
  model.segments.push_back(s);
  model.damage = std::move(damage);
  return test::Generate(model, name);
}

struct Walked {
  SegmentWalk walk;
  const testdb::SegmentLayout* layout;
};

TEST(GeneratedDamage, ExtentMapChains) {
  struct Case {
    const char* name;
    std::vector<Damage> damage;
    const char* problem;      // part of the walk's problem text, "" for none
    int maps_read;            // -1: every map
    bool all_blocks;
  };
  const std::vector<Case> cases = {
      {"intact", {}, "", -1, true},
      {"loop", {Damage::MapLoop(kObject)}, "loops back", -1, true},
      {"outside", {Damage::MapOutside(kObject)}, "unreadable", -1, true},
      {"zeroed map", {Damage::ZeroBlock(kObject, BlockRole::kExtentMap, 1)}, "not an extent map", 2, false},
      {"zeroed header", {Damage::ZeroBlock(kObject, BlockRole::kSegmentHeader)}, "not a segment header", 0, false},
  };
  for (const auto space : {SpaceManagement::kFreeList, SpaceManagement::kAssm}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(c.name) + (space == SpaceManagement::kAssm ? " assm" : " free list"));
      const auto db = Damaged(space, c.damage, std::string("map-") + c.name + std::to_string(int(space)));
      const auto* seg = db->layout.FindSegment(kObject);
      ASSERT_NE(seg, nullptr);
      ASSERT_EQ(seg->extent_map_dbas.size(), 4u);  // 9 extents, 2 per map
      NullSink sink;
      StopFlag stop;
      COracleRecoveryTools engine(sink, stop);
      IdentifyRelease(engine, db->system_path());
      BlockSource source(engine.datafiles);
      const SegmentWalk walk = WalkSegment(source, engine.datafiles, seg->header_dba);
      if (std::string(c.problem).empty()) {
        EXPECT_EQ(walk.problem, "");
      } else {
        EXPECT_NE(walk.problem.find(c.problem), std::string::npos) << walk.problem;
      }
      const int maps = c.maps_read < 0 ? static_cast<int>(1 + seg->extent_map_dbas.size()) : c.maps_read;
      EXPECT_EQ(walk.maps_read, static_cast<std::uint32_t>(maps));
      if (c.all_blocks) {
        EXPECT_EQ(walk.blocks, seg->blocks);
      } else {
        // What was read before the damage is kept, in order.
        ASSERT_LE(walk.blocks.size(), seg->blocks.size());
        EXPECT_TRUE(std::equal(walk.blocks.begin(), walk.blocks.end(), seg->blocks.begin()));
      }
    }
  }
}

TEST(GeneratedDamage, WrongExtentCountIsBoundedByTheBlock) {
  const auto db = Damaged(SpaceManagement::kAssm, {Damage::ExtentCount(kObject, BlockRole::kSegmentHeader, 0, 0x7FFFFFFF)},
                          "count");
  const auto* seg = db->layout.FindSegment(kObject);
  NullSink sink;
  StopFlag stop;
  COracleRecoveryTools engine(sink, stop);
  IdentifyRelease(engine, db->system_path());
  BlockSource source(engine.datafiles);
  BlockResult r = source.Read(seg->header_dba);
  ASSERT_TRUE(r.ok());
  const auto map = DecodeExtentMap(r.block.bytes());
  ASSERT_TRUE(map.has_value());
  EXPECT_EQ(map->stored_extent_count, 0x7FFFFFFFu);
  EXPECT_TRUE(map->count_exceeds_block);
  // The entries of a 0x23 header are its run of valid entries, whatever
  // the count says: the two the header holds.
  EXPECT_EQ(map->entries.size(), 2u);
  EXPECT_TRUE(map->count_disagrees);
  const SegmentWalk walk = WalkSegment(source, engine.datafiles, seg->header_dba);
  EXPECT_TRUE(walk.header_found);
  EXPECT_EQ(walk.blocks, seg->blocks);
  EXPECT_EQ(BlockView(r.block.bytes()).ChecksumValid(), true);
}

TEST(GeneratedDamage, RowDirectoryEntriesAndDanglingChains) {
  struct Case {
    const char* name;
    Damage damage;
    bool position;  // the entry still gives a row position
  };
  const Case cases[] = {
      {"beyond the block", Damage::RowEntry(kObject, 3, 0x7FF0), false},
      {"inside the directory", Damage::RowEntry(kObject, 3, 2), false},
      {"no offset", Damage::RowEntry(kObject, 3, 0xFFFF), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto db = Damaged(SpaceManagement::kAssm, {c.damage}, std::string("row-") + c.name);
    const auto* seg = db->layout.FindSegment(kObject);
    NullSink sink;
    StopFlag stop;
    COracleRecoveryTools engine(sink, stop);
    IdentifyRelease(engine, db->system_path());
    BlockSource source(engine.datafiles);
    const auto& damaged = seg->rows[3].pieces.front();
    BlockResult r = source.Read(damaged.dba);
    ASSERT_TRUE(r.ok());
    const auto view = DataBlock::Open(r.block.bytes(), SpaceManagement::kAssm);
    ASSERT_TRUE(view.has_value());
    EXPECT_EQ(view->RowPosition(damaged.slot).has_value(), c.position);
    // The neighbours stay readable.
    for (const std::size_t other : {std::size_t{2}, std::size_t{4}}) {
      const auto& p = seg->rows[other].pieces.front();
      const auto row = test::ReadRowChain(source, SpaceManagement::kAssm, p.dba, 0, p.slot);
      EXPECT_EQ(row.problem, "");
      EXPECT_EQ(row.columns.size(), 2u);
    }
  }

  // A chained row whose next piece lies in a file the database lacks.
  auto model = testdb::NewDatabaseModel("DMG", "10.2", 2048, 5);
  model.decoys = {false, false, false, false};
  testdb::SegmentModel s;
  s.name = "C";
  s.object_number = kObject;
  s.rows.emplace_back(std::vector<testdb::ColumnBytes>{testdb::Bytes(3000, 'y')});
  model.segments.push_back(s);
  model.damage.push_back(Damage::RowNextOutside(kObject, 0));
  const auto db = test::Generate(model, "dangling");
  NullSink sink;
  StopFlag stop;
  COracleRecoveryTools engine(sink, stop);
  IdentifyRelease(engine, db->system_path());
  BlockSource source(engine.datafiles);
  const auto& head = db->layout.FindSegment(kObject)->rows[0].pieces.front();
  EXPECT_EQ(head.flag, 0x29);
  const auto row = test::ReadRowChain(source, SpaceManagement::kAssm, head.dba, 0, head.slot);
  EXPECT_NE(row.problem, "");
  EXPECT_EQ(row.columns.size(), 1u);  // the head's part of the value is still there
  EXPECT_EQ(source.Read(0xFA000064).status, ReadStatus::kUnknownFile);
}

}  // namespace
}  // namespace quillon
