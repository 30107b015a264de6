// What the storage and security generators read from the catalogue, in the
// shapes they need: tablespaces, datafiles, users, roles and their grants.
// All catalogue reading of these generators goes through this file.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "reader/catalogue.h"
#include "reader/datafile.h"

namespace quillon::repair {

// The rescued database: its catalogue and its registered datafiles.
struct RepairSource {
  const Catalogue& catalogue;
  const DatafileList& datafiles;
};

struct TablespaceItem {
  std::string name;
  bool temporary = false;
  bool undo = false;
};

struct DatafileItem {
  std::string file_name;   // without its folder
  std::string tablespace;
};

struct AccountItem {
  std::uint32_t number = 0;
  std::string name;
  std::string identification;     // kIdentifiedNone, kIdentifiedGlobally, kIdentifiedExternally or a password
  std::string external_name;
  std::string default_tablespace;
  bool locked = false;            // locked by an administrator (not the timed lock of failed logins)
};

// A system privilege or a role granted to a user or role.
struct SystemGrantItem {
  bool is_role = false;
  std::string name;               // the privilege's or role's name; empty when the number names none
  std::int64_t privilege = 0;     // the stored number
  bool admin_option = false;
};

// A privilege on an object granted to a user or role.
struct ObjectGrantItem {
  std::string privilege;          // empty when the number names none
  std::int64_t privilege_number = 0;
  std::uint32_t object_number = 0;
  const ObjectRecord* object = nullptr;      // nullptr when no listed object has the number
  std::optional<std::int64_t> column_number; // a column privilege
  std::optional<std::string> column;         // its column's name, when the column is known
  bool grant_option = false;
};

std::vector<TablespaceItem> Tablespaces(const RepairSource& source);
std::vector<DatafileItem> Datafiles(const RepairSource& source);
std::vector<AccountItem> Users(const RepairSource& source);
std::vector<AccountItem> Roles(const RepairSource& source);
std::vector<SystemGrantItem> SystemGrantsTo(const RepairSource& source, std::uint32_t grantee);
std::vector<ObjectGrantItem> ObjectGrantsTo(const RepairSource& source, std::uint32_t grantee);
// For every owner (by user number), the names of the tablespaces that hold
// segments of its objects (tables, clusters, indexes, LOBs, partitions),
// each once, in catalogue order.
std::map<std::uint32_t, std::vector<std::string>> SegmentTablespacesByOwner(const RepairSource& source);

}  // namespace quillon::repair
