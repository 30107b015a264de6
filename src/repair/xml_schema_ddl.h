// XML schema registration: an anonymous PL/SQL block that rebuilds each
// registered schema's document from the XML DB repository rows and
// registers it for its owner with DBMS_XMLSCHEMA.REGISTERSCHEMA.
//
// The registration runs in the repair's own session and names the schema's
// owner through the registration's owner argument (there since 9i Release
// 2, the first release with XML DB): no account is altered or unlocked and
// no second connection is opened. Schemas of Oracle's own schemas (SYS,
// SYSTEM, XDB, MDSYS ... compared in any case) are left out: a new database
// registers them itself.
//
// The document is built into a CLOB piece by piece, one literal per line,
// so that no literal comes near PL/SQL's limit of 32,767 bytes however long
// the schema. What the repository rows keep is rebuilt: the global
// elements, their complex type with the local elements and attributes, the
// other complex types and the simple types (as restrictions of string: their
// facets are not among the rows read).
#pragma once

#include <string>
#include <string_view>

#include "reader/catalogue.h"
#include "repair/statement_sink.h"

namespace quillon::repair {

inline constexpr std::string_view kPhaseXmlSchema = "Repairing XmlSchema ";
inline constexpr std::string_view kXmlSchemaNamespace = "http://www.w3.org/2001/XMLSchema";
inline constexpr std::string_view kXdbNamespace = "http://xmlns.oracle.com/xdb";

// The schema document of a registered schema (UTF-8, LF line ends).
std::string XmlSchemaDocument(const Catalogue& c, const XmlSchemaRecord& schema);

// Whether a schema of this owner is left out (Oracle's own schemas, in any case).
bool IsOracleXmlSchemaOwner(std::string_view owner);

// With only_url given, just the schema of that URL.
void RegisterXmlSchemas(const Catalogue& c, StatementSink& sink, std::string_view only_url = {});

// Appends to sql the statements of a PL/SQL block that set the CLOB
// variable named variable to text, line by line, each piece a literal of
// at most 4,000 bytes.
void AppendClobAssignment(SqlBuilder& sql, std::string_view variable, std::string_view text);

}  // namespace quillon::repair
