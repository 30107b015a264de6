// Table definitions: what the catalogue knows about one table, joined and
// typed for the printers and the statement generators.
//
// The catalogue keeps dictionary rows as they were read (COL$, CDEF$, CCOL$,
// PARTOBJ$, TABPART$ ...), with packed codes and number texts. A
// TableDefinition is the join of those rows for one table: its columns with
// integers as optional integers, its constraints with their key columns in
// key order and the referenced key of foreign keys, its partitioning with
// partitions and subpartitions in partition order, its LOB columns, nested
// tables, index organization and cluster membership. Names the dictionary
// left unresolved are NumberedName ("#42") texts; a definition is built
// whatever is missing, so every field has a meaning when its record is
// absent (said per field).
//
// Built by CatalogueViews (catalogue_views.h).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

// An object named by owner and name.
struct ObjectName {
  std::uint32_t object_number = 0;
  std::string owner;
  std::string name;
};

// One COL$ row of a table.
struct ColumnDefinition {
  std::string name;
  std::uint32_t column_number = 0;    // COL#; 0 for hidden columns
  std::uint32_t segment_column = 0;   // SEGCOL#: place in the stored row; 0 for virtual columns
  std::uint32_t internal_column = 0;  // INTCOL#: the number constraints, indexes and LOBs name
  std::uint32_t type_code = 0;        // packed TYPE# (type_code::kVarchar2 ...)
  std::string sql_type;               // SqlTypeText: "VARCHAR2(30)", "NUMBER(10, 2)", "OBJECT TYPE" ...
  // LENGTH, PRECISION# and SCALE; std::nullopt where the dictionary holds
  // NULL (a NUMBER column without precision, a FLOAT without scale).
  std::optional<std::int64_t> length;
  std::optional<std::int64_t> precision;
  std::optional<std::int64_t> scale;
  bool nullable = true;               // NULL$ is 0
  std::string default_text;           // DEFAULT$; for virtual and function-index columns their expression; empty: none
  std::uint64_t property = 0;         // COL$.PROPERTY, every bit
  bool is_virtual = false;            // PROPERTY 0x10000: a virtual column (also the hidden columns of function indexes)
  bool hidden = false;                // PROPERTY 0x20: not listed in DDL (hidden, unused or system columns)
  bool system_generated = false;      // the name begins with "SYS_NC": a column Oracle made (left out of column lists)
  std::uint32_t charset_id = 0;       // packed CHARSETID
  std::uint16_t charset_form = 0;     // CHARSETFORM: 1 implicit, 2 national (NCHAR, NVARCHAR2, NCLOB), 3 explicit
  bool national = false;              // CHARSETID 2000: the length counts two bytes per character
  // CHAR and VARCHAR2 columns declared in characters ("VARCHAR2(10 CHAR)",
  // PROPERTY 0x800000): LENGTH is then the bytes the characters may take,
  // char_length (SPARE3) the declared number of characters.
  bool char_semantics = false;
  std::optional<std::int64_t> char_length;  // SPARE3; std::nullopt when NULL or 0
  // The user type of an object, REF, nested-table or VARRAY column (COLTYPE$);
  // std::nullopt for columns of built-in types and when the type is unknown.
  std::optional<ObjectName> user_type;
  // A column that stores an attribute of an object column: its qualified
  // name ("ADDRESS"."CITY", ATTRCOL$), which key and index column lists
  // write instead of the SYS_NC name; std::nullopt for other columns.
  std::optional<std::string> attribute_name;
  // The name of the NOT NULL constraint (CDEF$ type 7) on this column;
  // empty when it has none.
  std::string not_null_constraint;
};

// One key column of a constraint, in key order.
struct ConstraintColumn {
  std::string name;                   // "#n" when the table has no column with this INTCOL#
  std::uint32_t internal_column = 0;  // INTCOL#
  std::uint32_t position = 0;         // POS#; 0 for check constraints
};

enum class ConstraintKind : std::uint8_t {
  kCheck,          // TYPE# 1
  kPrimaryKey,     // 2
  kUnique,         // 3
  kForeignKey,     // 4
  kViewCheck,      // 5: WITH CHECK OPTION of a view
  kViewReadOnly,   // 6: WITH READ ONLY of a view
  kNotNull,        // 7
  kOther,          // any other TYPE# (kept in ConstraintDefinition::type)
};

enum class DeleteRule : std::uint8_t { kNoAction, kCascade, kSetNull };

// The key a foreign key references.
struct ReferencedKey {
  ObjectName table;                       // the referenced table (ROBJ#)
  std::uint32_t constraint_number = 0;    // RCON#
  std::string constraint_name;            // "#n" when CON$ has no row for it
  std::vector<ConstraintColumn> columns;  // the referenced key's columns in key order; empty when the key is unknown
};

