#include "cli/cli.h"

namespace quillon::cli {

const std::vector<Command>& Commands() {
  static const std::vector<Command> kCommands = {
      {"identify", "identify DIR [--json]",
       "identify the release and list the datafiles of the database in DIR", RunIdentify},
      {"block", "block FILE BLOCKNO [--block-size N] [--json]",
       "show the structure of one block of a datafile", RunBlock},
  };
  return kCommands;
}

}  // namespace quillon::cli
