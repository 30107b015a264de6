// Tablespaces, users, roles and grants.
#include <set>

#include "testdb/privileges.h"
#include "testdb/resolver.h"

namespace quillon::testdb {

namespace {

std::string StoredPassword(Authentication a, const std::string& hash) {
  switch (a) {
    case Authentication::kPassword: return hash;
    case Authentication::kNone: return "";
    case Authentication::kGlobal: return "GLOBAL";
    case Authentication::kExternal: return "EXTERNAL";
  }
  return "";
}

// User numbers of the application users start here.
constexpr std::uint32_t kFirstUserNumber = 50;

}  // namespace

void Resolver::Tablespaces() {
  std::uint32_t file = 1;
  std::uint32_t number = 0;
  for (const auto& t : schema_.tablespaces) {
    RTablespace r;
    r.number = number++;
    r.name = t.name;
    r.contents = t.contents;
    r.space = t.space;
    r.uniform_extent_blocks = t.uniform_extent_blocks;
    for (const auto& f : t.datafiles) {
      r.relative_files.push_back(file++);
      r.file_names.push_back(f);
    }
    if (r_.TablespaceNamed(r.name)) Fail("tablespace " + r.name + " given twice");
    r_.tablespaces.push_back(std::move(r));
  }
  if (!r_.TablespaceNamed("SYSTEM")) Fail("the schema has no SYSTEM tablespace");
}

void Resolver::Users() {
  std::set<std::uint32_t> used;
  for (const auto& u : schema_.users) {
    if (u.number) used.insert(*u.number);
  }
  for (const auto& r : schema_.roles) {
    if (r.number) used.insert(*r.number);
  }
  std::uint32_t next = kFirstUserNumber;
  const auto number = [&](const std::optional<std::uint32_t>& given) {
    if (given) return *given;
    while (used.count(next)) ++next;
    used.insert(next);
    return next;
  };
  for (const auto& r : schema_.roles) {
    RUser u;
    u.number = number(r.number);
    u.name = r.name;
    u.role = true;
    u.authentication = r.authentication;
    u.password = StoredPassword(r.authentication, "7DFA4F1A9E2C05B3");
    r_.users.push_back(std::move(u));
  }
  for (const auto& s : schema_.users) {
    RUser u;
    u.number = number(s.number);
    u.name = s.name;
    u.authentication = s.authentication;
    u.password = StoredPassword(s.authentication, s.password_hash);
    u.account_status = s.account_status;
    u.external_name = s.external_name;
    r_.users.push_back(std::move(u));
  }
  // Tablespaces resolved once every user is known (they name each other only
  // through numbers).
  std::size_t i = schema_.roles.size();
  for (const auto& s : schema_.users) {
    RUser& u = r_.users[i++];
    u.default_ts = TablespaceNumber(s.default_tablespace);
    u.temporary_ts = TablespaceNumber(s.temporary_tablespace);
  }
  std::set<std::string> names;
  for (const auto& u : r_.users) {
    if (!names.insert(u.name).second) Fail("user or role " + u.name + " given twice");
  }
}

void Resolver::Grants() {
  std::uint32_t sequence = 1;
  for (const auto& g : schema_.system_grants) {
    RSystemGrant r;
    r.grantee = UserNumber(g.grantee);
    if (g.role) {
      r.privilege = UserNumber(g.privilege);
    } else {
      const auto p = SystemPrivilegeNumber(g.privilege);
      if (!p) Fail("unknown system privilege " + g.privilege);
      r.privilege = *p;
    }
    r.sequence = sequence++;
    r.admin = g.admin_option;
    r_.system_grants.push_back(r);
  }
  for (const auto& g : schema_.object_grants) {
    RObjectGrant r;
    const std::uint32_t owner = UserNumber(g.owner);
    const RObject* target = nullptr;
    for (const auto& o : r_.objects) {
      if (o.owner == owner && o.name == g.object && o.subname.empty() && o.name_space == obj::kNsTable) target = &o;
    }
    if (!target) Fail("grant on unknown object " + g.owner + "." + g.object);
    r.object = target->number;
    r.grantor = UserNumber(g.grantor.empty() ? g.owner : g.grantor);
    r.grantee = UserNumber(g.grantee);
    const auto p = TablePrivilegeNumber(g.privilege);
    if (!p) Fail("unknown object privilege " + g.privilege);
    r.privilege = static_cast<std::uint32_t>(*p);
    r.sequence = sequence++;
    r.grant_option = g.grant_option;
    if (g.column) {
      const RTable* t = r_.Table(r.object);
      if (!t) Fail("column grant on " + g.object + ", which is not a table");
      r.column_number = ColumnNamed(*t, *g.column).column_number;
    }
    r_.object_grants.push_back(r);
  }
}

}  // namespace quillon::testdb