// A CDEF$ row with its name (CON$) and key columns (CCOL$).
struct ConstraintDefinition {
  std::uint32_t number = 0;           // CON#
  std::string name;                   // "#n" when CON$ has no row for it
  std::uint32_t type = 0;             // CDEF$.TYPE# decoded
  ConstraintKind kind = ConstraintKind::kOther;
  // The key columns of this table, ordered by POS# (then INTCOL#) whatever
  // order the CCOL$ rows were read in.
  std::vector<ConstraintColumn> columns;
  std::uint32_t enabled_value = 0;    // ENABLED as stored; 0 for NULL
  bool enabled = false;               // ENABLED is not NULL
  std::uint32_t defer = 0;            // DEFER bits, as stored
  bool deferrable = false;            // DEFER 0x01
  bool deferred = false;              // DEFER 0x02: INITIALLY DEFERRED
  bool validated = false;             // DEFER 0x04
  bool generated_name = false;        // DEFER 0x08: a SYS_C name Oracle chose
  bool rely = false;                  // DEFER 0x20
  DeleteRule delete_rule = DeleteRule::kNoAction;  // REFACT: 1 cascade, 2 set null
  // Foreign keys whose referenced table is in the catalogue; std::nullopt
  // for other constraints.
  std::optional<ReferencedKey> references;
  std::string condition;              // CONDITION: the check text; empty when none
};

// How a table or index is partitioned (PARTOBJ$.PARTTYPE).
enum class PartitioningMethod : std::uint8_t { kRange, kHash, kSystem, kList, kReference, kUnknown };

// What a partition bound says: nothing (hash and system partitions), a list
// of values, or the catch-all MAXVALUE (range) or DEFAULT (list).
enum class BoundKind : std::uint8_t { kNone, kValues, kMaxValue, kDefault };

// A partition (TABPART$ or TABCOMPART$) or subpartition (TABSUBPART$).
struct PartitionDefinition {
  std::uint32_t object_number = 0;
  std::string name;
  std::uint32_t position = 0;                  // PART# or SUBPART#
  std::optional<std::string> high_value;       // HIBOUNDVAL; std::nullopt when empty
  BoundKind bound = BoundKind::kNone;
  std::string tablespace;                      // of its segment; of a composite partition: its default tablespace
  // A partition of an index-organized table with an overflow segment: the
  // tablespace of the partition's overflow segment (the overflow table's
  // partition of the same position); empty otherwise.
  std::string overflow_tablespace;
  std::optional<std::uint32_t> data_object_number;  // its segment (not for composite partitions)
  std::uint32_t relative_file_number = 0;      // its segment header
  std::uint64_t header_block = 0;
  bool composite = false;                      // a TABCOMPART$ row: its segments are its subpartitions
  std::vector<PartitionDefinition> subpartitions;  // by (SUBPART#, object number)
};

struct PartitionKeyColumn {
  std::string name;
  std::uint32_t internal_column = 0;
};

// A PARTOBJ$ row with its key columns (PARTCOL$, SUBPARTCOL$) in key order.
struct PartitioningDefinition {
  std::uint32_t method_number = 0;             // PARTTYPE
  PartitioningMethod method = PartitioningMethod::kUnknown;
  std::vector<PartitionKeyColumn> key_columns;
  std::optional<PartitioningMethod> subpartitioning;  // composite partitioning
  std::uint32_t subpartitioning_number = 0;
  std::vector<PartitionKeyColumn> subpartition_key_columns;
  std::optional<std::string> interval;         // INTERVAL: the interval expression
  std::string default_tablespace;              // DEFTS#
  std::uint32_t partition_count = 0;           // PARTCNT
};

// A LOB column's storage (LOB$).
struct LobDefinition {
  std::string column_name;
  std::uint32_t internal_column = 0;
  std::uint32_t lob_object_number = 0;   // LOBJ#: the LOB segment
  std::string segment_name;              // its OBJ$ name (SYS_LOB...); empty when unknown
  std::uint32_t index_object_number = 0; // IND#: the LOB index
  std::string index_name;                // its OBJ$ name (SYS_IL...); empty when unknown
  std::string tablespace;
  std::uint32_t relative_file_number = 0;
  std::uint64_t header_block = 0;
  std::uint32_t chunk = 0;               // CHUNK, in blocks
  std::uint64_t flags = 0;               // LOB$.FLAGS (cache and logging)
  std::uint64_t property = 0;            // LOB$.PROPERTY
  bool storage_in_row = false;           // PROPERTY 0x02: ENABLE STORAGE IN ROW
  bool partitioned = false;              // LOB partitions (LOBFRAG$) hold the segments
};

// The parts of an attribute column's path (ATTRCOL$): "COLUMN"."ATTRIBUTE"
// or COLUMN.ATTRIBUTE gives COLUMN, ATTRIBUTE.
std::vector<std::string> AttributeNameParts(std::string_view qualified);

