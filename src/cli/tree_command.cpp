// quillon tree DIR
//
// Reads the release, the datafiles and the dictionary of the database in
// DIR and prints the object tree as an indented outline: two blanks per
// level, the check box ("[x] " checked, "[ ] " unchecked, "[~] " partly
// checked, nothing for nodes without a box), the caption. Ctrl-C stops the
// dictionary reads (exit code 130).
#include <ostream>

#include "browse/log_text.h"
#include "browse/tree_generate.h"
#include "cli/cli.h"
#include "cli/interrupt.h"
#include "cli/terminal_sink.h"
#include "reader/dictionary_rebuild.h"
#include "reader/identify.h"

namespace quillon::cli {

int RunTree(std::span<const std::string> argv, Io& io) {
  const Args args(argv, {}, {});
  args.ExpectPositionals(1, 1);
  const std::string& dir = args.Positional(0, "DIR");
  const auto system = FindSystemDatafile(dir);
  if (!system) throw Failure{"no SYSTEM datafile found in " + dir};

  TerminalSink sink(nullptr, io.err, StderrIsTerminal());
  sink.SetPhase("Reading the dictionary");
  StopFlag stop;
  COracleRecoveryTools engine(sink, stop);
  const StopOnInterrupt on_interrupt(stop);
  IdentifyRelease(engine, *system);
  if (engine.identification.unsupported) throw Failure{"the release of " + *system + " is not supported"};
  ReadDictionary(engine);
  if (stop.requested()) {
    io.err << StopLine() << "\n";
    return kExitStopped;
  }
  io.out << GenerateTree(engine, dir).Outline();
  return kExitOk;
}

}  // namespace quillon::cli
