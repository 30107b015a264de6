// INTERVAL YEAR TO MONTH and INTERVAL DAY TO SECOND values as text.
//
// Every field is written as its magnitude, and the text gets one leading "-"
// when any field is negative: one year six months is "1-6", minus three
// months "-0-3"; minus one day two hours "-1 2:0:0.000000000" (days " "
// hours ":" minutes ":" seconds "." nine digits of nanoseconds).
//
// The data texts (CSV and JSON exports) are ISO 8601 durations with every
// field written, a negative interval with one leading "-": "P1Y2M", "-P1Y6M",
// "P0Y0M", "P3DT4H5M6.5S" (the fraction of a second without its trailing
// zeros), "-P3DT12H30M0S", "P0DT0H0M0S".
#pragma once

#include <string>

#include "reader/bytes.h"

namespace quillon {

// 5 bytes; fewer give an empty text.
std::string IntervalYearMonthToText(ByteView bytes);
// 11 bytes; fewer give an empty text.
std::string IntervalDaySecondToText(ByteView bytes);

// The data texts appended to out; false (and nothing appended) when the
// bytes are too few, the fields' signs differ, or a field lies outside its
// range (months 0-11, hours 0-23, minutes and seconds 0-59, nanoseconds
// below one second).
bool AppendIntervalYearMonthData(ByteView bytes, std::string& out);
bool AppendIntervalDaySecondData(ByteView bytes, std::string& out);

}  // namespace quillon
