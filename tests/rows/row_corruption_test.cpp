// Seeded damage to the data blocks of tables (a heap in each space
// management and a cluster of two tables, with migrated, chained and deleted
// rows): blocks zeroed, bits flipped, random bytes over a stretch of a block.
// Whatever the damage, the reader and the export end; the rows it could not
// read whole are counted; and every row whose pieces all lie in undamaged
// blocks is read exactly as from the undamaged database.
//
// One byte flipped inside a row, the checksum left stale as a failing disk
// leaves it: the reader, the record count and the export name exactly the
// blocks whose checksum contradicts them and count exactly the rows read
// from them as suspect.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>

#include "rows/row_reader.h"
#include "rows/table_export.h"
#include "reader/record_count.h"
#include "reader/table_blocks.h"
#include "reader/value_number.h"
#include "support/row_collect.h"
#include "support/table_db.h"
#include "testdb/values.h"

namespace quillon {
namespace {

using testdb::Bytes;
using testdb::ColumnBytes;
using testdb::Placement;
using testdb::Row;
using test::Value;

namespace tc = type_code;

constexpr std::uint32_t kBlockSize = 2048;
constexpr std::uint32_t kFreeListHeap = 70301;
constexpr std::uint32_t kAssmHeap = 70302;
constexpr std::uint32_t kCluster = 70303;
constexpr std::uint32_t kMembers = 2;
constexpr int kHeapRows = 300;
constexpr int kClusterKeys = 40;

ColumnBytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

// Heap row i: its ID first; every tenth row migrated, chained over three
// blocks, with a trailing NULL, or 900 bytes long; some deleted.
Row ChainedHeapRow(int i) {
  Row r({testdb::EncodeNumber(i),
         Text(i % 10 == 1 ? std::string(900, static_cast<char>('a' + i % 26)) : "name " + std::to_string(i)),
         testdb::EncodeDate({2000 + i % 20, 1 + i % 12, 1 + i % 28, i % 24, i % 60, 7, 0}),
         i % 10 == 7 ? ColumnBytes() : testdb::EncodeNumber(i * 7)});
  switch (i % 10) {
    case 3: r.placement = Placement::kMigrated; break;
    case 5:
      r.placement = Placement::kChained;
      r.chain_blocks = 3;
      break;
    default: break;
  }
  if (i % 13 == 8) r.placement = Placement::kDeleted;
  return r;
}

testdb::SegmentModel Heap(std::uint32_t object, SpaceManagement space) {
  testdb::SegmentModel s;
  s.name = "H" + std::to_string(object);
  s.object_number = object;
  s.space = space;
  for (int i = 0; i < kHeapRows; ++i) s.rows.push_back(ChainedHeapRow(i));
  return s;
}

// Member rows carry an ID unique in their table, after the key column.
testdb::SegmentModel Cluster() {
  testdb::SegmentModel c;
  c.name = "C";
  c.object_number = kCluster;
  c.kind = testdb::SegmentKind::kCluster;
  c.member_tables = kMembers;
  int id[kMembers] = {};
  for (int k = 0; k < kClusterKeys; ++k) {
    testdb::ClusterKey key;
    key.key_columns = {testdb::EncodeNumber(k)};
    key.members.resize(kMembers);
    for (std::size_t m = 0; m < kMembers; ++m) {
      for (int i = 0; i < 1 + (k + static_cast<int>(m)) % 4; ++i) {
        Row r({testdb::EncodeNumber(id[m]++), Text(std::string(i == 1 ? 300 : 8, static_cast<char>('p' + i)))});
        if (i == 1 && k % 5 == 0) r.placement = Placement::kMigrated;
        if (i == 2 && k % 3 == 0) {
          r.placement = Placement::kChained;
          r.chain_blocks = 2;
        }
        key.members[m].push_back(std::move(r));
      }
    }
    c.keys.push_back(std::move(key));
  }
  return c;
}

// A table of the database: its catalogue object and where its rows lie.
struct Table {
  std::uint32_t object;
  std::uint32_t segment;
  std::uint32_t member = 0;  // cluster position; 0 for a heap
};
constexpr Table kTables[] = {
    {1, kFreeListHeap}, {2, kAssmHeap}, {3, kCluster, 1}, {4, kCluster, 2}};

test::TableDb& Database() {
  static test::TableDb* db = [] {
    auto model = testdb::NewDatabaseModel("DMG", "10.2", kBlockSize, 11);
    model.segments.push_back(Heap(kFreeListHeap, SpaceManagement::kFreeList));
    model.segments.push_back(Heap(kAssmHeap, SpaceManagement::kAssm));
    model.segments.push_back(Cluster());
    auto* d = new test::TableDb(std::move(model), "row-corruption");
    auto& cat = d->engine().catalogue;
    for (const Table& t : kTables) {
      TableRecord r = d->TableOn(t.object, t.segment);
      if (t.member) {
        r.cluster_position = t.member;
        r.cluster_column_count = 1;
        r.base_object = 9;
        cat.tables.Append(r);
        d->Describe(t.object, "SCOTT", "M" + std::to_string(t.member),
                    {{"K", tc::kNumber}, {"ID", tc::kNumber}, {"PAD", tc::kVarchar2}});
      } else {
        cat.tables.Append(r);
        d->Describe(t.object, "SCOTT", "H" + std::to_string(t.segment),
                    {{"ID", tc::kNumber}, {"NAME", tc::kVarchar2}, {"BORN", tc::kDate}, {"N", tc::kNumber}});
      }
    }
    return d;
  }();
  return *db;
}

// The blocks each row of a table lies in, by the row's ID (model order);
// deleted rows are left out.
std::map<int, std::set<std::uint32_t>> RowBlocks(const test::TableDb& db, const Table& t) {
  const auto& seg = db.Segment(t.segment);
  std::vector<const testdb::RowPlacement*> rows;
  if (t.member) {
    for (const auto& key : seg.keys) {
      for (const auto& r : key.members[t.member - 1]) rows.push_back(&r);
    }
  } else {
    for (const auto& r : seg.rows) rows.push_back(&r);
  }
  std::map<int, std::set<std::uint32_t>> out;
  for (std::size_t id = 0; id < rows.size(); ++id) {
    const auto& pieces = rows[id]->pieces;
    if (pieces.empty() || (pieces.front().flag & format::row::kDeleted)) continue;
    for (const auto& p : pieces) out[static_cast<int>(id)].insert(p.dba);
  }
  return out;
}

struct TableRead {
  std::multimap<int, test::CollectedRow> rows;  // by ID; damage may repeat or invent IDs
  RowReadStats stats;
};

TableRead ReadTable(test::TableDb& db, const Table& t) {
  BlockSource source(db.engine().datafiles);
  TableRowReader reader(db.engine(), source, t.object);
  TableRead out;
  const std::size_t id_column = t.member ? 1 : 0;
  for (auto& r : test::ReadAll(reader)) {
    const Value& id = r.values[id_column];
    const auto n = id ? NumberToInteger(ByteView(id->data(), id->size())) : std::nullopt;
    out.rows.emplace(n ? static_cast<int>(*n) : -1, std::move(r));
  }
  out.stats = reader.stats();
  return out;
}

enum class Harm { kZero, kFlipBits, kRandomStretch };

// Damages a block of a datafile in place; returns its former bytes.
std::vector<char> DamageBlock(const test::TableDb& db, std::uint32_t dba, Harm harm, std::mt19937& random) {
  const auto* file = db.layout().FindFileByNumber(format::DbaFile(dba));
  EXPECT_NE(file, nullptr);
  std::fstream f(file->path, std::ios::in | std::ios::out | std::ios::binary);
  const auto at = static_cast<std::streamoff>(format::DbaBlock(dba)) * kBlockSize;
  std::vector<char> before(kBlockSize);
  f.seekg(at);
  f.read(before.data(), kBlockSize);
  std::vector<char> after = before;
  const auto below = [&](std::uint32_t n) { return std::uniform_int_distribution<std::uint32_t>(0, n - 1)(random); };
  switch (harm) {
    case Harm::kZero: std::fill(after.begin(), after.end(), 0); break;
    case Harm::kFlipBits:
      for (std::uint32_t i = 0, n = 1 + below(16); i < n; ++i) after[below(kBlockSize)] ^= static_cast<char>(1 << below(8));
      break;
    case Harm::kRandomStretch: {
      const std::uint32_t start = 20 + below(kBlockSize - 20);
      const std::uint32_t length = std::min(1 + below(64), kBlockSize - start);
      for (std::uint32_t i = 0; i < length; ++i) after[start + i] = static_cast<char>(below(256));
      break;
    }
  }
  f.seekp(at);
  f.write(after.data(), kBlockSize);
  return before;
}

void RestoreBlock(const test::TableDb& db, std::uint32_t dba, const std::vector<char>& bytes) {
  std::fstream f(db.layout().FindFileByNumber(format::DbaFile(dba))->path,
                 std::ios::in | std::ios::out | std::ios::binary);
  f.seekp(static_cast<std::streamoff>(format::DbaBlock(dba)) * kBlockSize);
  f.write(bytes.data(), kBlockSize);
}

TEST(RowCorruption, DamagedBlocksLoseOnlyTheRowsThatLieInThem) {
  test::TableDb& db = Database();
  std::map<std::uint32_t, TableRead> intact;
  std::vector<std::uint32_t> data_blocks;
  for (const Table& t : kTables) {
    intact[t.object] = ReadTable(db, t);
    const auto& read = intact[t.object];
    ASSERT_EQ(read.stats.partial_rows, 0u);
    ASSERT_EQ(read.rows.size(), RowBlocks(db, t).size()) << "table " << t.object;
  }
  for (const std::uint32_t segment : {kFreeListHeap, kAssmHeap, kCluster}) {
    const auto& blocks = db.Segment(segment).data_blocks;
    data_blocks.insert(data_blocks.end(), blocks.begin(), blocks.end());
  }

  for (const Harm harm : {Harm::kZero, Harm::kFlipBits, Harm::kRandomStretch}) {
    for (std::uint32_t seed = 1; seed <= 6; ++seed) {
      SCOPED_TRACE(::testing::Message() << "harm " << static_cast<int>(harm) << " seed " << seed);
      std::mt19937 random(seed * 7919 + static_cast<std::uint32_t>(harm));
      std::map<std::uint32_t, std::vector<char>> damaged;
      while (damaged.size() < 4) {
        const std::uint32_t dba = data_blocks[std::uniform_int_distribution<std::size_t>(0, data_blocks.size() - 1)(random)];
        if (!damaged.count(dba)) damaged[dba] = DamageBlock(db, dba, harm, random);
      }
      for (const Table& t : kTables) {
        SCOPED_TRACE(::testing::Message() << "table " << t.object);
        const TableRead read = ReadTable(db, t);
        std::uint64_t partial = 0;
        for (const auto& [id, row] : read.rows) partial += row.problem != RowBreak::kNone;
        EXPECT_EQ(read.stats.partial_rows, partial);
        std::size_t kept = 0;
        for (const auto& [id, blocks] : RowBlocks(db, t)) {
          bool touched = false;
          for (const auto dba : blocks) touched |= damaged.count(dba) > 0;
          if (touched) continue;
          const auto want = intact[t.object].rows.find(id);
          ASSERT_NE(want, intact[t.object].rows.end());
          bool found = false;
          for (auto [it, end] = read.rows.equal_range(id); it != end && !found; ++it) {
            found = it->second.problem == RowBreak::kNone && it->second.values == want->second.values;
          }
          EXPECT_TRUE(found) << "row " << id << " lies only in undamaged blocks but was not read whole";
          ++kept;
        }
        EXPECT_GT(kept, 0u);
        // The export of the damaged table (as `rows --all` makes it) ends too
        // and writes every row the reader delivers.
        std::ostringstream out;
        auto writer = MakeRowWriter(RowFormat::kJson, out);
        BlockSource source(db.engine().datafiles);
        ExportOptions options;
        options.large = LargeValues::kContent;
        const ExportResult exported = ExportTableRows(db.engine(), source, t.object, *writer, options);
        EXPECT_EQ(exported.rows, read.rows.size());
      }
      for (const auto& [dba, bytes] : damaged) RestoreBlock(db, dba, bytes);
    }
  }
}

// A piece that holds columns of its row: not a deleted row, not the head a
// migrated row leaves behind (the reader goes to where the row landed).
bool CarriesData(const testdb::PiecePlacement& p) {
  namespace rw = format::row;
  if (p.flag == 0 || (p.flag & rw::kDeleted)) return false;
  return !((p.flag & rw::kHead) && !(p.flag & rw::kFirst));
}

// The rows of a table (model order, deleted rows left out): the blocks of
// their data pieces, and the block their first data piece lies in.
struct RowPieces {
  std::set<std::uint32_t> blocks;
  std::uint32_t start = 0;
};
std::map<int, RowPieces> DataPieces(const test::TableDb& db, const Table& t) {
  const auto& seg = db.Segment(t.segment);
  std::vector<const testdb::RowPlacement*> rows;
  if (t.member) {
    for (const auto& key : seg.keys) {
      for (const auto& r : key.members[t.member - 1]) rows.push_back(&r);
    }
  } else {
    for (const auto& r : seg.rows) rows.push_back(&r);
  }
  std::map<int, RowPieces> out;
  for (std::size_t id = 0; id < rows.size(); ++id) {
    RowPieces p;
    for (const auto& piece : rows[id]->pieces) {
      if (!CarriesData(piece)) continue;
      if (p.blocks.empty()) p.start = piece.dba;
      p.blocks.insert(piece.dba);
    }
    if (!p.blocks.empty()) out[static_cast<int>(id)] = std::move(p);
  }
  return out;
}

// Flips one bit of the last byte of a column of a row piece in the block
// (its layout and lengths stay intact, its checksum goes stale). Returns the
// former bytes.
std::vector<char> FlipRowByte(const test::TableDb& db, std::uint32_t dba, std::mt19937& random) {
  std::vector<const testdb::PiecePlacement*> candidates;
  const auto add = [&](const testdb::RowPlacement& r) {
    for (const auto& p : r.pieces) {
      if (p.dba == dba && CarriesData(p)) candidates.push_back(&p);
    }
  };
  for (const std::uint32_t segment : {kFreeListHeap, kAssmHeap, kCluster}) {
    const auto& seg = db.Segment(segment);
    for (const auto& r : seg.rows) add(r);
    for (const auto& key : seg.keys) {
      for (const auto& member : key.members) {
        for (const auto& r : member) add(r);
      }
    }
  }
  EXPECT_FALSE(candidates.empty()) << "no row piece in block " << dba;
  std::shuffle(candidates.begin(), candidates.end(), random);
  const auto* file = db.layout().FindFileByNumber(format::DbaFile(dba));
  std::fstream f(file->path, std::ios::in | std::ios::out | std::ios::binary);
  const auto at = static_cast<std::streamoff>(format::DbaBlock(dba)) * kBlockSize;
  std::vector<char> before(kBlockSize);
  f.seekg(at);
  f.read(before.data(), kBlockSize);
  std::vector<char> after = before;
  const ByteView block(reinterpret_cast<const std::uint8_t*>(after.data()), after.size());
  for (const auto* candidate : candidates) {
    const auto piece = ParseRowPiece(block, candidate->offset);
    if (!piece) continue;
    ColumnCursor cursor = ColumnCursor::Over(block, *piece);
    std::optional<std::size_t> last;
    while (const auto c = cursor.Next()) {
      if (!c->is_null && !c->bytes.empty()) last = static_cast<std::size_t>(c->bytes.data() - block.data()) + c->bytes.size() - 1;
    }
    if (!last) continue;
    after[*last] = static_cast<char>(after[*last] ^ 0x01);
    f.seekp(at);
    f.write(after.data(), kBlockSize);
    return before;
  }
  ADD_FAILURE() << "no column to flip in block " << dba;
  return before;
}

TEST(RowCorruption, StaleChecksumsAreNamedAndTheirRowsCountedAsSuspect) {
  test::TableDb& db = Database();
  std::map<std::uint32_t, TableRead> intact;
  for (const Table& t : kTables) intact[t.object] = ReadTable(db, t);
  for (const Table& t : kTables) {
    ASSERT_EQ(intact[t.object].stats.suspect_rows, 0u);
    ASSERT_TRUE(intact[t.object].stats.bad_checksum_blocks.empty());
  }
  // Blocks that hold a piece with columns, per segment: a free-list heap, an
  // ASSM heap and a cluster.
  std::map<std::uint32_t, std::vector<std::uint32_t>> with_rows;
  for (const Table& t : kTables) {
    for (const auto& [id, r] : DataPieces(db, t)) {
      for (const auto dba : r.blocks) with_rows[t.segment].push_back(dba);
    }
  }
  for (auto& [segment, blocks] : with_rows) {
    std::sort(blocks.begin(), blocks.end());
    blocks.erase(std::unique(blocks.begin(), blocks.end()), blocks.end());
  }

  for (std::uint32_t seed = 1; seed <= 4; ++seed) {
    SCOPED_TRACE(::testing::Message() << "seed " << seed);
    std::mt19937 random(seed * 104729);
    std::map<std::uint32_t, std::vector<char>> damaged;
    for (const auto& [segment, blocks] : with_rows) {
      for (std::uint32_t n = 0; n < 1 + seed % 3;) {
        const std::uint32_t dba = blocks[std::uniform_int_distribution<std::size_t>(0, blocks.size() - 1)(random)];
        if (damaged.count(dba)) continue;
        damaged[dba] = FlipRowByte(db, dba, random);
        ++n;
      }
    }
    for (const Table& t : kTables) {
      SCOPED_TRACE(::testing::Message() << "table " << t.object);
      const std::map<int, RowPieces> pieces = DataPieces(db, t);
      std::uint64_t suspect = 0, starting_in_damage = 0;
      std::set<int> touched_rows;
      for (const auto& [id, r] : pieces) {
        bool touched = false;
        for (const auto dba : r.blocks) touched |= damaged.count(dba) > 0;
        if (touched) touched_rows.insert(id);
        suspect += touched;
        starting_in_damage += damaged.count(r.start) > 0;
      }
      std::set<std::uint32_t> bad_here;
      for (const auto& [dba, bytes] : damaged) {
        const auto& blocks = db.Segment(t.segment).blocks;
        if (std::find(blocks.begin(), blocks.end(), dba) != blocks.end()) bad_here.insert(dba);
      }
      ASSERT_FALSE(bad_here.empty());

      // The row reader: every row still read, the suspect ones flagged.
      const TableRead read = ReadTable(db, t);
      EXPECT_EQ(read.rows.size(), intact[t.object].rows.size());
      EXPECT_EQ(read.stats.partial_rows, 0u);
      EXPECT_EQ(read.stats.suspect_rows, suspect);
      EXPECT_EQ(std::set<std::uint32_t>(read.stats.bad_checksum_blocks.begin(), read.stats.bad_checksum_blocks.end()),
                bad_here);
      EXPECT_EQ(read.stats.bad_checksum_blocks.size(), bad_here.size());  // each named once
      std::uint64_t flagged = 0;
      for (const auto& [id, row] : read.rows) flagged += row.suspect;
      EXPECT_EQ(flagged, suspect);
      // Rows of undamaged blocks: exact, and not suspect.
      std::size_t exact = 0;
      for (const auto& [id, want] : intact[t.object].rows) {
        if (touched_rows.count(id)) continue;
        bool found = false;
        for (auto [it, end] = read.rows.equal_range(id); it != end && !found; ++it) {
          found = !it->second.suspect && it->second.values == want.values;
        }
        EXPECT_TRUE(found) << "row " << id;
        ++exact;
      }
      EXPECT_EQ(exact + suspect, read.rows.size());

      // The record count names the same blocks; suspect are the records
      // that start in them.
      BlockSource source(db.engine().datafiles);
      const TableBlocks table_blocks = CollectTableBlocks(db.engine(), source, t.object);
      NullSink sink;
      const CountResult counted =
          CountRecords(source, table_blocks.AllBlocks(), table_blocks.target, sink, db.stop());
      EXPECT_EQ(counted.records, intact[t.object].rows.size());
      EXPECT_EQ(std::set<std::uint32_t>(counted.bad_checksum_blocks.begin(), counted.bad_checksum_blocks.end()),
                bad_here);
      EXPECT_EQ(counted.suspect_records, starting_in_damage);

      // The export counts them, and leaves them out when asked to.
      for (const bool skip : {false, true}) {
        std::ostringstream out;
        auto writer = MakeRowWriter(RowFormat::kJson, out);
        ExportOptions options;
        options.skip_suspect = skip;
        const ExportResult exported = ExportTableRows(db.engine(), source, t.object, *writer, options);
        EXPECT_EQ(exported.suspect_rows, suspect);
        EXPECT_EQ(exported.skipped_rows, skip ? suspect : 0u);
        EXPECT_EQ(exported.bad_checksum_blocks.size(), bad_here.size());
        EXPECT_EQ(exported.damaged_total, bad_here.size());
        const std::string text = out.str();
        EXPECT_EQ(static_cast<std::uint64_t>(std::count(text.begin(), text.end(), '\n')),
                  exported.rows - exported.skipped_rows);
      }
    }
    for (const auto& [dba, bytes] : damaged) RestoreBlock(db, dba, bytes);
  }
}

}  // namespace
}  // namespace quillon
