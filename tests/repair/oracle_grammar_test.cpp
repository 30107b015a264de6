// The grammar checker the statement tests lean on must refuse what Oracle
// refuses, or a passing test says nothing. Each bad case is a mistake a
// generator could make; each good case a form Oracle documents that the
// checker must not refuse.
#include "support/oracle_grammar.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillon::test {
namespace {

TEST(OracleGrammar, RefusesWhatOracleRefusesAndTakesWhatItDocuments) {
  struct Case {
    const char* sql;
    const char* error;  // a piece of the reason; "" when the statement is valid
  };
  const Case cases[] = {
      // Clause order of CREATE TABLE: column properties before partitioning,
      // physical properties before both.
      {"Create Table \"S\".\"P\"(\"K\" NUMBER NULL) PARTITION BY RANGE (\"K\")\n"
       "( PARTITION \"P1\" VALUES LESS THAN (MAXVALUE)) NESTED TABLE \"I\" STORE AS \"I_NT\"",
       "column property after the table's partitioning"},
      {"Create Table \"S\".\"P\"(\"K\" NUMBER NULL) NESTED TABLE \"I\" STORE AS \"I_NT\"\n"
       "PARTITION BY RANGE (\"K\") ( PARTITION \"P1\" VALUES LESS THAN (MAXVALUE))",
       ""},
      {"Create Table \"S\".\"T\"(\"K\" NUMBER NULL) NESTED TABLE \"I\" STORE AS \"I_NT\" Tablespace \"USERS\"",
       "physical property"},
      {"Create Table \"S\".\"T\"(\"K\" NUMBER NULL)ORGANIZATION INDEX Tablespace \"A\" INCLUDING \"K\"",
       "OVERFLOW expected"},
      {"Create Table \"S\".\"T\"(\"K\" NUMBER NULL)ORGANIZATION INDEX Tablespace \"A\" PCTTHRESHOLD 20 "
       "INCLUDING \"K\" OVERFLOW Tablespace \"B\"",
       ""},
      {"Create Table \"S\".\"T\"(\"K\" NUMBER NULL) PARTITION BY HASH (\"K\") ( PARTITION \"H1\" "
       "(SUBPARTITION \"X\"))",
       "not subpartitioned"},
      // Data types within Oracle's limits.
      {"Create Table \"S\".\"T\"(\"C\" VARCHAR2(0) NULL)", "VARCHAR2 length out of range"},
      {"Create Table \"S\".\"T\"(\"C\" VARCHAR2(4001) NULL)", "VARCHAR2 length out of range"},
      {"Create Table \"S\".\"T\"(\"C\" NUMBER (39,0) NULL)", "NUMBER precision out of range"},
      {"Create Table \"S\".\"T\"(\"C\" TIMESTAMP(10) NULL)", "fractional seconds precision"},
      {"Create Table \"S\".\"T\"(\"C\" RAW NULL)", "'(' expected"},
      {"Create Table \"S\".\"T\"(\"C\" VARCHAR2(30 CHAR) NULL,\"D\" INTERVAL DAY(2) TO SECOND(6) NULL,"
       "\"E\" TIMESTAMP(3) WITH LOCAL TIME ZONE NULL,\"F\" NUMBER (10,2)GENERATED ALWAYS AS (\"C\"*12) VIRTUAL)",
       ""},
      // Names: unquoted reserved words, quotes, lengths.
      {"Create Table S.T(DATE DATE NULL)", "column name expected"},
      {"Create Table \"S\".\"T\"(\"\" DATE NULL)", "empty quoted name"},
      {"Create Table \"S\".\"T\"(\"C\" DATE NULL", "')' expected"},
      {"GRANT SELECT ON \"S\".\"T\" TO \"ABCDEFGHIJABCDEFGHIJABCDEFGHIJK\"", "longer than 30 bytes"},
      // Literals and the statement's end.
      {"insert into \"S\".\"T\" (\"A\") values ('it''s)", "text literal not closed"},
      {"insert into \"S\".\"T\" (\"A\",\"B\") values (1)", "2 columns but 1 values"},
      {"insert into \"S\".\"T\" (\"A\") values (1);", "end of statement expected"},
      {"insert into \"S\".\"T\" PARTITION (\"P\") (\"A\",\"B\") values (TO_DATE('01-JAN-2000 12:00:00 AM', "
       "'DD-MON-SYYYY HH:MI:SS AM', 'NLS_DATE_LANGUAGE=AMERICAN'), \"S\".\"T_TYP\"(1, NULL, 'x'))",
       ""},
      // Grants: a column list only where Oracle takes one, object
      // privileges only on objects, ADMIN and GRANT options in their place.
      {"GRANT SELECT (\"C\") ON \"S\".\"T\" TO \"U\"", "column list only goes with"},
      {"GRANT CREATE SESSION ON \"S\".\"T\" TO \"U\"", "not an object privilege"},
      {"GRANT SELECT ON \"S\".\"T\" TO \"U\" WITH ADMIN OPTION", "GRANT or HIERARCHY expected"},
      {"GRANT CREATE SESSION TO \"U\" WITH GRANT OPTION", "ADMIN expected"},
      {"GRANT UPDATE (\"C\") ON \"S\".\"T\" TO \"U\" WITH GRANT OPTION", ""},
      // Users, sequences, constraints.
      {"CREATE USER \"U\" IDENTIFIED BY \"P\" QUOTA UNLIMITED \"USERS\"", "ON expected"},
      {"CREATE SEQUENCE \"S\".\"Q\" INCREMENT BY 1 CACHE 1", "CACHE out of range"},
      {"ALTER TABLE \"S\".\"T\" ADD CONSTRAINT \"K\" PRIMARY KEY", "'(' expected"},
      {"ALTER TABLE \"S\".\"T\"\n    ADD CONSTRAINT \"C\" CHECK (a in ('Y', 'N') and (b + 1) * 2 > 0) DISABLE", ""},
      {"ALTER TABLE \"S\".\"T\" ADD CONSTRAINT \"F\" FOREIGN KEY (\"A\") REFERENCES \"S\".\"P\" (\"ID\") "
       "ON DELETE CASCADE DISABLE NOVALIDATE",
       ""},
      // Blocks the script target writes.
      {"DECLARE\n  v1 VARCHAR2(32768);\nBEGIN\n  v1 := 'x';\nEND;", "PL/SQL length out of range"},
      {"DECLARE\n  v1 CLOB;\nBEGIN\n  v1 := 'x'\nEND;", "';' expected"},
      {"DECLARE\n  v1 VARCHAR2(32767);\n  l2 BLOB;\nBEGIN\n  v1 := 'a' || CHR(10);\n"
       "  insert into \"S\".\"T\" (\"A\",\"B\") values (v1, EMPTY_BLOB()) RETURNING \"B\" INTO l2;\n"
       "  DBMS_LOB.WRITEAPPEND(l2, 2, HEXTORAW('0102'));\nEND;",
       ""},
      {"CREATE BANANA \"X\"", "object kind expected"},
  };
  for (const Case& c : cases) {
    const std::string why = OracleGrammar::Check(c.sql);
    if (*c.error == '\0') {
      EXPECT_EQ(why, "") << c.sql;
    } else {
      EXPECT_NE(why.find(c.error), std::string::npos) << c.sql << "\n  gave: " << why;
    }
  }
}

TEST(OracleGrammar, ScriptsEndEveryStatementOnceAndKeepPasswordsOffConnectLines) {
  struct Case {
    const char* script;
    std::vector<std::string> problems;
  };
  const Case cases[] = {
      {"SET DEFINE OFF\n-- a comment\nCOMMIT\n/\n", {}},
      {"COMMIT\n/\n/\n", {"line 3: \"/\" with no statement runs the previous one again"}},
      {"COMMIT\n/\ninsert into \"S\".\"T\" values (1)\n", {"line 3: statement without its closing \"/\""}},
      {"CONNECT \"HR\"/tiger\n", {"line 1: a password on a CONNECT line"}},
      {"CONNECT \"HR\"\r\nCOMMIT\r\n/\r\n", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(CheckScript(c.script), c.problems) << c.script;
}

}  // namespace
}  // namespace quillon::test
