// The rows of SYSTEM_PRIVILEGE_MAP and TABLE_PRIVILEGE_MAP the generator
// writes: Oracle's privilege numbers and names (a subset of the system
// privileges, every object privilege up to EXECUTE and the few after it).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace quillon::testdb {

struct PrivilegeName {
  std::int32_t number;
  std::string_view name;
  std::uint32_t property = 0;  // SYSTEM_PRIVILEGE_MAP.PROPERTY
};

std::span<const PrivilegeName> SystemPrivileges();
std::span<const PrivilegeName> TablePrivileges();
std::optional<std::int32_t> SystemPrivilegeNumber(std::string_view name);
std::optional<std::int32_t> TablePrivilegeNumber(std::string_view name);

}  // namespace quillon::testdb
