#include "app/log_date.h"

namespace quillon::app {

std::string FormatLocalTime(const char* pattern, std::time_t when) {
  std::tm local{};
  if (::localtime_r(&when, &local) == nullptr) return {};
  char buffer[256];
  const std::size_t n = std::strftime(buffer, sizeof buffer, pattern, &local);
  return std::string(buffer, n);
}

std::string FormatLocalTimeNow(const char* pattern) { return FormatLocalTime(pattern, std::time(nullptr)); }

}  // namespace quillon::app
