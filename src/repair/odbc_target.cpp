#include "repair/odbc_target.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "repair/odbc_connection_string.h"
#include "repair/odbc_diagnostics.h"
#include "repair/odbc_text.h"
#include "repair/quoting.h"

namespace quillon::repair {

std::vector<std::string> OracleSessionStatements() {
  return {"ALTER SESSION SET NLS_DATE_LANGUAGE=AMERICAN", "ALTER SESSION SET NLS_NUMERIC_CHARACTERS='.,'"};
}

namespace {

constexpr const char* kSavepoint = "SAVEPOINT QUILLON_ROWS";
constexpr const char* kRollbackToSavepoint = "ROLLBACK TO SAVEPOINT QUILLON_ROWS";
// A status no driver writes: rows whose status still holds it were not
// reported on.
constexpr SQLUSMALLINT kStatusUnset = 0xBEEF;

SQLWCHAR* Wide(std::u16string& text) { return reinterpret_cast<SQLWCHAR*>(text.data()); }

// What a value binds as; values of one class share one parameter shape, so
// rows whose values are of the same classes can share one parameter array.
enum class ValueClass : std::uint8_t { kNull, kText, kNumber, kBinary, kInteger, kReal, kLong };

ValueClass ClassOf(const Value& v) {
  switch (v.index()) {
    case 0: return ValueClass::kNull;
    case 1:
    case 2: return ValueClass::kText;
    case 3: return ValueClass::kNumber;
    case 4: return ValueClass::kBinary;
    case 5: return ValueClass::kInteger;
    case 6: return ValueClass::kReal;
    default: return ValueClass::kLong;
  }
}

std::size_t BytesOf(const Value& v) {
  if (const auto* t = std::get_if<TextValue>(&v)) return t->text.size() * 2;
  if (const auto* w = std::get_if<WideTextValue>(&v)) return w->text.size() * 2;
  if (const auto* n = std::get_if<NumberValue>(&v)) return n->text.size();
  if (const auto* b = std::get_if<BinaryValue>(&v)) return b->bytes.size();
  return 8;
}

// The precision and scale a decimal text needs ("-12.5": 3, 1; "1E-7": 1,
// 7); nullopt when the text is not a plain decimal number (a NaN or an
// infinity form) or needs more than 38 digits, and goes as character data
// the server converts.
struct DecimalShape {
  SQLULEN precision = 1;
  SQLSMALLINT scale = 0;
};
std::optional<DecimalShape> ShapeOf(std::string_view text) {
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  std::size_t int_digits = 0;
  std::size_t frac_digits = 0;
  bool point = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c >= '0' && c <= '9') {
      (point ? frac_digits : int_digits) += 1;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (int_digits + frac_digits == 0) return std::nullopt;
  long exponent = 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    std::size_t digits = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9' && digits < 5; ++i, ++digits) {
      exponent = exponent * 10 + (text[i] - '0');
    }
    if (digits == 0) return std::nullopt;
    if (negative) exponent = -exponent;
  }
  if (i != text.size()) return std::nullopt;
  const long int_len = std::max(0L, static_cast<long>(int_digits) + exponent);
  const long frac_len = std::max(0L, static_cast<long>(frac_digits) - exponent);
  const long precision = std::max(1L, int_len + frac_len);
  if (precision > 38) return std::nullopt;
  return DecimalShape{static_cast<SQLULEN>(precision), static_cast<SQLSMALLINT>(frac_len)};
}

// One parameter over the rows of an execute: a column-wise array.
struct Param {
  SQLSMALLINT c_type = SQL_C_CHAR;
  SQLSMALLINT sql_type = SQL_VARCHAR;
  SQLULEN column_size = 1;
  SQLSMALLINT digits = 0;
  SQLLEN width = 1;  // bytes per element
  std::vector<std::uint8_t> data;
  std::vector<SQLLEN> lengths;
};

