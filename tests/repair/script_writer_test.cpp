#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "repair/script_writer.h"
#include "repair/statement_sink.h"

namespace quillon::repair {
namespace {

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

Statement Sql(std::string text) {
  Statement s;
  s.text = std::move(text);
  s.note.object = "Test";
  return s;
}

// The text with every run of blanks and line ends made one blank, and none
// after a comma: what SQL sees of a statement outside its quotes.
std::string Squeezed(const std::string& text) {
  std::string out;
  for (const char c : text) {
    const bool blank = c == ' ' || c == '\n' || c == '\t';
    if (blank) {
      if (!out.empty() && out.back() != ' ' && out.back() != ',') out += ' ';
    } else {
      out += c;
    }
  }
  if (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

TEST(ScriptWriter, HeaderPinsTheSessionAndEveryStatementEndsWithASlashLine) {
  std::ostringstream out;
  ScriptWriter writer(out, "title");
  writer.Accept(Sql("CREATE ROLE \"R\""));
  writer.Finish();
  const std::vector<std::string> lines = SplitLines(out.str());
  const std::vector<std::string> expected = {
      "-- title",
      "SET DEFINE OFF",
      "SET VERIFY OFF",
      "SET SQLBLANKLINES ON",
      "SET SQLTERMINATOR OFF",
      "SET BLOCKTERMINATOR OFF",
      "WHENEVER SQLERROR CONTINUE",
      "ALTER SESSION SET NLS_DATE_LANGUAGE=AMERICAN",
      "/",
      "ALTER SESSION SET NLS_NUMERIC_CHARACTERS='.,'",
      "/",
      "CREATE ROLE \"R\"",
      "/",
      "-- end of script",
  };
  EXPECT_EQ(lines, expected);
  EXPECT_EQ(out.str().find('\r'), std::string::npos);
  EXPECT_EQ(writer.statements_written(), 1u);
}

TEST(ScriptWriter, LongStatementsAreBrokenBetweenTokensWithinTheLimit) {
  struct Case {
    std::string text;
    std::size_t limit;
    bool ok;
  };
  std::string many_names = "GRANT SELECT ON \"A\".\"B\" TO ";
  for (int i = 0; i < 400; ++i) many_names += (i ? ", " : "") + std::string("\"USER_NUMBER_") + std::to_string(i) + "\"";
  std::string commas = "SELECT ";
  for (int i = 0; i < 2000; ++i) commas += (i ? "," : "") + std::string("c") + std::to_string(i);
  std::string long_ident_run = "X";
  for (int i = 0; i < 3000; ++i) long_ident_run += 'y';
  const Case cases[] = {
      {many_names, kMaxScriptLine, true},
      {commas, kMaxScriptLine, true},
      {"SELECT 'a b c d e f' FROM dual", 12, false},           // the literal itself is longer than a line
      {"SELECT \"a b c d e f\" FROM dual", 12, false},         // so is the quoted name
      {"SELECT 1 FROM dual -- a comment that is long", 20, false},
      {"SELECT 1 FROM dual /* a comment that is long */", 20, true},
      {long_ident_run, kMaxScriptLine, false},
      {"short", kMaxScriptLine, true},
  };
  for (const Case& c : cases) {
    const ScriptLines r = BreakIntoLines(c.text, {}, c.limit);
    ASSERT_EQ(r.ok(), c.ok) << c.text.substr(0, 60) << ": " << r.error;
    if (!c.ok) continue;
    std::string joined;
    for (const std::string& line : r.lines) {
      EXPECT_LE(line.size(), c.limit);
      joined += line + "\n";
    }
    EXPECT_TRUE(Squeezed(joined) == Squeezed(c.text)) << c.text.substr(0, 60);
  }
}

// A text of one line within the limit is written as it is (a row's INSERT);
// the limit, the command lines and long literals still decide as for any
// text.
TEST(ScriptWriter, OneLineTextsStayWholeWithinTheLimit) {
  const std::string thirty = "insert into t values (1, 'ab')";  // 30 characters
  ASSERT_EQ(thirty.size(), 30u);
  struct Case {
    std::string text;
    std::vector<TextSpan> spans;
    std::size_t limit;
    std::vector<std::string> lines;  // empty: refused
  };
  const Case cases[] = {
      {thirty, {}, 30, {thirty}},
      {thirty, {}, 29, {"insert into t values (1,", "'ab')"}},
      {thirty, {TextSpan{25, 4}}, 30, {thirty}},        // a literal short enough stays as it is
      {"select 'a\rb' from dual", {}, 2499, {"select 'a\rb' from dual"}},
      {"  / ", {}, 2499, {}},
      {" # x", {}, 2499, {}},
      {"   ", {}, 2499, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const ScriptLines r = BreakIntoLines(c.text, c.spans, c.limit);
    EXPECT_EQ(r.ok(), !c.lines.empty());
    EXPECT_EQ(r.lines, c.lines);
  }
}

TEST(ScriptWriter, LinesSqlPlusWouldReadAsCommandsAreJoinedOrRefused) {
  struct Case {
    std::string text;
    bool ok;
  };
  const Case cases[] = {
      {"SELECT 4\n/\n2 FROM dual", true},          // a division on a line of its own
      {"SELECT 1\n# FROM dual", true},             // a line that would start with the SQL prefix
      {"SELECT 1 -- note\n/\n2 FROM dual", false}, // the line end closes a comment: it must stay
      {"SELECT 'a\n/\nb' FROM dual", false},       // inside a literal
      {"/", false},
      {"# x", false},
      {"", false},
  };
  for (const Case& c : cases) {
    const ScriptLines r = BreakIntoLines(c.text, {});
    ASSERT_EQ(r.ok(), c.ok) << c.text;
    for (const std::string& line : r.lines) {
      const auto first = line.find_first_not_of(" \t");
      EXPECT_FALSE(first != std::string::npos && line[first] == '#') << line;
      EXPECT_NE(line.substr(first == std::string::npos ? line.size() : first), "/");
    }
  }
  // A break placed by the writer never starts a line with "#" or a lone "/".
  std::string text = "SELECT a";
  for (int i = 0; i < 30; ++i) text += " # / x";
  const ScriptLines r = BreakIntoLines(text, {}, 10);
  ASSERT_TRUE(r.ok()) << r.error;
  for (const std::string& line : r.lines) {
    const auto first = line.find_first_not_of(" \t");
    ASSERT_NE(first, std::string::npos);
    EXPECT_NE(line[first], '#') << line;
    EXPECT_NE(line.substr(first), "/");
  }
}

// The value of a chain 'a' || 'b' || ... as SQL reads it.
std::string ConcatenatedValue(const std::string& sql) {
  std::string value;
  bool inside = false;
  for (std::size_t i = 0; i < sql.size(); ++i) {
    if (sql[i] == '\'') {
      if (inside && i + 1 < sql.size() && sql[i + 1] == '\'') {
        value += '\'';
        ++i;
      } else {
        inside = !inside;
      }
    } else if (inside) {
      value += sql[i];
    }
  }
  return value;
}

TEST(ScriptWriter, LongExpressionLiteralsAreConcatenatedAndPlainOnesRefused) {
  // 3,000 characters with quotes and two-byte characters in odd places.
  std::string value;
  for (int i = 0; i < 1000; ++i) value += (i % 7 == 0) ? "'" : (i % 5 == 0 ? "\xC3\xA9" : "x");
  std::string quoted = "'";
  for (const char c : value) {
    if (c == '\'') quoted += '\'';
    quoted += c;
  }
  quoted += "'";
  while (quoted.size() < 3000) {
    value += "z";
    quoted.insert(quoted.size() - 1, "z");
  }
  const std::string prefix = "INSERT INTO \"T\" VALUES (";
  const std::string text = prefix + quoted + ")";
  const TextSpan span{prefix.size(), quoted.size()};

  const ScriptLines split = BreakIntoLines(text, {span});
  ASSERT_TRUE(split.ok()) << split.error;
  std::string joined;
  for (const std::string& line : split.lines) {
    EXPECT_LE(line.size(), kMaxScriptLine);
    joined += line + "\n";
  }
  EXPECT_NE(joined.find("' || '"), std::string::npos);
  EXPECT_EQ(ConcatenatedValue(joined), value);
  // Every piece is whole UTF-8 and no doubled quote was cut apart.
  for (const std::string& line : split.lines) {
    std::size_t quotes = 0;
    for (const char c : line) quotes += c == '\'';
    EXPECT_EQ(quotes % 2, 0u) << line.substr(0, 40);
  }

  // The same literal where Oracle wants a plain literal cannot be written.
  EXPECT_FALSE(BreakIntoLines(text, {}).ok());

  // A literal of nothing but quotes, on lines of 6: pairs are never cut.
  const std::string quotes = "X(" + std::string(2 + 2 * 9, '\'') + ")";
  const ScriptLines narrow = BreakIntoLines(quotes, {TextSpan{2, quotes.size() - 3}}, 6);
  ASSERT_TRUE(narrow.ok()) << narrow.error;
  std::string narrow_joined;
  for (const std::string& line : narrow.lines) {
    EXPECT_LE(line.size(), 6u) << line;
    narrow_joined += line + "\n";
  }
  EXPECT_EQ(ConcatenatedValue(narrow_joined), std::string(9, '\''));
}

TEST(ScriptWriter, PasswordsAreAskedForAndNeverWritten) {
  std::ostringstream out;
  ScriptWriter writer(out, "t");
  SqlBuilder user;
  user.Raw("CREATE USER \"A^B~\" IDENTIFIED BY ").Password().Raw(" PASSWORD EXPIRE ACCOUNT UNLOCK");
  ASSERT_TRUE(user.ok());
  const Statement s = user.Build(StatementNote{"Repairing User ", "User A^B~", false});
  writer.Accept(s);
  writer.Accept(s);
  writer.Finish();
  const std::string script = out.str();
  EXPECT_EQ(script.find("KESTON"), std::string::npos);
  EXPECT_EQ(script.find(kPasswordMask), std::string::npos);
  const std::vector<std::string> lines = SplitLines(script);
  std::size_t asks = 0;
  for (const std::string& line : lines) asks += line.rfind("ACCEPT quillon_password CHAR PROMPT", 0) == 0;
  EXPECT_EQ(asks, 1u);
  EXPECT_NE(script.find("HIDE\n"), std::string::npos);
  // The substitution character is one the statement does not hold, and
  // substitution is off again right after the statement.
  EXPECT_NE(script.find("SET DEFINE `\nCREATE USER \"A^B~\" IDENTIFIED BY \"`quillon_password\" PASSWORD EXPIRE "
                        "ACCOUNT UNLOCK\n/\nSET DEFINE OFF\n"),
            std::string::npos)
      << script;
  EXPECT_NE(script.find("UNDEFINE quillon_password\n"), std::string::npos);
}

TEST(ScriptWriter, SkippedObjectsAndPhasesAreOneLineComments) {
  std::ostringstream out;
  ScriptWriter writer(out, "t\nDROP USER SYS");
  writer.BeginPhase("Repairing User ");
  writer.Skipped(StatementNote{"Repairing User ", "User A\n/\nDROP USER SYS", false}, "the name\nholds a line feed");
  writer.Finish();
  std::size_t slash_lines = 0;
  for (const std::string& line : SplitLines(out.str())) {
    slash_lines += line == "/";
    EXPECT_NE(line.rfind("DROP", 0), 0u) << line;
  }
  EXPECT_EQ(slash_lines, 2u) << out.str();  // the header's two ALTER SESSION statements
  EXPECT_NE(out.str().find("-- User A?/?DROP USER SYS left out: the name?holds a line feed\n"), std::string::npos)
      << out.str();
  // A comment never ends in the continuation mark.
  std::ostringstream dash;
  ScriptWriter dashed(dash, "ends in -");
  EXPECT_EQ(dash.str().rfind("-- ends in -.\n", 0), 0u) << dash.str();
}

TEST(PreviewSink, ShowsHeaderStatementsAndSlashes) {
  PreviewSink preview;
  SqlBuilder role;
  role.Raw("CREATE ROLE \"R\" IDENTIFIED BY ").Password();
  preview.Accept(role.Build(StatementNote{}));
  EXPECT_EQ(preview.Text("Role R"), "-- DDL script for Role R \n\nCREATE ROLE \"R\" IDENTIFIED BY \"********\"\n/\n");
}

}  // namespace
}  // namespace quillon::repair

namespace quillon::repair {
namespace {

TEST(Statement, RenderPutsTheGivenFormAtThePasswordsPlaceOnly) {
  SqlBuilder sql;
  sql.Raw("CREATE USER \"U\" IDENTIFIED BY ").Password().Raw(" DEFAULT TABLESPACE ").Ident("T");
  const Statement s = sql.Build(StatementNote{"Repairing User ", "User U", false});
  EXPECT_EQ(s.text, "CREATE USER \"U\" IDENTIFIED BY  DEFAULT TABLESPACE \"T\"");
  EXPECT_EQ(s.Render("\"X\""), "CREATE USER \"U\" IDENTIFIED BY \"X\" DEFAULT TABLESPACE \"T\"");
  Statement plain;
  plain.text = "SELECT 1 FROM dual";
  EXPECT_EQ(plain.Render("\"X\""), plain.text);
  // A refused name makes the whole statement refused, with the first reason.
  SqlBuilder refused;
  refused.Raw("CREATE ROLE ").Ident("A\"B").Raw(" ").Ident(std::string(40, 'x'));
  EXPECT_FALSE(refused.ok());
  EXPECT_NE(refused.reason().find("double quote"), std::string::npos);
  RecorderSink sink;
  EXPECT_FALSE(Emit(sink, refused, StatementNote{"p", "Role A\"B", false}));
  EXPECT_TRUE(sink.statements.empty());
  ASSERT_EQ(sink.skipped.size(), 1u);
  // Bound values keep their kinds.
  Statement insert;
  insert.values = {NullValue{}, TextValue{"a"}, WideTextValue{u"b"}, NumberValue{"-1.5"}, BinaryValue{{0, 255}}};
  EXPECT_EQ(std::get<NumberValue>(insert.values[3]).text, "-1.5");
  EXPECT_EQ(std::get<BinaryValue>(insert.values[4]).bytes.size(), 2u);
}

TEST(ScriptWriter, LongLiteralAfterAPasswordIsStillSplitAtItsPlace) {
  SqlBuilder sql;
  sql.Raw("CREATE USER \"U\" IDENTIFIED BY ").Password().Raw(" X ").ExpressionLiteral(std::string(3000, 'v'));
  std::ostringstream out;
  ScriptWriter writer(out, "t");
  writer.Accept(sql.Build(StatementNote{}));
  std::size_t longest = 0;
  std::istringstream in(out.str());
  for (std::string line; std::getline(in, line);) longest = std::max(longest, line.size());
  EXPECT_LE(longest, kMaxScriptLine);
  EXPECT_NE(out.str().find("IDENTIFIED BY \"^quillon_password\" X 'vvv"), std::string::npos);
  EXPECT_EQ(writer.statements_written(), 1u);
}

}  // namespace
}  // namespace quillon::repair
