// The resolver's working state, shared by its parts (resolve_*.cpp): the
// counters that hand out object, user and constraint numbers, and the
// lookups by name the later steps need.
#pragma once

#include <map>
#include <stdexcept>
#include <string>

#include "testdb/resolved_schema.h"

namespace quillon::testdb {

class Resolver {
 public:
  Resolver(const Schema& schema, const GeneratorRelease& release);
  ResolvedSchema Run();

  // resolve_security.cpp
  void Tablespaces();
  void Users();
  void Grants();
  // resolve_dictionary.cpp
  void Dictionary();
  void BuiltinTypes();
  // resolve_types.cpp
  void Types();
  void Code();
  // resolve_tables.cpp
  void Clusters();
  void Tables();
  void ResolveTable(const TableDescription& wanted);
  void ForeignKeys();
  void Indexes();
  void ClusterIndex(const IndexDescription& wanted);
  // resolve_columns.cpp
  std::vector<RColumn> Columns(const TableDescription& wanted, std::uint32_t table_object, RTable& table);
  void AssignSegmentColumns(RTable& table, const TableDescription& wanted);
  RColumn ScalarColumn(const std::string& name, const ColumnType& type) const;
  // resolve_partitions.cpp
  void Partitions(const TableDescription& wanted, RTable& table, std::size_t table_index);
  void LocalIndexPartitions(const IndexDescription& wanted, RIndex& index, const RTable& table);
  // resolve_objects.cpp
  void Views();
  void Synonyms();
  void Sequences();
  void Triggers();
  void Links();
  void MaterializedViews();
  void MaterializedViewLogs();
  void XmlSchemas();

  // Helpers for the parts.
  std::uint32_t NextObject() { return next_object_++; }
  std::uint32_t NextConstraint() { return next_constraint_++; }
  // Appends an OBJ$ row; the reference is valid until the next object is added.
  RObject& AddObject(std::uint32_t number, std::uint32_t owner, std::string name, std::uint32_t name_space,
                     std::uint32_t type, std::optional<std::uint32_t> data_object = std::nullopt,
                     std::string subname = "");
  std::uint32_t UserNumber(const std::string& name) const;
  std::uint32_t TablespaceNumber(const std::string& name) const;
  const RTablespace& TablespaceOf(std::uint32_t number) const;
  const TypeDescription& TypeNamed(const std::string& owner, const std::string& name) const;
  const RType& ResolvedType(const std::string& owner, const std::string& name) const;
  const RType& BuiltinType(SqlType type) const;
  int AddSegment(RSegment segment);
  std::uint32_t DatabaseCharsetId() const { return database_charset_; }
  // Index of a table in r_.tables by owner and name; -1 when none.
  int TableIndex(const std::string& owner, const std::string& name) const;
  std::uint32_t ColumnIntcol(const RTable& table, const std::string& column) const;
  const RColumn& ColumnNamed(const RTable& table, const std::string& column) const;
  // The column of a nested-table storage clause: a column, or an object
  // column's attribute named COLUMN.ATTRIBUTE.
  const RColumn& NestedParent(const RTable& table, const std::string& column) const;
  [[noreturn]] void Fail(const std::string& message) const { throw std::invalid_argument(message); }
  bool AtLeast(DictVersion v) const { return release_.version >= v; }

  const Schema& schema_;
  GeneratorRelease release_;
  ResolvedSchema r_;
  std::uint32_t next_object_ = kFirstUserObject;
  std::uint32_t next_constraint_ = 5001;
  std::uint32_t database_charset_ = 0;
  std::map<std::pair<std::string, std::string>, int> tables_by_name_;
};

}  // namespace quillon::testdb
