// Numbers as the block and locator dumps print them: "0x" and upper-case
// hexadecimal digits, zero-padded to a width.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace quillon::cli {

inline std::string Hex(std::uint32_t v, int width) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%0*X", width, v);
  return buf;
}

}  // namespace quillon::cli
