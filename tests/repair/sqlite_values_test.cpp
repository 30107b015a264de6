// Oracle values in SQLite storage classes: no digit, fraction or byte lost.
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "repair/sqlite_values.h"
#include "reader/packed_codes.h"
#include "reader/value_number.h"
#include "testdb/values.h"

namespace quillon::repair {
namespace {

namespace tc = type_code;
Value Bind(std::uint32_t code, std::string_view declared, const std::vector<std::uint8_t>& bytes,
                std::string text = {}) {
  StoredValue stored;
  stored.bytes = ByteView(bytes.data(), bytes.size());
  ValueText t;
  t.text = std::move(text);
  Value out;
  SqliteValue(code, declared, stored, t, out);
  return out;
}

TEST(SqliteValues, NumbersKeepEveryDigit) {
  struct Case {
    const char* decimal;
    std::string_view declared;
    bool integer_kind;
    const char* text;
    std::int64_t integer;
  };
  const Case cases[] = {
      {"12345678901234567890123456789012345678", "TEXT", false, "12345678901234567890123456789012345678", 0},
      {"-98765432109876543210987654321098765432", "TEXT", false, "-98765432109876543210987654321098765432", 0},
      {"0.000000000000000000000000000000000001", "TEXT", false, "0.000000000000000000000000000000000001", 0},
      {"-0.5", "TEXT", false, "-0.5", 0},
      {"1.5", "TEXT", false, "1.5", 0},
      {"100", "TEXT", false, "100", 0},
      {"0", "TEXT", false, "0", 0},
      {"1234567.0001", "TEXT", false, "1234567.0001", 0},
      {"999999999999999999", "INTEGER", true, "", 999999999999999999},
      {"-42", "INTEGER", true, "", -42},
      {"0", "INTEGER", true, "", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.decimal);
    const auto bytes = testdb::EncodeNumber(std::string_view(c.decimal));
    ASSERT_TRUE(bytes);
    const Value v = Bind(tc::kNumber, c.declared, *bytes, NumberToText(ByteView(bytes->data(), bytes->size())));
    if (c.integer_kind) {
      EXPECT_EQ(v, Value(IntegerValue{c.integer}));
    } else {
      EXPECT_EQ(v, Value(TextValue{c.text}));
    }
  }
}

// One Value reused from row to row, as the row sender does: the kind and
// text of each row's value are its own, never the previous row's; integers
// end exactly at the 64-bit limits.
TEST(SqliteValues, AReusedValueTakesEachRowWhole) {
  struct Case {
    std::uint32_t code;
    std::string_view declared;
    const char* text;  // nullptr: NULL
    Value expected;
  };
  const std::vector<std::uint8_t> none;
  const Case cases[] = {
      {tc::kNumber, "INTEGER", "9223372036854775807", IntegerValue{std::numeric_limits<std::int64_t>::max()}},
      {tc::kNumber, "INTEGER", "-9223372036854775808", IntegerValue{std::numeric_limits<std::int64_t>::min()}},
      {tc::kNumber, "INTEGER", "9223372036854775808", TextValue{"9223372036854775808"}},
      {tc::kNumber, "INTEGER", "-9223372036854775809", TextValue{"-9223372036854775809"}},
      {tc::kNumber, "INTEGER", "12345678901234567890", TextValue{"12345678901234567890"}},
      {tc::kNumber, "INTEGER", "007", IntegerValue{7}},
      {tc::kNumber, "INTEGER", "-0", IntegerValue{0}},
      {tc::kNumber, "INTEGER", "1.50", TextValue{"1.5"}},
      {tc::kNumber, "INTEGER", nullptr, NullValue{}},
      {tc::kNumber, "TEXT", "-000.250", TextValue{"-0.25"}},
      {tc::kVarchar2, "TEXT", "a longer text than the one before it, past any short-string buffer",
       TextValue{"a longer text than the one before it, past any short-string buffer"}},
      {tc::kVarchar2, "TEXT", "x", TextValue{"x"}},
      {tc::kNumber, "INTEGER", "12", IntegerValue{12}},
      {tc::kVarchar2, "TEXT", "", TextValue{""}},
  };
  Value out;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text ? c.text : "NULL");
    StoredValue stored;
    stored.bytes = ByteView(none.data(), 0);
    stored.is_null = c.text == nullptr;
    ValueText t;
    t.is_null = c.text == nullptr;
    t.text = c.text ? c.text : "";
    SqliteValue(c.code, c.declared, stored, t, out);
    EXPECT_EQ(out, c.expected);
  }
}

