// Where generated statements go. A generator hands every statement it builds
// to a sink, and tells it of every object it had to leave out and why; the
// sink decides what happens to them (recorded for a test, shown in the
// preview, written to a SQL*Plus script, executed on a target).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "repair/statement.h"

namespace quillon::repair {

class StatementSink {
 public:
  virtual ~StatementSink() = default;
  // A phase of the repair begins ("Repairing Tablespace ").
  virtual void BeginPhase(std::string_view /*phase_line*/) {}
  virtual void Accept(const Statement& statement) = 0;
  // An object the generator left out; reason says why (names in it are
  // printable, see PrintableName).
  virtual void Skipped(const StatementNote& note, std::string_view reason) = 0;
  // The repair reached a point where the statements marked
  // retry_when_failed that failed so far may succeed (after the types,
  // after the last code phase): a sink that executes statements runs them
  // again, once. Sinks that only write or show statements ignore it.
  virtual void RetryFailed() {}
  // A remark about the statements, for the reader of a preview or script
  // ("this is XML type Table so Data not Shown"); targets ignore it.
  virtual void Note(std::string_view /*text*/) {}
};

// Keeps everything it is given (tests).
class RecorderSink : public StatementSink {
 public:
  struct Skip {
    StatementNote note;
    std::string reason;
  };
  void BeginPhase(std::string_view phase_line) override { phases.emplace_back(phase_line); }
  void Accept(const Statement& statement) override { statements.push_back(statement); }
  void Skipped(const StatementNote& note, std::string_view reason) override {
    skipped.push_back(Skip{note, std::string(reason)});
  }
  void Note(std::string_view text) override { notes.emplace_back(text); }
  // The texts of the statements, passwords masked.
  std::vector<std::string> Texts() const;

  std::vector<std::string> phases;
  std::vector<Statement> statements;
  std::vector<Skip> skipped;
  std::vector<std::string> notes;
};

// The script preview of one object: the statements as the preview pane shows
// them, each followed by a line holding "/", passwords masked. Skipped
// objects appear as comment lines.
class PreviewSink : public StatementSink {
 public:
  void Accept(const Statement& statement) override;
  void Skipped(const StatementNote& note, std::string_view reason) override;
  // A comment line "-- " + text.
  void Note(std::string_view text) override;
  // "-- DDL script for " + label + " ", an empty line and the statements.
  std::string Text(std::string_view label) const;

 private:
  std::string body_;
};

// Collects statement pieces and quoted names; the first name or literal that
// cannot be quoted makes the whole statement refused, so that a statement is
// built whole or not at all.
class SqlBuilder {
 public:
  SqlBuilder& Raw(std::string_view text);
  SqlBuilder& Ident(std::string_view name);
  // A literal where Oracle wants a plain literal (never split in a script).
  SqlBuilder& Literal(std::string_view text);
  // The name of a database link, as written after "@" or in CREATE
  // DATABASE LINK (LinkName).
  SqlBuilder& Link(std::string_view name);
  // A literal that stands where an expression may stand.
  SqlBuilder& ExpressionLiteral(std::string_view text);
  // The place of an account's password (Statement::password_at).
  SqlBuilder& Password();

  bool ok() const { return reason_.empty(); }
  const std::string& reason() const { return reason_; }
  Statement Build(StatementNote note, StatementKind kind = StatementKind::kSql) const;

 private:
  Statement statement_;
  std::string reason_;
};

// Hands the built statement to the sink, or tells the sink why the object is
// left out. Returns whether a statement was handed over.
bool Emit(StatementSink& sink, const SqlBuilder& sql, const StatementNote& note);

}  // namespace quillon::repair
