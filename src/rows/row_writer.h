// Rows of value texts written out: as aligned text, as CSV or as JSON Lines.
//
// - table: the record view's page as text, column captions over aligned
//   columns (control characters shown as blanks), a page of rows at a time;
// - csv: RFC 4180: a header line of column names, fields separated by
//   commas, lines ended by CR LF; a field holding a comma, a double quote,
//   CR or LF is quoted and its quotes doubled; NULL is an empty field and an
//   empty text the quoted empty field "";
// - json: JSON Lines, one object per row mapping each column name to its
//   value text, null for NULL; numbers as JSON numbers, the other texts as
//   JSON strings. JSON has no NaN or infinities: a BINARY_FLOAT or
//   BINARY_DOUBLE holding one is written as null and counted.
// The aligned text takes the record view's display texts; CSV and JSON take
// data texts (canonical numbers, ISO 8601 dates, times and durations,
// shortest floats; value_decode.h).
// Output is gathered in a buffer and written to the stream in large pieces.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "rows/value_texts.h"

namespace quillon {

enum class RowFormat : std::uint8_t { kTable, kCsv, kJson };

// "table", "csv", "json".
std::optional<RowFormat> ParseRowFormat(std::string_view name);
// The file name extension of a format (".txt", ".csv", ".jsonl").
std::string_view FormatExtension(RowFormat format);

class RowWriter {
 public:
  virtual ~RowWriter() = default;
  virtual void Begin(std::span<const std::string> column_names) = 0;
  virtual void Row(std::span<const ValueText> values) = 0;
  // Writes what is buffered (call it at the end); the writer can go on
  // afterwards.
  virtual void Flush() = 0;
  // Bytes handed to the stream so far.
  virtual std::uint64_t bytes_written() const = 0;
  // The texts the writer wants.
  virtual ValueForms forms() const { return ValueForms::kDisplay; }
  // NaN and infinite values written as null so far (JSON).
  virtual std::uint64_t non_finite_nulls() const { return 0; }
};

std::unique_ptr<RowWriter> MakeRowWriter(RowFormat format, std::ostream& out);

// One CSV field as RFC 4180 writes it, appended to out.
void AppendCsvField(std::string& out, const ValueText& value);

}  // namespace quillon
