// The XML DB repository: its tables (owner XDB, in SYSAUX; in the XDB
// tablespace before 10g) with their hidden attribute columns, and the rows of
// the registered XML schemas in them.
#include <cstdio>

#include "testdb/resolver.h"
#include "testdb/column_property.h"
#include "testdb/xml_repository.h"

namespace quillon::testdb {

namespace {

// COL$.PROPERTY of the columns of an XMLType object table.
using namespace column_property;

// Value slots of a repository row: 0 the row's object identifier, 1 the
// XMLDATA image, then one per attribute in table order.
constexpr std::size_t kFirstAttributeSlot = 2;

Value Present() { return val::Num(1); }
Value Flag(bool on) { return val::Bytes(Bytes{static_cast<std::uint8_t>(on ? 1 : 0)}); }
Value TextOrNull(const std::string& text) { return text.empty() ? val::Null() : val::Text(text); }

}  // namespace

void Resolver::XmlSchemas() {
  // XML DB came with 9i Release 2.
  if (release_.code < 9) {
    if (!schema_.xml_schemas.empty()) Fail("XML schemas need 9i or later");
    return;
  }
  const std::uint32_t xdb = UserNumber("XDB");
  const std::uint32_t ts = TablespaceNumber(release_.code == 9 ? "XDB" : "SYSAUX");
  const Numbering numbering = release_.numbering();

  // The rows of every table, from every schema.
  std::map<std::string, std::vector<RowValues>> rows;
  const auto add = [&](const std::string& table, const Bytes& oid, std::vector<std::pair<std::string, Value>> values) {
    const XdbTable& def = XdbTableNamed(table);
    RowValues row(kFirstAttributeSlot + def.attributes.size());
    row[0] = val::Bytes(oid);
    row[1] = Present();
    for (std::size_t i = 0; i < def.attributes.size(); ++i) {
      if (def.attributes[i].type.type == SqlType::kObject) row[kFirstAttributeSlot + i] = Present();
      for (auto& [path, value] : values) {
        if (path == def.attributes[i].path) row[kFirstAttributeSlot + i] = value;
      }
    }
    rows[table].push_back(std::move(row));
  };
  for (std::size_t si = 0; si < schema_.xml_schemas.size(); ++si) {
    const XmlSchemaDescription& wanted = schema_.xml_schemas[si];
    UserNumber(wanted.owner);
    RXmlSchema r;
    r.wanted = &wanted;
    r.oid = RepositoryOid(42, si, 0);
    const Value parent = val::Bytes(SchemaRef(r.oid));
    add("XDB$SCHEMA", r.oid,
        {{"SCHEMA_URL", TextOrNull(wanted.url)},
         {"TARGET_NAMESPACE", TextOrNull(wanted.target_namespace)},
         {"VERSION", TextOrNull(wanted.version)},
         {"NUM_PROPS", val::Num(static_cast<std::int64_t>(wanted.elements.size() + wanted.attributes.size()))},
         {"FLAGS", val::Hex("00000001")},
         {"SCHEMA_OWNER", TextOrNull(wanted.owner)}});
    const auto property = [&](const std::string& prefix, const XmlElementDescription& e, std::uint32_t number) {
      return std::vector<std::pair<std::string, Value>>{{prefix + "PARENT_SCHEMA", parent},
                                                        {prefix + "PROP_NUMBER", val::Num(number)},
                                                        {prefix + "NAME", TextOrNull(e.name)},
                                                        {prefix + "TYPENAME.NAME", TextOrNull(e.type)},
                                                        {prefix + "SQLNAME", TextOrNull(e.sql_name)},
                                                        {prefix + "SQLTYPE", TextOrNull(e.sql_type)},
                                                        {prefix + "SQLSCHEMA", TextOrNull(wanted.owner)},
                                                        {prefix + "GLOBAL", Flag(e.global)}};
    };
    std::uint32_t number = 1;
    for (std::size_t i = 0; i < wanted.elements.size(); ++i) {
      const XmlElementDescription& e = wanted.elements[i];
      auto values = property("PROPERTY.", e, number++);
      values.push_back({"MIN_OCCURS", val::Num(e.min_occurs)});
      values.push_back({"MAX_OCCURS", TextOrNull(e.max_occurs)});
      if (e.global) values.push_back({"DEFAULT_TABLE", TextOrNull(e.sql_name + "_TAB")});
      r.element_oids.push_back(RepositoryOid(39, si, i));
      add("XDB$ELEMENT", r.element_oids.back(), std::move(values));
    }
    for (std::size_t i = 0; i < wanted.attributes.size(); ++i) {
      r.attribute_oids.push_back(RepositoryOid(44, si, i));
      add("XDB$ATTRIBUTE", r.attribute_oids.back(), property("", wanted.attributes[i], number++));
    }
    for (std::size_t i = 0; i < wanted.complex_types.size(); ++i) {
      const XmlComplexTypeDescription& c = wanted.complex_types[i];
      r.complex_oids.push_back(RepositoryOid(37, si, i));
      add("XDB$COMPLEX_TYPE", r.complex_oids.back(),
          {{"PARENT_SCHEMA", parent}, {"NAME", TextOrNull(c.name)}, {"SQLTYPE", TextOrNull(c.sql_type)},
           {"SQLSCHEMA", TextOrNull(wanted.owner)}});
      r.model_oids.push_back(RepositoryOid(43, si, i));
      add("XDB$SEQUENCE_MODEL", r.model_oids.back(),
          {{"PARENT_SCHEMA", parent}, {"MIN_OCCURS", val::Num(1)}, {"MAX_OCCURS", val::Text("1")}});
    }
    for (std::size_t i = 0; i < wanted.simple_types.size(); ++i) {
      r.simple_oids.push_back(RepositoryOid(38, si, i));
      add("XDB$SIMPLE_TYPE", r.simple_oids.back(), {{"PARENT_SCHEMA", parent}, {"NAME", TextOrNull(wanted.simple_types[i])}});
    }
    r_.xml_schemas.push_back(std::move(r));
  }

  // The tables, whether or not a schema is registered.
  for (const XmlTableNumbers& numbers : XmlTableTable()) {
    const XdbTable& def = XdbTableNamed(std::string(numbers.name));
    RTable t;
    t.object = XmlTableNumber(numbers, numbering);
    t.data_object = t.object;
    t.owner = "XDB";
    t.name = def.name;
    t.ts = ts;
    t.property = 0x01;  // an object table (of XMLType)
    std::uint32_t intcol = 1;
    const auto column = [&](std::string name, const ColumnType& type, std::uint64_t property, ColumnSource source,
                            int slot, bool visible) {
      RColumn c = ScalarColumn(name, type);
      c.internal_column = intcol++;
      c.column_number = visible ? 1 : 0;
      c.property = property;
      c.source = source;
      c.source_column = slot;
      t.columns.push_back(std::move(c));
      return t.columns.back().internal_column;
    };
    column("SYS_NC_OID$", Raw(16), kOidColumn | kHidden | kSystemGenerated, ColumnSource::kValue, 0, false);
    const std::uint32_t rowinfo =
        column("SYS_NC_ROWINFO$", XmlType(), kRowInfo | kVirtualBit, ColumnSource::kNone, -1, true);
    column("XMLDATA", ObjectOf("XDB", def.name.substr(4) + "_T"), kHidden | kSystemGenerated,
           ColumnSource::kObjectImage, 1, false);
    for (std::size_t i = 0; i < def.attributes.size(); ++i) {
      const XdbAttribute& a = def.attributes[i];
      char name[16];
      std::snprintf(name, sizeof name, "SYS_NC%05u$", intcol);
      const bool image = a.type.type == SqlType::kObject;
      const std::uint32_t c = column(name, a.type, kAdtAttribute | kHidden,
                                     image ? ColumnSource::kObjectImage : ColumnSource::kValue,
                                     static_cast<int>(kFirstAttributeSlot + i), false);
      std::string qualified = "\"XMLDATA\"";
      std::size_t start = 0;
      while (start <= a.path.size()) {
        const auto dot = a.path.find('.', start);
        qualified += ".\"" + a.path.substr(start, dot == std::string::npos ? std::string::npos : dot - start) + "\"";
        if (dot == std::string::npos) break;
        start = dot + 1;
      }
      t.columns.back().qualified_name = qualified;
      r_.attribute_columns.push_back({t.object, c, qualified});
    }
    t.visible_columns = 1;
    TableDescription none;
    AssignSegmentColumns(t, none);
    r_.column_types.push_back({t.object, 1, rowinfo, BuiltinType(SqlType::kXmlType).toid, 0x4000, 1});
    r_.opaque_types.push_back({t.object, rowinfo, 0x0400 | 0x0001, 0, {}, 0, ""});
    auto& table_rows = r_.derived_rows.emplace_back(std::move(rows[def.name]));
    t.rows = &table_rows;
    RSegment s;
    s.name = "XDB." + def.name;
    s.data_object = t.object;
    s.ts = ts;
    s.space = SpaceManagement::kAssm;
    s.content = SegmentContent::kTableRows;
    s.table = static_cast<int>(r_.tables.size());
    s.rows = &table_rows;
    t.segment = AddSegment(std::move(s));
    AddObject(t.object, xdb, def.name, obj::kNsTable, obj::kTable, t.data_object);
    tables_by_name_[{"XDB", def.name}] = static_cast<int>(r_.tables.size());
    r_.tables.push_back(std::move(t));
  }
}

}  // namespace quillon::testdb
