// The catalogue: everything the dictionary rebuild read from one source
// database, held by the engine object (COracleRecoveryTools::catalogue).
//
// Each family of records is an append-only IndexedList in dictionary read
// order (first match wins, as a walk from the head of a list would), with
// indexes for the lookups the later steps make. The dictionary rebuild is
// the only writer; the object tree, the record view and the statement
// generators read it through a const reference.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "reader/catalogue_code.h"
#include "reader/catalogue_columns.h"
#include "reader/catalogue_constraints.h"
#include "reader/catalogue_distributed.h"
#include "reader/catalogue_objects.h"
#include "reader/catalogue_partitions.h"
#include "reader/catalogue_security.h"
#include "reader/catalogue_storage.h"
#include "reader/catalogue_types.h"
#include "reader/catalogue_xml.h"
#include "reader/record_list.h"

namespace quillon {

// The database-wide settings read from PROPS$.
struct DatabaseProperties {
  bool found = false;                  // PROPS$ was read
  std::string character_set;           // NLS_CHARACTERSET
  std::string national_character_set;  // NLS_NCHAR_CHARACTERSET
  std::string time_zone;               // DBTIMEZONE
};

using OwnerAndName = std::pair<std::string, std::string>;

// "#" and the number: how listings name what the dictionary did not name.
std::string NumberedName(std::uint64_t number);

class Catalogue {
 public:
  Catalogue() = default;
  Catalogue(const Catalogue&) = delete;
  Catalogue& operator=(const Catalogue&) = delete;

  // ---- Security -----------------------------------------------------------
  IndexedList<UserRecord, std::uint32_t, std::string> users{
      +[](const UserRecord& r) { return r.number; }, +[](const UserRecord& r) { return r.name; }};
  IndexedList<RoleRecord, std::uint32_t, std::string> roles{
      +[](const RoleRecord& r) { return r.number; }, +[](const RoleRecord& r) { return r.name; }};
  IndexedList<SystemGrantRecord, std::uint32_t> system_grants{
      +[](const SystemGrantRecord& r) { return r.grantee_number; }};
  IndexedList<ObjectGrantRecord, std::uint32_t, std::uint32_t> object_grants{
      +[](const ObjectGrantRecord& r) { return r.grantee_number; },
      +[](const ObjectGrantRecord& r) { return r.object_number; }};
  IndexedList<PrivilegeNameRecord, std::int64_t> system_privilege_names{
      +[](const PrivilegeNameRecord& r) { return r.privilege; }};
  IndexedList<PrivilegeNameRecord, std::int64_t> table_privilege_names{
      +[](const PrivilegeNameRecord& r) { return r.privilege; }};

  // ---- Storage ------------------------------------------------------------
  IndexedList<TablespaceRecord, std::uint32_t> tablespaces{+[](const TablespaceRecord& r) { return r.number; }};
  IndexedList<TableRecord, std::uint32_t> tables{+[](const TableRecord& r) { return r.object_number; }};
  IndexedList<ClusterRecord, std::uint32_t> clusters{+[](const ClusterRecord& r) { return r.object_number; }};
  IndexedList<IndexRecord, std::uint32_t, std::uint32_t> indexes{
      +[](const IndexRecord& r) { return r.index_object_number; },
      +[](const IndexRecord& r) { return r.table_object_number; }};
  IndexedList<IndexColumnRecord, std::uint32_t> index_columns{
      +[](const IndexColumnRecord& r) { return r.index_object_number; }};
  IndexedList<LobRecord, std::uint32_t, std::uint32_t> lobs{
      +[](const LobRecord& r) { return r.table_object_number; },
      +[](const LobRecord& r) { return r.lob_object_number; }};

  // ---- Objects and columns ------------------------------------------------
  // Indexed by object number, by owner and name, and by OID$ (types).
  IndexedList<ObjectRecord, std::uint32_t, OwnerAndName, std::string> objects{
      +[](const ObjectRecord& r) { return r.object_number; },
      +[](const ObjectRecord& r) { return OwnerAndName{r.owner, r.name}; },
      +[](const ObjectRecord& r) { return r.oid; }};
  IndexedList<ColumnInfo, std::uint32_t> columns{+[](const ColumnInfo& r) { return r.object_number; }};
  IndexedList<AttributeType, std::string> attributes{+[](const AttributeType& r) { return r.type_oid; }};

