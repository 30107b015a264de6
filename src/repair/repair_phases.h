// The storage and security phases of the repair, in the repair's order:
// tablespaces, datafiles, roles, users, the first run of the object
// privileges (before the objects exist), and their last run (after them).
#pragma once

#include "repair/repair_source.h"
#include "repair/statement_sink.h"
#include "repair/storage_ddl.h"

namespace quillon::repair {

// Hands the statements of those phases to the sink, each run once: a script
// gains nothing from running the same grants twice in a row.
void GenerateStorageAndSecurity(const RepairSource& source, const StorageTarget& target, StatementSink& sink);

// The code phases of the repair, from the synonyms to the package bodies
// (sequences, views, triggers, functions, materialized view logs and views,
// type bodies, procedures, packages), then RetryFailed: a sink that
// executes statements runs the views, triggers and units that failed once
// more, now that every object they may use exists.
void GenerateCodePhases(const Catalogue& c, StatementSink& sink);

// The whole repair's DDL: the storage and security phases, database links,
// types (with RetryFailed after them), XML schemas, the table phases
// (clusters, tables, constraints, indexes, defaults, foreign keys) where
// the repair runs them, the code phases, and the last run of the
// privileges.
void GenerateRepairDdl(const RepairSource& source, const StorageTarget& target, StatementSink& sink);

}  // namespace quillon::repair
