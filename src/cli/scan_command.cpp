// quillon scan DIR [--json]
//
// The whole scan on a worker thread: the report as the message log shows it
// (or, with --json, the same results as one object), progress on stderr
// when it is a terminal. Ctrl-C stops the worker at its next poll; the
// report then ends with the stop line and the exit code is 130.
#include <ostream>

#include "browse/log_text.h"
#include "browse/worker.h"
#include "cli/cli.h"
#include "cli/damage_report.h"
#include "cli/interrupt.h"
#include "cli/json_parts.h"
#include "cli/worker_terminal_sink.h"
#include "reader/identify.h"

namespace quillon::cli {

namespace {

void WriteJson(std::ostream& out, const std::string& dir, const COracleRecoveryTools& engine,
               const WorkerResult& r) {
  JsonWriter j(true);
  j.BeginObject();
  j.Member("source", dir);
  WriteIdentificationMembers(j, engine);
  j.Member("stopped", r.stopped);
  j.Member("completed", r.finished);
  j.Key("counters").BeginObject();
  for (const CounterLabel& label : CounterLabels()) j.Member(label.key, ScanCounterValue(engine, label.counter));
  j.EndObject();
  j.Key("tables").BeginArray();
  for (const TableCount& t : r.tables) {
    j.BeginObject();
    j.Member("table", t.text);
    j.Key("records");
    if (t.complete) {
      j.UInt(t.records);
    } else {
      j.Null();
    }
    j.Member("suffix", t.suffix);
    j.Member("has_columns", t.has_columns);
    j.Member("blocks", t.blocks);
    j.Member("unreadable_blocks", t.blocks_unreadable);
    j.Key("bad_checksum_blocks");
    WriteBlockAddresses(j, t.bad_checksum_blocks);
    j.Member("suspect_records", t.suspect_records);
    j.Member("missing_blocks", t.blocks_missing);
    j.Key("missing");
    WriteMissingBlocks(j, t.missing);
    j.EndObject();
  }
  j.EndArray();
  j.EndObject();
  out << j.str() << "\n";
}

}  // namespace

int RunScanWithStop(std::span<const std::string> argv, Io& io, StopFlag& stop) {
  const Args args(argv, {"--json"}, {});
  args.ExpectPositionals(1, 1);
  const std::string& dir = args.Positional(0, "DIR");
  const auto system = FindSystemDatafile(dir);
  if (!system) throw Failure{"no SYSTEM datafile found in " + dir};
  const bool json = args.Has("--json");

  WorkerTerminalSink sink(json ? nullptr : &io.out, io.err, StderrIsTerminal());
  COracleRecoveryTools engine(sink, stop);
  CRecoverThread worker(engine, sink, stop, WorkerRequest{{dir, *system}, WorkerMode::kScan});
  {
    const StopOnInterrupt on_interrupt(stop);
    const std::jthread thread = StartWorkerThread(worker);
  }
  const WorkerResult& result = worker.result();
  if (json) {
    WriteJson(io.out, dir, engine, result);
  } else {
    if (result.stopped) sink.AppendLog(StopLine(), LogMode::kNewLine);
    sink.FinishLog();
  }
  if (result.stopped) return kExitStopped;
  return result.unsupported ? kExitFailure : kExitOk;
}

int RunScan(std::span<const std::string> argv, Io& io) {
  StopFlag stop;
  return RunScanWithStop(argv, io, stop);
}

}  // namespace quillon::cli
