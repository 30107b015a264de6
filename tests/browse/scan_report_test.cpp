// The whole scan over generated databases with a data dictionary and table
// data, for every release the dictionary writer knows: the report line by
// line (dates masked), the tree handed to the front end, and stops during
// the counts.
#include <gtest/gtest.h>

#include "browse/worker.h"
#include "support/recording_sink.h"
#include "support/schema_db.h"
#include "support/worker_run.h"

namespace quillon {
namespace {

struct ReleaseCase {
  const char* release;
  const char* text;  // ReleaseText
};
constexpr ReleaseCase kReleases[] = {
    {"9i", "9i"}, {"10.2", "10g "}, {"11.1", "11g Release 1"}, {"11.2", "11g Release 2"}};

// The report of the schema database up to the table counts.
std::vector<std::string> ReportHead(const std::string& folder, const std::string& release_text) {
  return {"",
          "Scanning Process Started On <date>",
          "",
          "Selected Database For Repair  : " + folder,
          "Scanning Database......",
          "",
          "( Major Version Of Selected  Database is Oracle " + release_text + " )",
          "",
          "Total Table(s) present  :  5",
          ""};
}

TEST(ScanReport, EveryReleaseLineByLine) {
  for (const ReleaseCase& c : kReleases) {
    SCOPED_TRACE(c.release);
    const test::SchemaDb& schema = test::SchemaDatabase(c.release);
    const test::GeneratedDb& db = *schema.db;
    test::WorkerRun run;
    run.Start(db.folder, db.system_path());

    std::vector<std::string> expected = ReportHead(db.folder, c.text);
    const std::string dots(75, '.');
    const std::vector<std::string> tail = {
        "SCOTT.EMP : " + std::to_string(schema.rows.at("SCOTT.EMP")) + " Record(s)",
        "SCOTT.DEPT : 4 Record(s)",
        "SCOTT.NOCOLS : ",  // no column records: no count
        "HR.EMPTY : 0 Record(s)",
        dots,
        "Total User Type in Database                  : 0",
        "Total Synonyms in Database                  : 0",
        "Total Sequence  in Database                  : 1",
        "Total Function in Database                     : 0",
        "Total Triggers in Database                      : 0",
        "Total Package in Database                      : 0",
        "Total Package Body in Database             : 0",
        "Total Stored Procedure in Database       : 0",
        "Total View in Database                            : 1",
        "Total Cluster in Database                        : 0",
        "Total Index in Database                          : 0",
        "Total Type Body in Database                  : 0",
        "Total Role in Database                            : 1",
        "Total User in Database                            : 3",
        "Total TableSpace in Database                 : 2",
        "Total DataFile in Database                      : " + std::to_string(db.layout.files.size()),
        "Total Database link in Database              : 0",
        "Total Materialized View Log                     : 0",
        "Total Materialized View                           : 0",
        dots,
        "Scanning Process completed On <date>",
    };
    expected.insert(expected.end(), tail.begin(), tail.end());
    EXPECT_EQ(test::MaskDates(run.sink.lines), expected);
    EXPECT_EQ(schema.rows.at("SCOTT.EMP"), 152u);  // 150 + migrated + chained
    EXPECT_TRUE(run.result.finished);
    EXPECT_EQ(run.sink.process_ended, 1);
    EXPECT_EQ(run.sink.events.back().kind, test::SinkEvent::Kind::kProcessEnded);

    // The tree the front end received.
    ASSERT_TRUE(run.sink.tree);
    const ObjectTree& tree = *run.sink.tree;
    EXPECT_TRUE(tree.Find({"Schema", "SCOTT", "Tables", "EMP", "Columns", "EMPNO NUMBER(4, 0) not null"}));
    EXPECT_TRUE(tree.Find({"Schema", "SCOTT", "Tables", "EMP", "Columns", "ENAME VARCHAR2(40)"}));
    EXPECT_FALSE(tree.Find({"Schema", "SCOTT", "Tables", "MLOG$_EMP"}));
    EXPECT_TRUE(tree.Find({"Schema", "SCOTT", "Views", "V_EMP"}));
    EXPECT_TRUE(tree.Find({"Schema", "SCOTT", "Sequences", "S_EMP"}));
    ASSERT_EQ(tree.shown_tables().size(), 4u);
    EXPECT_EQ(tree.shown_tables()[0].text, "SCOTT.EMP");
    ASSERT_EQ(run.result.tables.size(), 4u);
    EXPECT_EQ(run.result.tables[1].records, 4u);
  }
}

// A stop during the counts: the table being counted keeps its line without
// a number; no totals, no completion line.
TEST(ScanReport, StopDuringTheCounts) {
  const test::SchemaDb& schema = test::SchemaDatabase("11.2");
  const test::GeneratedDb& db = *schema.db;
  test::WorkerRun run;
  run.sink.on_event = [&](const test::SinkEvent& e) {
    if (e.kind == test::SinkEvent::Kind::kAppendLog && e.text == "SCOTT.DEPT : ") run.stop.Request();
  };
  run.Start(db.folder, db.system_path());
  std::vector<std::string> expected = ReportHead(db.folder, "11g Release 2");
  expected.push_back("SCOTT.EMP : " + std::to_string(schema.rows.at("SCOTT.EMP")) + " Record(s)");
  expected.push_back("SCOTT.DEPT : ");
  EXPECT_EQ(test::MaskDates(run.sink.lines), expected);
  EXPECT_TRUE(run.result.stopped);
  EXPECT_TRUE(run.result.tree_built);
  EXPECT_FALSE(run.result.finished);
  EXPECT_EQ(run.sink.process_ended, 1);
  EXPECT_EQ(run.sink.events.back().kind, test::SinkEvent::Kind::kProcessEnded);
}

// A stop while the dictionary rows are read (after the SYSTEM scan found
// the segments): the worker ends before the tree.
TEST(ScanReport, StopWhileReadingDictionaryRows) {
  const test::GeneratedDb& db = *test::SchemaDatabase("10.2").db;
  test::WorkerRun run;
  int phases = 0;
  run.sink.on_event = [&](const test::SinkEvent& e) {
    if (e.kind == test::SinkEvent::Kind::kProgress && e.step == ProgressStep::kStart && ++phases == 4) {
      run.stop.Request();
    }
  };
  run.Start(db.folder, db.system_path());
  EXPECT_EQ(test::MaskDates(run.sink.lines).size(), 8u);
  EXPECT_TRUE(run.result.stopped);
  EXPECT_FALSE(run.sink.tree);
  EXPECT_EQ(run.sink.process_ended, 1);
}

}  // namespace
}  // namespace quillon
