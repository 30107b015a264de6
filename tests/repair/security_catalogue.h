// Small catalogues built by hand for the storage and security generators:
// tablespaces with datafiles, users, roles, grants and owned segments.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "reader/catalogue.h"
#include "reader/datafile.h"
#include "repair/repair_source.h"

namespace quillon::test {

class SecurityCatalogue {
 public:
  Catalogue cat;
  DatafileList files;

  repair::RepairSource source() const { return repair::RepairSource{cat, files}; }

  void Tablespace(const std::string& name, bool temporary = false) {
    TablespaceRecord t;
    t.name = name;
    t.number = next_tablespace_++;
    t.contents = temporary ? 0x02C1 : 0x80;
    cat.tablespaces.Append(t);
  }
  void Datafile(const std::string& file_name, const std::string& tablespace) {
    DatafileEntry e;
    e.file_name = file_name;
    e.full_path = "/source/" + file_name;
    e.tablespace_name = tablespace;
    files.Append(e);
  }
  std::uint32_t User(const std::string& name, const std::string& identification = "KESTON",
                     const std::string& default_tablespace = "USERS", std::int64_t status = 0,
                     const std::string& external_name = "") {
    UserRecord u;
    u.name = name;
    u.number = next_user_++;
    u.identification = identification;
    u.default_tablespace = default_tablespace;
    u.account_status_value = status;
    u.external_name = external_name;
    cat.users.Append(u);
    return u.number;
  }
  std::uint32_t Role(const std::string& name, const std::string& identification = "NONE") {
    RoleRecord r;
    r.name = name;
    r.number = next_user_++;
    r.identification = identification;
    cat.roles.Append(r);
    return r.number;
  }
  void SystemPrivilegeName(std::int64_t privilege, const std::string& name) {
    PrivilegeNameRecord p;
    p.privilege = privilege;
    p.name = name;
    cat.system_privilege_names.Append(p);
  }
  void TablePrivilegeName(std::int64_t privilege, const std::string& name) {
    PrivilegeNameRecord p;
    p.privilege = privilege;
    p.name = name;
    cat.table_privilege_names.Append(p);
  }
  // A system privilege (negative) or a role (its number) granted.
  void SystemGrant(std::uint32_t grantee, std::int64_t privilege, bool admin = false) {
    SystemGrantRecord g;
    g.grantee_number = grantee;
    g.privilege = privilege;
    g.option = admin ? 1 : 0;
    cat.system_grants.Append(g);
  }
  void ObjectGrant(std::uint32_t grantee, std::uint32_t object, std::int64_t privilege, bool grant_option = false,
                   std::optional<std::int64_t> column = std::nullopt) {
    ObjectGrantRecord g;
    g.grantee_number = grantee;
    g.object_number = object;
    g.privilege = privilege;
    g.option = grant_option ? 1 : 0;
    g.column_number = column;
    cat.object_grants.Append(g);
  }
  // A table of a user, its segment in tablespace.
  std::uint32_t Table(std::uint32_t owner_number, const std::string& owner, const std::string& name,
                      const std::string& tablespace) {
    ObjectRecord o;
    o.object_number = next_object_++;
    o.owner_number = owner_number;
    o.owner = owner;
    o.name = name;
    o.kind = ObjectKind::kTable;
    cat.AddObject(o);
    TableRecord t;
    t.object_number = o.object_number;
    t.tablespace = tablespace;
    cat.tables.Append(t);
    return o.object_number;
  }
  void Column(std::uint32_t table, const std::string& name, std::uint32_t column_number) {
    ColumnInfo c;
    c.object_number = table;
    c.name = name;
    c.column_number = column_number;
    c.internal_column = column_number;
    cat.columns.Append(c);
  }
  // An index of a user on a table, in tablespace.
  void Index(std::uint32_t owner_number, const std::string& owner, std::uint32_t table, const std::string& name,
             const std::string& tablespace) {
    ObjectRecord o;
    o.object_number = next_object_++;
    o.owner_number = owner_number;
    o.owner = owner;
    o.name = name;
    o.kind = ObjectKind::kIndex;
    cat.AddObject(o);
    IndexRecord i;
    i.index_object_number = o.object_number;
    i.table_object_number = table;
    i.tablespace = tablespace;
    cat.indexes.Append(i);
  }

 private:
  std::uint32_t next_user_ = 100;
  std::uint32_t next_object_ = 5000;
  std::uint32_t next_tablespace_ = 0;
};

}  // namespace quillon::test
