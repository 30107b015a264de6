#include <algorithm>
#include <iterator>
#include <cctype>
#include <limits>
#include <string>

#include "reader/catalogue_views.h"
#include "reader/datafile.h"

namespace quillon {

namespace {

// Accounts, roles and tablespaces that the database creation scripts of
// Oracle 8i to 11g make (with the default options and components).
constexpr std::string_view kBuiltinUsers[] = {
    "SYS", "SYSTEM", "OUTLN", "DBSNMP", "XDB", "ANONYMOUS",
    "CTXSYS", "MDSYS", "ORDSYS", "ORDPLUGINS", "ORDDATA", "SI_INFORMTN_SCHEMA",
    "WMSYS", "EXFSYS", "DMSYS", "OLAPSYS", "SYSMAN", "MGMT_VIEW",
    "TSMSYS", "DIP", "ORACLE_OCM", "APPQOSSYS", "XS$NULL", "MDDATA",
    "SPATIAL_CSW_ADMIN_USR", "SPATIAL_WFS_ADMIN_USR", "FLOWS_FILES", "APEX_PUBLIC_USER", "OWBSYS", "OWBSYS_AUDIT",
    "AURORA$JIS$UTILITY$", "AURORA$ORB$UNAUTHENTICATED", "OSE$HTTP$ADMIN", "TRACESVR", "LBACSYS", "WKSYS",
    "WK_TEST", "FLOWS_030000", "APEX_030200", "WKPROXY",
};

constexpr std::string_view kBuiltinRoles[] = {
    "PUBLIC", "CONNECT", "RESOURCE", "DBA", "SELECT_CATALOG_ROLE", "EXECUTE_CATALOG_ROLE",
    "DELETE_CATALOG_ROLE", "EXP_FULL_DATABASE", "IMP_FULL_DATABASE", "DATAPUMP_EXP_FULL_DATABASE", "DATAPUMP_IMP_FULL_DATABASE", "RECOVERY_CATALOG_OWNER",
    "GATHER_SYSTEM_STATISTICS", "LOGSTDBY_ADMINISTRATOR", "AQ_ADMINISTRATOR_ROLE", "AQ_USER_ROLE", "SCHEDULER_ADMIN", "HS_ADMIN_ROLE",
    "HS_ADMIN_SELECT_ROLE", "HS_ADMIN_EXECUTE_ROLE", "GLOBAL_AQ_USER_ROLE", "OEM_MONITOR", "OEM_ADVISOR", "MGMT_USER",
    "XDBADMIN", "XDB_SET_INVOKER", "XDBWEBSERVICES", "XDB_WEBSERVICES", "XDB_WEBSERVICES_OVER_HTTP", "XDB_WEBSERVICES_WITH_PUBLIC",
    "AUTHENTICATEDUSER", "JAVAUSERPRIV", "JAVAIDPRIV", "JAVASYSPRIV", "JAVADEBUGPRIV", "JAVA_ADMIN",
    "JAVA_DEPLOY", "EJBCLIENT", "CTXAPP", "WM_ADMIN_ROLE", "OLAP_DBA", "OLAP_USER",
    "ADM_PARALLEL_EXECUTE_TASK", "DBFS_ROLE", "CWM_USER", "SNMPAGENT", "JMXSERVER", "CSW_USR_ROLE",
    "WFS_USR_ROLE", "SPATIAL_CSW_ADMIN", "SPATIAL_WFS_ADMIN", "OLAP_XS_ADMIN", "ORDADMIN", "OWB_USER",
    "OWB$CLIENT", "OWB_DESIGNCENTER_VIEW", "APEX_ADMINISTRATOR_ROLE", "WKUSER",
};

constexpr std::string_view kBuiltinTablespaces[] = {
    "SYSTEM", "SYSAUX", "UNDOTBS", "UNDOTBS1", "UNDOTBS2", "RBS",
    "TEMP", "USERS", "TOOLS", "INDX", "DRSYS", "XDB",
    "CWMLITE", "ODM", "EXAMPLE",
};

template <std::size_t N>
bool Contains(const std::string_view (&list)[N], std::string_view name) {
  return std::find(std::begin(list), std::end(list), name) != std::end(list);
}

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
         });
}

