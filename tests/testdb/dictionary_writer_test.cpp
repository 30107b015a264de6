// The dictionary the generator writes, read back through the reader's own
// views: the dictionary segments at the object numbers of each release and
// numbering, OBJ$, TAB$ and COL$ rows that decode to the description, key
// and member rows of the clusters that pair up, TAB$ addresses that point at
// real segment headers, long rows that really chain.
#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <set>

#include <gtest/gtest.h>

#include "support/test_paths.h"

#include "reader/block_source.h"
#include "reader/extent_map.h"
#include "reader/identify.h"
#include "reader/value_number.h"
#include "support/generated_schema_db.h"
#include "support/row_chain.h"
#include "testdb/dictionary_numbers.h"

namespace quillon {
namespace {

namespace bt = format::block_type;
using Columns = std::vector<std::optional<std::vector<std::uint8_t>>>;

const char* const kReleases[] = {"8i", "9i", "10.1", "10.2", "11.1", "11.2", "11.2-alt"};

// The free-list segment headers of the SYSTEM datafile in block order:
// (data object number, block number).
std::vector<std::pair<std::uint32_t, std::uint32_t>> SystemHeaders(const test::GeneratedSchemaDb& db) {
  const auto bytes = test::ReadFileBytes(db.system_path());
  const std::size_t bs = db.db.model.block_size;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> out;
  for (std::size_t b = 0; (b + 1) * bs <= bytes.size(); ++b) {
    const ByteView block(bytes.data() + b * bs, bs);
    if (block.U8(0) != bt::kSegmentHeader) continue;
    out.push_back({*block.U32LE(format::extent_map::kFreeListHeader.object_number), static_cast<std::uint32_t>(b)});
  }
  return out;
}

std::int64_t Integer(const std::optional<std::vector<std::uint8_t>>& c) {
  if (!c) return -1;
  return NumberToInteger(ByteView(c->data(), c->size())).value_or(-2);
}

std::string Text(const std::optional<std::vector<std::uint8_t>>& c) {
  return c ? std::string(c->begin(), c->end()) : std::string();
}

// Reads dictionary segments of a generated database through the reader.
struct Reader {
  NullSink sink;
  StopFlag stop;
  COracleRecoveryTools engine{sink, stop};
  std::unique_ptr<BlockSource> source;
  const test::GeneratedSchemaDb& db;

  explicit Reader(const test::GeneratedSchemaDb& g) : db(g) {
    IdentifyRelease(engine, db.system_path());
    source = std::make_unique<BlockSource>(engine.datafiles);
  }

  std::uint32_t HeaderOf(std::uint32_t object) const {
    for (const auto& [number, block] : SystemHeaders(db)) {
      if (number == object) return format::MakeDba(1, block);
    }
    return 0;
  }

  // Every row of a heap segment, in block and slot order.
  std::vector<Columns> HeapRows(std::uint32_t object) {
    std::vector<Columns> rows;
    const SegmentWalk walk = WalkSegment(*source, engine.datafiles, HeaderOf(object));
    EXPECT_EQ(walk.problem, "");
    for (const std::uint32_t dba : walk.blocks) {
      BlockResult r = source->Read(dba);
      if (!r.ok()) continue;
      const auto view = DataBlock::Open(r.block.bytes(), walk.space);
      if (!view || view->object_number() != object || r.block.bytes().U8(0) != bt::kData) continue;
      for (std::size_t slot = 0; slot < view->row_count(); ++slot) {
        const auto pos = view->RowPosition(slot);
        if (!pos) continue;
        const auto piece = ParseRowPiece(r.block.bytes(), *pos);
        if (!piece || !piece->IsHead() || !piece->IsFirst()) continue;
        const auto row = test::ReadRowChain(*source, walk.space, dba, 0, static_cast<std::uint16_t>(slot));
        EXPECT_EQ(row.problem, "");
        rows.push_back(row.columns);
      }
    }
    return rows;
  }

