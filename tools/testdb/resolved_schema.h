// A Schema resolved for one release: every dictionary object with its
// numbers, every column of every table (hidden ones included) with its
// dictionary values, the system-generated objects (NOT NULL constraints,
// constraint indexes, LOB segments and their indexes, nested-table storage
// tables, IOT top indexes and overflow tables, partitions), the SYS
// dictionary itself, and the list of segments to lay out.
//
// The dictionary writer turns it into dictionary rows, the describer into
// a quillon::Catalogue; both read the same records, so what one writes the
// other describes.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "testdb/dictionary_numbers.h"
#include "testdb/dictionary_tables.h"
#include "testdb/schema_model.h"

namespace quillon::testdb {

// A release as the generator writes it ("8i" .. "11.2", and "11.2-alt" for
// 11g Release 2 with the alternative object numbering).
struct GeneratorRelease {
  std::string name;          // as given on the command line
  std::string model_release; // DatabaseModel::release ("11.2" for "11.2-alt")
  int code = 18;             // 8, 9, 16, 17, 18
  DictVersion version = DictVersion::k112;
  bool alternative = false;
  Numbering numbering() const { return {code, alternative}; }
};
std::optional<GeneratorRelease> FindGeneratorRelease(std::string_view name);
std::vector<std::string> GeneratorReleaseNames();

// OBJ$ namespaces and types.
namespace obj {
inline constexpr std::uint32_t kNsTable = 1, kNsBody = 2, kNsTrigger = 3, kNsIndex = 4, kNsCluster = 5, kNsLob = 8,
                               kNsMaterializedView = 19;
inline constexpr std::uint32_t kIndex = 1, kTable = 2, kCluster = 3, kView = 4, kSynonym = 5, kSequence = 6,
                               kProcedure = 7, kFunction = 8, kPackage = 9, kPackageBody = 11, kTrigger = 12,
                               kType = 13, kTypeBody = 14, kTablePartition = 19, kIndexPartition = 20, kLob = 21,
                               kTableSubpartition = 34, kLobPartition = 40, kLobSubpartition = 41,
                               kMaterializedView = 42;
}  // namespace obj

struct RObject {
  std::uint32_t number = 0;
  std::optional<std::uint32_t> data_object;
  std::uint32_t owner = 0;
  std::string owner_name;
  std::string name;
  std::string subname;
  std::uint32_t name_space = obj::kNsTable;
  std::uint32_t type = obj::kTable;
  Bytes oid;              // OID$ (types: the TOID); empty when NULL
  std::uint32_t status = 1;
};

struct RTablespace {
  std::uint32_t number = 0;
  std::string name;
  TablespaceContents contents = TablespaceContents::kPermanent;
  SpaceManagement space = SpaceManagement::kAssm;
  std::uint32_t uniform_extent_blocks = 0;
  std::vector<std::uint32_t> relative_files;
  std::vector<std::string> file_names;
};

struct RUser {
  std::uint32_t number = 0;
  std::string name;
  bool role = false;
  Authentication authentication = Authentication::kPassword;
  std::string password;  // what USER$.PASSWORD holds; "" NULL
  std::uint32_t default_ts = 0, temporary_ts = 0;
  std::uint32_t account_status = 0;
  std::string external_name;
};

// How a stored column gets its bytes from a row of the description.
enum class ColumnSource : std::uint8_t {
  kValue,       // the row's value of source_column
  kObjectImage, // an object's null image (1 byte): source_column's, or of the embedded object at attribute_path
  kAttribute,   // the attribute at attribute_path of the object value of source_column
  kNestedId,    // a nested-table column: the row's collection identifier
  kXmlImage,    // an XMLType column's null image
  kXmlText,     // the CLOB holding an XMLType column's text (source_column)
  kRowOid,      // the object identifier of the row (typed tables)
  kNone,        // virtual: nothing stored
};

struct RColumn {
  std::string name;
  std::uint32_t column_number = 0;    // COL#; 0 for hidden columns
  std::uint32_t segment_column = 0;   // SEGCOL#; 0 for virtual columns
  std::uint32_t internal_column = 0;  // INTCOL#
  std::uint32_t type_number = 2;      // TYPE#
  std::uint32_t length = 0;
  std::optional<std::uint32_t> precision;
  std::optional<std::int32_t> scale;
  bool nullable = true;
  std::string default_text;           // DEFAULT$ (virtual columns: their expression)
  std::uint64_t property = 0;
  std::uint32_t charset_id = 0;       // 0: NULL
  std::uint32_t charset_form = 0;
  std::optional<std::uint32_t> spare1, spare2, spare3;
  std::string qualified_name;         // ATTRCOL$ name of an attribute column
  // The logical type the writer encodes values for.
  ColumnType logical;
  ColumnSource source = ColumnSource::kValue;
  int source_column = -1;             // index into the description's columns
  // kAttribute, and kObjectImage of an embedded object: the attribute's
  // index in each object on the way down from the column's value.
  std::vector<int> attribute_path;
  bool stored() const { return segment_column != 0; }
};

struct RTable {
  std::uint32_t object = 0;
  std::string owner, name;
  std::optional<std::uint32_t> data_object;
  std::uint32_t ts = 0;
  int segment = -1;                   // index into ResolvedSchema::segments; -1: none of its own
  std::optional<std::uint32_t> base_object, cluster_position, cluster_columns;
  std::uint32_t visible_columns = 0;  // COLS
  std::uint64_t property = 0;
  std::uint64_t flags = 0;
  std::uint32_t pct_free = 10, pct_used = 40;
  std::vector<RColumn> columns;       // in INTCOL# order
  bool dictionary = false;            // a SYS dictionary table
  const std::vector<RowValues>* rows = nullptr;  // heap and clustered tables, IOTs
  const TableDescription* wanted = nullptr;    // nullptr for dictionary tables
};

struct RCluster {
  std::uint32_t object = 0;
  std::string owner, name;
  std::uint32_t data_object = 0;
  std::uint32_t ts = 0;
  int segment = -1;
  std::vector<RColumn> key_columns;
  std::optional<std::uint32_t> size;
  std::vector<std::uint32_t> member_tables;  // object numbers in TAB# order
  bool dictionary = false;
};

struct RIndexColumn {
  std::uint32_t column_number = 0;    // COL# (0 for hidden columns)
  std::uint32_t internal_column = 0;
  std::uint32_t segment_column = 0;
  std::uint64_t flags = 0;            // ICOL$.SPARE1: 1 expression
};

struct RIndex {
  std::uint32_t object = 0;
  std::string owner, name;
  std::uint32_t base_object = 0;      // BO#: the table or cluster
  std::optional<std::uint32_t> data_object;
  std::uint32_t ts = 0;
  int segment = -1;
  std::uint32_t type = 1;             // IND$.TYPE#
  std::uint64_t property = 0;
  std::uint64_t flags = 0;
  std::vector<RIndexColumn> columns;
  std::optional<std::uint32_t> overflow_threshold;  // IOT top indexes
  std::optional<std::uint32_t> including_column;
  std::uint32_t column_count = 0;     // COLS
};

struct RConstraint {
  std::uint32_t number = 0;           // CON#
  std::uint32_t owner = 0;
  std::string name;
  std::uint32_t table = 0;            // OBJ#
  std::uint32_t type = 1;             // CDEF$.TYPE#
  std::vector<std::pair<std::uint32_t, std::uint32_t>> columns;  // COL#, INTCOL# in key order
  std::optional<std::uint32_t> referenced_object, referenced_constraint;
  std::optional<std::uint32_t> delete_rule;  // REFACT
  bool enabled = true;
  std::uint32_t defer = 0;
  std::string condition;
};

struct RLob {
  std::uint32_t table = 0;
  std::uint32_t column_number = 0, internal_column = 0;
  std::uint32_t lob_object = 0, index_object = 0;
  std::uint32_t ts = 0;
  int segment = -1;                   // -1 for partitioned LOBs
  std::uint64_t property = 2;         // ENABLE STORAGE IN ROW
};

struct RColumnType {
  std::uint32_t table = 0, column_number = 0, internal_column = 0;
  Bytes toid;
  std::uint64_t flags = 0;
  std::uint32_t internal_columns = 0;
};

struct RNestedTable {
  std::uint32_t table = 0, column_number = 0, internal_column = 0;
  std::uint32_t storage_object = 0;
  std::string column_name;
};

struct ROpaqueType {
  std::uint32_t table = 0, internal_column = 0;
  std::uint64_t flags = 0;
  std::uint32_t lob_column = 0;
  Bytes schema_oid;
  std::uint32_t element_number = 0;
  std::string schema_url;
};

struct RAttributeColumn {
  std::uint32_t table = 0, internal_column = 0;
  std::string name;
};

struct RView {
  std::uint32_t object = 0;
  std::string text;
  std::uint32_t column_count = 0;
  std::uint64_t property = 0;
  std::string type_owner, type_name, oid_text;  // object views
  std::vector<RColumn> columns;
};

struct RSynonym {
  std::uint32_t object = 0;
  std::string link, target_owner, target_name;
};

struct RSequence {
  std::uint32_t object = 0;
  const SequenceDescription* wanted = nullptr;
};

struct RTrigger {
  std::uint32_t object = 0;
  std::uint32_t type = 0;             // 0 before statement .. 4 instead of
  bool on_insert = false, on_update = false, on_delete = false;
  std::uint32_t base_object = 0;
  std::uint64_t property = 0;
  std::uint32_t system_events = 0;
  const TriggerDescription* wanted = nullptr;
};

struct RSourceLine {
  std::uint32_t object = 0;
  std::uint32_t line = 0;
  std::string text;
};

struct RType {
  std::uint32_t object = 0;
  std::string owner, name;
  Bytes toid;
  std::uint32_t typecode = 108;       // 108 object, 122 nested table, 247 VARRAY
  const TypeDescription* wanted = nullptr;
  bool builtin = false;
};

struct RSystemGrant {
  std::uint32_t grantee = 0;
  std::int64_t privilege = 0;         // negative: a system privilege; else the role's USER#
  std::uint32_t sequence = 0;
  bool admin = false;
};

struct RObjectGrant {
  std::uint32_t object = 0, grantor = 0, grantee = 0;
  std::uint32_t privilege = 0;
  std::uint32_t sequence = 0;
  bool grant_option = false;
  std::optional<std::uint32_t> column_number;
};

struct RLink {
  std::uint32_t owner = 0;
  const DatabaseLinkDescription* wanted = nullptr;
};

struct RMaterializedView {
  std::uint32_t object = 0;           // the summary object (TYPE# 42)
  std::uint32_t container = 0;        // the container table
  const MaterializedViewDescription* wanted = nullptr;
};

struct RMaterializedViewLog {
  std::string log_table;
  std::uint64_t flag = 0;
  const MaterializedViewLogDescription* wanted = nullptr;
};

// A partition (TABPART$, INDPART$), composite partition (TABCOMPART$) or
// subpartition (TABSUBPART$) with its object.
struct RPartition {
  std::uint32_t object = 0;
  std::uint32_t base = 0;             // BO# (the table or index), POBJ# for subpartitions
  std::uint32_t number = 0;           // PART# (10, 20, ...) or SUBPART# (1, 2, ...)
  std::string name;
  std::string high_value;             // "" for hash
  std::uint32_t ts = 0;
  int segment = -1;                   // -1 for composite partitions
  std::uint32_t subpartition_count = 0;
  std::uint64_t flags = 0;
};

struct RPartitionedObject {
  std::uint32_t object = 0;
  std::uint32_t type = 1;             // PARTTYPE
  std::uint32_t count = 0;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> columns;     // COL#, INTCOL#
  std::vector<std::pair<std::uint32_t, std::uint32_t>> subcolumns;
  std::vector<std::uint32_t> column_types, subcolumn_types;          // TYPE# of the key columns
  std::uint32_t subtype = 0;
  std::uint32_t default_subpartitions = 0;
  std::uint64_t flags = 0;
  std::uint32_t default_ts = 0;
  std::string interval;
  bool index = false;
};

struct RLobFragment {
  std::uint32_t fragment = 0, parent = 0, table_fragment = 0, index_fragment = 0;
  std::uint32_t number = 0;
  char kind = 'P';
  std::uint32_t ts = 0;
  int segment = -1;
};

struct RLobCompositePartition {
  std::uint32_t partition = 0, lob = 0, table_partition = 0, index_partition = 0;
  std::uint32_t number = 0;
  std::uint32_t default_ts = 0;
};

// A registered XML schema and the object identifiers of its rows in the
// repository tables.
struct RXmlSchema {
  const XmlSchemaDescription* wanted = nullptr;
  Bytes oid;  // of its XDB$SCHEMA row: what the REFs of its other rows hold
  std::vector<Bytes> element_oids, attribute_oids, complex_oids, model_oids, simple_oids;
};

// A segment the schema needs, in layout order.
enum class SegmentContent : std::uint8_t {
  kTableRows,     // a heap table's (or partition's) rows
  kClusterRows,   // a cluster's keys with the rows of its member tables
  kIotRows,       // an index-organized table's rows in its top index
  kOverflowRows,  // the overflow part of an IOT's rows
  kIndexKeys,     // a B-tree index over its table's rows
  kEmpty,         // LOB segments and LOB indexes: a header (and an empty root)
  kDictionary,    // a dictionary segment: filled by the dictionary writer
  kXmlRows,       // an XML repository table: its rows of the registered schemas
};

struct RSegment {
  std::string name;
  std::uint32_t data_object = 0;
  std::uint32_t ts = 0;
  SpaceManagement space = SpaceManagement::kAssm;
  SegmentContent content = SegmentContent::kTableRows;
  int table = -1;                     // kTableRows, kIotRows, kOverflowRows: ResolvedSchema::tables
  int cluster = -1;                   // kClusterRows
  int index = -1;                     // kIndexKeys, kIotRows, kEmpty of a LOB index
  int source_segment = -1;            // kIndexKeys: the segment holding the indexed rows
  const std::vector<RowValues>* rows = nullptr;
  // The number of the segment's first row among all rows of its table (a
  // partition's rows follow those of the partitions before it): row
  // identities such as nested-table identifiers are made from it.
  std::size_t first_row = 0;
  bool lob = false;
  bool dictionary_scan = false;       // found by the SYSTEM scan (kind-14 last)
};

struct ResolvedSchema {
  GeneratorRelease release;
  const Schema* schema = nullptr;
  std::shared_ptr<const Schema> owned_schema;  // keeps *schema alive when set
  std::vector<RTablespace> tablespaces;
  std::vector<RUser> users;           // users and roles
  std::vector<RObject> objects;       // OBJ$ rows in object number order
  std::vector<RTable> tables;
  std::vector<RCluster> clusters;
  std::vector<RIndex> indexes;
  std::vector<RConstraint> constraints;
  std::vector<RLob> lobs;
  std::vector<RColumnType> column_types;
  std::vector<RNestedTable> nested_tables;
  std::vector<ROpaqueType> opaque_types;
  std::vector<RAttributeColumn> attribute_columns;
  std::vector<RView> views;
  std::vector<RSynonym> synonyms;
  std::vector<RSequence> sequences;
  std::vector<RTrigger> triggers;
  std::vector<RSourceLine> source_lines;
  std::vector<RType> types;
  std::vector<RSystemGrant> system_grants;
  std::vector<RObjectGrant> object_grants;
  std::vector<RLink> links;
  std::vector<RMaterializedView> materialized_views;
  std::vector<RMaterializedViewLog> materialized_view_logs;
  std::vector<RPartitionedObject> partitioned_objects;
  std::vector<RPartition> table_partitions, composite_partitions, subpartitions, index_partitions;
  std::vector<RLobFragment> lob_fragments;
  std::vector<RLobCompositePartition> lob_composite_partitions;
  std::vector<RXmlSchema> xml_schemas;
  std::vector<RSegment> segments;
  // Tables and rows the resolver makes (container tables, log tables, nested
  // table storage, IOT overflow parts); deques keep their addresses.
  std::deque<TableDescription> derived_tables;
  std::deque<std::vector<RowValues>> derived_rows;

