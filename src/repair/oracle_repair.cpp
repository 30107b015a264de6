#include "repair/oracle_repair.h"

#include <algorithm>
#include <memory>

#include "reader/block_source.h"
#include "reader/catalogue_views.h"
#include "repair/code_ddl.h"
#include "repair/key_ddl.h"
#include "repair/link_ddl.h"
#include "repair/mview_ddl.h"
#include "repair/query_files.h"
#include "repair/retry_list.h"
#include "repair/system_schemas.h"
#include "repair/trigger_ddl.h"
#include "repair/xml_schema_ddl.h"
#include "repair/xml_value.h"
#include "repair/quoting.h"
#include "repair/security_ddl.h"
#include "repair/spill_folder.h"
#include "repair/table_ddl.h"
#include "repair/table_phases.h"

namespace quillon::repair {

namespace {


// Executes every statement it is given on the target; failures are counted
// and described (with the statement, its password place masked) for the
// error file.
class ExecutingSink final : public StatementSink {
 public:
  ExecutingSink(Target& target, RepairResult& result) : target_(target), result_(result) {}

  void Accept(const Statement& statement) override {
    ++executed_;
    if (target_.Execute(statement)) return;
    // A view, trigger or unit that uses an object made later gets a second
    // run (RetryFailed); only a second failure is one.
    if (retries_.Failed(statement)) return;
    Failed(statement);
  }
  void RetryFailed() override {
    for (const Statement& statement : retries_.Take()) {
      if (!target_.Execute(statement)) Failed(statement);
    }
  }
  void Skipped(const StatementNote& note, std::string_view reason) override {
    ++skipped_;
    result_.errors_text += note.object + "\nleft out: " + std::string(reason) + "\n\n";
  }

  // Failures since the last call (objects every new database has are not
  // counted: their CREATE is expected to fail).
  std::uint64_t TakeFailures() {
    const std::uint64_t n = counted_failures_;
    counted_failures_ = 0;
    return n;
  }
  std::uint64_t executed() const { return executed_; }
  // Failures waiting for a retry are failures after all (a stop came
  // before the retry).
  void GiveUpRetries() {
    for (const Statement& statement : retries_.Take()) Failed(statement);
  }
  std::uint64_t failed() const { return failed_; }
  std::uint64_t skipped() const { return skipped_; }

 private:
  Target& target_;
  RepairResult& result_;
  std::uint64_t executed_ = 0;
  std::uint64_t failed_ = 0;
  std::uint64_t skipped_ = 0;
  std::uint64_t counted_failures_ = 0;
  RetryList retries_;

  void Failed(const Statement& statement) {
    ++failed_;
    if (!statement.note.built_in) ++counted_failures_;
    result_.errors_text += statement.note.object + (statement.note.built_in ? " (built in)" : "") + "\n" +
                           target_.DescribeError() + "\n" + statement.Render(kPasswordMask) + "\n\n";
  }
};

// The generators of the code phases (database links to package bodies);
// types and the units after the package bodies get their retry.
void GenerateCodePhase(CodePhase phase, const RepairSource& source, StatementSink& sink) {
  const Catalogue& c = source.catalogue;
  switch (phase) {
    case CodePhase::kDatabaseLink: CreateDatabaseLinks(c, sink); break;
    case CodePhase::kType:
      CreateTypes(c, sink);
      sink.RetryFailed();
      break;
    case CodePhase::kXmlSchema: RegisterXmlSchemas(c, sink); break;
    case CodePhase::kSynonym: CreateSynonyms(c, sink); break;
    case CodePhase::kSequence: CreateSequences(c, sink); break;
    case CodePhase::kView: CreateViews(c, sink); break;
    case CodePhase::kTrigger: CreateTriggers(c, sink); break;
    case CodePhase::kFunction: CreateFunctions(c, sink); break;
    case CodePhase::kMaterializedViewLog: CreateMaterializedViewLogs(c, sink); break;
    case CodePhase::kMaterializedView: CreateMaterializedViews(c, sink); break;
    case CodePhase::kTypeBody: CreateTypeBodies(c, sink); break;
    case CodePhase::kProcedure: CreateProcedures(c, sink); break;
    case CodePhase::kPackage: CreatePackages(c, sink); break;
    case CodePhase::kPackageBody:
      CreatePackageBodies(c, sink);
      // Views, triggers and units that used an object made after them,
      // once more now that everything exists.
      sink.RetryFailed();
      break;
  }
}

// The indexes of the clusters, then those of the tables.
std::vector<IndexDefinition> IndexesOf(const CatalogueViews& views, const std::vector<TableDefinition>& tables) {
  std::vector<IndexDefinition> out;
  for (const TableDefinition& t : tables) {
    for (IndexDefinition& ix : views.IndexesOf(t.object.object_number)) out.push_back(std::move(ix));
  }
  return out;
}

class OracleRun {
 public:
  OracleRun(COracleRecoveryTools& engine, Target& target, const OracleRepairOptions& options, RepairResult& result)
      : engine_(engine),
        target_(target),
        options_(options),
        result_(result),
        source_{engine.catalogue, engine.datafiles},
        views_(engine.catalogue),
        sink_(target, result),
        query_files_(sink_),
        // XMLType values stored object-relationally are rebuilt from the
        // rescued schemas unless the caller brings a builder of its own.
        xml_values_(options.xml_values ? options.xml_values
                                       : MakeXmlValueBuilder(engine.catalogue, engine.values.database())) {}

