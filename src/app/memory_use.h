// The memory use shown in the status bar: the process's resident set size.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillon::app {

// VmRSS of /proc/self/status in kilobytes; std::nullopt when unreadable.
std::optional<std::uint64_t> ReadResidentKb();
// The VmRSS value of a status file's text.
std::optional<std::uint64_t> ParseResidentKb(std::string_view status_text);
// 1234567 -> "1,234,567".
std::string GroupThousands(std::uint64_t value);
// 1234567 -> "1,234,567 KB".
std::string KilobytesText(std::uint64_t kb);

}  // namespace quillon::app
