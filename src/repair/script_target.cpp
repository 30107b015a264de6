#include "repair/script_target.h"
#include "repair/odbc_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <cstring>
#include <ostream>

namespace quillon::repair {

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

// Bytes at the end of text that begin a UTF-8 sequence not yet complete.
std::size_t IncompleteTail(std::string_view text) {
  std::size_t back = 0;
  while (back < text.size() && back < 4) {
    const auto c = static_cast<unsigned char>(text[text.size() - 1 - back]);
    ++back;
    if ((c & 0xC0) != 0x80) {  // a lead byte (or ASCII): how long is its sequence?
      const std::size_t need = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 1;
      return need > back ? back : 0;
    }
  }
  return 0;
}

// Where a piece of at most max bytes of text may end: not inside a UTF-8
// sequence.
std::size_t PieceEnd(std::string_view text, std::size_t start, std::size_t max) {
  std::size_t end = std::min(text.size(), start + max);
  if (end == text.size()) return end;
  while (end > start + 1 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return end;
}

bool IsControlCharacter(unsigned char c) { return c < 0x20 || c == 0x7F; }

// True when text holds a quote or a control character. Eight bytes at a
// time (every row's every text passes here): a byte b of a word is below
// 0x20 when (b - 0x20) borrows into its high bit while b's own is clear, and
// equals q when b ^ q is below 1 in the same sense.
bool NeedsEscaping(std::string_view text) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
  constexpr std::uint64_t kHigh = 0x8080808080808080ULL;
  const auto below = [](std::uint64_t x, std::uint64_t n) { return (x - kOnes * n) & ~x & kHigh; };
  std::size_t i = 0;
  for (; i + 8 <= text.size(); i += 8) {
    std::uint64_t w;
    std::memcpy(&w, text.data() + i, 8);
    if (below(w, 0x20) | below(w ^ (kOnes * '\''), 1) | below(w ^ (kOnes * 0x7F), 1)) return true;
  }
  for (; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (IsControlCharacter(c) || c == '\'') return true;
  }
  return false;
}

// 'text' pieces joined with " || ", control characters as CHR(n), appended
// to out.
void AppendTextExpression(std::string& out, std::string_view text) {
  if (text.empty()) {
    out += "''";
    return;
  }
  // Most texts are one piece with nothing to escape: quoted as they are.
  if (text.size() <= kScriptChunk && !NeedsEscaping(text)) {
    out += '\'';
    out.append(text);
    out += '\'';
    return;
  }
  bool first = true;
  const auto separate = [&out, &first] {
    if (!first) out += " || ";
    first = false;
  };
  std::size_t i = 0;
  while (i < text.size()) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (IsControlCharacter(c)) {
      separate();
      char chr[16];
      const int n = std::snprintf(chr, sizeof chr, "CHR(%u)", static_cast<unsigned>(c));
      out.append(chr, static_cast<std::size_t>(n));
      ++i;
      continue;
    }
    std::size_t run_end = i;
    while (run_end < text.size() && !IsControlCharacter(static_cast<unsigned char>(text[run_end]))) ++run_end;
    const std::string_view run = text.substr(i, run_end - i);
    std::size_t s = 0;
    while (s < run.size()) {
      const std::size_t e = PieceEnd(run, s, kScriptChunk);
      separate();
      out += '\'';
      const std::string_view piece = run.substr(s, e - s);
      for (std::size_t from = 0; from < piece.size();) {
        const std::size_t quote = piece.find('\'', from);
        if (quote == std::string_view::npos) {
          out.append(piece.substr(from));
          break;
        }
        out.append(piece.substr(from, quote + 1 - from));
        out += '\'';
        from = quote + 1;
      }
      out += '\'';
      s = e;
    }
    i = run_end;
  }
}

std::string TextExpression(std::string_view text) {
  std::string out;
  AppendTextExpression(out, text);
  return out;
}

// UNISTR('...') pieces: printable ASCII as it is, everything else as \XXXX.
std::string WideExpression(std::u16string_view text) {
  if (text.empty()) return "UNISTR('')";
  std::string out;
  constexpr std::size_t kUnits = 200;
  for (std::size_t s = 0; s < text.size();) {
    std::size_t e = std::min(text.size(), s + kUnits);
    // Keep a surrogate pair in one piece.
    if (e < text.size() && (text[e - 1] & 0xFC00) == 0xD800) --e;
    if (e == s) e = s + 1;
    if (!out.empty()) out += " || ";
    out += "UNISTR('";
    for (const char16_t u : text.substr(s, e - s)) {
      if (u >= 0x20 && u < 0x7F && u != '\\' && u != '\'') {
        out += static_cast<char>(u);
      } else if (u == '\'') {
        out += "''";
      } else {
        out += '\\';
        for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(u >> shift) & 0xF];
      }
    }
    out += "')";
    s = e;
  }
  return out;
}

