#include <gtest/gtest.h>

#include "browse/catalogue_builder.h"
#include "browse/tree_generate.h"
#include "browse/tree_icons.h"

namespace quillon {
namespace {

using test::CatalogueBuilder;

class TreeGenerateTest : public ::testing::Test {
 protected:
  TreeGenerateTest() : build(engine) { engine.identification.block_size = 8192; }

  void AddDatafile(const std::string& path) {
    DatafileEntry e;
    e.file_name = path;
    e.full_path = path;
    engine.datafiles.Append(e);
  }

  NullSink sink;
  StopFlag stop;
  COracleRecoveryTools engine{sink, stop};
  CatalogueBuilder build;
};

// The whole tree of a small schema: every branch, every folder,
// the captions, the check boxes and the order of the nodes.
TEST_F(TreeGenerateTest, WholeTreeOutline) {
  const std::uint32_t scott = build.User("SCOTT");
  const std::uint32_t hr = build.User("HR", false);
  build.User("NOBODY");
  const std::uint32_t connect = build.Role("CONNECT");

  const std::uint32_t emp = build.Table("SCOTT", "EMP");
  build.Column(emp, "EMPNO", "NUMBER(4, 0)", false, 1, 1);
  build.Column(emp, "ENAME", "VARCHAR2(10)", true, 2, 2);
  build.Column(emp, "SYS_NC00003$", "RAW(16)", true, 0, 0);  // hidden and not stored: no node
  build.Column(emp, "TOTAL", "NUMBER", true, 0, 3);          // hidden but stored: a node
  build.Constraint(emp, constraint_type::kPrimaryKey, "PK_EMP");
  build.Constraint(emp, constraint_type::kCheck, "CK_SAL");
  build.Constraint(emp, constraint_type::kNotNull, "SYS_C001");
  build.Constraint(emp, constraint_type::kUnique, "UK_ENAME");
  build.Constraint(emp, constraint_type::kForeignKey, "FK_DEPT");
  build.Constraint(emp, constraint_type::kViewCheck, "V_CHECK");  // no node
  const std::uint32_t sales = build.Table("scott", "SALES", 0x20);  // owner compared without regard to case
  build.Partition(sales, "P1");
  build.Partition(sales, "P2");
  build.CompositePartition(sales, "NOT_SHOWN");  // only when there are no partitions
  const std::uint32_t comp = build.Table("SCOTT", "COMP", 0x20);
  build.CompositePartition(comp, "C1");
  build.Table("SCOTT", "MLOG$_EMP");

  build.Object(ObjectKind::kView, "HR", "V_OK");
  build.Object(ObjectKind::kView, "HR", "V_BAD", true);
  build.Object(ObjectKind::kFunction, "HR", "F_BAD", true);
  build.Object(ObjectKind::kProcedure, "HR", "P_OK");
  build.Object(ObjectKind::kIndex, "HR", "I1");
  build.Object(ObjectKind::kTrigger, "hr", "T1", true);
  build.Object(ObjectKind::kTypeBody, "HR", "TB");

  build.SystemPrivilegeName(-5, "CREATE SESSION");
  build.TablePrivilegeName(9, "SELECT");
  build.SystemGrant(scott, connect);
  build.SystemGrant(scott, -5);
  build.SystemGrant(connect, -5);
  build.ObjectGrant(hr, emp, 9);
  build.ObjectGrant(connect, emp, 9);
  build.ObjectGrant(hr, 424242, 9);  // an object the catalogue does not have: no node

  build.Tablespace("SYSTEM");
  build.Tablespace("USERS");
  AddDatafile("/data/orcl/SYSTEM01.DBF");
  AddDatafile("/data/orcl/USERS01.DBF");

  MaterializedViewLogRecord log;
  log.master_owner = "SCOTT";
  log.master = "EMP";
  engine.catalogue.materialized_view_logs.Append(log);
  log.master_owner = "scott";  // compared with regard to case: no node
  engine.catalogue.materialized_view_logs.Append(log);
  const std::uint32_t mv = build.Object(ObjectKind::kMaterializedView, "HR", "MV1");
  build.MaterializedView(mv);
  build.MaterializedView(999999);  // no object: an empty caption
  DatabaseLinkRecord link;
  link.owner_number = scott;
  link.name = "REMOTE.WORLD";
  engine.catalogue.database_links.Append(link);

  build.XmlSchema("XDB", "http://xmlns.oracle.com/xdb/XDBSchema.xsd");
  build.XmlSchema("scott", "http://example.com/po.xsd");
  build.XmlSchema("SCOTT", "http://example.com/inv.xsd");

  const ObjectTree tree = GenerateTree(engine, "/data/orcl");
  const char* kFolders =
      "      Clusters\n      Indexes\n      Views\n      Synonyms\n      Sequences\n      Procedures\n"
      "      Functions\n      Triggers\n      Packages\n      Package Bodies\n      Types\n      Type Bodies\n";
  const std::string expected = std::string() +
                               "[x] /data/orcl\n"
                               "  [x] Schema\n"
                               "    [x] SCOTT\n"
                               "      [x] Tables\n"
                               "        [x] EMP\n"
                               "          Columns\n"
                               "            EMPNO NUMBER(4, 0) not null\n"
                               "            ENAME VARCHAR2(10)\n"
                               "            TOTAL NUMBER\n"
                               "          Constraints\n"
                               "            PRIMARY PK_EMP\n"
                               "            CHECK CK_SAL\n"
                               "            CHECK SYS_C001\n"
                               "            UNIQUE UK_ENAME\n"
                               "            FOREIGN FK_DEPT\n"
                               "          Partitions\n"
                               "        [x] SALES\n"
                               "          Columns\n"
                               "          Constraints\n"
                               "          Partitions\n"
                               "            P1\n"
                               "            P2\n"
                               "        [x] COMP\n"
                               "          Columns\n"
                               "          Constraints\n"
                               "          Partitions\n"
                               "            C1\n" +
                               kFolders +
                               "    [x] HR\n"
                               "      Tables\n"
                               "      Clusters\n"
                               "      Indexes\n"
                               "        I1\n"
                               "      Views\n"
                               "        V_OK\n"
                               "        V_BAD\n"
                               "      Synonyms\n"
                               "      Sequences\n"
                               "      Procedures\n"
                               "        P_OK\n"
                               "      Functions\n"
                               "        F_BAD\n"
                               "      Triggers\n"
                               "        T1\n"
                               "      Packages\n"
                               "      Package Bodies\n"
                               "      Types\n"
                               "      Type Bodies\n"
                               "        TB\n"
                               "    [x] NOBODY\n"
                               "      Tables\n" +
                               kFolders +
                               "  Security\n"
                               "    Users\n"
                               "      SCOTT\n"
                               "        Roles Granted\n"
                               "          CONNECT\n"
                               "        System Privileges Granted\n"
                               "          CREATE SESSION\n"
                               "        Object Privileges Granted\n"
                               "      HR\n"
                               "        Roles Granted\n"
                               "        System Privileges Granted\n"
                               "        Object Privileges Granted\n"
                               "          SELECT  ON SCOTT.EMP\n"
                               "      NOBODY\n"
                               "        Roles Granted\n"
                               "        System Privileges Granted\n"
                               "        Object Privileges Granted\n"
                               "    Roles\n"
                               "      CONNECT\n"
                               "        Roles Granted\n"
                               "        System Privileges Granted\n"
                               "          CREATE SESSION\n"
                               "        Object Privileges Granted\n"
                               "          SELECT  ON SCOTT.EMP\n"
                               "  Storage\n"
                               "    TableSpaces\n"
                               "      SYSTEM\n"
                               "      USERS\n"
                               "    DataFiles\n"
                               "      SYSTEM01.DBF\n"
                               "      USERS01.DBF\n"
                               "  Distributed\n"
                               "    Materialized View Logs\n"
                               "      SCOTT.EMP\n"
                               "    Materialized Views\n"
                               "      HR.MV1\n"
                               "      \n"
                               "    Database Links\n"
                               "      SCOTT\n"
                               "        REMOTE.WORLD\n"
                               "      HR\n"
                               "      NOBODY\n"
                               "  XML Schema\n"
                               "    scott\n"
                               "      XML URL\n"
                               "        http://example.com/po.xsd\n"
                               "        http://example.com/inv.xsd\n";
  EXPECT_EQ(tree.Outline(), expected);

  // The shown tables, as stored, in tree order.
  ASSERT_EQ(tree.shown_tables().size(), 3u);
  EXPECT_EQ(tree.shown_tables()[0].text, "SCOTT.EMP");
  EXPECT_EQ(tree.shown_tables()[0].object_number, emp);
  EXPECT_EQ(tree.shown_tables()[1].text, "scott.SALES");
  EXPECT_EQ(tree.shown_tables()[2].text, "SCOTT.COMP");

  // Icons by role.
  struct IconCase {
    std::vector<std::string_view> path;
    int icon;
  };
  const IconCase icons[] = {
      {{}, tree_icon::kRoot},
      {{"Schema"}, tree_icon::kSchema},
      {{"Schema", "SCOTT"}, tree_icon::kOwner},
      {{"Schema", "SCOTT", "Tables"}, tree_icon::kFolderClosed},
      {{"Schema", "SCOTT", "Tables", "EMP"}, tree_icon::kTable},
      {{"Schema", "SCOTT", "Tables", "EMP", "Columns", "ENAME VARCHAR2(10)"}, tree_icon::kColumn},
      {{"Schema", "SCOTT", "Tables", "EMP", "Constraints", "PRIMARY PK_EMP"}, tree_icon::kPrimaryKey},
      {{"Schema", "SCOTT", "Tables", "EMP", "Constraints", "CHECK SYS_C001"}, tree_icon::kCheckConstraint},
      {{"Schema", "SCOTT", "Tables", "EMP", "Constraints", "UNIQUE UK_ENAME"}, tree_icon::kUniqueKey},
      {{"Schema", "SCOTT", "Tables", "EMP", "Constraints", "FOREIGN FK_DEPT"}, tree_icon::kForeignKey},
      {{"Schema", "SCOTT", "Tables", "SALES", "Partitions", "P1"}, tree_icon::kPartition},
      {{"Schema", "HR", "Views", "V_OK"}, tree_icon::kView},
      {{"Schema", "HR", "Views", "V_BAD"}, tree_icon::kViewInvalid},
      {{"Schema", "HR", "Functions", "F_BAD"}, tree_icon::kFunctionInvalid},
      {{"Schema", "HR", "Procedures", "P_OK"}, tree_icon::kProcedure},
      {{"Schema", "HR", "Triggers", "T1"}, tree_icon::kTriggerInvalid},
      {{"Schema", "HR", "Indexes", "I1"}, tree_icon::kIndex},
      {{"Schema", "HR", "Type Bodies", "TB"}, tree_icon::kTypeBody},
      {{"Security"}, tree_icon::kSecurity},
      {{"Security", "Users"}, tree_icon::kUsers},
      {{"Security", "Users", "SCOTT"}, tree_icon::kUserOpen},
      {{"Security", "Users", "HR"}, tree_icon::kUserClosed},
      {{"Security", "Users", "SCOTT", "Roles Granted", "CONNECT"}, tree_icon::kRole},
      {{"Security", "Users", "SCOTT", "System Privileges Granted", "CREATE SESSION"}, tree_icon::kSystemPrivilege},
      {{"Security", "Users", "HR", "Object Privileges Granted"}, tree_icon::kUserObjectPrivilege},
      {{"Security", "Users", "HR", "Object Privileges Granted", "SELECT  ON SCOTT.EMP"},
       tree_icon::kUserObjectPrivilege},
      {{"Security", "Roles", "CONNECT", "Object Privileges Granted"}, tree_icon::kRoleObjectPrivilege},
      {{"Security", "Roles", "CONNECT", "Object Privileges Granted", "SELECT  ON SCOTT.EMP"},
       tree_icon::kRoleObjectPrivilege},
      {{"Storage", "TableSpaces", "USERS"}, tree_icon::kTablespace},
      {{"Storage", "DataFiles", "USERS01.DBF"}, tree_icon::kDatafile},
      {{"Distributed"}, tree_icon::kDistributed},
      {{"Distributed", "Materialized View Logs", "SCOTT.EMP"}, tree_icon::kMaterializedViewLog},
      {{"Distributed", "Materialized Views", "HR.MV1"}, tree_icon::kMaterializedView},
      {{"Distributed", "Database Links", "SCOTT"}, tree_icon::kOwner},
      {{"Distributed", "Database Links", "SCOTT", "REMOTE.WORLD"}, tree_icon::kDatabaseLink},
      {{"XML Schema"}, tree_icon::kXmlSchema},
      {{"XML Schema", "scott"}, tree_icon::kOwner},
      {{"XML Schema", "scott", "XML URL", "http://example.com/po.xsd"}, tree_icon::kXmlUrl},
  };
  for (const auto& c : icons) {
    const auto id = tree.Find(c.path);
    const std::string_view last = c.path.empty() ? "root" : c.path.back();
    ASSERT_TRUE(id) << last;
    EXPECT_EQ(tree.node(*id).icon, c.icon) << last;
  }

  // Expanded: the root, Security, Storage, Distributed, XML Schema; owners collapsed.
  const std::vector<std::vector<std::string_view>> expanded = {{}, {"Security"}, {"Storage"}, {"Distributed"},
                                                              {"XML Schema"}};
  for (const auto& path : expanded) {
    EXPECT_TRUE(tree.node(*tree.Find(path)).expanded);
  }
  EXPECT_FALSE(tree.node(*tree.Find({"Schema", "SCOTT"})).expanded);
}

// Which tables are shown, and when the owner's Tables
// folder gets its box.
TEST_F(TreeGenerateTest, WhichTablesAreShown) {
  struct Case {
    const char* name;
    std::uint64_t property;
    std::uint64_t spare1;
    std::uint64_t trigger_flags;
    std::uint32_t flags_code;
    std::uint32_t block_size;
    bool shown;
    bool folder_checked;
  };
  const Case cases[] = {
      {"EMP", 0, 736, 0, 0x80, 8192, true, true},
      {"MLOG$_EMP", 0, 736, 0, 0x80, 8192, false, false},  // a materialized view log: hidden
      {"mlog$_emp", 0, 736, 0, 0x80, 8192, true, true},    // compared with regard to case
      {"RUPD$_EMP", 0, 736, 0, 0x80, 8192, false, false},
      {"USLOG$_EMP", 0, 736, 0, 0x80, 8192, false, false},
      {"USLOG_EMP", 0, 736, 0, 0x80, 8192, true, true},
      {"AQ$_QUEUE", 0x26000000, 736, 0, 0x80, 8192, false, false},  // internal kinds
      {"XDB_TAB", 0x20000004, 736, 0, 0x80, 8192, false, false},
      {"PART", 0x20, 736, 0, 0x80, 8192, true, true},
      // Dropped after the Tables folder got its box.
      {"sys_iot_over_123", 0, 736, 0, 0x80, 8192, false, true},
      {"SYS_IOT_OVER_9", 0, 736, 0, 0x80, 8192, false, true},
      {"COMPRESSED", 0, 737, 0, 0x80, 8192, false, true},
      {"MINIMIZED", 0, 0x8000 | 200, 0, 0x80, 8192, true, true},  // MINIMIZE RECORDS_PER_BLOCK
      {"BIG_BLOCKS", 0, 1481, 0, 0x80, 16384, true, true},          // uncompressed in 16 KB blocks
      {"BIG_COMPRESSED", 0, 32000, 0, 0x80, 16384, false, true},
      {"ENCRYPTED", 0, 736, 0x10000, 0x80, 8192, false, true},
      {"USER_KEY", 0, 736, 0x20000, 0x80, 8192, false, true},
      {"BOTH_KEYS", 0, 736, 0x30000, 0x80, 8192, false, true},
      {"ENCRYPTED_LOGGED", 0, 736, 0x10002, 0x80, 8192, false, true},  // with a snapshot log bit
      {"TRIGGERED", 0, 736, 0x02, 0x80, 8192, true, true},
      {"BIN$ABC==$0", 0, 736, 0, 0x1D02C2, 8192, false, true},  // in the recycle bin
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    NullSink s;
    StopFlag st;
    COracleRecoveryTools e(s, st);
    e.identification.block_size = c.block_size;
    CatalogueBuilder b(e);
    b.User("SCOTT");
    b.Table("SCOTT", c.name, c.property, c.spare1, c.trigger_flags, c.flags_code);
    const ObjectTree tree = GenerateTree(e, "DB");
    EXPECT_EQ(tree.shown_tables().size(), c.shown ? 1u : 0u);
    EXPECT_EQ(tree.Find({"Schema", "SCOTT", "Tables", c.name}).has_value(), c.shown);
    const auto folder = tree.Find({"Schema", "SCOTT", "Tables"});
    ASSERT_TRUE(folder);
    EXPECT_EQ(tree.node(*folder).state, c.folder_checked ? CheckState::kChecked : CheckState::kNone);
  }
}

TEST_F(TreeGenerateTest, TableObjectWithoutTableRecordIsShown) {
  build.User("SCOTT");
  build.Object(ObjectKind::kTable, "SCOTT", "NO_TAB_ROW");
  const ObjectTree tree = GenerateTree(engine, "DB");
  ASSERT_EQ(tree.shown_tables().size(), 1u);
  EXPECT_EQ(tree.shown_tables()[0].text, "SCOTT.NO_TAB_ROW");
}

TEST_F(TreeGenerateTest, EmptyCatalogueStillHasEveryBranch) {
  const ObjectTree tree = GenerateTree(engine, "DB");
  EXPECT_EQ(tree.Outline(),
            "[x] DB\n  [x] Schema\n  Security\n    Users\n    Roles\n  Storage\n    TableSpaces\n"
            "    DataFiles\n  Distributed\n    Materialized View Logs\n    Materialized Views\n"
            "    Database Links\n  XML Schema\n");
  EXPECT_TRUE(tree.shown_tables().empty());
}

TEST(UncompressedRowLimit, GrowsWithTheBlockSize) {
  EXPECT_EQ(UncompressedRowLimit(2048), 736u);
  EXPECT_EQ(UncompressedRowLimit(8192), 736u);
  EXPECT_GT(UncompressedRowLimit(16384), 1481u);
  EXPECT_GT(UncompressedRowLimit(32768), 2 * 1481u);
  EXPECT_LT(UncompressedRowLimit(32768), 0x7FFFu);
}

}  // namespace
}  // namespace quillon
