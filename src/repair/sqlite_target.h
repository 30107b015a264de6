// The SQLite target: one SQLite file holding the rescued tables.
//
// Each Oracle schema is a table-name prefix: table HR.EMPLOYEES is the
// SQLite table "HR.EMPLOYEES", index HR.EMP_NAME_IX the index
// "HR.EMP_NAME_IX". Tables are built in SQLite's own dialect from the
// catalogue views: columns with the types of sqlite_values.h (an object
// column's attributes named by their path, "ADDRESS.CITY"), NOT NULL,
// primary keys, unique keys and foreign keys (SQLite records them; it
// enforces them only with PRAGMA foreign_keys on), and the plain indexes.
// Check conditions are Oracle SQL: they go to the side file.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "repair/target.h"
#include "reader/block_source.h"
#include "reader/catalogue_views.h"
#include "reader/engine.h"

struct sqlite3;
struct sqlite3_stmt;

namespace quillon::repair {

// "NAME" with every double quote doubled: the one way a name reaches
// SQLite's SQL. A name holding a NUL cannot be written (empty result).
std::string SqliteIdent(std::string_view name);

class SqliteTarget final : public Target {
 public:
  explicit SqliteTarget(std::string path) : path_(std::move(path)) {}
  ~SqliteTarget() override;
  SqliteTarget(const SqliteTarget&) = delete;
  SqliteTarget& operator=(const SqliteTarget&) = delete;

  bool Connect() override;
  bool Execute(const Statement& statement) override;
  bool Execute(const std::string& sql);
  bool BeginRows() override;
  void InsertRow(std::string_view insert_sql, std::span<const Value> values) override;
  RowOutcome EndRows() override;
  // The SQLite table the next rows go into and its columns, the i-th value
  // of a row being the i-th column: binary long values (LongValue) are then
  // written into their row piece by piece through SQLite's incremental BLOB
  // I/O, never held whole. Without it they are read into memory.
  void SetRowTable(std::string table, std::vector<std::string> columns);
  // A row that could not be handed over (its values could not be read
  // whole): counted as failed, with why.
  void RowNotInserted(const std::string& why);
  std::uint64_t RowsInserted() const override { return rows_.inserted; }
  std::string DescribeError() const override { return error_; }
  void Disconnect() override;

 private:
  bool Fail(const std::string& what);
  void FailRow(const std::string& what);
  void CountFailedRow();  // the row failed, as error_ says
  bool StreamLongValues(std::span<const Value> values);
  std::string path_;
  std::string row_table_;                // where LongValue bytes are streamed
  std::vector<std::string> row_columns_;
  std::vector<std::size_t> streamed_;    // values bound as zero-filled BLOBs awaiting their bytes
  std::vector<std::uint8_t> chunk_;
  sqlite3* db_ = nullptr;
  sqlite3_stmt* insert_ = nullptr;
  std::string insert_sql_;  // the text insert_ was prepared from
  RowOutcome rows_;
  std::string error_;
};

// What one table gave.
struct SqliteTableResult {
  bool created = false;
  std::size_t fields = 0;
  std::uint64_t rows = 0;         // rows inserted
  std::uint64_t failed_rows = 0;  // rows the target refused
  std::uint64_t partial_rows = 0;
  std::uint64_t incomplete_lobs = 0;  // LOBs written without some of their pages
  bool stopped = false;
  std::vector<std::string> errors;  // statement failures, with their statement (no row values)
};

// The SQLite statements for a table: CREATE TABLE and CREATE INDEX. Oracle
// texts that SQLite cannot read (check conditions) are appended to
// side_file as Oracle statements.
std::vector<std::string> SqliteTableStatements(const CatalogueViews& views, std::uint32_t table_object_number,
                                               std::string& side_file);

// Creates one table in the target and copies its rows in one transaction.
// progress: after each block read (blocks done, of how many). Long BLOB
// and LONG RAW values wait in a spill folder under spill_root (empty: the
// user's cache folder) on their way into the file.
SqliteTableResult RepairTableIntoSqlite(COracleRecoveryTools& engine, BlockSource& source,
                                        const CatalogueViews& views, std::uint32_t table_object_number,
                                        SqliteTarget& target, std::string& side_file,
                                        const std::function<void(std::uint64_t, std::uint64_t)>& progress = {},
                                        const std::string& spill_root = {});

}  // namespace quillon::repair