std::string FileNameOf(const std::string& path) {
  const auto slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// TS$ CONTENTS$ as stored for a temporary tablespace (1), and the FLAGS
// bit of undo tablespaces.
inline constexpr std::uint16_t kTemporaryContents = 0x02C1;
inline constexpr std::uint64_t kUndoTablespace = 0x10;
// USER$ ASTATUS bit of an administrator's lock (ACCOUNT LOCK).
inline constexpr std::int64_t kAdministratorLock = 0x08;
// SYSAUTH$ and OBJAUTH$ OPTION$ bit of WITH ADMIN / WITH GRANT OPTION.
inline constexpr std::int64_t kWithOption = 0x01;

}  // namespace

bool IsBuiltinUser(std::string_view name) { return Contains(kBuiltinUsers, name); }
bool IsBuiltinRole(std::string_view name) { return Contains(kBuiltinRoles, name); }
bool IsBuiltinTablespace(std::string_view name) { return Contains(kBuiltinTablespaces, name); }

Authentication AuthenticationOf(std::string_view identification) {
  if (identification == kIdentifiedNone) return Authentication::kNone;
  if (identification == kIdentifiedGlobally) return Authentication::kGlobal;
  if (identification == kIdentifiedExternally) return Authentication::kExternal;
  return Authentication::kPassword;
}

std::vector<DatafileDefinition> DatafileDefinitions(const DatafileList& datafiles) {
  std::vector<DatafileDefinition> out;
  for (const DatafileEntry& f : datafiles) {
    out.push_back(DatafileDefinition{FileNameOf(f.full_path.empty() ? f.file_name : f.full_path), f.tablespace_name,
                                     f.relative_file_number, f.block_size});
  }
  return out;
}

std::vector<TablespaceDefinition> CatalogueViews::Tablespaces(std::span<const DatafileDefinition> datafiles) const {
  std::vector<TablespaceDefinition> out;
  for (const TablespaceRecord& t : c_.tablespaces) {
    TablespaceDefinition d;
    d.name = t.name;
    d.number = t.number;
    d.block_size = t.block_size;
    d.temporary = t.contents == kTemporaryContents;
    d.undo = (t.flags & kUndoTablespace) != 0;
    d.builtin = IsBuiltinTablespace(t.name);
    for (const DatafileDefinition& f : datafiles) {
      if (SameNameIgnoringCase(f.tablespace, t.name)) d.datafiles.push_back(f);
    }
    out.push_back(std::move(d));
  }
  return out;
}

std::vector<UserDefinition> CatalogueViews::Users() const {
  std::vector<UserDefinition> out;
  for (const UserRecord& u : c_.users) {
    UserDefinition d;
    d.name = u.name;
    d.number = u.number;
    d.authentication = AuthenticationOf(u.identification);
    d.identification = u.identification;
    d.external_name = u.external_name;
    d.default_tablespace = u.default_tablespace;
    d.temporary_tablespace = u.temporary_tablespace;
    d.account_status = u.account_status_value;
    d.locked = (u.account_status_value & kAdministratorLock) != 0;
    d.builtin = IsBuiltinUser(u.name);
    out.push_back(std::move(d));
  }
  return out;
}

std::vector<RoleDefinition> CatalogueViews::Roles() const {
  std::vector<RoleDefinition> out;
  for (const RoleRecord& r : c_.roles) {
    out.push_back(RoleDefinition{r.name, r.number, AuthenticationOf(r.identification), r.identification, IsBuiltinRole(r.name)});
  }
  return out;
}

namespace {

// A grantee number that names a role and no user.
bool IsRoleOnly(const Catalogue& c, std::uint32_t number) {
  return c.users.First<0>(number) == nullptr && c.roles.First<0>(number) != nullptr;
}

}  // namespace

SystemGrantDefinition CatalogueViews::SystemGrantOf(const SystemGrantRecord& g) const {
  SystemGrantDefinition d;
  d.grantee_number = g.grantee_number;
  d.grantee = c_.OwnerName(g.grantee_number);
  d.grantee_is_role = IsRoleOnly(c_, g.grantee_number);
  d.privilege_number = g.privilege;
  if (g.privilege >= 0) {
    d.role = true;
    // A role number beyond USER#'s range names no role (it must not wrap
    // onto one).
    const RoleRecord* r = g.privilege <= std::numeric_limits<std::uint32_t>::max()
                              ? c_.roles.First<0>(static_cast<std::uint32_t>(g.privilege))
                              : nullptr;
    d.privilege_known = r != nullptr && !r->name.empty();
    if (d.privilege_known) d.privilege = r->name;
  } else {
    const PrivilegeNameRecord* p = c_.system_privilege_names.First<0>(g.privilege);
    d.privilege_known = p != nullptr && !p->name.empty();
    if (d.privilege_known) d.privilege = p->name;
  }
  if (!d.privilege_known) d.privilege = std::to_string(g.privilege);
  d.admin_option = (g.option & kWithOption) != 0;
  return d;
}

