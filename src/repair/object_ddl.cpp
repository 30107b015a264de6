#include "repair/object_ddl.h"

#include <string>

#include "reader/catalogue_views.h"
#include "repair/code_ddl.h"
#include "repair/key_ddl.h"
#include "repair/link_ddl.h"
#include "repair/mview_ddl.h"
#include "repair/repair_source.h"
#include "repair/security_ddl.h"
#include "repair/table_ddl.h"
#include "repair/table_phases.h"
#include "repair/trigger_ddl.h"
#include "repair/xml_schema_ddl.h"

namespace quillon::repair {

namespace {

using Generator = void (*)(const Catalogue&, StatementSink&, std::optional<std::uint32_t>);

struct KindGenerator {
  ObjectKind kind;
  std::string_view phase;
  Generator generate;
};

constexpr KindGenerator kGenerators[] = {
    {ObjectKind::kView, kPhaseView, &CreateViews},
    {ObjectKind::kSynonym, kPhaseSynonym, &CreateSynonyms},
    {ObjectKind::kSequence, kPhaseSequence, &CreateSequences},
    {ObjectKind::kTrigger, kPhaseTrigger, &CreateTriggers},
    {ObjectKind::kFunction, kPhaseFunction, &CreateFunctions},
    {ObjectKind::kProcedure, kPhaseProcedure, &CreateProcedures},
    {ObjectKind::kPackage, kPhasePackage, &CreatePackages},
    {ObjectKind::kPackageBody, kPhasePackageBody, &CreatePackageBodies},
    {ObjectKind::kType, kPhaseType, &CreateTypes},
    {ObjectKind::kTypeBody, kPhaseTypeBody, &CreateTypeBodies},
    {ObjectKind::kMaterializedView, kPhaseMaterializedView, &CreateMaterializedViews},
};

}  // namespace

bool GenerateObjectDdl(const Catalogue& c, std::uint32_t object_number, StatementSink& sink) {
  const ObjectRecord* object = c.Object(object_number);
  if (object == nullptr || !object->kind) return false;
  if (*object->kind == ObjectKind::kTable) {
    const CatalogueViews views(c);
    GenerateTableStatements(views, object_number, sink);
    // Its rows are not listed as a table's: a remark says so.
    if (IsXmlTypeTable(views.Table(*object))) sink.Note(kXmlTableNote);
    return true;
  }
  if (*object->kind == ObjectKind::kIndex) {
    const CatalogueViews views(c);
    const IndexDefinition index = views.Index(*object);
    // The index's table decides, as in the repair, whether a plain CREATE
    // INDEX re-creates it (indexes that back a key come with their
    // constraint).
    std::vector<TableDefinition> tables;
    if (index.table && !index.on_cluster) {
      if (const ObjectRecord* table = c.Object(index.table->object_number)) tables.push_back(views.Table(*table));
    }
    sink.BeginPhase(kPhaseIndex);
    CreateIndexes(std::span(&index, 1), tables, sink);
    return true;
  }
  if (*object->kind == ObjectKind::kCluster) {
    const CatalogueViews views(c);
    const ClusterDefinition cluster = views.Cluster(*object);
    sink.BeginPhase(kPhaseCluster);
    CreateClusters(std::span(&cluster, 1), sink);
    return true;
  }
  for (const KindGenerator& g : kGenerators) {
    if (g.kind != *object->kind) continue;
    sink.BeginPhase(g.phase);
    g.generate(c, sink, object_number);
    return true;
  }
  return false;
}

bool GenerateConstraintDdl(const Catalogue& c, std::uint32_t table_object_number, std::string_view name,
                           StatementSink& sink) {
  const ObjectRecord* object = c.Object(table_object_number);
  if (object == nullptr || object->kind != ObjectKind::kTable) return false;
  const CatalogueViews views(c);
  TableDefinition table = views.Table(*object);
  std::erase_if(table.constraints, [name](const ConstraintDefinition& k) { return k.name != name; });
  if (table.constraints.empty()) return false;
  if (table.constraints.front().kind == ConstraintKind::kForeignKey) {
    sink.BeginPhase(kPhaseForeignKey);
    AddForeignKeys(std::span(&table, 1), sink);
  } else {
    sink.BeginPhase(kPhaseConstraint);
    AddKeyAndCheckConstraints(std::span(&table, 1), sink);
  }
  return true;
}

namespace {

using SecurityGenerator = void (*)(const RepairSource&, StatementSink&, std::string_view);

// One of the security generators run for one user or role alone. They read
// the catalogue only, no datafile.
bool GenerateForGrantee(const Catalogue& c, std::string_view grantee, bool role, std::string_view phase,
                        SecurityGenerator generate, StatementSink& sink) {
  const std::string name(grantee);
  if (role ? c.roles.First<1>(name) == nullptr : c.users.First<1>(name) == nullptr) return false;
  const DatafileList no_datafiles;
  const RepairSource source(c, no_datafiles);
  sink.BeginPhase(phase);
  generate(source, sink, grantee);
  return true;
}

}  // namespace

bool GenerateAccountDdl(const Catalogue& c, std::string_view name, bool role, StatementSink& sink) {
  return role ? GenerateForGrantee(c, name, true, kPhaseRole, &CreateRoles, sink)
              : GenerateForGrantee(c, name, false, kPhaseUser, &CreateUsers, sink);
}

bool GenerateObjectGrantDdl(const Catalogue& c, std::string_view grantee, bool role, StatementSink& sink) {
  return role ? GenerateForGrantee(c, grantee, true, kPhaseRoleObjectPrivilege, &GrantRoleObjectPrivileges, sink)
              : GenerateForGrantee(c, grantee, false, kPhaseUserObjectPrivilege, &GrantUserObjectPrivileges, sink);
}

bool GenerateDatabaseLinkDdl(const Catalogue& c, std::string_view owner, std::string_view name, StatementSink& sink) {
  bool found = false;
  for (const DatabaseLinkRecord& link : c.database_links) {
    if (link.name == name && c.OwnerName(link.owner_number) == owner) found = true;
  }
  if (!found) return false;
  sink.BeginPhase(kPhaseDatabaseLink);
  CreateDatabaseLinks(c, sink, owner, name);
  return true;
}

bool GenerateMaterializedViewLogDdl(const Catalogue& c, std::string_view owner, std::string_view master,
                                    StatementSink& sink) {
  if (c.materialized_view_logs.First<0>(OwnerAndName{std::string(owner), std::string(master)}) == nullptr) {
    return false;
  }
  sink.BeginPhase(kPhaseMaterializedViewLog);
  CreateMaterializedViewLogs(c, sink, owner, master);
  return true;
}

bool GenerateXmlSchemaDdl(const Catalogue& c, std::string_view url, StatementSink& sink) {
  bool found = false;
  for (const XmlSchemaRecord& s : c.xml_schemas) {
    if (s.url == url) found = true;
  }
  if (!found) return false;
  sink.BeginPhase(kPhaseXmlSchema);
  RegisterXmlSchemas(c, sink, url);
  return true;
}

}  // namespace quillon::repair
