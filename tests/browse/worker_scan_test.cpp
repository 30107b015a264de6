#include <gtest/gtest.h>

#include <filesystem>

#include "browse/catalogue_builder.h"
#include "browse/log_text.h"
#include "browse/worker.h"
#include "support/generated_db.h"
#include "support/recording_sink.h"
#include "support/worker_run.h"
#include "support/test_paths.h"

namespace quillon {
namespace {

namespace fs = std::filesystem;

using test::MaskDates;
using test::WorkerRun;

// The scan report of an empty dictionary: every line up to the totals.
std::vector<std::string> EmptyDictionaryReport(const std::string& folder, const std::string& release_text,
                                               std::size_t datafiles) {
  const std::string dots(75, '.');
  return {
      "",
      "Scanning Process Started On <date>",
      "",
      "Selected Database For Repair  : " + folder,
      "Scanning Database......",
      "",
      "( Major Version Of Selected  Database is Oracle " + release_text + " )",
      "",
      "Total Table(s) present  :  0",
      "",
      dots,
      "Total User Type in Database                  : 0",
      "Total Synonyms in Database                  : 0",
      "Total Sequence  in Database                  : 0",
      "Total Function in Database                     : 0",
      "Total Triggers in Database                      : 0",
      "Total Package in Database                      : 0",
      "Total Package Body in Database             : 0",
      "Total Stored Procedure in Database       : 0",
      "Total View in Database                            : 0",
      "Total Cluster in Database                        : 0",
      "Total Index in Database                          : 0",
      "Total Type Body in Database                  : 0",
      "Total Role in Database                            : 0",
      "Total User in Database                            : 0",
      "Total TableSpace in Database                 : 0",
      "Total DataFile in Database                      : " + std::to_string(datafiles),
      "Total Database link in Database              : 0",
      "Total Materialized View Log                     : 0",
      "Total Materialized View                           : 0",
      dots,
      "Scanning Process completed On <date>",
  };
}

// The report of every release, line by line, for a database whose SYSTEM
// datafile holds no dictionary segments; the worker ends with ProcessEnded
// as its last notification and has built the tree.
TEST(WorkerScan, ReportOfEveryRelease) {
  const std::pair<const char*, const char*> releases[] = {
      {"8i", "8i"}, {"9i", "9i"}, {"10.1", ""}, {"10.2", "10g "}, {"11.1", "11g Release 1"}, {"11.2", "11g Release 2"},
  };
  for (const auto& [release, text] : releases) {
    SCOPED_TRACE(release);
    const test::GeneratedDb& db = test::DefaultDb(release, 8192);
    WorkerRun run;
    run.Start(db.folder + "//", db.system_path());
    EXPECT_EQ(MaskDates(run.sink.lines), EmptyDictionaryReport(db.folder, text, db.layout.files.size()));
    EXPECT_TRUE(run.result.finished);
    EXPECT_TRUE(run.result.tree_built);
    EXPECT_FALSE(run.result.stopped);
    EXPECT_EQ(run.sink.process_ended, 1);
    EXPECT_EQ(run.sink.events.back().kind, test::SinkEvent::Kind::kProcessEnded);
    ASSERT_TRUE(run.sink.tree);
    EXPECT_EQ(run.sink.tree->node(0).caption, db.folder + "//");
    EXPECT_EQ(run.sink.tree->node(*run.sink.tree->Find({"Storage", "DataFiles"})).children.size(),
              db.layout.files.size());
  }
}

// A SYSTEM datafile whose header format is unknown: the release line names
// no release and the scan stops with the unsupported line.
TEST(WorkerScan, UnsupportedRelease) {
  const test::GeneratedDb& db = test::DefaultDb("10.2", 8192);
  test::TempDir dir;
  for (const auto& f : fs::directory_iterator(db.folder)) {
    if (f.is_regular_file()) fs::copy_file(f.path(), dir / f.path().filename().string());
  }
  const std::string system = (dir / "SYSTEM01.DBF").string();
  auto bytes = test::ReadFileBytes(system);
  bytes[8192 + format::file_header::kFormat] = 0x05;  // no known header format
  test::WriteFileBytes(system, bytes);

  WorkerRun run;
  run.Start(dir.path().string(), system);
  const std::vector<std::string> expected = {
      "",
      "Scanning Process Started On <date>",
      "",
      "Selected Database For Repair  : " + dir.path().string(),
      "Scanning Database......",
      "",
      "( Major Version Of Selected  Database is Oracle  )",
      "",
      std::string(75, '.'),
      "This Version not supported so scanning stopped On  <date>",
  };
  EXPECT_EQ(MaskDates(run.sink.lines), expected);
  EXPECT_TRUE(run.result.unsupported);
  EXPECT_FALSE(run.result.tree_built);
  EXPECT_FALSE(run.sink.tree);
  EXPECT_EQ(run.sink.process_ended, 1);
}

// A stop while the dictionary is read: the worker ends before the tree.
TEST(WorkerScan, StopDuringTheDictionaryReads) {
  const test::GeneratedDb& db = test::DefaultDb("11.2", 8192);
  WorkerRun run;
  bool release_logged = false;
  run.sink.on_event = [&](const test::SinkEvent& e) {
    if (e.kind == test::SinkEvent::Kind::kAppendLog && e.text.starts_with("( Major Version")) release_logged = true;
    if (release_logged && e.kind == test::SinkEvent::Kind::kProgress && e.step == ProgressStep::kStep) {
      run.stop.Request();
    }
  };
  run.Start(db.folder, db.system_path());
  const auto lines = MaskDates(run.sink.lines);
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines[6], "( Major Version Of Selected  Database is Oracle 11g Release 2 )");
  EXPECT_EQ(lines[7], "");
  EXPECT_TRUE(run.result.stopped);
  EXPECT_FALSE(run.result.tree_built);
  EXPECT_FALSE(run.sink.tree);
  EXPECT_EQ(run.sink.process_ended, 1);
  EXPECT_EQ(run.sink.events.back().kind, test::SinkEvent::Kind::kProcessEnded);
}

// A stop requested before the worker starts: nothing but ProcessEnded.
TEST(WorkerScan, StopBeforeTheStart) {
  const test::GeneratedDb& db = test::DefaultDb("11.2", 8192);
  WorkerRun run;
  run.stop.Request();
  run.Start(db.folder, db.system_path());
  EXPECT_TRUE(run.sink.lines.empty());
  ASSERT_EQ(run.sink.events.size(), 1u);
  EXPECT_EQ(run.sink.process_ended, 1);
  EXPECT_TRUE(run.result.stopped);
}

// A worker started on a filled catalogue repairs; without a target it says
// in the log that it cannot, and ends.
TEST(WorkerScan, FilledCatalogueMeansRepair) {
  const test::GeneratedDb& db = test::DefaultDb("11.2", 8192);
  WorkerRun run;
  test::CatalogueBuilder(run.engine).Table("SCOTT", "EMP");
  run.Start(db.folder, db.system_path());
  EXPECT_EQ(run.result.mode, WorkerMode::kRepair);
  EXPECT_EQ(run.sink.lines, (std::vector<std::string>{"", scan_text::kRepairUnavailable}));
  EXPECT_EQ(run.sink.process_ended, 1);
}

TEST(WorkerScan, EngineMustShareSinkAndStop) {
  test::RecordingSink sink, other;
  StopFlag stop;
  COracleRecoveryTools engine(sink, stop);
  EXPECT_THROW(CRecoverThread(engine, other, stop, WorkerRequest{}), std::invalid_argument);
}

}  // namespace
}  // namespace quillon
