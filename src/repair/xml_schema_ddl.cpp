#include "repair/xml_schema_ddl.h"

#include <algorithm>
#include <set>
#include <vector>

#include "repair/code_ddl.h"
#include "repair/quoting.h"
#include "repair/system_schemas.h"
#include "repair/xml_text.h"

namespace quillon::repair {

namespace {

constexpr std::size_t kClobPiece = 4000;

std::string UpperAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

// XML Schema's built-in types that the repository names without a prefix.
bool IsBuiltinSchemaType(std::string_view name) {
  static const std::set<std::string_view> kTypes = {
      "string", "boolean", "decimal", "float", "double", "duration", "dateTime", "time", "date", "gYearMonth",
      "gYear", "gMonthDay", "gDay", "gMonth", "hexBinary", "base64Binary", "anyURI", "QName", "NOTATION",
      "normalizedString", "token", "language", "NMTOKEN", "NMTOKENS", "Name", "NCName", "ID", "IDREF", "IDREFS",
      "ENTITY", "ENTITIES", "integer", "nonPositiveInteger", "negativeInteger", "long", "int", "short", "byte",
      "nonNegativeInteger", "unsignedLong", "unsignedInt", "unsignedShort", "unsignedByte", "positiveInteger",
      "anyType", "anySimpleType"};
  return kTypes.count(name) != 0;
}

// The type attribute of an element or attribute: a built-in type with the
// xs prefix, a type of the schema by its name (the schema's own namespace
// is the document's default), a prefixed name as it is; without a schema
// type, the type its SQL type stands for.
std::string TypeReference(const XmlElementRecord& e) {
  if (!e.type_name.empty()) {
    if (e.type_name.find(':') != std::string::npos) return e.type_name;
    if (IsBuiltinSchemaType(e.type_name)) return "xs:" + e.type_name;
    return e.type_name;
  }
  if (e.sql_type == "NUMBER") return "xs:decimal";
  if (e.sql_type == "DATE") return "xs:date";
  if (e.sql_type == "TIMESTAMP") return "xs:dateTime";
  return "xs:string";  // VARCHAR2, CHAR, XDB$ENUM_T and anything unknown
}

std::string Occurs(const XmlElementRecord& e) {
  std::string out;
  if (!e.min_occurs.empty() && e.min_occurs != "1") out += " minOccurs=\"" + EscapeXmlAttribute(e.min_occurs) + "\"";
  if (!e.max_occurs.empty() && e.max_occurs != "1") out += " maxOccurs=\"" + EscapeXmlAttribute(e.max_occurs) + "\"";
  return out;
}

std::string ElementLine(const XmlElementRecord& e, std::string_view indent) {
  return std::string(indent) + "<xs:" + (e.is_attribute ? "attribute" : "element") + " name=\"" +
         EscapeXmlAttribute(e.name) + "\" type=\"" + EscapeXmlAttribute(TypeReference(e)) + "\"" +
         (e.is_attribute ? "" : Occurs(e)) + "/>\n";
}

}  // namespace

bool IsOracleXmlSchemaOwner(std::string_view owner) {
  const std::string upper = UpperAscii(owner);
  for (const std::string_view name : {"SYS", "SYSTEM", "XDB", "EXFSYS", "MDSYS", "ORDSYS"}) {
    if (upper == name) return true;
  }
  return IsSystemSchema(upper);
}

std::string XmlSchemaDocument(const Catalogue& c, const XmlSchemaRecord& schema) {
  std::vector<const XmlElementRecord*> globals;
  std::vector<const XmlElementRecord*> locals;
  std::vector<const XmlElementRecord*> attributes;
  for (const XmlElementRecord& e : c.xml_elements.All<0>(schema.object_id)) {
    if (e.name.empty()) continue;
    if (e.is_attribute) {
      attributes.push_back(&e);
    } else if (e.global) {
      globals.push_back(&e);
    } else {
      locals.push_back(&e);
    }
  }
  std::vector<const XmlTypeRecord*> complex_types;
  std::vector<const XmlTypeRecord*> simple_types;
  for (const XmlTypeRecord& t : c.xml_types.All<0>(schema.object_id)) {
    if (t.name.empty()) continue;
    (t.complex ? complex_types : simple_types).push_back(&t);
  }
  // The local elements and attributes belong to the type of the first
  // global element (the repository rows read do not tie them to their
  // type); the other complex types are written empty.
  std::string content_type;
  if (!globals.empty()) content_type = globals.front()->type_name;
  const bool content_type_known = std::any_of(complex_types.begin(), complex_types.end(),
                                              [&](const XmlTypeRecord* t) { return t->name == content_type; });

  std::string doc = "<xs:schema xmlns:xs=\"" + std::string(kXmlSchemaNamespace) + "\"";
  if (!schema.target_namespace.empty()) {
    const std::string ns = EscapeXmlAttribute(schema.target_namespace);
    doc += " targetNamespace=\"" + ns + "\" xmlns=\"" + ns + "\"";
  }
  doc += " xmlns:xdb=\"" + std::string(kXdbNamespace) + "\"";
  if (!schema.version.empty()) doc += " version=\"" + EscapeXmlAttribute(schema.version) + "\"";
  doc += " elementFormDefault=\"qualified\">\n";
  for (const XmlElementRecord* e : globals) doc += ElementLine(*e, " ");
  const auto content = [&](std::string_view indent) {
    std::string out;
    if (!locals.empty()) {
      out += std::string(indent) + "<xs:sequence>\n";
      for (const XmlElementRecord* e : locals) out += ElementLine(*e, std::string(indent) + " ");
      out += std::string(indent) + "</xs:sequence>\n";
    }
    for (const XmlElementRecord* a : attributes) out += ElementLine(*a, indent);
    return out;
  };
  for (const XmlTypeRecord* t : complex_types) {
    doc += " <xs:complexType name=\"" + EscapeXmlAttribute(t->name) + "\">\n";
    if (t->name == content_type) doc += content("  ");
    doc += " </xs:complexType>\n";
  }
  if (!content_type_known && !content_type.empty() && !IsBuiltinSchemaType(content_type) &&
      content_type.find(':') == std::string::npos && (!locals.empty() || !attributes.empty())) {
    doc += " <xs:complexType name=\"" + EscapeXmlAttribute(content_type) + "\">\n" + content("  ") +
           " </xs:complexType>\n";
  }
  for (const XmlTypeRecord* t : simple_types) {
    doc += " <xs:simpleType name=\"" + EscapeXmlAttribute(t->name) + "\">\n  <xs:restriction base=\"xs:string\"/>\n"
           " </xs:simpleType>\n";
  }
  doc += "</xs:schema>\n";
  return doc;
}

void AppendClobAssignment(SqlBuilder& sql, std::string_view variable, std::string_view text) {
  bool first = true;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t line_end = std::min(text.find('\n', start), text.size());
    std::size_t end = std::min(line_end, start + kClobPiece);
    // Never cut inside a UTF-8 sequence.
    while (end > start + 1 && end < line_end && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    const bool ends_line = end == line_end && line_end < text.size();
    sql.Raw("  ").Raw(variable).Raw(" := ");
    if (!first) sql.Raw(variable).Raw(" || ");
    sql.ExpressionLiteral(text.substr(start, end - start));
    if (ends_line) sql.Raw(" || CHR(10)");
    sql.Raw(";\n");
    first = false;
    start = ends_line ? end + 1 : end;
  }
  if (first) sql.Raw("  ").Raw(variable).Raw(" := EMPTY_CLOB();\n");
}

void RegisterXmlSchemas(const Catalogue& c, StatementSink& sink, std::string_view only_url) {
  for (const XmlSchemaRecord& schema : c.xml_schemas) {
    if (!only_url.empty() && schema.url != only_url) continue;
    if (IsOracleXmlSchemaOwner(schema.owner)) continue;
    const StatementNote note{std::string(kPhaseXmlSchema), "XML schema " + schema.url + " of " + schema.owner, false};
    if (schema.url.empty()) {
      sink.Skipped(note, "its URL is not in the repository");
      continue;
    }
    bool names_ok = true;
    for (const XmlElementRecord& e : c.xml_elements.All<0>(schema.object_id)) {
      if (!e.name.empty() && !IsXmlName(e.name)) names_ok = false;
    }
    for (const XmlTypeRecord& t : c.xml_types.All<0>(schema.object_id)) {
      if (!t.name.empty() && !IsXmlName(t.name)) names_ok = false;
    }
    if (!names_ok) {
      sink.Skipped(note, "a name of its elements or types is not an XML name");
      continue;
    }
    SqlBuilder sql;
    sql.Raw("DECLARE\n  doc CLOB;\nBEGIN\n");
    AppendClobAssignment(sql, "doc", XmlSchemaDocument(c, schema));
    sql.Raw("  DBMS_XMLSCHEMA.REGISTERSCHEMA(\n    schemaurl => ").Literal(schema.url);
    sql.Raw(",\n    schemadoc => doc,\n    local => FALSE,\n    gentypes => TRUE,\n    genbean => FALSE,\n"
            "    gentables => FALSE,\n    owner => ");
    sql.Literal(schema.owner);
    sql.Raw(");\nEND;");
    if (!QuoteIdent(schema.owner)) sql.Ident(schema.owner);  // refuses the statement with its reason
    if (!sql.ok()) {
      sink.Skipped(note, sql.reason());
      continue;
    }
    Statement s = sql.Build(note, StatementKind::kPlsqlUnit);
    s.query_file = std::string(kQueryOfXmlSchema);
    sink.Accept(s);
  }
}

}  // namespace quillon::repair
