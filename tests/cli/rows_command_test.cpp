// quillon rows and quillon export: the formats, pages, whole LOBs, one file
// per table and the summary; usage errors and exit codes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>

#include "cli/cli.h"
#include "cli/open_database.h"
#include "cli/row_commands.h"
#include "support/run_cli.h"
#include "support/table_db.h"
#include "support/test_paths.h"
#include "testdb/lob_writer.h"
#include "testdb/values.h"

namespace quillon {
namespace {

using testdb::Bytes;
using testdb::ColumnBytes;

namespace tc = type_code;

ColumnBytes Txt(const std::string& s) { return Bytes(s.begin(), s.end()); }

// SCOTT.EMP: 130 rows; row 0 holds the texts CSV must quote, row 1 an empty
// RAW and NULLs, every row a CLOB in the row. SCOTT.DEPT: one row, its
// BINARY_DOUBLE a NaN.
std::unique_ptr<test::TableDb> Database(const std::string& name) {
  auto model = testdb::NewDatabaseModel("CLI", "11.2", 8192, 1);
  testdb::SegmentModel s;
  s.name = "EMP";
  s.object_number = 74000;
  for (int i = 0; i < 130; ++i) {
    std::vector<ColumnBytes> c = {testdb::EncodeNumber(i), Txt("name " + std::to_string(i)), Bytes{0xAB},
                                  testdb::InRowLobLocator(1, Bytes{'d', 'o', 'c'}, true)};
    if (i == 0) c[1] = Txt("a,b \"q\"\r\nnext");
    if (i == 1) {
      c[1] = std::nullopt;
      c[2] = Bytes{};
    }
    s.rows.emplace_back(std::move(c));
  }
  model.segments.push_back(std::move(s));
  testdb::SegmentModel d;
  d.name = "DEPT";
  d.object_number = 74001;
  d.rows.emplace_back(std::vector<ColumnBytes>{testdb::EncodeNumber(10), Txt("SALES"),
                                               testdb::EncodeBinaryDouble(std::numeric_limits<double>::quiet_NaN())});
  model.segments.push_back(std::move(d));
  auto db = std::make_unique<test::TableDb>(model, name);
  db->engine().catalogue.tables.Append(db->TableOn(740, 74000));
  db->Describe(740, "SCOTT", "EMP", {{"ID", tc::kNumber}, {"NAME"}, {"TAG", tc::kRaw}, {"DOC", tc::kClob}});
  db->engine().catalogue.tables.Append(db->TableOn(741, 74001));
  db->Describe(741, "SCOTT", "DEPT", {{"DEPTNO", tc::kNumber}, {"DNAME"}, {"RATE", tc::kBinaryDouble}});
  return db;
}

test::CliOutput Rows(test::TableDb& db, cli::RowsRequest request) {
  std::ostringstream out, err;
  cli::Io io{out, err};
  const int code = cli::PrintTableRows(db.engine(), 740, request, io);
  return {code, out.str(), err.str()};
}

std::vector<std::string> Lines(const std::string& text, const std::string& end = "\n") {
  std::vector<std::string> lines;
  std::size_t from = 0;
  for (std::size_t at; (at = text.find(end, from)) != std::string::npos; from = at + end.size()) {
    lines.push_back(text.substr(from, at - from));
  }
  return lines;
}

TEST(RowsCommand, CsvFollowsRfc4180AndWritesWholeLobs) {
  auto db = Database("cli-csv");
  const test::CliOutput o = Rows(*db, {std::nullopt, RowFormat::kCsv});
  EXPECT_EQ(o.code, cli::kExitOk);
  const auto lines = Lines(o.out, "\r\n");
  ASSERT_EQ(lines.size(), 131u + 1u);  // the quoted CR LF inside row 0 counts as a line here
  EXPECT_EQ(lines[0], "ID,NAME,TAG,DOC");
  EXPECT_EQ(lines[1], "0,\"a,b \"\"q\"\"");  // data forms: the number 0, not the display text "00"
  EXPECT_EQ(lines[2], "next\",ab,doc");
  EXPECT_EQ(lines[3], "1,,\"\",doc");
  EXPECT_EQ(lines[4], "2,name 2,ab,doc");
}

TEST(RowsCommand, JsonLinesMapColumnsToDataValues) {
  auto db = Database("cli-json");
  const test::CliOutput o = Rows(*db, {std::nullopt, RowFormat::kJson});
  const auto lines = Lines(o.out);
  ASSERT_EQ(lines.size(), 130u);
  EXPECT_EQ(lines[0], R"({"ID":0,"NAME":"a,b \"q\"\r\nnext","TAG":"ab","DOC":"doc"})");
  EXPECT_EQ(lines[1], R"({"ID":1,"NAME":null,"TAG":"","DOC":"doc"})");
}

TEST(RowsCommand, PagesAsAlignedText) {
  auto db = Database("cli-table");
  const test::CliOutput first = Rows(*db, {1, RowFormat::kTable});
  const auto lines = Lines(first.out);
  ASSERT_EQ(lines.size(), 102u);  // captions, rule, 100 rows
  EXPECT_EQ(lines[0].substr(0, 4), "ID  ");
  EXPECT_EQ(lines[1].substr(0, 4), "--  ");
  EXPECT_EQ(lines[2].substr(0, 4), "00  ");  // aligned text keeps the record view's display texts
  EXPECT_NE(lines[5].find("CLOB"), std::string::npos);  // a page shows the LOB's placeholder
  const test::CliOutput second = Rows(*db, {2, RowFormat::kTable});
  EXPECT_EQ(Lines(second.out).size(), 32u);
  std::ostringstream out, err;
  cli::Io io{out, err};
  try {
    cli::PrintTableRows(db->engine(), 740, {3, RowFormat::kTable}, io);
    ADD_FAILURE() << "page 3 exists";
  } catch (const cli::Failure& f) {
    EXPECT_NE(f.message.find("no page 3"), std::string::npos);
  }
}

TEST(ExportCommand, OneFilePerTableAndASummary) {
  auto db = Database("cli-export");
  test::TempDir dir;
  const std::vector<std::uint32_t> tables = cli::ShownTables(db->engine());
  EXPECT_EQ(tables, (std::vector<std::uint32_t>{740, 741}));
  std::ostringstream out, err;
  cli::Io io{out, err};
  const int code = cli::ExportTables(db->engine(), nullptr, {dir.path().string(), RowFormat::kJson, tables}, io);
  EXPECT_EQ(code, cli::kExitOk);
  EXPECT_EQ(out.str(), "tables 2, rows 131, partial rows 0, suspect rows 0, damaged blocks 0, incomplete LOB values 0\n");
  std::ifstream dept(dir / "SCOTT.DEPT.jsonl");
  std::string line;
  std::getline(dept, line);
  EXPECT_EQ(line, R"({"DEPTNO":10,"DNAME":"SALES","RATE":null})");  // JSON has no NaN: null, and a warning
  EXPECT_NE(err.str().find("warning: 1 NaN or infinite BINARY_FLOAT/BINARY_DOUBLE value(s) written as null"),
            std::string::npos)
      << err.str();
  EXPECT_TRUE(std::filesystem::exists(dir / "SCOTT.EMP.jsonl"));
  // CSV writes NaN as it is, without a warning.
  std::ostringstream csv_out, csv_err;
  cli::Io csv_io{csv_out, csv_err};
  EXPECT_EQ(cli::ExportTables(db->engine(), nullptr, {(dir / "csv").string(), RowFormat::kCsv, {741}}, csv_io),
            cli::kExitOk);
  EXPECT_EQ(csv_err.str(), "");
  std::ifstream dept_csv(dir / "csv" / "SCOTT.DEPT.csv");
  std::getline(dept_csv, line);
  std::getline(dept_csv, line);
  EXPECT_EQ(line, "10,SALES,NaN\r");
  EXPECT_EQ(cli::FileNameOf("A B/C.D$#"), "A_B_C.D$#");
}

TEST(RowsCommand, UsageErrorsAndMissingDatabases) {
  struct Case {
    std::vector<std::string> args;
    int code;
    const char* message;
  };
  const Case cases[] = {
      {{"rows", "/nonexistent", "SCOTT.EMP"}, cli::kExitFailure, "no SYSTEM datafile"},
      {{"rows", "/nonexistent"}, cli::kExitUsage, "too few arguments"},
      {{"rows", "/nonexistent", "SCOTT.EMP", "--page", "0"}, cli::kExitUsage, "numbered from 1"},
      {{"rows", "/nonexistent", "SCOTT.EMP", "--page", "2", "--all"}, cli::kExitUsage, "exclude each other"},
      {{"rows", "/nonexistent", "SCOTT.EMP", "--format", "xml"}, cli::kExitUsage, "unknown format"},
      {{"export", "/nonexistent"}, cli::kExitUsage, "--out"},
      {{"export", "/nonexistent", "--out", "/tmp/x", "--format", "table"}, cli::kExitUsage, "csv or json"},
  };
  for (const auto& c : cases) {
    const test::CliOutput o = test::RunCli(c.args);
    EXPECT_EQ(o.code, c.code) << c.args[0] << " " << c.message;
    EXPECT_NE(o.err.find(c.message), std::string::npos) << o.err;
  }
  Catalogue cat;
  EXPECT_THROW(cli::FindTable(cat, "NODOT"), cli::UsageError);
  EXPECT_THROW(cli::FindTable(cat, "SCOTT.EMP"), cli::Failure);
}

}  // namespace
}  // namespace quillon
