// The Oracle target through ODBC (unixODBC and the driver the user
// installed): a data source name or a whole connection string, the user
// (SYSTEM unless told otherwise) and its password, which goes to the driver
// inside the connection string and nowhere else.
//
// Statements run with no time limit and with SQL_ATTR_NOSCAN on, so that
// "{...}" inside PL/SQL reaches the server as it is. After connecting, the
// session statements run (for Oracle: the date language and the numeric
// characters the row values are written in).
//
// Rows: rows that share one INSERT text and bind the same kinds of values
// are queued and sent as a parameter array (many rows per execute) when the
// driver takes parameter arrays and savepoints. A batch that fails is rolled
// back to the savepoint taken before it and sent again row by row, so that
// every row is counted once, as inserted or failed, whatever the driver puts
// into the parameter status array. A row with a long value goes on its own:
// the long value is streamed in chunks (data at execution), never held
// whole in memory. All text is bound as wide characters (UTF-16), so that no
// client character set can change it; numbers as C-locale text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "repair/odbc_handles.h"
#include "repair/target.h"

namespace quillon::repair {

struct OdbcTargetOptions {
  std::string target;  // a data source name or a connection string
  std::string user = "SYSTEM";
  std::string password;
  // Run once after connecting (none for databases other than Oracle).
  std::vector<std::string> session_statements;
  std::size_t batch_rows = 500;           // rows per execute at most; 1: one row per execute
  std::size_t batch_bytes = 8u << 20;     // bytes of queued values at most
  std::size_t chunk_bytes = 256u << 10;   // bytes of a long value per SQLPutData
};

// The session statements of an Oracle target.
std::vector<std::string> OracleSessionStatements();

class OdbcTarget final : public Target {
 public:
  explicit OdbcTarget(OdbcTargetOptions options);
  ~OdbcTarget() override;
  OdbcTarget(const OdbcTarget&) = delete;
  OdbcTarget& operator=(const OdbcTarget&) = delete;

  bool Connect() override;
  bool Execute(const Statement& statement) override;
  bool BeginRows() override;
  void InsertRow(std::string_view insert_sql, std::span<const Value> values) override;
  RowOutcome EndRows() override;
  std::uint64_t RowsInserted() const override { return rows_.inserted; }
  std::string DescribeError() const override { return error_; }
  void Disconnect() override;

  // Whether rows go in parameter arrays (known after the first batch).
  bool UsesParameterArrays() const { return arrays_ == Support::kYes; }
  // The driver's name (SQL_DRIVER_NAME), empty before connecting.
  const std::string& driver_name() const { return driver_; }

 private:
  enum class Support : std::uint8_t { kUnknown, kYes, kNo };
  bool Fail(const char* call, SQLRETURN rc, SQLSMALLINT type, SQLHANDLE handle);
  bool FailText(const std::string& what);
  bool ExecDirect(const std::string& sql);
  bool Prepare(std::string_view sql);
  bool ExecuteOne(std::span<const Value> values);
  std::optional<std::uint64_t> WideLength(const LongValue& value, std::vector<std::uint8_t>& chunk);
  void SendRow(std::span<const Value> values);
  void Flush();
  bool SendBatch();
  void RowFailed();
  bool SameKinds(std::span<const Value> values) const;

  OdbcTargetOptions options_;
  OdbcHandle env_;
  OdbcHandle dbc_;
  OdbcHandle stmt_;
  bool connected_ = false;
  bool in_rows_ = false;
  std::string driver_;
  std::string prepared_sql_;
  Support arrays_ = Support::kUnknown;
  std::vector<std::vector<Value>> queue_;
  std::string queue_sql_;
  std::size_t queue_bytes_ = 0;
  RowOutcome rows_;
  std::string error_;
};

}  // namespace quillon::repair
