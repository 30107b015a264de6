// The text listing of `quillon catalogue`: users and roles, tablespaces and
// datafiles, every object by kind with its owner and name (tables with their
// columns, constraints and partitions, indexes with their table), and the
// counters of the scan report. Written from the catalogue views, so its
// joins are those of the JSON form.
#pragma once

#include <ostream>
#include <vector>

#include "reader/catalogue.h"
#include "reader/catalogue_view_security.h"

namespace quillon::cli {

void WriteCatalogueListing(const Catalogue& catalogue, const std::vector<DatafileDefinition>& datafiles,
                           std::ostream& out);

}  // namespace quillon::cli
