// Security DDL: roles, users, their system privileges and roles, and the
// privileges on objects granted to users and roles.
//
// Accounts with a password are re-created with the repair password
// ("KESTON") at the statement's password place (Statement::password_at);
// users get PASSWORD EXPIRE, so that the published password must be changed
// at the first login, and stay locked when they were locked.
#pragma once

#include <string_view>

#include "repair/repair_source.h"
#include "repair/statement_sink.h"

namespace quillon::repair {

inline constexpr std::string_view kPhaseRole = "Repairing Role ";
inline constexpr std::string_view kPhaseUser = "Repairing User ";
inline constexpr std::string_view kPhaseUserObjectPrivilege = "Repairing User Object privilege ";
inline constexpr std::string_view kPhaseRoleObjectPrivilege = "Repairing Role Object privilege ";

// CREATE ROLE for each role, then its system privileges and granted roles.
// With only given, each of these handles just the user or role of that name.
void CreateRoles(const RepairSource& source, StatementSink& sink, std::string_view only = {});
// CREATE USER for each user (with a quota on every tablespace that holds its
// segments), then its system privileges and granted roles.
void CreateUsers(const RepairSource& source, StatementSink& sink, std::string_view only = {});
// GRANT ... ON ... TO for every privilege on an object granted to a user,
// respectively a role.
void GrantUserObjectPrivileges(const RepairSource& source, StatementSink& sink, std::string_view only = {});
void GrantRoleObjectPrivileges(const RepairSource& source, StatementSink& sink, std::string_view only = {});

// Whether a system privilege name from the dictionary may be written into a
// GRANT as it is: two or more words of capital letters and underscores (or
// SYSDBA, SYSOPER), none of them a word that would change the statement.
bool IsWritableSystemPrivilege(std::string_view name);
// Whether an object privilege name is one Oracle grants on objects.
bool IsObjectPrivilege(std::string_view name);
// Whether Oracle grants the object privilege on single columns.
bool IsColumnPrivilege(std::string_view name);

}  // namespace quillon::repair
