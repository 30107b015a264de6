#include <gtest/gtest.h>

#include "reader/record_count.h"
#include <cstring>
#include <filesystem>
#include <fstream>

#include "testdb/block_writer.h"

namespace quillon {
namespace {

using testdb::Bytes;
using testdb::DataBlockBuilder;
using testdb::EncodeRowPiece;
using testdb::PieceDescription;

constexpr std::uint32_t kTable = 5150;

Bytes HeapBlock(SpaceManagement space, std::uint32_t object = kTable) {
  DataBlockBuilder b(2048, space, 2, object, 1);
  const RowAddress next{format::MakeDba(4, 99), 0};
  const std::vector<PieceDescription> pieces = {
      {0x2C, 0, {}, {}, {}, 0, {Bytes{0xC1, 0x02}}},            // complete: counts
      {0x0C, 0, next, {}, {}, 0, {Bytes{0xC1, 0x03}}},          // migrated piece: counts
      {0x28, 0, {}, next, {}, 0, {Bytes{0xC1, 0x04}}},          // chained head: counts
      {0x29, 0, {}, next, {}, 0, {Bytes{0xC1, 0x05}}},          // chained head, split value: counts
      {0x08, 0, next, next, {}, 0, {Bytes{0xC1, 0x06}}},        // first piece away from head: counts
      {0x04, 0, {}, {}, {}, 0, {Bytes{0xC1, 0x07}}},            // last piece: no
      {0x00, 0, {}, next, {}, 0, {Bytes{0xC1, 0x08}}},          // middle piece: no
      {0x20, 0, {}, next, {}, 0, {}},                           // head left behind: no
      {0x3C, 0, {}, {}, {}, 0, {}},                             // deleted: no
  };
  for (const auto& p : pieces) b.AddRow(0, EncodeRowPiece(p));
  b.AddFreeSlot(0, 0xFFFF);  // a free slot: no
  Bytes block(2048);
  b.Write(block, 0xA2, format::MakeDba(4, 20), {});
  return block;
}

CountTarget HeapTarget(bool free_list) {
  CountTarget t;
  t.accepted_objects = {kTable};
  if (free_list) t.free_list_objects = {kTable};
  return t;
}

TEST(RecordCount, HeapBlockCountsWhereRowsStart) {
  for (const bool free_list : {true, false}) {
    SCOPED_TRACE(free_list);
    const Bytes block = HeapBlock(free_list ? SpaceManagement::kFreeList : SpaceManagement::kAssm);
    EXPECT_EQ(CountBlockRecords(ByteView(block.data(), block.size()), HeapTarget(free_list)), 5u);
    // Read with the other layout's data header, the directory is not found.
    EXPECT_NE(CountBlockRecords(ByteView(block.data(), block.size()), HeapTarget(!free_list)), 5u);
  }
}

TEST(RecordCount, BlocksOfOtherSegmentsAddNothing) {
  const Bytes other = HeapBlock(SpaceManagement::kAssm, kTable + 1);
  EXPECT_EQ(CountBlockRecords(ByteView(other.data(), other.size()), HeapTarget(false)), 0u);
  Bytes header(2048, 0);
  testdb::WriteExtentMapBlock(header, 0x23, 0xA2, format::MakeDba(4, 3), kTable, {}, 0, {});
  EXPECT_EQ(CountBlockRecords(ByteView(header.data(), header.size()), HeapTarget(false)), 0u);
}

TEST(RecordCount, ClusterMembersCountUnderTheirKeys) {
  DataBlockBuilder b(2048, SpaceManagement::kFreeList, 2, 2, 3);  // key table + two members
  for (int k = 0; k < 2; ++k) b.AddRow(0, EncodeRowPiece({0xAC, 0, {}, {}, {}, 1, {Bytes{0xC1, std::uint8_t(2 + k)}}}));
  // Member table 1: two rows under key 0, one under key 1, one naming a key that does not exist.
  for (const std::uint8_t key : {0, 0, 1, 7}) {
    b.AddRow(1, EncodeRowPiece({0x6C, 0, {}, {}, key, 0, {Bytes{0x41}}}));
  }
  // Member table 2: one migrated member row.
  b.AddRow(2, EncodeRowPiece({0x4C, 0, RowAddress{format::MakeDba(1, 50), 2}, {}, std::uint8_t{1}, 0, {Bytes{0x42}}}));
  Bytes block(2048);
  b.Write(block, 0xA2, format::MakeDba(1, 30), {});
  const ByteView v(block.data(), block.size());
  CountTarget t;
  t.rule = CountRule::kCluster;
  t.accepted_objects = {2};
  t.free_list_objects = {2};
  const std::pair<std::uint8_t, std::uint64_t> cases[] = {{1, 3}, {2, 1}, {3, 0}, {0, 0}};
  for (const auto& [position, expected] : cases) {
    t.cluster_position = position;
    EXPECT_EQ(CountBlockRecords(v, t), expected) << int(position);
  }
}

// Leaf blocks of an index-organized table: rows whose flag is 0x00, 0x02,
// 0x04 or 0x06 count in blocks whose level byte names a leaf; branch blocks
// and invalid directory entries add nothing.
TEST(RecordCount, IndexLeafRowsOfIndexOrganizedTables) {
  namespace ih = format::index_header;
  const auto leaf = [](std::uint8_t level, std::uint8_t flags, std::vector<std::pair<std::uint16_t, std::uint8_t>> rows) {
    Bytes block(2048, 0);
    block[format::block_header::kType] = format::block_type::kData;
    const std::uint32_t object = kTable;
    std::memcpy(&block[format::data_block::kObjectNumber], &object, 4);
    const std::uint16_t itls = 2;
    std::memcpy(&block[format::data_block::kItlCount], &itls, 2);
    const std::size_t h = DataBlock::HeaderOffset(itls, SpaceManagement::kFreeList);
    block[h + ih::kLevel] = level;
    block[h + ih::kFlags] = flags;
    const auto count = static_cast<std::uint16_t>(rows.size());
    std::memcpy(&block[h + ih::kRowCount], &count, 2);
    for (std::size_t i = 0; i < rows.size(); ++i) {
      std::memcpy(&block[h + ih::kRowDirectory + 2 * i], &rows[i].first, 2);
      if (h + rows[i].first < block.size()) block[h + rows[i].first] = rows[i].second;
    }
    return block;
  };
  CountTarget t = HeapTarget(true);
  t.rule = CountRule::kIndex;
  const struct {
    std::uint8_t level;
    std::uint8_t flags;
    std::vector<std::pair<std::uint16_t, std::uint8_t>> rows;
    std::uint64_t expected;
  } cases[] = {
      {0, 0x90, {{600, 0x00}, {640, 0x02}, {680, 0x04}, {720, 0x06}}, 4},
      {0, 0x97, {{600, 0x00}, {640, 0x01}, {680, 0x10}}, 1},        // other row flags do not count
      {0, 0x99, {{600, 0x00}, {3, 0x00}, {0xFFFF, 0x00}}, 1},        // an offset equal to the row count, a deleted slot
      {1, 0x90, {{600, 0x00}, {640, 0x00}}, 0},                      // a branch block
      {0, 0x80, {{600, 0x00}, {640, 0x00}}, 0},                      // a plain index's leaf
      {0, 0x90, {{60000, 0x00}}, 0},                                 // an offset past the block
  };
  for (const auto& c : cases) {
    const Bytes b = leaf(c.level, c.flags, c.rows);
    EXPECT_EQ(CountBlockRecords(ByteView(b.data(), b.size()), t), c.expected) << int(c.flags);
  }
}

TEST(RecordCount, WalkCountsAcrossBlocksAndHonoursStop) {
  // Two heap blocks written into a datafile, walked through a BlockSource.
  Bytes file(2048 * 4, 0);
  const Bytes a = HeapBlock(SpaceManagement::kAssm);
  std::copy(a.begin(), a.end(), file.begin() + 2048 * 2);
  std::copy(a.begin(), a.end(), file.begin() + 2048 * 3);
  const auto path = std::filesystem::temp_directory_path() / "quillon-record-count.dbf";
  {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
  }
  DatafileEntry e;
  e.full_path = path.string();
  e.block_size = 2048;
  e.file_base_dba = format::MakeDba(4, 0);
  DatafileList files;
  files.Append(e);
  BlockSource source(files);
  NullSink sink;
  StopFlag stop;
  const std::vector<std::uint32_t> dbas = {format::MakeDba(4, 1), format::MakeDba(4, 2), format::MakeDba(4, 3),
                                           format::MakeDba(4, 9)};
  const CountResult r = CountRecords(source, dbas, HeapTarget(false), sink, stop);
  EXPECT_EQ(r.records, 10u);
  EXPECT_EQ(r.blocks_unreadable, 1u);
  // The same blocks as extents: the same count.
  const std::vector<ExtentEntry> extents = {{format::MakeDba(4, 1), 3}, {format::MakeDba(4, 9), 1}};
  const CountResult by_extent = CountRecords(source, extents, HeapTarget(false), sink, stop);
  EXPECT_EQ(by_extent.records, 10u);
  EXPECT_EQ(by_extent.blocks_read + by_extent.blocks_unreadable, 4u);
  stop.Request();
  EXPECT_TRUE(CountRecords(source, dbas, HeapTarget(false), sink, stop).stopped);
  EXPECT_TRUE(CountRecords(source, extents, HeapTarget(false), sink, stop).stopped);
  std::filesystem::remove(path);
}

}  // namespace
}  // namespace quillon
