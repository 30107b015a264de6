// The XML DB repository tables as the generator writes them: object tables
// of XMLType (XDB$SCHEMA, XDB$ELEMENT ...) whose rows are instances of XDB
// object types, each attribute stored in a hidden column that ATTRCOL$ names
// ("XMLDATA"."PROPERTY"."NAME"). The generator stores the attributes the
// catalogue takes, in the attribute order of the XDB types
// (oracle-dictionary.md, section 6), with the embedded objects (PROPERTY,
// TYPENAME) as null-image columns of their own before their attributes.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "testdb/schema_model.h"

namespace quillon::testdb {

struct XdbAttribute {
  std::string path;  // "SCHEMA_URL", "PROPERTY.NAME"; an embedded object's own path for its image
  ColumnType type;   // kObject: the null image of an embedded object; kRef: a REF to the schema row
};

struct XdbTable {
  std::string name;
  std::vector<XdbAttribute> attributes;
};

std::span<const XdbTable> XdbTables();
const XdbTable& XdbTableNamed(const std::string& name);

// A REF to a row of XDB$SCHEMA: length, flags, the row's object identifier
// and the table's.
Bytes SchemaRef(const Bytes& schema_oid);
// The object identifier of a repository row (kind: which table, n: which row).
Bytes RepositoryOid(int kind, std::size_t schema, std::size_t n);

}  // namespace quillon::testdb
