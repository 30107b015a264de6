#include "browse/log_text.h"

#include <ctime>
#include <locale.h>

#include "reader/format.h"

namespace quillon {

std::string FormatLocalTime(std::chrono::system_clock::time_point when, const char* pattern) {
  const std::time_t t = std::chrono::system_clock::to_time_t(when);
  std::tm local{};
  localtime_r(&t, &local);
  // strftime_l with the C locale keeps the names English in every environment.
  const locale_t c_locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  char buf[128];
  const std::size_t n = c_locale ? strftime_l(buf, sizeof buf, pattern, &local, c_locale)
                                 : std::strftime(buf, sizeof buf, pattern, &local);
  if (c_locale) freelocale(c_locale);
  return std::string(buf, n);
}

std::string ReportDate(std::chrono::system_clock::time_point when) {
  return FormatLocalTime(when, kReportDatePattern);
}

std::string StopDate(std::chrono::system_clock::time_point when) {
  return FormatLocalTime(when, kStopDatePattern);
}

std::string StopLine(std::chrono::system_clock::time_point when) {
  return "Process stopped by user on " + StopDate(when);
}

namespace {

std::string TableList(const std::vector<std::string>& tables) {
  std::string out;
  for (std::size_t i = 0; i < tables.size() && i < kDamageTablesNamed; ++i) {
    if (i) out += ", ";
    out += tables[i];
  }
  if (tables.size() > kDamageTablesNamed) out += " and " + std::to_string(tables.size() - kDamageTablesNamed) + " more";
  return out;
}

}  // namespace

std::string BadChecksumLine(std::uint64_t blocks, std::uint64_t suspect_records, const std::vector<std::string>& tables) {
  return "Blocks with a bad checksum : " + std::to_string(blocks) + " (" + std::to_string(suspect_records) +
         " suspect record(s)) in " + TableList(tables);
}

std::string BlockAddressText(const std::vector<std::uint32_t>& dbas, std::size_t limit) {
  std::string out;
  for (std::size_t i = 0; i < dbas.size() && i < limit; ++i) {
    if (i) out += ", ";
    out += "file " + std::to_string(format::DbaFile(dbas[i])) + " block " + std::to_string(format::DbaBlock(dbas[i]));
  }
  if (dbas.size() > limit) out += " and " + std::to_string(dbas.size() - limit) + " more";
  return out;
}

std::string SuspectPageLine(const std::string& table, std::uint64_t page, std::uint64_t suspect_records,
                            const std::vector<std::uint32_t>& bad_checksum_blocks) {
  return table + " page " + std::to_string(page) + ": " + std::to_string(suspect_records) +
         " suspect record(s), read from block(s) with a bad checksum (" +
         BlockAddressText(bad_checksum_blocks, kDamageTablesNamed) + ")";
}

std::string MissingTableLine(const std::string& table, std::uint64_t missing_blocks) {
  return table + ": " + std::to_string(missing_blocks) +
         " missing block(s) (past the end of a datafile or in a missing datafile)";
}

std::string MissingBlocksLine(std::uint64_t blocks, const std::vector<std::string>& tables) {
  return "Missing blocks : " + std::to_string(blocks) +
         " (past the end of a datafile or in a missing datafile) in " + TableList(tables);
}

}  // namespace quillon
