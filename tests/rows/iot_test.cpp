// Index-organized tables: rows are the leaf rows of the index segment, key
// columns first in the key's order, then the other columns, the part after
// the INCLUDING column in the overflow segment. Leaf blocks are built here
// byte by byte after the index block layout (format.h, index_header).
#include <gtest/gtest.h>

#include "rows/row_reader.h"
#include "reader/packed_codes.h"
#include "support/dictionary_fixture.h"
#include "support/row_collect.h"
#include "testdb/index_block_writer.h"

namespace quillon {
namespace {

using test::BlockFile;
using test::Num;
using test::Txt;
using testdb::Bytes;
using testdb::ColumnBytes;

namespace ih = format::index_header;
namespace tc = type_code;

constexpr std::uint32_t kIot = 900;
constexpr std::uint32_t kIndex = 901;
constexpr std::uint32_t kOverflow = 902;

// A leaf row: flag, lock, the key columns, then the rest as a row piece
// (complete, or a head piece that goes on at `next` in the overflow segment).
Bytes LeafRow(std::vector<ColumnBytes> keys, std::vector<ColumnBytes> rest, std::optional<RowAddress> next = {}) {
  Bytes row = {ih::kRowFlag, 0};
  for (const auto& k : keys) testdb::AppendColumn(row, k);
  testdb::PieceDescription p;
  p.flag = next ? static_cast<std::uint8_t>(format::row::kHead | format::row::kFirst) : format::row::kComplete;
  p.next = next;
  p.columns = std::move(rest);
  const Bytes piece = testdb::EncodeRowPiece(p);
  row.insert(row.end(), piece.begin(), piece.end());
  return row;
}

// An index block (leaf: level 0 and the IOT leaf flags; branch: level 1).
Bytes IndexBlock(std::uint32_t dba, std::uint8_t level, std::uint8_t flags, std::uint8_t keys,
                 const std::vector<Bytes>& rows) {
  testdb::IndexBlockBuilder builder;
  builder.Reset(BlockFile::kBlockSize, SpaceManagement::kFreeList, 2, kIndex, level, flags, keys);
  for (const Bytes& row : rows) EXPECT_TRUE(builder.Add(row));
  Bytes b(BlockFile::kBlockSize, 0);
  builder.Write(b, format::header_format::k8K, dba, {});
  return b;
}

Bytes SegmentHeader(std::uint32_t dba, std::uint32_t object, std::uint32_t first, std::uint32_t count) {
  Bytes b(BlockFile::kBlockSize, 0);
  const testdb::ExtentDescription extent{first, count};
  testdb::WriteExtentMapBlock(b, format::block_type::kSegmentHeader, format::header_format::k8K, dba, object,
                              std::span<const testdb::ExtentDescription>(&extent, 1), 0, {});
  return b;
}

TEST(IndexOrganized, LeafRowsWithTheirKeysAndOverflowParts) {
  BlockFile f;
  // Overflow segment: its header, then one block of tail pieces (0x04).
  const std::uint32_t over_header = f.NextDba();
  f.AddRaw(SegmentHeader(over_header, kOverflow, over_header + 1, 1));
  auto over = f.NewBlock(kOverflow);
  const auto tail = [&](std::vector<ColumnBytes> cols) {
    testdb::PieceDescription p;
    p.flag = format::row::kLast;
    p.columns = std::move(cols);
    return *over.AddRow(0, testdb::EncodeRowPiece(p));
  };
  const std::uint16_t t1 = tail({Txt("c1")});
  const std::uint16_t t3 = tail({Txt("c3")});
  const std::uint32_t over_block = f.Add(over);

  // Index segment: header, two leaves and a branch block.
  const std::uint32_t header = f.NextDba();
  f.AddRaw(SegmentHeader(header, kIndex, header + 1, 3));
  const std::uint32_t leaf1 = f.NextDba();
  f.AddRaw(IndexBlock(leaf1, 0, ih::kFlagsIotOverflowLeaf, 1,
                      {LeafRow({Num(1)}, {Txt("a1"), Txt("b1")}, RowAddress{over_block, t1}),
                       LeafRow({Num(2)}, {Txt("a2")})}));  // B and C NULL: not stored
  const std::uint32_t leaf2 = f.NextDba();
  f.AddRaw(IndexBlock(leaf2, 0, ih::kFlagsIotLeaf, 1,
                      {LeafRow({Num(3)}, {Txt("a3"), ColumnBytes()}, RowAddress{over_block, t3}),
                       LeafRow({Num(4)}, {}, RowAddress{0x7FC00010, 0})}));  // its overflow lies nowhere
  const std::uint32_t branch = f.NextDba();
  f.AddRaw(IndexBlock(branch, 1, ih::kFlagsNormal, 1, {Bytes{0, 0, 0, 0, 2, 0xC1, 0x02}}));
  f.Finish();

  Catalogue& cat = f.engine().catalogue;
  TableRecord iot;
  iot.object_number = kIot;
  iot.property = kPropertyIndexOrganized | 0x80;
  cat.tables.Append(iot);
  TableRecord overflow;
  overflow.object_number = kOverflow;
  overflow.data_object_number = kOverflow;
  overflow.base_object = kIot;
  overflow.property = kPropertyIotOverflow;
  overflow.relative_file_number = 1;
  overflow.header_block = format::DbaBlock(over_header);
  cat.tables.Append(overflow);
  IndexRecord index;
  index.table_object_number = kIot;
  index.index_object_number = kIndex;
  index.type = kIotTopIndexType;
  index.relative_file_number = 1;
  index.header_block = format::DbaBlock(header);
  cat.indexes.Append(index);
  IndexColumnRecord key;
  key.index_object_number = kIndex;
  key.table_object_number = kIot;
  key.column_number = 2;
  key.internal_column = 2;
  key.position = 1;
  cat.index_columns.Append(key);
  // The key K is the second column: A, K, B, C.
  const char* names[] = {"A", "K", "B", "C"};
  for (std::uint32_t i = 1; i <= 4; ++i) {
    ColumnInfo c;
    c.object_number = kIot;
    c.name = names[i - 1];
    c.type_code = i == 2 ? tc::kNumber : tc::kVarchar2;
    c.column_number = c.segment_column = c.internal_column = i;
    cat.columns.Append(c);
  }

  BlockSource source(f.engine().datafiles);
  TableRowReader reader(f.engine(), source, kIot);
  const auto rows = test::ReadAll(reader);
  ASSERT_EQ(rows.size(), 4u);
  const auto v = [](const char* s) { return test::Value(std::vector<std::uint8_t>(s, s + 2)); };
  const auto n = [](int i) { return test::Value(*Num(i)); };
  EXPECT_EQ(rows[0].values, (std::vector<test::Value>{v("a1"), n(1), v("b1"), v("c1")}));
  EXPECT_EQ(rows[1].values, (std::vector<test::Value>{v("a2"), n(2), std::nullopt, std::nullopt}));
  EXPECT_EQ(rows[2].values, (std::vector<test::Value>{v("a3"), n(3), std::nullopt, v("c3")}));
  EXPECT_EQ(rows[3].values, (std::vector<test::Value>{std::nullopt, n(4), std::nullopt, std::nullopt}));
  EXPECT_EQ(rows[3].problem, RowBreak::kOutsideFiles);
  EXPECT_EQ(reader.stats().partial_rows, 1u);
}

}  // namespace
}  // namespace quillon
