// A small reader of the SQL*Plus scripts the script target writes: it
// splits a script into its statements and PL/SQL blocks and reads every
// value form back (text literals with doubled quotes, CHR(n), UNISTR,
// HEXTORAW, XMLTYPE, BFILENAME, numbers, the binary floats' special values,
// EMPTY_CLOB(), TO_DATE / TO_TIMESTAMP / TO_TIMESTAMP_TZ / FROM_TZ forms),
// joined with "||". Blocks are run the way Oracle would: variables assigned and
// appended to, the INSERT's RETURNING locators filled by
// DBMS_LOB.WRITEAPPEND. Written on its own, from Oracle's rules, so that it
// checks the writer rather than repeating it.
#pragma once

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "reader/unicode.h"

namespace quillon::test {

struct ScriptValue {
  enum class Kind {
    kNull, kText, kNumber, kBinary, kDate, kTimestamp, kTimestampTz, kSpecial, kEmptyLob, kObject, kXml, kBfile
  };
  Kind kind = Kind::kNull;
  // text: UTF-8; binary: upper-case hex; number/special: as written; dates:
  // the inner text; BFILE: directory','file
  std::string text;
  bool operator==(const ScriptValue&) const = default;
};

struct ScriptInsert {
  std::string owner, table, partition;
  std::vector<std::string> columns;
  std::vector<ScriptValue> values;
};

class ScriptReader {
 public:
  explicit ScriptReader(std::string_view s) : s_(s) {}

  // value := term ("||" term)*
  std::optional<ScriptValue> Expression(const std::map<std::string, ScriptValue>* variables = nullptr) {
    auto first = Term(variables);
    if (!first) return std::nullopt;
    while (true) {
      Blanks();
      if (!s_.substr(at_).starts_with("||")) break;
      at_ += 2;
      auto next = Term(variables);
      if (!next) return std::nullopt;
      if (first->kind == ScriptValue::Kind::kNull) {
        first = next;
      } else if (next->kind != ScriptValue::Kind::kNull) {
        first->text += next->text;
      }
    }
    return first;
  }

  void Blanks() {
    while (at_ < s_.size() && (s_[at_] == ' ' || s_[at_] == '\n' || s_[at_] == '\t')) ++at_;
  }
  bool Eat(std::string_view word) {
    Blanks();
    if (s_.substr(at_).starts_with(word)) {
      at_ += word.size();
      return true;
    }
    return false;
  }
  bool AtEnd() {
    Blanks();
    return at_ >= s_.size();
  }
  std::size_t at() const { return at_; }
  std::string_view rest() const { return s_.substr(at_); }

  // "NAME" with doubled quotes undone.
  std::optional<std::string> QuotedName() { return Quoted('"'); }
  // 'text' with doubled quotes undone.
  std::optional<std::string> StringLiteral() { return Quoted('\''); }


 private:
  // Text between two quote characters, a doubled one standing for itself.
  std::optional<std::string> Quoted(char quote) {
    Blanks();
    if (at_ >= s_.size() || s_[at_] != quote) return std::nullopt;
    std::string out;
    for (++at_; at_ < s_.size(); ++at_) {
      if (s_[at_] == quote) {
        if (at_ + 1 < s_.size() && s_[at_ + 1] == quote) {
          out += quote;
          ++at_;
          continue;
        }
        ++at_;
        return out;
      }
      out += s_[at_];
    }
    return std::nullopt;
  }

  // UNISTR's escapes: \XXXX (UTF-16 code units, pairs joined) and \\.
  static std::optional<std::string> Unistr(std::string_view in) {
    std::string out;
    char32_t high = 0;
    for (std::size_t i = 0; i < in.size(); ++i) {
      if (in[i] != '\\') {
        out += in[i];
        continue;
      }
      if (i + 1 < in.size() && in[i + 1] == '\\') {
        out += '\\';
        ++i;
        continue;
      }
      if (i + 4 >= in.size()) return std::nullopt;
      const char32_t unit = static_cast<char32_t>(std::strtoul(std::string(in.substr(i + 1, 4)).c_str(), nullptr, 16));
      i += 4;
      if (unit >= 0xD800 && unit < 0xDC00) {
        high = unit;
        continue;
      }
      if (unit >= 0xDC00 && unit < 0xE000 && high) {
        AppendUtf8(out, 0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00));
        high = 0;
        continue;
      }
      AppendUtf8(out, unit);
    }
    return out;
  }

