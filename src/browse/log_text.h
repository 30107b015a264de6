// The texts of the scan and repair reports that are not tied to one step:
// dates in the report's patterns and the separator lines.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

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

// The report lines on damaged blocks (after the scan's totals):
// "Blocks with a bad checksum : 3 (12 suspect record(s)) in HR.REGIONS, HR.JOBS"
// "Missing blocks : 40 (past the end of a datafile or in a missing datafile) in HR.COUNTRIES"
// At most kDamageTablesNamed tables are named, then "and N more".
inline constexpr std::size_t kDamageTablesNamed = 5;
std::string BadChecksumLine(std::uint64_t blocks, std::uint64_t suspect_records, const std::vector<std::string>& tables);
std::string MissingBlocksLine(std::uint64_t blocks, const std::vector<std::string>& tables);

// Blocks named by address: "file 4 block 130, file 4 block 131"; after
// `limit` addresses, "and N more".
std::string BlockAddressText(const std::vector<std::uint32_t>& dbas, std::size_t limit);

// The record view's log lines on damage: the suspect records of a page
// (page from 1) and the blocks with a bad checksum read for it, and, when a
// view starts, the table's missing blocks.
// "HR.REGIONS page 1: 4 suspect record(s), read from block(s) with a bad checksum (file 4 block 130)"
// "HR.COUNTRIES: 12 missing block(s) (past the end of a datafile or in a missing datafile)"
std::string SuspectPageLine(const std::string& table, std::uint64_t page, std::uint64_t suspect_records,
                            const std::vector<std::uint32_t>& bad_checksum_blocks);
std::string MissingTableLine(const std::string& table, std::uint64_t missing_blocks);

// A line of n full stops.
inline std::string DotLine(std::size_t n) { return std::string(n, '.'); }

}  // namespace quillon
