#include "repair/catalogue_access.h"

#include <algorithm>

#include "reader/catalogue_security.h"

namespace quillon::repair {

namespace {

constexpr std::uint16_t kTemporaryContents = 0x02C1;  // CONTENTS$ 1 as stored
constexpr std::uint64_t kUndoFlag = 0x10;
constexpr std::int64_t kLockedStatus = 8;             // ASTATUS bit of an administrator's lock

std::string FileNameOf(const std::string& path) {
  const auto slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

AccountItem AccountOf(const UserRecord& u) {
  AccountItem a;
  a.number = u.number;
  a.name = u.name;
  a.identification = u.identification;
  a.external_name = u.external_name;
  a.default_tablespace = u.default_tablespace;
  a.locked = (u.account_status_value & kLockedStatus) != 0;
  return a;
}

}  // namespace

std::vector<TablespaceItem> Tablespaces(const RepairSource& source) {
  std::vector<TablespaceItem> out;
  for (const TablespaceRecord& t : source.catalogue.tablespaces) {
    out.push_back(TablespaceItem{t.name, t.contents == kTemporaryContents, (t.flags & kUndoFlag) != 0});
  }
  return out;
}

std::vector<DatafileItem> Datafiles(const RepairSource& source) {
  std::vector<DatafileItem> out;
  for (const DatafileEntry& f : source.datafiles) {
    out.push_back(DatafileItem{FileNameOf(f.file_name.empty() ? f.full_path : f.file_name), f.tablespace_name});
  }
  return out;
}

std::vector<AccountItem> Users(const RepairSource& source) {
  std::vector<AccountItem> out;
  for (const UserRecord& u : source.catalogue.users) out.push_back(AccountOf(u));
  return out;
}

std::vector<AccountItem> Roles(const RepairSource& source) {
  std::vector<AccountItem> out;
  for (const RoleRecord& r : source.catalogue.roles) {
    AccountItem a;
    a.number = r.number;
    a.name = r.name;
    a.identification = r.identification;
    out.push_back(std::move(a));
  }
  return out;
}

std::vector<SystemGrantItem> SystemGrantsTo(const RepairSource& source, std::uint32_t grantee) {
  const Catalogue& c = source.catalogue;
  std::vector<SystemGrantItem> out;
  for (const SystemGrantRecord& g : c.system_grants.All<0>(grantee)) {
    SystemGrantItem item;
    item.privilege = g.privilege;
    item.admin_option = g.option == 1;
    if (g.privilege < 0) {
      if (const PrivilegeNameRecord* p = c.system_privilege_names.First<0>(g.privilege)) item.name = p->name;
    } else {
      item.is_role = true;
      const auto number = static_cast<std::uint32_t>(g.privilege);
      if (const RoleRecord* r = c.roles.First<0>(number)) item.name = r->name;
    }
    out.push_back(std::move(item));
  }
  return out;
}

std::vector<ObjectGrantItem> ObjectGrantsTo(const RepairSource& source, std::uint32_t grantee) {
  const Catalogue& c = source.catalogue;
  std::vector<ObjectGrantItem> out;
  for (const ObjectGrantRecord& g : c.object_grants.All<0>(grantee)) {
    ObjectGrantItem item;
    item.privilege_number = g.privilege;
    item.object_number = g.object_number;
    item.grant_option = g.option == 1;
    item.column_number = g.column_number;
    if (const PrivilegeNameRecord* p = c.table_privilege_names.First<0>(g.privilege)) item.privilege = p->name;
    for (const ObjectRecord& o : c.objects.All<0>(g.object_number)) {
      if (o.kind) {
        item.object = &o;
        break;
      }
    }
    if (g.column_number) {
      for (const ColumnInfo& col : c.columns.All<0>(g.object_number)) {
        if (col.column_number != 0 && col.column_number == *g.column_number) {
          item.column = col.name;
          break;
        }
      }
    }
    out.push_back(std::move(item));
  }
  return out;
}

std::map<std::uint32_t, std::vector<std::string>> SegmentTablespacesByOwner(const RepairSource& source) {
  const Catalogue& c = source.catalogue;
  std::map<std::uint32_t, std::vector<std::string>> out;
  auto add = [&c, &out](std::uint32_t object_number, const std::string& name) {
    if (name.empty()) return;
    const ObjectRecord* o = c.Object(object_number);
    if (o == nullptr) return;
    std::vector<std::string>& names = out[o->owner_number];
    if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
  };
  for (const TableRecord& t : c.tables) add(t.object_number, t.tablespace);
  for (const ClusterRecord& k : c.clusters) add(k.object_number, k.tablespace);
  for (const IndexRecord& i : c.indexes) add(i.index_object_number, i.tablespace);
  for (const LobRecord& l : c.lobs) add(l.table_object_number, l.tablespace);
  for (const e6struct& p : c.table_partitions) add(p.base_object, p.tablespace);
  for (const e6struct& p : c.index_partitions) add(p.base_object, p.tablespace);
  for (const F9struct& p : c.composite_partitions) {
    for (const F0struct& s : c.subpartitions.All<0>(p.object_number)) add(p.base_object, s.tablespace);
  }
  return out;
}

}  // namespace quillon::repair
