// DATE, TIMESTAMP, TIMESTAMP WITH TIME ZONE and TIMESTAMP WITH LOCAL TIME
// ZONE values as text.
//
// The text is the system's own: day "%02d", "-", month "JAN".."DEC", "-",
// the year with four digits (BC years with a minus sign: "01-JAN--4712"),
// " ", the hour on a 12-hour clock "%02d" (0 is written 12), ":", minutes,
// ":", seconds, for an 11-byte timestamp "." and nine digits of fraction, and
// last " AM" or " PM": 2024-01-05 15:04:05 is "05-JAN-2024 03:04:05 PM".
// TIMESTAMP WITH TIME ZONE adds " +HH:MI" or " -HH:MI" after the time shown
// in that offset.
//
// The data texts (CSV and JSON exports) are ISO 8601: "2003-01-01T00:00:00",
// with ".", the fraction of a second as stored (its trailing zeros left out,
// no fraction when it is zero: ".123456", ".25"), and for TIMESTAMP WITH TIME
// ZONE the local time followed by its offset "+HH:MM" or "-HH:MM". A value
// stored with a time zone region is written as its UTC time with "Z": the
// instant is exact, the region's name is not kept (it needs the time zone
// file of the database). Years are four digits in the astronomical
// numbering of ISO 8601's expanded form: 1 BC is "0000", 4712 BC "-4711".
// TIMESTAMP WITH LOCAL TIME ZONE is written as stored, in the database's
// time zone, without an offset.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "reader/bytes.h"

namespace quillon {

// A date and time as Oracle stores it. Years before Christ are negative
// (there is no year 0: 1 BC is -1).
struct DateTimeFields {
  int year = 1;
  int month = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
  std::uint32_t nanoseconds = 0;
  bool operator==(const DateTimeFields&) const = default;
};

// The fields of a stored DATE or TIMESTAMP (at least 7 bytes; the fraction
// only when there are 11). std::nullopt when bytes are too few. The fields
// are taken as stored, without any range check.
std::optional<DateTimeFields> ReadDateTime(ByteView bytes);

// True when every field lies in its calendar range (the day in its month).
bool IsValidDateTime(const DateTimeFields& fields);

// Moves a valid date and time by a number of minutes (either sign).
DateTimeFields AddMinutes(const DateTimeFields& fields, int minutes);

// DATE (7 bytes), TIMESTAMP and TIMESTAMP WITH LOCAL TIME ZONE (7 or 11
// bytes) as text. Fewer than 7 bytes give an empty text. A month byte outside
// 1-12 is written "???".
std::string DateTimeToText(ByteView bytes);
// The same text appended to out (no allocation when out has room).
void AppendDateTimeToText(ByteView bytes, std::string& out);

// How an ISO 8601 date and time ends: the fraction without its trailing
// zeros (nothing for none), no fraction, or all nine digits of it.
enum class IsoFraction : std::uint8_t { kTrimmed, kNone, kNine };
// "YYYY-MM-DDTHH:MI:SS" and the fraction appended to out; years in
// astronomical numbering (1 BC is year 0, "-0001" is 2 BC). The fields are
// written as they are, in range or not.
void AppendIsoDateTime(std::string& out, const DateTimeFields& f, IsoFraction fraction);

// The ISO 8601 data text of a DATE, TIMESTAMP or TIMESTAMP WITH LOCAL TIME
// ZONE appended to out; false (and nothing appended) when the bytes are too
// few or a field lies outside its calendar range.
bool AppendDateTimeData(ByteView bytes, std::string& out);
// The same for TIMESTAMP WITH TIME ZONE (13 bytes); false also for an offset
// outside -15:59..+15:59.
bool AppendTimestampTzData(ByteView bytes, std::string& out);

// TIMESTAMP WITH TIME ZONE (13 bytes, stored in UTC): the timestamp text in
// the stored offset followed by " +HH:MI" or " -HH:MI"; for a time zone region
// (high bit of byte 11 set) the UTC time and " +00:00". A damaged date or
// offset is shown in UTC with " +00:00".
std::string TimestampTzToText(ByteView bytes);

}  // namespace quillon
