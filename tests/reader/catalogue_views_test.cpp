// The catalogue views: definitions joined from hand-made catalogue records
// (key columns read out of order, unresolved numbers, NULL precisions) and
// from the sample database the generator describes.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

#include "reader/catalogue_views.h"
#include "reader/dictionary_rebuild.h"
#include "reader/engine.h"
#include "reader/identify.h"
#include "reader/packed_codes.h"
#include "support/generated_schema_db.h"
#include "testdb/sample_database.h"

namespace quillon {
namespace {

// The record appended last to a list, to be adjusted by the test (never a
// key field: the list's indexes keep the keys it was appended with).
template <typename List>
auto& Last(const List& list) {
  using Record = std::remove_cvref_t<decltype(*list.begin())>;
  const Record* last = nullptr;
  for (const Record& r : list) last = &r;
  return const_cast<Record&>(*last);
}

// Catalogue records written by hand.
struct Records {
  Catalogue c;

  void Object(std::uint32_t number, const std::string& owner, const std::string& name,
              std::optional<ObjectKind> kind = ObjectKind::kTable) {
    ObjectRecord o;
    o.object_number = number;
    o.owner = owner;
    o.name = name;
    o.kind = kind;
    c.AddObject(o);
  }
  TableRecord& Table(std::uint32_t number, const std::string& owner, const std::string& name,
                     std::uint64_t property = 0) {
    Object(number, owner, name);
    TableRecord t;
    t.object_number = number;
    t.property = property;
    t.tablespace = "USERS";
    t.data_object_number = number;
    c.tables.Append(t);
    return const_cast<TableRecord&>(*c.tables.First<0>(number));
  }
  // GCC 12 at -O3 (unity build) takes the copy of a short string in
  // Append for a read of uninitialised bytes past its end: a false
  // -Wmaybe-uninitialized, silenced for this helper only.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
  ColumnInfo& Column(std::uint32_t table, std::uint32_t internal_column, const std::string& name,
                     std::uint32_t type = type_code::kNumber) {
    ColumnInfo col;
    col.object_number = table;
    col.internal_column = col.column_number = col.segment_column = internal_column;
    col.name = name;
    col.type_code = type;
    col.length_text = "22";
    col.precision_text = "FF";
    col.scale_text = "FF";
    c.columns.Append(col);
    return Last(c.columns);
  }
#pragma GCC diagnostic pop
  ConstraintRecord& Constraint(std::uint32_t table, std::uint32_t number, std::uint32_t type, const std::string& name) {
    ConstraintRecord cd;
    cd.table_object_number = table;
    cd.constraint_number = number;
    cd.type = type;
    cd.enabled = 1;
    c.constraints.Append(cd);
    ConstraintNameRecord n;
    n.constraint_number = number;
    n.name = name;
    c.constraint_names.Append(n);
    return Last(c.constraints);
  }
  void KeyColumn(std::uint32_t table, std::uint32_t constraint, std::uint32_t internal_column, std::uint32_t position) {
    ConstraintColumnRecord cc;
    cc.table_object_number = table;
    cc.constraint_number = constraint;
    cc.internal_column = cc.column_number = internal_column;
    cc.position = position;
    c.constraint_columns.Append(cc);
  }

};

std::vector<std::string> Names(const std::vector<ConstraintColumn>& columns) {
  std::vector<std::string> out;
  for (const auto& c : columns) out.push_back(c.name);
  return out;
}

const ConstraintDefinition* Named(const TableDefinition& t, const std::string& name) {
  for (const auto& cd : t.constraints) {
    if (cd.name == name) return &cd;
  }
  return nullptr;
}

TEST(CatalogueViews, ConstraintColumnsFollowTheirPositionsWhateverTheReadOrder) {
  struct Case {
    const char* what;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> records;  // INTCOL#, POS# in read order
    std::vector<std::string> expected;
  };
  const std::vector<Case> cases = {
      {"in order", {{1, 1}, {2, 2}, {3, 3}}, {"A", "B", "C"}},
      {"reversed", {{1, 3}, {2, 2}, {3, 1}}, {"C", "B", "A"}},
      {"shuffled", {{2, 3}, {4, 1}, {1, 2}}, {"D", "A", "B"}},
      {"no positions (check): by column", {{3, 0}, {1, 0}}, {"A", "C"}},
      {"unknown column", {{9, 2}, {1, 1}}, {"A", "#9"}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    Records r;
    r.Table(100, "SCOTT", "T");
    for (std::uint32_t i = 1; i <= 4; ++i) r.Column(100, i, std::string(1, static_cast<char>('A' + i - 1)));
    r.Constraint(100, 500, constraint_type::kPrimaryKey, "T_PK");
    for (const auto& [intcol, pos] : k.records) r.KeyColumn(100, 500, intcol, pos);
    r.KeyColumn(101, 500, 2, 0);  // a row of another table under the same number is not this key's
    const TableDefinition t = CatalogueViews(r.c).Table(*r.c.Object(100));
    ASSERT_EQ(t.constraints.size(), 1u);
    EXPECT_EQ(Names(t.constraints[0].columns), k.expected);
    ASSERT_NE(t.FirstConstraint(ConstraintKind::kPrimaryKey), nullptr);
  }
}

TEST(CatalogueViews, ForeignKeysNameTheirTargetAndRules) {
  struct Case {
    const char* what;
    std::uint32_t type;
    std::uint32_t referenced_object;
    std::uint32_t delete_rule;
    std::uint32_t defer;
    bool has_target;
    DeleteRule rule;
  };
  const std::vector<Case> cases = {
      {"no action", constraint_type::kForeignKey, 200, 0, 0, true, DeleteRule::kNoAction},
      {"cascade", constraint_type::kForeignKey, 200, 1, 0, true, DeleteRule::kCascade},
      {"set null", constraint_type::kForeignKey, 200, 2, 0, true, DeleteRule::kSetNull},
      {"unknown rule", constraint_type::kForeignKey, 200, 7, 0, true, DeleteRule::kNoAction},
      {"target not in the catalogue", constraint_type::kForeignKey, 999, 1, 0, false, DeleteRule::kCascade},
      {"only foreign keys reference", constraint_type::kUnique, 200, 0, 0, false, DeleteRule::kNoAction},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    Records r;
    r.Table(200, "HR", "DEPT");
    r.Column(200, 1, "DEPTNO");
    r.Column(200, 2, "LOC");
    r.Constraint(200, 600, constraint_type::kPrimaryKey, "DEPT_PK");
    r.KeyColumn(200, 600, 2, 2);
    r.KeyColumn(200, 600, 1, 1);
    r.Table(300, "SCOTT", "EMP");
    r.Column(300, 1, "EMPNO");
    r.Column(300, 2, "DEPT_LOC");
    r.Column(300, 3, "DEPT_NO");
    ConstraintRecord& fk = r.Constraint(300, 700, k.type, "EMP_DEPT_FK");
    fk.referenced_object = k.referenced_object;
    fk.referenced_constraint = 600;
    fk.delete_rule = k.delete_rule;
    r.KeyColumn(300, 700, 2, 2);
    r.KeyColumn(300, 700, 3, 1);

    const TableDefinition t = CatalogueViews(r.c).Table(*r.c.Object(300));
    const ConstraintDefinition* cd = Named(t, "EMP_DEPT_FK");
    ASSERT_NE(cd, nullptr);
    EXPECT_EQ(Names(cd->columns), (std::vector<std::string>{"DEPT_NO", "DEPT_LOC"}));
    if (k.type == constraint_type::kForeignKey) {
      EXPECT_EQ(cd->delete_rule, k.rule);
    }
    ASSERT_EQ(cd->references.has_value(), k.has_target);
    if (!k.has_target) continue;
    EXPECT_EQ(cd->references->table.owner, "HR");
    EXPECT_EQ(cd->references->table.name, "DEPT");
    EXPECT_EQ(cd->references->constraint_name, "DEPT_PK");
    EXPECT_EQ(Names(cd->references->columns), (std::vector<std::string>{"DEPTNO", "LOC"}));
  }
}

TEST(CatalogueViews, ConstraintStateFlags) {
  struct Case {
    std::uint32_t enabled, defer;
    bool is_enabled, deferrable, deferred, validated, generated, rely;
  };
  const std::vector<Case> cases = {
      {1, 0x00, true, false, false, false, false, false},
      {0, 0x04, false, false, false, true, false, false},
      {1, 0x07, true, true, true, true, false, false},
      {1, 0x0C, true, false, false, true, true, false},
      {4711, 0x25, true, true, false, true, false, true},  // ENABLED holding an index number
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.defer);
    Records r;
    r.Table(100, "SCOTT", "T");
    ConstraintRecord& cd = r.Constraint(100, 500, constraint_type::kCheck, "T_CK");
    cd.enabled = k.enabled;
    cd.defer = k.defer;
    cd.condition = "A > 0";
    const ConstraintDefinition d = CatalogueViews(r.c).Constraints(100).at(0);
    EXPECT_EQ(d.kind, ConstraintKind::kCheck);
    EXPECT_EQ(d.enabled, k.is_enabled);
    EXPECT_EQ(d.deferrable, k.deferrable);
    EXPECT_EQ(d.deferred, k.deferred);
    EXPECT_EQ(d.validated, k.validated);
    EXPECT_EQ(d.generated_name, k.generated);
    EXPECT_EQ(d.rely, k.rely);
    EXPECT_EQ(d.condition, "A > 0");
  }
}

TEST(CatalogueViews, ColumnNumbersAreOptionalIntegers) {
  struct Case {
    const char* length;
    const char* precision;
    const char* scale;
    std::optional<std::int64_t> want_length, want_precision, want_scale;
  };
  const std::vector<Case> cases = {
      {"22", "FF", "FF", 22, std::nullopt, std::nullopt},       // NUMBER
      {"22", "126", "FF", 22, 126, std::nullopt},               // FLOAT(126)
      {"22", "10", "2", 22, 10, 2},                             // NUMBER(10, 2)
      {"22", "6", "0", 22, 6, 0},                               // NUMBER(6, 0): zero is not NULL
      {"22", "5", "-2", 22, 5, -2},                             // negative scale
      {"0100", "FF", "FF", 100, std::nullopt, std::nullopt},    // a number text with a leading zero
      {"FF", "FF", "FF", std::nullopt, std::nullopt, std::nullopt},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(std::string(k.length) + " " + k.precision + " " + k.scale);
    Records r;
    r.Table(100, "SCOTT", "T");
    ColumnInfo& col = r.Column(100, 1, "N");
    col.length_text = k.length;
    col.precision_text = k.precision;
    col.scale_text = k.scale;
    const ColumnDefinition d = CatalogueViews(r.c).Columns(100).at(0);
    EXPECT_EQ(d.length, k.want_length);
    EXPECT_EQ(d.precision, k.want_precision);
    EXPECT_EQ(d.scale, k.want_scale);
  }
}

TEST(CatalogueViews, ColumnsInOrderWithFlagsTypesAndNotNullNames) {
  Records r;
  r.Table(100, "SCOTT", "T");
  // Read out of INTCOL# order; a hidden system column and a virtual column.
  ColumnInfo& name = r.Column(100, 2, "NAME", type_code::kVarchar2);
  name.charset_id = kNationalCharsetCode;
  name.charset_form = 2;
  name.nullable = false;
  ColumnInfo& hidden = r.Column(100, 4, "SYS_NC00004$", type_code::kVarchar2);
  hidden.column_number = 0;
  hidden.segment_column = 0;
  hidden.property = 0x10000 | 0x20;
  hidden.default_text = "UPPER(\"NAME\")";
  r.Column(100, 1, "ID");
  ColumnInfo& doubled = r.Column(100, 3, "DOUBLED");
  doubled.segment_column = 0;
  doubled.property = 0x10008;
  doubled.default_text = "\"ID\"*2";
  ColumnInfo& address = r.Column(100, 5, "ADDRESS", type_code::kObject);
  address.column_number = 4;
  ColumnTypeRecord ct;
  ct.table_object_number = 100;
  ct.internal_column = 5;
  ct.type_oid = " 01 02";
  r.c.column_types.Append(ct);
  ObjectRecord type;
  type.object_number = 900;
  type.owner = "SCOTT";
  type.name = "ADDRESS_T";
  type.oid = " 01 02";
  type.kind = ObjectKind::kType;
  r.c.AddObject(type);
  ColumnInfo& city = r.Column(100, 6, "SYS_NC00006$", type_code::kVarchar2);
  city.column_number = 0;
  city.property = 0x20;
  AttributeColumnRecord attribute;
  attribute.table_object_number = 100;
  attribute.internal_column = 6;
  attribute.name = "\"ADDRESS\".\"CITY\"";
  r.c.attribute_columns.Append(attribute);
  r.Constraint(100, 500, constraint_type::kNotNull, "SYS_C0042");
  r.KeyColumn(100, 500, 2, 0);

  const TableDefinition t = CatalogueViews(r.c).Table(*r.c.Object(100));
  std::vector<std::string> all, declared;
  for (const auto& c : t.columns) all.push_back(c.name);
  for (const auto* c : t.DeclaredColumns()) declared.push_back(c->name);
  EXPECT_EQ(all, (std::vector<std::string>{"ID", "NAME", "DOUBLED", "SYS_NC00004$", "ADDRESS", "SYS_NC00006$"}));
  EXPECT_EQ(declared, (std::vector<std::string>{"ID", "NAME", "DOUBLED", "ADDRESS"}));
  const ColumnDefinition& n = t.columns[1];
  EXPECT_TRUE(n.national);
  EXPECT_EQ(n.charset_form, 2);
  EXPECT_FALSE(n.nullable);
  EXPECT_EQ(n.not_null_constraint, "SYS_C0042");
  EXPECT_EQ(t.columns[0].not_null_constraint, "");
  EXPECT_TRUE(t.columns[2].is_virtual);
  EXPECT_FALSE(t.columns[2].hidden);
  EXPECT_TRUE(t.columns[3].hidden);
  EXPECT_TRUE(t.columns[3].system_generated);
  ASSERT_TRUE(t.columns[4].user_type.has_value());
  EXPECT_EQ(t.columns[4].user_type->owner, "SCOTT");
  EXPECT_EQ(t.columns[4].user_type->name, "ADDRESS_T");
  EXPECT_FALSE(t.columns[0].user_type.has_value());
  EXPECT_EQ(t.columns[5].attribute_name, "\"ADDRESS\".\"CITY\"");
  EXPECT_EQ(t.columns[4].attribute_name, std::nullopt);
}

TEST(CatalogueViews, PartitionsInPartitionOrderWithBounds) {
  Records r;
  r.Table(100, "SH", "SALES", 0x20).data_object_number.reset();
  r.Column(100, 1, "REGION");
  r.Column(100, 2, "SOLD");
  PartitionedObjectRecord po;
  po.object_number = 100;
  po.partitioning_type = 1;
  po.subpartitioning_type = 4;
  po.interval = "NUMTOYMINTERVAL(1,'MONTH')";
  r.c.partitioned_objects.Append(po);
  for (const auto& [intcol, pos, sub] : std::vector<std::tuple<std::uint32_t, std::uint32_t, bool>>{
           {1, 2, false}, {2, 1, false}, {1, 1, true}}) {
    PartitionColumnRecord pc;
    pc.object_number = 100;
    pc.internal_column = intcol;
    pc.position = pos;
    pc.subpartition_key = sub;
    r.c.partition_columns.Append(pc);
  }
  // Read in the order P3, P1, P2; P2 is composite with subpartitions read
  // out of order.
  const auto partition = [&](std::uint32_t object, const std::string& name, std::uint32_t number,
                             const std::string& high) {
    e6struct p;
    p.object_number = object;
    p.base_object = 100;
    p.name = name;
    p.partition_number = number;
    p.high_value = high;
    p.tablespace = "TS_" + name;
    r.c.table_partitions.Append(p);
  };
  partition(103, "P3", 30, "MAXVALUE");
  partition(101, "P1", 10, "10, 'A'");
  F9struct composite;
  composite.object_number = 102;
  composite.base_object = 100;
  composite.name = "P2";
  composite.partition_number = 20;
  composite.high_value = "20, 'B'";
  composite.default_tablespace = "TS_P2";
  r.c.composite_partitions.Append(composite);
  const auto subpartition = [&](std::uint32_t object, const std::string& name, std::uint32_t number,
                                const std::string& high) {
    F0struct s;
    s.object_number = object;
    s.parent_partition = 102;
    s.name = name;
    s.subpartition_number = number;
    s.high_value = high;
    s.tablespace = "TS_" + name;
    r.c.subpartitions.Append(s);
  };
  subpartition(112, "P2_REST", 2, " default ");
  subpartition(111, "P2_EAST", 1, "'EAST'");

  const TableDefinition t = CatalogueViews(r.c).Table(*r.c.Object(100));
  EXPECT_TRUE(t.partitioned);
  ASSERT_TRUE(t.partitioning.has_value());
  EXPECT_EQ(t.partitioning->method, PartitioningMethod::kRange);
  EXPECT_EQ(t.partitioning->subpartitioning, PartitioningMethod::kList);
  EXPECT_EQ(t.partitioning->interval, "NUMTOYMINTERVAL(1,'MONTH')");
  ASSERT_EQ(t.partitioning->key_columns.size(), 2u);
  EXPECT_EQ(t.partitioning->key_columns[0].name, "SOLD");
  EXPECT_EQ(t.partitioning->key_columns[1].name, "REGION");
  ASSERT_EQ(t.partitioning->subpartition_key_columns.size(), 1u);
  EXPECT_EQ(t.partitioning->subpartition_key_columns[0].name, "REGION");

  struct Want {
    const char* name;
    std::optional<std::string> high;
    BoundKind bound;
    const char* tablespace;
  };
  const std::vector<Want> want = {{"P1", "10, 'A'", BoundKind::kValues, "TS_P1"},
                                  {"P2", "20, 'B'", BoundKind::kValues, "TS_P2"},
                                  {"P3", "MAXVALUE", BoundKind::kMaxValue, "TS_P3"}};
  ASSERT_EQ(t.partitions.size(), want.size());
  for (std::size_t i = 0; i < want.size(); ++i) {
    SCOPED_TRACE(want[i].name);
    EXPECT_EQ(t.partitions[i].name, want[i].name);
    EXPECT_EQ(t.partitions[i].high_value, want[i].high);
    EXPECT_EQ(t.partitions[i].bound, want[i].bound);
    EXPECT_EQ(t.partitions[i].tablespace, want[i].tablespace);
  }
  EXPECT_TRUE(t.partitions[1].composite);
  ASSERT_EQ(t.partitions[1].subpartitions.size(), 2u);
  EXPECT_EQ(t.partitions[1].subpartitions[0].name, "P2_EAST");
  EXPECT_EQ(t.partitions[1].subpartitions[1].name, "P2_REST");
  EXPECT_EQ(t.partitions[1].subpartitions[1].bound, BoundKind::kDefault);
}

TEST(CatalogueViews, BoundKinds) {
  EXPECT_EQ(BoundKindOf(""), BoundKind::kNone);
  EXPECT_EQ(BoundKindOf("MAXVALUE"), BoundKind::kMaxValue);
  EXPECT_EQ(BoundKindOf(" maxvalue\n"), BoundKind::kMaxValue);
  EXPECT_EQ(BoundKindOf("DEFAULT"), BoundKind::kDefault);
  EXPECT_EQ(BoundKindOf("MAXVALUE, MAXVALUE"), BoundKind::kValues);
  EXPECT_EQ(BoundKindOf("'DEFAULT'"), BoundKind::kValues);
  EXPECT_EQ(BoundKindOf("TO_DATE(' 2003-01-01 00:00:00', 'SYYYY-MM-DD HH24:MI:SS')"), BoundKind::kValues);
}

TEST(CatalogueViews, IndexColumnsInPositionOrderWithExpressionsAndKinds) {
  struct Case {
    const char* what;
    std::uint32_t type;
    std::uint64_t property;
    bool unique, reverse, bitmap, by_constraint, on_its_own;
    IndexKind kind;
  };
  const std::vector<Case> cases = {
      {"plain", 1, 0x00, false, false, false, false, true, IndexKind::kNormal},
      {"unique reverse", 1, 0x05, true, true, false, false, true, IndexKind::kNormal},
      {"bitmap", 2, 0x00, false, false, true, false, true, IndexKind::kBitmap},
      {"made by a constraint", 1, 0x1001, true, false, false, true, false, IndexKind::kNormal},
      {"IOT top", 4, 0x01, true, false, false, false, false, IndexKind::kIotTop},
      {"LOB", 8, 0x01, true, false, false, false, false, IndexKind::kLob},
      {"domain", 9, 0x00, false, false, false, false, false, IndexKind::kDomain},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    Records r;
    r.Table(100, "SCOTT", "EMP");
    r.Column(100, 1, "ENAME", type_code::kVarchar2);
    r.Column(100, 2, "SAL");
    ColumnInfo& expr = r.Column(100, 3, "SYS_NC00003$", type_code::kVarchar2);
    expr.column_number = expr.segment_column = 0;
    expr.property = 0x10000 | 0x100 | 0x20 | 0x08;
    expr.default_text = "UPPER(\"ENAME\")";
    ColumnInfo& desc = r.Column(100, 4, "SYS_NC00004$");
    desc.column_number = desc.segment_column = 0;
    desc.property = 0x20000 | 0x10000 | 0x20 | 0x08;
    desc.default_text = "\"SAL\"";
    r.Object(150, "SCOTT", "EMP_IX", ObjectKind::kIndex);
    IndexRecord ix;
    ix.table_object_number = 100;
    ix.index_object_number = 150;
    ix.type = k.type;
    ix.property = k.property;
    ix.tablespace = "INDX";
    r.c.indexes.Append(ix);
    // ICOL$ read in the order 3, 1, 2.
    for (const auto& [intcol, pos, flags] :
         std::vector<std::tuple<std::uint32_t, std::uint32_t, std::uint64_t>>{{4, 3, 0}, {3, 1, 1}, {1, 2, 2}}) {
      IndexColumnRecord ic;
      ic.table_object_number = 100;
      ic.index_object_number = 150;
      ic.internal_column = intcol;
      ic.position = pos;
      ic.flags = flags;
      r.c.index_columns.Append(ic);
    }
    const IndexDefinition d = CatalogueViews(r.c).Index(*r.c.Object(150));
    ASSERT_TRUE(d.has_index_record);
    ASSERT_EQ(d.columns.size(), 3u);
    EXPECT_EQ(d.columns[0].name, "SYS_NC00003$");
    EXPECT_EQ(d.columns[0].expression, "UPPER(\"ENAME\")");
    EXPECT_FALSE(d.columns[0].descending);
    EXPECT_EQ(d.columns[1].name, "ENAME");
    EXPECT_EQ(d.columns[1].expression, std::nullopt);
    EXPECT_TRUE(d.columns[1].descending);  // ICOL$ flag
    EXPECT_EQ(d.columns[2].expression, "\"SAL\"");
    EXPECT_TRUE(d.columns[2].descending);  // the hidden column's property
    ASSERT_TRUE(d.table.has_value());
    EXPECT_EQ(d.table->name, "EMP");
    EXPECT_EQ(d.tablespace, "INDX");
    EXPECT_EQ(d.kind, k.kind);
    EXPECT_EQ(d.unique, k.unique);
    EXPECT_EQ(d.reverse, k.reverse);
    EXPECT_EQ(d.bitmap, k.bitmap);
    EXPECT_EQ(d.backs_constraint, k.by_constraint);
    EXPECT_EQ(d.CreatedOnItsOwn(), k.on_its_own);
  }
}

TEST(CatalogueViews, AnIndexBacksTheKeyThatNamesIt) {
  Records r;
  r.Table(100, "SCOTT", "EMP");
  r.Column(100, 1, "EMPNO");
  r.Object(150, "SCOTT", "SYS_C0099", ObjectKind::kIndex);
  r.Object(151, "SCOTT", "EMP_UK", ObjectKind::kIndex);
  r.Object(152, "SCOTT", "EMP_OTHER", ObjectKind::kIndex);
  for (std::uint32_t n : {150u, 151u, 152u}) {
    IndexRecord ix;
    ix.table_object_number = 100;
    ix.index_object_number = n;
    ix.type = 1;
    r.c.indexes.Append(ix);
  }
  r.Constraint(100, 500, constraint_type::kPrimaryKey, "EMP_PK").enabled = 150;  // ENABLED: the index
  r.Constraint(100, 501, constraint_type::kUnique, "EMP_UK");
  const CatalogueViews v(r.c);
  const std::vector<IndexDefinition> list = v.IndexesOf(100);
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0].constraint_name, "EMP_PK");
  EXPECT_EQ(list[1].constraint_name, "EMP_UK");
  EXPECT_FALSE(list[2].backs_constraint);
  EXPECT_TRUE(list[2].CreatedOnItsOwn());
  EXPECT_FALSE(list[0].CreatedOnItsOwn());
}

