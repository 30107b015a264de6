#include "repair/script_writer.h"

#include <algorithm>
#include <cstdint>
#include <ostream>

#include "repair/quoting.h"

namespace quillon::repair {

namespace {

// How a position of a statement text may end a line.
enum class Break : std::uint8_t {
  kNone,
  kBlank,     // a blank outside quotes and comments: may become the line end
  kAfter,     // right after a comma outside quotes and comments: a line end may be put before it
  kSoftEnd,   // the text's own line end outside quotes: kept, or turned into a blank
  kHardEnd,   // a line end inside a quoted name or literal, or the end of a "--" comment: kept as it is
};

bool IsIdentifierChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '$' ||
         c == '#' || static_cast<unsigned char>(c) >= 0x80;
}

char ClosingDelimiter(char open) {
  switch (open) {
    case '[': return ']';
    case '{': return '}';
    case '(': return ')';
    case '<': return '>';
    default: return open;
  }
}

// Classifies every position of text by what a line end may do there.
std::vector<Break> Classify(std::string_view text) {
  std::vector<Break> kind(text.size(), Break::kNone);
  enum class State { kNormal, kSingle, kQuoteQ, kDouble, kLineComment, kBlockComment } state = State::kNormal;
  char q_close = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const char next = i + 1 < text.size() ? text[i + 1] : '\0';
    switch (state) {
      case State::kNormal:
      case State::kBlockComment:
        if (state == State::kBlockComment) {
          if (c == '*' && next == '/') {
            state = State::kNormal;
            ++i;
            continue;
          }
        } else if (c == '\'') {
          state = State::kSingle;
          continue;
        } else if (c == '"') {
          state = State::kDouble;
          continue;
        } else if (c == '-' && next == '-') {
          state = State::kLineComment;
          ++i;
          continue;
        } else if (c == '/' && next == '*') {
          state = State::kBlockComment;
          ++i;
          continue;
        } else if ((c == 'q' || c == 'Q') && next == '\'' && i + 2 < text.size()) {
          // q'X...X' quoting, also as nq'X...X'.
          const bool word_before = i > 0 && IsIdentifierChar(text[i - 1]);
          const bool national = i > 0 && (text[i - 1] == 'n' || text[i - 1] == 'N') &&
                                (i < 2 || !IsIdentifierChar(text[i - 2]));
          if (!word_before || national) {
            q_close = ClosingDelimiter(text[i + 2]);
            state = State::kQuoteQ;
            i += 2;
            continue;
          }
        }
        if (c == ' ' || c == '\t') {
          kind[i] = Break::kBlank;
        } else if (c == '\n') {
          kind[i] = Break::kSoftEnd;
        } else if (i > 0 && text[i - 1] == ',' && kind[i - 1] == Break::kNone) {
          kind[i] = Break::kAfter;
        }
        break;
      case State::kSingle:
        if (c == '\n') kind[i] = Break::kHardEnd;
        if (c == '\'') {
          if (next == '\'') {
            ++i;
          } else {
            state = State::kNormal;
          }
        }
        break;
      case State::kQuoteQ:
        if (c == '\n') kind[i] = Break::kHardEnd;
        if (c == q_close && next == '\'') {
          state = State::kNormal;
          ++i;
        }
        break;
      case State::kDouble:
        if (c == '\n') kind[i] = Break::kHardEnd;
        if (c == '"') state = State::kNormal;
        break;
      case State::kLineComment:
        if (c == '\n') {
          kind[i] = Break::kHardEnd;
          state = State::kNormal;
        }
        break;
    }
  }
  return kind;
}

// A line that SQL*Plus reads as a command of its own even in the middle of
// a statement: a lone "/" runs the statement, a leading "#" (the SQL prefix)
// runs the rest of the line as a SQL*Plus command.
bool IsCommandLine(std::string_view text, std::size_t start) {
  std::size_t i = start;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  if (i < text.size() && text[i] == '#') return true;
  if (i >= text.size() || text[i] != '/') return false;
  ++i;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r')) ++i;
  return i >= text.size() || text[i] == '\n';
}

// A line that holds nothing but "/".
bool IsLoneSlash(std::string_view line) {
  const auto first = line.find_first_not_of(" \t");
  const auto last = line.find_last_not_of(" \t\r");
  return first != std::string_view::npos && first == last && line[first] == '/';
}

// A literal's inner text cut into pieces of at most chunk bytes, never
// inside a doubled quote or a UTF-8 sequence.
std::vector<std::string_view> LiteralPieces(std::string_view inner, std::size_t chunk) {
  std::vector<std::string_view> pieces;
  std::size_t start = 0;
  while (inner.size() - start > chunk) {
    std::size_t end = start + chunk;
    while (end > start + 1 && (static_cast<unsigned char>(inner[end]) & 0xC0) == 0x80) --end;
    // Count the quotes right before the cut: an odd run would split a pair.
    std::size_t run = 0;
    while (end - run > start && inner[end - run - 1] == '\'') ++run;
    if (run % 2 == 1) --end;
    if (end == start) end = start + 2;  // a piece of one doubled quote at least
    pieces.push_back(inner.substr(start, end - start));
    start = end;
  }
  pieces.push_back(inner.substr(start));
  return pieces;
}

