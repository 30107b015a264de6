#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/cli.h"
#include "support/generated_db.h"
#include "support/generated_schema_db.h"
#include "support/run_cli.h"
#include "support/test_paths.h"
#include "support/text_helpers.h"
#include "testdb/mini_dictionary.h"

namespace quillon {
namespace {

const test::GeneratedDb& DdlDb() {
  static std::unique_ptr<test::GeneratedDb> db = [] {
    auto model = testdb::NewDatabaseModel("SAMPLE", "11.2", 8192, 3);
    model.decoys = {false, false, false, false};
    testdb::SampleDictionary("11.2", 3, 4).AddSegments(model);
    return test::Generate(std::move(model), "ddl-command");
  }();
  return *db;
}

// Whether a statement's parentheses balance outside quotes and no list has
// an empty element ("(," ",)" ",,"), the marks of a list joined wrongly.
bool WellJoined(const std::string& statement) {
  int depth = 0;
  char quote = 0;
  char last = 0;
  for (const char c : statement) {
    if (quote != 0) {
      if (c == quote) quote = 0;
      continue;
    }
    if (c == '\'' || c == '"') {
      quote = c;
      last = c;
      continue;
    }
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
    if (c == '(') ++depth;
    if (c == ')' && --depth < 0) return false;
    if ((c == ')' || c == ',') && (last == ',' || (c == ',' && last == '('))) return false;
    last = c;
  }
  return depth == 0 && quote == 0;
}

TEST(DdlCommand, AllWritesARunnableScriptOfTheStorageAndSecurityPhases) {
  const test::CliOutput r = test::RunCli({"ddl", DdlDb().folder, "--all", "--target-folder", "/u01/oradata/NEW"});
  ASSERT_EQ(r.code, 0) << r.err;
  const std::string& s = r.out;
  EXPECT_EQ(s.rfind("-- Quillon DDL script for the database SAMPLE", 0), 0u) << s.substr(0, 200);
  EXPECT_NE(s.find("SET DEFINE OFF\n"), std::string::npos);
  EXPECT_NE(s.find("ALTER SESSION SET NLS_NUMERIC_CHARACTERS='.,'\n/\n"), std::string::npos);
  // The phases in the repair's order.
  const std::size_t tablespaces = s.find("-- Repairing Tablespace \n");
  const std::size_t datafiles = s.find("-- Repairing DataFile \n");
  const std::size_t roles = s.find("-- Repairing Role \n");
  const std::size_t users = s.find("-- Repairing User \n");
  const std::size_t tables = s.find("-- Repairing Table \n");
  const std::size_t foreign_keys = s.find("-- Repairing Foreign Key \n");
  const std::size_t user_grants = s.find("-- Repairing User Object privilege \n");
  const std::size_t role_grants = s.find("-- Repairing Role Object privilege \n");
  ASSERT_NE(role_grants, std::string::npos) << s;
  EXPECT_LT(tablespaces, datafiles);
  EXPECT_LT(datafiles, roles);
  EXPECT_LT(roles, users);
  EXPECT_LT(users, tables);
  EXPECT_LT(tables, foreign_keys);
  EXPECT_LT(foreign_keys, user_grants);
  EXPECT_NE(s.find("Create Table \"SCOTT\"."), std::string::npos);
  EXPECT_LT(user_grants, role_grants);
  EXPECT_NE(s.find("CREATE USER \"SCOTT\" IDENTIFIED BY \""), std::string::npos) << s;
  EXPECT_NE(s.find("ADD DATAFILE '/u01/oradata/NEW/"), std::string::npos) << s;
  EXPECT_EQ(s.find("KESTON"), std::string::npos);
  EXPECT_NE(s.find("\n-- end of script\n"), std::string::npos);
  std::istringstream lines(s);
  std::string statement;
  for (std::string line; std::getline(lines, line);) {
    EXPECT_LE(line.size(), 2499u);
    if (line == "/") {
      EXPECT_TRUE(WellJoined(statement)) << statement;
      statement.clear();
    } else if (line.rfind("--", 0) != 0) {
      statement += line + "\n";
    }
  }
}

TEST(DdlCommand, NamedUsersTablesAndMissingNames) {
  const test::CliOutput user = test::RunCli({"ddl", DdlDb().folder, "scott"});
  ASSERT_EQ(user.code, 0) << user.err;
  EXPECT_NE(user.out.find("CREATE USER \"SCOTT\""), std::string::npos) << user.out;
  EXPECT_EQ(user.out.find("CREATE TABLESPACE"), std::string::npos);

  // A table: its CREATE TABLE and the statements that follow it, nothing of
  // the storage and security phases.
  const test::CliOutput table = test::RunCli({"ddl", DdlDb().folder, "scott.t1"});
  ASSERT_EQ(table.code, 0) << table.err;
  EXPECT_NE(table.out.find("Create Table \"SCOTT\".\"T1\"("), std::string::npos) << table.out;
  EXPECT_NE(table.out.find("-- Repairing Table \n"), std::string::npos) << table.out;
  EXPECT_EQ(table.out.find("CREATE USER"), std::string::npos);
  const test::CliOutput missing = test::RunCli({"ddl", DdlDb().folder, "NOBODY"});
  EXPECT_EQ(missing.code, 1);
  EXPECT_NE(missing.err.find("NOBODY: no user, role, tablespace or object"), std::string::npos);
}

TEST(DdlCommand, NeverWritesIntoTheSourceFolder) {
  const std::string& folder = DdlDb().folder;
  EXPECT_EQ(test::RunCli({"ddl", folder}).code, 2);
  EXPECT_EQ(test::RunCli({"ddl", folder, "--all", "SCOTT"}).code, 2);
  const test::CliOutput inside = test::RunCli({"ddl", folder, "--all", "--out", folder + "/repair.sql"});
  EXPECT_EQ(inside.code, 1);
  EXPECT_NE(inside.err.find("into the source folder"), std::string::npos) << inside.err;
  EXPECT_FALSE(std::filesystem::exists(folder + "/repair.sql"));
  const test::CliOutput target = test::RunCli({"ddl", folder, "--all", "--target-folder", folder + "/new"});
  EXPECT_EQ(target.code, 1);
  EXPECT_NE(target.err.find("lies inside the source folder"), std::string::npos) << target.err;

  const std::string out = test::FreshFolder("ddl-out") + "/repair.sql";
  const test::CliOutput written = test::RunCli({"ddl", folder, "--all", "--out", out});
  ASSERT_EQ(written.code, 0) << written.err;
  EXPECT_TRUE(written.out.empty());
  const std::string script = test::ReadFileText(out);
  EXPECT_NE(script.find("CREATE USER \"SCOTT\""), std::string::npos);
  EXPECT_EQ(script.find("KESTON"), std::string::npos);
}

TEST(DdlCommand, HelpListsIt) {
  const test::CliOutput help = test::RunCli({"--help"});
  EXPECT_NE(help.out.find("quillon ddl DIR"), std::string::npos);
}

}  // namespace
}  // namespace quillon