ObjectGrantDefinition CatalogueViews::ObjectGrantOf(const ObjectGrantRecord& g) const {
  ObjectGrantDefinition d;
  d.grantee_number = g.grantee_number;
  d.grantee = c_.OwnerName(g.grantee_number);
  d.grantee_is_role = IsRoleOnly(c_, g.grantee_number);
  d.object_number = g.object_number;
  // The object as it is listed: an OBJ$ row without a kind (a damaged or
  // unsupported row of the same number) does not name it.
  const ObjectRecord* object = nullptr;
  for (const ObjectRecord& o : c_.objects.All<0>(g.object_number)) {
    if (o.kind) {
      object = &o;
      break;
    }
  }
  if (object == nullptr) object = c_.Object(g.object_number);
  if (object != nullptr) {
    d.owner = object->owner;
    d.object = object->name;
    d.kind = object->kind;
  } else {
    d.object = NumberedName(g.object_number);
  }
  d.privilege_number = g.privilege;
  const PrivilegeNameRecord* p = c_.table_privilege_names.First<0>(g.privilege);
  d.privilege_known = p != nullptr && !p->name.empty();
  d.privilege = d.privilege_known ? p->name : std::to_string(g.privilege);
  if (g.column_number) {
    const std::int64_t number = *g.column_number;
    d.column_number = number;
    std::optional<std::string> name;
    if (number > 0 && number <= std::numeric_limits<std::uint32_t>::max()) {
      for (const ColumnInfo& col : c_.columns.All<0>(g.object_number)) {
        if (col.column_number == static_cast<std::uint32_t>(number)) {
          name = col.name;
          break;
        }
      }
    }
    d.column_known = name.has_value();
    d.column = name ? *name : "#" + std::to_string(number);
  }
  d.grant_option = (g.option & kWithOption) != 0;
  return d;
}

std::vector<SystemGrantDefinition> CatalogueViews::SystemGrants() const {
  std::vector<SystemGrantDefinition> out;
  for (const SystemGrantRecord& g : c_.system_grants) out.push_back(SystemGrantOf(g));
  return out;
}

std::vector<ObjectGrantDefinition> CatalogueViews::ObjectGrants() const {
  std::vector<ObjectGrantDefinition> out;
  for (const ObjectGrantRecord& g : c_.object_grants) out.push_back(ObjectGrantOf(g));
  return out;
}

std::vector<SystemGrantDefinition> CatalogueViews::SystemGrantsTo(std::uint32_t grantee_number) const {
  std::vector<SystemGrantDefinition> out;
  for (const SystemGrantRecord& g : c_.system_grants.All<0>(grantee_number)) out.push_back(SystemGrantOf(g));
  return out;
}

std::vector<ObjectGrantDefinition> CatalogueViews::ObjectGrantsTo(std::uint32_t grantee_number) const {
  std::vector<ObjectGrantDefinition> out;
  for (const ObjectGrantRecord& g : c_.object_grants.All<0>(grantee_number)) out.push_back(ObjectGrantOf(g));
  return out;
}

std::map<std::uint32_t, std::vector<std::string>> CatalogueViews::SegmentTablespacesByOwner() const {
  std::map<std::uint32_t, std::vector<std::string>> out;
  auto add = [this, &out](std::uint32_t object_number, const std::string& name) {
    if (name.empty()) return;
    const ObjectRecord* o = c_.Object(object_number);
    if (o == nullptr) return;
    std::vector<std::string>& names = out[o->owner_number];
    if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
  };
  for (const TableRecord& t : c_.tables) add(t.object_number, t.tablespace);
  for (const ClusterRecord& k : c_.clusters) add(k.object_number, k.tablespace);
  for (const IndexRecord& i : c_.indexes) add(i.index_object_number, i.tablespace);
  for (const LobRecord& l : c_.lobs) add(l.table_object_number, l.tablespace);
  for (const e6struct& p : c_.table_partitions) add(p.base_object, p.tablespace);
  for (const e6struct& p : c_.index_partitions) add(p.base_object, p.tablespace);
  for (const F9struct& p : c_.composite_partitions) {
    for (const F0struct& s : c_.subpartitions.All<0>(p.object_number)) add(p.base_object, s.tablespace);
  }
  return out;
}

}  // namespace quillon
