// Files that lie beside the datafiles of a real database and must not be
// taken for datafiles of it: control files (no 0x0B header block), online
// redo logs (512-byte blocks, header block of type 0x01), a datafile of
// another database, and a datafile of this database in a sub-folder.
#pragma once

#include <string>
#include <vector>

#include "testdb/layout_result.h"
#include "testdb/model.h"
#include "testdb/release_profile.h"

namespace quillon::testdb {

bool WriteDecoys(const DatabaseModel& model, const ReleaseProfile& release, const std::string& folder,
                 std::vector<DecoyFile>& out, std::string& error);

}  // namespace quillon::testdb