namespace quillon {
namespace {

TEST(DdlCommand, NamedCodeObjectsLinksAndSchemasOfTheSampleDatabase) {
  const test::GeneratedSchemaDb& db = test::SampleDb("11.2", 8192);
  struct Case {
    const char* name;
    const char* expected;
    const char* absent;  // what only other objects have
  };
  const Case cases[] = {
      {"hr.emp_v", "-- Repairing View \nCREATE VIEW \"HR\".\"EMP_V\"", "CREATE TRIGGER"},
      {"HR.EMP_AS_TRG", "/\nALTER TRIGGER \"HR\".\"EMP_AS_TRG\" DISABLE\n/\n", "EMP_BI_TRG"},
      {"PUBLIC.EMPLOYEES", "CREATE PUBLIC SYNONYM \"EMPLOYEES\"\n FOR \"HR\".\"EMPLOYEES\"\n/\n", "\"STAFF\""},
      // A package and its body share the name: both.
      {"HR.EMP_PKG", "CREATE PACKAGE \"HR\".emp_pkg AS", "CREATE VIEW"},
      {"HR.EMP_PKG", "CREATE PACKAGE BODY \"HR\".emp_pkg AS", "CREATE VIEW"},
      {"HR.HQ.EXAMPLE.COM", "CONNECT \"HR\"\nCREATE DATABASE LINK HQ.EXAMPLE.COM", "ARCHIVE"},
      {"HR.EMP_SALARY_MV", "CREATE MATERIALIZED VIEW \"HR\".\"EMP_SALARY_MV\"", "MATERIALIZED VIEW LOG"},
      {"http://www.example.com/schemas/purchase_order.xsd", "owner => 'SALES');\nEND;\n/\n", "CREATE USER"},
  };
  for (const Case& c : cases) {
    const test::CliOutput r = test::RunCli({"ddl", db.folder, c.name});
    ASSERT_EQ(r.code, 0) << c.name << ": " << r.err;
    EXPECT_NE(r.out.find(c.expected), std::string::npos) << c.name << "\n" << r.out;
    EXPECT_EQ(r.out.find(c.absent), std::string::npos) << c.name;
  }
}

}  // namespace
}  // namespace quillon
