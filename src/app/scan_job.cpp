#include "app/scan_job.h"

#include "browse/worker.h"

namespace quillon::app {

Job MakeScanJob(COracleRecoveryTools& engine, const ScanRequest& request) {
  return [&engine, request](WorkerSink& sink, const StopFlag& stop) {
    CRecoverThread worker(engine, sink, stop,
                          WorkerRequest{ScanSource{request.source_path, request.system_datafile}, WorkerMode::kScan});
    worker.Run();
  };
}

}  // namespace quillon::app