// The parameter of column c over rows (none of them a long value).
Param BuildParam(const std::vector<std::span<const Value>>& rows, std::size_t c) {
  Param p;
  const std::size_t n = rows.size();
  ValueClass cls = ValueClass::kNull;
  for (const auto& row : rows) {
    if (ClassOf(row[c]) != ValueClass::kNull) {
      cls = ClassOf(row[c]);
      break;
    }
  }
  p.lengths.assign(n, SQL_NULL_DATA);
  switch (cls) {
    case ValueClass::kNull:
    case ValueClass::kLong:
      p.width = 1;
      p.data.assign(n, 0);
      return p;
    case ValueClass::kText: {
      std::vector<std::u16string> texts(n);
      std::size_t units = 1;
      for (std::size_t r = 0; r < n; ++r) {
        if (const auto* t = std::get_if<TextValue>(&rows[r][c])) texts[r] = Utf8ToUtf16(t->text);
        if (const auto* w = std::get_if<WideTextValue>(&rows[r][c])) texts[r] = w->text;
        units = std::max(units, texts[r].size());
      }
      p.c_type = SQL_C_WCHAR;
      p.sql_type = units > 4000 ? SQL_WLONGVARCHAR : SQL_WVARCHAR;
      p.column_size = units;
      p.width = static_cast<SQLLEN>(units * 2);
      p.data.assign(n * units * 2, 0);
      for (std::size_t r = 0; r < n; ++r) {
        if (ClassOf(rows[r][c]) == ValueClass::kNull) continue;
        std::memcpy(p.data.data() + r * units * 2, texts[r].data(), texts[r].size() * 2);
        p.lengths[r] = static_cast<SQLLEN>(texts[r].size() * 2);
      }
      return p;
    }
    case ValueClass::kNumber: {
      std::size_t width = 1;
      bool decimal = true;
      DecimalShape shape;
      SQLULEN int_len = 0;
      for (const auto& row : rows) {
        const auto* v = std::get_if<NumberValue>(&row[c]);
        if (!v) continue;
        width = std::max(width, v->text.size());
        const auto s = ShapeOf(v->text);
        if (!s) {
          decimal = false;
          continue;
        }
        int_len = std::max(int_len, s->precision - static_cast<SQLULEN>(s->scale));
        shape.scale = std::max(shape.scale, s->scale);
      }
      shape.precision = std::max<SQLULEN>(1, int_len + static_cast<SQLULEN>(shape.scale));
      if (decimal && shape.precision <= 38) {
        p.sql_type = SQL_DECIMAL;
        p.column_size = shape.precision;
        p.digits = shape.scale;
      } else {
        p.sql_type = SQL_VARCHAR;
        p.column_size = width;
      }
      p.c_type = SQL_C_CHAR;
      p.width = static_cast<SQLLEN>(width);
      p.data.assign(n * width, 0);
      for (std::size_t r = 0; r < n; ++r) {
        const auto* v = std::get_if<NumberValue>(&rows[r][c]);
        if (!v) continue;
        std::memcpy(p.data.data() + r * width, v->text.data(), v->text.size());
        p.lengths[r] = static_cast<SQLLEN>(v->text.size());
      }
      return p;
    }
    case ValueClass::kBinary: {
      std::size_t width = 1;
      for (const auto& row : rows) {
        if (const auto* v = std::get_if<BinaryValue>(&row[c])) width = std::max(width, v->bytes.size());
      }
      p.c_type = SQL_C_BINARY;
      p.sql_type = width > 8000 ? SQL_LONGVARBINARY : SQL_VARBINARY;
      p.column_size = width;
      p.width = static_cast<SQLLEN>(width);
      p.data.assign(n * width, 0);
      for (std::size_t r = 0; r < n; ++r) {
        const auto* v = std::get_if<BinaryValue>(&rows[r][c]);
        if (!v) continue;
        if (!v->bytes.empty()) std::memcpy(p.data.data() + r * width, v->bytes.data(), v->bytes.size());
        p.lengths[r] = static_cast<SQLLEN>(v->bytes.size());
      }
      return p;
    }
    case ValueClass::kInteger:
    case ValueClass::kReal: {
      const bool integer = cls == ValueClass::kInteger;
      p.c_type = integer ? SQL_C_SBIGINT : SQL_C_DOUBLE;
      p.sql_type = integer ? SQL_BIGINT : SQL_DOUBLE;
      p.column_size = integer ? 19 : 15;
      p.width = 8;
      p.data.assign(n * 8, 0);
      for (std::size_t r = 0; r < n; ++r) {
        if (const auto* v = std::get_if<IntegerValue>(&rows[r][c])) {
          std::memcpy(p.data.data() + r * 8, &v->value, 8);
          p.lengths[r] = 8;
        } else if (const auto* d = std::get_if<RealValue>(&rows[r][c])) {
          std::memcpy(p.data.data() + r * 8, &d->value, 8);
          p.lengths[r] = 8;
        }
      }
      return p;
    }
  }
  return p;
}

}  // namespace

