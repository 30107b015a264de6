// A repair target: where the rescued tables go. The repair connects, runs
// statements (tables, keys, indexes), then for each table begins its rows,
// inserts them one at a time with typed values and commits, and at the end
// disconnects. A failure is reported as false and described by
// DescribeError; the repair goes on with the next statement or row.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace quillon::repair {

// A value bound to a row insert. Kinds are the storage classes a target
// keeps apart: exact integers, IEEE doubles, UTF-8 text and bytes.
struct BoundValue {
  enum class Kind : std::uint8_t { kNull, kInteger, kReal, kText, kBlob };
  Kind kind = Kind::kNull;
  std::int64_t integer = 0;
  double real = 0;
  std::string text;                // kText
  std::vector<std::uint8_t> blob;  // kBlob
};

class Target {
 public:
  virtual ~Target() = default;
  virtual bool Connect() = 0;
  virtual bool Execute(const std::string& sql) = 0;
  // Rows of one table: BeginRows prepares the insert of `columns` values
  // into `table` (a name the target's own CREATE TABLE used) and opens a
  // transaction; InsertRow runs it once per row; CommitRows ends it.
  virtual bool BeginRows(const std::string& insert_sql) = 0;
  virtual bool InsertRow(std::span<const BoundValue> values) = 0;
  virtual bool CommitRows() = 0;
  // The last failure, as text.
  virtual std::string DescribeError() const = 0;
  virtual void Disconnect() = 0;
};

}  // namespace quillon::repair
