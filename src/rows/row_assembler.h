// One row of a table, put together from its pieces.
//
// A row starts at its first piece (row_starts.h). A piece that is not the
// row's last names the next piece (block address and row directory slot);
// the assembler follows these addresses from block to block, through every
// datafile of the database, until the last piece, and joins a column split
// over two pieces (the first piece's last column continues as the next
// piece's first column: row flag bits 0x01 and 0x02, split_value.h). A
// clustered table's row takes its key columns from the key row its member
// row names; an index-organized table's row takes them from the leaf row.
//
// A chain that breaks gives a partial row: the columns read so far, the rest
// NULL, and the reason. It breaks when the next address is missing, lies
// outside the registered datafiles, names a block of another segment, a
// damaged block or a slot without a continuation piece, or leads back to a
// piece of the same row (a loop); the walk never goes on forever. A stop
// request ends the walk as well.
//
// A row is suspect when one of its pieces lies in a block whose checksum
// contradicts it (the block changed after Oracle wrote it): the row is read
// all the same, but its values cannot be trusted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <unordered_set>
#include <vector>

#include "rows/table_layout.h"
#include "reader/block_source.h"
#include "reader/notify.h"
#include "reader/record_count.h"
#include "reader/row_piece.h"
#include "reader/row_starts.h"
#include "reader/split_value.h"
#include "reader/value_decode.h"

namespace quillon {

// Why a row could not be read to its last piece.
enum class RowBreak : std::uint8_t {
  kNone,
  kChainEnds,        // a piece before the last names no next piece
  kOutsideFiles,     // the next piece's block lies in no registered datafile, or past its end
  kUnreadable,       // the next piece's block cannot be read
  kOtherObject,      // the next piece's block is not a data block of the table
  kDamagedBlock,     // the next piece's block has no readable directory
  kNoPiece,          // the slot named holds no continuation piece
  kLoop,             // the chain comes back to a piece of the same row
  kDamagedColumns,   // a column runs past the end of its block
  kStopped,          // a stop request ended the walk
};
const char* ToString(RowBreak problem);

// Where the pieces of a row may lie: blocks of the accepted segments (the
// table's segments and an IOT's overflow segment).
struct ChainScope {
  BlockSource* source = nullptr;      // reads the blocks of later pieces
  const CountTarget* target = nullptr;
  const StopFlag* stop = nullptr;
};

class RowAssembler {
 public:
  RowAssembler(const TableLayout& layout, ChainScope scope);

  // Reads the row whose first piece is `start` in the block at dba (kept
  // alive by the caller until the values have been used). first_block_suspect:
  // the caller found that block's checksum contradicting it (it checks each
  // block once, not once per row); the blocks of later pieces are checked here.
  void Assemble(ByteView block, std::uint32_t dba, const RowStart& start, bool first_block_suspect = false);

  // One value per layout column, in catalogue order (NULL for columns the row
  // does not store). Valid until the next Assemble.
  std::span<const StoredValue> values() const { return values_; }
  RowBreak problem() const { return problem_; }
  bool partial() const { return problem_ != RowBreak::kNone; }
  // Blocks of later pieces that were found damaged (their addresses).
  const std::vector<std::uint32_t>& damaged_blocks() const { return damaged_; }
  // A piece of the row came from a block whose checksum contradicts it.
  bool suspect() const { return suspect_; }
  // Blocks of later pieces whose checksum contradicts them (their addresses).
  const std::vector<std::uint32_t>& bad_checksum_blocks() const { return bad_checksum_; }

 private:
  struct Location {
    std::uint32_t dba;
    std::uint16_t slot;
  };
  void Reset();
  void TakeKeyColumns(ColumnCursor& cursor);
  void TakePiece(ByteView block, const RowPiece& piece);
  void Store(RowPart part, std::size_t position, const StoredValue& value);
  void FlushHeld();
  void FollowChain(ByteView block, std::uint32_t dba, RowPiece piece);
  // The continuation piece at an address; block and dba become its block's.
  // Sets problem_ when there is none.
  std::optional<RowPiece> NextPiece(const RowAddress& next, ByteView& block, std::uint32_t& dba);
  bool Visit(std::uint32_t dba, std::uint16_t slot);
  void ReadClusterKey(ByteView block, const RowStart& start);
  std::optional<RowPiece> ReadLeafKey(ByteView block, const RowStart& start);

  const TableLayout& layout_;
  ChainScope scope_;
  std::vector<StoredValue> values_;
  std::size_t body_position_ = 0;
  std::size_t key_columns_ = 0;
  RowBreak problem_ = RowBreak::kNone;

  // Values split over pieces; one buffer per split value of the row.
  std::vector<SplitValue> splits_;
  std::size_t splits_used_ = 0;
  bool holding_ = false;

  std::vector<Block> kept_;  // blocks of later pieces the values point into
  std::vector<std::uint64_t> visited_;
  std::unordered_set<std::uint64_t> visited_many_;
  std::vector<std::uint32_t> damaged_;
  bool suspect_ = false;
  std::vector<std::uint32_t> bad_checksum_;
};

}  // namespace quillon
