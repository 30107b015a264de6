// Builds catalogue records by hand for the tree and count tests: users,
// objects of every kind, TAB$ rows, columns, constraints, partitions,
// grants and the rest, with object numbers handed out in order.
#pragma once

#include <cstdint>
#include <string>

#include "reader/engine.h"
#include "reader/packed_codes.h"

namespace quillon::test {

class CatalogueBuilder {
 public:
  explicit CatalogueBuilder(COracleRecoveryTools& engine) : cat(engine.catalogue) {}

  Catalogue& cat;

  std::uint32_t User(const std::string& name, bool open = true) {
    UserRecord u;
    u.name = name;
    u.number = next_user_++;
    u.account_status = open ? 0x0080 : 0x09C1;  // 0, or 8 (locked)
    cat.users.Append(u);
    return u.number;
  }
  std::uint32_t Role(const std::string& name) {
    RoleRecord r;
    r.name = name;
    r.number = next_user_++;
    cat.roles.Append(r);
    return r.number;
  }

  // An OBJ$ row listed under kind; status 5 (invalid) when invalid is set.
  std::uint32_t Object(ObjectKind kind, const std::string& owner, const std::string& name, bool invalid = false,
                       std::uint32_t flags_code = 0x80) {
    ObjectRecord o;
    o.object_number = next_object_++;
    o.owner = owner;
    o.name = name;
    o.kind = kind;
    o.status_code = invalid ? 0x06C1 : 0x02C1;
    o.status = invalid ? 5 : 1;
    o.flags_code = flags_code;
    cat.AddObject(o);
    return o.object_number;
  }

  // A table object with its TAB$ row.
  std::uint32_t Table(const std::string& owner, const std::string& name, std::uint64_t property = 0,
                      std::uint64_t spare1 = 736, std::uint64_t trigger_flags = 0, std::uint32_t flags_code = 0x80) {
    TableRecord t;
    t.property = property;
    t.spare1 = spare1;
    t.trigger_flags = trigger_flags;
    return TableWith(owner, name, t, flags_code);
  }
  // A table object with the TAB$ row given (its object number is filled in).
  std::uint32_t TableWith(const std::string& owner, const std::string& name, TableRecord t,
                          std::uint32_t flags_code = 0x80) {
    t.object_number = Object(ObjectKind::kTable, owner, name, false, flags_code);
    cat.tables.Append(t);
    return t.object_number;
  }

  void Column(std::uint32_t table, const std::string& name, const std::string& sql_type, bool nullable = true,
              std::uint32_t column_number = 1, std::uint32_t segment_column = 1) {
    ColumnInfo c;
    c.object_number = table;
    c.name = name;
    c.sql_type = sql_type;
    c.null_bytes = nullable ? 0x0080 : 0x02C1;
    c.nullable = nullable;
    c.column_number = column_number;
    c.segment_column = segment_column;
    cat.columns.Append(c);
  }

  void Constraint(std::uint32_t table, std::uint32_t type, const std::string& name) {
    ConstraintRecord d;
    d.table_object_number = table;
    d.constraint_number = next_constraint_++;
    d.type = type;
    d.type_code = PackedCode(type);
    cat.constraints.Append(d);
    ConstraintNameRecord n;
    n.name = name;
    n.constraint_number = d.constraint_number;
    cat.constraint_names.Append(n);
  }

  // A partition; its segment header when relative_file is not 0.
  void Partition(std::uint32_t table, const std::string& name, std::uint32_t relative_file = 0,
                 std::uint64_t header_block = 0) {
    e6struct p;
    p.object_number = next_object_++;
    p.base_object = table;
    p.name = name;
    p.relative_file_number = relative_file;
    p.header_block = header_block;
    cat.table_partitions.Append(p);
  }
  std::uint32_t CompositePartition(std::uint32_t table, const std::string& name) {
    F9struct p;
    p.object_number = next_object_++;
    p.base_object = table;
    p.name = name;
    cat.composite_partitions.Append(p);
    return p.object_number;
  }
  void Subpartition(std::uint32_t composite, const std::string& name, std::uint32_t relative_file,
                    std::uint64_t header_block) {
    F0struct p;
    p.object_number = next_object_++;
    p.parent_partition = composite;
    p.name = name;
    p.relative_file_number = relative_file;
    p.header_block = header_block;
    cat.subpartitions.Append(p);
  }

  void Tablespace(const std::string& name) {
    TablespaceRecord t;
    t.name = name;
    cat.tablespaces.Append(t);
  }
  void MaterializedView(std::uint32_t object) {
    MaterializedViewRecord m;
    m.object_number = object;
    cat.materialized_views.Append(m);
  }
  void XmlSchema(const std::string& owner, const std::string& url) {
    XmlSchemaRecord x;
    x.object_id = url;
    x.owner = owner;
    x.url = url;
    cat.xml_schemas.Append(x);
  }

  void SystemPrivilegeName(std::int64_t privilege, const std::string& name) {
    cat.system_privilege_names.Append(PrivilegeName(privilege, name));
  }
  void TablePrivilegeName(std::int64_t privilege, const std::string& name) {
    cat.table_privilege_names.Append(PrivilegeName(privilege, name));
  }
  void SystemGrant(std::uint32_t grantee, std::int64_t privilege) {
    SystemGrantRecord g;
    g.grantee_number = grantee;
    g.privilege = privilege;
    cat.system_grants.Append(g);
  }
  void ObjectGrant(std::uint32_t grantee, std::uint32_t object, std::int64_t privilege) {
    ObjectGrantRecord g;
    g.grantee_number = grantee;
    g.object_number = object;
    g.privilege = privilege;
    cat.object_grants.Append(g);
  }

 private:
  static PrivilegeNameRecord PrivilegeName(std::int64_t privilege, const std::string& name) {
    PrivilegeNameRecord p;
    p.privilege = privilege;
    p.name = name;
    return p;
  }

  std::uint32_t next_user_ = 50;
  std::uint32_t next_object_ = 1000;
  std::uint32_t next_constraint_ = 9000;
};

}  // namespace quillon::test
