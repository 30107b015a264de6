// The script target: the repair written as a SQL*Plus script instead of run
// on a database.
//
// Every statement the repair would execute goes to the script writer in
// order. Each row becomes an INSERT whose values are literals Oracle reads
// back exactly (ScriptLiteral): text with its quotes doubled, control
// characters as CHR(n) and long texts as 'a' || 'b'; national text through
// UNISTR; RAW bytes through HEXTORAW; numbers as they are; dates and
// timestamps through the TO_DATE / TO_TIMESTAMP forms of the INSERT. A row
// with long values becomes a PL/SQL block: values up to 32,760 bytes go in
// PL/SQL variables, longer LOBs are inserted empty and filled with
// DBMS_LOB.WRITEAPPEND chunks through RETURNING ... INTO, read from the
// spill file a chunk at a time (a value is never held whole). A block whose
// long value cannot be read back whole ends in RAISE_APPLICATION_ERROR and
// its row counts as failed. LONG and LONG RAW values over 32,760 bytes
// cannot be scripted: the INSERT builder counts and reports their rows
// (InsertOptions::max_long_bytes, from MaxLongBytes). A table's rows end
// with a COMMIT. No password is ever written (script_writer.h).
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "repair/script_writer.h"
#include "repair/target.h"

namespace quillon::repair {

// The longest value a PL/SQL variable takes in a script's block.
inline constexpr std::uint64_t kMaxScriptVariableBytes = 32760;
// Pieces of text literals and LOB chunks, in bytes (well within a line).
inline constexpr std::size_t kScriptChunk = 1000;
// The error a row's block raises when one of its long values could not be
// written whole (so the script never inserts a shortened value).
inline constexpr std::string_view kIncompleteBlockMessage = "A long value of this row could not be written whole";

// A script's file refused what was written to it.
inline constexpr std::string_view kScriptWriteError = "The script file cannot be written (is the disk full?).";

// A value as a SQL literal (NULL, 'text', UNISTR('...'), HEXTORAW('...'),
// a number); std::nullopt for long values, which need a block.
std::optional<std::string> ScriptLiteral(const Value& value);

// The places of the "?" placeholders in an INSERT text (outside quoted names
// and literals), in order.
std::vector<std::size_t> PlaceholderOffsets(std::string_view sql);

class ScriptTarget final : public Target {
 public:
  ScriptTarget(std::ostream& out, std::string_view title);

  bool Connect() override { return true; }
  bool Execute(const Statement& statement) override;
  bool BeginRows() override;
  void InsertRow(std::string_view insert_sql, std::span<const Value> values) override;
  RowOutcome EndRows() override;
  std::uint64_t RowsInserted() const override { return rows_.inserted; }
  void BeginPhase(std::string_view phase_line) override {
    FlushPending();
    row_sql_.clear();
    writer_.BeginPhase(phase_line);
  }
  std::uint64_t MaxLongBytes() const override { return kMaxScriptVariableBytes; }
  std::string DescribeError() const override { return error_; }
  void Disconnect() override;

  // Closes the script (its last lines); Disconnect does it too.
  void Finish();
  ScriptWriter& writer() { return writer_; }

 private:
  // Writes the rows gathered in pending_ to the stream; every other write
  // comes after it, so the script keeps its order.
  void FlushPending();
  bool Write(const Statement& statement);
  // False, with error_ set, once the script's stream has refused bytes.
  bool Written();
  void RowFailed(const std::string& why);
  bool WriteLines(const std::string& text);
  bool WriteBlock(std::string_view insert_sql, std::span<const Value> values, const std::vector<std::size_t>& at);
  // Appends the row's INSERT with its values as literals to pending_ when
  // each value is a NULL, a number or a text written as it is (the common
  // row), sized once and copied in place; false, and nothing appended,
  // for any other row.
  bool AppendPlainRow(std::string_view insert_sql, std::span<const Value> values);

  ScriptWriter writer_;
  std::ostream& out_;
  RowOutcome rows_;
  std::string error_;
  bool finished_ = false;
  Statement row_;                       // a row's INSERT, its text reused from row to row
  std::vector<std::size_t> placeholders_;  // where the "?" of row_sql_ are
  std::string row_sql_;                 // the INSERT text placeholders_ were found in
  bool row_sql_plain_ = false;          // rows of row_sql_ are plain lines when not too long
  // Rows' one-line INSERTs, each followed by its "/" line, gathered to reach
  // the stream in large pieces.
  std::string pending_;
};

}  // namespace quillon::repair
