#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "browse/log_text.h"

namespace quillon {
namespace {

// The report's dates use English names and the two patterns of the report:
// one for report lines, one (with double blanks) for the stop line.
TEST(LogText, DatesInTheReportPatterns) {
  const char* old_tz = std::getenv("TZ");
  const std::string saved = old_tz ? old_tz : "";
  setenv("TZ", "UTC", 1);
  tzset();
  // Tuesday 5 March 2024, 15:04:05 UTC.
  const auto when = std::chrono::system_clock::from_time_t(1709651045);
  EXPECT_EQ(ReportDate(when), "Tuesday, March 05, 2024, 03:04:05 PM");
  EXPECT_EQ(StopDate(when), "Tuesday, March 05, 2024  03:04:05  PM");
  EXPECT_EQ(StopLine(when), "Process stopped by user on Tuesday, March 05, 2024  03:04:05  PM");
  if (old_tz) {
    setenv("TZ", saved.c_str(), 1);
  } else {
    unsetenv("TZ");
  }
  tzset();
}

}  // namespace
}  // namespace quillon
