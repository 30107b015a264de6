// `quillon ddl --all` of the sample database of every release, compared
// with the scripts in tests/cli/golden, which were read through by hand, and
// read against Oracle's grammar.
// QUILLON_UPDATE_GOLDEN=1 rewrites them (read the difference before
// committing it).
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "support/generated_schema_db.h"
#include "support/oracle_grammar.h"
#include "support/run_cli.h"
#include "support/test_paths.h"

namespace quillon {
namespace {

class DdlGolden : public testing::TestWithParam<const char*> {};

TEST_P(DdlGolden, AllOfTheSampleDatabaseMatchesItsGoldenScript) {
  const std::string release = GetParam();
  const test::GeneratedSchemaDb& db = test::SampleDb(release, 8192);
  const test::CliOutput r = test::RunCli({"ddl", db.folder, "--all", "--target-folder", "D:\\oracle\\oradata\\NEWDB"});
  ASSERT_EQ(r.code, 0) << r.err;
  const auto golden = test::SourceDir() / "tests" / "cli" / "golden" / ("ddl_all_" + release + ".sql");
  if (std::getenv("QUILLON_UPDATE_GOLDEN") != nullptr) {
    std::ofstream(golden, std::ios::binary | std::ios::trunc) << r.out;
  }
  std::ifstream in(golden, std::ios::binary);
  ASSERT_TRUE(in) << "missing " << golden;
  std::ostringstream expected;
  expected << in.rdbuf();
  EXPECT_EQ(r.out, expected.str());
  EXPECT_EQ(test::CheckScript(r.out), std::vector<std::string>{});
  EXPECT_EQ(r.out.find("KESTON"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Releases, DdlGolden,
                         testing::Values("8i", "9i", "10.1", "10.2", "11.1", "11.2", "11.2-alt"),
                         [](const testing::TestParamInfo<const char*>& param) {
                           std::string name = param.param;
                           for (char& c : name) {
                             if (c == '.' || c == '-') c = '_';
                           }
                           return "R" + name;
                         });

}  // namespace
}  // namespace quillon

namespace quillon {
namespace {

TEST(DdlCommand, NamedRolesAndTablespacesOfTheSampleDatabase) {
  const test::GeneratedSchemaDb& db = test::SampleDb("11.2", 8192);
  const test::CliOutput role = test::RunCli({"ddl", db.folder, "sales_manager"});
  ASSERT_EQ(role.code, 0) << role.err;
  EXPECT_NE(role.out.find("CREATE ROLE \"SALES_MANAGER\" IDENTIFIED BY \"^quillon_password\"\n/\n"),
            std::string::npos)
      << role.out;
  EXPECT_EQ(role.out.find("CREATE USER"), std::string::npos);
  const test::CliOutput tablespace =
      test::RunCli({"ddl", db.folder, "SALES_DATA", "--target-folder", "/u01/oradata/NEW"});
  ASSERT_EQ(tablespace.code, 0) << tablespace.err;
  EXPECT_NE(tablespace.out.find("CREATE TABLESPACE \"SALES_DATA\" DATAFILE '/u01/oradata/NEW/SALES01.DBF'"),
            std::string::npos)
      << tablespace.out;
  EXPECT_NE(tablespace.out.find("ADD DATAFILE '/u01/oradata/NEW/SALES02.DBF'"), std::string::npos);
  EXPECT_EQ(tablespace.out.find("HR_DATA"), std::string::npos);
}

}  // namespace
}  // namespace quillon