std::string HexText(const std::uint8_t* data, std::size_t n) {
  std::string out;
  out.reserve(n * 2);
  for (std::size_t i = 0; i < n; ++i) {
    out += kHex[data[i] >> 4];
    out += kHex[data[i] & 0xF];
  }
  return out;
}

// HEXTORAW('AB..' || 'CD..'): within a line and within 4,000 characters.
std::string BinaryExpression(const std::vector<std::uint8_t>& bytes) {
  if (bytes.empty()) return "NULL";  // Oracle holds an empty RAW as NULL
  std::string out = "HEXTORAW(";
  for (std::size_t s = 0; s < bytes.size(); s += kScriptChunk / 2) {
    if (s > 0) out += " || ";
    out += "'" + HexText(bytes.data() + s, std::min(kScriptChunk / 2, bytes.size() - s)) + "'";
  }
  out += ")";
  return out;
}

bool IsNumeral(std::string_view s) {
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
  std::size_t digits = 0;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < s.size() && (s[i] == 'E' || s[i] == 'e')) {
    ++i;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
    std::size_t exponent = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++exponent;
    if (exponent == 0) return false;
  }
  return i == s.size();
}

std::size_t Utf16Units(std::string_view utf8) {
  std::size_t n = 0;
  for (const char c : utf8) {
    const auto u = static_cast<unsigned char>(c);
    if ((u & 0xC0) != 0x80) n += u >= 0xF0 ? 2 : 1;
  }
  return n;
}

// Reads a long value in pieces of about kScriptChunk bytes; text pieces
// never end inside a UTF-8 sequence. f(piece) for each.
template <typename F>
bool ForEachPiece(const LongValue& v, bool text, F f) {
  if (!v.bytes) return true;
  std::vector<std::uint8_t> buffer(kScriptChunk);
  std::string carry;
  std::uint64_t at = 0;
  const std::uint64_t size = v.bytes->size();
  while (at < size) {
    const std::size_t got = v.bytes->Read(at, buffer);
    if (got == 0) return false;
    at += got;
    if (!text) {
      f(std::string_view(reinterpret_cast<const char*>(buffer.data()), got));
      continue;
    }
    carry.append(reinterpret_cast<const char*>(buffer.data()), got);
    const std::size_t keep = at < size ? IncompleteTail(carry) : 0;
    f(std::string_view(carry).substr(0, carry.size() - keep));
    carry.erase(0, carry.size() - keep);
  }
  if (!carry.empty()) f(std::string_view(carry));
  return true;
}

// The column names of an INSERT's column list (the first parenthesised list
// of quoted names after the table, past a partition clause).
std::vector<std::string> ColumnNames(std::string_view sql) {
  std::vector<std::string> names;
  std::size_t i = 0;
  bool in_double = false;
  int depth = 0;
  std::size_t list_start = std::string_view::npos;
  for (; i < sql.size(); ++i) {
    const char c = sql[i];
    if (c == '"') in_double = !in_double;
    if (in_double) continue;
    if (c == '(') {
      ++depth;
      // A partition clause's list is followed by a space and another list.
      std::size_t j = i;
      int d = 0;
      bool q = false;
      for (; j < sql.size(); ++j) {
        if (sql[j] == '"') q = !q;
        if (q) continue;
        if (sql[j] == '(') ++d;
        if (sql[j] == ')' && --d == 0) break;
      }
      const std::string_view after = sql.substr(std::min(sql.size(), j + 1));
      if (after.rfind(" values", 0) == 0) {
        list_start = i;
        break;
      }
      i = j;
      --depth;
    }
  }
  if (list_start == std::string_view::npos) return names;
  std::string name;
  in_double = false;
  for (i = list_start + 1; i < sql.size(); ++i) {
    const char c = sql[i];
    if (c == '"') {
      if (in_double && i + 1 < sql.size() && sql[i + 1] == '"') {
        name += "\"\"";
        ++i;
        continue;
      }
      in_double = !in_double;
      name += c;
      continue;
    }
    if (in_double) {
      name += c;
      continue;
    }
    if (c == ',' || c == ')') {
      names.push_back(name);
      name.clear();
      if (c == ')') break;
    }
  }
  return names;
}

