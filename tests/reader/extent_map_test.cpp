#include <gtest/gtest.h>

#include "reader/extent_map.h"
#include "reader/format.h"
#include "testdb/block_writer.h"

namespace quillon {
namespace {

using testdb::Bytes;
using testdb::ExtentDescription;

TEST(ExtentMap, EveryMapBlockTypeDecodes) {
  const std::vector<ExtentDescription> extents = {{format::MakeDba(4, 8), 8}, {format::MakeDba(4, 128), 16}};
  for (const std::uint8_t type : {0x10, 0x23, 0x12, 0x24}) {
    SCOPED_TRACE(type);
    Bytes block(8192, 0);
    testdb::WriteExtentMapBlock(block, type, 0xA2, format::MakeDba(4, 8), 5150, extents,
                                format::MakeDba(4, 300), {});
    const auto map = DecodeExtentMap(ByteView(block.data(), block.size()));
    ASSERT_TRUE(map);
    EXPECT_EQ(map->block_type, type);
    EXPECT_EQ(map->object_number, 5150u);
    EXPECT_EQ(map->next_map, format::MakeDba(4, 300));
    ASSERT_EQ(map->entries.size(), 2u);
    EXPECT_EQ(map->entries[1].first_dba, format::MakeDba(4, 128));
    EXPECT_EQ(map->entries[1].block_count, 16u);
    std::vector<std::uint32_t> dbas;
    AppendExtentBlocks(*map, dbas);
    ASSERT_EQ(dbas.size(), 24u);
    EXPECT_EQ(dbas.front(), format::MakeDba(4, 8));
    EXPECT_EQ(dbas[8], format::MakeDba(4, 128));
    EXPECT_EQ(dbas.back(), format::MakeDba(4, 143));
  }
}

TEST(ExtentMap, StoredCountIsBoundedByTheBlock) {
  Bytes block(2048, 0);
  const std::vector<ExtentDescription> extents = {{format::MakeDba(1, 10), 1}};
  testdb::WriteExtentMapBlock(block, 0x10, 0x02, format::MakeDba(1, 9), 18, extents, 0, {}, 0xFFFFFFFFu);
  const auto map = DecodeExtentMap(ByteView(block.data(), block.size()));
  ASSERT_TRUE(map);
  EXPECT_TRUE(map->count_exceeds_block);
  EXPECT_EQ(map->stored_extent_count, 0xFFFFFFFFu);
  EXPECT_EQ(map->entries.size(), testdb::ExtentMapCapacity(2048, 0x10));
}

TEST(ExtentMap, OtherBlocksAreNotMaps) {
  Bytes block(8192, 0);
  for (const std::uint8_t type : {0x00, 0x06, 0x0B, 0x20, 0x21}) {
    block[0] = type;
    EXPECT_FALSE(DecodeExtentMap(ByteView(block.data(), block.size())));
  }
  block[0] = 0x23;
  EXPECT_FALSE(DecodeExtentMap(ByteView(block.data(), 200)));  // too short for the map header
}

TEST(ExtentMap, ExtentsNeverLeaveTheirFile) {
  ExtentMap map;
  map.entries = {{format::MakeDba(3, 0x3FFFFE), 10}, {format::MakeDba(3, 90), 50}};
  std::vector<std::uint32_t> dbas;
  AppendExtentBlocks(map, dbas, 100);
  // The first extent starts past the file's end; the second stops at it.
  ASSERT_EQ(dbas.size(), 10u);
  EXPECT_EQ(dbas.back(), format::MakeDba(3, 99));
  dbas.clear();
  AppendExtentBlocks(map, dbas);
  EXPECT_EQ(dbas.size(), 2u + 50u);  // only the two blocks left in the 22-bit space
}

}  // namespace
}  // namespace quillon
