// A repair target: where the rescued schema and rows go (an Oracle database
// through ODBC, a SQL*Plus script, a SQLite file).
//
// The repair connects, executes statements (each a whole statement with its
// bound values, see statement.h), then for each table begins its rows,
// hands them over one at a time and ends them, and at the end disconnects.
// A target may queue rows and send them in batches (parameter arrays), so a
// row's failure is known only when EndRows returns: its counts are exact
// (every row handed over is either inserted or failed). A statement failure
// is reported as false and described by DescribeError; the repair goes on
// with the next statement or row.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "repair/statement.h"

namespace quillon::repair {

// What became of the rows of one table.
struct RowOutcome {
  bool ok = true;             // the rows' transaction was committed
  std::uint64_t inserted = 0;
  std::uint64_t failed = 0;
  // Failures, each described as DescribeError does (the first ones only,
  // see kMaxRowErrors); row values are never put in them.
  std::vector<std::string> errors;
};
inline constexpr std::size_t kMaxRowErrors = 100;

class Target {
 public:
  virtual ~Target() = default;
  virtual bool Connect() = 0;
  // Runs one statement. A statement with a password place (password_at)
  // gets the target's own password there, as a quoted identifier.
  virtual bool Execute(const Statement& statement) = 0;
  // Rows of one table: BeginRows opens a transaction; InsertRow hands over
  // one row: its INSERT text (one placeholder "?" per value) and its values.
  // Rows of a table mostly share one text (the target prepares it once and
  // may queue rows for one execute); a row whose text differs (an empty LOB
  // written as EMPTY_BLOB(), a constructor) is prepared on its own. EndRows
  // sends what is queued, commits and tells what became of every row since
  // BeginRows.
  virtual bool BeginRows() = 0;
  virtual void InsertRow(std::string_view insert_sql, std::span<const Value> values) = 0;
  virtual RowOutcome EndRows() = 0;
  // A phase of the repair begins (a script writes its line as a comment).
  virtual void BeginPhase(std::string_view /*phase_line*/) {}
  // The longest LONG or LONG RAW value the target can take (a script's
  // PL/SQL variable); 0: no limit.
  virtual std::uint64_t MaxLongBytes() const { return 0; }
  // Rows inserted so far since BeginRows (for the progress display).
  virtual std::uint64_t RowsInserted() const = 0;
  // The last failure, as text.
  virtual std::string DescribeError() const = 0;
  virtual void Disconnect() = 0;
};

}  // namespace quillon::repair
