// The repair into an Oracle target, written as a SQL*Plus script: the log
// line by line, every row read back from the script by the tests' own
// literal reader and compared with the generator's rows (numbers to the
// last digit, dates, LOB bytes), a stop during the row pass, the spill
// folder gone in every case, and no password anywhere.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>

#include "reader/dictionary_rebuild.h"
#include "reader/identify.h"
#include "reader/packed_codes.h"
#include "repair/repair_process.h"
#include "repair/script_target.h"
#include "repair/sqlite_values.h"
#include "repair/system_schemas.h"
#include "rows/table_layout.h"
#include "support/generated_schema_db.h"
#include "support/oracle_grammar.h"
#include "support/text_helpers.h"
#include "support/script_literals.h"
#include "support/test_paths.h"
#include "testdb/describe.h"

namespace quillon {
namespace {

namespace tc = type_code;

class LogSink final : public NotificationSink {
 public:
  void AppendLog(std::string_view text, LogMode mode) override {
    if (mode == LogMode::kNewLine || lines.empty()) {
      lines.emplace_back(text);
    } else {
      lines.back() += text;
    }
  }
  void UncheckTable(std::size_t index) override { unchecked.push_back(index); }
  std::vector<std::string> lines;
  std::vector<std::size_t> unchecked;
};

// Hands everything to the script target; asks for a stop at the first row
// (stop given), or refuses the statements that begin with refuse. Reads
// each statement, in the form an ODBC target is given it ("?" for bound
// values), against Oracle's grammar.
class StoppingTarget final : public repair::Target {
 public:
  StoppingTarget(repair::Target& inner, StopFlag* stop, std::string refuse = {})
      : inner_(inner), stop_(stop), refuse_(std::move(refuse)) {}
  bool Connect() override { return inner_.Connect(); }
  bool Execute(const repair::Statement& s) override {
    Read(s.Render(repair::kPasswordMask));
    if (!refuse_.empty() && s.text.starts_with(refuse_)) {
      refused_ = true;
      return false;
    }
    refused_ = false;
    return inner_.Execute(s);
  }
  bool BeginRows() override { return inner_.BeginRows(); }
  void InsertRow(std::string_view sql, std::span<const repair::Value> values) override {
    if (sql != last_insert_) {
      last_insert_ = sql;
      Read(last_insert_);
    }
    if (stop_) stop_->Request();
    inner_.InsertRow(sql, values);
  }
  repair::RowOutcome EndRows() override { return inner_.EndRows(); }
  std::uint64_t RowsInserted() const override { return inner_.RowsInserted(); }
  void BeginPhase(std::string_view line) override { inner_.BeginPhase(line); }
  std::uint64_t MaxLongBytes() const override { return inner_.MaxLongBytes(); }
  std::string DescribeError() const override {
    return refused_ ? "ORA-00955: name is already used by an existing object" : inner_.DescribeError();
  }
  void Disconnect() override { inner_.Disconnect(); }

  std::vector<std::string> refused_by_grammar;

