#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "reader/packed_codes.h"
#include "repair/code_catalogue.h"
#include "repair/link_ddl.h"
#include "repair/mview_ddl.h"
#include "repair/object_ddl.h"
#include "repair/script_writer.h"
#include "support/oracle_grammar.h"

namespace quillon::repair {
namespace {

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST(LinkDdl, LinksByOwnerUserAndPassword) {
  struct Case {
    const char* owner;
    const char* user;
    const char* password;
    const char* text;           // empty: not created
    const char* session_user;
    const char* query_file;
  };
  const Case cases[] = {
      // A user and no recorded password (10g R2 on keeps a hash): the
      // ten-asterisk placeholder, in the owner's session, never a dotted name.
      {"HR", "SCOTT", "",
       "CREATE DATABASE LINK HQ.EXAMPLE.COM\n  CONNECT TO \"SCOTT\" IDENTIFIED BY \"**********\"\n  USING 'hq:1521/HQ'",
       "HR", "QueryOfDatabaseLink.txt"},
      // A clear password of an old release is not written either, and
      // there is exactly one IDENTIFIED BY.
      {"HR", "SCOTT", "TIGER",
       "CREATE DATABASE LINK HQ.EXAMPLE.COM\n  CONNECT TO \"SCOTT\" IDENTIFIED BY \"**********\"\n  USING 'hq:1521/HQ'",
       "HR", "QueryOfDatabaseLink.txt"},
      {"PUBLIC", "", "", "CREATE PUBLIC DATABASE LINK HQ.EXAMPLE.COM\n  USING 'hq:1521/HQ'", "",
       "QueryOfDatabaseLink.txt"},
      {"SYSTEM", "", "", "CREATE DATABASE LINK HQ.EXAMPLE.COM\n  USING 'hq:1521/HQ'", "SYSTEM", ""},
      {"SYS", "SCOTT", "", "", "", ""},
  };
  for (const Case& c : cases) {
    test::CodeCatalogue db;
    DatabaseLinkRecord link;
    link.owner_number = db.User(c.owner);
    link.name = "HQ.EXAMPLE.COM";
    link.host = "hq:1521/HQ";
    link.user_name = c.user;
    link.password = c.password;
    db.cat.database_links.Append(link);
    RecorderSink sink;
    CreateDatabaseLinks(db.cat, sink);
    if (std::string(c.text).empty()) {
      EXPECT_TRUE(sink.statements.empty());
      EXPECT_TRUE(sink.skipped.empty());  // SYS's are not re-created at all
      continue;
    }
    ASSERT_EQ(sink.statements.size(), 1u) << c.owner;
    const Statement& s = sink.statements[0];
    EXPECT_EQ(s.text, c.text);
    EXPECT_EQ(test::OracleGrammar::Check(s.Render(kPasswordMask)), "");
    EXPECT_EQ(s.session_user, c.session_user);
    EXPECT_EQ(s.query_file, c.query_file);
    EXPECT_EQ(s.text.find("TIGER"), std::string::npos);
    EXPECT_LE(Count(s.text, "IDENTIFIED BY"), 1u);
    EXPECT_EQ(s.text.find("\"HR\"."), std::string::npos);
  }
}

TEST(LinkDdl, ScriptConnectsAsTheOwnerForItsLinksAndBack) {
  test::CodeCatalogue db;
  const std::uint32_t hr = db.User("HR");
  for (const char* name : {"A.EXAMPLE.COM", "B.EXAMPLE.COM"}) {
    DatabaseLinkRecord link;
    link.owner_number = hr;
    link.name = name;
    link.host = "x";
    db.cat.database_links.Append(link);
  }
  DatabaseLinkRecord pub;
  pub.owner_number = db.User("PUBLIC");
  pub.name = "P";
  pub.host = "p";
  db.cat.database_links.Append(pub);
  std::ostringstream out;
  ScriptWriter writer(out, "t");
  writer.BeginPhase(kPhaseDatabaseLink);
  CreateDatabaseLinks(db.cat, writer);
  writer.Finish();
  const std::string script = out.str();
  const std::size_t connect = script.find("CONNECT \"HR\"\n");
  const std::size_t first = script.find("CREATE DATABASE LINK A.EXAMPLE.COM");
  const std::size_t second = script.find("CREATE DATABASE LINK B.EXAMPLE.COM");
  const std::size_t back = script.find("CONNECT SYSTEM\n");
  const std::size_t pub_at = script.find("CREATE PUBLIC DATABASE LINK P");
  ASSERT_NE(connect, std::string::npos) << script;
  EXPECT_LT(connect, first);
  EXPECT_LT(first, second);
  EXPECT_LT(second, back);
  EXPECT_LT(back, pub_at);
  // One connection for both links, and the session settings again after it.
  EXPECT_EQ(Count(script, "CONNECT \"HR\""), 1u);
  EXPECT_EQ(Count(script, "CONNECT SYSTEM"), 1u);
  EXPECT_EQ(Count(script, "ALTER SESSION SET NLS_DATE_LANGUAGE=AMERICAN"), 2u);
}

TEST(MviewDdl, LogClausesByFlag) {
  struct Case {
    std::uint64_t flag;
    const char* columns;
    const char* clauses;
  };
  const Case cases[] = {
      {17, "", " WITH ROWID INCLUDING NEW VALUES"},
      {33, "", " WITH ROWID EXCLUDING NEW VALUES"},
      {82, "", " WITH PRIMARY KEY INCLUDING NEW VALUES"},
      {8274, "", " WITH PRIMARY KEY INCLUDING NEW VALUES"},  // the same as 82
      {83, "", " WITH PRIMARY KEY, ROWID INCLUDING NEW VALUES"},
      {98, "", " WITH PRIMARY KEY EXCLUDING NEW VALUES"},
      {1041, "", " WITH ROWID, SEQUENCE INCLUDING NEW VALUES"},
      {1107, "", " WITH PRIMARY KEY, ROWID, SEQUENCE INCLUDING NEW VALUES"},
      {1123, "", " WITH PRIMARY KEY, ROWID, SEQUENCE EXCLUDING NEW VALUES"},
      {87, "\"SALARY\", \"DEPT\"", " WITH PRIMARY KEY, ROWID (\"SALARY\", \"DEPT\") INCLUDING NEW VALUES"},
      {4 | 16, "\"SALARY\"", " WITH (\"SALARY\") INCLUDING NEW VALUES"},
      {8192, "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MaterializedViewLogClauses(c.flag, c.columns), c.clauses) << c.flag;
  }
}

TEST(MviewDdl, LogDropsTheLogTableTheTablesPhaseMade) {
  test::CodeCatalogue db;
  db.Object(ObjectKind::kTable, "HR", "MLOG$_EMPLOYEES");
  MaterializedViewLogRecord log;
  log.master_owner = "HR";
  log.master = "EMPLOYEES";
  log.log_table = "MLOG$_EMPLOYEES";
  log.flag = 0x02 | 0x04 | 0x10;
  db.cat.materialized_view_logs.Append(log);
  MaterializedViewLogColumnRecord col;
  col.master_owner = "HR";
  col.master = "EMPLOYEES";
  col.column_name = "SALARY";
  db.cat.materialized_view_log_columns.Append(col);
  RecorderSink sink;
  CreateMaterializedViewLogs(db.cat, sink);
  ASSERT_EQ(sink.statements.size(), 2u);
  EXPECT_EQ(sink.statements[0].text, "DROP TABLE \"HR\".\"MLOG$_EMPLOYEES\"");
  EXPECT_EQ(sink.statements[1].text,
            "CREATE MATERIALIZED VIEW LOG ON \"HR\".\"EMPLOYEES\" WITH PRIMARY KEY (\"SALARY\") INCLUDING NEW VALUES");
  EXPECT_EQ(test::RefusedStatements(sink.Texts()), std::vector<std::string>{});
}

TEST(MviewDdl, ViewsByRefreshModeAndFlags) {
  struct Case {
    std::uint32_t refresh_mode;  // SUM$.REFRESHMODE
    std::uint64_t snap_flag;
    bool container_table;
    const char* text;
  };
  const Case cases[] = {
      {2, 0x20, true,
       "CREATE MATERIALIZED VIEW \"HR\".\"MV\"\n  ON PREBUILT TABLE\n  REFRESH FAST ON DEMAND WITH PRIMARY KEY\n"
       "  AS select 1 x from hr.t"},
      // NEVER REFRESH stands alone: no ON DEMAND, no NEXT.
      {0, 0x10, false, "CREATE MATERIALIZED VIEW \"HR\".\"MV\"\n  BUILD IMMEDIATE\n  NEVER REFRESH\n  AS select 1 x from hr.t"},
      {3, 0x10 | 0x02, false,
       "CREATE MATERIALIZED VIEW \"HR\".\"MV\"\n  BUILD IMMEDIATE\n  REFRESH COMPLETE ON DEMAND WITH ROWID\n"
       "  FOR UPDATE\n  AS select 1 x from hr.t"},
      {1, 0, false, "CREATE MATERIALIZED VIEW \"HR\".\"MV\"\n  BUILD IMMEDIATE\n  REFRESH FORCE ON DEMAND\n  AS select 1 x from hr.t"},
  };
  for (const Case& c : cases) {
    test::CodeCatalogue db;
    const std::uint32_t mv = db.Object(ObjectKind::kMaterializedView, "HR", "MV");
    if (c.container_table) db.Object(ObjectKind::kTable, "HR", "MV");
    MaterializedViewRecord sum;
    sum.object_number = mv;
    sum.refresh_mode = static_cast<std::uint16_t>(PackedCode(c.refresh_mode));
    db.cat.materialized_views.Append(sum);
    SnapshotRecord snap;
    snap.owner = "HR";
    snap.name = "MV";
    snap.table_name = "MV";
    snap.flag = c.snap_flag;
    snap.query = "select 1 x from hr.t\n";
    db.cat.snapshots.Append(snap);
    RecorderSink sink;
    ASSERT_TRUE(GenerateObjectDdl(db.cat, mv, sink));
    ASSERT_EQ(sink.statements.size(), 1u);
    EXPECT_EQ(sink.statements[0].text, c.text);
    EXPECT_EQ(sink.statements[0].text.find("NEXT"), std::string::npos);
    EXPECT_EQ(test::OracleGrammar::Check(sink.statements[0].text), "");
  }
}

}  // namespace
}  // namespace quillon::repair