OdbcTarget::OdbcTarget(OdbcTargetOptions options) : options_(std::move(options)) {
  options_.batch_rows = std::max<std::size_t>(1, options_.batch_rows);
  options_.chunk_bytes = std::max<std::size_t>(16, options_.chunk_bytes);
}

OdbcTarget::~OdbcTarget() {
  Disconnect();
  // The password does not outlive the target in freed memory.
  std::fill(options_.password.begin(), options_.password.end(), '\0');
}

bool OdbcTarget::Fail(const char* call, SQLRETURN rc, SQLSMALLINT type, SQLHANDLE handle) {
  error_ = DescribeOdbcError(call, rc, ReadOdbcRecords(type, handle), driver_, options_.password);
  return false;
}

bool OdbcTarget::FailText(const std::string& what) {
  error_ = MaskSecret("Message : " + what + "\nCode : null\nSource : " + (driver_.empty() ? "null" : driver_) +
                          "\nDescription : null\n",
                      options_.password);
  return false;
}

bool OdbcTarget::Connect() {
  Disconnect();
  std::string problem;
  std::string text = BuildConnectionString(options_.target, options_.user, options_.password, problem);
  if (text.empty()) return FailText(problem);
  SQLRETURN rc = env_.Allocate(SQL_HANDLE_ENV, SQL_NULL_HANDLE);
  if (!OdbcOk(rc)) return FailText("SQLAllocHandle(SQL_HANDLE_ENV) returned " + OdbcReturnName(rc));
  rc = SQLSetEnvAttr(env_.get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
  if (!OdbcOk(rc)) return Fail("SQLSetEnvAttr(SQL_ATTR_ODBC_VERSION)", rc, SQL_HANDLE_ENV, env_.get());
  rc = dbc_.Allocate(SQL_HANDLE_DBC, env_.get());
  if (!OdbcOk(rc)) return Fail("SQLAllocHandle(SQL_HANDLE_DBC)", rc, SQL_HANDLE_ENV, env_.get());
  std::u16string wide = Utf8ToUtf16(text);
  std::fill(text.begin(), text.end(), '\0');
  rc = SQLDriverConnectW(dbc_.get(), nullptr, Wide(wide), static_cast<SQLSMALLINT>(wide.size()), nullptr, 0, nullptr,
                         SQL_DRIVER_NOPROMPT);
  std::fill(wide.begin(), wide.end(), u'\0');
  if (!OdbcOk(rc)) {
    Fail("SQLDriverConnect", rc, SQL_HANDLE_DBC, dbc_.get());
    dbc_.Reset();
    env_.Reset();
    return false;
  }
  connected_ = true;
  char name[256] = {};
  SQLSMALLINT length = 0;
  if (OdbcOk(SQLGetInfo(dbc_.get(), SQL_DRIVER_NAME, name, sizeof name, &length))) driver_ = name;
  // Statements of any length of time: the connection's statements have no
  // time-out, and the driver does not rewrite escape sequences.
  rc = stmt_.Allocate(SQL_HANDLE_STMT, dbc_.get());
  if (!OdbcOk(rc)) return Fail("SQLAllocHandle(SQL_HANDLE_STMT)", rc, SQL_HANDLE_DBC, dbc_.get());
  for (const std::string& sql : options_.session_statements) {
    if (!ExecDirect(sql)) return false;
  }
  return true;
}

namespace {

// Sets the statement attributes every statement runs with. A driver that
// does not know an attribute (SQLSTATE HYC00) keeps its default, which for
// the time-out is none; a driver without escape scanning needs no NOSCAN.
SQLRETURN SetStatementAttributes(SQLHSTMT stmt, const char*& call) {
  call = "SQLSetStmtAttr(SQL_ATTR_QUERY_TIMEOUT)";
  SQLRETURN rc = SQLSetStmtAttr(stmt, SQL_ATTR_QUERY_TIMEOUT, reinterpret_cast<SQLPOINTER>(0), 0);
  const auto unsupported = [&] {
    const auto records = ReadOdbcRecords(SQL_HANDLE_STMT, stmt);
    return !records.empty() && (records.front().state == "HYC00" || records.front().state == "HY092" || records.front().state == "IM001");
  };
  if (!OdbcOk(rc) && !unsupported()) return rc;
  call = "SQLSetStmtAttr(SQL_ATTR_NOSCAN)";
  rc = SQLSetStmtAttr(stmt, SQL_ATTR_NOSCAN, reinterpret_cast<SQLPOINTER>(SQL_NOSCAN_ON), 0);
  if (!OdbcOk(rc) && !unsupported()) return rc;
  return SQL_SUCCESS;
}

}  // namespace

bool OdbcTarget::ExecDirect(const std::string& sql) {
  OdbcHandle stmt;
  SQLRETURN rc = stmt.Allocate(SQL_HANDLE_STMT, dbc_.get());
  if (!OdbcOk(rc)) return Fail("SQLAllocHandle(SQL_HANDLE_STMT)", rc, SQL_HANDLE_DBC, dbc_.get());
  const char* call = "";
  rc = SetStatementAttributes(stmt.get(), call);
  if (!OdbcOk(rc)) return Fail(call, rc, SQL_HANDLE_STMT, stmt.get());
  std::u16string wide = Utf8ToUtf16(sql);
  rc = SQLExecDirectW(stmt.get(), Wide(wide), static_cast<SQLINTEGER>(wide.size()));
  if (!OdbcOk(rc) && rc != SQL_NO_DATA) return Fail("SQLExecDirect", rc, SQL_HANDLE_STMT, stmt.get());
  return true;
}

bool OdbcTarget::Execute(const Statement& statement) {
  if (!connected_) return FailText("not connected");
  if (!statement.session_user.empty()) {
    // A database link belongs to its owner's schema and can only be made in
    // a session of that owner, whose password the repair does not have: it
    // goes to the error file with its statement, to be run as that user.
    return FailText("this statement must be run in a session of " + PrintableName(statement.session_user));
  }
  if (in_rows_) Flush();
  std::string sql;
  if (statement.password_at) {
    const Quoted password = QuoteIdent(options_.password);
    if (!password) return FailText("the target's password cannot be written as a quoted identifier");
    sql = statement.Render(password.text());
  } else {
    sql = statement.text;
  }
  if (statement.values.empty()) {
    const bool ok = ExecDirect(sql);
    std::fill(sql.begin(), sql.end(), '\0');
    return ok;
  }
  const bool ok = Prepare(sql) && ExecuteOne(statement.values);
  std::fill(sql.begin(), sql.end(), '\0');
  prepared_sql_.clear();  // never kept: it may hold the password
  return ok;
}

bool OdbcTarget::Prepare(std::string_view sql) {
  if (prepared_sql_ == sql && !prepared_sql_.empty()) return true;
  prepared_sql_.clear();
  SQLRETURN rc = stmt_.Allocate(SQL_HANDLE_STMT, dbc_.get());
  if (!OdbcOk(rc)) return Fail("SQLAllocHandle(SQL_HANDLE_STMT)", rc, SQL_HANDLE_DBC, dbc_.get());
  const char* call = "";
  rc = SetStatementAttributes(stmt_.get(), call);
  if (!OdbcOk(rc)) return Fail(call, rc, SQL_HANDLE_STMT, stmt_.get());
  std::u16string wide = Utf8ToUtf16(sql);
  rc = SQLPrepareW(stmt_.get(), Wide(wide), static_cast<SQLINTEGER>(wide.size()));
  if (!OdbcOk(rc)) return Fail("SQLPrepare", rc, SQL_HANDLE_STMT, stmt_.get());
  prepared_sql_.assign(sql);
  return true;
}

// The bytes of a text long value in UTF-16, counted in one streaming pass;
// nullopt when its bytes cannot be read.
std::optional<std::uint64_t> OdbcTarget::WideLength(const LongValue& value, std::vector<std::uint8_t>& chunk) {
  const std::uint64_t size = value.bytes ? value.bytes->size() : 0;
  Utf8ChunkDecoder decoder;
  std::u16string wide;
  std::uint64_t units = 0;
  for (std::uint64_t offset = 0; offset < size;) {
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(chunk.size(), size - offset));
    const std::size_t got = value.bytes->Read(offset, std::span(chunk.data(), want));
    if (got == 0) return std::nullopt;
    offset += got;
    wide.clear();
    decoder.Decode(std::span(chunk.data(), got), offset >= size, wide);
    units += wide.size();
  }
  return units * 2;
}

