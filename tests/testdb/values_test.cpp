// The generator's value encoders against the reader's decoders: fixed bytes
// from Oracle, then round trips (encode, decode) over many random values,
// each checked against an independent statement of the expected text.
#include "testdb/values.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>

#include "reader/packed_codes.h"
#include "reader/unicode.h"
#include "reader/value_binary_float.h"
#include "reader/value_decode.h"
#include "reader/value_number.h"
#include "support/hex.h"

namespace quillon::testdb {
namespace {

using test::FromHex;

std::string DecodeText(std::uint32_t type, const Bytes& bytes, DecodeContext& context, std::uint32_t charset = 0) {
  const auto v = DecodeColumnValue({PackedCode(type), charset, "C"}, {ByteView(bytes.data(), bytes.size())},
                                   DecodeMode::kRepair, context);
  EXPECT_FALSE(v.malformed) << type;
  return v.text;
}

// A number text in plain decimal form without superfluous zeros ("01.50"
// and "1.5" are both "1.5"; "-0.50" is "-0.5"; zero is "0").
std::string Canonical(std::string text) {
  bool negative = !text.empty() && text[0] == '-';
  if (negative) text.erase(0, 1);
  if (text.find('.') != std::string::npos) {
    while (!text.empty() && text.back() == '0') text.pop_back();
    if (!text.empty() && text.back() == '.') text.pop_back();
  }
  const std::size_t first = text.find_first_not_of('0');
  text = first == std::string::npos ? "" : text.substr(first);
  if (text.empty() || text[0] == '.') text.insert(text.begin(), '0');
  if (text == "0") negative = false;
  return (negative ? "-" : "") + text;
}

TEST(EncodeNumber, WritesOraclesBytes) {
  const struct {
    const char* decimal;
    const char* hex;
  } cases[] = {
      {"1", "C1 02"},          {"5", "C1 06"},         {"100", "C2 02"},
      {"1.5", "C1 02 33"},     {"0.5", "C0 33"},       {".0005", "BF 06"},
      {"-5", "3E 60 66"},      {"-0.5", "3F 33 66"},   {"0", "80"},
      {"-0.000", "80"},        {"123433", "C3 0D 23 22"}, {"-123.433", "3D 64 4E 3A 47 66"},
      {"0.0000456", "BE 2E 3D"}, {"1e36", "D3 02"},    {"65535", "C3 07 38 24"},
      {"-1008", "3D 5B 5D 66"}, {"-.1828", "3F 53 49 66"}, {"+7369", "C2 4A 46"},
  };
  for (const auto& c : cases) EXPECT_EQ(EncodeNumber(c.decimal), FromHex(c.hex)) << c.decimal;
  for (const char* bad : {"", "-", ".", "1.2.3", "1e", "12a", "1e999", "1e-999", "1e126"}) {
    EXPECT_EQ(EncodeNumber(bad), std::nullopt) << bad;
  }
}

TEST(EncodeNumber, RoundsToFortyDigitsAndDropsTheTerminatorOfFullNegatives) {
  // 40 digits and a half: rounded to 20 base-100 digits, half up.
  const Bytes rounded = *EncodeNumber("1234567890123456789012345678901234567890.5");
  EXPECT_EQ(NumberToText(ByteView(rounded.data(), rounded.size())), "1234567890123456789012345678901234567891");
  EXPECT_EQ(EncodeNumber("9999999999999999999999999999999999999999.5"), FromHex("D5 02"));  // 1e40
  // A full negative mantissa has no terminator, and decodes whole.
  const std::string digits = "-1234567890123456789012345678901234567890";
  const Bytes full = *EncodeNumber(digits);
  EXPECT_EQ(full.size(), 21u);
  EXPECT_NE(full.back(), 102);
  EXPECT_EQ(Canonical(NumberToText(ByteView(full.data(), full.size()))), digits);
}

// A decimal with an exponent written out without one ("1.5e2" is "150.").
std::string WithoutExponent(const std::string& decimal) {
  const auto e = decimal.find('e');
  if (e == std::string::npos) return decimal;
  const long exponent = std::stol(decimal.substr(e + 1));
  std::string digits = decimal.substr(0, e);
  const bool negative = digits[0] == '-';
  if (negative) digits.erase(0, 1);
  long point = static_cast<long>(digits.size());
  if (const auto dot = digits.find('.'); dot != std::string::npos) {
    point = static_cast<long>(dot);
    digits.erase(dot, 1);
  }
  point += exponent;
  if (point < 0) {
    digits.insert(0, static_cast<std::size_t>(-point), '0');
    point = 0;
  }
  if (point > static_cast<long>(digits.size())) digits.append(static_cast<std::size_t>(point) - digits.size(), '0');
  digits.insert(static_cast<std::size_t>(point), ".");
  return (negative ? "-" : "") + digits;
}

TEST(EncodeNumber, RoundTripsRandomValues) {
  std::mt19937_64 rng(42);
  DecodeContext context;
  for (int i = 0; i < 20000; ++i) {
    std::string decimal;
    if (rng() % 2) decimal += '-';
    const int integer_digits = static_cast<int>(rng() % 20);
    const int fraction_digits = static_cast<int>(rng() % 20);
    for (int k = 0; k < integer_digits; ++k) decimal += static_cast<char>('0' + rng() % 10);
    if (fraction_digits) decimal += '.';
    for (int k = 0; k < fraction_digits; ++k) decimal += static_cast<char>('0' + rng() % 10);
    if (integer_digits + fraction_digits == 0) decimal += '0';
    if (rng() % 4 == 0) decimal += "e" + std::to_string(static_cast<int>(rng() % 160) - 80);
    const auto bytes = EncodeNumber(decimal);
    ASSERT_TRUE(bytes) << decimal;
    const std::string text = DecodeText(2, *bytes, context);
    // The decoded text names the same number as the decimal we encoded.
    ASSERT_EQ(Canonical(text == "00" ? "0" : text), Canonical(WithoutExponent(decimal))) << decimal << " -> " << text;
  }
}

std::string ExpectedDateText(const DateTimeFields& f, bool fraction) {
  static const char* kMonths[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN", "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
  const int hour12 = f.hour % 12 == 0 ? 12 : f.hour % 12;
  char buffer[64];
  if (fraction) {
    std::snprintf(buffer, sizeof buffer, "%02d-%s-%s%04d %02d:%02d:%02d.%09u %s", f.day, kMonths[f.month - 1],
                  f.year < 0 ? "-" : "", std::abs(f.year), hour12, f.minute, f.second, f.nanoseconds,
                  f.hour < 12 ? "AM" : "PM");
  } else {
    std::snprintf(buffer, sizeof buffer, "%02d-%s-%s%04d %02d:%02d:%02d %s", f.day, kMonths[f.month - 1],
                  f.year < 0 ? "-" : "", std::abs(f.year), hour12, f.minute, f.second, f.hour < 12 ? "AM" : "PM");
  }
  return buffer;
}

DateTimeFields RandomDateTime(std::mt19937_64& rng) {
  DateTimeFields f;
  do {
    f.year = static_cast<int>(rng() % 14712) - 4712;
    if (f.year >= 0) ++f.year;  // no year 0
    f.month = static_cast<int>(rng() % 12) + 1;
    f.day = static_cast<int>(rng() % 31) + 1;
    f.hour = static_cast<int>(rng() % 24);
    f.minute = static_cast<int>(rng() % 60);
    f.second = static_cast<int>(rng() % 60);
    f.nanoseconds = rng() % 2 ? 0 : static_cast<std::uint32_t>(rng() % 1000000000);
  } while (!IsValidDateTime(f));
  return f;
}

TEST(EncodeDateTime, RoundTripsRandomValues) {
  std::mt19937_64 rng(7);
  DecodeContext context;
  for (int i = 0; i < 20000; ++i) {
    const DateTimeFields f = RandomDateTime(rng);
    DateTimeFields date = f;
    date.nanoseconds = 0;
    ASSERT_EQ(DecodeText(12, EncodeDate(f), context), ExpectedDateText(date, false));
    const Bytes timestamp = EncodeTimestamp(f);
    ASSERT_EQ(timestamp.size(), f.nanoseconds ? 11u : 7u);
    ASSERT_EQ(DecodeText(180, timestamp, context), ExpectedDateText(f, f.nanoseconds != 0));
    ASSERT_EQ(DecodeText(231, timestamp, context), ExpectedDateText(f, f.nanoseconds != 0));

    // Stored in UTC, shown again in the offset it was written in.
    const int offset = static_cast<int>(rng() % (2 * 14 * 60 + 1)) - 14 * 60;
    const DateTimeFields utc = AddMinutes(f, -offset);
    if (!IsValidDateTime(utc)) continue;  // shifted out of Oracle's range
    char zone[16];
    std::snprintf(zone, sizeof zone, " %c%02d:%02d", offset < 0 ? '-' : '+', std::abs(offset) / 60,
                  std::abs(offset) % 60);
    ASSERT_EQ(DecodeText(181, EncodeTimestampTz(f, offset), context), ExpectedDateText(f, true) + zone);
    ASSERT_EQ(DecodeText(181, EncodeTimestampTzRegion(f, 615), context), ExpectedDateText(f, true) + " +00:00");
  }
}

TEST(EncodeDateTime, MatchesRealOracleBytes) {
  EXPECT_EQ(EncodeDate({-4712, 1, 1, 0, 0, 0, 0}), FromHex("35 58 01 01 01 01 01"));
  EXPECT_EQ(EncodeDate({2010, 11, 3, 15, 17, 1, 0}), FromHex("78 6E 0B 03 10 12 02"));
  EXPECT_EQ(EncodeTimestamp({2021, 7, 17, 23, 46, 8, 192870000}), FromHex("78 79 07 11 18 2F 09 0B 7E F6 70"));
  EXPECT_EQ(EncodeTimestampTz({2014, 1, 2, 15, 2, 51, 890565000}, -7 * 60),
            FromHex("78 72 01 02 17 03 34 35 14 F1 88 0D 3C"));
  EXPECT_EQ(EncodeTimestampTz({2003, 6, 16, 16, 19, 19, 0}, -8 * 60), FromHex("78 67 06 11 01 14 14 00 00 00 00 0C 3C"));
  EXPECT_EQ(EncodeTimestampTzRegion({1999, 10, 30, 4, 0, 0, 0}, 615), FromHex("77 C7 0A 1E 05 01 01 00 00 00 00 89 9C"));
}

TEST(EncodeInterval, RoundTripsRandomValues) {
  std::mt19937_64 rng(11);
  DecodeContext context;
  EXPECT_EQ(EncodeIntervalYearMonth(-5, -10), FromHex("7F FF FF FB 32"));
  EXPECT_EQ(EncodeIntervalDaySecond(2, 12, 23, 34, 456000000), FromHex("80 00 00 02 48 53 5E 9B 2E 02 00"));
  for (int i = 0; i < 5000; ++i) {
    const int sign = rng() % 2 ? -1 : 1;
    const auto years = static_cast<std::int32_t>(rng() % 1000000000);
    const int months = static_cast<int>(rng() % 12);
    char expected[64];
    std::snprintf(expected, sizeof expected, "%s%d-%d", sign < 0 && (years || months) ? "-" : "", years, months);
    ASSERT_EQ(DecodeText(182, EncodeIntervalYearMonth(sign * years, sign * months), context), expected);

    const auto days = static_cast<std::int32_t>(rng() % 1000000000);
    const int hours = static_cast<int>(rng() % 24), minutes = static_cast<int>(rng() % 60),
              seconds = static_cast<int>(rng() % 60);
    const auto nanoseconds = static_cast<std::int32_t>(rng() % 1000000000);
    const bool any = days || hours || minutes || seconds || nanoseconds;
    std::snprintf(expected, sizeof expected, "%s%d %d:%d:%d.%09d", sign < 0 && any ? "-" : "", days, hours, minutes,
                  seconds, nanoseconds);
    ASSERT_EQ(DecodeText(183, EncodeIntervalDaySecond(sign * days, sign * hours, sign * minutes, sign * seconds,
                                                      sign * nanoseconds),
                         context),
              expected);
  }
}

TEST(EncodeBinaryFloat, RoundTripsEveryKindOfValue) {
  EXPECT_EQ(EncodeBinaryFloat(134.45f), FromHex("C3 06 73 33"));
  EXPECT_EQ(EncodeBinaryDouble(1234.56), FromHex("C0 93 4A 3D 70 A3 D7 0A"));
  std::mt19937_64 rng(3);
  DecodeContext context;
  std::vector<double> values = {0.0, -0.0, 1.5, -1.5, 1e300, -1e-300, INFINITY, -INFINITY};
  for (int i = 0; i < 5000; ++i) values.push_back(std::ldexp(static_cast<double>(rng() % 2000000) - 1e6, static_cast<int>(rng() % 200) - 100));
  for (const double v : values) {
    const Bytes d = EncodeBinaryDouble(v);
    ASSERT_EQ(std::bit_cast<std::uint64_t>(BinaryDoubleValue(ByteView(d.data(), d.size()))), std::bit_cast<std::uint64_t>(v));
    char expected[512];
    std::snprintf(expected, sizeof expected, "%lf", v);
    ASSERT_EQ(DecodeText(101, d, context), expected);
    const float f = static_cast<float>(v);
    const Bytes s = EncodeBinaryFloat(f);
    ASSERT_EQ(std::bit_cast<std::uint32_t>(static_cast<float>(BinaryFloatValue(ByteView(s.data(), s.size())))),
              std::bit_cast<std::uint32_t>(f));
    std::snprintf(expected, sizeof expected, "%lf", static_cast<double>(f));
    ASSERT_EQ(DecodeText(100, s, context), expected);
  }
  // Stored bytes sort like the numbers they hold.
  EXPECT_LT(EncodeBinaryDouble(-2.0), EncodeBinaryDouble(-1.0));
  EXPECT_LT(EncodeBinaryDouble(-1.0), EncodeBinaryDouble(1.0));
  EXPECT_LT(EncodeBinaryDouble(1.0), EncodeBinaryDouble(2.0));
}

// Characters every known set can encode, from its own decoding of all single
// bytes (single-byte sets) or from samples (the others).
std::vector<std::string> Repertoire(const CharsetInfo& charset) {
  std::vector<std::string> characters;
  if (charset.scheme == CharsetScheme::kMultiByte || charset.scheme == CharsetScheme::kUtf8 ||
      charset.scheme == CharsetScheme::kCesu8 || charset.scheme == CharsetScheme::kUtf16BE) {
    characters = {"A", "z", "0", " ", "~"};
    const std::string_view name = charset.name;
    if (name.starts_with("ZHS") || name.starts_with("ZHT")) characters.insert(characters.end(), {"\u4E2D", "\u6587", "\u5B57"});
    if (name.starts_with("JA")) characters.insert(characters.end(), {"\u3042", "\u65E5", "\u30AB", "\uFF76"});
    if (name.starts_with("KO")) characters.insert(characters.end(), {"\uAC00", "\uD55C", "\uAE00"});
    if (!name.starts_with("ZH") && !name.starts_with("JA") && !name.starts_with("KO")) {
      characters.insert(characters.end(), {"\u00E9", "\u20AC", "\u03A3", "\u4E2D", "\U0001F600", "\U00010348"});
    }
    return characters;
  }
  const CharsetDecoder decoder(charset);
  for (int b = 0x20; b < 0x100; ++b) {
    if (b == 0x7F) continue;
    const std::uint8_t byte = static_cast<std::uint8_t>(b);
    const std::string c = decoder.ToUtf8(ByteView(&byte, 1));
    if (c != "\uFFFD" && (b < 0x80 || b >= 0xA0 || c.size() > 2)) characters.push_back(c);  // no C1 controls
  }
  return characters;
}

TEST(EncodeText, RoundTripsInEveryCharacterSet) {
  std::mt19937_64 rng(5);
  for (const auto& charset : KnownCharsets()) {
    SCOPED_TRACE(charset.name);
    const auto characters = Repertoire(charset);
    ASSERT_GT(characters.size(), 4u);
    const bool national = charset.id == charset_id::kAl16Utf16;
    DecodeContext context(national ? DefaultDatabaseCharset() : charset);
    for (int i = 0; i < 200; ++i) {
      std::string text;
      for (int k = static_cast<int>(rng() % 30); k > 0; --k) text += characters[rng() % characters.size()];
      const auto bytes = EncodeText(text, charset);
      ASSERT_TRUE(bytes) << text;
      ASSERT_EQ(DecodeText(1, *bytes, context, national ? kNationalCharsetCode : 0), text);
    }
  }
  EXPECT_EQ(EncodeText("\U0001F600", *FindCharset(std::string_view("UTF8"))), FromHex("ED A0 BD ED B8 80"));
  EXPECT_EQ(EncodeText("\U0001F600", DefaultNationalCharset()), FromHex("D8 3D DE 00"));
  EXPECT_EQ(EncodeText("\u7075\u6D3B", *FindCharset(std::string_view("ZHS16GBK"))), FromHex("C1 E9 BB EE"));
  EXPECT_EQ(EncodeText("\u4E2D", *FindCharset(std::string_view("WE8MSWIN1252"))), std::nullopt);
  EXPECT_EQ(EncodeText("\xC3", DefaultDatabaseCharset()), std::nullopt);
}

TEST(EncodeAddresses, RoundTripRowidsUrowidsRawsAndBfiles) {
  DecodeContext context;
  EXPECT_EQ(EncodeRowid(78567, 5, 253, 1), FromHex("00 01 32 E7 01 40 00 FD 00 01"));
  std::mt19937_64 rng(9);
  for (int i = 0; i < 2000; ++i) {
    const auto file = static_cast<std::uint32_t>(rng() % 1023 + 1);
    const auto block = static_cast<std::uint32_t>(rng() % (1u << 22));
    const auto row = static_cast<std::uint16_t>(rng());
    char expected[32];
    std::snprintf(expected, sizeof expected, "%08x.%04x.%04x", block, row, file);
    ASSERT_EQ(DecodeText(69, EncodeRowid(static_cast<std::uint32_t>(rng()), file, block, row), context), expected);
    ASSERT_EQ(DecodeText(208, EncodeUrowid(static_cast<std::uint32_t>(rng()), static_cast<std::uint16_t>(file), block, row),
                         context),
              expected);
    Bytes raw(rng() % 40);
    for (auto& b : raw) b = static_cast<std::uint8_t>(rng());
    const std::string hex = ToHex(ByteView(raw.data(), raw.size()));
    ASSERT_EQ(EncodeRaw(hex), raw);
    ASSERT_EQ(DecodeText(23, raw, context), hex);
  }
  const auto bfile = EncodeBfile("MEDIA_DIR", "r\u00E9sum\u00E9.pdf", DefaultDatabaseCharset());
  ASSERT_TRUE(bfile);
  EXPECT_EQ(DecodeText(114, *bfile, context), "MEDIA_DIR','r\u00E9sum\u00E9.pdf");
  EXPECT_EQ(EncodeBfile(std::string(256, 'x'), "f", DefaultDatabaseCharset()), std::nullopt);
}

}  // namespace
}  // namespace quillon::testdb
