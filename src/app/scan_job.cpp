#include "app/scan_job.h"

#include "browse/worker.h"

namespace quillon::app {

namespace {

Job WorkerJob(COracleRecoveryTools& engine, const ScanRequest& request, WorkerMode mode,
              RecordViewState* records) {
  return [&engine, source = ScanSource{request.source_path, request.system_datafile}, mode, records](
             WorkerSink& sink, const StopFlag& stop) {
    CRecoverThread worker(engine, sink, stop, WorkerRequest{source, mode, records});
    worker.Run();
  };
}

}  // namespace

Job MakeScanJob(COracleRecoveryTools& engine, const ScanRequest& request) {
  return WorkerJob(engine, request, WorkerMode::kScan, nullptr);
}

Job MakeRecordJob(COracleRecoveryTools& engine, const ScanRequest& request, RecordViewState& state) {
  return WorkerJob(engine, request, WorkerMode::kRecords, &state);
}

Job MakeRepairJob(COracleRecoveryTools& engine, const ScanRequest& request, std::shared_ptr<RepairSetup> setup) {
  setup->request.target = setup->target.get();
  return [&engine, source = ScanSource{request.source_path, request.system_datafile}, setup = std::move(setup)](
             WorkerSink& sink, const StopFlag& stop) {
    CRecoverThread worker(engine, sink, stop, WorkerRequest{source, WorkerMode::kRepair, nullptr, &setup->request});
    worker.Run();
  };
}

}  // namespace quillon::app
