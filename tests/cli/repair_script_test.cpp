// quillon repair --script: the sample database's whole repair as a SQL*Plus
// script, compared with tests/cli/golden/repair_script_11.2.sql (read through
// by hand; QUILLON_UPDATE_GOLDEN=1 rewrites it, read the difference before
// committing it); its log on stdout; no password in the script, the log or
// the error file; the options that exclude each other.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/cli.h"
#include "support/generated_schema_db.h"
#include "support/oracle_grammar.h"
#include "support/run_cli.h"
#include "support/test_paths.h"
#include "support/text_helpers.h"

namespace quillon {
namespace {

TEST(RepairScriptCommand, TheSampleRepairScriptMatchesItsGoldenFile) {
  const auto& db = test::SampleDb("11.2", 8192);
  test::TempDir out;
  const auto script = out.path() / "repair.sql";
  const test::CliOutput run =
      test::RunCli({"repair", db.folder, "--script", script.string(), "--target-folder", "/u01/oradata/NEW"});
  ASSERT_EQ(run.code, cli::kExitOk) << run.err;
  const std::string text = test::ReadFileText(script);
  const auto golden = test::SourceDir() / "tests" / "cli" / "golden" / "repair_script_11.2.sql";
  if (std::getenv("QUILLON_UPDATE_GOLDEN") != nullptr) {
    std::ofstream(golden, std::ios::binary | std::ios::trunc) << text;
  }
  const std::string expected = test::ReadFileText(golden);
  ASSERT_FALSE(expected.empty()) << "missing " << golden;
  EXPECT_EQ(text, expected);
  EXPECT_EQ(test::CheckScript(text), std::vector<std::string>{});

  EXPECT_TRUE(run.out.starts_with("\nRepair Process Started On ")) << run.out.substr(0, 200);
  EXPECT_NE(run.out.find("\nRepairing Tablespace \n"), std::string::npos);
  EXPECT_NE(run.out.find("\nRepairing Table.....HR.EMPLOYEES  \n"), std::string::npos);
  EXPECT_NE(run.out.find("\nRepairing Synonyms   \n"), std::string::npos);
  EXPECT_NE(run.out.find("\nRepairing process completed on....."), std::string::npos);
  const std::string errors = test::ReadFileText(out.path() / "RepairErrors.log");
  for (const std::string secret : {"TIGER", "tiger"}) {
    EXPECT_EQ(text.find(secret), std::string::npos);
    EXPECT_EQ(run.out.find(secret), std::string::npos);
    EXPECT_EQ(run.err.find(secret), std::string::npos);
    EXPECT_EQ(errors.find(secret), std::string::npos);
  }
  EXPECT_NE(text.find("ACCEPT quillon_password CHAR PROMPT"), std::string::npos);
  // Hidden, system-made and virtual columns stay out of the rows' column
  // lists; rows carry the partition or subpartition they were found in.
  EXPECT_EQ(text.find("SYS_NC"), std::string::npos);
  EXPECT_NE(text.find("insert into \"SALES\".\"ORDER_ITEMS\" SUBPARTITION (\"ITEMS_P1_S1\")"), std::string::npos);
  EXPECT_NE(text.find("insert into \"SALES\".\"ORDERS\" PARTITION (\"ORDERS_2008\")"), std::string::npos);
  // The XML DB repository's own tables stay out: the new database has them.
  EXPECT_EQ(text.find("\"XDB\".\"XDB$"), std::string::npos);
  EXPECT_NE(errors.find("Table XDB.XDB$SCHEMA\nleft out: it belongs to the XML DB repository"), std::string::npos);
}

TEST(RepairScriptCommand, OptionsThatExcludeEachOtherAndTheSourceFolderAreRefused) {
  const auto& db = test::SampleDb("11.2", 8192);
  test::TempDir out;
  EXPECT_EQ(test::RunCli({"repair", db.folder, "--script", (out.path() / "a.sql").string(), "--sqlite",
                          (out.path() / "a.sqlite").string()})
                .code,
            cli::kExitUsage);
  EXPECT_EQ(test::RunCli({"repair", db.folder, "--target-folder", "/x"}).code, cli::kExitUsage);
  EXPECT_EQ(test::RunCli({"repair", db.folder, "--script", (std::filesystem::path(db.folder) / "in.sql").string()})
                .code,
            cli::kExitUsage);
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(db.folder) / "in.sql"));
  const test::CliOutput inside_target =
      test::RunCli({"repair", db.folder, "--script", (out.path() / "b.sql").string(), "--target-folder", db.folder});
  EXPECT_NE(inside_target.code, cli::kExitOk);
}

}  // namespace
}  // namespace quillon
