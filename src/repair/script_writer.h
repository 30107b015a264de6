// The SQL*Plus script writer: a sink that writes statements as a script
// that SQL*Plus runs as it is.
//
// The script is UTF-8 with LF line ends. Its header turns off everything in
// SQL*Plus that could read a rescued text as something else: substitution
// variables (SET DEFINE OFF), the ";" and "." terminators (every statement
// is run by the line holding "/" after it), the end of a statement at a blank
// line; it keeps going after a failing statement, and pins the session's
// date language and numeric characters. No line is longer than SQL*Plus
// takes (2,499 characters): long statements are broken between tokens,
// never inside a quoted name, a literal or a "--" comment.
//
// Sessions. A statement that must run in its owner's session (a database
// link of a schema) is preceded by CONNECT with the owner's quoted name, for
// which SQL*Plus asks the password; the script connects back as SYSTEM (and
// sets the session's settings again) before the next statement of the
// repair's own session, at the next phase and at the end.
//
// Passwords. No password is ever written into a script. A statement that
// re-creates an account with a password gets, at the password's place, a
// substitution variable that the script asks for once, with its input
// hidden (ACCEPT ... HIDE), before the first such statement. Substitution is
// turned on only around that statement, with a substitution character that
// does not occur in the statement, so no rescued name can be substituted.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "repair/statement_sink.h"

namespace quillon::repair {

// SQL*Plus's longest line.
inline constexpr std::size_t kMaxScriptLine = 2499;
// The substitution variable that holds the password of re-created accounts.
inline constexpr std::string_view kPasswordVariable = "quillon_password";

// The lines a statement text is written as, none longer than max_line; or,
// when the text cannot be written safely, the reason.
struct ScriptLines {
  std::vector<std::string> lines;
  std::string error;
  bool ok() const { return error.empty(); }
};
// Breaks text into lines: its own line ends are kept where they may stand;
// long lines are broken at blanks or after commas outside quoted names,
// literals and comments. Literals listed in splittable (spans of text) that
// are too long are first written as 'a' || 'b'. A line that SQL*Plus would
// read as a command of its own (a lone "/", a leading "#") is joined to the
// line before it, or the text is refused when it cannot be.
ScriptLines BreakIntoLines(std::string_view text, const std::vector<TextSpan>& splittable,
                           std::size_t max_line = kMaxScriptLine);

class ScriptWriter : public StatementSink {
 public:
  // Writes the header; title goes into its first comment line.
  ScriptWriter(std::ostream& out, std::string_view title);
  ScriptWriter(const ScriptWriter&) = delete;
  ScriptWriter& operator=(const ScriptWriter&) = delete;

  void BeginPhase(std::string_view phase_line) override;
  void Accept(const Statement& statement) override;
  void Skipped(const StatementNote& note, std::string_view reason) override;
  void Note(std::string_view text) override { Comment(text); }
  // Writes the closing lines (forgets the password variable). Called once,
  // after the last statement.
  void Finish();

  // True when Accept writes statement as it is, text (statement's own
  // text, or the same statement's text built elsewhere) on one line: the
  // case of nearly every row's INSERT. A target that writes such texts into
  // the same stream itself calls CountWritten for each.
  bool WritesAsItIs(const Statement& statement, std::string_view text) const;
  void CountWritten() { ++written_; }

  std::size_t statements_written() const { return written_; }
  std::size_t statements_refused() const { return refused_; }

 private:
  void Comment(std::string_view text);
  void SessionSettings();
  // Connects as user ("" for SYSTEM) when the script is not already.
  void SwitchSession(const std::string& user);

  std::ostream& out_;
  bool asked_password_ = false;
  bool finished_ = false;
  std::string session_;  // the user the script is connected as; "" for SYSTEM
  std::size_t written_ = 0;
  std::size_t refused_ = 0;
};

}  // namespace quillon::repair
