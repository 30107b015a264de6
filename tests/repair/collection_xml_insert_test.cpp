// Row inserts of XMLType values and collections: the VARRAY image read
// element by element (damage never gives a shorter collection), the
// object-relational XML item from a row's leaf columns, and the sample
// database's XMLType column, XMLType table, VARRAY and nested table as the
// row inserts write them (documents checked with libxml2).
#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <sqlite3.h>

#include <algorithm>
#include <functional>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "reader/charset.h"
#include "reader/dictionary_rebuild.h"
#include "reader/identify.h"
#include "reader/packed_codes.h"
#include "repair/code_catalogue.h"
#include "repair/insert_rows.h"
#include "repair/repair_process.h"
#include "repair/script_target.h"
#include "repair/spill_folder.h"
#include "repair/sqlite_target.h"
#include "repair/xml_value.h"
#include "support/generated_schema_db.h"
#include "support/oracle_grammar.h"
#include "testdb/schema_builders.h"
#include "support/script_literals.h"
#include "support/test_paths.h"

namespace quillon {
namespace {

namespace tc = type_code;
using repair::ValueItem;

bool IsWellFormedXml(const std::string& doc) {
  xmlDocPtr parsed = xmlReadMemory(doc.data(), static_cast<int>(doc.size()), "doc.xml", nullptr,
                                   XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
  const bool ok = parsed != nullptr;
  xmlFreeDoc(parsed);
  return ok;
}

std::vector<std::uint8_t> VarrayImage(std::initializer_list<int> list) {
  std::vector<std::uint8_t> out;
  for (const int b : list) out.push_back(static_cast<std::uint8_t>(b));
  return out;
}

// Oracle's image with these elements: a one-byte length (length_size 0),
// else 0xFE and a length of length_size bytes (4 or 2).
std::vector<std::uint8_t> OracleVarrayImage(std::size_t count, const std::vector<std::uint8_t>& elements,
                                            std::size_t length_size = 0) {
  std::vector<std::uint8_t> out = {0x88, 0x01};
  const std::size_t total = 7 + elements.size() + length_size;
  if (length_size == 0) {
    out.push_back(static_cast<std::uint8_t>(total));
  } else {
    out.push_back(0xFE);
    for (std::size_t i = length_size; i-- > 0;) out.push_back(static_cast<std::uint8_t>(total >> (8 * i)));
  }
  out.insert(out.end(), {0x01, 0x01, 0x00, static_cast<std::uint8_t>(count)});
  out.insert(out.end(), elements.begin(), elements.end());
  return out;
}

// The values read from an image as texts, "<NULL>" for NULL.
std::vector<std::string> ValueTexts(const std::vector<StoredValue>& values) {
  std::vector<std::string> texts;
  for (const StoredValue& v : values) {
    texts.push_back(v.is_null ? "<NULL>" : std::string(reinterpret_cast<const char*>(v.bytes.data()), v.bytes.size()));
  }
  return texts;
}

TEST(VarrayStorage, ElementsAreReadInStepAndDamageGivesNoCollection) {
  std::vector<std::uint8_t> long_element = VarrayImage({0x01, 0x02, 0xFE, 0x01, 0x2C});  // 300 bytes, then "z"
  long_element.insert(long_element.end(), 300, 'y');
  long_element.insert(long_element.end(), {0x01, 'z'});
  // As Oracle printed a VARRAY(5) OF VARCHAR2(30) of five 30-letter words
  // (162 bytes): 88 01 a2 01 01 00 05, then 1e and 30 x 'A', and so on.
  std::vector<std::uint8_t> printed_elements;
  std::vector<std::string> printed_words;
  for (const char letter : {'A', 'B', 'C', 'D', 'E'}) {
    printed_elements.push_back(0x1E);
    printed_elements.insert(printed_elements.end(), 30, static_cast<std::uint8_t>(letter));
    printed_words.emplace_back(30, letter);
  }
  const std::vector<std::uint8_t> printed = OracleVarrayImage(5, printed_elements);
  ASSERT_EQ(printed.size(), 162u);
  ASSERT_EQ(std::vector<std::uint8_t>(printed.begin(), printed.begin() + 8),
            (std::vector<std::uint8_t>{0x88, 0x01, 0xA2, 0x01, 0x01, 0x00, 0x05, 0x1E}));
  std::vector<std::uint8_t> long_oracle_elements = {0xFE, 0x01, 0x2C};
  long_oracle_elements.insert(long_oracle_elements.end(), 300, 'y');
  // The same element with its length in four bytes, and a short one after.
  std::vector<std::uint8_t> four_byte_elements = {0xFE, 0x00, 0x00, 0x01, 0x2C};
  four_byte_elements.insert(four_byte_elements.end(), 300, 'y');
  four_byte_elements.insert(four_byte_elements.end(), {0x01, 'z'});
  std::vector<std::uint8_t> length_off = printed;
  length_off[2] = 0xA1;
  // The prefix segment's bytes are not read; its length is.
  std::vector<std::uint8_t> other_prefix = printed;
  other_prefix[4] = 0x02;
  std::vector<std::uint8_t> prefix_off = printed;
  prefix_off[3] = 0xF0;
  // 300 one-letter elements: the count as 0xFE and four bytes.
  std::vector<std::uint8_t> many = {0x88, 0x01, 0xFE, 0, 0, 0, 0, 0x01, 0x01, 0x00, 0xFE, 0x00, 0x00, 0x01, 0x2C};
  for (int i = 0; i < 300; ++i) many.insert(many.end(), {0x01, static_cast<std::uint8_t>('a' + i % 26)});
  for (int i = 0; i < 4; ++i) many[3 + i] = static_cast<std::uint8_t>(many.size() >> (8 * (3 - i)));
  std::vector<std::string> many_words;
  for (int i = 0; i < 300; ++i) many_words.emplace_back(1, static_cast<char>('a' + i % 26));
  std::vector<std::uint8_t> count_off = printed;
  count_off[6] = 0x06;
  struct Case {
    const char* name;
    std::vector<std::uint8_t> image;
    std::optional<std::vector<std::string>> elements;  // "<NULL>" for a NULL element
  };
  const std::vector<Case> cases = {
      {"Oracle's image as printed", printed, printed_words},
      {"Oracle's image, empty", OracleVarrayImage(0, {}), std::vector<std::string>{}},
      {"Oracle's image, a NULL element", OracleVarrayImage(2, {0xFF, 0x01, 'x'}), std::vector<std::string>{"<NULL>", "x"}},
      {"Oracle's image, four-byte length", OracleVarrayImage(1, long_oracle_elements, 4),
       std::vector<std::string>{std::string(300, 'y')}},
      {"Oracle's image, two-byte length", OracleVarrayImage(1, long_oracle_elements, 2),
       std::vector<std::string>{std::string(300, 'y')}},
      {"Oracle's image, an element's four-byte length", OracleVarrayImage(2, four_byte_elements, 4),
       std::vector<std::string>{std::string(300, 'y'), "z"}},
      {"Oracle's image, both lengths in the other size", OracleVarrayImage(2, four_byte_elements, 2),
       std::vector<std::string>{std::string(300, 'y'), "z"}},
      {"Oracle's image, length not the image's", length_off, std::nullopt},
      {"Oracle's image, other prefix bytes", other_prefix, printed_words},
      {"Oracle's image, a prefix past its end", prefix_off, std::nullopt},
      {"Oracle's image, 300 elements", many, many_words},
      {"Oracle's image, an atomically NULL element", OracleVarrayImage(2, {0xFD, 0x01, 'x'}),
       std::vector<std::string>{"<NULL>", "x"}},
      {"Oracle's image, count beyond the elements", count_off, std::nullopt},
      {"Oracle's image, cut in its header", std::vector<std::uint8_t>(printed.begin(), printed.begin() + 5), std::nullopt},
      {"two elements", VarrayImage({0x01, 0x02, 0x02, 'a', 'b', 0x01, 'c'}), std::vector<std::string>{"ab", "c"}},
      {"empty", VarrayImage({0x01, 0x00}), std::vector<std::string>{}},
      {"a NULL element", VarrayImage({0x01, 0x02, 0xFF, 0x01, 'x'}), std::vector<std::string>{"<NULL>", "x"}},
      {"two-byte length", long_element, std::vector<std::string>{std::string(300, 'y'), "z"}},
      {"count beyond the bytes", VarrayImage({0x01, 0x03, 0x01, 'a', 0x01, 'b'}), std::nullopt},
      {"element beyond the bytes", VarrayImage({0x01, 0x01, 0x05, 'a'}), std::nullopt},
      {"bytes after the last element", VarrayImage({0x01, 0x01, 0x01, 'a', 0x01, 'b'}), std::nullopt},
      {"a length past the end", VarrayImage({0x01, 0x01, 0xFB, 'a'}), std::nullopt},
      {"cut inside a two-byte length", VarrayImage({0x01, 0x01, 0xFE, 0x01}), std::nullopt},
      {"no presence byte", VarrayImage({0x00, 0x00}), std::nullopt},
      {"nothing", VarrayImage({}), std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto read = repair::VarrayElements(ByteView(c.image.data(), c.image.size()));
    ASSERT_EQ(read.has_value(), c.elements.has_value());
    if (!read) continue;
    const std::vector<std::string> texts = ValueTexts(*read);
    EXPECT_EQ(texts, *c.elements);
  }
}

// An object inside a collection is an image of its own: flags 0x84 (no
// prefix segment), version, length, then its attributes in order.
TEST(VarrayStorage, ObjectElementsAreImagesOfTheirAttributes) {
  const std::vector<std::uint8_t> object = {0x84, 0x01, 0x0A, 0x02, 'a', 'b', 0xFF, 0x02, 0xC1, 0x02};
  std::vector<std::uint8_t> wide = {0x84, 0x01, 0xFE, 0x00, 0x00, 0x01, 0x3A, 0xFE, 0x00, 0x00, 0x01, 0x2C};  // 314 bytes
  wide.insert(wide.end(), 300, 'w');
  wide.insert(wide.end(), {0xFF, 0xFF});
  std::vector<std::uint8_t> with_prefix = {0x80, 0x01, 0x08, 0x01, 0x01, 0x01, 'a', 0xFF};
  std::vector<std::uint8_t> length_off = object;
  length_off[2] = 0x0B;
  std::vector<std::uint8_t> collection = object;
  collection[0] = 0x88;
  // An object attribute in line: "ab", then GEO(NULL, 1), then "x"; its
  // first byte 0xFF is its first attribute's NULL, not the object's.
  const std::vector<std::uint8_t> embedded = {0x84, 0x01, 0x0C, 0x02, 'a', 'b', 0xFF, 0x02, 0xC1, 0x02, 0x01, 'x'};
  // The same with the object NULL as a whole, and with that NULL last.
  const std::vector<std::uint8_t> atomic = {0x84, 0x01, 0x09, 0x02, 'a', 'b', 0xFD, 0x01, 'x'};
  const std::vector<std::uint8_t> atomic_last = {0x84, 0x01, 0x07, 0x02, 'a', 'b', 0xFD};
  using InLine = std::vector<std::size_t>;
  struct Case {
    const char* name;
    std::vector<std::uint8_t> image;
    InLine in_line;
    std::optional<std::vector<std::string>> values;
  };
  const std::vector<Case> cases = {
      {"three attributes, one NULL", object, InLine(3), std::vector<std::string>{"ab", "<NULL>", "\xC1\x02"}},
      {"a long attribute and four-byte lengths", wide, InLine(3),
       std::vector<std::string>{std::string(300, 'w'), "<NULL>", "<NULL>"}},
      {"a prefix segment", with_prefix, InLine(2), std::vector<std::string>{"a", "<NULL>"}},
      {"fewer attributes than the type's", object, InLine(2), std::nullopt},
      {"more attributes than the image's", object, InLine(4), std::nullopt},
      {"length not the image's", length_off, InLine(3), std::nullopt},
      {"a collection's image", collection, InLine(3), std::nullopt},
      {"cut", std::vector<std::uint8_t>(object.begin(), object.begin() + 6), InLine(3), std::nullopt},
      {"an object attribute in line", embedded, InLine{0, 2, 0, 0, 0},
       std::vector<std::string>{"ab", "", "<NULL>", "\xC1\x02", "x"}},
      {"an object attribute NULL as a whole", atomic, InLine{0, 2, 0, 0, 0},
       std::vector<std::string>{"ab", "<NULL>", "<NULL>", "<NULL>", "x"}},
      {"a NULL object attribute last", atomic_last, InLine{0, 2, 0, 0},
       std::vector<std::string>{"ab", "<NULL>", "<NULL>", "<NULL>"}},
      {"an object attribute read as a plain one", embedded, InLine(3), std::nullopt},
      {"an object attribute with an attribute too many", embedded, InLine{0, 3, 0, 0, 0, 0}, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto read = repair::ObjectImageAttributes(ByteView(c.image.data(), c.image.size()), c.in_line);
    ASSERT_EQ(read.has_value(), c.values.has_value());
    if (!read) continue;
    const std::vector<std::string> texts = ValueTexts(*read);
    EXPECT_EQ(texts, *c.values);
  }
}

repair::XmlValueSchema OrderSchema() {
  repair::XmlValueSchema s;
  s.url = "http://www.example.com/it's.xsd";
  repair::XmlValueElement root{"Order", tc::kObject, {}};
  root.children = {{"Reference", tc::kVarchar2, {}}, {"Amount", tc::kNumber, {}}};
  s.main_elements.push_back(root);
  return s;
}

std::string ReadLongText(const repair::LongValue& v) {
  std::string out(static_cast<std::size_t>(v.bytes->size()), '\0');
  v.bytes->Read(0, {reinterpret_cast<std::uint8_t*>(out.data()), out.size()});
  return out;
}

TEST(XmlValueItem, LeafColumnsMakeTheDocumentOrNothing) {
  const CharsetDecoder utf8(*FindCharset("AL32UTF8"));
  const std::vector<std::uint8_t> amount = {0xC1, 0x03};  // 2
  const std::string reference = "A&B";
  const std::string long_reference(5000, 'r');
  const auto text = [](const std::string& s) { return StoredValue{ByteView(reinterpret_cast<const std::uint8_t*>(s.data()), s.size()), false, false}; };
  const StoredValue number{ByteView(amount.data(), amount.size()), false, false};
  const StoredValue null{{}, true, false};
  struct Case {
    const char* name;
    std::vector<StoredValue> values;
    bool made;
    bool bound;  // the document bound as a CLOB
    std::string contains;
  };
  const std::vector<Case> cases = {
      {"two leaves", {text(reference), number}, true, false, "<Reference>A&amp;B</Reference>"},
      {"a NULL leaf", {null, number}, true, false, "<Reference></Reference>"},
      {"a long document", {text(long_reference), number}, true, true, "<Amount>2</Amount>"},
      {"a leaf missing", {text(reference)}, false, false, ""},
      {"a value too many", {text(reference), number, number}, false, false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::optional<ValueItem> item = repair::XmlValueItem(OrderSchema(), c.values, utf8);
    ASSERT_EQ(item.has_value(), c.made);
    if (!item) continue;
    EXPECT_TRUE(item->sql.ends_with(".createschemabasedxml('http://www.example.com/it''s.xsd'))")) << item->sql;
    if (c.bound) {
      ASSERT_EQ(item->values.size(), 1u);
      EXPECT_EQ(item->sql, "(xmltype(?).createschemabasedxml('http://www.example.com/it''s.xsd'))");
      const auto* document = std::get_if<repair::LongValue>(&item->values[0]);
      ASSERT_NE(document, nullptr);
      EXPECT_EQ(document->form, repair::LongValue::Form::kText);
      const std::string doc = ReadLongText(*document);
      EXPECT_TRUE(IsWellFormedXml(doc));
      EXPECT_NE(doc.find(c.contains), std::string::npos);
    } else {
      EXPECT_TRUE(item->values.empty());
      EXPECT_NE(item->sql.find(c.contains), std::string::npos) << item->sql;
    }
  }
}

TEST(XmlValueItem, LeafColumnsOfAnObjectRelationalColumn) {
  test::CodeCatalogue db;
  const std::uint32_t table = db.Object(ObjectKind::kTable, "SALES", "ORDERS");
  struct Col {
    std::uint32_t internal, segment, type;
    const char* attribute;  // ATTRCOL$ name; null: none
  };
  // Stored order differs from INTCOL# order; the positional descriptor and
  // the object images are not leaves; another column's attributes are not
  // this one's.
  const Col cols[] = {{1, 1, tc::kNumber, nullptr},
                      {2, 2, tc::kXmlType, nullptr},
                      {3, 3, tc::kObject, "\"DOC\".\"XMLDATA\""},
                      {4, 4, tc::kRaw, "\"DOC\".\"XMLDATA\".\"SYS_XDBPD$\""},
                      {5, 6, tc::kVarchar2, "\"DOC\".\"XMLDATA\".\"Reference\""},
                      {6, 5, tc::kNumber, "\"DOC\".\"XMLDATA\".\"Amount\""},
                      {7, 7, tc::kVarchar2, "\"DOCUMENTS\".\"XMLDATA\".\"Reference\""},
                      {8, 0, tc::kVarchar2, "\"DOC\".\"XMLDATA\".\"Virtual\""}};
  for (const Col& c : cols) {
    ColumnInfo info;
    info.object_number = table;
    info.internal_column = c.internal;
    info.segment_column = c.segment;
    info.type_code = c.type;
    info.name = "C" + std::to_string(c.internal);
    db.cat.columns.Append(info);
    if (c.attribute) db.cat.attribute_columns.Append(AttributeColumnRecord{table, c.internal, c.attribute});
  }
  EXPECT_EQ(repair::XmlLeafColumns(db.cat, table, "DOC"), (std::vector<std::uint32_t>{6, 5}));
  EXPECT_EQ(repair::XmlLeafColumns(db.cat, table, "DOCUMENTS"), (std::vector<std::uint32_t>{7}));
  EXPECT_TRUE(repair::XmlLeafColumns(db.cat, table, "OTHER").empty());
}

// Takes the rows as a target would, reading each long value at once (its
// spill bytes are the row's only).
class RowRecordingTarget final : public repair::Target {
 public:
  struct Row {
    std::string sql;
    std::vector<std::string> values;  // texts; long values read whole
  };
  bool Connect() override { return true; }
  bool Execute(const repair::Statement&) override { return true; }
  bool BeginRows() override { return true; }
  void InsertRow(std::string_view sql, std::span<const repair::Value> values) override {
    Row row{std::string(sql), {}};
    for (const repair::Value& v : values) {
      if (const auto* t = std::get_if<repair::TextValue>(&v)) row.values.push_back(t->text);
      else if (const auto* l = std::get_if<repair::LongValue>(&v)) row.values.push_back(ReadLongText(*l));
      else row.values.push_back("<other>");
    }
    rows.push_back(std::move(row));
  }
  repair::RowOutcome EndRows() override {
    repair::RowOutcome out;
    out.inserted = rows.size();
    return out;
  }
  std::uint64_t RowsInserted() const override { return rows.size(); }
  std::string DescribeError() const override { return {}; }
  void Disconnect() override {}
  std::vector<Row> rows;
};

struct SampleInsert {
  repair::InsertResult result;
  std::vector<RowRecordingTarget::Row> rows;
};

// A generated database opened as the repair opens it: release, then
// dictionary.
using test::OpenedDb;

// The rows of a generated table inserted into a target (recorded when
// none), its definition first changed by damage when given.
SampleInsert InsertGeneratedTable(const test::GeneratedSchemaDb& db, const std::string& owner, const std::string& name,
                                  repair::Target* into = nullptr,
                                  const std::function<void(TableDefinition&)>& damage = {}) {
  OpenedDb opened(db);
  COracleRecoveryTools& engine = opened.engine;
  const CatalogueViews views(engine.catalogue);
  SampleInsert out;
  const ObjectRecord* object = nullptr;
  for (const ObjectRecord& o : engine.catalogue.ObjectsOfKind(ObjectKind::kTable)) {
    if (o.owner == owner && o.name == name) object = &o;
  }
  if (!object) return out;
  TableDefinition table = views.Table(*object);
  if (damage) damage(table);
  test::TempDir spill_root;
  std::string error;
  auto spill = repair::SpillFolder::Create(&error, spill_root.path().string());
  if (!spill) return out;
  BlockSource source(engine.datafiles);
  RowRecordingTarget target;
  out.result = repair::InsertTableRows(engine, source, table, into ? *into : target, *spill);
  out.rows = std::move(target.rows);
  return out;
}

SampleInsert InsertSampleTable(const char* release, const std::string& owner, const std::string& name,
                               repair::Target* into = nullptr) {
  return InsertGeneratedTable(test::SampleDb(release, 8192), owner, name, into);
}

TEST(SampleCollectionsAndXml, ColumnsGoInThroughTheirConstructorsAndXmltype) {
  const SampleInsert s = InsertSampleTable("11.2", "HR", "EMP_DETAILS");
  ASSERT_EQ(s.rows.size(), 3u);
  EXPECT_EQ(s.result.failed_rows, 0u);
  for (const std::string& e : s.result.errors) {
    EXPECT_EQ(e.find("VARRAY"), std::string::npos) << e;
    EXPECT_EQ(e.find("nested table"), std::string::npos) << e;
    EXPECT_EQ(e.find("XMLType"), std::string::npos) << e;
  }
  // Rows 1 and 3 are full; row 2 has a NULL VARRAY, an empty nested table
  // and a NULL XMLType value.
  const std::vector<std::string> elements = {"+41 44 123 45 67", "+1 650 555 0100", "SQL", "PL/SQL", "C++"};
  std::size_t sparse = 0;
  for (const RowRecordingTarget::Row& row : s.rows) {
    SCOPED_TRACE(row.sql);
    if (row.sql.find("\"HR\".\"SKILL_TAB_T\"()") != std::string::npos) {
      ++sparse;
      EXPECT_EQ(row.sql.find("PHONE_LIST_T"), std::string::npos);  // the NULL VARRAY
      EXPECT_EQ(row.sql.find("XMLTYPE("), std::string::npos);      // the NULL XMLType
      continue;
    }
    EXPECT_NE(row.sql.find("\"HR\".\"PHONE_LIST_T\"(?, ?)"), std::string::npos);
    EXPECT_NE(row.sql.find("\"HR\".\"SKILL_TAB_T\"(?, ?, ?)"), std::string::npos);
    // The collections' elements are bound in order, between the other values.
    EXPECT_NE(std::search(row.values.begin(), row.values.end(), elements.begin(), elements.end()), row.values.end());
    ASSERT_NE(row.sql.find("XMLTYPE(?)"), std::string::npos);
    const auto doc = std::find(row.values.begin(), row.values.end(), "<profile><level>senior</level></profile>");
    ASSERT_NE(doc, row.values.end());
    EXPECT_TRUE(IsWellFormedXml(*doc));
  }
  EXPECT_EQ(sparse, 1u);
}

TEST(SampleCollectionsAndXml, XmltypeTableRowsCarryTheirDocuments) {
  const SampleInsert s = InsertSampleTable("11.2", "HR", "EMP_RESUMES_XML");
  EXPECT_EQ(s.result.failed_rows, 0u) << (s.result.errors.empty() ? "" : s.result.errors.front());
  EXPECT_EQ(s.result.fields, 1u);
  ASSERT_EQ(s.rows.size(), 2u);
  std::vector<std::string> documents;
  for (const RowRecordingTarget::Row& row : s.rows) {
    EXPECT_EQ(row.sql, "insert into \"HR\".\"EMP_RESUMES_XML\" values (XMLTYPE(?))");
    ASSERT_EQ(row.values.size(), 1u);
    EXPECT_TRUE(IsWellFormedXml(row.values[0]));
    documents.push_back(row.values[0]);
  }
  std::sort(documents.begin(), documents.end());
  EXPECT_EQ(documents, (std::vector<std::string>{"<resume><name>Neena Kochhar</name></resume>",
                                                 "<resume><name>Steven King</name><years>22</years></resume>"}));
}

TEST(SampleCollectionsAndXml, TheScriptReadsBackTheDocumentsAndTheCollections) {
  std::ostringstream script;
  repair::ScriptTarget target(script, "test");
  for (const char* table : {"EMP_DETAILS", "EMP_RESUMES_XML"}) {
    const SampleInsert s = InsertSampleTable("11.2", "HR", table, &target);
    EXPECT_EQ(s.result.failed_rows, 0u) << table;
  }
  target.Disconnect();
  EXPECT_EQ(test::CheckScript(script.str()), std::vector<std::string>{});
  std::vector<std::string> documents;
  std::vector<std::string> collections;
  for (const std::string& unit : test::ScriptUnits(script.str())) {
    if (unit.find("insert into") == std::string::npos) continue;
    const auto row = test::ReadRowUnit(unit);
    ASSERT_TRUE(row) << unit.substr(0, 400);
    for (std::size_t k = 0; k < row->values.size(); ++k) {
      const test::ScriptValue& v = row->values[k];
      if (v.kind == test::ScriptValue::Kind::kXml) {
        EXPECT_TRUE(IsWellFormedXml(v.text)) << v.text;
        documents.push_back(v.text);
      }
      if (v.kind == test::ScriptValue::Kind::kObject && !v.text.starts_with("HR.ADDRESS_T")) {
        collections.push_back(row->columns[k] + "=" + v.text);
      }
    }
  }
  std::sort(documents.begin(), documents.end());
  EXPECT_EQ(documents, (std::vector<std::string>{"<profile><level>senior</level></profile>",
                                                 "<profile><level>senior</level></profile>",
                                                 "<resume><name>Neena Kochhar</name></resume>",
                                                 "<resume><name>Steven King</name><years>22</years></resume>"}));
  std::sort(collections.begin(), collections.end());
  EXPECT_EQ(collections, (std::vector<std::string>{"PHONES=HR.PHONE_LIST_T(+41 44 123 45 67,+1 650 555 0100)",
                                                   "PHONES=HR.PHONE_LIST_T(+41 44 123 45 67,+1 650 555 0100)",
                                                   "SKILLS=HR.SKILL_TAB_T()",
                                                   "SKILLS=HR.SKILL_TAB_T(SQL,PL/SQL,C++)",
                                                   "SKILLS=HR.SKILL_TAB_T(SQL,PL/SQL,C++)"}));
}

// The sample database with nested tables of object types: order lines
// whose element type has three scalar attributes, and notes whose element
// type has a CLOB attribute, which an element constructor does not take;
// collections of collections, VARRAYs of objects, and objects within
// objects, in an object column and in a nested table's elements.
const test::GeneratedSchemaDb& NestedObjectsDb() {
  static std::unique_ptr<test::GeneratedSchemaDb> db;
  if (db) return *db;
  using testdb::TypeDescription;
  using testdb::TypeKind;
  namespace val = testdb::val;
  testdb::Schema s = testdb::SampleSchema(testdb::FindGeneratorRelease("11.2")->model_release);
  const auto type = [](std::string name, TypeKind kind, std::vector<testdb::AttributeDescription> attributes,
                       testdb::ColumnType element, const char* source) {
    TypeDescription t;
    t.owner = "HR";
    t.name = std::move(name);
    t.kind = kind;
    t.attributes = std::move(attributes);
    t.element = std::move(element);
    t.lines = testdb::Lines(source);
    return t;
  };
  s.types.push_back(type("LINE_T", TypeKind::kObject,
                         {{"ITEM", testdb::Varchar2(30)}, {"QTY", testdb::Number(6)}, {"SHIPPED", testdb::Date()}}, {},
                         "TYPE line_t AS OBJECT (item VARCHAR2(30), qty NUMBER(6), shipped DATE);"));
  s.types.push_back(type("LINES_T", TypeKind::kNestedTable, {}, testdb::ObjectOf("HR", "LINE_T"),
                         "TYPE lines_t AS TABLE OF line_t;"));
  s.types.push_back(type("NOTE_T", TypeKind::kObject, {{"TITLE", testdb::Varchar2(20)}, {"BODY", testdb::Clob()}}, {},
                         "TYPE note_t AS OBJECT (title VARCHAR2(20), body CLOB);"));
  s.types.push_back(type("NOTES_T", TypeKind::kNestedTable, {}, testdb::ObjectOf("HR", "NOTE_T"),
                         "TYPE notes_t AS TABLE OF note_t;"));
  testdb::TableDescription lines = testdb::Table(
      "HR", "ORDER_LINES", "HR_DATA", {{"ID", testdb::Number(6)}, {"LINES", testdb::NestedTableOf("HR", "LINES_T")}});
  lines.nested_tables = {{"LINES", "ORDER_LINES_NT"}};
  lines.rows = {
      {val::Num(1), val::Collection({val::Object({val::Text("bolt"), val::Num(12), val::Date(2009, 3, 5, 14, 7, 9)}),
                                     val::Object({val::Text("O'Brien nut"), val::Null(), val::Null()})})},
      {val::Num(2), val::Collection({})},
      {val::Num(3), val::Null()},
      {val::Num(4), val::Collection({val::Object({val::Null(), val::Num(-3), val::Date(1999, 12, 31)}), val::Null(),
                                     val::Object({val::Null(), val::Null(), val::Null()})})},
  };
  s.tables.push_back(std::move(lines));
  // A range-partitioned parent: its nested table's storage table is one
  // table for all partitions (the default before 12c), and each row goes in
  // through its own partition.
  testdb::TableDescription parted = testdb::Table(
      "HR", "PARTED_ORDERS", "HR_DATA", {{"ID", testdb::Number(6)}, {"LINES", testdb::NestedTableOf("HR", "LINES_T")}});
  parted.nested_tables = {{"LINES", "PARTED_LINES_NT"}};
  parted.partitioning.kind = testdb::PartitionKind::kRange;
  parted.partitioning.columns = {"ID"};
  testdb::PartitionDescription low;
  low.name = "PARTED_LOW";
  low.high_value = "10";
  low.rows = {{val::Num(1), val::Collection({val::Object({val::Text("washer"), val::Num(100), val::Null()})})},
              {val::Num(2), val::Collection({})}};
  testdb::PartitionDescription high;
  high.name = "PARTED_HIGH";
  high.high_value = "MAXVALUE";
  high.rows = {{val::Num(10), val::Collection({val::Object({val::Text("gear"), val::Num(2), val::Date(2010, 1, 2)}),
                                                val::Object({val::Text("axle"), val::Num(1), val::Null()})})},
               {val::Num(11), val::Null()}};
  parted.partitioning.partitions = {low, high};
  s.tables.push_back(std::move(parted));
  testdb::TableDescription notes = testdb::Table(
      "HR", "ORDER_NOTES", "HR_DATA", {{"ID", testdb::Number(6)}, {"NOTES", testdb::NestedTableOf("HR", "NOTES_T")}});
  notes.nested_tables = {{"NOTES", "ORDER_NOTES_NT"}};
  notes.rows = {{val::Num(1), val::Collection({val::Object({val::Text("first"), val::Text("a body")})})}};
  s.tables.push_back(std::move(notes));
  // Collections of collections: a nested table of nested tables (its
  // elements in a storage table of the storage table) and a nested table
  // of VARRAYs; and a VARRAY stored as a LOB.
  s.types.push_back(type("WORDS_T", TypeKind::kNestedTable, {}, testdb::Varchar2(20), "TYPE words_t AS TABLE OF VARCHAR2(20);"));
  s.types.push_back(type("PARAGRAPHS_T", TypeKind::kNestedTable, {}, testdb::NestedTableOf("HR", "WORDS_T"),
                         "TYPE paragraphs_t AS TABLE OF words_t;"));
  TypeDescription codes = type("CODES_T", TypeKind::kVarray, {}, testdb::Varchar2(10), "TYPE codes_t AS VARRAY(3) OF VARCHAR2(10);");
  codes.upper_bound = 3;
  s.types.push_back(codes);
  s.types.push_back(type("CODE_SETS_T", TypeKind::kNestedTable, {}, testdb::VarrayOf("HR", "CODES_T"),
                         "TYPE code_sets_t AS TABLE OF codes_t;"));
  // A VARRAY stored as a LOB: the row holds a LOB locator.
  testdb::ColumnType tags = testdb::VarrayOf("HR", "CODES_T");
  tags.store_as_lob = true;
  testdb::TableDescription documents =
      testdb::Table("HR", "DOCUMENTS", "HR_DATA",
                    {{"ID", testdb::Number(6)},
                     {"PARAS", testdb::NestedTableOf("HR", "PARAGRAPHS_T")},
                     {"CODES", testdb::NestedTableOf("HR", "CODE_SETS_T")},
                     {"TAGS", tags}});
  documents.nested_tables = {{"PARAS", "DOC_PARAS_NT", "DOC_WORDS_NT"}, {"CODES", "DOC_CODES_NT"}};
  documents.rows = {
      {val::Num(1),
       val::Collection({val::Collection({val::Text("a"), val::Text("b")}), val::Collection({}), val::Null()}),
       val::Collection({val::Collection({val::Text("x")}), val::Collection({val::Text("y"), val::Text("z")})}),
       val::Collection({val::Text("p"), val::Text("q")})},
      {val::Num(2), val::Collection({}), val::Null(), val::Null()},
      {val::Num(3), val::Collection({val::Collection({val::Text("it's")})}), val::Collection({val::Collection({})}),
       val::Collection({})},
  };
  s.tables.push_back(std::move(documents));
  // A VARRAY of objects: each element an image of its own in the VARRAY's
  // image. 300 stops take the long form of the count and of the lengths.
  s.types.push_back(type("STOP_T", TypeKind::kObject,
                         {{"PLACE", testdb::Varchar2(40)}, {"SEQ", testdb::Number(4)}, {"AT", testdb::Date()}}, {},
                         "TYPE stop_t AS OBJECT (place VARCHAR2(40), seq NUMBER(4), at DATE);"));
  TypeDescription stops = type("STOPS_T", TypeKind::kVarray, {}, testdb::ObjectOf("HR", "STOP_T"),
                               "TYPE stops_t AS VARRAY(500) OF stop_t;");
  stops.upper_bound = 500;
  s.types.push_back(stops);
  std::vector<testdb::Value> many;
  for (int i = 1; i <= 300; ++i) many.push_back(val::Object({val::Text("stop " + std::to_string(i)), val::Num(i), val::Null()}));
  testdb::TableDescription routes =
      testdb::Table("HR", "ROUTES", "HR_DATA", {{"ID", testdb::Number(6)}, {"STOPS", testdb::VarrayOf("HR", "STOPS_T")}});
  routes.rows = {
      {val::Num(1), val::Collection({val::Object({val::Text("Quay 'A'"), val::Num(1), val::Date(2009, 3, 5, 14, 7, 9)}),
                                     val::Null(), val::Object({val::Null(), val::Null(), val::Null()})})},
      {val::Num(2), val::Collection({})},
      {val::Num(3), val::Null()},
      {val::Num(4), val::Collection(many)},
  };
  s.tables.push_back(std::move(routes));
  // Objects within objects, two levels deep: each embedded object is a
  // hidden column of its own (its null image) followed by its attributes.
  s.types.push_back(type("GEO_T", TypeKind::kObject, {{"LAT", testdb::Number(9, 6)}, {"LON", testdb::Number(9, 6)}}, {},
                         "TYPE geo_t AS OBJECT (lat NUMBER(9,6), lon NUMBER(9,6));"));
  s.types.push_back(type("PLACE_T", TypeKind::kObject,
                         {{"NAME", testdb::Varchar2(30)}, {"AT", testdb::ObjectOf("HR", "GEO_T")}, {"SINCE", testdb::Date()}},
                         {}, "TYPE place_t AS OBJECT (name VARCHAR2(30), at geo_t, since DATE);"));
  s.types.push_back(type("SITE_T", TypeKind::kObject,
                         {{"CODE", testdb::Varchar2(10)}, {"MAIN", testdb::ObjectOf("HR", "PLACE_T")}}, {},
                         "TYPE site_t AS OBJECT (code VARCHAR2(10), main place_t);"));
  testdb::TableDescription sites =
      testdb::Table("HR", "SITES", "HR_DATA", {{"ID", testdb::Number(6)}, {"SITE", testdb::ObjectOf("HR", "SITE_T")}});
  sites.rows = {
      {val::Num(1), val::Object({val::Text("S1"), val::Object({val::Text("Quay 'A'"),
                                                              val::Object({val::Num("47.376887"), val::Num("-8.541694")}),
                                                              val::Date(2009, 3, 5, 14, 7, 9)})})},
      {val::Num(2), val::Object({val::Text("S2"), val::Object({val::Text("nowhere"), val::Null(), val::Null()})})},
      {val::Num(3), val::Object({val::Text("S3"), val::Null()})},
      {val::Num(4), val::Null()},
      {val::Num(5), val::Object({val::Null(), val::Object({val::Null(), val::Object({val::Null(), val::Null()}), val::Null()})})},
  };
  s.tables.push_back(std::move(sites));
  // A column whose name is an attribute's path: the attribute keeps its
  // own column name in SQLite.
  testdb::TableDescription spots = testdb::Table(
      "HR", "SPOTS", "HR_DATA",
      {{"ID", testdb::Number(6)}, {"SPOT.NAME", testdb::Varchar2(10)}, {"SPOT", testdb::ObjectOf("HR", "PLACE_T")}});
  spots.rows = {{val::Num(1), val::Text("plain"),
                 val::Object({val::Text("attribute"), val::Object({val::Num(3), val::Num(4)}), val::Null()})}};
  s.tables.push_back(std::move(spots));
  // A nested table of objects with an object attribute: the storage
  // table's column AT is an object column with hidden attribute columns.
  s.types.push_back(type("PLACES_T", TypeKind::kNestedTable, {}, testdb::ObjectOf("HR", "PLACE_T"),
                         "TYPE places_t AS TABLE OF place_t;"));
  testdb::TableDescription trips = testdb::Table(
      "HR", "TRIPS", "HR_DATA", {{"ID", testdb::Number(6)}, {"PLACES", testdb::NestedTableOf("HR", "PLACES_T")}});
  trips.nested_tables = {{"PLACES", "TRIPS_NT"}};
  trips.rows = {
      {val::Num(1), val::Collection({val::Object({val::Text("a"), val::Object({val::Num("1.5"), val::Num("-2.25")}),
                                                  val::Date(2009, 3, 5, 14, 7, 9)}),
                                     val::Object({val::Text("b"), val::Null(), val::Null()}), val::Null(),
                                     val::Object({val::Null(), val::Object({val::Null(), val::Null()}), val::Null()})})},
      {val::Num(2), val::Collection({})},
      {val::Num(3), val::Null()},
  };
  s.tables.push_back(std::move(trips));
  // A VARRAY of objects with an object attribute: in each element's image
  // the attribute's own attributes follow in line.
  TypeDescription place_list = type("PLACE_LIST_T", TypeKind::kVarray, {}, testdb::ObjectOf("HR", "PLACE_T"),
                                    "TYPE place_list_t AS VARRAY(10) OF place_t;");
  place_list.upper_bound = 10;
  s.types.push_back(place_list);
  testdb::TableDescription tours = testdb::Table(
      "HR", "TOURS", "HR_DATA", {{"ID", testdb::Number(6)}, {"PLACES", testdb::VarrayOf("HR", "PLACE_LIST_T")}});
  tours.rows = {
      {val::Num(1), val::Collection({val::Object({val::Text("a"), val::Object({val::Num("1.5"), val::Num("-2.25")}),
                                                  val::Date(2009, 3, 5, 14, 7, 9)}),
                                     val::Object({val::Text("b"), val::Null(), val::Null()}), val::Null(),
                                     val::Object({val::Null(), val::Object({val::Null(), val::Null()}), val::Null()}),
                                     val::Object({val::Text("c"), val::Object({val::Null(), val::Num(7)}), val::Null()})})},
      {val::Num(2), val::Collection({})},
      {val::Num(3), val::Null()},
  };
  s.tables.push_back(std::move(tours));
  // An object column with a VARRAY attribute (a hidden column holding its
  // image) beside an object attribute.
  s.types.push_back(type("CONTACT_T", TypeKind::kObject,
                         {{"NAME", testdb::Varchar2(20)},
                          {"CODES", testdb::VarrayOf("HR", "CODES_T")},
                          {"HOME", testdb::ObjectOf("HR", "PLACE_T")}},
                         {}, "TYPE contact_t AS OBJECT (name VARCHAR2(20), codes codes_t, home place_t);"));
  testdb::TableDescription contacts = testdb::Table(
      "HR", "CONTACTS", "HR_DATA", {{"ID", testdb::Number(6)}, {"CONTACT", testdb::ObjectOf("HR", "CONTACT_T")}});
  contacts.rows = {
      {val::Num(1), val::Object({val::Text("x"), val::Collection({val::Text("a"), val::Text("it's")}),
                                 val::Object({val::Text("p"), val::Object({val::Num(1), val::Num(2)}), val::Null()})})},
      {val::Num(2), val::Object({val::Text("y"), val::Null(), val::Null()})},
      {val::Num(3), val::Object({val::Null(), val::Collection({}), val::Object({val::Null(), val::Null(), val::Null()})})},
      {val::Num(4), val::Null()},
  };
  s.tables.push_back(std::move(contacts));
  // An object column with LOB and BFILE attributes: hidden columns holding
  // a LOB locator each (one CLOB of 6,000 characters) and a BFILE locator.
  s.types.push_back(type("MEMO_T", TypeKind::kObject,
                         {{"TITLE", testdb::Varchar2(20)},
                          {"BODY", testdb::Clob()},
                          {"SCAN", testdb::Blob()},
                          {"FILED", testdb::Bfile()}},
                         {}, "TYPE memo_t AS OBJECT (title VARCHAR2(20), body CLOB, scan BLOB, filed BFILE);"));
  testdb::TableDescription memos = testdb::Table(
      "HR", "MEMOS", "HR_DATA", {{"ID", testdb::Number(6)}, {"MEMO", testdb::ObjectOf("HR", "MEMO_T")}});
  memos.rows = {
      {val::Num(1), val::Object({val::Text("t"), val::Text("a body"), val::Hex("CAFE"), val::Bfile("DOC_DIR", "m1.txt")})},
      {val::Num(2), val::Object({val::Text("n"), val::Null(), val::Null(), val::Null()})},
      {val::Num(3), val::Null()},
      {val::Num(4), val::Object({val::Text("big"), val::Text(std::string(6000, 'z')), val::Null(), val::Null()})},
  };
  s.tables.push_back(std::move(memos));
  // An object column with nested-table attributes: hidden columns holding
  // each nested table's identifier, the elements in storage tables named by
  // the attribute's path (NESTED TABLE "FOLDER"."WORDS" STORE AS ...).
  s.types.push_back(type("FOLDER_T", TypeKind::kObject,
                         {{"NAME", testdb::Varchar2(20)},
                          {"WORDS", testdb::NestedTableOf("HR", "WORDS_T")},
                          {"LINES", testdb::NestedTableOf("HR", "LINES_T")}},
                         {}, "TYPE folder_t AS OBJECT (name VARCHAR2(20), words words_t, lines lines_t);"));
  testdb::TableDescription folders = testdb::Table(
      "HR", "FOLDERS", "HR_DATA", {{"ID", testdb::Number(6)}, {"FOLDER", testdb::ObjectOf("HR", "FOLDER_T")}});
  folders.nested_tables = {{"FOLDER.WORDS", "FOLDER_WORDS_NT"}, {"FOLDER.LINES", "FOLDER_LINES_NT"}};
  folders.rows = {
      {val::Num(1), val::Object({val::Text("f"), val::Collection({val::Text("a"), val::Text("b")}),
                                 val::Collection({val::Object({val::Text("bolt"), val::Num(1), val::Null()})})})},
      {val::Num(2), val::Object({val::Text("g"), val::Collection({}), val::Null()})},
      {val::Num(3), val::Object({val::Null(), val::Null(), val::Collection({})})},
      {val::Num(4), val::Null()},
  };
  s.tables.push_back(std::move(folders));
  // VARRAYs whose elements are collections, and a VARRAY of objects with a
  // collection attribute: each such collection is an image of its own
  // inside the VARRAY's image.
  TypeDescription matrix = type("MATRIX_T", TypeKind::kVarray, {}, testdb::VarrayOf("HR", "CODES_T"),
                                "TYPE matrix_t AS VARRAY(5) OF codes_t;");
  matrix.upper_bound = 5;
  s.types.push_back(matrix);
  TypeDescription bags = type("BAGS_T", TypeKind::kVarray, {}, testdb::NestedTableOf("HR", "WORDS_T"),
                              "TYPE bags_t AS VARRAY(4) OF words_t;");
  bags.upper_bound = 4;
  s.types.push_back(bags);
  s.types.push_back(type("TAGGED_T", TypeKind::kObject,
                         {{"NAME", testdb::Varchar2(10)}, {"TAGS", testdb::VarrayOf("HR", "CODES_T")}}, {},
                         "TYPE tagged_t AS OBJECT (name VARCHAR2(10), tags codes_t);"));
  TypeDescription labels = type("TAGGED_LIST_T", TypeKind::kVarray, {}, testdb::ObjectOf("HR", "TAGGED_T"),
                                "TYPE tagged_list_t AS VARRAY(5) OF tagged_t;");
  labels.upper_bound = 5;
  s.types.push_back(labels);
  testdb::TableDescription grids = testdb::Table("HR", "GRIDS", "HR_DATA",
                                                 {{"ID", testdb::Number(6)},
                                                  {"CELLS", testdb::VarrayOf("HR", "MATRIX_T")},
                                                  {"BAGS", testdb::VarrayOf("HR", "BAGS_T")},
                                                  {"LABELS", testdb::VarrayOf("HR", "TAGGED_LIST_T")}});
  grids.rows = {
      {val::Num(1),
       val::Collection({val::Collection({val::Text("a"), val::Text("b")}), val::Collection({}), val::Null()}),
       val::Collection({val::Collection({val::Text("x"), val::Text("it's")}), val::Null()}),
       val::Collection({val::Object({val::Text("n"), val::Collection({val::Text("p"), val::Text("q")})}),
                        val::Object({val::Text("m"), val::Null()}), val::Null(),
                        val::Object({val::Null(), val::Collection({})})})},
      {val::Num(2), val::Collection({}), val::Collection({}), val::Collection({})},
      {val::Num(3), val::Null(), val::Null(), val::Null()},
  };
  s.tables.push_back(std::move(grids));
  db = test::GenerateSchemaDb(std::move(s), "11.2", 8192, "nested-collections");
  return *db;
}

// Each collection value of a table as the script writes it, by
// "ID/COLUMN"; "<NULL>" for NULL.
std::map<std::string, std::string> ScriptCollections(const std::string& table, repair::InsertResult& result) {
  std::ostringstream script;
  repair::ScriptTarget target(script, "test");
  result = InsertGeneratedTable(NestedObjectsDb(), "HR", table, &target).result;
  target.Disconnect();
  EXPECT_EQ(test::CheckScript(script.str()), std::vector<std::string>{});
  std::map<std::string, std::string> found;
  for (const std::string& unit : test::ScriptUnits(script.str())) {
    if (unit.find("insert into") == std::string::npos) continue;
    const auto row = test::ReadRowUnit(unit);
    if (!row || row->values.size() != row->columns.size() || row->columns.empty()) {
      ADD_FAILURE() << unit.substr(0, 400);
      continue;
    }
    for (std::size_t k = 1; k < row->values.size(); ++k) {
      const test::ScriptValue& v = row->values[k];
      found[row->values[0].text + "/" + row->columns[k]] = v.kind == test::ScriptValue::Kind::kNull ? "<NULL>" : v.text;
    }
  }
  return found;
}

// Elements of an object type with their attributes in attribute order,
// NULL attributes kept in place, an atomically NULL element NULL (not an
// object of NULL attributes); elements that are collections level by
// level; an empty collection stays empty, a NULL one NULL.
TEST(NestedObjectTables, ElementsGoInThroughTheirOwnTypesConstructor) {
  std::string many_stops = "HR.STOPS_T(";
  for (int i = 1; i <= 300; ++i) {
    many_stops += (i > 1 ? "," : "") + std::string("HR.STOP_T(stop ") + std::to_string(i) + "," + std::to_string(i) + ",NULL)";
  }
  many_stops += ")";
  struct Case {
    const char* table;
    std::map<std::string, std::string> values;
  };
  const std::vector<Case> cases = {
      {"ORDER_LINES",
       {{"1/LINES", "HR.LINES_T(HR.LINE_T(bolt,12,05-MAR-2009 02:07:09 PM),HR.LINE_T(O'Brien nut,NULL,NULL))"},
        {"2/LINES", "HR.LINES_T()"},
        {"3/LINES", "<NULL>"},
        {"4/LINES", "HR.LINES_T(HR.LINE_T(NULL,-3,31-DEC-1999 12:00:00 AM),NULL,HR.LINE_T(NULL,NULL,NULL))"}}},
      {"PARTED_ORDERS",
       {{"1/LINES", "HR.LINES_T(HR.LINE_T(washer,100,NULL))"},
        {"2/LINES", "HR.LINES_T()"},
        {"10/LINES", "HR.LINES_T(HR.LINE_T(gear,2,02-JAN-2010 12:00:00 AM),HR.LINE_T(axle,1,NULL))"},
        {"11/LINES", "<NULL>"}}},
      {"DOCUMENTS",
       {{"1/PARAS", "HR.PARAGRAPHS_T(HR.WORDS_T(a,b),HR.WORDS_T(),NULL)"},
        {"1/CODES", "HR.CODE_SETS_T(HR.CODES_T(x),HR.CODES_T(y,z))"},
        {"2/PARAS", "HR.PARAGRAPHS_T()"},
        {"2/CODES", "<NULL>"},
        {"3/PARAS", "HR.PARAGRAPHS_T(HR.WORDS_T(it's))"},
        {"3/CODES", "HR.CODE_SETS_T(HR.CODES_T())"},
        {"1/TAGS", "HR.CODES_T(p,q)"},
        {"2/TAGS", "<NULL>"},
        {"3/TAGS", "HR.CODES_T()"}}},
      {"ROUTES",
       {{"1/STOPS", "HR.STOPS_T(HR.STOP_T(Quay 'A',1,05-MAR-2009 02:07:09 PM),NULL,HR.STOP_T(NULL,NULL,NULL))"},
        {"2/STOPS", "HR.STOPS_T()"},
        {"3/STOPS", "<NULL>"},
        {"4/STOPS", many_stops}}},
      {"SITES",
       {{"1/SITE", "HR.SITE_T(S1,HR.PLACE_T(Quay 'A',HR.GEO_T(47.376887,-8.541694),05-MAR-2009 02:07:09 PM))"},
        {"2/SITE", "HR.SITE_T(S2,HR.PLACE_T(nowhere,NULL,NULL))"},
        {"3/SITE", "HR.SITE_T(S3,NULL)"},
        {"4/SITE", "<NULL>"},
        {"5/SITE", "HR.SITE_T(NULL,HR.PLACE_T(NULL,HR.GEO_T(NULL,NULL),NULL))"}}},
      {"TRIPS",
       {{"1/PLACES", "HR.PLACES_T(HR.PLACE_T(a,HR.GEO_T(1.5,-2.25),05-MAR-2009 02:07:09 PM),HR.PLACE_T(b,NULL,NULL),"
                     "NULL,HR.PLACE_T(NULL,HR.GEO_T(NULL,NULL),NULL))"},
        {"2/PLACES", "HR.PLACES_T()"},
        {"3/PLACES", "<NULL>"}}},
      {"CONTACTS",
       {{"1/CONTACT", "HR.CONTACT_T(x,HR.CODES_T(a,it's),HR.PLACE_T(p,HR.GEO_T(1,2),NULL))"},
        {"2/CONTACT", "HR.CONTACT_T(y,NULL,NULL)"},
        {"3/CONTACT", "HR.CONTACT_T(NULL,HR.CODES_T(),HR.PLACE_T(NULL,NULL,NULL))"},
        {"4/CONTACT", "<NULL>"}}},
      {"ORDER_NOTES", {{"1/NOTES", "HR.NOTES_T(HR.NOTE_T(first,a body))"}}},
      {"FOLDERS",
       {{"1/FOLDER", "HR.FOLDER_T(f,HR.WORDS_T(a,b),HR.LINES_T(HR.LINE_T(bolt,1,NULL)))"},
        {"2/FOLDER", "HR.FOLDER_T(g,HR.WORDS_T(),NULL)"},
        {"3/FOLDER", "HR.FOLDER_T(NULL,NULL,HR.LINES_T())"},
        {"4/FOLDER", "<NULL>"}}},
      {"MEMOS",
       {{"1/MEMO", "HR.MEMO_T(t,a body,CAFE,DOC_DIR','m1.txt)"},
        {"2/MEMO", "HR.MEMO_T(n,NULL,NULL,NULL)"},
        {"3/MEMO", "<NULL>"},
        {"4/MEMO", "HR.MEMO_T(big," + std::string(6000, 'z') + ",NULL,NULL)"}}},
      {"GRIDS",
       {{"1/CELLS", "HR.MATRIX_T(HR.CODES_T(a,b),HR.CODES_T(),NULL)"},
        {"1/BAGS", "HR.BAGS_T(HR.WORDS_T(x,it's),NULL)"},
        {"1/LABELS", "HR.TAGGED_LIST_T(HR.TAGGED_T(n,HR.CODES_T(p,q)),HR.TAGGED_T(m,NULL),NULL,"
                     "HR.TAGGED_T(NULL,HR.CODES_T()))"},
        {"2/CELLS", "HR.MATRIX_T()"},
        {"2/BAGS", "HR.BAGS_T()"},
        {"2/LABELS", "HR.TAGGED_LIST_T()"},
        {"3/CELLS", "<NULL>"},
        {"3/BAGS", "<NULL>"},
        {"3/LABELS", "<NULL>"}}},
      {"TOURS",
       {{"1/PLACES", "HR.PLACE_LIST_T(HR.PLACE_T(a,HR.GEO_T(1.5,-2.25),05-MAR-2009 02:07:09 PM),HR.PLACE_T(b,NULL,NULL),"
                     "NULL,HR.PLACE_T(NULL,HR.GEO_T(NULL,NULL),NULL),HR.PLACE_T(c,HR.GEO_T(NULL,7),NULL))"},
        {"2/PLACES", "HR.PLACE_LIST_T()"},
        {"3/PLACES", "<NULL>"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.table);
    repair::InsertResult result;
    EXPECT_EQ(ScriptCollections(c.table, result), c.values);
    EXPECT_EQ(result.failed_rows, 0u);
    EXPECT_EQ(result.lost_values, 0u);
    for (const std::string& e : result.errors) ADD_FAILURE() << e;
  }
}

// The whole repair of a partitioned parent with its storage table checked
// too: one CREATE TABLE, whose storage clause comes before the partitioning
// (Oracle refuses it after), and each row into its own partition with its
// collection.
TEST(NestedObjectTables, APartitionedParentIsCreatedOnceAndItsRowsGoIntoTheirPartitions) {
  OpenedDb opened(NestedObjectsDb());
  COracleRecoveryTools& engine = opened.engine;
  const ObjectRecord* parent = engine.catalogue.FindObject(ObjectKind::kTable, "HR", "PARTED_ORDERS");
  const ObjectRecord* storage = engine.catalogue.FindObject(ObjectKind::kTable, "HR", "PARTED_LINES_NT");
  ASSERT_TRUE(parent && storage);
  test::TempDir spill_root;
  std::ostringstream script;
  repair::ScriptTarget target(script, "test");
  repair::OracleRepairOptions options;
  options.spill_root = spill_root.path().string();
  const repair::RepairResult result = repair::RunRepair(engine, target, repair::TargetDialect::kOracle,
                                                        {parent->object_number, storage->object_number}, options);
  target.Disconnect();
  EXPECT_EQ(result.rows, 4u);
  EXPECT_EQ(result.failed_rows + result.lost_values + result.failed_statements + result.tables_not_created, 0u);
  std::vector<std::string> statements;
  std::map<std::string, std::string> lines_by_partition;
  for (const std::string& unit : test::ScriptUnits(script.str())) {
    if (!unit.starts_with("insert into")) {
      if (unit.find("PARTED_") != std::string::npos) statements.push_back(unit);  // the only statement naming them
      continue;
    }
    const auto row = test::ReadRowUnit(unit);
    ASSERT_TRUE(row && row->values.size() == 2) << unit;
    const std::size_t open = unit.find("PARTITION (\"");
    ASSERT_NE(open, std::string::npos) << unit;
    const std::string partition = unit.substr(open + 12, unit.find('"', open + 12) - open - 12);
    lines_by_partition[row->values[0].text + "@" + partition] =
        row->values[1].kind == test::ScriptValue::Kind::kNull ? "<NULL>" : row->values[1].text;
  }
  ASSERT_EQ(statements.size(), 1u) << ::testing::PrintToString(statements);
  const std::size_t nested = statements[0].find("NESTED TABLE \"LINES\" STORE AS \"PARTED_LINES_NT\"");
  ASSERT_NE(nested, std::string::npos) << statements[0];
  EXPECT_LT(nested, statements[0].find("PARTITION BY RANGE")) << statements[0];
  EXPECT_EQ(lines_by_partition,
            (std::map<std::string, std::string>{
                {"1@PARTED_LOW", "HR.LINES_T(HR.LINE_T(washer,100,NULL))"},
                {"2@PARTED_LOW", "HR.LINES_T()"},
                {"10@PARTED_HIGH", "HR.LINES_T(HR.LINE_T(gear,2,02-JAN-2010 12:00:00 AM),HR.LINE_T(axle,1,NULL))"},
                {"11@PARTED_HIGH", "<NULL>"}}));
}

// The whole repair of the database of nested tables, VARRAYs kept in LOBs,
// partitioned parents and objects within objects, as a script: every
// statement of it, the CREATE TABLEs with their storage clauses and the
// INSERTs with their constructors, is one Oracle takes.
TEST(NestedObjectTables, TheWholeRepairScriptIsValidOracle) {
  OpenedDb opened(NestedObjectsDb());
  COracleRecoveryTools& engine = opened.engine;
  std::vector<std::uint32_t> tables;
  for (const ObjectRecord& o : engine.catalogue.ObjectsOfKind(ObjectKind::kTable)) {
    if (o.owner == "HR") tables.push_back(o.object_number);
  }
  ASSERT_GT(tables.size(), 5u);
  test::TempDir spill_root;
  std::ostringstream script;
  repair::ScriptTarget target(script, "test");
  repair::OracleRepairOptions options;
  options.spill_root = spill_root.path().string();
  const repair::RepairResult result =
      repair::RunRepair(engine, target, repair::TargetDialect::kOracle, tables, options);
  target.Disconnect();
  EXPECT_GT(result.rows, 10u);
  EXPECT_NE(script.str().find("NESTED TABLE"), std::string::npos);
  // A nested-table attribute's storage clause names it by its path.
  EXPECT_NE(script.str().find("NESTED TABLE \"FOLDER\".\"WORDS\" STORE AS \"FOLDER_WORDS_NT\""), std::string::npos);
  EXPECT_EQ(test::CheckScript(script.str()), std::vector<std::string>{});
}

// One byte at a time (every 67th) of each block of the tables with
// collections, objects and XMLType values and of their storage tables,
// changed while the table's rows go into a script and into SQLite: nothing
// crashes or reads outside a buffer (the sanitizer builds run this), every
// INSERT written still reads back as literals, whatever bytes the damage
// made of a value, and damage in a storage table costs the parent none of
// its rows.
TEST(DamagedCollections, AChangedByteNeverBreaksTheScriptOrCostsTheParentARow) {
  constexpr std::uint32_t kDamageStride = 67;
  const test::GeneratedSchemaDb& db = NestedObjectsDb();
  test::TempDir work;
  const std::filesystem::path copy = work / "db";
  std::filesystem::create_directories(copy);
  for (const auto& entry : std::filesystem::directory_iterator(db.folder)) {
    if (entry.is_regular_file()) std::filesystem::copy_file(entry.path(), copy / entry.path().filename());
  }
  std::string error;
  auto spill = repair::SpillFolder::Create(&error, (work / "spill").string());
  ASSERT_TRUE(spill) << error;
  NullSink sink;
  StopFlag stop;
  COracleRecoveryTools engine{sink, stop};
  IdentifyRelease(engine, (copy / "SYSTEM01.DBF").string());
  ReadDictionary(engine);
  const CatalogueViews views(engine.catalogue);
  struct Parent {
    const char* table;
    std::uint64_t rows;
    std::vector<std::string> segments;  // the parent's and its storage tables' segment names
  };
  const std::vector<Parent> parents = {
      {"EMP_DETAILS", 3, {"HR.EMP_DETAILS", "HR.EMP_SKILLS_NT"}},
      {"ORDER_LINES", 4, {"HR.ORDER_LINES", "HR.ORDER_LINES_NT"}},
      {"DOCUMENTS", 3, {"HR.DOCUMENTS", "HR.DOC_PARAS_NT", "HR.DOC_WORDS_NT", "HR.DOC_CODES_NT"}},
      {"PARTED_ORDERS", 4, {"HR.PARTED_ORDERS:PARTED_LOW", "HR.PARTED_ORDERS:PARTED_HIGH", "HR.PARTED_LINES_NT"}},
      {"ROUTES", 4, {"HR.ROUTES"}},
      {"SITES", 5, {"HR.SITES"}},
      {"TRIPS", 3, {"HR.TRIPS", "HR.TRIPS_NT"}},
      {"TOURS", 3, {"HR.TOURS"}},
      {"CONTACTS", 4, {"HR.CONTACTS"}},
      {"GRIDS", 3, {"HR.GRIDS"}},
      {"MEMOS", 4, {"HR.MEMOS"}},
      {"FOLDERS", 4, {"HR.FOLDERS", "HR.FOLDER_WORDS_NT", "HR.FOLDER_LINES_NT"}},
  };
  const std::uint32_t block_size = db.layout.block_size;
  std::size_t runs = 0;
  std::uint64_t sqlite_rows = 0;
  for (const Parent& parent : parents) {
    SCOPED_TRACE(parent.table);
    const ObjectRecord* object = engine.catalogue.FindObject(ObjectKind::kTable, "HR", parent.table);
    ASSERT_NE(object, nullptr);
    const TableDefinition table = views.Table(*object);
    for (const std::string& name : parent.segments) {
      const testdb::SegmentLayout* segment = nullptr;
      for (const testdb::SegmentLayout& s : db.layout.segments) {
        if (s.name == name) segment = &s;
      }
      ASSERT_NE(segment, nullptr) << name;
      ASSERT_FALSE(segment->data_blocks.empty()) << name;
      const bool storage = name.find("_NT") != std::string::npos;
      const testdb::FileLayout* file = db.layout.FindFileByNumber(segment->relative_file);
      ASSERT_NE(file, nullptr);
      const std::filesystem::path path = copy / std::filesystem::path(file->path).filename().string();
      std::fstream io(path, std::ios::in | std::ios::out | std::ios::binary);
      for (const std::uint32_t dba : segment->data_blocks) {
        const std::streamoff at = static_cast<std::streamoff>(format::DbaBlock(dba)) * block_size;
        // Each block from its own first byte, so that the blocks together
        // change bytes at every distance from a row's start.
        const std::uint32_t first = 20 + static_cast<std::uint32_t>(runs % kDamageStride);
        for (std::uint32_t offset = first; offset < block_size; offset += kDamageStride) {
          char byte = 0;
          io.seekg(at + offset);
          io.get(byte);
          const char changed = static_cast<char>(byte ^ (0x5A + offset % 0x40));
          io.seekp(at + offset);
          io.put(changed);
          io.flush();
          std::ostringstream script;
          repair::ScriptTarget target(script, "test");
          BlockSource source(engine.datafiles);
          const repair::InsertResult result = repair::InsertTableRows(engine, source, table, target, *spill);
          target.Disconnect();
          // The table the block belongs to, into SQLite (every other run).
          repair::SqliteTableResult into_sqlite;
          const ObjectRecord* owner = engine.catalogue.FindObject(
              ObjectKind::kTable, "HR", storage ? name.substr(3) : std::string(parent.table));
          if (runs % 2 == 0 && owner) {
            repair::SqliteTarget sqlite(":memory:");
            EXPECT_TRUE(sqlite.Connect());
            BlockSource sqlite_source(engine.datafiles);
            std::string side;
            into_sqlite = repair::RepairTableIntoSqlite(engine, sqlite_source, views, owner->object_number, sqlite, side);
            sqlite_rows += into_sqlite.rows;
          }
          io.seekp(at + offset);
          io.put(byte);
          io.flush();
          ++runs;
          SCOPED_TRACE(name + " block " + std::to_string(format::DbaBlock(dba)) + " byte " + std::to_string(offset));
          EXPECT_TRUE(into_sqlite.errors.empty() || into_sqlite.created);
          if (storage) {
            EXPECT_EQ(result.rows, parent.rows) << result.failed_rows << " failed; "
                                                << (result.errors.empty() ? "" : result.errors.front());
          }
          for (const std::string& unit : test::ScriptUnits(script.str())) {
            if (unit.starts_with("insert into")) {
              EXPECT_TRUE(test::ReadRowUnit(unit)) << unit.substr(0, 300);
            }
          }
          EXPECT_EQ(test::CheckScript(script.str()), std::vector<std::string>{});
          if (HasFailure()) return;
        }
      }
    }
  }
  EXPECT_GT(runs, 1000u);
  EXPECT_GT(sqlite_rows, runs);
}

// The table's definition names the storage table of every level, so that
// CREATE TABLE re-creates them under their names.
TEST(NestedObjectTables, StorageTablesOfEveryLevelAreNamed) {
  OpenedDb opened(NestedObjectsDb());
  COracleRecoveryTools& engine = opened.engine;
  const CatalogueViews views(engine.catalogue);
  const ObjectRecord* documents = engine.catalogue.FindObject(ObjectKind::kTable, "HR", "DOCUMENTS");
  ASSERT_NE(documents, nullptr);
  std::vector<std::string> levels;
  const auto walk = [&levels](const auto& self, const std::vector<NestedTableDefinition>& list,
                              const std::string& prefix) -> void {
    for (const NestedTableDefinition& n : list) {
      levels.push_back(prefix + n.column_name + "->" + n.storage_table.name);
      self(self, n.element_storage, prefix + n.storage_table.name + ".");
    }
  };
  walk(walk, views.Table(*documents).nested_tables, "");
  EXPECT_EQ(levels, (std::vector<std::string>{"PARAS->DOC_PARAS_NT", "DOC_PARAS_NT.COLUMN_VALUE->DOC_WORDS_NT",
                                              "CODES->DOC_CODES_NT"}));
}

// Into SQLite a VARRAY kept in a LOB is the hexadecimal image read from the
// LOB, as one kept in the row is, not the locator the row holds.
TEST(NestedObjectTables, AVarrayStoredAsALobGoesIntoSqliteAsItsImage) {
  OpenedDb opened(NestedObjectsDb());
  COracleRecoveryTools& engine = opened.engine;
  const CatalogueViews views(engine.catalogue);
  const ObjectRecord* documents = engine.catalogue.FindObject(ObjectKind::kTable, "HR", "DOCUMENTS");
  ASSERT_NE(documents, nullptr);
  test::TempDir folder;
  const std::filesystem::path path = folder.path() / "docs.sqlite";
  {
    repair::SqliteTarget target(path.string());
    ASSERT_TRUE(target.Connect());
    BlockSource source(engine.datafiles);
    std::string side;
    const auto r = repair::RepairTableIntoSqlite(engine, source, views, documents->object_number, target, side);
    EXPECT_EQ(r.rows, 3u);
    EXPECT_EQ(r.failed_rows, 0u);
    EXPECT_EQ(r.incomplete_lobs, 0u);
  }
  sqlite3* lite = nullptr;
  ASSERT_EQ(sqlite3_open_v2(path.c_str(), &lite, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
  sqlite3_stmt* query = nullptr;
  ASSERT_EQ(sqlite3_prepare_v2(lite, R"(SELECT "ID", "TAGS" FROM "HR.DOCUMENTS" ORDER BY "ID")", -1, &query, nullptr),
            SQLITE_OK);
  std::map<std::string, std::string> tags;
  while (sqlite3_step(query) == SQLITE_ROW) {
    const auto* text = sqlite3_column_text(query, 1);
    tags[reinterpret_cast<const char*>(sqlite3_column_text(query, 0))] =
        text ? reinterpret_cast<const char*>(text) : "<NULL>";
  }
  sqlite3_finalize(query);
  sqlite3_close(lite);
  // A presence byte, the count, each element with its length byte.
  EXPECT_EQ(tags, (std::map<std::string, std::string>{{"1", "88010b0101000201700171"}, {"2", "<NULL>"}, {"3", "88010701010000"}}));
}

// In SQLite an object's attribute columns are named by their paths, at
// every depth, unless a column of the table has that name already; the
// embedded object's own column holds its null image.
TEST(NestedObjectColumns, AttributeColumnsAreNamedByTheirPathsInSqlite) {
  OpenedDb opened(NestedObjectsDb());
  COracleRecoveryTools& engine = opened.engine;
  const CatalogueViews views(engine.catalogue);
  test::TempDir folder;
  const std::filesystem::path path = folder.path() / "objects.sqlite";
  {
    repair::SqliteTarget target(path.string());
    ASSERT_TRUE(target.Connect());
    BlockSource source(engine.datafiles);
    std::string side;
    for (const char* name : {"SITES", "SPOTS"}) {
      const ObjectRecord* table = engine.catalogue.FindObject(ObjectKind::kTable, "HR", name);
      ASSERT_NE(table, nullptr);
      const auto r = repair::RepairTableIntoSqlite(engine, source, views, table->object_number, target, side);
      EXPECT_TRUE(r.created) << (r.errors.empty() ? "" : r.errors.front());
      EXPECT_EQ(r.failed_rows, 0u);
    }
  }
  sqlite3* lite = nullptr;
  ASSERT_EQ(sqlite3_open_v2(path.c_str(), &lite, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
  const auto first_row = [lite](const char* sql) {
    std::map<std::string, std::string> out;
    sqlite3_stmt* query = nullptr;
    if (sqlite3_prepare_v2(lite, sql, -1, &query, nullptr) != SQLITE_OK) {
      ADD_FAILURE() << sqlite3_errmsg(lite);
      return out;
    }
    if (sqlite3_step(query) == SQLITE_ROW) {
      for (int i = 0; i < sqlite3_column_count(query); ++i) {
        const auto* text = sqlite3_column_text(query, i);
        // A hidden column's own name (SYS_NCnnnnn$) is kept as its class.
        const std::string name = sqlite3_column_name(query, i);
        out[name.starts_with("SYS_NC") ? "SYS_NC" : name] = text ? reinterpret_cast<const char*>(text) : "<NULL>";
      }
    }
    sqlite3_finalize(query);
    return out;
  };
  EXPECT_EQ(first_row(R"(SELECT * FROM "HR.SITES" WHERE "ID" = 1)"),
            (std::map<std::string, std::string>{{"ID", "1"},
                                                {"SITE", "01"},
                                                {"SITE.CODE", "S1"},
                                                {"SITE.MAIN", "01"},
                                                {"SITE.MAIN.NAME", "Quay 'A'"},
                                                {"SITE.MAIN.AT", "01"},
                                                {"SITE.MAIN.AT.LAT", "47.376887"},
                                                {"SITE.MAIN.AT.LON", "-8.541694"},
                                                {"SITE.MAIN.SINCE", "2009-03-05T14:07:09"}}));
  EXPECT_EQ(first_row(R"(SELECT * FROM "HR.SPOTS")"),
            (std::map<std::string, std::string>{{"ID", "1"},
                                                {"SPOT.NAME", "plain"},
                                                {"SPOT", "01"},
                                                {"SYS_NC", "attribute"},
                                                {"SPOT.AT", "01"},
                                                {"SPOT.AT.LAT", "3"},
                                                {"SPOT.AT.LON", "4"},
                                                {"SPOT.SINCE", "<NULL>"}}));
  sqlite3_close(lite);
}

// An element's CLOB attribute is a CLOB column of the storage table: its
// bytes wait in the spill folder and go in as a long value inside the
// element's constructor.
TEST(NestedObjectTables, ElementsWithALobAttributeCarryItsBytes) {
  const SampleInsert s = InsertGeneratedTable(NestedObjectsDb(), "HR", "ORDER_NOTES");
  ASSERT_EQ(s.rows.size(), 1u);
  EXPECT_EQ(s.result.failed_rows, 0u);
  EXPECT_EQ(s.result.lost_values, 0u);
  EXPECT_EQ(s.rows[0].sql,
            "insert into \"HR\".\"ORDER_NOTES\" (\"ID\",\"NOTES\") values (?, \"HR\".\"NOTES_T\"(\"HR\".\"NOTE_T\"(?, ?)))");
  EXPECT_EQ(s.rows[0].values, (std::vector<std::string>{"<other>", "first", "a body"}));  // the ID is a number
  EXPECT_EQ(s.result.errors, std::vector<std::string>{});
}

// An object column whose attribute columns, as a damaged dictionary gives
// them, are not those of its types is written as NULL and noted, never as a
// constructor with an argument too many or too few; the row keeps its
// other values.
TEST(NestedObjectColumns, AttributeColumnsThatDoNotMatchTheirTypesGiveNull) {
  const auto column = [](TableDefinition& t, const std::string& attribute) -> ColumnDefinition& {
    for (ColumnDefinition& c : t.columns) {
      if (c.attribute_name == attribute) return c;
    }
    ADD_FAILURE() << attribute;
    return t.columns.front();
  };
  struct Case {
    const char* what;
    std::function<void(TableDefinition&)> damage;
    const char* why;  // empty: every object is written
  };
  const std::vector<Case> cases = {
      {"undamaged", [](TableDefinition&) {}, ""},
      {"an attribute of the deepest object lost",
       [&](TableDefinition& t) { column(t, "\"SITE\".\"MAIN\".\"AT\".\"LAT\"").attribute_name.reset(); },
       "its attribute columns are not those of its type"},
      {"an attribute named into another object",
       [&](TableDefinition& t) { column(t, "\"SITE\".\"CODE\"").attribute_name = "\"SITE\".\"MAIN\".\"CODE\""; },
       "its attribute columns are not those of its type"},
      {"an embedded object's type unknown",
       [&](TableDefinition& t) { column(t, "\"SITE\".\"MAIN\"").user_type.reset(); }, "its type is not known"},
      {"an attribute turned into a REF",
       [&](TableDefinition& t) { column(t, "\"SITE\".\"MAIN\".\"AT\".\"LON\"").type_code = type_code::kRef; },
       "it has a REF attribute, or one of a type no attribute has"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const SampleInsert s = InsertGeneratedTable(NestedObjectsDb(), "HR", "SITES", nullptr, c.damage);
    ASSERT_EQ(s.rows.size(), 5u);
    EXPECT_EQ(s.result.failed_rows, 0u);
    const std::size_t constructors = static_cast<std::size_t>(std::count_if(
        s.rows.begin(), s.rows.end(), [](const auto& r) { return r.sql.find("\"SITE_T\"(") != std::string::npos; }));
    if (*c.why == '\0') {
      EXPECT_EQ(constructors, 4u);  // row 4's object is NULL
      EXPECT_EQ(s.result.lost_values, 0u);
      EXPECT_EQ(s.result.errors, std::vector<std::string>{});
      continue;
    }
    EXPECT_EQ(constructors, 0u);
    EXPECT_EQ(s.result.lost_values, 4u);
    ASSERT_EQ(s.result.errors.size(), 4u);
    EXPECT_NE(s.result.errors[0].find("an object of column SITE cannot be written (" + std::string(c.why) + ")"),
              std::string::npos)
        << s.result.errors[0];
    for (const auto& r : s.rows) EXPECT_NE(r.sql.find("values (?, NULL)"), std::string::npos) << r.sql;
  }
}

// A document too long for a PL/SQL variable goes into a temporary CLOB
// before the INSERT that wraps it in XMLTYPE; a plain CLOB column keeps its
// RETURNING locator.
TEST(ScriptTargetXml, LongDocumentsGoThroughATemporaryLob) {
  class Bytes final : public repair::LongBytes {
   public:
    explicit Bytes(std::string s) : s_(std::move(s)) {}
    std::uint64_t size() const override { return s_.size(); }
    std::size_t Read(std::uint64_t offset, std::span<std::uint8_t> into) const override {
      if (offset >= s_.size()) return 0;
      const std::size_t n = std::min<std::size_t>(into.size(), s_.size() - offset);
      std::copy_n(s_.data() + offset, n, into.data());
      return n;
    }

   private:
    std::string s_;
  };
  const std::string document = "<doc>" + std::string(70000, 'x') + "</doc>";
  const std::string text = std::string(40000, 'y');
  std::ostringstream script;
  repair::ScriptTarget target(script, "test");
  ASSERT_TRUE(target.BeginRows());
  const std::vector<repair::Value> values = {
      repair::LongValue{repair::LongValue::Form::kText, std::make_shared<Bytes>(document)},
      repair::LongValue{repair::LongValue::Form::kText, std::make_shared<Bytes>(text)}};
  target.InsertRow("insert into \"A\".\"T\" (\"X\",\"C\") values (XMLTYPE(?), ?)", values);
  const repair::RowOutcome outcome = target.EndRows();
  EXPECT_EQ(outcome.inserted, 1u);
  EXPECT_EQ(outcome.failed, 0u);
  const std::string out = script.str();
  const std::size_t create = out.find("DBMS_LOB.CREATETEMPORARY(l1, TRUE);");
  const std::size_t insert = out.find("insert into");
  ASSERT_NE(create, std::string::npos);
  EXPECT_LT(create, insert);
  EXPECT_NE(out.find("values (XMLTYPE(l1), EMPTY_CLOB()) RETURNING \"C\" INTO l2;"), std::string::npos);
  EXPECT_GT(out.find("DBMS_LOB.FREETEMPORARY(l1);"), insert);
  std::optional<test::ScriptInsert> row;
  for (const std::string& unit : test::ScriptUnits(out)) {
    if (unit.find("insert into") != std::string::npos) row = test::ReadRowUnit(unit);
  }
  ASSERT_TRUE(row);
  ASSERT_EQ(row->values.size(), 2u);
  EXPECT_EQ(row->values[0].kind, test::ScriptValue::Kind::kXml);
  EXPECT_EQ(row->values[0].text, document);
  EXPECT_EQ(row->values[1].text, text);
}

}  // namespace
}  // namespace quillon
