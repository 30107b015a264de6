#include "testdb/privileges.h"

#include <array>

namespace quillon::testdb {

namespace {

constexpr std::array<PrivilegeName, 44> kSystem = {{
    {-3, "ALTER SYSTEM"},
    {-4, "AUDIT SYSTEM"},
    {-5, "CREATE SESSION"},
    {-6, "ALTER SESSION"},
    {-7, "RESTRICTED SESSION"},
    {-10, "CREATE TABLESPACE"},
    {-11, "ALTER TABLESPACE"},
    {-12, "MANAGE TABLESPACE"},
    {-13, "DROP TABLESPACE"},
    {-15, "UNLIMITED TABLESPACE"},
    {-20, "CREATE USER"},
    {-21, "BECOME USER", 1},
    {-22, "ALTER USER"},
    {-23, "DROP USER"},
    {-40, "CREATE TABLE"},
    {-41, "CREATE ANY TABLE"},
    {-42, "ALTER ANY TABLE"},
    {-44, "DROP ANY TABLE"},
    {-47, "SELECT ANY TABLE"},
    {-48, "INSERT ANY TABLE"},
    {-49, "UPDATE ANY TABLE"},
    {-50, "DELETE ANY TABLE"},
    {-60, "CREATE CLUSTER"},
    {-71, "CREATE ANY INDEX"},
    {-80, "CREATE SYNONYM"},
    {-81, "CREATE ANY SYNONYM"},
    {-83, "SYSDBA", 1},
    {-84, "SYSOPER", 1},
    {-85, "CREATE PUBLIC SYNONYM"},
    {-90, "CREATE VIEW"},
    {-91, "CREATE ANY VIEW"},
    {-105, "CREATE SEQUENCE"},
    {-115, "CREATE DATABASE LINK"},
    {-120, "CREATE PUBLIC DATABASE LINK"},
    {-140, "CREATE PROCEDURE"},
    {-141, "CREATE ANY PROCEDURE"},
    {-144, "EXECUTE ANY PROCEDURE"},
    {-151, "CREATE TRIGGER"},
    {-152, "CREATE ANY TRIGGER"},
    {-172, "CREATE MATERIALIZED VIEW"},
    {-180, "CREATE TYPE"},
    {-181, "CREATE ANY TYPE"},
    {-215, "QUERY REWRITE"},
    {-264, "SELECT ANY DICTIONARY"},
}};

constexpr std::array<PrivilegeName, 17> kTable = {{
    {0, "ALTER"},     {1, "AUDIT"},   {2, "COMMENT"}, {3, "DELETE"},     {4, "GRANT"},    {5, "INDEX"},
    {6, "INSERT"},    {7, "LOCK"},    {8, "RENAME"},  {9, "SELECT"},     {10, "UPDATE"},  {11, "REFERENCES"},
    {12, "EXECUTE"},  {16, "CREATE"}, {17, "READ"},   {18, "WRITE"},     {20, "ENQUEUE"},
}};

std::optional<std::int32_t> Lookup(std::span<const PrivilegeName> list, std::string_view name) {
  for (const auto& p : list) {
    if (p.name == name) return p.number;
  }
  return std::nullopt;
}

}  // namespace

std::span<const PrivilegeName> SystemPrivileges() { return kSystem; }
std::span<const PrivilegeName> TablePrivileges() { return kTable; }
std::optional<std::int32_t> SystemPrivilegeNumber(std::string_view name) { return Lookup(kSystem, name); }
std::optional<std::int32_t> TablePrivilegeNumber(std::string_view name) { return Lookup(kTable, name); }

}  // namespace quillon::testdb