TEST(CatalogueViews, IndexWithoutItsRecordsKeepsDefaults) {
  Records r;
  r.Object(150, "SCOTT", "LOST_IX", ObjectKind::kIndex);
  const IndexDefinition d = CatalogueViews(r.c).Index(*r.c.Object(150));
  EXPECT_FALSE(d.has_index_record);
  EXPECT_FALSE(d.table.has_value());
  EXPECT_TRUE(d.columns.empty());
  EXPECT_FALSE(d.CreatedOnItsOwn());
}

TEST(CatalogueViews, TableKinds) {
  struct Case {
    const char* what;
    std::uint64_t property;
    bool partitioned, iot, clustered, temporary, preserve, nested;
  };
  const std::vector<Case> cases = {
      {"heap", 0, false, false, false, false, false, false},
      {"partitioned", 0x20, true, false, false, false, false, false},
      {"IOT with overflow", 0xC0, false, true, false, false, false, false},
      {"clustered", 0x400, false, false, true, false, false, false},
      {"temporary, delete rows", 0x400000, false, false, false, true, false, false},
      {"temporary, preserve rows", 0xC00000, false, false, false, true, true, false},
      {"nested-table storage", 0x2000, false, false, false, false, false, true},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    Records r;
    r.Table(100, "SCOTT", "T", k.property);
    const TableDefinition t = CatalogueViews(r.c).Table(*r.c.Object(100));
    EXPECT_TRUE(t.has_table_record);
    EXPECT_EQ(t.partitioned, k.partitioned);
    EXPECT_EQ(t.index_organized, k.iot);
    EXPECT_EQ(t.clustered, k.clustered);
    EXPECT_EQ(t.temporary, k.temporary);
    EXPECT_EQ(t.preserve_rows, k.preserve);
    EXPECT_EQ(t.nested_table_storage, k.nested);
    EXPECT_EQ(t.iot.has_value(), k.iot);
    EXPECT_FALSE(t.xml_type_table);
  }
}

