// quillon rows and quillon export end to end on the sample database the
// generator writes: the commands identify the release, rebuild the
// dictionary and read the rows themselves.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "cli/cli.h"
#include "support/generated_schema_db.h"
#include "support/run_cli.h"
#include "support/test_paths.h"
#include "testdb/describe.h"

namespace quillon {
namespace {

std::size_t DescribedRows(const test::GeneratedSchemaDb& db, const std::string& owner, const std::string& name) {
  Catalogue catalogue;
  testdb::DescribeCatalogue(db.db, catalogue);
  const ObjectRecord* table = catalogue.objects.First<1>(OwnerAndName{owner, name});
  if (!table) return 0;
  const auto rows = testdb::DescribeRows(db.db);
  const auto found = rows.find(table->object_number);
  return found == rows.end() ? 0 : found->second.size();
}

std::size_t LineCount(const std::string& text) { return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')); }

TEST(RowsEndToEnd, TheCommandsReadTheDictionaryAndTheRows) {
  const auto& db = test::SampleDb("11.2", 8192);
  const std::size_t employees = DescribedRows(db, "HR", "EMPLOYEES");
  const std::size_t customers = DescribedRows(db, "SALES", "CUSTOMERS");
  ASSERT_GT(employees, 0u);
  ASSERT_GT(customers, 0u);

  const test::CliOutput json = test::RunCli({"rows", db.folder, "hr.employees", "--all", "--format", "json"});
  ASSERT_EQ(json.code, cli::kExitOk) << json.err;
  EXPECT_EQ(LineCount(json.out), employees);
  EXPECT_EQ(json.out.rfind("{\"EMPLOYEE_ID\":1", 0), 0u) << json.out;  // a JSON number, not "0100"
  EXPECT_NE(json.out.find("\"MANAGER_ID\":null"), std::string::npos);  // the first employee has no manager

  const test::CliOutput page = test::RunCli({"rows", db.folder, "HR.EMPLOYEES", "--page", "1", "--format", "csv"});
  ASSERT_EQ(page.code, cli::kExitOk) << page.err;
  EXPECT_EQ(LineCount(page.out), 1 + std::min<std::size_t>(employees, 100));  // the header and the rows
  EXPECT_EQ(page.out.rfind("EMPLOYEE_ID,FIRST_NAME,LAST_NAME,", 0), 0u) << page.out;
  EXPECT_EQ(test::RunCli({"rows", db.folder, "HR.EMPLOYEES", "--page", "2"}).code, cli::kExitFailure);
  EXPECT_EQ(test::RunCli({"rows", db.folder, "HR.NOPE"}).code, cli::kExitFailure);

  test::TempDir out;
  const test::CliOutput exported =
      test::RunCli({"export", db.folder, "--out", out.path().string(), "--tables", "HR.EMPLOYEES,SALES.CUSTOMERS"});
  ASSERT_EQ(exported.code, cli::kExitOk) << exported.err;
  EXPECT_EQ(exported.out, "tables 2, rows " + std::to_string(employees + customers) +
                              ", partial rows 0, suspect rows 0, damaged blocks 0, incomplete LOB values 0\n");
  std::ifstream csv(out / "SALES.CUSTOMERS.csv");
  std::string line;
  std::getline(csv, line);
  EXPECT_EQ(line, "CUSTOMER_ID,NAME,CITY,CREDIT_LIMIT\r");
}

}  // namespace
}  // namespace quillon
