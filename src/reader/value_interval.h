// INTERVAL YEAR TO MONTH and INTERVAL DAY TO SECOND values as text.
//
// Every field is written as its magnitude, and the text gets one leading "-"
// when any field is negative: one year six months is "1-6", minus three
// months "-0-3"; minus one day two hours "-1 2:0:0.000000000" (days " "
// hours ":" minutes ":" seconds "." nine digits of nanoseconds).
#pragma once

#include <string>

#include "reader/bytes.h"

namespace quillon {

// 5 bytes; fewer give an empty text.
std::string IntervalYearMonthToText(ByteView bytes);
// 11 bytes; fewer give an empty text.
std::string IntervalDaySecondToText(ByteView bytes);

}  // namespace quillon
