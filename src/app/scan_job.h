// The jobs the window starts on the worker controller's thread. Open
// Database starts the worker's full scan (release and datafiles, dictionary,
// object tree, record counts, report); the window asks a ScanJobFactory for
// it, so tests can put a job of their own in its place. A click on a table,
// "Next" and "Previous" start the worker's record mode for one page.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/worker_controller.h"
#include "browse/record_view_state.h"
#include "browse/worker.h"
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

// One page of the record view: the table and page that state names. The job
// writes state's page index and page count; the window reads them only once
// the job has ended. engine and state outlive the job.
Job MakeRecordJob(COracleRecoveryTools& engine, const ScanRequest& request, RecordViewState& state);

// A repair: the target, connected on the GUI thread, and what the worker
// writes into it. The job owns it; the target goes when the job does.
struct RepairSetup {
  std::unique_ptr<repair::Target> target;
  RepairRequest request;  // request.target points at target
};

// The repair of CRecoverThread (browse/worker.h) into setup's target.
Job MakeRepairJob(COracleRecoveryTools& engine, const ScanRequest& request, std::shared_ptr<RepairSetup> setup);

}  // namespace quillon::app
