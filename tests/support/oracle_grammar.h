// A strict checker of the SQL the repair writes for Oracle: it reads a
// statement against Oracle's documented grammar (SQL Language Reference,
// 10g/11g) for every statement form the generators build, clause order
// included, and reports the first place where Oracle would stop. Texts that
// come whole from the rescued dictionary (a view's query, the source of PL/SQL
// units and types, a trigger's body) are Oracle's own and are only checked to
// be closed: strings ended and parentheses balanced.
//
// CheckScript splits a SQL*Plus script the way the script writers lay it out
// (SQLTERMINATOR OFF: a statement ends at a line holding only "/") and
// checks every statement and every SQL*Plus command line between them.
//
// Written from Oracle's grammar, not from the generators, so that it checks
// them rather than repeating them.
#pragma once

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace quillon::test {

class OracleGrammar {
 public:
  // "" when the statement is valid, else what is wrong and where. With
  // bind_markers, "?" stands for a value, as in a statement with parameters
  // sent through ODBC.
  static std::string Check(std::string_view statement, bool bind_markers = false) {
    OracleGrammar g;
    g.bind_markers_ = bind_markers;
    try {
      g.Lex(statement);
      g.Statement();
      if (!g.AtEnd()) g.Fail("end of statement expected");
    } catch (const Error& e) {
      return e.message;
    }
    return {};
  }

 private:
  struct Error {
    std::string message;
  };
  enum class Kind { kWord, kQuoted, kString, kNumber, kSymbol, kEnd };
  struct Token {
    Kind kind;
    std::string text;  // words upper-cased; names and strings without their quotes
    std::size_t offset;
  };

  std::vector<Token> tokens_;
  std::size_t at_ = 0;
  bool bind_markers_ = false;
  std::string_view source_;

  // --- tokens -------------------------------------------------------------

  [[noreturn]] void Fail(const std::string& what) const {
    const std::size_t offset = at_ < tokens_.size() ? tokens_[at_].offset : source_.size();
    const std::size_t from = offset > 30 ? offset - 30 : 0;
    throw Error{what + " at offset " + std::to_string(offset) + ": ..." +
                std::string(source_.substr(from, offset - from)) + " <here> " +
                std::string(source_.substr(offset, 40))};
  }

  static bool WordStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }
  static bool WordPart(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_' || c == '$' || c == '#';
  }

  void Lex(std::string_view s) {
    source_ = s;
    std::size_t i = 0;
    auto fail_at = [&](std::size_t offset, const std::string& what) {
      at_ = tokens_.size();
      tokens_.push_back({Kind::kEnd, "", offset});
      Fail(what);
    };
    while (i < s.size()) {
      const char c = s[i];
      if (std::isspace(static_cast<unsigned char>(c))) {
        ++i;
      } else if (s.substr(i, 2) == "--") {
        while (i < s.size() && s[i] != '\n') ++i;
      } else if (s.substr(i, 2) == "/*") {
        const std::size_t end = s.find("*/", i + 2);
        if (end == std::string_view::npos) fail_at(i, "comment not closed");
        i = end + 2;
      } else if (c == '"') {
        const std::size_t end = s.find('"', i + 1);
        if (end == std::string_view::npos) fail_at(i, "quoted name not closed");
        const std::string name(s.substr(i + 1, end - i - 1));
        if (name.empty()) fail_at(i, "empty quoted name");
        if (name.find('\0') != std::string::npos) fail_at(i, "NUL in a quoted name");
        tokens_.push_back({Kind::kQuoted, name, i});
        i = end + 1;
      } else if (c == '\'' || ((c == 'N' || c == 'n') && i + 1 < s.size() && s[i + 1] == '\'')) {
        const std::size_t start = i;
        if (c != '\'') ++i;
        std::string text;
        std::size_t j = i + 1;
        while (true) {
          if (j >= s.size()) fail_at(start, "text literal not closed");
          if (s[j] == '\'') {
            if (j + 1 < s.size() && s[j + 1] == '\'') {
              text += '\'';
              j += 2;
              continue;
            }
            break;
          }
          text += s[j++];
        }
        if (text.size() > 4000) fail_at(start, "text literal longer than 4000 bytes");
        tokens_.push_back({Kind::kString, text, start});
        i = j + 1;
      } else if (std::isdigit(static_cast<unsigned char>(c)) ||
                 (c == '.' && i + 1 < s.size() && std::isdigit(static_cast<unsigned char>(s[i + 1])))) {
        std::size_t j = i;
        while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) ++j;
        if (j < s.size() && s[j] == '.' && !(j + 1 < s.size() && s[j + 1] == '.')) {
          ++j;
          while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) ++j;
        }
        if (j < s.size() && (s[j] == 'E' || s[j] == 'e')) {
          std::size_t k = j + 1;
          if (k < s.size() && (s[k] == '+' || s[k] == '-')) ++k;
          if (k < s.size() && std::isdigit(static_cast<unsigned char>(s[k]))) {
            j = k;
            while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) ++j;
          }
        }
        if (j < s.size() && (s[j] == 'f' || s[j] == 'F' || s[j] == 'd' || s[j] == 'D') &&
            !(j + 1 < s.size() && WordPart(s[j + 1]))) {
          ++j;
        }
        tokens_.push_back({Kind::kNumber, std::string(s.substr(i, j - i)), i});
        i = j;
      } else if (WordStart(c)) {
        std::size_t j = i;
        while (j < s.size() && WordPart(s[j])) ++j;
        std::string word(s.substr(i, j - i));
        for (char& ch : word) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        tokens_.push_back({Kind::kWord, word, i});
        i = j;
      } else {
        static const char* const kPairs[] = {":=", "||", "<=", ">=", "<>", "!=", "^=", "=>", ".."};
        std::string symbol(1, c);
        for (const char* p : kPairs) {
          if (s.substr(i, 2) == p) symbol = p;
        }
        const bool marker = bind_markers_ && c == '?';
        if (std::string_view("(),.;=<>*+-/@%:").find(c) == std::string_view::npos && symbol.size() == 1 && !marker) {
          fail_at(i, std::string("character '") + c + "' outside a literal");
        }
        tokens_.push_back({Kind::kSymbol, symbol, i});
        i += symbol.size();
      }
    }
    tokens_.push_back({Kind::kEnd, "", s.size()});
  }

  const Token& Peek(std::size_t ahead = 0) const {
    return tokens_[std::min(at_ + ahead, tokens_.size() - 1)];
  }
  bool AtEnd() const { return Peek().kind == Kind::kEnd; }
  bool IsWord(std::string_view w, std::size_t ahead = 0) const {
    return Peek(ahead).kind == Kind::kWord && Peek(ahead).text == w;
  }
  bool IsSymbol(std::string_view s, std::size_t ahead = 0) const {
    return Peek(ahead).kind == Kind::kSymbol && Peek(ahead).text == s;
  }
  bool Accept(std::string_view w) {
    if (!IsWord(w)) return false;
    ++at_;
    return true;
  }
  bool AcceptSymbol(std::string_view s) {
    if (!IsSymbol(s)) return false;
    ++at_;
    return true;
  }
  void Expect(std::string_view w) {
    if (!Accept(w)) Fail(std::string(w) + " expected");
  }
  void ExpectSymbol(std::string_view s) {
    if (!AcceptSymbol(s)) Fail("'" + std::string(s) + "' expected");
  }
  // Accepts a run of keywords, all or none.
  bool AcceptAll(std::initializer_list<std::string_view> words) {
    std::size_t k = 0;
    for (std::string_view w : words) {
      if (!IsWord(w, k)) return false;
      ++k;
    }
    at_ += k;
    return true;
  }

  // Oracle's reserved words: an unquoted name may not be one of them.
  static bool Reserved(const std::string& w) {
    static const std::set<std::string> kReserved = {
        "ACCESS", "ADD", "ALL", "ALTER", "AND", "ANY", "AS", "ASC", "AUDIT", "BETWEEN", "BY", "CHAR",
        "CHECK", "CLUSTER", "COLUMN", "COMMENT", "COMPRESS", "CONNECT", "CREATE", "CURRENT", "DATE",
        "DECIMAL", "DEFAULT", "DELETE", "DESC", "DISTINCT", "DROP", "ELSE", "EXCLUSIVE", "EXISTS", "FILE",
        "FLOAT", "FOR", "FROM", "GRANT", "GROUP", "HAVING", "IDENTIFIED", "IMMEDIATE", "IN", "INCREMENT",
        "INDEX", "INITIAL", "INSERT", "INTEGER", "INTERSECT", "INTO", "IS", "LEVEL", "LIKE", "LOCK", "LONG",
        "MAXEXTENTS", "MINUS", "MLSLABEL", "MODE", "MODIFY", "NOAUDIT", "NOCOMPRESS", "NOT", "NOWAIT",
        "NULL", "NUMBER", "OF", "OFFLINE", "ON", "ONLINE", "OPTION", "OR", "ORDER", "PCTFREE", "PRIOR",
        "PRIVILEGES", "PUBLIC", "RAW", "RENAME", "RESOURCE", "REVOKE", "ROW", "ROWID", "ROWNUM", "ROWS",
        "SELECT", "SESSION", "SET", "SHARE", "SIZE", "SMALLINT", "START", "SUCCESSFUL", "SYNONYM",
        "SYSDATE", "TABLE", "THEN", "TO", "TRIGGER", "UID", "UNION", "UNIQUE", "UPDATE", "USER",
        "VALIDATE", "VALUES", "VARCHAR", "VARCHAR2", "VIEW", "WHENEVER", "WHERE", "WITH"};
    return kReserved.count(w) != 0;
  }

  // --- names ----------------------------------------------------------------

  // One identifier: quoted (at most 30 bytes, as before 12.2) or an unquoted
  // word that is not reserved.
  std::string Name(const char* what = "name") {
    const Token& t = Peek();
    if (t.kind == Kind::kQuoted) {
      if (t.text.size() > 30 && t.text.find('^') == std::string::npos) Fail("name longer than 30 bytes");
      ++at_;
      return t.text;
    }
    if (t.kind == Kind::kWord && !Reserved(t.text)) {
      if (t.text.size() > 30) Fail("name longer than 30 bytes");
      ++at_;
      return t.text;
    }
    Fail(std::string(what) + " expected");
  }
  bool AtName() const {
    return Peek().kind == Kind::kQuoted || (Peek().kind == Kind::kWord && !Reserved(Peek().text));
  }
  // [schema.]object[@dblink]
  void ObjectName(bool link_allowed = false) {
    Name("object name");
    if (AcceptSymbol(".")) Name("object name");
    if (link_allowed && AcceptSymbol("@")) LinkName();
  }
  void LinkName() {
    Name("database link name");
    while (AcceptSymbol(".")) Name("database link name");
    if (AcceptSymbol("@")) Name("connection qualifier");
  }
  void NameList() {
    ExpectSymbol("(");
    do Name("column name");
    while (AcceptSymbol(","));
    ExpectSymbol(")");
  }
  std::string StringLiteral(const char* what = "text literal") {
    if (Peek().kind != Kind::kString) Fail(std::string(what) + " expected");
    return tokens_[at_++].text;
  }
  long long Integer(const char* what = "integer") {
    bool negative = AcceptSymbol("-");
    if (!negative) AcceptSymbol("+");
    const Token& t = Peek();
    if (t.kind != Kind::kNumber || t.text.find_first_not_of("0123456789") != std::string::npos) {
      Fail(std::string(what) + " expected");
    }
    ++at_;
    const long long v = t.text.size() > 18 ? 999999999999999999LL : std::atoll(t.text.c_str());
    return negative ? -v : v;
  }
  long long IntegerIn(long long low, long long high, const char* what) {
    const long long v = Integer(what);
    if (v < low || v > high) {
      --at_;
      Fail(std::string(what) + " out of range " + std::to_string(low) + ".." + std::to_string(high));
    }
    return v;
  }
  // size_clause: integer [K | M | G | T | P | E]
  void Size() {
    Integer("size");
    if (Peek().kind == Kind::kWord && Peek().text.size() == 1 &&
        std::string_view("KMGTPE").find(Peek().text[0]) != std::string_view::npos) {
      ++at_;
    }
  }

  // --- expressions and conditions ----------------------------------------

  void Expression() {
    Term();
    while (IsSymbol("+") || IsSymbol("-") || IsSymbol("*") || IsSymbol("/") || IsSymbol("||")) {
      ++at_;
      Term();
    }
  }
  void Term() {
    while (AcceptSymbol("+") || AcceptSymbol("-")) {
    }
    const Token& t = Peek();
    switch (t.kind) {
      case Kind::kNumber:
      case Kind::kString:
        ++at_;
        return;
      case Kind::kSymbol:
        if (AcceptSymbol("(")) {
          Expression();
          while (AcceptSymbol(",")) Expression();
          ExpectSymbol(")");
          return;
        }
        if (AcceptSymbol(":")) {
          Name("bind variable");
          return;
        }
        if (AcceptSymbol("?")) return;
        Fail("expression expected");
      case Kind::kWord:
        if (Accept("NULL") || Accept("SYSDATE") || Accept("USER") || Accept("UID") || Accept("ROWNUM") ||
            Accept("LEVEL")) {
          return;
        }
        if ((IsWord("DATE") || IsWord("TIMESTAMP")) && Peek(1).kind == Kind::kString) {
          at_ += 2;
          return;
        }
        if (Accept("CASE")) {
          CaseBody();
          return;
        }
        if (Accept("INTERVAL")) {
          StringLiteral();
          IntervalQualifier();
          return;
        }
        break;
      case Kind::kQuoted:
        break;
      case Kind::kEnd:
        Fail("expression expected");
    }
    // name[.name...][(arguments)][.name...]
    Name("expression");
    while (true) {
      if (AcceptSymbol(".")) {
        Name("name");
      } else if (AcceptSymbol("@")) {
        LinkName();
      } else if (IsSymbol("(")) {
        Arguments();
      } else {
        break;
      }
    }
  }
  void Arguments() {
    ExpectSymbol("(");
    if (AcceptSymbol(")")) return;
    if (AcceptSymbol("*")) {
      ExpectSymbol(")");
      return;
    }
    Accept("DISTINCT");
    do {
      if (AtName() && IsSymbol("=>", 1)) at_ += 2;
      Expression();
    } while (AcceptSymbol(","));
    ExpectSymbol(")");
  }
  void IntervalQualifier() {
    if (Accept("YEAR") || Accept("MONTH")) {
      if (AcceptSymbol("(")) ExpectSymbol(")");
      if (Accept("TO")) {
        if (!Accept("MONTH") && !Accept("YEAR")) Fail("MONTH expected");
      }
      return;
    }
    if (!Accept("DAY") && !Accept("HOUR") && !Accept("MINUTE") && !Accept("SECOND")) Fail("interval unit expected");
    if (AcceptSymbol("(")) {
      Integer();
      if (AcceptSymbol(",")) Integer();
      ExpectSymbol(")");
    }
    if (Accept("TO")) {
      if (!Accept("HOUR") && !Accept("MINUTE") && !Accept("SECOND") && !Accept("DAY")) Fail("interval unit expected");
      if (AcceptSymbol("(")) {
        Integer();
        ExpectSymbol(")");
      }
    }
  }
  void CaseBody() {
    if (!IsWord("WHEN")) Expression();
    if (!IsWord("WHEN")) Fail("WHEN expected");
    while (Accept("WHEN")) {
      const std::size_t start = at_;
      try {
        Condition();
      } catch (const Error&) {
        at_ = start;
        Expression();
      }
      Expect("THEN");
      Expression();
    }
    if (Accept("ELSE")) Expression();
    Expect("END");
  }

  void Condition() {
    AndCondition();
    while (Accept("OR")) AndCondition();
  }
  void AndCondition() {
    NotCondition();
    while (Accept("AND")) NotCondition();
  }
  void NotCondition() {
    if (Accept("NOT")) {
      NotCondition();
      return;
    }
    Predicate();
  }
  void Predicate() {
    // "(" condition ")" or an expression that starts with "(".
    if (IsSymbol("(")) {
      const std::size_t start = at_;
      try {
        ExpectSymbol("(");
        Condition();
        ExpectSymbol(")");
        if (!Comparison()) return;
      } catch (const Error&) {
      }
      at_ = start;
    }
    Expression();
    if (Comparison()) {
      Expression();
      return;
    }
    const bool negated = Accept("NOT");
    if (Accept("IN")) {
      ExpectSymbol("(");
      do Expression();
      while (AcceptSymbol(","));
      ExpectSymbol(")");
    } else if (Accept("BETWEEN")) {
      Expression();
      Expect("AND");
      Expression();
    } else if (Accept("LIKE")) {
      Expression();
      if (Accept("ESCAPE")) Expression();
    } else if (!negated && Accept("IS")) {
      Accept("NOT");
      Expect("NULL");
    } else {
      Fail("condition expected");
    }
  }
  bool Comparison() {
    for (const char* op : {"=", "<>", "!=", "^=", "<", ">", "<=", ">="}) {
      if (AcceptSymbol(op)) return true;
    }
    return false;
  }

  // Skips Oracle's own text to the end: strings closed (the lexer saw to
  // that) and parentheses balanced.
  void OwnText(const char* what) {
    int depth = 0;
    if (AtEnd()) Fail(std::string(what) + " expected");
    while (!AtEnd()) {
      if (IsSymbol("(")) ++depth;
      if (IsSymbol(")") && --depth < 0) Fail("')' without '(' in " + std::string(what));
      ++at_;
    }
    if (depth != 0) Fail("'(' not closed in " + std::string(what));
  }

  // --- data types -----------------------------------------------------------

  // "(" integer in [low, high] ")", after a type's name.
  void Bracketed(long long low, long long high, const char* what, bool length_semantics = false) {
    ExpectSymbol("(");
    IntegerIn(low, high, what);
    if (length_semantics && !Accept("BYTE")) Accept("CHAR");
    ExpectSymbol(")");
  }

  void DataType() {
    const bool varying = AcceptAll({"CHAR", "VARYING"}) || AcceptAll({"CHARACTER", "VARYING"});
    if (varying || Accept("VARCHAR2") || Accept("VARCHAR")) {
      Bracketed(1, 4000, "VARCHAR2 length", true);
    } else if (Accept("CHAR") || Accept("CHARACTER")) {
      if (IsSymbol("(")) Bracketed(1, 2000, "CHAR length", true);
    } else if (Accept("NVARCHAR2") || AcceptAll({"NCHAR", "VARYING"})) {
      Bracketed(1, 4000, "NVARCHAR2 length");
    } else if (Accept("NCHAR")) {
      if (IsSymbol("(")) Bracketed(1, 2000, "NCHAR length");
    } else if (Accept("NUMBER") || Accept("NUMERIC") || Accept("DECIMAL") || Accept("DEC")) {
      if (AcceptSymbol("(")) {
        if (!AcceptSymbol("*")) IntegerIn(1, 38, "NUMBER precision");
        if (AcceptSymbol(",")) IntegerIn(-84, 127, "NUMBER scale");
        ExpectSymbol(")");
      }
    } else if (Accept("FLOAT")) {
      if (IsSymbol("(")) Bracketed(1, 126, "FLOAT precision");
    } else if (Accept("LONG")) {
      Accept("RAW");
    } else if (Accept("RAW")) {
      Bracketed(1, 2000, "RAW length");
    } else if (Accept("DATE") || Accept("BINARY_FLOAT") || Accept("BINARY_DOUBLE") || Accept("BLOB") ||
               Accept("CLOB") || Accept("NCLOB") || Accept("BFILE") || Accept("ROWID") || Accept("INTEGER") ||
               Accept("INT") || Accept("SMALLINT") || Accept("REAL")) {
    } else if (Accept("UROWID")) {
      if (IsSymbol("(")) Bracketed(1, 4000, "UROWID length");
    } else if (Accept("TIMESTAMP")) {
      if (IsSymbol("(")) Bracketed(0, 9, "fractional seconds precision");
      if (Accept("WITH")) {
        Accept("LOCAL");
        Expect("TIME");
        Expect("ZONE");
      }
    } else if (AcceptAll({"INTERVAL", "YEAR"})) {
      if (IsSymbol("(")) Bracketed(0, 9, "year precision");
      Expect("TO");
      Expect("MONTH");
    } else if (AcceptAll({"INTERVAL", "DAY"})) {
      if (IsSymbol("(")) Bracketed(0, 9, "day precision");
      Expect("TO");
      Expect("SECOND");
      if (IsSymbol("(")) Bracketed(0, 9, "fractional seconds precision");
    } else if (Accept("REF")) {
      ObjectName();
    } else {
      ObjectName();  // a user type, XMLType, SYS.ANYDATA and the like
    }
  }

  // --- statements ---------------------------------------------------------

  void Statement() {
    if (Accept("CREATE")) {
      Create();
    } else if (Accept("ALTER")) {
      Alter();
    } else if (Accept("GRANT")) {
      Grant();
    } else if (Accept("INSERT")) {
      Insert();
    } else if (Accept("COMMIT")) {
      Accept("WORK");
    } else if (Accept("DROP")) {
      Drop();
    } else if (IsWord("DECLARE") || IsWord("BEGIN")) {
      Block();
      if (!AtEnd()) Fail("end of block expected");
    } else {
      Fail("statement expected");
    }
  }

  void Create() {
    if (AcceptAll({"OR", "REPLACE"})) {
      if (!IsWord("VIEW") && !IsWord("FORCE") && !IsWord("NOFORCE") && !IsWord("TYPE") && !IsWord("PROCEDURE") &&
          !IsWord("FUNCTION") && !IsWord("PACKAGE") && !IsWord("TRIGGER") && !IsWord("PUBLIC") &&
          !IsWord("SYNONYM") && !IsWord("DIRECTORY") && !IsWord("CONTEXT") && !IsWord("LIBRARY") &&
          !IsWord("JAVA")) {
        Fail("OR REPLACE cannot stand here");
      }
    }
    if (Accept("TABLE")) return CreateTable();
    if (AcceptAll({"GLOBAL", "TEMPORARY", "TABLE"})) return CreateTable(true);
    if (Accept("TABLESPACE")) return CreateTablespace();
    if (AcceptAll({"BIGFILE", "TABLESPACE"}) || AcceptAll({"SMALLFILE", "TABLESPACE"})) return CreateTablespace();
    if (AcceptAll({"UNDO", "TABLESPACE"})) return CreateTablespace();
    if (Accept("ROLE")) return CreateRole();
    if (Accept("USER")) return CreateUser();
    if (AcceptAll({"PUBLIC", "DATABASE", "LINK"}) || AcceptAll({"DATABASE", "LINK"})) return CreateLink();
    if (AcceptAll({"PUBLIC", "SYNONYM"}) || Accept("SYNONYM")) return CreateSynonym();
    if (Accept("SEQUENCE")) return CreateSequence();
    if (Accept("CLUSTER")) return CreateCluster();
    if (Accept("INDEX")) return CreateIndex();
    if (AcceptAll({"UNIQUE", "INDEX"}) || AcceptAll({"BITMAP", "INDEX"})) return CreateIndex();
    if (AcceptAll({"MATERIALIZED", "VIEW", "LOG"})) return CreateMviewLog();
    if (AcceptAll({"MATERIALIZED", "VIEW"})) return CreateMview();
    if (Accept("FORCE") || Accept("NOFORCE")) {
      Expect("VIEW");
      return CreateView();
    }
    if (Accept("VIEW")) return CreateView();
    if (Accept("DIRECTORY")) {
      Name("directory name");
      Expect("AS");
      StringLiteral("path");
      return;
    }
    if (AcceptAll({"TYPE", "BODY"}) || AcceptAll({"PACKAGE", "BODY"}) || Accept("TYPE") || Accept("PROCEDURE") ||
        Accept("FUNCTION") || Accept("PACKAGE") || Accept("TRIGGER")) {
      ObjectName();
      OwnText("the unit's source");
      return;
    }
    Fail("object kind expected after CREATE");
  }

  // CREATE TABLESPACE name DATAFILE file_specification, ... attributes
  void CreateTablespace() {
    Name("tablespace name");
    if (!Accept("DATAFILE")) Fail("DATAFILE expected");
    FileSpecification();
    while (AcceptSymbol(",")) FileSpecification();
    while (!AtEnd()) {
      if (Accept("LOGGING") || Accept("NOLOGGING") || AcceptAll({"FORCE", "LOGGING"}) || Accept("ONLINE") ||
          Accept("OFFLINE") || Accept("PERMANENT")) {
      } else if (Accept("BLOCKSIZE")) {
        Size();
      } else if (AcceptAll({"MINIMUM", "EXTENT"})) {
        Size();
      } else if (AcceptAll({"EXTENT", "MANAGEMENT"})) {
        if (Accept("LOCAL")) {
          if (Accept("UNIFORM")) {
            if (Accept("SIZE")) Size();
          } else {
            Accept("AUTOALLOCATE");
          }
        } else {
          Expect("DICTIONARY");
        }
      } else if (AcceptAll({"SEGMENT", "SPACE", "MANAGEMENT"})) {
        if (!Accept("AUTO") && !Accept("MANUAL")) Fail("AUTO or MANUAL expected");
      } else if (Accept("DEFAULT")) {
        Accept("NOCOMPRESS") || Accept("COMPRESS");
        if (IsWord("STORAGE")) StorageClause();
      } else {
        Fail("tablespace attribute expected");
      }
    }
  }
  void FileSpecification() {
    StringLiteral("file name");
    if (Accept("SIZE")) Size();
    Accept("REUSE");
    Autoextend();
  }
  void Autoextend() {
    if (!Accept("AUTOEXTEND")) return;
    if (Accept("OFF")) return;
    Expect("ON");
    if (Accept("NEXT")) Size();
    if (Accept("MAXSIZE")) {
      if (!Accept("UNLIMITED")) Size();
    }
  }

  void CreateRole() {
    Name("role name");
    if (AcceptAll({"NOT", "IDENTIFIED"})) return;
    if (Accept("IDENTIFIED")) {
      if (Accept("BY")) {
        Name("password");
      } else if (Accept("USING")) {
        ObjectName();
      } else if (!Accept("EXTERNALLY") && !Accept("GLOBALLY")) {
        Fail("BY, USING, EXTERNALLY or GLOBALLY expected");
      }
    }
  }

  void CreateUser() {
    Name("user name");
    Expect("IDENTIFIED");
    if (Accept("BY")) {
      Name("password");
    } else if (Accept("EXTERNALLY") || Accept("GLOBALLY")) {
      if (Accept("AS")) StringLiteral();
    } else {
      Fail("BY, EXTERNALLY or GLOBALLY expected");
    }
    while (!AtEnd()) {
      if (AcceptAll({"DEFAULT", "TABLESPACE"}) || AcceptAll({"TEMPORARY", "TABLESPACE"}) || Accept("PROFILE")) {
        Name();
      } else if (Accept("QUOTA")) {
        if (!Accept("UNLIMITED")) Size();
        Expect("ON");
        Name("tablespace name");
      } else if (AcceptAll({"PASSWORD", "EXPIRE"})) {
      } else if (Accept("ACCOUNT")) {
        if (!Accept("LOCK") && !Accept("UNLOCK")) Fail("LOCK or UNLOCK expected");
      } else {
        Fail("user attribute expected");
      }
    }
  }

  void CreateLink() {
    LinkName();
    if (Accept("CONNECT")) {
      Expect("TO");
      if (!Accept("CURRENT_USER")) {
        Name("user name");
        Expect("IDENTIFIED");
        Expect("BY");
        Name("password");
      }
    }
    if (Accept("USING")) StringLiteral("connect string");
  }

  void CreateSynonym() {
    ObjectName();
    Expect("FOR");
    ObjectName(true);
  }

  void CreateSequence() {
    ObjectName();
    while (!AtEnd()) {
      if (AcceptAll({"INCREMENT", "BY"}) || AcceptAll({"START", "WITH"}) || Accept("MAXVALUE") ||
          Accept("MINVALUE")) {
        Integer();
      } else if (Accept("CACHE")) {
        IntegerIn(2, 999999999999999999LL, "CACHE");
      } else if (Accept("NOMAXVALUE") || Accept("NOMINVALUE") || Accept("NOCACHE") || Accept("CYCLE") ||
                 Accept("NOCYCLE") || Accept("ORDER") || Accept("NOORDER")) {
      } else {
        Fail("sequence attribute expected");
      }
    }
  }

  // CREATE CLUSTER name (column datatype, ...) attributes
  void CreateCluster() {
    ObjectName();
    ExpectSymbol("(");
    do {
      Name("column name");
      DataType();
      Accept("SORT");
    } while (AcceptSymbol(","));
    ExpectSymbol(")");
    while (!AtEnd()) {
      if (SegmentAttribute()) continue;
      if (Accept("SIZE")) {
        Size();
      } else if (Accept("INDEX") || Accept("SINGLE")) {
        if (IsWord("TABLE")) at_++;
      } else if (Accept("HASHKEYS")) {
        Integer();
      } else if (AcceptAll({"HASH", "IS"})) {
        Expression();
      } else if (Accept("CACHE") || Accept("NOCACHE") || Accept("ROWDEPENDENCIES") || Accept("NOROWDEPENDENCIES")) {
      } else {
        Fail("cluster attribute expected");
      }
    }
  }

  // CREATE [UNIQUE|BITMAP] INDEX name ON (table (items) | CLUSTER name) attributes
  void CreateIndex() {
    ObjectName();
    Expect("ON");
    if (Accept("CLUSTER")) {
      ObjectName();
    } else {
      ObjectName();
      ExpectSymbol("(");
      do {
        Expression();
        if (!Accept("ASC")) Accept("DESC");
      } while (AcceptSymbol(","));
      ExpectSymbol(")");
    }
    while (!AtEnd()) {
      if (SegmentAttribute()) continue;
      if (Accept("REVERSE") || Accept("NOSORT") || Accept("NOCOMPRESS") || Accept("ONLINE") ||
          Accept("NOPARALLEL") || Accept("VISIBLE") || Accept("INVISIBLE") || Accept("UNUSABLE")) {
      } else if (Accept("COMPRESS")) {
        if (Peek().kind == Kind::kNumber) Integer();
      } else if (Accept("PARALLEL")) {
        if (Peek().kind == Kind::kNumber) Integer();
      } else if (Accept("LOCAL")) {
        if (IsSymbol("(")) OwnParenthesised();
      } else if (AcceptAll({"GLOBAL", "PARTITION", "BY"})) {
        OwnParenthesisedRest();
      } else if (AcceptAll({"INDEXTYPE", "IS"})) {
        ObjectName();
        if (Accept("PARAMETERS")) {
          ExpectSymbol("(");
          StringLiteral();
          ExpectSymbol(")");
        }
      } else {
        Fail("index attribute expected");
      }
    }
  }
  // A parenthesised list whose inside is not checked further.
  void OwnParenthesised() {
    ExpectSymbol("(");
    int depth = 1;
    while (depth > 0) {
      if (AtEnd()) Fail("'(' not closed");
      if (IsSymbol("(")) ++depth;
      if (IsSymbol(")")) --depth;
      ++at_;
    }
  }
  void OwnParenthesisedRest() {
    while (!AtEnd() && !IsSymbol("(")) ++at_;
    OwnParenthesised();
  }

  void CreateView() {
    ObjectName();
    if (Accept("OF")) {
      ObjectName();
      if (AcceptAll({"WITH", "OBJECT", "IDENTIFIER"}) || AcceptAll({"WITH", "OBJECT", "OID"})) {
        if (!Accept("DEFAULT")) NameList();
      }
    } else if (IsSymbol("(")) {
      NameList();
    }
    Expect("AS");
    if (!IsWord("SELECT") && !IsWord("WITH") && !IsSymbol("(")) Fail("query expected");
    OwnText("the view's query");
  }

  void CreateMviewLog() {
    Expect("ON");
    ObjectName();
    while (!AtEnd()) {
      if (SegmentAttribute()) continue;
      if (Accept("WITH")) {
        do {
          if (Accept("PRIMARY")) {
            Expect("KEY");
          } else if (Accept("ROWID") || Accept("SEQUENCE") || Accept("OBJECT")) {
            if (IsWord("ID")) ++at_;
          } else if (!IsSymbol("(")) {
            Fail("PRIMARY KEY, ROWID, SEQUENCE or a column list expected");
          }
          if (IsSymbol("(")) NameList();
        } while (AcceptSymbol(","));
      } else if (Accept("INCLUDING") || Accept("EXCLUDING")) {
        Expect("NEW");
        Expect("VALUES");
      } else if (Accept("CACHE") || Accept("NOCACHE") || Accept("NOPARALLEL")) {
      } else {
        Fail("materialized view log attribute expected");
      }
    }
  }

  void CreateMview() {
    ObjectName();
    if (IsSymbol("(")) NameList();
    while (!IsWord("AS")) {
      if (AtEnd()) Fail("AS expected");
      if (SegmentAttribute()) continue;
      if (AcceptAll({"BUILD", "IMMEDIATE"}) || AcceptAll({"BUILD", "DEFERRED"}) ||
          AcceptAll({"ON", "PREBUILT", "TABLE"}) || AcceptAll({"NEVER", "REFRESH"})) {
        if (Accept("WITH") || Accept("WITHOUT")) {
          Expect("REDUCED");
          Expect("PRECISION");
        }
      } else if (Accept("REFRESH")) {
        while (true) {
          if (Accept("FAST") || Accept("COMPLETE") || Accept("FORCE") || AcceptAll({"ON", "DEMAND"}) ||
              AcceptAll({"ON", "COMMIT"})) {
          } else if (Accept("START") || Accept("NEXT")) {
            Expect("WITH");
            Expression();
          } else if (AcceptAll({"WITH", "PRIMARY", "KEY"}) || AcceptAll({"WITH", "ROWID"})) {
          } else {
            break;
          }
        }
      } else if (AcceptAll({"FOR", "UPDATE"}) || AcceptAll({"ENABLE", "QUERY", "REWRITE"}) ||
                 AcceptAll({"DISABLE", "QUERY", "REWRITE"}) ||
                 Accept("CACHE") || Accept("NOCACHE") || Accept("NOPARALLEL")) {
      } else if (AcceptAll({"USING", "INDEX"})) {
        while (SegmentAttribute()) {
        }
      } else if (AcceptAll({"USING", "NO", "INDEX"})) {
      } else {
        Fail("materialized view attribute expected");
      }
    }
    Expect("AS");
    OwnText("the materialized view's query");
  }

  // --- CREATE TABLE ---------------------------------------------------------

  // The documented order: relational properties, ON COMMIT, physical
  // properties (segment attributes, ORGANIZATION, CLUSTER), column
  // properties (LOB, VARRAY, nested table, XMLType storage), partitioning,
  // then CACHE, parallel, ROWDEPENDENCIES, constraint states, ROW MOVEMENT.
  void CreateTable(bool temporary = false) {
    ObjectName();
    if (Accept("OF")) {
      if (Accept("XMLTYPE")) {
        if (Accept("XMLTYPE")) XmlTypeStorage();
        // XMLSCHEMA "url" ELEMENT "element" (or ELEMENT "url#element"):
        // quoted like names, a URL of any length.
        const auto schema_name = [&](const char* what) {
          if (Peek().kind != Kind::kQuoted) Fail(std::string(what) + " in double quotes expected");
          ++at_;
        };
        if (Accept("XMLSCHEMA")) {
          schema_name("schema URL");
          Expect("ELEMENT");
          schema_name("element");
        } else if (Accept("ELEMENT")) {
          schema_name("element");
        }
      } else {
        ObjectName();
        if (IsSymbol("(")) RelationalProperties(true);
        if (AcceptAll({"OBJECT", "IDENTIFIER", "IS"})) {
          if (!AcceptAll({"SYSTEM", "GENERATED"}) && !AcceptAll({"PRIMARY", "KEY"})) {
            Fail("SYSTEM GENERATED or PRIMARY KEY expected");
          }
        }
      }
    } else {
      RelationalProperties(false);
    }
    if (Accept("ON")) {
      if (!temporary) Fail("ON COMMIT only for temporary tables");
      Expect("COMMIT");
      if (!Accept("DELETE")) Expect("PRESERVE");
      Expect("ROWS");
    }
    PhysicalProperties();
    TableProperties();
  }

  void RelationalProperties(bool object_table) {
    ExpectSymbol("(");
    do {
      if (IsWord("CONSTRAINT") || IsWord("PRIMARY") || IsWord("UNIQUE") || IsWord("FOREIGN") || IsWord("CHECK")) {
        OutOfLineConstraint();
      } else if (object_table) {
        Name("column name");
        while (InlineConstraint()) {
        }
      } else {
        ColumnDefinition();
      }
    } while (AcceptSymbol(","));
    ExpectSymbol(")");
  }

  void ColumnDefinition() {
    Name("column name");
    if (!IsWord("GENERATED") && !IsWord("AS")) DataType();
    Accept("SORT");
    if (Accept("DEFAULT")) Expression();
    if (AcceptAll({"GENERATED", "ALWAYS"})) {
      Expect("AS");
      ExpectSymbol("(");
      Expression();
      ExpectSymbol(")");
      Accept("VIRTUAL");
    } else if (Accept("AS")) {
      ExpectSymbol("(");
      Expression();
      ExpectSymbol(")");
      Accept("VIRTUAL");
    }
    while (InlineConstraint()) {
    }
  }

  bool InlineConstraint() {
    const bool named = Accept("CONSTRAINT");
    if (named) Name("constraint name");
    if (AcceptAll({"NOT", "NULL"}) || Accept("NULL") || Accept("UNIQUE") || AcceptAll({"PRIMARY", "KEY"})) {
    } else if (Accept("REFERENCES")) {
      References();
    } else if (Accept("CHECK")) {
      CheckCondition();
    } else {
      if (named) Fail("constraint expected");
      return false;
    }
    ConstraintState();
    return true;
  }

  // CHECK's "(" condition ")".
  void CheckCondition() {
    ExpectSymbol("(");
    Condition();
    ExpectSymbol(")");
  }

  void OutOfLineConstraint() {
    if (Accept("CONSTRAINT")) Name("constraint name");
    if (Accept("UNIQUE") || AcceptAll({"PRIMARY", "KEY"})) {
      NameList();
    } else if (AcceptAll({"FOREIGN", "KEY"})) {
      NameList();
      Expect("REFERENCES");
      References();
    } else if (Accept("CHECK")) {
      CheckCondition();
    } else {
      Fail("constraint expected");
    }
    ConstraintState();
  }

  void References() {
    ObjectName();
    if (IsSymbol("(")) NameList();
    if (AcceptAll({"ON", "DELETE"})) {
      if (!Accept("CASCADE")) {
        Expect("SET");
        Expect("NULL");
      }
    }
  }

  void ConstraintState() {
    while (true) {
      if (AcceptAll({"NOT", "DEFERRABLE"}) || Accept("DEFERRABLE") || Accept("RELY") || Accept("NORELY") ||
          Accept("ENABLE") || Accept("DISABLE") || Accept("VALIDATE") || Accept("NOVALIDATE")) {
      } else if (Accept("INITIALLY")) {
        if (!Accept("IMMEDIATE")) Expect("DEFERRED");
      } else if (AcceptAll({"USING", "INDEX"})) {
        if (IsSymbol("(")) {
          OwnParenthesised();
        } else if (AtName() && !IsWord("TABLESPACE") && !IsWord("PCTFREE") && !IsWord("INITRANS") &&
                   !IsWord("STORAGE") && !IsWord("LOGGING") && !IsWord("NOLOGGING")) {
          ObjectName();
        } else {
          while (SegmentAttribute()) {
          }
        }
      } else if (AcceptAll({"EXCEPTIONS", "INTO"})) {
        ObjectName();
      } else {
        return;
      }
    }
  }

  // segment_attributes_clause: physical attributes, TABLESPACE, logging.
  bool SegmentAttribute() {
    if (Accept("PCTFREE") || Accept("PCTUSED") || Accept("INITRANS") || Accept("MAXTRANS")) {
      Integer();
    } else if (Accept("TABLESPACE")) {
      Name("tablespace name");
    } else if (Accept("LOGGING") || Accept("NOLOGGING")) {
    } else if (IsWord("STORAGE")) {
      StorageClause();
    } else {
      return false;
    }
    return true;
  }
  void StorageClause() {
    Expect("STORAGE");
    ExpectSymbol("(");
    do {
      if (Accept("INITIAL") || Accept("NEXT") || Accept("MINEXTENTS") || Accept("MAXSIZE")) {
        if (!Accept("UNLIMITED")) Size();
      } else if (Accept("MAXEXTENTS")) {
        if (!Accept("UNLIMITED")) Integer();
      } else if (Accept("PCTINCREASE") || Accept("FREELISTS") || AcceptAll({"FREELIST", "GROUPS"})) {
        Integer();
      } else if (Accept("BUFFER_POOL")) {
        if (!Accept("KEEP") && !Accept("RECYCLE") && !Accept("DEFAULT")) Fail("buffer pool expected");
      } else {
        Fail("storage attribute expected");
      }
    } while (!IsSymbol(")"));
    ExpectSymbol(")");
  }
  bool Compression() {
    if (Accept("NOCOMPRESS")) return true;
    if (!Accept("COMPRESS")) return false;
    if (Accept("FOR")) {
      if (!Accept("ALL") && !Accept("DIRECT_LOAD") && !Accept("OLTP")) Fail("compression kind expected");
      if (IsWord("OPERATIONS")) ++at_;
    } else if (Accept("BASIC")) {
    } else if (Peek().kind == Kind::kNumber) {
      Integer();
    }
    return true;
  }

  void PhysicalProperties() {
    while (SegmentAttribute() || Compression()) {
    }
    if (Accept("ORGANIZATION")) {
      if (Accept("HEAP")) {
        while (SegmentAttribute() || Compression()) {
        }
      } else if (Accept("INDEX")) {
        IndexOrganization();
      } else if (Accept("EXTERNAL")) {
        OwnParenthesised();
      } else {
        Fail("HEAP, INDEX or EXTERNAL expected");
      }
    } else if (Accept("CLUSTER")) {
      ObjectName();
      NameList();
    }
  }
  void IndexOrganization() {
    while (true) {
      if (SegmentAttribute()) continue;
      if (Accept("PCTTHRESHOLD")) {
        IntegerIn(1, 50, "PCTTHRESHOLD");
      } else if (AcceptAll({"MAPPING", "TABLE"}) || AcceptAll({"NOMAPPING"}) || Accept("NOCOMPRESS")) {
      } else if (Accept("COMPRESS")) {
        if (Peek().kind == Kind::kNumber) Integer();
      } else if (Accept("INCLUDING")) {
        Name("column name");
        if (!IsWord("OVERFLOW")) Fail("OVERFLOW expected after INCLUDING");
      } else if (Accept("OVERFLOW")) {
        while (SegmentAttribute()) {
        }
        return;
      } else {
        return;
      }
    }
  }

  // column_properties, then partitioning, then the rest.
  void TableProperties() {
    while (ColumnProperty()) {
    }
    if (AcceptAll({"PARTITION", "BY"})) Partitioning();
    while (!AtEnd()) {
      if (Accept("CACHE") || Accept("NOCACHE") || Accept("NOPARALLEL") || Accept("ROWDEPENDENCIES") ||
          Accept("NOROWDEPENDENCIES") || Accept("MONITORING") || Accept("NOMONITORING")) {
      } else if (Accept("PARALLEL")) {
        if (Peek().kind == Kind::kNumber) Integer();
      } else if ((Accept("ENABLE") || Accept("DISABLE"))) {
        if (AcceptAll({"ROW", "MOVEMENT"})) continue;
        Accept("VALIDATE") || Accept("NOVALIDATE");
        if (AcceptAll({"PRIMARY", "KEY"})) {
        } else if (Accept("UNIQUE")) {
          NameList();
        } else {
          Expect("CONSTRAINT");
          Name("constraint name");
        }
      } else {
        if (IsWord("TABLESPACE") || IsWord("PCTFREE") || IsWord("ORGANIZATION") || IsWord("STORAGE")) {
          Fail("physical property after the table's column properties or partitioning");
        }
        if (IsWord("NESTED") || IsWord("LOB") || IsWord("VARRAY")) {
          Fail("column property after the table's partitioning");
        }
        Fail("table property expected");
      }
    }
  }

  bool ColumnProperty() {
    if (AcceptAll({"NESTED", "TABLE"})) {
      if (!Accept("COLUMN_VALUE")) {
        Name("nested table column");
        while (AcceptSymbol(".")) Name("nested table attribute");  // an object column's attribute
      }
      Expect("STORE");
      Expect("AS");
      Name("storage table name");
      if (IsSymbol("(")) {
        ExpectSymbol("(");
        while (!IsSymbol(")")) {
          if (AtEnd()) Fail("')' expected");
          if (SegmentAttribute() || ColumnProperty()) continue;
          if (IsSymbol("(")) {
            RelationalProperties(true);
            continue;
          }
          if (Accept("ORGANIZATION")) {
            if (Accept("INDEX")) {
              IndexOrganization();
            } else {
              Expect("HEAP");
            }
            continue;
          }
          Fail("nested table storage attribute expected");
        }
        ExpectSymbol(")");
      }
      if (AcceptAll({"RETURN", "AS"})) {
        if (!Accept("LOCATOR")) Expect("VALUE");
      }
      return true;
    }
    if (Accept("VARRAY")) {
      Name("VARRAY column");
      if (AcceptAll({"NOT", "SUBSTITUTABLE"})) {
        Expect("AT");
        Expect("ALL");
        Expect("LEVELS");
      }
      Expect("STORE");
      Expect("AS");
      if (!Accept("SECUREFILE")) Accept("BASICFILE");
      Expect("LOB");
      LobSegmentAndParameters();
      return true;
    }
    if (Accept("LOB")) {
      if (AcceptSymbol("(")) {
        do Name("LOB column");
        while (AcceptSymbol(","));
        ExpectSymbol(")");
      } else {
        Fail("'(' expected");
      }
      Expect("STORE");
      Expect("AS");
      if (!Accept("SECUREFILE")) Accept("BASICFILE");
      LobSegmentAndParameters();
      return true;
    }
    if (IsWord("XMLTYPE")) {
      ++at_;
      Accept("COLUMN");
      Name("XMLType column");
      XmlTypeStorage();
      return true;
    }
    if (AcceptAll({"COLUMN"})) {
      Name("column");
      if (!AcceptAll({"NOT", "SUBSTITUTABLE", "AT", "ALL", "LEVELS"})) {
        Expect("SUBSTITUTABLE");
        Expect("AT");
        Expect("ALL");
        Expect("LEVELS");
      }
      return true;
    }
    return false;
  }
  void LobSegmentAndParameters() {
    static const std::set<std::string> kClauseWords = {"TABLESPACE", "PCTFREE", "PCTUSED", "INITRANS", "STORAGE",
                                                       "LOGGING", "NOLOGGING", "PARTITION", "CACHE", "NOCACHE",
                                                       "PARALLEL", "NOPARALLEL", "NESTED", "LOB", "VARRAY",
                                                       "XMLTYPE", "XMLSCHEMA", "ELEMENT", "COLUMN", "ENABLE",
                                                       "DISABLE", "ORGANIZATION", "COMPRESS", "NOCOMPRESS"};
    if (AtName() && !(Peek().kind == Kind::kWord && kClauseWords.count(Peek().text) != 0)) {
      Name("LOB segment name");
    }
    if (!AcceptSymbol("(")) return;
    while (!AcceptSymbol(")")) {
      if (AtEnd()) Fail("')' expected");
      if (SegmentAttribute()) continue;
      if (Accept("ENABLE") || Accept("DISABLE")) {
        Expect("STORAGE");
        Expect("IN");
        Expect("ROW");
      } else if (Accept("CHUNK") || Accept("PCTVERSION") || Accept("FREEPOOLS")) {
        Integer();
      } else if (Accept("RETENTION")) {
        if (Accept("MIN")) Integer();
        else Accept("MAX") || Accept("AUTO") || Accept("NONE");
      } else if (Accept("CACHE") || Accept("NOCACHE")) {
        if (Accept("READS")) {
        }
      } else if (Accept("INDEX")) {
        Name("LOB index name");
      } else {
        Fail("LOB storage attribute expected");
      }
    }
  }
  // STORE AS (CLOB | BINARY XML | OBJECT RELATIONAL) [lob segment and parameters]
  void XmlTypeStorage() {
    Expect("STORE");
    Expect("AS");
    if (AcceptAll({"OBJECT", "RELATIONAL"})) return;
    if (!Accept("SECUREFILE")) Accept("BASICFILE");
    if (Accept("CLOB") || AcceptAll({"BINARY", "XML"})) {
      LobSegmentAndParameters();
      return;
    }
    Fail("CLOB, BINARY XML or OBJECT RELATIONAL expected");
  }

  void Partitioning() {
    if (Accept("RANGE")) {
      NameList();
      if (Accept("INTERVAL")) {
        ExpectSymbol("(");
        Expression();
        ExpectSymbol(")");
        if (AcceptAll({"STORE", "IN"})) NameList();
      }
      Subpartitioning();
      PartitionList(Bound::kLessThan);
    } else if (Accept("LIST")) {
      NameList();
      Subpartitioning();
      PartitionList(Bound::kValues);
    } else if (Accept("HASH")) {
      NameList();
      Subpartitioning();
      if (Accept("PARTITIONS")) {
        Integer();
        if (AcceptAll({"STORE", "IN"})) NameList();
      } else {
        PartitionList(Bound::kNone);
      }
    } else if (Accept("REFERENCE")) {
      ExpectSymbol("(");
      Name("constraint name");
      ExpectSymbol(")");
      if (IsSymbol("(")) PartitionList(Bound::kNone);
    } else if (Accept("SYSTEM")) {
      if (Accept("PARTITIONS")) {
        Integer();
      } else if (IsSymbol("(")) {
        PartitionList(Bound::kNone);
      }
    } else {
      Fail("RANGE, LIST, HASH, REFERENCE or SYSTEM expected");
    }
  }
  enum class Bound { kLessThan, kValues, kNone };
  Bound sub_bound_ = Bound::kNone;
  bool subpartitioned_ = false;
  void Subpartitioning() {
    if (!AcceptAll({"SUBPARTITION", "BY"})) return;
    subpartitioned_ = true;
    if (Accept("RANGE")) {
      sub_bound_ = Bound::kLessThan;
    } else if (Accept("LIST")) {
      sub_bound_ = Bound::kValues;
    } else if (Accept("HASH")) {
      sub_bound_ = Bound::kNone;
    } else {
      Fail("RANGE, LIST or HASH expected");
    }
    NameList();
    if (Accept("SUBPARTITIONS")) {
      Integer();
      if (AcceptAll({"STORE", "IN"})) NameList();
    }
    if (Accept("SUBPARTITION")) {
      Expect("TEMPLATE");
      OwnParenthesised();
    }
  }
  void PartitionList(Bound bound) {
    ExpectSymbol("(");
    do {
      Expect("PARTITION");
      if (AtName() && !IsWord("VALUES") && !IsWord("TABLESPACE")) Name("partition name");
      PartitionBound(bound);
      PartitionDescription(true);
    } while (AcceptSymbol(","));
    ExpectSymbol(")");
  }
  void PartitionBound(Bound bound) {
    if (bound == Bound::kLessThan) {
      Expect("VALUES");
      Expect("LESS");
      Expect("THAN");
      ExpectSymbol("(");
      do {
        if (!Accept("MAXVALUE")) Expression();
      } while (AcceptSymbol(","));
      ExpectSymbol(")");
    } else if (bound == Bound::kValues) {
      Expect("VALUES");
      ExpectSymbol("(");
      if (!Accept("DEFAULT")) {
        do Expression();
        while (AcceptSymbol(","));
      }
      ExpectSymbol(")");
    }
  }
  void PartitionDescription(bool may_have_subpartitions) {
    while (SegmentAttribute() || Compression()) {
    }
    if (Accept("OVERFLOW")) {
      while (SegmentAttribute()) {
      }
    }
    while (ColumnProperty()) {
    }
    if (may_have_subpartitions && subpartitioned_) {
      if (Accept("SUBPARTITIONS")) {
        Integer();
        if (AcceptAll({"STORE", "IN"})) NameList();
      } else if (IsSymbol("(")) {
        ExpectSymbol("(");
        do {
          Expect("SUBPARTITION");
          if (AtName() && !IsWord("VALUES") && !IsWord("TABLESPACE")) Name("subpartition name");
          PartitionBound(sub_bound_);
          while (SegmentAttribute() || Compression()) {
          }
          while (ColumnProperty()) {
          }
        } while (AcceptSymbol(","));
        ExpectSymbol(")");
      }
    } else if (IsSymbol("(")) {
      Fail("subpartitions of a table that is not subpartitioned");
    }
  }

  // --- ALTER, GRANT, DROP ---------------------------------------------------

  void Alter() {
    if (Accept("SESSION")) {
      Expect("SET");
      do {
        Name("parameter");
        ExpectSymbol("=");
        Term();
      } while (AtName());
    } else if (Accept("DATABASE")) {
      Expect("DATAFILE");
      StringLiteral("file name");
      if (Accept("RESIZE")) {
        Size();
      } else if (Accept("ONLINE") || Accept("OFFLINE")) {
      } else if (IsWord("AUTOEXTEND")) {
        Autoextend();
      } else {
        Fail("datafile change expected");
      }
    } else if (Accept("TABLESPACE")) {
      Name("tablespace name");
      Expect("ADD");
      Expect("DATAFILE");
      FileSpecification();
      while (AcceptSymbol(",")) FileSpecification();
    } else if (Accept("TABLE")) {
      ObjectName();
      if (Accept("MODIFY")) {
        // MODIFY (column [datatype] [DEFAULT expression] [constraints], ...)
        const bool list = AcceptSymbol("(");
        do {
          Name("column name");
          if (!IsWord("DEFAULT") && !IsWord("NOT") && !IsWord("NULL") && !IsWord("CONSTRAINT") &&
              !IsSymbol(")") && !IsSymbol(",") && !AtEnd()) {
            DataType();
          }
          if (Accept("DEFAULT")) Expression();
          while (InlineConstraint()) {
          }
        } while (list && AcceptSymbol(","));
        if (list) ExpectSymbol(")");
        return;
      }
      Expect("ADD");
      if (IsSymbol("(")) {
        ExpectSymbol("(");
        do {
          if (IsWord("CONSTRAINT") || IsWord("PRIMARY") || IsWord("UNIQUE") || IsWord("FOREIGN") ||
              IsWord("CHECK")) {
            OutOfLineConstraint();
          } else {
            ColumnDefinition();
          }
        } while (AcceptSymbol(","));
        ExpectSymbol(")");
      } else {
        OutOfLineConstraint();
      }
    } else if (Accept("TRIGGER")) {
      ObjectName();
      if (!Accept("ENABLE") && !Accept("DISABLE") && !Accept("COMPILE")) Fail("ENABLE, DISABLE or COMPILE expected");
    } else if (Accept("USER") || Accept("ROLE")) {
      Name();
      OwnText("the change");
    } else {
      Fail("object kind expected after ALTER");
    }
  }

  void Grant() {
    // System privileges and roles, or object privileges ON an object.
    std::vector<std::vector<std::string>> privileges;
    do {
      std::vector<std::string> words;
      if (Peek().kind == Kind::kQuoted) {
        words.push_back("\"" + Name() + "\"");
      } else {
        while (Peek().kind == Kind::kWord && !IsWord("ON") && !IsWord("TO")) words.push_back(tokens_[at_++].text);
        if (words.empty()) Fail("privilege expected");
      }
      if (IsSymbol("(")) {
        const std::string& p = words.front();
        if (words.size() != 1 || (p != "INSERT" && p != "UPDATE" && p != "REFERENCES")) {
          Fail("a column list only goes with INSERT, UPDATE or REFERENCES");
        }
        NameList();
      }
      privileges.push_back(words);
    } while (AcceptSymbol(","));
    const bool on_object = Accept("ON");
    if (on_object) {
      static const std::set<std::string> kObjectPrivileges = {
          "SELECT", "INSERT", "UPDATE", "DELETE", "ALTER", "INDEX", "REFERENCES", "EXECUTE", "DEBUG", "READ",
          "WRITE", "UNDER", "FLASHBACK", "ON COMMIT REFRESH", "QUERY REWRITE", "MERGE VIEW", "ALL",
          "ALL PRIVILEGES"};
      for (const auto& words : privileges) {
        std::string joined;
        for (const std::string& w : words) joined += (joined.empty() ? "" : " ") + w;
        if (kObjectPrivileges.count(joined) == 0) Fail("not an object privilege: " + joined);
      }
      if (Accept("DIRECTORY")) {
        Name("directory name");
      } else {
        ObjectName();
      }
    }
    Expect("TO");
    do {
      if (!Accept("PUBLIC")) Name("grantee");
    } while (AcceptSymbol(","));
    if (Accept("WITH")) {
      if (on_object) {
        if (!Accept("GRANT") && !Accept("HIERARCHY")) Fail("GRANT or HIERARCHY expected");
      } else {
        Expect("ADMIN");
      }
      Expect("OPTION");
    }
  }

  void Drop() {
    Expect("TABLE");
    ObjectName();
    AcceptAll({"CASCADE", "CONSTRAINTS"});
    Accept("PURGE");
  }

  // INSERT INTO table [PARTITION (p) | SUBPARTITION (s)] [(columns)]
  // VALUES (expressions) [RETURNING expressions INTO variables]
  void Insert() {
    Expect("INTO");
    ObjectName();
    if (Accept("PARTITION") || Accept("SUBPARTITION")) {
      ExpectSymbol("(");
      Name("partition name");
      ExpectSymbol(")");
    }
    std::size_t columns = 0;
    if (IsSymbol("(")) {
      ExpectSymbol("(");
      do {
        Name("column name");
        ++columns;
      } while (AcceptSymbol(","));
      ExpectSymbol(")");
    }
    Expect("VALUES");
    ExpectSymbol("(");
    std::size_t values = 0;
    do {
      Expression();
      ++values;
    } while (AcceptSymbol(","));
    ExpectSymbol(")");
    if (columns != 0 && columns != values) {
      Fail(std::to_string(columns) + " columns but " + std::to_string(values) + " values");
    }
    if (Accept("RETURNING") || Accept("RETURN")) {
      do Expression();
      while (AcceptSymbol(","));
      Expect("INTO");
      do Name("variable");
      while (AcceptSymbol(","));
    }
  }

  // --- PL/SQL blocks --------------------------------------------------------

  // [DECLARE declarations] BEGIN statements END;
  void Block() {
    if (Accept("DECLARE")) {
      while (!IsWord("BEGIN")) {
        if (AtEnd()) Fail("BEGIN expected");
        Name("variable");
        Accept("CONSTANT");
        PlsqlType();
        if (AcceptSymbol(":=") || Accept("DEFAULT")) Expression();
        ExpectSymbol(";");
      }
    }
    Expect("BEGIN");
    do PlsqlStatement();
    while (!IsWord("END") && !IsWord("EXCEPTION"));
    if (Accept("EXCEPTION")) {
      while (Accept("WHEN")) {
        do Name("exception");
        while (Accept("OR"));
        Expect("THEN");
        do PlsqlStatement();
        while (!IsWord("WHEN") && !IsWord("END"));
      }
    }
    Expect("END");
    ExpectSymbol(";");
  }
  void PlsqlType() {
    if (IsWord("VARCHAR2") || IsWord("RAW") || IsWord("NVARCHAR2")) {
      const std::string type = tokens_[at_++].text;
      ExpectSymbol("(");
      const long long limit = type == "NVARCHAR2" ? 32767 / 2 : 32767;
      IntegerIn(1, limit, "PL/SQL length");
      if (type == "VARCHAR2" && !Accept("BYTE")) Accept("CHAR");
      ExpectSymbol(")");
      return;
    }
    if (Accept("CLOB") || Accept("NCLOB") || Accept("BLOB") || Accept("NUMBER") || Accept("DATE") ||
        Accept("BOOLEAN") || Accept("PLS_INTEGER") || Accept("INTEGER") || Accept("XMLTYPE")) {
      return;
    }
    ObjectName();
    if (AcceptSymbol("%")) {
      if (!Accept("TYPE") && !Accept("ROWTYPE")) Fail("TYPE or ROWTYPE expected");
    }
  }
  void PlsqlStatement() {
    if (Accept("NULL")) {
      ExpectSymbol(";");
      return;
    }
    if (Accept("INSERT")) {
      Insert();
      ExpectSymbol(";");
      return;
    }
    if (IsWord("DECLARE") || IsWord("BEGIN")) {
      Block();
      return;
    }
    if (Accept("IF")) {
      Condition();
      Expect("THEN");
      do PlsqlStatement();
      while (!IsWord("ELSE") && !IsWord("ELSIF") && !IsWord("END"));
      while (Accept("ELSIF")) {
        Condition();
        Expect("THEN");
        do PlsqlStatement();
        while (!IsWord("ELSE") && !IsWord("ELSIF") && !IsWord("END"));
      }
      if (Accept("ELSE")) {
        do PlsqlStatement();
        while (!IsWord("END"));
      }
      Expect("END");
      Expect("IF");
      ExpectSymbol(";");
      return;
    }
    if (Accept("EXECUTE")) {
      Expect("IMMEDIATE");
      Expression();
      ExpectSymbol(";");
      return;
    }
    // target := expression;  or  procedure call;
    Name("PL/SQL statement");
    while (AcceptSymbol(".")) Name("name");
    if (AcceptSymbol(":=")) {
      Expression();
    } else if (IsSymbol("(")) {
      Arguments();
    }
    ExpectSymbol(";");
  }
};

