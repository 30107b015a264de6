// Catalogue views: the catalogue's records joined into typed definitions
// of tables, indexes, clusters, tablespaces, users, roles and grants. Every
// printer of the catalogue (the JSON text, the command line listing) and
// every statement generator reads definitions from here rather than joining
// records itself, so that all of them agree on key column order, foreign
// key targets, partition order and names.
//
// The definitions are plain values (catalogue_view_tables.h,
// catalogue_view_indexes.h, catalogue_view_security.h), built on request
// from the catalogue; a CatalogueViews holds the few reverse lookups the
// catalogue lacks (TAB$ rows by base object, taken when it is made: make it
// after the dictionary rebuild) and must not outlive the catalogue it reads.
//
// Orders: columns by INTCOL#, constraints by name, key and index columns by
// position, partitions by partition number; the storage and security lists
// in catalogue order (printers sort them as they need).
#pragma once

#include <cstdint>
#include <optional>
#include <map>
#include <span>
#include <vector>

#include "reader/catalogue.h"
#include "reader/catalogue_view_indexes.h"
#include "reader/catalogue_view_security.h"
#include "reader/catalogue_view_tables.h"

namespace quillon {

class DatafileList;

class CatalogueViews {
 public:
  explicit CatalogueViews(const Catalogue& catalogue);

  const Catalogue& catalogue() const { return c_; }

  // ---- Tables, indexes, clusters ----------------------------------------------
  // The definition of a table object (an OBJ$ row listed as a table).
  TableDefinition Table(const ObjectRecord& table) const;
  // Every table object, in catalogue order.
  std::vector<TableDefinition> Tables() const;
  // The definition of an index object, of a cluster object.
  IndexDefinition Index(const ObjectRecord& index) const;
  ClusterDefinition Cluster(const ObjectRecord& cluster) const;
  // The indexes on a table (IND$ BO#), in catalogue order.
  std::vector<IndexDefinition> IndexesOf(std::uint32_t table_object_number) const;

  // ---- Parts of a table definition, for printers that need only one -------------
  std::vector<ColumnDefinition> Columns(std::uint32_t table_object_number) const;
  std::vector<ConstraintDefinition> Constraints(std::uint32_t table_object_number) const;
  std::optional<PartitioningDefinition> Partitioning(std::uint32_t object_number) const;
  std::vector<PartitionDefinition> Partitions(std::uint32_t table_object_number) const;

  // ---- Storage and security -----------------------------------------------------
  // The tablespaces, each with the datafiles of the list given that name it.
  std::vector<TablespaceDefinition> Tablespaces(std::span<const DatafileDefinition> datafiles) const;
  std::vector<UserDefinition> Users() const;
  std::vector<RoleDefinition> Roles() const;
  std::vector<SystemGrantDefinition> SystemGrants() const;
  std::vector<ObjectGrantDefinition> ObjectGrants() const;
  // The grants to one user or role (GRANTEE#), in catalogue order.
  std::vector<SystemGrantDefinition> SystemGrantsTo(std::uint32_t grantee_number) const;
  std::vector<ObjectGrantDefinition> ObjectGrantsTo(std::uint32_t grantee_number) const;
  // For every owner (by USER#), the tablespaces that hold segments of its
  // objects (tables, clusters, indexes, LOBs, partitions and subpartitions),
  // each once, in catalogue order.
  std::map<std::uint32_t, std::vector<std::string>> SegmentTablespacesByOwner() const;

  // The name of a table's column by COL#; NumberedName of the number when
  // there is none.
  std::string ColumnNameByNumber(std::uint32_t table, std::uint32_t column_number) const;

 private:
  ColumnDefinition ColumnOf(const ColumnInfo& column) const;
  std::vector<ConstraintColumn> KeyColumns(std::uint32_t table, std::uint32_t constraint_number) const;
  std::optional<ObjectName> NameOf(std::uint32_t object_number) const;
  void AddTableKinds(TableDefinition& d, const TableRecord& t) const;
  void AddIot(TableDefinition& d) const;
  void AddCluster(TableDefinition& d, const TableRecord& t) const;
  void AddXml(TableDefinition& d) const;
  SystemGrantDefinition SystemGrantOf(const SystemGrantRecord& g) const;
  ObjectGrantDefinition ObjectGrantOf(const ObjectGrantRecord& g) const;

  const Catalogue& c_;
  // TAB$ rows by BOBJ#: the overflow tables of IOTs and the tables of clusters.
  std::multimap<std::uint32_t, const TableRecord*> tables_by_base_;
};

// The datafiles registered with an engine, as definitions (file names
// without their folder).
std::vector<DatafileDefinition> DatafileDefinitions(const DatafileList& datafiles);

// A dictionary text that may be empty, as no value when it is.
inline std::optional<std::string> NullIfEmpty(const std::string& text) {
  if (text.empty()) return std::nullopt;
  return text;
}

}  // namespace quillon
