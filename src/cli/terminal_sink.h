// The command line's notification sink: progress as a bar on stderr when
// stderr is a terminal, messages on stderr, log lines to a chosen stream.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

#include "reader/notify.h"

namespace quillon::cli {

class TerminalSink : public NotificationSink {
 public:
  // log: where log lines go (nullptr: nowhere); err: messages and progress.
  TerminalSink(std::ostream* log, std::ostream& err, bool show_progress);
  ~TerminalSink() override;

  void Progress(ProgressStep step, std::uint64_t value) override;
  void AppendLog(std::string_view text, LogMode mode) override;
  void Message(std::string_view text) override;
  // Where log lines go from now on (nullptr: nowhere).
  void SetLog(std::ostream* log) { log_ = log; }
  // The phase named on the progress bar.
  void SetPhase(std::string phase) { phase_ = std::move(phase); }
  // Ends the current log line, if one is open.
  void FinishLog();

 private:
  void DrawBar();
  void ClearBar();

  std::ostream* log_;
  std::ostream& err_;
  bool show_progress_;
  bool line_open_ = false;
  bool bar_shown_ = false;
  std::string phase_;
  std::uint64_t total_ = 0;
  std::uint64_t done_ = 0;
  int last_percent_ = -1;
};

// True when the stream is the process's stderr and that is a terminal.
bool StderrIsTerminal();

}  // namespace quillon::cli
