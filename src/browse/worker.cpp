#include "browse/worker.h"

#include <stdexcept>

#include "browse/record_view_worker.h"

namespace quillon {

const CRecoverThread::ModeEntry CRecoverThread::kModes[] = {
    {WorkerMode::kScan, &CRecoverThread::RunScan},
    {WorkerMode::kRepair, &CRecoverThread::RunRepair},
    {WorkerMode::kRecords, &CRecoverThread::RunRecords},
};

CRecoverThread::CRecoverThread(COracleRecoveryTools& engine, WorkerSink& sink, const StopFlag& stop,
                               WorkerRequest request)
    : engine_(engine), sink_(sink), stop_(stop), request_(std::move(request)) {
  if (&engine.sink() != &sink || &engine.stop() != &stop) {
    throw std::invalid_argument("the worker and its engine must share the sink and the stop flag");
  }
}

WorkerMode CRecoverThread::ChosenMode() const {
  if (request_.mode) return *request_.mode;
  const Catalogue& cat = engine_.catalogue;
  const bool filled = !cat.ObjectsOfKind(ObjectKind::kTable).empty() || !cat.tables.empty();
  return filled ? WorkerMode::kRepair : WorkerMode::kScan;
}

void CRecoverThread::LogLine(const std::string& text) { sink_.AppendLog(text, LogMode::kNewLine); }

bool CRecoverThread::StopPolled() {
  if (stop_.requested()) result_.stopped = true;
  return result_.stopped;
}

void CRecoverThread::Run() {
  engine_.layout_variant = 0;
  if (!StopPolled()) {
    sink_.ShowCount(0);
    result_.mode = ChosenMode();
    for (const ModeEntry& entry : kModes) {
      if (entry.mode == result_.mode) {
        (this->*entry.run)();
        break;
      }
    }
  }
  sink_.ProcessEnded();
}

void CRecoverThread::RunRecords() {
  if (!request_.records) return;
  BlockSource source(engine_.datafiles);
  result_.stopped = RunRecordMode(engine_, source, *request_.records, sink_).stopped;
  result_.finished = !result_.stopped;
}

std::jthread StartWorkerThread(CRecoverThread& worker) {
  return std::jthread([&worker] { worker.Run(); });
}

}  // namespace quillon
