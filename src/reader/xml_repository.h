// The registered XML schemas, read from the XML DB repository tables.
//
// XDB$SCHEMA, XDB$ELEMENT and the rest are object tables of XMLType: a row
// holds an instance of an XDB object type (XDB$SCHEMA_T, XDB$ELEMENT_T ...)
// whose attributes are stored as hidden columns. Where each attribute lies
// in the stored row is not fixed by the release (XDB upgrades add
// attributes), so the reader takes it from the table's own dictionary rows:
// COL$ gives each column's position in the stored row (SEGCOL#) and ATTRCOL$
// the attribute it holds ("XMLDATA"."PROPERTY"."NAME"). That is why these
// segments, found by the SYSAUX scan, are read after C_OBJ#.
//
// Which table a segment is comes from its OBJ$ row (owner XDB, the segment's
// data object number); a segment without one has no dictionary rows that
// describe its columns and is not read.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "reader/dictionary_reader.h"

namespace quillon {

// Positions of a table's stored columns by attribute path.
class StoredColumnMap {
 public:
  StoredColumnMap(const Catalogue& catalogue, std::uint32_t table_object_number);
  // The stored position (1-based) of the column that holds an attribute
  // path, "SCHEMA_URL" or "PROPERTY.NAME" (the XMLDATA level left out), or a
  // column name ("SYS_NC_OID$"). Case and quotes do not matter.
  std::optional<std::size_t> Find(std::string_view path) const;
  bool empty() const { return paths_.empty(); }

 private:
  std::vector<std::pair<std::string, std::size_t>> paths_;
};

// The attribute path of a qualified attribute column name:
// "\"XMLDATA\".\"PROPERTY\".\"NAME\"" gives "PROPERTY.NAME".
std::string AttributePath(std::string_view qualified_name);

// Reads the XML repository segments collected by the SYSAUX scan.
bool ReadXmlRepository(DictionaryReader& reader);

}  // namespace quillon
