#include "repair/statement_sink.h"

#include "repair/quoting.h"

namespace quillon::repair {

std::vector<std::string> RecorderSink::Texts() const {
  std::vector<std::string> out;
  out.reserve(statements.size());
  for (const Statement& s : statements) out.push_back(s.Render(kPasswordMask));
  return out;
}

void PreviewSink::Accept(const Statement& statement) {
  body_ += statement.Render(kPasswordMask);
  body_ += "\n/\n";
}

void PreviewSink::Skipped(const StatementNote& note, std::string_view reason) {
  body_ += "-- " + PrintableName(note.object) + " left out: " + PrintableName(reason) + "\n";
}

void PreviewSink::Note(std::string_view text) { body_ += "-- " + PrintableName(text) + "\n"; }

std::string PreviewSink::Text(std::string_view label) const {
  return "-- DDL script for " + std::string(label) + " \n\n" + body_;
}

SqlBuilder& SqlBuilder::Raw(std::string_view text) {
  statement_.text += text;
  return *this;
}

SqlBuilder& SqlBuilder::Ident(std::string_view name) {
  const Quoted q = QuoteIdent(name);
  if (!q) {
    if (reason_.empty()) reason_ = q.reason();
    return *this;
  }
  statement_.text += q.text();
  return *this;
}

SqlBuilder& SqlBuilder::Literal(std::string_view text) {
  const Quoted q = QuoteLiteral(text);
  if (!q) {
    if (reason_.empty()) reason_ = q.reason();
    return *this;
  }
  statement_.text += q.text();
  return *this;
}

SqlBuilder& SqlBuilder::Link(std::string_view name) {
  const Quoted q = LinkName(name);
  if (!q) {
    if (reason_.empty()) reason_ = q.reason();
    return *this;
  }
  statement_.text += q.text();
  return *this;
}

SqlBuilder& SqlBuilder::ExpressionLiteral(std::string_view text) {
  const std::size_t at = statement_.text.size();
  Literal(text);
  if (ok()) statement_.splittable_literals.push_back(TextSpan{at, statement_.text.size() - at});
  return *this;
}

SqlBuilder& SqlBuilder::Password() {
  statement_.password_at = statement_.text.size();
  return *this;
}

Statement SqlBuilder::Build(StatementNote note, StatementKind kind) const {
  Statement s = statement_;
  s.note = std::move(note);
  s.kind = kind;
  return s;
}

bool Emit(StatementSink& sink, const SqlBuilder& sql, const StatementNote& note) {
  if (!sql.ok()) {
    sink.Skipped(note, sql.reason());
    return false;
  }
  sink.Accept(sql.Build(note));
  return true;
}

}  // namespace quillon::repair