// The value items of an INSERT: for each placeholder, the index of the
// item (top-level comma-separated part of the values list) it stands in.
std::vector<std::size_t> PlaceholderItems(std::string_view sql, const std::vector<std::size_t>& offsets) {
  const std::size_t values = sql.rfind(") values (");
  std::vector<std::size_t> out;
  for (const std::size_t at : offsets) {
    std::size_t item = 0;
    int depth = 0;
    bool single = false;
    for (std::size_t i = values + 10; i < at && values != std::string_view::npos; ++i) {
      const char c = sql[i];
      if (c == '\'') single = !single;
      if (single) continue;
      if (c == '(') ++depth;
      if (c == ')') --depth;
      if (c == ',' && depth == 0) ++item;
    }
    out.push_back(item);
  }
  return out;
}

// Whether the placeholder at is a value item of its own (", ?," or
// "values (?"), not part of an expression such as XMLTYPE(?).
bool BareItem(std::string_view sql, std::size_t at) {
  const std::size_t values = sql.rfind(") values (");
  if (values == std::string_view::npos) return true;
  std::size_t before = at;
  while (before > 0 && sql[before - 1] == ' ') --before;
  if (before == 0) return false;
  const bool opens = sql[before - 1] == ',' || before - 1 == values + 9;
  std::size_t after = at + 1;
  while (after < sql.size() && sql[after] == ' ') ++after;
  return opens && after < sql.size() && (sql[after] == ',' || sql[after] == ')');
}

}  // namespace

std::optional<std::string> ScriptLiteral(const Value& value) {
  struct Visitor {
    std::optional<std::string> operator()(const NullValue&) const { return "NULL"; }
    std::optional<std::string> operator()(const TextValue& v) const { return TextExpression(v.text); }
    std::optional<std::string> operator()(const WideTextValue& v) const { return WideExpression(v.text); }
    std::optional<std::string> operator()(const NumberValue& v) const {
      return IsNumeral(v.text) ? v.text : TextExpression(v.text);
    }
    std::optional<std::string> operator()(const BinaryValue& v) const { return BinaryExpression(v.bytes); }
    std::optional<std::string> operator()(const IntegerValue& v) const { return std::to_string(v.value); }
    std::optional<std::string> operator()(const RealValue& v) const {
      if (std::isnan(v.value)) return "BINARY_DOUBLE_NAN";
      if (std::isinf(v.value)) return v.value < 0 ? "-BINARY_DOUBLE_INFINITY" : "BINARY_DOUBLE_INFINITY";
      char b[40];
      std::snprintf(b, sizeof b, "%.17g", v.value);
      return std::string(b);
    }
    std::optional<std::string> operator()(const LongValue&) const { return std::nullopt; }
  };
  return std::visit(Visitor{}, value);
}

namespace {

// Bytes of gathered rows' INSERTs handed to the stream at once.
constexpr std::size_t kPendingBytes = 256 * 1024;

// ScriptLiteral's text appended to out; false for long values.
bool AppendScriptLiteral(std::string& out, const Value& value) {
  if (const auto* text = std::get_if<TextValue>(&value)) {
    AppendTextExpression(out, text->text);
  } else if (const auto* number = std::get_if<NumberValue>(&value)) {
    if (IsNumeral(number->text)) {
      out += number->text;
    } else {
      AppendTextExpression(out, number->text);
    }
  } else if (std::holds_alternative<NullValue>(value)) {
    out += "NULL";
  } else {
    const std::optional<std::string> literal = ScriptLiteral(value);
    if (!literal) return false;
    out += *literal;
  }
  return true;
}

}  // namespace

std::vector<std::size_t> PlaceholderOffsets(std::string_view sql) {
  std::vector<std::size_t> out;
  bool single = false, dbl = false;
  for (std::size_t i = 0; i < sql.size(); ++i) {
    const char c = sql[i];
    if (!dbl && c == '\'') single = !single;  // a doubled quote toggles twice
    else if (!single && c == '"') dbl = !dbl;
    else if (!single && !dbl && c == '?') out.push_back(i);
  }
  return out;
}

ScriptTarget::ScriptTarget(std::ostream& out, std::string_view title) : writer_(out, title), out_(out) {}

bool ScriptTarget::Written() {
  if (out_) return true;
  error_ = std::string(kScriptWriteError);
  return false;
}

