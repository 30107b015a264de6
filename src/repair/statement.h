// A statement of the repair: its text, its kind, the values bound to it and
// a note of where it belongs. Generators build statements and hand them to a
// sink (statement_sink.h); they never execute or write them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace quillon::repair {

// SQL is a single SQL statement without a terminator; a PL/SQL unit (CREATE
// PROCEDURE, a trigger, an anonymous block) carries its own "END;". A
// SQL*Plus script ends both with a line holding "/".
enum class StatementKind : std::uint8_t { kSql, kPlsqlUnit };

// A value bound to a statement (row inserts): the statement text holds a
// placeholder for each one, in order.
struct NullValue {
  bool operator==(const NullValue&) const = default;
};
struct TextValue {  // UTF-8
  std::string text;
  bool operator==(const TextValue&) const = default;
};
struct WideTextValue {  // national character columns, UTF-16
  std::u16string text;
  bool operator==(const WideTextValue&) const = default;
};
struct NumberValue {  // a NUMBER as its decimal text ("-12.5", "1E+40")
  std::string text;
  bool operator==(const NumberValue&) const = default;
};
struct BinaryValue {  // RAW, LONG RAW, BLOB bytes
  std::vector<std::uint8_t> bytes;
  bool operator==(const BinaryValue&) const = default;
};
struct IntegerValue {  // an exact integer (targets with an integer storage class)
  std::int64_t value = 0;
  bool operator==(const IntegerValue&) const = default;
};
struct RealValue {  // an IEEE double (targets with a floating-point storage class)
  double value = 0;
  bool operator==(const RealValue&) const = default;
};

// The bytes of one long value (LONG, LONG RAW, CLOB, NCLOB, BLOB), kept out
// of memory (in a spill file) until a target streams them in chunks.
class LongBytes {
 public:
  virtual ~LongBytes() = default;
  virtual std::uint64_t size() const = 0;
  // Copies up to into.size() bytes from offset; returns how many (0 at the
  // end or on a read error).
  virtual std::size_t Read(std::uint64_t offset, std::span<std::uint8_t> into) const = 0;
};
// A long value: text forms hold UTF-8 (a national column's text is bound as
// wide characters by the target), the binary form raw bytes. An empty value
// (size 0) is an empty LOB, not NULL.
struct LongValue {
  enum class Form : std::uint8_t { kText, kWideText, kBinary };
  Form form = Form::kBinary;
  std::shared_ptr<const LongBytes> bytes;
  bool operator==(const LongValue&) const = default;  // the same bytes object
};

using Value =
    std::variant<NullValue, TextValue, WideTextValue, NumberValue, BinaryValue, IntegerValue, RealValue, LongValue>;

// Where a statement belongs, for the log: the phase ("Repairing User "), the
// object ("User SCOTT") and whether the object is one that every new database
// already has (its CREATE is expected to fail and is not a lost object).
struct StatementNote {
  std::string phase;
  std::string object;
  bool built_in = false;
  bool operator==(const StatementNote&) const = default;
};

// A span of the text, in bytes.
struct TextSpan {
  std::size_t offset = 0;
  std::size_t length = 0;
  bool operator==(const TextSpan&) const = default;
};

struct Statement {
  std::string text;
  StatementKind kind = StatementKind::kSql;
  std::vector<Value> values;
  StatementNote note;
  // Where the password of a re-created account belongs. The text never holds
  // a password: at this offset it holds nothing, and each sink fills the
  // place its own way (the target with the repair password as a quoted
  // identifier, the script writer with a prompted substitution variable, the
  // preview with a mask). Render puts a given form there.
  std::optional<std::size_t> password_at;
  // Text literals (quotes included) that stand where an expression may
  // stand, so that a script may write them as 'a' || 'b' when they are too
  // long for one line. Literals where Oracle wants a plain literal (file
  // names, partition bounds) are never listed.
  std::vector<TextSpan> splittable_literals;
  // The query file the repair also writes this statement into
  // ("QueryOfView.txt"), empty for none. Generators only name it; the
  // sink that owns the output folder writes it (query_files.h).
  std::string query_file;
  // A statement that must run in the session of this user (a database link
  // of a schema: its name cannot carry the schema). Empty: the repair's own
  // session. A script connects as the user first (SQL*Plus asks for the
  // password) and back afterwards; a target that cannot keeps the statement
  // for the user to run.
  std::string session_user;
  // Whether the statement may fail only because an object it uses comes
  // later in the repair (views, triggers, stored units, types). A sink that
  // executes statements keeps those that failed and runs them once more
  // when StatementSink::RetryFailed is called.
  bool retry_when_failed = false;

  // A plain SQL statement with no bound values.
  static Statement Sql(std::string sql_text) {
    Statement s;
    s.text = std::move(sql_text);
    return s;
  }

  // The text with password_form at the password's place.
  std::string Render(std::string_view password_form) const;
};

// What the preview shows at a password's place.
inline constexpr std::string_view kPasswordMask = "\"********\"";

}  // namespace quillon::repair