// Executes the prepared statement once with values; long values are sent
// in chunks when the driver asks for them.
bool OdbcTarget::ExecuteOne(std::span<const Value> values) {
  SQLHSTMT stmt = stmt_.get();
  std::vector<std::span<const Value>> rows{values};
  std::vector<Param> params;
  params.reserve(values.size());
  std::vector<SQLLEN> long_lengths(values.size(), SQL_DATA_AT_EXEC);
  std::vector<std::uint8_t> chunk(options_.chunk_bytes);
  SQLRETURN rc = SQL_SUCCESS;
  for (std::size_t c = 0; c < values.size(); ++c) {
    const auto n = static_cast<SQLUSMALLINT>(c + 1);
    if (const auto* l = std::get_if<LongValue>(&values[c])) {
      const bool binary = l->form == LongValue::Form::kBinary;
      // Some drivers size their buffer from the length given here: the
      // exact length the chunks will add up to (for text, in UTF-16).
      const std::optional<std::uint64_t> length = binary ? std::optional(l->bytes ? l->bytes->size() : 0)
                                                         : WideLength(*l, chunk);
      if (!length) {
        FailText("a long value could not be read back from its spill file");
        SQLFreeStmt(stmt, SQL_RESET_PARAMS);
        return false;
      }
      long_lengths[c] = SQL_LEN_DATA_AT_EXEC(static_cast<SQLLEN>(*length));
      const SQLULEN size = std::max<SQLULEN>(1, binary ? *length : *length / 2);
      params.emplace_back();
      // The parameter's token is its number: SQLParamData hands it back.
      rc = SQLBindParameter(stmt, n, SQL_PARAM_INPUT, binary ? SQL_C_BINARY : SQL_C_WCHAR,
                            binary ? SQL_LONGVARBINARY : SQL_WLONGVARCHAR, size, 0,
                            reinterpret_cast<SQLPOINTER>(static_cast<std::uintptr_t>(n)), 0, &long_lengths[c]);
    } else {
      params.push_back(BuildParam(rows, c));
      Param& p = params.back();
      rc = SQLBindParameter(stmt, n, SQL_PARAM_INPUT, p.c_type, p.sql_type, p.column_size, p.digits, p.data.data(),
                            p.width, p.lengths.data());
    }
    if (!OdbcOk(rc)) {
      Fail("SQLBindParameter", rc, SQL_HANDLE_STMT, stmt);
      SQLFreeStmt(stmt, SQL_RESET_PARAMS);
      return false;
    }
  }
  rc = SQLExecute(stmt);
  bool ok = true;
  if (rc == SQL_NEED_DATA) {
    SQLPOINTER token = nullptr;
    rc = SQLParamData(stmt, &token);
    std::u16string wide;
    while (rc == SQL_NEED_DATA && ok) {
      const auto index = reinterpret_cast<std::uintptr_t>(token);
      const LongValue* value = index >= 1 && index <= values.size() ? std::get_if<LongValue>(&values[index - 1]) : nullptr;
      if (!value) {
        FailText("the driver asked for data of a parameter that has none");
        ok = false;
        break;
      }
      const std::uint64_t size = value->bytes ? value->bytes->size() : 0;
      const bool binary = value->form == LongValue::Form::kBinary;
      Utf8ChunkDecoder decoder;
      std::uint64_t offset = 0;
      bool put_any = false;
      while (ok && offset < size) {
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(chunk.size(), size - offset));
        const std::size_t got = value->bytes->Read(offset, std::span(chunk.data(), want));
        if (got == 0) {
          FailText("a long value could not be read back from its spill file");
          ok = false;
          break;
        }
        offset += got;
        SQLPOINTER data = chunk.data();
        SQLLEN length = static_cast<SQLLEN>(got);
        if (!binary) {
          wide.clear();
          decoder.Decode(std::span(chunk.data(), got), offset >= size, wide);
          if (wide.empty()) continue;
          data = wide.data();
          length = static_cast<SQLLEN>(wide.size() * 2);
        }
        const SQLRETURN put = SQLPutData(stmt, data, length);
        if (!OdbcOk(put)) {
          Fail("SQLPutData", put, SQL_HANDLE_STMT, stmt);
          ok = false;
        }
        put_any = true;
      }
      if (ok && !put_any) {
        // An empty value: one call with no bytes says so.
        const SQLRETURN put = SQLPutData(stmt, chunk.data(), 0);
        if (!OdbcOk(put)) {
          Fail("SQLPutData", put, SQL_HANDLE_STMT, stmt);
          ok = false;
        }
      }
      if (ok) rc = SQLParamData(stmt, &token);
    }
    if (!ok) SQLCancel(stmt);
  }
  if (ok && !OdbcOk(rc) && rc != SQL_NO_DATA) {
    Fail("SQLExecute", rc, SQL_HANDLE_STMT, stmt);
    ok = false;
  }
  SQLFreeStmt(stmt, SQL_CLOSE);
  SQLFreeStmt(stmt, SQL_RESET_PARAMS);
  return ok;
}

