#include "cli/cli.h"

#include "reader/charset.h"

#include <charconv>
#include <ostream>

namespace quillon::cli {

Args::Args(std::span<const std::string> argv, const std::set<std::string>& flags,
           const std::set<std::string>& options) {
  bool only_positionals = false;
  for (std::size_t i = 0; i < argv.size(); ++i) {
    const std::string& a = argv[i];
    if (only_positionals || a.size() < 2 || a[0] != '-' || a == "-") {
      positionals_.push_back(a);
      continue;
    }
    if (a == "--") {
      only_positionals = true;
      continue;
    }
    std::string name = a;
    std::optional<std::string> inline_value;
    if (const auto eq = a.find('='); eq != std::string::npos && a.rfind("--", 0) == 0) {
      name = a.substr(0, eq);
      inline_value = a.substr(eq + 1);
    }
    if (flags.count(name)) {
      if (inline_value) throw UsageError{"option " + name + " takes no value"};
      flags_.insert(name);
    } else if (options.count(name)) {
      if (inline_value) {
        values_[name] = *inline_value;
      } else {
        if (i + 1 >= argv.size()) throw UsageError{"option " + name + " needs a value"};
        values_[name] = argv[++i];
      }
    } else {
      throw UsageError{"unknown option " + name};
    }
  }
}

std::optional<std::string> Args::Value(const std::string& option) const {
  const auto it = values_.find(option);
  if (it == values_.end()) return std::nullopt;
  return it->second;
}

const std::string& Args::Positional(std::size_t index, const char* what) const {
  if (index >= positionals_.size()) throw UsageError{std::string("missing ") + what};
  return positionals_[index];
}

void Args::ExpectPositionals(std::size_t min, std::size_t max) const {
  if (positionals_.size() < min) throw UsageError{"too few arguments"};
  if (positionals_.size() > max) throw UsageError{"unexpected argument " + positionals_[max]};
}

std::optional<std::uint64_t> Args::Number(const std::string& option) const {
  const auto v = Value(option);
  if (!v) return std::nullopt;
  return ParseNumber(*v, option.c_str());
}

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::vector<std::uint8_t> ParseHex(const std::string& text) {
  std::vector<std::uint8_t> bytes;
  int high = -1;
  for (const char c : text) {
    if (c == ' ' || c == ':' || c == ',') {
      if (high >= 0) throw UsageError{"HEX: a byte needs two digits: " + text};
      continue;
    }
    const int v = HexDigit(c);
    if (v < 0) throw UsageError{"HEX: not a hexadecimal digit: " + std::string(1, c)};
    if (high < 0) {
      high = v;
    } else {
      bytes.push_back(static_cast<std::uint8_t>(high * 16 + v));
      high = -1;
    }
  }
  if (high >= 0) throw UsageError{"HEX: odd number of digits: " + text};
  return bytes;
}

std::uint64_t ParseNumber(const std::string& text, const char* what) {
  std::uint64_t n = 0;
  int base = 10;
  std::string_view digits = text;
  if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
    base = 16;
    digits.remove_prefix(2);
  }
  const auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n, base);
  if (ec != std::errc() || ptr != digits.data() + digits.size() || digits.empty()) {
    throw UsageError{std::string(what) + ": not a number: " + text};
  }
  return n;
}

namespace {

void PrintHelp(std::ostream& out) {
  out << "Quillon " << QUILLON_VERSION
      << ": rescues the contents of an Oracle database straight from its datafiles.\n\n"
         "Usage:\n";
  for (const auto& c : Commands()) out << "  quillon " << c.synopsis << "\n";
  out << "\nCommands:\n";
  for (const auto& c : Commands()) {
    std::string name = c.name;
    name.resize(12, ' ');
    out << "  " << name << c.summary << "\n";
  }
  out << "\nValues: rows --format table shows the record view's texts. CSV and JSON (rows, export)\n"
         "write data: NUMBER as canonical decimals exact to the last digit (100, 0.2, -0.5, 0;\n"
         "1.5E+125 beyond 40 digits), JSON numbers in JSON; DATE and TIMESTAMP as ISO 8601\n"
         "(2003-01-01T00:00:00.25: fractions as stored, without trailing zeros; +02:00 for an\n"
         "offset, Z in UTC for a time zone region; 4712 BC as -4711); intervals as ISO 8601\n"
         "durations (P1Y2M, -P3DT4H5M6.5S); BINARY_FLOAT and BINARY_DOUBLE as the shortest text\n"
         "that reads back the same (NaN, Infinity, -Infinity in CSV; null in JSON, counted in a\n"
         "warning); RAW and binary LOBs in hexadecimal.\n"
         "\nOptions:\n  --help     show this help\n  --version  show the version\n"
         "\nExit codes: 0 success, 1 failure, 2 usage error, 130 stopped by the user.\n";
}

}  // namespace

int Run(std::span<const std::string> args, Io& io) {
  if (args.empty()) {
    PrintHelp(io.err);
    return kExitUsage;
  }
  const std::string& first = args[0];
  if (first == "--help" || first == "-h" || first == "help") {
    PrintHelp(io.out);
    return kExitOk;
  }
  if (first == "--version") {
    io.out << "quillon " << QUILLON_VERSION << "\n";
    return kExitOk;
  }
  for (const auto& c : Commands()) {
    if (first != c.name) continue;
    const auto rest = args.subspan(1);
    for (const auto& a : rest) {
      if (a == "--help" || a == "-h") {
        io.out << "Usage: quillon " << c.synopsis << "\n" << c.summary << "\n";
        return kExitOk;
      }
    }
    try {
      return c.run(rest, io);
    } catch (const UsageError& e) {
      io.err << "quillon " << c.name << ": " << e.message << "\nUsage: quillon " << c.synopsis << "\n";
      return kExitUsage;
    } catch (const Failure& e) {
      io.err << "quillon " << c.name << ": " << e.message << "\n";
      return kExitFailure;
    } catch (const std::exception& e) {
      io.err << "quillon " << c.name << ": " << e.what() << "\n";
      return kExitFailure;
    }
  }
  io.err << "quillon: unknown command " << first << "\n";
  PrintHelp(io.err);
  return kExitUsage;
}

const CharsetInfo& CharsetOption(const Args& args) {
  const auto name = args.Value("--charset");
  if (!name) return DefaultDatabaseCharset();
  const CharsetInfo* charset = FindCharset(std::string_view(*name));
  if (charset == nullptr) {
    std::string known;
    for (const auto& c : KnownCharsets()) known += (known.empty() ? "" : " ") + std::string(c.name);
    throw UsageError{"unknown character set " + *name + " (known: " + known + ")"};
  }
  return *charset;
}

}  // namespace quillon::cli
