// The block writer against a real Oracle block, and the row cutter's
// splitting rules.
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "reader/block_view.h"
#include "reader/bytes.h"
#include "reader/row_piece.h"
#include "testdb/block_writer.h"
#include "testdb/row_cutter.h"

namespace quillon {
namespace {

using testdb::Bytes;
using testdb::ColumnSlice;

// realdata/blocks: a 10g ASSM table block, two ITL slots, rows (1,'a'),
// (2,'b'), (3,'c'); the first two rows were updated since, the third was not.
TEST(BlockWriter, DataBlockMatchesRealOracleBlock) {
  const std::string name = "/realdata/blocks/data_0x06_heap_3rows_testblock_file5_blk16.bin";
  std::ifstream f(std::string(QUILLON_SOURCE_DIR) + "/../shared" + name, std::ios::binary);
  if (!f) f.open("/work/shared" + name, std::ios::binary);
  if (!f) GTEST_SKIP() << "real block not available";
  const std::vector<std::uint8_t> real{std::istreambuf_iterator<char>(f), {}};
  ASSERT_EQ(real.size(), 8192u);

  testdb::DataBlockBuilder b(8192, SpaceManagement::kAssm, 2, 0xD2B8, 1);
  const char* names[] = {"a", "b", "c"};
  for (std::uint8_t i = 0; i < 3; ++i) {
    testdb::PieceDescription p;
    p.columns = {Bytes{0xC1, static_cast<std::uint8_t>(2 + i)}, Bytes{static_cast<std::uint8_t>(names[i][0])}};
    ASSERT_EQ(b.AddRow(0, testdb::EncodeRowPiece(p)), i);
  }
  b.SetBitmapBlock(0x01400009);
  std::vector<std::uint8_t> ours(8192);
  b.Write(ours, 0xA2, 0x01400010, {0x001732D3, 0, 1, true});

  const ByteView r(real.data(), real.size()), o(ours.data(), ours.size());
  // Block header, transaction header fields, data header position.
  for (const std::size_t at : {0u, 1u, 4u, 8u, 14u, 15u, 20u, 24u, 36u, 38u, 40u}) {
    EXPECT_EQ(r.U8(at), o.U8(at)) << at;
  }
  EXPECT_EQ(r.U32LE(4), o.U32LE(4));
  EXPECT_EQ(r.U32LE(24), o.U32LE(24));
  EXPECT_EQ(r.U32LE(40), o.U32LE(40));
  EXPECT_EQ(r.U32LE(8188), o.U32LE(8188));  // tail
  const auto rv = DataBlock::Open(r, SpaceManagement::kAssm);
  const auto ov = DataBlock::Open(o, SpaceManagement::kAssm);
  ASSERT_TRUE(rv && ov);
  EXPECT_EQ(ov->header_offset(), 100u);
  EXPECT_EQ(rv->header_offset(), ov->header_offset());
  EXPECT_EQ(rv->table_count(), ov->table_count());
  EXPECT_EQ(rv->row_count(), ov->row_count());
  // flag, ntab, nrow, frre, fsbo
  for (std::size_t at = 100; at < 108; ++at) EXPECT_EQ(r.U8(at), o.U8(at)) << at;
  // The table directory and the untouched third row, where Oracle put it.
  EXPECT_EQ(r.U32LE(114), o.U32LE(114));
  EXPECT_EQ(r.U16LE(122), o.U16LE(122));
  EXPECT_EQ(*r.Sub(0x1FE4, 8)->U32LE(0), *o.Sub(0x1FE4, 8)->U32LE(0));
  EXPECT_EQ(*r.Sub(0x1FE8, 4)->U32LE(0), *o.Sub(0x1FE8, 4)->U32LE(0));
  // The original images of the first two rows lie above it, as in ours.
  EXPECT_EQ(r.U32LE(0x1FEC), o.U32LE(0x1FEC));
  EXPECT_EQ(r.U32LE(0x1FF4), o.U32LE(0x1FF4));
  EXPECT_TRUE(BlockView(o).ChecksumValid());
  EXPECT_TRUE(BlockView(o).TailConsistent());
  // Total space: block size minus data header offset minus tail.
  EXPECT_EQ(*o.U16LE(100 + 8) - *o.U16LE(100 + 6) + 0u, *o.U16LE(100 + 10) + 0u);
}

TEST(BlockWriter, PiecesRoundTripThroughTheReader) {
  struct Case {
    const char* name;
    testdb::PieceDescription piece;
    std::size_t header;  // bytes before the first column
  };
  testdb::PieceDescription complete;
  complete.columns = {Bytes{1}, std::nullopt, Bytes(251, 7), Bytes{}};
  testdb::PieceDescription head = complete;
  head.flag = 0x29;
  head.next = RowAddress{0x01000123, 7};
  testdb::PieceDescription migrated = complete;
  migrated.flag = 0x0C;
  migrated.head = RowAddress{0x00C00002, 1};
  testdb::PieceDescription member = complete;
  member.flag = 0x6C;
  member.key_index = 3;
  testdb::PieceDescription middle = complete;
  middle.flag = 0x03;
  middle.next = RowAddress{5, 6};
  testdb::PieceDescription key;
  key.flag = 0xAC;
  key.key_row_count = 2;
  key.columns = {Bytes{0xC1, 0x02}};
  const Case cases[] = {
      {"complete", complete, 3}, {"head", head, 9},   {"migrated", migrated, 9},
      {"member", member, 4},     {"middle", middle, 9}, {"key", key, 19},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Bytes bytes = testdb::EncodeRowPiece(c.piece);
    EXPECT_EQ(bytes.size(), testdb::EncodedPieceSize(c.piece));
    const ByteView v(bytes.data(), bytes.size());
    const auto p = ParseRowPiece(v, 0);
    ASSERT_TRUE(p.has_value());
    EXPECT_EQ(p->flag, c.piece.flag);
    EXPECT_EQ(p->columns_offset, c.header);
    EXPECT_EQ(p->next, c.piece.next);
    EXPECT_EQ(p->head, c.piece.head);
    EXPECT_EQ(p->key_index, c.piece.key_index);
    ColumnCursor cursor = ColumnCursor::Over(v, *p);
    for (const auto& col : c.piece.columns) {
      const auto got = cursor.Next();
      ASSERT_TRUE(got.has_value());
      EXPECT_EQ(got->is_null, !col.has_value());
      EXPECT_EQ(Bytes(got->bytes.data(), got->bytes.data() + got->bytes.size()), col.value_or(Bytes{}));
    }
    EXPECT_FALSE(cursor.Next().has_value());
    EXPECT_EQ(cursor.position(), bytes.size());
  }
  // 251 bytes take the long form FE 00 FB; NULL is one byte.
  Bytes out;
  testdb::AppendColumn(out, Bytes(251, 1));
  EXPECT_EQ((Bytes{out[0], out[1], out[2]}), (Bytes{0xFE, 0x00, 0xFB}));
  EXPECT_EQ(out.size(), 254u);
}

TEST(RowCutter, SplitsAsOracleDoes) {
  const Bytes small(10, 'a'), big(600, 'b');
  struct Case {
    const char* name;
    std::vector<ColumnSlice> columns;
    std::size_t capacity;
    std::uint64_t units;
    bool allow_last;
    bool last;
    std::uint8_t count;
    bool continues_next;
    std::size_t body;
  };
  const ColumnSlice s{small.data(), 10, false}, b{big.data(), 600, false}, n{nullptr, 0, true};
  const std::vector<Case> cases = {
      {"everything fits", {s, n, s}, 100, UINT64_MAX, true, true, 3, false, 23},
      {"a value is split", {s, b}, 100, UINT64_MAX, true, false, 2, true, 11 + 80},
      {"split into the long form", {b}, 400, UINT64_MAX, true, false, 1, true, 391},
      {"a NULL is not split", {s, n, s}, 20, UINT64_MAX, true, false, 1, false, 11},
      {"units bound the piece", {s, s}, 100, 15, false, false, 2, true, 11 + 6},
      {"not the last by request", {s}, 100, 5, false, false, 1, true, 6},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    testdb::RowCutter cutter(c.columns);
    const auto cut = cutter.Cut(3, c.capacity, c.units, c.allow_last);
    ASSERT_TRUE(cut.has_value());
    EXPECT_EQ(cut->last, c.last);
    EXPECT_EQ(cut->column_count, c.count);
    EXPECT_EQ(cut->continues_next(), c.continues_next);
    EXPECT_EQ(cut->body_size, c.body);
    EXPECT_LE(3 + (cut->last ? 0 : 6) + cut->body_size, c.capacity);
  }
  // 300 columns: no piece holds more than 255.
  std::vector<ColumnSlice> many(300, s);
  testdb::RowCutter cutter(many);
  const auto first = cutter.Cut(3, 100000);
  ASSERT_TRUE(first.has_value());
  EXPECT_EQ(first->column_count, 255);
  EXPECT_FALSE(first->last);
  cutter.Advance(*first);
  const auto second = cutter.Cut(3, 100000);
  ASSERT_TRUE(second.has_value());
  EXPECT_EQ(second->column_count, 45);
  EXPECT_TRUE(second->last);
  // Nothing fits: no piece.
  const std::vector<ColumnSlice> one_big{b};
  testdb::RowCutter tiny(one_big);
  EXPECT_FALSE(tiny.Cut(3, 10).has_value());
  // Trailing NULLs are not stored.
  const std::vector<ColumnSlice> trailing{s, n, s, n, n};
  EXPECT_EQ(testdb::TrimTrailingNulls(trailing).size(), 3u);
}

}  // namespace
}  // namespace quillon
