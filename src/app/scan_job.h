// The job that Open Database starts. The window asks a ScanJobFactory for it,
// so the full scan (dictionary rebuild, tree, record counts) replaces the
// release identification below without any change to the window.
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

// engine lives until the next Open Database, longer than the job.
using ScanJobFactory = std::function<Job(COracleRecoveryTools& engine, const ScanRequest& request)>;

// Identifies the release and registers the datafiles, writing the opening
// lines of the scan report.
Job MakeIdentificationJob(COracleRecoveryTools& engine, const ScanRequest& request);

}  // namespace quillon::app
