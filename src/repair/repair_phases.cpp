#include "repair/repair_phases.h"

#include "repair/code_ddl.h"
#include "repair/link_ddl.h"
#include "repair/mview_ddl.h"
#include "repair/security_ddl.h"
#include "repair/table_phases.h"
#include "repair/trigger_ddl.h"
#include "repair/xml_schema_ddl.h"

namespace quillon::repair {

namespace {

void Generate(const RepairSource& source, const StorageTarget& target, StatementSink& sink, bool tables) {
  sink.BeginPhase(kPhaseTablespace);
  CreateTablespaces(source, target, sink);
  sink.BeginPhase(kPhaseDatafile);
  AddDatafiles(source, target, sink);
  sink.BeginPhase(kPhaseRole);
  CreateRoles(source, sink);
  sink.BeginPhase(kPhaseUser);
  CreateUsers(source, sink);
  const Catalogue& c = source.catalogue;
  if (tables) {
    sink.BeginPhase(kPhaseDatabaseLink);
    CreateDatabaseLinks(c, sink);
  }
  // The repair's first run of the object privileges has no phase line of
  // its own; it comes after the database links.
  GrantUserObjectPrivileges(source, sink);
  GrantRoleObjectPrivileges(source, sink);
  if (tables) {
    sink.BeginPhase(kPhaseType);
    CreateTypes(c, sink);
    // The types that used a type made after them, once more.
    sink.RetryFailed();
    sink.BeginPhase(kPhaseXmlSchema);
    RegisterXmlSchemas(c, sink);
    const CatalogueViews views(c);
    GenerateTablePhases(views, sink);
    GenerateCodePhases(c, sink);
  }
  sink.BeginPhase(kPhaseUserObjectPrivilege);
  GrantUserObjectPrivileges(source, sink);
  sink.BeginPhase(kPhaseRoleObjectPrivilege);
  GrantRoleObjectPrivileges(source, sink);
}

}  // namespace

void GenerateCodePhases(const Catalogue& c, StatementSink& sink) {
  sink.BeginPhase(kPhaseSynonym);
  CreateSynonyms(c, sink);
  sink.BeginPhase(kPhaseSequence);
  CreateSequences(c, sink);
  sink.BeginPhase(kPhaseView);
  CreateViews(c, sink);
  sink.BeginPhase(kPhaseTrigger);
  CreateTriggers(c, sink);
  sink.BeginPhase(kPhaseFunction);
  CreateFunctions(c, sink);
  sink.BeginPhase(kPhaseMaterializedViewLog);
  CreateMaterializedViewLogs(c, sink);
  sink.BeginPhase(kPhaseMaterializedView);
  CreateMaterializedViews(c, sink);
  sink.BeginPhase(kPhaseTypeBody);
  CreateTypeBodies(c, sink);
  sink.BeginPhase(kPhaseProcedure);
  CreateProcedures(c, sink);
  sink.BeginPhase(kPhasePackage);
  CreatePackages(c, sink);
  sink.BeginPhase(kPhasePackageBody);
  CreatePackageBodies(c, sink);
  // Views, triggers and units that used an object made after them, once
  // more now that everything exists.
  sink.RetryFailed();
}

void GenerateStorageAndSecurity(const RepairSource& source, const StorageTarget& target, StatementSink& sink) {
  Generate(source, target, sink, false);
}

void GenerateRepairDdl(const RepairSource& source, const StorageTarget& target, StatementSink& sink) {
  Generate(source, target, sink, true);
}

}  // namespace quillon::repair
