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
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "repair/repair_source.h"
#include "repair/insert_rows.h"
#include "repair/statement_sink.h"
#include "repair/storage_ddl.h"
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
  std::uint64_t failed_statements = 0;   // Oracle dialect: statements the target refused
  std::uint64_t incomplete_lobs = 0;     // LOBs written without some of their pages
  std::uint64_t lost_values = 0;         // values written as NULL because they could not be built
  std::uint64_t long_values_too_long = 0;  // LONG / LONG RAW values a script cannot hold
  // Oracle texts the target cannot hold (views, code, check conditions in
  // SQLite), as a script for an Oracle database.
  std::string side_text;
  // Each failed statement or row, with the object it belongs to and the
  // target's description; row values are never in it.
  std::string errors_text;
};

// The steps of the Oracle-dialect repair whose statements come from the
// code-object generators, in the order the repair runs them.
enum class CodePhase : std::uint8_t {
  kDatabaseLink,
  kType,
  kXmlSchema,
  kSynonym,
  kSequence,
  kView,
  kTrigger,
  kFunction,
  kMaterializedViewLog,
  kMaterializedView,
  kTypeBody,
  kProcedure,
  kPackage,
  kPackageBody,
};
// Hands the statements of one such step to the sink (which executes them
// on the target). The repair logs the step's line itself.
using CodePhaseGenerator = std::function<void(CodePhase, const RepairSource&, StatementSink&)>;

// The step's log line ("Repairing View ").
std::string_view CodePhaseLine(CodePhase phase);

struct OracleRepairOptions {
  StorageTarget storage;          // where re-created datafiles go
  CodePhaseGenerator code_phases; // empty: those steps log their line only
  // empty: the rescued XML schemas rebuild the values stored
  // object-relationally (XMLType values stored as CLOBs need no builder).
  XmlValueBuilder xml_values;
  // LONG / LONG RAW values longer than this are not written; 0: the
  // target's own limit (Target::MaxLongBytes).
  std::uint64_t max_long_bytes = 0;
  // Where the query files of the code phases are written (the views',
  // triggers' and stored units' texts, one file per kind); empty: none.
  std::string query_folder;
  // The folder the spill folder is made in; empty: the user's cache folder.
  std::string spill_root;
};

// "Thursday, December 10, 2026, 02:07:09 PM": the repair log's dates.
// The repair log's dividing lines.
inline const std::string kLogDots59(59, '.');
inline const std::string kLogDots72(72, '.');

std::string RepairLogDate();

// tables: the selected tables (object numbers) in the order of the object
// tree.
RepairResult RunRepair(COracleRecoveryTools& engine, Target& target, TargetDialect dialect,
                       const std::vector<std::uint32_t>& tables, const OracleRepairOptions& oracle = {});

// The row-pass header of a table by its kind: "Repairing Table.....",
// "Repairing Table(IOT).....", "Repairing Partitioning Table.....",
// "Repairing Subpartitioning Table.....", "Repairing Partitioning
// Table(IOT).....".
std::string_view TableHeader(const TableDefinition& table);

}  // namespace quillon::repair
