#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "repair/code_ddl.h"
#include "repair/code_catalogue.h"
#include "repair/object_ddl.h"
#include "repair/query_files.h"
#include "repair/trigger_ddl.h"

namespace quillon::repair {
namespace {

TEST(CodeDdl, OwnerGoesBeforeTheNameWithoutChangingTheRestOfTheLine) {
  struct Case {
    const char* source;
    const char* keyword;
    std::optional<std::string> expected;
  };
  const Case cases[] = {
      // The GET_TOTAL function: the owner keeps its case, the line its own.
      {"FUNCTION GET_TOTAL(p IN NUMBER) RETURN NUMBER\nIS\n", "FUNCTION",
       "FUNCTION \"SCOTT\".GET_TOTAL(p IN NUMBER) RETURN NUMBER\nIS\n"},
      // A lower-case package gets its owner too.
      {"package emp_pkg as\n", "PACKAGE", "package \"SCOTT\".emp_pkg as\n"},
      // A quoted mixed-case name and a literal stay as written.
      {"FUNCTION \"MyFunc\" RETURN VARCHAR2 IS c CONSTANT VARCHAR2(3) := 'AbC';", "FUNCTION",
       "FUNCTION \"SCOTT\".\"MyFunc\" RETURN VARCHAR2 IS c CONSTANT VARCHAR2(3) := 'AbC';"},
      {"Package  Body\n  emp_pkg is", "PACKAGE BODY", "Package  Body\n  \"SCOTT\".emp_pkg is"},
      {"type body address_t as", "TYPE BODY", "type body \"SCOTT\".address_t as"},
      {"TYPE address_t AS OBJECT (street VARCHAR2(40));", "TYPE",
       "TYPE \"SCOTT\".address_t AS OBJECT (street VARCHAR2(40));"},
      // A qualifier of its own is replaced by the dictionary's owner.
      {"procedure hr.raise_salary is", "PROCEDURE", "procedure \"SCOTT\".raise_salary is"},
      {"procedure \"HR\" . raise_salary is", "PROCEDURE", "procedure \"SCOTT\". raise_salary is"},
      // Not the kind's keyword: nothing to place the owner by.
      {"FUNCTIONAL x", "FUNCTION", std::nullopt},
      {"TYPE BODY t AS", "TYPE", std::nullopt},
      {"PACKAGE BODY k IS", "PACKAGE", std::nullopt},
      {"TYPE t AS OBJECT", "TYPE BODY", std::nullopt},
      {"-- a comment\nFUNCTION f", "FUNCTION", std::nullopt},
      {"FUNCTION", "FUNCTION", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SourceWithOwner(c.source, c.keyword, "\"SCOTT\""), c.expected) << c.source;
  }
}

TEST(CodeDdl, StoredUnitsOfEveryKind) {
  test::CodeCatalogue db;
  db.Unit(ObjectKind::kFunction, "SCOTT", "GET_TOTAL",
          {"FUNCTION GET_TOTAL(p IN NUMBER) RETURN NUMBER\n", "IS\n", "BEGIN\n", "  RETURN p;\n", "END;"});
  db.Unit(ObjectKind::kPackage, "SCOTT", "EMP_PKG", {"package emp_pkg as\n", "  n number;\n", "end;\n"});
  db.Unit(ObjectKind::kProcedure, "MDSYS", "P", {"PROCEDURE p IS BEGIN NULL; END;"});
  db.Unit(ObjectKind::kProcedure, "SYS", "Q", {"PROCEDURE q IS BEGIN NULL; END;"});
  db.Unit(ObjectKind::kPackageBody, "SCOTT", "BROKEN", {"begin null; end;"});
  db.Unit(ObjectKind::kTypeBody, "SCOTT", "EMPTY", {});
  struct Case {
    void (*generate)(const Catalogue&, StatementSink&, std::optional<std::uint32_t>);
    std::vector<std::string> texts;
    std::vector<std::string> files;
    std::size_t skipped;
  };
  const Case cases[] = {
      {&CreateFunctions,
       {"CREATE FUNCTION \"SCOTT\".GET_TOTAL(p IN NUMBER) RETURN NUMBER\nIS\nBEGIN\n  RETURN p;\nEND;"},
       {"QueryOfFunction.txt"}, 0},
      {&CreatePackages, {"CREATE package \"SCOTT\".emp_pkg as\n  n number;\nend;"}, {"QueryOfPackage.txt"}, 0},
      // MDSYS's procedure is created but kept out of the query file; SYS's is not created.
      {&CreateProcedures, {"CREATE PROCEDURE \"MDSYS\".p IS BEGIN NULL; END;"}, {""}, 0},
      {&CreatePackageBodies, {}, {}, 1},
      {&CreateTypeBodies, {}, {}, 1},
  };
  for (const Case& c : cases) {
    RecorderSink sink;
    c.generate(db.cat, sink, std::nullopt);
    ASSERT_EQ(sink.statements.size(), c.texts.size());
    for (std::size_t i = 0; i < c.texts.size(); ++i) {
      EXPECT_EQ(sink.statements[i].text, c.texts[i]);
      EXPECT_EQ(sink.statements[i].query_file, c.files[i]);
      EXPECT_EQ(sink.statements[i].kind, StatementKind::kPlsqlUnit);
      EXPECT_TRUE(sink.statements[i].retry_when_failed);
    }
    EXPECT_EQ(sink.skipped.size(), c.skipped);
  }
}

TEST(CodeDdl, TypesComeAfterTheTypesTheyUse) {
  test::CodeCatalogue db;
  db.Unit(ObjectKind::kType, "HR", "PEOPLE_T", {"TYPE people_t AS TABLE OF person_t;"});
  db.Unit(ObjectKind::kType, "HR", "PERSON_T", {"TYPE person_t AS OBJECT (home address_t, name VARCHAR2(30));"});
  db.Unit(ObjectKind::kType, "HR", "ADDRESS_T", {"TYPE address_t AS OBJECT (street VARCHAR2(40));"});
  // Two types that name each other keep their order.
  db.Unit(ObjectKind::kType, "HR", "A_T", {"TYPE a_t AS OBJECT (b REF b_t);"});
  db.Unit(ObjectKind::kType, "HR", "B_T", {"TYPE b_t AS OBJECT (a REF a_t);"});
  RecorderSink sink;
  CreateTypes(db.cat, sink);
  std::vector<std::string> order;
  for (const Statement& s : sink.statements) order.push_back(s.note.object);
  EXPECT_EQ(order, (std::vector<std::string>{"Type HR.ADDRESS_T", "Type HR.PERSON_T", "Type HR.PEOPLE_T",
                                             "Type HR.A_T", "Type HR.B_T"}));
}

TEST(CodeDdl, Sequences) {
  struct Case {
    SequenceRecord seq;
    const char* text;  // empty: left out
  };
  const auto seq = [](std::string inc, std::string min, std::string max, std::string cache, bool cycle, bool order) {
    SequenceRecord s;
    s.increment = std::move(inc);
    s.min_value = std::move(min);
    s.max_value = std::move(max);
    s.cache = std::move(cache);
    s.high_water = "221";
    s.cycles = cycle;
    s.ordered = order;
    return s;
  };
  const Case cases[] = {
      {seq("1", "1", "999999999999999999999999999", "20", false, true),
       "CREATE SEQUENCE \"HR\".\"S\"\n INCREMENT BY 1 START WITH 221 MAXVALUE 999999999999999999999999999 MINVALUE 1\n"
       " CACHE 20 NOCYCLE ORDER"},
      // NULL bounds are no bounds.
      {seq("-10", std::string(kNullMinValueText), "-1", "0", true, false),
       "CREATE SEQUENCE \"HR\".\"S\"\n INCREMENT BY -10 START WITH 221 MAXVALUE -1 NOMINVALUE\n NOCACHE CYCLE NOORDER"},
      // The catalogue's number texts become plain literals.
      {seq("01", "0001.500", "0999", "0100", false, false),
       "CREATE SEQUENCE \"HR\".\"S\"\n INCREMENT BY 1 START WITH 221 MAXVALUE 999 MINVALUE 1.5\n"
       " CACHE 100 NOCYCLE NOORDER"},
      {seq("-01", "-0.50", "0", "0.0000", false, false),
       "CREATE SEQUENCE \"HR\".\"S\"\n INCREMENT BY -1 START WITH 221 MAXVALUE 0 MINVALUE -0.5\n"
       " NOCACHE NOCYCLE NOORDER"},
      {seq("1", "1", std::string(kNullMaxValueText), "0.0000", false, false),
       "CREATE SEQUENCE \"HR\".\"S\"\n INCREMENT BY 1 START WITH 221 NOMAXVALUE MINVALUE 1\n NOCACHE NOCYCLE NOORDER"},
      // A damaged number never reaches the statement.
      {seq("1; DROP TABLE x", "1", "9", "20", false, false), ""},
      {seq("1", "1", "9", "FF", false, false), ""},
  };
  for (const Case& c : cases) {
    test::CodeCatalogue db;
    db.Sequence("HR", "S", c.seq);
    RecorderSink sink;
    CreateSequences(db.cat, sink);
    if (std::string(c.text).empty()) {
      EXPECT_TRUE(sink.statements.empty());
      EXPECT_EQ(sink.skipped.size(), 1u);
    } else {
      ASSERT_EQ(sink.statements.size(), 1u);
      EXPECT_EQ(sink.statements[0].text, c.text);
    }
  }
}

TEST(CodeDdl, Synonyms) {
  struct Case {
    const char* owner;
    const char* target_owner;
    const char* link;
    const char* text;
  };
  const Case cases[] = {
      {"HR", "HR", "", "CREATE SYNONYM \"HR\".\"STAFF\"\n FOR \"HR\".\"EMPLOYEES\""},
      // PUBLIC is not a schema.
      {"PUBLIC", "HR", "", "CREATE PUBLIC SYNONYM \"STAFF\"\n FOR \"HR\".\"EMPLOYEES\""},
      {"SALES", "SALES", "HQ.EXAMPLE.COM", "CREATE SYNONYM \"SALES\".\"STAFF\"\n FOR \"SALES\".\"EMPLOYEES\"@HQ.EXAMPLE.COM"},
      {"SALES", "", "HQ", "CREATE SYNONYM \"SALES\".\"STAFF\"\n FOR \"EMPLOYEES\"@HQ"},
      {"SALES", "SALES", "HQ; DROP", ""},
  };
  for (const Case& c : cases) {
    test::CodeCatalogue db;
    db.Synonym(c.owner, "STAFF", c.target_owner, "EMPLOYEES", c.link);
    RecorderSink sink;
    CreateSynonyms(db.cat, sink);
    if (std::string(c.text).empty()) {
      EXPECT_TRUE(sink.statements.empty());
      EXPECT_EQ(sink.skipped.size(), 1u);
    } else {
      ASSERT_EQ(sink.statements.size(), 1u);
      EXPECT_EQ(sink.statements[0].text, c.text);
    }
  }
}

TEST(CodeDdl, RelationalAndObjectViews) {
  test::CodeCatalogue db;
  db.View("HR", "EMP_V", "select employee_id, last_name from hr.employees\n", {"EMPLOYEE_ID", "LAST_NAME"});
  const std::uint32_t ov = db.View("HR", "ADDR_OV", "select street, city from hr.locations", {"STREET", "CITY"});
  db.cat.typed_views.Append(TypedViewRecord{ov, "HR", "ADDRESS_T", "street, \"City\""});
  db.View("MDSYS", "SDO_V", "select 1 x from dual", {"X"});
  db.View("HR", "BAD\"NAME", "select 1 x from dual", {"X"});
  RecorderSink sink;
  CreateViews(db.cat, sink);
  ASSERT_EQ(sink.statements.size(), 3u);
  EXPECT_EQ(sink.statements[0].text,
            "CREATE VIEW \"HR\".\"EMP_V\"\n\t(\n\t\t\"EMPLOYEE_ID\",\n\t\t\"LAST_NAME\"\n\t)\n"
            "  AS select employee_id, last_name from hr.employees");
  EXPECT_EQ(sink.statements[0].query_file, "QueryOfView.txt");
  EXPECT_TRUE(sink.statements[0].retry_when_failed);
  EXPECT_EQ(sink.statements[1].text,
            "CREATE VIEW \"HR\".\"ADDR_OV\" OF \"HR\".\"ADDRESS_T\" WITH OBJECT IDENTIFIER (\"STREET\", \"City\")\n"
            "  AS select street, city from hr.locations");
  EXPECT_EQ(sink.statements[2].query_file, "");  // MDSYS
  ASSERT_EQ(sink.skipped.size(), 1u);
}

TriggerRecord Dml(std::uint32_t type, bool ins, bool upd, bool del, std::uint32_t base) {
  TriggerRecord t;
  t.type = type;
  t.fires_on_insert = ins;
  t.fires_on_update = upd;
  t.fires_on_delete = del;
  t.base_object = base;
  t.old_name = "OLD";
  t.new_name = "NEW";
  t.enabled = 1;
  t.body = "begin\n  :new.x := 1;\nend;";
  return t;
}

TEST(TriggerDdl, TriggersByTimingEventsAndClauses) {
  struct Case {
    TriggerRecord trigger;
    const char* owner;
    std::vector<std::string> texts;
    const char* query_file;
  };
  const std::uint32_t emp = 70001;  // the first object made below
  TriggerRecord renamed = Dml(1, true, false, true, emp);
  renamed.old_name = "O";
  renamed.new_name = "N";
  TriggerRecord when = Dml(3, false, true, false, emp);
  when.when_clause = "new.salary > old.salary * 2";
  TriggerRecord disabled = Dml(2, false, true, false, emp);
  disabled.enabled = 0;
  TriggerRecord logon;
  logon.definition = "hr.hr_logon_trg\nafter logon on database\n";
  logon.body = "begin\n  null;\nend;";
  logon.enabled = 1;
  const Case cases[] = {
      // BEFORE EACH ROW INSERT OR UPDATE: timing, events, ON, then FOR EACH ROW.
      {Dml(1, true, true, false, emp), "HR",
       {"CREATE TRIGGER \"HR\".\"T\"\nBEFORE INSERT OR UPDATE ON \"HR\".\"EMPLOYEES\"\n  FOR EACH ROW\n"
        "begin\n  :new.x := 1;\nend;"},
       "QueryOfTrigger.txt"},
      // Both referencing names, so a body using either compiles.
      {renamed, "HR",
       {"CREATE TRIGGER \"HR\".\"T\"\nBEFORE INSERT OR DELETE ON \"HR\".\"EMPLOYEES\"\n"
        "  REFERENCING OLD AS \"O\" NEW AS \"N\"\n  FOR EACH ROW\nbegin\n  :new.x := 1;\nend;"},
       "QueryOfTrigger.txt"},
      {when, "HR",
       {"CREATE TRIGGER \"HR\".\"T\"\nAFTER UPDATE ON \"HR\".\"EMPLOYEES\"\n  FOR EACH ROW\n"
        "  WHEN (new.salary > old.salary * 2)\nbegin\n  :new.x := 1;\nend;"},
       "QueryOfTrigger.txt"},
      {disabled, "EXFSYS",
       {"CREATE TRIGGER \"EXFSYS\".\"T\"\nAFTER UPDATE ON \"HR\".\"EMPLOYEES\"\nbegin\n  :new.x := 1;\nend;",
        "ALTER TRIGGER \"EXFSYS\".\"T\" DISABLE"},
       ""},
      {Dml(4, true, true, true, emp), "HR",
       {"CREATE TRIGGER \"HR\".\"T\"\nINSTEAD OF INSERT OR UPDATE OR DELETE ON \"HR\".\"EMPLOYEES\"\n  FOR EACH ROW\n"
        "begin\n  :new.x := 1;\nend;"},
       "QueryOfTrigger.txt"},
      // A database trigger from its description, the name written anew.
      {logon, "HR", {"CREATE TRIGGER \"HR\".\"T\"\nafter logon on database\nbegin\n  null;\nend;"}, "QueryOfTrigger.txt"},
  };
  for (const Case& c : cases) {
    test::CodeCatalogue db;
    db.Object(ObjectKind::kTable, "HR", "EMPLOYEES");
    db.Trigger(c.owner, "T", c.trigger);
    db.Trigger("SYS", "NO_VM_CREATE", logon);
    RecorderSink sink;
    CreateTriggers(db.cat, sink);
    ASSERT_EQ(sink.statements.size(), c.texts.size()) << c.texts[0];
    for (std::size_t i = 0; i < c.texts.size(); ++i) EXPECT_EQ(sink.statements[i].text, c.texts[i]);
    EXPECT_EQ(sink.statements[0].query_file, c.query_file);
    EXPECT_EQ(sink.statements[0].kind, StatementKind::kPlsqlUnit);
  }
}

TEST(TriggerDdl, TriggerWithoutItsTableIsLeftOut) {
  test::CodeCatalogue db;
  db.Trigger("HR", "T", Dml(1, true, false, false, 424242));
  RecorderSink sink;
  CreateTriggers(db.cat, sink);
  EXPECT_TRUE(sink.statements.empty());
  ASSERT_EQ(sink.skipped.size(), 1u);
}

TEST(QueryFiles, EachKindItsFileSystemSchemasLeftOut) {
  test::CodeCatalogue db;
  db.Unit(ObjectKind::kFunction, "SCOTT", "F", {"FUNCTION f RETURN NUMBER IS\r\n", "BEGIN RETURN 1; END;"});
  db.Unit(ObjectKind::kFunction, "MDSYS", "G", {"FUNCTION g RETURN NUMBER IS BEGIN RETURN 1; END;"});
  db.View("SCOTT", "V", "select 1 x from dual", {"X"});
  RecorderSink next;
  QueryFileSink files(next);
  CreateFunctions(db.cat, files);
  CreateViews(db.cat, files);
  EXPECT_EQ(next.statements.size(), 3u);  // everything goes on
  ASSERT_EQ(files.files().size(), 2u);
  EXPECT_EQ(files.files().at("QueryOfFunction.txt"),
            "CREATE FUNCTION \"SCOTT\".f RETURN NUMBER IS\nBEGIN RETURN 1; END;\n/\n\n");
  EXPECT_EQ(files.files().at("QueryOfView.txt"),
            "CREATE VIEW \"SCOTT\".\"V\"\n\t(\n\t\t\"X\"\n\t)\n  AS select 1 x from dual\n/\n\n");
}

TEST(QueryFiles, WrittenIntoTheOutputFolder) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "quillon_query_files_test";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  test::CodeCatalogue db;
  db.Unit(ObjectKind::kPackage, "SCOTT", "K", {"package k is end;"});
  RecorderSink next;
  QueryFileSink files(next);
  CreatePackages(db.cat, files);
  EXPECT_TRUE(files.WriteInto(folder.string()).empty());
  std::ifstream in(folder / "QueryOfPackage.txt", std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), "CREATE package \"SCOTT\".k is end;\n/\n\n");
  EXPECT_EQ(files.WriteInto((folder / "missing" / "folder").string()).size(), 1u);
  std::filesystem::remove_all(folder);
}