  // Every member row of one member table of a cluster, with its key's first
  // column, paired through the row's key index.
  std::vector<std::pair<std::vector<std::uint8_t>, Columns>> MemberRows(std::uint32_t cluster, std::uint8_t member) {
    std::vector<std::pair<std::vector<std::uint8_t>, Columns>> rows;
    const SegmentWalk walk = WalkSegment(*source, engine.datafiles, HeaderOf(cluster));
    EXPECT_EQ(walk.problem, "");
    for (const std::uint32_t dba : walk.blocks) {
      BlockResult r = source->Read(dba);
      if (!r.ok()) continue;
      const auto view = DataBlock::Open(r.block.bytes(), walk.space);
      if (!view || view->object_number() != cluster || member >= view->table_count()) continue;
      const auto keys = view->Table(0);
      const auto members = view->Table(member);
      for (std::size_t i = 0; members && i < members->row_count; ++i) {
        const auto pos = view->RowPosition(members->first_row + i);
        if (!pos) continue;
        const auto piece = ParseRowPiece(r.block.bytes(), *pos);
        if (!piece || !piece->IsHead()) continue;
        EXPECT_TRUE(piece->key_index.has_value());
        EXPECT_LT(*piece->key_index, keys->row_count);
        const auto key_pos = view->RowPosition(keys->first_row + *piece->key_index);
        EXPECT_TRUE(key_pos.has_value());
        const auto key_piece = ParseRowPiece(r.block.bytes(), *key_pos);
        EXPECT_TRUE(key_piece && key_piece->IsClusterKey());
        ColumnCursor cursor = ColumnCursor::Over(r.block.bytes(), *key_piece);
        const auto key = cursor.Next();
        const auto row = test::ReadRowChain(*source, walk.space, dba, member, static_cast<std::uint16_t>(i));
        EXPECT_EQ(row.problem, "");
        rows.push_back({std::vector<std::uint8_t>(key->bytes.data(), key->bytes.data() + key->bytes.size()), row.columns});
      }
    }
    return rows;
  }
};

TEST(DictionaryWriter, DictionarySegmentsLieAtTheReleasesObjectNumbers) {
  for (const char* release : kReleases) {
    SCOPED_TRACE(release);
    const auto& db = test::SampleDb(release, 8192);
    const testdb::Numbering numbering = db.db.schema->release.numbering();
    const auto headers = SystemHeaders(db);
    std::map<std::uint32_t, int> seen;
    for (const auto& [number, block] : headers) ++seen[number];
    std::uint32_t last_scanned_block = 0, kind14_block = 0;
    for (const auto& s : testdb::SystemSegmentTable()) {
      const std::uint32_t number = testdb::SegmentNumber(s, numbering);
      EXPECT_EQ(seen[number], 1) << s.name << " " << number;
      for (const auto& [n, block] : headers) {
        if (n != number) continue;
        last_scanned_block = std::max(last_scanned_block, block);
        if (s.last_scanned) kind14_block = block;
      }
      // The other numbering's segments are not there.
      const testdb::Numbering other{numbering.release_code, !numbering.alternative};
      const std::uint32_t other_number = testdb::SegmentNumber(s, other);
      if (numbering.release_code == 18 && other_number != number) {
        EXPECT_EQ(seen[other_number], 0) << s.name;
      }
    }
    // The SYSTEM scan stops at the kind-14 segment: nothing it looks for lies after it.
    EXPECT_EQ(kind14_block, last_scanned_block);
  }
}

TEST(DictionaryWriter, ObjRowsDecodeToTheDescribedObjects) {
  for (const char* release : {"8i", "10.2", "11.2-alt"}) {
    SCOPED_TRACE(release);
    const auto& db = test::SampleDb(release, 8192);
    const testdb::ResolvedSchema& r = *db.db.schema;
    Reader reader(db);
    const auto rows = reader.HeapRows(18);
    ASSERT_EQ(rows.size(), r.objects.size());
    std::map<std::int64_t, const Columns*> by_number;
    for (const auto& row : rows) by_number[Integer(row[0])] = &row;
    for (const testdb::RObject& o : r.objects) {
      SCOPED_TRACE(o.name);
      ASSERT_TRUE(by_number.count(o.number));
      const Columns& c = *by_number[o.number];
      EXPECT_EQ(Integer(c[1]), o.data_object ? static_cast<std::int64_t>(*o.data_object) : -1);
      EXPECT_EQ(Integer(c[2]), o.owner);
      EXPECT_EQ(Text(c[3]), o.name);
      EXPECT_EQ(Integer(c[4]), o.name_space);
      EXPECT_EQ(Text(c[5]), o.subname);
      EXPECT_EQ(Integer(c[6]), o.type);
    }
    // The alternative numbering shows in the OBJ$ rows of TRIGGER$ and PARTOBJ$.
    const bool alternative = db.db.schema->release.alternative;
    for (const auto& [name, standard, alt] : {std::tuple{"TRIGGER$", 160, 159}, std::tuple{"PARTOBJ$", 564, 572}}) {
      const auto it = std::find_if(r.objects.begin(), r.objects.end(), [&](auto& o) { return o.name == name; });
      ASSERT_NE(it, r.objects.end());
      if (r.release.code == 18) {
        EXPECT_EQ(it->number, static_cast<std::uint32_t>(alternative ? alt : standard));
      }
    }
  }
}

TEST(DictionaryWriter, TabAndColRowsDescribeEveryTableAndPointAtItsSegment) {
  for (const char* release : {"9i", "10.2", "11.2"}) {
    SCOPED_TRACE(release);
    const auto& db = test::SampleDb(release, 4096);
    const testdb::ResolvedSchema& r = *db.db.schema;
    Reader reader(db);
    const testdb::DictVersion v = r.release.version;
    // TAB$: member 1 of C_OBJ# (object 2).
    const auto tabs = reader.MemberRows(2, static_cast<std::uint8_t>(testdb::MemberPosition("TAB$", v)));
    ASSERT_EQ(tabs.size(), r.tables.size());
    for (const auto& [key, c] : tabs) {
      const std::int64_t object = NumberToInteger(ByteView(key.data(), key.size())).value_or(-1);
      const testdb::RTable* t = r.Table(static_cast<std::uint32_t>(object));
      ASSERT_NE(t, nullptr) << object;
      SCOPED_TRACE(t->name);
      // Member columns: DATAOBJ# 1, TS# 2, FILE# 3, BLOCK# 4, COLS 7, PROPERTY 29.
      EXPECT_EQ(Integer(c[0]), t->data_object ? static_cast<std::int64_t>(*t->data_object) : -1);
      EXPECT_EQ(Integer(c[1]), t->ts);
      EXPECT_EQ(Integer(c[6]), t->visible_columns);
      EXPECT_EQ(static_cast<std::uint64_t>(Integer(c[28])), t->property);
      const std::int64_t file = Integer(c[2]), block = Integer(c[3]);
      if (!t->data_object) {
        EXPECT_EQ(file, 0);
        continue;
      }
      // The address is a segment header of the table's data object.
      BlockResult hr = reader.source->Read(format::MakeDba(static_cast<std::uint32_t>(file), static_cast<std::uint32_t>(block)));
      ASSERT_TRUE(hr.ok());
      const auto map = DecodeExtentMap(hr.block.bytes());
      ASSERT_TRUE(map.has_value());
      EXPECT_EQ(map->object_number, *t->data_object);
    }
    // COL$: member 5; each table's columns under its key, with their names.
    std::map<std::int64_t, std::set<std::string>> columns;
    for (const auto& [key, c] : reader.MemberRows(2, static_cast<std::uint8_t>(testdb::MemberPosition("COL$", v)))) {
      columns[NumberToInteger(ByteView(key.data(), key.size())).value_or(-1)].insert(Text(c[4]));
    }
    for (const testdb::RTable& t : r.tables) {
      std::set<std::string> names;
      for (const auto& col : t.columns) names.insert(col.name);
      EXPECT_EQ(columns[t.object], names) << t.name;
    }
  }
}

TEST(DictionaryWriter, LongRowsAreChainedAndLongColumnsStoredLast) {
  const auto& db = test::SampleDb("10.2", 2048);
  const testdb::ResolvedSchema& r = *db.db.schema;
  Reader reader(db);
  const testdb::ViewDescription* big = nullptr;
  for (const auto& v : r.schema->views) {
    if (v.name == "EMP_ALL_DEPTS_V") big = &v;
  }
  ASSERT_NE(big, nullptr);
  bool found = false;
  for (const auto& row : reader.HeapRows(63)) {  // VIEW$ of 10g
    if (Text(row.back()) != big->text) continue;
    found = true;
    EXPECT_EQ(row.size(), 8u);  // TEXT, the LONG, is the last column
  }
  EXPECT_TRUE(found);
  // TRIGGER$ keeps ACTION# (LONG) after the columns that follow it in the table.
  for (const auto& row : reader.HeapRows(81)) {
    ASSERT_EQ(row.size(), 19u);
    EXPECT_NE(Text(row.back()).find("end;"), std::string::npos);
  }
}

TEST(DictionaryWriter, PlannedHeadersAreWhereTheSegmentsWent) {
  for (const char* release : kReleases) {
    SCOPED_TRACE(release);
    const auto& db = test::SampleDb(release, 8192);
    ASSERT_EQ(db.layout.segments.size(), db.db.headers.size());
    for (std::size_t i = 0; i < db.db.headers.size(); ++i) {
      EXPECT_EQ(db.layout.segments[i].header_dba, db.db.headers[i]) << db.layout.segments[i].name;
    }
  }
}

TEST(DictionaryWriter, SameDescriptionSameBytes) {
  const auto a = test::GenerateSchemaDb(testdb::SampleSchema("9i"), "9i", 4096, "det-a");
  const auto b = test::GenerateSchemaDb(testdb::SampleSchema("9i"), "9i", 4096, "det-b");
  for (const auto& f : a->layout.files) {
    SCOPED_TRACE(f.file_name);
    EXPECT_TRUE(test::ReadFileBytes(f.path) == test::ReadFileBytes(b->folder + "/" + f.file_name));
  }
}

}  // namespace
}  // namespace quillon