  void Log(const std::string& line) { engine_.sink().AppendLog(line, LogMode::kNewLine); }

  // The failures of the statements run since the last phase line.
  void LogFailures() {
    const std::uint64_t n = sink_.TakeFailures();
    result_.failed_statements += n;
    if (n > 0) Log("Failed statement(s) : " + std::to_string(n));
  }

  void Phase(std::string_view line) {
    LogFailures();
    Log(std::string(line));
    target_.BeginPhase(line);
  }

  void Code(CodePhase phase) {
    Phase(CodePhaseLine(phase));
    if (options_.code_phases) {
      options_.code_phases(phase, source_, query_files_);
    } else {
      GenerateCodePhase(phase, source_, query_files_);
    }
  }

  bool Stopped() const { return engine_.StopRequested(); }

  void Run(const std::vector<std::uint32_t>& selected) {
    Phase(kPhaseTablespace);
    CreateTablespaces(source_, options_.storage, sink_);
    Phase(kPhaseDatafile);
    AddDatafiles(source_, options_.storage, sink_);
    Phase(kPhaseRole);
    CreateRoles(source_, sink_);
    Phase(kPhaseUser);
    CreateUsers(source_, sink_);
    Code(CodePhase::kDatabaseLink);
    // The first run of the object privileges has no line of its own: the
    // grants on objects that exist already (other schemas' tables do not
    // yet) go in here; the last run below gives the rest.
    GrantUserObjectPrivileges(source_, sink_);
    GrantRoleObjectPrivileges(source_, sink_);
    Code(CodePhase::kType);
    Code(CodePhase::kXmlSchema);

    Phase(kPhaseCluster);
    std::vector<ClusterDefinition> clusters;
    for (const ObjectRecord& o : engine_.catalogue.ObjectsOfKind(ObjectKind::kCluster)) {
      if (Stopped()) break;
      if (IsBuiltinUser(o.owner)) continue;
      clusters.push_back(views_.Cluster(o));
    }
    CreateClusters(clusters, sink_);

    Phase(kPhaseIndex);
    TablePhase(selected, clusters);
    if (result_.stopped) return;

    for (const CodePhase p : {CodePhase::kSynonym, CodePhase::kSequence, CodePhase::kView, CodePhase::kTrigger,
                              CodePhase::kFunction, CodePhase::kMaterializedViewLog, CodePhase::kMaterializedView,
                              CodePhase::kTypeBody, CodePhase::kProcedure, CodePhase::kPackage,
                              CodePhase::kPackageBody}) {
      if (Stopped()) break;
      Code(p);
    }
    // The last run of the object privileges: every object exists now
    // (views and materialized views included).
    if (!Stopped()) {
      Phase(kPhaseUserObjectPrivilege);
      GrantUserObjectPrivileges(source_, sink_);
    }
    if (!Stopped()) {
      Phase(kPhaseRoleObjectPrivilege);
      GrantRoleObjectPrivileges(source_, sink_);
    }
    sink_.GiveUpRetries();
    LogFailures();
    if (Stopped()) result_.stopped = true;
    WriteQueryFiles();
  }

