// The declarative description of a database's schema: what the test
// database generator writes as a data dictionary (dictionary_writer.h) and
// prints as a catalogue (describe.h).
//
// A Schema lists tablespaces with their datafiles, users and roles with
// their grants, the objects of each schema (tables of every organisation,
// clusters, indexes, views, synonyms, sequences, triggers, stored code and
// types, database links, materialized views and their logs), registered XML
// schemas, the NLS settings, and table rows. Names are upper case as Oracle
// stores them; everything the dictionary needs besides (object numbers,
// column numbers, hidden columns, system-generated names, segments) is
// derived by the resolver (resolved_schema.h), the same way for every
// release.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "reader/block_view.h"
#include "reader/value_datetime.h"
#include "testdb/block_writer.h"

namespace quillon::testdb {

// ---------------------------------------------------------------- types

enum class SqlType : std::uint8_t {
  kVarchar2, kNVarchar2, kChar, kNChar, kNumber, kFloat, kLong, kDate, kRaw, kLongRaw, kRowid, kUrowid,
  kBinaryFloat, kBinaryDouble, kClob, kNClob, kBlob, kBfile, kTimestamp, kTimestampTz, kTimestampLtz,
  kIntervalYm, kIntervalDs,
  kObject,       // a user object type (type_owner, type_name)
  kRef,          // REF to a user object type
  kNestedTable,  // a user nested table type
  kVarray,       // a user VARRAY type
  kXmlType,      // SYS.XMLTYPE, stored as a CLOB
};

struct ColumnType {
  SqlType type = SqlType::kNumber;
  std::uint32_t length = 0;             // VARCHAR2, CHAR, RAW: bytes (characters when char_semantics); NVARCHAR2, NCHAR: characters
  bool char_semantics = false;          // VARCHAR2, CHAR declared in characters ("VARCHAR2(10 CHAR)", 9i on)
  std::optional<std::uint32_t> precision;  // NUMBER, FLOAT; INTERVAL leading field
  std::optional<std::int32_t> scale;       // NUMBER; TIMESTAMP and INTERVAL DAY TO SECOND: fraction digits
  std::string type_owner;               // user types
  std::string type_name;
  bool store_as_lob = false;            // VARRAY columns: stored as a LOB (VARRAY .. STORE AS LOB)
};

ColumnType Varchar2(std::uint32_t bytes);
ColumnType NVarchar2(std::uint32_t characters);
ColumnType Char(std::uint32_t bytes);
// VARCHAR2(n CHAR), CHAR(n CHAR): lengths in characters. Releases before
// 9i know no length semantics and make them the byte forms.
ColumnType Varchar2Chars(std::uint32_t characters);
ColumnType CharChars(std::uint32_t characters);
ColumnType NChar(std::uint32_t characters);
ColumnType Number();
ColumnType Number(std::uint32_t precision, std::int32_t scale = 0);
ColumnType Float(std::uint32_t precision = 126);
ColumnType Integer();  // NUMBER(*,0)
ColumnType Long();
ColumnType Date();
ColumnType Raw(std::uint32_t bytes);
ColumnType LongRaw();
ColumnType Rowid();
ColumnType Urowid();
ColumnType BinaryFloat();
ColumnType BinaryDouble();
ColumnType Clob();
ColumnType NClob();
ColumnType Blob();
ColumnType Bfile();
ColumnType Timestamp(std::int32_t fraction = 6);
ColumnType TimestampTz(std::int32_t fraction = 6);
ColumnType TimestampLtz(std::int32_t fraction = 6);
ColumnType IntervalYm(std::uint32_t year_precision = 2);
ColumnType IntervalDs(std::uint32_t day_precision = 2, std::int32_t fraction = 6);
ColumnType ObjectOf(std::string owner, std::string name);
ColumnType RefTo(std::string owner, std::string name);
ColumnType NestedTableOf(std::string owner, std::string name);
ColumnType VarrayOf(std::string owner, std::string name);
ColumnType XmlType();

// ---------------------------------------------------------------- values

// A value of a table row as the description gives it; the writer encodes it
// for its column (values.h).
struct Value {
  enum class Kind : std::uint8_t {
    kNull, kText, kNumber, kDateTime, kTimestampTz, kTimestampTzRegion, kIntervalYm, kIntervalDs,
    kBinaryFloat, kBinaryDouble, kBytes, kRowid, kBfile, kObject, kCollection,
  };
  Kind kind = Kind::kNull;
  std::string text;          // kText; kNumber: decimal text; kBfile: directory alias
  std::string text2;         // kBfile: file name
  DateTimeFields time{};     // kDateTime, kTimestampTz (local time), kTimestampTzRegion (UTC)
  std::int32_t a = 0, b = 0, c = 0, d = 0, e = 0;  // zone offset, region id, interval fields, rowid parts
  double real = 0;           // kBinaryFloat, kBinaryDouble
  Bytes bytes;               // kBytes: RAW, LONG RAW, BLOB
  std::vector<Value> items;  // kObject: attribute values; kCollection: elements

