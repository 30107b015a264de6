// The table row reader against generated tables: the rows read back are the
// rows the generator wrote, whatever their placement, for heap, clustered,
// partitioned and composite-partitioned tables.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "rows/row_reader.h"
#include "reader/record_count.h"
#include "support/dictionary_fixture.h"
#include "support/row_collect.h"
#include "support/table_db.h"
#include "testdb/default_database.h"
#include "testdb/values.h"

namespace quillon {
namespace {

using testdb::Bytes;
using testdb::ColumnBytes;
using testdb::Placement;
using testdb::Row;
using test::ColumnDef;
using test::Value;

namespace tc = type_code;

using test::Num;
using test::Txt;

// The columns of the heap tables, one of every kind of stored value.
std::vector<ColumnDef> HeapColumns() {
  return {{"ID", tc::kNumber},         {"NAME", tc::kVarchar2},
          {"BORN", tc::kDate},         {"PHOTO", tc::kRaw},
          {"NOTE", tc::kVarchar2, kNationalCharsetCode},
          {"AMOUNT", tc::kBinaryDouble}, {"AT", tc::kTimestamp},
          {"SPAN", tc::kIntervalDs},   {"CODE", tc::kChar},
          {"RID", tc::kRowid},         {"BODY", tc::kLong}};
}

// Row i of the heap tables; placements cycle through every kind.
Row HeapRow(int i) {
  std::vector<ColumnBytes> c = {
      Num(i),
      Txt(i % 10 == 1 ? std::string(900, static_cast<char>('a' + i % 26)) : "name " + std::to_string(i)),
      testdb::EncodeDate({2000 + i % 20, 1 + i % 12, 1 + i % 28, i % 24, i % 60, 7, 0}),
      Bytes{0x00, static_cast<std::uint8_t>(i), 0xAB},
      *testdb::EncodeText("n\u00F6te " + std::to_string(i), DefaultNationalCharset()),
      testdb::EncodeBinaryDouble(i * 1.25),
      testdb::EncodeTimestamp({2010, 3, 4, 5, 6, 7, static_cast<std::uint32_t>(i) * 1000}),
      testdb::EncodeIntervalDaySecond(i, 1, 2, 3, 4),
      Txt("C"),
      testdb::EncodeRowid(70001, 4, 100 + static_cast<std::uint32_t>(i), 1),
      i % 10 == 1 ? Txt(std::string(2500, 'L')) : Txt("long " + std::to_string(i)),
  };
  Row r(std::move(c));
  switch (i % 10) {
    case 3: r.placement = Placement::kMigrated; break;
    case 5:
      r.placement = Placement::kChained;
      r.chain_blocks = 3;
      break;
    case 7:
      for (std::size_t k = 3; k < r.columns.size(); ++k) r.columns[k] = std::nullopt;  // trailing NULLs
      break;
    case 8: r.placement = Placement::kDeleted; break;
    case 9:
      if (i == 9) r.placement = Placement::kFreeSlot;
      break;
    default: break;
  }
  if (i == 31) r.placement = Placement::kMigrated;  // a long row migrated: its body is chained too
  return r;
}

bool Stored(const Row& r) { return r.placement != Placement::kDeleted && r.placement != Placement::kFreeSlot; }

std::vector<Value> Expected(const Row& r) {
  std::vector<Value> out;
  for (const auto& c : r.columns) out.push_back(c);
  return out;
}

// Compares rows read with the model's rows, matched by their first column.
// The key is the column's bytes as a string: a map keyed by the byte vector
// itself trips a false positive of GCC 12 at -O3 (-Wstringop-overread on the
// memcmp inlined from libstdc++'s comparison of vectors of unsigned char).
std::string KeyOf(const Bytes& b) { return std::string(b.begin(), b.end()); }

void ExpectSameRows(const std::vector<test::CollectedRow>& read, const std::vector<Row>& model) {
  std::map<std::string, std::vector<Value>> expected;
  for (const Row& r : model) {
    if (Stored(r)) expected[KeyOf(*r.columns[0])] = Expected(r);
  }
  ASSERT_EQ(read.size(), expected.size());
  for (const auto& row : read) {
    EXPECT_EQ(row.problem, RowBreak::kNone);
    ASSERT_TRUE(row.values[0]);
    const auto it = expected.find(KeyOf(*row.values[0]));
    ASSERT_NE(it, expected.end());
    EXPECT_EQ(row.values, it->second) << "row " << ToHex(ByteView(row.values[0]->data(), row.values[0]->size()));
    expected.erase(it);
  }
}

TEST(RowReader, HeapRowsOfEveryPlacementComeBackAsWritten) {
  for (const std::uint32_t block_size : {2048u, 8192u}) {
    for (const auto space : {SpaceManagement::kFreeList, SpaceManagement::kAssm}) {
      SCOPED_TRACE(std::to_string(block_size) + (space == SpaceManagement::kAssm ? " assm" : " free list"));
      auto model = testdb::NewDatabaseModel("ROWS", "11.2", block_size, 7);
      testdb::SegmentModel s;
      s.name = "HEAP";
      s.object_number = 70001;
      s.space = space;
      s.max_extents_per_map = 2;
      for (int i = 0; i < 120; ++i) s.rows.push_back(HeapRow(i));
      const auto rows = s.rows;
      model.segments.push_back(std::move(s));
      test::TableDb db(model, "heap-" + std::to_string(block_size) + std::to_string(int(space)));
      db.engine().catalogue.tables.Append(db.TableOn(100, 70001));
      db.Describe(100, "SCOTT", "EVERYTHING", HeapColumns());

      // The placements the test is about are all there.
      int three_blocks = 0, split = 0, migrated = 0, migrated_chained = 0;
      for (const auto& r : db.Segment(70001).rows) {
        std::set<std::uint32_t> blocks;
        for (const auto& p : r.pieces) {
          blocks.insert(p.dba);
          split += (p.flag & format::row::kContinuesNext) != 0;
          migrated += p.flag == format::row::kMigrated;
          migrated_chained += (p.flag & ~format::row::kContinuesNext) == format::row::kFirst;
        }
        three_blocks += blocks.size() >= 3;
      }
      EXPECT_GT(three_blocks, 0);
      EXPECT_GT(migrated, 0);
      if (block_size == 2048) {
        EXPECT_GT(split, 0);
        EXPECT_GT(migrated_chained, 0);
      }

      BlockSource source(db.engine().datafiles);
      TableRowReader reader(db.engine(), source, 100);
      ASSERT_TRUE(reader.table_found());
      const auto read = test::ReadAll(reader);
      ExpectSameRows(read, rows);
      EXPECT_EQ(reader.stats().partial_rows, 0u);
      EXPECT_EQ(reader.stats().damaged_blocks, 0u);
      // The record count finds exactly the rows the reader reads.
      NullSink sink;
      StopFlag stop;
      const auto count = CountRecords(source, reader.blocks().AllBlocks(), reader.blocks().target, sink, stop);
      EXPECT_EQ(count.records, read.size());
    }
  }
}

TEST(RowReader, RowsOfManyColumnsAndColumnsOutOfOrder) {
  auto model = testdb::NewDatabaseModel("WIDE", "10.2", 8192, 3);
  testdb::SegmentModel wide;
  wide.name = "WIDE";
  wide.object_number = 70002;
  std::vector<ColumnDef> wide_columns;
  for (int c = 0; c < 300; ++c) wide_columns.push_back({"C" + std::to_string(c), tc::kNumber});
  for (int i = 0; i < 12; ++i) {
    std::vector<ColumnBytes> cols;
    for (int c = 0; c < 300; ++c) cols.push_back(c == 260 && i % 3 == 0 ? ColumnBytes() : Num(i * 1000 + c));
    wide.rows.emplace_back(std::move(cols), i == 4 ? Placement::kChained : Placement::kNormal, i == 4 ? 3 : 0);
  }
  const auto wide_rows = wide.rows;
  model.segments.push_back(std::move(wide));
  // Stored order B, A; the catalogue lists A (SEGCOL# 2), a virtual column,
  // B (SEGCOL# 1) and a hidden stored column.
  testdb::SegmentModel odd;
  odd.name = "ODD";
  odd.object_number = 70003;
  odd.rows.emplace_back(std::vector<ColumnBytes>{Txt("b0"), Txt("a0"), Txt("h0")});
  odd.rows.emplace_back(std::vector<ColumnBytes>{Txt("b1"), Txt("a1")});
  model.segments.push_back(std::move(odd));
  test::TableDb db(model, "wide");
  db.engine().catalogue.tables.Append(db.TableOn(200, 70002));
  db.Describe(200, "SCOTT", "WIDE", wide_columns);
  db.engine().catalogue.tables.Append(db.TableOn(300, 70003));
  db.Describe(300, "SCOTT", "ODD",
              {{"A", tc::kVarchar2, 0, 1, 2}, {"V", tc::kNumber, 0, 2, 0}, {"B", tc::kVarchar2, 0, 3, 1},
               {"SYS_NC00004$", tc::kVarchar2, 0, 0, 3, 0x20}});

  BlockSource source(db.engine().datafiles);
  TableRowReader wide_reader(db.engine(), source, 200);
  ExpectSameRows(test::ReadAll(wide_reader), wide_rows);

  TableRowReader odd_reader(db.engine(), source, 300);
  const auto odd_rows = test::ReadAll(odd_reader);
  ASSERT_EQ(odd_rows.size(), 2u);
  const auto v = [](const char* s) { return Value(std::vector<std::uint8_t>(s, s + 2)); };
  EXPECT_EQ(odd_rows[0].values, (std::vector<Value>{v("a0"), std::nullopt, v("b0"), v("h0")}));
  EXPECT_EQ(odd_rows[1].values, (std::vector<Value>{v("a1"), std::nullopt, v("b1"), std::nullopt}));
}

TEST(RowReader, ClusteredTablesTakeTheirKeyFromTheKeyRow) {
  auto model = testdb::NewDatabaseModel("CLU", "11.1", 2048, 4);
  testdb::SegmentModel c;
  c.name = "CLU";
  c.object_number = 70010;
  c.kind = testdb::SegmentKind::kCluster;
  c.member_tables = 2;
  std::map<int, std::vector<std::vector<Value>>> expected;  // member table -> rows (key first)
  for (int k = 0; k < 30; ++k) {
    testdb::ClusterKey key;
    key.key_columns = {*Num(k)};
    key.members.resize(2);
    for (int m = 0; m < 2; ++m) {
      for (int i = 0; i < 1 + (k + m) % 4; ++i) {
        Row r({Txt("m" + std::to_string(m) + "k" + std::to_string(k) + "i" + std::to_string(i)),
               i == 2 ? ColumnBytes() : Num(k * 100 + i), Txt(std::string(i == 1 ? 300 : 5, 'x'))});
        if (i == 1 && k % 5 == 0) r.placement = Placement::kMigrated;
        if (i == 2 && k % 3 == 0) {
          r.placement = Placement::kChained;
          r.chain_blocks = 2;
        }
        std::vector<Value> e = {Num(k)};
        for (const auto& col : r.columns) e.push_back(col);
        expected[m + 1].push_back(e);
        key.members[static_cast<std::size_t>(m)].push_back(std::move(r));
      }
    }
    c.keys.push_back(std::move(key));
  }
  model.segments.push_back(std::move(c));
  test::TableDb db(model, "cluster");
  auto& cat = db.engine().catalogue;
  for (std::uint32_t m = 1; m <= 2; ++m) {
    TableRecord t = db.TableOn(400 + m, 70010);
    t.cluster_position = m;
    t.cluster_column_count = 1;
    t.base_object = 400;
    cat.tables.Append(t);
    db.Describe(400 + m, "SCOTT", "MEMBER" + std::to_string(m),
                {{"K", tc::kNumber}, {"LABEL", tc::kVarchar2}, {"N", tc::kNumber}, {"PAD", tc::kVarchar2}});
  }
  int chained = 0, migrated = 0;
  for (const auto& key : db.Segment(70010).keys) {
    for (const auto& member : key.members) {
      for (const auto& r : member) {
        chained += r.pieces.size() >= 2 && (r.pieces[0].flag & ~format::row::kContinuesNext) == 0x68;
        migrated += r.pieces.size() >= 2 && r.pieces[1].flag == format::row::kMigratedMember;
      }
    }
  }
  EXPECT_GT(chained, 0);
  EXPECT_GT(migrated, 0);
  BlockSource source(db.engine().datafiles);
  for (std::uint32_t m = 1; m <= 2; ++m) {
    SCOPED_TRACE(m);
    TableRowReader reader(db.engine(), source, 400 + m);
    auto read = test::ReadAll(reader);
    std::vector<std::vector<Value>> got;
    for (const auto& r : read) {
      EXPECT_EQ(r.problem, RowBreak::kNone);
      got.push_back(r.values);
    }
    auto want = expected[static_cast<int>(m)];
    std::sort(got.begin(), got.end());
    std::sort(want.begin(), want.end());
    EXPECT_EQ(got, want);
  }
}

TEST(RowReader, PartitionedTablesPartitionByPartition) {
  auto model = testdb::NewDatabaseModel("PART", "11.2", 4096, 5);
  const std::uint32_t segments[] = {70021, 70022, 70031, 70032, 70033};
  for (std::size_t n = 0; n < std::size(segments); ++n) {
    testdb::SegmentModel s;
    s.name = "S" + std::to_string(segments[n]);
    s.object_number = segments[n];
    s.space = n % 2 ? SpaceManagement::kFreeList : SpaceManagement::kAssm;
    for (int i = 0; i < 40 + static_cast<int>(n); ++i) {
      s.rows.emplace_back(std::vector<ColumnBytes>{Num(static_cast<int>(segments[n]) * 1000 + i), Txt("v")});
    }
    model.segments.push_back(std::move(s));
  }
  test::TableDb db(model, "partitions");
  auto& cat = db.engine().catalogue;
  TableRecord range = db.TableOn(500, 0);
  range.property = kPropertyPartitioned;
  cat.tables.Append(range);
  cat.table_partitions.Append(db.PartitionOn(500, 70021, "P2020"));
  cat.table_partitions.Append(db.PartitionOn(500, 70022, "P2021"));
  db.Describe(500, "SCOTT", "SALES", {{"ID", tc::kNumber}, {"V", tc::kVarchar2}});
  TableRecord composite = db.TableOn(600, 0);
  composite.property = kPropertyPartitioned;
  cat.tables.Append(composite);
  for (const std::uint32_t part : {610u, 620u}) {
    F9struct cp;
    cp.object_number = part;
    cp.base_object = 600;
    cp.name = "CP" + std::to_string(part);
    cat.composite_partitions.Append(cp);
  }
  const std::pair<std::uint32_t, std::uint32_t> subs[] = {{610, 70031}, {610, 70032}, {620, 70033}};
  for (const auto& [parent, seg] : subs) {
    const e6struct p = db.PartitionOn(parent, seg, "SP" + std::to_string(seg));
    F0struct f;
    f.object_number = seg;
    f.parent_partition = parent;
    f.name = p.name;
    f.relative_file_number = p.relative_file_number;
    f.header_block = p.header_block;
    cat.subpartitions.Append(f);
  }
  db.Describe(600, "SCOTT", "COMPOSITE", {{"ID", tc::kNumber}, {"V", tc::kVarchar2}});

  BlockSource source(db.engine().datafiles);
  struct Case {
    std::uint32_t table;
    std::vector<std::pair<std::string, std::uint32_t>> parts;  // partition name, segment
  };
  const Case cases[] = {
      {500, {{"P2020", 70021}, {"P2021", 70022}}},
      {600, {{"SP70031", 70031}, {"SP70032", 70032}, {"SP70033", 70033}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.table);
    TableRowReader reader(db.engine(), source, c.table);
    const auto read = test::ReadAll(reader);
    std::size_t at = 0;
    for (const auto& [name, seg] : c.parts) {
      const std::size_t n = db.Segment(seg).row_count;
      for (std::size_t i = 0; i < n; ++i, ++at) {
        ASSERT_LT(at, read.size());
        EXPECT_EQ(read[at].partition, name);
        EXPECT_EQ(read[at].values[0], Value(*Num(static_cast<int>(seg) * 1000 + static_cast<int>(i))));
      }
    }
    EXPECT_EQ(at, read.size());
  }
}

}  // namespace
}  // namespace quillon