// The statements Oracle would refuse, each followed by the reason.
inline std::vector<std::string> RefusedStatements(const std::vector<std::string>& statements) {
  std::vector<std::string> refused;
  for (const std::string& statement : statements) {
    if (std::string why = OracleGrammar::Check(statement); !why.empty()) refused.push_back(statement + "\n  " + why);
  }
  return refused;
}

// Every problem of a SQL*Plus script, one line each: the script's line
// number and what is wrong. A statement ends at a line holding only "/"; a
// "/" with nothing before it would run the previous statement again.
inline std::vector<std::string> CheckScript(std::string_view script) {
  std::vector<std::string> problems;
  std::string statement;
  std::size_t statement_line = 0;
  std::size_t line_number = 0;
  std::size_t from = 0;
  while (from < script.size()) {
    std::size_t end = script.find('\n', from);
    if (end == std::string_view::npos) end = script.size();
    std::string_view line = script.substr(from, end - from);
    from = end + 1;
    ++line_number;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    std::string_view trimmed = line;
    while (!trimmed.empty() && (trimmed.back() == ' ' || trimmed.back() == '\t')) trimmed.remove_suffix(1);
    const auto where = [&](std::size_t n) { return "line " + std::to_string(n) + ": "; };
    if (!statement.empty() || statement_line != 0) {
      if (trimmed == "/") {
        if (const std::string why = OracleGrammar::Check(statement); !why.empty()) {
          problems.push_back(where(statement_line) + why);
        }
        statement.clear();
        statement_line = 0;
      } else {
        statement.append(line).append("\n");
      }
      continue;
    }
    if (trimmed.empty() || trimmed.starts_with("--")) continue;
    if (trimmed == "/") {
      problems.push_back(where(line_number) + "\"/\" with no statement runs the previous one again");
      continue;
    }
    std::string upper(trimmed);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (upper.starts_with("SET ") || upper.starts_with("WHENEVER ") || upper.starts_with("PROMPT") ||
        upper.starts_with("ACCEPT ") || upper.starts_with("UNDEFINE ") || upper.starts_with("REM") ||
        upper.starts_with("SPOOL ")) {
      continue;
    }
    if (upper.starts_with("CONNECT ")) {
      // CONNECT user: SQL*Plus asks for the password; one never stands here.
      if (upper.find('/') != std::string::npos) {
        problems.push_back(where(line_number) + "a password on a CONNECT line");
      }
      continue;
    }
    statement.append(line).append("\n");
    statement_line = line_number;
  }
  if (statement_line != 0) {
    problems.push_back("line " + std::to_string(statement_line) + ": statement without its closing \"/\"");
  }
  return problems;
}

}  // namespace quillon::test
