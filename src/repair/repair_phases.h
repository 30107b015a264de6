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

}  // namespace quillon::repair
