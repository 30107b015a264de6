// The connection string handed to the ODBC driver manager.
//
// The user names a data source ("ORCL") or gives a whole connection string
// ("DRIVER={...};DBQ=..."); the user and the password are added as UID and
// PWD, each value that needs it in braces with every "}" doubled, so that a ";" or a "}"
// in a password cannot end the value and add keys of its own. A connection
// string that already holds a PWD or UID key is refused: the password never
// travels on a command line, and the user is given on its own.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillon::repair {

// "{value}" with "}" doubled.
std::string BraceQuote(std::string_view value);
// The value as it is when it holds nothing a connection string gives a
// meaning to (";", "{", "}", "=", blanks at its ends; some drivers take
// braces around a plain value as part of it), else braced.
std::string ConnectionValue(std::string_view value);

// The keys of a connection string, upper-cased, in order (a braced value
// may hold ";" and "=").
std::vector<std::string> ConnectionStringKeys(std::string_view text);

// A data source name or a connection string (it holds "=") with UID and
// PWD added; empty with the reason in error when it cannot be built.
std::string BuildConnectionString(std::string_view target, std::string_view user, std::string_view password,
                                  std::string& error);

}  // namespace quillon::repair
