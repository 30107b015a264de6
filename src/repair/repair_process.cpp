#include "repair/repair_process.h"

#include <ctime>

#include "reader/block_source.h"
#include "reader/catalogue_views.h"
#include "repair/oracle_repair.h"
#include "repair/sqlite_target.h"
#include "repair/table_ddl.h"

namespace quillon::repair {

namespace {


class RepairRun {
 public:
  explicit RepairRun(COracleRecoveryTools& engine) : engine_(engine) {}

  void Log(const std::string& line) { engine_.sink().AppendLog(line, LogMode::kNewLine); }

  // One table's creation and rows, in SQLite's dialect.
  void SqliteTable(const CatalogueViews& views, BlockSource& source, std::uint32_t table, SqliteTarget& target,
                   const std::string& spill_root, RepairResult& result) {
    const ObjectRecord* object = engine_.catalogue.Object(table);
    const std::string name = object ? object->owner + "." + object->name : std::to_string(table);
    Log("Repairing Table....." + name + "  ");
    NotificationSink& sink = engine_.sink();
    std::uint64_t started = 0;
    const auto r = RepairTableIntoSqlite(
        engine_, source, views, table, target, result.side_text,
        [&](std::uint64_t, std::uint64_t blocks) {
          if (started++ == 0) sink.Progress(ProgressStep::kStart, blocks);
          sink.Progress(ProgressStep::kStep, 0);
          sink.ShowCount(target.RowsInserted());
        },
        spill_root);
    if (started > 0) sink.Progress(ProgressStep::kFinish, 0);
    Log("Total fields present : " + std::to_string(r.fields));
    if (!r.created) {
      Log("Table not created: its rows are not repaired");
      ++result.tables_not_created;
    }
    sink.ShowCount(r.rows);
    Log("Total record(s) recovered : " + std::to_string(r.rows));
    if (r.failed_rows > 0) Log("Failed record(s) : " + std::to_string(r.failed_rows));
    if (r.incomplete_lobs > 0) Log("Incomplete LOB value(s) : " + std::to_string(r.incomplete_lobs));
    Log(kLogDots59);
    result.rows += r.rows;
    result.incomplete_lobs += r.incomplete_lobs;
    result.failed_rows += r.failed_rows;
    result.partial_rows += r.partial_rows;
    for (const std::string& e : r.errors) result.errors_text += name + "\n" + e + "\n\n";
    if (r.stopped) result.stopped = true;
  }

 private:
  COracleRecoveryTools& engine_;
};

}  // namespace

std::string_view CodePhaseLine(CodePhase phase) {
  switch (phase) {
    case CodePhase::kDatabaseLink: return "Repairing Database Link ";
    case CodePhase::kType: return "Repairing Type ";
    case CodePhase::kXmlSchema: return "Repairing XmlSchema ";
    case CodePhase::kSynonym: return "Repairing Synonyms   ";
    case CodePhase::kSequence: return "Repairing Sequence ";
    case CodePhase::kView: return "Repairing View ";
    case CodePhase::kTrigger: return "Repairing Trigger ";
    case CodePhase::kFunction: return "Repairing Function   ";
    case CodePhase::kMaterializedViewLog: return "Repairing Materialized view log ";
    case CodePhase::kMaterializedView: return "Repairing Materialized view";
    case CodePhase::kTypeBody: return "Repairing Type Body   ";
    case CodePhase::kProcedure: return "Repairing Stored Procedure ";
    case CodePhase::kPackage: return "Repairing Package ";
    case CodePhase::kPackageBody: return "Repairing Package Body ";
  }
  return "";
}

std::string_view TableHeader(const TableDefinition& table) {
  const TableShape shape = TableShapeOf(table.property);
  const bool partitioned = table.partitioned || shape.partitioned;
  const bool iot = table.index_organized || shape.index_organized;
  if (partitioned && iot) return "Repairing Partitioning Table(IOT).....";
  if (partitioned && table.partitioning && table.partitioning->subpartitioning) {
    return "Repairing Subpartitioning Table.....";
  }
  if (partitioned) return "Repairing Partitioning Table.....";
  if (iot) return "Repairing Table(IOT).....";
  return "Repairing Table.....";
}

std::string RepairLogDate() {
  const std::time_t t = std::time(nullptr);
  std::tm local{};
  localtime_r(&t, &local);
  char text[96];
  const std::size_t n = std::strftime(text, sizeof text, "%A, %B %d, %Y, %I:%M:%S %p", &local);
  return std::string(text, n);
}

RepairResult RunRepair(COracleRecoveryTools& engine, Target& target, TargetDialect dialect,
                       const std::vector<std::uint32_t>& tables, const OracleRepairOptions& oracle) {
  RepairResult result;
  result.tables_selected = tables.size();
  RepairRun run(engine);
  run.Log("");
  run.Log("Repair Process Started On " + RepairLogDate());
  run.Log(kLogDots59);
  if (dialect == TargetDialect::kOracle) {
    RunOraclePhases(engine, target, tables, oracle, result);
    if (result.stopped) return result;
    run.Log(kLogDots72);
    run.Log("Repairing process completed on....." + RepairLogDate());
    return result;
  }
  auto* sqlite = dynamic_cast<SqliteTarget*>(&target);
  if (!sqlite) {
    result.errors_text += "The SQLite dialect is written only into a SQLite file\n";
    ++result.failed_statements;
    return result;
  }
  const CatalogueViews views(engine.catalogue);
  BlockSource source(engine.datafiles);
  run.Log("Repairing Index ");
  run.Log("Total table(s) selected : " + std::to_string(tables.size()));
  run.Log(kLogDots59);
  for (std::size_t i = 0; i < tables.size(); ++i) {
    if (engine.StopRequested()) {
      result.stopped = true;
      break;
    }
    run.SqliteTable(views, source, tables[i], *sqlite, oracle.spill_root, result);
    engine.sink().UncheckTable(i);
    if (result.stopped || engine.StopRequested()) {
      result.stopped = true;
      break;
    }
  }
  if (tables.empty()) engine.sink().UncheckTable(0);
  if (result.stopped) return result;
  run.Log(kLogDots72);
  run.Log("Repairing process completed on....." + RepairLogDate());
  return result;
}

}  // namespace quillon::repair
