// The texts of the scan and repair reports that are not tied to one step:
// dates in the report's patterns and the separator lines.
#pragma once

#include <chrono>
#include <string>

namespace quillon {

// "%A, %B %d, %Y, %I:%M:%S %p": the date at the end of report lines.
inline constexpr const char* kReportDatePattern = "%A, %B %d, %Y, %I:%M:%S %p";
// "%A, %B %d, %Y  %I:%M:%S  %p": the date of the stop line.
inline constexpr const char* kStopDatePattern = "%A, %B %d, %Y  %I:%M:%S  %p";

// The local time formatted with a strftime pattern in the C locale (English
// day and month names, whatever the user's locale).
std::string FormatLocalTime(std::chrono::system_clock::time_point when, const char* pattern);
std::string ReportDate(std::chrono::system_clock::time_point when = std::chrono::system_clock::now());
std::string StopDate(std::chrono::system_clock::time_point when = std::chrono::system_clock::now());

// The line written when the user stops a process.
std::string StopLine(std::chrono::system_clock::time_point when = std::chrono::system_clock::now());

// A line of n full stops.
inline std::string DotLine(std::size_t n) { return std::string(n, '.'); }

}  // namespace quillon
