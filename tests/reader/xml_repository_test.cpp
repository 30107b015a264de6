// The XML repository reader: attribute paths, stored column positions from
// COL$ and ATTRCOL$, and schema and element rows linked through their REFs.
#include <gtest/gtest.h>

#include "reader/xml_repository.h"
#include "support/dictionary_fixture.h"

namespace quillon {
namespace {

using test::BlockFile;
using test::HeapRow;
using test::Null;
using test::Num;
using test::Txt;

TEST(AttributePath, DropsQuotesCaseAndTheXmlDataLevel) {
  EXPECT_EQ(AttributePath("\"XMLDATA\".\"PROPERTY\".\"NAME\""), "PROPERTY.NAME");
  EXPECT_EQ(AttributePath("SYS_NC_ROWINFO$.\"XMLDATA\".\"schema_url\""), "SCHEMA_URL");
  EXPECT_EQ(AttributePath("SYS_NC_OID$"), "SYS_NC_OID$");
}

void AddColumn(Catalogue& c, std::uint32_t table, std::uint32_t segcol, std::uint32_t intcol, std::string name,
               std::string attribute) {
  ColumnInfo col;
  col.object_number = table;
  col.segment_column = segcol;
  col.internal_column = intcol;
  col.name = std::move(name);
  c.columns.Append(col);
  if (!attribute.empty()) c.attribute_columns.Append(AttributeColumnRecord{table, intcol, std::move(attribute)});
}

ObjectRecord XdbTable(std::uint32_t number, const char* name) {
  ObjectRecord o;
  o.object_number = number;
  o.data_object_number = number;
  o.owner = "XDB";
  o.name = name;
  o.kind = ObjectKind::kTable;
  return o;
}

TEST(XmlRepository, SchemasAndTheirElements) {
  BlockFile file;
  const testdb::Bytes oid = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  testdb::Bytes ref = {0x00, 0x22, 0x02, 0x08};  // a REF: header bytes, then the schema row's OID
  ref.insert(ref.end(), oid.begin(), oid.end());

  auto schemas = file.NewBlock(56500);
  schemas.AddRow(0, HeapRow({test::Raw(oid), Txt("http://example.com/po.xsd"), Txt("http://example.com/po"),
                             Txt("SCOTT")}));
  const std::uint32_t schema_dba = file.Add(schemas);
  auto elements = file.NewBlock(56342);
  elements.AddRow(0, HeapRow({test::Raw(testdb::Bytes(16, 0xEE)), test::Raw(ref), Txt("PurchaseOrder"),
                              test::Raw({0x01}), Txt("PURCHASEORDER_T")}));
  elements.AddRow(0, HeapRow({test::Raw(testdb::Bytes(16, 0xEF)), test::Raw({0, 1, 2}), Txt("Orphan")}));
  const std::uint32_t element_dba = file.Add(elements);
  file.Finish();

  Catalogue& c = file.engine().catalogue;
  c.AddObject(XdbTable(56500, "XDB$SCHEMA"));
  c.AddObject(XdbTable(56342, "XDB$ELEMENT"));
  AddColumn(c, 56500, 1, 1, "SYS_NC_OID$", "");
  AddColumn(c, 56500, 0, 2, "XMLDATA", "");  // the object column itself is not stored
  AddColumn(c, 56500, 2, 3, "SYS_NC00003$", "\"XMLDATA\".\"SCHEMA_URL\"");
  AddColumn(c, 56500, 3, 4, "SYS_NC00004$", "\"XMLDATA\".\"TARGET_NAMESPACE\"");
  AddColumn(c, 56500, 4, 5, "SYS_NC00005$", "\"XMLDATA\".\"SCHEMA_OWNER\"");
  AddColumn(c, 56342, 1, 1, "SYS_NC_OID$", "");
  AddColumn(c, 56342, 2, 3, "SYS_NC00003$", "\"XMLDATA\".\"PROPERTY\".\"PARENT_SCHEMA\"");
  AddColumn(c, 56342, 3, 4, "SYS_NC00004$", "\"XMLDATA\".\"PROPERTY\".\"NAME\"");
  AddColumn(c, 56342, 4, 5, "SYS_NC00005$", "\"XMLDATA\".\"PROPERTY\".\"GLOBAL\"");
  AddColumn(c, 56342, 5, 6, "SYS_NC00006$", "\"XMLDATA\".\"PROPERTY\".\"SQLTYPE\"");

  DictionaryReader reader(file.engine());
  reader.xml[2] = BlockFile::List(56342, {element_dba});  // elements before schemas in the slots
  reader.xml[5] = BlockFile::List(56500, {schema_dba});
  ASSERT_TRUE(ReadXmlRepository(reader));

  ASSERT_EQ(c.xml_schemas.size(), 1u);
  const XmlSchemaRecord& s = c.xml_schemas[0];
  EXPECT_EQ(s.url, "http://example.com/po.xsd");
  EXPECT_EQ(s.owner, "SCOTT");
  EXPECT_EQ(s.target_namespace, "http://example.com/po");
  ASSERT_EQ(c.xml_elements.size(), 2u);
  const auto linked = c.xml_elements.All<0>(s.object_id);
  ASSERT_EQ(linked.size(), 1u);
  EXPECT_EQ(linked.front().name, "PurchaseOrder");
  EXPECT_TRUE(linked.front().global);
  EXPECT_EQ(linked.front().sql_type, "PURCHASEORDER_T");
  EXPECT_EQ(c.xml_elements.All<0>("").size(), 1u);  // the orphan names no schema
}

TEST(XmlRepository, SegmentsWithoutDictionaryRowsAreNotRead) {
  BlockFile file;
  auto b = file.NewBlock(56500);
  b.AddRow(0, HeapRow({Txt("x"), Txt("y")}));
  const std::uint32_t dba = file.Add(b);
  file.Finish();
  DictionaryReader reader(file.engine());
  reader.xml[5] = BlockFile::List(56500, {dba});
  ASSERT_TRUE(ReadXmlRepository(reader));
  EXPECT_EQ(file.engine().catalogue.xml_schemas.size(), 0u);
}

}  // namespace
}  // namespace quillon
