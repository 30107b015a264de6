#include "browse/log_text.h"

#include <ctime>
#include <locale.h>

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

}  // namespace quillon
