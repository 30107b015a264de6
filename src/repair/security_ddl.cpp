#include "repair/security_ddl.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <set>

#include "reader/catalogue_security.h"
#include "reader/catalogue_view_security.h"
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

bool IsPassword(const AccountItem& a) {
  return a.identification != kIdentifiedNone && a.identification != kIdentifiedGlobally &&
         a.identification != kIdentifiedExternally;
}

// A grantee: PUBLIC is the keyword of the GRANT syntax, every other grantee
// a quoted name.
void Grantee(SqlBuilder& sql, const std::string& name) {
  if (name == "PUBLIC") {
    sql.Raw("PUBLIC");
  } else {
    sql.Ident(name);
  }
}

// The system privileges and roles granted to a user or role.
void GrantSystemPrivileges(const RepairSource& source, const AccountItem& grantee, bool grantee_is_role,
                           const StatementNote& owner_note, StatementSink& sink) {
  for (const SystemGrantItem& g : SystemGrantsTo(source, grantee.number)) {
    StatementNote note = owner_note;
    note.object = "Grant of " + (g.name.empty() ? "#" + std::to_string(g.privilege) : g.name) + " to " + grantee.name;
    if (g.name.empty()) {
      sink.Skipped(note, g.is_role ? "the granted role " + std::to_string(g.privilege) + " is not in the dictionary"
                                   : "the system privilege " + std::to_string(g.privilege) + " has no name");
      continue;
    }
    SqlBuilder sql;
    sql.Raw("GRANT ");
    if (g.is_role) {
      sql.Ident(g.name);
    } else {
      if (!IsWritableSystemPrivilege(g.name)) {
        sink.Skipped(note, "the system privilege name is not one a GRANT can hold");
        continue;
      }
      if (grantee_is_role && g.name == "UNLIMITED TABLESPACE") {
        sink.Skipped(note, "Oracle grants UNLIMITED TABLESPACE to users only (ORA-01931)");
        continue;
      }
      sql.Raw(g.name);
    }
    sql.Raw(" TO ");
    Grantee(sql, grantee.name);
    if (g.admin_option) sql.Raw(" WITH ADMIN OPTION");
    Emit(sink, sql, note);
  }
}

void GrantObjectPrivileges(const RepairSource& source, const std::vector<AccountItem>& grantees,
                           std::string_view phase, StatementSink& sink, std::string_view only) {
  for (const AccountItem& grantee : grantees) {
    if (!only.empty() && grantee.name != only) continue;
    for (const ObjectGrantItem& g : ObjectGrantsTo(source, grantee.number)) {
      const std::string object_label =
          g.object ? g.object->owner + "." + g.object->name : "#" + std::to_string(g.object_number);
      StatementNote note{std::string(phase),
                         "Grant of " + (g.privilege.empty() ? "#" + std::to_string(g.privilege_number) : g.privilege) +
                             " on " + object_label + " to " + grantee.name,
                         false};
      if (g.privilege.empty() || !IsObjectPrivilege(g.privilege)) {
        sink.Skipped(note, "the privilege is not an object privilege Oracle knows");
        continue;
      }
      if (g.object == nullptr) {
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
        if (!g.column) {
          sink.Skipped(note, "its column " + std::to_string(*g.column_number) + " is not in the dictionary");
          continue;
        }
        sql.Raw(" (").Ident(*g.column).Raw(")");
      }
      sql.Raw(" ON ").Ident(g.object->owner).Raw(".").Ident(g.object->name).Raw(" TO ");
      Grantee(sql, grantee.name);
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
  for (const AccountItem& role : Roles(source)) {
    if (!only.empty() && role.name != only) continue;
    const StatementNote note{std::string(kPhaseRole), "Role " + role.name, IsBuiltinRole(role.name)};
    if (role.name == "PUBLIC") {
      // PUBLIC is a keyword for every database's grantee of all, not a role
      // that can be created; its grants follow all the same.
      GrantSystemPrivileges(source, role, true, note, sink);
      continue;
    }
    SqlBuilder sql;
    sql.Raw("CREATE ROLE ").Ident(role.name);
    if (role.identification == kIdentifiedGlobally) {
      sql.Raw(" IDENTIFIED GLOBALLY");
    } else if (role.identification == kIdentifiedExternally) {
      sql.Raw(" IDENTIFIED EXTERNALLY");
    } else if (IsPassword(role)) {
      sql.Raw(" IDENTIFIED BY ").Password();
    }
    if (!Emit(sink, sql, note)) continue;
    GrantSystemPrivileges(source, role, true, note, sink);
  }
}

void CreateUsers(const RepairSource& source, StatementSink& sink, std::string_view only) {
  const std::set<std::string, std::less<>> existing = TablespacesThatWillExist(source);
  const auto will_exist = [&existing](std::string_view name) {
    return IsBuiltinTablespace(name) || existing.count(name) != 0;
  };
  const std::map<std::uint32_t, std::vector<std::string>> segments = SegmentTablespacesByOwner(source);
  for (const AccountItem& user : Users(source)) {
    if (!only.empty() && user.name != only) continue;
    const StatementNote note{std::string(kPhaseUser), "User " + user.name, IsBuiltinUser(user.name)};
    if (user.name == "PUBLIC") continue;  // listed among the roles
    SqlBuilder sql;
    sql.Raw("CREATE USER ").Ident(user.name).Raw(" IDENTIFIED");
    const bool password = user.identification != kIdentifiedGlobally && user.identification != kIdentifiedExternally;
    if (user.identification == kIdentifiedGlobally) {
      sql.Raw(" GLOBALLY AS ").Literal(user.external_name);
    } else if (user.identification == kIdentifiedExternally) {
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
    GrantSystemPrivileges(source, user, false, note, sink);
  }
}

void GrantUserObjectPrivileges(const RepairSource& source, StatementSink& sink, std::string_view only) {
  GrantObjectPrivileges(source, Users(source), kPhaseUserObjectPrivilege, sink, only);
}

void GrantRoleObjectPrivileges(const RepairSource& source, StatementSink& sink, std::string_view only) {
  GrantObjectPrivileges(source, Roles(source), kPhaseRoleObjectPrivilege, sink, only);
}

}  // namespace quillon::repair