// The text with every listed literal longer than chunk written as
// 'a' || 'b' || ...
std::string SplitLongLiterals(std::string_view text, std::vector<TextSpan> spans, std::size_t chunk) {
  std::string out(text);
  std::sort(spans.begin(), spans.end(), [](const TextSpan& a, const TextSpan& b) { return a.offset > b.offset; });
  for (const TextSpan& span : spans) {
    if (span.length < 2 || span.offset + span.length > out.size() || span.length <= chunk + 2) continue;
    if (out[span.offset] != '\'' || out[span.offset + span.length - 1] != '\'') continue;
    const std::string inner = out.substr(span.offset + 1, span.length - 2);
    std::string joined;
    for (const std::string_view piece : LiteralPieces(inner, chunk)) {
      if (!joined.empty()) joined += " || ";
      joined += '\'';
      joined += piece;
      joined += '\'';
    }
    out.replace(span.offset, span.length, joined);
  }
  return out;
}

}  // namespace

namespace {

std::size_t ChunkFor(std::size_t max_line) { return std::max<std::size_t>(1, std::min<std::size_t>(1000, max_line / 2)); }

// The common case (a row's INSERT): one line within the limit, no literal
// to split, not empty, not a SQL*Plus command. It is written as it is.
bool IsWholeLine(std::string_view text, const std::vector<TextSpan>& splittable, std::size_t max_line) {
  const std::size_t chunk = ChunkFor(max_line);
  return text.size() <= max_line && text.find('\n') == std::string_view::npos &&
         std::all_of(splittable.begin(), splittable.end(),
                     [chunk](const TextSpan& span) { return span.length <= chunk + 2; }) &&
         text.find_first_not_of(" \t") != std::string_view::npos && !IsCommandLine(text, 0);
}

}  // namespace

ScriptLines BreakIntoLines(std::string_view original, const std::vector<TextSpan>& splittable, std::size_t max_line) {
  ScriptLines result;
  if (original.find_first_not_of(" \t\n") == std::string_view::npos) {
    result.error = "it is empty";
    return result;
  }
  if (IsWholeLine(original, splittable, max_line)) {
    result.lines.emplace_back(original);
    return result;
  }
  const std::size_t chunk = ChunkFor(max_line);
  std::string text = SplitLongLiterals(original, splittable, chunk);
  std::vector<Break> kind = Classify(text);
  const std::size_t n = text.size();

  if (IsCommandLine(text, 0)) {
    result.error = "its first line would be read by SQL*Plus as a command";
    return result;
  }
  // A line of the text's own that SQL*Plus would take for a command is
  // joined to the line before it.
  for (std::size_t i = 0; i < n; ++i) {
    if ((kind[i] == Break::kSoftEnd || kind[i] == Break::kHardEnd) && IsCommandLine(text, i + 1)) {
      if (kind[i] == Break::kHardEnd) {
        result.error = "a line inside a quoted text or after a comment would be read by SQL*Plus as a command";
        return result;
      }
      text[i] = ' ';
      kind[i] = Break::kBlank;
    }
  }

  std::size_t s = 0;
  while (s < n) {
    std::size_t p = s;
    while (p < n && kind[p] != Break::kSoftEnd && kind[p] != Break::kHardEnd) ++p;
    if (p - s <= max_line) {
      std::string line = text.substr(s, p - s);
      // A generator's own CRLF line end (outside quotes) becomes LF.
      if (p < n && kind[p] == Break::kSoftEnd && !line.empty() && line.back() == '\r') line.pop_back();
      result.lines.push_back(std::move(line));
      s = p + 1;
      continue;
    }
    std::size_t best = 0;
    for (std::size_t b = std::min(s + max_line, p - 1); b > s; --b) {
      if (kind[b] != Break::kBlank && kind[b] != Break::kAfter) continue;
      const std::size_t next = kind[b] == Break::kBlank ? b + 1 : b;
      if (IsLoneSlash(std::string_view(text).substr(s, b - s)) || IsCommandLine(text, next)) continue;
      best = b;
      break;
    }
    if (best == 0) {
      result.error = "it holds a quoted name, literal or comment longer than a script line";
      result.lines.clear();
      return result;
    }
    result.lines.push_back(text.substr(s, best - s));
    s = kind[best] == Break::kBlank ? best + 1 : best;
  }
  return result;
}

