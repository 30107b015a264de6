#include "repair/table_phases.h"

#include "reader/catalogue_view_security.h"
#include "repair/key_ddl.h"
#include "repair/table_ddl.h"

namespace quillon::repair {

namespace {

// The indexes of the tables, after those of the clusters (a cluster's index
// has the cluster as its base object).
std::vector<IndexDefinition> IndexesOf(const CatalogueViews& views, const std::vector<TableDefinition>& tables,
                                       const std::vector<ClusterDefinition>& clusters) {
  std::vector<IndexDefinition> out;
  for (const ClusterDefinition& c : clusters) {
    for (IndexDefinition& ix : views.IndexesOf(c.object.object_number)) out.push_back(std::move(ix));
  }
  for (const TableDefinition& t : tables) {
    for (IndexDefinition& ix : views.IndexesOf(t.object.object_number)) out.push_back(std::move(ix));
  }
  return out;
}

void TablePhases(const CatalogueViews& views, const std::vector<TableDefinition>& tables,
                 const std::vector<ClusterDefinition>& clusters, StatementSink& sink) {
  sink.BeginPhase(kPhaseTable);
  for (const TableDefinition& t : tables) CreateTableStatement(t, sink);
  sink.BeginPhase(kPhaseConstraint);
  AddKeyAndCheckConstraints(tables, sink);
  sink.BeginPhase(kPhaseIndex);
  CreateIndexes(IndexesOf(views, tables, clusters), tables, sink);
  sink.BeginPhase(kPhaseColumnDefault);
  ApplyColumnDefaults(tables, sink);
  sink.BeginPhase(kPhaseForeignKey);
  AddForeignKeys(tables, sink);
}

}  // namespace

std::vector<TableDefinition> TablesToRepair(const CatalogueViews& views) {
  std::vector<TableDefinition> out;
  for (TableDefinition& t : views.Tables()) {
    if (IsBuiltinUser(t.object.owner)) continue;
    if (t.iot_overflow_segment || t.nested_table_storage) continue;
    if (t.object.name.rfind("BIN$", 0) == 0) continue;  // dropped, in the recycle bin
    out.push_back(std::move(t));
  }
  return out;
}

void GenerateTablePhases(const CatalogueViews& views, StatementSink& sink) {
  std::vector<ClusterDefinition> clusters;
  for (const ObjectRecord& o : views.catalogue().ObjectsOfKind(ObjectKind::kCluster)) {
    if (IsBuiltinUser(o.owner)) continue;
    clusters.push_back(views.Cluster(o));
  }
  sink.BeginPhase(kPhaseCluster);
  CreateClusters(clusters, sink);
  TablePhases(views, TablesToRepair(views), clusters, sink);
}

void GenerateTableStatements(const CatalogueViews& views, std::uint32_t table_object_number, StatementSink& sink) {
  std::vector<TableDefinition> tables;
  for (const ObjectRecord& o : views.catalogue().ObjectsOfKind(ObjectKind::kTable)) {
    if (o.object_number == table_object_number) tables.push_back(views.Table(o));
  }
  TablePhases(views, tables, {}, sink);
}

}  // namespace quillon::repair
