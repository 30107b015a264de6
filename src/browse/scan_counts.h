// The last phase of the scan: the records of every table the object tree
// shows, one report line each.
//
// For each shown table, in tree order, the line "OWNER.TABLE : " starts; the
// table's segments are walked (its own, its index-organized index, its
// partitions or subpartitions: table_blocks.h) and every block is counted
// (record_count.h); when the table has at least one column record the line
// goes on with the count, " Record(s)" and the partitioning suffix
// (" : Partitioning " or " : Subpartitioning "). A table whose blocks cannot
// be found is counted as 0.
//
// Progress: a start with the table's block count, a step per block, a finish
// per table; the running count at most once per block.
//
// Damage: every block counted is checked against its checksum (when its
// header says it carries one); a block whose checksum contradicts it is
// counted all the same and named, with the records that start in it. Blocks
// the table's extents name past the end of a datafile or in a missing
// datafile are named too. After the totals the report says how many such
// blocks there are and in which tables (DamageReportLines).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "browse/object_tree.h"
#include "reader/engine.h"
#include "reader/extent_map.h"

namespace quillon {

struct TableCount {
  std::string text;               // OWNER.TABLE
  std::uint32_t object_number = 0;
  bool has_columns = false;       // the report line carries the count
  std::uint64_t records = 0;
  std::string suffix;             // " : Partitioning ", " : Subpartitioning " or empty
  std::uint64_t blocks = 0;       // blocks in the table's segments
  std::uint64_t blocks_unreadable = 0;
  std::vector<std::uint32_t> bad_checksum_blocks;  // DBAs of blocks whose checksum contradicts them
  std::uint64_t suspect_records = 0;               // records counted in those blocks
  std::vector<MissingBlocks> missing;              // blocks no datafile holds
  std::uint64_t blocks_missing = 0;
  bool complete = false;          // counted to the last block
};

// The report line's text after "OWNER.TABLE : ".
std::string RecordCountText(const TableCount& count);

// The report lines after the totals on damaged blocks: one on blocks with a
// bad checksum, one on missing blocks, each only when there are such blocks.
// A block two tables share (a cluster's) is counted once.
std::vector<std::string> DamageReportLines(const std::vector<TableCount>& counts);

// Counts the shown tables, appending one TableCount per table begun. The
// stop flag is polled before every table and after every block; a table
// whose count a stop request cut short keeps its line without a count.
// False when a stop request ended the counting.
bool CountShownTables(COracleRecoveryTools& engine, const std::vector<ShownTable>& shown,
                      std::vector<TableCount>& out);

}  // namespace quillon
