#include <gtest/gtest.h>

#include <algorithm>

#include "reader/extent_map.h"
#include "reader/bytes.h"
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

// A 0x23 header gives its extents, its data object number and its next-map
// DBA under each order of the words before the entries, whatever its count
// word says; the entries stop at the header's capacity.
TEST(ExtentMap, AssmHeaderUnderEveryOrderAndCount) {
  struct Count {
    const char* what;
    std::optional<std::uint32_t> value;  // none: the true count
  };
  const Count counts[] = {{"true count", std::nullopt}, {"zero", 0u}, {"garbage", 0xDEADBEEFu}, {"one", 1u}};
  for (const std::uint32_t block_size : {2048u, 8192u}) {
    for (const auto order : testdb::kAssmHeaderOrders) {
      for (const Count& c : counts) {
        SCOPED_TRACE(std::to_string(block_size) + " order " + std::to_string(static_cast<int>(order)) + " " + c.what);
        std::vector<ExtentDescription> extents;
        for (std::uint32_t i = 0; i < 5; ++i) extents.push_back({format::MakeDba(4, 16 + 40 * i), 8 + i});
        Bytes block(block_size, 0);
        testdb::ExtentControl control;
        control.extents = 9;  // four more in an extent map block
        testdb::WriteExtentMapBlock(block, 0x23, 0xA2, format::MakeDba(4, 18), 5150, extents, format::MakeDba(4, 900),
                                    {}, c.value, control, order);
        const auto map = DecodeExtentMap(ByteView(block.data(), block.size()));
        ASSERT_TRUE(map);
        ASSERT_EQ(map->entries.size(), 5u);
        EXPECT_EQ(map->entries[4].first_dba, format::MakeDba(4, 176));
        EXPECT_EQ(map->entries[4].block_count, 12u);
        EXPECT_EQ(map->object_number, 5150u);
        const auto& next = map->next_candidates;
        EXPECT_NE(std::find(next.begin(), next.end(), format::MakeDba(4, 900)), next.end());
        if (!c.value) {
          EXPECT_EQ(map->next_map, format::MakeDba(4, 900));
          EXPECT_EQ(map->stored_extent_count, 5u);
          EXPECT_FALSE(map->count_disagrees);
        } else {
          EXPECT_TRUE(map->count_disagrees);
        }
      }
    }
  }
}

TEST(ExtentMap, AssmHeaderStopsAtItsCapacityAndAtInvalidEntries) {
  EXPECT_EQ(format::AssmHeaderCapacity(8192), 307u);
  EXPECT_EQ(testdb::ExtentMapCapacity(8192, 0x23), 307u);
  for (const std::uint32_t block_size : {2048u, 4096u, 8192u, 16384u, 32768u}) {
    SCOPED_TRACE(block_size);
    const std::size_t capacity = format::AssmHeaderCapacity(block_size);
    ASSERT_GT(capacity, 0u);
    ASSERT_LE(280 + capacity * 8, block_size - 4u);
    std::vector<ExtentDescription> extents;
    for (std::uint32_t i = 0; i < capacity + 5; ++i) extents.push_back({format::MakeDba(5, 8 + 8 * i), 8});
    Bytes block(block_size, 0);
    testdb::WriteExtentMapBlock(block, 0x23, 0xA2, format::MakeDba(5, 2), 77, extents, 0, {});
    // After the map: an auxiliary map entry (an L1 bitmap DBA, a data DBA).
    PutU32LE(block.data() + 280 + capacity * 8, format::MakeDba(5, 8));
    PutU32LE(block.data() + 280 + capacity * 8 + 4, format::MakeDba(5, 12));
    auto map = DecodeExtentMap(ByteView(block.data(), block.size()));
    ASSERT_TRUE(map);
    EXPECT_EQ(map->entries.size(), capacity);
    // An entry of length 0, or one outside the registered files, ends the run.
    PutU32LE(block.data() + 280 + 3 * 8 + 4, 0);
    map = DecodeExtentMap(ByteView(block.data(), block.size()));
    EXPECT_EQ(map->entries.size(), 3u);
    map = DecodeExtentMap(ByteView(block.data(), block.size()),
                          [](std::uint32_t dba, std::uint32_t) { return format::DbaBlock(dba) < 20; });
    EXPECT_EQ(map->entries.size(), 2u);
  }
}

}  // namespace
}  // namespace quillon