bool OdbcTarget::BeginRows() {
  rows_ = RowOutcome{};
  queue_.clear();
  queue_bytes_ = 0;
  if (!connected_) return FailText("not connected");
  const SQLRETURN rc =
      SQLSetConnectAttr(dbc_.get(), SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0);
  if (!OdbcOk(rc)) return Fail("SQLSetConnectAttr(SQL_ATTR_AUTOCOMMIT)", rc, SQL_HANDLE_DBC, dbc_.get());
  in_rows_ = true;
  return true;
}

void OdbcTarget::RowFailed() {
  ++rows_.failed;
  if (rows_.errors.size() < kMaxRowErrors) rows_.errors.push_back(error_);
}

void OdbcTarget::SendRow(std::span<const Value> values) {
  if (Prepare(queue_sql_) && ExecuteOne(values)) {
    ++rows_.inserted;
  } else {
    RowFailed();
  }
}

bool OdbcTarget::SameKinds(std::span<const Value> values) const {
  if (queue_.empty()) return true;
  const std::vector<Value>& first = queue_.front();
  if (first.size() != values.size()) return false;
  for (std::size_t c = 0; c < values.size(); ++c) {
    const ValueClass a = ClassOf(values[c]);
    if (a == ValueClass::kNull) continue;
    for (const auto& row : queue_) {
      const ValueClass b = ClassOf(row[c]);
      if (b == ValueClass::kNull) continue;
      if (a != b) return false;
      break;
    }
  }
  return true;
}

