#include "reader/value_datetime.h"

#include <cstdlib>
#include <string_view>

#include "reader/format.h"
#include "reader/text_append.h"

namespace quillon {

namespace {

namespace dt = format::datetime_value;

constexpr std::string_view kMonthNames[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                            "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
constexpr std::string_view kUnknownMonth = "???";
constexpr int kMinutesPerDay = 24 * 60;

// Oracle's calendar: Julian before 15 October 1582 (the ten days from 5 to
// 14 October 1582 do not exist), Gregorian from then on.
constexpr int kReformYear = 1582;
constexpr int kReformMonth = 10;
constexpr int kLastJulianDay = 4;
constexpr int kFirstGregorianDay = 15;

bool IsLeapYear(int year) {
  const int astronomical = year < 0 ? year + 1 : year;
  if (year <= kReformYear) return astronomical % 4 == 0;
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
  constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month == 2 && IsLeapYear(year)) return 29;
  return kDays[month - 1];
}

void NextDay(DateTimeFields& f) {
  if (f.year == kReformYear && f.month == kReformMonth && f.day == kLastJulianDay) {
    f.day = kFirstGregorianDay;
  } else if (f.day < DaysInMonth(f.year, f.month)) {
    ++f.day;
  } else if (f.month < 12) {
    f.day = 1;
    ++f.month;
  } else {
    f.day = 1;
    f.month = 1;
    f.year = f.year == -1 ? 1 : f.year + 1;
  }
}

void PreviousDay(DateTimeFields& f) {
  if (f.year == kReformYear && f.month == kReformMonth && f.day == kFirstGregorianDay) {
    f.day = kLastJulianDay;
  } else if (f.day > 1) {
    --f.day;
  } else if (f.month > 1) {
    --f.month;
    f.day = DaysInMonth(f.year, f.month);
  } else {
    f.month = 12;
    f.day = 31;
    f.year = f.year == 1 ? -1 : f.year - 1;
  }
}

void AppendTwo(std::string& out, long long v) { AppendPadded(out, v, 2); }

// The month names and " AM"/" PM" are three characters: copied byte by byte
// rather than through a call to memcpy.
char* WriteText(char* out, std::string_view text) {
  for (const char c : text) *out++ = c;
  return out;
}

// The text is made in a buffer and appended at once. Every field is at most
// a few characters even when damaged (bytes give values of at most 5 digits
// and a sign; the fraction at most 10 digits), well inside the buffer.
void AppendDateTimeText(std::string& out, const DateTimeFields& f, bool with_fraction) {
  char buffer[96];
  char* p = WritePadded(buffer, f.day, 2);
  *p++ = '-';
  p = WriteText(p, (f.month >= 1 && f.month <= 12) ? kMonthNames[f.month - 1] : kUnknownMonth);
  *p++ = '-';
  if (f.year < 0) *p++ = '-';
  p = WritePadded(p, std::abs(f.year), 4);
  *p++ = ' ';
  int hour = f.hour;
  const bool afternoon = hour > 11;
  if (afternoon) hour -= 12;
  p = WritePadded(p, hour == 0 ? 12 : hour, 2);
  *p++ = ':';
  p = WritePadded(p, f.minute, 2);
  *p++ = ':';
  p = WritePadded(p, f.second, 2);
  if (with_fraction) {
    *p++ = '.';
    p = WritePadded(p, f.nanoseconds, 9);
  }
  p = WriteText(p, afternoon ? " PM" : " AM");
  out.append(buffer, p);
}

std::string DateTimeText(const DateTimeFields& f, bool with_fraction) {
  std::string out;
  out.reserve(40);
  AppendDateTimeText(out, f, with_fraction);
  return out;
}

// Appends "." and the fraction's digits without their trailing zeros;
// nothing for a zero fraction.
void AppendFraction(std::string& out, std::uint32_t nanoseconds) {
  if (nanoseconds == 0) return;
  char digits[16];
  char* end = WritePadded(digits, nanoseconds, 9);
  while (end[-1] == '0') --end;
  out.push_back('.');
  out.append(digits, end);
}

}  // namespace

void AppendIsoDateTime(std::string& out, const DateTimeFields& f, IsoFraction fraction) {
  char buffer[96];
  char* p = buffer;
  const int astronomical = f.year < 0 ? f.year + 1 : f.year;
  if (astronomical >= 0 && astronomical <= 9999) {  // two pairs, not the general path of WritePadded
    p = WritePadded(p, astronomical / 100, 2);
    p = WritePadded(p, astronomical % 100, 2);
  } else {
    if (astronomical < 0) *p++ = '-';
    p = WritePadded(p, std::abs(astronomical), 4);
  }
  *p++ = '-';
  p = WritePadded(p, f.month, 2);
  *p++ = '-';
  p = WritePadded(p, f.day, 2);
  *p++ = 'T';
  p = WritePadded(p, f.hour, 2);
  *p++ = ':';
  p = WritePadded(p, f.minute, 2);
  *p++ = ':';
  p = WritePadded(p, f.second, 2);
  if (fraction == IsoFraction::kNine) {
    *p++ = '.';
    p = WritePadded(p, f.nanoseconds % 1000000000u, 9);
  }
  out.append(buffer, p);
  if (fraction == IsoFraction::kTrimmed) AppendFraction(out, f.nanoseconds);
}

bool AppendDateTimeData(ByteView bytes, std::string& out) {
  const auto fields = ReadDateTime(bytes);
  if (!fields || !IsValidDateTime(*fields)) return false;
  AppendIsoDateTime(out, *fields, IsoFraction::kTrimmed);
  return true;
}

bool AppendTimestampTzData(ByteView bytes, std::string& out) {
  if (bytes.size() < dt::kTimestampTzSize) return false;
  const auto utc = ReadDateTime(bytes);
  if (!utc || !IsValidDateTime(*utc)) return false;
  const std::uint8_t zone_hour = *bytes.U8(dt::kZoneHour);
  const std::uint8_t zone_minute = *bytes.U8(dt::kZoneMinute);
  if ((zone_hour & dt::kZoneRegionFlag) != 0) {
    AppendIsoDateTime(out, *utc, IsoFraction::kTrimmed);
    out.push_back('Z');
    return true;
  }
  const int hours = zone_hour - dt::kZoneHourBias;
  const int minutes = zone_minute - dt::kZoneMinuteBias;
  if (hours < -15 || hours > 15 || minutes < -59 || minutes > 59) return false;
  const int offset = hours * 60 + minutes;
  AppendIsoDateTime(out, AddMinutes(*utc, offset), IsoFraction::kTrimmed);
  out += offset < 0 ? '-' : '+';
  AppendTwo(out, std::abs(offset) / 60);
  out += ':';
  AppendTwo(out, std::abs(offset) % 60);
  return true;
}

std::optional<DateTimeFields> ReadDateTime(ByteView bytes) {
  if (bytes.size() < dt::kDateSize) return std::nullopt;
  const std::uint8_t* b = bytes.data();
  DateTimeFields f;
  // BC dates store century and year below their biases: 4712 BC is 53, 88.
  f.year = (b[dt::kCentury] - dt::kCenturyBias) * 100 + (b[dt::kYear] - dt::kYearBias);
  f.month = b[dt::kMonth];
  f.day = b[dt::kDay];
  f.hour = b[dt::kHour] - dt::kTimeBias;
  f.minute = b[dt::kMinute] - dt::kTimeBias;
  f.second = b[dt::kSecond] - dt::kTimeBias;
  if (const auto fraction = bytes.U32BE(dt::kFraction)) f.nanoseconds = *fraction;
  return f;
}

bool IsValidDateTime(const DateTimeFields& f) {
  if (f.year == 0 || f.year < -4712 || f.year > 9999) return false;
  if (f.month < 1 || f.month > 12 || f.day < 1 || f.day > DaysInMonth(f.year, f.month)) return false;
  if (f.year == kReformYear && f.month == kReformMonth && f.day > kLastJulianDay && f.day < kFirstGregorianDay) {
    return false;
  }
  return f.hour >= 0 && f.hour < 24 && f.minute >= 0 && f.minute < 60 && f.second >= 0 && f.second < 60 &&
         f.nanoseconds < 1000000000u;
}

DateTimeFields AddMinutes(const DateTimeFields& fields, int minutes) {
  DateTimeFields f = fields;
  long long total = static_cast<long long>(f.hour) * 60 + f.minute + minutes;
  long long days = total / kMinutesPerDay;
  total %= kMinutesPerDay;
  if (total < 0) {
    total += kMinutesPerDay;
    --days;
  }
  f.hour = static_cast<int>(total / 60);
  f.minute = static_cast<int>(total % 60);
  for (; days > 0; --days) NextDay(f);
  for (; days < 0; ++days) PreviousDay(f);
  return f;
}

std::string DateTimeToText(ByteView bytes) {
  std::string out;
  AppendDateTimeToText(bytes, out);
  return out;
}

void AppendDateTimeToText(ByteView bytes, std::string& out) {
  const auto fields = ReadDateTime(bytes);
  if (fields) AppendDateTimeText(out, *fields, bytes.size() >= dt::kTimestampSize);
}

std::string TimestampTzToText(ByteView bytes) {
  const auto utc = ReadDateTime(bytes);
  if (!utc) return {};
  const bool with_fraction = bytes.size() >= dt::kTimestampSize;
  const auto zone_hour = bytes.U8(dt::kZoneHour);
  const auto zone_minute = bytes.U8(dt::kZoneMinute);
  // A region id is shown in UTC: the engine carries no time zone rules.
  if (!zone_hour || !zone_minute || (*zone_hour & dt::kZoneRegionFlag) != 0) {
    return DateTimeText(*utc, with_fraction) + " +00:00";
  }
  const int hours = *zone_hour - dt::kZoneHourBias;
  const int minutes = *zone_minute - dt::kZoneMinuteBias;
  if (hours < -15 || hours > 15 || minutes < -59 || minutes > 59 || !IsValidDateTime(*utc)) {
    return DateTimeText(*utc, with_fraction) + " +00:00";
  }
  const int offset = hours * 60 + minutes;
  std::string out = DateTimeText(AddMinutes(*utc, offset), with_fraction);
  out += offset < 0 ? " -" : " +";
  AppendTwo(out, std::abs(offset) / 60);
  out += ':';
  AppendTwo(out, std::abs(offset) % 60);
  return out;
}

}  // namespace quillon