TEST(ObjectDdl, EveryCodeKindHasItsGeneratorAndPhase) {
  test::CodeCatalogue db;
  struct Case {
    std::uint32_t object;
    const char* phase;
  };
  const Case cases[] = {
      {db.View("HR", "V", "select 1 x from dual", {"X"}), "Repairing View "},
      {db.Synonym("HR", "S", "HR", "V"), "Repairing Synonyms   "},
      {db.Unit(ObjectKind::kFunction, "HR", "F", {"function f return number is begin return 1; end;"}),
       "Repairing Function   "},
      {db.Unit(ObjectKind::kProcedure, "HR", "P", {"procedure p is begin null; end;"}), "Repairing Stored Procedure "},
      {db.Unit(ObjectKind::kPackage, "HR", "K", {"package k is end;"}), "Repairing Package "},
      {db.Unit(ObjectKind::kPackageBody, "HR", "K", {"package body k is end;"}), "Repairing Package Body "},
      {db.Unit(ObjectKind::kType, "HR", "T", {"type t as object (x number);"}), "Repairing Type "},
      {db.Unit(ObjectKind::kTypeBody, "HR", "T", {"type body t is end;"}), "Repairing Type Body   "},
  };
  for (const Case& c : cases) {
    RecorderSink sink;
    ASSERT_TRUE(GenerateObjectDdl(db.cat, c.object, sink)) << c.phase;
    ASSERT_EQ(sink.phases.size(), 1u);
    EXPECT_EQ(sink.phases[0], c.phase);
    // Only that object's statement, no other of its kind.
    EXPECT_EQ(sink.statements.size(), 1u) << c.phase;
  }
  RecorderSink none;
  EXPECT_FALSE(GenerateObjectDdl(db.cat, 1, none));
}

TEST(ObjectDdl, PreviewOfAnObjectWithSeveralStatementsAndANote) {
  test::CodeCatalogue db;
  db.Object(ObjectKind::kTable, "HR", "EMPLOYEES");
  TriggerRecord t = Dml(2, false, true, false, 70001);
  t.enabled = 0;
  const std::uint32_t trigger = db.Trigger("HR", "T", t);
  PreviewSink preview;
  ASSERT_TRUE(GenerateObjectDdl(db.cat, trigger, preview));
  preview.Note(kXmlTableNote);
  EXPECT_EQ(preview.Text("HR.T"),
            "-- DDL script for HR.T \n\nCREATE TRIGGER \"HR\".\"T\"\nAFTER UPDATE ON \"HR\".\"EMPLOYEES\"\n"
            "begin\n  :new.x := 1;\nend;\n/\nALTER TRIGGER \"HR\".\"T\" DISABLE\n/\n"
            "-- this is XML type Table so Data not Shown\n");
}

}  // namespace
}  // namespace quillon::repair