 private:
  void Read(const std::string& sql) {
    if (std::string why = test::OracleGrammar::Check(sql, true); !why.empty()) {
      refused_by_grammar.push_back(sql.substr(0, 300) + "\n  " + why);
    }
  }
  std::string last_insert_;
  repair::Target& inner_;
  StopFlag* stop_;
  std::string refuse_;
  bool refused_ = false;
};

struct Repaired {
  std::vector<std::string> log;
  std::string script;
  repair::RepairResult result;
  std::vector<std::uint32_t> tables;
  std::vector<std::string> refused_by_grammar;  // statements as an ODBC target takes them
  std::size_t repository_tables = 0;  // of the tables, XDB's XDB$ ones: left out
};

Repaired Repair(const test::GeneratedSchemaDb& db, const std::filesystem::path& spill_root, bool stop_at_first_row,
                const std::string& refuse = {}) {
  LogSink sink;
  StopFlag stop;
  COracleRecoveryTools engine{sink, stop};
  IdentifyRelease(engine, db.system_path());
  ReadDictionary(engine);
  Repaired out;
  for (const auto& [table, rows] : testdb::DescribeRows(db.db)) {
    out.tables.push_back(table);
    const ObjectRecord* object = engine.catalogue.Object(table);
    if (object && repair::IsXmlRepositoryTable(object->owner, object->name)) ++out.repository_tables;
  }
  std::ostringstream script;
  repair::ScriptTarget target(script, "test");
  repair::OracleRepairOptions options;
  options.spill_root = spill_root.string();
  StoppingTarget stopping(target, stop_at_first_row ? &stop : nullptr, refuse);
  out.result = repair::RunRepair(engine, stopping, repair::TargetDialect::kOracle, out.tables, options);
  out.refused_by_grammar = stopping.refused_by_grammar;
  target.Disconnect();
  out.log = sink.lines;
  out.script = script.str();
  return out;
}

const std::vector<std::string> kPhasesBeforeTables = {
    "Repairing Tablespace ", "Repairing DataFile ",   "Repairing Role ",    "Repairing User ",
    "Repairing Database Link ", "Repairing Type ",    "Repairing XmlSchema ", "Repairing Cluster ",
    "Repairing Index "};
const std::vector<std::string> kPhasesAfterTables = {
    "Repairing Synonyms   ",          "Repairing Sequence ",        "Repairing View ",
    "Repairing Trigger ",             "Repairing Function   ",      "Repairing Materialized view log ",
    "Repairing Materialized view",    "Repairing Type Body   ",     "Repairing Stored Procedure ",
    "Repairing Package ",             "Repairing Package Body ",    "Repairing User Object privilege ",
    "Repairing Role Object privilege "};

bool IsHeader(const std::string& line) {
  for (const char* h : {"Repairing Table.....", "Repairing Table(IOT).....", "Repairing Partitioning Table.....",
                        "Repairing Subpartitioning Table.....", "Repairing Partitioning Table(IOT)....."}) {
    if (line.starts_with(h)) return true;
  }
  return false;
}

TEST(OracleRepairLog, TheSampleRepairLogLineByLine) {
  const auto& db = test::SampleDb("11.2", 8192);
  test::TempDir spill;
  const Repaired r = Repair(db, spill.path(), false);
  const auto& log = r.log;
  std::size_t i = 0;
  auto next = [&]() -> std::string { return i < log.size() ? log[i++] : std::string("<end of log>"); };
  EXPECT_EQ(next(), "");
  EXPECT_TRUE(next().starts_with("Repair Process Started On "));
  EXPECT_EQ(next(), std::string(59, '.'));
  for (const std::string& phase : kPhasesBeforeTables) {
    std::string line = next();
    while (line.starts_with("Failed statement(s) : ")) line = next();
    EXPECT_EQ(line, phase);
  }
  EXPECT_EQ(next(), "Total table(s) selected : " + std::to_string(r.tables.size()));
  EXPECT_EQ(next(), std::string(59, '.'));
  if (i < log.size() && log[i].starts_with("Failed statement(s) : ")) ++i;
  std::size_t tables = 0;
  std::uint64_t rows = 0;
  while (i < log.size() && IsHeader(log[i])) {
    SCOPED_TRACE(log[i]);
    EXPECT_TRUE(log[i].ends_with("  "));
    ++i;
    if (log[i] == "Created with its parent table: not repaired on its own") {
      ++i;
    } else {
      EXPECT_TRUE(next().starts_with("Total fields present : "));
      std::string line = next();
      if (line == "Table not created: its rows are not repaired") line = next();
      ASSERT_TRUE(line.starts_with("Total record(s) recovered : ")) << line;
      rows += std::stoull(line.substr(28));
      while (i < log.size() && log[i] != std::string(59, '.')) {
        const std::string extra = next();
        EXPECT_TRUE(extra.starts_with("Failed record(s) : ") || extra.starts_with("Incomplete LOB value(s) : ") ||
                    extra.starts_with("Value(s) written as NULL : ") ||
                    extra.starts_with("LONG value(s) over 32 KB not scripted : "))
            << extra;
      }
    }
    EXPECT_EQ(next(), std::string(59, '.'));
    ++tables;
  }
  // The XML DB repository's tables are left out, and said so in the error
  // file only.
  EXPECT_GT(r.repository_tables, 0u);
  EXPECT_EQ(tables, r.tables.size() - r.repository_tables);
  EXPECT_NE(r.result.errors_text.find("left out: it belongs to the XML DB repository"), std::string::npos);
  EXPECT_EQ(rows, r.result.rows);
  for (const std::string& phase : kPhasesAfterTables) {
    std::string line = next();
    while (line.starts_with("Failed statement(s) : ")) line = next();
    EXPECT_EQ(line, phase);
  }
  if (i < log.size() && log[i].starts_with("Failed statement(s) : ")) ++i;
  EXPECT_EQ(next(), std::string(72, '.'));
  EXPECT_TRUE(next().starts_with("Repairing process completed on....."));
  EXPECT_EQ(i, log.size());
  EXPECT_FALSE(r.result.stopped);
  EXPECT_TRUE(std::filesystem::is_empty(spill.path()));
}

TEST(OracleRepairLog, AStopDuringTheRowPassEndsAfterTheCurrentTable) {
  const auto& db = test::SampleDb("11.2", 8192);
  test::TempDir spill;
  const Repaired r = Repair(db, spill.path(), true);
  EXPECT_TRUE(r.result.stopped);
  ASSERT_FALSE(r.log.empty());
  const auto has = [&](const std::string& prefix) {
    return std::any_of(r.log.begin(), r.log.end(), [&](const std::string& l) { return l.starts_with(prefix); });
  };
  EXPECT_FALSE(has("Repairing Synonyms   "));
  EXPECT_FALSE(has(std::string(72, '.')));
  EXPECT_FALSE(has("Repairing process completed on"));
  // The table being read when the stop came is finished with its lines.
  EXPECT_EQ(r.log.back(), std::string(59, '.'));
  const auto headers = std::count_if(r.log.begin(), r.log.end(), IsHeader);
  EXPECT_GE(headers, 1);
  EXPECT_LT(static_cast<std::size_t>(headers), r.tables.size());
  EXPECT_TRUE(std::filesystem::is_empty(spill.path()));
  // Rows handed over before the stop are in the script with their COMMIT.
  EXPECT_NE(r.script.find("\ninsert into"), std::string::npos);
  EXPECT_NE(r.script.find("\nCOMMIT\n/\n"), std::string::npos);
}

TEST(OracleRepairLog, ATableWhoseCreateFailedGetsNoInsertsAndItsRowsCountAsFailed) {
  const auto& db = test::SampleDb("11.2", 8192);
  test::TempDir spill;
  const Repaired r = Repair(db, spill.path(), false, "Create Table \"HR\".\"REGIONS\"");
  const auto at = std::find(r.log.begin(), r.log.end(), "Repairing Table.....HR.REGIONS  ");
  ASSERT_NE(at, r.log.end());
  ASSERT_GE(r.log.end() - at, 6);
  EXPECT_EQ(at[1], "Total fields present : 2");
  EXPECT_EQ(at[2], "Table not created: its rows are not repaired");
  EXPECT_EQ(at[3], "Total record(s) recovered : 0");
  EXPECT_EQ(at[4], "Failed record(s) : 4");
  EXPECT_EQ(at[5], std::string(59, '.'));
  EXPECT_EQ(r.script.find("insert into \"HR\".\"REGIONS\""), std::string::npos);
  EXPECT_NE(std::find(r.log.begin(), r.log.end(), "Failed statement(s) : 1"), r.log.end());
  EXPECT_EQ(r.result.tables_not_created, 1u);
  EXPECT_NE(r.result.errors_text.find("ORA-00955"), std::string::npos);
  EXPECT_NE(r.result.errors_text.find("Create Table \"HR\".\"REGIONS\""), std::string::npos);
  // A nested-table storage table is never created on its own.
  EXPECT_EQ(r.script.find("Create Table \"HR\".\"EMP_SKILLS_NT\""), std::string::npos);
}

// The reader's date texts ("05-JAN-2024 03:04:05[.fffffffff] PM[ +HH:MM]")
// and the script's TO_TIMESTAMP texts ("2024-01-05 15:04:05.fffffffff[ +HH:MM]")
// in one form: ISO 8601 without a zero fraction.
std::string IsoOfReaderText(const std::string& text) {
  static const char* kMonths[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN", "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
  int day = 0, year = 0, hour = 0, minute = 0, second = 0, used = 0;
  char month[4] = {};
  if (std::sscanf(text.c_str(), "%2d-%3c-%d %d:%d:%d%n", &day, month, &year, &hour, &minute, &second, &used) != 6) {
    return "unparsed: " + text;
  }
  std::string rest = text.substr(static_cast<std::size_t>(used));
  std::string fraction;
  if (!rest.empty() && rest[0] == '.') {
    fraction = rest.substr(0, 10);
    rest = rest.substr(10);
  }
  const bool pm = rest.starts_with(" PM");
  const std::string zone = rest.size() > 3 ? rest.substr(3) : "";
  hour = hour % 12 + (pm ? 12 : 0);
  int m = 0;
  while (m < 12 && std::string(month) != kMonths[m]) ++m;
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%s%04d-%02d-%02dT%02d:%02d:%02d", year < 0 ? "-" : "", std::abs(year), m + 1,
                day, hour, minute, second);
  if (fraction == ".000000000") fraction.clear();
  return buffer + fraction + zone;
}

std::string IsoOfScriptTimestamp(std::string text) {
  if (!text.empty() && text[0] != '-') text = text;
  const std::size_t space = text.find(' ', 1);
  if (space != std::string::npos) text[space] = 'T';
  const std::size_t zero = text.find(".000000000");
  if (zero != std::string::npos) text.erase(zero, 10);
  return text;
}

std::string FloatText(double d) {
  char buffer[512];
  std::snprintf(buffer, sizeof buffer, "%lf", d);
  return buffer;
}

// A value in one form for both sides; std::nullopt: not compared (types the
// builder writes as NULL and counts).
std::optional<std::string> FromGenerator(std::uint32_t type, const std::string& text) {
  switch (type) {
    case tc::kNumber: return repair::CanonicalNumber(text);
    case tc::kDate:
    case tc::kTimestamp:
    case tc::kTimestampTz:
    case tc::kTimestampLtz: return IsoOfReaderText(text);
    case tc::kBinaryFloat:
    case tc::kBinaryDouble:
      return text.find("nan") != std::string::npos ? "NaN" : text;
    case tc::kObject:
    case tc::kNestedTable:
    case tc::kVarray:
    case tc::kRef:
    case tc::kXmlType: return std::nullopt;
    default: return text;
  }
}

std::string FromScript(std::uint32_t type, const test::ScriptValue& v) {
  using K = test::ScriptValue::Kind;
  switch (v.kind) {
    case K::kNull: return "<NULL>";
    case K::kNumber:
      if (type == tc::kBinaryFloat || type == tc::kBinaryDouble) return FloatText(std::strtod(v.text.c_str(), nullptr));
      return repair::CanonicalNumber(v.text);
    case K::kSpecial:
      if (v.text.ends_with("NAN")) return "NaN";
      return FloatText(v.text.starts_with("-") ? -INFINITY : INFINITY);
    case K::kDate: return IsoOfReaderText(v.text);
    case K::kTimestamp:
    case K::kTimestampTz: return IsoOfScriptTimestamp(v.text);
    case K::kEmptyLob: return "";
    default: return v.text;
  }
}

TEST(OracleRepairScript, EveryRowReadsBackFromTheScriptValueForValue) {
  const auto& db = test::SampleDb("11.2", 8192);
  test::TempDir spill;
  const Repaired r = Repair(db, spill.path(), false);
  EXPECT_EQ(test::CheckScript(r.script), std::vector<std::string>{});
  EXPECT_EQ(r.refused_by_grammar, std::vector<std::string>{});
  NullSink sink;
  StopFlag stop;
  COracleRecoveryTools engine{sink, stop};
  IdentifyRelease(engine, db.system_path());
  ReadDictionary(engine);

  std::map<std::string, std::vector<test::ScriptInsert>> script_rows;
  for (const std::string& unit : test::ScriptUnits(r.script)) {
    if (!unit.starts_with("insert into") && !(unit.starts_with("DECLARE") && unit.find("insert into") != std::string::npos)) {
      continue;
    }
    const auto row = test::ReadRowUnit(unit);
    ASSERT_TRUE(row) << unit.substr(0, 400);
    script_rows[row->owner + "." + row->table].push_back(*row);
  }
  std::size_t compared_tables = 0;
  std::size_t compared_values = 0;
  std::set<std::uint32_t> compared_types;
  for (const auto& [table, rows] : testdb::DescribeRows(db.db)) {
    const ObjectRecord* object = engine.catalogue.Object(table);
    ASSERT_NE(object, nullptr);
    const std::string name = object->owner + "." + object->name;
    SCOPED_TRACE(name);
    const TableLayout layout = TableLayout::Of(engine.catalogue, table);
    std::map<std::string, std::uint32_t> types;
    for (const ColumnInfo* c : layout.columns()) types[c->name] = c->type_code;
    const auto found = script_rows.find(name);
    const std::vector<test::ScriptInsert> none;
    const auto& written = found == script_rows.end() ? none : found->second;
    if (rows.empty() && written.empty()) continue;
    std::set<std::string> columns;
    if (!written.empty()) columns.insert(written.front().columns.begin(), written.front().columns.end());
    std::vector<std::string> expected, actual;
    for (const CatalogueJsonRow& row : rows) {
      std::string text;
      for (const auto& [column, value] : row) {
        if (!columns.count(column)) continue;
        const std::uint32_t type = types[column];
        if (!FromGenerator(type, "x")) continue;  // not written by the builder
        std::optional<std::string> v = value ? FromGenerator(type, *value) : std::optional<std::string>("<NULL>");
        if (type == tc::kRaw || type == tc::kLongRaw || type == tc::kBlob) v = test::Upper(*v);
        text += column + "=" + *v + "|";
      }
      expected.push_back(text);
    }
    for (const test::ScriptInsert& row : written) {
      std::vector<std::pair<std::string, std::string>> cells;
      for (std::size_t k = 0; k < row.columns.size(); ++k) {
        const std::uint32_t type = types[row.columns[k]];
        if (!FromGenerator(type, "x")) continue;
        cells.emplace_back(row.columns[k], FromScript(type, row.values[k]));
        compared_types.insert(type);
        ++compared_values;
      }
      // In the generator's (stored) column order.
      std::string text;
      for (const auto& [column, value] : rows.empty() ? CatalogueJsonRow{} : rows.front()) {
        for (const auto& [c, v] : cells) {
          if (c == column) text += c + "=" + v + "|";
        }
      }
      actual.push_back(text);
    }
    // Tables with no column the builder writes (XMLType object tables).
    if (std::all_of(expected.begin(), expected.end(), [](const std::string& e) { return e.empty(); }) &&
        written.empty()) {
      continue;
    }
    std::sort(expected.begin(), expected.end());
    std::sort(actual.begin(), actual.end());
    EXPECT_EQ(actual, expected);
    ++compared_tables;
  }
  EXPECT_GT(compared_tables, 5u);
  EXPECT_GT(compared_values, 100u);
  for (const std::uint32_t type : {tc::kVarchar2, tc::kNumber, tc::kDate}) EXPECT_TRUE(compared_types.count(type)) << type;
}

TEST(OracleRepairScript, NoPasswordInTheScriptTheLogOrTheErrors) {
  const auto& db = test::SampleDb("11.2", 8192);
  test::TempDir spill;
  const Repaired r = Repair(db, spill.path(), false);
  std::string log;
  for (const std::string& line : r.log) log += line + "\n";
  for (const std::string secret : {"TIGER", "tiger"}) {
    EXPECT_EQ(r.script.find(secret), std::string::npos);
    EXPECT_EQ(log.find(secret), std::string::npos);
    EXPECT_EQ(r.result.errors_text.find(secret), std::string::npos);
  }
  EXPECT_EQ(r.script.find("IDENTIFIED BY VALUES"), std::string::npos);
}

}  // namespace
}  // namespace quillon
