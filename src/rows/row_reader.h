// The table row reader: the rows of any table, one complete row at a time,
// in column order, each knowing the partition it was found in.
//
// The reader takes the table's segments and blocks as CollectTableBlocks
// finds them (its own segment, its cluster's, its index-organized index or
// index partitions, its partitions or subpartitions, in that order) and
// walks them block by block. In each block it reads a row from every slot
// where one starts (row_starts.h) and hands it to a RowConsumer: the record
// view turns the values into DataView cells (browse mode), the exporters and
// the INSERT builder into value texts (repair mode, value_texts.h).
//
// Places. A RowPosition names a row start by segment, block and slot: the
// segment's index in TableBlocks::segments, the block's index in that
// segment's block list and the row directory slot. Reading from a position
// reads its block again and goes on from that slot, so a reader that
// remembers where each page starts (page_index.h) never walks the table from
// its start again: page 10,000 costs what page 1 costs. Positions stay valid
// while the datafiles and the catalogue stay the same.
//
// Damage. A block of the table whose directory cannot be read loses its own
// rows, nothing more; a row whose chain breaks is delivered as a partial row
// (row_assembler.h). Both are counted in the reader's statistics. A block
// whose header says it carries a checksum is checked against it once per
// walk; when the checksum contradicts the block, its rows are still read but
// delivered as suspect, and the block is named in the statistics. Blocks the
// extent maps name past the end of a datafile or in a missing datafile are
// counted as missing (table_blocks.h).
#pragma once

#include <compare>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "rows/row_assembler.h"
#include "rows/table_layout.h"
#include "reader/block_source.h"
#include "reader/engine.h"
#include "reader/table_blocks.h"

namespace quillon {

struct RowPosition {
  std::uint32_t segment = 0;  // index in TableBlocks::segments
  std::uint32_t block = 0;    // index in that segment's block list
  std::uint16_t slot = 0;     // row directory slot
  auto operator<=>(const RowPosition&) const = default;
};

struct TableRow {
  // One value per layout column (TableLayout::columns(), catalogue order);
  // NULL for the columns the row does not store. Valid during the call.
  std::span<const StoredValue> values;
  const TableSegment* segment = nullptr;  // where the row was found
  std::string_view partition;             // partition or subpartition name; empty when none
  RowPosition position;
  std::uint32_t dba = 0;                  // block of the row's first piece
  RowBreak problem = RowBreak::kNone;     // why the row is partial
  bool suspect = false;                   // a piece came from a block whose checksum contradicts it
  bool partial() const { return problem != RowBreak::kNone; }
};

class RowConsumer {
 public:
  virtual ~RowConsumer() = default;
  // One row; false ends the reading after it.
  virtual bool Row(const TableRow& row) = 0;
};

struct RowReadStats {
  std::uint64_t rows = 0;              // rows delivered
  std::uint64_t partial_rows = 0;      // of them, rows whose chain broke
  std::uint64_t suspect_rows = 0;      // of them, rows with a piece from a block with a bad checksum
  std::uint64_t damaged_blocks = 0;    // blocks of the table whose directory could not be read
  std::uint64_t unreadable_blocks = 0; // blocks of the block lists that could not be read at all
  // Blocks whose checksum contradicts them, by DBA in the order found.
  std::vector<std::uint32_t> bad_checksum_blocks;
  std::uint64_t missing_blocks = 0;    // blocks the extent maps name that no datafile holds
  // Distinct blocks counted above (a block with a bad checksum may also have
  // an unreadable directory), the missing ones included.
  std::uint64_t damaged_total = 0;
  std::uint64_t blocks_read = 0;
};

class TableRowReader {
 public:
  // Collects the table's blocks through the catalogue (source walks the
  // extent maps and reads the row blocks; later pieces of chained rows are
  // read through a source of the reader's own, so the walk stays sequential).
  TableRowReader(const COracleRecoveryTools& engine, BlockSource& source, std::uint32_t table_object_number);

  bool table_found() const { return blocks_.table_found; }
  const TableLayout& layout() const { return layout_; }
  const TableBlocks& blocks() const { return blocks_; }
  const RowReadStats& stats() const { return stats_; }
  // A stop request ended the last Read or Skip.
  bool stopped() const { return stopped_; }

  // The first position of the table, and the position past its last block.
  static RowPosition Begin() { return {}; }
  RowPosition End() const { return {static_cast<std::uint32_t>(blocks_.segments.size()), 0, 0}; }

  // Reads rows from `from` on, at most max_rows of them (0: no limit), and
  // hands them to consumer in table order. Returns where reading stopped: the
  // start of the next row not read (exactly, when max_rows ended it), the
  // slot after the last row read (when the consumer ended it), or End().
  RowPosition Read(RowPosition from, std::uint64_t max_rows, RowConsumer& consumer);

  // Passes `rows` row starts from `from` on without decoding a row and
  // returns the start of the next row, or End() when the table has fewer.
  // Skip(p, 0) is the first row start at or after p.
  RowPosition Skip(RowPosition from, std::uint64_t rows);

  // Called after every block the walk reads (progress).
  void OnBlock(std::function<void()> observer) { on_block_ = std::move(observer); }

 private:
  // Walks the blocks from `from`; visit(block, dba, start, position, suspect)
  // for each row start at or after from.slot (suspect: the block's checksum
  // contradicts it); it returns false to end the walk, which then returns
  // that row's position.
  template <typename Visit>
  RowPosition Walk(RowPosition from, Visit visit);
  void CountDamaged(std::uint32_t dba);
  void CountBadChecksum(std::uint32_t dba);
  bool CountAnyDamage(std::uint32_t dba);

  const COracleRecoveryTools& engine_;
  BlockSource& source_;
  std::unique_ptr<BlockSource> chain_source_;
  TableBlocks blocks_;
  TableLayout layout_;
  CountTarget chain_target_;  // the table's segments and an IOT's overflow segment
  RowAssembler assembler_;
  std::vector<RowStart> starts_;
  std::unordered_set<std::uint32_t> damaged_;
  std::unordered_set<std::uint32_t> bad_checksum_;
  std::unordered_set<std::uint32_t> any_damage_;
  RowReadStats stats_;
  bool stopped_ = false;
  std::function<void()> on_block_;
};

}  // namespace quillon