TEST(CatalogueViews, BuiltinNames) {
  struct Case {
    const char* name;
    bool user, role, tablespace;
  };
  const std::vector<Case> cases = {
      {"SYS", true, false, false},      {"SYSTEM", true, false, true},  {"OUTLN", true, false, false},
      {"DBSNMP", true, false, false},   {"XDB", true, false, true},     {"SYSAUX", false, false, true},
      {"UNDOTBS1", false, false, true}, {"TEMP", false, false, true},   {"USERS", false, false, true},
      {"DBA", false, true, false},      {"CONNECT", false, true, false}, {"PUBLIC", false, true, false},
      {"SCOTT", false, false, false},   {"HR", false, false, false},    {"HR_DATA", false, false, false},
      {"sys", false, false, false},     {"", false, false, false},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    EXPECT_EQ(IsBuiltinUser(k.name), k.user);
    EXPECT_EQ(IsBuiltinRole(k.name), k.role);
    EXPECT_EQ(IsBuiltinTablespace(k.name), k.tablespace);
  }
}

// Two privilege names: system privilege -5 and table privilege 9.
void AddPrivilegeNames(Catalogue& c) {
  PrivilegeNameRecord p;
  p.privilege = -5;
  p.name = "CREATE SESSION";
  c.system_privilege_names.Append(p);
  p.privilege = 9;
  p.name = "SELECT";
  c.table_privilege_names.Append(p);
}

