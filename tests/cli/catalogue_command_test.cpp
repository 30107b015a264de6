#include <gtest/gtest.h>

#include <sstream>

#include "cli/cli.h"
#include "support/run_cli.h"
#include "support/generated_db.h"
#include "support/test_paths.h"
#include "testdb/mini_dictionary.h"

namespace quillon {
namespace {

const test::GeneratedDb& SampleDb() {
  static std::unique_ptr<test::GeneratedDb> db = [] {
    auto model = testdb::NewDatabaseModel("SAMPLE", "11.2", 8192, 3);
    model.decoys = {false, false, false, false};
    testdb::SampleDictionary("11.2", 3, 4).AddSegments(model);
    return test::Generate(std::move(model), "catalogue-command");
  }();
  return *db;
}

TEST(CatalogueCommand, ListsTheCatalogueAndTheCounters) {
  const test::CliOutput r = test::RunCli({"catalogue", SampleDb().folder});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("Character sets  : WE8MSWIN1252 / AL16UTF16"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("  SCOTT  default USERS  temporary USERS  KESTON"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("    TABLE T1\n      tablespace USERS"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("      C1 NUMBER(10, 1) NOT NULL\n      C2 NUMBER(10, 0) DEFAULT 0 \n      C3 VARCHAR2(40)"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("      constraint P PK_T1 (C1)"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("    INDEX PK_T1\n      on SCOTT.T1  unique  tablespace USERS"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Total Table(s) present  :  4\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Total View in Database                            : 1\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Total Stored Procedure in Database       : 1\n"), std::string::npos) << r.out;
}

TEST(CatalogueCommand, JsonIsStableAndKeyedByOwnerAndName) {
  const test::CliOutput a = test::RunCli({"catalogue", SampleDb().folder, "--json"});
  ASSERT_EQ(a.code, 0) << a.err;
  const test::CliOutput b = test::RunCli({"catalogue", SampleDb().folder, "--json"});
  EXPECT_EQ(a.out, b.out);
  EXPECT_NE(a.out.find("\"format\": \"quillon-catalogue\""), std::string::npos) << a.out.substr(0, 400);
  EXPECT_NE(a.out.find("\"SCOTT\": {"), std::string::npos);
  EXPECT_NE(a.out.find("\"T2\": {"), std::string::npos);
  EXPECT_NE(a.out.find("\"type\": \"VARCHAR2(40)\""), std::string::npos);
}

TEST(CatalogueCommand, CharsetOptionAndFailures) {
  const test::CliOutput r = test::RunCli({"catalogue", SampleDb().folder, "--charset", "AL32UTF8"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("(decoded as AL32UTF8)"), std::string::npos);
  EXPECT_EQ(test::RunCli({"catalogue", SampleDb().folder, "--charset", "NOSUCH"}).code, 2);
  EXPECT_EQ(test::RunCli({"catalogue"}).code, 2);
  test::TempDir empty;
  EXPECT_EQ(test::RunCli({"catalogue", empty.path().string()}).code, 1);
}

}  // namespace
}  // namespace quillon
