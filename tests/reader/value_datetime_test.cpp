#include "reader/value_datetime.h"

#include <gtest/gtest.h>

#include "reader/value_interval.h"
#include "support/hex.h"

namespace quillon {
namespace {

using test::FromHex;
using test::View;

struct TextCase {
  const char* hex;
  const char* text;
};

TEST(DateTimeToText, DatesAndTimestamps) {
  const TextCase cases[] = {
      {"78 7C 01 05 01 01 01", "05-JAN-2024 12:00:00 AM"},  // midnight is 12 AM
      {"78 7C 01 05 0D 01 01", "05-JAN-2024 12:00:00 PM"},  // noon is 12 PM
      {"78 7C 01 05 0C 3C 3C", "05-JAN-2024 11:59:59 AM"},
      {"78 7C 01 05 18 3C 3C", "05-JAN-2024 11:59:59 PM"},
      {"78 7C 01 05 10 05 06", "05-JAN-2024 03:04:05 PM"},
      {"64 70 02 07 01 01 01", "07-FEB-0012 12:00:00 AM"},
      // BC: century and year below 100; 4712 BC is 53, 88.
      {"35 58 01 01 01 01 01", "01-JAN--4712 12:00:00 AM"},
      {"35 5A 01 01 01 01 01", "01-JAN--4710 12:00:00 AM"},
      {"64 63 0C 1F 01 01 01", "31-DEC--0001 12:00:00 AM"},  // 1 BC: century byte 100, year byte 99
      // TIMESTAMP: nine digits of fraction and the AM/PM marker
      {"78 7C 01 05 10 05 06 1D CD 65 00", "05-JAN-2024 03:04:05.500000000 PM"},
      {"78 7C 01 05 10 05 06 00 00 00 07", "05-JAN-2024 03:04:05.000000007 PM"},
      {"78 79 07 11 18 2F 09 0B 7E F6 70", "17-JUL-2021 11:46:08.192870000 PM"},
      // Damage: a month outside 1-12, too few bytes, a cut fraction.
      {"78 7C 0D 05 01 01 01", "05-\?\?\?-2024 12:00:00 AM"},
      {"78 7C 01 05 01 01", ""},
      {"78 7C 01 05 01 01 01 00 00", "05-JAN-2024 12:00:00 AM"},
  };
  for (const auto& c : cases) EXPECT_EQ(DateTimeToText(View(FromHex(c.hex))), c.text) << c.hex;
}

TEST(TimestampTzToText, ShowsTheStoredOffset) {
  const TextCase cases[] = {
      // 22:02:51 UTC at -07:00
      {"78 72 01 02 17 03 34 35 14 F1 88 0D 3C", "02-JAN-2014 03:02:51.890565000 PM -07:00"},
      // 00:05:15 UTC at +00:00
      {"78 79 07 12 01 06 10 30 C4 AA 38 14 3C", "18-JUL-2021 12:05:15.818195000 AM +00:00"},
      // 2003-06-17 00:19:19 UTC at -08:00 goes back a day
      {"78 67 06 11 01 14 14 00 00 00 00 0C 3C", "16-JUN-2003 04:19:19.000000000 PM -08:00"},
      // a year boundary forwards, at +05:30
      {"78 7B 0C 1F 14 01 01 00 00 00 00 19 5A", "01-JAN-2024 12:30:00.000000000 AM +05:30"},
      // a year boundary backwards, at -03:30 (hours and minutes both negative)
      {"78 7C 01 01 02 01 01 00 00 00 00 11 1E", "31-DEC-2023 09:30:00.000000000 PM -03:30"},
      // a leap day, at +14:00
      {"78 7C 02 1C 0B 01 01 00 00 00 00 22 3C", "29-FEB-2024 12:00:00.000000000 AM +14:00"},
      // region id (US/Pacific): UTC
      {"77 C7 0A 1E 05 01 01 00 00 00 00 89 9C", "30-OCT-1999 04:00:00.000000000 AM +00:00"},
      // a damaged offset or date is shown in UTC
      {"78 7C 01 05 01 01 01 00 00 00 00 50 3C", "05-JAN-2024 12:00:00.000000000 AM +00:00"},
      {"78 7C 0D 05 01 01 01 00 00 00 00 0D 3C", "05-\?\?\?-2024 12:00:00.000000000 AM +00:00"},
      // shorter than Oracle writes it
      {"78 7C 01 05 01 01 01", "05-JAN-2024 12:00:00 AM +00:00"},
      {"78", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(TimestampTzToText(View(FromHex(c.hex))), c.text) << c.hex;
}

TEST(AddMinutes, FollowsOraclesCalendar) {
  // Julian leap day before the reform, the ten missing days of October 1582,
  // and the step from 1 BC to 1 AD.
  EXPECT_EQ(AddMinutes({1500, 2, 28, 23, 0, 0, 0}, 60), (DateTimeFields{1500, 2, 29, 0, 0, 0, 0}));
  EXPECT_EQ(AddMinutes({1900, 2, 28, 23, 0, 0, 0}, 60), (DateTimeFields{1900, 3, 1, 0, 0, 0, 0}));
  EXPECT_EQ(AddMinutes({1582, 10, 4, 23, 0, 0, 0}, 60), (DateTimeFields{1582, 10, 15, 0, 0, 0, 0}));
  EXPECT_EQ(AddMinutes({1582, 10, 15, 0, 30, 0, 0}, -60), (DateTimeFields{1582, 10, 4, 23, 30, 0, 0}));
  EXPECT_EQ(AddMinutes({-1, 12, 31, 23, 0, 0, 0}, 60), (DateTimeFields{1, 1, 1, 0, 0, 0, 0}));
  EXPECT_EQ(AddMinutes({1, 1, 1, 0, 0, 0, 0}, -1), (DateTimeFields{-1, 12, 31, 23, 59, 0, 0}));
  EXPECT_EQ(AddMinutes({2024, 3, 1, 0, 0, 0, 0}, -3 * 1440), (DateTimeFields{2024, 2, 27, 0, 0, 0, 0}));
  EXPECT_FALSE(IsValidDateTime({1582, 10, 10, 0, 0, 0, 0}));
  EXPECT_FALSE(IsValidDateTime({2023, 2, 29, 0, 0, 0, 0}));
  EXPECT_TRUE(IsValidDateTime({-4712, 1, 1, 0, 0, 0, 0}));
}

TEST(IntervalToText, YearMonthAndDaySecond) {
  const TextCase year_month[] = {
      {"80 00 00 01 42", "1-6"},
      {"7F FF FF FF 36", "-1-6"},
      {"80 00 00 00 39", "-0-3"},
      {"80 00 07 E5 46", "2021-10"},
      {"7F FF FF FB 32", "-5-10"},
      {"80 00 00 01", ""},
  };
  for (const auto& c : year_month) EXPECT_EQ(IntervalYearMonthToText(View(FromHex(c.hex))), c.text) << c.hex;
  const TextCase day_second[] = {
      {"7F FF FF FF 3A 3C 3C 80 00 00 00", "-1 2:0:0.000000000"},
      {"80 00 00 05 3C 3C 46 80 00 00 00", "5 0:0:10.000000000"},
      {"80 00 00 02 48 53 5E 9B 2E 02 00", "2 12:23:34.456000000"},
      {"80 00 00 00 3C 3C 3C 7F FF FF FF", "-0 0:0:0.000000001"},
      {"80 00 00 00 3C 3C 3C 80 00 00", ""},
  };
  for (const auto& c : day_second) EXPECT_EQ(IntervalDaySecondToText(View(FromHex(c.hex))), c.text) << c.hex;
}

}  // namespace
}  // namespace quillon