namespace {

// The substitution character for a statement: one that does not occur in it
// (nor in what the line breaking may add: "||" and blanks).
char SubstitutionCharFor(std::string_view text) {
  for (const char c : std::string_view("^~`!%*<>?[]{}=+")) {
    if (text.find(c) == std::string_view::npos) return c;
  }
  return '\0';
}

// A comment's text on one line: control characters shown as '?', cut, and
// never ending in "-", which SQL*Plus reads as "continued on the next line".
std::string CommentText(std::string_view text) {
  std::string out;
  for (const char c : text.substr(0, 1000)) {
    const auto u = static_cast<unsigned char>(c);
    out += (u < 0x20 || u == 0x7F) ? '?' : c;
  }
  if (!out.empty() && out.back() == '-') out += '.';
  return out;
}

}  // namespace

ScriptWriter::ScriptWriter(std::ostream& out, std::string_view title) : out_(out) {
  Comment(title);
  out_ << "SET DEFINE OFF\n"
          "SET VERIFY OFF\n"
          "SET SQLBLANKLINES ON\n"
          "SET SQLTERMINATOR OFF\n"
          "SET BLOCKTERMINATOR OFF\n"
          "WHENEVER SQLERROR CONTINUE\n";
  SessionSettings();
}

void ScriptWriter::SessionSettings() {
  out_ << "ALTER SESSION SET NLS_DATE_LANGUAGE=AMERICAN\n"
          "/\n"
          "ALTER SESSION SET NLS_NUMERIC_CHARACTERS='.,'\n"
          "/\n";
}

void ScriptWriter::SwitchSession(const std::string& user) {
  if (user == session_) return;
  if (!user.empty()) {
    Comment("in the session of " + user + ": SQL*Plus asks for the password of " + user);
    out_ << "CONNECT " << QuoteIdent(user).text() << "\n";
  } else {
    Comment("back in the session of SYSTEM: SQL*Plus asks for its password");
    out_ << "CONNECT SYSTEM\n";
    SessionSettings();
  }
  session_ = user;
}

void ScriptWriter::Comment(std::string_view text) { out_ << "-- " << CommentText(text) << "\n"; }

void ScriptWriter::BeginPhase(std::string_view phase_line) {
  SwitchSession({});
  out_ << "\n";
  Comment(phase_line);
}

void ScriptWriter::Skipped(const StatementNote& note, std::string_view reason) {
  Comment(note.object + " left out: " + std::string(reason));
}

bool ScriptWriter::WritesAsItIs(const Statement& statement, std::string_view text) const {
  return !statement.password_at && !statement.note.built_in && statement.session_user == session_ &&
         IsWholeLine(text, statement.splittable_literals, kMaxScriptLine);
}

void ScriptWriter::Accept(const Statement& statement) {
  // Most statements (every row's INSERT) are one line in the session the
  // script is in: written straight out.
  if (WritesAsItIs(statement, statement.text)) {
    out_.write(statement.text.data(), static_cast<std::streamsize>(statement.text.size()));
    out_.write("\n/\n", 3);
    ++written_;
    return;
  }
  char substitution = '\0';
  std::string_view text = statement.text;
  std::string rendered;
  std::vector<TextSpan> moved_spans;
  if (statement.password_at) {
    substitution = SubstitutionCharFor(statement.text);
    if (substitution == '\0') {
      ++refused_;
      Comment(statement.note.object + " left out: no substitution character is free for its password");
      return;
    }
    rendered = statement.Render("\"" + std::string(1, substitution) + std::string(kPasswordVariable) + "\"");
    text = rendered;
    // The spans after the password's place moved by the variable's length.
    moved_spans = statement.splittable_literals;
    const std::size_t moved = rendered.size() - statement.text.size();
    for (TextSpan& span : moved_spans) {
      if (span.offset >= *statement.password_at) span.offset += moved;
    }
  }
  const ScriptLines lines = BreakIntoLines(text, statement.password_at ? moved_spans : statement.splittable_literals);
  if (!lines.ok()) {
    ++refused_;
    Comment(statement.note.object + " left out of the script: " + lines.error);
    return;
  }
  if (!statement.session_user.empty() && !QuoteIdent(statement.session_user)) {
    ++refused_;
    Comment(statement.note.object + " left out of the script: its owner's name cannot be written");
    return;
  }
  SwitchSession(statement.session_user);
  if (statement.note.built_in) Comment(statement.note.object + " is built in: a new database has it already");
  if (substitution != '\0') {
    if (!asked_password_) {
      out_ << "ACCEPT " << kPasswordVariable
           << " CHAR PROMPT 'Password for the re-created users and roles: ' HIDE\n";
      asked_password_ = true;
    }
    out_ << "SET DEFINE " << substitution << "\n";
  }
  for (const std::string& line : lines.lines) {
    out_.write(line.data(), static_cast<std::streamsize>(line.size()));
    out_.put('\n');
  }
  out_.write("/\n", 2);
  if (substitution != '\0') out_ << "SET DEFINE OFF\n";
  ++written_;
}

void ScriptWriter::Finish() {
  if (finished_) return;
  finished_ = true;
  SwitchSession({});
  if (asked_password_) out_ << "UNDEFINE " << kPasswordVariable << "\n";
  out_ << "-- end of script\n";
}

}  // namespace quillon::repair