  bool is_null() const { return kind == Kind::kNull; }
};

namespace val {
Value Null();
Value Text(std::string text);
Value Num(std::string decimal);
Value Num(std::int64_t value);
Value Date(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
Value Stamp(int year, int month, int day, int hour, int minute, int second, std::int32_t nanoseconds);
Value StampTz(int year, int month, int day, int hour, int minute, int second, std::int32_t nanoseconds,
              int offset_minutes);
Value StampRegion(int year, int month, int day, int hour, int minute, int second, std::uint16_t region_id);
Value YearMonth(std::int32_t years, int months);
Value DaySecond(std::int32_t days, int hours, int minutes, int seconds, std::int32_t nanoseconds);
Value Float(float value);
Value Double(double value);
Value Bytes(testdb::Bytes bytes);
Value Hex(std::string_view hex);
Value Rowid(std::uint32_t object, std::uint32_t file, std::uint32_t block, std::uint16_t row);
Value Bfile(std::string directory, std::string file);
Value Object(std::vector<Value> attributes);
Value Collection(std::vector<Value> elements);
}  // namespace val

using RowValues = std::vector<Value>;  // one value per column of the table, in column order

// ---------------------------------------------------------------- storage

enum class TablespaceContents : std::uint8_t { kPermanent, kTemporary, kUndo };

struct TablespaceDescription {
  std::string name;
  TablespaceContents contents = TablespaceContents::kPermanent;
  SpaceManagement space = SpaceManagement::kAssm;
  std::vector<std::string> datafiles;  // file names; a temporary tablespace has temp files, not datafiles
  std::uint32_t uniform_extent_blocks = 0;  // uniform extents of this many blocks; 0: system allocation
};

// ---------------------------------------------------------------- security

enum class Authentication : std::uint8_t { kPassword, kNone, kGlobal, kExternal };

struct UserDescription {
  std::string name;
  Authentication authentication = Authentication::kPassword;
  std::string password_hash = "4F2A61C9D3B8E705";  // what USER$.PASSWORD holds
  std::string default_tablespace = "USERS";
  std::string temporary_tablespace = "TEMP";
  std::uint32_t account_status = 0;  // ASTATUS: 0 open, 8 locked, 1 expired ...
  std::string external_name;         // EXT_USERNAME
  std::optional<std::uint32_t> number;  // USER#; assigned when absent
};

struct RoleDescription {
  std::string name;
  Authentication authentication = Authentication::kNone;
  std::optional<std::uint32_t> number;
};

// A system privilege ("CREATE SESSION") or a role granted to a user or role.
struct SystemGrantDescription {
  std::string grantee;
  std::string privilege;
  bool role = false;
  bool admin_option = false;

  SystemGrantDescription() = default;
  SystemGrantDescription(std::string to, std::string what, bool is_role = false, bool admin = false)
      : grantee(std::move(to)), privilege(std::move(what)), role(is_role), admin_option(admin) {}
};

struct ObjectGrantDescription {
  std::string grantee;
  std::string owner;
  std::string object;
  std::string privilege;             // "SELECT", "UPDATE", "EXECUTE" ...
  std::optional<std::string> column;  // a column privilege
  bool grant_option = false;
  std::string grantor;               // the owner when empty
};

// ---------------------------------------------------------------- tables

struct ColumnDescription {
  std::string name;
  ColumnType type;
  bool nullable = true;
  std::string default_text;        // DEFAULT expression ("SYSDATE", "'N'")
  std::string virtual_expression;  // a virtual column (11g): its expression; nothing is stored

