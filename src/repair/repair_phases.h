// The storage and security phases of the repair, in the repair's order:
// tablespaces, datafiles, roles, users, the first run of the object
// privileges (before the objects exist), and their last run (after them).
#pragma once

#include "repair/catalogue_access.h"
#include "repair/statement_sink.h"
#include "repair/storage_ddl.h"

namespace quillon::repair {

// Hands the statements of those phases to the sink, each run once: a script
// gains nothing from running the same grants twice in a row.
void GenerateStorageAndSecurity(const RepairSource& source, const StorageTarget& target, StatementSink& sink);

// The whole repair's DDL so far: the storage and security phases with the
// table phases (clusters, tables, constraints, indexes, defaults, foreign
// keys) where the repair runs them, before the last run of the privileges.
void GenerateRepairDdl(const RepairSource& source, const StorageTarget& target, StatementSink& sink);

}  // namespace quillon::repair
