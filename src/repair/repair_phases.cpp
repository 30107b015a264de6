#include "repair/repair_phases.h"

#include "repair/security_ddl.h"
#include "repair/table_phases.h"

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
  // The repair's first run of the object privileges has no phase line of
  // its own; it comes after the database links.
  GrantUserObjectPrivileges(source, sink);
  GrantRoleObjectPrivileges(source, sink);
  // (types and XML schemas come here)
  if (tables) {
    const CatalogueViews views(source.catalogue);
    GenerateTablePhases(views, sink);
  }
  // (code objects come here)
  sink.BeginPhase(kPhaseUserObjectPrivilege);
  GrantUserObjectPrivileges(source, sink);
  sink.BeginPhase(kPhaseRoleObjectPrivilege);
  GrantRoleObjectPrivileges(source, sink);
}

}  // namespace

void GenerateStorageAndSecurity(const RepairSource& source, const StorageTarget& target, StatementSink& sink) {
  Generate(source, target, sink, false);
}

void GenerateRepairDdl(const RepairSource& source, const StorageTarget& target, StatementSink& sink) {
  Generate(source, target, sink, true);
}

}  // namespace quillon::repair
