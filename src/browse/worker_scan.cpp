// The scan branch of the worker: every step writes its report lines in the
// order the message log shows them.
#include "browse/log_text.h"
#include "browse/tree_generate.h"
#include "browse/worker.h"
#include "reader/dictionary_rebuild.h"
#include "reader/identify.h"

namespace quillon {

namespace {

// The folder as chosen, without the separators it ends in.
std::string WithoutTrailingSeparators(std::string path) {
  while (!path.empty() && (path.back() == '/' || path.back() == '\\')) path.pop_back();
  return path;
}

}  // namespace

std::uint64_t ScanCounterValue(const COracleRecoveryTools& engine, Counter counter) {
  return counter == Counter::kDatafiles ? engine.datafile_count() : engine.catalogue.count(counter);
}

void CRecoverThread::RunScan() {
  using namespace scan_text;
  const ScanSource& source = request_.source;
  if (!source.system_datafile.empty()) LogBlank();
  if (StopPolled()) return;

  LogLine(std::string(kStarted) + " " + ReportDate());
  LogBlank();
  LogLine(kSelectedDatabase + WithoutTrailingSeparators(source.database_path));
  LogLine(kScanningDatabase);
  LogBlank();

  IdentifyRelease(engine_, source.system_datafile);
  LogLine(kReleaseOpen + engine_.release_text() + kReleaseClose);
  LogBlank();
  if (engine_.identification.unsupported) {
    result_.unsupported = true;
    LogLine(DotLine(kSeparatorDots));
    LogLine(std::string(kUnsupported) + " " + ReportDate());
    return;
  }

  ReadDictionary(engine_);
  if (StopPolled()) return;

  ObjectTree tree = GenerateTree(engine_, source.database_path);
  sink_.BuildTree(tree);
  result_.tree_built = true;

  const Catalogue& cat = engine_.catalogue;
  LogLine(std::string(kTablesPresent) + "  " + std::to_string(cat.count(Counter::kTables)));
  LogBlank();

  const bool counted = CountShownTables(engine_, tree.shown_tables(), result_.tables);
  tree.ClearShownTables();
  if (!counted) {
    result_.stopped = true;
    return;
  }

  LogLine(DotLine(kSeparatorDots));
  for (const CounterLabel& label : CounterLabels()) {
    if (label.label.empty()) continue;  // the table count stands above
    LogLine(std::string(label.label) + std::to_string(ScanCounterValue(engine_, label.counter)));
  }
  for (const std::string& line : DamageReportLines(result_.tables)) LogLine(line);
  LogLine(DotLine(kSeparatorDots));
  LogLine(std::string(kCompleted) + " " + ReportDate());
  result_.finished = true;
}

}  // namespace quillon
