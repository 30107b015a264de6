#include "app/scan_job.h"

#include <filesystem>

#include "browse/log_text.h"
#include "reader/identify.h"

namespace quillon::app {

namespace {

std::string TrimTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

}  // namespace

Job MakeIdentificationJob(COracleRecoveryTools& engine, const ScanRequest& request) {
  return [&engine, request](WorkerSink& sink, const StopFlag& stop) {
    const auto line = [&sink](const std::string& text) { sink.AppendLog(text, LogMode::kNewLine); };
    const auto date = [] { return ReportDate(); };
    sink.ShowCount(0);
    const std::string file_name = std::filesystem::path(request.system_datafile).filename().string();
    if (!file_name.empty()) line("");
    if (stop.requested()) return;
    line("Scanning Process Started On " + date());
    line("");
    line("Selected Database For Repair  : " + TrimTrailingSlashes(request.source_path));
    line("Scanning Database......");
    line("");
    IdentifyRelease(engine, request.system_datafile);
    line("( Major Version Of Selected  Database is Oracle " + engine.release_text() + " )");
    line("");
    if (engine.identification.unsupported) {
      line(DotLine(75));
      line("This Version not supported so scanning stopped On  " + date());
      return;
    }
    if (stop.requested()) return;
    line("Total DataFile in Database                      : " + std::to_string(engine.datafile_count()));
    sink.ShowMemory();
  };
}

}  // namespace quillon::app
