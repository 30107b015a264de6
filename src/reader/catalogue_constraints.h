// Constraints: definitions (CDEF$, C_COBJ# cluster), names (CON$) and key
// columns (CCOL$, C_COBJ# cluster).
#pragma once

#include <cstdint>
#include <string>

namespace quillon {

// Constraint types (CDEF$.TYPE#).
namespace constraint_type {
inline constexpr std::uint32_t kCheck = 1;
inline constexpr std::uint32_t kPrimaryKey = 2;
inline constexpr std::uint32_t kUnique = 3;
inline constexpr std::uint32_t kForeignKey = 4;
inline constexpr std::uint32_t kViewCheck = 5;
inline constexpr std::uint32_t kViewReadOnly = 6;
inline constexpr std::uint32_t kNotNull = 7;
}  // namespace constraint_type

// CDEF$ row. The packed forms keep the stored NUMBER bytes (the tree compares
// them); the decoded forms are what the DDL generators use.
struct ConstraintRecord {
  std::uint32_t table_object_number = 0;      // OBJ#, the cluster key
  std::uint32_t constraint_number = 0;        // CON#
  std::uint32_t type_code = 0;                // TYPE# packed (C1 02 check, C1 03 primary key ...)
  std::uint32_t referenced_object = 0;        // ROBJ#; 0 when NULL
  std::uint32_t referenced_constraint = 0;    // RCON#; 0 when NULL
  std::string rules_text;                     // RRULES
  std::uint32_t delete_rule = 0;              // REFACT: 1 cascade, 2 set null; 0 when NULL
  std::uint32_t enabled = 0;                  // ENABLED; 0 when NULL (disabled)
  std::uint32_t defer = 0;                    // DEFER bits (1 deferrable, 2 deferred, 4 validated, 0x20 rely)
  std::string condition;                      // CONDITION: the check condition text
  std::uint32_t type = 0;                     // TYPE# decoded
  std::uint32_t column_count = 0;             // COLS
};

// CON$ row.
struct ConstraintNameRecord {
  std::uint32_t owner_number = 0;   // OWNER#
  std::string name;
  std::uint32_t constraint_number = 0;  // CON#
};

// CCOL$ row.
struct ConstraintColumnRecord {
  std::uint32_t table_object_number = 0;  // OBJ#, the cluster key
  std::uint32_t constraint_number = 0;    // CON#
  std::uint32_t column_number = 0;        // COL#
  std::uint32_t position = 0;             // POS#; 0 when NULL (check constraints)
  std::uint32_t internal_column = 0;      // INTCOL#
};

}  // namespace quillon
