#include "repair/quoting.h"

namespace quillon::repair {

namespace {

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

}  // namespace

Quoted QuoteIdent(std::string_view name) {
  if (name.empty()) return Quoted::Refused("the name is empty");
  if (name.size() > kMaxIdentifierBytes) {
    return Quoted::Refused("the name " + PrintableName(name) + " is longer than 30 bytes");
  }
  for (const char ch : name) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '"') return Quoted::Refused("the name " + PrintableName(name) + " holds a double quote");
    if (c == 0) return Quoted::Refused("the name " + PrintableName(name) + " holds a NUL character");
    if (IsControl(c)) return Quoted::Refused("the name " + PrintableName(name) + " holds a control character");
  }
  std::string out;
  out.reserve(name.size() + 2);
  out += '"';
  out += name;
  out += '"';
  return Quoted::Ok(std::move(out));
}

Quoted QuoteLiteral(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  out += '\'';
  for (const char ch : text) {
    if (ch == '\0') return Quoted::Refused("the text " + PrintableName(text) + " holds a NUL character");
    if (ch == '\n' || ch == '\r') return Quoted::Refused("the text " + PrintableName(text) + " holds a line break");
    if (ch == '\'') out += '\'';
    out += ch;
  }
  out += '\'';
  return Quoted::Ok(std::move(out));
}

Quoted LinkName(std::string_view name) {
  constexpr std::size_t kMaxLinkBytes = 128;
  if (name.empty()) return Quoted::Refused("the link name is empty");
  if (name.size() > kMaxLinkBytes) {
    return Quoted::Refused("the link name " + PrintableName(name) + " is longer than 128 bytes");
  }
  const auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
  if (!letter(name.front())) {
    return Quoted::Refused("the link name " + PrintableName(name) + " does not begin with a letter");
  }
  for (const char c : name) {
    const bool ok = letter(c) || (c >= '0' && c <= '9') || c == '_' || c == '$' || c == '#' || c == '.' || c == '@';
    if (!ok) return Quoted::Refused("the link name " + PrintableName(name) + " holds a character a link name cannot");
  }
  if (name.back() == '.' || name.find("..") != std::string_view::npos) {
    return Quoted::Refused("the link name " + PrintableName(name) + " has an empty domain part");
  }
  return Quoted::Ok(std::string(name));
}

std::string PrintableName(std::string_view name) {
  constexpr std::size_t kShown = 80;
  std::string out;
  for (std::size_t i = 0; i < name.size() && i < kShown; ++i) {
    const auto c = static_cast<unsigned char>(name[i]);
    out += IsControl(c) ? '?' : name[i];
  }
  // Never end inside a UTF-8 sequence.
  if (name.size() > kShown) {
    while (!out.empty() && (static_cast<unsigned char>(out.back()) & 0xC0) == 0x80) out.pop_back();
    if (!out.empty() && static_cast<unsigned char>(out.back()) >= 0xC0) out.pop_back();
    out += "...";
  }
  return out;
}

}  // namespace quillon::repair
