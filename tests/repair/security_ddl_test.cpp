#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "repair/security_ddl.h"
#include "repair/security_catalogue.h"
#include "support/oracle_grammar.h"

namespace quillon::repair {
namespace {

TEST(SecurityDdl, RolesByAuthenticationKind) {
  struct Case {
    const char* identification;
    const char* text;  // with the preview's password mask
    bool has_password;
  };
  const Case cases[] = {
      {"NONE", "CREATE ROLE \"APP_ROLE\"", false},
      {"GLOBAL", "CREATE ROLE \"APP_ROLE\" IDENTIFIED GLOBALLY", false},
      {"EXTERNAL", "CREATE ROLE \"APP_ROLE\" IDENTIFIED EXTERNALLY", false},
      {"KESTON", "CREATE ROLE \"APP_ROLE\" IDENTIFIED BY \"********\"", true},
  };
  for (const Case& c : cases) {
    test::SecurityCatalogue db;
    db.Role("APP_ROLE", c.identification);
    RecorderSink sink;
    CreateRoles(db.source(), sink);
    ASSERT_EQ(sink.statements.size(), 1u) << c.identification;
    EXPECT_EQ(sink.Texts()[0], c.text);
    EXPECT_EQ(test::RefusedStatements(sink.Texts()), std::vector<std::string>{});
    EXPECT_EQ(sink.statements[0].password_at.has_value(), c.has_password);
    // The target gets the repair password at the password's place.
    if (c.has_password) {
      EXPECT_EQ(sink.statements[0].Render("\"KESTON\""), "CREATE ROLE \"APP_ROLE\" IDENTIFIED BY \"KESTON\"");
    }
    // The statement text itself never holds a password.
    EXPECT_EQ(sink.statements[0].text.find("KESTON"), std::string::npos);
  }
}

TEST(SecurityDdl, UsersByAuthenticationKind) {
  struct Case {
    const char* identification;
    const char* external_name;
    std::int64_t status;
    const char* text;
  };
  const Case cases[] = {
      {"KESTON", "", 0,
       "CREATE USER \"APP\" IDENTIFIED BY \"********\" DEFAULT TABLESPACE \"USERS\" PASSWORD EXPIRE ACCOUNT UNLOCK"},
      {"NONE", "", 0,
       "CREATE USER \"APP\" IDENTIFIED BY \"********\" DEFAULT TABLESPACE \"USERS\" PASSWORD EXPIRE ACCOUNT UNLOCK"},
      {"EXTERNAL", "", 0, "CREATE USER \"APP\" IDENTIFIED EXTERNALLY DEFAULT TABLESPACE \"USERS\" ACCOUNT UNLOCK"},
      {"GLOBAL", "cn=app,o=it's", 0,
       "CREATE USER \"APP\" IDENTIFIED GLOBALLY AS 'cn=app,o=it''s' DEFAULT TABLESPACE \"USERS\" ACCOUNT UNLOCK"},
      // Locked accounts stay locked (8, 9 expired and locked, 10); the timed
      // lock of failed logins (4) and an expired password (1) do not lock.
      {"KESTON", "", 8,
       "CREATE USER \"APP\" IDENTIFIED BY \"********\" DEFAULT TABLESPACE \"USERS\" PASSWORD EXPIRE ACCOUNT LOCK"},
      {"KESTON", "", 9,
       "CREATE USER \"APP\" IDENTIFIED BY \"********\" DEFAULT TABLESPACE \"USERS\" PASSWORD EXPIRE ACCOUNT LOCK"},
      {"EXTERNAL", "", 10, "CREATE USER \"APP\" IDENTIFIED EXTERNALLY DEFAULT TABLESPACE \"USERS\" ACCOUNT LOCK"},
      {"KESTON", "", 4,
       "CREATE USER \"APP\" IDENTIFIED BY \"********\" DEFAULT TABLESPACE \"USERS\" PASSWORD EXPIRE ACCOUNT UNLOCK"},
      {"KESTON", "", 1,
       "CREATE USER \"APP\" IDENTIFIED BY \"********\" DEFAULT TABLESPACE \"USERS\" PASSWORD EXPIRE ACCOUNT UNLOCK"},
  };
  for (const Case& c : cases) {
    test::SecurityCatalogue db;
    db.User("APP", c.identification, "USERS", c.status, c.external_name);
    RecorderSink sink;
    CreateUsers(db.source(), sink);
    ASSERT_EQ(sink.statements.size(), 1u) << c.identification;
    EXPECT_EQ(sink.Texts()[0], c.text);
    EXPECT_EQ(test::RefusedStatements(sink.Texts()), std::vector<std::string>{});
    EXPECT_EQ(sink.statements[0].text.find("KESTON"), std::string::npos);
  }
}

TEST(SecurityDdl, UsersGetAQuotaOnEveryTablespaceThatHoldsTheirSegments) {
  test::SecurityCatalogue db;
  db.Tablespace("DATA");
  db.Tablespace("IDX");
  db.Tablespace("GONE");  // no datafile: the target will not have it
  db.Datafile("DATA01.DBF", "DATA");
  db.Datafile("IDX01.DBF", "IDX");
  const std::uint32_t app = db.User("APP", "KESTON", "DATA");
  const std::uint32_t other = db.User("OTHER", "KESTON", "GONE");
  const std::uint32_t t1 = db.Table(app, "APP", "T1", "DATA");
  db.Table(app, "APP", "T2", "DATA");
  db.Table(app, "APP", "T3", "GONE");
  db.Index(app, "APP", t1, "I1", "IDX");
  db.Index(app, "APP", t1, "I2", "USERS");
  db.Table(other, "OTHER", "X", "SYSTEM");
  RecorderSink sink;
  CreateUsers(db.source(), sink);
  const std::vector<std::string> expected = {
      "CREATE USER \"APP\" IDENTIFIED BY \"********\" DEFAULT TABLESPACE \"DATA\" QUOTA UNLIMITED ON \"DATA\" QUOTA "
      "UNLIMITED ON \"IDX\" QUOTA UNLIMITED ON \"USERS\" PASSWORD EXPIRE ACCOUNT UNLOCK",
      // A default tablespace the target will not have would fail the user.
      "CREATE USER \"OTHER\" IDENTIFIED BY \"********\" QUOTA UNLIMITED ON \"SYSTEM\" PASSWORD EXPIRE ACCOUNT UNLOCK",
  };
  EXPECT_EQ(sink.Texts(), expected);
  EXPECT_EQ(test::RefusedStatements(sink.Texts()), std::vector<std::string>{});
}

TEST(SecurityDdl, SystemPrivilegesAndRolesGrantedToUsersAndRoles) {
  test::SecurityCatalogue db;
  db.SystemPrivilegeName(-5, "CREATE SESSION");
  db.SystemPrivilegeName(-40, "CREATE TABLE");
  db.SystemPrivilegeName(-41, "DBA");                         // a damaged map: one word, a role's name
  db.SystemPrivilegeName(-42, "CREATE TABLE TO PUBLIC");      // a second grantee
  db.SystemPrivilegeName(-43, "ALL PRIVILEGES");              // everything at once
  db.SystemPrivilegeName(-44, "SELECT ANY TABLE; DROP");      // punctuation
  db.SystemPrivilegeName(-15, "UNLIMITED TABLESPACE");
  const std::uint32_t role = db.Role("APP_ROLE");
  const std::uint32_t user = db.User("APP", "KESTON", "");
  db.SystemGrant(role, -40, true);
  db.SystemGrant(role, -15);  // Oracle refuses it to a role
  db.SystemGrant(user, -15);
  db.SystemGrant(user, -5);
  db.SystemGrant(user, role, true);
  db.SystemGrant(user, 999);  // a role number the dictionary does not have
  for (const std::int64_t p : {-41, -42, -43, -44, -77}) db.SystemGrant(user, p);
  RecorderSink roles;
  CreateRoles(db.source(), roles);
  EXPECT_EQ(roles.Texts(), (std::vector<std::string>{"CREATE ROLE \"APP_ROLE\"",
                                                     "GRANT CREATE TABLE TO \"APP_ROLE\" WITH ADMIN OPTION"}));
  EXPECT_EQ(test::RefusedStatements(roles.Texts()), std::vector<std::string>{});
  RecorderSink users;
  CreateUsers(db.source(), users);
  EXPECT_EQ(users.Texts(),
            (std::vector<std::string>{
                "CREATE USER \"APP\" IDENTIFIED BY \"********\" PASSWORD EXPIRE ACCOUNT UNLOCK",
                "GRANT UNLIMITED TABLESPACE TO \"APP\"",
                "GRANT CREATE SESSION TO \"APP\"",
                "GRANT \"APP_ROLE\" TO \"APP\" WITH ADMIN OPTION",
            }));
  ASSERT_EQ(roles.skipped.size(), 1u);
  EXPECT_NE(roles.skipped[0].reason.find("ORA-01931"), std::string::npos);
  EXPECT_EQ(users.skipped.size(), 6u);
}

TEST(SecurityDdl, ObjectPrivilegesOnObjectsAndColumns) {
  test::SecurityCatalogue db;
  db.TablePrivilegeName(9, "SELECT");
  db.TablePrivilegeName(10, "UPDATE");
  db.TablePrivilegeName(11, "REFERENCES");
  db.TablePrivilegeName(6, "INSERT");
  db.TablePrivilegeName(12, "EXECUTE");
  db.TablePrivilegeName(50, "SELECT ON \"SYS\".\"USER$\" TO PUBLIC --");
  const std::uint32_t owner = db.User("SCOTT");
  const std::uint32_t clerk = db.User("CLERK");
  const std::uint32_t role = db.Role("REPORTING");
  const std::uint32_t pub = db.Role("PUBLIC");
  const std::uint32_t emp = db.Table(owner, "SCOTT", "EMP", "USERS");
  db.Column(emp, "SAL", 6);
  db.ObjectGrant(clerk, emp, 9, true);                        // whole table, with grant option
  db.ObjectGrant(clerk, emp, 10, false, 6);                   // UPDATE on a column
  db.ObjectGrant(clerk, emp, 11, false, 6);                   // REFERENCES on a column
  db.ObjectGrant(clerk, emp, 9, false, 6);                    // SELECT on a column: Oracle has no such grant
  db.ObjectGrant(clerk, emp, 6, false, 7);                    // a column the dictionary lost
  db.ObjectGrant(clerk, 77777, 12);                           // an object that was not rescued
  db.ObjectGrant(clerk, emp, 50);                             // a privilege name no GRANT may hold
  db.ObjectGrant(role, emp, 9);
  db.ObjectGrant(pub, emp, 9);
  RecorderSink users;
  GrantUserObjectPrivileges(db.source(), users);
  EXPECT_EQ(users.Texts(), (std::vector<std::string>{
                               "GRANT SELECT ON \"SCOTT\".\"EMP\" TO \"CLERK\" WITH GRANT OPTION",
                               "GRANT UPDATE (\"SAL\") ON \"SCOTT\".\"EMP\" TO \"CLERK\"",
                               "GRANT REFERENCES (\"SAL\") ON \"SCOTT\".\"EMP\" TO \"CLERK\"",
                           }));
  EXPECT_EQ(test::RefusedStatements(users.Texts()), std::vector<std::string>{});
  ASSERT_EQ(users.skipped.size(), 4u);
  EXPECT_NE(users.skipped[0].reason.find("INSERT, UPDATE and REFERENCES"), std::string::npos);
  EXPECT_NE(users.skipped[1].reason.find("column 7"), std::string::npos);
  EXPECT_NE(users.skipped[2].reason.find("not among the rescued"), std::string::npos);
  EXPECT_EQ(users.statements[0].note.phase, "Repairing User Object privilege ");
  RecorderSink roles;
  GrantRoleObjectPrivileges(db.source(), roles);
  EXPECT_EQ(roles.Texts(), (std::vector<std::string>{
                               "GRANT SELECT ON \"SCOTT\".\"EMP\" TO \"REPORTING\"",
                               "GRANT SELECT ON \"SCOTT\".\"EMP\" TO PUBLIC",
                           }));
  EXPECT_EQ(test::RefusedStatements(roles.Texts()), std::vector<std::string>{});
}

TEST(SecurityDdl, BuiltInAccountsAreAttemptedAndMarked) {
  test::SecurityCatalogue db;
  db.User("SYSTEM", "KESTON", "SYSTEM");
  db.User("SCOTT");
  db.Role("DBA");
  db.Role("PUBLIC");
  db.Role("APP_ROLE");
  RecorderSink users;
  CreateUsers(db.source(), users);
  ASSERT_EQ(users.statements.size(), 2u);
  EXPECT_TRUE(users.statements[0].note.built_in);
  EXPECT_FALSE(users.statements[1].note.built_in);
  RecorderSink roles;
  CreateRoles(db.source(), roles);
  // PUBLIC is no role to create; DBA is attempted and marked.
  EXPECT_EQ(roles.Texts(), (std::vector<std::string>{"CREATE ROLE \"DBA\"", "CREATE ROLE \"APP_ROLE\""}));
  EXPECT_EQ(test::RefusedStatements(roles.Texts()), std::vector<std::string>{});
  EXPECT_TRUE(roles.statements[0].note.built_in);
  EXPECT_FALSE(roles.statements[1].note.built_in);
}

TEST(SecurityDdl, PrivilegeNameChecks) {
  for (const char* ok : {"CREATE SESSION", "SELECT ANY TABLE", "CREATE PUBLIC SYNONYM", "SYSDBA",
                         "ON COMMIT REFRESH", "ALTER ANY SQL_PROFILE"}) {
    EXPECT_TRUE(IsWritableSystemPrivilege(ok)) << ok;
  }
  for (const char* bad : {"DBA", "", "ALL PRIVILEGES", "CREATE TABLE TO PUBLIC", "CREATE  TABLE", "CREATE TABLE ",
                          "create table", "CREATE TABLE WITH ADMIN", "A\nB C", "DROP USER\"X"}) {
    EXPECT_FALSE(IsWritableSystemPrivilege(bad)) << bad;
  }
  EXPECT_TRUE(IsObjectPrivilege("ON COMMIT REFRESH"));
  EXPECT_FALSE(IsObjectPrivilege("ALL"));
  EXPECT_TRUE(IsColumnPrivilege("REFERENCES"));
  EXPECT_FALSE(IsColumnPrivilege("SELECT"));
}

}  // namespace
}  // namespace quillon::repair