TEST(SqliteValues, ColumnTypesNeverPassNumbersThroughDoubles) {
  EXPECT_EQ(SqliteColumnType(tc::kNumber, 10, 0), "INTEGER");
  EXPECT_EQ(SqliteColumnType(tc::kNumber, 18, 0), "INTEGER");
  EXPECT_EQ(SqliteColumnType(tc::kNumber, 19, 0), "TEXT");   // may not fit 64 bits
  EXPECT_EQ(SqliteColumnType(tc::kNumber, 10, 2), "TEXT");
  EXPECT_EQ(SqliteColumnType(tc::kNumber, std::nullopt, std::nullopt), "TEXT");
  EXPECT_EQ(SqliteColumnType(tc::kBinaryDouble, {}, {}), "REAL");
  EXPECT_EQ(SqliteColumnType(tc::kRaw, {}, {}), "BLOB");
  EXPECT_EQ(SqliteColumnType(tc::kBlob, {}, {}), "BLOB");
  EXPECT_EQ(SqliteColumnType(tc::kClob, {}, {}), "TEXT");
  EXPECT_EQ(SqliteColumnType(tc::kDate, {}, {}), "TEXT");
}

TEST(SqliteValues, DatesAndTimestampsAsIso8601) {
  struct Case {
    std::uint32_t code;
    std::vector<std::uint8_t> bytes;
    const char* iso;
  };
  const Case cases[] = {
      {tc::kDate, testdb::EncodeDate({2024, 1, 5, 15, 4, 5, 0}), "2024-01-05T15:04:05"},
      {tc::kDate, testdb::EncodeDate({-4712, 1, 1, 0, 0, 0, 0}), "-4711-01-01T00:00:00"},
      {tc::kDate, testdb::EncodeDate({-1, 12, 31, 23, 59, 59, 0}), "0000-12-31T23:59:59"},
      {tc::kDate, testdb::EncodeDate({9999, 12, 31, 0, 0, 0, 0}), "9999-12-31T00:00:00"},
      {tc::kTimestamp, testdb::EncodeTimestamp({2001, 2, 3, 4, 5, 6, 123456789}), "2001-02-03T04:05:06.123456789"},
      {tc::kTimestamp, testdb::EncodeTimestamp({2001, 2, 3, 4, 5, 6, 1}), "2001-02-03T04:05:06.000000001"},
      {tc::kTimestampTz, testdb::EncodeTimestampTz({2020, 6, 1, 12, 0, 0, 500000000}, -330),
       "2020-06-01T12:00:00.500000000-05:30"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.iso);
    EXPECT_EQ(Bind(c.code, "TEXT", c.bytes, "text"), Value(TextValue{c.iso}));
  }
}

TEST(SqliteValues, FloatsRawAndNulls) {
  // every bit, not the six-decimal text
  EXPECT_EQ(Bind(tc::kBinaryDouble, "REAL", testdb::EncodeBinaryDouble(1.0 / 3), "0.333333"),
            Value(RealValue{1.0 / 3}));
  EXPECT_EQ(Bind(tc::kBinaryFloat, "REAL", testdb::EncodeBinaryFloat(1e-7f), "0.000000"),
            Value(RealValue{static_cast<double>(1e-7f)}));
  // SQLite would store a NaN double as NULL
  EXPECT_EQ(Bind(tc::kBinaryDouble, "REAL", testdb::EncodeBinaryDouble(std::numeric_limits<double>::quiet_NaN()), "nan"),
            Value(TextValue{"NaN"}));
  const Value inf =
      Bind(tc::kBinaryFloat, "REAL", testdb::EncodeBinaryFloat(-std::numeric_limits<float>::infinity()), "-inf");
  ASSERT_TRUE(std::holds_alternative<RealValue>(inf));
  EXPECT_TRUE(std::isinf(std::get<RealValue>(inf).value) && std::get<RealValue>(inf).value < 0);

  EXPECT_EQ(Bind(tc::kRaw, "BLOB", {0x00, 0xFF, 0x10}, "00FF10"),
            Value(BinaryValue{std::vector<std::uint8_t>{0x00, 0xFF, 0x10}}));
  EXPECT_EQ(Bind(tc::kBlob, "BLOB", {}, ""), Value(BinaryValue{}));

  StoredValue stored;
  stored.is_null = true;
  ValueText null_text;
  null_text.is_null = true;
  Value out = TextValue{"stale"};
  SqliteValue(tc::kNumber, "TEXT", stored, null_text, out);
  EXPECT_EQ(out, Value(NullValue{}));
}

}  // namespace
}  // namespace quillon::repair
