// Segment walks and row pieces of generated databases, compared with the
// generator's layout: every block of every extent in map order, every row's
// pieces followed from block to block back to the model's columns.
#include <set>
#include <stdexcept>

#include <gtest/gtest.h>

#include "reader/block_source.h"
#include "reader/extent_map.h"
#include "reader/identify.h"
#include "support/generated_db.h"
#include "support/row_chain.h"

namespace quillon {
namespace {

namespace rw = format::row;
using testdb::Placement;

struct Opened {
  NullSink sink;
  StopFlag stop;
  COracleRecoveryTools engine{sink, stop};
  explicit Opened(const test::GeneratedDb& db) { IdentifyRelease(engine, db.system_path()); }
};

std::vector<std::optional<std::vector<std::uint8_t>>> Stored(const testdb::Row& row) {
  auto cols = row.columns;
  while (!cols.empty() && !cols.back()) cols.pop_back();
  return cols;
}

const testdb::SegmentModel& ModelOf(const test::GeneratedDb& db, std::uint32_t object) {
  for (const auto& s : db.model.segments) {
    if (s.object_number == object) return s;
  }
  throw std::runtime_error("no such segment");
}

// Checks one row against its recorded pieces and the reader's view of them.
void CheckRow(BlockSource& source, SpaceManagement space, const testdb::Row& row,
              const testdb::RowPlacement& placed, std::uint8_t member_bit) {
  ASSERT_FALSE(placed.pieces.empty());
  const auto& first = placed.pieces.front();
  switch (row.placement) {
    case Placement::kFreeSlot: {
      BlockResult r = source.Read(first.dba);
      ASSERT_TRUE(r.ok());
      const auto view = DataBlock::Open(r.block.bytes(), space);
      ASSERT_TRUE(view.has_value());
      const std::size_t index = view->Table(first.table)->first_row + first.slot;
      EXPECT_FALSE(view->RowPosition(index).has_value());
      const auto raw = view->RowEntry(index);
      ASSERT_TRUE(raw.has_value());
      EXPECT_TRUE(*raw == 0xFFFF || *raw < 2u * view->row_count()) << *raw;
      return;
    }
    case Placement::kDeleted: {
      Block keep;
      const auto piece = test::PieceAt(source, space, first.dba, first.table, first.slot, keep);
      ASSERT_TRUE(piece.has_value());
      EXPECT_EQ(piece->flag, member_bit | 0x3C);
      EXPECT_TRUE(piece->IsDeleted());
      return;
    }
    case Placement::kMigrated: {
      ASSERT_GE(placed.pieces.size(), 2u);
      EXPECT_EQ(first.flag, member_bit | rw::kHead);
      EXPECT_NE(placed.pieces[1].dba, first.dba);
      Block keep;
      const auto body = test::PieceAt(source, space, placed.pieces[1].dba, placed.pieces[1].table,
                                      placed.pieces[1].slot, keep);
      ASSERT_TRUE(body.has_value());
      EXPECT_EQ(body->flag & 0x0C, 0x0C);
      ASSERT_TRUE(body->head.has_value());
      EXPECT_EQ(*body->head, (RowAddress{first.dba, first.slot}));
      break;
    }
    case Placement::kChained: {
      EXPECT_EQ(placed.pieces.size(), row.chain_blocks);
      std::set<std::uint32_t> blocks;
      for (const auto& p : placed.pieces) blocks.insert(p.dba);
      EXPECT_EQ(blocks.size(), row.chain_blocks);
      EXPECT_EQ(first.flag & ~rw::kContinuesNext, member_bit | 0x28);
      break;
    }
    case Placement::kNormal:
      if (placed.pieces.size() == 1) {
        EXPECT_EQ(first.flag, member_bit | rw::kComplete);
      }
      break;
    case Placement::kTailPiece:
      ASSERT_EQ(placed.pieces.size(), 1u);
      EXPECT_EQ(first.flag, rw::kLast);
      return;
  }
  const auto read = test::ReadRowChain(source, space, first.dba, first.table, first.slot);
  EXPECT_EQ(read.problem, "");
  EXPECT_EQ(read.columns, Stored(row));
  ASSERT_EQ(read.flags.size(), placed.pieces.size());
  for (std::size_t i = 0; i < read.flags.size(); ++i) EXPECT_EQ(read.flags[i], placed.pieces[i].flag) << i;
  const std::uint8_t last = placed.pieces.back().flag;
  EXPECT_TRUE(last & rw::kLast);
  for (std::size_t i = 1; i < placed.pieces.size(); ++i) {
    // Continuation pieces carry neither the head nor the cluster bit.
    if (row.placement != Placement::kMigrated || i > 1) {
      EXPECT_EQ(placed.pieces[i].flag & 0xE8, 0) << i;
    }
    // N on one piece and P on the next go together.
    EXPECT_EQ((placed.pieces[i - 1].flag & rw::kContinuesNext) != 0,
              (placed.pieces[i].flag & rw::kContinuesPrevious) != 0) << i;
  }
}

void CheckDatabase(const test::GeneratedDb& db) {
  Opened o(db);
  BlockSource source(o.engine.datafiles);
  for (const auto& seg : db.layout.segments) {
    SCOPED_TRACE(seg.name);
    const SegmentWalk walk = WalkSegment(source, o.engine.datafiles, seg.header_dba);
    EXPECT_TRUE(walk.header_found);
    EXPECT_EQ(walk.problem, "");
    EXPECT_EQ(walk.object_number, seg.object_number);
    EXPECT_EQ(walk.space, seg.space);
    EXPECT_EQ(walk.maps_read, 1 + seg.extent_map_dbas.size());
    EXPECT_EQ(walk.blocks, seg.blocks);
    // Listing extents only gives the same blocks, one extent at a time.
    const SegmentWalk extents = WalkSegment(source, o.engine.datafiles, seg.header_dba, nullptr,
                                            WalkListing::kExtentsOnly);
    EXPECT_TRUE(extents.blocks.empty());
    std::vector<std::uint32_t> expanded;
    ForEachExtentBlock(extents.extents, [&](std::uint32_t dba) {
      expanded.push_back(dba);
      return true;
    });
    EXPECT_EQ(expanded, seg.blocks);
    EXPECT_EQ(extents.BlockCount(), seg.blocks.size());

    const auto& model = ModelOf(db, seg.object_number);
    if (model.kind == testdb::SegmentKind::kHeap) {
      ASSERT_EQ(seg.rows.size(), model.rows.size());
      for (std::size_t i = 0; i < model.rows.size(); ++i) {
        SCOPED_TRACE("row " + std::to_string(i));
        CheckRow(source, seg.space, model.rows[i], seg.rows[i], 0);
      }
      continue;
    }
    ASSERT_EQ(seg.keys.size(), model.keys.size());
    for (std::size_t k = 0; k < model.keys.size(); ++k) {
      SCOPED_TRACE("key " + std::to_string(k));
      const auto& placed = seg.keys[k];
      ASSERT_FALSE(placed.key_rows.empty());
      for (const auto& key_row : placed.key_rows) {
        Block keep;
        const auto piece = test::PieceAt(source, seg.space, key_row.dba, 0, key_row.slot, keep);
        ASSERT_TRUE(piece.has_value());
        EXPECT_EQ(piece->flag, rw::kKeyRow);
        ColumnCursor cursor = ColumnCursor::Over(keep.bytes(), *piece);
        const auto key = cursor.Next();
        ASSERT_TRUE(key.has_value());
        EXPECT_EQ(std::vector<std::uint8_t>(key->bytes.data(), key->bytes.data() + key->bytes.size()),
                  model.keys[k].key_columns[0]);
      }
      for (std::size_t m = 0; m < model.keys[k].members.size(); ++m) {
        for (std::size_t i = 0; i < model.keys[k].members[m].size(); ++i) {
          SCOPED_TRACE("member " + std::to_string(m + 1) + " row " + std::to_string(i));
          const auto& row = model.keys[k].members[m][i];
          const auto& rp = placed.members[m][i];
          CheckRow(source, seg.space, row, rp, rw::kClusterMember);
          if (row.placement == Placement::kFreeSlot || row.placement == Placement::kDeleted) continue;
          // Every piece with the cluster bit names its key row in the same block.
          for (const auto& p : rp.pieces) {
            if (!(p.flag & rw::kClusterMember)) continue;
            Block keep;
            const auto piece = test::PieceAt(source, seg.space, p.dba, p.table, p.slot, keep);
            ASSERT_TRUE(piece && piece->key_index);
            bool found = false;
            for (const auto& kr : placed.key_rows) found |= kr.dba == p.dba && kr.slot == *piece->key_index;
            EXPECT_TRUE(found);
          }
        }
      }
    }
  }
}

TEST(GeneratedSegments, WalksAndRowsMatchTheLayout) {
  for (const char* release : {"8i", "9i", "10.2", "11.2"}) {
    for (const std::uint32_t bs : {2048u, 8192u, 32768u}) {
      SCOPED_TRACE(std::string(release) + " " + std::to_string(bs));
      CheckDatabase(test::DefaultDb(release, bs));
    }
  }
}

TEST(GeneratedSegments, DefaultDatabaseHasExtentMapBlocksAndEveryPlacement) {
  const auto& db = test::DefaultDb("10.2", 8192);
  const auto* maps = db.layout.FindSegment(testdb::default_db::kUsersMaps);
  const auto* freelist = db.layout.FindSegment(testdb::default_db::kUsersFreeList);
  ASSERT_TRUE(maps && freelist);
  EXPECT_GE(maps->extent_map_dbas.size(), 2u);
  EXPECT_GE(freelist->extent_map_dbas.size(), 2u);
  std::set<std::uint8_t> flags;
  for (const auto& seg : db.layout.segments) {
    for (const auto& r : seg.rows) {
      for (const auto& p : r.pieces) flags.insert(p.flag);
    }
    for (const auto& k : seg.keys) {
      for (const auto& rows : k.members) {
        for (const auto& r : rows) {
          for (const auto& p : r.pieces) flags.insert(p.flag);
        }
      }
    }
  }
  for (const std::uint8_t f : {0x2C, 0x20, 0x0C, 0x28, 0x29, 0x3C, 0x04, 0x06, 0x00, 0x6C, 0x60, 0x4C, 0x7C}) {
    EXPECT_TRUE(flags.count(f)) << std::hex << int{f};
  }
}

}  // namespace
}  // namespace quillon
