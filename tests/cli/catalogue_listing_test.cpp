// The catalogue listing from hand-made records: key columns in key order
// whatever order CCOL$ was read in, foreign keys with their target, and the
// built-in users and tablespaces marked.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "cli/catalogue_listing.h"

namespace quillon {
namespace {

void AddObject(Catalogue& c, std::uint32_t number, const std::string& owner, const std::string& name, ObjectKind kind) {
  ObjectRecord o;
  o.object_number = number;
  o.owner = owner;
  o.name = name;
  o.kind = kind;
  c.AddObject(o);
}

void AddColumn(Catalogue& c, std::uint32_t table, std::uint32_t internal_column, const std::string& name) {
  ColumnInfo col;
  col.object_number = table;
  col.internal_column = col.column_number = col.segment_column = internal_column;
  col.name = name;
  col.sql_type = "NUMBER";
  c.columns.Append(col);
}

void AddConstraint(Catalogue& c, std::uint32_t table, std::uint32_t number, std::uint32_t type, const std::string& name,
                   std::vector<std::pair<std::uint32_t, std::uint32_t>> key_columns,  // INTCOL#, POS# in read order
                   std::uint32_t referenced_object = 0, std::uint32_t referenced_constraint = 0,
                   std::uint32_t delete_rule = 0) {
  ConstraintRecord cd;
  cd.table_object_number = table;
  cd.constraint_number = number;
  cd.type = type;
  cd.enabled = 1;
  cd.referenced_object = referenced_object;
  cd.referenced_constraint = referenced_constraint;
  cd.delete_rule = delete_rule;
  c.constraints.Append(cd);
  ConstraintNameRecord n;
  n.constraint_number = number;
  n.name = name;
  c.constraint_names.Append(n);
  for (const auto& [intcol, pos] : key_columns) {
    ConstraintColumnRecord cc;
    cc.table_object_number = table;
    cc.constraint_number = number;
    cc.internal_column = cc.column_number = intcol;
    cc.position = pos;
    c.constraint_columns.Append(cc);
  }
}

std::string Listing(const Catalogue& c) {
  std::ostringstream out;
  cli::WriteCatalogueListing(c, {}, out);
  return out.str();
}

TEST(CatalogueListing, KeyColumnsInPositionOrderWhateverTheReadOrder) {
  struct Case {
    const char* what;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> records;
    const char* expected;
  };
  const std::vector<Case> cases = {
      {"in order", {{1, 1}, {2, 2}, {3, 3}}, "      constraint P T_PK (A, B, C)\n"},
      {"read backwards", {{3, 3}, {2, 2}, {1, 1}}, "      constraint P T_PK (A, B, C)\n"},
      {"key order unlike column order", {{1, 2}, {3, 1}, {2, 3}}, "      constraint P T_PK (C, A, B)\n"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    Catalogue c;
    AddObject(c, 100, "SCOTT", "T", ObjectKind::kTable);
    AddColumn(c, 100, 1, "A");
    AddColumn(c, 100, 2, "B");
    AddColumn(c, 100, 3, "C");
    AddConstraint(c, 100, 500, constraint_type::kPrimaryKey, "T_PK", k.records);
    const std::string text = Listing(c);
    EXPECT_NE(text.find(k.expected), std::string::npos) << text;
  }
}

TEST(CatalogueListing, ForeignKeysNameTheirTarget) {
  Catalogue c;
  AddObject(c, 200, "HR", "DEPT", ObjectKind::kTable);
  AddColumn(c, 200, 1, "DEPTNO");
  AddColumn(c, 200, 2, "LOC");
  AddConstraint(c, 200, 600, constraint_type::kPrimaryKey, "DEPT_PK", {{2, 2}, {1, 1}});
  AddObject(c, 300, "SCOTT", "EMP", ObjectKind::kTable);
  AddColumn(c, 300, 1, "D_LOC");
  AddColumn(c, 300, 2, "D_NO");
  AddConstraint(c, 300, 700, constraint_type::kForeignKey, "EMP_FK", {{1, 2}, {2, 1}}, 200, 600, 1);
  const std::string text = Listing(c);
  EXPECT_NE(text.find("      constraint R EMP_FK (D_NO, D_LOC) REFERENCES HR.DEPT (DEPTNO, LOC) ON DELETE CASCADE\n"),
            std::string::npos)
      << text;
}

TEST(CatalogueListing, BuiltinUsersRolesAndTablespacesAreMarked) {
  Catalogue c;
  for (const auto& [number, name] : std::vector<std::pair<std::uint32_t, std::string>>{{0, "SYS"}, {84, "SCOTT"}}) {
    UserRecord u;
    u.number = number;
    u.name = name;
    u.identification = "KESTON";
    c.users.Append(u);
  }
  RoleRecord r;
  r.name = "DBA";
  r.identification = "NONE";
  c.roles.Append(r);
  for (const char* name : {"SYSAUX", "HR_DATA"}) {
    TablespaceRecord t;
    t.name = name;
    c.tablespaces.Append(t);
  }
  const std::string text = Listing(c);
  EXPECT_NE(text.find("  SYS  default -  temporary -  KESTON  built-in\n"), std::string::npos) << text;
  EXPECT_NE(text.find("  SCOTT  default -  temporary -  KESTON\n"), std::string::npos) << text;
  EXPECT_NE(text.find("  DBA  NONE  built-in\n"), std::string::npos) << text;
  EXPECT_NE(text.find("  SYSAUX  number 0  block size 0  built-in\n"), std::string::npos) << text;
  EXPECT_NE(text.find("  HR_DATA  number 0  block size 0\n"), std::string::npos) << text;
}

}  // namespace
}  // namespace quillon
