// Invariants of the files the generator writes: determinism, block headers,
// checksums and tails, and where Oracle puts segment headers, bitmap blocks
// and extent map blocks.
#include <algorithm>
#include <filesystem>
#include <functional>
#include <fstream>
#include <iterator>
#include <map>

#include <gtest/gtest.h>

#include "support/test_paths.h"

#include "reader/block_view.h"
#include "reader/bytes.h"
#include "reader/format.h"
#include "support/generated_db.h"
#include "testdb/release_profile.h"

namespace quillon {
namespace {

namespace bt = format::block_type;

std::vector<std::uint8_t> BlockOf(const test::GeneratedDb& db, std::uint32_t dba) {
  const auto* f = db.layout.FindFileByNumber(format::DbaFile(dba));
  EXPECT_NE(f, nullptr);
  static std::map<std::string, std::vector<std::uint8_t>> cache;  // files are read once
  auto& bytes = cache[f->path];
  if (bytes.empty()) bytes = test::ReadFileBytes(f->path);
  const std::size_t at = std::size_t{format::DbaBlock(dba)} * db.layout.block_size;
  return {bytes.begin() + static_cast<std::ptrdiff_t>(at),
          bytes.begin() + static_cast<std::ptrdiff_t>(at + db.layout.block_size)};
}

TEST(Generator, SameSeedSameBytesOtherSeedOtherBytes) {
  const auto a = test::Generate(testdb::DefaultDatabaseModel("11.2", 4096, 7), "seed-a");
  const auto b = test::Generate(testdb::DefaultDatabaseModel("11.2", 4096, 7), "seed-b");
  const auto c = test::Generate(testdb::DefaultDatabaseModel("11.2", 4096, 8), "seed-c");
  bool any_differs = false;
  for (const auto& f : a->layout.files) {
    SCOPED_TRACE(f.file_name);
    const auto x = test::ReadFileBytes(f.path);
    EXPECT_FALSE(x.empty());
    EXPECT_TRUE(x == test::ReadFileBytes(b->folder + "/" + f.file_name));
    any_differs |= x != test::ReadFileBytes(c->folder + "/" + f.file_name);
  }
  for (const auto& d : a->layout.decoys) {
    const auto rel = std::filesystem::relative(d.path, a->folder).string();
    EXPECT_TRUE(test::ReadFileBytes(d.path) == test::ReadFileBytes(b->folder + "/" + rel)) << rel;
  }
  EXPECT_TRUE(any_differs);
}

TEST(Generator, EveryWrittenBlockHasAConsistentHeader) {
  for (const char* release : {"8i", "9i", "10.1", "11.2"}) {
    for (const std::uint32_t bs : {2048u, 16384u}) {
      SCOPED_TRACE(std::string(release) + " " + std::to_string(bs));
      const auto& db = test::DefaultDb(release, bs);
      const auto profile = *testdb::FindReleaseProfile(release);
      const std::uint8_t format_byte = testdb::BlockFormatByte(profile, bs);
      for (const auto& f : db.layout.files) {
        SCOPED_TRACE(f.file_name);
        const auto bytes = test::ReadFileBytes(f.path);
        ASSERT_EQ(bytes.size(), std::size_t{f.block_count} * bs);
        const ByteView file(bytes.data(), bytes.size());
        EXPECT_EQ(file.U32LE(format::os_header::kBlockSize), bs);
        EXPECT_EQ(file.U32LE(format::os_header::kMagic), format::os_header::kMagicValue);
        EXPECT_EQ(file.U8(1), format_byte);
        const bool system = f.tablespace == "SYSTEM";
        for (std::uint32_t b = 1; b < f.block_count; ++b) {
          const ByteView block = *file.Sub(std::size_t{b} * bs, bs);
          if (block.U32LE(0) == 0u && block.U32LE(4) == 0u) continue;  // never formatted
          const BlockView view(block);
          EXPECT_EQ(view.Rdba(), format::MakeDba(f.relative_file, b)) << b;
          EXPECT_EQ(view.Format(), format_byte) << b;
          EXPECT_TRUE(view.TailConsistent()) << b;
          // 8i checksums SYSTEM only; every header block is checksummed.
          const bool checksum = profile.checksum_every_block || system || b == 1;
          EXPECT_EQ(view.ChecksumFlagSet(), checksum) << b;
          EXPECT_TRUE(!checksum || view.ChecksumValid()) << b;
        }
      }
    }
  }
}

TEST(Generator, SegmentHeadersBitmapsAndMapsWhereOracleKeepsThem) {
  const auto& db = test::DefaultDb("10.2", 8192);
  for (const auto& seg : db.layout.segments) {
    SCOPED_TRACE(seg.name);
    const std::uint32_t first = seg.extents.front().first_dba;
    if (seg.space == SpaceManagement::kAssm) {
      // Two level-1 bitmaps, the level-2 bitmap, then the header.
      EXPECT_EQ(BlockOf(db, first)[0], bt::kFirstLevelBitmap);
      EXPECT_EQ(BlockOf(db, first + 1)[0], bt::kFirstLevelBitmap);
      EXPECT_EQ(BlockOf(db, first + 2)[0], bt::kSecondLevelBitmap);
      EXPECT_EQ(seg.header_dba, first + 3);
      EXPECT_EQ(BlockOf(db, seg.header_dba)[0], bt::kAssmSegmentHeader);
      // Data blocks name a level-1 bitmap of their segment.
      for (const std::uint32_t dba : seg.data_blocks) {
        const auto block = BlockOf(db, dba);
        const ByteView v(block.data(), block.size());
        EXPECT_EQ(v.U8(format::data_block::kFlags), format::data_block::kFlagsAssm);
        const auto l1 = *v.U32LE(format::data_block::kFreeListNext);
        EXPECT_NE(std::find(seg.bitmap_blocks.begin(), seg.bitmap_blocks.end(), l1), seg.bitmap_blocks.end());
        EXPECT_EQ(BlockOf(db, l1)[0], bt::kFirstLevelBitmap);
      }
    } else {
      EXPECT_EQ(seg.header_dba, first);
      EXPECT_EQ(BlockOf(db, first)[0], bt::kSegmentHeader);
    }
    // An extent map block is the first block of the extent its map starts with.
    for (const std::uint32_t map : seg.extent_map_dbas) {
      EXPECT_EQ(BlockOf(db, map)[0], seg.space == SpaceManagement::kAssm ? bt::kAssmExtentMap : bt::kExtentMap);
      bool starts_extent = false;
      for (const auto& e : seg.extents) starts_extent |= e.first_dba == map;
      EXPECT_TRUE(starts_extent);
    }
    for (const std::uint32_t dba : seg.data_blocks) {
      const auto block = BlockOf(db, dba);
      EXPECT_EQ(block[0], bt::kData);
      EXPECT_EQ(ByteView(block.data(), block.size()).U32LE(format::data_block::kObjectNumber), seg.object_number);
    }
  }
}

TEST(Generator, FormattedEmptyBlocksAndFixedSizes) {
  auto model = testdb::NewDatabaseModel("FMT", "9i", 4096, 2);
  model.decoys = {false, false, false, false};
  model.unused_blocks = testdb::UnusedBlocks::kFormattedEmpty;
  model.datafiles[0].blocks = 64;
  testdb::SegmentModel s;
  s.name = "T";
  s.object_number = 90;
  s.tablespace = "SYSTEM";
  s.space = SpaceManagement::kFreeList;
  s.min_extents = 3;
  s.rows.emplace_back(std::vector<testdb::ColumnBytes>{testdb::SmallNumber(1)});
  model.segments.push_back(s);
  const auto db = test::Generate(model, "formatted");
  const auto* seg = db->layout.FindSegment(90);
  ASSERT_NE(seg, nullptr);
  EXPECT_EQ(seg->extents.size(), 3u);
  // Every block of the segment but its header is a data block, one with the row.
  EXPECT_EQ(seg->data_blocks.size(), seg->blocks.size() - 1);
  EXPECT_EQ(db->layout.FindFile("SYSTEM01.DBF")->block_count, 64u);
  EXPECT_EQ(std::filesystem::file_size(db->system_path()), 64u * 4096);
  // Free blocks of the file are formatted too.
  EXPECT_EQ(BlockOf(*db, format::MakeDba(1, 63))[0], bt::kData);

  // A segment larger than its fixed-size file is refused.
  model.segments[0].min_extents = 20;
  testdb::LayoutResult result;
  std::string error;
  EXPECT_FALSE(testdb::WriteDatabase(model, test::FreshFolder("full"), result, error));
  EXPECT_NE(error.find("is full"), std::string::npos) << error;
}

TEST(Generator, InvalidModelsAreRefused) {
  struct Case {
    const char* name;
    std::function<void(testdb::DatabaseModel&)> change;
    const char* message;
  };
  const std::vector<Case> cases = {
      {"release", [](auto& m) { m.release = "12.1"; }, "unknown release"},
      {"block size", [](auto& m) { m.block_size = 1024; }, "block size"},
      {"name", [](auto& m) { m.name = "TOOLONGNAME"; }, "database name"},
      {"no system", [](auto& m) { m.datafiles.erase(m.datafiles.begin()); }, "SYSTEM"},
      {"twice", [](auto& m) { m.datafiles[1].relative_file = 1; }, "used twice"},
      {"tablespace", [](auto& m) { m.segments[0].tablespace = "NOPE"; }, "no datafile"},
      {"chain", [](auto& m) { m.segments[0].rows[0].placement = testdb::Placement::kChained; }, "chain_blocks"},
      {"object", [](auto& m) { m.segments.push_back(m.segments[0]); }, "used twice"},
      {"assm extent", [](auto& m) { m.segments[0].extent_blocks = 4; }, "at least 5"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto model = testdb::NewDatabaseModel("BAD", "10.2", 8192, 1);
    testdb::SegmentModel s;
    s.name = "T";
    s.object_number = 5;
    s.rows.emplace_back(std::vector<testdb::ColumnBytes>{testdb::SmallNumber(1)});
    model.segments.push_back(s);
    EXPECT_EQ(testdb::ValidateModel(model), "");
    c.change(model);
    EXPECT_NE(testdb::ValidateModel(model).find(c.message), std::string::npos) << testdb::ValidateModel(model);
  }
}

}  // namespace
}  // namespace quillon
