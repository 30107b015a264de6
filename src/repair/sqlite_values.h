// Oracle values in SQLite's storage classes, so that no value loses a digit
// or a byte:
//   NUMBER, FLOAT           TEXT with the exact decimal ("-12.5", "0.001");
//                           INTEGER for NUMBER(p, 0) with p <= 18 (always
//                           fits 64 bits). Never NUMERIC or REAL affinity,
//                           which would pass a value through a double.
//   BINARY_FLOAT/DOUBLE     REAL; NaN as the TEXT "NaN" (SQLite stores a
//                           NaN double as NULL), infinities as REAL.
//   DATE, TIMESTAMP (LTZ)   TEXT, ISO 8601 "YYYY-MM-DDTHH:MM:SS[.fffffffff]";
//                           BC years in astronomical numbering (1 BC is
//                           "0000", 4712 BC is "-4711").
//   TIMESTAMP WITH TZ       the same in the stored offset, plus "+HH:MM".
//   CHAR, VARCHAR2, NCHAR, NVARCHAR2, CLOB, NCLOB, LONG, ROWID, UROWID,
//   intervals and structured values
//                           TEXT (UTF-8; intervals and structured values in
//                           the reader's text form).
//   RAW, LONG RAW, BLOB     BLOB with the stored bytes.
//   XMLType                 TEXT, the document (of an XMLType column stored
//                           as a CLOB; the hidden CLOB column keeps it too).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "repair/statement.h"
#include "rows/value_texts.h"

namespace quillon::repair {

// The declared type of a column in a SQLite table: "INTEGER", "TEXT",
// "REAL" or "BLOB". precision and scale: the column's, when recorded.
std::string_view SqliteColumnType(std::uint32_t type_code, std::optional<std::int64_t> precision,
                                  std::optional<std::int64_t> scale);

// The exact decimal of a NUMBER text in the reader's form ("01.50" is
// "1.5", "-0.50" is "-0.5", "0.0000" is "0"); the text unchanged when it is
// not a number text.
std::string CanonicalNumber(std::string_view number_text);

// ISO 8601 text of a stored DATE, TIMESTAMP or TIMESTAMP WITH (LOCAL) TIME
// ZONE value; std::nullopt when the bytes are too few.
std::optional<std::string> IsoDateTime(std::uint32_t type_code, ByteView bytes);
// The same text written into out, whose buffer is kept; false (out as it
// was) when the bytes are too few.
bool IsoDateTimeInto(std::uint32_t type_code, ByteView bytes, std::string& out);

// One value: stored, the column's stored bytes; text, its repair-mode text
// with large values in full (binary values as hexadecimal).
void SqliteValue(std::uint32_t type_code, std::string_view declared_type, const StoredValue& stored,
                 const ValueText& text, Value& out);

// The values of one row for the columns given (layout indexes), bound as
// the column types of SqliteColumnType say. texts: the row's repair-mode
// texts with large values in full (RowValueTexts, LargeValues::kContent),
// in the same order as columns; the texts of CLOB and LONG columns are moved
// into their values (left empty).
void SqliteRowValues(const TableRow& row, const TableLayout& layout, std::span<const std::size_t> columns,
                     std::span<const std::string_view> declared_types, std::span<ValueText> texts,
                     std::vector<Value>& out);

// After the row has gone in: the texts SqliteRowValues moved into values go
// back to texts, so that the next row's long texts are made in their memory
// rather than beside them.
void ReturnMovedTexts(const TableLayout& layout, std::span<const std::size_t> columns, std::span<ValueText> texts,
                      std::vector<Value>& values);

}  // namespace quillon::repair