void ScriptTarget::FlushPending() {
  if (pending_.empty()) return;
  out_.write(pending_.data(), static_cast<std::streamsize>(pending_.size()));
  pending_.clear();
}

bool ScriptTarget::Write(const Statement& statement) {
  FlushPending();
  row_sql_.clear();  // a statement may change the script's session: rows are checked again
  const std::size_t refused = writer_.statements_refused();
  writer_.Accept(statement);
  if (writer_.statements_refused() != refused) {
    error_ = "The statement cannot be written into a SQL*Plus script (see the comment in the script).";
    return false;
  }
  return Written();
}

bool ScriptTarget::Execute(const Statement& statement) {
  FlushPending();
  if (statement.values.empty()) return Write(statement);
  const std::vector<std::size_t> at = PlaceholderOffsets(statement.text);
  if (at.size() != statement.values.size()) {
    error_ = "The statement's placeholders and values differ in number.";
    return false;
  }
  Statement s = statement;
  s.values.clear();
  s.splittable_literals.clear();
  std::string text;
  std::size_t from = 0;
  for (std::size_t k = 0; k < at.size(); ++k) {
    const auto literal = ScriptLiteral(statement.values[k]);
    if (!literal) {
      error_ = "A long value cannot be written in a plain statement.";
      return false;
    }
    text.append(statement.text, from, at[k] - from);
    text += *literal;
    from = at[k] + 1;
  }
  text.append(statement.text, from);
  s.text = std::move(text);
  return Write(s);
}

bool ScriptTarget::BeginRows() {
  FlushPending();
  rows_ = RowOutcome{};
  return true;
}

void ScriptTarget::RowFailed(const std::string& why) {
  error_ = why;
  ++rows_.failed;
  if (rows_.errors.size() < kMaxRowErrors) rows_.errors.push_back(why);
}

void ScriptTarget::InsertRow(std::string_view insert_sql, std::span<const Value> values) {
  if (insert_sql != row_sql_) {  // rows of a table mostly share their text
    row_sql_.assign(insert_sql);
    placeholders_ = PlaceholderOffsets(row_sql_);
    // Literals never hold a line break (control characters are written
    // CHR(n)): whether a row's INSERT is one plain line depends on its text
    // with placeholders, and on its length.
    row_sql_plain_ = writer_.WritesAsItIs(row_, row_sql_);
  }
  const std::vector<std::size_t>& at = placeholders_;
  if (at.size() != values.size()) return RowFailed("The row's placeholders and values differ in number.");
  bool has_long = false;
  for (const Value& v : values) has_long = has_long || std::holds_alternative<LongValue>(v);
  if (!has_long) {
    if (!Written()) return RowFailed(error_);
    // The INSERT with its values as literals, as Execute writes a statement
    // with bound values, built in place after the rows gathered before it.
    // A plain line stays there; any other text is taken out and written
    // the general way.
    const std::size_t start = pending_.size();
    if (!AppendPlainRow(insert_sql, values)) {
      std::size_t from = 0;
      for (std::size_t k = 0; k < at.size(); ++k) {
        pending_.append(insert_sql.substr(from, at[k] - from));
        AppendScriptLiteral(pending_, values[k]);
        from = at[k] + 1;
      }
      pending_.append(insert_sql.substr(from));
    }
    const std::string_view text(pending_.data() + start, pending_.size() - start);
    if (row_sql_plain_ && text.size() <= kMaxScriptLine) {
      pending_.append("\n/\n", 3);
      writer_.CountWritten();
      ++rows_.inserted;
      if (pending_.size() >= kPendingBytes) FlushPending();
      return;
    }
    row_.text.assign(text);
    pending_.resize(start);
    if (Write(row_)) {
      ++rows_.inserted;
    } else {
      RowFailed(error_);
    }
    return;
  }
  FlushPending();
  if (WriteBlock(insert_sql, values, at)) {
    if (Written()) {
      ++rows_.inserted;
    } else {
      RowFailed(error_);
    }
  }
}

