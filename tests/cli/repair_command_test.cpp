// quillon repair: the sample database's tables into a SQLite file, the log
// lines of the repair, the source folder refused as an output place.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "support/generated_schema_db.h"
#include "support/run_cli.h"
#include "support/test_paths.h"

namespace quillon {
namespace {

std::vector<std::string> LinesOf(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) out.push_back(line);
  return out;
}

std::int64_t Count(const std::filesystem::path& file, const std::string& table) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) return -1;
  sqlite3_stmt* s = nullptr;
  std::int64_t n = -1;
  const std::string sql = "SELECT count(*) FROM \"" + table + "\"";
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &s, nullptr) == SQLITE_OK && sqlite3_step(s) == SQLITE_ROW) {
    n = sqlite3_column_int64(s, 0);
  }
  sqlite3_finalize(s);
  sqlite3_close(db);
  return n;
}

TEST(RepairCommand, TablesNamedGoIntoTheSqliteFileWithTheRepairLog) {
  const auto& db = test::SampleDb("11.2", 8192);
  test::TempDir out;
  const auto file = out.path() / "sample.sqlite";
  const test::CliOutput run =
      test::RunCli({"repair", db.folder, "--sqlite", file.string(), "--tables", "HR.EMPLOYEES,SALES.CUSTOMERS"});
  ASSERT_EQ(run.code, cli::kExitOk) << run.err;
  const auto lines = LinesOf(run.out);
  ASSERT_GE(lines.size(), 14u) << run.out;
  EXPECT_EQ(lines[0], "");
  EXPECT_EQ(lines[1].rfind("Repair Process Started On ", 0), 0u);
  EXPECT_EQ(lines[2], std::string(59, '.'));
  EXPECT_EQ(lines[4], "Total table(s) selected : 2");
  EXPECT_EQ(lines[6], "Repairing Table.....HR.EMPLOYEES  ");
  EXPECT_EQ(lines[7].rfind("Total fields present : ", 0), 0u);
  const std::int64_t employees = Count(file, "HR.EMPLOYEES");
  EXPECT_GT(employees, 0);
  EXPECT_EQ(lines[8], "Total record(s) recovered : " + std::to_string(employees));
  EXPECT_EQ(lines[10], "Repairing Table.....SALES.CUSTOMERS  ");
  EXPECT_EQ(lines[12], "Total record(s) recovered : " + std::to_string(Count(file, "SALES.CUSTOMERS")));
  EXPECT_EQ(lines[lines.size() - 2], std::string(72, '.'));
  EXPECT_EQ(lines.back().rfind("Repairing process completed on.....", 0), 0u);
}

TEST(RepairCommand, RefusesAnyOutputInsideTheSourceFolder) {
  const auto& db = test::SampleDb("11.2", 8192);
  const auto inside = std::filesystem::path(db.folder) / "x" / ".." / "out.sqlite";
  const test::CliOutput run = test::RunCli({"repair", db.folder, "--sqlite", inside.string()});
  EXPECT_EQ(run.code, cli::kExitUsage);
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(db.folder) / "out.sqlite"));
}

}  // namespace
}  // namespace quillon
