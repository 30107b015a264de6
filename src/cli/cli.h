// The command-line front end: one command per file, registered in a table.
#pragma once

#include <functional>
#include <iosfwd>
#include <map>
#include <optional>
#include <cstdint>
#include <set>
#include <span>
#include <string>
#include <vector>

namespace quillon {
struct CharsetInfo;
class StopFlag;
}

namespace quillon::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitStopped = 130;

// A usage error: the message goes to stderr and the program exits with 2.
struct UsageError {
  std::string message;
};
// Any other failure: a one-line message on stderr and exit code 1.
struct Failure {
  std::string message;
};

// Parsed arguments of one command: positionals, --flags and --options VALUE.
class Args {
 public:
  // flags: options without a value; options: options that take one.
  Args(std::span<const std::string> argv, const std::set<std::string>& flags,
       const std::set<std::string>& options);

  const std::vector<std::string>& positionals() const { return positionals_; }
  bool Has(const std::string& flag) const { return flags_.count(flag) != 0; }
  std::optional<std::string> Value(const std::string& option) const;
  // The positional at index; a UsageError names it when missing.
  const std::string& Positional(std::size_t index, const char* what) const;
  void ExpectPositionals(std::size_t min, std::size_t max) const;
  // An option's value as an unsigned number; a UsageError when it is not one.
  std::optional<std::uint64_t> Number(const std::string& option) const;

 private:
  std::vector<std::string> positionals_;
  std::set<std::string> flags_;
  std::map<std::string, std::string> values_;
};

std::uint64_t ParseNumber(const std::string& text, const char* what);
// Hexadecimal bytes; spaces, colons and commas between bytes are allowed.
std::vector<std::uint8_t> ParseHex(const std::string& text);

// The character set named by --charset (the default database character set
// when absent); a UsageError lists the known ones for an unknown name.
const CharsetInfo& CharsetOption(const Args& args);

struct Io {
  std::ostream& out;
  std::ostream& err;
};

struct Command {
  const char* name;
  const char* synopsis;  // the usage line after "quillon "
  const char* summary;   // one line for --help
  std::function<int(std::span<const std::string> args, Io& io)> run;
};

// Every command of the program, in the order --help lists them.
const std::vector<Command>& Commands();

// Runs the program with argv[1..]; returns the exit code.
int Run(std::span<const std::string> args, Io& io);

// Commands, each in its own file.
int RunIdentify(std::span<const std::string> args, Io& io);
int RunBlock(std::span<const std::string> args, Io& io);
int RunCatalogue(std::span<const std::string> args, Io& io);
int RunDecode(std::span<const std::string> args, Io& io);
int RunLocator(std::span<const std::string> args, Io& io);
int RunScan(std::span<const std::string> args, Io& io);
int RunTree(std::span<const std::string> args, Io& io);

// The scan command with the caller's stop flag (tests request the stop).
int RunScanWithStop(std::span<const std::string> args, Io& io, StopFlag& stop);
int RunRows(std::span<const std::string> args, Io& io);
int RunExport(std::span<const std::string> args, Io& io);
int RunDdl(std::span<const std::string> args, Io& io);
int RunRepair(std::span<const std::string> args, Io& io);

}  // namespace quillon::cli
