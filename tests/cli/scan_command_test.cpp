#include <gtest/gtest.h>

#include <csignal>
#include <regex>
#include <sstream>

#include "cli/interrupt.h"
#include "reader/notify.h"
#include "support/generated_db.h"
#include "support/text_helpers.h"
#include "support/run_cli.h"
#include "support/schema_db.h"

namespace quillon {
namespace {

using test::CliOutput;
using test::RunCli;

// `quillon scan ARGS...` with the test's stop flag.
CliOutput RunScan(const std::vector<std::string>& args, StopFlag& stop) {
  std::ostringstream out, err;
  cli::Io io{out, err};
  const int code = cli::RunScanWithStop(args, io, stop);
  return {code, out.str(), err.str()};
}

// The printed report is the worker's log, line by line, from its first
// (blank) line to the completion line.
TEST(ScanCommand, PrintsTheScanReport) {
  const test::GeneratedDb& db = test::DefaultDb("11.2", 8192);
  const CliOutput r = RunCli({"scan", db.folder});
  EXPECT_EQ(r.code, 0) << r.err;
  const auto lines = test::SplitLines(r.out);
  ASSERT_EQ(lines.size(), 32u) << r.out;
  EXPECT_EQ(lines[0], "");
  EXPECT_TRUE(lines[1].starts_with("Scanning Process Started On "));
  EXPECT_EQ(lines[3], "Selected Database For Repair  : " + db.folder);
  EXPECT_EQ(lines[6], "( Major Version Of Selected  Database is Oracle 11g Release 2 )");
  EXPECT_EQ(lines[8], "Total Table(s) present  :  0");
  EXPECT_EQ(lines[26], "Total DataFile in Database                      : " + std::to_string(db.layout.files.size()));
  EXPECT_TRUE(lines[31].starts_with("Scanning Process completed On "));
  EXPECT_TRUE(r.err.empty()) << r.err;  // no progress bar: stderr is not a terminal here
}

TEST(ScanCommand, JsonHasTheSameResults) {
  const test::GeneratedDb& db = test::DefaultDb("11.2", 8192);
  const CliOutput r = RunCli({"scan", db.folder, "--json"});
  EXPECT_EQ(r.code, 0) << r.err;
  for (const char* member : {"\"release\": \"11g Release 2\"", "\"database\": \"QUILLON\"", "\"completed\": true",
                             "\"stopped\": false", "\"tables\": []", "\"user_types\": 0"}) {
    EXPECT_NE(r.out.find(member), std::string::npos) << member << "\n" << r.out;
  }
  EXPECT_NE(r.out.find("\"datafiles\": " + std::to_string(db.layout.files.size())), std::string::npos) << r.out;
}

// Tables with their counts and suffixes, and the tree with its tables.
TEST(ScanCommand, TablesOfADictionary) {
  const test::SchemaDb& schema = test::SchemaDatabase("11.2");
  const CliOutput json = RunCli({"scan", schema.db->folder, "--json"});
  EXPECT_EQ(json.code, 0) << json.err;
  for (const std::string& member :
       {"\"table\": \"SCOTT.EMP\",\n      \"records\": " + std::to_string(schema.rows.at("SCOTT.EMP")) + ",",
        std::string("\"table\": \"SCOTT.DEPT\",\n      \"records\": 4,\n      \"suffix\": \"\""),
        std::string("\"table\": \"SCOTT.NOCOLS\",\n      \"records\": 0,\n      \"suffix\": \"\",\n      "
                    "\"has_columns\": false"),
        std::string("\"users\": 3"), std::string("\"tables\": 5")}) {
    EXPECT_NE(json.out.find(member), std::string::npos) << member << "\n" << json.out;
  }
  const CliOutput text = RunCli({"scan", schema.db->folder});
  EXPECT_NE(text.out.find("\nSCOTT.DEPT : 4 Record(s)\nSCOTT.NOCOLS : \nHR.EMPTY : 0 Record(s)\n"), std::string::npos)
      << text.out;
  const CliOutput tree = RunCli({"tree", schema.db->folder});
  EXPECT_NE(tree.out.find("\n    [x] SCOTT\n      [x] Tables\n        [x] EMP\n          Columns\n"
                          "            EMPNO NUMBER(4, 0) not null\n"),
            std::string::npos)
      << tree.out;
}

// A stop request ends the report with the stop line and the exit code 130.
TEST(ScanCommand, StoppedScanEndsWithTheStopLine) {
  const test::GeneratedDb& db = test::DefaultDb("11.2", 8192);
  StopFlag stop;
  stop.Request();
  const CliOutput r = RunScan({db.folder}, stop);
  EXPECT_EQ(r.code, 130);
  static const std::regex kStopLine(
      "Process stopped by user on [A-Za-z]+day, [A-Za-z]+ [0-9]{2}, [0-9]{4}  [0-9]{2}:[0-9]{2}:[0-9]{2}  [AP]M\n");
  EXPECT_TRUE(std::regex_match(r.out, kStopLine)) << r.out;
}

TEST(ScanCommand, TreeOutline) {
  const test::GeneratedDb& db = test::DefaultDb("10.2", 8192);
  const CliOutput r = RunCli({"tree", db.folder});
  EXPECT_EQ(r.code, 0) << r.err;
  const auto lines = test::SplitLines(r.out);
  ASSERT_GT(lines.size(), 5u);
  EXPECT_EQ(lines[0], "[x] " + db.folder);
  EXPECT_EQ(lines[1], "  [x] Schema");
  EXPECT_NE(r.out.find("\n    DataFiles\n      RDONLY01.DBF\n"), std::string::npos) << r.out;
}

TEST(ScanCommand, UsageAndFailures) {
  EXPECT_EQ(RunCli({"scan"}).code, 2);
  EXPECT_EQ(RunCli({"scan", "/nonexistent/folder"}).code, 1);
  EXPECT_EQ(RunCli({"tree", "/nonexistent/folder"}).code, 1);
  EXPECT_EQ(RunCli({"scan", "a", "--bogus"}).code, 2);
}

// Ctrl-C while a command runs sets its stop flag; afterwards SIGINT has its
// earlier handler again.
TEST(ScanCommand, InterruptRequestsTheStop) {
  struct sigaction before {};
  sigaction(SIGINT, nullptr, &before);
  StopFlag stop;
  {
    const cli::StopOnInterrupt guard(stop);
    std::raise(SIGINT);
    EXPECT_TRUE(stop.requested());
  }
  struct sigaction after {};
  sigaction(SIGINT, nullptr, &after);
  EXPECT_EQ(after.sa_handler, before.sa_handler);
}

}  // namespace
}  // namespace quillon
