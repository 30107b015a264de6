// Damaged input: a damaged block loses only its own rows, a broken chain of
// row pieces gives a partial row (the columns read so far, the rest NULL),
// and both are counted; a chain that loops or leaves the datafiles ends.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "rows/row_reader.h"
#include "reader/value_number.h"
#include "support/row_collect.h"
#include "support/table_db.h"
#include "testdb/values.h"

namespace quillon {
namespace {

using testdb::Bytes;
using testdb::ColumnBytes;
using testdb::Damage;
using testdb::Placement;
using testdb::Row;
using test::Value;

namespace tc = type_code;

constexpr std::uint32_t kTable = 70100;
constexpr std::uint32_t kOther = 70200;

// A heap of 150 rows, every tenth chained over three blocks, and a second
// segment whose blocks a damaged chain can point at.
testdb::DatabaseModel Model(std::vector<Damage> damage) {
  auto model = testdb::NewDatabaseModel("DMG", "11.2", 2048, 9);
  testdb::SegmentModel s;
  s.name = "T";
  s.object_number = kTable;
  s.space = SpaceManagement::kFreeList;
  for (int i = 0; i < 150; ++i) {
    Row r({testdb::EncodeNumber(i), Bytes(i % 10 == 4 ? 1500 : 60, static_cast<std::uint8_t>('a' + i % 26)),
           testdb::EncodeNumber(i * 3)});
    if (i % 10 == 4) {
      r.placement = Placement::kChained;
      r.chain_blocks = 3;
    }
    s.rows.push_back(std::move(r));
  }
  model.segments.push_back(s);
  testdb::SegmentModel other;
  other.name = "OTHER";
  other.object_number = kOther;
  other.rows.push_back(Row({testdb::EncodeNumber(999)}));
  model.segments.push_back(other);
  model.damage = std::move(damage);
  return model;
}

struct Read {
  std::vector<test::CollectedRow> rows;
  RowReadStats stats;
};

Read ReadTable(test::TableDb& db) {
  db.engine().catalogue.tables.Append(db.TableOn(1, kTable));
  db.Describe(1, "SCOTT", "T", {{"ID", tc::kNumber}, {"PAD", tc::kVarchar2}, {"N", tc::kNumber}});
  BlockSource source(db.engine().datafiles);
  TableRowReader reader(db.engine(), source, 1);
  Read out;
  out.rows = test::ReadAll(reader);
  out.stats = reader.stats();
  return out;
}

int IdOf(const test::CollectedRow& r) {
  return static_cast<int>(*NumberToInteger(ByteView(r.values[0]->data(), r.values[0]->size())));
}

TEST(RowDamage, DamagedBlocksLoseOnlyTheirOwnRows) {
  // Where the rows went, from an undamaged copy.
  test::TableDb intact(Model({}), "damage-intact");
  const auto& seg = intact.Segment(kTable);
  const std::uint32_t zeroed = 1, garbled = 3, broken = 5;
  std::set<std::uint32_t> lost_blocks = {seg.data_blocks[zeroed], seg.data_blocks[garbled], seg.data_blocks[broken]};
  Damage itl;
  itl.kind = testdb::DamageKind::kPatchBytes;
  itl.object_number = kTable;
  itl.role = testdb::BlockRole::kDataBlock;
  itl.index = broken;
  itl.offset = format::data_block::kItlCount;
  itl.bytes = {0xFF, 0xFF};  // a data header far beyond the block
  test::TableDb db(Model({Damage::ZeroBlock(kTable, testdb::BlockRole::kDataBlock, zeroed),
                          Damage::GarbleBlock(kTable, testdb::BlockRole::kDataBlock, garbled), itl}),
                   "damage-blocks");
  std::set<int> expected;
  for (std::size_t i = 0; i < seg.rows.size(); ++i) {
    if (!lost_blocks.count(seg.rows[i].pieces.front().dba)) expected.insert(static_cast<int>(i));
  }
  const Read read = ReadTable(db);
  std::set<int> got;
  for (const auto& r : read.rows) {
    if (r.problem == RowBreak::kNone) got.insert(IdOf(r));
  }
  // Chained rows whose later pieces lay in a lost block are partial; every
  // other row is whole.
  for (const auto& r : read.rows) {
    if (r.problem != RowBreak::kNone) {
      EXPECT_EQ(IdOf(r) % 10, 4);
      expected.erase(IdOf(r));
    }
  }
  EXPECT_EQ(got, expected);
  EXPECT_GE(read.stats.damaged_blocks, 1u);
  EXPECT_EQ(read.stats.partial_rows, read.rows.size() - got.size());
}

TEST(RowDamage, BrokenChainsGivePartialRows) {
  test::TableDb intact(Model({}), "chains-intact");
  const auto& seg = intact.Segment(kTable);
  const auto& victim = seg.rows[14];  // chained over three blocks
  ASSERT_EQ(victim.pieces.size(), 3u);
  const std::uint32_t other_block = intact.Segment(kOther).data_blocks.front();

  Damage outside = Damage::RowNextOutside(kTable, 4);
  Damage to_other = Damage::RowNextOutside(kTable, 24);
  to_other.target = Damage::Target::kValue;
  to_other.value = other_block;
  // The middle piece points back at the first: a loop.
  const auto& first = victim.pieces[0];
  const auto& middle = victim.pieces[1];
  Damage to_itself;
  to_itself.kind = testdb::DamageKind::kPatchBytes;
  to_itself.object_number = kTable;
  to_itself.role = testdb::BlockRole::kFileBlock;
  to_itself.index = format::DbaBlock(middle.dba);
  to_itself.offset = middle.offset + format::row::kHeaderSize;
  to_itself.bytes = Bytes(6);
  PutU32BE(to_itself.bytes.data(), first.dba);
  PutU16BE(to_itself.bytes.data() + 4, first.slot);
  Damage to_header = to_other;
  to_header.index = 34;
  to_header.target = Damage::Target::kSegmentHeader;
  test::TableDb db(Model({outside, to_other, to_itself, to_header}), "chains-broken");
  const Read read = ReadTable(db);

  std::map<int, RowBreak> problems;
  for (const auto& r : read.rows) {
    if (r.problem != RowBreak::kNone) problems[IdOf(r)] = r.problem;
  }
  const std::map<int, RowBreak> expected = {
      {4, RowBreak::kOutsideFiles}, {24, RowBreak::kOtherObject}, {14, RowBreak::kLoop}, {34, RowBreak::kOtherObject}};
  EXPECT_EQ(problems, expected);
  EXPECT_EQ(read.stats.partial_rows, 4u);
  EXPECT_EQ(read.rows.size(), 150u);
  // A partial row keeps what it read: its first column, and nothing that is
  // not the row's own.
  for (const auto& r : read.rows) {
    if (r.problem == RowBreak::kNone) {
      EXPECT_EQ(r.values[2], Value(testdb::EncodeNumber(IdOf(r) * 3)));
    } else {
      ASSERT_TRUE(r.values[1]);
      EXPECT_LT(r.values[1]->size(), 1500u);
      EXPECT_EQ(r.values[1]->front(), static_cast<std::uint8_t>('a' + IdOf(r) % 26));
      EXPECT_FALSE(r.values[2]);
    }
  }
}

}  // namespace
}  // namespace quillon
