// The record view's columns: type texts, the column list's rules and where
// each cell of a row goes.
#include <gtest/gtest.h>

#include "browse/record_columns.h"
#include "reader/packed_codes.h"

namespace quillon {
namespace {

namespace tc = type_code;

ColumnInfo Column(std::string name, std::uint32_t type, std::string length = "FF", std::string precision = "FF",
                  std::string scale = "FF", std::uint32_t charset = 0) {
  ColumnInfo c;
  c.name = std::move(name);
  c.type_code = type;
  c.length_text = std::move(length);
  c.precision_text = std::move(precision);
  c.scale_text = std::move(scale);
  c.charset_id = charset;
  return c;
}

TEST(RecordColumns, TypeTexts) {
  struct Case {
    ColumnInfo column;
    const char* type;
    const char* length;
    const char* scale;
  };
  const Case cases[] = {
      {Column("A", tc::kVarchar2, "40"), "VARCHAR2", "40", ""},
      {Column("A", tc::kVarchar2, "40", "FF", "FF", kNationalCharsetCode), "NVARCHAR2", "20", ""},
      {Column("A", tc::kChar, "0100"), "CHAR", "100", ""},
      {Column("A", tc::kChar, "10", "FF", "FF", kNationalCharsetCode), "NCHAR", "5", ""},
      {Column("A", tc::kNumber, "22", "10", "0"), "NUMBER", "10", "0"},
      {Column("A", tc::kNumber, "22", "10", "02"), "NUMBER", "10", "2"},
      {Column("A", tc::kNumber, "22", "0.0000", "0.0000"), "NUMBER", "", ""},
      {Column("A", tc::kNumber, "22", "0126", "FF"), "FLOAT", "126", ""},
      {Column("A", tc::kNumber, "22"), "NUMBER", "", ""},
      {Column("A", tc::kLong), "LONG", "", ""},
      {Column("A", tc::kDate, "07"), "DATE", "", ""},
      {Column("A", tc::kRaw, "16"), "RAW", "16", ""},
      {Column("A", tc::kLongRaw), "LONG RAW", "", ""},
      {Column("A", tc::kRowid), "ROWID", "", ""},
      {Column("A", tc::kBinaryFloat), "BINARY_FLOAT", "", ""},
      {Column("A", tc::kBinaryDouble), "BINARY_DOUBLE", "", ""},
      {Column("A", tc::kClob), "CLOB", "", ""},
      {Column("A", tc::kClob, "FF", "FF", "FF", kNationalCharsetCode), "NCLOB", "", ""},
      {Column("A", tc::kBlob), "BLOB", "", ""},
      {Column("A", tc::kBfile), "BFILE", "", ""},
      {Column("A", tc::kTimestamp, "11", "FF", "06"), "TIMESTAMP", "6", ""},
      {Column("A", tc::kTimestampTz), "TIMESTAMP WITH TIME ZONE", "", ""},
      {Column("A", tc::kIntervalYm, "05", "02"), "INTERVAL YEAR TO MONTH", "2", ""},
      {Column("A", tc::kIntervalDs, "11", "02", "06"), "INTERVAL DAY TO SECOND", "2", "6"},
      {Column("A", tc::kUrowid), " UROWID ", "", ""},
      {Column("A", tc::kTimestampLtz), "TIMESTAMP WITH LOCAL TIME ZONE", "", ""},
      {Column("A", tc::kObject), "UNSUPOORTED TYPE", "", ""},
      {Column("A", tc::kXmlType), "UNSUPOORTED TYPE", "", ""},
  };
  for (const auto& c : cases) {
    const RecordTypeText t = RecordTypeOf(c.column);
    EXPECT_EQ(t.type, c.type) << c.type;
    EXPECT_EQ(t.length, c.length) << c.type;
    EXPECT_EQ(t.scale, c.scale) << c.type;
  }
}

// A table: (name, column number, second number, property).
void AddColumns(Catalogue& cat, std::uint32_t table,
                std::vector<std::tuple<const char*, std::uint32_t, std::uint32_t, std::uint64_t>> columns) {
  for (const auto& [name, number, second, property] : columns) {
    ColumnInfo c = Column(name, tc::kVarchar2, "10");
    c.object_number = table;
    c.column_number = number;
    c.segment_column = second;
    c.property = property;
    c.property_bytes = property == 33 ? 0x22C1 : property == 8388641 ? 0x2A572709C4 : 0;
    c.null_bytes = name[0] == 'N' ? 0x0102 : 0x80;
    cat.columns.Append(c);
  }
}

std::vector<std::string> Names(const std::vector<RecordListColumn>& list) {
  std::vector<std::string> out;
  for (const auto& c : list) out.push_back(c.name);
  return out;
}

TEST(RecordColumns, TheListLeavesOutHiddenAndUnstoredColumnsAndSortsByNumber) {
  Catalogue cat;
  AddColumns(cat, 1,
             {{"C", 3, 3, 0},
              {"A", 1, 1, 0},
              {"HIDDEN", 0, 4, 33},
              {"SYS", 2, 5, 8388641},
              {"NB", 2, 2, 0},
              {"VIRTUAL", 4, 0, 0},
              {"DUP", 3, 6, 0},
              {"GONE", 0, 0, 0}});
  const RecordColumns rc = BuildRecordColumns(cat, 1);
  // DUP merges into C (C keeps its name and takes DUP's second number 6).
  EXPECT_EQ(Names(rc.list), (std::vector<std::string>{"A", "NB", "C"}));
  EXPECT_EQ(rc.list[2].second_number, 6u);
  // The descriptions: every record but the one without both numbers, in catalogue order.
  std::vector<std::string> described;
  for (const auto& d : rc.descriptions) described.push_back(d.column_name);
  EXPECT_EQ(described, (std::vector<std::string>{"C", "A", "HIDDEN", "SYS", "NB", "VIRTUAL", "DUP"}));
  EXPECT_EQ(rc.descriptions[1].nullability, "NULL");
  EXPECT_EQ(rc.descriptions[4].nullability, "NOT NULL");
  EXPECT_EQ(rc.descriptions[0].sql_type, "VARCHAR2");
  EXPECT_EQ(rc.descriptions[0].length_text, "10");

  // A table whose only columns are hidden has an empty list.
  AddColumns(cat, 2, {{"H1", 0, 1, 33}, {"H2", 0, 2, 8388641}});
  EXPECT_TRUE(BuildRecordColumns(cat, 2).list.empty());
}

DataView Cell(std::uint32_t number, std::uint32_t second, const char* text, std::uint64_t property_bytes = 0) {
  DataView d;
  d.column_number = number;
  d.segment_column = second;
  d.value_text = text;
  d.property_low = static_cast<std::uint32_t>(property_bytes);
  d.property_high = static_cast<std::uint32_t>(property_bytes >> 32);
  return d;
}

TEST(RecordColumns, CellsGoToTheirOwnListColumns) {
  Catalogue cat;
  AddColumns(cat, 1, {{"A", 1, 1, 0}, {"HIDDEN", 0, 2, 33}, {"B", 2, 3, 0}, {"C", 3, 4, 0}});
  const RecordColumns rc = BuildRecordColumns(cat, 1);
  ASSERT_FALSE(rc.alternate_numbering);
  // The hidden column between A and B does not shift B and C out of place.
  const std::vector<DataView> cells = {Cell(1, 1, "a"), Cell(0, 2, "h", 0x22C1), Cell(2, 3, "b"), Cell(3, 4, "c")};
  EXPECT_EQ(PlaceCells(rc, cells), (std::vector<std::string>{"a", "b", "c"}));
  // A missing cell leaves its list column empty.
  EXPECT_EQ(PlaceCells(rc, std::vector<DataView>{Cell(3, 4, "c")}), (std::vector<std::string>{"", "", "c"}));

  // Second numbers shared by two list columns: the alternate numbering
  // matches by column number.
  AddColumns(cat, 2, {{"A", 1, 1, 0}, {"X", 1, 2, 0}, {"B", 2, 2, 0}});
  const RecordColumns alt = BuildRecordColumns(cat, 2);
  EXPECT_TRUE(alt.alternate_numbering);
  EXPECT_EQ(PlaceCells(alt, std::vector<DataView>{Cell(1, 2, "a"), Cell(2, 2, "b")}),
            (std::vector<std::string>{"a", "b"}));
}

}  // namespace
}  // namespace quillon
