// The worker's notifications on a terminal: the report's log lines on the
// chosen stream, progress as a bar on stderr (when stderr is a terminal)
// named after the phase the scan is in: reading the dictionary, then
// counting each table.
#pragma once

#include <iosfwd>

#include "browse/worker_sink.h"
#include "cli/terminal_sink.h"

namespace quillon::cli {

class WorkerTerminalSink : public WorkerSink {
 public:
  WorkerTerminalSink(std::ostream* log, std::ostream& err, bool show_progress);

  void Progress(ProgressStep step, std::uint64_t value) override { terminal_.Progress(step, value); }
  void AppendLog(std::string_view text, LogMode mode) override;
  void Message(std::string_view text) override { terminal_.Message(text); }
  void BuildTree(const ObjectTree& tree) override;

  // Ends the current log line, if one is open.
  void FinishLog() { terminal_.FinishLog(); }

 private:
  TerminalSink terminal_;
  bool counting_ = false;
};

}  // namespace quillon::cli
