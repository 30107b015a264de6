#include "repair/security_ddl.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <set>

#include "repair/storage_ddl.h"

namespace quillon::repair {

namespace {

// The object privileges of Oracle 10g and 11g (TABLE_PRIVILEGE_MAP).
constexpr std::string_view kObjectPrivileges[] = {
    "ALTER", "AUDIT", "COMMENT", "DELETE", "GRANT", "INDEX", "INSERT", "LOCK", "RENAME", "SELECT",
    "UPDATE", "REFERENCES", "EXECUTE", "CREATE", "READ", "WRITE", "ENABLE", "DEBUG", "UNDER",
    "ON COMMIT REFRESH", "QUERY REWRITE", "FLASHBACK", "MERGE VIEW", "USE", "FLASHBACK ARCHIVE"};

// Words that would turn a privilege list into another statement: a further
// grantee or option, a password, or every privilege at once.
constexpr std::string_view kForbiddenWords[] = {"TO", "WITH", "BY", "IDENTIFIED", "ALL", "FROM"};

template <std::size_t N>
bool Contains(const std::string_view (&list)[N], std::string_view name) {
  return std::find(std::begin(list), std::end(list), name) != std::end(list);
}

// A grantee: PUBLIC is the keyword of the GRANT syntax, every other grantee
// a quoted name.
void GranteeName(SqlBuilder& sql, const std::string& name) {
  if (name == "PUBLIC") {
    sql.Raw("PUBLIC");
  } else {
    sql.Ident(name);
  }
}

// A grantee of the generators: a user or a role.
struct Grantee {
  std::uint32_t number = 0;
  std::string name;
};

// The system privileges and roles granted to a user or role.
void GrantSystemPrivileges(const RepairSource& source, const Grantee& grantee, bool grantee_is_role,
                           const StatementNote& owner_note, StatementSink& sink) {
  for (const SystemGrantDefinition& g : source.views.SystemGrantsTo(grantee.number)) {
    StatementNote note = owner_note;
    note.object = "Grant of " + (g.privilege_known ? g.privilege : "#" + std::to_string(g.privilege_number)) +
                  " to " + grantee.name;
    if (!g.privilege_known) {
      sink.Skipped(note, g.role ? "the granted role " + std::to_string(g.privilege_number) + " is not in the dictionary"
                                : "the system privilege " + std::to_string(g.privilege_number) + " has no name");
      continue;
    }
    SqlBuilder sql;
    sql.Raw("GRANT ");
    if (g.role) {
      sql.Ident(g.privilege);
    } else {
      if (!IsWritableSystemPrivilege(g.privilege)) {
        sink.Skipped(note, "the system privilege name is not one a GRANT can hold");
        continue;
      }
      if (grantee_is_role && g.privilege == "UNLIMITED TABLESPACE") {
        sink.Skipped(note, "Oracle grants UNLIMITED TABLESPACE to users only (ORA-01931)");
        continue;
      }
      sql.Raw(g.privilege);
    }
    sql.Raw(" TO ");
    GranteeName(sql, grantee.name);
    if (g.admin_option) sql.Raw(" WITH ADMIN OPTION");
    Emit(sink, sql, note);
  }
}

void GrantObjectPrivileges(const RepairSource& source, const std::vector<Grantee>& grantees,
                           std::string_view phase, StatementSink& sink, std::string_view only) {
  for (const Grantee& grantee : grantees) {
    if (!only.empty() && grantee.name != only) continue;
    for (const ObjectGrantDefinition& g : source.views.ObjectGrantsTo(grantee.number)) {
      // Only an object listed under a kind is one the repair re-creates.
      const std::string object_label = g.kind ? g.owner + "." + g.object : "#" + std::to_string(g.object_number);
      StatementNote note{std::string(phase),
                         "Grant of " + (g.privilege_known ? g.privilege : "#" + std::to_string(g.privilege_number)) +
                             " on " + object_label + " to " + grantee.name,
                         false};
      if (!g.privilege_known || !IsObjectPrivilege(g.privilege)) {
        sink.Skipped(note, "the privilege is not an object privilege Oracle knows");
        continue;
      }
      if (!g.kind) {
        sink.Skipped(note, "the object is not among the rescued objects");
        continue;
      }
      SqlBuilder sql;
      sql.Raw("GRANT ").Raw(g.privilege);
      if (g.column_number) {
        // A column privilege stays on its column: granting it on the whole
        // object instead would give more than the source gave.
        if (!IsColumnPrivilege(g.privilege)) {
          sink.Skipped(note, "Oracle grants only INSERT, UPDATE and REFERENCES on single columns");
          continue;
        }
        if (!g.column_known || !g.column) {
          sink.Skipped(note, "its column " + std::to_string(*g.column_number) + " is not in the dictionary");
          continue;
        }
        sql.Raw(" (").Ident(*g.column).Raw(")");
      }
      sql.Raw(" ON ").Ident(g.owner).Raw(".").Ident(g.object).Raw(" TO ");
      GranteeName(sql, grantee.name);
      if (g.grant_option) sql.Raw(" WITH GRANT OPTION");
      Emit(sink, sql, note);
    }
  }
}

}  // namespace

bool IsWritableSystemPrivilege(std::string_view name) {
  if (name == "SYSDBA" || name == "SYSOPER") return true;
  if (name.empty() || name.size() > 40) return false;
  std::size_t words = 0;
  std::size_t start = 0;
  while (start <= name.size()) {
    const std::size_t end = std::min(name.find(' ', start), name.size());
    const std::string_view word = name.substr(start, end - start);
    if (word.empty() || Contains(kForbiddenWords, word)) return false;
    for (const char c : word) {
      if (!((c >= 'A' && c <= 'Z') || c == '_')) return false;
    }
    ++words;
    start = end + 1;
  }
  return words >= 2;
}

bool IsObjectPrivilege(std::string_view name) { return Contains(kObjectPrivileges, name); }

bool IsColumnPrivilege(std::string_view name) {
  return name == "INSERT" || name == "UPDATE" || name == "REFERENCES";
}

void CreateRoles(const RepairSource& source, StatementSink& sink, std::string_view only) {
  for (const RoleDefinition& role : source.views.Roles()) {
    if (!only.empty() && role.name != only) continue;
    const Grantee grantee{role.number, role.name};
    const StatementNote note{std::string(kPhaseRole), "Role " + role.name, role.builtin};
    if (role.name == "PUBLIC") {
      // PUBLIC is a keyword for every database's grantee of all, not a role
      // that can be created; its grants follow all the same.
      GrantSystemPrivileges(source, grantee, true, note, sink);
      continue;
    }
    SqlBuilder sql;
    sql.Raw("CREATE ROLE ").Ident(role.name);
    switch (role.authentication) {
      case Authentication::kGlobal: sql.Raw(" IDENTIFIED GLOBALLY"); break;
      case Authentication::kExternal: sql.Raw(" IDENTIFIED EXTERNALLY"); break;
      case Authentication::kPassword: sql.Raw(" IDENTIFIED BY ").Password(); break;
      case Authentication::kNone: break;
    }
    if (!Emit(sink, sql, note)) continue;
    GrantSystemPrivileges(source, grantee, true, note, sink);
  }
}

void CreateUsers(const RepairSource& source, StatementSink& sink, std::string_view only) {
  const std::set<std::string, std::less<>> existing = TablespacesThatWillExist(source);
  const auto will_exist = [&existing](std::string_view name) {
    return IsBuiltinTablespace(name) || existing.count(name) != 0;
  };
  const std::map<std::uint32_t, std::vector<std::string>> segments = source.views.SegmentTablespacesByOwner();
  for (const UserDefinition& user : source.views.Users()) {
    if (!only.empty() && user.name != only) continue;
    const StatementNote note{std::string(kPhaseUser), "User " + user.name, user.builtin};
    if (user.name == "PUBLIC") continue;  // listed among the roles
    SqlBuilder sql;
    sql.Raw("CREATE USER ").Ident(user.name).Raw(" IDENTIFIED");
    const bool password =
        user.authentication != Authentication::kGlobal && user.authentication != Authentication::kExternal;
    if (user.authentication == Authentication::kGlobal) {
      sql.Raw(" GLOBALLY AS ").Literal(user.external_name);
    } else if (user.authentication == Authentication::kExternal) {
      sql.Raw(" EXTERNALLY");
    } else {
      // A password user, or one whose password column was NULL: both get
      // the repair password.
      sql.Raw(" BY ").Password();
    }
    if (!user.default_tablespace.empty() && will_exist(user.default_tablespace)) {
      sql.Raw(" DEFAULT TABLESPACE ").Ident(user.default_tablespace);
    }
    // A quota on every tablespace that holds the user's segments, or the
    // first row inserted into its tables fails (ORA-01950). Tablespaces the
    // target will not have are left out: a quota on a missing tablespace
    // would fail the whole CREATE USER.
    if (const auto it = segments.find(user.number); it != segments.end()) {
      for (const std::string& tablespace : it->second) {
        if (will_exist(tablespace)) sql.Raw(" QUOTA UNLIMITED ON ").Ident(tablespace);
      }
    }
    if (password) sql.Raw(" PASSWORD EXPIRE");
    sql.Raw(user.locked ? " ACCOUNT LOCK" : " ACCOUNT UNLOCK");
    if (!Emit(sink, sql, note)) continue;
    GrantSystemPrivileges(source, Grantee{user.number, user.name}, false, note, sink);
  }
}

void GrantUserObjectPrivileges(const RepairSource& source, StatementSink& sink, std::string_view only) {
  std::vector<Grantee> grantees;
  for (const UserDefinition& u : source.views.Users()) grantees.push_back(Grantee{u.number, u.name});
  GrantObjectPrivileges(source, grantees, kPhaseUserObjectPrivilege, sink, only);
}

void GrantRoleObjectPrivileges(const RepairSource& source, StatementSink& sink, std::string_view only) {
  std::vector<Grantee> grantees;
  for (const RoleDefinition& r : source.views.Roles()) grantees.push_back(Grantee{r.number, r.name});
  GrantObjectPrivileges(source, grantees, kPhaseRoleObjectPrivilege, sink, only);
}

}  // namespace quillon::repair