  // ---- Constraints --------------------------------------------------------
  IndexedList<ConstraintRecord, std::uint32_t, std::uint32_t> constraints{
      +[](const ConstraintRecord& r) { return r.table_object_number; },
      +[](const ConstraintRecord& r) { return r.constraint_number; }};
  IndexedList<ConstraintNameRecord, std::uint32_t> constraint_names{
      +[](const ConstraintNameRecord& r) { return r.constraint_number; }};
  IndexedList<ConstraintColumnRecord, std::uint32_t> constraint_columns{
      +[](const ConstraintColumnRecord& r) { return r.constraint_number; }};

  // ---- Code ---------------------------------------------------------------
  IndexedList<ViewTextRecord, std::uint32_t> view_texts{+[](const ViewTextRecord& r) { return r.object_number; }};
  IndexedList<TypedViewRecord, std::uint32_t> typed_views{+[](const TypedViewRecord& r) { return r.object_number; }};
  IndexedList<SynonymRecord, std::uint32_t> synonyms{+[](const SynonymRecord& r) { return r.object_number; }};
  IndexedList<SequenceRecord, std::uint32_t> sequences{+[](const SequenceRecord& r) { return r.object_number; }};
  IndexedList<TriggerRecord, std::uint32_t> triggers{+[](const TriggerRecord& r) { return r.object_number; }};
  IndexedList<SourceLineRecord, std::uint32_t> source_lines{
      +[](const SourceLineRecord& r) { return r.object_number; }};

  // ---- Types --------------------------------------------------------------
  IndexedList<TypeRecord, std::string> types{+[](const TypeRecord& r) { return r.type_oid; }};
  IndexedList<CollectionRecord, std::string> collections{+[](const CollectionRecord& r) { return r.type_oid; }};
  IndexedList<MethodRecord, std::string> methods{+[](const MethodRecord& r) { return r.type_oid; }};
  IndexedList<ColumnTypeRecord, std::uint32_t> column_types{
      +[](const ColumnTypeRecord& r) { return r.table_object_number; }};
  IndexedList<Nsdata, std::uint32_t> nested_tables{+[](const Nsdata& r) { return r.table_object_number; }};
  IndexedList<OpaqueTypeRecord, std::uint32_t> opaque_types{
      +[](const OpaqueTypeRecord& r) { return r.table_object_number; }};
  IndexedList<AttributeColumnRecord, std::uint32_t> attribute_columns{
      +[](const AttributeColumnRecord& r) { return r.table_object_number; }};

  // ---- Partitions ---------------------------------------------------------
  IndexedList<PartitionedObjectRecord, std::uint32_t> partitioned_objects{
      +[](const PartitionedObjectRecord& r) { return r.object_number; }};
  IndexedList<PartitionColumnRecord, std::uint32_t> partition_columns{
      +[](const PartitionColumnRecord& r) { return r.object_number; }};
  IndexedList<e6struct, std::uint32_t> table_partitions{+[](const e6struct& r) { return r.base_object; }};
  IndexedList<e6struct, std::uint32_t> index_partitions{+[](const e6struct& r) { return r.base_object; }};
  IndexedList<F9struct, std::uint32_t> composite_partitions{+[](const F9struct& r) { return r.base_object; }};
  IndexedList<F0struct, std::uint32_t> subpartitions{+[](const F0struct& r) { return r.parent_partition; }};
  IndexedList<LobFragmentRecord, std::uint32_t> lob_fragments{
      +[](const LobFragmentRecord& r) { return r.parent_object_number; }};
  IndexedList<LobCompositePartitionRecord, std::uint32_t> lob_composite_partitions{
      +[](const LobCompositePartitionRecord& r) { return r.lob_object_number; }};

