// The real ODBC drivers the ODBC target is tested against: SQLite's driver
// (libsqlite3odbc.so, no server, always there once install-deps ran) and
// PostgreSQL's Unicode driver against the throwaway server scripts/services
// starts (its details in QUILLON_TEST_PG_*; without them those tests skip).
// Plus a plain reader that fetches a column back as raw bytes.
#pragma once

#include <sql.h>
#include <sqlext.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "repair/odbc_connection_string.h"
#include "repair/odbc_handles.h"
#include "repair/odbc_text.h"

namespace quillon::test {

struct OdbcDriver {
  std::string name;
  std::string skip;    // why the driver cannot be used here; empty when it can
  std::string target;  // a connection string without user and password
  std::string user = "quillon";
  std::string password = "unused";
  // Column types for the kinds of values.
  std::string text_type, number_type, binary_type, long_text_type, long_binary_type, integer_type, real_type;
  bool numbers_normalized = false;  // a numeric column gives back the server's own form
  std::string missing_table_state;  // the SQLSTATE of a statement on a missing table
};

inline std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

inline OdbcDriver PostgresDriver() {
  OdbcDriver d;
  d.name = "PostgreSQL";
  const std::string driver = Env("QUILLON_TEST_PG_DRIVER");
  if (driver.empty() || Env("QUILLON_TEST_PG_PORT").empty()) {
    d.skip = "no PostgreSQL server: run the tests through scripts/test, or eval \"$(scripts/services start)\" first";
    return d;
  }
  d.target = "DRIVER=" + repair::BraceQuote(driver) + ";SERVER=" + Env("QUILLON_TEST_PG_HOST") +
             ";PORT=" + Env("QUILLON_TEST_PG_PORT") + ";DATABASE=" + Env("QUILLON_TEST_PG_DATABASE");
  d.user = Env("QUILLON_TEST_PG_USER");
  d.password = Env("QUILLON_TEST_PG_PASSWORD");
  d.text_type = "VARCHAR(200)";
  d.number_type = "NUMERIC";
  d.binary_type = "BYTEA";
  d.long_text_type = "TEXT";
  d.long_binary_type = "BYTEA";
  d.integer_type = "BIGINT";
  d.real_type = "DOUBLE PRECISION";
  d.numbers_normalized = true;
  d.missing_table_state = "42P01";
  return d;
}

inline std::string SqliteOdbcDriverPath() {
  if (const std::string env = Env("QUILLON_TEST_SQLITE_ODBC_DRIVER"); !env.empty()) return env;
  for (const char* dir : {"/usr/lib/x86_64-linux-gnu/odbc", "/usr/lib/aarch64-linux-gnu/odbc", "/usr/lib/odbc",
                          "/usr/lib64", "/usr/local/lib"}) {
    const std::filesystem::path p = std::filesystem::path(dir) / "libsqlite3odbc.so";
    if (std::filesystem::exists(p)) return p.string();
  }
  return {};
}

inline OdbcDriver SqliteDriver(const std::filesystem::path& file) {
  OdbcDriver d;
  d.name = "SQLite";
  const std::string driver = SqliteOdbcDriverPath();
  if (driver.empty()) {
    d.skip = "no libsqlite3odbc.so (scripts/install-deps installs libsqliteodbc)";
    return d;
  }
  d.target = "DRIVER=" + repair::BraceQuote(driver) + ";DATABASE=" + file.string();
  d.text_type = "TEXT";
  d.number_type = "TEXT";
  d.binary_type = "BLOB";
  d.long_text_type = "TEXT";
  d.long_binary_type = "BLOB";
  d.integer_type = "INTEGER";
  d.real_type = "REAL";
  d.missing_table_state = "HY000";
  return d;
}

// A second connection that reads what the target wrote.
class OdbcReader {
 public:
  explicit OdbcReader(const OdbcDriver& d) {
    std::string error;
    std::u16string text = repair::Utf8ToUtf16(repair::BuildConnectionString(d.target, d.user, d.password, error));
    env_.Allocate(SQL_HANDLE_ENV, SQL_NULL_HANDLE);
    SQLSetEnvAttr(env_.get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    dbc_.Allocate(SQL_HANDLE_DBC, env_.get());
    ok_ = repair::OdbcOk(SQLDriverConnectW(dbc_.get(), nullptr, reinterpret_cast<SQLWCHAR*>(text.data()),
                                           static_cast<SQLSMALLINT>(text.size()), nullptr, 0, nullptr,
                                           SQL_DRIVER_NOPROMPT));
  }
  ~OdbcReader() {
    if (ok_) SQLDisconnect(dbc_.get());
  }
  bool ok() const { return ok_; }

  // The first column of every row, as c_type bytes (SQL_C_WCHAR: UTF-16
  // code units; SQL_C_CHAR: text; SQL_C_BINARY: bytes), nullopt for NULL.
  std::vector<std::optional<std::string>> Column(const std::string& sql, SQLSMALLINT c_type) {
    std::vector<std::optional<std::string>> out;
    repair::OdbcHandle stmt;
    if (!repair::OdbcOk(stmt.Allocate(SQL_HANDLE_STMT, dbc_.get()))) return out;
    std::u16string wide = repair::Utf8ToUtf16(sql);
    if (!repair::OdbcOk(
            SQLExecDirectW(stmt.get(), reinterpret_cast<SQLWCHAR*>(wide.data()), static_cast<SQLINTEGER>(wide.size())))) {
      return out;
    }
    const std::size_t terminator = c_type == SQL_C_WCHAR ? 2 : c_type == SQL_C_CHAR ? 1 : 0;
    std::vector<char> buffer(1 << 16);
    while (repair::OdbcOk(SQLFetch(stmt.get()))) {
      std::optional<std::string> value = std::string();
      for (;;) {
        SQLLEN length = 0;
        const SQLRETURN rc = SQLGetData(stmt.get(), 1, c_type, buffer.data(), static_cast<SQLLEN>(buffer.size()), &length);
        if (rc == SQL_NO_DATA) break;
        if (!repair::OdbcOk(rc)) {
          value = std::string("<SQLGetData failed>");
          break;
        }
        if (length == SQL_NULL_DATA) {
          value.reset();
          break;
        }
        const bool truncated = length == SQL_NO_TOTAL || static_cast<std::size_t>(length) > buffer.size() - terminator;
        const std::size_t piece = truncated ? buffer.size() - terminator : static_cast<std::size_t>(length);
        value->append(buffer.data(), piece);
        if (!truncated) break;
      }
      out.push_back(std::move(value));
    }
    return out;
  }

 private:
  repair::OdbcHandle env_;
  repair::OdbcHandle dbc_;
  bool ok_ = false;
};

inline std::string BytesOf(const std::u16string& text) {
  return std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2);
}

}  // namespace quillon::test
