// The repair branch of the worker: the tables of the request written into
// the connected target (repair/repair_process.h), then the target
// disconnected and the side texts and failures written beside the output.
#include <fstream>

#include "browse/worker.h"

namespace quillon {

namespace {

void WriteText(const std::string& path, const std::string& text, std::ios::openmode mode) {
  if (path.empty() || text.empty()) return;
  std::ofstream out(path, std::ios::binary | mode);
  out << text;
}

}  // namespace

void CRecoverThread::RunRepair() {
  const RepairRequest* request = request_.repair_request;
  if (request == nullptr || request->target == nullptr) {
    LogBlank();
    LogLine(scan_text::kRepairUnavailable);
    return;
  }
  repair::RepairResult repaired = repair::RunRepair(engine_, *request->target, request->dialect, request->tables, request->oracle);
  request->target->Disconnect();
  WriteText(request->side_file, repaired.side_text, std::ios::trunc);
  WriteText(request->errors_file, repaired.errors_text, std::ios::app);
  sink_.ShowMemory();
  result_.stopped = repaired.stopped || result_.stopped;
  result_.finished = !result_.stopped;
  result_.repair_result = std::move(repaired);
}

}  // namespace quillon