bool ScriptTarget::AppendPlainRow(std::string_view insert_sql, std::span<const Value> values) {
  // The row's length first: each value a NULL, a number written as it is,
  // or a text quoted as it is; any other value takes the general way.
  const std::vector<std::size_t>& at = placeholders_;
  std::size_t size = insert_sql.size() - at.size();
  for (const Value& v : values) {
    if (const auto* text = std::get_if<TextValue>(&v)) {
      if (text->text.empty() || text->text.size() > kScriptChunk || NeedsEscaping(text->text)) return false;
      size += text->text.size() + 2;
    } else if (const auto* number = std::get_if<NumberValue>(&v)) {
      if (!IsNumeral(number->text)) return false;
      size += number->text.size();
    } else if (std::holds_alternative<NullValue>(v)) {
      size += 4;
    } else {
      return false;
    }
  }
  // Then written in place, piece by piece.
  const std::size_t start = pending_.size();
  pending_.resize(start + size);
  char* out = pending_.data() + start;
  const auto put = [&out](std::string_view piece) {
    std::memcpy(out, piece.data(), piece.size());
    out += piece.size();
  };
  std::size_t from = 0;
  for (std::size_t k = 0; k < at.size(); ++k) {
    put(insert_sql.substr(from, at[k] - from));
    const Value& v = values[k];
    if (const auto* text = std::get_if<TextValue>(&v)) {
      *out++ = '\'';
      put(text->text);
      *out++ = '\'';
    } else if (const auto* number = std::get_if<NumberValue>(&v)) {
      put(number->text);
    } else {
      put("NULL");
    }
    from = at[k] + 1;
  }
  put(insert_sql.substr(from));
  return true;
}

