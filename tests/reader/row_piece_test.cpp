#include <gtest/gtest.h>

#include "reader/row_piece.h"
#include "testdb/block_writer.h"

namespace quillon {
namespace {

using testdb::Bytes;
using testdb::EncodeRowPiece;
using testdb::PieceDescription;

// Every row header shape the readers meet: which addresses and cluster bytes
// follow the column count, and where the columns start.
TEST(RowPiece, HeaderShapesByFlag) {
  const RowAddress a{0x01400010, 3};
  const RowAddress b{0x01400011, 7};
  struct Case {
    const char* what;
    PieceDescription wanted;
    bool head, next, key;
    std::size_t columns_at;
  };
  const Case cases[] = {
      {"complete row", {0x2C, 0, {}, {}, {}, 0, {Bytes{1}}}, false, false, false, 3},
      {"migrated row", {0x0C, 1, a, {}, {}, 0, {Bytes{1}}}, true, false, false, 9},
      {"head of a chained row", {0x28, 0, {}, b, {}, 0, {Bytes{1}}}, false, true, false, 9},
      {"chained head, last column continues", {0x29, 0, {}, b, {}, 0, {Bytes{1}}}, false, true, false, 9},
      {"first piece of a migrated chained row", {0x08, 0, a, b, {}, 0, {Bytes{1}}}, true, true, false, 15},
      {"middle piece", {0x00, 0, {}, b, {}, 0, {Bytes{1}}}, false, true, false, 9},
      {"last piece continuing a value", {0x06, 0, {}, {}, {}, 0, {Bytes{1}}}, false, false, false, 3},
      {"head only (row moved away)", {0x20, 0, {}, b, {}, 0, {}}, false, true, false, 9},
      {"cluster key row", {0xAC, 0, {}, {}, {}, 2, {Bytes{0xC1, 0x05}}}, false, false, false, 19},
      {"cluster member row", {0x6C, 0, {}, {}, std::uint8_t{4}, 0, {Bytes{1}}}, false, false, true, 4},
      {"migrated cluster member row", {0x4C, 0, a, {}, std::uint8_t{1}, 0, {Bytes{1}}}, true, false, true, 10},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes block(64, 0xEE);
    const Bytes piece = EncodeRowPiece(c.wanted);
    std::copy(piece.begin(), piece.end(), block.begin() + 8);
    const auto p = ParseRowPiece(ByteView(block.data(), block.size()), 8);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->flag, c.wanted.flag);
    EXPECT_EQ(p->column_count, c.wanted.columns.size());
    EXPECT_EQ(p->head.has_value(), c.head);
    if (c.head) {
      EXPECT_EQ(*p->head, a);
    }
    EXPECT_EQ(p->next.has_value(), c.next);
    if (c.next) {
      EXPECT_EQ(*p->next, b);
    }
    EXPECT_EQ(p->key_index.has_value(), c.key);
    if (c.key) {
      EXPECT_EQ(*p->key_index, *c.wanted.key_index);
    }
    EXPECT_EQ(p->columns_offset, 8 + c.columns_at);
  }
}

TEST(RowPiece, DeletedPieceHoldsOnlyFlagAndLock) {
  const Bytes block = {0x3C, 0x02};
  const auto p = ParseRowPiece(ByteView(block.data(), block.size()), 0);
  ASSERT_TRUE(p);
  EXPECT_TRUE(p->IsDeleted());
  EXPECT_EQ(p->column_count, 0);
}

TEST(RowPiece, HeaderCutByTheBlockEndIsRejected) {
  const Bytes full = EncodeRowPiece({0x08, 0, RowAddress{1, 1}, RowAddress{2, 2}, {}, 0, {}});
  for (std::size_t n = 0; n < full.size(); ++n) {
    SCOPED_TRACE(n);
    EXPECT_FALSE(ParseRowPiece(ByteView(full.data(), n), 0));
  }
  EXPECT_TRUE(ParseRowPiece(ByteView(full.data(), full.size()), 0));
}

TEST(ColumnCursor, LengthForms) {
  Bytes value300(300, 0x41);
  Bytes row;
  testdb::AppendColumn(row, std::nullopt);        // FF
  testdb::AppendColumn(row, Bytes{});             // 00
  testdb::AppendColumn(row, Bytes{0xC1, 0x02});   // 02 C1 02
  testdb::AppendColumn(row, Bytes(250, 0x42));    // FA + 250
  testdb::AppendColumn(row, value300);            // FE 01 2C + 300
  ASSERT_EQ(row[1 + 1 + 3 + 251], 0xFE);
  EXPECT_EQ(row[1 + 1 + 3 + 251 + 1], 0x01);      // the long length is big-endian
  EXPECT_EQ(row[1 + 1 + 3 + 251 + 2], 0x2C);

  ColumnCursor c(ByteView(row.data(), row.size()), 0, 5);
  auto v = c.Next();
  ASSERT_TRUE(v);
  EXPECT_TRUE(v->is_null);
  EXPECT_EQ(c.position(), 1u);  // NULL consumes exactly its length byte
  v = c.Next();
  EXPECT_FALSE(v->is_null);
  EXPECT_EQ(v->bytes.size(), 0u);
  EXPECT_EQ(c.Next()->bytes.size(), 2u);
  EXPECT_EQ(c.Next()->bytes.size(), 250u);
  const auto position_before = c.position();
  EXPECT_EQ(c.Next()->bytes.size(), 300u);
  EXPECT_EQ(c.position() - position_before, 303u);  // three bytes of length, then the value
  EXPECT_FALSE(c.Next());
  EXPECT_FALSE(c.damaged());
}

TEST(ColumnCursor, ValueRunningPastTheBlockEndsTheWalk) {
  const Bytes cases[] = {
      {0x05, 1, 2},        // five bytes promised, two present
      {0xFE, 0x01},        // long length cut in half
      {0xFE, 0x00, 0x10},  // long length, no bytes
  };
  for (const auto& row : cases) {
    ColumnCursor c(ByteView(row.data(), row.size()), 0, 3);
    EXPECT_FALSE(c.Next());
    EXPECT_TRUE(c.damaged());
    EXPECT_FALSE(c.Next());
  }
}

}  // namespace
}  // namespace quillon
