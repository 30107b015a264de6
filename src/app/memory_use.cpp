#include "app/memory_use.h"

#include <charconv>
#include <fstream>
#include <sstream>

#include "app/app_texts.h"

namespace quillon::app {

std::optional<std::uint64_t> ParseResidentKb(std::string_view status_text) {
  constexpr std::string_view kKey = "VmRSS:";
  std::size_t pos = 0;
  while (pos < status_text.size()) {
    std::size_t end = status_text.find('\n', pos);
    if (end == std::string_view::npos) end = status_text.size();
    std::string_view line = status_text.substr(pos, end - pos);
    pos = end + 1;
    if (!line.starts_with(kKey)) continue;
    line.remove_prefix(kKey.size());
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    std::uint64_t kb = 0;
    const auto [ptr, ec] = std::from_chars(line.data(), line.data() + line.size(), kb);
    if (ec != std::errc{} || ptr == line.data()) return std::nullopt;
    return kb;
  }
  return std::nullopt;
}

std::optional<std::uint64_t> ReadResidentKb() {
  std::ifstream in("/proc/self/status");
  if (!in) return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  return ParseResidentKb(text.str());
}

std::string GroupThousands(std::uint64_t value) {
  std::string digits = std::to_string(value);
  std::string out;
  out.reserve(digits.size() + digits.size() / 3);
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out.push_back(',');
    out.push_back(digits[i]);
  }
  return out;
}

std::string KilobytesText(std::uint64_t kb) { return GroupThousands(kb) + text::kMemorySuffix; }

}  // namespace quillon::app
