// The job that Open Database starts: the worker's full scan (release and
// datafiles, dictionary, object tree, record counts, report) on the worker
// controller's thread. The window asks a ScanJobFactory for it, so tests can
// put a job of their own in its place.
#pragma once

#include <functional>
#include <string>

#include "app/worker_controller.h"
#include "reader/engine.h"

namespace quillon::app {

struct ScanRequest {
  std::string source_path;      // the chosen database folder
  std::string system_datafile;  // its SYSTEM datafile
};

// engine lives until the next Open Database, longer than the job; it was
// made with the controller's sink and stop flag, which the job is run with.
using ScanJobFactory = std::function<Job(COracleRecoveryTools& engine, const ScanRequest& request)>;

// The scan of CRecoverThread (browse/worker.h).
Job MakeScanJob(COracleRecoveryTools& engine, const ScanRequest& request);

}  // namespace quillon::app