  std::optional<ScriptValue> Term(const std::map<std::string, ScriptValue>* variables) {
    using K = ScriptValue::Kind;
    Blanks();
    if (at_ >= s_.size()) return std::nullopt;
    if (s_[at_] == '\'') {
      auto t = StringLiteral();
      if (!t) return std::nullopt;
      return ScriptValue{K::kText, *t};
    }
    if (Eat("NULL")) return ScriptValue{K::kNull, ""};
    if (s_[at_] == '"') {  // a constructor: "OWNER"."TYPE"(value, ...)
      auto owner = QuotedName();
      if (!owner || !Eat(".")) return std::nullopt;
      auto type = QuotedName();
      if (!type || !Eat("(")) return std::nullopt;
      std::string text = *owner + "." + *type + "(";
      if (!Eat(")")) {
        do {
          auto v = Expression(variables);
          if (!v) return std::nullopt;
          text += (text.back() == '(' ? "" : ",") + (v->kind == K::kNull ? std::string("NULL") : v->text);
        } while (Eat(","));
        if (!Eat(")")) return std::nullopt;
      }
      return ScriptValue{K::kObject, text + ")"};
    }
    if (Eat("XMLTYPE(")) {  // XMLTYPE(document): the document's text
      auto document = Expression(variables);
      if (!document || !Eat(")")) return std::nullopt;
      return ScriptValue{K::kXml, document->text};
    }
    if (Eat("CHR(")) {
      std::size_t end = s_.find(')', at_);
      const int n = std::atoi(std::string(s_.substr(at_, end - at_)).c_str());
      at_ = end + 1;
      return ScriptValue{K::kText, std::string(1, static_cast<char>(n))};
    }
    if (Eat("UNISTR(")) {
      auto t = StringLiteral();
      if (!t || !Eat(")")) return std::nullopt;
      auto u = Unistr(*t);
      if (!u) return std::nullopt;
      return ScriptValue{K::kText, *u};
    }
    if (Eat("HEXTORAW(")) {
      auto e = Expression(variables);
      if (!e || !Eat(")")) return std::nullopt;
      return ScriptValue{K::kBinary, e->text};
    }
    if (Eat("EMPTY_CLOB()") || Eat("EMPTY_BLOB()")) return ScriptValue{K::kEmptyLob, ""};
    if (Eat("BFILENAME(")) {  // BFILENAME(directory, file)
      auto directory = Expression(variables);
      if (!directory || !Eat(",")) return std::nullopt;
      auto file = Expression(variables);
      if (!file || !Eat(")")) return std::nullopt;
      return ScriptValue{K::kBfile, directory->text + "','" + file->text};
    }
    for (const char* special : {"-BINARY_FLOAT_INFINITY", "BINARY_FLOAT_INFINITY", "BINARY_FLOAT_NAN",
                                "-BINARY_DOUBLE_INFINITY", "BINARY_DOUBLE_INFINITY", "BINARY_DOUBLE_NAN"}) {
      if (Eat(special)) return ScriptValue{K::kSpecial, special};
    }
    if (Eat("TO_DATE(")) return DateForm(K::kDate, 2, variables);
    if (Eat("TO_TIMESTAMP_TZ(")) return DateForm(K::kTimestampTz, 1, variables);
    if (Eat("TO_TIMESTAMP(")) return DateForm(K::kTimestamp, 1, variables);
    if (Eat("FROM_TZ(")) {
      auto inner = Expression(variables);
      if (!inner || !Eat(",") || !Eat("DBTIMEZONE") || !Eat(")")) return std::nullopt;
      return inner;
    }
    const char c = s_[at_];
    if (c == '-' || c == '+' || c == '.' || (c >= '0' && c <= '9')) {
      std::size_t end = at_ + 1;
      while (end < s_.size() && (std::isdigit(static_cast<unsigned char>(s_[end])) || s_[end] == '.' ||
                                 s_[end] == 'E' || s_[end] == 'e' ||
                                 ((s_[end] == '-' || s_[end] == '+') && (s_[end - 1] == 'E' || s_[end - 1] == 'e')))) {
        ++end;
      }
      ScriptValue v{K::kNumber, std::string(s_.substr(at_, end - at_))};
      at_ = end;
      return v;
    }
    // A PL/SQL variable of the block.
    std::size_t end = at_;
    while (end < s_.size() && (std::isalnum(static_cast<unsigned char>(s_[end])) || s_[end] == '_')) ++end;
    if (end > at_ && variables) {
      const auto found = variables->find(std::string(s_.substr(at_, end - at_)));
      if (found != variables->end()) {
        at_ = end;
        return found->second;
      }
    }
    return std::nullopt;
  }

