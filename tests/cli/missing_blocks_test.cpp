// Damage the scan and the export must name. Blocks a table's extents name
// that no datafile holds: the sample database with HR_DATA01.DBF cut short
// (an interrupted copy) and then missing altogether, named per table with
// the number the intact database's extents give. Blocks whose checksum went
// stale under a flipped byte: named by file and block, their rows counted
// as suspect, and left out on request.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "cli/cli.h"
#include "cli/open_database.h"
#include "reader/record_count.h"
#include "reader/table_blocks.h"
#include "support/generated_schema_db.h"
#include "support/run_cli.h"
#include "support/test_paths.h"

namespace quillon {
namespace {

constexpr std::uint32_t kBlockSize = 8192;

// The number after `"key": ` in the JSON object that starts with the member
// `"table": "name"` (pretty output, before the next table's); -1 when there
// is none.
long long MemberOfTable(const std::string& json, const std::string& table, const std::string& key) {
  const auto at = json.find("\"table\": \"" + table + "\"");
  if (at == std::string::npos) return -1;
  const auto end = json.find("\"table\": ", at + 1);
  const auto k = json.find("\"" + key + "\": ", at);
  if (k == std::string::npos || k > end) return -1;
  return std::stoll(json.substr(k + key.size() + 4));
}

struct Segments {
  std::uint32_t file = 0;  // relative file number of HR_DATA01.DBF
  // Per table of the HR file: its segments' header (block) and extents.
  std::map<std::string, std::vector<SegmentWalk>> walks;
  std::map<std::string, std::vector<std::uint64_t>> headers;
};

// The extents of every table with a segment in the HR file, from the intact
// database.
Segments IntactSegments(const test::GeneratedSchemaDb& db) {
  Segments out;
  out.file = db.layout.FindFile("HR_DATA01.DBF")->relative_file;
  std::ostringstream sink_out, err;
  cli::Io io{sink_out, err};
  auto opened = cli::OpenDatabase(db.folder, io);
  COracleRecoveryTools& engine = opened->engine;
  BlockSource source(engine.datafiles);
  for (const std::uint32_t table : cli::ShownTables(engine)) {
    const TableBlocks blocks = CollectTableBlocks(engine, source, table);
    for (const TableSegment& s : blocks.segments) {
      if (s.relative_file != out.file) continue;
      const std::string name = cli::TableName(engine.catalogue, table);
      out.walks[name].push_back(s.walk);
      out.headers[name].push_back(s.header_block);
    }
  }
  return out;
}

// Missing blocks of each table once the file keeps only its first `kept`
// blocks: a header past the end is one block (the extents it lists are
// unknown); otherwise the blocks of the extents past the end.
std::map<std::string, std::uint64_t> Expected(const Segments& s, std::uint64_t kept) {
  std::map<std::string, std::uint64_t> out;
  for (const auto& [name, walks] : s.walks) {
    std::uint64_t n = 0;
    for (std::size_t i = 0; i < walks.size(); ++i) {
      EXPECT_LE(walks[i].maps_read, 1u) << name << ": a table with extent map blocks";
      if (s.headers.at(name)[i] >= kept) {
        ++n;
        continue;
      }
      for (const ExtentEntry& e : walks[i].extents) {
        if (format::DbaFile(e.first_dba) != s.file) continue;
        for (std::uint32_t b = 0; b < e.block_count; ++b) n += format::DbaBlock(e.first_dba) + b >= kept;
      }
    }
    out[name] = n;
  }
  return out;
}

TEST(MissingBlocks, ATruncatedAndAMissingDatafileAreNamedPerTable) {
  const auto db = test::GenerateSchemaDb(testdb::SampleSchema(testdb::FindGeneratorRelease("11.2")->model_release),
                                         "11.2", kBlockSize, "missing-blocks");
  const Segments intact = IntactSegments(*db);
  ASSERT_TRUE(intact.walks.count("HR.COUNTRIES"));
  const std::filesystem::path hr = std::filesystem::path(db->folder) / "HR_DATA01.DBF";

  // The brief's copy cut at 300,000 bytes (inside a block): COUNTRIES is
  // named, and nothing says "damaged blocks 0".
  std::filesystem::resize_file(hr, 300000);
  {
    const test::CliOutput scan = test::RunCli({"scan", db->folder});
    ASSERT_EQ(scan.code, cli::kExitOk) << scan.err;
    EXPECT_NE(scan.out.find("Missing blocks : "), std::string::npos) << scan.out;
    EXPECT_NE(scan.out.find("HR.COUNTRIES"), std::string::npos);
    test::TempDir out;
    const test::CliOutput exported =
        test::RunCli({"export", db->folder, "--out", out.path().string(), "--tables", "HR.COUNTRIES"});
    EXPECT_EQ(exported.out.find("damaged blocks 0"), std::string::npos) << exported.out;
    EXPECT_NE(exported.out.find("HR.COUNTRIES: "), std::string::npos) << exported.out;
    EXPECT_NE(exported.out.find("past the end of the datafile"), std::string::npos) << exported.out;
  }

  // Cut at a block boundary: every table's count is exact.
  const std::uint64_t kept = 300000 / kBlockSize;
  std::filesystem::resize_file(hr, kept * kBlockSize);
  const auto expected = Expected(intact, kept);
  std::uint64_t total = 0;
  for (const auto& [name, n] : expected) total += n;
  ASSERT_GT(total, 0u);
  const test::CliOutput scan = test::RunCli({"scan", db->folder, "--json"});
  ASSERT_EQ(scan.code, cli::kExitOk) << scan.err;
  test::TempDir out;
  const test::CliOutput exported = test::RunCli({"export", db->folder, "--out", out.path().string(), "--json"});
  ASSERT_EQ(exported.code, cli::kExitOk) << exported.err;
  for (const auto& [name, n] : expected) {
    SCOPED_TRACE(name);
    EXPECT_EQ(MemberOfTable(scan.out, name, "missing_blocks"), static_cast<long long>(n));
    EXPECT_EQ(MemberOfTable(exported.out, name, "missing_blocks"), static_cast<long long>(n));
  }
  EXPECT_EQ(MemberOfTable(scan.out, "SALES.CUSTOMERS", "missing_blocks"), 0);
  const test::CliOutput report = test::RunCli({"scan", db->folder});
  EXPECT_NE(report.out.find("Missing blocks : " + std::to_string(total) + " (past the end"), std::string::npos)
      << report.out;

  // The file missing: each table whose segment header it held has lost that
  // block, and everything the header would have listed.
  std::filesystem::remove(hr);
  const test::CliOutput gone = test::RunCli({"scan", db->folder, "--json"});
  ASSERT_EQ(gone.code, cli::kExitOk) << gone.err;
  const test::CliOutput gone_export = test::RunCli({"export", db->folder, "--out", out.path().string()});
  ASSERT_EQ(gone_export.code, cli::kExitOk) << gone_export.err;
  for (const auto& [name, walks] : intact.walks) {
    SCOPED_TRACE(name);
    EXPECT_EQ(MemberOfTable(gone.out, name, "missing_blocks"), static_cast<long long>(walks.size()));
    EXPECT_NE(gone_export.out.find(name + ": " + std::to_string(walks.size()) + " missing block(s) (file " +
                                   std::to_string(intact.file)),
              std::string::npos)
        << gone_export.out;
  }
  EXPECT_NE(gone.out.find("\"cause\": \"no_datafile\""), std::string::npos);
}

TEST(MissingBlocks, StaleChecksumsAreNamedAndTheirRowsLeftOutOnRequest) {
  const auto db = test::GenerateSchemaDb(testdb::SampleSchema(testdb::FindGeneratorRelease("11.2")->model_release),
                                         "11.2", kBlockSize, "stale-checksums");
  // The data blocks of HR.REGIONS and HR.COUNTRIES that hold rows, and the
  // rows that start in each.
  std::ostringstream sink_out, err;
  cli::Io io{sink_out, err};
  std::map<std::string, std::vector<std::pair<std::uint32_t, std::uint64_t>>> blocks;
  {
    auto opened = cli::OpenDatabase(db->folder, io);
    COracleRecoveryTools& engine = opened->engine;
    BlockSource source(engine.datafiles);
    for (const char* name : {"HR.REGIONS", "HR.COUNTRIES"}) {
      const TableBlocks tb = CollectTableBlocks(engine, source, cli::FindTable(engine.catalogue, name));
      for (const std::uint32_t dba : tb.AllBlocks()) {
        const BlockResult r = source.Read(dba);
        const std::uint64_t n = r.ok() ? CountBlockRecords(r.block.bytes(), tb.target) : 0;
        if (n) blocks[name].emplace_back(dba, n);
      }
      ASSERT_FALSE(blocks[name].empty()) << name;
    }
  }
  // One byte flipped in the first block of each: the last byte before the
  // block's tail, inside the row stored last in the block (rows fill a block
  // from its end), so the rows still read.
  const auto flip = [&](std::uint32_t dba) {
    const auto* file = db->layout.FindFileByNumber(format::DbaFile(dba));
    std::fstream f(file->path, std::ios::in | std::ios::out | std::ios::binary);
    const auto at = static_cast<std::streamoff>(format::DbaBlock(dba) + 1) * kBlockSize - 5;
    char c = 0;
    f.seekg(at);
    f.get(c);
    f.seekp(at);
    f.put(static_cast<char>(c ^ 0x01));
  };
  std::uint64_t suspect = 0;
  for (const auto& [name, list] : blocks) {
    flip(list.front().first);
    suspect += list.front().second;
  }

  const test::CliOutput scan = test::RunCli({"scan", db->folder});
  ASSERT_EQ(scan.code, cli::kExitOk) << scan.err;
  const std::string line = "Blocks with a bad checksum : 2 (" + std::to_string(suspect) + " suspect record(s)) in ";
  const auto at = scan.out.find(line);
  ASSERT_NE(at, std::string::npos) << scan.out;
  const std::string tables = scan.out.substr(at + line.size(), scan.out.find('\n', at) - at - line.size());
  EXPECT_TRUE(tables == "HR.REGIONS, HR.COUNTRIES" || tables == "HR.COUNTRIES, HR.REGIONS") << tables;
  EXPECT_EQ(scan.out.find("Missing blocks"), std::string::npos);

  for (const bool skip : {false, true}) {
    SCOPED_TRACE(skip ? "--skip-damaged" : "all rows");
    test::TempDir out;
    std::vector<std::string> args = {"export", db->folder, "--out", out.path().string(), "--tables",
                                     "HR.REGIONS,HR.COUNTRIES"};
    if (skip) args.push_back("--skip-damaged");
    const test::CliOutput text = test::RunCli(args);
    ASSERT_EQ(text.code, cli::kExitOk) << text.err;
    EXPECT_NE(text.out.find(", suspect rows " + std::to_string(suspect) + (skip ? " left out" : "") +
                            ", damaged blocks 2,"),
              std::string::npos)
        << text.out;
    for (const auto& [name, list] : blocks) {
      const std::uint32_t dba = list.front().first;
      EXPECT_NE(text.out.find(name + ": 1 block(s) with a bad checksum (file " + std::to_string(format::DbaFile(dba)) +
                              " block " + std::to_string(format::DbaBlock(dba)) + "), " +
                              std::to_string(list.front().second) + " suspect row(s)"),
                std::string::npos)
          << text.out;
    }
    args.push_back("--json");
    const test::CliOutput json = test::RunCli(args);
    ASSERT_EQ(json.code, cli::kExitOk) << json.err;
    for (const auto& [name, list] : blocks) {
      std::uint64_t all = 0;
      for (const auto& [dba, n] : list) all += n;
      EXPECT_EQ(MemberOfTable(json.out, name, "suspect_rows"), static_cast<long long>(list.front().second));
      EXPECT_EQ(MemberOfTable(json.out, name, "skipped_rows"), skip ? static_cast<long long>(list.front().second) : 0);
      EXPECT_EQ(MemberOfTable(json.out, name, "rows"),
                static_cast<long long>(all - (skip ? list.front().second : 0)));
      EXPECT_EQ(MemberOfTable(json.out, name, "damaged_blocks"), 1);
    }
  }
}

}  // namespace
}  // namespace quillon
