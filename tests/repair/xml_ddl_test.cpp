#include <gtest/gtest.h>
#include <libxml/parser.h>

#include <algorithm>

#include <string>
#include <vector>

#include "reader/charset.h"
#include "reader/packed_codes.h"
#include "repair/code_catalogue.h"
#include "repair/xml_schema_ddl.h"
#include "repair/xml_text.h"
#include "repair/xml_value.h"
#include "support/oracle_grammar.h"

namespace quillon::repair {
namespace {

bool WellFormed(const std::string& doc) {
  xmlDocPtr parsed = xmlReadMemory(doc.data(), static_cast<int>(doc.size()), "doc.xml", nullptr,
                                   XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
  const bool ok = parsed != nullptr;
  xmlFreeDoc(parsed);
  return ok;
}

// The document inside a literal expression: the literals' texts joined,
// with CHR(10) as line ends and doubled quotes single again.
std::string DocumentOf(const std::string& expression) {
  std::string doc;
  std::size_t i = expression.find("xmltype(") + 8;
  while (i < expression.size() && expression[i] != ')') {
    if (expression[i] == '\'') {
      ++i;
      while (i < expression.size()) {
        if (expression[i] == '\'' && i + 1 < expression.size() && expression[i + 1] == '\'') {
          doc += '\'';
          i += 2;
        } else if (expression[i] == '\'') {
          ++i;
          break;
        } else {
          doc += expression[i++];
        }
      }
    } else if (expression.compare(i, 8, "CHR(10))") == 0 || expression.compare(i, 7, "CHR(10)") == 0) {
      doc += '\n';
      i += 7;
    } else {
      ++i;
    }
  }
  return doc;
}

std::vector<std::uint8_t> Leaf(const std::vector<std::uint8_t>& bytes) {
  // Sized first: GCC 12 at -O3 takes an insert after a one-byte start for
  // an out-of-bounds copy (a false -Warray-bounds).
  std::vector<std::uint8_t> out(bytes.size() + 1);
  out[0] = static_cast<std::uint8_t>(bytes.size());
  std::copy(bytes.begin(), bytes.end(), out.begin() + 1);
  return out;
}

std::vector<std::uint8_t> Text(const std::string& s) {
  return Leaf(std::vector<std::uint8_t>(s.begin(), s.end()));
}

const std::vector<std::uint8_t> kDate2024_01_05 = {120, 124, 1, 5, 1, 1, 1};
const std::vector<std::uint8_t> kZero = {0x80};

TEST(XmlValue, LeafTexts) {
  const CharsetDecoder utf8(*FindCharset("AL32UTF8"));
  const std::vector<std::uint8_t> timestamp = {120, 124, 1, 5, 11, 21, 31, 0x1D, 0xCD, 0x65, 0x00};
  const std::vector<std::uint8_t> number = {0xC1, 0x03};  // 2
  const std::vector<std::uint8_t> text = {'a', '&', 'b'};
  struct Case {
    std::uint32_t code;
    std::optional<ByteView> value;
    const char* expected;
  };
  const Case cases[] = {
      // A DATE is an xs:date.
      {type_code::kDate, ByteView(kDate2024_01_05.data(), kDate2024_01_05.size()), "2024-01-05"},
      {type_code::kTimestamp, ByteView(timestamp.data(), timestamp.size()), "2024-01-05T10:20:30.5"},
      // Zero is a decimal like any other.
      {type_code::kNumber, ByteView(kZero.data(), kZero.size()), "0"},
      {type_code::kNumber, ByteView(number.data(), number.size()), "2"},
      {type_code::kVarchar2, ByteView(text.data(), text.size()), "a&b"},  // escaped by the builder
      {type_code::kNumber, std::nullopt, ""},
      {type_code::kBlob, ByteView(text.data(), text.size()), "UNSUPPORTED VALUE"},
  };
  for (const Case& c : cases) EXPECT_EQ(DecodeXmlLeaf(c.code, c.value, utf8), c.expected) << c.expected;
}

XmlValueSchema PurchaseOrder() {
  XmlValueSchema s;
  s.url = "http://www.example.com/po.xsd";
  XmlValueElement root{"PurchaseOrder", type_code::kObject, {}};
  root.children = {{"Reference", type_code::kVarchar2, {}},
                   {"OrderDate", type_code::kDate, {}},
                   {"Scan", type_code::kBlob, {}},
                   {"Amount", type_code::kNumber, {}}};
  s.main_elements.push_back(root);
  return s;
}

TEST(XmlValue, DocumentsAreEscapedWellFormedAndReadInStep) {
  const CharsetDecoder utf8(*FindCharset("AL32UTF8"));
  std::vector<std::uint8_t> row = Text("R&D <it's> \"x\"");
  for (const auto& part : {Leaf(kDate2024_01_05), Text("zz"), Leaf(kZero)}) row.insert(row.end(), part.begin(), part.end());
  std::size_t position = 0;
  XmlValueSchema schema = PurchaseOrder();
  schema.target_namespace = "http://www.example.com/po?a&b";
  const XmlValueText value = BuildXmlValue(schema, ByteView(row.data(), row.size()), position, utf8, "?");
  ASSERT_FALSE(value.expression.empty());
  EXPECT_FALSE(value.bound_document);
  EXPECT_EQ(position, row.size());
  // An unsupported leaf still moves the reader past its bytes.
  const std::string doc = DocumentOf(value.expression);
  EXPECT_EQ(doc,
            "<PurchaseOrder xmlns=\"http://www.example.com/po?a&amp;b\">\n<Reference>R&amp;D &lt;it's&gt; \"x\"</Reference>\n<OrderDate>2024-01-05</OrderDate>\n"
            "<Scan>UNSUPPORTED VALUE</Scan>\n<Amount>0</Amount>\n</PurchaseOrder>\n");
  EXPECT_TRUE(WellFormed(doc));
  EXPECT_NE(value.expression.find("it''s"), std::string::npos);
  EXPECT_EQ(value.expression.find('\n'), std::string::npos);
  EXPECT_EQ(value.expression.substr(0, 10), "(xmltype('");
  EXPECT_NE(value.expression.find(").createschemabasedxml('http://www.example.com/po.xsd'))"), std::string::npos);
}

TEST(XmlValue, LongLengthsLongDocumentsAndRowsThatEndTooSoon) {
  const CharsetDecoder utf8(*FindCharset("AL32UTF8"));
  // 0xFE and a two-byte length: a value of 5,000 bytes.
  std::vector<std::uint8_t> row = {0xFE, 0x13, 0x88};
  row.insert(row.end(), 5000, 'a');
  for (const auto& part : {Leaf(kDate2024_01_05), Text("x"), Leaf(kZero)}) row.insert(row.end(), part.begin(), part.end());
  std::size_t position = 0;
  const XmlValueText value = BuildXmlValue(PurchaseOrder(), ByteView(row.data(), row.size()), position, utf8, "?");
  ASSERT_TRUE(value.bound_document);
  EXPECT_EQ(value.expression, "(xmltype(?).createschemabasedxml('http://www.example.com/po.xsd'))");
  EXPECT_TRUE(WellFormed(*value.bound_document));
  EXPECT_EQ(position, row.size());

  // A row that ends inside the values gives no value text.
  std::vector<std::uint8_t> short_row = Text("x");
  short_row.push_back(7);
  position = 0;
  EXPECT_TRUE(BuildXmlValue(PurchaseOrder(), ByteView(short_row.data(), short_row.size()), position, utf8, "?")
                  .expression.empty());
}

TEST(XmlValue, TwoMainElementsMakeNoDocument) {
  const CharsetDecoder utf8(*FindCharset("AL32UTF8"));
  XmlValueSchema s = PurchaseOrder();
  s.main_elements.push_back(s.main_elements.front());
  const std::vector<std::uint8_t> row = Text("x");
  std::size_t position = 0;
  EXPECT_TRUE(BuildXmlValue(s, ByteView(row.data(), row.size()), position, utf8, "?").expression.empty());
  EXPECT_EQ(position, 0u);
}

void FillSchema(test::CodeCatalogue& db, const std::string& owner) {
  XmlSchemaRecord schema;
  schema.object_id = " 01";
  schema.owner = owner;
  schema.url = "http://www.example.com/schemas/it's.xsd";
  schema.target_namespace = "http://www.example.com/po?a=1&b=2";
  schema.version = "1.0";
  db.cat.xml_schemas.Append(schema);
  const auto element = [&](std::string name, std::string type, std::string sql_type, bool global) {
    XmlElementRecord e;
    e.schema_id = " 01";
    e.name = std::move(name);
    e.type_name = std::move(type);
    e.sql_type = std::move(sql_type);
    e.global = global;
    e.min_occurs = "1";
    e.max_occurs = "1";
    return e;
  };
  db.cat.xml_elements.Append(element("PurchaseOrder", "PurchaseOrderType", "PURCHASEORDER_T", true));
  db.cat.xml_elements.Append(element("Reference", "string", "VARCHAR2", false));
  db.cat.xml_elements.Append(element("Amount", "", "NUMBER", false));
  XmlElementRecord customer = element("Customer", "CustomerType", "CUSTOMER_T", false);
  customer.min_occurs = "0";
  customer.max_occurs = "unbounded";
  db.cat.xml_elements.Append(customer);
  XmlElementRecord currency = element("currency", "string", "VARCHAR2", false);
  currency.is_attribute = true;
  db.cat.xml_elements.Append(currency);
  db.cat.xml_types.Append(XmlTypeRecord{" 02", " 01", "PurchaseOrderType", "PURCHASEORDER_T", true});
  db.cat.xml_types.Append(XmlTypeRecord{" 03", " 01", "CustomerType", "CUSTOMER_T", true});
  db.cat.xml_types.Append(XmlTypeRecord{" 04", " 01", "MoneyType", "", false});
}

TEST(XmlValue, SchemaOfAColumnFromTheRepository) {
  test::CodeCatalogue db;
  FillSchema(db, "SALES");
  EXPECT_FALSE(XmlValueSchemaFor(db.cat, "http://elsewhere/x.xsd"));
  const std::optional<XmlValueSchema> schema = XmlValueSchemaFor(db.cat, "http://www.example.com/schemas/it's.xsd");
  ASSERT_TRUE(schema);
  EXPECT_EQ(schema->target_namespace, "http://www.example.com/po?a=1&b=2");
  ASSERT_EQ(schema->main_elements.size(), 1u);
  const XmlValueElement& root = schema->main_elements[0];
  EXPECT_TRUE(root.complex());
  ASSERT_EQ(root.children.size(), 3u);  // the attribute is not an element value
  EXPECT_EQ(root.children[0].name, "Reference");
  EXPECT_EQ(root.children[0].type_code, type_code::kVarchar2);
  EXPECT_EQ(root.children[1].type_code, type_code::kNumber);
  EXPECT_EQ(root.children[2].name, "Customer");
  EXPECT_FALSE(root.children[2].complex());
}

TEST(XmlSchemaDdl, SchemaDocumentsAreWellFormed) {
  test::CodeCatalogue db;
  FillSchema(db, "SALES");
  const std::string doc = XmlSchemaDocument(db.cat, db.cat.xml_schemas[0]);
  EXPECT_TRUE(WellFormed(doc)) << doc;
  EXPECT_NE(doc.find("targetNamespace=\"http://www.example.com/po?a=1&amp;b=2\""), std::string::npos);
  EXPECT_NE(doc.find("<xs:element name=\"Reference\" type=\"xs:string\"/>"), std::string::npos) << doc;
  EXPECT_NE(doc.find("<xs:element name=\"Amount\" type=\"xs:decimal\"/>"), std::string::npos);
  EXPECT_NE(doc.find("<xs:element name=\"Customer\" type=\"CustomerType\" minOccurs=\"0\" maxOccurs=\"unbounded\"/>"),
            std::string::npos);
  EXPECT_NE(doc.find("<xs:attribute name=\"currency\" type=\"xs:string\"/>"), std::string::npos);
}

TEST(XmlSchemaDdl, RegistrationByOwner) {
  struct Case {
    const char* owner;
    bool registered;
  };
  const Case cases[] = {{"SALES", true}, {"XDB", false}, {"xdb", false}, {"sys", false}, {"System", false},
                        {"MDSYS", false}, {"OE", false}};
  for (const Case& c : cases) {
    test::CodeCatalogue db;
    FillSchema(db, c.owner);
    RecorderSink sink;
    RegisterXmlSchemas(db.cat, sink);
    ASSERT_EQ(sink.statements.size(), c.registered ? 1u : 0u) << c.owner;
    if (!c.registered) continue;
    const std::string& text = sink.statements[0].text;
    // No account is altered, no second login: the owner argument.
    EXPECT_EQ(text.find("ALTER USER"), std::string::npos);
    EXPECT_EQ(text.find("Alter user"), std::string::npos);
    EXPECT_NE(text.find("owner => 'SALES'"), std::string::npos);
    EXPECT_NE(text.find("schemaurl => 'http://www.example.com/schemas/it''s.xsd'"), std::string::npos);
    EXPECT_EQ(sink.statements[0].kind, StatementKind::kPlsqlUnit);
    EXPECT_EQ(sink.statements[0].query_file, "QueryofXMLSchema.txt");
    EXPECT_EQ(text.substr(0, 8), "DECLARE\n");
    EXPECT_EQ(test::OracleGrammar::Check(text), "");
  }
}

TEST(XmlSchemaDdl, LongDocumentsGoIntoTheClobInPieces) {
  SqlBuilder sql;
  const std::string line(9000, 'x');
  AppendClobAssignment(sql, "doc", "<a>\n" + line + "\n</a>\n");
  const std::string text = sql.Build({}).text;
  EXPECT_EQ(text.substr(0, 25), "  doc := '<a>' || CHR(10)");
  // No literal longer than 4,000 bytes.
  std::size_t longest = 0;
  for (std::size_t at = text.find('\''); at != std::string::npos;) {
    const std::size_t end = text.find('\'', at + 1);
    longest = std::max(longest, end - at - 1);
    at = text.find('\'', end + 1);
  }
  EXPECT_LE(longest, 4000u);
  EXPECT_EQ(std::count(text.begin(), text.end(), 'x'), 9000);
}

TEST(XmlText, Escapes) {
  EXPECT_EQ(EscapeXmlText("a&b<c>d'e\"f"), "a&amp;b&lt;c&gt;d'e\"f");
  EXPECT_EQ(EscapeXmlAttribute("a&b<c>d'e\"f\n"), "a&amp;b&lt;c&gt;d&apos;e&quot;f&#10;");
  EXPECT_EQ(EscapeXmlText(std::string("a\x01" "b", 3)), "ab");
}

}  // namespace
}  // namespace quillon::repair