  // TO_DATE(value, 'mask', 'nls') and TO_TIMESTAMP[_TZ](value, 'mask').
  std::optional<ScriptValue> DateForm(ScriptValue::Kind kind, int extra, const std::map<std::string, ScriptValue>* v) {
    auto value = Expression(v);
    if (!value) return std::nullopt;
    for (int i = 0; i < extra; ++i) {
      if (!Eat(",") || !StringLiteral()) return std::nullopt;
    }
    if (!Eat(")")) return std::nullopt;
    if (value->kind == ScriptValue::Kind::kNull) return value;
    return ScriptValue{kind, value->text};
  }

  std::string_view s_;
  std::size_t at_ = 0;
};

// The units of a script: each statement or block (the lines before a line
// holding "/"), with SQL*Plus commands and comments left out.
inline std::vector<std::string> ScriptUnits(const std::string& script) {
  std::vector<std::string> units;
  std::istringstream in(script);
  std::string line, unit;
  bool open = false;
  while (std::getline(in, line)) {
    if (line == "/") {
      units.push_back(unit);
      unit.clear();
      open = false;
      continue;
    }
    if (!open && (line.empty() || line.starts_with("--") || line.starts_with("SET ") ||
                  line.starts_with("WHENEVER ") || line.starts_with("ACCEPT ") || line.starts_with("UNDEFINE "))) {
      continue;
    }
    unit += open ? "\n" + line : line;
    open = true;
  }
  return units;
}

// insert into "O"."T" [PARTITION ("P")] [("A",...)] values (v, ...) [RETURNING ...]
inline std::optional<ScriptInsert> ReadInsert(ScriptReader& r, const std::map<std::string, ScriptValue>* variables,
                                              std::vector<std::string>* returning = nullptr) {
  ScriptInsert out;
  if (!r.Eat("insert") || !r.Eat("into")) return std::nullopt;
  auto owner = r.QuotedName();
  if (!owner || !r.Eat(".")) return std::nullopt;
  auto table = r.QuotedName();
  if (!table) return std::nullopt;
  out.owner = *owner;
  out.table = *table;
  if ((r.Eat("PARTITION") || r.Eat("SUBPARTITION")) && r.Eat("(")) {
    auto p = r.QuotedName();
    if (!p || !r.Eat(")")) return std::nullopt;
    out.partition = *p;
  }
  // An XMLType table's row has no column list.
  if (!r.Eat("values")) {
    if (!r.Eat("(")) return std::nullopt;
    do {
      auto c = r.QuotedName();
      if (!c) return std::nullopt;
      out.columns.push_back(*c);
    } while (r.Eat(","));
    if (!r.Eat(")") || !r.Eat("values")) return std::nullopt;
  }
  if (!r.Eat("(")) return std::nullopt;
  do {
    auto v = r.Expression(variables);
    if (!v) return std::nullopt;
    out.values.push_back(*v);
  } while (r.Eat(","));
  if (!r.Eat(")")) return std::nullopt;
  if (returning && r.Eat("RETURNING")) {
    std::vector<std::string> cols;
    do {
      auto c = r.QuotedName();
      if (!c) return std::nullopt;
      cols.push_back(*c);
    } while (r.Eat(","));
    if (!r.Eat("INTO")) return std::nullopt;
    for (std::size_t i = 0; i < cols.size(); ++i) {
      if (i > 0 && !r.Eat(",")) return std::nullopt;
      r.Blanks();
      std::string name;
      while (!r.rest().empty() && std::isalnum(static_cast<unsigned char>(r.rest()[0]))) {
        name += r.rest()[0];
        r.Eat(std::string_view(&r.rest()[0], 1));
      }
      returning->push_back(cols[i] + "=" + name);
    }
  }
  return out;
}

