#include "cli/worker_terminal_sink.h"

namespace quillon::cli {

namespace {

constexpr std::string_view kTableLineEnd = " : ";

}  // namespace

WorkerTerminalSink::WorkerTerminalSink(std::ostream* log, std::ostream& err, bool show_progress)
    : terminal_(log, err, show_progress) {
  terminal_.SetPhase("Reading the dictionary");
}

void WorkerTerminalSink::AppendLog(std::string_view text, LogMode mode) {
  // While counting, a new line "OWNER.TABLE : " names the table being counted.
  if (counting_ && mode == LogMode::kNewLine && text.ends_with(kTableLineEnd)) {
    terminal_.SetPhase("Counting " + std::string(text.substr(0, text.size() - kTableLineEnd.size())));
  }
  terminal_.AppendLog(text, mode);
}

void WorkerTerminalSink::BuildTree(const ObjectTree& /*tree*/) {
  counting_ = true;
  terminal_.SetPhase("Counting records");
}

}  // namespace quillon::cli
