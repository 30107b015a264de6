// The catalogue model: SQL type texts, identification texts, dictionary
// value conventions, list semantics (first match wins, append order) and
// the JSON shape.
#include <gtest/gtest.h>

#include <string>

#include "reader/catalogue.h"
#include "reader/catalogue_json.h"
#include "reader/packed_codes.h"
#include "reader/value_number.h"
#include "support/hex.h"

namespace quillon {
namespace {

using test::FromHex;
using test::View;

struct TypeTextCase {
  std::uint32_t type;        // SQL type number
  std::uint32_t charset;     // character set id
  const char* length;        // number texts as the catalogue keeps them
  const char* precision;
  const char* scale;
  const char* expected;
};

TEST(SqlTypeText, EveryRuleOfTheTypeTable) {
  const TypeTextCase cases[] = {
      {1, 178, "0200", "FF", "FF", "VARCHAR2(200)"},
      {1, 2000, "0200", "FF", "FF", "NVARCHAR2(100)"},
      {96, 178, "10", "FF", "FF", "CHAR(10)"},
      {96, 2000, "40", "FF", "FF", "NCHAR(20)"},
      {2, 0, "22", "10", "02", "NUMBER(10, 2)"},
      {2, 0, "22", "05", "0", "NUMBER(5, 0)"},
      {2, 0, "22", "0126", "FF", "FLOAT(126)"},
      {2, 0, "22", "FF", "FF", "NUMBER"},
      {2, 0, "22", "FF", "0", "NUMBER"},
      {8, 0, "0", "FF", "FF", "LONG"},
      {12, 0, "07", "FF", "FF", "DATE"},
      {23, 0, "16", "FF", "FF", "RAW(16)"},
      {24, 0, "0", "FF", "FF", "LONG RAW"},
      {58, 0, "2000", "FF", "FF", "XMLTYPE"},
      {69, 0, "10", "FF", "FF", "ROWID"},
      {100, 0, "04", "FF", "FF", "BINARY_FLOAT"},
      {101, 0, "08", "FF", "FF", "BINARY_DOUBLE"},
      {208, 0, "4000", "FF", "FF", " UROWID "},
      {111, 0, "0", "FF", "FF", "OBJECT TYPE"},
      {121, 0, "0", "FF", "FF", "OBJECT TYPE"},
      {112, 178, "4000", "FF", "FF", "CLOB"},
      {112, 2000, "4000", "FF", "FF", "NCLOB"},
      {113, 0, "4000", "FF", "FF", "BLOB"},
      {114, 0, "0530", "FF", "FF", "BFILE"},
      {122, 0, "16", "FF", "FF", "TABLE TYPE"},
      {123, 0, "0", "FF", "FF", "ARRAY TYPE"},
      {180, 0, "11", "FF", "06", "TIMESTAMP(6)"},
      {181, 0, "13", "FF", "06", "TIMESTAMP WITH TIME ZONE"},
      {231, 0, "11", "FF", "06", "TIMESTAMP WITH LOCAL TIME ZONE"},
      {182, 0, "05", "02", "0", "INTERVAL YEAR(2) TO MONTH"},
      {183, 0, "11", "02", "06", " INTERVAL DAY(2) TO SECOND(6)"},
      {9, 0, "10", "FF", "FF", "UNSUPOORTED TYPE"},
      {106, 0, "10", "FF", "FF", "UNSUPOORTED TYPE"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SqlTypeText(PackedCode(c.type), PackedCode(c.charset), c.length, c.precision, c.scale), c.expected)
        << "type " << c.type << " charset " << c.charset;
  }
}

TEST(SqlTypeText, FromStoredDictionaryBytes) {
  // NUMBER(10,2): PRECISION# C1 0B, SCALE C1 03; FLOAT(126): C2 02 1B and NULL; a
  // zero scale is stored as 0x80 and must not become "0.0000".
  const auto p10 = FromHex("c10b");
  const auto s2 = FromHex("c103");
  const auto p126 = FromHex("c2021b");
  const auto zero = FromHex("80");
  const std::string number_10_2 = SqlTypeText(type_code::kNumber, 0, "22", DictionaryPrecisionText(false, View(p10)),
                                              DictionaryPrecisionText(false, View(s2)));
  EXPECT_EQ(number_10_2, "NUMBER(10, 2)");
  EXPECT_EQ(SqlTypeText(type_code::kNumber, 0, "22", DictionaryPrecisionText(false, View(p126)),
                        DictionaryPrecisionText(true, {})),
            "FLOAT(126)");
  EXPECT_EQ(SqlTypeText(type_code::kNumber, 0, "22", DictionaryPrecisionText(false, View(p10)),
                        DictionaryPrecisionText(false, View(zero))),
            "NUMBER(10, 0)");
}

TEST(IdentificationText, FollowsThePasswordColumn) {
  EXPECT_EQ(IdentificationText(true, 0), "NONE");
  EXPECT_EQ(IdentificationText(false, 6), "GLOBAL");
  EXPECT_EQ(IdentificationText(false, 8), "EXTERNAL");
  EXPECT_EQ(IdentificationText(false, 16), "KESTON");
  EXPECT_EQ(IdentificationText(false, 0), "KESTON");
}

TEST(DictionaryValues, TextsForNullAndZero) {
  EXPECT_EQ(DictionaryNumberText(true, {}), "FF");
  const auto zero = FromHex("80");
  EXPECT_EQ(DictionaryPrecisionText(false, View(zero)), "0");
  EXPECT_EQ(PlainIntegerText("0100"), "100");
  EXPECT_EQ(PlainIntegerText("FF"), "FF");
  EXPECT_EQ(PlainIntegerText("-05"), "-5");
  EXPECT_EQ(OidText(View(FromHex("00ab10"))), " 00 AB 10");
}

TEST(DefaultExpressionText, LastLineFeedBecomesBlank) {
  EXPECT_EQ(DefaultExpressionText("sysdate\n"), "sysdate ");
  EXPECT_EQ(DefaultExpressionText("'a'\n||'b'\n"), "'a'\n||'b' ");
  EXPECT_EQ(DefaultExpressionText("\n"), "\n");  // the first character is never replaced
  EXPECT_EQ(DefaultExpressionText("0"), "0");
}

TEST(ObjectKinds, DispatchByNamespaceAndType) {
  EXPECT_EQ(KindOf(PackedCode(1), PackedCode(2)), ObjectKind::kTable);
  EXPECT_EQ(KindOf(PackedCode(2), PackedCode(11)), ObjectKind::kPackageBody);
  EXPECT_EQ(KindOf(PackedCode(4), PackedCode(1)), ObjectKind::kIndex);
  EXPECT_EQ(KindOf(PackedCode(19), PackedCode(42)), ObjectKind::kMaterializedView);
  EXPECT_FALSE(KindOf(PackedCode(1), PackedCode(10)).has_value());  // non-existent objects are not listed
  EXPECT_FALSE(KindOf(PackedCode(8), PackedCode(21)).has_value());  // LOBs
  for (const auto& info : ObjectKinds()) EXPECT_EQ(InfoOf(info.kind).kind, info.kind);
  EXPECT_EQ(CounterLabels().front().label, "Total User Type in Database                  : ");
}

ObjectRecord Object(std::uint32_t number, std::string owner, std::string name, std::optional<ObjectKind> kind) {
  ObjectRecord o;
  o.object_number = number;
  o.owner = std::move(owner);
  o.name = std::move(name);
  o.kind = kind;
  return o;
}

TEST(Catalogue, FirstMatchWinsAndKindsCount) {
  Catalogue c;
  c.AddObject(Object(100, "SCOTT", "EMP", ObjectKind::kTable));
  c.AddObject(Object(101, "SCOTT", "EMP_PK", ObjectKind::kIndex));
  c.AddObject(Object(100, "SCOTT", "EMP_AGAIN", ObjectKind::kTable));  // a damaged duplicate number
  c.AddObject(Object(102, "SCOTT", "SYS_LOB0000100C00002$$", std::nullopt));

  ASSERT_NE(c.Object(100), nullptr);
  EXPECT_EQ(c.Object(100)->name, "EMP");
  EXPECT_EQ(c.Object(102)->name, "SYS_LOB0000100C00002$$");
  EXPECT_EQ(c.Object(999), nullptr);
  EXPECT_EQ(c.ObjectsOfKind(ObjectKind::kTable).size(), 2u);
  EXPECT_EQ(c.count(Counter::kTables), 2u);
  EXPECT_EQ(c.count(Counter::kIndexes), 1u);
  ASSERT_NE(c.FindObject(ObjectKind::kIndex, "SCOTT", "EMP_PK"), nullptr);
  EXPECT_EQ(c.FindObject(ObjectKind::kTable, "SCOTT", "EMP_PK"), nullptr);

  ColumnInfo a;
  a.object_number = 100;
  a.name = "A";
  ColumnInfo b = a;
  b.name = "B";
  c.columns.Append(a);
  c.columns.Append(b);
  std::string order;
  for (const auto& col : c.columns.All<0>(100)) order += col.name;
  EXPECT_EQ(order, "AB");
}

TEST(Catalogue, OwnerAndTablespaceNames) {
  Catalogue c;
  UserRecord u;
  u.number = 84;
  u.name = "SCOTT";
  c.users.Append(u);
  RoleRecord r;
  r.number = 1;
  r.name = "PUBLIC";
  c.roles.Append(r);
  TablespaceRecord t;
  t.number = 4;
  t.name = "USERS";
  c.tablespaces.Append(t);
  t.name = "SHADOWED";
  c.tablespaces.Append(t);

  EXPECT_EQ(c.OwnerName(84), "SCOTT");
  EXPECT_EQ(c.OwnerName(1), "PUBLIC");
  EXPECT_EQ(c.OwnerName(7), "DEMO$$");
  EXPECT_EQ(c.TablespaceName(4), "USERS");
  EXPECT_EQ(c.TablespaceName(5), "");
}

TEST(TriggerBodyText, PerRelease) {
  EXPECT_EQ(TriggerBodyText("begin -- note\nnull;\nend;", 9), "begin /*  note\n*/ \r\nnull;\nend;");
  EXPECT_EQ(TriggerBodyText("begin\n  x := 'a  b';\nend;", 18), "begin\r\n  x := 'a  b';\r\nend;");
  EXPECT_EQ(TriggerBodyText("a\r\nb", 18), "a\r\nb");
}

TEST(CatalogueJson, SortedKeyedShape) {
  Catalogue c;
  UserRecord u;
  u.number = 84;
  u.name = "SCOTT";
  u.identification = "KESTON";
  c.users.Append(u);
  c.AddObject(Object(200, "SCOTT", "ZED", ObjectKind::kTable));
  c.AddObject(Object(100, "SCOTT", "EMP", ObjectKind::kTable));
  c.AddObject(Object(150, "SCOTT", "EMP", ObjectKind::kTable));
  ColumnInfo col;
  col.object_number = 100;
  col.name = "EMPNO";
  col.column_number = 1;
  col.internal_column = 1;
  col.segment_column = 1;
  col.sql_type = "NUMBER(4, 0)";
  col.nullable = false;
  c.columns.Append(col);

  CatalogueJsonHeader h;
  h.database_name = "ORCL";
  h.release_code = 18;
  const std::string json = CatalogueToJson(c, h, false);
  EXPECT_NE(json.find("\"format\":\"quillon-catalogue\""), std::string::npos);
  const auto emp = json.find("\"EMP\":");
  const auto emp_dup = json.find("\"EMP#150\":");
  const auto zed = json.find("\"ZED\":");
  ASSERT_NE(emp, std::string::npos);
  ASSERT_NE(emp_dup, std::string::npos);
  EXPECT_LT(emp, emp_dup);
  EXPECT_LT(emp_dup, zed);
  EXPECT_NE(json.find("\"type\":\"NUMBER(4, 0)\""), std::string::npos);
  EXPECT_NE(json.find("\"tables\":3"), std::string::npos);
  // The same catalogue always gives the same text.
  EXPECT_EQ(json, CatalogueToJson(c, h, false));
}

}  // namespace
}  // namespace quillon
