// A complete 8192-byte table block written by Oracle 10g (an ASSM
// tablespace, two ITL slots, three rows), rebuilt byte for byte from a
// published block dump; the trace is in data/oracle10g_assm_heap_3rows.txt.
#include <gtest/gtest.h>

#include "reader/block_dump.h"
#include "reader/block_view.h"
#include "reader/row_piece.h"
#include "support/test_paths.h"

namespace quillon {
namespace {

class RealBlock : public ::testing::Test {
 protected:
  std::vector<std::uint8_t> bytes = test::ReadFileBytes(test::DataFile("oracle10g_assm_heap_3rows.bin"));
  ByteView block{bytes.data(), bytes.size()};
};

TEST_F(RealBlock, HeaderFieldsMatchTheTrace) {
  ASSERT_EQ(bytes.size(), 8192u);
  const BlockView v(block);
  EXPECT_EQ(v.Type(), 0x06);
  EXPECT_EQ(v.Format(), 0xA2);  // the trace prints 0x02: the top bits hold the block size
  EXPECT_EQ(v.Rdba(), 0x01400010u);
  EXPECT_TRUE(v.ChecksumFlagSet());
  EXPECT_TRUE(v.ChecksumValid());
  EXPECT_TRUE(v.TailConsistent());
  EXPECT_EQ(GuessSpaceManagement(block), SpaceManagement::kAssm);
}

TEST_F(RealBlock, RowsDecodeToTheTracedValues) {
  const auto d = DataBlock::Open(block, SpaceManagement::kAssm);
  ASSERT_TRUE(d);
  EXPECT_EQ(d->object_number(), 53944u);
  EXPECT_EQ(d->itl_count(), 2);
  EXPECT_EQ(d->header_offset(), 100u);  // "data header at" block offset 0x64
  EXPECT_EQ(d->table_count(), 1);
  EXPECT_EQ(d->row_count(), 3);
  const auto table = d->Table(0);
  ASSERT_TRUE(table);
  EXPECT_EQ(table->first_row, 0);
  EXPECT_EQ(table->row_count, 3);

  struct Expected {
    std::uint16_t offset;
    std::uint8_t lock;
    const char* id;
    const char* name;
  };
  const Expected rows[] = {{0x1f5e, 2, "c102", "61"}, {0x1f66, 0, "c103", "62"}, {0x1f80, 0, "c104", "63"}};
  for (std::size_t slot = 0; slot < 3; ++slot) {
    SCOPED_TRACE(slot);
    EXPECT_EQ(d->RowEntry(slot), rows[slot].offset);
    const auto position = d->RowPosition(slot);
    ASSERT_TRUE(position);
    const auto piece = ParseRowPiece(block, *position);
    ASSERT_TRUE(piece);
    EXPECT_EQ(piece->flag, 0x2C);
    EXPECT_EQ(piece->lock, rows[slot].lock);
    EXPECT_EQ(piece->column_count, 2);
    ColumnCursor c = ColumnCursor::Over(block, *piece);
    EXPECT_EQ(ToHex(c.Next()->bytes), rows[slot].id);
    EXPECT_EQ(ToHex(c.Next()->bytes), rows[slot].name);
    EXPECT_FALSE(c.Next());
    EXPECT_FALSE(c.damaged());
  }
}

// Read with the free-list layout the data header is looked for 8 bytes too
// early: the guess must notice the block flags and the dump still finds the rows.
TEST_F(RealBlock, DumpFindsRowsWithoutBeingToldTheLayout) {
  const BlockDump dump = DumpBlock(block);
  EXPECT_TRUE(dump.problems.empty());
  ASSERT_EQ(dump.rows.size(), 3u);
  EXPECT_EQ(dump.rows[2].columns[1], "63");
}

// Corrupting one field at a time never makes the reader fail loudly: it
// gives fewer rows or a damaged row, never a crash or a read outside.
TEST_F(RealBlock, CorruptingOneFieldLosesOnlyWhatItCovers) {
  struct Case {
    const char* what;
    std::size_t offset;
    std::uint8_t value;
    std::size_t rows_expected;  // rows still parsed completely
  };
  const Case cases[] = {
      {"ITL count far too large", 36, 0xFF, 0},
      {"table count zero (restored from the free space start)", 101, 0x00, 3},
      {"row count beyond the block (restored from the free space start)", 103, 0x7F, 3},
      {"first row offset points into the directory", 0x76, 0x01, 2},
      {"first row offset 0xFFFF", 0x77, 0xFF, 2},
      {"column count of last row far too large", 0x64 + 0x1f80 + 2, 0xFF, 2},
      {"long length in the last row", 0x64 + 0x1f80 + 3, 0xFE, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::uint8_t> copy = bytes;
    copy[c.offset] = c.value;
    const ByteView b(copy.data(), copy.size());
    std::size_t complete = 0;
    if (const auto d = DataBlock::Open(b, SpaceManagement::kAssm)) {
      const std::size_t slots = std::min<std::size_t>(d->row_count(), 3);
      for (std::size_t slot = 0; slot < slots; ++slot) {
        const auto pos = d->RowPosition(slot);
        if (!pos) continue;
        const auto piece = ParseRowPiece(b, *pos);
        if (!piece || piece->flag != 0x2C) continue;
        ColumnCursor cursor = ColumnCursor::Over(b, *piece);
        while (cursor.Next()) {
        }
        if (!cursor.damaged() && piece->column_count == 2) ++complete;
      }
    }
    EXPECT_EQ(complete, c.rows_expected);
    (void)DumpBlock(b);
  }
}

}  // namespace
}  // namespace quillon