  // The texts of the views, triggers and stored units, one file per kind,
  // beside the repair's other files.
  void WriteQueryFiles() {
    if (options_.query_folder.empty() || query_files_.files().empty()) return;
    for (const std::string& name : query_files_.WriteInto(options_.query_folder)) {
      result_.errors_text += "Query file " + name + "\ncannot be written into " + options_.query_folder + "\n\n";
    }
  }

 private:
  struct Selected {
    std::size_t index = 0;  // place in the selection
    TableDefinition table;
    bool created = false;
    bool with_parent = false;  // nested-table storage or IOT overflow: its parent creates it
  };

  void TablePhase(const std::vector<std::uint32_t>& selected_numbers, const std::vector<ClusterDefinition>& clusters) {
    NotificationSink& sink = engine_.sink();
    Log("Total table(s) selected : " + std::to_string(selected_numbers.size()));
    Log(kLogDots59);
    std::vector<Selected> selected;
    std::vector<TableDefinition> created;
    sink.Progress(ProgressStep::kStart, selected_numbers.size());
    // Creation pass.
    for (std::size_t i = 0; i < selected_numbers.size(); ++i) {
      if (Stopped()) {
        sink.Progress(ProgressStep::kFinish, 0);
        result_.stopped = true;
        return;
      }
      const ObjectRecord* object = engine_.catalogue.Object(selected_numbers[i]);
      if (!object || object->owner == "SYS") {  // SYS's tables are never re-created
        sink.Progress(ProgressStep::kStep, 0);
        continue;
      }
      if (IsXmlRepositoryTable(object->owner, object->name)) {
        result_.errors_text += "Table " + PrintableName(object->owner) + "." + PrintableName(object->name) +
                               "\nleft out: it belongs to the XML DB repository, which the new database has of "
                               "its own\n\n";
        sink.Progress(ProgressStep::kStep, 0);
        continue;
      }
      Selected s;
      s.index = i;
      s.table = views_.Table(*object);
      s.with_parent = s.table.nested_table_storage || s.table.iot_overflow_segment;
      if (!s.with_parent) {
        const std::uint64_t failed_before = sink_.failed();
        const std::uint64_t executed_before = sink_.executed();
        CreateTableStatement(s.table, sink_);
        s.created = sink_.executed() > executed_before && sink_.failed() == failed_before;
        if (s.created) created.push_back(s.table);
      }
      selected.push_back(std::move(s));
      sink.Progress(ProgressStep::kStep, 0);
    }
    sink.Progress(ProgressStep::kFinish, 0);
    AddKeyAndCheckConstraints(created, sink_);
    std::vector<IndexDefinition> indexes;
    for (const ClusterDefinition& c : clusters) {
      for (IndexDefinition& ix : views_.IndexesOf(c.object.object_number)) indexes.push_back(std::move(ix));
    }
    for (IndexDefinition& ix : IndexesOf(views_, created)) indexes.push_back(std::move(ix));
    CreateIndexes(indexes, created, sink_);
    LogFailures();

    // Row pass.
    std::string spill_error;
    std::unique_ptr<SpillFolder> spill = SpillFolder::Create(&spill_error, options_.spill_root);
    if (!spill) Log("No spill folder: " + spill_error);
    BlockSource source(engine_.datafiles);
    std::size_t next = 0;
    for (std::size_t i = 0; i < selected_numbers.size(); ++i) {
      if (Stopped()) {
        result_.stopped = true;
        break;
      }
      if (next < selected.size() && selected[next].index == i) {
        RowPass(selected[next], source, spill.get());
        ++next;
      }
      sink.UncheckTable(i);
      if (result_.stopped) break;
    }
    if (selected_numbers.empty()) sink.UncheckTable(0);
    spill.reset();  // removes the spill folder, also after a stop
    if (result_.stopped || Stopped()) {
      result_.stopped = true;
      return;
    }
    ApplyColumnDefaults(created, sink_);
    AddForeignKeys(created, sink_);
  }

