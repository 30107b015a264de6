// The sample and default databases written with each order of the words
// before the extent entries of their 0x23 segment headers: the scan report,
// the record counts and the exported rows are the same under every order.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "reader/block_source.h"
#include "reader/extent_map.h"
#include "reader/identify.h"
#include "support/generated_db.h"
#include "support/run_cli.h"
#include "support/test_paths.h"
#include "testdb/default_database.h"
#include "testdb/dictionary_writer.h"
#include "testdb/layout.h"
#include "testdb/resolved_schema.h"
#include "testdb/sample_database.h"

namespace quillon {
namespace {

// The folder's name replaced, the lines that carry the time of day left out.
std::string Normalized(const std::string& text, const std::string& folder) {
  std::istringstream in(text);
  std::string out;
  for (std::string line; std::getline(in, line);) {
    if (line.starts_with("Scanning Process")) continue;
    for (std::size_t at; (at = line.find(folder)) != std::string::npos;) line.replace(at, folder.size(), "DIR");
    out += line + "\n";
  }
  return out;
}

struct Seen {
  std::string report;
  std::string json;
  std::map<std::string, std::string> exported;  // file name -> contents
};

// Every segment walked from its header gives the blocks and the data
// object number the generator wrote.
void ExpectWalksMatch(const std::string& folder, const testdb::LayoutResult& layout) {
  NullSink sink;
  StopFlag stop;
  COracleRecoveryTools engine(sink, stop);
  IdentifyRelease(engine, folder + "/SYSTEM01.DBF");
  BlockSource source(engine.datafiles);
  std::size_t assm = 0;
  for (const auto& segment : layout.segments) {
    const SegmentWalk walk = WalkSegment(source, engine.datafiles, segment.header_dba);
    EXPECT_EQ(walk.blocks, segment.blocks) << segment.name;
    EXPECT_EQ(walk.object_number, segment.object_number) << segment.name;
    assm += walk.space == SpaceManagement::kAssm ? 1 : 0;
  }
  EXPECT_GT(assm, 0u);
}

Seen ReadAll(const testdb::DatabaseModel& model, const std::string& name) {
  Seen seen;
  const std::string folder = test::FreshFolder(name);
  testdb::LayoutResult layout;
  std::string error;
  EXPECT_TRUE(testdb::WriteDatabase(model, folder, layout, error)) << error;
  ExpectWalksMatch(folder, layout);
  const test::CliOutput report = test::RunCli({"scan", folder});
  EXPECT_EQ(report.code, 0) << report.err;
  seen.report = Normalized(report.out, folder);
  const test::CliOutput json = test::RunCli({"scan", folder, "--json"});
  EXPECT_EQ(json.code, 0) << json.err;
  seen.json = Normalized(json.out, folder);
  test::TempDir out;
  const test::CliOutput exported = test::RunCli({"export", folder, "--out", out.path().string()});
  EXPECT_EQ(exported.code, 0) << exported.err;
  for (const auto& entry : std::filesystem::directory_iterator(out.path())) {
    std::ifstream file(entry.path(), std::ios::binary);
    std::ostringstream contents;
    contents << file.rdbuf();
    seen.exported[entry.path().filename().string()] = contents.str();
  }
  seen.exported["(summary)"] = exported.out;
  return seen;
}

TEST(AssmOrders, SampleAndDefaultDatabasesReadTheSameUnderEveryOrder) {
  const auto release = testdb::FindGeneratorRelease("11.2");
  ASSERT_TRUE(release.has_value());
  for (const bool sample : {true, false}) {
    SCOPED_TRACE(sample ? "sample" : "default");
    std::optional<Seen> first;
    for (const auto order : testdb::kAssmHeaderOrders) {
      SCOPED_TRACE(static_cast<int>(order));
      testdb::DatabaseModel model = sample ? testdb::BuildDatabase(testdb::SampleSchema(release->model_release),
                                                                   *release, 8192, 1)
                                                 .model
                                           : testdb::DefaultDatabaseModel(release->model_release, 8192, 1);
      model.assm_header_order = order;
      Seen seen = ReadAll(model, std::string(sample ? "sample" : "default") + "-order");
      if (sample) {  // the default database has no dictionary: no tables to count or export
        EXPECT_NE(seen.json.find("\"records\": "), std::string::npos) << seen.json;
        EXPECT_GT(seen.exported.size(), 1u);
      }
      if (!first) {
        first = std::move(seen);
        continue;
      }
      EXPECT_EQ(seen.report, first->report);
      EXPECT_EQ(seen.json, first->json);
      EXPECT_EQ(seen.exported, first->exported);
    }
  }
}

// The seed chooses among the orders when asked to, the same one every time.
TEST(AssmOrders, TheSeedChoosesEveryOrder) {
  std::set<testdb::AssmHeaderOrder> chosen;
  for (std::uint64_t seed = 1; seed <= 30; ++seed) {
    testdb::DatabaseModel model;
    model.seed = seed;
    EXPECT_EQ(testdb::ResolvedAssmHeaderOrder(model), testdb::AssmHeaderOrder::kCountNextObject);
    model.assm_order_from_seed = true;
    const auto order = testdb::ResolvedAssmHeaderOrder(model);
    EXPECT_EQ(testdb::ResolvedAssmHeaderOrder(model), order);
    chosen.insert(order);
  }
  EXPECT_EQ(chosen.size(), std::size(testdb::kAssmHeaderOrders));
}

}  // namespace
}  // namespace quillon
