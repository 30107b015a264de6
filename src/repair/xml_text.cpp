#include "repair/xml_text.h"

namespace quillon::repair {

namespace {

std::string Escape(std::string_view text, bool attribute) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (const char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += attribute ? "&quot;" : "\""; break;
      case '\'': out += attribute ? "&apos;" : "'"; break;
      case '\t': out += attribute ? "&#9;" : "\t"; break;
      case '\n': out += attribute ? "&#10;" : "\n"; break;
      case '\r': out += "&#13;"; break;
      default:
        // Control characters other than tab and line ends are not XML
        // characters at all: they are left out.
        if (static_cast<unsigned char>(c) < 0x20) break;
        out += c;
    }
  }
  return out;
}

}  // namespace

std::string EscapeXmlText(std::string_view text) { return Escape(text, false); }
std::string EscapeXmlAttribute(std::string_view text) { return Escape(text, true); }

bool IsXmlName(std::string_view name) {
  if (name.empty()) return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    const auto c = static_cast<unsigned char>(name[i]);
    const bool start = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c >= 0x80;
    const bool more = (c >= '0' && c <= '9') || c == '.' || c == '-';
    if (!start && !(i > 0 && more)) return false;
  }
  return true;
}

}  // namespace quillon::repair
