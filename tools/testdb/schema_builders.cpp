#include "testdb/schema_builders.h"

namespace quillon::testdb {

UserDescription User(std::string name, std::string default_tablespace, Authentication authentication) {
  UserDescription u;
  u.name = std::move(name);
  u.default_tablespace = std::move(default_tablespace);
  u.authentication = authentication;
  return u;
}

RoleDescription Role(std::string name, Authentication authentication) {
  RoleDescription r;
  r.name = std::move(name);
  r.authentication = authentication;
  return r;
}

TableDescription Table(std::string owner, std::string name, std::string tablespace, std::vector<ColumnDescription> columns) {
  TableDescription t;
  t.owner = std::move(owner);
  t.name = std::move(name);
  t.tablespace = std::move(tablespace);
  t.columns = std::move(columns);
  return t;
}

namespace {
ConstraintDescription Constraint(std::string name, ConstraintKind kind, std::vector<std::string> columns) {
  ConstraintDescription c;
  c.name = std::move(name);
  c.kind = kind;
  c.columns = std::move(columns);
  return c;
}
}  // namespace

ConstraintDescription PrimaryKey(std::string name, std::vector<std::string> columns) {
  return Constraint(std::move(name), ConstraintKind::kPrimaryKey, std::move(columns));
}

ConstraintDescription Unique(std::string name, std::vector<std::string> columns) {
  return Constraint(std::move(name), ConstraintKind::kUnique, std::move(columns));
}

ConstraintDescription Check(std::string name, std::string condition, std::vector<std::string> columns) {
  ConstraintDescription c = Constraint(std::move(name), ConstraintKind::kCheck, std::move(columns));
  c.condition = std::move(condition);
  return c;
}

ConstraintDescription ForeignKey(std::string name, std::vector<std::string> columns, std::string ref_owner,
                          std::string ref_table, DeleteRule rule) {
  ConstraintDescription c = Constraint(std::move(name), ConstraintKind::kForeignKey, std::move(columns));
  c.ref_owner = std::move(ref_owner);
  c.ref_table = std::move(ref_table);
  c.delete_rule = rule;
  return c;
}

IndexDescription Index(std::string owner, std::string name, std::string table, std::vector<std::string> columns,
                std::string tablespace) {
  IndexDescription x;
  x.owner = std::move(owner);
  x.name = std::move(name);
  x.table = std::move(table);
  x.columns = std::move(columns);
  x.tablespace = std::move(tablespace);
  return x;
}

CodeDescription Code(std::string owner, std::string name, CodeKind kind, std::vector<std::string> lines) {
  CodeDescription c;
  c.owner = std::move(owner);
  c.name = std::move(name);
  c.kind = kind;
  c.lines = std::move(lines);
  return c;
}

ObjectGrantDescription Grant(std::string privilege, std::string owner, std::string object, std::string grantee) {
  ObjectGrantDescription g;
  g.privilege = std::move(privilege);
  g.owner = std::move(owner);
  g.object = std::move(object);
  g.grantee = std::move(grantee);
  return g;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  std::size_t start = 0;
  while (start < text.size()) {
    const auto end = text.find('\n', start);
    const std::size_t stop = end == std::string::npos ? text.size() : end + 1;
    out.push_back(text.substr(start, stop - start));
    start = stop;
  }
  return out;
}

}  // namespace quillon::testdb
