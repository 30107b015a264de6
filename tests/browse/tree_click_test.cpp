#include <gtest/gtest.h>

#include "browse/catalogue_builder.h"
#include "browse/tree_click.h"
#include "browse/tree_generate.h"
#include "reader/packed_codes.h"
#include "testdb/describe.h"
#include "testdb/sample_database.h"

namespace quillon {
namespace {

using Kind = ClickRequest::Kind;

ClickRequest Script(int kind, std::string label, std::string key) {
  ClickRequest r;
  r.kind = Kind::kScriptPreview;
  r.script_kind = kind;
  r.label = std::move(label);
  r.key = std::move(key);
  return r;
}
ClickRequest Clear() {
  ClickRequest r;
  r.kind = Kind::kClearPane;
  return r;
}
ClickRequest Records(std::size_t index) {
  ClickRequest r;
  r.kind = Kind::kRecordView;
  r.table_index = index;
  return r;
}

class TreeClickTest : public ::testing::Test {
 protected:
  TreeClickTest() : build(engine) {
    build.User("SCOTT");
    build.Table("SCOTT", "DEPT");
    build.Table("SCOTT", "EMP");
    build.Table("SCOTT", "PURCHASES", 0x20200813);  // an XMLType table
  }
  NullSink sink;
  StopFlag stop;
  COracleRecoveryTools engine{sink, stop};
  test::CatalogueBuilder build;
};

// The request of a click as a function of the captions: caption, P, G, GG.
TEST_F(TreeClickTest, RequestsByCaptions) {
  struct Case {
    ClickCaptions captions;
    ClickRequest expected;
  };
  const Case cases[] = {
      {{"EMP", "Tables", "SCOTT", "Schema"}, Records(1)},
      {{"DEPT", "Tables", "SCOTT", "Schema"}, Records(0)},
      {{"PURCHASES", "Tables", "SCOTT", "Schema"},
       [] {
         ClickRequest r = Script(script_kind::kXmlTable, "XML Table  SCOTT.PURCHASES", "");
         r.table_index = 2;
         return r;
       }()},
      {{"NOPE", "Tables", "SCOTT", "Schema"}, ClickRequest{}},  // no such table: ignored
      {{"emp", "Tables", "SCOTT", "Schema"}, ClickRequest{}},   // compared with regard to case
      {{"I_EMP", "Indexes", "SCOTT", "Schema"}, Script(1, "Index SCOTT.I_EMP", "SCOTT.I_EMP")},
      {{"C1", "Clusters", "SCOTT", "Schema"}, Script(2, "Cluster SCOTT.C1", "SCOTT.C1")},
      {{"V", "Views", "SCOTT", "Schema"}, Script(3, "View SCOTT.V", "SCOTT.V")},
      {{"S", "Synonyms", "SCOTT", "Schema"}, Script(4, "Synonym SCOTT.S", "SCOTT.S")},
      {{"Q", "Sequences", "SCOTT", "Schema"}, Script(5, "Sequence SCOTT.Q", "SCOTT.Q")},
      {{"P", "Procedures", "SCOTT", "Schema"}, Script(6, "Procedure SCOTT.P", "SCOTT.P")},
      {{"F", "Functions", "SCOTT", "Schema"}, Script(7, "Function SCOTT.F", "SCOTT.F")},
      {{"K", "Packages", "SCOTT", "Schema"}, Script(8, "Package SCOTT.K", "SCOTT.K")},
      {{"K", "Package Bodies", "SCOTT", "Schema"}, Script(9, "Package Body SCOTT.K", "SCOTT.K")},
      {{"T", "Triggers", "SCOTT", "Schema"}, Script(10, " Trigger SCOTT.T", "SCOTT.T")},
      {{"TY", "Types", "SCOTT", "Schema"}, Script(11, "Type SCOTT.TY", "SCOTT.TY")},
      {{"TY", "Type Bodies", "SCOTT", "Schema"}, Script(12, "Type Body SCOTT.TY", "SCOTT.TY")},
      {{"CHECK CK_SAL", "Constraints", "EMP", "Tables"}, Script(13, "Check CK_SAL", "CHECK CK_SAL")},
      {{"PRIMARY PK_EMP", "Constraints", "EMP", "Tables"}, Script(13, "Primary Key PK_EMP", "PRIMARY PK_EMP")},
      {{"UNIQUE UK", "Constraints", "EMP", "Tables"}, Script(13, "Unique Key UK", "UNIQUE UK")},
      {{"FOREIGN FK", "Constraints", "EMP", "Tables"}, Script(14, "Foreign Key FK", "FOREIGN FK")},
      {{"C", "Constraints", "EMP", "Tables"}, Script(13, "Check ", "C")},  // shorter than its prefix
      {{"SCOTT.MV", "Materialized Views", "Distributed", "DB"}, Script(15, "SCOTT.MV", "SCOTT.MV")},
      {{"SCOTT.EMP", "Materialized View Logs", "Distributed", "DB"}, Script(16, "SCOTT.EMP", "SCOTT.EMP")},
      {{"REMOTE", "SCOTT", "Database Links", "Distributed"}, Script(17, "REMOTE", "REMOTE")},
      {{"CONNECT", "Roles Granted", "SCOTT", "Users"}, Script(18, "SCOTT.CONNECT", "SCOTT.CONNECT")},
      {{"CREATE SESSION", "System Privileges Granted", "SCOTT", "Users"},
       Script(18, "SCOTT.CREATE SESSION", "SCOTT.CREATE SESSION")},
      {{"SELECT  ON HR.REGIONS", "Object Privileges Granted", "SCOTT", "Users"},
       Script(19, "SCOTT.SELECT  ON HR.REGIONS", "SCOTT.SELECT  ON HR.REGIONS")},
      {{"CREATE SESSION", "System Privileges Granted", "CONNECT", "Roles"},
       Script(20, "CREATE SESSION", "CONNECT.CREATE SESSION")},
      {{"SELECT  ON HR.REGIONS", "Object Privileges Granted", "CONNECT", "Roles"},
       Script(21, "SELECT  ON HR.REGIONS", "CONNECT.SELECT  ON HR.REGIONS")},
      {{"http://x/po.xsd", "XML URL", "scott", "XML Schema"}, Script(22, "http://x/po.xsd", "http://x/po.xsd")},
      // Nodes that ask for nothing: the right pane is emptied.
      {{"Tables", "SCOTT", "Schema", "DB"}, Clear()},
      {{"SCOTT", "Schema", "DB", ""}, Clear()},
      {{"EMPNO NUMBER not null", "Columns", "EMP", "Tables"}, Clear()},
      {{"P1", "Partitions", "SALES", "Tables"}, Clear()},
      {{"USERS", "TableSpaces", "Storage", "DB"}, Clear()},
      {{"SYSTEM01.DBF", "DataFiles", "Storage", "DB"}, Clear()},
      {{"SCOTT", "Users", "Security", "DB"}, Clear()},
      {{"CONNECT", "Roles", "Security", "DB"}, Clear()},
      {{"Schema", "DB", "", ""}, Clear()},
      {{"DB", "", "", "", true}, Clear()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.captions.caption) + " / " + std::string(c.captions.parent));
    const ClickRequest r = RequestForCaptions(c.captions, engine.catalogue);
    EXPECT_EQ(r.kind, c.expected.kind);
    EXPECT_EQ(r.script_kind, c.expected.script_kind);
    EXPECT_EQ(r.label, c.expected.label);
    EXPECT_EQ(r.key, c.expected.key);
    EXPECT_EQ(r.table_index, c.expected.table_index);
  }
}

// XMLType tables are recognised as the table DDL recognises them: by the
// TAB$ property bits, or as an object table whose row is a SYS_NC_ROWINFO$
// of XMLType (the property alone does not say so).
TEST_F(TreeClickTest, XmlTypeTablesShowTheirScript) {
  const auto xml_row = [&](std::uint32_t table, std::uint32_t type) {
    ColumnInfo c;
    c.object_number = table;
    c.name = "SYS_NC_ROWINFO$";
    c.column_number = 1;
    c.internal_column = 2;
    c.type_code = type;
    engine.catalogue.columns.Append(c);
  };
  xml_row(build.Table("SCOTT", "RESUMES", 0x801), type_code::kXmlType);
  xml_row(build.Table("SCOTT", "ADDRESSES", 0x801), PackedCode(2));  // an object table of another type
  build.Table("SCOTT", "NOT_OBJECT", 0x20200812);                    // XMLType bits without the object bit
  build.Table("SCOTT", "CLOB_XML", 0x20200803);
  struct Case {
    const char* table;
    bool script;
    std::size_t index;
  };
  const Case cases[] = {
      {"PURCHASES", true, 2}, {"RESUMES", true, 3}, {"ADDRESSES", false, 4}, {"NOT_OBJECT", false, 5},
      {"CLOB_XML", true, 6},  {"EMP", false, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.table);
    const ClickRequest r = RequestForCaptions({c.table, "Tables", "SCOTT", "Schema"}, engine.catalogue);
    EXPECT_EQ(r.table_index, c.index);
    if (c.script) {
      EXPECT_EQ(r.kind, Kind::kScriptPreview);
      EXPECT_EQ(r.script_kind, script_kind::kXmlTable);
      EXPECT_EQ(r.label, std::string("XML Table  SCOTT.") + c.table);
    } else {
      EXPECT_EQ(r.kind, Kind::kRecordView);
    }
  }
}

// The sample database's XMLType table (an object table whose TAB$ property
// carries no XMLType bits) opens its script, as its CREATE TABLE ... of
// XMLTYPE says it should; its other tables open their rows.
TEST(TreeClickSample, XmlTypeTableOfTheSampleDatabase) {
  const testdb::GeneratedDatabase db =
      testdb::BuildDatabase(testdb::SampleSchema("11.2"), *testdb::FindGeneratorRelease("11.2"), 8192, 1);
  Catalogue cat;
  testdb::DescribeCatalogue(db, cat);
  const ClickRequest xml = RequestForCaptions({"EMP_RESUMES_XML", "Tables", "HR", "Schema"}, cat);
  EXPECT_EQ(xml.kind, Kind::kScriptPreview);
  EXPECT_EQ(xml.script_kind, script_kind::kXmlTable);
  EXPECT_EQ(xml.label, "XML Table  HR.EMP_RESUMES_XML");
  EXPECT_EQ(RequestForCaptions({"EMPLOYEES", "Tables", "HR", "Schema"}, cat).kind, Kind::kRecordView);
}

TEST_F(TreeClickTest, ClicksOnTheGeneratedTree) {
  const ObjectTree tree = GenerateTree(engine, "DB");
  EXPECT_EQ(RequestForClick(tree, *tree.Find({"Schema", "SCOTT", "Tables", "EMP"}), engine.catalogue), Records(1));
  EXPECT_EQ(RequestForClick(tree, *tree.Find({"Schema", "SCOTT", "Tables"}), engine.catalogue), Clear());
  EXPECT_EQ(RequestForClick(tree, *tree.Find({"Schema", "SCOTT"}), engine.catalogue), Clear());
  EXPECT_EQ(RequestForClick(tree, tree.root(), engine.catalogue), Clear());
  // Without tables in the catalogue, or with a bare root, nothing happens.
  NullSink s;
  StopFlag st;
  COracleRecoveryTools empty(s, st);
  EXPECT_EQ(RequestForClick(tree, tree.root(), empty.catalogue), ClickRequest{});
  const ObjectTree bare("DB");
  EXPECT_EQ(RequestForClick(bare, bare.root(), engine.catalogue), ClickRequest{});
}

}  // namespace
}  // namespace quillon
