// Users, roles and privileges: USER$ rows (C_USER# cluster), SYSAUTH$ and
// OBJAUTH$ grants, and the privilege name lists SYSTEM_PRIVILEGE_MAP and
// TABLE_PRIVILEGE_MAP.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillon {

// Identification texts of users and roles, from the stored password column.
inline constexpr std::string_view kIdentifiedNone = "NONE";
inline constexpr std::string_view kIdentifiedGlobally = "GLOBAL";
inline constexpr std::string_view kIdentifiedExternally = "EXTERNAL";
// Users and roles with a password are re-created with this one.
inline constexpr std::string_view kRepairPassword = "KESTON";

// The identification text for a password column: NULL gives "NONE", a
// stored value of 6 bytes "GLOBAL", of 8 bytes "EXTERNAL", anything else the
// repair password.
std::string_view IdentificationText(bool password_is_null, std::size_t password_length);

// USER$ row of type 1.
struct UserRecord {
  std::string name;
  std::string default_tablespace;     // from DATATS#; empty when no tablespace matches
  std::string temporary_tablespace;   // from TEMPTS#
  std::uint16_t account_status = 0;   // ASTATUS as stored (0x0080: open)
  std::uint32_t number = 0;           // USER#
  std::string identification;         // IdentificationText
  std::string external_name;          // EXT_USERNAME
  std::uint32_t default_tablespace_number = 0;
  std::uint32_t temporary_tablespace_number = 0;
  std::int64_t account_status_value = 0;  // ASTATUS decoded: 0 open, 8 locked, ...
};

// USER$ row of type 0.
struct RoleRecord {
  std::string name;
  std::uint32_t number = 0;
  std::string identification;
};

// SYSAUTH$: a system privilege (negative privilege number) or a role
// (positive: the role's USER#) granted to a user or role.
struct SystemGrantRecord {
  std::uint32_t grantee_number = 0;   // GRANTEE#
  std::uint32_t privilege_code = 0;   // PRIVILEGE# packed
  std::int64_t privilege = 0;         // PRIVILEGE# decoded
  std::int64_t sequence = 0;          // SEQUENCE#
  std::int64_t option = 0;            // OPTION$: 1 WITH ADMIN OPTION; 0 when absent
};

// OBJAUTH$: a privilege on an object granted to a user or role.
struct ObjectGrantRecord {
  std::uint32_t object_number = 0;    // OBJ#
  std::int64_t grantor_number = 0;    // GRANTOR#
  std::uint32_t grantee_number = 0;   // GRANTEE#
  std::int64_t privilege = 0;         // PRIVILEGE#: TABLE_PRIVILEGE_MAP number
  std::int64_t sequence = 0;          // SEQUENCE#
  std::int64_t option = 0;            // OPTION$: 1 WITH GRANT OPTION
  std::optional<std::int64_t> column_number;  // COL# of a column privilege
};

// A privilege number and its name (SYSTEM_PRIVILEGE_MAP: negative numbers;
// TABLE_PRIVILEGE_MAP: the object privileges).
struct PrivilegeNameRecord {
  std::int64_t privilege = 0;
  std::uint32_t privilege_code = 0;   // the stored NUMBER packed, as SYSAUTH$ grants compare it
  std::string name;
  std::uint16_t property = 0;         // SYSTEM_PRIVILEGE_MAP.PROPERTY
};

}  // namespace quillon
