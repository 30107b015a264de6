// Object types and typed columns: TYPE$, COLLECTION$, ATTRIBUTE$ and METHOD$
// (the type cluster, keyed by type identifier and version), and the C_OBJ#
// members that tie table columns to types: COLTYPE$, NTAB$ (Nsdata),
// OPQTYPE$ (XMLType storage) and ATTRCOL$ (names of attribute columns).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillon {

// TYPE$ row.
struct TypeRecord {
  std::string type_oid;          // TOID, sixteen " %02X" groups (the cluster key)
  std::uint32_t version = 0;     // VERSION#
  std::string version_name;      // VERSION
  std::uint32_t typecode = 0;    // TYPECODE (OCI type code: 108 object, 122 table, 247 varray ...)
  std::uint64_t properties = 0;  // PROPERTIES
  std::uint32_t attribute_count = 0;  // ATTRIBUTES
  std::uint32_t method_count = 0;     // METHODS
  std::string supertype_oid;     // SUPERTOID
};

// COLLECTION$ row.
struct CollectionRecord {
  std::string type_oid;          // TOID (the cluster key)
  std::uint32_t version = 0;
  std::string element_type_oid;  // ELEM_TOID
  std::uint32_t element_type_code = 0;  // packed SQL type number of the element
  std::uint32_t charset_id = 0;  // packed CHARSETID
  std::uint32_t length = 0;
  std::uint32_t precision = 0;
  std::uint32_t scale = 0;
  std::int64_t upper_bound = 0;  // UPPER_BOUND: the VARRAY limit
};

// METHOD$ row.
struct MethodRecord {
  std::string type_oid;          // TOID (the cluster key)
  std::uint32_t version = 0;
  std::uint32_t method_number = 0;  // METHOD#
  std::string name;
  std::uint64_t properties = 0;
  std::uint32_t parameter_count = 0;
  std::uint32_t result_count = 0;
};

// COLTYPE$ row: the user type of an object, REF, nested-table or array column.
struct ColumnTypeRecord {
  std::uint32_t table_object_number = 0;  // OBJ#, the cluster key
  std::uint32_t column_number = 0;        // COL#
  std::uint32_t internal_column = 0;      // INTCOL#
  std::string type_oid;                   // TOID
  std::uint32_t version = 0;              // VERSION#
  std::uint64_t flags = 0;                // FLAGS (0x02 ADT, 0x04 nested table, 0x08 varray, 0x10 REF)
};

// NTAB$ row: a nested-table column and its storage table.
struct Nsdata {
  std::string column_name;                // NAME: the qualified nested-table column name
  std::uint32_t table_object_number = 0;  // OBJ#, the cluster key
  std::uint32_t storage_object_number = 0;  // NTAB#: the storage table
  std::string storage_table_name;         // the storage table's name (OBJ$)
  std::uint32_t column_number = 0;        // COL#
  std::uint32_t internal_column = 0;      // INTCOL#
};

// OPQTYPE$ row: how an XMLType column or table is stored.
struct OpaqueTypeRecord {
  std::uint32_t table_object_number = 0;  // OBJ#, the cluster key
  std::uint32_t internal_column = 0;      // INTCOL#
  std::uint32_t type = 0;                 // TYPE: 1 XMLType
  std::uint64_t flags = 0;                // FLAGS: 0x01 object-relational, 0x02 schema based, 0x04 CLOB ...
  std::string schema_oid;                 // SCHEMAOID
  std::uint32_t element_number = 0;       // ELEMNUM
  std::string schema_url;                 // SCHEMAURL
};

// ATTRCOL$ row: the qualified attribute name ("XMLDATA"."SCHEMA_URL") of a
// column that stores an attribute of an object column.
struct AttributeColumnRecord {
  std::uint32_t table_object_number = 0;  // OBJ#, the cluster key
  std::uint32_t internal_column = 0;      // INTCOL#
  std::string name;
};

// The packed SQL type number that stands for an OCI type code of TYPE$
// (108 object -> 121, 9 VARCHAR2 -> 1, 247 VARRAY -> 123 ...); 0 for codes
// without one.
std::uint32_t SqlTypeCodeOfTypecode(std::uint32_t typecode);
// The name of a built-in type by its OCI type code ("VARCHAR2", "NUMBER"); empty
// for codes that are not built-in scalar types.
std::string_view BuiltinTypeName(std::uint32_t typecode);
// The OCI type code of a built-in type's TOID (fifteen zero bytes and the
// code); std::nullopt for other TOIDs. The TOID is in its " %02X" text form.
std::optional<std::uint32_t> BuiltinTypecode(std::string_view type_oid);

}  // namespace quillon