  void RowPass(Selected& s, BlockSource& source, SpillFolder* spill) {
    NotificationSink& sink = engine_.sink();
    const TableDefinition& t = s.table;
    const std::string name = PrintableName(t.object.owner) + "." + PrintableName(t.object.name);
    Log(std::string(TableHeader(t)) + name + "  ");
    if (s.with_parent) {
      Log("Created with its parent table: not repaired on its own");
      Log(kLogDots59);
      return;
    }
    if (!s.created || !spill) {
      // No INSERT can succeed: the rows are counted, not offered.
      std::uint64_t rows = 0;
      struct Counter final : RowConsumer {
        std::uint64_t& n;
        const COracleRecoveryTools& e;
        Counter(std::uint64_t& rows, const COracleRecoveryTools& engine) : n(rows), e(engine) {}
        bool Row(const TableRow&) override {
          ++n;
          return !e.StopRequested();
        }
      } counter(rows, engine_);
      TableRowReader reader(engine_, source, t.object.object_number);
      Log("Total fields present : " + std::to_string(InsertColumns(t, reader.layout()).size()));
      reader.Read(TableRowReader::Begin(), 0, counter);
      Log(s.created ? "No spill folder: its rows are not repaired" : "Table not created: its rows are not repaired");
      if (!s.created) ++result_.tables_not_created;
      Log("Total record(s) recovered : 0");
      if (rows > 0) Log("Failed record(s) : " + std::to_string(rows));
      Log(kLogDots59);
      result_.failed_rows += rows;
      if (reader.stopped()) result_.stopped = true;
      return;
    }
    InsertOptions options;
    options.max_long_bytes = options_.max_long_bytes > 0 ? options_.max_long_bytes : target_.MaxLongBytes();
    options.xml_values = xml_values_;
    std::uint64_t started = 0;
    options.progress = [&](std::uint64_t, std::uint64_t blocks) {
      if (started++ == 0) sink.Progress(ProgressStep::kStart, blocks);
      sink.Progress(ProgressStep::kStep, 0);
      sink.ShowCount(target_.RowsInserted());
    };
    InsertResult r = InsertTableRows(engine_, source, t, target_, *spill, options);
    if (started > 0) sink.Progress(ProgressStep::kFinish, 0);
    Log("Total fields present : " + std::to_string(r.fields));
    sink.ShowCount(r.rows);
    Log("Total record(s) recovered : " + std::to_string(r.rows));
    if (r.failed_rows > 0) Log("Failed record(s) : " + std::to_string(r.failed_rows));
    if (r.incomplete_lobs > 0) Log("Incomplete LOB value(s) : " + std::to_string(r.incomplete_lobs));
    if (r.lost_values > 0) Log("Value(s) written as NULL : " + std::to_string(r.lost_values));
    if (r.long_values_too_long > 0) {
      Log("LONG value(s) over 32 KB not scripted : " + std::to_string(r.long_values_too_long));
    }
    Log(kLogDots59);
    result_.rows += r.rows;
    result_.failed_rows += r.failed_rows;
    result_.partial_rows += r.partial_rows;
    result_.incomplete_lobs += r.incomplete_lobs;
    result_.lost_values += r.lost_values;
    result_.long_values_too_long += r.long_values_too_long;
    for (const std::string& e : r.errors) result_.errors_text += "Table " + name + "\n" + e + "\n\n";
    if (r.stopped) result_.stopped = true;
  }

  COracleRecoveryTools& engine_;
  Target& target_;
  const OracleRepairOptions& options_;
  RepairResult& result_;
  RepairSource source_;
  CatalogueViews views_;
  ExecutingSink sink_;
  QueryFileSink query_files_;
  XmlValueBuilder xml_values_;
};

}  // namespace

void RunOraclePhases(COracleRecoveryTools& engine, Target& target, const std::vector<std::uint32_t>& tables,
                     const OracleRepairOptions& options, RepairResult& result) {
  OracleRun run(engine, target, options, result);
  run.Run(tables);
}

}  // namespace quillon::repair
