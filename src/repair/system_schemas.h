// The schemas of Oracle's own components and sample schemas. Their code
// objects are re-created like any other, but left out of the query files:
// those files are for the user to read and re-run the code of their own
// applications.
#pragma once

#include <string_view>

namespace quillon::repair {

// Whether a schema name (exactly as the dictionary spells it) is one of
// Oracle's own: SYS, SYSTEM, XDB, MDSYS, CTXSYS, the sample schemas HR's
// company (OE, SH, PM, IX, BI) and the rest.
bool IsSystemSchema(std::string_view name);

// Whether a name qualified by one of those schemas ("MDSYS.SDO_GEOMETRY"):
// the part before the first "." is a system schema.
bool IsSystemSchemaQualified(std::string_view qualified_name);

// Whether a table belongs to the XML DB repository (XDB's XDB$ tables: its
// registered schemas, elements and types). Every new database with XML DB
// has these tables with its own rows; re-creating them fails, and rows put
// into them would change the new database's repository.
bool IsXmlRepositoryTable(std::string_view owner, std::string_view table);

}  // namespace quillon::repair