// One unit read back: a plain INSERT, or a block run as Oracle would.
inline std::optional<ScriptInsert> ReadRowUnit(const std::string& unit) {
  ScriptReader r(unit);
  if (!r.Eat("DECLARE")) {
    auto insert = ReadInsert(r, nullptr);
    if (!insert || !r.AtEnd()) return std::nullopt;
    return insert;
  }
  std::map<std::string, ScriptValue> variables;
  // Declarations up to BEGIN.
  const std::size_t begin = unit.find("\nBEGIN\n");
  if (begin == std::string::npos) return std::nullopt;
  ScriptReader body(std::string_view(unit).substr(begin + 7));
  std::optional<ScriptInsert> insert;
  std::vector<std::string> returning;
  std::map<std::string, bool> temporaries;
  const auto name_at = [&body] {
    std::string name;
    body.Blanks();
    while (!body.rest().empty() && std::isalnum(static_cast<unsigned char>(body.rest()[0]))) {
      name += body.rest()[0];
      body.Eat(std::string_view(&body.rest()[0], 1));
    }
    return name;
  };
  while (!body.AtEnd()) {
    if (body.Eat("END;")) break;
    // A temporary LOB, filled before the INSERT that uses it.
    if (body.Eat("DBMS_LOB.CREATETEMPORARY(")) {
      const std::string name = name_at();
      if (name.empty() || !body.Eat(",") || !body.Eat("TRUE") || !body.Eat(")") || !body.Eat(";")) return std::nullopt;
      temporaries[name] = true;
      variables[name] = ScriptValue{ScriptValue::Kind::kText, ""};
      continue;
    }
    if (body.Eat("DBMS_LOB.FREETEMPORARY(")) {
      const std::string name = name_at();
      if (!temporaries.count(name) || !body.Eat(")") || !body.Eat(";")) return std::nullopt;
      continue;
    }
    if (body.rest().starts_with("insert into")) {
      insert = ReadInsert(body, &variables, &returning);
      if (!insert || !body.Eat(";")) return std::nullopt;
      for (const std::string& r2 : returning) {
        const std::string column = r2.substr(0, r2.find('='));
        variables[r2.substr(r2.find('=') + 1)] = ScriptValue{ScriptValue::Kind::kEmptyLob, "@" + column};
      }
      continue;
    }
    if (body.Eat("DBMS_LOB.WRITEAPPEND(")) {
      std::string name;
      while (std::isalnum(static_cast<unsigned char>(body.rest()[0]))) {
        name += body.rest()[0];
        body.Eat(std::string_view(&body.rest()[0], 1));
      }
      if (!body.Eat(",")) return std::nullopt;
      auto amount = body.Expression();
      if (!amount || !body.Eat(",")) return std::nullopt;
      auto piece = body.Expression();
      if (!piece || !body.Eat(")") || !body.Eat(";")) return std::nullopt;
      if (temporaries.count(name)) {
        variables[name].text += piece->text;
        continue;
      }
      if (!insert) return std::nullopt;
      const std::string column = variables[name].text.substr(1);
      for (std::size_t i = 0; i < insert->columns.size(); ++i) {
        if (insert->columns[i] == column) {
          insert->values[i].kind = piece->kind;
          insert->values[i].text += piece->text;
        }
      }
      continue;
    }
    // vN := expr | vN := vN || expr | vN := UTL_RAW.CONCAT(vN, expr)
    std::string name;
    body.Blanks();
    while (!body.rest().empty() && std::isalnum(static_cast<unsigned char>(body.rest()[0]))) {
      name += body.rest()[0];
      body.Eat(std::string_view(&body.rest()[0], 1));
    }
    if (name.empty() || !body.Eat(":=")) return std::nullopt;
    if (body.Eat("UTL_RAW.CONCAT(")) {
      auto left = body.Expression(&variables);
      if (!left || !body.Eat(",")) return std::nullopt;
      auto right = body.Expression(&variables);
      if (!right || !body.Eat(")") || !body.Eat(";")) return std::nullopt;
      variables[name] = ScriptValue{ScriptValue::Kind::kBinary, left->text + right->text};
      continue;
    }
    auto value = body.Expression(&variables);
    if (!value || !body.Eat(";")) return std::nullopt;
    variables[name] = *value;
  }
  return insert;
}

}  // namespace quillon::test
