// Registered XML schemas, read from the XML DB repository tables of the
// SYSAUX tablespace (the XDB tablespace in 9i): XDB$SCHEMA, XDB$ELEMENT,
// XDB$COMPLEX_TYPE, XDB$SIMPLE_TYPE, XDB$ATTRIBUTE and the three model
// tables. They are XMLType object tables: each row holds an instance of an
// XDB object type whose attributes are stored as hidden columns, so the
// reader finds its values through the table's own COL$ and ATTRCOL$ rows
// (see xml_repository.h).
//
// Also the work records the XML value builder keeps while it writes one
// value: XmlMainElement, XmlComplexElStruct and XmlElementProperties.
#pragma once

#include <cstdint>
#include <string>

namespace quillon {

// A row of XDB$SCHEMA.
struct XmlSchemaRecord {
  std::string object_id;         // SYS_NC_OID$ as " %02X" groups: what REFs to the schema hold
  std::string owner;             // SCHEMA_OWNER
  std::string url;               // SCHEMA_URL
  std::string target_namespace;  // TARGET_NAMESPACE
  std::string version;           // VERSION
};

// A row of XDB$ELEMENT or XDB$ATTRIBUTE (the XDB$PROPERTY_T attributes).
struct XmlElementRecord {
  std::string object_id;         // SYS_NC_OID$
  std::string schema_id;         // PARENT_SCHEMA: the object id of the schema row
  std::string name;              // NAME
  std::string type_name;         // TYPENAME.NAME: the schema type ("string", "decimal", a complex type)
  std::string sql_name;          // SQLNAME
  std::string sql_type;          // SQLTYPE ("NUMBER", "VARCHAR2", an object type)
  std::string sql_schema;        // SQLSCHEMA
  std::uint32_t property_number = 0;  // PROP_NUMBER
  bool global = false;           // GLOBAL: a top-level element of the schema
  std::string min_occurs;        // MIN_OCCURS
  std::string max_occurs;        // MAX_OCCURS
  std::string default_table;     // DEFAULT_TABLE (elements)
  bool is_attribute = false;     // read from XDB$ATTRIBUTE
};

// A row of XDB$COMPLEX_TYPE or XDB$SIMPLE_TYPE.
struct XmlTypeRecord {
  std::string object_id;
  std::string schema_id;         // PARENT_SCHEMA
  std::string name;
  std::string sql_type;          // SQLTYPE (complex types)
  bool complex = false;
};

// A row of XDB$SEQUENCE_MODEL, XDB$CHOICE_MODEL or XDB$ALL_MODEL.
struct XmlModelRecord {
  std::string object_id;
  std::string schema_id;         // PARENT_SCHEMA
  std::string kind;              // "sequence", "choice", "all"
  std::string min_occurs;
  std::string max_occurs;
};

// Work records of the XML value builder.
struct XmlMainElement {
  std::uint32_t position = 0;     // order within its level
  std::uint32_t level = 0;        // nesting level
  std::string name;               // element name
  std::string type_text;          // element type ("NUMBER", "VARCHAR2", an object type)
  std::string schema_key;         // the schema file name the element belongs to
};

struct XmlComplexElStruct {
  std::uint32_t position = 0;
  std::uint32_t element_count = 0;
  std::string name;
  std::string sql_type;
};

struct XmlElementProperties {
  std::string name;
  std::string type_name;
  std::string sql_name;
  std::string sql_type;
  std::string min_occurs;
  std::string max_occurs;
};

}  // namespace quillon
