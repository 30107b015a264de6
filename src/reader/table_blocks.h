// Where a table's rows are: the segments to walk and the blocks they hold.
//
// A table with a segment of its own is walked from its segment header (a
// clustered table's header is its cluster's). An index-organized table's
// rows are in its index segment, or in the index partitions of a partitioned
// one. A partitioned table's rows are in its partitions' segments, or, when
// it has no partition segments, in the subpartitions of its composite
// partitions. Each segment is walked through its extent map chain; the data
// object numbers named by the segment headers say which blocks belong to the
// table and the header types say where each block's data header is.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "reader/block_source.h"
#include "reader/engine.h"
#include "reader/extent_map.h"
#include "reader/record_count.h"

namespace quillon {

// TAB$.PROPERTY bits that decide where the rows are.
inline constexpr std::uint64_t kPropertyPartitioned = 0x20;
inline constexpr std::uint64_t kPropertyIndexOrganized = 0x40;
inline constexpr std::uint64_t kPropertyIotOverflow = 0x200;  // the overflow segment of an IOT
// IND$.TYPE# of the index that holds an index-organized table's rows.
inline constexpr std::uint32_t kIotTopIndexType = 4;

// The index that holds an index-organized table's rows: its "IOT - TOP"
// index, else its first index; nullptr when it has none.
const IndexRecord* IotTopIndex(const Catalogue& catalogue, std::uint32_t table_object_number);

struct TableSegment {
  enum class Level : std::uint8_t { kTable, kIndex, kPartition, kSubpartition, kIndexPartition };
  Level level = Level::kTable;
  std::string name;               // partition or subpartition name; empty for the table's own segment
  std::uint32_t object_number = 0;  // OBJ# of the partition, subpartition or index (LOB fragments name it)
  std::uint32_t relative_file = 0;
  std::uint64_t header_block = 0;
  SegmentWalk walk;
};

struct TableBlocks {
  bool table_found = false;       // the catalogue has a TAB$ row for the table
  CountRule rule = CountRule::kHeap;
  std::vector<TableSegment> segments;
  // The report line's suffix: " : Partitioning ", " : Subpartitioning " or empty.
  std::string suffix;
  // Accepted data object numbers, free-list segments and cluster position.
  CountTarget target;
  bool stopped = false;

  // Every block (of walks that listed blocks).
  std::vector<std::uint32_t> AllBlocks() const;
  // Blocks in the segments' extents.
  std::size_t BlockCount() const;
  // Blocks the segments name that cannot be read at all (extent_map.h
  // MissingBlocks), in segment order.
  std::vector<MissingBlocks> Missing() const;
  std::uint64_t MissingBlockCount() const;
};

// Collects the blocks of a table (by its object number) through the
// catalogue. Segments whose header cannot be read are listed with the
// problem in their walk; they hold no blocks. A header in a missing datafile
// or past the end of its file is one missing block of the table. With kExtentsOnly the walks
// list extents, not blocks, so a table of any size takes a few bytes per
// extent.
TableBlocks CollectTableBlocks(const COracleRecoveryTools& engine, BlockSource& source,
                               std::uint32_t table_object_number, WalkListing listing = WalkListing::kBlocks);

// The DBA of a segment header given as relative file number and block, as
// the dictionary records them; std::nullopt when no registered datafile has
// that relative file number.
std::optional<std::uint32_t> SegmentHeaderDba(const DatafileList& files, std::uint32_t relative_file,
                                              std::uint64_t header_block);

}  // namespace quillon
