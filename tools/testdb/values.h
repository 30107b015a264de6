// Column value encoders for the test database generator: the inverse of
// every value decoder of the reader, writing the bytes Oracle stores.
//
// They use the reader's layout constants (format.h) and field types, so a
// change of layout shows up on both sides. Round-trip tests (encode, then
// decode) check the pair against each other and against real Oracle bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "reader/charset.h"
#include "reader/value_datetime.h"

namespace quillon::testdb {

using Bytes = std::vector<std::uint8_t>;

// NUMBER from a decimal text: an optional sign, digits with an optional
// point, an optional exponent ("-123.433", ".0005", "1e36"). Values with more
// than 40 significant digits are rounded half up to Oracle's 20 base-100
// digits. std::nullopt for a text that is not a number or a value outside
// NUMBER's range (about 1e-130 to 1e126).
std::optional<Bytes> EncodeNumber(std::string_view decimal);
Bytes EncodeNumber(std::int64_t value);

// DATE: 7 bytes (years before Christ are negative).
Bytes EncodeDate(const DateTimeFields& fields);
// TIMESTAMP and TIMESTAMP WITH LOCAL TIME ZONE (given in the database's time
// zone): 7 bytes when the fraction is zero, else 11.
Bytes EncodeTimestamp(const DateTimeFields& fields);
// TIMESTAMP WITH TIME ZONE: 13 bytes, the local time given here stored in UTC
// with the offset (minutes east of UTC, within -15:59 and +15:59).
Bytes EncodeTimestampTz(const DateTimeFields& local, int offset_minutes);
// TIMESTAMP WITH TIME ZONE in a time zone region: the time given in UTC and
// the region id (13 bits: its high 7 bits under the region flag of byte 11,
// its low 6 bits in the top of byte 12).
Bytes EncodeTimestampTzRegion(const DateTimeFields& utc, std::uint16_t region_id);

// INTERVAL YEAR TO MONTH and DAY TO SECOND: a negative interval gives every
// field a minus sign (-1 year 6 months is years -1, months -6).
Bytes EncodeIntervalYearMonth(std::int32_t years, int months);
Bytes EncodeIntervalDaySecond(std::int32_t days, int hours, int minutes, int seconds, std::int32_t nanoseconds);

Bytes EncodeBinaryFloat(float value);
Bytes EncodeBinaryDouble(double value);

// Character data in a character set (AL16UTF16 for national columns, UTF8 as
// CESU-8). std::nullopt when the text is not UTF-8 or a character has no
// encoding in the set.
std::optional<Bytes> EncodeText(std::string_view utf8, const CharsetInfo& charset);

// RAW: the bytes of their hexadecimal text (the inverse of the value text).
Bytes EncodeRaw(std::string_view hex);

// ROWID (10 bytes) and physical UROWID (13 bytes).
Bytes EncodeRowid(std::uint32_t data_object, std::uint32_t relative_file, std::uint32_t block, std::uint16_t row);
Bytes EncodeUrowid(std::uint32_t data_object, std::uint16_t relative_file, std::uint32_t block, std::uint16_t row);

// BFILE locator for a directory alias and file name in the database
// character set (the header bytes the reader skips are left zero).
// std::nullopt when a name cannot be encoded or is longer than 255 bytes.
std::optional<Bytes> EncodeBfile(std::string_view directory, std::string_view file, const CharsetInfo& charset);

}  // namespace quillon::testdb
