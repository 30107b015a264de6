// REFERENCING names of triggers: OLD and NEW together when either is
// renamed, PARENT for triggers on a nested-table column (which have a parent
// row) or when it was renamed, and the ON NESTED TABLE form those triggers
// need.
#include <gtest/gtest.h>

#include "repair/code_catalogue.h"
#include "repair/statement_sink.h"
#include "repair/trigger_ddl.h"
#include "support/oracle_grammar.h"

namespace quillon::repair {
namespace {

constexpr std::uint32_t kNestedTableTrigger = 0x20;
constexpr std::uint32_t kViewTrigger = 0x01;

// The catalogue every case starts from: HR.EMPLOYEES (70001) and the view
// HR.DEPT_V (70002) whose nested-table column PROJECTS has INTCOL# 3.
struct TriggerCatalogue {
  test::CodeCatalogue db;
  std::uint32_t table = db.Object(ObjectKind::kTable, "HR", "EMPLOYEES");
  std::uint32_t view = db.Object(ObjectKind::kView, "HR", "DEPT_V");
  TriggerCatalogue() {
    const char* names[] = {"DEPARTMENT_ID", "DEPARTMENT_NAME", "PROJECTS"};
    for (std::uint32_t i = 0; i < 3; ++i) {
      ColumnInfo col;
      col.object_number = view;
      col.column_number = i + 1;
      col.internal_column = i + 1;
      col.name = names[i];
      db.cat.columns.Append(col);
    }
  }
};

TriggerRecord NamedTrigger(std::uint32_t type, std::uint32_t base, const char* old_name, const char* new_name,
                           const char* parent_name) {
  TriggerRecord t;
  t.type = type;
  t.fires_on_insert = true;
  t.base_object = base;
  t.old_name = old_name;
  t.new_name = new_name;
  t.parent_name = parent_name;
  t.enabled = 1;
  t.body = "begin\n  null;\nend;";
  return t;
}

TriggerRecord OnNestedTable(const char* parent_name, std::uint32_t column = 3) {
  TriggerRecord t = NamedTrigger(4, 70002, "OLD", "NEW", parent_name);
  t.property = kNestedTableTrigger | kViewTrigger;
  t.nested_column = column;
  return t;
}

TEST(TriggerDdl, ReferencingNamesOldNewAndParent) {
  struct Case {
    const char* what;
    TriggerRecord trigger;
    const char* expected;  // the statement; nullptr when the trigger is left out
  };
  const std::string body = "\n  FOR EACH ROW\nbegin\n  null;\nend;";
  const std::string on_table = "CREATE TRIGGER \"HR\".\"T\"\nBEFORE INSERT ON \"HR\".\"EMPLOYEES\"";
  const std::string on_nested =
      "CREATE TRIGGER \"HR\".\"T\"\nINSTEAD OF INSERT ON NESTED TABLE \"PROJECTS\" OF \"HR\".\"DEPT_V\"";
  const std::string statement_level = "CREATE TRIGGER \"HR\".\"T\"\nBEFORE INSERT ON \"HR\".\"EMPLOYEES\"\n"
                                      "begin\n  null;\nend;";
  const std::string table_defaults = on_table + body;
  const std::string table_old_renamed = on_table + "\n  REFERENCING OLD AS \"O\" NEW AS \"NEW\"" + body;
  const std::string table_parent_renamed =
      on_table + "\n  REFERENCING OLD AS \"OLD\" NEW AS \"NEW\" PARENT AS \"P\"" + body;
  const std::string nested_defaults =
      on_nested + "\n  REFERENCING OLD AS \"OLD\" NEW AS \"NEW\" PARENT AS \"PARENT\"" + body;
  const std::string nested_renamed = on_nested + "\n  REFERENCING OLD AS \"OLD\" NEW AS \"NEW\" PARENT AS \"D\"" + body;
  const Case cases[] = {
      // On a table PARENT is undefined: the defaults need no clause at all.
      {"table, all defaults", NamedTrigger(1, 70001, "OLD", "NEW", "PARENT"), table_defaults.c_str()},
      {"table, NULL names", NamedTrigger(1, 70001, "", "", ""), table_defaults.c_str()},
      {"table, OLD renamed", NamedTrigger(1, 70001, "O", "NEW", "PARENT"), table_old_renamed.c_str()},
      {"table, OLD renamed, PARENT NULL", NamedTrigger(1, 70001, "O", "", ""), table_old_renamed.c_str()},
      // The source database took the renamed PARENT: it is written back.
      {"table, PARENT renamed", NamedTrigger(1, 70001, "OLD", "NEW", "P"), table_parent_renamed.c_str()},
      // A renamed PARENT no identifier can hold is dropped, not the trigger:
      // the body of a table trigger cannot use it.
      {"table, PARENT unwritable", NamedTrigger(1, 70001, "OLD", "NEW", "P\"Q"), table_defaults.c_str()},
      {"table, PARENT too long", NamedTrigger(1, 70001, "OLD", "NEW", "PARENT_NAME_LONGER_THAN_THIRTY_B"),
       table_defaults.c_str()},
      // A statement trigger has no row to refer to.
      {"statement level, PARENT renamed", NamedTrigger(0, 70001, "O", "N", "P"), statement_level.c_str()},
      // On a nested-table column all three names are written.
      {"nested table, defaults", OnNestedTable("PARENT"), nested_defaults.c_str()},
      {"nested table, PARENT NULL", OnNestedTable(""), nested_defaults.c_str()},
      {"nested table, PARENT renamed", OnNestedTable("D"), nested_renamed.c_str()},
      // Its body may use PARENT: an unwritable name leaves the trigger out.
      {"nested table, PARENT unwritable", OnNestedTable("D\nX"), nullptr},
      {"nested table, column unknown", OnNestedTable("PARENT", 9), nullptr},
      {"nested table, no column recorded", OnNestedTable("PARENT", 0), nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TriggerCatalogue cat;
    cat.db.Trigger("HR", "T", c.trigger);
    RecorderSink sink;
    CreateTriggers(cat.db.cat, sink);
    if (c.expected == nullptr) {
      EXPECT_TRUE(sink.statements.empty());
      EXPECT_EQ(sink.skipped.size(), 1u);
      continue;
    }
    ASSERT_EQ(sink.statements.size(), 1u);
    EXPECT_EQ(sink.statements[0].text, c.expected);
    EXPECT_EQ(test::OracleGrammar::Check(sink.statements[0].text), "");
    EXPECT_TRUE(sink.skipped.empty());
  }
}

}  // namespace
}  // namespace quillon::repair
