// quillon rows and quillon export end to end: a generated database with a
// dictionary, identified and rebuilt by the commands themselves.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "cli/cli.h"
#include "support/cli_run.h"
#include "support/generated_db.h"
#include "support/test_paths.h"
#include "testdb/mini_dictionary.h"
#include "testdb/values.h"

namespace quillon {
namespace {

using testdb::Bytes;
using testdb::ColumnBytes;
using testdb::MiniDictionary;

constexpr std::uint32_t kEmp = 74000;

testdb::SegmentModel EmpSegment() {
  testdb::SegmentModel s;
  s.name = "EMP";
  s.object_number = kEmp;
  s.tablespace = "USERS";
  for (int i = 1; i <= 250; ++i) {
    const std::string name = i == 7 ? "M\xC3\xBCller, \"the\" one" : "EMP" + std::to_string(i);
    std::vector<ColumnBytes> c = {testdb::EncodeNumber(i), Bytes(name.begin(), name.end()),
                                  testdb::EncodeDate({2001, 1 + i % 12, 1 + i % 28, 9, 30, 0, 0})};
    if (i % 10 == 0) c.pop_back();  // HIRED NULL (not stored)
    testdb::Row row(std::move(c));
    if (i % 17 == 0) row.placement = testdb::Placement::kMigrated;
    s.rows.push_back(std::move(row));
  }
  return s;
}

MiniDictionary Dictionary(std::uint32_t file, std::uint32_t block) {
  MiniDictionary d("11.2");
  d.AddTablespace(0, "SYSTEM");
  d.AddTablespace(4, "USERS");
  d.AddUser(0, "SYS", 0);
  d.AddUser(84, "SCOTT", 4);
  d.AddProperties("AL32UTF8", "AL16UTF16");
  d.AddTable(kEmp, 84, "EMP", 4, kEmp, file, block);
  MiniDictionary::Column id;
  id.name = "EMPNO";
  id.precision = 4;
  id.scale = 0;
  d.AddColumn(kEmp, 1, id);
  MiniDictionary::Column name;
  name.name = "ENAME";
  name.type = 1;
  name.length = 30;
  name.charset = 873;
  d.AddColumn(kEmp, 2, name);
  MiniDictionary::Column hired;
  hired.name = "HIRED";
  hired.type = 12;
  hired.length = 7;
  d.AddColumn(kEmp, 3, hired);
  return d;
}

// Written twice: the first time tells where the table's segment header lies
// (the USERS datafile does not depend on the dictionary's rows).
std::unique_ptr<test::GeneratedDb> Database() {
  auto model = testdb::NewDatabaseModel("E2E", "11.2", 8192, 3);
  model.decoys = {false, false, false, false};
  model.segments.push_back(EmpSegment());
  auto first_model = model;
  Dictionary(4, 100).AddSegments(first_model);
  const auto first = test::Generate(first_model, "e2e-probe");
  const std::uint32_t header = first->layout.FindSegment(kEmp)->header_dba;
  Dictionary(format::DbaFile(header), format::DbaBlock(header)).AddSegments(model);
  auto db = test::Generate(model, "e2e");
  EXPECT_EQ(db->layout.FindSegment(kEmp)->header_dba, header);
  return db;
}

TEST(RowsEndToEnd, TheCommandsReadTheDictionaryAndTheRows) {
  const auto db = Database();
  const test::CliOutput json = test::RunCli({"rows", db->folder, "scott.emp", "--all", "--format", "json"});
  ASSERT_EQ(json.code, cli::kExitOk) << json.err;
  std::istringstream lines(json.out);
  std::string line;
  std::map<int, std::string> by_number;
  int count = 0;
  while (std::getline(lines, line)) {
    ++count;
    const auto from = line.find("\"EMPNO\":\"") + 9;
    by_number[std::stoi(line.substr(from, line.find('"', from) - from))] = line;
  }
  EXPECT_EQ(count, 250);
  EXPECT_EQ(by_number[7], "{\"EMPNO\":\"07\",\"ENAME\":\"M\xC3\xBCller, \\\"the\\\" one\",\"HIRED\":\"08-AUG-2001 09:30:00 AM\"}");
  EXPECT_EQ(by_number[10], R"({"EMPNO":"10","ENAME":"EMP10","HIRED":null})");

  const test::CliOutput page = test::RunCli({"rows", db->folder, "SCOTT.EMP", "--page", "3", "--format", "csv"});
  ASSERT_EQ(page.code, cli::kExitOk) << page.err;
  EXPECT_EQ(std::count(page.out.begin(), page.out.end(), '\n'), 51);  // the header and 50 rows

  EXPECT_EQ(test::RunCli({"rows", db->folder, "SCOTT.NOPE"}).code, cli::kExitFailure);

  test::TempDir out;
  const test::CliOutput exported = test::RunCli({"export", db->folder, "--out", out.path().string()});
  ASSERT_EQ(exported.code, cli::kExitOk) << exported.err;
  // The tree shows SYS's tables too: PROPS$ (empty here) is exported with EMP.
  EXPECT_EQ(exported.out, "tables 2, rows 250, partial rows 0, damaged blocks 0, incomplete LOB values 0\n");
  std::ifstream csv(out / "SCOTT.EMP.csv");
  std::getline(csv, line);
  EXPECT_EQ(line, "EMPNO,ENAME,HIRED\r");
}

}  // namespace
}  // namespace quillon