TEST(CatalogueViews, SecurityListsNameEveryNumber) {
  Records r;
  for (const auto& [number, name, identification] : std::vector<std::tuple<std::uint32_t, std::string, std::string>>{
           {0, "SYS", "KESTON"}, {84, "SCOTT", "KESTON"}, {85, "OPS$JOE", "EXTERNAL"}, {86, "GLOBE", "GLOBAL"}}) {
    UserRecord u;
    u.number = number;
    u.name = name;
    u.identification = identification;
    r.c.users.Append(u);
  }
  RoleRecord role;
  role.number = 4;
  role.name = "DBA";
  role.identification = "NONE";
  r.c.roles.Append(role);
  role.number = 90;
  role.name = "APP_ROLE";
  role.identification = "KESTON";
  r.c.roles.Append(role);
  for (const auto& [number, name] : std::vector<std::pair<std::uint32_t, std::string>>{
           {0, "SYSTEM"}, {4, "USERS"}, {7, "HR_DATA"}}) {
    TablespaceRecord t;
    t.number = number;
    t.name = name;
    r.c.tablespaces.Append(t);
  }
  AddPrivilegeNames(r.c);
  const auto system_grant = [&](std::uint32_t grantee, std::int64_t privilege, std::int64_t option) {
    SystemGrantRecord g;
    g.grantee_number = grantee;
    g.privilege = privilege;
    g.option = option;
    r.c.system_grants.Append(g);
  };
  system_grant(84, -5, 0);
  system_grant(84, 90, 1);
  system_grant(90, -77, 0);
  r.Table(300, "SCOTT", "EMP");
  r.Column(300, 1, "EMPNO");
  ColumnInfo& sal = r.Column(300, 3, "SAL");
  sal.column_number = 2;
  const auto object_grant = [&](std::uint32_t object, std::optional<std::int64_t> column, std::int64_t option) {
    ObjectGrantRecord g;
    g.grantee_number = 90;
    g.object_number = object;
    g.privilege = 9;
    g.option = option;
    g.column_number = column;
    r.c.object_grants.Append(g);
  };
  object_grant(300, std::nullopt, 1);
  object_grant(300, 2, 0);
  object_grant(999, std::nullopt, 0);

  const CatalogueViews v(r.c);
  const auto users = v.Users();
  ASSERT_EQ(users.size(), 4u);
  EXPECT_TRUE(users[0].builtin);
  EXPECT_FALSE(users[1].builtin);
  EXPECT_EQ(users[1].authentication, Authentication::kPassword);
  EXPECT_EQ(users[2].authentication, Authentication::kExternal);
  EXPECT_EQ(users[3].authentication, Authentication::kGlobal);
  const auto roles = v.Roles();
  ASSERT_EQ(roles.size(), 2u);
  EXPECT_TRUE(roles[0].builtin);
  EXPECT_EQ(roles[0].authentication, Authentication::kNone);
  EXPECT_FALSE(roles[1].builtin);
  EXPECT_EQ(roles[1].authentication, Authentication::kPassword);

  const std::vector<DatafileDefinition> files = {{"USERS01.DBF", "users", 4, 8192},
                                                 {"SYSTEM01.DBF", "SYSTEM", 1, 8192},
                                                 {"USERS02.DBF", "USERS", 5, 8192}};
  const auto tablespaces = v.Tablespaces(files);
  ASSERT_EQ(tablespaces.size(), 3u);
  EXPECT_TRUE(tablespaces[0].builtin);
  ASSERT_EQ(tablespaces[1].datafiles.size(), 2u);
  EXPECT_EQ(tablespaces[1].datafiles[0].file_name, "USERS01.DBF");
  EXPECT_EQ(tablespaces[1].datafiles[1].file_name, "USERS02.DBF");
  EXPECT_FALSE(tablespaces[2].builtin);
  EXPECT_TRUE(tablespaces[2].datafiles.empty());

  const auto system = v.SystemGrants();
  ASSERT_EQ(system.size(), 3u);
  EXPECT_EQ(system[0].grantee, "SCOTT");
  EXPECT_EQ(system[0].privilege, "CREATE SESSION");
  EXPECT_FALSE(system[0].role);
  EXPECT_EQ(system[1].privilege, "APP_ROLE");
  EXPECT_TRUE(system[1].role);
  EXPECT_TRUE(system[1].admin_option);
  EXPECT_EQ(system[2].grantee, "APP_ROLE");
  EXPECT_TRUE(system[2].grantee_is_role);
  EXPECT_EQ(system[2].privilege, "-77");

  const auto objects = v.ObjectGrants();
  ASSERT_EQ(objects.size(), 3u);
  EXPECT_EQ(objects[0].owner, "SCOTT");
  EXPECT_EQ(objects[0].object, "EMP");
  EXPECT_EQ(objects[0].kind, ObjectKind::kTable);
  EXPECT_EQ(objects[0].privilege, "SELECT");
  EXPECT_TRUE(objects[0].grant_option);
  EXPECT_EQ(objects[0].column, std::nullopt);
  EXPECT_EQ(objects[1].column, "SAL");  // by COL#, not INTCOL#
  EXPECT_EQ(objects[2].object, "#999");
  EXPECT_EQ(objects[2].owner, "");
}

