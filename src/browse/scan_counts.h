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
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "browse/object_tree.h"
#include "reader/engine.h"

namespace quillon {

struct TableCount {
  std::string text;               // OWNER.TABLE
  std::uint32_t object_number = 0;
  bool has_columns = false;       // the report line carries the count
  std::uint64_t records = 0;
  std::string suffix;             // " : Partitioning ", " : Subpartitioning " or empty
  std::uint64_t blocks = 0;       // blocks in the table's segments
  std::uint64_t blocks_unreadable = 0;
  bool complete = false;          // counted to the last block
};

// The report line's text after "OWNER.TABLE : ".
std::string RecordCountText(const TableCount& count);

// Counts the shown tables, appending one TableCount per table begun. The
// stop flag is polled before every table and after every block; a table
// whose count a stop request cut short keeps its line without a count.
// False when a stop request ended the counting.
bool CountShownTables(COracleRecoveryTools& engine, const std::vector<ShownTable>& shown,
                      std::vector<TableCount>& out);

}  // namespace quillon
