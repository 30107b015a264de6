#include "repair/repair_phases.h"

#include "repair/security_ddl.h"

namespace quillon::repair {

void GenerateStorageAndSecurity(const RepairSource& source, const StorageTarget& target, StatementSink& sink) {
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
  // (types, XML schemas, clusters, tables, rows and code objects come here)
  sink.BeginPhase(kPhaseUserObjectPrivilege);
  GrantUserObjectPrivileges(source, sink);
  sink.BeginPhase(kPhaseRoleObjectPrivilege);
  GrantRoleObjectPrivileges(source, sink);
}

}  // namespace quillon::repair