// The sample database read back: every table's constraints, cluster,
// index organization and partitions are the ones the generator was asked
// for, and every index has its described columns in order.
TEST(CatalogueViews, SampleDatabaseDefinitionsAreTheDescribedOnes) {
  const std::string release = "11.2";
  const auto& db = test::SampleDb(release, 8192);
  NullSink sink;
  StopFlag stop;
  COracleRecoveryTools engine{sink, stop};
  IdentifyRelease(engine, db.system_path());
  ReadDictionary(engine);
  const Catalogue& c = engine.catalogue;
  const CatalogueViews v(c);
  const testdb::Schema schema = testdb::SampleSchema(testdb::FindGeneratorRelease(release)->model_release);

  std::size_t foreign_keys = 0, partitioned = 0;
  for (const testdb::TableDescription& wanted : schema.tables) {
    SCOPED_TRACE(wanted.owner + "." + wanted.name);
    const ObjectRecord* o = c.FindObject(ObjectKind::kTable, wanted.owner, wanted.name);
    ASSERT_NE(o, nullptr);
    const TableDefinition t = v.Table(*o);
    for (const testdb::ConstraintDescription& cs : wanted.constraints) {
      if (cs.name.empty()) continue;
      SCOPED_TRACE(cs.name);
      const ConstraintDefinition* cd = Named(t, cs.name);
      ASSERT_NE(cd, nullptr);
      EXPECT_EQ(Names(cd->columns), cs.columns);
      EXPECT_EQ(cd->enabled, cs.enabled);
      EXPECT_EQ(cd->deferrable, cs.deferrable);
      EXPECT_EQ(cd->condition.empty(), cs.condition.empty());
      if (cs.kind != testdb::ConstraintKind::kForeignKey) continue;
      ++foreign_keys;
      ASSERT_TRUE(cd->references.has_value());
      EXPECT_EQ(cd->references->table.owner, cs.ref_owner.empty() ? wanted.owner : cs.ref_owner);
      EXPECT_EQ(cd->references->table.name, cs.ref_table);
      EXPECT_EQ(cd->references->columns.size(), cd->columns.size());
      EXPECT_EQ(static_cast<int>(cd->delete_rule), static_cast<int>(cs.delete_rule));
    }
    for (const testdb::ColumnDescription& wc : wanted.columns) {
      if (wc.nullable || !wc.virtual_expression.empty()) continue;
      const auto declared = t.DeclaredColumns();
      const auto col = std::find_if(declared.begin(), declared.end(), [&](const auto* d) { return d->name == wc.name; });
      ASSERT_NE(col, declared.end()) << wc.name;
      EXPECT_FALSE((*col)->nullable) << wc.name;
      EXPECT_TRUE((*col)->not_null_constraint.starts_with("SYS_C")) << wc.name;
    }
    EXPECT_EQ(t.cluster.has_value(), !wanted.cluster.empty());
    if (t.cluster) {
      EXPECT_EQ(t.cluster->cluster.name, wanted.cluster);
      EXPECT_EQ(t.cluster->key_columns, wanted.cluster_columns);
    }
    EXPECT_EQ(t.index_organized, wanted.organization != testdb::Organization::kHeap);
    if (wanted.organization == testdb::Organization::kIndexWithOverflow) {
      ASSERT_TRUE(t.iot.has_value());
      EXPECT_TRUE(t.iot->top_index.has_value());
      EXPECT_EQ(t.iot->including_column, wanted.including_column);
      EXPECT_EQ(t.iot->overflow_threshold, wanted.pct_threshold);
      EXPECT_TRUE(t.iot->overflow_table.has_value());
      EXPECT_EQ(t.iot->overflow_tablespace, wanted.overflow_tablespace.empty() ? wanted.tablespace
                                                                              : wanted.overflow_tablespace);
    }
    const testdb::PartitioningDescription& wp = wanted.partitioning;
    EXPECT_EQ(t.partitioning.has_value(), wp.kind != testdb::PartitionKind::kNone);
    if (!t.partitioning) continue;
    ++partitioned;
    std::vector<std::string> keys;
    for (const auto& k : t.partitioning->key_columns) keys.push_back(k.name);
    EXPECT_EQ(keys, wp.columns);
    ASSERT_EQ(t.partitions.size(), wp.partitions.size());
    for (std::size_t i = 0; i < wp.partitions.size(); ++i) {
      EXPECT_EQ(t.partitions[i].name, wp.partitions[i].name);
      EXPECT_EQ(t.partitions[i].high_value.value_or(""), wp.partitions[i].high_value);
      ASSERT_EQ(t.partitions[i].subpartitions.size(), wp.partitions[i].subpartitions.size());
      for (std::size_t s = 0; s < wp.partitions[i].subpartitions.size(); ++s) {
        EXPECT_EQ(t.partitions[i].subpartitions[s].name, wp.partitions[i].subpartitions[s].name);
      }
    }
  }
  EXPECT_GT(foreign_keys, 3u);
  EXPECT_GT(partitioned, 2u);

  for (const testdb::IndexDescription& wanted : schema.indexes) {
    SCOPED_TRACE(wanted.name);
    const ObjectRecord* o = c.FindObject(ObjectKind::kIndex, wanted.owner, wanted.name);
    ASSERT_NE(o, nullptr);
    const IndexDefinition ix = v.Index(*o);
    EXPECT_EQ(ix.unique, wanted.unique);
    EXPECT_EQ(ix.reverse, wanted.reverse);
    EXPECT_EQ(ix.bitmap, wanted.bitmap);
    EXPECT_EQ(ix.on_cluster, wanted.on_cluster);
    EXPECT_TRUE(ix.CreatedOnItsOwn());
    if (wanted.on_cluster) continue;
    ASSERT_EQ(ix.columns.size(), wanted.columns.size());
    for (std::size_t i = 0; i < wanted.columns.size(); ++i) {
      const std::string& w = wanted.columns[i];
      if (w.front() == '(') {
        EXPECT_EQ(ix.columns[i].expression, w.substr(1, w.size() - 2));
      } else {
        EXPECT_EQ(ix.columns[i].name, w);
      }
    }
  }
  // The indexes that enforce keys come with their constraint.
  const ObjectRecord* key_index = c.FindObject(ObjectKind::kIndex, "HR", "EMP_EMAIL_UK");
  ASSERT_NE(key_index, nullptr);
  const IndexDefinition key = v.Index(*key_index);
  EXPECT_TRUE(key.backs_constraint);
  EXPECT_EQ(key.constraint_name, "EMP_EMAIL_UK");
  EXPECT_FALSE(key.CreatedOnItsOwn());
}

}  // namespace
}  // namespace quillon

