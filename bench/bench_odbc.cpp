// Rows into PostgreSQL through the ODBC target: parameter arrays (many rows
// per execute) against one row per execute, with the rows a repair sends
// (an integer, a NUMBER as text, a text), in one transaction each.
//
//   eval "$(scripts/services start)"; bench_odbc [ROWS]; scripts/services stop
//
// Prints rows per second of both and their ratio.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "repair/odbc_connection_string.h"
#include "repair/odbc_target.h"

namespace {

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

// Rows per second of rows inserted with batch_rows per execute; negative on
// a failure.
double RowsPerSecond(std::size_t rows, std::size_t batch_rows) {
  using namespace quillon::repair;
  OdbcTargetOptions o;
  o.target = "DRIVER=" + BraceQuote(Env("QUILLON_TEST_PG_DRIVER")) + ";SERVER=" + Env("QUILLON_TEST_PG_HOST") +
             ";PORT=" + Env("QUILLON_TEST_PG_PORT") + ";DATABASE=" + Env("QUILLON_TEST_PG_DATABASE");
  o.user = Env("QUILLON_TEST_PG_USER");
  o.password = Env("QUILLON_TEST_PG_PASSWORD");
  o.batch_rows = batch_rows;
  OdbcTarget t(o);
  if (!t.Connect() || !t.Execute(Statement::Sql("DROP TABLE IF EXISTS quillon_bench")) ||
      !t.Execute(Statement::Sql("CREATE TABLE quillon_bench (id BIGINT, amount NUMERIC, name VARCHAR(60))"))) {
    std::fprintf(stderr, "%s", t.DescribeError().c_str());
    return -1;
  }
  const auto start = std::chrono::steady_clock::now();
  if (!t.BeginRows()) return -1;
  std::vector<Value> row(3);
  for (std::size_t i = 0; i < rows; ++i) {
    row[0] = IntegerValue{static_cast<std::int64_t>(i)};
    row[1] = NumberValue{std::to_string(i * 37) + "." + std::to_string(i % 100)};
    row[2] = TextValue{"customer name " + std::to_string(i)};
    t.InsertRow("INSERT INTO quillon_bench (id, amount, name) VALUES (?, ?, ?)", row);
  }
  const RowOutcome outcome = t.EndRows();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (!outcome.ok || outcome.inserted != rows) {
    std::fprintf(stderr, "inserted %llu of %zu\n", static_cast<unsigned long long>(outcome.inserted), rows);
    return -1;
  }
  return static_cast<double>(rows) / seconds;
}

}  // namespace

int main(int argc, char** argv) {
  if (Env("QUILLON_TEST_PG_PORT").empty()) {
    std::fprintf(stderr, "no PostgreSQL server: eval \"$(scripts/services start)\" first\n");
    return 2;
  }
  const std::size_t rows = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 200000;
  const double arrays = RowsPerSecond(rows, 500);
  const double single = RowsPerSecond(rows, 1);
  if (arrays < 0 || single < 0) return 1;
  std::printf("rows into PostgreSQL over ODBC: %zu rows\n", rows);
  std::printf("  parameter arrays (500 rows per execute): %10.0f rows/s\n", arrays);
  std::printf("  one row per execute:                     %10.0f rows/s\n", single);
  std::printf("  ratio: %.1f\n", arrays / single);
  return 0;
}
