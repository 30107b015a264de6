#include "cli/terminal_sink.h"

#include <ostream>
#include <unistd.h>

namespace quillon::cli {

bool StderrIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

TerminalSink::TerminalSink(std::ostream* log, std::ostream& err, bool show_progress)
    : log_(log), err_(err), show_progress_(show_progress) {}

TerminalSink::~TerminalSink() {
  ClearBar();
}

void TerminalSink::Progress(ProgressStep step, std::uint64_t value) {
  if (!show_progress_) return;
  switch (step) {
    case ProgressStep::kStart:
      total_ = value;
      done_ = 0;
      last_percent_ = -1;
      DrawBar();
      break;
    case ProgressStep::kStep:
      ++done_;
      DrawBar();
      break;
    case ProgressStep::kFinish:
      ClearBar();
      break;
  }
}

void TerminalSink::DrawBar() {
  const int percent = total_ == 0 ? 0 : static_cast<int>(std::min<std::uint64_t>(done_, total_) * 100 / total_);
  if (percent == last_percent_) return;
  last_percent_ = percent;
  constexpr int kWidth = 30;
  const int filled = percent * kWidth / 100;
  std::string bar(static_cast<std::size_t>(filled), '#');
  bar.resize(kWidth, '.');
  err_ << "\r\033[K" << (phase_.empty() ? "Processing" : phase_) << " [" << bar << "] " << percent << "%"
       << std::flush;
  bar_shown_ = true;
}

void TerminalSink::ClearBar() {
  if (!bar_shown_) return;
  err_ << "\r\033[K" << std::flush;
  bar_shown_ = false;
}

void TerminalSink::AppendLog(std::string_view text, LogMode mode) {
  if (!log_) return;
  ClearBar();
  if (mode == LogMode::kNewLine && line_open_) *log_ << "\n";
  *log_ << text;
  line_open_ = true;
  log_->flush();
}

void TerminalSink::FinishLog() {
  if (log_ && line_open_) {
    *log_ << "\n";
    log_->flush();
  }
  line_open_ = false;
}

void TerminalSink::Message(std::string_view text) {
  ClearBar();
  err_ << text << "\n";
}

}  // namespace quillon::cli