namespace quillon {
namespace {

// What the storage and security generators read besides the names: the
// numbers behind unknown names, column privileges by COL#, the options by
// their bit, administrator locks, the grants of one grantee, and the
// tablespaces each owner's segments lie in.
TEST(CatalogueViews, SecurityDetailsForTheGenerators) {
  Records r;
  for (const auto& [number, name, status] : std::vector<std::tuple<std::uint32_t, std::string, std::int64_t>>{
           {84, "SCOTT", 0}, {85, "LOCKED", 8}, {86, "EXPIRED_LOCKED", 9}, {87, "TIMED", 4}, {88, "EXPIRED", 1}}) {
    UserRecord u;
    u.number = number;
    u.name = name;
    u.identification = "KESTON";
    u.account_status_value = status;
    r.c.users.Append(u);
  }
  const auto users = CatalogueViews(r.c).Users();
  ASSERT_EQ(users.size(), 5u);
  const std::vector<bool> locked = {false, true, true, false, false};
  for (std::size_t i = 0; i < users.size(); ++i) EXPECT_EQ(users[i].locked, locked[i]) << users[i].name;

  RoleRecord role;
  role.number = 90;
  role.name = "APP_ROLE";
  r.c.roles.Append(role);
  AddPrivilegeNames(r.c);
  struct SystemCase {
    std::uint32_t grantee;
    std::int64_t privilege, option;
    bool known, role, admin;
  };
  const std::vector<SystemCase> system_cases = {
      {84, -5, 1, true, false, true},
      {85, -6, 0, false, false, false},            // a privilege number the map lacks
      {84, 90, 3, true, true, true},               // bit 0x01 decides, whatever else is set
      {84, 91, 2, false, true, false},             // a role number USER$ lacks
      {84, 0x100000000LL + 90, 0, false, true, false},  // beyond USER#'s range: no wrap onto role 90
  };
  for (const SystemCase& k : system_cases) {
    SystemGrantRecord g;
    g.grantee_number = k.grantee;
    g.privilege = k.privilege;
    g.option = k.option;
    r.c.system_grants.Append(g);
  }
  r.Object(300, "SCOTT", "EMP_SHADOW", std::nullopt);  // an OBJ$ row of the number without a kind, read first
  r.Table(300, "SCOTT", "EMP");
  r.Column(300, 1, "EMPNO");
  struct ObjectCase {
    std::uint32_t object;
    std::int64_t privilege;
    std::optional<std::int64_t> column;
    bool privilege_known, column_known;
    const char* column_text;
  };
  const std::vector<ObjectCase> object_cases = {
      {300, 9, std::nullopt, true, false, nullptr},
      {300, 9, 1, true, true, "EMPNO"},
      {300, 9, 7, true, false, "#7"},
      {300, 9, 0x100000001LL, true, false, "#4294967297"},  // no wrap onto COL# 1
      {300, 44, std::nullopt, false, false, nullptr},
  };
  for (const ObjectCase& k : object_cases) {
    ObjectGrantRecord g;
    g.grantee_number = 90;
    g.object_number = k.object;
    g.privilege = k.privilege;
    g.column_number = k.column;
    r.c.object_grants.Append(g);
  }

  const CatalogueViews v(r.c);
  const auto to_scott = v.SystemGrantsTo(84);
  ASSERT_EQ(to_scott.size(), 4u);
  std::size_t at = 0;
  for (const SystemCase& k : system_cases) {
    if (k.grantee != 84) continue;
    const SystemGrantDefinition& g = to_scott[at++];
    SCOPED_TRACE(k.privilege);
    EXPECT_EQ(g.privilege_number, k.privilege);
    EXPECT_EQ(g.privilege_known, k.known);
    EXPECT_EQ(g.role, k.role);
    EXPECT_EQ(g.admin_option, k.admin);
    if (!k.known) {
      EXPECT_EQ(g.privilege, std::to_string(k.privilege));
    }
  }
  ASSERT_EQ(v.SystemGrantsTo(85).size(), 1u);
  EXPECT_TRUE(v.SystemGrantsTo(86).empty());

  const auto to_role = v.ObjectGrantsTo(90);
  ASSERT_EQ(to_role.size(), object_cases.size());
  for (std::size_t i = 0; i < object_cases.size(); ++i) {
    const ObjectCase& k = object_cases[i];
    const ObjectGrantDefinition& g = to_role[i];
    SCOPED_TRACE(i);
    EXPECT_EQ(g.object, "EMP");  // the listed object, not the kindless row
    EXPECT_EQ(g.kind, ObjectKind::kTable);
    EXPECT_EQ(g.privilege_number, k.privilege);
    EXPECT_EQ(g.privilege_known, k.privilege_known);
    EXPECT_EQ(g.column_number, k.column);
    EXPECT_EQ(g.column_known, k.column_known);
    EXPECT_EQ(g.column, k.column_text ? std::optional<std::string>(k.column_text) : std::nullopt);
  }
  EXPECT_TRUE(v.ObjectGrantsTo(84).empty());
}

TEST(CatalogueViews, SegmentTablespacesByOwner) {
  Records r;
  const auto table = [&r](std::uint32_t number, std::uint32_t owner, const std::string& tablespace) {
    ObjectRecord o;
    o.object_number = number;
    o.owner_number = owner;
    o.owner = "U" + std::to_string(owner);
    o.name = "T" + std::to_string(number);
    o.kind = ObjectKind::kTable;
    r.c.AddObject(o);
    TableRecord t;
    t.object_number = number;
    t.tablespace = tablespace;
    r.c.tables.Append(t);
  };
  table(10, 1, "DATA");
  table(11, 1, "DATA");   // each tablespace once
  table(12, 1, "");       // no segment (partitioned, IOT): no tablespace
  table(20, 2, "OTHER");
  IndexRecord ix;
  ix.index_object_number = 10;  // an index of owner 1's table 10, in IDX
  ix.tablespace = "IDX";
  r.c.indexes.Append(ix);
  LobRecord lob;
  lob.table_object_number = 20;
  lob.tablespace = "LOBS";
  r.c.lobs.Append(lob);
  e6struct part;
  part.base_object = 12;
  part.tablespace = "PARTS";
  r.c.table_partitions.Append(part);
  part.base_object = 999;  // a partition of an object OBJ$ lacks
  part.tablespace = "NOWHERE";
  r.c.table_partitions.Append(part);
  const auto by_owner = CatalogueViews(r.c).SegmentTablespacesByOwner();
  const std::map<std::uint32_t, std::vector<std::string>> expected = {
      {1, {"DATA", "IDX", "PARTS"}},
      {2, {"OTHER", "LOBS"}},
  };
  EXPECT_EQ(by_owner, expected);
}

// Columns declared in characters: the view says so and gives SPARE3, the
// declared length, while LENGTH holds the bytes (four a character in the
// sample's AL32UTF8). 8i knows no length semantics.
TEST(CatalogueViews, CharacterLengthSemanticsOfTheSampleDatabase) {
  struct Case {
    const char* release;
    bool semantics;
  };
  for (const Case& k : {Case{"8i", false}, Case{"11.2", true}}) {
    SCOPED_TRACE(k.release);
    const auto& db = test::SampleDb(k.release, 8192);
    NullSink sink;
    StopFlag stop;
    COracleRecoveryTools engine{sink, stop};
    IdentifyRelease(engine, db.system_path());
    ReadDictionary(engine);
    const CatalogueViews v(engine.catalogue);
    const testdb::Schema schema = testdb::SampleSchema(testdb::FindGeneratorRelease(k.release)->model_release);
    std::size_t checked = 0;
    for (const testdb::TableDescription& wanted : schema.tables) {
      const ObjectRecord* o = engine.catalogue.FindObject(ObjectKind::kTable, wanted.owner, wanted.name);
      if (o == nullptr) continue;
      const TableDefinition t = v.Table(*o);
      for (const testdb::ColumnDescription& wc : wanted.columns) {
        const bool character = wc.type.type == testdb::SqlType::kVarchar2 || wc.type.type == testdb::SqlType::kChar;
        if (!character || !wc.virtual_expression.empty()) continue;
        const auto declared = t.DeclaredColumns();
        const auto col = std::find_if(declared.begin(), declared.end(), [&](const auto* d) { return d->name == wc.name; });
        if (col == declared.end()) {
          ADD_FAILURE() << wanted.name << "." << wc.name << " is not declared";
          continue;
        }
        const ColumnDefinition& c = **col;
        const bool semantics = k.semantics && wc.type.char_semantics;
        EXPECT_EQ(c.char_semantics, semantics) << wanted.name << "." << wc.name;
        if (k.semantics) {
          EXPECT_EQ(c.char_length, std::optional<std::int64_t>(wc.type.length)) << wanted.name << "." << wc.name;
        }
        EXPECT_EQ(c.length, std::optional<std::int64_t>(semantics ? 4 * wc.type.length : wc.type.length))
            << wanted.name << "." << wc.name;
        checked += wc.type.char_semantics ? 1 : 0;
      }
    }
    EXPECT_GE(checked, 2u);
  }
}

}  // namespace
}  // namespace quillon

