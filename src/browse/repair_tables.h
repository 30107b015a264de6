// The tables a repair writes: the tree's checked tables (RepairTableList,
// OWNER.TABLE in tree order) with the catalogue's object number of each.
//
// The two lists stay in step: position i of names is position i of
// objects, which is the position the repair reports when it has finished a
// table (WorkerSink::UncheckTable). A checked name that no table of the
// catalogue carries (the tree is built from the catalogue, so only a
// damaged dictionary gives one) is left out of both.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "browse/object_tree.h"
#include "reader/catalogue.h"

namespace quillon {

struct RepairTables {
  std::vector<std::string> names;
  std::vector<std::uint32_t> objects;
};

RepairTables SelectRepairTables(const ObjectTree& tree, const Catalogue& catalogue);

}  // namespace quillon
