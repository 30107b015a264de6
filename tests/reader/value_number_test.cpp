#include "reader/value_number.h"

#include <gtest/gtest.h>

#include "reader/packed_codes.h"
#include "support/hex.h"

namespace quillon {
namespace {

using test::FromHex;
using test::View;

struct NumberCase {
  const char* hex;
  const char* text;
};

TEST(NumberToText, WritesTheSystemsOwnNumberText) {
  const NumberCase cases[] = {
      // Every base-100 digit has two characters; trailing zeros of a pair stay.
      {"C1 02", "01"},
      {"C1 06", "05"},
      {"C2 02", "0100"},
      {"C1 02 33", "01.50"},
      {"C0 33", ".50"},
      {"BF 06", ".0005"},
      {"3E 60 66", "-05"},
      {"3F 33 66", "-0.50"},
      {"80", "0.0000"},
      {"C3 0D 23 22", "123433"},
      {"BE 2E 3D", ".00004560"},
      {"C3 02 01 02", "010001"},
      {"D3 02", "01000000000000000000000000000000000000"},  // 1e36: 38 digits
      {"C2 4A 46", "7369"},
      {"C0 22 1F", ".3330"},
      {"3D 64 4E 3A 47 66", "-0123.4330"},
      {"3F 53 49 66", "-0.1828"},
      {"3E 64 4C 66", "-01.25"},
      {"3D 5B 5D 66", "-1008"},
      {"3E 5B 4E 02 02 18 5A 53 51 66", "-10.23999977111820"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.hex);
    EXPECT_EQ(NumberToText(View(FromHex(c.hex))), c.text);
  }
}

TEST(NumberToText, LongExponentsPadAndShiftTheDigits) {
  EXPECT_EQ(NumberToText(View(FromHex("FF 02"))), "01" + std::string(124, '0'));
  EXPECT_EQ(NumberToText(View(FromHex("81 02"))), "." + std::string(126, '0') + "01");
  EXPECT_EQ(NumberToText(View(FromHex("00 64 66"))), "-01" + std::string(124, '0'));
  EXPECT_EQ(NumberToText(View(FromHex("7F 64 66"))), "-0." + std::string(128, '0') + "01");
}

TEST(NumberToText, NegativeValueDropsOnlyTheTerminator) {
  // A full 20-byte negative mantissa has no terminator: its last digit pair
  // (here 99, stored as 2) belongs to the value.
  std::vector<std::uint8_t> full = {0x3E};
  for (int i = 0; i < 19; ++i) full.push_back(101 - 11);  // digit 11
  full.push_back(101 - 99);
  std::string expected = "-11.";
  for (int i = 0; i < 18; ++i) expected += "11";
  expected += "99";
  EXPECT_EQ(NumberToText(View(full)), expected);

  // Without a terminator a short value keeps its last digit as well.
  EXPECT_EQ(NumberToText(View(FromHex("3E 60"))), "-05");
  // A lone negative exponent byte has no digits.
  EXPECT_EQ(NumberToText(View(FromHex("3E"))), "-00");
  EXPECT_EQ(NumberToText(View(FromHex("3E 66"))), "-00");
}

TEST(NumberToText, DamagedBytesStillGiveText) {
  EXPECT_EQ(NumberToText(ByteView()), "");
  EXPECT_EQ(NumberToText(View(FromHex("C1"))), "00");
  EXPECT_EQ(NumberToText(View(FromHex("C1 00"))), "-1");     // digit byte 0 is "%02d" of -1
  EXPECT_EQ(NumberToText(View(FromHex("C1 FF 02"))), "25.401");
  // A long damaged buffer is decoded whole without overflowing any buffer.
  std::vector<std::uint8_t> long_value(300, 0x02);
  long_value[0] = 0xC1;
  EXPECT_EQ(NumberToText(View(long_value)).size(), 2 + 1 + 2 * 298u);
  std::vector<std::uint8_t> long_negative(300, 0xFF);
  long_negative[0] = 0x01;
  EXPECT_EQ(NumberToText(View(long_negative)).size(), 1 + 4 * 299u + 1);
}

TEST(NumberTextToInteger, ReadsTheIntegerPart) {
  EXPECT_EQ(NumberTextToInteger("0100"), 100);
  EXPECT_EQ(NumberTextToInteger("01.50"), 1);
  EXPECT_EQ(NumberTextToInteger(".50"), 0);
  EXPECT_EQ(NumberTextToInteger("0.0000"), 0);
  EXPECT_EQ(NumberTextToInteger("-05"), -5);
  EXPECT_EQ(NumberTextToInteger("-0.50"), 0);
  EXPECT_EQ(NumberTextToInteger("9223372036854775807"), INT64_MAX);
  EXPECT_EQ(NumberTextToInteger("9223372036854775808"), std::nullopt);
  EXPECT_EQ(NumberTextToInteger("FF"), std::nullopt);
  EXPECT_EQ(NumberTextToInteger(""), std::nullopt);
  EXPECT_EQ(NumberTextToInteger("-"), std::nullopt);
  EXPECT_EQ(NumberTextToInteger("1-1"), std::nullopt);
  EXPECT_EQ(NumberToInteger(View(FromHex("C2 4A 46"))), 7369);
}

TEST(DictionaryNumbers, NullIsFFAndZeroPrecisionIsZero) {
  EXPECT_EQ(DictionaryNumberText(true, {}), "FF");
  EXPECT_EQ(DictionaryNumberText(false, View(FromHex("80"))), "0.0000");
  EXPECT_EQ(DictionaryPrecisionText(false, View(FromHex("80"))), "0");
  EXPECT_EQ(DictionaryPrecisionText(true, {}), "FF");
  EXPECT_EQ(DictionaryPrecisionText(false, View(FromHex("C1 0B"))), "10");
}

TEST(PackedCodes, PackTheStoredNumberBytes) {
  EXPECT_EQ(PackNumberBytes(View(FromHex("C1 02"))), 0x02C1u);
  EXPECT_EQ(PackNumberBytes(View(FromHex("C2 02 0E"))), 0x0E02C2u);
  EXPECT_EQ(PackNumberBytes(View(FromHex("C2 15"))), 0x15C2u);
  EXPECT_EQ(PackNumberBytes(View(FromHex("C3 02 03 04 05"))), 0x040302C3u);
  EXPECT_EQ(PackNumberBytes(ByteView()), 0u);
  // The code of an integer is the packing of its NUMBER bytes.
  const struct {
    std::uint32_t type;
    std::uint32_t code;
  } table[] = {{1, 0x02C1},     {2, 0x03C1},     {8, 0x09C1},     {12, 0x0DC1},    {23, 0x18C1},
               {24, 0x19C1},    {69, 0x46C1},    {96, 0x61C1},    {100, 0x02C2},   {101, 0x0202C2},
               {111, 0x0C02C2}, {112, 0x0D02C2}, {113, 0x0E02C2}, {114, 0x0F02C2}, {121, 0x1602C2},
               {122, 0x1702C2}, {123, 0x1802C2}, {180, 0x5102C2}, {181, 0x5202C2}, {182, 0x5302C2},
               {183, 0x5402C2}, {208, 0x0903C2}, {231, 0x2003C2}, {2000, 0x15C2},  {0, 0x80}};
  for (const auto& row : table) EXPECT_EQ(PackedCode(row.type), row.code) << row.type;
}

}  // namespace
}  // namespace quillon
