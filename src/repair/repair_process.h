// The repair process: the rescued tables and their rows written into a
// target, with the repair's log lines. The worker's repair branch and
// `quillon repair` both run it; the caller has connected the target and
// disconnects it afterwards.
//
// Log lines go to the engine's notification sink (AppendLog), the progress
// of each table's blocks as Progress, the running row count as ShowCount,
// and each finished table as UncheckTable with its place in the list. The
// engine's stop flag is polled before each table and while rows are read:
// a stop ends the process after the current table, without the closing
// lines.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "repair/target.h"
#include "reader/engine.h"

namespace quillon::repair {

// The SQL a target reads: SQLite's own dialect (tables built from the
// catalogue views, Oracle texts to the side file) or Oracle's.
enum class TargetDialect : std::uint8_t { kSqlite, kOracle };

struct RepairResult {
  bool stopped = false;
  std::uint64_t tables_selected = 0;
  std::uint64_t tables_not_created = 0;
  std::uint64_t rows = 0;
  std::uint64_t failed_rows = 0;
  std::uint64_t partial_rows = 0;
  // Oracle texts the target cannot hold (views, code, check conditions in
  // SQLite), as a script for an Oracle database.
  std::string side_text;
  // Each failed statement or row, with the object it belongs to and the
  // target's description; row values are never in it.
  std::string errors_text;
};

// "Thursday, December 10, 2026, 02:07:09 PM": the repair log's dates.
std::string RepairLogDate();

// tables: the selected tables (object numbers) in the order of the object
// tree.
RepairResult RunRepair(COracleRecoveryTools& engine, Target& target, TargetDialect dialect,
                       const std::vector<std::uint32_t>& tables);

}  // namespace quillon::repair
