// quillon export of the sample database in CSV and JSON Lines, read back by
// Python's csv and json modules (check_export_data.py): every value equals
// the data the generator wrote. The expected values come from the
// generator's own row values (numbers as its decimal texts, dates and
// intervals as their fields, floats as their bits), not from the reader.
#include <gtest/gtest.h>

#include <bit>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "cli/row_commands.h"
#include "reader/json_writer.h"
#include "support/generated_schema_db.h"
#include "support/run_cli.h"
#include "support/test_paths.h"
#include "testdb/row_encoder.h"

namespace quillon {
namespace {

using testdb::ColumnSource;
using testdb::RColumn;
using testdb::RowValues;
using testdb::RTable;
using testdb::Value;

// The kind of data text a column's type gets (check_export_data.py's kinds).
std::string KindOf(std::uint32_t type_number) {
  switch (type_number) {
    case 2: return "num";
    case 12:
    case 180:
    case 231: return "dt";
    case 181: return "tz";
    case 182: return "ym";
    case 183: return "ds";
    case 100: return "f32";
    case 101: return "f64";
    default: return "text";
  }
}

// The generator's value of a stored column, when the column holds one.
const Value* StoredValueOf(const RColumn& column, const RowValues& row) {
  if (column.source != ColumnSource::kValue && column.source != ColumnSource::kAttribute) return nullptr;
  return testdb::SourceValue(column, row);
}

std::string Hex(std::uint64_t bits, int bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out;
  for (int i = 2 * bytes - 1; i >= 0; --i) out += kDigits[(bits >> (4 * i)) & 0xF];
  return out;
}

std::string Fields(const DateTimeFields& f) {
  std::ostringstream out;
  out << f.year << "," << f.month << "," << f.day << "," << f.hour << "," << f.minute << "," << f.second << ","
      << f.nanoseconds;
  return out.str();
}

struct Expected {
  std::string json;
  std::map<std::string, int> kinds;  // values per kind, NULLs left out
  std::size_t values = 0;
  std::string tables;  // OWNER.TABLE,... for --tables
};

// One value as [kind, data]; fails the test when a column whose type has a
// data text holds no generator value of the matching kind.
std::string ExpectedValue(const std::string& kind, const Value* v, const std::string& described, Expected& e) {
  std::string data;
  std::string value_kind = kind;
  using K = Value::Kind;
  if (kind == "text") {
    AppendJsonQuoted(data, described);
  } else if (!v) {
    ADD_FAILURE() << "no generator value for a column of kind " << kind;
    return "null";
  } else if (kind == "num" && v->kind == K::kNumber) {
    AppendJsonQuoted(data, v->text);
  } else if (kind == "dt" && v->kind == K::kDateTime) {
    data = "[" + Fields(v->time) + "]";
  } else if (kind == "tz" && v->kind == K::kTimestampTz) {
    data = "[" + Fields(v->time) + "," + std::to_string(v->a) + "]";
  } else if (kind == "tz" && v->kind == K::kTimestampTzRegion) {
    value_kind = "tzr";
    data = "[" + Fields(v->time) + "]";
  } else if (kind == "ym" && v->kind == K::kIntervalYm) {
    data = "[" + std::to_string(v->a) + "," + std::to_string(v->b) + "]";
  } else if (kind == "ds" && v->kind == K::kIntervalDs) {
    data = "[" + std::to_string(v->a) + "," + std::to_string(v->b) + "," + std::to_string(v->c) + "," +
           std::to_string(v->d) + "," + std::to_string(v->e) + "]";
  } else if (kind == "f32" && v->kind == K::kBinaryFloat) {
    data = "\"" + Hex(std::bit_cast<std::uint32_t>(static_cast<float>(v->real)), 4) + "\"";
  } else if (kind == "f64" && v->kind == K::kBinaryDouble) {
    data = "\"" + Hex(std::bit_cast<std::uint64_t>(v->real), 8) + "\"";
  } else {
    ADD_FAILURE() << "a generator value of another kind in a column of kind " << kind;
    return "null";
  }
  ++e.kinds[value_kind];
  return "[\"" + value_kind + "\"," + data + "]";
}

// Every application table's rows as check_export_data.py reads them,
// mirroring what the generator stores (testdb::DescribeRows).
Expected ExpectedTables(const testdb::GeneratedDatabase& database) {
  Expected e;
  const testdb::ResolvedSchema& r = *database.schema;
  const testdb::Schema& s = *r.schema;
  const testdb::RowEncoder encoder(*FindCharset(s.character_set), *FindCharset(s.national_character_set));
  e.json = "{\"tables\":[";
  bool first_table = true;
  for (const RTable& t : r.tables) {
    if (t.dictionary || (t.property & 0x200)) continue;  // an IOT's overflow part has no rows of its own
    std::vector<const std::vector<RowValues>*> sources;
    if (t.rows && !(t.property & 0x20)) sources.push_back(t.rows);
    if (t.wanted && (t.property & 0x20)) {
      for (const auto& p : t.wanted->partitioning.partitions) {
        sources.push_back(&p.rows);
        for (const auto& sp : p.subpartitions) sources.push_back(&sp.rows);
      }
    }
    const auto columns = testdb::RowEncoder::StoredColumns(t);
    e.tables += (first_table ? "" : ",") + t.owner + "." + t.name;
    if (!first_table) e.json += ",";
    first_table = false;
    e.json += "{\"file\":";
    AppendJsonQuoted(e.json, cli::FileNameOf(t.owner + "." + t.name));
    e.json += ",\"kinds\":{";
    for (std::size_t k = 0; k < columns.size(); ++k) {
      if (k) e.json += ",";
      AppendJsonQuoted(e.json, columns[k]->name);
      e.json += ":\"" + KindOf(columns[k]->type_number) + "\"";
    }
    e.json += "},\"rows\":[";
    bool first_row = true;
    for (const auto* rows : sources) {
      for (std::size_t i = 0; i < rows->size(); ++i) {
        const RowValues& row = (*rows)[i];
        if (!first_row) e.json += ",";
        first_row = false;
        e.json += "{";
        for (std::size_t k = 0; k < columns.size(); ++k) {
          const RColumn& column = *columns[k];
          SCOPED_TRACE(t.owner + "." + t.name + "." + column.name);
          const auto described = encoder.ValueText(column, encoder.EncodeColumn(t, column, row, i), row);
          if (k) e.json += ",";
          AppendJsonQuoted(e.json, column.name);
          e.json += ":";
          e.json += described ? ExpectedValue(KindOf(column.type_number), StoredValueOf(column, row), *described, e)
                              : "null";
          ++e.values;
        }
        e.json += "}";
      }
    }
    e.json += "]}";
  }
  e.json += "]}";
  return e;
}

TEST(ExportData, PythonReadsBackEveryValueTheGeneratorWrote) {
  if (std::system("python3 -c 'import csv, json, decimal' > /dev/null 2>&1") != 0) {
    GTEST_SKIP() << "python3 is not available";
  }
  const auto& db = test::SampleDb("11.2", 8192);
  const Expected expected = ExpectedTables(db.db);
  test::TempDir out;
  for (const char* format : {"csv", "json"}) {
    // Every table with rows, those the object tree leaves out (snapshot logs) too.
    const test::CliOutput o = test::RunCli(
        {"export", db.folder, "--out", (out / format).string(), "--format", format, "--tables", expected.tables});
    ASSERT_EQ(o.code, cli::kExitOk) << o.err;
    EXPECT_EQ(o.err.find("warning"), std::string::npos) << o.err;
  }
  // Every kind of data text is in the sample database.
  for (const char* kind : {"num", "dt", "tz", "tzr", "ym", "ds", "f32", "f64", "text"}) {
    EXPECT_GT(expected.kinds.count(kind) ? expected.kinds.at(kind) : 0, 0) << kind;
  }
  const auto expected_path = out / "expected.json";
  std::ofstream(expected_path) << expected.json;
  const auto report = out / "report.txt";
  const std::string command = "python3 '" + (test::SourceDir() / "tests" / "cli" / "check_export_data.py").string() +
                              "' '" + expected_path.string() + "' '" + (out / "csv").string() + "' '" +
                              (out / "json").string() + "' > '" + report.string() + "' 2>&1";
  const int status = std::system(command.c_str());
  std::ifstream in(report);
  const std::string text((std::istreambuf_iterator<char>(in)), {});
  EXPECT_EQ(status, 0) << text;
  // Both files of every table, every column of every row.
  EXPECT_NE(text.find("checked " + std::to_string(2 * expected.values) + " values"), std::string::npos) << text;
}

}  // namespace
}  // namespace quillon