// A nested-table column and its storage table (NTAB$).
struct NestedTableDefinition {
  std::string column_name;
  std::uint32_t internal_column = 0;
  ObjectName storage_table;
  // The nested-table columns of the storage table itself (a nested table
  // of nested tables, or of objects with a nested-table attribute), with
  // their own storage tables, level by level.
  std::vector<NestedTableDefinition> element_storage{};
  // A nested-table attribute of an object column (a hidden column): its
  // path, "PERSON", "PHONES"; empty for a column.
  std::vector<std::string> attribute_path{};
};

// The index organization of an IOT: its top index and overflow segment.
struct IotDefinition {
  std::optional<ObjectName> top_index;         // IND$ TYPE# 4 on the table
  std::string tablespace;                      // the top index's tablespace
  std::uint32_t overflow_threshold = 0;        // PCTTHRESHOLD; 0 when none
  std::optional<std::string> including_column; // INCLUDING column, when recorded
  std::optional<ObjectName> overflow_table;    // the SYS_IOT_OVER_ table
  std::string overflow_tablespace;             // its tablespace; empty when there is none
};

// The cluster a clustered table is stored in.
struct ClusterMembership {
  ObjectName cluster;
  std::uint32_t position = 0;                  // TAB#
  // The table's columns that store the cluster key, in key order.
  std::vector<std::string> key_columns;
};

// How an XMLType object table is stored (its OPQTYPE$ row).
struct XmlTableDefinition {
  bool stored_as_clob = false;                 // OPQTYPE$ FLAGS 0x04
  std::optional<std::string> schema_url;       // the registered schema it is bound to
  std::optional<std::string> element;          // the schema element the table stores, when found
};

// A table as a whole.
struct TableDefinition {
  ObjectName object;                           // owner, name, OBJ#
  bool has_table_record = false;               // a TAB$ row was read; without it the flags below are false
  std::uint64_t property = 0;                  // TAB$.PROPERTY, every bit
  // Kinds (TAB$.PROPERTY bits).
  bool object_table = false;                   // 0x01: a typed table
  bool partitioned = false;                    // 0x20
  bool index_organized = false;                // 0x40
  bool iot_overflow_segment = false;           // 0x200: the overflow table of an IOT
  bool clustered = false;                      // 0x400
  bool nested_table_storage = false;           // 0x2000: the storage table of a nested-table column
  bool temporary = false;                      // 0x400000: global temporary
  bool preserve_rows = false;                  // 0x800000: ON COMMIT PRESERVE ROWS
  bool xml_type_table = false;                 // an object table of XMLType (SYS_NC_ROWINFO$ of XMLType)
  std::string tablespace;                      // TAB$ TS# resolved; empty when unknown
  std::optional<std::uint32_t> data_object_number;  // its own segment; none for IOTs, partitioned, deferred
  std::uint32_t relative_file_number = 0;      // segment header
  std::uint64_t header_block = 0;
  std::uint32_t pct_free = 0, pct_used = 0;

  // Every COL$ row, in INTCOL# order (hidden and virtual columns included).
  std::vector<ColumnDefinition> columns;
  // Constraints by (name, CON#).
  std::vector<ConstraintDefinition> constraints;
  std::optional<PartitioningDefinition> partitioning;  // PARTOBJ$; std::nullopt when none was read
  std::vector<PartitionDefinition> partitions;         // by (PART#, object number)
  std::vector<LobDefinition> lobs;                     // by INTCOL#
  std::vector<NestedTableDefinition> nested_tables;    // by INTCOL#
  std::optional<IotDefinition> iot;                    // index-organized tables
  std::optional<ClusterMembership> cluster;            // tables stored in a cluster
  std::optional<XmlTableDefinition> xml;               // XMLType object tables

  // The columns a CREATE TABLE lists, in COL# order: those with a column
  // number, stored or virtual, and not made by Oracle (SYS_NC names).
  std::vector<const ColumnDefinition*> DeclaredColumns() const;
  // The column with this INTCOL#, or nullptr.
  const ColumnDefinition* ColumnByInternalNumber(std::uint32_t internal_column) const;
  // The first constraint of a kind (the primary key), or nullptr.
  const ConstraintDefinition* FirstConstraint(ConstraintKind kind) const;
};

// The kind of a CDEF$ TYPE#.
ConstraintKind ConstraintKindOf(std::uint32_t type);
// The method of a PARTTYPE (1 range, 2 hash, 3 system, 4 list, 5 reference).
PartitioningMethod PartitioningMethodOf(std::uint32_t type);
// "RANGE", "HASH", "SYSTEM", "LIST", "REFERENCE", "UNKNOWN".
const char* PartitioningMethodName(PartitioningMethod method);
// What a HIBOUNDVAL text says: empty is kNone, "MAXVALUE" kMaxValue,
// "DEFAULT" kDefault (whatever their case and surrounding blanks), anything
// else kValues.
BoundKind BoundKindOf(const std::string& high_value);

}  // namespace quillon
