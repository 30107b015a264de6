// The application state the main window keeps between commands: what was
// chosen, what has happened since, and the engine of the open database.
#pragma once

#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "browse/record_columns.h"
#include "browse/record_view_state.h"
#include "reader/engine.h"

namespace quillon::app {

struct AppState {
  QString source_database_path;    // the chosen folder; the tree's root caption
  QString system_datafile;         // its SYSTEM datafile, empty when none
  bool database_opened = false;    // a database was opened since start-up
  bool scan_completed = false;     // the engine holds a complete catalogue
  bool view_only = false;          // the running job only displays
  bool log_has_text = false;       // the log holds more than its header
  bool search_started = false;     // Find has been used since start-up
  // The engine of the open database; replaced by every Open Database.
  std::unique_ptr<COracleRecoveryTools> engine;
  // The record view: the table's columns (built here) and its paging state
  // (written by the record job while it runs).
  RecordColumns record_columns;
  RecordViewState record_view;
  // RepairTableList: OWNER.TABLE of each table the running or last repair
  // writes, in tree order.
  std::vector<std::string> repair_tables;
};

}  // namespace quillon::app
