// The worker's repair branch: the tree's checked tables resolved to their
// objects, the repair written into a connected SQLite target with the
// repair's log, each finished table reported for unchecking by its place in
// the list, the target disconnected and the side texts written beside it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "browse/repair_tables.h"
#include "browse/tree_generate.h"
#include "browse/worker.h"
#include "repair/sqlite_target.h"
#include "support/generated_schema_db.h"
#include "support/worker_run.h"
#include "support/text_helpers.h"

namespace quillon {
namespace {

// The recording sink, with the places of the unchecked tables; with
// stop_at_table set it requests a stop when the first table starts.
class UncheckSink : public test::RecordingSink {
 public:
  void UncheckTable(std::size_t position) override { unchecked.push_back(position); }
  void AppendLog(std::string_view text, LogMode mode) override {
    test::RecordingSink::AppendLog(text, mode);
    if (stop_at_table != nullptr && text.rfind("Repairing Table.....", 0) == 0) stop_at_table->Request();
  }
  std::vector<std::size_t> unchecked;
  StopFlag* stop_at_table = nullptr;
};

struct RepairRun {
  UncheckSink sink;
  StopFlag stop;
  COracleRecoveryTools engine{sink, stop};

  WorkerResult Run(const test::GeneratedSchemaDb& db, WorkerMode mode, const RepairRequest* repair = nullptr) {
    sink.process_ended = 0;
    CRecoverThread worker(engine, sink, stop, WorkerRequest{{db.folder, db.system_path()}, mode, nullptr, repair});
    {
      const std::jthread thread = StartWorkerThread(worker);
    }
    return worker.result();
  }
};

TEST(WorkerRepair, CheckedTablesResolveInTreeOrder) {
  const test::GeneratedSchemaDb& db = test::SampleDb("11.2", 8192);
  RepairRun run;
  run.Run(db, WorkerMode::kScan);
  ObjectTree tree = GenerateTree(run.engine, db.folder);
  const std::vector<std::string> checked = tree.CollectRepairTableList();
  ASSERT_GT(checked.size(), 2u);

  RepairTables all = SelectRepairTables(tree, run.engine.catalogue);
  EXPECT_EQ(all.names, checked);
  ASSERT_EQ(all.objects.size(), all.names.size());
  for (std::size_t i = 0; i < all.names.size(); ++i) {
    const ObjectRecord* object = run.engine.catalogue.Object(all.objects[i]);
    ASSERT_NE(object, nullptr) << all.names[i];
    EXPECT_EQ(object->owner + "." + object->name, all.names[i]);
  }

  // A caption no table carries is left out of both lists, which stay in step.
  const std::optional<NodeId> tables = tree.Find({"Schema", "SYSTEM", "Tables"});
  ASSERT_TRUE(tables.has_value());
  tree.Add(*tables, "NO_SUCH_TABLE", 26, CheckState::kChecked);
  const RepairTables with_stray = SelectRepairTables(tree, run.engine.catalogue);
  EXPECT_EQ(with_stray.names, all.names);
  EXPECT_EQ(with_stray.objects, all.objects);

  // Nothing checked, nothing chosen.
  tree.ToggleCheck(tree.root());
  EXPECT_TRUE(SelectRepairTables(tree, run.engine.catalogue).names.empty());
}

TEST(WorkerRepair, WritesIntoTheConnectedTarget) {
  const test::GeneratedSchemaDb& db = test::SampleDb("11.2", 8192);
  RepairRun run;
  run.Run(db, WorkerMode::kScan);
  const RepairTables chosen = SelectRepairTables(GenerateTree(run.engine, db.folder), run.engine.catalogue);
  ASSERT_FALSE(chosen.objects.empty());

  const std::filesystem::path out = test::FreshFolder("worker-repair");
  repair::SqliteTarget target((out / "DB.sqlite").string());
  ASSERT_TRUE(target.Connect());
  RepairRequest request;
  request.target = &target;
  request.dialect = repair::TargetDialect::kSqlite;
  request.tables = chosen.objects;
  request.side_file = (out / "DB.oracle.sql").string();
  request.errors_file = (out / "RepairErrors.log").string();
  run.sink.lines.clear();
  const WorkerResult result = run.Run(db, WorkerMode::kRepair, &request);

  EXPECT_EQ(result.mode, WorkerMode::kRepair);
  EXPECT_TRUE(result.finished);
  EXPECT_FALSE(result.stopped);
  ASSERT_TRUE(result.repair_result.has_value());
  EXPECT_EQ(result.repair_result->tables_selected, chosen.objects.size());
  EXPECT_GT(result.repair_result->rows, 0u);
  std::vector<std::size_t> positions(chosen.objects.size());
  for (std::size_t i = 0; i < positions.size(); ++i) positions[i] = i;
  EXPECT_EQ(run.sink.unchecked, positions);
  EXPECT_EQ(run.sink.process_ended, 1);

  const std::vector<std::string> lines = test::MaskDates(run.sink.lines);
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[1], "Repair Process Started On <date>");
  EXPECT_EQ(lines.back().rfind("Repairing process completed on.....", 0), 0u) << lines.back();
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                          [](const std::string& l) { return l.rfind("Repairing Table.....", 0) == 0; }),
            static_cast<std::ptrdiff_t>(chosen.objects.size()));

  // Disconnected: the file is whole and may be opened again; the side
  // texts are beside it, the error file only when something failed.
  EXPECT_TRUE(target.Connect());
  target.Disconnect();
  EXPECT_EQ(std::filesystem::exists(request.side_file), !result.repair_result->side_text.empty());
  if (!result.repair_result->side_text.empty()) {
    EXPECT_EQ(test::ReadFileText(request.side_file), result.repair_result->side_text);
  }
  EXPECT_EQ(std::filesystem::exists(request.errors_file), !result.repair_result->errors_text.empty());
}

TEST(WorkerRepair, StopEndsAfterTheCurrentTable) {
  const test::GeneratedSchemaDb& db = test::SampleDb("11.2", 8192);
  RepairRun run;
  run.Run(db, WorkerMode::kScan);
  const RepairTables chosen = SelectRepairTables(GenerateTree(run.engine, db.folder), run.engine.catalogue);
  ASSERT_GT(chosen.objects.size(), 1u);
  const std::filesystem::path out = test::FreshFolder("worker-repair-stop");
  repair::SqliteTarget target((out / "DB.sqlite").string());
  ASSERT_TRUE(target.Connect());
  RepairRequest request;
  request.target = &target;
  request.tables = chosen.objects;
  run.sink.lines.clear();
  run.sink.stop_at_table = &run.stop;
  const WorkerResult result = run.Run(db, WorkerMode::kRepair, &request);
  EXPECT_TRUE(result.stopped);
  EXPECT_FALSE(result.finished);
  EXPECT_EQ(run.sink.unchecked, std::vector<std::size_t>{0});
  const std::vector<std::string> lines = test::MaskDates(run.sink.lines);
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                          [](const std::string& l) { return l.rfind("Repairing Table.....", 0) == 0; }),
            1);
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                          [](const std::string& l) { return l.rfind("Repairing process completed on", 0) == 0; }),
            0);
  EXPECT_EQ(run.sink.process_ended, 1);
}

}  // namespace
}  // namespace quillon