  const RObject* Object(std::uint32_t number) const;
  const RUser* User(std::uint32_t number) const;
  const RUser* UserNamed(std::string_view name) const;
  const RTablespace* Tablespace(std::uint32_t number) const;
  const RTablespace* TablespaceNamed(std::string_view name) const;
  const RTable* Table(std::uint32_t object) const;
  const RTable* TableNamed(std::string_view owner, std::string_view name) const;
};

// The name of the built-in type (SYS.VARCHAR2, SYS.NUMBER ...) that stands
// for a scalar column type in ATTRIBUTE$ and COLLECTION$; for user types
// their own name.
std::string TypeNameOf(const ColumnType& type);
bool IsUserType(SqlType type);

// The identifier of one row's nested-table collection: what the parent's
// nested-table column and the storage table's NESTED_TABLE_ID hold.
Bytes NestedTableId(std::uint32_t table, std::uint32_t internal_column, std::size_t row);

// Every row of a table in the order its segments hold them: the table's own
// rows, or each partition's (or subpartition's) in partition order. A row's
// place in this order is its number in row identities.
std::vector<const RowValues*> AllTableRows(const TableDescription& table);

// The description's value a stored column takes from a row: the value of
// its source column, or the attribute at its attribute path; nullptr when
// the column has no source, or an object on the way down is NULL.
const Value* SourceValue(const RColumn& column, const RowValues& row);

// Resolves the schema for a release; the schema must outlive the result.
// Throws std::invalid_argument naming the first inconsistency (an unknown
// tablespace, column, table or type).
ResolvedSchema Resolve(const Schema& schema, const GeneratorRelease& release);

}  // namespace quillon::testdb
