// Counting the records of a table from its blocks, without decoding a
// column: only block headers, directories and the first bytes of each row
// piece are read.
//
// A record is counted where its row starts: a complete row (0x2C), a
// migrated row where its piece lands (0x0C), or the first piece of a chained
// row (0x08, 0x09, 0x28, 0x29); continuation pieces and deleted rows are not.
// Index-organized tables count their leaf rows, clustered tables the member
// rows of their own table position. Blocks of other segments that lie in the
// extents (space reused after a drop) add nothing.
//
// Every block read is checked against its checksum when its header says it
// carries one. A block whose checksum contradicts it is still counted (its
// rows may be all that is left), but named as damaged, and the records that
// start in it are counted as suspect.
#pragma once

#include <cstdint>
#include <unordered_set>
#include <vector>

#include "reader/block_source.h"
#include "reader/block_view.h"
#include "reader/bytes.h"
#include "reader/extent_map.h"
#include "reader/notify.h"

namespace quillon {

enum class CountRule : std::uint8_t {
  kHeap,     // ordinary and partitioned tables
  kIndex,    // index-organized tables: leaf rows of the index segment
  kCluster,  // clustered tables: member rows of one table position
};

struct CountTarget {
  CountRule rule = CountRule::kHeap;
  // Data object numbers whose blocks belong to the table.
  std::unordered_set<std::uint32_t> accepted_objects;
  // Data object numbers of free-list segments; blocks of all others have the
  // automatic space management layout.
  std::unordered_set<std::uint32_t> free_list_objects;
  // The table's position in its cluster (kCluster).
  std::uint8_t cluster_position = 0;
};

// Records of the table that start in one block (0 for blocks of other
// types or segments).
std::uint64_t CountBlockRecords(ByteView block, const CountTarget& target);

struct CountResult {
  std::uint64_t records = 0;
  std::uint64_t blocks_read = 0;
  std::uint64_t blocks_unreadable = 0;
  // Blocks whose checksum contradicts them (their DBAs, in reading order)
  // and the records of the table that start in them.
  std::vector<std::uint32_t> bad_checksum_blocks;
  std::uint64_t suspect_records = 0;
  bool stopped = false;
};

// Counts over a block list, in list order. Progress: one step per block;
// ShowCount with the running count after every block that added records.
// counted_before: records already counted in earlier lists of the same table
// (the running count shown starts there; the result holds this list's).
CountResult CountRecords(BlockSource& source, const std::vector<std::uint32_t>& dbas,
                         const CountTarget& target, NotificationSink& sink, const StopFlag& stop,
                         std::uint64_t counted_before = 0);
// The same over the blocks of a list of extents (a segment walk's extents).
CountResult CountRecords(BlockSource& source, const std::vector<ExtentEntry>& extents,
                         const CountTarget& target, NotificationSink& sink, const StopFlag& stop,
                         std::uint64_t counted_before = 0);

}  // namespace quillon
