// The sample database repaired into a SQLite file, then read back with
// SQLite's own C API: every row of every table equals the row the generator
// says it wrote, value for value (numbers to the last digit, dates, bytes).
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "repair/sqlite_target.h"
#include "repair/sqlite_values.h"
#include "reader/dictionary_rebuild.h"
#include "reader/identify.h"
#include "reader/packed_codes.h"
#include "support/generated_schema_db.h"
#include "support/text_helpers.h"
#include "testdb/describe.h"

namespace quillon {
namespace {

namespace tc = type_code;

// The reader's date text ("05-JAN-2024 03:04:05[.fffffffff] PM[ +HH:MM]")
// as ISO 8601, parsed here on its own so the test does not lean on the
// conversion it checks.
std::string IsoOfDateText(const std::string& text) {
  static const char* kMonths[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN", "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
  int day = 0, year = 0, hour = 0, minute = 0, second = 0;
  char month[4] = {};
  int used = 0;
  if (std::sscanf(text.c_str(), "%2d-%3c-%d %d:%d:%d%n", &day, month, &year, &hour, &minute, &second, &used) != 6) {
    return "unparsed: " + text;
  }
  std::string rest = text.substr(static_cast<std::size_t>(used));
  std::string fraction;
  if (!rest.empty() && rest[0] == '.') {
    fraction = rest.substr(0, 10);
    rest = rest.substr(10);
  }
  const bool pm = rest.rfind(" PM", 0) == 0;
  const std::string zone = rest.size() > 3 ? rest.substr(4) : "";
  hour = hour % 12 + (pm ? 12 : 0);
  int m = 0;
  while (m < 12 && std::string(month) != kMonths[m]) ++m;
  const int astronomical = year < 0 ? year + 1 : year;
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%s%04d-%02d-%02dT%02d:%02d:%02d", astronomical < 0 ? "-" : "",
                std::abs(astronomical), m + 1, day, hour, minute, second);
  return buffer + fraction + zone;
}

std::string Hex(const void* data, int size) {
  std::string out;
  const auto* p = static_cast<const unsigned char*>(data);
  char buffer[3];
  for (int i = 0; i < size; ++i) {
    std::snprintf(buffer, sizeof buffer, "%02X", p[i]);
    out += buffer;
  }
  return out;
}

// A generator value in the form the SQLite file holds it.
std::string Expected(std::uint32_t type_code, const std::string& text) {
  switch (type_code) {
    case tc::kNumber: return repair::CanonicalNumber(text);
    case tc::kDate:
    case tc::kTimestamp:
    case tc::kTimestampTz:
    case tc::kTimestampLtz: return IsoOfDateText(text);
    case tc::kRaw:
    case tc::kLongRaw:
    case tc::kBlob: return test::Upper(text);
    case tc::kBinaryFloat:
    case tc::kBinaryDouble: return text.find("nan") != std::string::npos ? "NaN" : text;
    default: return text;
  }
}

// A SQLite value as text: REAL as "%lf" (the generator's float form), BLOB
// as hexadecimal.
std::optional<std::string> Actual(sqlite3_stmt* statement, int column) {
  switch (sqlite3_column_type(statement, column)) {
    case SQLITE_NULL: return std::nullopt;
    case SQLITE_FLOAT: {
      char buffer[512];
      std::snprintf(buffer, sizeof buffer, "%lf", sqlite3_column_double(statement, column));
      return std::string(buffer);
    }
    case SQLITE_BLOB:
      return Hex(sqlite3_column_blob(statement, column), sqlite3_column_bytes(statement, column));
    default:
      return std::string(reinterpret_cast<const char*>(sqlite3_column_text(statement, column)),
                         static_cast<std::size_t>(sqlite3_column_bytes(statement, column)));
  }
}

std::string RowText(std::vector<std::pair<std::string, std::optional<std::string>>> row) {
  std::sort(row.begin(), row.end());
  std::string out;
  for (const auto& [name, value] : row) out += name + "=" + (value ? "'" + *value + "'" : std::string("NULL")) + " ";
  return out;
}

void RoundTrip(const char* release) {
  SCOPED_TRACE(release);
  const auto& db = test::SampleDb(release, 8192);
  NullSink sink;
  StopFlag stop;
  COracleRecoveryTools engine{sink, stop};
  IdentifyRelease(engine, db.system_path());
  ReadDictionary(engine);
  BlockSource source(engine.datafiles);
  const CatalogueViews views(engine.catalogue);
  const auto path = std::filesystem::temp_directory_path() /
                    ("quillon-round-trip-" + std::string(release) + "-" + std::to_string(::getpid()) + ".sqlite");
  std::filesystem::remove(path);
  const auto described = testdb::DescribeRows(db.db);
  {
    repair::SqliteTarget target(path.string());
    ASSERT_TRUE(target.Connect()) << target.DescribeError();
    std::string side;
    for (const auto& [table, rows] : described) {
      const auto r = repair::RepairTableIntoSqlite(engine, source, views, table, target, side);
      EXPECT_TRUE(r.created) << table << (r.errors.empty() ? "" : r.errors.front());
      EXPECT_EQ(r.failed_rows, 0u) << (r.errors.empty() ? "" : r.errors.front());
      EXPECT_EQ(r.rows, rows.size());
    }
    target.Disconnect();
  }
  sqlite3* file = nullptr;
  ASSERT_EQ(sqlite3_open_v2(path.c_str(), &file, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
  std::size_t tables_with_rows = 0;
  for (const auto& [table, rows] : described) {
    const ObjectRecord* object = engine.catalogue.Object(table);
    ASSERT_NE(object, nullptr);
    SCOPED_TRACE(object->owner + "." + object->name);
    const TableLayout layout = TableLayout::Of(engine.catalogue, table);
    std::map<std::string, std::uint32_t> types;
    for (const ColumnInfo* c : layout.columns()) types[c->name] = c->type_code;
    // An object's attribute columns are named in SQLite by their path, the
    // ATTRCOL$ name without its quotes ("ADDRESS"."CITY": ADDRESS.CITY).
    std::map<std::string, std::string> sqlite_names;
    for (const ColumnInfo* c : layout.columns()) {
      for (const AttributeColumnRecord& a : engine.catalogue.attribute_columns.All<0>(table)) {
        std::string unquoted = a.name;
        std::erase(unquoted, '"');
        if (a.internal_column == c->internal_column) sqlite_names[c->name] = unquoted;
      }
    }
    // An XMLType column stored as a CLOB holds the document of the hidden
    // CLOB after it.
    std::map<std::string, std::string> xml_documents;
    for (const ColumnInfo* x : layout.columns()) {
      if (x->type_code != tc::kXmlType) continue;
      for (const ColumnInfo* c : layout.columns()) {
        if (c->internal_column == x->internal_column + 1 && c->type_code == tc::kClob) xml_documents[x->name] = c->name;
      }
    }
    std::vector<std::string> expected;
    for (const CatalogueJsonRow& row : rows) {
      std::vector<std::pair<std::string, std::optional<std::string>>> converted;
      for (const auto& [name, value] : row) {
        std::optional<std::string> v = value;
        if (const auto document = xml_documents.find(name); document != xml_documents.end() && value) {
          for (const auto& [other, text] : row) {
            if (other == document->second) v = text;
          }
        }
        const auto renamed = sqlite_names.find(name);
        converted.emplace_back(renamed == sqlite_names.end() ? name : renamed->second,
                               v ? std::optional<std::string>(Expected(types[name], *v)) : std::nullopt);
      }
      expected.push_back(RowText(std::move(converted)));
    }
    std::vector<std::string> read;
    const std::string query = "SELECT * FROM " + repair::SqliteIdent(object->owner + "." + object->name);
    sqlite3_stmt* statement = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(file, query.c_str(), -1, &statement, nullptr), SQLITE_OK) << sqlite3_errmsg(file);
    while (sqlite3_step(statement) == SQLITE_ROW) {
      std::vector<std::pair<std::string, std::optional<std::string>>> row;
      for (int i = 0; i < sqlite3_column_count(statement); ++i) {
        row.emplace_back(sqlite3_column_name(statement, i), Actual(statement, i));
      }
      read.push_back(RowText(std::move(row)));
    }
    sqlite3_finalize(statement);
    std::sort(expected.begin(), expected.end());
    std::sort(read.begin(), read.end());
    EXPECT_EQ(read, expected);
    if (!expected.empty()) ++tables_with_rows;
  }
  EXPECT_GT(tables_with_rows, 5u);
  // The sample's XMLType column arrived as its documents (9i on).
  if (std::string(release) != "8i") {
    sqlite3_stmt* statement = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(file, "SELECT \"PROFILE\" FROM \"HR.EMP_DETAILS\" WHERE \"PROFILE\" IS NOT NULL", -1,
                                 &statement, nullptr),
              SQLITE_OK)
        << sqlite3_errmsg(file);
    std::size_t documents = 0;
    while (sqlite3_step(statement) == SQLITE_ROW) {
      EXPECT_EQ(Actual(statement, 0), "<profile><level>senior</level></profile>");
      ++documents;
    }
    sqlite3_finalize(statement);
    EXPECT_EQ(documents, 2u);
  }
  sqlite3_close(file);
  std::filesystem::remove(path);
}

TEST(SqliteRoundTrip, SampleDatabaseRowsReadBackValueForValue) {
  for (const char* release : {"8i", "9i", "10.1", "10.2", "11.1", "11.2", "11.2-alt"}) RoundTrip(release);
}

}  // namespace
}  // namespace quillon
