// Local date and time in the strftime patterns of the log lines.
#pragma once

#include <ctime>
#include <string>

namespace quillon::app {

// The time formatted with pattern in the current locale.
std::string FormatLocalTime(const char* pattern, std::time_t when);
std::string FormatLocalTimeNow(const char* pattern);

}  // namespace quillon::app
