// Runs the command line in-process for tests: exit code and both outputs.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace quillon::test {

struct CliOutput {
  int code;
  std::string out;
  std::string err;
};

inline CliOutput RunCli(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  cli::Io io{out, err};
  const int code = cli::Run(args, io);
  return {code, out.str(), err.str()};
}

}  // namespace quillon::test
