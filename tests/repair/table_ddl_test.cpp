#include "repair/table_ddl.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "reader/catalogue_columns.h"
#include "reader/packed_codes.h"
#include "support/oracle_grammar.h"

namespace quillon::repair {
namespace {

ColumnDefinition Col(std::string name, std::uint32_t number, std::uint32_t type,
                     std::optional<std::int64_t> len = std::nullopt, std::optional<std::int64_t> p = std::nullopt,
                     std::optional<std::int64_t> s = std::nullopt) {
  ColumnDefinition c;
  c.name = std::move(name);
  c.column_number = number;
  c.segment_column = number;
  c.internal_column = number;
  c.type_code = type;
  c.length = len;
  c.precision = p;
  c.scale = s;
  return c;
}

TableDefinition Table(std::string owner, std::string name, std::vector<ColumnDefinition> columns,
                      std::string tablespace = "USERS") {
  TableDefinition t;
  t.object = ObjectName{100, std::move(owner), std::move(name)};
  t.has_table_record = true;
  t.columns = std::move(columns);
  t.tablespace = std::move(tablespace);
  return t;
}

std::string Create(const TableDefinition& t) {
  RecorderSink sink;
  CreateTableStatement(t, sink);
  if (sink.statements.size() != 1) return "<skipped: " + (sink.skipped.empty() ? "" : sink.skipped[0].reason) + ">";
  // Whatever a test expects of the text, Oracle must take it.
  EXPECT_EQ(test::OracleGrammar::Check(sink.statements[0].text), "") << sink.statements[0].text;
  return sink.statements[0].text;
}

TEST(TableDdl, TheExampleTable) {
  ColumnDefinition id = Col("ID", 1, type_code::kNumber, 22, 10, 0);
  id.nullable = false;
  id.not_null_constraint = "SYS_C001";
  ColumnDefinition name = Col("NAME", 2, type_code::kVarchar2, 30);
  EXPECT_EQ(Create(Table("SCOTT", "T", {id, name})),
            "Create Table \"SCOTT\".\"T\"(\"ID\" NUMBER (10,0) CONSTRAINT \"SYS_C001$\" NOT NULL,"
            "\"NAME\" VARCHAR2(30) NULL)Tablespace \"USERS\"");
}

TEST(TableDdl, GlobalTemporaryTablesKeepTheirCommitRule) {
  TableDefinition t = Table("S", "GTT", {Col("ID", 1, type_code::kNumber, 22, 10, 0)});
  t.temporary = true;
  EXPECT_EQ(Create(t), "Create Global Temporary Table \"S\".\"GTT\"(\"ID\" NUMBER (10,0) NULL) ON COMMIT DELETE ROWS");
  t.preserve_rows = true;
  EXPECT_EQ(Create(t), "Create Global Temporary Table \"S\".\"GTT\"(\"ID\" NUMBER (10,0) NULL) ON COMMIT PRESERVE ROWS");
}

TEST(TableDdl, ColumnTypeTexts) {
  struct Case {
    ColumnDefinition column;
    const char* text;
  };
  ColumnDefinition nvarchar = Col("C", 1, type_code::kVarchar2, 40);
  nvarchar.national = true;
  nvarchar.charset_form = 2;
  ColumnDefinition nchar = Col("C", 1, type_code::kChar, 20);
  nchar.charset_form = 2;
  ColumnDefinition long_nvarchar = Col("C", 1, type_code::kVarchar2, 9000);
  long_nvarchar.charset_form = 2;
  ColumnDefinition long_nchar = Col("C", 1, type_code::kChar, 4002);
  long_nchar.charset_form = 2;
  long_nchar.charset_id = PackedCode(871);  // UTF8: three bytes a character
  ColumnDefinition nclob = Col("C", 1, type_code::kClob);
  nclob.charset_form = 2;
  ColumnDefinition object = Col("C", 1, type_code::kObject);
  object.user_type = ObjectName{5, "SCOTT", "ADDRESS_T"};
  ColumnDefinition ref = Col("C", 1, type_code::kRef);
  ref.user_type = ObjectName{5, "SCOTT", "ADDRESS_T"};
  ColumnDefinition varray = Col("C", 1, type_code::kVarray);
  varray.user_type = ObjectName{6, "HR", "PHONES"};
  const Case cases[] = {
      {Col("C", 1, type_code::kNumber), " NUMBER "},
      {Col("C", 1, type_code::kNumber, 22, 126), " FLOAT (126)"},
      {Col("C", 1, type_code::kNumber, 22, 10, 2), " NUMBER (10,2)"},
      {Col("C", 1, type_code::kNumber, 22, 5, -2), " NUMBER (5,-2)"},
      {Col("C", 1, type_code::kNumber, 22, 200, 0), " NUMBER "},  // damaged precision
      // Damaged lengths: the type's limit, which Oracle takes and which
      // holds every value the column could hold.
      {Col("C", 1, type_code::kVarchar2, 40000), " VARCHAR2(4000)"},
      {Col("C", 1, type_code::kChar, 2001), " CHAR(2000)"},
      {Col("C", 1, type_code::kRaw, 32767), " RAW(2000)"},
      {Col("C", 1, type_code::kRaw, 0), " RAW(1)"},
      {nvarchar, " NVARCHAR2(20)"},
      {nchar, " NCHAR(10)"},
      {long_nvarchar, " NVARCHAR2(2000)"},
      {long_nchar, " NCHAR(666)"},
      {Col("C", 1, type_code::kChar, 1), " CHAR(1)"},
      {Col("C", 1, type_code::kVarchar2, 4000), " VARCHAR2(4000)"},
      {Col("C", 1, type_code::kDate), " DATE "},
      {Col("C", 1, type_code::kTimestamp, 11, 0, 6), " TIMESTAMP(6) "},
      {Col("C", 1, type_code::kTimestampTz, 13, 0, 3), " TIMESTAMP(3) WITH TIME ZONE "},
      {Col("C", 1, type_code::kTimestampLtz, 11, 0, 9), " TIMESTAMP(9) WITH LOCAL TIME ZONE "},
      {Col("C", 1, type_code::kIntervalYm, 5, 2, 0), " INTERVAL YEAR(2) TO MONTH "},
      {Col("C", 1, type_code::kIntervalDs, 11, 3, 6), " INTERVAL DAY(3) TO SECOND(6) "},
      {Col("C", 1, type_code::kRaw, 16), " RAW(16)"},
      {Col("C", 1, type_code::kLong), " LONG "},
      {Col("C", 1, type_code::kLongRaw), " LONG RAW "},
      {Col("C", 1, type_code::kClob), " CLOB "},
      {nclob, " NCLOB "},
      {Col("C", 1, type_code::kBlob), " BLOB "},
      {Col("C", 1, type_code::kBfile), " BFILE "},
      {Col("C", 1, type_code::kRowid), " ROWID "},
      {Col("C", 1, type_code::kUrowid), " UROWID "},
      {Col("C", 1, type_code::kBinaryFloat), " BINARY_FLOAT "},
      {Col("C", 1, type_code::kBinaryDouble), " BINARY_DOUBLE "},
      {Col("C", 1, type_code::kXmlType), " XMLType"},
      {object, " \"SCOTT\".\"ADDRESS_T\""},
      {ref, " REF \"SCOTT\".\"ADDRESS_T\""},
      {varray, " \"HR\".\"PHONES\""},
  };
  for (const Case& c : cases) {
    SqlBuilder sql;
    std::string why;
    EXPECT_TRUE(AppendColumnType(sql, c.column, &why)) << c.text;
    EXPECT_EQ(sql.Build({}).text, c.text);
    const std::string table = "Create Table \"S\".\"T\"(\"C\"" + sql.Build({}).text + ")";
    EXPECT_EQ(test::OracleGrammar::Check(table), "") << table;
  }
  SqlBuilder sql;
  std::string why;
  EXPECT_FALSE(AppendColumnType(sql, Col("C", 1, type_code::kObject), &why));  // type unknown
  EXPECT_FALSE(AppendColumnType(sql, Col("C", 1, PackedCode(999)), &why));
  EXPECT_FALSE(why.empty());
}

TEST(TableDdl, CharacterLengthSemantics) {
  // LENGTH holds bytes; a column declared in characters (PROPERTY 0x800000)
  // is written with its character length from SPARE3.
  const auto column = [](std::uint32_t type, std::int64_t bytes, bool char_semantics,
                         std::optional<std::int64_t> characters) {
    ColumnDefinition c = Col("C", 1, type, bytes);
    c.char_semantics = char_semantics;
    c.char_length = characters;
    c.property = char_semantics ? kColumnCharSemantics : 0;
    return c;
  };
  struct Case {
    ColumnDefinition column;
    const char* text;
  };
  ColumnDefinition national = column(type_code::kVarchar2, 40, false, 20);
  national.national = true;
  national.charset_form = 2;
  const Case cases[] = {
      {column(type_code::kVarchar2, 40, true, 10), " VARCHAR2(10 CHAR)"},      // AL32UTF8: four bytes a character
      {column(type_code::kChar, 20, true, 5), " CHAR(5 CHAR)"},
      {column(type_code::kVarchar2, 4000, true, 4000), " VARCHAR2(4000 CHAR)"}, // LENGTH capped at 4000 bytes
      {column(type_code::kChar, 2000, true, 2000), " CHAR(2000 CHAR)"},
      {column(type_code::kVarchar2, 30, false, 30), " VARCHAR2(30)"},           // BYTE semantics: as before
      {column(type_code::kChar, 3, false, 3), " CHAR(3)"},
      // Damage: no SPARE3, or one beyond the type's limit: the bytes, which
      // hold every value the column held.
      {column(type_code::kVarchar2, 40, true, std::nullopt), " VARCHAR2(40)"},
      {column(type_code::kVarchar2, 40, true, 4001), " VARCHAR2(40)"},
      {column(type_code::kChar, 40, true, 2001), " CHAR(40)"},
      {column(type_code::kVarchar2, 40, true, -3), " VARCHAR2(40)"},
      {national, " NVARCHAR2(20)"},  // national types count characters anyway
  };
  for (const Case& c : cases) {
    SqlBuilder sql;
    std::string why;
    EXPECT_TRUE(AppendColumnType(sql, c.column, &why)) << c.text;
    EXPECT_EQ(sql.Build({}).text, c.text);
  }
}

TEST(TableDdl, ColumnListAndTails) {
  ColumnDefinition hidden = Col("SYS_NC00005$", 0, type_code::kNumber);
  hidden.system_generated = true;
  ColumnDefinition unused = Col("OLD", 0, type_code::kNumber);  // no column number
  ColumnDefinition virt = Col("TOTAL", 3, type_code::kNumber);
  virt.segment_column = 0;
  virt.is_virtual = true;
  virt.nullable = false;
  virt.not_null_constraint = "SYS_C9";
  virt.default_text = "\"A\"+\"B\"";
  ColumnDefinition tz = Col("AT", 4, type_code::kTimestampTz, 13, 0, 6);
  tz.nullable = false;
  ColumnDefinition plain_nn = Col("B", 2, type_code::kNumber);
  plain_nn.nullable = false;  // NOT NULL without a constraint of its own
  ColumnDefinition a = Col("A", 1, type_code::kNumber);
  TableDefinition t = Table("S", "T", {a, plain_nn, hidden, virt, tz, unused});
  t.columns[5].column_number = 0;
  EXPECT_EQ(Create(t),
            "Create Table \"S\".\"T\"(\"A\" NUMBER  NULL,\"B\" NUMBER ,"
            "\"TOTAL\" NUMBER GENERATED ALWAYS AS (\"A\"+\"B\") VIRTUAL,"
            "\"AT\" TIMESTAMP(6) WITH TIME ZONE  NULL)Tablespace \"USERS\"");
}

TEST(TableDdl, NotNullNameTakesTheDollarOnlyWhenItFits) {
  ColumnDefinition c = Col("C", 1, type_code::kDate);
  c.nullable = false;
  c.not_null_constraint = std::string(29, 'N');
  EXPECT_NE(Create(Table("S", "T", {c})).find("CONSTRAINT \"" + std::string(29, 'N') + "$\" NOT NULL"),
            std::string::npos);
  c.not_null_constraint = std::string(30, 'N');
  const std::string text = Create(Table("S", "T", {c}));
  EXPECT_NE(text.find("\"C\" DATE  NOT NULL)"), std::string::npos) << text;
  EXPECT_EQ(text.find("CONSTRAINT"), std::string::npos);
}

TEST(TableDdl, HostileNamesAreRefusedWholeTables) {
  for (const std::string& bad : {std::string("A\"B"), std::string("X\nDROP TABLE T"), std::string(31, 'X')}) {
    RecorderSink sink;
    CreateTableStatement(Table("S", bad, {Col("C", 1, type_code::kDate)}), sink);
    EXPECT_TRUE(sink.statements.empty());
    EXPECT_EQ(sink.skipped.size(), 1u);
    RecorderSink sink2;
    CreateTableStatement(Table("S", "T", {Col(bad, 1, type_code::kDate)}), sink2);
    EXPECT_TRUE(sink2.statements.empty());
    EXPECT_EQ(sink2.skipped.size(), 1u);
  }
  // Semicolons and keywords are held by the quotes.
  EXPECT_EQ(Create(Table("S", "T;DROP", {Col("SELECT", 1, type_code::kDate)})),
            "Create Table \"S\".\"T;DROP\"(\"SELECT\" DATE  NULL)Tablespace \"USERS\"");
}

TEST(TableDdl, ShapesByPropertyBits) {
  // The property values tables of each shape were seen with, and a few no
  // list had that the bits still decide.
  const std::uint64_t partitioned[] = {0x20000020, 0x20000024, 0x20000030, 0x20200022, 0x20200026,
                                       0x20200032, 0x20040820, 0x20040830, 0x20000820};
  const std::uint64_t iot[] = {64, 68, 80, 192, 2128, 32832, 32960, 264256, 264384, 297152,
                               2097218, 2097222, 2097234, 2097362, 2361410, 2361538, 0x10040};
  const std::uint64_t partitioned_iot[] = {96, 224, 32992, 264288, 264416, 297056, 297184,
                                           2097250, 2097254, 2097378, 2097382, 0x10060};
  const std::uint64_t xml[] = {0x20200813, 0x20200803, 0x2020081B};
  for (std::uint64_t p : partitioned) {
    EXPECT_TRUE(TableShapeOf(p).partitioned) << p;
    EXPECT_FALSE(TableShapeOf(p).index_organized) << p;
  }
  for (std::uint64_t p : iot) {
    EXPECT_TRUE(TableShapeOf(p).index_organized) << p;
    EXPECT_FALSE(TableShapeOf(p).partitioned) << p;
  }
  for (std::uint64_t p : partitioned_iot) {
    EXPECT_TRUE(TableShapeOf(p).index_organized && TableShapeOf(p).partitioned) << p;
  }
  for (std::uint64_t p : xml) EXPECT_TRUE(TableShapeOf(p).xml_type) << p;
  EXPECT_FALSE(TableShapeOf(0).xml_type || TableShapeOf(0).partitioned || TableShapeOf(0).index_organized);
}

ConstraintDefinition Key(std::string name, ConstraintKind kind, std::vector<std::string> columns) {
  ConstraintDefinition k;
  k.name = std::move(name);
  k.kind = kind;
  std::uint32_t n = 1;
  for (std::string& c : columns) k.columns.push_back(ConstraintColumn{std::move(c), n++, n});
  k.enabled = true;
  k.validated = true;
  return k;
}

TEST(TableDdl, IndexOrganizedTables) {
  ColumnDefinition id = Col("ID", 1, type_code::kNumber, 22, 10, 0);
  ColumnDefinition notes = Col("NOTES", 2, type_code::kVarchar2, 200);
  ColumnDefinition list = Col("ITEMS", 3, type_code::kNestedTable);
  list.user_type = ObjectName{7, "S", "ITEM_LIST"};
  TableDefinition t = Table("S", "IOT", {id, notes});
  t.property = 0x40 | 0x10000;  // a value the old lists lacked
  t.constraints.push_back(Key("IOT_PK", ConstraintKind::kPrimaryKey, {"ID"}));
  t.iot = IotDefinition{};
  t.iot->tablespace = "IDX";
  EXPECT_EQ(Create(t),
            "Create Table \"S\".\"IOT\"(\"ID\" NUMBER (10,0) NULL,\"NOTES\" VARCHAR2(200) NULL,"
            " CONSTRAINT \"IOT_PK\" PRIMARY KEY( \"ID\"))ORGANIZATION INDEX Tablespace \"IDX\"");
  // With an overflow segment and nested-table storage: the storage comes
  // after the whole organisation clause.
  t.columns.push_back(list);
  t.nested_tables.push_back(NestedTableDefinition{"ITEMS", 3, ObjectName{8, "S", "ITEMS_TAB"}});
  t.iot->overflow_threshold = 30;
  t.iot->including_column = "NOTES";
  t.iot->overflow_tablespace = "OVF";
  EXPECT_EQ(Create(t),
            "Create Table \"S\".\"IOT\"(\"ID\" NUMBER (10,0) NULL,\"NOTES\" VARCHAR2(200) NULL,"
            "\"ITEMS\" \"S\".\"ITEM_LIST\" NULL, CONSTRAINT \"IOT_PK\" PRIMARY KEY( \"ID\"))"
            "ORGANIZATION INDEX Tablespace \"IDX\" PCTTHRESHOLD 30 INCLUDING \"NOTES\" OVERFLOW Tablespace \"OVF\""
            " NESTED TABLE \"ITEMS\" STORE AS \"ITEMS_TAB\"");
}

TEST(TableDdl, ClusteredAndNestedTableStorage) {
  TableDefinition t = Table("S", "EMP", {Col("DEPTNO", 1, type_code::kNumber, 22, 2, 0)});
  t.cluster = ClusterMembership{ObjectName{9, "S", "EMP_DEPT"}, 1, {"DEPTNO"}};
  EXPECT_EQ(Create(t), "Create Table \"S\".\"EMP\"(\"DEPTNO\" NUMBER (2,0) NULL) CLUSTER \"S\".\"EMP_DEPT\" (\"DEPTNO\")");
  ColumnDefinition list = Col("ITEMS", 2, type_code::kNestedTable);
  list.user_type = ObjectName{7, "S", "ITEM_LIST"};
  TableDefinition n = Table("S", "ORDERS", {Col("ID", 1, type_code::kNumber), list});
  n.nested_tables.push_back(NestedTableDefinition{"ITEMS", 2, ObjectName{8, "S", "ITEMS_TAB"}});
  EXPECT_EQ(Create(n), "Create Table \"S\".\"ORDERS\"(\"ID\" NUMBER  NULL,\"ITEMS\" \"S\".\"ITEM_LIST\" NULL)"
                       "Tablespace \"USERS\" NESTED TABLE \"ITEMS\" STORE AS \"ITEMS_TAB\"");
  // Storage tables with nested-table columns of their own name their
  // storage tables level by level; two at one level follow each other.
  const NestedTableDefinition words{"COLUMN_VALUE", 2, ObjectName{11, "S", "WORDS_TAB"}};
  const NestedTableDefinition notes{"NOTES", 3, ObjectName{12, "S", "NOTES_TAB"}};
  n.nested_tables[0].element_storage = {
      NestedTableDefinition{"COLUMN_VALUE", 2, ObjectName{10, "S", "LINES_TAB"}, {words}}, notes};
  EXPECT_EQ(Create(n), "Create Table \"S\".\"ORDERS\"(\"ID\" NUMBER  NULL,\"ITEMS\" \"S\".\"ITEM_LIST\" NULL)"
                       "Tablespace \"USERS\" NESTED TABLE \"ITEMS\" STORE AS \"ITEMS_TAB\""
                       " (NESTED TABLE \"COLUMN_VALUE\" STORE AS \"LINES_TAB\""
                       " (NESTED TABLE \"COLUMN_VALUE\" STORE AS \"WORDS_TAB\")"
                       " NESTED TABLE \"NOTES\" STORE AS \"NOTES_TAB\")");
}

TEST(TableDdl, XmlTypeTables) {
  TableDefinition t = Table("S", "DOCS", {});
  t.property = 0x20200803;
  t.xml_type_table = true;
  t.xml = XmlTableDefinition{};
  t.xml->stored_as_clob = true;
  EXPECT_EQ(Create(t), "Create Table \"S\".\"DOCS\" of XMLTYPE\r\nXMLTYPE STORE AS CLOB\r\nTABLESPACE \"USERS\"");
  t.property = 0x20200813;
  t.xml->stored_as_clob = false;
  t.xml->schema_url = "http://www.example.com/po.xsd";
  t.xml->element = "PurchaseOrder";
  EXPECT_EQ(Create(t), "Create Table \"S\".\"DOCS\" of XMLTYPE\r\nXMLSCHEMA \"http://www.example.com/po.xsd\"\r\n"
                       "ELEMENT \"PurchaseOrder\"\r\nTABLESPACE \"USERS\"");
}

PartitionDefinition Part(std::string name, std::optional<std::string> high, std::string ts = "USERS") {
  PartitionDefinition p;
  p.name = std::move(name);
  p.high_value = high;
  p.bound = high ? BoundKindOf(*high) : BoundKind::kNone;
  p.tablespace = std::move(ts);
  return p;
}

TableDefinition Partitioned(PartitioningMethod method, std::vector<PartitionDefinition> parts) {
  TableDefinition t = Table("S", "P", {Col("K", 1, type_code::kNumber), Col("R", 2, type_code::kVarchar2, 2)}, "");
  t.property = 0x20000020;
  t.partitioning = PartitioningDefinition{};
  t.partitioning->method = method;
  if (method != PartitioningMethod::kSystem) t.partitioning->key_columns = {{"K", 1}};
  t.partitions = std::move(parts);
  return t;
}

TEST(TableDdl, PartitioningForms) {
  const std::string head = "Create Table \"S\".\"P\"(\"K\" NUMBER  NULL,\"R\" VARCHAR2(2) NULL)\r\n";
  struct Case {
    TableDefinition table;
    std::string tail;
  };
  std::vector<Case> cases;
  cases.push_back({Partitioned(PartitioningMethod::kRange, {Part("P1", "10"), Part("PMAX", "MAXVALUE")}),
                   "PARTITION BY RANGE (\"K\")\r\n( PARTITION \"P1\" VALUES LESS THAN (10) Tablespace \"USERS\","
                   " PARTITION \"PMAX\" VALUES LESS THAN (MAXVALUE) Tablespace \"USERS\"\r\n)"});
  cases.push_back({Partitioned(PartitioningMethod::kHash, {Part("H1", std::nullopt), Part("H2", std::nullopt, "DATA")}),
                   "PARTITION BY HASH (\"K\")\r\n( PARTITION \"H1\"  Tablespace \"USERS\","
                   " PARTITION \"H2\"  Tablespace \"DATA\"\r\n)"});
  cases.push_back({Partitioned(PartitioningMethod::kList, {Part("L1", "1, 2"), Part("LD", "DEFAULT")}),
                   "PARTITION BY LIST (\"K\")\r\n( PARTITION \"L1\" VALUES (1, 2) Tablespace \"USERS\","
                   " PARTITION \"LD\" VALUES (DEFAULT) Tablespace \"USERS\"\r\n)"});
  cases.push_back({Partitioned(PartitioningMethod::kSystem, {Part("S1", std::nullopt), Part("S2", std::nullopt)}),
                   "PARTITION BY SYSTEM\r\n( PARTITION \"S1\"  Tablespace \"USERS\","
                   " PARTITION \"S2\"  Tablespace \"USERS\"\r\n)"});
  TableDefinition interval = Partitioned(PartitioningMethod::kRange, {Part("P0", "100")});
  interval.partitioning->interval = "100";
  cases.push_back({interval, "PARTITION BY RANGE (\"K\")\r\ninterval(100)\r\n( PARTITION \"P0\" VALUES LESS THAN (100)"
                             " Tablespace \"USERS\"\r\n)"});
  TableDefinition composite = Partitioned(PartitioningMethod::kRange, {Part("P1", "10"), Part("P2", "MAXVALUE")});
  composite.partitioning->subpartitioning = PartitioningMethod::kList;
  composite.partitioning->subpartition_key_columns = {{"R", 2}};
  composite.partitions[0].subpartitions = {Part("P1_A", "'A'"), Part("P1_D", "DEFAULT", "DATA")};
  composite.partitions[1].subpartitions = {Part("P2_D", "DEFAULT")};
  cases.push_back({composite,
                   "PARTITION BY RANGE (\"K\")\r\nSUBPARTITION BY LIST (\"R\")\r\n("
                   " PARTITION \"P1\" VALUES LESS THAN (10) Tablespace \"USERS\"\r\n("
                   "SUBPARTITION \"P1_A\" VALUES ('A') Tablespace \"USERS\","
                   "SUBPARTITION \"P1_D\" VALUES (DEFAULT) Tablespace \"DATA\"\r\n),"
                   " PARTITION \"P2\" VALUES LESS THAN (MAXVALUE) Tablespace \"USERS\"\r\n("
                   "SUBPARTITION \"P2_D\" VALUES (DEFAULT) Tablespace \"USERS\"\r\n)\r\n)"});
  TableDefinition hashsub = Partitioned(PartitioningMethod::kList, {Part("L1", "1")});
  hashsub.partitioning->subpartitioning = PartitioningMethod::kHash;
  hashsub.partitioning->subpartition_key_columns = {{"R", 2}};
  hashsub.partitions[0].subpartitions = {Part("L1_H1", std::nullopt), Part("L1_H2", std::nullopt)};
  cases.push_back({hashsub, "PARTITION BY LIST (\"K\")\r\nSUBPARTITION BY HASH (\"R\")\r\n("
                            " PARTITION \"L1\" VALUES (1) Tablespace \"USERS\"\r\n("
                            "SUBPARTITION \"L1_H1\"  Tablespace \"USERS\",SUBPARTITION \"L1_H2\"  Tablespace \"USERS\""
                            "\r\n)\r\n)"});
  for (const Case& c : cases) EXPECT_EQ(Create(c.table), head + c.tail);

  // Reference partitioning: the parent's foreign key inline, balanced, and
  // no partition list.
  TableDefinition child = Partitioned(PartitioningMethod::kReference, {});
  ConstraintDefinition fk = Key("FK_PARENT", ConstraintKind::kForeignKey, {"K"});
  fk.references = ReferencedKey{ObjectName{1, "S", "PARENT"}, 5, "PK_PARENT", {{"ID", 1, 1}, {"ID2", 2, 2}}};
  fk.columns.push_back(ConstraintColumn{"R", 2, 2});
  child.constraints = {fk};
  EXPECT_EQ(Create(child), "Create Table \"S\".\"P\"(\"K\" NUMBER  NULL,\"R\" VARCHAR2(2) NULL,"
                           "CONSTRAINT \"FK_PARENT\"  FOREIGN KEY(\"K\",\"R\") REFERENCES \"S\".\"PARENT\"(\"ID\",\"ID2\"))"
                           "\r\nPARTITION BY REFERENCE (\"FK_PARENT\")");
  // Nested-table storage is a column property: Oracle takes it before the
  // partitioning clause, never after it.
  TableDefinition nested = Partitioned(PartitioningMethod::kRange, {Part("P1", "MAXVALUE")});
  ColumnDefinition list = Col("ITEMS", 3, type_code::kNestedTable);
  list.user_type = ObjectName{7, "S", "ITEM_LIST"};
  nested.columns.push_back(list);
  nested.nested_tables.push_back(NestedTableDefinition{"ITEMS", 3, ObjectName{8, "S", "ITEMS_TAB"}});
  EXPECT_EQ(Create(nested), "Create Table \"S\".\"P\"(\"K\" NUMBER  NULL,\"R\" VARCHAR2(2) NULL,"
                            "\"ITEMS\" \"S\".\"ITEM_LIST\" NULL) NESTED TABLE \"ITEMS\" STORE AS \"ITEMS_TAB\"\r\n"
                            "PARTITION BY RANGE (\"K\")\r\n( PARTITION \"P1\" VALUES LESS THAN (MAXVALUE)"
                            " Tablespace \"USERS\"\r\n)");
  // Inline keys of partitioned tables.
  TableDefinition keyed = Partitioned(PartitioningMethod::kHash, {Part("H1", std::nullopt)});
  keyed.constraints = {Key("PK", ConstraintKind::kPrimaryKey, {"K"}), Key("UK", ConstraintKind::kUnique, {"K", "R"})};
  EXPECT_EQ(Create(keyed), "Create Table \"S\".\"P\"(\"K\" NUMBER  NULL,\"R\" VARCHAR2(2) NULL,"
                           " CONSTRAINT \"PK\" PRIMARY KEY( \"K\"), CONSTRAINT \"UK\" UNIQUE( \"K\", \"R\"))\r\n"
                           "PARTITION BY HASH (\"K\")\r\n( PARTITION \"H1\"  Tablespace \"USERS\"\r\n)");
  // Partitioned IOT with overflow.
  TableDefinition piot = Partitioned(PartitioningMethod::kHash, {Part("H1", std::nullopt)});
  piot.property = 96;
  piot.iot = IotDefinition{};
  piot.iot->tablespace = "IDX";
  piot.iot->overflow_threshold = 20;
  piot.iot->overflow_tablespace = "OVF";
  EXPECT_EQ(Create(piot), "Create Table \"S\".\"P\"(\"K\" NUMBER  NULL,\"R\" VARCHAR2(2) NULL)"
                          "ORGANIZATION INDEX Tablespace \"IDX\" PCTTHRESHOLD 20 OVERFLOW Tablespace \"OVF\"\r\n"
                          "PARTITION BY HASH (\"K\")\r\n( PARTITION \"H1\"  Tablespace \"USERS\"\r\n)");
}

// A partitioned IOT with an overflow segment: each partition names its own
// overflow tablespace after its own ("PARTITION p ... TABLESPACE a
// OVERFLOW TABLESPACE b"), which Oracle takes only when the table-level
// organisation clause says OVERFLOW.
TEST(TableDdl, PartitionedIotOverflowPerPartition) {
  const auto iot = [](bool table_overflow, std::vector<PartitionDefinition> parts) {
    TableDefinition t = Partitioned(PartitioningMethod::kRange, std::move(parts));
    t.property = 0x20 | 0x40;
    t.constraints = {Key("P_PK", ConstraintKind::kPrimaryKey, {"K"})};
    t.iot = IotDefinition{};
    t.iot->tablespace = "IDX";
    if (table_overflow) t.iot->overflow_tablespace = "OVF";
    return t;
  };
  PartitionDefinition p1 = Part("P1", "10", "TS1");
  p1.overflow_tablespace = "OVF1";
  PartitionDefinition p2 = Part("P2", "MAXVALUE", "TS2");  // its overflow in the table's default
  const std::string head =
      "Create Table \"S\".\"P\"(\"K\" NUMBER  NULL,\"R\" VARCHAR2(2) NULL, CONSTRAINT \"P_PK\" PRIMARY KEY( \"K\"))"
      "ORGANIZATION INDEX Tablespace \"IDX\"";
  struct Case {
    TableDefinition table;
    std::string text;
  };
  const Case cases[] = {
      {iot(true, {p1, p2}),
       head + " OVERFLOW Tablespace \"OVF\"\r\nPARTITION BY RANGE (\"K\")\r\n("
              " PARTITION \"P1\" VALUES LESS THAN (10) Tablespace \"TS1\" OVERFLOW TABLESPACE \"OVF1\","
              " PARTITION \"P2\" VALUES LESS THAN (MAXVALUE) Tablespace \"TS2\"\r\n)"},
      // No overflow at the table level (the dictionary lost it): no
      // partition may name one.
      {iot(false, {p1, p2}),
       head + "\r\nPARTITION BY RANGE (\"K\")\r\n("
              " PARTITION \"P1\" VALUES LESS THAN (10) Tablespace \"TS1\","
              " PARTITION \"P2\" VALUES LESS THAN (MAXVALUE) Tablespace \"TS2\"\r\n)"},
  };
  for (const Case& c : cases) EXPECT_EQ(Create(c.table), c.text);
  // A heap table's partitions never say OVERFLOW, whatever the record says.
  TableDefinition heap = Partitioned(PartitioningMethod::kRange, {p1});
  EXPECT_EQ(Create(heap).find("OVERFLOW"), std::string::npos);
}

// Composite partitioning as a subpartition template makes it: the dictionary
// holds every partition's subpartitions, which are written out per
// partition (the template itself, DEFSUBPART$, is not read). Interval comes
// before the subpartitioning, as Oracle's syntax orders them.
TEST(TableDdl, CompositePartitionsFromATemplateAreWrittenOut) {
  TableDefinition t = Partitioned(PartitioningMethod::kRange, {Part("P1", "100"), Part("SYS_P41", "200")});
  t.partitioning->interval = "100";
  t.partitioning->subpartitioning = PartitioningMethod::kHash;
  t.partitioning->subpartition_key_columns = {{"R", 2}};
  t.partitions[0].subpartitions = {Part("P1_S1", std::nullopt, "TS1"), Part("P1_S2", std::nullopt, "TS2")};
  t.partitions[1].subpartitions = {Part("SYS_SUBP42", std::nullopt, "TS1"), Part("SYS_SUBP43", std::nullopt, "TS2")};
  EXPECT_EQ(Create(t), "Create Table \"S\".\"P\"(\"K\" NUMBER  NULL,\"R\" VARCHAR2(2) NULL)\r\n"
                       "PARTITION BY RANGE (\"K\")\r\ninterval(100)\r\nSUBPARTITION BY HASH (\"R\")\r\n("
                       " PARTITION \"P1\" VALUES LESS THAN (100) Tablespace \"USERS\"\r\n("
                       "SUBPARTITION \"P1_S1\"  Tablespace \"TS1\",SUBPARTITION \"P1_S2\"  Tablespace \"TS2\"\r\n),"
                       " PARTITION \"SYS_P41\" VALUES LESS THAN (200) Tablespace \"USERS\"\r\n("
                       "SUBPARTITION \"SYS_SUBP42\"  Tablespace \"TS1\",SUBPARTITION \"SYS_SUBP43\"  Tablespace \"TS2\""
                       "\r\n)\r\n)");
}

TEST(TableDdl, ColumnDefaults) {
  ColumnDefinition a = Col("A", 1, type_code::kDate);
  a.default_text = "SYSDATE";
  ColumnDefinition v = Col("V", 2, type_code::kNumber);
  v.is_virtual = true;
  v.default_text = "1+1";
  ColumnDefinition b = Col("B", 3, type_code::kVarchar2, 1);
  b.default_text = "'N'";
  ColumnDefinition bad = Col("X\"Y", 4, type_code::kVarchar2, 1);
  bad.default_text = "'N'";
  const std::vector<TableDefinition> tables = {Table("S", "T", {a, v, b, bad}), Table("S", "U", {Col("C", 1, 1)})};
  RecorderSink sink;
  ApplyColumnDefaults(tables, sink);
  const std::vector<std::string> expected = {
      "ALTER TABLE \"S\".\"T\" MODIFY(\"A\" DEFAULT SYSDATE)",
      "ALTER TABLE \"S\".\"T\" MODIFY(\"B\" DEFAULT 'N')",
  };
  EXPECT_EQ(sink.Texts(), expected);
  EXPECT_EQ(test::RefusedStatements(sink.Texts()), std::vector<std::string>{});
  EXPECT_EQ(sink.skipped.size(), 1u);
}

}  // namespace
}  // namespace quillon::repair