void OdbcTarget::InsertRow(std::string_view insert_sql, std::span<const Value> values) {
  if (!connected_ || !in_rows_) {
    FailText("rows were given outside BeginRows and EndRows");
    RowFailed();
    return;
  }
  const bool has_long =
      std::any_of(values.begin(), values.end(), [](const Value& v) { return std::holds_alternative<LongValue>(v); });
  if (insert_sql != queue_sql_ || has_long || !SameKinds(values)) Flush();
  queue_sql_.assign(insert_sql);
  if (has_long || options_.batch_rows <= 1 || arrays_ == Support::kNo) {
    SendRow(values);
    return;
  }
  queue_.emplace_back(values.begin(), values.end());
  for (const Value& v : values) queue_bytes_ += BytesOf(v);
  if (queue_.size() >= options_.batch_rows || queue_bytes_ >= options_.batch_bytes) Flush();
}

void OdbcTarget::Flush() {
  if (queue_.empty()) return;
  if (queue_.size() == 1 || !SendBatch()) {
    // One row, or no parameter arrays here (or a batch that failed and was
    // rolled back): row by row.
    for (const auto& row : queue_) SendRow(row);
  }
  queue_.clear();
  queue_bytes_ = 0;
}

// Sends the queue as one parameter array; true when every row went in. On
// false nothing of the batch is left in the table (rolled back to the
// savepoint taken before it) and nothing is counted.
bool OdbcTarget::SendBatch() {
  if (arrays_ == Support::kNo) return false;
  if (!Prepare(queue_sql_)) return false;
  SQLHSTMT stmt = stmt_.get();
  const std::size_t n = queue_.size();
  std::vector<std::span<const Value>> rows(queue_.begin(), queue_.end());
  // The savepoint lets a failed batch be undone whole. A driver or server
  // without savepoints gets one row per execute.
  if (!ExecDirect(kSavepoint)) {
    arrays_ = Support::kNo;
    return false;
  }
  SQLRETURN rc = SQLSetStmtAttr(stmt, SQL_ATTR_PARAM_BIND_TYPE, reinterpret_cast<SQLPOINTER>(SQL_PARAM_BIND_BY_COLUMN), 0);
  if (OdbcOk(rc)) rc = SQLSetStmtAttr(stmt, SQL_ATTR_PARAMSET_SIZE, reinterpret_cast<SQLPOINTER>(n), 0);
  if (!OdbcOk(rc)) {
    arrays_ = Support::kNo;
    return false;
  }
  std::vector<SQLUSMALLINT> statuses(n, kStatusUnset);
  SQLULEN processed = 0;
  const auto reset = [&] {
    SQLFreeStmt(stmt, SQL_CLOSE);
    SQLFreeStmt(stmt, SQL_RESET_PARAMS);
    SQLSetStmtAttr(stmt, SQL_ATTR_PARAMSET_SIZE, reinterpret_cast<SQLPOINTER>(1), 0);
    SQLSetStmtAttr(stmt, SQL_ATTR_PARAM_STATUS_PTR, nullptr, 0);
    SQLSetStmtAttr(stmt, SQL_ATTR_PARAMS_PROCESSED_PTR, nullptr, 0);
  };
  rc = SQLSetStmtAttr(stmt, SQL_ATTR_PARAM_STATUS_PTR, statuses.data(), 0);
  if (OdbcOk(rc)) rc = SQLSetStmtAttr(stmt, SQL_ATTR_PARAMS_PROCESSED_PTR, &processed, 0);
  if (!OdbcOk(rc)) {
    reset();
    arrays_ = Support::kNo;
    return false;
  }
  std::vector<Param> params;
  params.reserve(queue_.front().size());
  for (std::size_t c = 0; c < queue_.front().size(); ++c) {
    params.push_back(BuildParam(rows, c));
    Param& p = params.back();
    rc = SQLBindParameter(stmt, static_cast<SQLUSMALLINT>(c + 1), SQL_PARAM_INPUT, p.c_type, p.sql_type, p.column_size,
                          p.digits, p.data.data(), p.width, p.lengths.data());
    if (!OdbcOk(rc)) {
      Fail("SQLBindParameter", rc, SQL_HANDLE_STMT, stmt);
      reset();
      return false;
    }
  }
  rc = SQLExecute(stmt);
  bool ok = OdbcOk(rc) || rc == SQL_NO_DATA;
  if (!ok) Fail("SQLExecute", rc, SQL_HANDLE_STMT, stmt);
  // A driver that fills the statuses is believed when it reports a row as
  // not done; one that leaves them unset has done all rows when the execute
  // succeeded.
  for (const SQLUSMALLINT s : statuses) {
    if (s != kStatusUnset && s != SQL_PARAM_SUCCESS && s != SQL_PARAM_SUCCESS_WITH_INFO) ok = false;
  }
  reset();
  arrays_ = Support::kYes;
  if (ok) {
    rows_.inserted += n;
    return true;
  }
  if (!ExecDirect(kRollbackToSavepoint)) {
    // What the batch left in the table is not known: its rows are counted
    // as failed rather than sent twice.
    rows_.failed += n;
    if (rows_.errors.size() < kMaxRowErrors) rows_.errors.push_back(error_);
    arrays_ = Support::kNo;
    queue_.clear();
    return true;
  }
  return false;
}

