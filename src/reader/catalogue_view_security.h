// Storage and security definitions: tablespaces with their datafiles,
// users, roles, and the system and object privileges granted to them, with
// every number resolved to a name.
//
// Lists are in catalogue (dictionary read) order: the order the repair
// creates them in. Every new Oracle database already has some of these
// users, roles and tablespaces (SYS, SYSTEM, SYSAUX, TEMP ...); they are
// flagged `builtin` so that a log can say why creating them fails. They
// stay in the lists.
//
// Built by CatalogueViews (catalogue_views.h).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "reader/catalogue_objects.h"

namespace quillon {

// A datafile of the source database: file name without its folder, the
// tablespace its header names, its relative file number and block size.
struct DatafileDefinition {
  std::string file_name;
  std::string tablespace;
  std::uint32_t relative_file = 0;
  std::uint32_t block_size = 0;
};

// A TS$ row with the datafiles of the tablespace (matched by name without
// regard to case, in the order given).
struct TablespaceDefinition {
  std::string name;
  std::uint32_t number = 0;            // TS#
  std::uint32_t block_size = 0;
  bool temporary = false;              // CONTENTS$ 1
  bool undo = false;                   // FLAGS 0x10
  bool builtin = false;                // IsBuiltinTablespace
  std::vector<DatafileDefinition> datafiles;
};

// How a user or role is identified (the stored password column).
enum class Authentication : std::uint8_t { kNone, kPassword, kGlobal, kExternal };

struct UserDefinition {
  std::string name;
  std::uint32_t number = 0;            // USER#
  Authentication authentication = Authentication::kPassword;
  std::string identification;          // IdentificationText as read ("NONE", "GLOBAL", "EXTERNAL", the repair password)
  std::string external_name;           // EXT_USERNAME (globally identified users)
  std::string default_tablespace;      // empty when it matches no tablespace
  std::string temporary_tablespace;
  std::int64_t account_status = 0;     // ASTATUS: 0 open, other values locked or expired
  bool locked = false;                 // ASTATUS 0x08: locked by an administrator (not the timed lock of failed logins)
  bool builtin = false;                // IsBuiltinUser
};

struct RoleDefinition {
  std::string name;
  std::uint32_t number = 0;
  Authentication authentication = Authentication::kNone;
  std::string identification;          // IdentificationText as read
  bool builtin = false;                // IsBuiltinRole
};

// A SYSAUTH$ row: a system privilege or a role granted to a user or role.
struct SystemGrantDefinition {
  std::uint32_t grantee_number = 0;
  std::string grantee;                 // user or role name; kUnknownOwnerName when neither
  bool grantee_is_role = false;
  bool role = false;                   // a role is granted (PRIVILEGE# not negative)
  std::string privilege;               // the privilege or role name; the number as text when unknown
  std::int64_t privilege_number = 0;   // PRIVILEGE# decoded: a system privilege (negative) or the role's USER#
  bool privilege_known = false;        // the number names a listed role or system privilege, and it has a name
  bool admin_option = false;           // WITH ADMIN OPTION (OPTION$ 0x01)
};

// An OBJAUTH$ row: a privilege on an object (or one of its columns).
struct ObjectGrantDefinition {
  std::uint32_t grantee_number = 0;
  std::string grantee;
  bool grantee_is_role = false;
  std::uint32_t object_number = 0;
  // The object: the first OBJ$ row of the number listed under a kind (else
  // the first of the number at all).
  std::string owner;                   // empty when the object is unknown
  std::string object;                  // "#n" when the object is unknown
  std::optional<ObjectKind> kind;      // the object's kind, when it is listed under one
  std::string privilege;               // TABLE_PRIVILEGE_MAP name; the number as text when unknown
  std::int64_t privilege_number = 0;   // PRIVILEGE#
  bool privilege_known = false;        // TABLE_PRIVILEGE_MAP names the number
  std::optional<std::int64_t> column_number;  // COL# of a column privilege
  std::optional<std::string> column;   // column privileges: the column (by COL#); "#n" when unknown
  bool column_known = false;           // the object has a column with that COL#
  bool grant_option = false;           // WITH GRANT OPTION (OPTION$ 0x01)
};

// The users, roles and tablespaces of a new Oracle database (8i to 11g),
// by name as the dictionary spells them.
bool IsBuiltinUser(std::string_view name);
bool IsBuiltinRole(std::string_view name);
bool IsBuiltinTablespace(std::string_view name);

// The authentication of an IdentificationText ("NONE", "GLOBAL",
// "EXTERNAL", anything else: a password).
Authentication AuthenticationOf(std::string_view identification);

}  // namespace quillon