namespace quillon {
namespace {

// A partitioned IOT's overflow table is partitioned alike: each partition
// of the IOT takes the tablespace of the overflow partition with its PART#,
// whatever order the rows were read in.
TEST(CatalogueViews, PartitionedIotPartitionsNameTheirOverflowTablespace) {
  Records r;
  r.Table(500, "S", "PIOT", 0x20 | 0x40);
  TableRecord& over = r.Table(501, "S", "SYS_IOT_OVER_500", 0x200 | 0x20);
  over.base_object = 500;
  over.tablespace = "OVF";
  const auto part = [&r](std::uint32_t number, std::uint32_t base, std::uint32_t position, const std::string& ts) {
    e6struct p;
    p.object_number = number;
    p.base_object = base;
    p.partition_number = position;
    p.name = "P" + std::to_string(position);
    p.high_value = std::to_string(position);
    p.tablespace = ts;
    r.c.table_partitions.Append(p);
  };
  part(600, 500, 10, "TS1");
  part(601, 500, 20, "TS2");
  part(602, 500, 30, "TS3");
  part(612, 501, 20, "OVF2");  // read before the first
  part(611, 501, 10, "OVF1");
  const CatalogueViews v(r.c);
  const TableDefinition t = v.Table(*r.c.Object(500));
  ASSERT_TRUE(t.iot.has_value());
  EXPECT_EQ(t.iot->overflow_tablespace, "OVF");
  ASSERT_EQ(t.partitions.size(), 3u);
  EXPECT_EQ(t.partitions[0].overflow_tablespace, "OVF1");
  EXPECT_EQ(t.partitions[1].overflow_tablespace, "OVF2");
  EXPECT_EQ(t.partitions[2].overflow_tablespace, "");  // its overflow partition was not read
  // A heap table's partitions have none.
  r.Table(700, "S", "HEAP", 0x20);
  part(701, 700, 10, "TS1");
  const TableDefinition heap = CatalogueViews(r.c).Table(*r.c.Object(700));
  ASSERT_EQ(heap.partitions.size(), 1u);
  EXPECT_EQ(heap.partitions[0].overflow_tablespace, "");
}

}  // namespace
}  // namespace quillon
