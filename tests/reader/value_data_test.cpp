// Data mode: the texts CSV and JSON exports write (canonical numbers, ISO
// 8601 dates, times and durations, shortest floats), and the display text
// kept for bytes that are not a valid value of their type.
#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <limits>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "reader/packed_codes.h"
#include "reader/value_decode.h"
#include "reader/value_number.h"
#include "support/hex.h"
#include "testdb/values.h"

namespace quillon {
namespace {

using testdb::Bytes;

struct DataCase {
  const char* what;
  std::uint32_t type;  // Oracle type number
  Bytes bytes;
  std::string text;    // empty: the repair-mode text, kept for bytes that are no valid value
  TextForm form;
};

DecodedValue Decode(std::uint32_t type, const Bytes& bytes, DecodeMode mode, bool joined = false) {
  DecodeContext context;
  const ColumnDescriptor column{PackedCode(type), 0, "C"};
  return DecodeColumnValue(column, StoredValue{ByteView(bytes.data(), bytes.size()), false, joined}, mode, context);
}
DecodedValue DecodeData(std::uint32_t type, const Bytes& bytes, bool joined = false) {
  return Decode(type, bytes, DecodeMode::kData, joined);
}

Bytes Num(const char* decimal) { return *testdb::EncodeNumber(decimal); }
DateTimeFields At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, std::uint32_t ns = 0) {
  return DateTimeFields{y, mo, d, h, mi, s, ns};
}

constexpr TextForm kNum = TextForm::kNumber;
constexpr TextForm kStr = TextForm::kString;
constexpr TextForm kNonFinite = TextForm::kNonFinite;

TEST(DataTexts, EveryValueKind) {
  using namespace testdb;
  const DataCase cases[] = {
      // NUMBER: canonical decimal, exact digits.
      {"zero", 2, Num("0"), "0", kNum},
      {"hundred", 2, Num("100"), "100", kNum},
      {"salary", 2, Num("24000"), "24000", kNum},
      {"a fifth", 2, Num("0.2"), "0.2", kNum},
      {"minus five", 2, Num("-5"), "-5", kNum},
      {"minus a half", 2, Num("-0.5"), "-0.5", kNum},
      {"odd digit count", 2, Num("123.433"), "123.433", kNum},
      {"small", 2, Num("0.0005"), "0.0005", kNum},
      {"38 digits", 2, Num("12345678901234567890123456789012345678"), "12345678901234567890123456789012345678", kNum},
      {"minus 38 nines", 2, Num("-99999999999999999999999999999999999999"),
       "-99999999999999999999999999999999999999", kNum},
      {"40 significant digits", 2, Num("12345678901234567890.12345678901234567891"),
       "12345678901234567890.12345678901234567891", kNum},
      {"40 digits of integer", 2, Num("1e39"), "1000000000000000000000000000000000000000", kNum},
      {"41 digits of integer", 2, Num("1e40"), "1E+40", kNum},
      {"40 digits after the point", 2, Num("-1e-40"), "-0.0000000000000000000000000000000000000001", kNum},
      {"41 digits after the point", 2, Num("1e-41"), "1E-41", kNum},
      {"big exponent", 2, Num("1.5e125"), "1.5E+125", kNum},
      {"largest", 2, Num(("9." + std::string(39, '9') + "e125").c_str()), "9." + std::string(39, '9') + "E+125", kNum},
      {"smallest", 2, Num("1e-128"), "1E-128", kNum},
      {"negative tiny", 2, Num("-1.25e-100"), "-1.25E-100", kNum},
      {"full negative mantissa", 2, Num("-12345678901234567890123456789012345678.91"),
       "-12345678901234567890123456789012345678.91", kNum},
      // Bytes Oracle never writes keep their display text, as a string.
      {"digit byte out of range", 2, test::FromHex("C1 FF"), "", kStr},
      {"no digits", 2, test::FromHex("C1"), "", kStr},
      {"positive infinity bytes", 2, test::FromHex("FF 65"), "", kStr},
      // DATE: ISO 8601, astronomical years.
      {"date", 12, EncodeDate(At(2003, 1, 1)), "2003-01-01T00:00:00", kStr},
      {"afternoon", 12, EncodeDate(At(2024, 1, 5, 15, 4, 5)), "2024-01-05T15:04:05", kStr},
      {"first day BC", 12, EncodeDate(At(-4712, 1, 1)), "-4711-01-01T00:00:00", kStr},
      {"1 BC is year 0", 12, EncodeDate(At(-1, 12, 31, 23, 59, 59)), "0000-12-31T23:59:59", kStr},
      {"2 BC", 12, EncodeDate(At(-2, 6, 1)), "-0001-06-01T00:00:00", kStr},
      {"year 1", 12, EncodeDate(At(1, 1, 1)), "0001-01-01T00:00:00", kStr},
      {"last day", 12, EncodeDate(At(9999, 12, 31, 23, 59, 59)), "9999-12-31T23:59:59", kStr},
      {"month 13", 12, test::FromHex("78 67 0D 01 01 01 01"), "", kStr},
      {"30 February", 12, EncodeDate(At(2003, 2, 30)), "", kStr},
      // TIMESTAMP and WITH LOCAL TIME ZONE: the fraction as stored, no
      // trailing zeros.
      {"timestamp", 180, EncodeTimestamp(At(2009, 6, 15, 8, 30, 0, 123456000)), "2009-06-15T08:30:00.123456", kStr},
      {"no fraction", 180, EncodeTimestamp(At(2009, 6, 15, 6, 30)), "2009-06-15T06:30:00", kStr},
      {"zero fraction stored", 180, test::FromHex("78 6D 06 0F 07 1F 01 00 00 00 00"), "2009-06-15T06:30:00", kStr},
      {"one nanosecond", 180, EncodeTimestamp(At(2009, 6, 15, 6, 30, 0, 1)), "2009-06-15T06:30:00.000000001", kStr},
      {"a half", 231, EncodeTimestamp(At(2009, 6, 15, 6, 30, 0, 500000000)), "2009-06-15T06:30:00.5", kStr},
      {"fraction of a second too big", 180, test::FromHex("78 6D 06 0F 07 1F 01 3B 9A CA 00"), "", kStr},
      // TIMESTAMP WITH TIME ZONE: local time and offset; a region in UTC.
      {"offset", 181, EncodeTimestampTz(At(2009, 6, 15, 8, 30, 0, 250000000), 120), "2009-06-15T08:30:00.25+02:00",
       kStr},
      {"negative offset", 181, EncodeTimestampTz(At(2009, 6, 15, 8, 30), -330), "2009-06-15T08:30:00-05:30", kStr},
      {"offset over midnight", 181, EncodeTimestampTz(At(2003, 1, 1, 0, 30), 120), "2003-01-01T00:30:00+02:00", kStr},
      {"zero offset", 181, EncodeTimestampTz(At(2003, 1, 1), 0), "2003-01-01T00:00:00+00:00", kStr},
      {"region", 181, EncodeTimestampTzRegion(At(2009, 6, 15, 6, 30), 0x0161), "2009-06-15T06:30:00Z", kStr},
      // Intervals: ISO 8601 durations.
      {"year to month", 182, EncodeIntervalYearMonth(1, 2), "P1Y2M", kStr},
      {"negative year to month", 182, EncodeIntervalYearMonth(-1, -6), "-P1Y6M", kStr},
      {"months only", 182, EncodeIntervalYearMonth(0, -3), "-P0Y3M", kStr},
      {"zero year to month", 182, EncodeIntervalYearMonth(0, 0), "P0Y0M", kStr},
      {"signs disagree", 182, EncodeIntervalYearMonth(1, -6), "", kStr},
      {"day to second", 183, EncodeIntervalDaySecond(3, 4, 5, 6, 500000000), "P3DT4H5M6.5S", kStr},
      {"negative day to second", 183, EncodeIntervalDaySecond(-3, -12, -30, 0, 0), "-P3DT12H30M0S", kStr},
      {"nanoseconds only", 183, EncodeIntervalDaySecond(0, 0, 0, 0, -1), "-P0DT0H0M0.000000001S", kStr},
      {"zero day to second", 183, EncodeIntervalDaySecond(0, 0, 0, 0, 0), "P0DT0H0M0S", kStr},
      {"25 hours", 183, EncodeIntervalDaySecond(0, 25, 0, 0, 0), "", kStr},
      // BINARY_FLOAT and BINARY_DOUBLE: shortest round trip.
      {"float", 100, EncodeBinaryFloat(3.25f), "3.25", kNum},
      {"float tenth", 100, EncodeBinaryFloat(0.1f), "0.1", kNum},
      {"float negative", 100, EncodeBinaryFloat(-0.5f), "-0.5", kNum},
      {"float negative zero", 100, EncodeBinaryFloat(-0.0f), "-0", kNum},
      {"float largest", 100, EncodeBinaryFloat(std::numeric_limits<float>::max()), "3.4028235e+38", kNum},
      {"float NaN", 100, EncodeBinaryFloat(std::numeric_limits<float>::quiet_NaN()), "NaN", kNonFinite},
      {"float infinity", 100, EncodeBinaryFloat(std::numeric_limits<float>::infinity()), "Infinity", kNonFinite},
      {"float minus infinity", 100, EncodeBinaryFloat(-std::numeric_limits<float>::infinity()), "-Infinity",
       kNonFinite},
      {"double", 101, EncodeBinaryDouble(6.02214076e23), "6.02214076e+23", kNum},
      {"double tiny", 101, EncodeBinaryDouble(1e-300), "1e-300", kNum},
      {"double tenth", 101, EncodeBinaryDouble(0.1), "0.1", kNum},
      {"double denormal", 101, EncodeBinaryDouble(std::numeric_limits<double>::denorm_min()), "5e-324", kNum},
      {"double NaN", 101, EncodeBinaryDouble(std::numeric_limits<double>::quiet_NaN()), "NaN", kNonFinite},
      {"double minus infinity", 101, EncodeBinaryDouble(-std::numeric_limits<double>::infinity()), "-Infinity",
       kNonFinite},
      // The types without a data form of their own: as in repair mode.
      {"raw", 23, test::FromHex("00 FF 7F"), "00ff7f", kStr},
      {"varchar2", 1, Bytes{'0', '1', '0', '0'}, "0100", kStr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const DecodedValue v = DecodeData(c.type, c.bytes);
    EXPECT_EQ(v.kind, ValueKind::kText);
    if (c.text.empty()) {
      const std::string display = Decode(c.type, c.bytes, DecodeMode::kRepair).text;
      EXPECT_FALSE(display.empty());
      EXPECT_EQ(v.text, display);
    } else {
      EXPECT_EQ(v.text, c.text);
    }
    EXPECT_EQ(v.form, c.form);
  }
}

TEST(DataTexts, TheOtherModesKeepTheDisplayTexts) {
  DecodeContext context;
  const Bytes hundred = Num("100");
  const Bytes zero = Num("0");
  const ColumnDescriptor number{PackedCode(2), 0, "C"};
  for (const DecodeMode mode : {DecodeMode::kBrowse, DecodeMode::kRepair}) {
    const DecodedValue v =
        DecodeColumnValue(number, StoredValue{ByteView(hundred.data(), hundred.size())}, mode, context);
    EXPECT_EQ(v.text, "0100");
    EXPECT_EQ(v.form, TextForm::kString);
    EXPECT_EQ(DecodeColumnValue(number, StoredValue{ByteView(zero.data(), zero.size())}, mode, context).text, "00");
  }
  // A zero joined from two row pieces is zero too.
  EXPECT_EQ(DecodeData(2, zero, true).text, "0");
}

// Random NUMBERs of every length and exponent: the data text is canonical
// and encodes back to the very bytes it came from.
TEST(DataTexts, NumbersAreCanonicalAndExact) {
  const std::regex plain(R"(-?(0|[1-9][0-9]*)(\.[0-9]*[1-9])?)");
  const std::regex exponent(R"(-?[1-9](\.[0-9]*[1-9])?E[+-][1-9][0-9]*)");
  std::mt19937 random(11);
  for (int i = 0; i < 20000; ++i) {
    std::string decimal = random() % 2 ? "-" : "";
    const int digits = 1 + static_cast<int>(random() % 40);
    decimal += static_cast<char>('1' + random() % 9);
    for (int k = 1; k < digits; ++k) decimal += static_cast<char>('0' + random() % 10);
    decimal += "e" + std::to_string(static_cast<int>(random() % 250) - 130);
    const auto bytes = testdb::EncodeNumber(decimal);
    if (!bytes) continue;  // outside NUMBER's range
    SCOPED_TRACE(decimal);
    std::string text;
    ASSERT_TRUE(AppendNumberData(ByteView(bytes->data(), bytes->size()), text));
    std::string digits_only;
    for (const char ch : text) {
      if (ch == 'E') break;
      if (ch >= '0' && ch <= '9') digits_only += ch;
    }
    if (std::regex_match(text, plain)) {
      // A plain form needs at most 40 digits besides the zero before the point.
      const bool below_one = text.find("0.") == 0 || text.find("-0.") == 0;
      EXPECT_LE(digits_only.size() - (below_one ? 1 : 0), 40u) << text;
    } else {
      EXPECT_TRUE(std::regex_match(text, exponent)) << text;
    }
    EXPECT_EQ(testdb::EncodeNumber(text), bytes) << text;
  }
}

template <typename Real>
Real ReadBack(const std::string& text) {
  Real v{};
  const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
  EXPECT_EQ(r.ec, std::errc()) << text;
  EXPECT_EQ(r.ptr, text.data() + text.size()) << text;
  return v;
}

// Random bit patterns of both widths: the text reads back to the same value,
// and no shorter text of the same digits would (the last digit matters).
TEST(DataTexts, FloatsReadBackToTheSameValue) {
  std::mt19937_64 random(7);
  for (int i = 0; i < 20000; ++i) {
    const auto bits = random();
    const float f = std::bit_cast<float>(static_cast<std::uint32_t>(bits));
    const double d = std::bit_cast<double>(bits);
    if (std::isfinite(f)) {
      const DecodedValue v = DecodeData(100, testdb::EncodeBinaryFloat(f));
      ASSERT_EQ(v.form, TextForm::kNumber);
      EXPECT_EQ(std::bit_cast<std::uint32_t>(ReadBack<float>(v.text)), std::bit_cast<std::uint32_t>(f)) << v.text;
      EXPECT_LE(v.text.size(), 15u) << v.text;  // never the longer text of the value as a double
    }
    if (std::isfinite(d)) {
      const DecodedValue v = DecodeData(101, testdb::EncodeBinaryDouble(d));
      ASSERT_EQ(v.form, TextForm::kNumber);
      EXPECT_EQ(std::bit_cast<std::uint64_t>(ReadBack<double>(v.text)), bits) << v.text;
    }
  }
}

}  // namespace
}  // namespace quillon