RowOutcome OdbcTarget::EndRows() {
  if (in_rows_) Flush();
  in_rows_ = false;
  queue_sql_.clear();
  if (!connected_) {
    rows_.ok = false;
    return rows_;
  }
  SQLRETURN rc = SQLEndTran(SQL_HANDLE_DBC, dbc_.get(), SQL_COMMIT);
  rows_.ok = OdbcOk(rc);
  if (!rows_.ok) {
    Fail("SQLEndTran(SQL_COMMIT)", rc, SQL_HANDLE_DBC, dbc_.get());
    if (rows_.errors.size() < kMaxRowErrors) rows_.errors.push_back(error_ + "COMMIT");
  }
  rc = SQLSetConnectAttr(dbc_.get(), SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0);
  if (!OdbcOk(rc)) {
    Fail("SQLSetConnectAttr(SQL_ATTR_AUTOCOMMIT)", rc, SQL_HANDLE_DBC, dbc_.get());
    rows_.ok = false;
  }
  return rows_;
}

void OdbcTarget::Disconnect() {
  stmt_.Reset();
  prepared_sql_.clear();
  if (dbc_ && connected_) {
    if (in_rows_) SQLEndTran(SQL_HANDLE_DBC, dbc_.get(), SQL_ROLLBACK);
    SQLDisconnect(dbc_.get());
  }
  in_rows_ = false;
  connected_ = false;
  dbc_.Reset();
  env_.Reset();
}

}  // namespace quillon::repair
