// The query files: the text of the re-created code objects (views,
// triggers, functions, procedures, packages, package bodies, database
// links, XML schema registrations), one file per kind, for the user to read
// and run again. Generators only name a statement's file
// (Statement::query_file); this sink, which stands before another, keeps
// their text and writes the files into the repair's output folder.
//
// Each file is UTF-8 with LF line ends; every statement is followed by a
// line holding "/" and an empty line. Files are written anew.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "repair/statement_sink.h"

namespace quillon::repair {

class QueryFileSink : public StatementSink {
 public:
  // next gets every call as it is.
  explicit QueryFileSink(StatementSink& next) : next_(next) {}

  void BeginPhase(std::string_view phase_line) override { next_.BeginPhase(phase_line); }
  void Accept(const Statement& statement) override;
  void Skipped(const StatementNote& note, std::string_view reason) override { next_.Skipped(note, reason); }
  void RetryFailed() override { next_.RetryFailed(); }
  void Note(std::string_view text) override { next_.Note(text); }

  // The text of each file so far, by file name.
  const std::map<std::string, std::string>& files() const { return files_; }
  // Writes every file into folder. Returns the names of the files that
  // could not be written (empty when all were).
  std::vector<std::string> WriteInto(const std::string& folder) const;

 private:
  StatementSink& next_;
  std::map<std::string, std::string> files_;
};

// A statement's text as a query file holds it: line ends as LF, then "/"
// and an empty line.
std::string QueryFileEntry(const Statement& statement);

}  // namespace quillon::repair
