#include "testdb/xml_repository.h"

#include <stdexcept>

namespace quillon::testdb {

namespace {

ColumnType Image() { return ObjectOf("XDB", ""); }
ColumnType Ref() { return RefTo("XDB", ""); }

// XDB$QNAME: PREFIX_CODE RAW(4), NAME VARCHAR2(2000).
std::vector<XdbAttribute> QName(const std::string& at) {
  return {{at, Image()}, {at + ".PREFIX_CODE", Raw(4)}, {at + ".NAME", Varchar2(2000)}};
}

// The XDB$PROPERTY_T attributes the generator stores, under a prefix.
std::vector<XdbAttribute> Property(const std::string& prefix) {
  std::vector<XdbAttribute> out = {{prefix + "PARENT_SCHEMA", Ref()},
                                   {prefix + "PROP_NUMBER", Integer()},
                                   {prefix + "NAME", Varchar2(256)}};
  for (auto& a : QName(prefix + "TYPENAME")) out.push_back(std::move(a));
  out.insert(out.end(), {{prefix + "SQLNAME", Varchar2(30)},
                         {prefix + "SQLTYPE", Varchar2(30)},
                         {prefix + "SQLSCHEMA", Varchar2(30)},
                         {prefix + "GLOBAL", Raw(1)}});
  return out;
}

std::vector<XdbTable> MakeTables() {
  std::vector<XdbTable> t;
  t.push_back({"XDB$SCHEMA",
               {{"SCHEMA_URL", Varchar2(700)},
                {"TARGET_NAMESPACE", Varchar2(2000)},
                {"VERSION", Varchar2(12)},
                {"NUM_PROPS", Integer()},
                {"FLAGS", Raw(4)},
                {"ID", Varchar2(256)},
                {"SCHEMA_OWNER", Varchar2(30)}}});
  std::vector<XdbAttribute> element = {{"PROPERTY", Image()}};
  for (auto& a : Property("PROPERTY.")) element.push_back(std::move(a));
  element.insert(element.end(), {{"DEFAULT_TABLE", Varchar2(30)}, {"MIN_OCCURS", Integer()}, {"MAX_OCCURS", Varchar2(20)}});
  t.push_back({"XDB$ELEMENT", element});
  t.push_back({"XDB$ATTRIBUTE", Property("")});
  t.push_back({"XDB$COMPLEX_TYPE",
               {{"PARENT_SCHEMA", Ref()}, {"NAME", Varchar2(256)}, {"SQLTYPE", Varchar2(30)}, {"SQLSCHEMA", Varchar2(30)}}});
  t.push_back({"XDB$SIMPLE_TYPE", {{"PARENT_SCHEMA", Ref()}, {"NAME", Varchar2(256)}}});
  const std::vector<XdbAttribute> model = {
      {"PARENT_SCHEMA", Ref()}, {"MIN_OCCURS", Integer()}, {"MAX_OCCURS", Varchar2(20)}};
  for (const char* name : {"XDB$SEQUENCE_MODEL", "XDB$CHOICE_MODEL", "XDB$ALL_MODEL"}) t.push_back({name, model});
  return t;
}

}  // namespace

std::span<const XdbTable> XdbTables() {
  static const std::vector<XdbTable> tables = MakeTables();
  return tables;
}

const XdbTable& XdbTableNamed(const std::string& name) {
  for (const auto& t : XdbTables()) {
    if (t.name == name) return t;
  }
  throw std::logic_error("no repository table " + name);
}

Bytes SchemaRef(const Bytes& schema_oid) {
  Bytes ref;
  ref.reserve(4 + schema_oid.size() + 16);
  for (const std::uint8_t b : {0x00, 0x22, 0x02, 0x08}) ref.push_back(b);
  for (const std::uint8_t b : schema_oid) ref.push_back(b);
  // The table's own object identifier (XDB$SCHEMA's), the same in every REF.
  for (std::uint8_t i = 0; i < 16; ++i) ref.push_back(static_cast<std::uint8_t>(0x6C + i * 7));
  return ref;
}

Bytes RepositoryOid(int kind, std::size_t schema, std::size_t n) {
  Bytes oid(16);
  std::uint64_t x = 0xC0FFEE0000000000ull ^ (static_cast<std::uint64_t>(kind) << 40) ^ (schema << 20) ^ n;
  for (std::size_t i = 0; i < oid.size(); ++i) {
    x = (x ^ (x >> 29)) * 0xBF58476D1CE4E5B9ull + 0x9E3779B97F4A7C15ull;
    oid[i] = static_cast<std::uint8_t>(x >> 48);
  }
  return oid;
}

}  // namespace quillon::testdb
