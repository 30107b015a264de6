// The branches of the object tree beside Schema: Security, Storage,
// Distributed and XML Schema.
#include <filesystem>

#include "browse/tree_generate.h"
#include "browse/tree_icons.h"

namespace quillon {

namespace {

// USER$.ASTATUS of an open account (0, stored as the single byte 0x80).
constexpr std::uint16_t kOpenAccountCode = 0x0080;

// Where the object of an object privilege is looked for, first hit wins.
constexpr ObjectKind kGrantedObjectKinds[] = {
    ObjectKind::kTable,     ObjectKind::kView,     ObjectKind::kPackageBody,
    ObjectKind::kPackage,   ObjectKind::kProcedure, ObjectKind::kFunction,
    ObjectKind::kSequence,  ObjectKind::kSynonym,  ObjectKind::kType,
};

// Owners of XML schemas that belong to the database itself.
constexpr std::string_view kSystemXmlOwners[] = {"sys", "XDB", "exfsys", "ordsys", "mdsys"};

const ObjectRecord* GrantedObject(const Catalogue& cat, std::uint32_t object_number) {
  const auto candidates = cat.objects.All<0>(object_number);
  for (const ObjectKind kind : kGrantedObjectKinds) {
    for (const ObjectRecord& o : candidates) {
      if (o.kind == kind) return &o;
    }
  }
  return nullptr;
}

// The three folders under a user or a role: the roles, the system
// privileges and the object privileges granted to grantee.
void AddGrants(ObjectTree& tree, NodeId parent, const Catalogue& cat, std::uint32_t grantee, int object_icon) {
  const NodeId roles = tree.Add(parent, "Roles Granted", tree_icon::kRole);
  const NodeId system = tree.Add(parent, "System Privileges Granted", tree_icon::kSystemPrivilege);
  const NodeId objects = tree.Add(parent, "Object Privileges Granted", object_icon);
  const auto grants = cat.system_grants.All<0>(grantee);
  for (const SystemGrantRecord& g : grants) {
    if (g.privilege <= 0) continue;  // a system privilege, not a role
    if (const RoleRecord* r = cat.roles.First<0>(static_cast<std::uint32_t>(g.privilege))) {
      tree.Add(roles, r->name, tree_icon::kRole);
    }
  }
  for (const SystemGrantRecord& g : grants) {
    if (const PrivilegeNameRecord* p = cat.system_privilege_names.First<0>(g.privilege)) {
      tree.Add(system, p->name, tree_icon::kSystemPrivilege);
    }
  }
  for (const ObjectGrantRecord& g : cat.object_grants.All<0>(grantee)) {
    const PrivilegeNameRecord* p = cat.table_privilege_names.First<0>(g.privilege);
    const ObjectRecord* o = GrantedObject(cat, g.object_number);
    if (!p || !o) continue;
    // The name, a blank, then " ON ": two blanks stand before ON.
    tree.Add(objects, p->name + " " + " ON " + o->owner + "." + o->name, object_icon);
  }
}

bool IsSystemXmlOwner(std::string_view owner) {
  for (const std::string_view s : kSystemXmlOwners) {
    if (EqualsIgnoreCase(owner, s)) return true;
  }
  return false;
}

}  // namespace

void AddSecurityBranch(ObjectTree& tree, const Catalogue& cat) {
  const NodeId security = tree.Add(tree.root(), std::string(tree_caption::kSecurity), tree_icon::kSecurity);
  const NodeId users = tree.Add(security, "Users", tree_icon::kUsers);
  for (const UserRecord& u : cat.users) {
    const int icon = u.account_status == kOpenAccountCode ? tree_icon::kUserOpen : tree_icon::kUserClosed;
    AddGrants(tree, tree.Add(users, u.name, icon), cat, u.number, tree_icon::kUserObjectPrivilege);
  }
  const NodeId roles = tree.Add(security, "Roles", tree_icon::kRole);
  for (const RoleRecord& r : cat.roles) {
    AddGrants(tree, tree.Add(roles, r.name, tree_icon::kRole), cat, r.number, tree_icon::kRoleObjectPrivilege);
  }
  tree.SetExpandedFlag(security, true);
}

void AddStorageBranch(ObjectTree& tree, const COracleRecoveryTools& engine) {
  const NodeId storage = tree.Add(tree.root(), std::string(tree_caption::kStorage), tree_icon::kStorage);
  const NodeId tablespaces = tree.Add(storage, "TableSpaces", tree_icon::kTablespace);
  for (const TablespaceRecord& t : engine.catalogue.tablespaces) tree.Add(tablespaces, t.name, tree_icon::kTablespace);
  const NodeId datafiles = tree.Add(storage, "DataFiles", tree_icon::kDatafile);
  for (const DatafileEntry& f : engine.datafiles) {
    tree.Add(datafiles, std::filesystem::path(f.file_name).filename().string(), tree_icon::kDatafile);
  }
  tree.SetExpandedFlag(storage, true);
}

void AddDistributedBranch(ObjectTree& tree, const Catalogue& cat) {
  const NodeId distributed =
      tree.Add(tree.root(), std::string(tree_caption::kDistributed), tree_icon::kDistributed);
  const NodeId logs = tree.Add(distributed, "Materialized View Logs", tree_icon::kMaterializedViewLog);
  for (const UserRecord& u : cat.users) {
    for (const MaterializedViewLogRecord& l : cat.materialized_view_logs) {
      if (!l.master_owner.empty() && l.master_owner == u.name) {
        tree.Add(logs, u.name + "." + l.master, tree_icon::kMaterializedViewLog);
      }
    }
  }
  const NodeId views = tree.Add(distributed, "Materialized Views", tree_icon::kMaterializedView);
  for (const MaterializedViewRecord& m : cat.materialized_views) {
    const ObjectRecord* o = cat.Object(m.object_number);
    tree.Add(views, o ? o->owner + "." + o->name : std::string(), tree_icon::kMaterializedView);
  }
  tree.SetExpandedFlag(distributed, true);
  const NodeId links = tree.Add(distributed, "Database Links", tree_icon::kDatabaseLink);
  for (const UserRecord& u : cat.users) {
    const NodeId owner = tree.Add(links, u.name, tree_icon::kOwner);
    for (const DatabaseLinkRecord& l : cat.database_links.All<0>(u.number)) {
      tree.Add(owner, l.name, tree_icon::kDatabaseLink);
    }
  }
}

void AddXmlSchemaBranch(ObjectTree& tree, const Catalogue& cat) {
  const NodeId xml = tree.Add(tree.root(), "XML Schema", tree_icon::kXmlSchema);
  for (const UserRecord& u : cat.users) {
    const XmlSchemaRecord* first = nullptr;
    for (const XmlSchemaRecord& s : cat.xml_schemas) {
      if (EqualsIgnoreCase(s.owner, u.name) && !IsSystemXmlOwner(s.owner)) {
        first = &s;
        break;
      }
    }
    if (!first) continue;
    const NodeId owner = tree.Add(xml, first->owner, tree_icon::kOwner);
    const NodeId urls = tree.Add(owner, "XML URL", tree_icon::kXmlUrl);
    for (const XmlSchemaRecord& s : cat.xml_schemas) {
      if (EqualsIgnoreCase(s.owner, first->owner)) tree.Add(urls, s.url, tree_icon::kXmlUrl);
    }
  }
  tree.SetExpandedFlag(xml, true);
}

}  // namespace quillon
