#include "repair/odbc_connection_string.h"

#include <cctype>

namespace quillon::repair {

std::string ConnectionValue(std::string_view value) {
  const bool plain = !value.empty() && value.find_first_of(";{}=") == std::string_view::npos && value.front() != ' ' &&
                     value.back() != ' ';
  return plain ? std::string(value) : BraceQuote(value);
}

std::string BraceQuote(std::string_view value) {
  std::string out = "{";
  for (const char c : value) {
    out += c;
    if (c == '}') out += '}';
  }
  out += '}';
  return out;
}

namespace {

std::string Trimmed(std::string_view s) {
  std::size_t b = 0;
  std::size_t e = s.size();
  while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
  return std::string(s.substr(b, e - b));
}

}  // namespace

std::vector<std::string> ConnectionStringKeys(std::string_view text) {
  std::vector<std::string> keys;
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t eq = text.find('=', i);
    const std::size_t semi = text.find(';', i);
    if (eq == std::string_view::npos || (semi != std::string_view::npos && semi < eq)) {
      // A part without "=" (or a stray ";").
      if (semi == std::string_view::npos) break;
      i = semi + 1;
      continue;
    }
    std::string key = Trimmed(text.substr(i, eq - i));
    for (char& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (!key.empty()) keys.push_back(key);
    std::size_t j = eq + 1;
    while (j < text.size() && text[j] == ' ') ++j;
    if (j < text.size() && text[j] == '{') {
      // A braced value ends at a "}" that is not doubled.
      ++j;
      while (j < text.size()) {
        if (text[j] == '}') {
          if (j + 1 < text.size() && text[j + 1] == '}') {
            j += 2;
            continue;
          }
          ++j;
          break;
        }
        ++j;
      }
    }
    const std::size_t end = text.find(';', j);
    if (end == std::string_view::npos) break;
    i = end + 1;
  }
  return keys;
}

std::string BuildConnectionString(std::string_view target, std::string_view user, std::string_view password,
                                  std::string& error) {
  error.clear();
  const auto has_nul = [](std::string_view s) { return s.find('\0') != std::string_view::npos; };
  if (has_nul(target) || has_nul(user) || has_nul(password)) {
    error = "a NUL character cannot be passed to the driver";
    return {};
  }
  std::string text;
  if (target.find('=') == std::string_view::npos) {
    if (Trimmed(target).empty()) {
      error = "no data source name";
      return {};
    }
    text = "DSN=" + ConnectionValue(target);
  } else {
    for (const std::string& key : ConnectionStringKeys(target)) {
      if (key == "PWD" || key == "PASSWORD") {
        error = "the connection string holds a password; give it with --password-file or QUILLON_TARGET_PASSWORD";
        return {};
      }
      if (key == "UID" || key == "USER" || key == "USERNAME") {
        error = "the connection string holds a user; give it with --odbc-user";
        return {};
      }
    }
    text = std::string(target);
    while (!text.empty() && (text.back() == ';' || text.back() == ' ')) text.pop_back();
  }
  text += ";UID=" + ConnectionValue(user) + ";PWD=" + ConnectionValue(password) + ";";
  return text;
}

}  // namespace quillon::repair
