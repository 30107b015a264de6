// The rows of a table that start in one block: which row directory slots
// hold the first piece of a row. The record counting counts them and the
// table row reader reads a row from each, so both agree on every table.
//
// - heap tables and partitions: complete rows (0x2C), migrated rows where
//   their body lies (0x0C), first pieces of chained rows (0x28, 0x29 and,
//   for a migrated row that is itself chained, 0x08, 0x09). A head piece that
//   only points at its migrated body (0x20) is not a row: the row is read
//   where its body lies, so it is read once;
// - clustered tables: the member rows of the table's position whose key byte
//   names a valid key row of the block (0x6C, 0x4C, 0x68, 0x69, 0x48, 0x49);
// - index-organized tables: the rows of leaf blocks (0x00, 0x02, 0x04, 0x06).
//
// Blocks of other types and of other segments (space reused after a drop)
// hold no rows of the table. A block of the table whose directory cannot be
// read is damaged: it loses its own rows, nothing else.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "reader/bytes.h"
#include "reader/record_count.h"
#include "reader/row_piece.h"

namespace quillon {

struct RowStart {
  std::uint16_t slot = 0;       // row directory index
  std::size_t position = 0;     // position of the row's first byte in the block
  std::uint8_t key_index = 0;   // cluster member rows: their key row's place among the key rows
};

enum class BlockKind : std::uint8_t {
  kOther,    // not a block of the table (type, segment), or a block without rows (index branch)
  kRows,     // a block of the table; its row starts are listed
  kDamaged,  // a block of the table whose directory cannot be read
};

// Lists the row starts of a block in row directory order into starts
// (cleared first).
BlockKind FindRowStarts(ByteView block, const CountTarget& target, std::vector<RowStart>& starts);

// The data header position of a block of the table (H), by its segment's
// space management; 0 when the block is not readable as a data block.
std::size_t DataHeaderOf(ByteView block, const CountTarget& target);

// Heap pieces that start a row.
bool IsHeapRowStart(std::uint8_t flag);
// Cluster member pieces that start a row.
bool IsMemberRowStart(std::uint8_t flag);
// Leaf rows of an index-organized table.
bool IsLeafRow(std::uint8_t flag);

}  // namespace quillon
