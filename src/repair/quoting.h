// The one way names and text literals from a rescued dictionary reach SQL.
//
// Everything read from a damaged database is untrusted: a name may hold a
// quote, a semicolon or a line feed, or be longer than Oracle allows. A name
// is always written as a quoted identifier; one that no quoted identifier can
// hold is refused with a reason, and the generator logs the reason and skips
// the object, so that no name can change what a statement does.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quillon::repair {

// Oracle's limit on identifiers, in bytes (of the UTF-8 text we send).
inline constexpr std::size_t kMaxIdentifierBytes = 30;

// The quoted form of a name or literal, or the reason it cannot be written.
class Quoted {
 public:
  static Quoted Ok(std::string text) { return Quoted(std::move(text), {}); }
  static Quoted Refused(std::string reason) { return Quoted({}, std::move(reason)); }

  bool ok() const { return reason_.empty(); }
  explicit operator bool() const { return ok(); }
  const std::string& text() const { return text_; }
  const std::string& reason() const { return reason_; }

 private:
  Quoted(std::string text, std::string reason) : text_(std::move(text)), reason_(std::move(reason)) {}
  std::string text_;
  std::string reason_;
};

// "NAME": refused when the name is empty, longer than 30 bytes, or holds a
// double quote, a NUL or another control character (a line break in a name
// could not be written into a line-based script without changing it).
Quoted QuoteIdent(std::string_view name);

// 'TEXT' with every single quote doubled: refused when the text holds a NUL,
// a carriage return or a line feed.
Quoted QuoteLiteral(std::string_view text);

// The name of a database link as Oracle writes it unquoted: up to 128
// bytes of letters, digits and "_", "$", "#", "." (domain parts) and "@"
// (a connection qualifier), beginning with a letter. Refused otherwise: a
// link name cannot be written as a quoted identifier in every place it
// stands, so only names that need no quotes are written.
Quoted LinkName(std::string_view name);

// A name as it may appear inside a log line or script comment: control
// characters shown as '?', cut to 80 bytes.
std::string PrintableName(std::string_view name);

}  // namespace quillon::repair
