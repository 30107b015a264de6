// Constraint, index and cluster DDL: the clusters the tables are stored in
// (before the tables), the primary-key, unique and check constraints and the
// indexes of the tables (after the tables, before their rows), and the
// foreign keys (after all rows).
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "reader/catalogue_view_indexes.h"
#include "reader/catalogue_view_tables.h"
#include "repair/statement_sink.h"

namespace quillon::repair {

inline constexpr std::string_view kPhaseCluster = "Repairing Cluster ";
inline constexpr std::string_view kPhaseConstraint = "Repairing Constraint ";
inline constexpr std::string_view kPhaseIndex = "Repairing Index ";
inline constexpr std::string_view kPhaseForeignKey = "Repairing Foreign Key ";

// The state a constraint is re-created in, written after its closing ")":
// deferrability and RELY as the DEFER bits say, then DISABLE / DISABLE
// VALIDATE for disabled constraints and ENABLE NOVALIDATE for enabled ones
// the source never validated (rows that break them exist there).
std::string ConstraintStateSuffix(const ConstraintDefinition& constraint);

void CreateClusters(std::span<const ClusterDefinition> clusters, StatementSink& sink);
void AddKeyAndCheckConstraints(std::span<const TableDefinition> tables, StatementSink& sink);
void CreateIndexes(std::span<const IndexDefinition> indexes, std::span<const TableDefinition> tables,
                   StatementSink& sink);
void AddForeignKeys(std::span<const TableDefinition> tables, StatementSink& sink);

}  // namespace quillon::repair
