// The table phases of the repair, in the repair's order: clusters, tables,
// their key and check constraints, their indexes, column defaults and, once
// all rows are in, foreign keys.
#pragma once

#include <cstdint>
#include <vector>

#include "reader/catalogue_views.h"
#include "repair/statement_sink.h"

namespace quillon::repair {

// The tables the repair re-creates: those of users a new database does not
// have, leaving out the tables Oracle makes with another (the overflow of
// an index-organized table, the storage of a nested-table column).
std::vector<TableDefinition> TablesToRepair(const CatalogueViews& views);

// Hands the statements of the table phases to the sink. With only given,
// just that table's statements (its table, constraints, indexes, defaults
// and foreign keys).
void GenerateTablePhases(const CatalogueViews& views, StatementSink& sink);
void GenerateTableStatements(const CatalogueViews& views, std::uint32_t table_object_number, StatementSink& sink);

}  // namespace quillon::repair
