#include "repair/key_ddl.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "reader/packed_codes.h"
#include "support/oracle_grammar.h"

namespace quillon::repair {
namespace {

ConstraintDefinition Constraint(std::string name, ConstraintKind kind, std::vector<std::string> columns,
                                std::uint32_t defer = 0x04, bool enabled = true) {
  ConstraintDefinition k;
  k.name = std::move(name);
  k.kind = kind;
  std::uint32_t n = 0;
  for (std::string& c : columns) {
    ++n;
    k.columns.push_back(ConstraintColumn{std::move(c), n, n});
  }
  k.enabled = enabled;
  k.defer = defer;
  k.deferrable = (defer & 0x01) != 0;
  k.deferred = (defer & 0x02) != 0;
  k.validated = (defer & 0x04) != 0;
  k.generated_name = (defer & 0x08) != 0;
  k.rely = (defer & 0x20) != 0;
  return k;
}

TableDefinition Table(std::string name, std::vector<ConstraintDefinition> constraints, std::uint64_t property = 0) {
  TableDefinition t;
  t.object = ObjectName{10, "SCOTT", std::move(name)};
  t.property = property;
  t.constraints = std::move(constraints);
  return t;
}

TEST(KeyDdl, StateSuffix) {
  struct Case {
    std::uint32_t defer;
    bool enabled;
    const char* suffix;
  };
  const Case cases[] = {
      {0, false, " DISABLE"},
      {0x08, false, " DISABLE"},             // only a generated name: not validated
      {0x04, false, " DISABLE VALIDATE"},
      {0x0C, false, " DISABLE VALIDATE"},
      {0x04, true, ""},
      {0x0C, true, ""},
      {0x00, true, " ENABLE NOVALIDATE"},    // enabled, never validated
      {0x08, true, " ENABLE NOVALIDATE"},
      {7, true, " DEFERRABLE INITIALLY DEFERRED"},
      {5, true, " DEFERRABLE"},
      {37, true, " DEFERRABLE RELY"},
      {36, true, " RELY"},
      {39, true, " DEFERRABLE INITIALLY DEFERRED RELY"},
      {0x0D, true, " DEFERRABLE"},
      {7, false, " DEFERRABLE INITIALLY DEFERRED DISABLE VALIDATE"},
      {3, true, " DEFERRABLE INITIALLY DEFERRED ENABLE NOVALIDATE"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ConstraintStateSuffix(Constraint("C", ConstraintKind::kCheck, {}, c.defer, c.enabled)), c.suffix)
        << c.defer << " " << c.enabled;
  }
}

TEST(KeyDdl, KeyAndCheckConstraints) {
  ConstraintDefinition check = Constraint("CK_SAL", ConstraintKind::kCheck, {}, 0, false);
  check.condition = "SAL > 0";
  ConstraintDefinition not_null = Constraint("SYS_C1", ConstraintKind::kNotNull, {"EMPNO"});
  not_null.condition = "\"EMPNO\" IS NOT NULL";
  ConstraintDefinition fk = Constraint("FK", ConstraintKind::kForeignKey, {"DEPTNO"});
  std::vector<TableDefinition> tables = {
      Table("EMP", {check, not_null, fk, Constraint("PK_EMP", ConstraintKind::kPrimaryKey, {"A", "B"}),
                    Constraint("UK_EMP", ConstraintKind::kUnique, {"C"}, 0x0C)}),
      Table("XDB$STATS", {Constraint("PK_X", ConstraintKind::kPrimaryKey, {"A"})}),
      // Partitioned and index-organized tables carry their keys inline.
      Table("PART", {Constraint("PK_P", ConstraintKind::kPrimaryKey, {"A"})}, 0x20000020),
      Table("IOT", {Constraint("PK_I", ConstraintKind::kPrimaryKey, {"A"})}, 2128),
      Table("BAD", {Constraint("X\";DROP", ConstraintKind::kPrimaryKey, {"A"})}),
  };
  RecorderSink sink;
  AddKeyAndCheckConstraints(tables, sink);
  const std::vector<std::string> expected = {
      "ALTER TABLE \"SCOTT\".\"EMP\"\r\n    ADD CONSTRAINT \"CK_SAL\" CHECK (SAL > 0) DISABLE",
      "ALTER TABLE \"SCOTT\".\"EMP\"\r\n    ADD CONSTRAINT \"PK_EMP\" PRIMARY KEY ( \"A\", \"B\")",
      "ALTER TABLE \"SCOTT\".\"EMP\"\r\n    ADD CONSTRAINT \"UK_EMP\" UNIQUE ( \"C\")",
  };
  EXPECT_EQ(sink.Texts(), expected);
  EXPECT_EQ(test::RefusedStatements(sink.Texts()), std::vector<std::string>{});
  ASSERT_EQ(sink.skipped.size(), 1u);
  EXPECT_EQ(sink.statements[0].note.phase, "Repairing Constraint ");
}

TEST(KeyDdl, ForeignKeys) {
  ConstraintDefinition cascade = Constraint("FK_DEPT", ConstraintKind::kForeignKey, {"DEPTNO"}, 7);
  cascade.delete_rule = DeleteRule::kCascade;
  cascade.references = ReferencedKey{ObjectName{1, "HR", "DEPT"}, 3, "PK_DEPT", {{"DEPTNO", 1, 1}}};
  ConstraintDefinition set_null = Constraint("FK_MGR", ConstraintKind::kForeignKey, {"MGR", "ORG"});
  set_null.delete_rule = DeleteRule::kSetNull;
  set_null.references = ReferencedKey{ObjectName{10, "SCOTT", "EMP"}, 4, "PK", {{"EMPNO", 1, 1}, {"ORG", 2, 2}}};
  ConstraintDefinition lost = Constraint("FK_LOST", ConstraintKind::kForeignKey, {"X"});
  RecorderSink sink;
  const std::vector<TableDefinition> tables = {Table("EMP", {cascade, set_null, lost})};
  AddForeignKeys(tables, sink);
  const std::vector<std::string> expected = {
      "ALTER TABLE \"SCOTT\".\"EMP\"\r\n    ADD CONSTRAINT \"FK_DEPT\" FOREIGN KEY (\"DEPTNO\")\r\n"
      "        REFERENCES \"HR\".\"DEPT\"(\"DEPTNO\") ON DELETE CASCADE DEFERRABLE INITIALLY DEFERRED",
      "ALTER TABLE \"SCOTT\".\"EMP\"\r\n    ADD CONSTRAINT \"FK_MGR\" FOREIGN KEY (\"MGR\",\"ORG\")\r\n"
      "        REFERENCES \"SCOTT\".\"EMP\"(\"EMPNO\",\"ORG\") ON DELETE SET NULL",
  };
  EXPECT_EQ(sink.Texts(), expected);
  EXPECT_EQ(test::RefusedStatements(sink.Texts()), std::vector<std::string>{});
  ASSERT_EQ(sink.skipped.size(), 1u);
  EXPECT_EQ(sink.skipped[0].note.object, "Constraint SCOTT.FK_LOST");
}

IndexDefinition Index(std::string name, std::vector<std::string> columns, IndexKind kind = IndexKind::kNormal) {
  IndexDefinition ix;
  ix.object = ObjectName{50, "SCOTT", std::move(name)};
  ix.has_index_record = true;
  ix.table = ObjectName{10, "SCOTT", "EMP"};
  ix.kind = kind;
  ix.tablespace = "IDX";
  std::uint32_t n = 0;
  for (std::string& c : columns) {
    ++n;
    IndexColumnDefinition col;
    col.name = std::move(c);
    col.internal_column = n;
    col.position = n;
    ix.columns.push_back(col);
  }
  return ix;
}

TEST(KeyDdl, Indexes) {
  std::vector<IndexDefinition> indexes;
  IndexDefinition unique_reverse = Index("UX", {"A", "B"});
  unique_reverse.property = 5;
  unique_reverse.unique = unique_reverse.reverse = true;
  indexes.push_back(unique_reverse);
  IndexDefinition function = Index("FX", {"SYS_NC00005$", "C"});
  function.columns[0].expression = "UPPER(\"ENAME\")";
  function.columns[1].descending = true;
  indexes.push_back(function);
  IndexDefinition cluster = Index("CX", {}, IndexKind::kCluster);
  cluster.on_cluster = true;
  cluster.table = ObjectName{9, "SCOTT", "EMP_DEPT"};
  indexes.push_back(cluster);
  IndexDefinition bitmap = Index("BX", {"D"}, IndexKind::kBitmap);
  bitmap.bitmap = true;
  indexes.push_back(bitmap);
  // Passed over: a key's index, LOB, IOT top and domain indexes, a bitmap
  // join index, SYS's indexes, and an expression column without its text.
  IndexDefinition backing = Index("PK_EMP", {"A"});
  backing.backs_constraint = true;
  indexes.push_back(backing);
  indexes.push_back(Index("SYS_IL0000", {"L"}, IndexKind::kLob));
  indexes.push_back(Index("SYS_IOT_TOP", {"A"}, IndexKind::kIotTop));
  indexes.push_back(Index("TEXT_IX", {"A"}, IndexKind::kDomain));
  IndexDefinition join = Index("BJX", {"A"}, IndexKind::kBitmap);
  join.bitmap = true;
  join.property = 0x400;
  indexes.push_back(join);
  IndexDefinition sys = Index("I_OBJ", {"A"});
  sys.object.owner = "SYS";
  indexes.push_back(sys);
  indexes.push_back(Index("LOSTX", {"SYS_NC00009$"}));
  RecorderSink sink;
  CreateIndexes(indexes, {}, sink);
  const std::vector<std::string> expected = {
      "CREATE UNIQUE INDEX \"SCOTT\".\"UX\"\r\n ON \"SCOTT\".\"EMP\"\r\n\t (\"A\",\"B\"\r\n\t )\r\n"
      " TABLESPACE \"IDX\" REVERSE",
      "CREATE INDEX \"SCOTT\".\"FX\"\r\n ON \"SCOTT\".\"EMP\"\r\n\t (UPPER(\"ENAME\"),\"C\" DESC\r\n\t )\r\n"
      " TABLESPACE \"IDX\"",
      "CREATE INDEX \"SCOTT\".\"CX\"\r\n ON CLUSTER \"SCOTT\".\"EMP_DEPT\" \r\n TABLESPACE \"IDX\"",
      "CREATE BITMAP INDEX \"SCOTT\".\"BX\"\r\n ON \"SCOTT\".\"EMP\"\r\n\t (\"D\"\r\n\t )\r\n TABLESPACE \"IDX\"",
  };
  EXPECT_EQ(sink.Texts(), expected);
  EXPECT_EQ(test::RefusedStatements(sink.Texts()), std::vector<std::string>{});
  ASSERT_EQ(sink.skipped.size(), 1u);
  EXPECT_EQ(sink.skipped[0].note.object, "Index SCOTT.LOSTX");
}

ColumnDefinition KeyColumn(std::string name, std::uint32_t type, std::optional<std::int64_t> p = std::nullopt,
                           std::optional<std::int64_t> s = std::nullopt) {
  ColumnDefinition c;
  c.name = std::move(name);
  c.type_code = type;
  c.length = 22;
  c.precision = p;
  c.scale = s;
  return c;
}

TEST(KeyDdl, Clusters) {
  ClusterDefinition hash;
  hash.object = ObjectName{9, "SCOTT", "HC"};
  hash.tablespace = "USERS";
  hash.hash_keys = 1000;
  hash.hash = true;
  hash.key_columns = {KeyColumn("ID", type_code::kNumber, 10, 0)};
  hash.key_columns[0].default_text = "0";  // CREATE CLUSTER has no DEFAULT
  ClusterDefinition indexed;
  indexed.object = ObjectName{8, "SCOTT", "IC"};
  indexed.tablespace = "USERS";
  indexed.key_columns = {KeyColumn("A", type_code::kVarchar2), KeyColumn("B", type_code::kDate)};
  ClusterDefinition hostile = indexed;
  hostile.object.name = std::string(31, 'C');
  RecorderSink sink;
  CreateClusters(std::vector<ClusterDefinition>{hash, indexed, hostile}, sink);
  const std::vector<std::string> expected = {
      "CREATE CLUSTER \"SCOTT\".\"HC\"\r\n\t(\r\n\t\t\"ID\" NUMBER (10,0)\r\n\t)\r\n TABLESPACE \"USERS\" HASHKEYS 1000",
      "CREATE CLUSTER \"SCOTT\".\"IC\"\r\n\t(\r\n\t\t\"A\" VARCHAR2(22),\r\n\t\t\"B\" DATE \r\n\t)\r\n"
      " TABLESPACE \"USERS\"",
  };
  EXPECT_EQ(sink.Texts(), expected);
  EXPECT_EQ(test::RefusedStatements(sink.Texts()), std::vector<std::string>{});
  EXPECT_EQ(sink.skipped.size(), 1u);
}

}  // namespace
}  // namespace quillon::repair
