#include <gtest/gtest.h>

#include "reader/block_source.h"
#include "reader/format.h"
#include "support/test_paths.h"

namespace quillon {
namespace {

// A datafile whose every block starts with its own block number, so a test
// can tell which block it was handed.
DatafileList MakeFile(const test::TempDir& dir, std::size_t blocks, std::size_t extra_bytes,
                      std::uint32_t block_size = 2048) {
  std::vector<std::uint8_t> bytes(blocks * block_size + extra_bytes, 0);
  for (std::size_t b = 0; b * block_size < bytes.size(); ++b) {
    bytes[b * block_size] = static_cast<std::uint8_t>(b);
    bytes[b * block_size + 1] = static_cast<std::uint8_t>(b >> 8);
  }
  test::WriteFileBytes(dir / "USERS01.DBF", bytes);
  DatafileEntry e;
  e.full_path = (dir / "USERS01.DBF").string();
  e.block_size = static_cast<std::uint16_t>(block_size);
  e.file_base_dba = format::MakeDba(4, 0);
  e.relative_file_number = 4;
  DatafileList list;
  list.Append(e);
  return list;
}

std::uint16_t Tag(const Block& b) { return static_cast<std::uint16_t>(*b.bytes().U16LE(0)); }

TEST(BlockSource, SequentialAndRandomReadsReturnTheRightBlocks) {
  test::TempDir dir;
  const DatafileList files = MakeFile(dir, 300, 0);
  BlockSource source(files, 16 * 2048);
  std::vector<std::uint32_t> order;
  for (std::uint32_t b = 0; b < 300; ++b) order.push_back(b);
  for (std::uint32_t b : {299u, 3u, 150u, 151u, 152u, 17u, 0u}) order.push_back(b);
  for (const std::uint32_t b : order) {
    const BlockResult r = source.Read(format::MakeDba(4, b));
    ASSERT_TRUE(r.ok()) << b;
    EXPECT_EQ(Tag(r.block), b);
    EXPECT_EQ(r.block.dba(), format::MakeDba(4, b));
    EXPECT_EQ(r.block.bytes().size(), 2048u);
  }
  // Reading ahead must not read the file more than about once.
  EXPECT_LT(source.bytes_read(), 2 * 300 * 2048u);
}

TEST(BlockSource, BlocksStayValidWhileOthersAreRead) {
  test::TempDir dir;
  const DatafileList files = MakeFile(dir, 200, 0);
  BlockSource source(files, 8 * 2048);
  const Block kept = source.Read(format::MakeDba(4, 5)).block;
  for (std::uint32_t b = 6; b < 200; ++b) ASSERT_TRUE(source.Read(format::MakeDba(4, b)).ok());
  EXPECT_EQ(Tag(kept), 5);  // still the bytes of block 5, not of a reused window
}

TEST(BlockSource, EndOfFileAndUnknownFiles) {
  test::TempDir dir;
  const DatafileList files = MakeFile(dir, 10, 100);  // the last block is cut short
  BlockSource source(files);
  const BlockResult last = source.Read(format::MakeDba(4, 10));
  ASSERT_TRUE(last.ok());
  EXPECT_TRUE(last.block.truncated());
  EXPECT_EQ(Tag(last.block), 10);
  EXPECT_EQ(*last.block.bytes().U8(2047), 0);  // missing bytes read as zeros
  EXPECT_EQ(source.Read(format::MakeDba(4, 11)).status, ReadStatus::kBeyondEnd);
  EXPECT_EQ(source.Read(format::MakeDba(5, 1)).status, ReadStatus::kUnknownFile);
  EXPECT_EQ(source.FileBlockCount(files.entries()[0]), 11u);
}

TEST(BlockSource, MissingFileIsReportedNotFatal) {
  test::TempDir dir;
  DatafileList files = MakeFile(dir, 4, 0);
  std::filesystem::remove(dir / "USERS01.DBF");
  BlockSource source(files);
  EXPECT_EQ(source.Read(format::MakeDba(4, 1)).status, ReadStatus::kOpenFailed);
}

}  // namespace
}  // namespace quillon
