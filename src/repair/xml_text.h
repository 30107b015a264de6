// XML text escaping, for the XML documents the repair writes (registered
// schemas, XMLType values).
#pragma once

#include <string>
#include <string_view>

namespace quillon::repair {

// Character data: "&", "<" and ">" as entities.
std::string EscapeXmlText(std::string_view text);
// An attribute value in double quotes: also '"' and "'" as entities, and
// tabs and line ends as character references (an attribute keeps them).
std::string EscapeXmlAttribute(std::string_view text);

// Whether a name can stand as an element or attribute name: a letter, "_"
// or a non-ASCII character first, then also digits, ".", "-" (no ":": the
// names written carry no prefix).
bool IsXmlName(std::string_view name);

}  // namespace quillon::repair