bool ScriptTarget::WriteBlock(std::string_view insert_sql, std::span<const Value> values,
                              const std::vector<std::size_t>& at) {
  const std::vector<std::size_t> items = PlaceholderItems(insert_sql, at);
  const std::vector<std::string> columns = ColumnNames(insert_sql);
  std::vector<std::string> declarations;
  std::vector<std::string> returning_columns;
  std::vector<std::string> returning_into;
  struct Fill {
    std::string variable;
    const LongValue* value;
    bool lob;  // DBMS_LOB.WRITEAPPEND into a locator; else assignments
    bool temporary = false;  // a temporary LOB, filled before the INSERT
  };
  std::vector<Fill> fills;
  std::string insert;
  std::size_t from = 0;
  for (std::size_t k = 0; k < at.size(); ++k) {
    std::string item;
    if (const auto* v = std::get_if<LongValue>(&values[k])) {
      const std::uint64_t size = v->bytes ? v->bytes->size() : 0;
      const bool wide = v->form == LongValue::Form::kWideText;
      const bool fits = wide ? size <= kMaxScriptVariableBytes / 2 : size <= kMaxScriptVariableBytes;
      if (fits) {
        const std::string name = "v" + std::to_string(k + 1);
        declarations.push_back(name + (v->form == LongValue::Form::kBinary ? " RAW(32767);"
                                       : wide                              ? " NVARCHAR2(16383);"
                                                                           : " VARCHAR2(32767);"));
        fills.push_back({name, v, false});
        item = name;
      } else if (!BareItem(insert_sql, at[k])) {
        // Inside an expression (XMLTYPE(?)): no column to return a locator
        // from; the value goes into a temporary LOB first.
        const std::string name = "l" + std::to_string(k + 1);
        declarations.push_back(name + (v->form == LongValue::Form::kBinary ? " BLOB;" : wide ? " NCLOB;" : " CLOB;"));
        fills.push_back({name, v, true, true});
        item = name;
      } else {
        if (items[k] >= columns.size()) {
          RowFailed("The column of a long value is not found in the INSERT.");
          return false;
        }
        const std::string name = "l" + std::to_string(k + 1);
        declarations.push_back(name + (v->form == LongValue::Form::kBinary ? " BLOB;"
                                       : wide                              ? " NCLOB;"
                                                                           : " CLOB;"));
        fills.push_back({name, v, true});
        returning_columns.push_back(columns[items[k]]);
        returning_into.push_back(name);
        item = v->form == LongValue::Form::kBinary ? "EMPTY_BLOB()" : "EMPTY_CLOB()";
      }
    } else {
      item = *ScriptLiteral(values[k]);
    }
    insert.append(insert_sql.substr(from, at[k] - from));
    insert += item;
    from = at[k] + 1;
  }
  insert.append(insert_sql.substr(from));
  if (!returning_columns.empty()) {
    insert += " RETURNING ";
    for (std::size_t i = 0; i < returning_columns.size(); ++i) insert += (i ? ", " : "") + returning_columns[i];
    insert += " INTO ";
    for (std::size_t i = 0; i < returning_into.size(); ++i) insert += (i ? ", " : "") + returning_into[i];
  }
  insert += ";";
  const ScriptLines lines = BreakIntoLines(insert, {});
  if (!lines.ok()) {
    RowFailed("The row cannot be written into a SQL*Plus script: " + lines.error);
    return false;
  }
  out_ << "DECLARE\n";
  for (const std::string& d : declarations) out_ << "  " << d << "\n";
  out_ << "BEGIN\n";
  bool read_ok = true;
  bool write_ok = true;
  // Variables first (they go into the INSERT), LOB chunks after it.
  for (const Fill& f : fills) {
    if (f.lob) continue;
    const bool binary = f.value->form == LongValue::Form::kBinary;
    const bool wide = f.value->form == LongValue::Form::kWideText;
    bool first = true;
    read_ok = ForEachPiece(*f.value, !binary, [&](std::string_view piece) {
      std::string expr = binary ? "HEXTORAW('" + HexText(reinterpret_cast<const std::uint8_t*>(piece.data()), piece.size()) + "')"
                         : wide ? WideExpression(Utf8ToUtf16(piece))
                                : TextExpression(piece);
      if (first) {
        write_ok = WriteLines("  " + f.variable + " := " + expr + ";") && write_ok;
      } else if (binary) {
        write_ok = WriteLines("  " + f.variable + " := UTL_RAW.CONCAT(" + f.variable + ", " + expr + ");") && write_ok;
      } else {
        write_ok = WriteLines("  " + f.variable + " := " + f.variable + " || " + expr + ";") && write_ok;
      }
      first = false;
    }) && read_ok;
  }
  const auto append_chunks = [&](const Fill& f) {
    const bool binary = f.value->form == LongValue::Form::kBinary;
    const bool wide = f.value->form == LongValue::Form::kWideText;
    read_ok = ForEachPiece(*f.value, !binary, [&](std::string_view piece) {
      if (binary) {
        write_ok = WriteLines("  DBMS_LOB.WRITEAPPEND(" + f.variable + ", " + std::to_string(piece.size()) +
                              ", HEXTORAW('" +
                              HexText(reinterpret_cast<const std::uint8_t*>(piece.data()), piece.size()) + "'));") &&
                   write_ok;
      } else {
        write_ok = WriteLines("  DBMS_LOB.WRITEAPPEND(" + f.variable + ", " + std::to_string(Utf16Units(piece)) +
                              ", " + (wide ? WideExpression(Utf8ToUtf16(piece)) : TextExpression(piece)) + ");") &&
                   write_ok;
      }
    }) && read_ok;
  };
  for (const Fill& f : fills) {
    if (!f.temporary) continue;
    out_ << "  DBMS_LOB.CREATETEMPORARY(" << f.variable << ", TRUE);\n";
    append_chunks(f);
  }
  for (const std::string& line : lines.lines) out_ << line << "\n";
  for (const Fill& f : fills) {
    if (f.temporary) out_ << "  DBMS_LOB.FREETEMPORARY(" << f.variable << ");\n";
  }
  for (const Fill& f : fills) {
    if (!f.lob || f.temporary) continue;
    append_chunks(f);
  }
  if (!read_ok || !write_ok) {
    // The block is written already and what it holds is short of the
    // value: it ends in an error, so that running it leaves no row (Oracle
    // rolls back what a failed block did), and the row counts as failed.
    out_ << "  RAISE_APPLICATION_ERROR(-20001, '" << kIncompleteBlockMessage << "');\n";
    out_ << "END;\n/\n";
    RowFailed(!read_ok ? "A long value could not be read back whole from the spill file."
                       : "A long value's line could not be written into the script.");
    return false;
  }
  out_ << "END;\n/\n";
  return true;
}

bool ScriptTarget::WriteLines(const std::string& text) {
  const ScriptLines lines = BreakIntoLines(text, {});
  if (!lines.ok()) return false;
  for (const std::string& line : lines.lines) out_ << line << "\n";
  return true;
}

RowOutcome ScriptTarget::EndRows() {
  rows_.ok = Write(Statement::Sql("COMMIT"));  // after the rows still gathered
  // The file refused bytes (a full disk): which of the rows still waiting
  // in the stream's buffer reached it is not known, so none of the table's
  // rows counts as written.
  out_.flush();
  if (!Written()) {
    rows_.ok = false;
    rows_.failed += rows_.inserted;
    rows_.inserted = 0;
    if (rows_.errors.size() < kMaxRowErrors) rows_.errors.push_back(error_);
  }
  return rows_;
}

void ScriptTarget::Finish() {
  if (finished_) return;
  finished_ = true;
  FlushPending();
  writer_.Finish();
}

void ScriptTarget::Disconnect() { Finish(); }

}  // namespace quillon::repair
