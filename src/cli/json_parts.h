// Members the --json outputs of several commands share.
#pragma once

#include "reader/engine.h"
#include "reader/json_writer.h"

namespace quillon::cli {

// The identification members of an open object: system_datafile, release,
// release_code, supported, database, block_size and the datafiles array.
void WriteIdentificationMembers(JsonWriter& j, const COracleRecoveryTools& engine);

}  // namespace quillon::cli