  ColumnDescription() = default;
  ColumnDescription(std::string column_name, ColumnType column_type, bool null_allowed = true,
             std::string default_expression = "", std::string virtual_column_expression = "")
      : name(std::move(column_name)),
        type(std::move(column_type)),
        nullable(null_allowed),
        default_text(std::move(default_expression)),
        virtual_expression(std::move(virtual_column_expression)) {}
};

enum class ConstraintKind : std::uint8_t { kCheck, kPrimaryKey, kUnique, kForeignKey, kNotNull };
enum class DeleteRule : std::uint8_t { kNoAction, kCascade, kSetNull };

struct ConstraintDescription {
  std::string name;                 // a system name SYS_Cnnnnnn when empty
  ConstraintKind kind = ConstraintKind::kCheck;
  std::vector<std::string> columns;
  std::string condition;            // check constraints
  std::string ref_owner, ref_table, ref_constraint;  // foreign keys
  DeleteRule delete_rule = DeleteRule::kNoAction;
  bool deferrable = false;
  bool initially_deferred = false;
  bool enabled = true;
  bool validated = true;
  bool rely = false;
};

enum class Organization : std::uint8_t { kHeap, kIndex, kIndexWithOverflow };

enum class PartitionKind : std::uint8_t { kNone, kRange, kHash, kList };

struct SubpartitionDescription {
  std::string name;
  std::string high_value;  // range or list subpartitions; "" for hash
  std::string tablespace;  // the partition's when empty
  std::vector<RowValues> rows;
};

struct PartitionDescription {
  std::string name;
  std::string high_value;  // "" for hash partitions
  std::string tablespace;  // the table's when empty
  std::vector<RowValues> rows;
  std::vector<SubpartitionDescription> subpartitions;  // composite partitioning
};

struct PartitioningDescription {
  PartitionKind kind = PartitionKind::kNone;
  std::vector<std::string> columns;
  PartitionKind subpartition_kind = PartitionKind::kNone;
  std::vector<std::string> subpartition_columns;
  std::string interval;  // 11g interval partitioning: the interval expression
  std::vector<PartitionDescription> partitions;
};

// A nested-table column's storage table.
struct NestedStorageDescription {
  std::string column;  // a nested-table column, or an object column's attribute as COLUMN.ATTRIBUTE
  std::string storage_table;
  // A nested table of nested tables: the storage table of the elements'
  // collections (NESTED TABLE COLUMN_VALUE STORE AS ...); empty otherwise.
  std::string element_storage_table{};
};

struct TableDescription {
  std::string owner;
  std::string name;
  std::string tablespace = "USERS";
  std::vector<ColumnDescription> columns;
  std::vector<ConstraintDescription> constraints;
  std::vector<RowValues> rows;  // heap, index-organized and clustered tables
  Organization organization = Organization::kHeap;
  std::string including_column;        // IOT with overflow: the last column kept in the index
  std::string overflow_tablespace;     // the table's when empty
  std::uint32_t pct_threshold = 50;
  std::string cluster;                 // a clustered table: its cluster (same owner)
  std::vector<std::string> cluster_columns;  // its columns holding the cluster key, in key order
  PartitioningDescription partitioning;
  std::vector<NestedStorageDescription> nested_tables;
  bool xmltype_table = false;          // CREATE TABLE .. OF XMLTYPE (columns are derived)
  std::string xml_schema_url;          // schema-based XMLType table or column
  std::string xml_element;
  std::uint8_t pct_free = 10;
};

struct ClusterDescription {
  std::string owner;
  std::string name;
  std::string tablespace = "USERS";
  std::vector<ColumnDescription> key_columns;
  std::uint32_t size = 0;  // SIZE; 0: none given
};

struct IndexDescription {
  std::string owner;
  std::string name;
  std::string table_owner;          // the index's owner when empty
  std::string table;                // the table, or for a cluster index the cluster
  bool on_cluster = false;
  std::vector<std::string> columns;  // column names, or expressions (function-based) in parentheses
  bool unique = false;
  bool reverse = false;
  bool bitmap = false;
  bool descending = false;          // DESC on every column
  bool local_partitions = false;    // a local index of a partitioned table
  std::string tablespace = "USERS";
};

// ---------------------------------------------------------------- code

struct ViewDescription {
  std::string owner;
  std::string name;
  std::string text;
  std::vector<ColumnDescription> columns;
  std::string type_owner, type_name;  // an object view
  std::string oid_text;               // an object view's WITH OBJECT IDENTIFIER columns
  bool read_only = false;
};

struct SynonymDescription {
  std::string owner;                 // "PUBLIC" for a public synonym
  std::string name;
  std::string target_owner;
  std::string target_name;
  std::string link;                  // a remote target's database link
};

struct SequenceDescription {
  std::string owner;
  std::string name;
  std::string increment = "1";
  std::optional<std::string> min_value = "1";
  std::optional<std::string> max_value = "999999999999999999999999999";
  bool cycle = false;
  bool order = false;
  std::string cache = "20";
  std::string high_water = "1";
};

enum class TriggerTiming : std::uint8_t { kBefore, kAfter, kInsteadOf };
enum class TriggerLevel : std::uint8_t { kStatement, kRow };
enum class TriggerTarget : std::uint8_t { kTable, kView, kSchema, kDatabase };

struct TriggerDescription {
  std::string owner;
  std::string name;
  TriggerTarget target = TriggerTarget::kTable;
  std::string table_owner;          // the trigger's owner when empty
  std::string table;
  TriggerTiming timing = TriggerTiming::kBefore;
  TriggerLevel level = TriggerLevel::kRow;
  bool on_insert = false, on_update = false, on_delete = false;
  std::uint32_t system_events = 0;  // database and schema triggers: SYS_EVTS
  std::string when_clause;
  std::string description;          // DEFINITION: "name before insert on table for each row\n"
  std::string body;                 // the PL/SQL block
  bool enabled = true;
  // REFERENCING names; Oracle stores the defaults when the clause is absent.
  std::string old_name = "OLD", new_name = "NEW", parent_name = "PARENT";
};

enum class CodeKind : std::uint8_t { kProcedure, kFunction, kPackage, kPackageBody, kTypeBody };

struct CodeDescription {
  std::string owner;
  std::string name;
  CodeKind kind = CodeKind::kProcedure;
  std::vector<std::string> lines;   // SOURCE$ lines, each with its line feed
};

enum class TypeKind : std::uint8_t { kObject, kVarray, kNestedTable };

struct AttributeDescription {
  std::string name;
  ColumnType type;
};

struct TypeDescription {
  std::string owner;
  std::string name;
  TypeKind kind = TypeKind::kObject;
  std::vector<AttributeDescription> attributes;  // object types
  ColumnType element;                     // collections
  std::uint32_t upper_bound = 0;          // VARRAY limit
  std::vector<std::string> methods;       // member function names
  std::vector<std::string> lines;         // the type's SOURCE$ lines
};

// ---------------------------------------------------------------- distributed

struct DatabaseLinkDescription {
  std::string owner;                 // "PUBLIC" for a public link
  std::string name;
  std::string host;
  std::string user_name;             // "" for a link without a user
  std::string password;
};

struct MaterializedViewDescription {
  std::string owner;
  std::string name;
  std::string query;
  std::string master_owner, master;  // the master table of a simple view
  std::vector<ColumnDescription> columns;   // of the container table
  std::vector<RowValues> rows;       // of the container table
  std::string tablespace = "USERS";
  bool refresh_fast = false;
  bool primary_key = true;           // WITH PRIMARY KEY, else WITH ROWID
};

struct MaterializedViewLogDescription {
  std::string owner;                 // the master table's owner
  std::string master;
  bool rowid = false;
  bool primary_key = true;
  std::vector<std::string> filter_columns;
  std::string tablespace = "USERS";
};

// ---------------------------------------------------------------- XML

struct XmlElementDescription {
  std::string name;
  std::string type;      // schema type: "string", "decimal", "date", a complex type
  std::string sql_name;
  std::string sql_type;  // "VARCHAR2", "NUMBER", "DATE", an object type
  bool global = false;
  std::string min_occurs = "1", max_occurs = "1";
};

struct XmlComplexTypeDescription {
  std::string name;
  std::string sql_type;  // the object type its elements are stored as
};

// A schema registered in the XML DB repository: a row of XDB$SCHEMA, one of
// XDB$ELEMENT per element, XDB$ATTRIBUTE per attribute, XDB$COMPLEX_TYPE
// (with its XDB$SEQUENCE_MODEL) per complex type, XDB$SIMPLE_TYPE per simple
// type.
struct XmlSchemaDescription {
  std::string owner;
  std::string url;
  std::string target_namespace;
  std::string version = "1.0";
  std::vector<XmlElementDescription> elements;
  std::vector<XmlElementDescription> attributes;
  std::vector<XmlComplexTypeDescription> complex_types;
  std::vector<std::string> simple_types;
};

// ---------------------------------------------------------------- database

struct Schema {
  std::string character_set = "AL32UTF8";
  std::string national_character_set = "AL16UTF16";
  std::string time_zone = "+00:00";
  std::vector<TablespaceDescription> tablespaces;
  std::vector<UserDescription> users;
  std::vector<RoleDescription> roles;
  std::vector<SystemGrantDescription> system_grants;
  std::vector<ObjectGrantDescription> object_grants;
  std::vector<TypeDescription> types;
  std::vector<ClusterDescription> clusters;
  std::vector<TableDescription> tables;
  std::vector<IndexDescription> indexes;
  std::vector<ViewDescription> views;
  std::vector<SynonymDescription> synonyms;
  std::vector<SequenceDescription> sequences;
  std::vector<TriggerDescription> triggers;
  std::vector<CodeDescription> code;
  std::vector<DatabaseLinkDescription> links;
  std::vector<MaterializedViewDescription> materialized_views;
  std::vector<MaterializedViewLogDescription> materialized_view_logs;
  std::vector<XmlSchemaDescription> xml_schemas;
};

// The tablespaces, users and roles every database of a release has: SYSTEM,
// UNDOTBS1, SYSAUX (10g on; XDB in 9i holds the XML repository), TEMP and
// USERS; SYS, SYSTEM, OUTLN, XDB, PUBLIC, CONNECT, RESOURCE and DBA with
// Oracle's user numbers.
Schema BaseSchema(const std::string& release);

}  // namespace quillon::testdb