  // ---- Distributed --------------------------------------------------------
  IndexedList<DatabaseLinkRecord, std::uint32_t> database_links{
      +[](const DatabaseLinkRecord& r) { return r.owner_number; }};
  IndexedList<MaterializedViewRecord, std::uint32_t> materialized_views{
      +[](const MaterializedViewRecord& r) { return r.object_number; }};
  IndexedList<SnapshotRecord, OwnerAndName> snapshots{
      +[](const SnapshotRecord& r) { return OwnerAndName{r.owner, r.name}; }};
  IndexedList<MaterializedViewLogRecord, OwnerAndName> materialized_view_logs{
      +[](const MaterializedViewLogRecord& r) { return OwnerAndName{r.master_owner, r.master}; }};
  IndexedList<MaterializedViewLogColumnRecord, OwnerAndName> materialized_view_log_columns{
      +[](const MaterializedViewLogColumnRecord& r) { return OwnerAndName{r.master_owner, r.master}; }};

  // ---- XML schemas --------------------------------------------------------
  IndexedList<XmlSchemaRecord, std::string> xml_schemas{+[](const XmlSchemaRecord& r) { return r.object_id; }};
  IndexedList<XmlElementRecord, std::string> xml_elements{+[](const XmlElementRecord& r) { return r.schema_id; }};
  IndexedList<XmlTypeRecord, std::string> xml_types{+[](const XmlTypeRecord& r) { return r.schema_id; }};
  IndexedList<XmlModelRecord, std::string> xml_models{+[](const XmlModelRecord& r) { return r.schema_id; }};

  DatabaseProperties properties;

  // ---- Objects by kind and the counters -----------------------------------

  // Appends an OBJ$ row and, when it has a kind, lists it under the kind and
  // raises the kind's counter. Returns its position in objects.
  std::uint32_t AddObject(ObjectRecord record);
  RecordRange<ObjectRecord> ObjectsOfKind(ObjectKind kind) const {
    return RecordRange<ObjectRecord>(objects.records(), kind_positions_[static_cast<std::size_t>(kind)]);
  }
  // The first object with this number, or nullptr.
  const ObjectRecord* Object(std::uint32_t object_number) const { return objects.First<0>(object_number); }
  // The first object whose OID$ is this text (a type's OID$ is its TOID), or nullptr.
  const ObjectRecord* ObjectWithOid(const std::string& oid) const {
    return oid.empty() ? nullptr : objects.First<2>(oid);
  }
  // The TYPE$ row of a type's latest version (an evolved type has a row per
  // version), or nullptr.
  const TypeRecord* LatestTypeVersion(const std::string& toid) const;
  // The user type of an object, REF, nested-table or array column (COLTYPE$),
  // or nullptr.
  const ObjectRecord* UserTypeOf(const ColumnInfo& column) const;
  // The first object of a kind with this owner and name, or nullptr.
  const ObjectRecord* FindObject(ObjectKind kind, const std::string& owner, const std::string& name) const;

  void Raise(Counter counter, std::uint64_t by = 1) { counters_[static_cast<std::size_t>(counter)] += by; }
  void SetCounter(Counter counter, std::uint64_t value) { counters_[static_cast<std::size_t>(counter)] = value; }
  std::uint64_t count(Counter counter) const { return counters_[static_cast<std::size_t>(counter)]; }

  // ---- Name resolution ------------------------------------------------------

  // The name of the user (or else role, such as PUBLIC) with this number;
  // kUnknownOwnerName when there is none.
  std::string OwnerName(std::uint32_t user_number) const;
  // The name of the tablespace with this number; empty when there is none.
  std::string TablespaceName(std::uint32_t tablespace_number) const;
  // The name of a table's column by its internal column number, of a
  // constraint by its number; NumberedName of the number when there is none.
  std::string ColumnName(std::uint32_t table, std::uint32_t internal_column) const;
  std::string ConstraintName(std::uint32_t constraint_number) const;

 private:
  std::array<std::vector<std::uint32_t>, kObjectKindCount> kind_positions_;
  std::array<std::uint64_t, kCounterCount> counters_{};
};

}  // namespace quillon
